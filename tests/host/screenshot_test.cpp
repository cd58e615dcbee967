// Runs under a virtual X server: the pixels that the X server shows for the window are the ones
// the screen drew. The screen is read back by ImageMagick's `import`, independently of SDL.

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/context.h"
#include "host/event_loop.h"
#include "host/main_window.h"
#include "host/molv_application.h"
#include "zel2d/context.h"
#include "zelui/Screen.h"

namespace
{

class test_application : virtual public molv::application
{
};

// A screen of four quarters in four colours, so that a wrong channel order or an offset shows.
class quarters_screen : public zelui::Screen
{
public:
   using zelui::Screen::Screen;

   void draw_contents(zel2d::context * pcontext) override
   {
      const float fWidth = static_cast<float>(width()) / 2.0f;
      const float fHeight = static_cast<float>(height()) / 2.0f;
      const color::color colors[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
      for (int i = 0; i < 4; ++i)
      {
         pcontext->begin_path();
         pcontext->rectangle(static_cast<float>(i % 2) * fWidth, static_cast<float>(i / 2) * fHeight, fWidth, fHeight);
         pcontext->set_fill_color(colors[i]);
         pcontext->fill();
      }
   }
};

class quarters_window : public user::main_window
{
public:
   pointer<quarters_screen> m_pscreen = make_pointer<quarters_screen>(this, size_type<int>{}, "Quarters");

   quarters_window()
   {
      m_rectangleInitialRateOrSize = {100, 80, 500, 380};
      set_appearance(m_pscreen->appearance());
      m_pscreen->set_visible(true);
   }

   ~quarters_window() override { set_appearance(nullptr); }
};

// The colour of one pixel of the X screen, as "#RRGGBB".
std::string screen_pixel(int x, int y)
{
   const std::string strCommand = "import -silent -window root -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y)
                                  + " -depth 8 txt:- 2>/dev/null";
   FILE * pfile = popen(strCommand.c_str(), "r");
   if (!pfile)
   {
      return {};
   }
   std::string strText;
   char sz[256];
   while (std::fgets(sz, sizeof(sz), pfile))
   {
      strText += sz;
   }
   pclose(pfile);
   // The pixel line reads "0,0: (255,0,0)  #FF0000  red", after a header line.
   const auto iLine = strText.find("0,0:");
   const auto i = iLine == std::string::npos ? iLine : strText.find('#', iLine);
   return i == std::string::npos ? strText : strText.substr(i, 7);
}

} // namespace

TEST(screenshot, the_x_server_shows_the_pixels_the_screen_drew)
{
   pointer<test_application> papplication = make_pointer<test_application>();
   papplication->init_instance();
   {
      pointer<quarters_window> pwindow = make_pointer<quarters_window>();
      pwindow->create_main_window();
      pwindow->display(user::e_display_normal, user::e_activation_set_foreground);
      pwindow->set_need_layout();
      pwindow->set_need_redraw();
      pwindow->post_redraw();
      // Let the X server map the window and take the frame.
      for (int i = 0; i < 20; ++i)
      {
         SDL_PumpEvents();
         platform::context::event_loop()->process_pending_events();
         SDL_Delay(25);
      }
      pwindow->set_need_redraw();
      pwindow->post_redraw();
      platform::context::event_loop()->process_pending_events();
      SDL_Delay(100);

      const rectangle_i32 r = pwindow->window_rectangle();
      ASSERT_EQ(r.size(), (size_i32{400, 300}));
      EXPECT_EQ(screen_pixel(r.left + 100, r.top + 75), "#FF0000");
      EXPECT_EQ(screen_pixel(r.left + 300, r.top + 75), "#00FF00");
      EXPECT_EQ(screen_pixel(r.left + 100, r.top + 225), "#0000FF");
      EXPECT_EQ(screen_pixel(r.left + 300, r.top + 225), "#FFFFFF");
      pwindow->destroy_window();
   }
   papplication->term_application();
}
