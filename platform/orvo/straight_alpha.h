#pragma once

#include <array>
#include <cstdint>

#include "orvo/color.h"

namespace image
{

// Turning the native premultiplied pixels back into the straight colours that were drawn, for
// everything that leaves the program (encoders, the layered document writer).

// g_straight_channel[alpha][premultiplied] = the premultiplied value times 255 / alpha, rounded to
// the nearest and capped at 255; 0 where alpha is 0 (a fully transparent pixel keeps no colour).
extern const std::array<std::array<std::uint8_t, 256>, 256> g_straight_channel;

inline std::uint8_t straight_channel(std::uint8_t uchPremultiplied, std::uint8_t uchAlpha) noexcept
{
   return g_straight_channel[uchAlpha][uchPremultiplied];
}

// The straight colour of one native pixel (premultiplied ARGB in one 32-bit word).
inline color::color straight_color(std::uint32_t uPixel) noexcept
{
   const auto uchAlpha = static_cast<std::uint8_t>(uPixel >> 24);
   return color::color(straight_channel(static_cast<std::uint8_t>(uPixel >> 16), uchAlpha),
                       straight_channel(static_cast<std::uint8_t>(uPixel >> 8), uchAlpha),
                       straight_channel(static_cast<std::uint8_t>(uPixel), uchAlpha), uchAlpha);
}

// The native pixel of a straight colour: each channel times alpha / 255, rounded to the nearest.
inline std::uint32_t premultiplied_pixel(color::color color) noexcept
{
   const auto premultiply = [&](std::uint8_t uch) { return (std::uint32_t(uch) * color.m_uchA + 127) / 255; };
   return (std::uint32_t(color.m_uchA) << 24) | (premultiply(color.m_uchR) << 16) |
          (premultiply(color.m_uchG) << 8) | premultiply(color.m_uchB);
}

} // namespace image
