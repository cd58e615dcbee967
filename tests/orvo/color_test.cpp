#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "orvo/color.h"

TEST(Color, HlsRoundTripGivesTheSameBytes)
{
   for (int r = 0; r < 256; r += 3)
   {
      for (int g = 0; g < 256; g += 5)
      {
         for (int b = 0; b < 256; b += 7)
         {
            const color::color original(r, g, b, 255);
            ASSERT_EQ(color::color(original.get_hls(), 255), original) << r << " " << g << " " << b;
         }
      }
   }
}

TEST(Color, HlsOfKnownColours)
{
   const color::hls red = color::color(255, 0, 0).get_hls();
   EXPECT_DOUBLE_EQ(red.m_dH, 0.0);
   EXPECT_DOUBLE_EQ(red.m_dL, 0.5);
   EXPECT_DOUBLE_EQ(red.m_dS, 1.0);
   EXPECT_NEAR(color::color(0, 0, 255).get_hls().m_dH, 2.0 / 3.0, 1e-12);
   EXPECT_NEAR(color::color(255, 0, 255).get_hls().m_dH, 5.0 / 6.0, 1e-12);
   EXPECT_EQ(color::color(128, 128, 128).get_hls().m_dS, 0.0);
   EXPECT_EQ(color::color(color::hls{1.0 / 3.0, 0.5, 1.0}, 7), color::color(0, 255, 0, 7));
   EXPECT_EQ(color::color(color::hls{1.0, 0.5, 1.0}, 255), color::color(255, 0, 0));
   EXPECT_EQ(color::color(color::hls{0.2, 1.5, -1.0}, 255), color::color(255, 255, 255)) << "held within range";
}

TEST(Color, AsColorReadsTheWrittenFractionsBackExactly)
{
   for (int i = 0; i < 256; i++)
   {
      const float f = static_cast<float>(i) / 255.0f;
      const auto color = as_color(format("%f %f %f %f", f, 1.0f - f, f, 1.0f));
      ASSERT_TRUE(color) << i;
      EXPECT_EQ(*color, color::color(i, 255 - i, i, 255)) << i;
   }
   EXPECT_EQ(as_color("0.5 0.5 0.5"), color::color(128, 128, 128, 255));
   EXPECT_EQ(as_color(" 2 -1 0.5 0.0 "), color::color(255, 0, 128, 0));
}

TEST(Color, AsColorReadsSixHexDigits)
{
   EXPECT_EQ(as_color("E74C3C"), color::color(231, 76, 60, 255));
   EXPECT_EQ(as_color("3f7f7f"), color::color(63, 127, 127, 255));
   EXPECT_EQ(as_color("#FFFFFF"), color::color(255, 255, 255, 255));
}

TEST(Color, AsColorRejectsOtherText)
{
   for (const char * psz : {"", "E74C3", "E74C3G", "#E74C3C00", "1 2", "1 2 3 4 5", "0.1,0.2,0.3", "nan 0 0 0",
                            "inf 0 0", "0.5x 0 0", "red"})
   {
      EXPECT_FALSE(as_color(psz)) << psz;
   }
}

TEST(Color, SequenceIsFixedOpaqueAndWellSeparated)
{
   std::set<std::uint32_t> distinct;
   for (long long i = 0; i < 20; i++)
   {
      const color::color current = _020GetColor(i);
      const color::color next = _020GetColor(i + 1);
      EXPECT_EQ(current.m_uchA, 255);
      distinct.insert(current.argb());
      const double dHueStep = std::fabs(current.get_hls().m_dH - next.get_hls().m_dH);
      EXPECT_GT(std::min(dHueStep, 1.0 - dHueStep), 0.25) << i;
   }
   EXPECT_EQ(distinct.size(), 20u);
   EXPECT_EQ(_020GetColor(20), _020GetColor(0));
   EXPECT_EQ(_020GetColor(-1), _020GetColor(19));
   EXPECT_EQ(_020GetColor(LLONG_MIN), _020GetColor(LLONG_MIN % 20 + 20));
}
