#include "orvo/image32.h"

#include <cstring>

#include "orvo/straight_alpha.h"

void image32_t::to_straight_rgba(const std::uint32_t * psource, int iCount, std::uint8_t * prgba) noexcept
{
   for (int i = 0; i < iCount; ++i, prgba += 4)
   {
      const color::color color = ::image::straight_color(psource[i]);
      prgba[0] = color.m_uchR;
      prgba[1] = color.m_uchG;
      prgba[2] = color.m_uchB;
      prgba[3] = color.m_uchA;
   }
}

void image32_t::from_straight_rgba(const std::uint8_t * prgba, int iCount, std::uint32_t * pdestination) noexcept
{
   // The source may be the destination itself: each pixel's bytes are read before its word is
   // written.
   for (int i = 0; i < iCount; ++i, prgba += 4)
   {
      const std::uint8_t uchAlpha = prgba[3];
      pdestination[i] = uchAlpha == 255 ? 0xff000000u | std::uint32_t(prgba[0]) << 16 | std::uint32_t(prgba[1]) << 8 | prgba[2]
                                        : ::image::premultiplied_pixel(color::color(prgba[0], prgba[1], prgba[2], uchAlpha));
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
