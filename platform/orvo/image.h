#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "orvo/color.h"
#include "orvo/for_overwrite.h"
#include "orvo/particle.h"

namespace image
{

// The memory of pixels. A large block is mapped from the system on its own and given back to it
// when freed; it goes into huge pages where the system allows and rounding up to whole huge pages
// costs little, so that first touching a raster of hundreds of megabytes takes hundreds of page
// faults, not hundreds of thousands. A large block freed is kept for the next large block that it
// can hold (the rest of it is given back then), but only while the kept blocks take no more than
// the large blocks in use: a rebuild of the pictures in use reuses their pages, and pictures let
// go for good (a document closed) are given back as the pictures in use shrink. A kept block's
// pixels are as they were left, and so are a picture's pixels made without a value (see
// `image::create_for_overwrite`).
void * allocate_pixel_memory(std::size_t iBytes);
void free_pixel_memory(void * p, std::size_t iBytes) noexcept;

// The bytes of large blocks kept for reuse, and of those in use.
std::size_t kept_pixel_memory() noexcept;
std::size_t pixel_memory_in_use() noexcept;
// Gives every kept block back to the system, and the memory that the heap holds free: for when
// no reuse is near (another document, or a while with nothing to do).
void give_back_kept_pixel_memory() noexcept;

template <typename T>
struct pixel_allocator : constructs_for_overwrite
{
   using value_type = T;

   pixel_allocator() = default;
   template <typename U>
   pixel_allocator(const pixel_allocator<U> &) noexcept
   {
   }

   T * allocate(std::size_t n) { return static_cast<T *>(allocate_pixel_memory(n * sizeof(T))); }
   void deallocate(T * p, std::size_t n) noexcept { free_pixel_memory(p, n * sizeof(T)); }

   friend bool operator==(const pixel_allocator &, const pixel_allocator &) noexcept { return true; }
};

// A picture of 32-bit pixels in the drawing library's native form: premultiplied ARGB in one
// native-endian 32-bit word (alpha in the top byte), rows top first, packed (a row is exactly
// width * 4 bytes). Drawing contexts render into these pixels with no copy. The pixels always
// live in memory: `data()` is the mapping for reading and writing, valid until the next `create`.
class image : virtual public particle
{
public:
   // Layout value meaning "this packed premultiplied ARGB form", as handed to drawing contexts.
   static constexpr int native_layout = -1;
   // The largest picture made or loaded: a side of at most 65535 pixels and at most 2^28 pixels.
   static constexpr std::int64_t max_side = 65535;
   static constexpr std::int64_t max_pixels = std::int64_t(1) << 28;

   image() = default;
   // A picture of that size, every pixel transparent; a size of 0 or below gives an empty picture.
   // Throws `exception` (error_out_of_range) for a size beyond the limits below.
   image(int iWidth, int iHeight);

   // Whether a picture of that size may be made: both sides at least 1 and within the limits above.
   static bool is_size_allowed(std::int64_t iWidth, std::int64_t iHeight) noexcept;
   // A count of bytes beyond any memory, that a few counts added up keep within range.
   static constexpr std::int64_t max_counted_bytes = std::numeric_limits<std::int64_t>::max() / 8;
   // The bytes the pixels of a picture of that size take; 0 for a size of 0 or below, and
   // `max_counted_bytes` for a size whose count would be more (2147483647 x 2147483647 too).
   static std::int64_t bytes_for(std::int64_t iWidth, std::int64_t iHeight) noexcept
   {
      if (iWidth <= 0 || iHeight <= 0)
      {
         return 0;
      }
      return iWidth > max_counted_bytes / 4 / iHeight ? max_counted_bytes : iWidth * iHeight * 4;
   }

   // (Re)creates the picture in place at the given size, every pixel transparent. A size that
   // `is_size_allowed` refuses leaves an empty picture and returns false.
   bool create(int iWidth, int iHeight);
   // The same with pixels of no defined value, for a caller that writes every pixel before any
   // is read (a decoder).
   bool create_for_overwrite(int iWidth, int iHeight);

