#pragma once

#include <memory>
#include <new>
#include <utility>

// The construction of an allocator whose elements made without a value are left as the memory
// holds them (as `std::make_unique_for_overwrite` does), for buffers that are written whole
// before they are read: a container resized over them does not clear them first.
struct constructs_for_overwrite
{
   template <typename U>
   void construct(U * p) noexcept
   {
      ::new (static_cast<void *>(p)) U;
   }
   template <typename U, typename... Args>
   void construct(U * p, Args &&... args)
   {
      ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
   }
};

// The standard allocator with that construction.
template <typename T>
struct for_overwrite_allocator : std::allocator<T>, constructs_for_overwrite
{
   using value_type = T;
   template <typename U>
   struct rebind
   {
      using other = for_overwrite_allocator<U>;
   };

   for_overwrite_allocator() = default;
   template <typename U>
   for_overwrite_allocator(const for_overwrite_allocator<U> &) noexcept
   {
   }
   using constructs_for_overwrite::construct;
};
