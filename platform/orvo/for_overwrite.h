#pragma once

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
