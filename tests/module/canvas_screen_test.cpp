// The canvas on the root screen: the keys the screen hands to it, and the frame step of a draw.
#include <gtest/gtest.h>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "root_screen_fixture.h"
#include "screen/MainImpact.h"
#include "screen/MainScreen.h"
#include "toolwindows/SettingsPower.h"
#include "toolwindows/SettingsRasterLabel.h"
#include "zelui/TextBox.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class canvas_on_root_screen : public root_screen_fixture
{
protected:
   void SetUp() override
   {
      root_screen_fixture::SetUp();
      m_pscreen->create_main_screen();
      m_pcanvas = m_pscreen->canvas();
      m_pscreen->resize_event({1600, 900});
   }
   // A drag started with Shift held, as the screen would deliver it (canvas from y = 70).
   void start_drag()
   {
      key(user::e_key_left_shift, user::e_key_action_press);
      m_pcanvas->mouse_button_event({380, 100}, user::e_mouse_left_button, true, false,
                                    enumeration<user::enum_key>(user::e_key_left_shift));
      m_pcanvas->mouse_motion_event({480, 100}, {100, 0}, true, enumeration<user::enum_key>(user::e_key_left_shift));
   }

   MainImpact * m_pcanvas = nullptr;
};

TEST_F(canvas_on_root_screen, CanvasStandsBelowTheToolBar)
{
   ASSERT_NE(m_pcanvas, nullptr);
   EXPECT_EQ(m_pcanvas->position(), (point_type<int>{0, 70}));
   EXPECT_EQ(m_pcanvas->size(), (size_type<int>{1600, 830}));
}

TEST_F(canvas_on_root_screen, ReleasingShiftOverAScreenLayerCancelsItsDrag)
{
   start_drag();
   key(user::e_key_left_shift, user::e_key_action_release);
   m_pcanvas->mouse_button_event({480, 100}, user::e_mouse_left_button, false, false, {});
   EXPECT_EQ(m_pglobal->current_project()->current_layer()->get_offset_x(), 0);
}

TEST_F(canvas_on_root_screen, ReleasingControlOverAScreenLayerKeepsItsDrag)
{
   start_drag();
   key(user::e_key_left_control, user::e_key_action_press);
   key(user::e_key_left_control, user::e_key_action_release);
   m_pcanvas->mouse_button_event({480, 100}, user::e_mouse_left_button, false, false, enumeration<user::enum_key>(user::e_key_left_shift));
   EXPECT_EQ(m_pglobal->current_project()->current_layer()->get_offset_x(), 100);
}

// A widget with the keyboard focus that notes the canvas's handle when a key is released.
class handle_watcher : public zelui::Widget
{
public:
   handle_watcher(zelui::Widget * pparent, MainImpact * pcanvas) : zelui::Widget(pparent), m_pcanvas(pcanvas) {}

   bool keyboard_event(user::enum_key, int, int iAction, const enumeration<user::enum_key> &, const string_base &) override
   {
      if (iAction == user::e_key_action_release)
      {
         m_iHandleAtRelease = m_pcanvas->handle_index();
      }
      return false;
   }

   MainImpact * m_pcanvas;
   long long m_iHandleAtRelease = -2;
};

TEST_F(canvas_on_root_screen, ReleasingControlReachesTheFocusedWidgetBeforeTheResizeEnds)
{
   project & document = *m_pglobal->current_project();
   auto pimage = document.create_layer(e_layer_image).cast<image_layer>();
   pimage->setMaintainAspectRatio(false);
   pimage->set_width(200);
   pimage->set_height(100);
   pimage->set_offset_x(400);
   pimage->set_offset_y(300);
   document.insert_layer_at(pimage, -1);
   document.set_current_layer_index(1);
   m_pglobal->m_bAutoSelect = false;
   key(user::e_key_left_control, user::e_key_action_press);
   // The middle of the image layer's left edge, on the canvas that shows the raster from x 280.
   m_pcanvas->mouse_button_event({280 + 395, 350}, user::e_mouse_left_button, true, false,
                                 enumeration<user::enum_key>(user::e_key_left_control));
   ASSERT_EQ(m_pcanvas->handle_index(), 2);
   auto * pwatcher = new handle_watcher(m_pscreen.get(), m_pcanvas);
   m_pscreen->set_focus_to(pwatcher);
   key(user::e_key_left_control, user::e_key_action_release);
   EXPECT_EQ(pwatcher->m_iHandleAtRelease, 2);
   EXPECT_EQ(m_pcanvas->handle_index(), -1);
}

TEST_F(canvas_on_root_screen, SpaceOpensANewCustomPath)
{
   auto pboxes = m_pglobal->current_project()->current_boxes_layer();
   pboxes->m_descriptionData.m_iCustomPath = 1;
   pboxes->m_descriptionData.custom_paths = {{0, 1}};
   key(user::e_key_space, user::e_key_action_press, " ");
   EXPECT_EQ(pboxes->m_descriptionData.custom_paths.size(), 2u);
}

TEST_F(canvas_on_root_screen, SelectingALayerPostponesTheBuildByOneDraw)
{
   build();
   m_pscreen->setCurrentLayerTo(0, true);
   EXPECT_FALSE(build());
   EXPECT_TRUE(build());
}

TEST_F(canvas_on_root_screen, RasterLabelKeptAtTheEdgeShowsItsNewPlaceInItsToolWindow)
{
   project & document = *m_pglobal->current_project();
   document.m_bRasterLabel = true;
   document.m_straRasterLabel.add("Main wall");
   m_pglobal->set_changed();
   build();
   ASSERT_EQ(document.m_iRasterLabelX + document.m_iRasterLabelBoxWidth, 1920);
   SettingsRasterLabel * pwindow = m_pscreen->get_raster_label_window();
   ASSERT_NE(pwindow, nullptr);
   EXPECT_EQ(pwindow->m_ptextboxX->value(), std::to_string(document.m_iRasterLabelX));
}

TEST_F(canvas_on_root_screen, ABoxSelectionRefreshesThePowerTotalAtPressAndAtRelease)
{
   // 40 boxes of 200 W on 110 V and three phases, excluded boxes left out of the total.
   m_pscreen->reload_all(true);
   const string_base & total = m_pscreen->get_power_window()->m_pparameters->m_plabelTotal->caption();
   EXPECT_EQ(total, "Total Power 41.99 A");
   const enumeration<user::enum_key> control(user::e_key_left_control);
   // The raster starts 280 pixels right of the canvas's left edge; boxes are 128 pixels wide.
   m_pcanvas->mouse_button_event({280 + 20, 10}, user::e_mouse_left_button, true, false, control);
   EXPECT_EQ(total, "Total Power 40.94 A");
   m_pcanvas->mouse_motion_event({280 + 300, 10}, {280, 0}, true, control);
   m_pcanvas->mouse_button_event({280 + 300, 10}, user::e_mouse_left_button, false, false, control);
   EXPECT_EQ(total, "Total Power 38.84 A");
}

} // namespace
