#include <gtest/gtest.h>

#include <stdexcept>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "orvo/image.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

pointer<boxes_layer> new_layer(Global * pglobal = nullptr)
{
   auto player = make_pointer<boxes_layer>();
   player->set_controller(pglobal);
   return player;
}

} // namespace

TEST(app_layer, ChangedFlagIsReadAndClearedAndReachesTheController)
{
   auto pglobal = make_pointer<Global>();
   auto player = new_layer(pglobal.get());
   player->set_changed();
   EXPECT_TRUE(pglobal->take_changed());
   EXPECT_TRUE(player->has_changed());
   EXPECT_FALSE(player->has_changed());

   // Without a controller the mark is kept and nothing else happens.
   auto plonely = new_layer();
   plonely->set_changed();
   EXPECT_TRUE(plonely->has_changed());
}

TEST(app_layer, SettersMarkChangedOnlyWhereTheyShould)
{
   auto player = new_layer();
   player->set_hidden(false);
   EXPECT_FALSE(player->has_changed());
   player->set_hidden(true);
   EXPECT_TRUE(player->has_changed());
   player->set_offset_x(player->get_offset_x());
   EXPECT_TRUE(player->has_changed());
   player->set_name("Wall");
   EXPECT_TRUE(player->has_changed());
}

// The marks of an edit are held and given once when it ends: a change of the look covers one of
// the colours (the revisions apart from the colours' must move, or the colours alone would be
// filled again), a move is kept beside either, and an edit that throws still marks what it did.
TEST(app_layer, an_edit_marks_once_for_everything_it_changed)
{
   auto pglobal = make_pointer<Global>();
   auto player = new_layer(pglobal.get());
   const auto look = [&player] { return player->look_revision(); };
   const auto colours = [&player] { return player->colours_revision(); };

   unsigned long long iLook = look();
   player->change(layer_change::colours, [&]
   {
      player->set_name("Wall");
      player->change(layer_change::colours, [] {});
      EXPECT_EQ(look(), iLook);
      EXPECT_FALSE(pglobal->take_changed());
   });
   EXPECT_EQ(look(), iLook + 1);
   EXPECT_EQ(colours(), 0u);
   EXPECT_TRUE(pglobal->take_changed());
   EXPECT_FALSE(player->has_moved());

   iLook = look();
   player->change(layer_change::colours, [&] { player->set_offset_x(5); });
   EXPECT_EQ(look(), iLook + 1);
   EXPECT_EQ(colours(), 1u);
   EXPECT_TRUE(player->has_moved());

   iLook = look();
   EXPECT_THROW(player->change(layer_change::look, [&] { player->set_half_pair(9, 0, true); }), std::out_of_range);
   EXPECT_EQ(look(), iLook + 1);
   player->set_changed();
   EXPECT_EQ(look(), iLook + 2);
}

TEST(app_layer, LogoLayerIsNamedLogoInTextAndQueries)
{
   auto player = new_layer();
   player->set_name("Stage left");
   player->set_logo(true);
   EXPECT_EQ(player->get_name(), "Logo");
   EXPECT_NE(player->get_layer_info().find("Name:Logo\n"), string_base::npos);
}

TEST(app_layer, BaseKeysAreReadWithAtoiRulesAndValuesKeepLaterColons)
{
   auto player = new_layer();
   player->apply_layer_info("Name:a:b:c\nHidden:2\nOffsetX:12abc\nOffsetY:  -7\noffsetX:99\n");
   EXPECT_EQ(player->get_name(), "a:b:c");
   EXPECT_TRUE(player->is_hidden());
   EXPECT_EQ(player->get_offset_x(), 12);
   EXPECT_EQ(player->get_offset_y(), -7);
   EXPECT_FALSE(player->has_changed());

   player->apply_layer_info("Hidden:yes\nOffsetX:99999999999");
   EXPECT_FALSE(player->is_hidden());
   EXPECT_EQ(player->get_offset_x(), INT_MAX);
}

TEST(app_layer, LinesWithoutColonAreSkippedAndAnEmptyCustomPathClearsIt)
{
   auto player = new_layer();
   player->apply_layer_info("CustomPath:1,2\n");
   EXPECT_EQ(player->get_data_custom_path_string(), "1,2");
   player->apply_layer_info("CustomPath\n");
   EXPECT_EQ(player->get_data_custom_path_string(), "1,2");
   player->apply_layer_info("CustomPath:\n");
   EXPECT_EQ(player->get_data_custom_path_string(), "");
}

TEST(app_layer, LineEndsOfEveryKindReadAlike)
{
   for (const char * pszText : {"Name:N\nOffsetX:5\nOffsetY:6", "Name:N\r\nOffsetX:5\r\nOffsetY:6\r\n", "Name:N\rOffsetX:5\rOffsetY:6\r"})
   {
      auto player = new_layer();
      player->apply_layer_info(pszText);
      EXPECT_EQ(player->get_name(), "N") << pszText;
      EXPECT_EQ(player->get_offset_x(), 5) << pszText;
      EXPECT_EQ(player->get_offset_y(), 6) << pszText;
   }
}

TEST(app_layer, OffscreenImageIsReusedAtTheSameSizeAndClearedEachTime)
{
   auto player = new_layer();
   EXPECT_FALSE(player->get_offscreen());
   auto pimage = player->request_offscreen(4, 3);
   pimage->pixel(1, 1) = 0xFFFFFFFFu;
   auto pagain = player->request_offscreen(4, 3);
   EXPECT_EQ(pagain.get(), pimage.get());
   EXPECT_EQ(pagain->pixel(1, 1), 0u);
   auto pother = player->request_offscreen(5, 3);
   EXPECT_NE(pother.get(), pimage.get());
   EXPECT_EQ(pother->width(), 5);
   player->resetOffscreen();
   EXPECT_FALSE(player->get_offscreen());
}

TEST(app_layer, OutlineTurnsAboutTheTopLeftCornerAndTruncatesTowardZero)
{
   auto player = new_layer();
   player->Columns = 1;
   player->Rows = 1;
   player->Width = 100;
   player->Height = 50;
   EXPECT_EQ(player->raw_rotated_polygon(), (polygon_type<float>{{0, 0}, {100, 0}, {100, 50}, {0, 50}}));

   // A quarter turn: (100, 0) goes to (0, 100) and (0, 50) to (-50, 0), less a hair, truncated.
   player->set_rotation(static_cast<float>(M_PI / 2));
   const auto polygon = player->raw_rotated_polygon();
   EXPECT_EQ(polygon[1].x, 0.f);
   EXPECT_EQ(polygon[1].y, 99.f);
   EXPECT_EQ(polygon[3].x, -49.f);
   EXPECT_EQ(polygon[3].y, 0.f);
   EXPECT_EQ(player->rotated_polygon(10, 20)[3], (point_type<float>{-39.f, 20.f}));

   player->Columns = 0;
   player->Rows = 0;
   EXPECT_EQ(player->raw_rotated_polygon(), (polygon_type<float>(4, point_type<float>{0, 0})));
}
