#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "host/system.h"
#include "host_test_environment.h"

namespace
{

// Puts a stand-in for the desktop's URL opener first on the PATH; it writes down what it was asked.
class system_test : public testing::Test
{
protected:
   void SetUp() override
   {
      m_pathFolder = test_data_folder() / "opener";
      std::filesystem::create_directories(m_pathFolder);
      m_pathLog = m_pathFolder / "opened.txt";
      std::filesystem::remove(m_pathLog);
      const auto pathOpener = m_pathFolder / "xdg-open";
      std::ofstream(pathOpener) << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << m_pathLog.string() << ".part\"\nmv \""
                                << m_pathLog.string() << ".part\" \"" << m_pathLog.string() << "\"\n";
      std::filesystem::permissions(pathOpener, std::filesystem::perms::owner_all);
      m_strPath = std::getenv("PATH") ? std::getenv("PATH") : "";
      setenv("PATH", (m_pathFolder.string() + ":" + m_strPath).c_str(), 1);
   }

   void TearDown() override { setenv("PATH", m_strPath.c_str(), 1); }

   // Puts stand-ins for both openers that run the shell commands, and nothing else, on the PATH.
   void use_only_openers(const std::string & strXdgOpen, const std::string & strSensibleBrowser)
   {
      const auto pathFolder = m_pathFolder / "only";
      std::filesystem::create_directories(pathFolder);
      for (const auto & [pszName, strCommands] : {std::pair{"xdg-open", strXdgOpen}, std::pair{"sensible-browser", strSensibleBrowser}})
      {
         const auto pathOpener = pathFolder / pszName;
         std::ofstream(pathOpener) << "#!/bin/sh\n" << strCommands << "\n";
         std::filesystem::permissions(pathOpener, std::filesystem::perms::owner_all);
      }
      setenv("PATH", pathFolder.c_str(), 1);
   }

   std::string opened()
   {
      for (int i = 0; i < 200 && !std::filesystem::exists(m_pathLog); ++i)
      {
         std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      std::ifstream stream(m_pathLog);
      std::ostringstream text;
      text << stream.rdbuf();
      return text.str();
   }

   // Opens the page and looks for the openers' end, as the event loop does, until it completes.
   outcome<> open(const char * pszUrl)
   {
      std::optional<outcome<>> oresult;
      m_system.open_url(pszUrl, [&](const outcome<> & result) { oresult = result; });
      collect_until_completed(oresult);
      EXPECT_FALSE(m_system.is_waiting());
      return oresult.value_or(failure("no completion"));
   }

   // Looks for the openers' end every 10 ms until the completion set `oresult`, for 30 s at most.
   void collect_until_completed(const std::optional<outcome<>> & oresult)
   {
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      while (!oresult && std::chrono::steady_clock::now() < end)
      {
         std::this_thread::sleep_for(std::chrono::milliseconds(10));
         m_system.collect_ended();
      }
   }

   std::filesystem::path m_pathFolder;
   std::filesystem::path m_pathLog;
   std::string m_strPath;
   platform::system m_system;
};

} // namespace

TEST_F(system_test, a_web_page_is_handed_to_the_desktop_opener)
{
   ASSERT_TRUE(open("https://example.org/help?topic=walls&x=1"));
   EXPECT_EQ(opened(), "https://example.org/help?topic=walls&x=1");
}

TEST_F(system_test, no_opener_or_openers_that_find_no_browser_are_a_failure_that_says_so)
{
   setenv("PATH", (m_pathFolder / "empty").c_str(), 1);
   outcome<> result = open("https://example.org/");
   EXPECT_FALSE(result);
   EXPECT_NE(result.error().find("no web browser could be started"), std::string::npos) << result.error();
   EXPECT_NE(result.error().find("xdg-open is not installed; sensible-browser is not installed"), std::string::npos) << result.error();

   use_only_openers("exit 3", "kill -TERM $$");
   result = open("https://example.org/");
   EXPECT_FALSE(result);
   EXPECT_NE(result.error().find("xdg-open ended with status 3; sensible-browser ended with status 143"), std::string::npos)
      << result.error();

   // The second opener stands in for the first.
   use_only_openers("exit 3", "exit 0");
   EXPECT_TRUE(open("https://example.org/"));
}

TEST_F(system_test, an_opener_is_waited_for_without_holding_the_caller_however_long_it_takes_to_fail)
{
   use_only_openers("/bin/sleep 2; exit 4", "exit 1");
   std::optional<outcome<>> oresult;
   const auto start = std::chrono::steady_clock::now();
   m_system.open_url("https://example.org/", [&](const outcome<> & result) { oresult = result; });
   EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
   collect_until_completed(oresult);
   EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
   ASSERT_TRUE(oresult);
   EXPECT_NE(oresult->error().find("xdg-open ended with status 4; sensible-browser ended with status 1"), std::string::npos)
      << oresult->error();
}

TEST_F(system_test, addresses_other_than_web_pages_are_refused_at_once)
{
   for (const char * pszUrl : {"file:///etc/passwd", "javascript:alert(1)", "", "https://example.org/a b", "--help"})
   {
      bool bFailed = false;
      m_system.open_url(pszUrl, [&](const outcome<> & result) { bFailed = !result; });
      EXPECT_TRUE(bFailed) << pszUrl;
   }
   EXPECT_FALSE(m_system.is_waiting());
   std::this_thread::sleep_for(std::chrono::milliseconds(50));
   EXPECT_FALSE(std::filesystem::exists(m_pathLog));
}
