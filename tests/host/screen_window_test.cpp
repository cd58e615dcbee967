#include <gtest/gtest.h>

#include <SDL.h>

#include "host/context.h"
#include "host/event_loop.h"
#include "host/main_window.h"
#include "host/windowing.h"
#include "host_test_environment.h"
#include "sdl_events.h"
#include "orvo/color.h"
#include "zel2d/context.h"
#include "zelui/Button.h"
#include "zelui/Screen.h"

namespace
{

// A screen that records what the window hands it.
class recording_screen : public zelui::Screen
{
public:
   using zelui::Screen::Screen;

   std::vector<std::string> m_events;

   bool keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                       const string_base & strText) override
   {
      m_events.push_back(format("key %llu %d %d %llx \"%s\"", static_cast<unsigned long long>(ekey), iScancode, iAction,
                                static_cast<unsigned long long>(emodifiers.value()), strText.c_str()));
      return zelui::Screen::keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
   }

   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bQuick,
                           const enumeration<user::enum_key> & emodifiers) override
   {
      m_events.push_back(format("%s%s", bDown ? "press" : "release", bQuick ? " quick" : ""));
      return zelui::Screen::mouse_button_event(point, ebutton, bDown, bQuick, emodifiers);
   }

   bool scroll_event(const point_type<int> & point, const size_type<float> & delta) override
   {
      m_events.push_back(format("scroll %d %d %g", point.x, point.y, delta.height));
      return zelui::Screen::scroll_event(point, delta);
   }

   bool resize_event(const size_type<int> & size) override
   {
      m_events.push_back(format("resize %d %d", size.width, size.height));
      return zelui::Screen::resize_event(size);
   }
};

// A widget that paints itself in one colour.
class swatch : public zelui::Widget
{
public:
   swatch(zelui::Widget * pparent, color::color color) : zelui::Widget(pparent), m_color(color) {}

   void draw(zel2d::context * pcontext) override
   {
      pcontext->begin_path();
      pcontext->rectangle(static_cast<float>(x()), static_cast<float>(y()), static_cast<float>(width()),
                          static_cast<float>(height()));
      pcontext->set_fill_color(m_color);
      pcontext->fill();
   }

private:
   color::color m_color;
};

class screen_window : public user::main_window
{
public:
   pointer<recording_screen> m_pscreen;

   screen_window()
   {
      m_rectangleInitialRateOrSize = {10, 10, 330, 250};
      m_pscreen = make_pointer<recording_screen>(this, size_type<int>{}, "Test");
      set_appearance(m_pscreen->appearance());
      m_pscreen->set_visible(true);
   }

   ~screen_window() override { set_appearance(nullptr); }
};

class screen_window_test : public testing::Test
{
protected:
   void SetUp() override
   {
      m_pwindow = make_pointer<screen_window>();
      m_pwindow->create_main_window();
      m_pwindow->display();
      m_pwindow->set_need_layout();
      m_pwindow->set_need_redraw();
      m_pwindow->post_redraw();
      process_events();
      m_uWindow = m_pwindow->window_id();
   }

   void TearDown() override
   {
      m_pwindow->destroy_window();
      m_pwindow.reset();
      process_events();
      platform::context::event_loop()->reset_quit();
   }

   std::vector<std::string> & events() { return m_pwindow->m_pscreen->m_events; }

   pointer<screen_window> m_pwindow;
   std::uint32_t m_uWindow = 0;
};

} // namespace

TEST_F(screen_window_test, the_screen_learns_the_window_size_and_draws_into_the_window_pixels)
{
   EXPECT_EQ(events().front(), "resize 320 240");
   auto * pswatch = new swatch(m_pwindow->m_pscreen.get(), color::color{255, 0, 0, 255});
   pswatch->set_position({20, 30});
   pswatch->set_size({50, 40});
   m_pwindow->set_need_redraw();
   m_pwindow->post_redraw();
   process_events();
   const image::image & pixels = m_pwindow->pixels();
   ASSERT_EQ(pixels.width(), 320);
   EXPECT_EQ(pixels.pixel(45, 50), 0xFFFF0000u);
   EXPECT_NE(pixels.pixel(100, 100), 0xFFFF0000u);
}

TEST_F(screen_window_test, the_title_shows_the_caption_and_a_posted_redraw_runs_the_one_shot_hook_once)
{
   EXPECT_STREQ(SDL_GetWindowTitle(SDL_GetWindowFromID(m_uWindow)), "Test");
   int iHooks = 0;
   m_pwindow->m_pscreen->set_layout_hook([&](zel2d::context * pcontext) { iHooks += pcontext ? 1 : 100; });
   m_pwindow->set_need_redraw();
   m_pwindow->post_redraw();
   process_events();
   m_pwindow->set_need_redraw();
   m_pwindow->post_redraw();
   process_events();
   EXPECT_EQ(iHooks, 1);
}

TEST_F(screen_window_test, a_click_reaches_the_button_under_the_pointer)
{
   int iClicks = 0;
   auto * pbutton = new zelui::Button(m_pwindow->m_pscreen.get(), "Go");
   pbutton->set_position({40, 60});
   pbutton->set_size({100, 30});
   pbutton->set_callback([&] { ++iClicks; });
   sdl_events::push_mouse_button(m_uWindow, SDL_MOUSEBUTTONDOWN, 90, 75);
   sdl_events::push_mouse_button(m_uWindow, SDL_MOUSEBUTTONUP, 90, 75);
   process_events();
   EXPECT_EQ(iClicks, 1);
}

