#pragma once

#include <cstdint>

#include "orvo/image.h"

namespace pixel_probe
{

constexpr std::uint32_t argb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
   return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

constexpr std::uint8_t alpha_of(std::uint32_t pixel)
{
   return static_cast<std::uint8_t>(pixel >> 24);
}

// The smallest pixel rectangle [left, right) x [top, bottom) that holds every pixel of the
// image whose alpha is above `uchThreshold`; empty (left == right) when there is none.
struct ink_box
{
   int left = 0;
   int top = 0;
   int right = 0;
   int bottom = 0;
   bool is_empty() const { return left >= right; }
};

inline ink_box find_ink(const image::image & image, std::uint8_t uchThreshold = 0)
{
   ink_box box{image.width(), image.height(), 0, 0};
   for (int y = 0; y < image.height(); ++y)
   {
      for (int x = 0; x < image.width(); ++x)
      {
         if (alpha_of(image.pixel(x, y)) > uchThreshold)
         {
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
         }
      }
   }
   if (box.right == 0)
   {
      return {};
   }
   return box;
}

} // namespace pixel_probe
