// The application's window settings file.

#include <gtest/gtest.h>

#include <vector>

#include "core/data_folder.h"
#include "host/context.h"
#include "host/fake_monitors.h"
#include "host/windowing.h"
#include "orvo/file_system.h"
#include "screen/application.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class window_settings : public testing::Test
{
protected:
   void SetUp() override { dir::make(data_folder::folder_to_save_data()); }
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
   EXPECT_EQ(data_folder::folder_to_save_data().name(), "Brisvane");
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

TEST_F(window_settings, a_maximised_window_opens_at_its_normal_rectangle_and_a_file_of_four_keys_as_before)
{
   const char * pszMaximized = "{\"main_window_left\": 0, \"main_window_top\": 0, \"main_window_right\": 1000, "
                               "\"main_window_bottom\": 700, \"main_window_maximized\": true, \"main_window_normal_left\": 100, "
                               "\"main_window_normal_top\": 80, \"main_window_normal_right\": 600, \"main_window_normal_bottom\": 480}";
   EXPECT_EQ(load(pszMaximized), (rectangle_f64{100, 80, 600, 480}));
   pointer<application> papplication = make_pointer<application>();
   ASSERT_TRUE(papplication->load_settings());
   EXPECT_TRUE(papplication->is_maximized_initially());
   // Without the whole normal rectangle, or not maximised, the four keys hold; a file written before
   // the state was kept reads as it did.
   for (const char * pszSettings : {
           "{\"main_window_right\": 1000, \"main_window_bottom\": 700, \"main_window_maximized\": true, "
           "\"main_window_normal_left\": 100}",
           "{\"main_window_right\": 1000, \"main_window_bottom\": 700, \"main_window_maximized\": false, "
           "\"main_window_normal_left\": 100, \"main_window_normal_top\": 80, \"main_window_normal_right\": 600, "
           "\"main_window_normal_bottom\": 480}",
           "{\"main_window_right\": 1000, \"main_window_bottom\": 700}",
        })
   {
      EXPECT_EQ(load(pszSettings), (rectangle_f64{0, 0, 1000, 700})) << pszSettings;
   }
   ASSERT_TRUE(papplication->load_settings());
   EXPECT_FALSE(papplication->is_maximized_initially());
}

TEST_F(window_settings, an_empty_file_is_no_settings)
{
   load("  \n", false);
   pointer<application> papplication = make_pointer<application>();
   std::filesystem::remove(std::filesystem::path(application::settings_file_path()));
   EXPECT_FALSE(papplication->load_settings());
}

namespace
{

class window_settings_on_two_monitors : public window_settings
{
protected:
   // A monitor of 1920 x 1080 and, to its right, one of 1280 x 1024.
   fake_monitors m_monitors{{{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}}};
};

} // namespace

TEST_F(window_settings_on_two_monitors, a_rectangle_that_fits_a_monitor_and_shows_there_is_kept)
{
   EXPECT_EQ(load("{\"main_window_left\": 2000, \"main_window_top\": 40, \"main_window_right\": 3100, \"main_window_bottom\": 1000}"),
             (rectangle_f64{2000, 40, 3100, 1000}));
   // Mostly off the left edge, with enough of it on the monitor to take hold of.
   EXPECT_EQ(load("{\"main_window_left\": -700, \"main_window_top\": 10, \"main_window_right\": 100, \"main_window_bottom\": 610}"),
             (rectangle_f64{-700, 10, 100, 610}));
}

TEST_F(window_settings_on_two_monitors, a_rectangle_too_large_too_small_or_out_of_reach_gives_the_default_placement)
{
   for (const char * pszSettings : {
           // Larger than every monitor; the old program then failed at every start.
           "{\"main_window_left\": 0, \"main_window_top\": 0, \"main_window_right\": 100000, \"main_window_bottom\": 100000}",
           // Wider than either monitor, though not than both side by side.
           "{\"main_window_left\": 0, \"main_window_top\": 0, \"main_window_right\": 2500, \"main_window_bottom\": 800}",
           // Far away from every monitor, and beyond the 32-bit range.
           "{\"main_window_left\": 50000, \"main_window_top\": 50000, \"main_window_right\": 50800, \"main_window_bottom\": 50600}",
           "{\"main_window_left\": 1e300, \"main_window_top\": 1e300, \"main_window_right\": 2e300, \"main_window_bottom\": 2e300}",
           "{\"main_window_left\": -2e10, \"main_window_top\": 0, \"main_window_right\": 2e10, \"main_window_bottom\": 600}",
           // Only a sliver on a monitor.
           "{\"main_window_left\": -790, \"main_window_top\": 10, \"main_window_right\": 10, \"main_window_bottom\": 610}",
           // On a monitor, but too small to use: 1 x 1, and too low for its menu.
           "{\"main_window_left\": 300, \"main_window_top\": 200, \"main_window_right\": 301, \"main_window_bottom\": 201}",
           "{\"main_window_left\": 300, \"main_window_top\": 200, \"main_window_right\": 1300, \"main_window_bottom\": 240}",
        })
   {
      EXPECT_EQ(load(pszSettings, false), (rectangle_f64{0.0, 0.0, 0.0, 0.0})) << pszSettings;
   }
}
