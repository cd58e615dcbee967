#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "orvo/image.h"
#include "pixel_probe.h"
#include "zel2d/context.h"
#include "zel2d/pixel_writer.h"
#include "zel2d/polygon_stamp.h"
#include "zel2d/rectilinear_stroke.h"

#include <cairo.h>
#include <pixman.h>

using pixel_probe::alpha_of;
using pixel_probe::argb;

namespace
{

constexpr std::uint32_t opaque_red = argb(255, 255, 0, 0);
constexpr std::uint32_t opaque_blue = argb(255, 0, 0, 255);

void fill_rectangle(zel2d::context & context, float x, float y, float w, float h, color::color color)
{
   context.begin_path();
   context.rectangle(x, y, w, h);
   context.set_fill_color(color);
   context.fill();
}

TEST(context_paths, rectangle_fill_covers_exactly_its_pixels)
{
   image::image target(20, 20);
   zel2d::context context(&target);
   fill_rectangle(context, 5, 5, 10, 10, {255, 0, 0});
   EXPECT_EQ(target.pixel(5, 5), opaque_red);
   EXPECT_EQ(target.pixel(14, 14), opaque_red);
   EXPECT_EQ(target.pixel(4, 5), 0u);
   EXPECT_EQ(target.pixel(15, 14), 0u);
   EXPECT_EQ(target.pixel(5, 15), 0u);
}

TEST(context_paths, translucent_fill_is_stored_premultiplied)
{
   image::image target(4, 4);
   zel2d::context context(&target);
   fill_rectangle(context, 0, 0, 4, 4, {255, 0, 0, 128});
   EXPECT_EQ(target.pixel(1, 1), argb(128, 128, 0, 0));
}

TEST(context_paths, fill_and_stroke_keep_the_path_until_begin_path)
{
   image::image target(30, 30);
   zel2d::context context(&target);
   context.begin_path();
   context.move_to(5, 5);
   context.line_to(25, 5);
   context.line_to(15, 25);
   context.close_path();
   context.set_fill_color({0, 0, 255});
   context.fill();
   context.set_stroke_color({255, 0, 0});
   context.set_stroke_width(2);
   context.stroke();
   EXPECT_EQ(target.pixel(15, 10), opaque_blue);  // inside the triangle
   EXPECT_EQ(target.pixel(15, 4), opaque_red);    // on the top edge's stroke (rows 4 and 5)
   EXPECT_EQ(target.pixel(2, 20), 0u);

   context.begin_path();
   context.set_fill_color({0, 255, 0});
   context.fill(); // an empty path fills nothing
   EXPECT_EQ(target.pixel(15, 10), opaque_blue);
}

TEST(context_paths, stroke_covers_half_its_width_on_each_side)
{
   image::image target(20, 20);
   zel2d::context context(&target);
   context.set_stroke_color({255, 0, 0});

   // A 1-unit stroke on a pixel centre line covers that row alone.
   context.begin_path();
   context.move_to(2, 5.5f);
   context.line_to(18, 5.5f);
   context.set_stroke_width(1);
   context.stroke();
   EXPECT_EQ(target.pixel(10, 5), opaque_red);
   EXPECT_EQ(target.pixel(10, 4), 0u);
   EXPECT_EQ(target.pixel(10, 6), 0u);
   EXPECT_EQ(target.pixel(1, 5), 0u); // butt ends stop at the end points
   EXPECT_EQ(target.pixel(18, 5), 0u);

   // A 3-unit stroke covers the row and one more on each side.
   context.begin_path();
   context.move_to(2, 12.5f);
   context.line_to(18, 12.5f);
   context.set_stroke_width(3);
   context.stroke();
   EXPECT_EQ(target.pixel(10, 11), opaque_red);
   EXPECT_EQ(target.pixel(10, 13), opaque_red);
   EXPECT_EQ(target.pixel(10, 10), 0u);
   EXPECT_EQ(target.pixel(10, 14), 0u);

   // On a pixel edge a 1-unit stroke covers the two rows beside it at half strength.
   image::image edge(20, 20);
   zel2d::context edgeContext(&edge);
   edgeContext.set_stroke_color({255, 0, 0});
   edgeContext.begin_path();
   edgeContext.move_to(2, 10);
   edgeContext.line_to(18, 10);
   edgeContext.stroke();
   EXPECT_NEAR(alpha_of(edge.pixel(10, 9)), 128, 1);
   EXPECT_NEAR(alpha_of(edge.pixel(10, 10)), 128, 1);
}

TEST(context_paths, circle_fills_its_disc_and_strokes_its_ring)
{
   image::image target(100, 100);
   zel2d::context context(&target);
   context.begin_path();
   context.circle(50, 50, 20);
   context.set_fill_color({0, 0, 255});
   context.fill();
   EXPECT_EQ(target.pixel(50, 50), opaque_blue);
   EXPECT_EQ(target.pixel(50, 32), opaque_blue);
   EXPECT_EQ(target.pixel(62, 62), opaque_blue); // 17 from the centre
   EXPECT_EQ(target.pixel(50, 28), 0u);
   EXPECT_EQ(target.pixel(66, 66), 0u); // 22.6 from the centre

   image::image ring(100, 100);
   zel2d::context ringContext(&ring);
   ringContext.begin_path();
   ringContext.circle(50, 50, 20);
   ringContext.set_stroke_color({255, 0, 0});
   ringContext.set_stroke_width(4);
   ringContext.stroke();
   EXPECT_EQ(ring.pixel(50, 50), 0u);
   EXPECT_EQ(ring.pixel(70, 50), opaque_red);
   EXPECT_EQ(ring.pixel(50, 29), opaque_red);
   EXPECT_EQ(ring.pixel(75, 50), 0u);
}

TEST(context_paths, rounded_rectangle_cuts_its_corners)
{
   image::image target(40, 40);
   zel2d::context context(&target);
   context.begin_path();
   context.rounded_rectangle(0, 0, 40, 40, 10);
   context.set_fill_color({255, 0, 0});
   context.fill();
   EXPECT_EQ(target.pixel(0, 0), 0u);
   EXPECT_EQ(target.pixel(39, 39), 0u);
   EXPECT_EQ(target.pixel(20, 0), opaque_red);
   EXPECT_EQ(target.pixel(0, 20), opaque_red);
}

// A shape or a text with a coordinate that is not a number, or infinite, draws nothing (the
// library would draw stray pixels for it); the next path draws as usual.
TEST(context_paths, shapes_and_text_at_non_finite_coordinates_draw_nothing)
{
   const float nan = std::numeric_limits<float>::quiet_NaN();
   const float inf = std::numeric_limits<float>::infinity();
   const std::vector<std::function<void(zel2d::context &)>> shapes = {
      [&](zel2d::context & c) { c.rectangle(nan, 2, 10, 10); },
      [&](zel2d::context & c) { c.rectangle(2, 2, inf, 10); },
      [&](zel2d::context & c) { c.rectangle(2, 2, 10, -inf); },
      [&](zel2d::context & c) { c.rectangle(2, 2, 10, 10); c.rectangle(4, nan, 3, 3); },
      [&](zel2d::context & c) { c.move_to(2, 2); c.line_to(inf, 20); c.line_to(2, 20); },
      [&](zel2d::context & c) { c.move_to(nan, 2); c.line_to(20, 20); c.line_to(2, 20); },
      [&](zel2d::context & c) { c.circle(10, 10, nan); },
      [&](zel2d::context & c) { c.rounded_rectangle(2, 2, 10, 10, inf); },
      [&](zel2d::context & c) { c.rounded_rectangle(2, nan, 10, 10, 3); },
   };
   for (std::size_t i = 0; i < shapes.size(); ++i)
   {
      image::image target(24, 24);
      zel2d::context context(&target);
      context.set_fill_color({255, 0, 0});
      context.set_stroke_color({0, 0, 255});
      context.set_stroke_width(2);
      context.begin_path();
      shapes[i](context);
      context.fill();
      context.stroke();
      context.set_font_size(12);
      context.text(nan, 12, "Hello");
      context.text(2, inf, "Hello");
      EXPECT_TRUE(std::all_of(target.data(), target.data() + 24 * 24, [](std::uint32_t u) { return u == 0; })) << "shape " << i;
      fill_rectangle(context, 1, 1, 2, 2, {255, 0, 0});
      EXPECT_EQ(target.pixel(1, 1), opaque_red) << "shape " << i;
   }
}

TEST(context_transform, translate_rotate_and_scale_move_the_shapes)
{
   image::image target(40, 40);
   zel2d::context context(&target);

   context.translate(10, 0);
   fill_rectangle(context, 0, 0, 5, 5, {255, 0, 0});
   EXPECT_EQ(target.pixel(10, 0), opaque_red);
   EXPECT_EQ(target.pixel(9, 0), 0u);

   // A quarter turn about (30, 10): the rectangle (30, 10, 8, 2) now hangs down from there, to
   // its left (clockwise on screen).
   context.reset_transform();
   context.translate(30, 10);
   context.rotate(std::numbers::pi_v<float> / 2);
   context.translate(-30, -10);
   fill_rectangle(context, 30, 10, 8, 2, {0, 0, 255});
   EXPECT_EQ(target.pixel(29, 15), opaque_blue);
   EXPECT_EQ(target.pixel(28, 17), opaque_blue);
   EXPECT_EQ(target.pixel(33, 10), 0u);
   EXPECT_EQ(target.pixel(30, 15), 0u);

   context.reset_transform();
   context.scale(2, 3);
   fill_rectangle(context, 1, 10, 2, 2, {0, 255, 0});
   EXPECT_EQ(target.pixel(2, 30), argb(255, 0, 255, 0));
   EXPECT_EQ(target.pixel(5, 35), argb(255, 0, 255, 0));
   EXPECT_EQ(target.pixel(6, 35), 0u);
   EXPECT_EQ(target.pixel(5, 36), 0u);
}

TEST(context_state, restore_brings_back_colours_transform_and_scissor)
{
   image::image target(20, 20);
   zel2d::context context(&target);
   context.set_fill_color({255, 0, 0});
   context.save();
   context.set_fill_color({0, 0, 255});
   context.translate(10, 10);
   context.scissor(0, 0, 2, 2);
   context.restore();
   context.begin_path();
   context.rectangle(0, 0, 20, 20);
   context.fill();
   EXPECT_EQ(target.pixel(0, 0), opaque_red);
   EXPECT_EQ(target.pixel(19, 19), opaque_red);

   context.restore(); // nothing saved: harmless
   context.fill();
   EXPECT_EQ(target.pixel(0, 0), opaque_red);
}

TEST(context_state, path_survives_save_and_restore)
{
   image::image target(20, 20);
   zel2d::context context(&target);
   context.begin_path();
   context.rectangle(2, 2, 4, 4);
   context.save();
   context.translate(5, 5);
   context.restore();
   context.set_fill_color({255, 0, 0});
   context.fill();
   EXPECT_EQ(target.pixel(3, 3), opaque_red);
   EXPECT_EQ(target.pixel(8, 8), 0u);
}

TEST(context_scissor, limits_drawing_replaces_narrows_and_resets)
{
   image::image target(20, 20);
   zel2d::context context(&target);
   context.begin_path();
   context.rectangle(0, 0, 20, 20); // the scissor calls must leave this path alone

   context.scissor(0, 0, 10, 10);
   context.set_fill_color({255, 0, 0});
   context.fill();
   EXPECT_EQ(target.pixel(9, 9), opaque_red);
   EXPECT_EQ(target.pixel(10, 9), 0u);
   EXPECT_EQ(target.pixel(9, 10), 0u);

   target.clear();
   context.scissor(10, 10, 10, 10); // replaces the first
   context.intersect_scissor(15, 0, 5, 20);
   context.fill();
   EXPECT_EQ(target.pixel(15, 10), opaque_red);
   EXPECT_EQ(target.pixel(14, 10), 0u);
   EXPECT_EQ(target.pixel(15, 9), 0u);
   EXPECT_EQ(target.pixel(5, 5), 0u);

   target.clear();
   context.reset_scissor();
   context.fill();
   EXPECT_EQ(target.pixel(0, 0), opaque_red);
   EXPECT_EQ(target.pixel(19, 19), opaque_red);
}

// Whether the outline rule of the header sets pixel (i, j).
bool outline_covers(int i, int j, int x, int y, int w, int h, int iWidth)
{
   const bool inside = i >= x && i < x + w && j >= y && j < y + h;
   const bool nearEdge = i < x + iWidth || i >= x + w - iWidth || j < y + iWidth || j >= y + h - iWidth;
   return inside && nearEdge;
}

TEST(context_outline, sets_exactly_the_pixels_within_width_of_the_edges)
{
   struct probe
   {
      int x, y, w, h, width;
   };
   for (const probe p : {probe{2, 3, 10, 7, 1}, probe{0, 0, 16, 16, 2}, probe{5, 5, 1, 1, 1}, probe{4, 2, 6, 9, 3},
                         probe{-2, -2, 8, 8, 1}, probe{10, 10, 20, 20, 1}})
   {
      image::image target(16, 16);
      zel2d::context context(&target);
      context.pixel_rectangle_outline(p.x, p.y, p.w, p.h, {0, 0, 255}, p.width);
      for (int j = 0; j < 16; ++j)
      {
         for (int i = 0; i < 16; ++i)
         {
            const std::uint32_t expected = outline_covers(i, j, p.x, p.y, p.w, p.h, p.width) ? opaque_blue : 0u;
            ASSERT_EQ(target.pixel(i, j), expected)
               << "pixel " << i << "," << j << " of " << p.x << "," << p.y << " " << p.w << "x" << p.h << " width "
               << p.width;
         }
      }
   }
}

TEST(context_outline, follows_translation_and_leaves_path_and_fill_alone)
{
   image::image target(20, 20);
   zel2d::context context(&target);
   context.set_fill_color({255, 0, 0});
   context.begin_path();
   context.rectangle(0, 0, 2, 2);
   context.translate(3, 4);
   context.pixel_rectangle_outline(0, 0, 5, 5, {0, 0, 255}, 1);
   EXPECT_EQ(target.pixel(3, 4), opaque_blue);
   EXPECT_EQ(target.pixel(7, 8), opaque_blue);
   EXPECT_EQ(target.pixel(5, 6), 0u);
   context.fill(); // the path made before the outline, in red
   EXPECT_EQ(target.pixel(0, 0), opaque_red);
   EXPECT_EQ(target.pixel(5, 6), 0u);

   image::image untouched(8, 8);
   zel2d::context quiet(&untouched);
   quiet.pixel_rectangle_outline(1, 1, 0, 5, {0, 0, 255}, 1);
   quiet.pixel_rectangle_outline(1, 1, 5, 5, {0, 0, 255}, 0);
   EXPECT_TRUE(pixel_probe::find_ink(untouched).is_empty());
}

TEST(context_target, context_without_target_draws_nothing_and_still_measures)
{
   zel2d::context context;
   fill_rectangle(context, 0, 0, 10, 10, {255, 0, 0});
   context.set_font_size(20);
   EXPECT_GT(context.text_bounds(0, 0, "Hello", nullptr), 10.0f);

   image::image empty;
   zel2d::context onEmpty(&empty);
   fill_rectangle(onEmpty, 0, 0, 10, 10, {255, 0, 0});
}

} // namespace

