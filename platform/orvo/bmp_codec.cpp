#include "orvo/bmp_codec.h"

#include "orvo/image_codec.h"
#include "orvo/stb_decoder.h"
#include "orvo/straight_alpha.h"

namespace image::bmp_codec
{

namespace
{

constexpr const char * bmp_name = "BMP";
constexpr std::uint32_t os2_header_size = 12;
constexpr std::uint32_t bi_rgb = 0;
constexpr std::uint32_t bi_alphabitfields = 6;

constexpr std::uint32_t file_header_size = 14;
constexpr std::uint32_t v4_header_size = 108;
constexpr std::uint32_t bi_bitfields = 3;
constexpr std::uint32_t pixels_per_metre = 2835; // 72 dots per inch
constexpr std::uint32_t colour_space_srgb = 0x73524742; // "sRGB"

void append_headers(std::vector<std::uint8_t> & memory, const image & image, std::uint32_t sizePixels)
{
   const std::uint32_t offsetPixels = file_header_size + v4_header_size;
   memory.push_back('B');
   memory.push_back('M');
   codec::append_le32(memory, offsetPixels + sizePixels);
   codec::append_le32(memory, 0);
   codec::append_le32(memory, offsetPixels);

   codec::append_le32(memory, v4_header_size);
   codec::append_le32(memory, static_cast<std::uint32_t>(image.width()));
   codec::append_le32(memory, static_cast<std::uint32_t>(image.height())); // positive: rows bottom first
   codec::append_le16(memory, 1);
   codec::append_le16(memory, 32);
   codec::append_le32(memory, bi_bitfields);
   codec::append_le32(memory, sizePixels);
   codec::append_le32(memory, pixels_per_metre);
   codec::append_le32(memory, pixels_per_metre);
   codec::append_le32(memory, 0); // colours used
   codec::append_le32(memory, 0); // important colours
   codec::append_le32(memory, 0x00FF0000); // red mask
   codec::append_le32(memory, 0x0000FF00); // green mask
   codec::append_le32(memory, 0x000000FF); // blue mask
   codec::append_le32(memory, 0xFF000000); // alpha mask
   codec::append_le32(memory, colour_space_srgb);
   memory.resize(memory.size() + 36 + 12); // end points and gamma, unused with sRGB
}

} // namespace

bool has_signature(const std::uint8_t * pdata, std::size_t size) noexcept
{
   return size >= 2 && pdata[0] == 'B' && pdata[1] == 'M';
}

outcome<pointer<image>> decode(const std::uint8_t * pdata, std::size_t size)
{
   if (size < file_header_size + 4 + os2_header_size)
   {
      return codec::load_failure(bmp_name, "file cut short in its header");
   }
   // The declared size, checked before the decoder allocates for it, and whether the file holds
   // all the rows (the decoder would read a missing remainder as black). Run-length BMP is not read.
   const std::uint32_t sizeHeader = codec::read_le32(pdata + 14);
   const bool bOs2 = sizeHeader == os2_header_size;
   if (!bOs2 && size < file_header_size + 20)
   {
      return codec::load_failure(bmp_name, "file cut short in its header");
   }
   const std::int64_t iWidth = bOs2 ? codec::read_le16(pdata + 18) : static_cast<std::int32_t>(codec::read_le32(pdata + 18));
   const std::int64_t iHeightSigned = bOs2 ? codec::read_le16(pdata + 20) : static_cast<std::int32_t>(codec::read_le32(pdata + 22));
   const std::int64_t iHeight = iHeightSigned < 0 ? -iHeightSigned : iHeightSigned;
   const std::int64_t iBits = codec::read_le16(pdata + (bOs2 ? 24 : 28));
   const std::uint32_t uCompression = bOs2 ? bi_rgb : codec::read_le32(pdata + 30);
   if (const outcome<> sized = codec::check_declared_size(bmp_name, iWidth, iHeight, size, image::max_pixels); !sized)
   {
      return failure(sized.error());
   }
   if (uCompression != bi_rgb && uCompression != bi_bitfields && uCompression != bi_alphabitfields)
   {
      return codec::load_failure(bmp_name, format("compression %u is not supported", uCompression));
   }
   const std::int64_t iScan = (iWidth * iBits + 31) / 32 * 4;
   if (static_cast<std::int64_t>(codec::read_le32(pdata + 10)) + iScan * iHeight > static_cast<std::int64_t>(size))
   {
      return codec::implausible_size(bmp_name, iWidth, iHeight, size);
   }
   return stb_decoder::decode(bmp_name, pdata, size);
}

outcome<std::vector<std::uint8_t>> encode(const image & image)
{
   if (!image._is_ok())
   {
      return failure("BMP: the picture is empty");
   }
   const std::size_t sizeRow = static_cast<std::size_t>(image.width()) * 4;
   const auto sizePixels = static_cast<std::uint32_t>(sizeRow * static_cast<std::size_t>(image.height()));
   std::vector<std::uint8_t> memory;
   append_headers(memory, image, sizePixels);
   const std::size_t offsetPixels = memory.size();
   memory.resize(offsetPixels + sizePixels);
   std::uint8_t * pbgra = memory.data() + offsetPixels;
   for (int y = image.height() - 1; y >= 0; --y)
   {
      const std::uint32_t * prow = image.row(y);
      for (int x = 0; x < image.width(); ++x, pbgra += 4)
      {
         const color::color color = straight_color(prow[x]);
         pbgra[0] = color.m_uchB;
         pbgra[1] = color.m_uchG;
         pbgra[2] = color.m_uchR;
         pbgra[3] = color.m_uchA;
      }
   }
   return memory;
}

} // namespace image::bmp_codec
