#include <gtest/gtest.h>

#include "orvo/straight_alpha.h"

TEST(StraightAlpha, ExportedColoursPremultiplyBackToTheSamePixel)
{
   // Every premultiplied value that can occur (at most its alpha) turns into a straight colour
   // that gives the same pixel again: nothing drifts through an export and a re-import.
   for (unsigned a = 1; a < 256; ++a)
   {
      for (unsigned p = 0; p <= a; ++p)
      {
         const std::uint8_t s = image::straight_channel(static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(a));
         const std::uint32_t pixel = image::premultiplied_pixel(color::color(s, 0, 0, static_cast<std::uint8_t>(a)));
         ASSERT_EQ((pixel >> 16) & 0xFF, p) << "alpha " << a << " straight " << unsigned(s);
      }
   }
}

TEST(StraightAlpha, OpaqueIsUnchangedAndTransparentHasNoColour)
{
   for (unsigned c = 0; c < 256; ++c)
   {
      EXPECT_EQ(image::straight_channel(static_cast<std::uint8_t>(c), 255), c);
      EXPECT_EQ(image::straight_channel(static_cast<std::uint8_t>(c), 0), 0);
   }
   // Values above their alpha (not premultiplied at all) are capped, not wrapped.
   EXPECT_EQ(image::straight_channel(200, 100), 255);
   EXPECT_EQ(image::straight_color(0x80402010u), color::color(128, 64, 32, 128));
}
