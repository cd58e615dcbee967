#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "zel2d/area_shrink.h"

namespace
{

// A picture of 32-bit pixels held by value.
struct picture
{
   picture(int w, int h) : m_iWidth(w), m_iHeight(h), m_bytes(static_cast<std::size_t>(w) * h * 4) {}

   zel2d::pixel_rows rows() { return {m_bytes.data(), m_iWidth, m_iHeight, m_iWidth * 4}; }
   int byte(int x, int y, int c) const { return m_bytes[(static_cast<std::size_t>(y) * m_iWidth + x) * 4 + c]; }

   int m_iWidth;
   int m_iHeight;
   std::vector<std::uint8_t> m_bytes;
};

// Noise, with one-pixel lines every seventh column and row: the detail a pixel map has.
picture detailed_picture(int w, int h, std::uint32_t uSeed)
{
   picture source(w, h);
   std::mt19937 random(uSeed);
   for (int y = 0; y < h; ++y)
   {
      for (int x = 0; x < w; ++x)
      {
         for (int c = 0; c < 4; ++c)
         {
            source.m_bytes[(static_cast<std::size_t>(y) * w + x) * 4 + c] =
               x % 7 == 0 || y % 7 == 0 ? 255 : static_cast<std::uint8_t>(random() % 256);
         }
      }
   }
   return source;
}

// The exact average of the source area under target pixel (i, j), one byte of it.
double exact_average(const picture & source, int iTargetWidth, int iTargetHeight, int i, int j, int c)
{
   const double sx = double(source.m_iWidth) / iTargetWidth;
   const double sy = double(source.m_iHeight) / iTargetHeight;
   double dSum = 0.0;
   for (int y = static_cast<int>(j * sy); y < std::min(source.m_iHeight, static_cast<int>(std::ceil((j + 1) * sy))); ++y)
   {
      const double wy = std::min((j + 1) * sy, y + 1.0) - std::max(j * sy, double(y));
      for (int x = static_cast<int>(i * sx); x < std::min(source.m_iWidth, static_cast<int>(std::ceil((i + 1) * sx))); ++x)
      {
         const double wx = std::min((i + 1) * sx, x + 1.0) - std::max(i * sx, double(x));
         dSum += wx * wy * source.byte(x, y, c);
      }
   }
   return dSum / (sx * sy);
}

} // namespace

TEST(area_shrink, every_pixel_is_the_average_of_the_area_it_covers_at_the_canvas_zooms)
{
   picture source = detailed_picture(240, 160, 1);
   for (const double dZoom : {0.25, 0.3, 0.4, 0.5, 0.6, 0.7})
   {
      const int w = static_cast<int>(std::lround(240 * dZoom));
      const int h = static_cast<int>(std::lround(160 * dZoom));
      picture target(w, h);
      zel2d::shrink_by_area(source.rows(), target.rows(), {0, 0, w, h});
      double dWorst = 0.0;
      for (int j = 0; j < h; ++j)
      {
         for (int i = 0; i < w; ++i)
         {
            for (int c = 0; c < 4; ++c)
            {
               dWorst = std::max(dWorst, std::fabs(target.byte(i, j, c) - exact_average(source, w, h, i, j, c)));
            }
         }
      }
      EXPECT_LE(dWorst, 1.0) << "zoom " << dZoom;
   }
}

TEST(area_shrink, a_changed_part_made_again_equals_a_whole_shrink)
{
   for (const double dZoom : {0.25, 0.35, 0.5, 0.7})
   {
      picture source = detailed_picture(200, 120, 2);
      const int w = static_cast<int>(std::lround(200 * dZoom));
      const int h = static_cast<int>(std::lround(120 * dZoom));
      picture target(w, h);
      zel2d::shrink_by_area(source.rows(), target.rows(), {0, 0, w, h});

      // A block of the source changes; only the target pixels it weighs in are made again.
      const rectangle_i32 rectChanged{37, 21, 90, 64};
      for (int y = rectChanged.top; y < rectChanged.bottom; ++y)
      {
         std::fill_n(source.m_bytes.begin() + (y * 200 + rectChanged.left) * 4, rectChanged.width() * 4, std::uint8_t{200});
      }
      const rectangle_i32 rectTarget = zel2d::target_area_of(rectChanged, source.rows(), target.rows());
      EXPECT_LT(rectTarget.area(), w * h);
      zel2d::shrink_by_area(source.rows(), target.rows(), rectTarget);

      picture whole(w, h);
      zel2d::shrink_by_area(source.rows(), whole.rows(), {0, 0, w, h});
      EXPECT_EQ(target.m_bytes, whole.m_bytes) << "zoom " << dZoom;
   }
}

TEST(area_shrink, a_target_larger_than_the_source_is_left_alone)
{
   picture source = detailed_picture(10, 10, 3);
   picture target(20, 5);
   zel2d::shrink_by_area(source.rows(), target.rows(), {0, 0, 20, 5});
   EXPECT_TRUE(std::all_of(target.m_bytes.begin(), target.m_bytes.end(), [](std::uint8_t b) { return b == 0; }));
   EXPECT_TRUE(zel2d::target_area_of({20, 20, 30, 30}, source.rows(), picture(5, 5).rows()).is_empty());
}
