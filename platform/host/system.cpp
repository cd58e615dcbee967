#include "host/system.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <iterator>

extern char ** environ;

namespace platform
{

namespace
{

// The desktop's programs that hand a web page to the user's browser, in the order they are tried.
const char * const g_openers[] = {"xdg-open", "sensible-browser"};

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

// An ended process's status as a number: its exit status, or 128 plus the signal that ended it.
int exit_number(int iStatus)
{
   return WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : 128 + WTERMSIG(iStatus);
}

} // namespace

// One page being handed to a browser: the openers tried so far, and the one that runs.
struct system::opening
{
   string_base m_strUrl;
   open_completion m_completion;
   std::size_t m_iNextOpener = 0;
   const char * m_pszRunning = nullptr;
   pid_t m_pid = 0;
   // Why each opener tried failed, joined by "; ".
   string_base m_strReasons;
   bool m_bDone = false;

   void add_reason(const string_base & strReason) { m_strReasons += m_strReasons.empty() ? strReason : "; " + strReason; }
};

system::system() = default;

system::~system() = default;

void system::open_url(scoped_string_base strUrl, const open_completion & completion)
{
   auto popening = std::make_unique<opening>();
   popening->m_strUrl = strUrl;
   popening->m_completion = completion;
   if (!is_web_address(popening->m_strUrl))
   {
      popening->m_completion(failure(format("only http and https addresses are opened, not \"%s\"", popening->m_strUrl.c_str())));
      return;
   }
   if (!start_next_opener(*popening))
   {
      fail(*popening);
      return;
   }
   m_openings.push_back(std::move(popening));
}

bool system::start_next_opener(opening & opening)
{
   while (opening.m_iNextOpener < std::size(g_openers))
   {
      const char * pszOpener = g_openers[opening.m_iNextOpener++];
      char * argv[] = {const_cast<char *>(pszOpener), opening.m_strUrl.data(), nullptr};
      const int iError = posix_spawnp(&opening.m_pid, pszOpener, nullptr, nullptr, argv, environ);
      if (iError == 0)
      {
         opening.m_pszRunning = pszOpener;
         return true;
      }
      opening.add_reason(iError == ENOENT ? format("%s is not installed", pszOpener)
                                          : format("%s cannot be run: %s", pszOpener, std::strerror(iError)));
   }
   return false;
}

void system::complete(opening & opening, const outcome<> & result)
{
   opening.m_bDone = true;
   opening.m_completion(result);
}

void system::fail(opening & opening)
{
   complete(opening, failure("no web browser could be started (" + opening.m_strReasons + ")"));
}

void system::collect_ended()
{
   // A completion may open another page: it is added at the end, and looked at next time.
   const std::size_t iCount = m_openings.size();
   for (std::size_t i = 0; i < iCount && i < m_openings.size(); ++i)
   {
      opening & opening = *m_openings[i];
      int iStatus = 0;
      if (opening.m_bDone || waitpid(opening.m_pid, &iStatus, WNOHANG) != opening.m_pid)
      {
         continue;
      }
      if (exit_number(iStatus) == 0)
      {
         complete(opening, {});
         continue;
      }
      opening.add_reason(format("%s ended with status %d", opening.m_pszRunning, exit_number(iStatus)));
      if (!start_next_opener(opening))
      {
         fail(opening);
      }
   }
   std::erase_if(m_openings, [](const std::unique_ptr<opening> & popening) { return popening->m_bDone; });
}

void system::close()
{
   m_openings.clear();
}

} // namespace platform
