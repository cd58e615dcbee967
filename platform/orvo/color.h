#pragma once

#include <cstdint>

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

} // namespace color