namespace
{

// A scene of translucent and opaque boxes, outlines and text, drawn with the scissor given.
void draw_scene(image::image & target, float fScissorInset)
{
   zel2d::context context(&target);
   context.scissor(fScissorInset, fScissorInset, 60 - 2 * fScissorInset, 40 - 2 * fScissorInset);
   const color::color colors[] = {{255, 0, 0, 255}, {10, 200, 30, 77}, {0, 0, 255, 200}, {255, 255, 0, 1}};
   for (int i = 0; i < 4; ++i)
   {
      context.begin_path();
      context.rectangle(i * 9, i * 5, 30, 20);
      context.set_fill_color(colors[i]);
      context.fill();
      context.pixel_rectangle_outline(i * 7 + 2, i * 6, 25, 17, colors[3 - i], i + 1);
   }
   context.set_font_size(13);
   context.set_fill_color({255, 255, 255, 180});
   context.text(4, 30, "Wall 1");
}

TEST(context_quick_road, whole_pixel_drawing_matches_the_general_rasteriser)
{
   // A scissor with fractional edges outside the image keeps every call on the general
   // rasteriser; one on whole pixels lets boxes, outlines and text take the quick road.
   image::image quick(60, 40);
   image::image general(60, 40);
   draw_scene(quick, 0.0f);
   draw_scene(general, -0.5f);
   for (int y = 0; y < 40; ++y)
   {
      for (int x = 0; x < 60; ++x)
      {
         ASSERT_EQ(quick.pixel(x, y), general.pixel(x, y)) << "pixel " << x << "," << y;
      }
   }
}

// Small polygons: arrow-sized triangles off the pixel grid, a pentagon, a translucent one, a
// turned one and one cut by the image's edge; with the scissor given.
void draw_polygons(image::image & target, float fScissorInset)
{
   zel2d::context context(&target);
   context.scissor(fScissorInset, fScissorInset, 60 - 2 * fScissorInset, 40 - 2 * fScissorInset);
   auto triangle = [&](float x, float y, float s) {
      context.begin_path();
      context.move_to(x - s, y - s);
      context.line_to(x - s, y + s);
      context.line_to(x + s, y);
      context.close_path();
      context.fill();
   };
   context.set_fill_color({0, 0, 255, 255});
   triangle(6.3f, 6.6f, 4.7f);
   triangle(17.f, 6.f, 2.f);
   triangle(28.5f, 8.25f, 6.1f);
   context.set_fill_color({255, 0, 0, 255});
   triangle(57.4f, 3.2f, 5.f);
   context.set_fill_color({10, 200, 30, 120});
   triangle(26.f, 10.f, 7.3f);
   context.begin_path();
   context.move_to(10.f, 20.f);
   context.line_to(18.5f, 24.2f);
   context.line_to(16.3f, 35.7f);
   context.line_to(5.1f, 36.f);
   context.line_to(2.2f, 26.f);
   context.fill();
   context.translate(40.f, 28.f);
   context.rotate(0.4f);
   context.set_fill_color({200, 100, 0, 255});
   triangle(0.f, 0.f, 6.f);
}

TEST(context_quick_road, small_polygons_match_the_general_rasteriser)
{
   image::image quick(60, 40);
   image::image general(60, 40);
   quick.clear();
   general.clear();
   draw_polygons(quick, 0.0f);
   draw_polygons(general, -0.5f);
   // Exact areas against the general rasteriser's sampling: edge pixels differ a little.
   for (int y = 0; y < 40; ++y)
   {
      for (int x = 0; x < 60; ++x)
      {
         for (int iShift = 0; iShift < 32; iShift += 8)
         {
            const int iDifference = int(quick.pixel(x, y) >> iShift & 0xFF) - int(general.pixel(x, y) >> iShift & 0xFF);
            ASSERT_LE(std::abs(iDifference), 16) << "pixel " << x << "," << y;
         }
      }
   }
   // Whole inside pixels agree exactly.
   EXPECT_EQ(quick.pixel(6, 6), general.pixel(6, 6));
   EXPECT_EQ(quick.pixel(6, 6), 0xFF0000FFu);
}

// A colour channel for the quick roads' differential tests: half of them near the ends and the
// middle, where the roundings of blending part.
std::uint8_t random_channel(std::mt19937 & random)
{
   const std::uint8_t edgy[] = {0, 1, 2, 3, 126, 127, 128, 129, 252, 253, 254, 255};
   return random() % 2 == 0 ? edgy[random() % std::size(edgy)] : static_cast<std::uint8_t>(random() % 256);
}

// The ground of an 80 x 60 picture for the differential tests: even fills and random pixels
// between them, some transparent.
void fill_random_ground(zel2d::context & context, std::mt19937 & random)
{
   fill_rectangle(context, 0, 0, 50, 60, {20, 40, 60, 128});
   fill_rectangle(context, 25, 0, 30, 60, {200, 140, 60, 255});
   for (int iPixel = 0; iPixel < 80 * 60; iPixel += 1 + static_cast<int>(random() % 7))
   {
      fill_rectangle(context, static_cast<float>(iPixel % 80), static_cast<float>(iPixel / 80), 1, 1,
                     {random_channel(random), random_channel(random), random_channel(random), random_channel(random)});
   }
}

void expect_same_pixels(const image::image & quick, const image::image & general, unsigned uSeed)
{
   for (int y = 0; y < general.height(); ++y)
   {
      for (int x = 0; x < general.width(); ++x)
      {
         ASSERT_EQ(quick.pixel(x, y), general.pixel(x, y)) << "seed " << uSeed << ", pixel " << x << "," << y;
      }
   }
}

// Random rectangle outlines over the random ground: sizes, places and stroke widths on and off
// the pixel grid, colours opaque and translucent, some cut by the image's edge or by a
// whole-pixel scissor, under a move by whole pixels. The general road takes the same rectangles
// made of lines (on eighths of a pixel, so the path is the same).
void draw_outlines(image::image & target, bool bGeneral, unsigned uSeed)
{
   std::mt19937 random(uSeed);
   auto eighths = [&](int iFrom, int iTo) { return static_cast<float>(std::uniform_int_distribution<int>(iFrom * 8, iTo * 8)(random)) / 8.f; };
   auto byte = [&] { return random_channel(random); };
   zel2d::context context(&target);
   fill_random_ground(context, random);
   const float fInset = static_cast<float>(random() % 2 == 0 ? 0 : 1 + random() % 10);
   context.scissor(fInset, fInset, 80 - 2 * fInset, 60 - 2 * fInset);
   context.translate(static_cast<float>(random() % 7) - 3.f, static_cast<float>(random() % 7) - 3.f);
   const float widths[] = {0.5f, 1.f, 1.5f, 2.f, 3.f, 4.25f, 8.f};
   for (int i = 0; i < 30; ++i)
   {
      const float x = eighths(-10, 80);
      const float y = eighths(-10, 60);
      const float w = eighths(0, 30) + 0.125f;
      const float h = eighths(0, 20) + 0.125f;
      context.begin_path();
      if (bGeneral)
      {
         context.move_to(x, y);
         context.line_to(x + w, y);
         context.line_to(x + w, y + h);
         context.line_to(x, y + h);
         context.close_path();
      }
      else
      {
         context.rectangle(x, y, w, h);
      }
      context.set_stroke_width(widths[random() % std::size(widths)]);
      const std::uint8_t uRed = byte();
      const std::uint8_t uGreen = byte();
      const std::uint8_t uBlue = byte();
      context.set_stroke_color({uRed, uGreen, uBlue, random() % 2 == 0 ? std::uint8_t{255} : byte()});
      context.stroke();
   }
}

TEST(context_quick_road, rectangle_strokes_match_the_general_rasteriser)
{
   for (unsigned uSeed = 1; uSeed <= 100; ++uSeed)
   {
      image::image quick(80, 60);
      image::image general(80, 60);
      quick.clear();
      general.clear();
      draw_outlines(quick, false, uSeed);
      draw_outlines(general, true, uSeed);
      expect_same_pixels(quick, general, uSeed);
      if (HasFatalFailure())
      {
         return;
      }
   }
}

TEST(context_quick_road, rectangle_strokes_far_away_draw_nothing)
{
   image::image target(20, 20);
   target.clear();
   zel2d::context context(&target);
   context.set_stroke_color({255, 0, 0, 255});
   for (const float x : {1e12f, -1e12f, 2147483000.f, -2147483000.f})
   {
      context.begin_path();
      context.rectangle(x, 5.f, 4.f, 4.f);
      context.stroke();
   }
   EXPECT_TRUE(pixel_probe::find_ink(target).is_empty());
}

// A polyline of horizontal and vertical lines: corners on quarter and half pixels, on the
// library's grid of 1/256 pixel or anywhere; segments short and long, turning either way (so
// turns back closer and farther than the line width), now and then one that goes on along the
// same line, goes back along it or has no length.
using polyline = std::vector<std::pair<float, float>>;

polyline random_polyline(std::mt19937 & random)
{
   auto coordinate = [&](float fFrom, float fTo) {
      const float f = std::uniform_real_distribution<float>(fFrom, fTo)(random);
      switch (random() % 4)
      {
      case 0: return std::round(f * 4.f) / 4.f;
      case 1: return std::round(f * 256.f) / 256.f;
      case 2: return std::floor(f) + 0.5f;
      default: return f;
      }
   };
   polyline points{{coordinate(-10.f, 90.f), coordinate(-10.f, 70.f)}};
   bool bHorizontal = random() % 2 == 0;
   const int iSegments = 1 + static_cast<int>(random() % 8);
   for (int i = 0; i < iSegments; ++i)
   {
      const unsigned uKind = random() % 16;
      const float fLength = uKind == 15 ? 0.f : uKind < 5 ? coordinate(0.f, 6.f) : coordinate(2.f, 50.f);
      auto [x, y] = points.back();
      (bHorizontal ? x : y) += random() % 2 == 0 ? fLength : -fLength;
      points.push_back({x, y});
      bHorizontal = uKind == 14 ? bHorizontal : !bHorizontal;
   }
   return points;
}

// The general rasteriser drawing into a picture by the library's own calls, as the general road
// of the context does.
class library_drawing
{
public:
   explicit library_drawing(image::image & target)
      : m_psurface(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char *>(target.data()), CAIRO_FORMAT_ARGB32,
                                                       target.width(), target.height(), target.width() * 4)),
        m_pcairo(cairo_create(m_psurface))
   {
   }
   library_drawing(const library_drawing &) = delete;
   library_drawing & operator=(const library_drawing &) = delete;
   ~library_drawing()
   {
      cairo_destroy(m_pcairo);
      cairo_surface_destroy(m_psurface);
   }
   cairo_t * cairo() const { return m_pcairo; }

private:
   cairo_surface_t * m_psurface;
   cairo_t * m_pcairo;
};