   int width() const noexcept { return m_iWidth; }
   int height() const noexcept { return m_iHeight; }
   int scan_size() const noexcept { return m_iWidth * 4; }
   int layout() const noexcept { return native_layout; }
   bool _is_ok() const noexcept { return m_iWidth > 0 && m_iHeight > 0; }
   std::int64_t byte_count() const noexcept { return bytes_for(m_iWidth, m_iHeight); }

   std::uint32_t * data() noexcept { return m_pixels.data(); }
   const std::uint32_t * data() const noexcept { return m_pixels.data(); }
   std::uint32_t pixel(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * m_iWidth + x]; }
   std::uint32_t & pixel(int x, int y) { return m_pixels[static_cast<std::size_t>(y) * m_iWidth + x]; }
   // The first pixel of row y (0 is the top row).
   std::uint32_t * row(int y) noexcept { return m_pixels.data() + static_cast<std::size_t>(y) * m_iWidth; }
   const std::uint32_t * row(int y) const noexcept { return m_pixels.data() + static_cast<std::size_t>(y) * m_iWidth; }

   // Every pixel transparent.
   void clear() noexcept;
   // Every pixel the given straight colour.
   void fill(color::color color) noexcept;

   // Draws `imageOver` onto this picture with alpha blending ("over"), top-left corners together;
   // what lies outside this picture is dropped.
   void blend(const image & imageOver) noexcept;

private:
   int m_iWidth = 0;
   int m_iHeight = 0;
   std::vector<std::uint32_t, pixel_allocator<std::uint32_t>> m_pixels;
};

// The drawing library's arithmetic on premultiplied 8-bit channels, two channels (bits 0-7 and
// 16-23) at a time, with its rounding. Each channel times a / 255, rounded to the nearest:
inline std::uint32_t multiply_pair(std::uint32_t uPair, std::uint32_t a) noexcept
{
   const std::uint32_t t = (uPair & 0xff00ff) * a + 0x800080;
   return ((t + ((t >> 8) & 0xff00ff)) >> 8) & 0xff00ff;
}

// Each channel of two pairs summed, held at 255:
inline std::uint32_t add_saturated_pair(std::uint32_t a, std::uint32_t b) noexcept
{
   std::uint32_t t = a + b;
   t |= 0x1000100 - ((t >> 8) & 0x10001);
   return t & 0xff00ff;
}

// One premultiplied pixel over another ("over"): over + under * (255 - alpha of over) / 255.
inline std::uint32_t blend_pixel(std::uint32_t uOver, std::uint32_t uUnder) noexcept
{
   const std::uint32_t uRest = 255 - (uOver >> 24);
   return add_saturated_pair(multiply_pair(uUnder, uRest), uOver & 0xff00ff) |
          add_saturated_pair(multiply_pair(uUnder >> 8, uRest), (uOver >> 8) & 0xff00ff) << 8;
}

// Writes to `ptarget` `iCount` pixels of `pover` blended onto as many of `punder` ("over"), as
// `image::blend` does; the target may be either of them.
void blend_row(std::uint32_t * ptarget, const std::uint32_t * pover, const std::uint32_t * punder, int iCount) noexcept;
// The same onto `punder` itself.
inline void blend_row(std::uint32_t * punder, const std::uint32_t * pover, int iCount) noexcept
{
   blend_row(punder, pover, punder, iCount);
}

// Asks the processor to fetch pixels [x1, x2) of a row into the cache ahead of their use. Short
// pieces of rows far apart are otherwise fetched line by line as they are reached: the processor
// sees a stream coming only within one piece.
inline void prefetch_pixels(const std::uint32_t * prow, int x1, int x2) noexcept
{
   constexpr int pixels_per_line = 16;
   for (int x = x1; x < x2; x += pixels_per_line)
   {
      __builtin_prefetch(prow + x);
   }
}

} // namespace image
