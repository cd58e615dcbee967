#pragma once

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace Tarvossa_BrisvanePro
{

// A set of box keys that remembers the order in which they were added.
class ordered_key_set
{
public:
   using const_iterator = std::vector<int>::const_iterator;

   bool contains(int iKey) const { return m_set.contains(iKey); }

   // Adds the key at the end of the order; a key already present stays where it is.
   bool add(int iKey)
   {
      if (!m_set.insert(iKey).second)
      {
         return false;
      }
      m_order.push_back(iKey);
      return true;
   }

   bool erase(int iKey)
   {
      if (m_set.erase(iKey) == 0)
      {
         return false;
      }
      m_order.erase(std::find(m_order.begin(), m_order.end(), iKey));
      return true;
   }

   void clear() noexcept
   {
      m_set.clear();
      m_order.clear();
   }

   long long count() const noexcept { return static_cast<long long>(m_order.size()); }
   bool is_empty() const noexcept { return m_order.empty(); }

   // In the order of addition, first added first.
   const_iterator begin() const noexcept { return m_order.begin(); }
   const_iterator end() const noexcept { return m_order.end(); }

   bool operator==(const ordered_key_set & other) const { return m_order == other.m_order; }

private:
   std::vector<int> m_order;
   std::unordered_set<int> m_set;
};

} // namespace Tarvossa_BrisvanePro
