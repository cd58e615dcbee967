#pragma once

#include "zelui/Screen.h"
#include "zelui/interaction.h"

// A window that records what the widgets ask of it.
class recording_interaction : public user::interaction
{
public:
   void set_need_layout() override { ++m_iLayouts; }
   void set_need_redraw(const std::vector<rectangle_type<int>> &, zel2d::context *, const function<void()> &, bool) override
   {
      ++m_iRedraws;
   }
   void post_redraw(bool) override { ++m_iPosts; }
   rectangle_type<int> window_rectangle(int) override { return {100, 100, 900, 700}; }
   rectangle_type<int> client_rectangle(int) override { return {0, 0, 800, 600}; }
   std::recursive_mutex & window_mutex() override { return m_mutex; }
   void post_message(long long llMessage, long long, const pointer<particle> &) override { m_messages.push_back(llMessage); }

   int m_iLayouts = 0;
   int m_iRedraws = 0;
   int m_iPosts = 0;
   std::vector<long long> m_messages;
   std::recursive_mutex m_mutex;
};

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
      m_pscreen->perform_layout(nullptr, true);
   }
};
