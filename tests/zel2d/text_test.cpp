#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "orvo/exception.h"
#include "orvo/image.h"
#include "pixel_probe.h"
#include "zel2d/context.h"
#include "zel2d/font_sink.h"

using pixel_probe::find_ink;
using pixel_probe::ink_box;

namespace
{

struct measured
{
   float advance = 0.0f;
   float bounds[4] = {};
   ink_box ink;
};

// Draws `text` at (x, y) into a fresh 300 x 120 image and measures it the same way.
measured draw_and_measure(scoped_string_base text, float x, float y, int iAlign, float fSize = 24)
{
   image::image target(300, 120);
   zel2d::context context(&target);
   context.set_font_face("sans");
   context.set_font_size(fSize);
   context.set_text_align(iAlign);
   context.set_fill_color({0, 0, 0});
   measured result;
   result.advance = context.text_bounds(x, y, text, result.bounds);
   const float fEnd = context.text(x, y, text);
   EXPECT_NEAR(fEnd, result.bounds[0] + result.advance, 1.0f) << "text() returns the pen after the advance";
   result.ink = find_ink(target);
   return result;
}

void expect_ink_inside_bounds(const measured & m, scoped_string_base text)
{
   ASSERT_FALSE(m.ink.is_empty()) << text;
   EXPECT_GE(m.ink.left, std::floor(m.bounds[0]) - 1) << text;
   EXPECT_LE(m.ink.right, std::ceil(m.bounds[2]) + 1) << text;
   EXPECT_GE(m.ink.top, std::floor(m.bounds[1]) - 1) << text;
   EXPECT_LE(m.ink.bottom, std::ceil(m.bounds[3]) + 1) << text;
}

TEST(text_bounds, agree_with_the_drawn_ink)
{
   // Letters whose ink reaches the ends of their advance (almost no side bearing), so that the
   // measured box and the ink must meet within a pixel on the left and right.
   for (scoped_string_base text : {"AVA", "Hello, World", "gjpq|", "\xE2\x97\xA9 5.000m", "196.9\xE2\x80\xB3"})
   {
      const measured m = draw_and_measure(text, 20, 60, zel2d::align_left | zel2d::align_baseline);
      expect_ink_inside_bounds(m, text);
   }
   const measured tight = draw_and_measure("AVA", 20, 60, zel2d::align_left | zel2d::align_baseline);
   EXPECT_NEAR(tight.ink.left, tight.bounds[0], 1.0f);
   EXPECT_NEAR(tight.ink.right, tight.bounds[2], 1.0f);
   // The line box spans the font's ascender and descender, which holds accents and descenders.
   const measured tall = draw_and_measure("\xC3\x81gy|", 20, 60, zel2d::align_left | zel2d::align_baseline);
   EXPECT_NEAR(tall.ink.top, tall.bounds[1], 4.0f);
   EXPECT_NEAR(tall.ink.bottom, tall.bounds[3], 3.0f);
}

TEST(text_bounds, advance_grows_with_the_text_and_the_size)
{
   const measured small = draw_and_measure("MMMM", 10, 60, zel2d::align_left, 12);
   const measured large = draw_and_measure("MMMM", 10, 60, zel2d::align_left, 24);
   const measured longer = draw_and_measure("MMMMMMMM", 10, 60, zel2d::align_left, 12);
   EXPECT_NEAR(large.advance, 2 * small.advance, 0.5f);
   EXPECT_NEAR(longer.advance, 2 * small.advance, 0.5f);
   EXPECT_NEAR(small.bounds[2] - small.bounds[0], small.advance, 1.0f);
}

// Beyond 65535 pixels to the em the font library renders nothing (and, asked, keeps the font it
// made for good): such text measures and draws nothing, at any size up to the largest float.
TEST(text_bounds, sizes_beyond_the_font_library_measure_and_draw_nothing)
{
   for (const float fSize : {65536.0f, 1.0e6f, 2147483647.0f, 3.0e38f})
   {
      const measured beyond = draw_and_measure("MMMM", 10, 60, zel2d::align_left, fSize);
      EXPECT_EQ(beyond.advance, 0.0f) << fSize;
      EXPECT_EQ(beyond.bounds[0], 10.0f) << fSize;
      EXPECT_EQ(beyond.bounds[2], 10.0f) << fSize;
      EXPECT_TRUE(beyond.ink.is_empty()) << fSize;
   }
}

TEST(text_align, every_horizontal_flag_places_the_advance)
{
   const float x = 150;
   const measured left = draw_and_measure("Label", x, 60, zel2d::align_left);
   const measured centre = draw_and_measure("Label", x, 60, zel2d::align_center);
   const measured right = draw_and_measure("Label", x, 60, zel2d::align_right);
   const measured none = draw_and_measure("Label", x, 60, zel2d::align_baseline);
   EXPECT_FLOAT_EQ(left.bounds[0], x);
   EXPECT_NEAR(left.bounds[2], x + left.advance, 0.01f);
   EXPECT_NEAR((centre.bounds[0] + centre.bounds[2]) / 2, x, 0.01f);
   EXPECT_NEAR(right.bounds[2], x, 0.01f);
   EXPECT_FLOAT_EQ(none.bounds[0], x); // no horizontal flag: left
   for (const measured * m : {&left, &centre, &right, &none})
   {
      expect_ink_inside_bounds(*m, "Label");
   }
   // The ink moves with the box: the centred ink sits half an advance left of the left-aligned.
   EXPECT_NEAR(left.ink.left - centre.ink.left, left.advance / 2, 1.0f);
   EXPECT_NEAR(left.ink.left - right.ink.left, left.advance, 1.0f);
}

TEST(text_align, every_vertical_flag_places_the_line)
{
   zel2d::context context;
   context.set_font_size(24);
   const zel2d::font_metrics metrics = context.current_font_metrics();
   ASSERT_GT(metrics.m_fAscender, 0.0f);
   ASSERT_GT(metrics.m_fDescender, 0.0f);
   EXPECT_GE(metrics.m_fLineHeight, metrics.m_fAscender + metrics.m_fDescender - 0.01f);

   const float y = 60;
   const measured top = draw_and_measure("Hg", 20, y, zel2d::align_left | zel2d::align_top);
   const measured middle = draw_and_measure("Hg", 20, y, zel2d::align_left | zel2d::align_middle);
   const measured bottom = draw_and_measure("Hg", 20, y, zel2d::align_left | zel2d::align_bottom);
   const measured baseline = draw_and_measure("Hg", 20, y, zel2d::align_left | zel2d::align_baseline);
   const measured none = draw_and_measure("Hg", 20, y, zel2d::align_left);
   EXPECT_NEAR(top.bounds[1], y, 0.01f);
   EXPECT_NEAR((middle.bounds[1] + middle.bounds[3]) / 2, y, 0.01f);
   EXPECT_NEAR(bottom.bounds[3], y, 0.01f);
   EXPECT_NEAR(baseline.bounds[1], y - metrics.m_fAscender, 0.01f);
   EXPECT_NEAR(baseline.bounds[3], y + metrics.m_fDescender, 0.01f);
   EXPECT_FLOAT_EQ(none.bounds[1], baseline.bounds[1]);
   for (const measured * m : {&top, &middle, &bottom, &baseline})
   {
      expect_ink_inside_bounds(*m, "Hg");
   }
   // The ink of "H" stands on the baseline: its bottom row ends at the baseline for the
   // baseline alignment, and at the line's top plus the ascender for the top alignment.
   const measured topH = draw_and_measure("H", 20, y, zel2d::align_left | zel2d::align_top);
   const measured baseH = draw_and_measure("H", 20, y, zel2d::align_left | zel2d::align_baseline);
   EXPECT_NEAR(baseH.ink.bottom, y, 1.0f);
   EXPECT_NEAR(topH.ink.bottom, y + metrics.m_fAscender, 1.0f);
}

TEST(text_align, combined_centre_middle_centres_the_box_on_the_point)
{
   const measured m = draw_and_measure("W 4.75(m)", 150, 60, zel2d::align_center | zel2d::align_middle);
   EXPECT_NEAR((m.bounds[0] + m.bounds[2]) / 2, 150, 0.01f);
   EXPECT_NEAR((m.bounds[1] + m.bounds[3]) / 2, 60, 0.01f);
   expect_ink_inside_bounds(m, "W 4.75(m)");
}

TEST(text_drawing, uses_the_fill_colour)
{
   image::image target(100, 40);
   zel2d::context context(&target);
   context.set_font_size(30);
   context.set_fill_color({255, 0, 0});
   context.text(5, 30, "IIII");
   bool bFoundOpaqueRed = false;
   for (int y = 0; y < 40; ++y)
   {
      for (int x = 0; x < 100; ++x)
      {
         const std::uint32_t pixel = target.pixel(x, y);
         ASSERT_EQ(pixel & 0xFFFF, 0u) << "only red ink";
         bFoundOpaqueRed = bFoundOpaqueRed || pixel == pixel_probe::argb(255, 255, 0, 0);
      }
   }
   EXPECT_TRUE(bFoundOpaqueRed);
}

TEST(text_drawing, the_special_signs_have_glyphs_of_their_own)
{
   // A sign the face lacks would come out as the face's "missing" box; the square with a
   // diagonal half (U+25E9) and the double prime (U+2033) must not look like that box.
   const auto pixels_of = [](scoped_string_base text) {
      image::image target(60, 60);
      zel2d::context context(&target);
      context.set_font_size(40);
      context.set_fill_color({0, 0, 0});
      context.text(10, 45, text);
      return std::vector<std::uint32_t>(target.data(), target.data() + 3600);
   };
   const auto missing = pixels_of("\xF4\x8F\xBF\xBD"); // U+10FFFD, a private-use sign no face has
   for (scoped_string_base sign : {"\xE2\x97\xA9", "\xE2\x80\xB3"})
   {
      const auto drawn = pixels_of(sign);
      EXPECT_NE(drawn, missing) << sign;
      EXPECT_NE(drawn, std::vector<std::uint32_t>(3600, 0u)) << sign;
   }
}

TEST(text_drawing, invalid_utf8_and_empty_text_are_harmless)
{
   image::image target(100, 40);
   zel2d::context context(&target);
   context.set_font_size(20);
   float bounds[4];
   EXPECT_EQ(context.text_bounds(10, 20, "", bounds), 0.0f);
   EXPECT_EQ(bounds[0], 10.0f);
   EXPECT_EQ(bounds[2], 10.0f);
   EXPECT_EQ(context.text(10, 20, ""), 10.0f);

   const std::string broken = std::string("A\xFF") + "\xC3" + "B\xED\xA0\x80";
   EXPECT_GT(context.text_bounds(10, 20, broken, bounds), context.text_bounds(10, 20, "AB", nullptr));
   context.text(10, 20, broken);
   EXPECT_FALSE(find_ink(target).is_empty());
}

// Text placed beyond the 32-bit range (a label at the largest offset) draws nothing and stays
// sound; text just inside the picture still draws.
TEST(text_drawing, text_far_beyond_the_picture_draws_nothing)
{
   image::image target(100, 40);
   zel2d::context context(&target);
   context.set_font_size(20);
   for (const float fFar : {3.0e9f, -3.0e9f, 2147483647.0f})
   {
      context.text(fFar, 20, "AB");
      context.text(10, fFar, "AB");
   }
   EXPECT_TRUE(find_ink(target).is_empty());
   context.text(10, 20, "AB");
   EXPECT_FALSE(find_ink(target).is_empty());
}

TEST(text_drawing, many_glyphs_measure_like_their_parts)
{
   zel2d::context context;
   context.set_font_size(10);
   const std::string piece = "0123456789";
   std::string text;
   for (int i = 0; i < 100; ++i)
   {
      text += piece; // 1000 glyphs: more than the context lays out without growing
   }
   EXPECT_NEAR(context.text_bounds(0, 0, text, nullptr), 100 * context.text_bounds(0, 0, piece, nullptr), 0.5f);
}

TEST(fonts, are_loaded_once_and_shared_by_every_context)
{
   const pointer<zel2d::font_sink> psink = zel2d::font_sink::shared();
   zel2d::context first;
   zel2d::context second;
   EXPECT_EQ(first.get_font_sink(), psink);
   EXPECT_EQ(second.get_font_sink(), psink);
   first.set_font_face("DejaVu Sans Mono");
   const std::size_t loaded = psink->loaded_count();
   second.set_font_face("DejaVu Sans Mono");
   EXPECT_EQ(psink->loaded_count(), loaded);
   EXPECT_EQ(psink->find("DejaVu Sans Mono"), psink->find("DejaVu Sans Mono"));
}

TEST(fonts, faces_change_the_measure_and_an_unknown_name_still_draws)
{
   zel2d::context context;
   context.set_font_size(20);
   context.set_font_face("DejaVu Sans Mono");
   const float fMono = context.text_bounds(0, 0, "iiii", nullptr);
   context.set_font_face("sans");
   const float fSans = context.text_bounds(0, 0, "iiii", nullptr);
   EXPECT_GT(fMono, fSans * 1.5f); // monospaced "i" is as wide as any letter
   context.set_font_face("No Such Family 12345");
   EXPECT_GT(context.text_bounds(0, 0, "iiii", nullptr), 0.0f);
}

TEST(fonts, a_required_family_must_be_installed_under_its_own_name)
{
   const pointer<zel2d::font_sink> psink = zel2d::font_sink::shared();
   EXPECT_NO_THROW(psink->require("DejaVu Sans"));
   EXPECT_NO_THROW(psink->require("dejavu sans mono"));
   try
   {
      psink->require("No Such Family 12345");
      ADD_FAILURE() << "a missing family passed";
   }
   catch (const exception & e)
   {
      EXPECT_EQ(e.status(), error_not_found);
      EXPECT_STREQ(e.what(), "the font \"No Such Family 12345\" is not installed");
   }
}

TEST(fonts, a_context_moved_to_another_sink_keeps_its_face)
{
   zel2d::context context;
   context.set_font_size(20);
   context.set_font_face("DejaVu Sans Mono");
   const float fBefore = context.text_bounds(0, 0, "iiii", nullptr);
   context.set_font_sink(make_pointer<zel2d::font_sink>());
   EXPECT_NE(context.get_font_sink(), zel2d::font_sink::shared());
   EXPECT_FLOAT_EQ(context.text_bounds(0, 0, "iiii", nullptr), fBefore);
   context.set_font_sink(nullptr);
   EXPECT_EQ(context.get_font_sink(), zel2d::font_sink::shared());
}

} // namespace

TEST(text_listener, hears_every_drawn_text_with_its_point_and_state_until_removed)
{
   image::image target(100, 40);
   zel2d::context context(&target);
   std::vector<zel2d::drawn_text> heard;
   context.set_text_listener([&](const zel2d::drawn_text & drawn) { heard.push_back(drawn); });
   context.set_font_size(12);
   context.set_text_align(zel2d::align_center | zel2d::align_middle);
   context.set_fill_color({10, 20, 30, 255});
   context.text(50, 20, "A1");
   context.text_bounds(50, 20, "measured only", nullptr);
   context.set_text_listener({});
   context.text(50, 20, "unheard");

   ASSERT_EQ(heard.size(), 1u);
   EXPECT_EQ(heard[0].m_str, "A1");
   EXPECT_EQ(heard[0].m_fX, 50.0f);
   EXPECT_EQ(heard[0].m_fY, 20.0f);
   EXPECT_EQ(heard[0].m_iAlign, zel2d::align_center | zel2d::align_middle);
   EXPECT_EQ(heard[0].m_fFontSize, 12.0f);
   EXPECT_EQ(heard[0].m_colorFill, color::color(10, 20, 30, 255));
}
