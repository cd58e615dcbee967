#include <gtest/gtest.h>

#include <SDL.h>

#include "host/context.h"
#include "host/event_loop.h"
#include "host/main_window.h"
#include "host/windowing.h"
#include "fake_monitors.h"
#include "host_test_environment.h"
#include "sdl_events.h"

namespace
{

// A window that counts the messages it routes, the way the module's windows install their handlers.
class counting_window : public user::main_window
{
public:
   std::map<enum_message, int> m_messages;
   bool m_bCreated = false;

   void install_message_routing(channel * pchannel) override
   {
      user::main_window::install_message_routing(pchannel);
      for (enum_message emessage : {e_message_create, e_message_destroy, e_message_reposition, e_message_size, e_message_close})
      {
         pchannel->add_message_handler(emessage, [this, emessage](message::message * pmessage)
         {
            pmessage->previous();
            ++m_messages[emessage];
            if (emessage == e_message_create)
            {
               m_bCreated = true;
            }
         });
      }
   }
};

class main_window_test : public testing::Test
{
protected:
   void SetUp() override { platform::context::event_loop()->reset_quit(); }

   void TearDown() override
   {
      platform::context::windowing()->destroy_all_windows();
      process_events();
      platform::context::event_loop()->reset_quit();
   }

   // Two side-by-side monitors, as a desk with a second screen for the live output has them.
   fake_monitors m_monitors{{{0, 0, 1000, 800}, {1000, 0, 2920, 1080}}};
};

} // namespace

TEST_F(main_window_test, the_monitors_come_through_the_seam)
{
   auto * pwindowing = platform::context::windowing();
   EXPECT_EQ(pwindowing->monitor_count(), 2);
   EXPECT_EQ(pwindowing->monitor_rectangle(1), (rectangle_i32{1000, 0, 2920, 1080}));
   EXPECT_FALSE(pwindowing->monitor_rectangle(2));
   EXPECT_FALSE(pwindowing->monitor_rectangle(-1));
   // The monitor with the larger share holds a rectangle across both.
   EXPECT_EQ(pwindowing->monitor_of({900, 0, 1200, 100}), 1);
   EXPECT_EQ(pwindowing->monitor_of({-500, -500, -10, -10}), 0);
}

TEST_F(main_window_test, the_initial_rectangle_is_fractions_of_the_main_monitor_or_pixels)
{
   pointer<counting_window> pfractions = make_pointer<counting_window>();
   pfractions->create_main_window();
   EXPECT_EQ(pfractions->window_rectangle(), (rectangle_i32{50, 40, 890, 712}));
   EXPECT_TRUE(pfractions->m_bCreated);
   EXPECT_FALSE(pfractions->is_window_visible());

   pointer<counting_window> ppixels = make_pointer<counting_window>();
   ppixels->m_rectangleInitialRateOrSize = {100, 120, 740, 600};
   ppixels->create_main_window();
   EXPECT_EQ(ppixels->window_rectangle(), (rectangle_i32{100, 120, 740, 600}));
   EXPECT_EQ(ppixels->client_rectangle(), (rectangle_i32{0, 0, 640, 480}));

   // Kept from a third monitor that is no longer there: the window opens on the main monitor.
   pointer<counting_window> pgone = make_pointer<counting_window>();
   pgone->m_rectangleInitialRateOrSize = {3000, 100, 3640, 580};
   pgone->create_main_window();
   EXPECT_EQ(pgone->window_rectangle(), (rectangle_i32{50, 40, 690, 520}));
}

TEST_F(main_window_test, two_windows_cover_two_monitors_without_a_border)
{
   auto * pwindowing = platform::context::windowing();
   pointer<counting_window> pwindows[2] = {make_pointer<counting_window>(), make_pointer<counting_window>()};
   for (int i = 0; i < 2; ++i)
   {
      // As the live output does it: placed and displayed before the window exists.
      pwindows[i]->place(*pwindowing->monitor_rectangle(i));
      pwindows[i]->display(user::e_display_cover_without_border);
      pwindows[i]->create_main_window();
   }
   for (int i = 0; i < 2; ++i)
   {
      EXPECT_TRUE(pwindows[i]->is_window_visible());
      EXPECT_EQ(pwindows[i]->window_rectangle(), *pwindowing->monitor_rectangle(i));
      EXPECT_EQ(pwindowing->monitor_of(pwindows[i]->window_rectangle()), i);
   }
   // Moved to the other monitor, the window follows it.
   pwindows[0]->place(*pwindowing->monitor_rectangle(1));
   pwindows[0]->display(user::e_display_cover_without_border);
   EXPECT_EQ(pwindows[0]->window_rectangle(), *pwindowing->monitor_rectangle(1));
   pwindows[0]->hide();
   EXPECT_FALSE(pwindows[0]->is_window_visible());
}

TEST_F(main_window_test, moves_and_resizes_by_the_user_reach_the_routing)
{
   pointer<counting_window> pwindow = make_pointer<counting_window>();
   pwindow->create_main_window();
   pwindow->display();
   process_events();
   pwindow->m_messages.clear();

   sdl_events::push_window_event(pwindow->window_id(), SDL_WINDOWEVENT_MOVED, 300, 200);
   sdl_events::push_window_event(pwindow->window_id(), SDL_WINDOWEVENT_SIZE_CHANGED, 500, 400);
   sdl_events::push_window_event(pwindow->window_id(), SDL_WINDOWEVENT_MOVED, 310, 200);
   process_events();
   EXPECT_EQ(pwindow->m_messages[e_message_reposition], 2);
   EXPECT_EQ(pwindow->m_messages[e_message_size], 1);
}

TEST_F(main_window_test, an_idle_window_does_not_redraw_and_posted_redraws_are_merged)
{
   pointer<counting_window> pwindow = make_pointer<counting_window>();
   pwindow->create_main_window();
   pwindow->display();
   pwindow->set_need_redraw();
   pwindow->post_redraw();
   process_events();
   const long long iDrawn = pwindow->draw_count();
   EXPECT_GE(iDrawn, 1);
   EXPECT_FALSE(pwindow->needs_redraw());

   process_events();
   process_events();
   EXPECT_EQ(pwindow->draw_count(), iDrawn);

   int iCallbacks = 0;
   pwindow->set_need_redraw({}, nullptr, [&] { ++iCallbacks; });
   pwindow->post_redraw();
   pwindow->set_need_redraw();
   pwindow->post_redraw();
   process_events();
   EXPECT_EQ(pwindow->draw_count(), iDrawn + 1);
   EXPECT_EQ(iCallbacks, 1);
}

TEST_F(main_window_test, closing_the_last_window_by_default_ends_the_loop_and_the_quit_message_ends_it_too)
{
   pointer<counting_window> pwindow = make_pointer<counting_window>();
   pwindow->create_main_window();
   sdl_events::push_window_event(pwindow->window_id(), SDL_WINDOWEVENT_CLOSE);
   process_events();
   EXPECT_FALSE(pwindow->is_window());
   EXPECT_EQ(pwindow->m_messages[e_message_destroy], 1);
   EXPECT_TRUE(platform::context::event_loop()->is_quit_posted());

   platform::context::event_loop()->reset_quit();
   pointer<counting_window> pother = make_pointer<counting_window>();
   pother->create_main_window();
   pother->post_message(e_message_quit_application);
   EXPECT_FALSE(platform::context::event_loop()->is_quit_posted());
   process_events();
   EXPECT_TRUE(platform::context::event_loop()->is_quit_posted());
   EXPECT_TRUE(pother->is_window());
}