void add_polyline(zel2d::context & context, const polyline & points)
{
   context.begin_path();
   context.move_to(points[0].first, points[0].second);
   for (std::size_t i = 1; i < points.size(); ++i)
   {
      context.line_to(points[i].first, points[i].second);
   }
}

void stroke_in_library(cairo_t * pcairo, const polyline & points, float fWidth, color::color color, bool bClosed = false)
{
   cairo_new_path(pcairo);
   cairo_move_to(pcairo, points[0].first, points[0].second);
   for (std::size_t i = 1; i < points.size(); ++i)
   {
      cairo_line_to(pcairo, points[i].first, points[i].second);
   }
   if (bClosed)
   {
      cairo_close_path(pcairo);
   }
   cairo_set_line_width(pcairo, fWidth);
   cairo_set_source_rgba(pcairo, color.m_uchR / 255.0, color.m_uchG / 255.0, color.m_uchB / 255.0, color.m_uchA / 255.0);
   cairo_stroke(pcairo);
}

// Two pictures of one random ground: the one drawn on through the context, the other by the
// library itself.
struct twin_pictures
{
   explicit twin_pictures(unsigned uSeed) : m_random(uSeed)
   {
      m_quick.clear();
      fill_random_ground(m_context, m_random);
      std::copy_n(m_quick.data(), 80 * 60, m_general.data());
   }

