#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "host/context.h"
#include "host/event_loop.h"
#include "host/fake_monitors.h"
#include "host/request.h"
#include "host/windowing.h"
#include "screen/MainScreen.h"
#include "screen/application.h"
#include "screen/main_window.h"

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
         m_pmonitors = std::make_unique<fake_monitors>(std::move(monitors));
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
      m_pmonitors.reset();
      platform::context::set_application(nullptr);
      m_papplication.reset();
      std::filesystem::remove_all(m_folder);
   }

   std::filesystem::path m_folder;
   pointer<Tarvossa_BrisvanePro::application> m_papplication;
   std::unique_ptr<fake_monitors> m_pmonitors;
};
