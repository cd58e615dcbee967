#include "orvo/tga_codec.h"

#include <algorithm>

#include "orvo/image_codec.h"
#include "orvo/stb_decoder.h"
#include "orvo/straight_alpha.h"

namespace image::tga_codec
{

namespace
{

constexpr const char * tga_name = "TGA";
constexpr std::size_t header_size = 18;

constexpr std::uint8_t image_type_rle_true_colour = 10;
constexpr std::uint8_t descriptor_alpha_bits = 8; // origin bottom left
constexpr int max_packet = 128;

void append_header(std::vector<std::uint8_t> & memory, const image & image)
{
   memory.push_back(0); // no image id
   memory.push_back(0); // no colour map
   memory.push_back(image_type_rle_true_colour);
   memory.resize(memory.size() + 5); // colour map fields: no colour map
   codec::append_le16(memory, 0); // x origin
   codec::append_le16(memory, 0); // y origin
   codec::append_le16(memory, static_cast<std::uint32_t>(image.width()));
   codec::append_le16(memory, static_cast<std::uint32_t>(image.height()));
   memory.push_back(32);
   memory.push_back(descriptor_alpha_bits);
}

// The length of the run of equal pixels that starts at the first one, at most max_packet.
int run_length(const std::uint32_t * ppixel, int iCount) noexcept
{
   int i = 1;
   while (i < iCount && i < max_packet && ppixel[i] == ppixel[0])
   {
      ++i;
   }
   return i;
}

// The number of pixels from the first one that no run of two or more starts among, at most max_packet.
int literal_length(const std::uint32_t * ppixel, int iCount) noexcept
{
   int i = 1;
   while (i < iCount && i < max_packet && !(i + 1 < iCount && ppixel[i] == ppixel[i + 1]))
   {
      ++i;
   }
   return i;
}

// The straight BGRA bytes of a row, as one little-endian word a pixel, packed into run-length packets.
void append_row(std::vector<std::uint8_t> & memory, const std::uint32_t * prow, int iWidth)
{
   int x = 0;
   while (x < iWidth)
   {
      const int iRun = run_length(prow + x, iWidth - x);
      if (iRun >= 2)
      {
         memory.push_back(static_cast<std::uint8_t>(0x80 | (iRun - 1)));
         codec::append_le32(memory, prow[x]);
         x += iRun;
         continue;
      }
      const int iLiteral = literal_length(prow + x, iWidth - x);
      memory.push_back(static_cast<std::uint8_t>(iLiteral - 1));
      for (int i = 0; i < iLiteral; ++i)
      {
         codec::append_le32(memory, prow[x + i]);
      }
      x += iLiteral;
   }
}

// Whether the pixel data from `offset` on holds iPixels pixels of iBytes bytes: stored as they
// are, or in run-length packets (a count byte, then one pixel or that many pixels).
bool holds_pixels(const std::uint8_t * pdata, std::size_t size, std::size_t offset, std::int64_t iPixels,
                  std::size_t bytesPixel, bool bRunLength) noexcept
{
   if (!bRunLength)
   {
      return offset <= size && static_cast<std::int64_t>((size - offset) / bytesPixel) >= iPixels;
   }
   while (iPixels > 0)
   {
      if (offset >= size)
      {
         return false;
      }
      const std::uint8_t uchPacket = pdata[offset++];
      const std::size_t count = (uchPacket & 0x7f) + 1u;
      const std::size_t bytes = (uchPacket & 0x80) ? bytesPixel : bytesPixel * count;
      if (size - offset < bytes)
      {
         return false;
      }
      offset += bytes;
      iPixels -= static_cast<std::int64_t>(count);
   }
   return true;
}

} // namespace

outcome<pointer<image>> decode(const std::uint8_t * pdata, std::size_t size)
{
   if (size < header_size)
   {
      return codec::load_failure(tga_name, "file cut short in its header");
   }
   // The declared size, checked before the decoder allocates for it, and whether the file holds
   // all the pixel data (the decoder would read a missing remainder as black).
   const std::int64_t iWidth = codec::read_le16(pdata + 12);
   const std::int64_t iHeight = codec::read_le16(pdata + 14);
   if (const outcome<> sized = codec::check_declared_size(tga_name, iWidth, iHeight, size, image::max_pixels); !sized)
   {
      return failure(sized.error());
   }
   const std::uint8_t uchImageType = pdata[2];
   const std::size_t bytesMap = pdata[1] ? codec::read_le16(pdata + 5) * ((pdata[7] + 7u) / 8u) : 0;
   const std::size_t bytesPixel = std::max((pdata[16] + 7u) / 8u, 1u);
   if (!holds_pixels(pdata, size, header_size + pdata[0] + bytesMap, iWidth * iHeight, bytesPixel, uchImageType >= 8))
   {
      return codec::implausible_size(tga_name, iWidth, iHeight, size);
   }
   return stb_decoder::decode(tga_name, pdata, size);
}

outcome<std::vector<std::uint8_t>> encode(const image & image)
{
   if (!image._is_ok())
   {
      return failure("TGA: the picture is empty");
   }
   std::vector<std::uint8_t> memory;
   append_header(memory, image);
   std::vector<std::uint32_t> row(static_cast<std::size_t>(image.width()));
   for (int y = image.height() - 1; y >= 0; --y)
   {
      const std::uint32_t * psource = image.row(y);
      for (int x = 0; x < image.width(); ++x)
      {
         row[static_cast<std::size_t>(x)] = straight_color(psource[x]).argb();
      }
      append_row(memory, row.data(), image.width());
   }
   return memory;
}

} // namespace image::tga_codec