   std::mt19937 m_random;
   image::image m_quick{80, 60};
   image::image m_general{80, 60};
   zel2d::context m_context{&m_quick};
};

// Whether the quick road takes the polyline's stroke, moved by (dx, dy), rather than leaving it
// to the library.
bool is_taken_quickly(const polyline & points, float dx, float dy, float fWidth)
{
   zel2d::rectilinear_stroke stroke;
   stroke.move_to(points[0].first + dx, points[0].second + dy);
   for (std::size_t i = 1; i < points.size(); ++i)
   {
      stroke.line_to(points[i].first + dx, points[i].second + dy);
   }
   zel2d::pixel_writer nowhere;
   return stroke.draw(fWidth, {0, 0, 0}, {0.0, 0.0, 80.0, 60.0}, nowhere);
}

// Random polylines over the random ground, stroked through the context and by the library itself:
// widths whole, odd and fractional, colours mostly opaque, cut by the image's edge and by a
// whole-pixel scissor, under a move mostly by whole pixels. Where the quick road cannot be sure of
// the library's pixels it must leave the stroke to it; it must still take most of them.
TEST(context_quick_road, polyline_strokes_match_the_general_rasteriser)
{
   const float widths[] = {1.f, 2.f, 3.f, 4.f, 5.f, 8.f, 12.f, 0.5f, 1.5f, 2.25f, 6.6f, 11.1f};
   int iStrokes = 0;
   int iTakenQuickly = 0;
   for (unsigned uSeed = 1; uSeed <= 500; ++uSeed)
   {
      twin_pictures pictures(uSeed);
      std::mt19937 & random = pictures.m_random;
      zel2d::context & context = pictures.m_context;
      library_drawing library(pictures.m_general);

      const float fInset = static_cast<float>(random() % 2 == 0 ? 0 : 1 + random() % 10);
      context.scissor(fInset, fInset, 80 - 2 * fInset, 60 - 2 * fInset);
      cairo_rectangle(library.cairo(), fInset, fInset, 80 - 2 * fInset, 60 - 2 * fInset);
      cairo_clip(library.cairo());
      const float fStep = random() % 8 == 0 ? 0.25f : 1.f;
      const float dx = fStep * static_cast<float>(static_cast<int>(random() % 7) - 3);
      const float dy = fStep * static_cast<float>(static_cast<int>(random() % 7) - 3);
      context.translate(dx, dy);
      cairo_translate(library.cairo(), dx, dy);
      for (int i = 0; i < 12; ++i)
      {
         const polyline points = random_polyline(random);
         const float fWidth = random() % 4 == 0 ? std::uniform_real_distribution<float>(0.1f, 12.f)(random) : widths[random() % std::size(widths)];
         const color::color color{random_channel(random), random_channel(random), random_channel(random),
                                  random() % 6 == 0 ? random_channel(random) : std::uint8_t{255}};
         add_polyline(context, points);
         context.set_stroke_width(fWidth);
         context.set_stroke_color(color);
         context.stroke();
         stroke_in_library(library.cairo(), points, fWidth, color);
         ++iStrokes;
         iTakenQuickly += is_taken_quickly(points, dx, dy, fWidth) ? 1 : 0;
      }
      cairo_surface_flush(cairo_get_target(library.cairo()));
      expect_same_pixels(pictures.m_quick, pictures.m_general, uSeed);
      if (HasFatalFailure())
      {
         return;
      }
   }
   EXPECT_GT(iTakenQuickly, iStrokes / 2);
}

