#include "orvo/image_codec.h"

#include "orvo/image32.h"
#include "orvo/straight_alpha.h"

namespace image::codec
{

failure load_failure(const char * pszFormat, const string_base & strReason)
{
   return failure(format("%s: %s", pszFormat, strReason.c_str()));
}

failure refused_size(const char * pszFormat, std::int64_t iWidth, std::int64_t iHeight)
{
   return load_failure(pszFormat, format("picture too large: %lld x %lld pixels (at most %lld per side and %lld in all)",
                                         static_cast<long long>(iWidth), static_cast<long long>(iHeight),
                                         static_cast<long long>(image::max_side), static_cast<long long>(image::max_pixels)));
}

failure implausible_size(const char * pszFormat, std::int64_t iWidth, std::int64_t iHeight, std::size_t size)
{
   return load_failure(pszFormat, format("%zu bytes cannot hold %lld x %lld pixels: the file is cut or corrupt", size,
                                         static_cast<long long>(iWidth), static_cast<long long>(iHeight)));
}

outcome<> check_declared_size(const char * pszFormat, std::int64_t iWidth, std::int64_t iHeight, std::size_t size,
                              std::int64_t iPixelsPerByte)
{
   if (iWidth < 1 || iHeight < 1)
   {
      return load_failure(pszFormat, format("no pixels: %lld x %lld", static_cast<long long>(iWidth), static_cast<long long>(iHeight)));
   }
   if (!image::is_size_allowed(iWidth, iHeight))
   {
      return refused_size(pszFormat, iWidth, iHeight);
   }
   if (iWidth * iHeight > static_cast<std::int64_t>(size) * iPixelsPerByte)
   {
      return implausible_size(pszFormat, iWidth, iHeight, size);
   }
   return {};
}

pointer<image> new_picture(int iWidth, int iHeight)
{
   pointer<image> pimage = make_pointer<image>();
   pimage->create_for_overwrite(iWidth, iHeight);
   return pimage;
}

void finish_straight_rgba(image & image) noexcept
{
   // Each pixel's four bytes are read before its word is written, so the conversion runs in place.
   image32_t::from_straight_rgba(reinterpret_cast<const std::uint8_t *>(image.data()), image.width() * image.height(), image.data());
}

void finish_straight_native(image & image) noexcept
{
   std::uint32_t * ppixel = image.data();
   const std::size_t count = static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height());
   for (std::size_t i = 0; i < count; ++i)
   {
      const std::uint32_t u = ppixel[i];
      if (u >> 24 != 255)
      {
         ppixel[i] = premultiplied_pixel(color::color(static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 8),
                                                      static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 24)));
      }
   }
}

std::uint32_t read_le16(const std::uint8_t * p) noexcept
{
   return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
}

std::uint32_t read_le32(const std::uint8_t * p) noexcept
{
   return read_le16(p) | (read_le16(p + 2) << 16);
}

void append_le16(std::vector<std::uint8_t> & memory, std::uint32_t u)
{
   memory.push_back(static_cast<std::uint8_t>(u));
   memory.push_back(static_cast<std::uint8_t>(u >> 8));
}

void append_le32(std::vector<std::uint8_t> & memory, std::uint32_t u)
{
   append_le16(memory, u);
   append_le16(memory, u >> 16);
}

} // namespace image::codec
