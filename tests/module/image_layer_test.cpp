#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "core/Global.h"
#include "document/image_layer.h"
#include "orvo/exception.h"
#include "orvo/image.h"
#include "orvo/straight_alpha.h"
#include "orvo/image_service.h"
#include "orvo/memory_base.h"
#include "orvo/trace.h"
#include "zel2d/context.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

constexpr color::color red{255, 0, 0, 255};
constexpr color::color blue{0, 0, 255, 255};

// A picture whose left half is red and right half blue.
pointer<image::image> two_halves(int iWidth, int iHeight)
{
   auto pimage = make_pointer<image::image>(iWidth, iHeight);
   for (int y = 0; y < iHeight; ++y)
   {
      for (int x = 0; x < iWidth; ++x)
      {
         pimage->pixel(x, y) = image::premultiplied_pixel(x < iWidth / 2 ? red : blue);
      }
   }
   return pimage;
}

pointer<image_layer> layer_with_picture(int iWidth, int iHeight)
{
   auto player = make_pointer<image_layer>();
   player->set_image(two_halves(iWidth, iHeight));
   player->set_width(iWidth);
   player->set_height(iHeight);
   return player;
}

color::color colour_at(const image::image & image, int x, int y)
{
   return image::straight_color(image.pixel(x, y));
}

string_base png_hex(const image::image & image)
{
   const outcome<std::vector<std::uint8_t>> encoded = image::save_image_to_memory(image, {});
   return memory_base(encoded->data(), encoded->size()).to_hex();
}

} // namespace

TEST(image_layer, NewLayerIsEmptyWithAspectOneAndTheFlagOn)
{
   image_layer layer;
   EXPECT_FALSE(layer.get_image());
   EXPECT_EQ(layer.get_full_width(), 0);
   EXPECT_EQ(layer.get_full_height(), 0);
   EXPECT_EQ(layer.get_aspect(), 1.f);
   EXPECT_TRUE(layer.getMaintainAspectRatio());
   EXPECT_EQ(layer.get_layer_type(), e_layer_image);
}

TEST(image_layer, AspectRuleTruncatesTheOtherSide)
{
   auto player = make_pointer<image_layer>();
   player->set_image(two_halves(400, 200));
   EXPECT_EQ(player->get_aspect(), 2.f);
   // Taking the picture leaves the drawn size alone.
   EXPECT_EQ(player->get_width(), 0);
   player->set_width(301);
   EXPECT_EQ(player->get_height(), 150);
   player->set_height(75);
   EXPECT_EQ(player->get_width(), 150);

   player->setMaintainAspectRatio(false);
   player->set_width(500);
   EXPECT_EQ(player->get_width(), 500);
   EXPECT_EQ(player->get_height(), 75);
}

TEST(image_layer, AspectOfAHugeWidthStaysWithinRange)
{
   auto player = make_pointer<image_layer>();
   player->set_image(two_halves(1, 1000));
   player->set_width(INT_MAX);
   EXPECT_EQ(player->get_height(), INT_MAX);
}

TEST(image_layer, PictureWithoutSizeKeepsTheAspectAtOne)
{
   auto pglobal = make_pointer<Global>();
   auto player = make_pointer<image_layer>();
   player->set_controller(pglobal.get());
   player->set_image(two_halves(400, 200));
   player->set_image(make_pointer<image::image>());
   EXPECT_EQ(player->get_real_width(), 0);
   EXPECT_EQ(player->get_real_height(), 0);
   EXPECT_EQ(player->get_aspect(), 1.f);
   // Every picture change marks the layer and the document changed.
   EXPECT_TRUE(player->has_changed());
   EXPECT_TRUE(pglobal->take_changed());
}

TEST(image_layer, FlagChangesMarkTheLayerButSizesReadFromTextDoNot)
{
   auto pglobal = make_pointer<Global>();
   auto player = make_pointer<image_layer>();
   player->set_controller(pglobal.get());
   player->apply_layer_info("Width:640\nHeight:360\n");
   EXPECT_EQ(player->get_width(), 640);
   EXPECT_EQ(player->get_height(), 360);
   EXPECT_FALSE(player->has_changed());
   EXPECT_FALSE(pglobal->take_changed());

   player->apply_layer_info("AspectRatio:0\n");
   EXPECT_FALSE(player->getMaintainAspectRatio());
   EXPECT_TRUE(player->has_changed());
   EXPECT_TRUE(pglobal->take_changed());
   // The same value again marks it all the same.
   player->setMaintainAspectRatio(false);
   EXPECT_TRUE(player->has_changed());
   EXPECT_TRUE(pglobal->take_changed());
}

