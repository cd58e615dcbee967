#include <cmath>
#include <limits>
#include <numbers>

#include "canvas_fixture.h"
#include "document/connector.h"
#include "orvo/file_system.h"

namespace
{

using canvas_geometry = canvas_fixture;
using canvas_editing = canvas_fixture;

TEST_F(canvas_geometry, NewCanvasShowsRasterOriginRightOfThePanel)
{
   EXPECT_EQ(m_pcanvas->zoom(), 1.0f);
   EXPECT_EQ(m_pcanvas->pan(), (point_type<int>{280, 0}));
   const point_type<float> point = m_pcanvas->layerToScreen({0, 0}, layer(0));
   EXPECT_EQ(point.x, 280.f);
   EXPECT_EQ(point.y, 0.f);
   EXPECT_FALSE(MainImpact::isPosValid(MainImpact::invalidPos()));
   EXPECT_TRUE(MainImpact::isPosValid({-10000, 0}));
}

TEST_F(canvas_geometry, LayerHitIncludesRightAndBottomEdges)
{
   layer(0)->set_offset_x(100);
   layer(0)->set_offset_y(50);
   EXPECT_EQ(m_pcanvas->hit_test_layer({380.f, 50.f}), 0);
   EXPECT_EQ(m_pcanvas->hit_test_layer({380.f + 1024.f, 50.f + 640.f}), 0);
   EXPECT_EQ(m_pcanvas->hit_test_layer({380.f + 1025.f, 60.f}), -1);
   EXPECT_EQ(m_pcanvas->hit_test_layer({379.f, 60.f}), -1);
}

TEST_F(canvas_geometry, TopmostVisibleLayerIsHitAndNoLayersHitNothing)
{
   add_image_layer(0, 0, 200, 200);
   EXPECT_EQ(m_pcanvas->hit_test_layer({380.f, 100.f}), 1);
   layer(1)->set_hidden(true);
   EXPECT_EQ(m_pcanvas->hit_test_layer({380.f, 100.f}), 0);
   document().get_layers().clear();
   EXPECT_EQ(m_pcanvas->hit_test_layer({380.f, 100.f}), -1);
}

TEST_F(canvas_geometry, TurnedLayerIsHitWhereItIsDrawn)
{
   // Turned by 90 degrees clockwise about its top-left corner at raster (1000, 0), the layer
   // covers raster x 360..1000 and y 0..1024.
   layer(0)->set_offset_x(1000);
   layer(0)->set_rotation(std::numbers::pi_v<float> / 2);
   EXPECT_EQ(m_pcanvas->hit_test_layer({280.f + 900.f, 500.f}), 0);
   EXPECT_EQ(m_pcanvas->hit_test_layer({280.f + 1100.f, 100.f}), -1);
   const point_type<float> point = m_pcanvas->screenToLayer({280 + 900, 500}, layer(0));
   EXPECT_NEAR(point.x, 500.f, 1e-3);
   EXPECT_NEAR(point.y, 100.f, 1e-3);
}

TEST_F(canvas_geometry, WheelZoomIsClampedWhenDrawnSoOneStepBackActsAtOnce)
{
   m_pcanvas->scroll_event({0, 0}, {0.f, -30.f});
   EXPECT_NEAR(m_pcanvas->requested_zoom(), 0.7f, 1e-6);
   for (int i = 0; i < 20; i++)
   {
      m_pcanvas->scroll_event({0, 0}, {0.f, -10.f});
   }
   // A custom path in progress makes every draw take the clamped zoom, frame image or not.
   boxes(0)->m_descriptionData.m_iCustomPath = 1;
   auto pcontext = make_pointer<zel2d::context>();
   m_pcanvas->draw_second(pcontext.get());
   EXPECT_EQ(m_pcanvas->zoom(), 0.25f);
   m_pcanvas->scroll_event({0, 0}, {0.f, 10.f});
   m_pcanvas->draw_second(pcontext.get());
   EXPECT_NEAR(m_pcanvas->zoom(), 0.35f, 1e-6);
}

TEST_F(canvas_geometry, RasterLabelIsHitOnlyWhileShown)
{
   document().m_iRasterLabelX = 100;
   document().m_iRasterLabelY = 100;
   document().m_iRasterLabelBoxWidth = 50;
   document().m_iRasterLabelBoxHeight = 20;
   EXPECT_FALSE(m_pcanvas->hit_test_raster_label(280 + 120, 110));
   document().m_bRasterLabel = true;
   EXPECT_TRUE(m_pcanvas->hit_test_raster_label(280 + 120, 110));
   EXPECT_TRUE(m_pcanvas->hit_test_raster_label(280 + 150, 120));
   EXPECT_FALSE(m_pcanvas->hit_test_raster_label(280 + 151, 110));
}

TEST_F(canvas_geometry, PreferredSizeIsTheRasterWhateverTheZoom)
{
   m_pcanvas->scroll_event({0, 0}, {0.f, -50.f});
   EXPECT_EQ(m_pcanvas->preferred_size(nullptr), (size_type<int>{1920, 1080}));
}

TEST_F(canvas_editing, PressOnAnotherLayerOnlyMakesItCurrent)
{
   add_image_layer(500, 300, 100, 100);
   press(280 + 550, 350, control);
   release(280 + 550, 350, control);
   EXPECT_EQ(document().get_current_layer_id(), 1);
   EXPECT_EQ(m_pcanvas->handle_index(), -1);
   // The second press starts the gesture: a drag of the image layer.
   press(280 + 550, 350, control);
   move(280 + 560, 350, 10, 0, control);
   release(280 + 560, 350, control);
   EXPECT_EQ(layer(1)->get_offset_x(), 510);
}

TEST_F(canvas_editing, DragAtHalfZoomMovesTwiceTheMouse)
{
   layer(0)->set_offset_x(300);
   layer(0)->set_offset_y(200);
   m_pcanvas->scroll_event({0, 0}, {0.f, -50.f});
   auto pcontext = make_pointer<zel2d::context>();
   boxes(0)->m_descriptionData.m_iCustomPath = 1;
   m_pcanvas->draw_second(pcontext.get());
   boxes(0)->m_descriptionData.m_iCustomPath = 0;
   ASSERT_EQ(m_pcanvas->zoom(), 0.5f);
   press(280 + 200, 150, shift);
   move(280 + 300, 150, 100, 0, shift);
   release(280 + 300, 150, shift);
   EXPECT_EQ(layer(0)->get_offset_x(), 500);
   EXPECT_EQ(layer(0)->get_offset_y(), 200);
}

TEST_F(canvas_editing, DraggedLayerSnapsToRasterEdgesWithinTwentyPixels)
{
   layer(0)->set_offset_x(100);
   layer(0)->set_offset_y(100);
   press(280 + 200, 200, shift);
   move(280 + 115, 200, -85, 0, shift);
   release(280 + 115, 200, shift);
   EXPECT_EQ(layer(0)->get_offset_x(), 0);

   layer(0)->set_offset_x(100);
   press(280 + 200, 200, shift);
   move(280 + 120, 200, -80, 0, shift);
   release(280 + 120, 200, shift);
   EXPECT_EQ(layer(0)->get_offset_x(), 20);

   // The right edge: 1024 wide on 1920, released 10 pixels short.
   layer(0)->set_offset_x(100);
   press(280 + 200, 200, shift);
   move(280 + 986, 200, 786, 0, shift);
   release(280 + 986, 200, shift);
   EXPECT_EQ(layer(0)->get_offset_x(), 1920 - 1024);
}

TEST_F(canvas_editing, DraggedLayerSnapsOntoAnotherHiddenLayerOncePerCoordinate)
{
   auto pother = add_image_layer(1300, 500, 200, 100);
   pother->set_hidden(true);
   m_pglobal->m_bAutoSelect = false;
   ASSERT_TRUE(document().set_current_layer_index(0));
   layer(0)->set_offset_x(100);
   layer(0)->set_offset_y(200);
   // Dragged so that its left edge stands at 1510, 10 right of the other's right edge.
   press(280 + 200, 300, shift);
   move(280 + 200 + 1410, 300, 1410, 0, shift);
   release(280 + 200 + 1410, 300, shift);
   EXPECT_EQ(layer(0)->get_offset_x(), 1500);
}

TEST_F(canvas_editing, LayersAtThe32BitBoundsDoNotDisturbADragNearTheOrigin)
{
   // The snapping measures the other layers' far edges: an offset at the bound plus a size.
   add_image_layer(2147483647 - 100, 2147483647 - 100, 200, 200)->set_hidden(true);
   add_image_layer(-2147483647 - 1, -2147483647 - 1, 200, 200)->set_hidden(true);
   m_pglobal->m_bAutoSelect = false;
   ASSERT_TRUE(document().set_current_layer_index(0));
   layer(0)->set_offset_x(300);
   layer(0)->set_offset_y(200);
   press(280 + 400, 300, shift);
   move(280 + 440, 300, 40, 0, shift);
   release(280 + 440, 300, shift);
   EXPECT_EQ(layer(0)->get_offset_x(), 340);
   EXPECT_EQ(layer(0)->get_offset_y(), 200);
}

TEST_F(canvas_editing, RasterEdgeWinsOverANearbyLayer)
{
   add_image_layer(5, 600, 100, 100);
   m_pglobal->m_bAutoSelect = false;
   layer(0)->set_offset_x(100);
   layer(0)->set_offset_y(200);
   press(280 + 200, 300, shift);
   move(280 + 110, 300, -90, 0, shift);
   release(280 + 110, 300, shift);
   EXPECT_EQ(layer(0)->get_offset_x(), 0);
}

TEST_F(canvas_editing, ReleasingTheModifierCancelsTheDrag)
{
   layer(0)->set_offset_x(300);
   press(280 + 400, 100, shift);
   move(280 + 500, 100, 100, 0, shift);
   m_pcanvas->reset_handle_state();
   release(280 + 500, 100);
   EXPECT_EQ(layer(0)->get_offset_x(), 300);
}

TEST_F(canvas_editing, PressOnTheLayerEdgeStartsNoDrag)
{
   layer(0)->set_offset_x(300);
   press(280 + 300, 100, shift);
   move(280 + 400, 100, 100, 0, shift);
   release(280 + 400, 100, shift);
   EXPECT_EQ(layer(0)->get_offset_x(), 300);
}

TEST_F(canvas_editing, ImageHandlesAreCaughtWithinEightPixelsOfAnEdgeMiddle)
{
   add_image_layer(400, 300, 200, 100);
   ASSERT_TRUE(document().set_current_layer_index(1));
   m_pglobal->m_bAutoSelect = false;
   press(280 + 400 - 7, 350 + 7, control);
   EXPECT_EQ(m_pcanvas->handle_index(), 2);
   m_pcanvas->reset_handle_state();
   press(280 + 500, 300 - 7, control);
   EXPECT_EQ(m_pcanvas->handle_index(), 0);
   m_pcanvas->reset_handle_state();
   press(280 + 600 + 7, 350, control);
   EXPECT_EQ(m_pcanvas->handle_index(), 3);
   m_pcanvas->reset_handle_state();
   press(280 + 500 + 7, 400 + 7, control);
   EXPECT_EQ(m_pcanvas->handle_index(), 1);
   m_pcanvas->reset_handle_state();
   press(280 + 400 - 8, 350, control);
   EXPECT_EQ(m_pcanvas->handle_index(), -1);
}

TEST_F(canvas_editing, TopHandleResizeRaisesTheTopAndTheReleaseWritesIt)
{
   auto pimage = add_image_layer(400, 300, 200, 100);
   ASSERT_TRUE(document().set_current_layer_index(1));
   m_pglobal->keyboard_modifiers() = enumeration<user::enum_key>(control);
   auto pcontext = make_pointer<zel2d::context>();
   press(280 + 500, 300, control);
   ASSERT_EQ(m_pcanvas->handle_index(), 0);
   move(280 + 500, 290, 0, -10, control);
   m_pcanvas->draw_second(pcontext.get());
   EXPECT_EQ(m_pcanvas->resize_rectangle(), (rectangle_type<int>{400, 290, 600, 400}));
   const unsigned long long iLook = pimage->look_revision();
   release(280 + 500, 290, control);
   EXPECT_EQ(pimage->look_revision() - iLook, 1u) << "the new place and size are one change";
   EXPECT_EQ(pimage->get_offset_y(), 290);
   EXPECT_EQ(pimage->get_height(), 110);
   EXPECT_EQ(pimage->get_width(), 200);
   EXPECT_EQ(m_pcanvas->handle_index(), -1);
}

TEST_F(canvas_editing, AspectKeepingResizeDerivesTheOtherSide)
{
   auto pimage = add_image_layer(400, 300, 200, 100);
   pimage->setMaintainAspectRatio(true);
   ASSERT_TRUE(document().set_current_layer_index(1));
   m_pglobal->keyboard_modifiers() = enumeration<user::enum_key>(control);
   auto pcontext = make_pointer<zel2d::context>();
   press(280 + 600, 350, control);
   ASSERT_EQ(m_pcanvas->handle_index(), 3);
   move(280 + 700, 350, 100, 0, control);
   m_pcanvas->draw_second(pcontext.get());
   release(280 + 700, 350, control);
   EXPECT_EQ(pimage->get_width(), 300);
   EXPECT_EQ(pimage->get_height(), 150);
}

TEST_F(canvas_editing, ReleaseOfAHandleWithoutADrawnFrameChangesNothing)
{
   auto pimage = add_image_layer(400, 300, 200, 100);
   ASSERT_TRUE(document().set_current_layer_index(1));
   press(280 + 500, 300, control);
   ASSERT_EQ(m_pcanvas->handle_index(), 0);
   release(280 + 500, 300, control);
   press(280 + 500, 300, control);
   release(280 + 500, 300, control);
   EXPECT_EQ(pimage->get_offset_x(), 400);
   EXPECT_EQ(pimage->get_offset_y(), 300);
   EXPECT_EQ(pimage->get_width(), 200);
   EXPECT_EQ(pimage->get_height(), 100);
}

TEST_F(canvas_editing, BoxSelectionTakesItsDirectionFromTheFirstBox)
{
   // Boxes are 128 x 128; the press falls in box (0, 0), the release in box (1, 1).
   press(280 + 10, 10, control);
   EXPECT_TRUE(m_pcanvas->is_selection_active());
   move(280 + 200, 200, 190, 190, control);
   release(280 + 200, 200, control);
   EXPECT_EQ(boxes(0)->ExcludeBoxes.count(), 4);

   // Starting on an excluded box (which the press brings back) includes them all again.
   press(280 + 10, 10, control);
   move(280 + 200, 200, 190, 190, control);
   release(280 + 200, 200, control);
   EXPECT_EQ(boxes(0)->ExcludeBoxes.count(), 0);
   EXPECT_FALSE(m_pcanvas->is_selection_active());
}

TEST_F(canvas_editing, BoxSelectionBesideEveryBoxExcludes)
{
   layer(0)->set_offset_x(100);
   m_pglobal->m_bAutoSelect = false;
   press(280 + 50, 10, control);
   move(280 + 200, 100, 150, 90, control);
   release(280 + 200, 100, control);
   EXPECT_EQ(boxes(0)->ExcludeBoxes.count(), 1);
}

TEST_F(canvas_editing, BoxSelectionOfALayerAtThe32BitBoundsStaysSound)
{
   layer(0)->set_offset_x(std::numeric_limits<int>::min());
   layer(0)->set_offset_y(std::numeric_limits<int>::min());
   m_pglobal->m_bAutoSelect = false;
   press(280 + 50, 10, control);
   move(280 + 200, 100, 150, 90, control);
   release(280 + 200, 100, control);
   EXPECT_TRUE(boxes(0)->ExcludeBoxes.is_empty());
   EXPECT_FALSE(m_pcanvas->is_selection_active());
}

TEST_F(canvas_editing, PlainPressesPanAndMoveTheRasterLabel)
{
   press(100, 100);
   move(150, 120, 50, 20);
   release(150, 120);
   EXPECT_EQ(m_pcanvas->pan(), (point_type<int>{330, 20}));

   document().m_bRasterLabel = true;
   document().m_iRasterLabelX = 100;
   document().m_iRasterLabelY = 100;
   document().m_iRasterLabelBoxWidth = 50;
   document().m_iRasterLabelBoxHeight = 20;
   press(330 + 110, 20 + 110);
   move(330 + 140, 20 + 100, 30, -10);
   release(330 + 140, 20 + 100);
   EXPECT_EQ(document().m_iRasterLabelX, 130);
   EXPECT_EQ(document().m_iRasterLabelY, 90);
   EXPECT_EQ(m_pcanvas->pan(), (point_type<int>{330, 20}));
}

TEST_F(canvas_editing, SpaceOpensANewPathOnlyAfterOneOfSeveralBoxes)
{
   auto pboxes = boxes(0);
   pboxes->m_descriptionData.m_iCustomPath = 1;
   pboxes->m_descriptionData.custom_paths = {{box_key(0, 0)}};
   m_pcanvas->on_space_key();
   EXPECT_EQ(pboxes->m_descriptionData.custom_paths.size(), 1u);
   pboxes->m_descriptionData.custom_paths = {{box_key(0, 0), box_key(1, 0)}};
   m_pcanvas->on_space_key();
   ASSERT_EQ(pboxes->m_descriptionData.custom_paths.size(), 2u);
   EXPECT_TRUE(pboxes->m_descriptionData.custom_paths.back().empty());
}

// The run numbers of a screen layer and the names of its connectors, start and end of every
// data run and start of every power circuit, as the canvas labels them.
std::vector<string_base> runs_and_connector_names(boxes_layer & layer)
{
   std::vector<string_base> names;
   for (const bool bData : {true, false})
   {
      snake * psnake = bData ? &layer.m_snakeData : &layer.m_snakePower;
      const long long base = layer.calculate_base_path_index(bData);
      const long long count = layer.calculate_path_count(bData);
      names.push_back(format("%lld runs from %lld", count, base));
      for (long long index = base; index < base + count; ++index)
      {
         names.push_back(layer.get_connector(psnake, index, true, false)->get_name_for_label());
         if (bData)
         {
            names.push_back(layer.get_connector(psnake, index, false, true)->get_name_for_label());
         }
      }
   }
   return names;
}

TEST_F(canvas_editing, CustomPathsOpenedWithSpaceSurviveAProjectFile)
{
   // A screen layer below the edited one: its runs are numbered after the edited layer's.
   auto pbelow = document().new_boxes_layer();
   pbelow->m_descriptionData.m_iLimit = 8 * 128 * 128;
   pbelow->get_connector(&pbelow->m_snakeData, pbelow->calculate_base_path_index(true) + 1, true, false)->_set_raw_name("Port B");
   pbelow->write_p_connectors();
   auto pwall = boxes(1);
   ASSERT_TRUE(document().set_current_layer_index(1));

   pwall->m_descriptionData.m_iCustomPath = 1;
   press(280 + 10, 10);
   release(280 + 10, 10);
   press(280 + 140, 10);
   release(280 + 140, 10);
   m_pcanvas->on_space_key();
   pwall->m_descriptionPower.m_iCustomPath = 1;
   pwall->custom_path_target = 0;
   press(280 + 10, 140);
   release(280 + 10, 140);
   press(280 + 10, 270);
   release(280 + 10, 270);
   m_pcanvas->on_space_key();
   ASSERT_EQ(pwall->m_descriptionData.custom_paths.size(), 2u);
   ASSERT_EQ(pwall->m_descriptionPower.custom_paths.size(), 2u);
   const auto wallBefore = runs_and_connector_names(*pwall);
   const auto belowBefore = runs_and_connector_names(*pbelow);
   EXPECT_EQ(wallBefore[0], "1 runs from 1");
   EXPECT_EQ(belowBefore[0], "8 runs from 2");
   EXPECT_EQ(belowBefore[3], "Port B");

   ASSERT_TRUE(document().save_project_to_file(file::path(m_folder) / "wall.tvsx"));
   auto pread = make_pointer<project>(m_pglobal.get());
   ASSERT_TRUE(pread->load_project_from_string(file::read_all(file::path(m_folder) / "wall.tvsx").value_or("")));
   ASSERT_EQ(pread->get_layers_count(), 2);
   auto pwallRead = pread->get_layer(1).cast<boxes_layer>();
   auto pbelowRead = pread->get_layer(0).cast<boxes_layer>();
   EXPECT_EQ(pwallRead->m_descriptionData.custom_paths, pwall->m_descriptionData.custom_paths);
   EXPECT_EQ(pwallRead->m_descriptionPower.custom_paths, pwall->m_descriptionPower.custom_paths);
   EXPECT_EQ(runs_and_connector_names(*pwallRead), wallBefore);
   EXPECT_EQ(runs_and_connector_names(*pbelowRead), belowBefore);
   EXPECT_EQ(pwallRead->get_layer_info(), pwall->get_layer_info());
   EXPECT_EQ(pbelowRead->get_layer_info(), pbelow->get_layer_info());
}

TEST_F(canvas_editing, PlainClicksAddBoxesToTheCustomPath)
{
   auto pboxes = boxes(0);
   pboxes->m_descriptionData.m_iCustomPath = 1;
   pboxes->m_descriptionData.custom_paths.clear();
   press(280 + 10, 10);
   release(280 + 10, 10);
   press(280 + 140, 10);
   release(280 + 140, 10);
   ASSERT_EQ(pboxes->m_descriptionData.custom_paths.size(), 1u);
   EXPECT_EQ(pboxes->m_descriptionData.custom_paths[0], (std::vector<int>{box_key(0, 0), box_key(1, 0)}));
}

TEST_F(canvas_editing, DraggingTheLogoLayerRewritesTheLogoFile)
{
   auto pimage = add_image_layer(400, 300, 200, 100);
   pimage->set_logo(true);
   ASSERT_TRUE(document().set_current_layer_index(1));
   press(280 + 500, 350, control);
   move(280 + 520, 350, 20, 0, control);
   release(280 + 520, 350, control);
   EXPECT_EQ(pimage->get_offset_x(), 420);
   EXPECT_TRUE(std::filesystem::exists(m_pglobal->getFolderToSaveData() / "logo.data"));
}

} // namespace
