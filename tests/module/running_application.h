#pragma once

#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include "core/MainScreen.h"
#include "core/application.h"
#include "core/main_window.h"
#include "host/context.h"
#include "host/event_loop.h"
#include "host/monitor_source.h"
#include "host/request.h"
#include "host/windowing.h"

// Monitors that the machine does not have, for the live output: the rectangles given, in order.
class listed_monitors : public user::monitor_source
{
public:
   explicit listed_monitors(std::vector<rectangle_i32> rectangles) : m_rectangles(std::move(rectangles)) {}

   int monitor_count() override { return static_cast<int>(m_rectangles.size()); }
   rectangle_i32 monitor_rectangle(int iMonitor) override { return m_rectangles[static_cast<std::size_t>(iMonitor)]; }

private:
   std::vector<rectangle_i32> m_rectangles;
};

// The module's application with its video system up (on the driver that SDL_VIDEODRIVER names)
// and a private data and home folder, and, when given, monitors of the test's own. A test fixture
// calls `start` first and `stop` last, after releasing its own objects.
class running_application
{
protected:
   void start(std::vector<rectangle_i32> monitors = {})
   {
      char szTemplate[] = "/tmp/brisvane_application_XXXXXX";
      m_folder = ::mkdtemp(szTemplate);
      ::setenv("XDG_DATA_HOME", m_folder.c_str(), 1);
      ::setenv("HOME", m_folder.c_str(), 1);
      m_papplication = make_pointer<Tarvossa_BrisvanePro::application>();
      platform::context::set_application(m_papplication.get());
      // The video system only: the file association is not what is tested here.
      m_papplication->molv::application::init_instance();
      if (!monitors.empty())
      {
         platform::context::windowing()->set_monitor_source(make_pointer<listed_monitors>(std::move(monitors)));
      }
   }

   // `start` on SDL's offscreen video.
   void start_offscreen(std::vector<rectangle_i32> monitors = {})
   {
      ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
      start(std::move(monitors));
   }

   // Starts it as the host does, on SDL's offscreen video: the main window shows the default
   // document.
   void start_main_window()
   {
      start_offscreen();
      m_papplication->on_request(make_pointer<request>(e_command_application_started).get());
      process_events();
   }

   static void process_events() { platform::context::event_loop()->process_pending_events(); }

   Tarvossa_BrisvanePro::main_window * window() const { return m_papplication->get_main_window(); }
   Tarvossa_BrisvanePro::MainScreen * screen() const { return window()->get_main_screen(); }
   Tarvossa_BrisvanePro::Global * global() const { return screen()->get_global(); }

   void stop()
   {
      m_papplication->term_application();
      platform::context::windowing()->set_monitor_source(nullptr);
      platform::context::set_application(nullptr);
      m_papplication.reset();
      std::filesystem::remove_all(m_folder);
   }

   std::filesystem::path m_folder;
   pointer<Tarvossa_BrisvanePro::application> m_papplication;
};
