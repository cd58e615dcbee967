// The file dialogs through the desktop portal: the module's application on SDL's offscreen video,
// a session bus of the test's own and on it a stand-in portal (tests/host/stand_in_portal.py) that
// records each request and answers as told.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/Global.h"
#include "host/context.h"
#include "host/event_loop.h"
#include "host/portal_file_chooser.h"
#include "host/request.h"
#include "private_session_bus.h"
#include "running_application.h"
#include "screen/MainScreen.h"
#include "screen/application.h"
#include "screen/main_window.h"
#include "screen_dialogs.h"
#include "zelui/FileDialog.h"
#include "zelui/MessageDialog.h"

using namespace Tarvossa_BrisvanePro;
using nlohmann::json;

namespace
{

class portal_dialogs : public testing::Test, protected running_application
{
protected:
   void SetUp() override
   {
      start_main_window();
      m_pbus = std::make_unique<private_session_bus>(m_folder / "bus");
      use_chooser(platform::portal_file_chooser::e_mode_automatic);
      file::file_dialog::set_last_folder("", file::path(m_folder.c_str()));
   }

   void TearDown() override
   {
      platform::context::set_file_chooser(nullptr);
      m_pbus.reset();
      stop();
   }

   void use_chooser(platform::portal_file_chooser::enum_mode emode,
                    std::chrono::microseconds timeout = std::chrono::microseconds(0))
   {
      platform::context::set_file_chooser(std::make_unique<platform::portal_file_chooser>(emode, timeout));
   }

   // Runs the event loop until `done` holds, for at most ten seconds.
   template <class CONDITION>
   bool run_until(CONDITION done)
   {
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (!done() && std::chrono::steady_clock::now() < end)
      {
         process_events();
         std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      return done();
   }

   // Runs the event loop until the portal is done with every request.
   void run_until_answered()
   {
      EXPECT_TRUE(run_until([] { return !platform::context::file_chooser()->is_waiting(); }));
   }

   zelui::FileDialog * own_dialog() const { return dialog_on<zelui::FileDialog>(*screen()); }

   std::string uri_of(const std::string & strName) const { return "file://" + (m_folder / strName).string(); }

   std::unique_ptr<private_session_bus> m_pbus;
};

json filter(const char * pszCaption, const char * pszPattern)
{
   return json::array({pszCaption, json::array({json::array({0, pszPattern})})});
}

} // namespace

TEST_F(portal_dialogs, a_saved_project_goes_where_the_portal_answered_with_the_filters_extension)
{
   m_pbus->start_portal("answer", uri_of("stage%20left"), "Tvsx Project Files");
   global()->save_project_button();
   run_until_answered();

   const std::vector<json> requests = m_pbus->requests();
   ASSERT_EQ(requests.size(), 1u);
   const json & request = requests[0];
   EXPECT_EQ(request["method"], "SaveFile");
   EXPECT_EQ(request["title"], "Save File");
   // SDL's offscreen video has no X11 window to name as the parent.
   EXPECT_EQ(request["parent"], "");
   EXPECT_EQ(request["options"]["filters"], json::array({filter("Tvsx Project Files", "*.tvsx"), filter("All Files", "*.*")}));
   EXPECT_EQ(request["options"]["current_filter"], filter("Tvsx Project Files", "*.tvsx"));
   EXPECT_EQ(request["options"]["current_folder"], m_folder.string());
   EXPECT_EQ(request["options"]["modal"], true);
   EXPECT_FALSE(request["options"].contains("current_name"));

   std::ifstream saved(m_folder / "stage left.tvsx");
   std::string strHeader;
   std::getline(saved, strHeader);
   EXPECT_TRUE(strHeader.starts_with("BRISVANE_LED_PROJECT v2")) << strHeader;
   EXPECT_EQ(own_dialog(), nullptr);
}

TEST_F(portal_dialogs, the_next_dialog_starts_in_the_folder_of_the_last_answer_with_the_parts_filters)
{
   std::filesystem::create_directories(m_folder / "shows");
   m_pbus->start_portal("answer", uri_of("shows/wall.tvsx_presets"));
   global()->save_presets_button();
   run_until_answered();
   global()->setLogoLayer();
   run_until_answered();

   const std::vector<json> requests = m_pbus->requests();
   ASSERT_EQ(requests.size(), 2u);
   EXPECT_TRUE(std::filesystem::exists(m_folder / "shows/wall.tvsx_presets"));
   EXPECT_EQ(requests[1]["method"], "OpenFile");
   EXPECT_EQ(requests[1]["title"], "Open File");
   EXPECT_EQ(requests[1]["options"]["current_folder"], (m_folder / "shows").string());
   EXPECT_EQ(requests[1]["options"]["filters"],
             json::array({filter("PNG image", "*.png"), filter("JPG image", "*.jpg"), filter("BMP image", "*.bmp"),
                          filter("TGA image", "*.tga")}));
}

// The chooser's cancel button answers 1; Escape or the window manager's close answers 2.
TEST_F(portal_dialogs, a_chooser_closed_without_a_choice_writes_nothing_and_keeps_the_portal_for_the_next_dialog)
{
   for (const char * pszBehaviour : {"cancel", "end"})
   {
      SCOPED_TRACE(pszBehaviour);
      for (const auto emode : {platform::portal_file_chooser::e_mode_automatic, platform::portal_file_chooser::e_mode_portal})
      {
         m_pbus.reset();
         m_pbus = std::make_unique<private_session_bus>(m_folder / (std::string("bus-") + pszBehaviour + std::to_string(emode)));
         m_pbus->start_portal(pszBehaviour);
         use_chooser(emode);
         testing::internal::CaptureStdout();
         testing::internal::CaptureStderr();
         global()->save_project_button();
         run_until_answered();
         EXPECT_EQ(own_dialog(), nullptr);
         global()->open_project_button();
         run_until_answered();
         EXPECT_EQ(own_dialog(), nullptr);
         const std::string strPrinted = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
         EXPECT_EQ(m_pbus->requests().size(), 2u);
         EXPECT_EQ(strPrinted.find("file chooser"), std::string::npos) << strPrinted;
      }
   }
   for (const auto & entry : std::filesystem::directory_iterator(m_folder))
   {
      EXPECT_NE(entry.path().extension(), ".tvsx") << entry.path();
   }
}

TEST_F(portal_dialogs, a_save_dialogs_suggested_name_is_the_choosers_current_name)
{
   m_pbus->start_portal("cancel");
   bool bCompleted = false;
   window()->pick_single_file_to_save({{"Tvsx Project Files", "*.tvsx"}}, [&](file::file_dialog *) { bCompleted = true; },
                                      "wall.tvsx");
   run_until_answered();
   EXPECT_TRUE(bCompleted);
   ASSERT_EQ(m_pbus->requests().size(), 1u);
   EXPECT_EQ(m_pbus->requests()[0]["options"]["current_name"], "wall.tvsx");
}

TEST_F(portal_dialogs, a_portal_that_fails_gives_the_own_dialog_once_per_run_with_one_line)
{
   const char * behaviours[] = {"missing", "error", "silent", "no-bus"};
   for (const char * pszBehaviour : behaviours)
   {
      SCOPED_TRACE(pszBehaviour);
      const std::string strBehaviour = pszBehaviour;
      m_pbus.reset();
      m_pbus = std::make_unique<private_session_bus>(m_folder / ("bus-" + strBehaviour));
      if (strBehaviour == "no-bus")
      {
         ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (m_folder / "nothing").string()).c_str(), 1);
      }
      else if (strBehaviour != "missing")
      {
         m_pbus->start_portal(strBehaviour);
      }
      use_chooser(platform::portal_file_chooser::e_mode_automatic, std::chrono::milliseconds(300));
      testing::internal::CaptureStdout();
      global()->open_project_button();
      EXPECT_TRUE(run_until([&] { return own_dialog() != nullptr; }));
      own_dialog()->dialog()->cancel();
      process_events();
      // Given up: the next dialog is the own one at once, and the bus is not asked again.
      const std::size_t iRequests = m_pbus->requests().size();
      global()->save_project_button();
      EXPECT_NE(own_dialog(), nullptr);
      EXPECT_EQ(m_pbus->requests().size(), iRequests);
      own_dialog()->dialog()->cancel();
      process_events();
      const std::string strPrinted = testing::internal::GetCapturedStdout();
      const std::string strLine = "The desktop's file chooser cannot be used";
      EXPECT_NE(strPrinted.find(strLine), std::string::npos) << strPrinted;
      EXPECT_EQ(strPrinted.find(strLine, strPrinted.find(strLine) + 1), std::string::npos) << strPrinted;
   }
}

