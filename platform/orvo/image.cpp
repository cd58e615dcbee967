#include "orvo/image.h"

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include <sys/mman.h>

#include "orvo/exception.h"
#include "orvo/straight_alpha.h"

namespace image
{

namespace
{

constexpr std::size_t huge_page = std::size_t(2) << 20;
// Blocks from this size on are worth huge pages.
constexpr std::size_t huge_block = 4 * huge_page;

} // namespace

namespace
{

// Large blocks of pixel memory, freed and kept for the next picture of the same size: getting
// the pages of hundreds of megabytes from the system again costs far more than clearing them. A
// request of another size lets every kept block go first, so that kept blocks never add to what
// the pictures took before.
class kept_blocks
{
public:
   kept_blocks() { m_blocks.reserve(max_kept); }

   // A kept block of exactly `iBytes`, or null.
   void * take(std::size_t iBytes)
   {
      std::lock_guard lock(m_mutex);
      for (auto it = m_blocks.begin(); it != m_blocks.end(); ++it)
      {
         if (it->second == iBytes)
         {
            void * p = it->first;
            m_blocks.erase(it);
            return p;
         }
      }
      for (const auto & block : m_blocks)
      {
         std::free(block.first);
      }
      m_blocks.clear();
      return nullptr;
   }

   // Whether the block is kept; else the caller frees it.
   bool keep(void * p, std::size_t iBytes) noexcept
   {
      std::lock_guard lock(m_mutex);
      if (m_blocks.size() == max_kept)
      {
         return false;
      }
      m_blocks.emplace_back(p, iBytes);
      return true;
   }

private:
   static constexpr std::size_t max_kept = 8;
   std::mutex m_mutex;
   std::vector<std::pair<void *, std::size_t>> m_blocks;
};

// Never destroyed: pictures may be freed while the program ends.
kept_blocks & kept()
{
   static kept_blocks * s_pkept = new kept_blocks;
   return *s_pkept;
}

std::size_t rounded_to_huge_pages(std::size_t iBytes)
{
   return (iBytes + huge_page - 1) / huge_page * huge_page;
}

} // namespace

void * allocate_pixel_memory(std::size_t iBytes)
{
   if (iBytes < huge_block)
   {
      void * p = std::malloc(iBytes);
      if (p == nullptr)
      {
         throw std::bad_alloc();
      }
      return p;
   }
   const std::size_t iRounded = rounded_to_huge_pages(iBytes);
   if (void * p = kept().take(iRounded))
   {
      return p;
   }
   void * p = std::aligned_alloc(huge_page, iRounded);
   if (p == nullptr)
   {
      throw std::bad_alloc();
   }
   ::madvise(p, iRounded, MADV_HUGEPAGE);
   return p;
}

void free_pixel_memory(void * p, std::size_t iBytes) noexcept
{
   if (p != nullptr && iBytes >= huge_block && kept().keep(p, rounded_to_huge_pages(iBytes)))
   {
      return;
   }
   std::free(p);
}

image::image(int iWidth, int iHeight)
{
   if (!create(iWidth, iHeight) && iWidth > 0 && iHeight > 0)
   {
      throw exception(error_out_of_range, format("cannot make a picture of %d x %d pixels: at most %lld per side and %lld in all",
                                                 iWidth, iHeight, static_cast<long long>(max_side),
                                                 static_cast<long long>(max_pixels)));
   }
}

bool image::is_size_allowed(std::int64_t iWidth, std::int64_t iHeight) noexcept
{
   return iWidth >= 1 && iHeight >= 1 && iWidth <= max_side && iHeight <= max_side && iWidth * iHeight <= max_pixels;
}

bool image::create(int iWidth, int iHeight)
{
   if (!is_size_allowed(iWidth, iHeight))
   {
      m_iWidth = 0;
      m_iHeight = 0;
      m_pixels.clear();
      m_pixels.shrink_to_fit();
      return false;
   }
   m_iWidth = iWidth;
   m_iHeight = iHeight;
   m_pixels.assign(static_cast<std::size_t>(iWidth) * static_cast<std::size_t>(iHeight), 0u);
   return true;
}

void image::clear() noexcept
{
   std::fill(m_pixels.begin(), m_pixels.end(), 0u);
}

void image::fill(color::color color) noexcept
{
   std::fill(m_pixels.begin(), m_pixels.end(), premultiplied_pixel(color));
}

void image::blend(const image & imageOver) noexcept
{
   const int iWidth = std::min(m_iWidth, imageOver.m_iWidth);
   const int iHeight = std::min(m_iHeight, imageOver.m_iHeight);
   for (int y = 0; y < iHeight; ++y)
   {
      blend_row(row(y), imageOver.row(y), iWidth);
   }
}

// Runs of transparent and of opaque pixels over are copied whole: most pixels of a drawing laid
// over another are one or the other. The runs are found four pixels at a time.
void blend_row(std::uint32_t * ptarget, const std::uint32_t * pover, const std::uint32_t * punder, int iCount) noexcept
{
   const auto copy_run = [ptarget](const std::uint32_t * psource, int x0, int x1) {
      if (psource != ptarget && x0 < x1)
      {
         std::memcpy(ptarget + x0, psource + x0, static_cast<std::size_t>(x1 - x0) * 4);
      }
   };
   // Four pixels at a time, then one by one.
   const auto transparent_from = [pover, iCount](int x) {
      for (; x + 4 <= iCount && (pover[x] | pover[x + 1] | pover[x + 2] | pover[x + 3]) == 0; x += 4)
      {
      }
      for (; x < iCount && pover[x] == 0; ++x)
      {
      }
      return x;
   };
   const auto opaque_from = [pover, iCount](int x) {
      for (; x + 4 <= iCount && (pover[x] & pover[x + 1] & pover[x + 2] & pover[x + 3]) >> 24 == 255; x += 4)
      {
      }
      for (; x < iCount && pover[x] >> 24 == 255; ++x)
      {
      }
      return x;
   };
   int x = 0;
   while (x < iCount)
   {
      const int xTransparent = x;
      x = transparent_from(x);
      copy_run(punder, xTransparent, x);
      const int xOpaque = x;
      x = opaque_from(x);
      copy_run(pover, xOpaque, x);
      for (; x < iCount && pover[x] != 0 && pover[x] >> 24 != 255; ++x)
      {
         ptarget[x] = blend_pixel(pover[x], punder[x]);
      }
   }
}

} // namespace image
