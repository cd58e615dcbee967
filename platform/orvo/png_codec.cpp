#include "orvo/png_codec.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include "orvo/huge_pages.h"
#include "orvo/image32.h"
#include "orvo/image_codec.h"
#include "orvo/png_written_here.h"
#include "orvo/straight_alpha.h"

namespace image::png_codec
{

namespace
{

constexpr const char * png_name = "PNG";

// What the libpng callbacks reach: the output, and the text of the error that stopped the write.
struct write_state
{
   std::vector<std::uint8_t> * pmemory = nullptr;
   char szError[256] = {};
};

void on_error(png_structp png, png_const_charp pszMessage)
{
   auto pstate = static_cast<write_state *>(png_get_error_ptr(png));
   std::snprintf(pstate->szError, sizeof(pstate->szError), "%s", pszMessage);
   png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp)
{
}

void on_write(png_structp png, png_bytep pdata, png_size_t size)
{
   auto pstate = static_cast<write_state *>(png_get_io_ptr(png));
   bool bOk = true;
   try
   {
      pstate->pmemory->insert(pstate->pmemory->end(), pdata, pdata + size);
   }
   catch (const std::bad_alloc &)
   {
      bOk = false;
   }
   if (!bOk)
   {
      png_error(png, "out of memory");
   }
}

void on_flush(png_structp)
{
}

// The colours of a picture that has at most 256 of them, with their palette indices.
class colour_table
{
public:
   static constexpr int max_colours = 256;

   // The index of a native pixel, added when new; -1 when the table is full.
   int index_of(std::uint32_t u32) noexcept
   {
      std::size_t iSlot = slot_of(u32);
      while (m_slots[iSlot].iIndex >= 0)
      {
         if (m_slots[iSlot].u32 == u32)
         {
            return m_slots[iSlot].iIndex;
         }
         iSlot = (iSlot + 1) % slot_count;
      }
      if (m_iCount == max_colours)
      {
         return -1;
      }
      m_slots[iSlot] = {u32, m_iCount};
      m_colours[m_iCount] = u32;
      return m_iCount++;
   }

   int count() const noexcept { return m_iCount; }
   std::uint32_t colour(int iIndex) const noexcept { return m_colours[iIndex]; }

private:
   static constexpr std::size_t slot_count = 1024;

   struct slot
   {
      std::uint32_t u32 = 0;
      int iIndex = -1;
   };

   static std::size_t slot_of(std::uint32_t u32) noexcept { return (u32 * 2654435761u) >> 22; }

