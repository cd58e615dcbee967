// The cost of a window's frame: one full repaint of a 1920 x 1080 window showing a canvas-sized
// image under a few dozen widgets (layout, drawing, upload and present), and an idle frame (the
// event loop finding nothing to do, and a redraw that has nothing marked).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "host/context.h"
#include "host/event_loop.h"
#include "host/main_window.h"
#include "host/molv_application.h"
#include "zel2d/context.h"
#include "zelui/Button.h"
#include "zelui/Label.h"
#include "zelui/Screen.h"

namespace
{

class bench_application : virtual public molv::application
{
};

// Shows one raster-sized picture, as the canvas shows the composed frame.
class picture_widget : public zelui::Widget
{
public:
   using zelui::Widget::Widget;

   void draw(zel2d::context * pcontext) override
   {
      if (m_iImage <= 0)
      {
         std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width()) * height());
         for (std::size_t i = 0; i < pixels.size(); ++i)
         {
            pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
         }
         m_iImage = pcontext->create_image_rgba(width(), height(), 0, pixels.data(), image::image::native_layout);
      }
      const float fWidth = static_cast<float>(width());
      const float fHeight = static_cast<float>(height());
      pcontext->begin_path();
      pcontext->rectangle(0.0f, 0.0f, fWidth, fHeight);
      pcontext->set_fill_paint(pcontext->image_pattern(0.0f, 0.0f, fWidth, fHeight, 0.0f, m_iImage, 1.0f));
      pcontext->fill();
   }

private:
   int m_iImage = 0;
};

class bench_window : public user::main_window
{
public:
   pointer<zelui::Screen> m_pscreen = make_pointer<zelui::Screen>(this, size_type<int>{}, "Bench");

   bench_window()
   {
      m_rectangleInitialRateOrSize = {0, 0, 1920, 1080};
      set_appearance(m_pscreen->appearance());
      auto * ppicture = new picture_widget(m_pscreen.get());
      ppicture->set_size({1920, 1080});
      for (int i = 0; i < 36; ++i)
      {
         zelui::Widget * pwidget = i % 2 ? static_cast<zelui::Widget *>(new zelui::Button(m_pscreen.get(), "Button"))
                                         : new zelui::Label(m_pscreen.get(), "Label text");
         pwidget->set_position({1640 + (i % 2) * 130, 80 + (i / 2) * 40});
         pwidget->set_size({120, 30});
      }
      m_pscreen->set_visible(true);
   }

   ~bench_window() override { set_appearance(nullptr); }
};

struct bench_session
{
   pointer<bench_application> m_papplication;
   pointer<bench_window> m_pwindow;

   bench_session()
   {
      setenv("SDL_VIDEODRIVER", "offscreen", 0);
      m_papplication = make_pointer<bench_application>();
      m_papplication->init_instance();
      m_pwindow = make_pointer<bench_window>();
      m_pwindow->create_main_window();
      m_pwindow->display();
      m_pwindow->set_need_layout();
      m_pwindow->set_need_redraw();
      m_pwindow->redraw_now();
      platform::context::event_loop()->process_pending_events();
   }

   ~bench_session()
   {
      m_pwindow->destroy_window();
      m_pwindow.reset();
      m_papplication->term_application();
   }
};

bench_session & session()
{
   static bench_session s_session;
   return s_session;
}

void full_repaint(benchmark::State & state)
{
   user::main_window * pwindow = session().m_pwindow.get();
   const long long iDrawn = pwindow->draw_count();
   for (auto _ : state)
   {
      pwindow->set_need_layout();
      pwindow->set_need_redraw();
      pwindow->redraw_now();
   }
   if (pwindow->draw_count() - iDrawn != state.iterations())
   {
      state.SkipWithError("a repaint did not draw");
   }
}
BENCHMARK(full_repaint)->Unit(benchmark::kMillisecond);

void idle_loop_pass(benchmark::State & state)
{
   user::main_window * pwindow = session().m_pwindow.get();
   const long long iDrawn = pwindow->draw_count();
   for (auto _ : state)
   {
      platform::context::event_loop()->process_pending_events();
   }
   if (pwindow->draw_count() != iDrawn)
   {
      state.SkipWithError("an idle window drew");
   }
}
BENCHMARK(idle_loop_pass)->Unit(benchmark::kNanosecond);

void idle_frame_nothing_marked(benchmark::State & state)
{
   user::main_window * pwindow = session().m_pwindow.get();
   const long long iDrawn = pwindow->draw_count();
   for (auto _ : state)
   {
      pwindow->redraw_now();
   }
   if (pwindow->draw_count() != iDrawn)
   {
      state.SkipWithError("a redraw with nothing marked drew");
   }
}
BENCHMARK(idle_frame_nothing_marked)->Unit(benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
