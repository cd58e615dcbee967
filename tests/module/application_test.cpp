// The application's window settings file.

#include <gtest/gtest.h>

#include "core/application.h"
#include "orvo/file_system.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class window_settings : public testing::Test
{
protected:
   void SetUp() override { dir::make(application::folder_to_save_data()); }
   void TearDown() override { std::filesystem::remove(std::filesystem::path(application::settings_file_path())); }

   rectangle_f64 load(const char * pszText, bool bExpectLoaded = true)
   {
      EXPECT_TRUE(file::write_all(application::settings_file_path(), pszText));
      pointer<application> papplication = make_pointer<application>();
      EXPECT_EQ(papplication->load_settings(), bExpectLoaded);
      return papplication->initial_rectangle();
   }
};

} // namespace

TEST_F(window_settings, the_data_folder_is_brisvane_in_the_users_data_folder)
{
   EXPECT_EQ(application::folder_to_save_data().name(), "Brisvane");
   EXPECT_EQ(application::settings_file_path().name(), "settings.network_payload");
}

TEST_F(window_settings, missing_keys_read_as_zero)
{
   const rectangle_f64 rectangle = load("{\"main_window_right\": 800, \"main_window_bottom\": 600}");
   EXPECT_EQ(rectangle, (rectangle_f64{0.0, 0.0, 800.0, 600.0}));
}

TEST_F(window_settings, a_degenerate_rectangle_gives_the_fallback)
{
   const rectangle_f64 fallback{0.05, 0.05, 0.4, 0.4};
   EXPECT_EQ(load("{\"main_window_left\": 10, \"main_window_right\": 10, \"main_window_bottom\": 600}"), fallback);
   EXPECT_EQ(load("{\"main_window_right\": 0.05, \"main_window_bottom\": 0.1}"), fallback);
   EXPECT_EQ(load("{\"main_window_right\": 0.1, \"main_window_bottom\": 0.1}"), (rectangle_f64{0.0, 0.0, 0.1, 0.1}));
   EXPECT_EQ(load("not a payload"), fallback);
}

TEST_F(window_settings, an_empty_file_is_no_settings)
{
   load("  \n", false);
   pointer<application> papplication = make_pointer<application>();
   std::filesystem::remove(std::filesystem::path(application::settings_file_path()));
   EXPECT_FALSE(papplication->load_settings());
}