TEST(image_layer, TextGivesSizeFirstThenPictureThenFlag)
{
   auto pimage = two_halves(64, 32);
   auto player = make_pointer<image_layer>();
   player->apply_layer_info("Width:640\nHeight:360\nData:" + png_hex(*pimage) + "\nAspectRatio:0\n");
   EXPECT_EQ(player->get_width(), 640);
   EXPECT_EQ(player->get_height(), 360);
   EXPECT_EQ(player->get_real_width(), 64);
   EXPECT_EQ(player->get_real_height(), 32);
   EXPECT_FALSE(player->getMaintainAspectRatio());
   ASSERT_TRUE(player->get_image());
   EXPECT_EQ(colour_at(*player->get_image(), 0, 0), red);
   EXPECT_EQ(colour_at(*player->get_image(), 63, 31), blue);
}

TEST(image_layer, WrittenTextReadsBackAndUpperCaseHexReadsToo)
{
   auto player = layer_with_picture(20, 10);
   player->set_offset_x(-5);
   player->set_name("Backdrop");
   const string_base strText = player->get_layer_info();
   EXPECT_NE(strText.find("\nWidth:20\nHeight:10\nData:89504e47"), string_base::npos);
   EXPECT_NE(strText.find("\nAspectRatio:1"), string_base::npos);

   auto pcopy = make_pointer<image_layer>();
   string_base strUpper = strText;
   const std::size_t iData = strUpper.find("Data:");
   const std::size_t iDataEnd = strUpper.find('\n', iData);
   std::transform(strUpper.begin() + iData + 5, strUpper.begin() + iDataEnd, strUpper.begin() + iData + 5, ::toupper);
   pcopy->apply_layer_info(strUpper);
   EXPECT_EQ(pcopy->get_real_width(), 20);
   EXPECT_EQ(pcopy->get_offset_x(), -5);
   EXPECT_EQ(pcopy->get_name(), "Backdrop");
}

TEST(image_layer, EmptyDataChangesNothingAndBadDataIsKeptAsItCameAndNotDrawn)
{
   auto player = layer_with_picture(8, 8);
   player->apply_parameter_by_name("Data", "");
   EXPECT_TRUE(player->get_image());

   struct bad_case
   {
      const char * m_pszData;
      const char * m_pszReason;
   };
   const bad_case cases[] = {
      {"00112233445566", "it does not decode: not a picture in a known format"},
      {"not hexadecimal", "character 1 of its text, 'n', is not a hexadecimal digit"},
      {"ab\x01" "d", "character 3 of its text (byte 0x01) is not a hexadecimal digit"},
      {"abc", "its text has an odd number of hexadecimal digits (3)"},
   };
   for (const bad_case & c : cases)
   {
      player = layer_with_picture(8, 8);
      player->apply_parameter_by_name("Data", c.m_pszData);
      EXPECT_FALSE(player->get_image()) << c.m_pszData;
      EXPECT_EQ(player->get_real_height(), 0);
      EXPECT_EQ(player->offscreen_bytes_needed(), 0) << "a picture that does not read draws nothing";
      EXPECT_TRUE(player->unreadable_picture_reason().starts_with(c.m_pszReason)) << player->unreadable_picture_reason();
      EXPECT_EQ(player->getImageAsHex(), c.m_pszData);
      // A new picture replaces the text kept.
      player->set_image(two_halves(4, 2));
      EXPECT_TRUE(player->unreadable_picture_reason().empty());
      EXPECT_NE(player->getImageAsHex(), c.m_pszData);
   }
}

TEST(image_layer, UnreadableFileThrowsAndLeavesTheLayerEmpty)
{
   auto player = layer_with_picture(8, 8);
   try
   {
      player->load_from_file("/nonexistent/picture.png");
      FAIL() << "no exception";
   }
   catch (const exception & e)
   {
      EXPECT_STREQ(e.what(), "image failed to load");
   }
   EXPECT_FALSE(player->get_image());
   EXPECT_EQ(player->get_width(), 0);
}

