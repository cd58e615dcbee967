#pragma once

#include "zelui/Screen.h"
#include "zelui/recording_interaction.h"

// The widget given, placed at x, y in a size of its own.
template <typename WIDGET>
WIDGET * placed(WIDGET * pwidget, int x, int y, int iWidth, int iHeight)
{
   pwidget->set_position({x, y});
   pwidget->set_size({iWidth, iHeight});
   return pwidget;
}

// A screen without a window, 800 x 600, with helpers that inject events as the window would.
struct test_screen
{
   pointer<zelui::Screen> m_pscreen = make_pointer<zelui::Screen>(nullptr, size_type<int>{800, 600}, "test");

   zelui::Screen * operator->() const { return m_pscreen.get(); }
   zelui::Screen * get() const { return m_pscreen.get(); }

   void press(int x, int y, user::enum_mouse ebutton = user::e_mouse_left_button, bool bDouble = false)
   {
      m_pscreen->on_window_mouse_button({x, y}, ebutton, true, bDouble, enumeration<user::enum_key>(user::held_flag(ebutton)));
   }
   void release(int x, int y, user::enum_mouse ebutton = user::e_mouse_left_button)
   {
      m_pscreen->on_window_mouse_button({x, y}, ebutton, false, false, {});
   }
   void click(int x, int y)
   {
      move(x, y);
      press(x, y);
      release(x, y);
   }
   // Presses the left button at one point, moves with it held to another and lets go there.
   void drag(int x, int y, int xTo, int yTo)
   {
      move(x, y);
      press(x, y);
      move(xTo, yTo, true);
      release(xTo, yTo);
   }
   void move(int x, int y, bool bLeftHeld = false)
   {
      m_pscreen->on_window_mouse_motion({x, y}, bLeftHeld ? enumeration<user::enum_key>(user::e_key_left_button)
                                                          : enumeration<user::enum_key>());
   }
   void key(user::enum_key ekey, const string_base & strText = {}, std::uint64_t uModifiers = 0)
   {
      enumeration<user::enum_key> emodifiers(uModifiers);
      m_pscreen->on_window_keyboard(ekey, 0, user::e_key_action_press, emodifiers, strText);
      m_pscreen->on_window_keyboard(ekey, 0, user::e_key_action_release, emodifiers, {});
   }
   void type(const string_base & strText)
   {
      for (char ch : strText)
      {
         key(user::e_key_none, string_base(1, ch));
      }
   }
   // One frame without drawing target: hooks, layout.
   void layout()
   {
      m_pscreen->run_layout_hooks(nullptr);
      m_pscreen->perform_layout(nullptr);
   }
};