   slot m_slots[slot_count];
   std::uint32_t m_colours[max_colours] = {};
   int m_iCount = 0;
};

// How the pixels go into the file: palette indices when the picture has at most 256 colours
// (pixel maps mostly have a few dozen), otherwise RGB when it is opaque, otherwise RGBA.
struct pixel_form
{
   bool bOpaque = true;
   bool bPalette = true;
   int iBitDepth = 8;
   colour_table colours;
};

void analyse(const image & image, pixel_form & form) noexcept
{
   const std::uint32_t * ppixel = image.data();
   const std::size_t count = static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height());
   std::uint32_t uPrevious = ~ppixel[0];
   for (std::size_t i = 0; i < count; ++i)
   {
      const std::uint32_t u = ppixel[i];
      if (u == uPrevious)
      {
         continue;
      }
      uPrevious = u;
      form.bOpaque = form.bOpaque && (u >> 24) == 255;
      form.bPalette = form.bPalette && form.colours.index_of(u) >= 0;
      if (!form.bOpaque && !form.bPalette)
      {
         return;
      }
   }
   if (form.bPalette)
   {
      const int iColours = form.colours.count();
      form.iBitDepth = iColours <= 2 ? 1 : iColours <= 4 ? 2 : iColours <= 16 ? 4 : 8;
   }
}

// Palette indices of one row, packed at the form's bit depth, first pixel in the high bits.
void index_row(const std::uint32_t * psource, int iWidth, pixel_form & form, std::uint8_t * prow) noexcept
{
   const int iDepth = form.iBitDepth;
   const int iPerByte = 8 / iDepth;
   std::memset(prow, 0, static_cast<std::size_t>((iWidth + iPerByte - 1) / iPerByte));
   std::uint32_t uPrevious = ~psource[0];
   int iIndex = 0;
   for (int x = 0; x < iWidth; ++x)
   {
      if (psource[x] != uPrevious)
      {
         uPrevious = psource[x];
         iIndex = form.colours.index_of(uPrevious);
      }
      const int iShift = 8 - iDepth * (x % iPerByte + 1);
      prow[x / iPerByte] |= static_cast<std::uint8_t>(iIndex << iShift);
   }
}

// The bytes of one row in the form's layout.
void convert_row(const std::uint32_t * psource, int iWidth, pixel_form & form, std::uint8_t * prow) noexcept
{
   if (form.bPalette)
   {
      index_row(psource, iWidth, form, prow);
   }
   else if (!form.bOpaque)
   {
      image32_t::to_straight_rgba(psource, iWidth, prow);
   }
   else
   {
      for (int x = 0; x < iWidth; ++x, prow += 3)
      {
         const std::uint32_t u = psource[x];
         prow[0] = static_cast<std::uint8_t>(u >> 16);
         prow[1] = static_cast<std::uint8_t>(u >> 8);
         prow[2] = static_cast<std::uint8_t>(u);
      }
   }
}

void set_palette(png_structp png, png_infop info, const colour_table & colours)
{
   png_color palette[colour_table::max_colours] = {};
   png_byte alpha[colour_table::max_colours] = {};
   int iLastTranslucent = -1;
   for (int i = 0; i < colours.count(); ++i)
   {
      const color::color color = straight_color(colours.colour(i));
      palette[i] = {color.m_uchR, color.m_uchG, color.m_uchB};
      alpha[i] = color.m_uchA;
      if (color.m_uchA != 255)
      {
         iLastTranslucent = i;
      }
   }
   png_set_PLTE(png, info, palette, colours.count());
   if (iLastTranslucent >= 0)
   {
      png_set_tRNS(png, info, alpha, iLastTranslucent + 1, nullptr);
   }
}

// The most bytes the file of a picture may take: deflate adds at most 5 bytes to every 16 KiB it
// cannot pack (and the zlib and chunk framing a few more), and a palette and the headers under a
// kilobyte. The output is sized to it ahead, so that it is never copied as it grows; pages of it
// that the file does not reach are never touched.
std::size_t most_bytes_of_file(const image & image, const pixel_form & form) noexcept
{
   const auto iWidth = static_cast<std::size_t>(image.width());
   const std::size_t iRowBytes = form.bPalette ? (iWidth * static_cast<std::size_t>(form.iBitDepth) + 7) / 8 : iWidth * (form.bOpaque ? 3 : 4);
   const std::size_t iRaw = static_cast<std::size_t>(image.height()) * (iRowBytes + 1);
   return iRaw + iRaw / 1024 + 4096;
}

int colour_type(const pixel_form & form) noexcept
{
   return form.bPalette ? PNG_COLOR_TYPE_PALETTE : form.bOpaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA;
}

// The libpng part of the write. It holds no object with a destructor, since an error leaves it
// through longjmp; the row buffer belongs to the caller.
bool write_png(write_state & state, const image & image, pixel_form & form, std::uint8_t * prow)
{
   png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, on_error, on_warning);
   if (!png)
   {
      std::snprintf(state.szError, sizeof(state.szError), "cannot start the encoder");
      return false;
   }
   png_infop info = png_create_info_struct(png);
   if (!info || setjmp(png_jmpbuf(png)))
   {
      png_destroy_write_struct(&png, &info);
      return false;
   }
   png_set_write_fn(png, &state, on_write, on_flush);
   png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()),
                form.bPalette ? form.iBitDepth : 8, colour_type(form), PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                PNG_FILTER_TYPE_DEFAULT);
   if (form.bPalette)
   {
      set_palette(png, info, form.colours);
   }
   // Pixel maps are large flat areas. Palette indices compress best unfiltered; in full colour
   // the "up" filter turns the many rows that repeat the one above into zeros. A low deflate level
   // packs both nearly as well as a slow search, at a fraction of its time.
   png_set_filter(png, PNG_FILTER_TYPE_BASE, form.bPalette ? PNG_FILTER_NONE : PNG_FILTER_UP);
   png_set_compression_level(png, 3);
   png_set_compression_buffer_size(png, 1 << 20);
   png_write_info(png, info);
   for (int y = 0; y < image.height(); ++y)
   {
      convert_row(image.row(y), image.width(), form, prow);
      png_write_row(png, prow);
   }
   png_write_end(png, info);
   png_destroy_write_struct(&png, &info);
   return true;
}

} // namespace

