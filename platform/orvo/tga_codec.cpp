#include "orvo/tga_codec.h"

#include "orvo/image32.h"
#include "orvo/image_codec.h"
#include "orvo/stb_decoder.h"

namespace image::tga_codec
{

namespace
{

constexpr const char * tga_name = "TGA";
// A run-length packet of two bytes (one-byte pixels) can stand for 128 pixels.
constexpr std::int64_t max_pixels_per_byte = 64;

constexpr std::uint8_t image_type_rle_true_colour = 10;
constexpr std::uint8_t descriptor_alpha_bits = 8; // origin bottom left
constexpr int max_packet = 128;

void append_header(std::vector<std::uint8_t> & memory, const image & image)
{
   memory.push_back(0); // no image id
   memory.push_back(0); // no colour map
   memory.push_back(image_type_rle_true_colour);
   memory.resize(memory.size() + 5); // colour map specification
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

} // namespace

load_result decode(const std::uint8_t * pdata, std::size_t size)
{
   return stb_decoder::decode(tga_name, pdata, size, max_pixels_per_byte);
}

encode_result encode(const image & image)
{
   encode_result result;
   if (!image._is_ok())
   {
      result.m_strError = "TGA: the picture is empty";
      return result;
   }
   append_header(result.m_memory, image);
   std::vector<std::uint32_t> row(static_cast<std::size_t>(image.width()));
   for (int y = image.height() - 1; y >= 0; --y)
   {
      const std::uint32_t * psource = image.row(y);
      for (int x = 0; x < image.width(); ++x)
      {
         row[static_cast<std::size_t>(x)] = image32_t::unpremultiply(psource[x]).argb();
      }
      append_row(result.m_memory, row.data(), image.width());
   }
   return result;
}

} // namespace image::tga_codec
