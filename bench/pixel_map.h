#pragma once

#include <cstdint>

#include "orvo/image.h"

// A pixel map as the program exports them: boxes of 128 x 128 pixels in six colours with 1-pixel
// borders, and text-like detail (anti-aliased strokes of a label) in about 2 % of the pixels.
inline void draw_pixel_map(image::image & image)
{
   static constexpr std::uint32_t box_colours[6] = {0xFFE74C3C, 0xFF2ECC71, 0xFF3498DB, 0xFFF1C40F, 0xFF9B59B6, 0xFF1ABC9C};
   static constexpr std::uint32_t text_levels[4] = {0xFFFFFFFF, 0xFFD0D0D0, 0xFF909090, 0xFF505050};
   constexpr int box = 128;
   std::uint32_t uRandom = 12345;
   auto next_random = [&uRandom]() { return uRandom = uRandom * 1664525u + 1013904223u; };
   for (int y = 0; y < image.height(); ++y)
   {
      for (int x = 0; x < image.width(); ++x)
      {
         const bool bBorder = x % box == 0 || y % box == 0;
         image.pixel(x, y) = bBorder ? 0xFF202020 : box_colours[(x / box + y / box * 7) % 6];
      }
   }
   // The label of each box: twelve glyph cells of 8 x 12 pixels, 27 pixels lit in each.
   for (int yBox = 0; yBox + box <= image.height(); yBox += box)
   {
      for (int xBox = 0; xBox + box <= image.width(); xBox += box)
      {
         for (int iGlyph = 0; iGlyph < 12; ++iGlyph)
         {
            for (int i = 0; i < 27; ++i)
            {
               const int x = xBox + 16 + iGlyph * 8 + static_cast<int>(next_random() >> 29);
               const int y = yBox + 58 + static_cast<int>((next_random() >> 16) % 12);
               image.pixel(x, y) = text_levels[next_random() >> 30];
            }
         }
      }
   }
}
