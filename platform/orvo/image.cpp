#include "orvo/image.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <mutex>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include <malloc.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <sys/mman.h>

#include "orvo/exception.h"
#include "orvo/huge_pages.h"
#include "orvo/straight_alpha.h"

namespace image
{

namespace
{

constexpr std::size_t system_page = std::size_t(4) << 10;
// Blocks from this size on are mapped on their own: below it the heap serves them well, and a
// block just under a huge page is worth one.
constexpr std::size_t large_block = huge_page / 8 * 7;
// Enough for every large picture of a document in one store, and it is never grown: a block freed
// when it is full goes back to the system.
constexpr std::size_t most_blocks_kept = 64;

std::size_t rounded_up(std::size_t iBytes, std::size_t iUnit) noexcept
{
   return (iBytes + iUnit - 1) / iUnit * iUnit;
}

// The bytes mapped for a large block: whole huge pages when they add at most an eighth to it,
// otherwise whole pages.
std::size_t mapped_size(std::size_t iBytes) noexcept
{
   const std::size_t iHuge = rounded_up(iBytes, huge_page);
   return iHuge - iBytes <= iBytes / 8 ? iHuge : rounded_up(iBytes, system_page);
}

// A block of whole huge pages starts on a huge page's boundary.
bool is_in_huge_pages(std::size_t iMapped) noexcept
{
   return iMapped % huge_page == 0;
}

void unmap(void * p, std::size_t iBytes) noexcept
{
   if (iBytes > 0)
   {
      ::munmap(p, iBytes);
   }
}

void * map_block(std::size_t iMapped)
{
   // Huge pages need a start on a huge page's boundary: a huge page more is mapped, and what lies
   // before and after the block is given back at once.
   const std::size_t iSpan = is_in_huge_pages(iMapped) ? iMapped + huge_page : iMapped;
   void * pSpan = ::mmap(nullptr, iSpan, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
   if (pSpan == MAP_FAILED)
   {
      throw std::bad_alloc();
   }
   if (iSpan == iMapped)
   {
      return pSpan;
   }
   auto * pbytesSpan = static_cast<std::uint8_t *>(pSpan);
   const std::size_t iHead = rounded_up(reinterpret_cast<std::uintptr_t>(pSpan), huge_page) - reinterpret_cast<std::uintptr_t>(pSpan);
   unmap(pbytesSpan, iHead);
   unmap(pbytesSpan + iHead + iMapped, iSpan - iHead - iMapped);
   advise_huge_pages(pbytesSpan + iHead, iMapped);
   return pbytesSpan + iHead;
}

// The large blocks in use, and those freed and kept for reuse: getting the pages of hundreds of
// megabytes from the system again costs far more than clearing them. The kept blocks never take
// more than those in use, so that what a document closed let go is given back as soon as the
// pictures that remain take less.
class kept_blocks
{
public:
   kept_blocks() { m_blocks.reserve(most_blocks_kept); }

   // A block of `iMapped` bytes: the smallest kept block that holds them, cut to that size (a
   // block in huge pages when that is asked for), or else a block new from the system.
   void * take(std::size_t iMapped)
   {
      {
         std::lock_guard lock(m_mutex);
         const auto itBest = std::min_element(m_blocks.begin(), m_blocks.end(), [&](const block & a, const block & b)
         { return std::pair(!holds(a, iMapped), a.m_iBytes) < std::pair(!holds(b, iMapped), b.m_iBytes); });
         if (itBest != m_blocks.end() && holds(*itBest, iMapped))
         {
            const block taken = *itBest;
            m_blocks.erase(itBest);
            m_iKept -= taken.m_iBytes;
            unmap(static_cast<std::uint8_t *>(taken.m_p) + iMapped, taken.m_iBytes - iMapped);
            m_iInUse += iMapped;
            return taken.m_p;
         }
      }
      void * p = map_block(iMapped);
      std::lock_guard lock(m_mutex);
      m_iInUse += iMapped;
      return p;
   }

   // Keeps a freed block, or gives it back; the oldest kept blocks go back first while the kept
   // ones take more than those in use.
   void put(void * p, std::size_t iMapped) noexcept
   {
      std::lock_guard lock(m_mutex);
      m_iInUse -= iMapped;
      if (m_blocks.size() == most_blocks_kept)
      {
         unmap(p, iMapped);
         return;
      }
      m_blocks.push_back({p, iMapped});
      m_iKept += iMapped;
      while (m_iKept > m_iInUse)
      {
         unmap(m_blocks.front().m_p, m_blocks.front().m_iBytes);
         m_iKept -= m_blocks.front().m_iBytes;
         m_blocks.erase(m_blocks.begin());
      }
   }

   void give_back() noexcept
   {
      std::lock_guard lock(m_mutex);
      for (const block & kept : m_blocks)
      {
         unmap(kept.m_p, kept.m_iBytes);
      }
      m_blocks.clear();
      m_iKept = 0;
   }

   std::size_t kept() noexcept
   {
      std::lock_guard lock(m_mutex);
      return m_iKept;
   }

   std::size_t in_use() noexcept
   {
      std::lock_guard lock(m_mutex);
      return m_iInUse;
   }

private:
   struct block
   {
      void * m_p = nullptr;
      std::size_t m_iBytes = 0;
   };

   static bool holds(const block & kept, std::size_t iMapped) noexcept
   {
      return kept.m_iBytes >= iMapped && (!is_in_huge_pages(iMapped) || is_in_huge_pages(kept.m_iBytes));
   }

   std::mutex m_mutex;
   std::vector<block> m_blocks;
   std::size_t m_iKept = 0;
   std::size_t m_iInUse = 0;
};

// Never destroyed: pictures may be freed while the program ends.
kept_blocks & kept()
{
   static kept_blocks * s_pkept = new kept_blocks;
   return *s_pkept;
}

} // namespace

void * allocate_pixel_memory(std::size_t iBytes)
{
   if (iBytes < large_block)
   {
      void * p = std::malloc(iBytes);
      if (p == nullptr && iBytes > 0)
      {
         throw std::bad_alloc();
      }
      return p;
   }
   return kept().take(mapped_size(iBytes));
}

void free_pixel_memory(void * p, std::size_t iBytes) noexcept
{
   if (p == nullptr)
   {
      return;
   }
   if (iBytes < large_block)
   {
      std::free(p);
      return;
   }
   kept().put(p, mapped_size(iBytes));
}

std::size_t kept_pixel_memory() noexcept
{
   return kept().kept();
}

std::size_t pixel_memory_in_use() noexcept
{
   return kept().in_use();
}

void give_back_kept_pixel_memory() noexcept
{
   kept().give_back();
   ::malloc_trim(0);
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

image::~image()
{
   leave_holder();
}

bool image::create(int iWidth, int iHeight)
{
   if (!create_for_overwrite(iWidth, iHeight))
   {
      return false;
   }
   clear();
   return true;
}

bool image::create_for_overwrite(int iWidth, int iHeight)
{
   if (holds_others())
   {
      throw std::logic_error("a picture that holds others' pixels is made again");
   }
   leave_holder();
   if (!is_size_allowed(iWidth, iHeight))
   {
      free_own_pixels();
      return false;
   }
   const std::size_t iCount = static_cast<std::size_t>(iWidth) * static_cast<std::size_t>(iHeight);
   if (iCount != m_pixels.size())
   {
      // The old pixels go first, so that both are never held at once (their memory serves the
      // new size when it holds it), and a smaller picture takes no more memory than it needs.
      free_own_pixels();
      m_pixels.resize(iCount);
   }
   show_own_pixels(iWidth, iHeight);
   return true;
}

void image::show_own_pixels(int iWidth, int iHeight) noexcept
{
   m_iWidth = iWidth;
   m_iHeight = iHeight;
   m_iStride = iWidth;
   m_ppixels = m_pixels.data();
}

void image::free_own_pixels() noexcept
{
   m_iWidth = 0;
   m_iHeight = 0;
   m_iStride = 0;
   m_ppixels = nullptr;
   decltype(m_pixels)().swap(m_pixels);
}

void image::leave_holder() noexcept
{
   if (m_pimageHolder)
   {
      m_pimageHolder->m_iPicturesHeld--;
      m_pimageHolder = nullptr;
      free_own_pixels();
   }
}

int image::x_in_holder() const noexcept
{
   return m_pimageHolder ? static_cast<int>((m_ppixels - m_pimageHolder->m_ppixels) % m_iStride) : 0;
}

int image::y_in_holder() const noexcept
{
   return m_pimageHolder ? static_cast<int>((m_ppixels - m_pimageHolder->m_ppixels) / m_iStride) : 0;
}

void image::place_in(const pointer<image> & pholder, int x, int y, bool bKeepPixels)
{
   if (pholder->m_pimageHolder || x < 0 || y < 0 || x > pholder->m_iWidth - m_iWidth || y > pholder->m_iHeight - m_iHeight)
   {
      throw std::logic_error("a picture is placed where it does not fit");
   }
   std::uint32_t * pfirst = pholder->row(y) + x;
   const auto iStride = static_cast<std::size_t>(pholder->m_iStride);
   if (bKeepPixels && pfirst != m_ppixels)
   {
      // Rows are moved in the order that reads each before it is overwritten, where the old place
      // and the new one share rows.
      const auto iRowBytes = static_cast<std::size_t>(m_iWidth) * 4;
      const bool bDownwards = pfirst > m_ppixels;
      for (int i = 0; i < m_iHeight; ++i)
      {
         const int r = bDownwards ? m_iHeight - 1 - i : i;
         std::memmove(pfirst + static_cast<std::size_t>(r) * iStride, row(r), iRowBytes);
      }
   }
   const int iWidth = m_iWidth;
   const int iHeight = m_iHeight;
   pholder->m_iPicturesHeld++;
   const pointer<image> pholderKept = pholder;
   leave_holder();
   free_own_pixels();
   m_pimageHolder = pholderKept;
   m_iWidth = iWidth;
   m_iHeight = iHeight;
   m_iStride = static_cast<int>(iStride);
   m_ppixels = pfirst;
}

pointer<image> image::placed_in(const pointer<image> & pholder, int x, int y, int iWidth, int iHeight)
{
   pointer<image> pimage = make_pointer<image>();
   pimage->m_iWidth = iWidth;
   pimage->m_iHeight = iHeight;
   pimage->place_in(pholder, x, y, false);
   return pimage;
}

bool image::take_back_pixels() noexcept
{
   if (!m_pimageHolder)
   {
      return true;
   }
   decltype(m_pixels) pixels;
   try
   {
      pixels.resize(static_cast<std::size_t>(m_iWidth) * static_cast<std::size_t>(m_iHeight));
   }
   catch (const std::bad_alloc &)
   {
      return false;
   }
   for (int y = 0; y < m_iHeight; ++y)
   {
      std::memcpy(pixels.data() + static_cast<std::size_t>(y) * m_iWidth, row(y), static_cast<std::size_t>(m_iWidth) * 4);
   }
   const int iWidth = m_iWidth;
   const int iHeight = m_iHeight;
   leave_holder();
   m_pixels.swap(pixels);
   show_own_pixels(iWidth, iHeight);
   return true;
}

void image::clear() noexcept
{
   const auto iRowBytes = static_cast<std::size_t>(m_iWidth) * 4;
   if (m_iStride == m_iWidth)
   {
      std::memset(m_ppixels, 0, iRowBytes * static_cast<std::size_t>(m_iHeight));
      return;
   }
   for (int y = 0; y < m_iHeight; ++y)
   {
      std::memset(row(y), 0, iRowBytes);
   }
}

void image::fill(color::color color) noexcept
{
   fill_words(premultiplied_pixel(color));
}

void image::fill_words(std::uint32_t uPixel) noexcept
{
   if (m_iStride == m_iWidth)
   {
      std::fill(m_ppixels, m_ppixels + static_cast<std::size_t>(m_iWidth) * static_cast<std::size_t>(m_iHeight), uPixel);
      return;
   }
   for (int y = 0; y < m_iHeight; ++y)
   {
      std::fill_n(row(y), m_iWidth, uPixel);
   }
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

#if defined(__SSE2__)

void stream_pixels(std::uint32_t * ptarget, const std::uint32_t * psource, std::size_t iCount) noexcept
{
   // Up to the first 16-byte boundary of the target one by one, then four pixels at a time.
   std::size_t i = 0;
   for (; i < iCount && reinterpret_cast<std::uintptr_t>(ptarget + i) % 16 != 0; ++i)
   {
      ptarget[i] = psource[i];
   }
   for (; i + 4 <= iCount; i += 4)
   {
      _mm_stream_si128(reinterpret_cast<__m128i *>(ptarget + i), _mm_loadu_si128(reinterpret_cast<const __m128i *>(psource + i)));
   }
   for (; i < iCount; ++i)
   {
      ptarget[i] = psource[i];
   }
}

void finish_streaming() noexcept
{
   _mm_sfence();
}

#else

void stream_pixels(std::uint32_t * ptarget, const std::uint32_t * psource, std::size_t iCount) noexcept
{
   std::memcpy(ptarget, psource, iCount * 4);
}

void finish_streaming() noexcept
{
}

#endif

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
