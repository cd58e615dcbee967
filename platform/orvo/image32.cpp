#include "orvo/image32.h"

#include <cstring>

namespace
{

// c * a / 255, rounded to the nearest integer, for bytes.
inline std::uint32_t scale_byte(std::uint32_t c, std::uint32_t a) noexcept
{
   const std::uint32_t t = c * a + 128;
   return (t + (t >> 8)) >> 8;
}

// The straight value of a premultiplied channel, rounded and kept within a byte.
inline std::uint8_t unscale_byte(std::uint32_t c, std::uint32_t a) noexcept
{
   const std::uint32_t v = (c * 255 + a / 2) / a;
   return static_cast<std::uint8_t>(v > 255 ? 255 : v);
}

} // namespace

std::uint32_t image32_t::premultiply(color::color color) noexcept
{
   const std::uint32_t a = color.m_uchA;
   if (a == 255)
   {
      return color.argb();
   }
   return (a << 24) | (scale_byte(color.m_uchR, a) << 16) | (scale_byte(color.m_uchG, a) << 8) | scale_byte(color.m_uchB, a);
}

color::color image32_t::unpremultiply(std::uint32_t u32) noexcept
{
   const std::uint32_t a = u32 >> 24;
   if (a == 255)
   {
      return color::color::from_argb(u32);
   }
   if (a == 0)
   {
      return color::color(0, 0, 0, 0);
   }
   return color::color(unscale_byte((u32 >> 16) & 0xff, a), unscale_byte((u32 >> 8) & 0xff, a), unscale_byte(u32 & 0xff, a),
                       static_cast<std::uint8_t>(a));
}

void image32_t::to_straight_rgba(const std::uint32_t * psource, int iCount, std::uint8_t * prgba) noexcept
{
   for (int i = 0; i < iCount; ++i, prgba += 4)
   {
      const color::color color = unpremultiply(psource[i]);
      prgba[0] = color.m_uchR;
      prgba[1] = color.m_uchG;
      prgba[2] = color.m_uchB;
      prgba[3] = color.m_uchA;
   }
}

void image32_t::from_straight_rgba(const std::uint8_t * prgba, int iCount, std::uint32_t * pdestination) noexcept
{
   for (int i = 0; i < iCount; ++i, prgba += 4)
   {
      pdestination[i] = premultiply(color::color(prgba[0], prgba[1], prgba[2], prgba[3]));
   }
}

void image32_t::vertical_swap_copy(int iWidth, int iHeight, int iScan, const image32_t * psource, int iLayoutSource) noexcept
{
   if (iWidth <= 0 || iHeight <= 0)
   {
      return;
   }
   const std::size_t sizeRow = static_cast<std::size_t>(iWidth) * 4;
   const std::size_t scanSource = iLayoutSource >= 1 ? static_cast<std::size_t>(iLayoutSource) : sizeRow;
   const std::size_t scanDestination = iScan >= 1 ? static_cast<std::size_t>(iScan) : sizeRow;
   auto pdestination = reinterpret_cast<unsigned char *>(this);
   auto psourceBytes = reinterpret_cast<const unsigned char *>(psource);
   for (std::size_t y = 0; y < static_cast<std::size_t>(iHeight); ++y)
   {
      const std::size_t ySource = static_cast<std::size_t>(iHeight) - 1 - y;
      std::memcpy(pdestination + y * scanDestination, psourceBytes + ySource * scanSource, sizeRow);
   }
}
