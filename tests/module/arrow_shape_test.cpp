#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "document/arrow_shape.h"
#include "orvo/image.h"
#include "zel2d/context.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

void add_path(zel2d::context & context, const std::array<point_type<float>, 3> & triangle)
{
   context.begin_path();
   context.move_to(triangle[0].x, triangle[0].y);
   context.line_to(triangle[1].x, triangle[1].y);
   context.line_to(triangle[2].x, triangle[2].y);
   context.close_path();
}

// The largest difference of one channel between the two images.
int largest_difference(const image::image & a, const image::image & b)
{
   int iLargest = 0;
   for (int y = 0; y < a.height(); ++y)
   {
      for (int x = 0; x < a.width(); ++x)
      {
         for (int iShift = 0; iShift < 32; iShift += 8)
         {
            const int ia = static_cast<int>(a.pixel(x, y) >> iShift & 0xFF);
            const int ib = static_cast<int>(b.pixel(x, y) >> iShift & 0xFF);
            iLargest = std::max(iLargest, std::abs(ia - ib));
         }
      }
   }
   return iLargest;
}

} // namespace

// The grown triangle filled once gives the pixels of the plain triangle filled and then stroked
// 1 unit wide, in every direction, at every size the paths use and off the pixel grid.
TEST(arrow_shape, GrownFillMatchesFillAndStroke)
{
   const color::color colorArrow(0, 0, 255, 255);
   for (int iArrow = e_arrow_right; iArrow <= e_arrow_down; ++iArrow)
   {
      for (const float s : {2.f, 5.f, 9.f})
      {
         for (const float fOffset : {0.f, 0.25f, 0.5f})
         {
            const float x = 20.f + fOffset;
            const float y = 20.f + fOffset / 2;
            const auto earrow = static_cast<enum_arrow>(iArrow);
            image::image imageStroked(40, 40);
            imageStroked.clear();
            zel2d::context contextStroked(&imageStroked);
            contextStroked.set_fill_color(colorArrow);
            contextStroked.set_stroke_color(colorArrow);
            add_path(contextStroked, arrow_corners(x, y, s, earrow, 0.f));
            contextStroked.fill();
            contextStroked.stroke();
            image::image imageGrown(40, 40);
            imageGrown.clear();
            zel2d::context contextGrown(&imageGrown);
            contextGrown.set_fill_color(colorArrow);
            add_path(contextGrown, arrow_corners(x, y, s, earrow, 0.5f));
            contextGrown.fill();
            EXPECT_LE(largest_difference(imageStroked, imageGrown), 24) << "arrow " << iArrow << " size " << s << " offset " << fOffset;
         }
      }
   }
}

TEST(arrow_shape, GrowingMovesEverySideOutByTheAmount)
{
   const auto plain = arrow_corners(10.f, 10.f, 4.f, e_arrow_down, 0.f);
   EXPECT_FLOAT_EQ(plain[0].x, 6.f);
   EXPECT_FLOAT_EQ(plain[0].y, 6.f);
   EXPECT_FLOAT_EQ(plain[2].y, 14.f);
   const auto grown = arrow_corners(10.f, 10.f, 4.f, e_arrow_down, 1.f);
   // The top side moves up by 1, the tip down by its mitre, sqrt(5) for these sides.
   EXPECT_FLOAT_EQ(grown[0].y, 5.f);
   EXPECT_FLOAT_EQ(grown[1].y, 5.f);
   EXPECT_NEAR(grown[2].y, 14.f + std::sqrt(5.f), 1e-4);
   EXPECT_FLOAT_EQ(grown[2].x, 10.f);
   // Nothing to grow: the corners come back as they are.
   const auto point = arrow_corners(3.f, 4.f, 0.f, e_arrow_left, 0.5f);
   EXPECT_FLOAT_EQ(point[0].x, 3.f);
   EXPECT_FLOAT_EQ(point[2].y, 4.f);
}
