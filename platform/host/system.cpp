#include "host/system.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

extern char ** environ;

namespace platform
{

namespace
{

// The desktop's programs that hand a web page to the user's browser, in the order they are tried.
const char * const g_openers[] = {"xdg-open", "sensible-browser"};

// How long an opener has to report that it found no browser.
constexpr std::chrono::milliseconds g_openerStartup{1000};

bool is_web_address(scoped_string_base strUrl)
{
   if (!strUrl.starts_with("http://") && !strUrl.starts_with("https://"))
   {
      return false;
   }
   for (char ch : strUrl)
   {
      if (static_cast<unsigned char>(ch) <= 0x20 || ch == 0x7f)
      {
         return false;
      }
   }
   return true;
}

// What the opener reported within its start-up time: its exit status (a signal counts as 128 plus
// its number), or nothing while it still runs; it is then left to end in the background.
std::optional<int> status_within_startup(pid_t pid)
{
   const auto deadline = std::chrono::steady_clock::now() + g_openerStartup;
   do
   {
      int iStatus = 0;
      if (waitpid(pid, &iStatus, WNOHANG) == pid)
      {
         return WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : 128 + WTERMSIG(iStatus);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
   } while (std::chrono::steady_clock::now() < deadline);
   // Collected when it ends, so that no finished process lingers.
   std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
   return std::nullopt;
}

// Runs one opener on the address; empty when it started a browser, else why not.
string_base run_opener(const char * pszOpener, const string_base & strUrl)
{
   char * argv[] = {const_cast<char *>(pszOpener), const_cast<char *>(strUrl.c_str()), nullptr};
   pid_t pid = 0;
   if (const int iError = posix_spawnp(&pid, pszOpener, nullptr, nullptr, argv, environ); iError != 0)
   {
      return iError == ENOENT ? format("%s is not installed", pszOpener)
                              : format("%s cannot be run: %s", pszOpener, std::strerror(iError));
   }
   const std::optional<int> ostatus = status_within_startup(pid);
   if (!ostatus || *ostatus == 0)
   {
      return {};
   }
   return format("%s ended with status %d", pszOpener, *ostatus);
}

} // namespace

outcome<> system::open_url(scoped_string_base strUrl)
{
   const string_base str(strUrl);
   if (!is_web_address(str))
   {
      return failure(format("only http and https addresses are opened, not \"%s\"", str.c_str()));
   }
   string_base strReasons;
   for (const char * pszOpener : g_openers)
   {
      const string_base strReason = run_opener(pszOpener, str);
      if (strReason.empty())
      {
         return {};
      }
      strReasons += strReasons.empty() ? strReason : "; " + strReason;
   }
   return failure("no web browser could be started (" + strReasons + ")");
}

} // namespace platform
