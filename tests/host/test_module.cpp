// A small module for the host's tests, loaded by the real host in place of the application module.
// Its application opens a window holding a screen with a few widgets, feeds that window mouse and
// key events through SDL, quits through the quit message and reports what reached it.

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/app_consumer_base.h"
#include "host/context.h"
#include "host/main_window.h"
#include "host/node.h"
#include "host/quisk_application.h"
#include "host/request.h"
#include "orvo/exception.h"
#include "orvo/factory.h"
#include "sdl_events.h"
#include "zelui/Button.h"
#include "zelui/Label.h"
#include "zelui/Screen.h"

namespace
{

class test_application;

// The screen records the keys that reach it, the way the application's root screen routes them.
class test_screen : public zelui::Screen
{
public:
   using zelui::Screen::Screen;

   std::vector<string_base> m_keys;

   bool keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                       const string_base & strText) override
   {
      m_keys.push_back(format("%llu %d \"%s\"", static_cast<unsigned long long>(ekey), iAction, strText.c_str()));
      return zelui::Screen::keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
   }
};

class test_window : public app_consumer_base<test_application, user::main_window>
{
public:
   pointer<test_screen> m_pscreen;
   zelui::Button * m_pbutton = nullptr;
   bool m_bButtonPressed = false;

   void install_message_routing(channel * pchannel) override
   {
      user::main_window::install_message_routing(pchannel);
      pchannel->add_message_handler(e_message_create, [this](message::message * pmessage)
      {
         pmessage->previous();
         if (!pmessage->is_finished())
         {
            create_screen();
         }
      });
   }

   void create_screen()
   {
      m_pscreen = make_pointer<test_screen>(this, size_type<int>{}, "Host test");
      set_appearance(m_pscreen->appearance());
      auto * plabel = new zelui::Label(m_pscreen.get(), "A label");
      plabel->set_position({10, 10});
      plabel->set_size({200, 30});
      m_pbutton = new zelui::Button(m_pscreen.get(), "Press");
      m_pbutton->set_position({40, 60});
      m_pbutton->set_size({120, 40});
      m_pbutton->set_callback([this] { m_bButtonPressed = true; });
      m_pscreen->set_visible(true);
   }
};

class test_application : virtual public quisk::application
{
public:
   test_application()
   {
      set_application_id("Tests/HostTest");
      set_application_name("Host Test");
      set_module_name("host_test_module");
   }

   void init_instance() override
   {
      if (std::getenv("HOST_TEST_FAIL_START"))
      {
         throw exception(error_failed, "the test module was asked to fail at start");
      }
      platform::context::node()->set_document_extension("tvsx");
      molv::application::init_instance();
   }

   void on_request(request * prequest) override
   {
      m_requests.push_back(format("%d %s", prequest->command(), prequest->payload().c_str()));
      if (!m_pwindow)
      {
         m_pwindow = make_pointer<test_window>();
         m_pwindow->initialize(this);
         m_pwindow->m_rectangleInitialRateOrSize = {20, 20, 420, 320};
         m_pwindow->add_graphical_output_purpose(this, user::e_graphical_output_purpose_screen);
         m_pwindow->create_main_window(prequest);
      }
      m_pwindow->order(user::e_zorder_top);
      m_pwindow->display(user::e_display_normal, user::e_activation_set_foreground);
      m_pwindow->set_need_layout();
      m_pwindow->set_need_redraw();
      m_pwindow->post_redraw();
      if (m_requests.size() == 1)
      {
         queue_user_input();
      }
   }

   bool term_application() override
   {
      bool bOk = check("the window found its application", m_pwindow && m_pwindow->get_app() == this);
      bOk &= check("requests 3 then 5 with an absolute path",
                   m_requests.size() == 2 && m_requests[0] == "3 " && m_requests[1].starts_with("5 /")
                      && m_requests[1].ends_with("/wall.tvsx"));
      bOk &= check("the create message built the screen", m_pwindow && m_pwindow->m_pscreen);
      bOk &= check("the window was drawn", m_pwindow && m_pwindow->draw_count() >= 1);
      bOk &= check("the button took the click", m_pwindow && m_pwindow->m_bButtonPressed);
      bOk &= check("the key press came with its text and the release without",
                   m_pwindow && m_pwindow->m_pscreen && m_pwindow->m_pscreen->m_keys.size() == 2
                      && m_pwindow->m_pscreen->m_keys[0] == "12 256 \"a\"" && m_pwindow->m_pscreen->m_keys[1] == "12 257 \"\"");
      for (const string_base & str : m_requests)
      {
         std::printf("request %s\n", str.c_str());
      }
      if (m_pwindow && m_pwindow->m_pscreen)
      {
         for (const string_base & str : m_pwindow->m_pscreen->m_keys)
         {
            std::printf("key %s\n", str.c_str());
         }
         m_pwindow->set_appearance(nullptr);
      }
      m_pwindow.reset();
      bOk &= molv::application::term_application();
      std::printf(bOk ? "host test module: every check passed\n" : "host test module: a check failed\n");
      return bOk;
   }

private:
   static bool check(const char * pszWhat, bool bPassed)
   {
      if (!bPassed)
      {
         std::printf("failed: %s\n", pszWhat);
      }
      return bPassed;
   }

   // Queued behind the first redraw, which lays the widgets out: a click on the button, a key,
   // then the quit message.
   void queue_user_input()
   {
      const std::uint32_t uWindow = m_pwindow->window_id();
      sdl_events::push_mouse_button(uWindow, SDL_MOUSEBUTTONDOWN, 100, 80);
      sdl_events::push_mouse_button(uWindow, SDL_MOUSEBUTTONUP, 100, 80);
      sdl_events::push_key(uWindow, SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, KMOD_NONE, "a");
      sdl_events::push_key(uWindow, SDL_KEYUP, SDLK_a, SDL_SCANCODE_A);
      m_pwindow->post_message(e_message_quit_application);
   }

   pointer<test_window> m_pwindow;
   std::vector<string_base> m_requests;
};

} // namespace

extern "C" __attribute__((visibility("default"))) void application_factory(factory::factory * pfactory)
{
   pfactory->add_factory_item<test_application, platform::application>();
}
