#include "orvo/png_written_here.h"

#include <libdeflate.h>

#include <bit>
#include <cstring>
#include <memory>
#include <vector>

#include "orvo/image.h"
#include "orvo/image_codec.h"
#include "orvo/png_codec.h"

namespace image::png_codec
{

namespace
{

// The signature at the file's start.
constexpr std::size_t signature_bytes = 8;
constexpr std::size_t chunk_frame = 12; // length, type, CRC
constexpr std::uint8_t filter_none = 0;
constexpr std::uint8_t filter_up = 2;
// As libpng's reader, which refuses longer chunks.
constexpr std::uint32_t longest_chunk = 0x7FFFFFFF;

std::uint32_t read_be32(const std::uint8_t * p) noexcept
{
   return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

struct header
{
   std::uint32_t m_uWidth = 0;
   std::uint32_t m_uHeight = 0;
   int m_iChannels = 0;
};

// The header of a full-colour, 8-bit, not interlaced picture; none for any other.
std::optional<header> read_header(const std::uint8_t * pdata)
{
   header read{read_be32(pdata), read_be32(pdata + 4), 0};
   const std::uint8_t uchDepth = pdata[8];
   const std::uint8_t uchColour = pdata[9];
   if (uchDepth != 8 || (uchColour != 2 && uchColour != 6) || pdata[10] != 0 || pdata[11] != 0 || pdata[12] != 0)
   {
      return std::nullopt;
   }
   read.m_iChannels = uchColour == 2 ? 3 : 4;
   return read;
}

// The file's IHDR and its IDAT data, when the file holds no other chunk and every CRC is right.
struct chunks
{
   header m_header;
   std::vector<const std::uint8_t *> m_data;
   std::vector<std::size_t> m_lengths;
   std::size_t m_iDataBytes = 0;
};

std::optional<chunks> read_chunks(const std::uint8_t * pdata, std::size_t size)
{
   if (!has_signature(pdata, size))
   {
      return std::nullopt;
   }
   chunks read;
   bool bHeader = false;
   for (std::size_t i = signature_bytes; i < size;)
   {
      if (size - i < chunk_frame)
      {
         return std::nullopt;
      }
      const std::uint32_t uLength = read_be32(pdata + i);
      if (uLength > longest_chunk || uLength > size - i - chunk_frame)
      {
         return std::nullopt;
      }
      const std::uint8_t * ptype = pdata + i + 4;
      const std::uint8_t * pchunk = ptype + 4;
      if (libdeflate_crc32(0, ptype, uLength + 4) != read_be32(pchunk + uLength))
      {
         return std::nullopt;
      }
      i += chunk_frame + uLength;
      if (std::memcmp(ptype, "IHDR", 4) == 0 && !bHeader && uLength == 13)
      {
         std::optional<header> oheader = read_header(pchunk);
         if (!oheader)
         {
            return std::nullopt;
         }
         read.m_header = *oheader;
         bHeader = true;
      }
      else if (std::memcmp(ptype, "IDAT", 4) == 0 && bHeader)
      {
         read.m_data.push_back(pchunk);
         read.m_lengths.push_back(uLength);
         read.m_iDataBytes += uLength;
      }
      else if (std::memcmp(ptype, "IEND", 4) == 0 && bHeader && !read.m_data.empty() && uLength == 0 && i == size)
      {
         return read;
      }
      else
      {
         return std::nullopt;
      }
   }
   return std::nullopt;
}

// The bytes read on the way to the pixels. They live in pixel memory: a large buffer let go is
// kept for the next picture's rows, as pictures' pixels are, and given back with them.
using byte_buffer = std::vector<std::uint8_t, pixel_allocator<std::uint8_t>>;

// The zlib stream of the IDAT chunks inflated whole into `rows`: false unless it fills them
// exactly, ends where the data ends and its checksum is right.
bool inflate_rows(const chunks & read, byte_buffer & rows)
{
   byte_buffer joined;
   if (read.m_iDataBytes < 2)
   {
      return false;
   }
   const std::uint8_t * pstream = read.m_data.front();
   if (read.m_data.size() > 1)
   {
      joined.resize(read.m_iDataBytes);
      std::size_t iAt = 0;
      for (std::size_t i = 0; i < read.m_data.size(); ++i)
      {
         std::memcpy(joined.data() + iAt, read.m_data[i], read.m_lengths[i]);
         iAt += read.m_lengths[i];
      }
      pstream = joined.data();
   }
   const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> pinflater(libdeflate_alloc_decompressor(),
                                                                                                      &libdeflate_free_decompressor);
   if (!pinflater)
   {
      return false;
   }
   // A 32 KiB window, the most deflate uses, as zlib writes it: no distance can reach beyond it,
   // which zlib would refuse and libdeflate would not.
   if (pstream[0] != 0x78)
   {
      return false;
   }
   std::size_t iIn = 0;
   std::size_t iOut = 0;
   const libdeflate_result result =
      libdeflate_zlib_decompress_ex(pinflater.get(), pstream, read.m_iDataBytes, rows.data(), rows.size(), &iIn, &iOut);
   return result == LIBDEFLATE_SUCCESS && iIn == read.m_iDataBytes && iOut == rows.size();
}

// Undoes each row's filter and writes the pixels in the native form, straight colours for now
// (BGRA bytes are the native word of an opaque pixel on a little-endian machine). False for a
// filter other than "none" or "up".
bool write_pixels(const header & read, byte_buffer & rows, image & picture)
{
   const auto iWidth = static_cast<std::size_t>(read.m_uWidth);
   const std::size_t iRowBytes = iWidth * static_cast<std::size_t>(read.m_iChannels);
   const std::uint8_t * pprevious = nullptr;
   for (std::size_t y = 0; y < read.m_uHeight; ++y)
   {
      std::uint8_t * prow = rows.data() + y * (iRowBytes + 1);
      const std::uint8_t uchFilter = *prow++;
      if (uchFilter == filter_up && pprevious != nullptr)
      {
         for (std::size_t i = 0; i < iRowBytes; ++i)
         {
            prow[i] = static_cast<std::uint8_t>(prow[i] + pprevious[i]);
         }
      }
      else if (uchFilter != filter_none && uchFilter != filter_up)
      {
         return false;
      }
      pprevious = prow;
      std::uint32_t * ppixel = picture.row(static_cast<int>(y));
      if (read.m_iChannels == 3)
      {
         for (std::size_t x = 0; x < iWidth; ++x)
         {
            const std::uint8_t * p = prow + 3 * x;
            ppixel[x] = 0xff000000u | std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
         }
      }
      else
      {
         for (std::size_t x = 0; x < iWidth; ++x)
         {
            const std::uint8_t * p = prow + 4 * x;
            ppixel[x] = std::uint32_t(p[3]) << 24 | std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
         }
      }
   }
   return true;
}

} // namespace

std::optional<pointer<image>> decode_written_here(const std::uint8_t * pdata, std::size_t size)
{
   if constexpr (std::endian::native != std::endian::little)
   {
      return std::nullopt;
   }
   const std::optional<chunks> oread = read_chunks(pdata, size);
   if (!oread)
   {
      return std::nullopt;
   }
   const header & read = oread->m_header;
   if (!codec::check_declared_size("PNG", read.m_uWidth, read.m_uHeight, size, max_pixels_per_byte))
   {
      return std::nullopt;
   }
   byte_buffer rows(static_cast<std::size_t>(read.m_uHeight) * (static_cast<std::size_t>(read.m_uWidth) * read.m_iChannels + 1));
   if (!inflate_rows(*oread, rows))
   {
      return std::nullopt;
   }
   pointer<image> pimage = codec::new_picture(static_cast<int>(read.m_uWidth), static_cast<int>(read.m_uHeight));
   if (!write_pixels(read, rows, *pimage))
   {
      return std::nullopt;
   }
   if (read.m_iChannels == 4)
   {
      codec::finish_straight_native(*pimage);
   }
   return pimage;
}

} // namespace image::png_codec
