#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "orvo/color.h"
#include "orvo/for_overwrite.h"
#include "orvo/particle.h"
#include "orvo/pointer.h"

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
// native-endian 32-bit word (alpha in the top byte), rows top first. Drawing contexts render into
// these pixels with no copy. The pixels always live in memory: `data()` is the mapping for reading
// and writing, valid until the next `create` or change of place. A picture's rows are packed (a
// row is exactly width * 4 bytes), but for a picture placed in another's rows (`place_in`), whose
// rows lie `stride()` pixels apart: such pictures are read and written row by row.
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
   ~image() override;

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

   // (Re)creates the picture in place at the given size, every pixel transparent, in memory of
   // its own. A size that `is_size_allowed` refuses leaves an empty picture and returns false. A
   // picture whose rows hold others' pixels (`holds_others`) must not be made again: that is a
   // fault of the caller, thrown as `std::logic_error`.
   bool create(int iWidth, int iHeight);
   // The same with pixels of no defined value, for a caller that writes every pixel before any
   // is read (a decoder).
   bool create_for_overwrite(int iWidth, int iHeight);

   // The picture's pixels go into the rows of `pholder` at (x, y), which the picture must fit in
   // (the holder must be a picture of memory of its own): nothing is copied from then on to
   // show them there. With `bKeepPixels` they are moved there (from memory of its own or from
   // another place in the same holder, which may overlap the new one); otherwise they are of no
   // defined value. The picture's own memory goes. The holder stays alive and is not made again
   // while it holds the picture.
   void place_in(const pointer<image> & pholder, int x, int y, bool bKeepPixels);
   // A new picture of w x h whose pixels lie in the rows of `pholder` at (x, y), of no defined
   // value, as `place_in` leaves them.
   static pointer<image> placed_in(const pointer<image> & pholder, int x, int y, int iWidth, int iHeight);
   // The pixels go back into memory of the picture's own, as they are; false, leaving the
   // picture as it was, when that memory cannot be had.
   bool take_back_pixels() noexcept;
   // The picture whose rows hold this picture's pixels, or null when they are in its own memory.
   const image * holder() const noexcept { return m_pimageHolder.get(); }
   // Where in the holder's rows the pixels lie (0, 0 when in memory of its own).
   int x_in_holder() const noexcept;
   int y_in_holder() const noexcept;
   // Whether other pictures' pixels lie in this one's rows.
   bool holds_others() const noexcept { return m_iPicturesHeld > 0; }

   int width() const noexcept { return m_iWidth; }
   int height() const noexcept { return m_iHeight; }
   // Pixels from one row's start to the next one's.
   int stride() const noexcept { return m_iStride; }
   int scan_size() const noexcept { return m_iStride * 4; }
   // The layout value handed to drawing contexts: `native_layout` for packed rows, else the
   // bytes from one row to the next.
   int layout() const noexcept { return m_iStride == m_iWidth ? native_layout : scan_size(); }
   bool _is_ok() const noexcept { return m_iWidth > 0 && m_iHeight > 0; }
   std::int64_t byte_count() const noexcept { return bytes_for(m_iWidth, m_iHeight); }
   // The bytes of memory of its own that the pixels take: none when another picture holds them.
   std::int64_t own_byte_count() const noexcept { return m_pimageHolder ? 0 : byte_count(); }

   std::uint32_t * data() noexcept { return m_ppixels; }
   const std::uint32_t * data() const noexcept { return m_ppixels; }
   std::uint32_t pixel(int x, int y) const { return row(y)[x]; }
   std::uint32_t & pixel(int x, int y) { return row(y)[x]; }
   // The first pixel of row y (0 is the top row).
   std::uint32_t * row(int y) noexcept { return m_ppixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_iStride); }
   const std::uint32_t * row(int y) const noexcept { return m_ppixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_iStride); }

   // Every pixel transparent.
   void clear() noexcept;
   // Every pixel the given straight colour.
   void fill(color::color color) noexcept;

   // Draws `imageOver` onto this picture with alpha blending ("over"), top-left corners together;
   // what lies outside this picture is dropped.
   void blend(const image & imageOver) noexcept;

private:
   // The picture no longer shows its pixels in a holder's rows.
   void leave_holder() noexcept;
   // Lets the memory of its own go.
   void free_own_pixels() noexcept;
   // The picture is w x h, in the memory of its own.
   void show_own_pixels(int iWidth, int iHeight) noexcept;
   // Every pixel that word.
   void fill_words(std::uint32_t uPixel) noexcept;

   int m_iWidth = 0;
   int m_iHeight = 0;
   int m_iStride = 0;
   std::uint32_t * m_ppixels = nullptr;
   std::vector<std::uint32_t, pixel_allocator<std::uint32_t>> m_pixels;
   pointer<image> m_pimageHolder;
   // How many pictures show their pixels in this one's rows.
   int m_iPicturesHeld = 0;
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

// Writes `iCount` pixels of `psource` to `ptarget` straight to memory, past the caches: for rows
// of a picture much larger than the caches that are written whole before anything reads them, so
// that memory is not first read in to be overwritten. `finish_streaming` must follow the last
// such write before the pixels are read.
void stream_pixels(std::uint32_t * ptarget, const std::uint32_t * psource, std::size_t iCount) noexcept;
void finish_streaming() noexcept;
// Pictures of this many bytes or more are much larger than the caches, and worth streaming.
constexpr std::int64_t streamed_picture_bytes = std::int64_t(8) << 20;

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