TEST_F(portal_dialogs, forced_modes_use_the_own_dialog_or_only_the_portal)
{
   m_pbus->start_portal("error");
   use_chooser(platform::portal_file_chooser::e_mode_own);
   global()->save_project_button();
   EXPECT_NE(own_dialog(), nullptr);
   EXPECT_TRUE(m_pbus->requests().empty());
   own_dialog()->dialog()->cancel();
   process_events();

   use_chooser(platform::portal_file_chooser::e_mode_portal);
   testing::internal::CaptureStderr();
   global()->save_project_button();
   run_until_answered();
   testing::internal::GetCapturedStderr();
   EXPECT_EQ(m_pbus->requests().size(), 1u);
   EXPECT_EQ(own_dialog(), nullptr);
}

TEST_F(portal_dialogs, the_typed_extension_of_another_filter_selects_it_and_an_asked_replace_is_not_asked_again)
{
   std::ofstream(m_folder / "map.jpg") << "old";
   m_pbus->start_portal("answer", uri_of("map.jpg"), "PNG Image");
   global()->save_image_button();
   run_until_answered();
   EXPECT_EQ(dialog_on<zelui::MessageDialog>(*screen(), "Replace file"), nullptr);
   // The redraw that the answer asked for wrote a JPG over the old file.
   EXPECT_TRUE(run_until([&] {
      std::ifstream written(m_folder / "map.jpg", std::ios::binary);
      return written.get() == 0xFF && written.get() == 0xD8;
   }));
}

TEST_F(portal_dialogs, a_name_the_extension_rule_changed_onto_an_existing_file_is_asked_about)
{
   std::ofstream(m_folder / "map.png") << "old";
   m_pbus->start_portal("answer", uri_of("map"), "PNG Image");
   global()->save_image_button();
   run_until_answered();
   EXPECT_NE(dialog_on<zelui::MessageDialog>(*screen(), "Replace file"), nullptr);
   EXPECT_FALSE(global()->exports().take_pending());
}

TEST(portal_uris, a_file_uri_gives_its_decoded_local_path_and_any_other_none)
{
   EXPECT_EQ(platform::path_of_file_uri("file:///home/me/stage%20left.tvsx"), "/home/me/stage left.tvsx");
   EXPECT_EQ(platform::path_of_file_uri("file://localhost/tmp/a%2fb%C3%A9"), "/tmp/a/b\xC3\xA9");
   EXPECT_EQ(platform::path_of_file_uri("file:///tmp/100%"), "/tmp/100%");
   EXPECT_EQ(platform::path_of_file_uri("file:///tmp/a%00b"), "");
   EXPECT_EQ(platform::path_of_file_uri("file://server/share/a"), "");
   EXPECT_EQ(platform::path_of_file_uri("sftp://host/a"), "");
}
