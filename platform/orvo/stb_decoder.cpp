#include "orvo/stb_decoder.h"

#include <climits>

#include "orvo/image32.h"
#include "orvo/image_codec.h"
#include "orvo/stb_image_impl.h"

namespace image::stb_decoder
{

bool recognises(const std::uint8_t * pdata, std::size_t size) noexcept
{
   return declared_size(pdata, size).has_value();
}

std::optional<size_type<int>> declared_size(const std::uint8_t * pdata, std::size_t size) noexcept
{
   int iWidth = 0;
   int iHeight = 0;
   if (size == 0 || size > INT_MAX || !brisvane_stbi_info(pdata, static_cast<int>(size), &iWidth, &iHeight))
   {
      return std::nullopt;
   }
   return size_type<int>{iWidth, iHeight};
}

outcome<pointer<image>> decode(const char * pszFormat, const std::uint8_t * pdata, std::size_t size)
{
   if (size > INT_MAX)
   {
      return codec::load_failure(pszFormat, "file too large");
   }
   int iWidth = 0;
   int iHeight = 0;
   if (!brisvane_stbi_info(pdata, static_cast<int>(size), &iWidth, &iHeight))
   {
      return codec::load_failure(pszFormat, brisvane_stbi_failure_reason());
   }
   if (const outcome<> sized = codec::check_declared_size(pszFormat, iWidth, iHeight, size, image::max_pixels); !sized)
   {
      return failure(sized.error());
   }
   std::uint8_t * prgba = brisvane_stbi_load(pdata, static_cast<int>(size), &iWidth, &iHeight);
   if (!prgba)
   {
      return codec::load_failure(pszFormat, brisvane_stbi_failure_reason());
   }
   pointer<image> pimage = codec::new_picture(iWidth, iHeight);
   outcome<pointer<image>> result = pimage->_is_ok() ? outcome<pointer<image>>(pimage) : codec::refused_size(pszFormat, iWidth, iHeight);
   if (result)
   {
      image32_t::from_straight_rgba(prgba, iWidth * iHeight, pimage->data());
   }
   brisvane_stbi_free(prgba);
   return result;
}

} // namespace image::stb_decoder