// Polylines whose stroke the quick road cannot be sure of are left to the library, and so drawn
// as it draws them: a segment of no length, one going back along the one before, a turn back
// closer than the width, a crossing, a closed path.
TEST(context_quick_road, polylines_left_to_the_library_match_it)
{
   struct left_case
   {
      polyline m_points;
      bool m_bClosed = false;
   };
   const left_case cases[] = {
      {{{10.25f, 10.5f}, {30.25f, 10.5f}, {30.25f, 10.5f}, {30.25f, 30.f}}},
      {{{10.25f, 10.5f}, {40.f, 10.5f}, {25.f, 10.5f}}},
      {{{10.25f, 10.5f}, {50.f, 10.5f}, {50.f, 16.5f}, {10.f, 16.5f}}},
      {{{20.5f, 5.f}, {20.5f, 40.f}, {40.f, 40.f}, {40.f, 20.f}, {5.f, 20.f}}},
      {{{10.25f, 10.5f}, {50.f, 10.5f}, {50.f, 40.f}, {10.25f, 40.f}}, true},
   };
   for (const left_case & left : cases)
   {
      EXPECT_FALSE(!left.m_bClosed && is_taken_quickly(left.m_points, 0.f, 0.f, 8.f));
      twin_pictures pictures(7);
      zel2d::context & context = pictures.m_context;
      add_polyline(context, left.m_points);
      if (left.m_bClosed)
      {
         context.close_path();
      }
      context.set_stroke_width(8.f);
      context.set_stroke_color({250, 3, 128});
      context.stroke();
      {
         library_drawing library(pictures.m_general);
         stroke_in_library(library.cairo(), left.m_points, 8.f, {250, 3, 128}, left.m_bClosed);
      }
      expect_same_pixels(pictures.m_quick, pictures.m_general, 7);
   }
}