TEST(image_layer, CloneHasAnEqualPictureSizePlaceNameAndFlag)
{
   auto player = layer_with_picture(30, 10);
   player->set_offset_y(7);
   player->set_name("Sponsor");
   player->setMaintainAspectRatio(false);
   player->set_width(99);
   auto pcopy = player->clone().cast<image_layer>();
   ASSERT_TRUE(pcopy);
   EXPECT_EQ(pcopy->get_width(), 99);
   EXPECT_EQ(pcopy->get_height(), 10);
   EXPECT_EQ(pcopy->get_offset_y(), 7);
   EXPECT_EQ(pcopy->get_name(), "Sponsor");
   EXPECT_FALSE(pcopy->getMaintainAspectRatio());
   ASSERT_TRUE(pcopy->get_image());
   EXPECT_NE(pcopy->get_image(), player->get_image());
   EXPECT_TRUE(std::equal(pcopy->get_image()->data(), pcopy->get_image()->data() + 300, player->get_image()->data()));
}

TEST(image_layer, BuildFrameStretchesThePictureOverTheDrawnSize)
{
   auto player = layer_with_picture(100, 50);
   player->setMaintainAspectRatio(false);
   player->set_width(300);
   player->set_height(300);
   zel2d::context context;
   const int iBefore = context.create_image_rgba(1, 1, 0, player->get_image()->data(), zel2d::layout_native);
   player->build_frame(&context, [](scoped_string_base str) { FAIL() << str; });
   const pointer<image::image> poffscreen = player->get_offscreen();
   ASSERT_TRUE(poffscreen);
   EXPECT_EQ(poffscreen->width(), 300);
   EXPECT_EQ(poffscreen->height(), 300);
   for (const int y : {2, 150, 297})
   {
      EXPECT_EQ(colour_at(*poffscreen, 2, y), red);
      EXPECT_EQ(colour_at(*poffscreen, 140, y), red);
      EXPECT_EQ(colour_at(*poffscreen, 160, y), blue);
      EXPECT_EQ(colour_at(*poffscreen, 297, y), blue);
   }
   // The picture's drawing-library image lived for the build only.
   const int iAfter = context.create_image_rgba(1, 1, 0, player->get_image()->data(), zel2d::layout_native);
   for (int iHandle = iBefore + 1; iHandle < iAfter; ++iHandle)
   {
      EXPECT_EQ(context.image_size(iHandle), (size_type<int>{0, 0})) << iHandle;
   }
   context.delete_image(iBefore);
   context.delete_image(iAfter);
}

// One drawn before lets its picture go.
TEST(image_layer, NoPictureOrNoSizeDrawsNothingAndRequestsNoOffscreen)
{
   zel2d::context context;
   const auto on_error = [](scoped_string_base str) { FAIL() << str; };

   image_layer empty;
   empty.build_frame(&context, on_error);
   EXPECT_FALSE(empty.get_offscreen());

   for (const auto & [iWidth, iHeight] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{-10, 10}, std::pair{10, -1}})
   {
      auto player = layer_with_picture(10, 10);
      player->build_frame(&context, on_error);
      ASSERT_TRUE(player->get_offscreen());
      player->apply_layer_info(format("Width:%d\nHeight:%d", iWidth, iHeight));
      player->build_frame(&context, on_error);
      EXPECT_FALSE(player->get_offscreen()) << iWidth << " x " << iHeight;
   }
}

TEST(image_layer, OffscreenTooLargeGoesToTheErrorCallbackAndNothingIsDrawn)
{
   for (const char * pszSize : {"Width:70000\nHeight:70000", "Width:2147483647\nHeight:2147483647"})
   {
      auto player = layer_with_picture(10, 10);
      player->apply_layer_info(pszSize);
      // Counted at least as the pixels of the smaller size, never wrapped around.
      EXPECT_GE(player->offscreen_bytes_needed(), std::int64_t(70000) * 70000 * 4) << pszSize;
      zel2d::context context;
      string_base strError;
      player->build_frame(&context, [&strError](scoped_string_base str) { strError = str; });
      EXPECT_FALSE(strError.empty()) << pszSize;
      EXPECT_FALSE(player->get_offscreen()) << pszSize;
   }
}
