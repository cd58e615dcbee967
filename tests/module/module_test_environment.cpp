// Every module test runs with its own data and home folders, so that the controller's files
// (presets autosave, logo layer, layouts) never touch the user's.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace
{

class module_environment : public testing::Environment
{
public:
   void SetUp() override
   {
      char szFolder[] = "/tmp/module_tests_XXXXXX";
      m_folder = ::mkdtemp(szFolder);
      std::filesystem::create_directories(m_folder / "data");
      ::setenv("XDG_DATA_HOME", (m_folder / "data").c_str(), 1);
      ::setenv("HOME", m_folder.c_str(), 1);
      // The machine's installed desktop entries are not the tests' business.
      ::setenv("XDG_DATA_DIRS", (m_folder / "system").c_str(), 1);
      // The toolkit's own dialogs, whatever session bus the machine has: the tests answer those.
      ::setenv("BRISVANE_FILE_DIALOG", "own", 1);
   }

   void TearDown() override
   {
      std::error_code error;
      std::filesystem::remove_all(m_folder, error);
   }

private:
   std::filesystem::path m_folder;
};

const auto * const g_penvironment = testing::AddGlobalTestEnvironment(new module_environment);

} // namespace