bool has_signature(const std::uint8_t * pdata, std::size_t size) noexcept
{
   return size >= 8 && png_sig_cmp(pdata, 0, 8) == 0;
}

std::optional<size_type<int>> declared_size(const std::uint8_t * pdata, std::size_t size)
{
   png_image png{};
   png.version = PNG_IMAGE_VERSION;
   if (!png_image_begin_read_from_memory(&png, pdata, size))
   {
      return std::nullopt;
   }
   const size_type<int> declared{static_cast<int>(std::min<png_uint_32>(png.width, INT_MAX)), static_cast<int>(std::min<png_uint_32>(png.height, INT_MAX))};
   png_image_free(&png);
   return declared;
}

outcome<pointer<image>> decode(const std::uint8_t * pdata, std::size_t size)
{
   if (std::optional<pointer<image>> opicture = decode_written_here(pdata, size))
   {
      return *opicture;
   }
   return decode_with_libpng(pdata, size);
}

outcome<pointer<image>> decode_with_libpng(const std::uint8_t * pdata, std::size_t size)
{
   png_image png{};
   png.version = PNG_IMAGE_VERSION;
   if (!png_image_begin_read_from_memory(&png, pdata, size))
   {
      return codec::load_failure(png_name, png.message);
   }
   if (const outcome<> sized = codec::check_declared_size(png_name, png.width, png.height, size, max_pixels_per_byte); !sized)
   {
      png_image_free(&png);
      return failure(sized.error());
   }
   pointer<image> pimage = codec::new_picture(static_cast<int>(png.width), static_cast<int>(png.height));
   // On a little-endian machine straight BGRA bytes are the native word of an opaque pixel, so
   // that only translucent pixels are converted after.
   constexpr bool bNativeIsBgra = std::endian::native == std::endian::little;
   png.format = bNativeIsBgra ? PNG_FORMAT_BGRA : PNG_FORMAT_RGBA;
   if (!png_image_finish_read(&png, nullptr, pimage->data(), 0, nullptr))
   {
      failure why = codec::load_failure(png_name, png.message);
      png_image_free(&png);
      return why;
   }
   if constexpr (bNativeIsBgra)
   {
      codec::finish_straight_native(*pimage);
   }
   else
   {
      codec::finish_straight_rgba(*pimage);
   }
   return pimage;
}

outcome<std::vector<std::uint8_t>> encode(const image & image)
{
   if (!image._is_ok())
   {
      return failure("PNG: the picture is empty");
   }
   auto pform = std::make_unique<pixel_form>();
   analyse(image, *pform);
   std::vector<std::uint8_t> row(static_cast<std::size_t>(image.width()) * 4);
   std::vector<std::uint8_t> memory;
   memory.reserve(most_bytes_of_file(image, *pform));
   advise_huge_pages(memory.data(), memory.capacity());
   write_state state;
   state.pmemory = &memory;
   if (!write_png(state, image, *pform, row.data()))
   {
      return failure(format("PNG: %s", state.szError));
   }
   return memory;
}

} // namespace image::png_codec
