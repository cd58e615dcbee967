#include "orvo/huge_pages.h"

#include <cstdint>

#include <sys/mman.h>

void advise_huge_pages(void * p, std::size_t size) noexcept
{
   const auto uStart = reinterpret_cast<std::uintptr_t>(p);
   const std::uintptr_t uFirst = (uStart + huge_page - 1) / huge_page * huge_page;
   const std::uintptr_t uEnd = (uStart + size) / huge_page * huge_page;
   if (uEnd > uFirst)
   {
      ::madvise(reinterpret_cast<void *>(uFirst), uEnd - uFirst, MADV_HUGEPAGE);
   }
}
