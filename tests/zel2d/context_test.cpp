#include <gtest/gtest.h>

#include "orvo/image.h"
#include "zel2d/context.h"

namespace
{

std::uint32_t argb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
   return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

TEST(context_fill, rectangle_covers_its_pixels_and_no_others)
{
   image::image target(20, 20);
   zel2d::context context(&target);
   context.begin_path();
   context.rectangle(5, 5, 10, 10);
   context.set_fill_color({255, 0, 0});
   context.fill();
   EXPECT_EQ(target.pixel(5, 5), argb(255, 255, 0, 0));
   EXPECT_EQ(target.pixel(14, 14), argb(255, 255, 0, 0));
   EXPECT_EQ(target.pixel(4, 5), 0u);
   EXPECT_EQ(target.pixel(15, 14), 0u);
}

} // namespace