TEST_F(screen_window_test, every_press_that_sdl_counts_after_another_reaches_the_screen_as_quick)
{
   // The third of three quick presses may be the second of a double click on another widget.
   for (std::uint8_t clicks : {1, 2, 3})
   {
      sdl_events::push_mouse_button(m_uWindow, SDL_MOUSEBUTTONDOWN, 90, 75, clicks);
      sdl_events::push_mouse_button(m_uWindow, SDL_MOUSEBUTTONUP, 90, 75, clicks);
   }
   events().clear();
   process_events();
   EXPECT_EQ(events(), (std::vector<std::string>{"press", "release", "press quick", "release", "press quick", "release"}));
}

TEST_F(screen_window_test, a_key_press_arrives_with_its_text_and_the_equals_key_with_scan_code_24)
{
   events().clear();
   sdl_events::push_key(m_uWindow, SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, KMOD_LSHIFT, "A");
   sdl_events::push_key(m_uWindow, SDL_KEYUP, SDLK_a, SDL_SCANCODE_A, KMOD_LSHIFT, nullptr);
   sdl_events::push_key(m_uWindow, SDL_KEYDOWN, SDLK_EQUALS, SDL_SCANCODE_EQUALS, KMOD_LCTRL, nullptr);
   process_events();
   ASSERT_EQ(events().size(), 3u);
   EXPECT_EQ(events()[0], format("key 12 %d 256 100000000 \"A\"", SDL_SCANCODE_A + 256));
   EXPECT_EQ(events()[1], format("key 12 %d 257 100000000 \"\"", SDL_SCANCODE_A + 256));
   EXPECT_EQ(events()[2], "key 38 24 256 400000000 \"\"");
}

TEST_F(screen_window_test, a_shortcut_press_drops_the_text_sdl_sends_with_it_and_altgr_keeps_its_character)
{
   events().clear();
   // What SDL sends on a US layout for Control+Shift+4, Alt+S and Super+N; AltGr+Q on a German one.
   sdl_events::push_key(m_uWindow, SDL_KEYDOWN, SDLK_4, SDL_SCANCODE_4, KMOD_LCTRL | KMOD_LSHIFT, "$");
   sdl_events::push_key(m_uWindow, SDL_KEYDOWN, SDLK_s, SDL_SCANCODE_S, KMOD_LALT, "s");
   sdl_events::push_key(m_uWindow, SDL_KEYDOWN, SDLK_n, SDL_SCANCODE_N, KMOD_LGUI, "n");
   sdl_events::push_key(m_uWindow, SDL_KEYDOWN, SDLK_q, SDL_SCANCODE_Q, KMOD_RALT, "@");
   process_events();
   ASSERT_EQ(events().size(), 4u);
   EXPECT_EQ(events()[0], format("key 6 %d 256 500000000 \"\"", SDL_SCANCODE_4 + 256));
   EXPECT_EQ(events()[1], format("key 30 %d 256 1000000000 \"\"", SDL_SCANCODE_S + 256));
   EXPECT_EQ(events()[2], format("key 25 %d 256 4000000000 \"\"", SDL_SCANCODE_N + 256));
   EXPECT_EQ(events()[3], format("key 28 %d 256 2000000000 \"@\"", SDL_SCANCODE_Q + 256));
}

TEST_F(screen_window_test, losing_the_focus_releases_the_modifier_keys_still_held)
{
   sdl_events::push_key(m_uWindow, SDL_KEYDOWN, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL, nullptr);
   sdl_events::push_key(m_uWindow, SDL_KEYDOWN, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, KMOD_LCTRL | KMOD_RSHIFT, nullptr);
   sdl_events::push_key(m_uWindow, SDL_KEYUP, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, KMOD_LCTRL, nullptr);
   process_events();
   events().clear();
   sdl_events::push_window_event(m_uWindow, SDL_WINDOWEVENT_FOCUS_LOST);
   process_events();
   ASSERT_EQ(events().size(), 1u);
   EXPECT_EQ(events()[0], format("key %llu 0 257 0 \"\"", 0x400000000ull));
}

TEST_F(screen_window_test, a_wheel_notch_is_a_delta_of_ten_at_the_pointer)
{
   events().clear();
   SDL_Event event{};
   event.type = SDL_MOUSEWHEEL;
   event.wheel.windowID = m_uWindow;
   event.wheel.y = -1;
   event.wheel.preciseY = -1.0f;
   event.wheel.mouseX = 70;
   event.wheel.mouseY = 80;
   SDL_PushEvent(&event);
   process_events();
   ASSERT_EQ(events().size(), 1u);
   EXPECT_EQ(events()[0], "scroll 70 80 -10");
}

TEST_F(screen_window_test, a_resize_tells_the_screen_and_redraws_at_the_new_size_once)
{
   events().clear();
   const long long iDrawn = m_pwindow->draw_count();
   SDL_SetWindowSize(SDL_GetWindowFromID(m_uWindow), 400, 300);
   process_events();
   EXPECT_EQ(events(), std::vector<std::string>{"resize 400 300"});
   EXPECT_EQ(m_pwindow->pixels().width(), 400);
   EXPECT_EQ(m_pwindow->draw_count(), iDrawn + 1);
   process_events();
   EXPECT_EQ(m_pwindow->draw_count(), iDrawn + 1);
}
