#pragma once

// A root screen without a window, with the default document, and helpers that press, release and
// move the mouse over widgets as the window would.

#include "document/boxes_layer.h"
#include "zelui/mouse.h"
#include "root_screen_fixture.h"

class panel_test : public root_screen_fixture
{
protected:
   void SetUp() override
   {
      root_screen_fixture::SetUp();
      m_pscreen->set_size({1280, 800});
   }

   point_type<int> centre_of(zelui::Widget * pwidget) const
   {
      point_type<int> point = pwidget->absolute_position();
      return {point.x + pwidget->width() / 2, point.y + pwidget->height() / 2};
   }
   void move_to(point_type<int> point, bool bLeftHeld = false)
   {
      m_pscreen->on_window_mouse_motion(point, bLeftHeld ? enumeration<user::enum_key>(user::e_key_left_button)
                                                         : enumeration<user::enum_key>());
   }
   // `bQuick`: the window marks the press as following the one before within the double-click
   // time and distance.
   void press(point_type<int> point, bool bQuick = false)
   {
      m_pscreen->on_window_mouse_button(point, user::e_mouse_left_button, true, bQuick,
                                        enumeration<user::enum_key>(user::e_key_left_button));
   }
   void release(point_type<int> point)
   {
      m_pscreen->on_window_mouse_button(point, user::e_mouse_left_button, false, false, {});
   }
   void click(zelui::Widget * pwidget)
   {
      point_type<int> point = centre_of(pwidget);
      move_to(point);
      press(point);
      release(point);
   }
   // Names the document's layers "L0", "L1", ... in array order, after adding screen layers up
   // to `iCount`.
   void make_layers(long long iCount)
   {
      while (document().get_layers_count() < iCount)
      {
         document().new_boxes_layer();
      }
      for (long long i = 0; i < iCount; ++i)
      {
         document().get_layer(i)->set_name(format("L%lld", i));
      }
   }
};
