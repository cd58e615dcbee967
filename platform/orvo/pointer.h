#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "orvo/particle.h"

// A counted reference to a `particle`-derived object; it may be empty.
//
// Back references (a layer to its document, a widget to its parent) are plain pointers, never
// `pointer`, so that no cycle keeps objects alive.
template <typename T>
class pointer
{
public:
   pointer() noexcept = default;
   pointer(std::nullptr_t) noexcept {}

   // Takes a reference to `p` (which may be a freshly made object with a count of 0).
   pointer(T * p) noexcept : m_p(p) { retain(); }

   pointer(const pointer & other) noexcept : m_p(other.m_p) { retain(); }
   pointer(pointer && other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}

   template <typename U, typename = std::enable_if_t<std::is_convertible_v<U *, T *>>>
   pointer(const pointer<U> & other) noexcept : m_p(other.get()) { retain(); }

   ~pointer() { reset(); }

   pointer & operator=(const pointer & other) noexcept
   {
      pointer copy(other);
      swap(copy);
      return *this;
   }

   pointer & operator=(pointer && other) noexcept
   {
      pointer moved(std::move(other));
      swap(moved);
      return *this;
   }

   pointer & operator=(T * p) noexcept
   {
      pointer taken(p);
      swap(taken);
      return *this;
   }

   void reset() noexcept
   {
      if (T * p = std::exchange(m_p, nullptr))
      {
         p->release();
      }
   }

   void swap(pointer & other) noexcept { std::swap(m_p, other.m_p); }

   T * get() const noexcept { return m_p; }
   T * operator->() const noexcept { return m_p; }
   T & operator*() const noexcept { return *m_p; }
   explicit operator bool() const noexcept { return m_p != nullptr; }
   bool is_null() const noexcept { return m_p == nullptr; }
   bool is_set() const noexcept { return m_p != nullptr; }

   // A pointer to the same object as another class, empty when the object is not one.
   template <typename U>
   pointer<U> cast() const noexcept
   {
      return pointer<U>(dynamic_cast<U *>(m_p));
   }

   friend bool operator==(const pointer & a, const pointer & b) noexcept { return a.m_p == b.m_p; }
   friend bool operator==(const pointer & a, std::nullptr_t) noexcept { return a.m_p == nullptr; }
   friend bool operator==(const pointer & a, const T * b) noexcept { return a.m_p == b; }

private:
   void retain() noexcept
   {
      if (m_p)
      {
         m_p->increment_reference_count();
      }
   }

   T * m_p = nullptr;
};

// Makes a new counted object and hands back the first reference to it.
template <typename T, typename... ARGS>
pointer<T> make_pointer(ARGS &&... args)
{
   return pointer<T>(new T(std::forward<ARGS>(args)...));
}