// The quick road blends coverage itself: every coverage, over pixels transparent, translucent
// and opaque, in colours opaque and translucent, gives the library's own compositing, one blend
// after another through one writer (which keeps the blends it made).
TEST(context_quick_road, coverage_blending_matches_the_library_for_every_coverage)
{
   std::uint8_t coverage[256];
   for (int i = 0; i < 256; ++i)
   {
      coverage[i] = static_cast<std::uint8_t>(i);
   }
   const zel2d::device_box everywhere = zel2d::device_box::everywhere();
   zel2d::pixel_writer writer;
   for (const color::color color : {color::color(0, 0, 255, 255), color::color(10, 200, 30, 120), color::color(255, 255, 255, 1)})
   {
      for (const std::uint32_t uUnder : {0u, argb(255, 12, 200, 90), 0u, argb(128, 100, 3, 64), argb(255, 255, 255, 255)})
      {
         image::image ours(256, 1);
         image::image library(256, 1);
         std::fill_n(ours.row(0), 256, uUnder);
         std::fill_n(library.row(0), 256, uUnder);
         writer.set_target(ours.data(), 256, 1, 256 * 4);
         writer.blend_coverage(0, 0, 256, 1, coverage, 256, color, everywhere);
         zel2d::pixel_writer source;
         pixman_image_t * pmask = pixman_image_create_bits(PIXMAN_a8, 256, 1, reinterpret_cast<std::uint32_t *>(coverage), 256);
         pixman_image_t * ptarget = pixman_image_create_bits(PIXMAN_a8r8g8b8, 256, 1, library.data(), 256 * 4);
         pixman_image_composite32(PIXMAN_OP_OVER, source.solid_image(color), pmask, ptarget, 0, 0, 0, 0, 0, 0, 256, 1);
         pixman_image_unref(ptarget);
         pixman_image_unref(pmask);
         for (int i = 0; i < 256; ++i)
         {
            ASSERT_EQ(ours.pixel(i, 0), library.pixel(i, 0)) << "coverage " << i << " over " << std::hex << uUnder;
         }
      }
   }
}

