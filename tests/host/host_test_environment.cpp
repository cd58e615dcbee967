#include "host_test_environment.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>

#include "host/context.h"
#include "host/event_loop.h"

namespace
{

class host_environment : public testing::Environment
{
public:
   void SetUp() override
   {
      setenv("SDL_VIDEODRIVER", "offscreen", 1);
      std::filesystem::create_directories(test_data_folder());
      setenv("XDG_DATA_HOME", test_data_folder().c_str(), 1);
      // No installed desktop entry of the machine's stands in the way of the tests' own.
      setenv("XDG_DATA_DIRS", (test_data_folder() / "system").c_str(), 1);
      m_papplication = make_pointer<host_test_application>();
      platform::context::set_application(m_papplication.get());
      m_papplication->init_instance();
   }

   void TearDown() override
   {
      m_papplication->term_application();
      platform::context::set_application(nullptr);
      m_papplication.reset();
      std::error_code error;
      std::filesystem::remove_all(test_data_folder(), error);
   }

private:
   pointer<host_test_application> m_papplication;
};

const auto * const g_penvironment = testing::AddGlobalTestEnvironment(new host_environment);

} // namespace

std::filesystem::path test_data_folder()
{
   static const std::filesystem::path s_path =
      std::filesystem::temp_directory_path() / ("host_tests_" + std::to_string(getpid()));
   return s_path;
}

void process_events()
{
   SDL_PumpEvents();
   platform::context::event_loop()->process_pending_events();
}
