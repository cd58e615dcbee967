#pragma once

#include <algorithm>
#include <vector>

#include "orvo/pointer.h"

// An ordered array of counted references. Indices are `long long`, as the callers count with it;
// an index out of range throws `std::out_of_range` from element access and is ignored nowhere
// else silently: the mutating operations say in their result whether they did anything.
template <typename T>
class pointer_array
{
public:
   using iterator = typename std::vector<pointer<T>>::iterator;
   using const_iterator = typename std::vector<pointer<T>>::const_iterator;

   long long count() const noexcept { return static_cast<long long>(m_items.size()); }
   bool is_empty() const noexcept { return m_items.empty(); }
   bool has_index(long long index) const noexcept { return index >= 0 && index < count(); }

   pointer<T> & element_at(long long index) { return m_items.at(checked(index)); }
   const pointer<T> & element_at(long long index) const { return m_items.at(checked(index)); }
   pointer<T> & operator[](long long index) { return element_at(index); }
   const pointer<T> & operator[](long long index) const { return element_at(index); }
   pointer<T> & last() { return element_at(count() - 1); }

   void add(const pointer<T> & item) { m_items.push_back(item); }

   // Inserts before `index`; an index past the end appends, a negative one inserts at the front.
   void insert_at(long long index, const pointer<T> & item)
   {
      index = std::clamp<long long>(index, 0, count());
      m_items.insert(m_items.begin() + index, item);
   }

   bool erase_at(long long index)
   {
      if (!has_index(index))
      {
         return false;
      }
      m_items.erase(m_items.begin() + index);
      return true;
   }

   bool swap(long long a, long long b)
   {
      if (!has_index(a) || !has_index(b))
      {
         return false;
      }
      std::swap(m_items[static_cast<std::size_t>(a)], m_items[static_cast<std::size_t>(b)]);
      return true;
   }

   // The index of the object, -1 when it is not in the array.
   long long find_first(const T * p) const noexcept
   {
      for (std::size_t i = 0; i < m_items.size(); ++i)
      {
         if (m_items[i].get() == p)
         {
            return static_cast<long long>(i);
         }
      }
      return -1;
   }

   void clear() noexcept { m_items.clear(); }

   iterator begin() noexcept { return m_items.begin(); }
   iterator end() noexcept { return m_items.end(); }
   const_iterator begin() const noexcept { return m_items.begin(); }
   const_iterator end() const noexcept { return m_items.end(); }

private:
   static std::size_t checked(long long index) { return index < 0 ? static_cast<std::size_t>(-1) : static_cast<std::size_t>(index); }

   std::vector<pointer<T>> m_items;
};
