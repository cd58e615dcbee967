#pragma once

#include <cstdint>

// One pixel in the native form of `image::image`: premultiplied ARGB in one native-endian 32-bit
// word, alpha in the top byte. Single pixels convert with orvo/straight_alpha.h; whole rows below.
struct image32_t
{
   std::uint32_t m_u32 = 0;

   // Straight RGBA bytes (4 per pixel) from `iCount` native words, and back.
   static void to_straight_rgba(const std::uint32_t * psource, int iCount, std::uint8_t * prgba) noexcept;
   static void from_straight_rgba(const std::uint8_t * prgba, int iCount, std::uint32_t * pdestination) noexcept;

   // Copies a picture of iWidth x iHeight pixels from `psource` into the pixels that start at this
   // one, with the rows in reverse order (the source's last row becomes the first). iScan is the
   // destination's row size in bytes; iLayoutSource is the source's row size in bytes, or -1 (any
   // value below 1) for packed rows of iWidth * 4 bytes. Pixels are copied as they are.
   void vertical_swap_copy(int iWidth, int iHeight, int iScan, const image32_t * psource, int iLayoutSource) noexcept;
};

static_assert(sizeof(image32_t) == 4, "a pixel is one 32-bit word");