// A stamp moved by whole pixels gives the pixels of its polygon filled as a path there, within
// the scissor; under a scale it is filled as a path.
TEST(context_quick_road, stamp_fills_as_its_polygon_moved_by_whole_pixels)
{
   const zel2d::polygon_stamp::corner corners[] = {{-2.25f, -2.5f}, {-2.25f, 2.75f}, {3.5f, 0.25f}};
   const zel2d::polygon_stamp stamp(corners);
   ASSERT_TRUE(stamp.is_rasterised());
   image::image stamped(40, 20);
   image::image filled(40, 20);
   stamped.clear();
   filled.clear();
   zel2d::context contextStamped(&stamped);
   zel2d::context contextFilled(&filled);
   for (zel2d::context * pcontext : {&contextStamped, &contextFilled})
   {
      pcontext->set_fill_color({10, 200, 30, 120});
      pcontext->translate(1.f, 0.f);
      pcontext->scissor(0.f, 0.f, 38.f, 20.f);
   }
   for (const auto & [x, y] : {std::pair{6, 5}, std::pair{20, 14}, std::pair{36, 3}})
   {
      contextStamped.fill_stamp(stamp, x, y);
      contextFilled.begin_path();
      contextFilled.move_to(corners[0].x + x, corners[0].y + y);
      contextFilled.line_to(corners[1].x + x, corners[1].y + y);
      contextFilled.line_to(corners[2].x + x, corners[2].y + y);
      contextFilled.close_path();
      contextFilled.fill();
   }
   for (int y = 0; y < 20; ++y)
   {
      for (int x = 0; x < 40; ++x)
      {
         ASSERT_EQ(stamped.pixel(x, y), filled.pixel(x, y)) << "pixel " << x << "," << y;
      }
   }
   EXPECT_EQ(stamped.pixel(39, 3), 0u);

   stamped.clear();
   contextStamped.reset_transform();
   contextStamped.reset_scissor();
   contextStamped.scale(2.f, 2.f);
   contextStamped.fill_stamp(stamp, 5, 5);
   EXPECT_NE(stamped.pixel(11, 10), 0u);
   EXPECT_EQ(stamped.pixel(3, 10), 0u);
}

TEST(context_quick_road, text_respects_the_scissor_and_its_reset)
{
   image::image target(60, 30);
   zel2d::context context(&target);
   context.set_font_size(20);
   context.set_fill_color({0, 0, 0});
   context.scissor(0, 0, 20, 30);
   context.text(2, 22, "MMMM");
   EXPECT_LE(pixel_probe::find_ink(target).right, 20);

   target.clear();
   context.reset_scissor();
   context.text(2, 22, "MMMM");
   EXPECT_GT(pixel_probe::find_ink(target).right, 40);

   // A rotated scissor cannot be a box: drawing still honours it.
   target.clear();
   context.translate(30, 15);
   context.rotate(0.5f);
   context.scissor(-5, -5, 10, 10);
   context.reset_transform();
   context.begin_path();
   context.rectangle(0, 0, 60, 30);
   context.fill();
   EXPECT_EQ(target.pixel(30, 15), pixel_probe::argb(255, 0, 0, 0));
   EXPECT_EQ(target.pixel(2, 2), 0u);
   EXPECT_EQ(target.pixel(45, 15), 0u);
}

} // namespace
