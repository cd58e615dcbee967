#pragma once

#include <cstdint>
#include <optional>

#include "orvo/hls.h"
#include "orvo/string.h"

namespace color
{

// A colour of four bytes: red, green, blue and alpha (straight, not premultiplied).
struct color
{
   std::uint8_t m_uchR = 0;
   std::uint8_t m_uchG = 0;
   std::uint8_t m_uchB = 0;
   std::uint8_t m_uchA = 255;

   constexpr color() = default;
   constexpr color(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) :
      m_uchR(r), m_uchG(g), m_uchB(b), m_uchA(a) {}

   // The colour of `hls` with the given alpha; each channel is rounded to the nearest byte, so
   // that a colour taken to `hls` and back is the same colour.
   color(const hls & hls, std::uint8_t a);

   hls get_hls() const;

   // From the 0xAARRGGBB form in which interface colours are written.
   static constexpr color from_argb(std::uint32_t argb)
   {
      return color(static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
                   static_cast<std::uint8_t>(argb), static_cast<std::uint8_t>(argb >> 24));
   }

   constexpr std::uint32_t argb() const
   {
      return (std::uint32_t(m_uchA) << 24) | (std::uint32_t(m_uchR) << 16) | (std::uint32_t(m_uchG) << 8) | m_uchB;
   }

   constexpr bool operator==(const color &) const = default;
};

inline constexpr color transparent(0, 0, 0, 0);
inline constexpr color white(255, 255, 255);

} // namespace color

// Reads a colour written as four fractions of 255 separated by blanks, red, green, blue and alpha
// ("0.247059 0.498039 0.498039 1.000000"; with three, alpha is 1), each rounded to the nearest
// byte and held within 0 to 1; or as six hexadecimal digits of red, green and blue ("E74C3C",
// optionally after "#"), opaque. Any other text gives nothing.
std::optional<color::color> as_color(scoped_string_base strText);

// Colour i of a fixed sequence of opaque colours whose neighbours are far apart in hue; the
// sequence repeats every 20 colours, and a negative i counts back from the end.
color::color _020GetColor(long long i);
