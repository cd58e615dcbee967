#include <gtest/gtest.h>

#include "orvo/geometry.h"

TEST(geometry, rectangles_include_their_top_left_edges_and_exclude_their_bottom_right_edges)
{
   const rectangle_i32 r{10, 20, 30, 60};
   EXPECT_TRUE(r.contains({10, 20}));
   EXPECT_TRUE(r.contains({29, 59}));
   EXPECT_FALSE(r.contains({30, 40}));
   EXPECT_FALSE(r.contains({15, 60}));
   EXPECT_EQ(r.size(), (size_i32{20, 40}));
   EXPECT_EQ(rectangle_i32::from({10, 20}, {20, 40}), r);
}

TEST(geometry, rectangles_apart_or_only_touching_have_an_empty_intersection)
{
   const rectangle_i32 a{0, 0, 1920, 1080};
   EXPECT_EQ(a.intersection({1920, 0, 3840, 1080}).area(), 0);
   EXPECT_TRUE(a.intersection({3000, 2000, 3100, 2100}).is_empty());
   EXPECT_EQ(a.intersection({1900, 1000, 2000, 1100}), (rectangle_i32{1900, 1000, 1920, 1080}));
   EXPECT_EQ(a.intersection({1900, 1000, 2000, 1100}).area(), 20 * 80);
}
