// The application's requests on SDL's offscreen video: the main window they open once, the
// document each command gives it, the current layer, and the window settings it writes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "host/context.h"
#include "host/request.h"
#include "orvo/file_system.h"
#include "orvo/payload.h"
#include "running_application.h"
#include "screen/MainScreen.h"
#include "screen/application.h"
#include "screen/main_window.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class application_requests : public testing::Test, protected running_application
{
protected:
   application_requests()
   {
      start_offscreen();
   }

   ~application_requests() override { stop(); }

   // Hands the application one request and returns what it wrote to the information log.
   std::string send(enum_command ecommand, scoped_string_base strPayload = {})
   {
      auto prequest = make_pointer<request>(ecommand, strPayload);
      testing::internal::CaptureStdout();
      m_papplication->on_request(prequest.get());
      return testing::internal::GetCapturedStdout();
   }

   main_window * window() const { return m_papplication->get_main_window(); }
   MainScreen * screen() const { return window()->get_main_screen(); }
   Global * global() const { return screen()->get_global(); }
   project * document() const { return global()->current_project(); }

   // A project file of three screen layers named "A", "B" and "C", in that order.
   file::path three_layer_project()
   {
      auto pproject = make_pointer<project>(nullptr);
      for (const char * pszName : {"C", "B", "A"})
      {
         pproject->new_boxes_layer()->set_name(pszName);
      }
      const file::path path = file::path(m_folder.c_str()) / "three.tvsx";
      pproject->save_project_to_file(path);
      return path;
   }

};

} // namespace

TEST_F(application_requests, StartOpensTheWindowWithTheDefaultDocumentAndLayer0Current)
{
   const std::string strLog = send(e_command_application_started);
   EXPECT_NE(strLog.find("application::on_request e_command_application_started\n"), std::string::npos);
   EXPECT_NE(strLog.find("application started but no project -> load_default_layers\n"), std::string::npos);
   ASSERT_NE(window(), nullptr);
   EXPECT_TRUE(window()->is_created());
   EXPECT_TRUE(window()->is_window_visible());
   EXPECT_TRUE(window()->needs_redraw());
   EXPECT_NE(screen()->canvas(), nullptr);
   EXPECT_EQ(global()->get_presets_count(), 9);
   ASSERT_NE(document(), nullptr);
   EXPECT_EQ(document()->get_paper_width(), 1920);
   EXPECT_EQ(document()->get_paper_height(), 1080);
   EXPECT_EQ(document()->get_layers_count(), 1);
   EXPECT_EQ(document()->get_current_layer_id(), 0);
}

TEST_F(application_requests, LaterRequestsReuseTheWindowAndAStartKeepsTheDocumentWithLayer0Current)
{
   send(e_command_file_open, three_layer_project().c_str());
   main_window * pwindow = window();
   MainScreen * pscreen = screen();
   project * pproject = document();
   global()->set_current_layer_index(2);
   const std::string strLog = send(e_command_application_started);
   EXPECT_EQ(strLog.find("load_default_layers"), std::string::npos);
   EXPECT_EQ(window(), pwindow);
   EXPECT_EQ(screen(), pscreen);
   EXPECT_EQ(document(), pproject);
   EXPECT_EQ(document()->get_current_layer_id(), 0);
}

TEST_F(application_requests, NewFileReplacesTheDocumentWithTheDefaultOne)
{
   send(e_command_file_open, three_layer_project().c_str());
   project * pproject = document();
   const std::string strLog = send(e_command_file_new);
   EXPECT_NE(strLog.find("application::on_request e_command_file_new\n"), std::string::npos);
   EXPECT_NE(document(), pproject);
   EXPECT_EQ(document()->get_layers_count(), 1);
   EXPECT_EQ(document()->get_current_layer_id(), 0);
}

TEST_F(application_requests, OpeningAFileMakesItsLayer0CurrentInTheSameWindow)
{
   send(e_command_application_started);
   main_window * pwindow = window();
   const file::path path = three_layer_project();
   const std::string strLog = send(e_command_file_open, path.c_str());
   EXPECT_NE(strLog.find(std::string("application::on_request e_command_file_open : ") + path.c_str() + "\n"),
             std::string::npos);
   EXPECT_EQ(window(), pwindow);
   ASSERT_EQ(document()->get_layers_count(), 3);
   EXPECT_EQ(document()->get_layer(0)->get_name(), "A");
   EXPECT_EQ(document()->get_current_layer_id(), 0);

   // Opened again while another layer is current, layer 0 of the new document is current.
   global()->set_current_layer_index(2);
   send(e_command_file_open, path.c_str());
   EXPECT_EQ(document()->get_current_layer_id(), 0);
}

TEST_F(application_requests, AnotherCommandChangesNoDocumentButShowsTheWindowAgain)
{
   send(e_command_file_open, three_layer_project().c_str());
   project * pproject = document();
   global()->set_current_layer_index(1);
   window()->hide();
   ASSERT_FALSE(window()->is_window_visible());
   send(e_command_none);
   EXPECT_EQ(document(), pproject);
   EXPECT_EQ(document()->get_layers_count(), 3);
   EXPECT_EQ(document()->get_current_layer_id(), 0);
   EXPECT_TRUE(window()->is_window_visible());
   EXPECT_TRUE(window()->needs_redraw());
}

TEST_F(application_requests, AnEmptyDocumentGetsNoCurrentLayer)
{
   const file::path path = file::path(m_folder.c_str()) / "empty.tvsx";
   ASSERT_TRUE(file::write_all(path, "BRISVANE_LED_PROJECT v2 0 0\n"));
   send(e_command_file_open, path.c_str());
   EXPECT_EQ(document()->get_layers_count(), 0);
   EXPECT_LT(document()->get_current_layer_id(), 0);
}

TEST_F(application_requests, WindowSettingsHoldTheWindowRectangleAndOpenTheNextWindowThere)
{
   send(e_command_application_started);
   window()->place({100, 80, 900, 680});
   m_papplication->save_settings();
   const rectangle_i32 rectangle = window()->window_rectangle();
   payload settings;
   settings.parse_network_payload(file::read_all(application::settings_file_path()).value_or(""));
   const property_set * pset = settings.get_property_set();
   ASSERT_NE(pset, nullptr);
   EXPECT_EQ(pset->count(), 9);
   for (const char * pszPrefix : {"main_window_", "main_window_normal_"})
   {
      const string_base strPrefix(pszPrefix);
      EXPECT_EQ(pset->get_int(strPrefix + "left"), rectangle.left);
      EXPECT_EQ(pset->get_int(strPrefix + "top"), rectangle.top);
      EXPECT_EQ(pset->get_int(strPrefix + "right"), rectangle.right);
      EXPECT_EQ(pset->get_int(strPrefix + "bottom"), rectangle.bottom);
   }
   EXPECT_FALSE(pset->get_bool("main_window_maximized", true));

   // The next run's first request opens its window on that rectangle.
   m_papplication->term_application();
   m_papplication = make_pointer<application>();
   platform::context::set_application(m_papplication.get());
   m_papplication->molv::application::init_instance();
   send(e_command_application_started);
   EXPECT_EQ(window()->m_rectangleInitialRateOrSize,
             (rectangle_f64{static_cast<double>(rectangle.left), static_cast<double>(rectangle.top),
                            static_cast<double>(rectangle.right), static_cast<double>(rectangle.bottom)}));
}

TEST_F(application_requests, NoWindowNoSettings)
{
   m_papplication->save_settings();
   EXPECT_FALSE(file::exists(application::settings_file_path()));
}
