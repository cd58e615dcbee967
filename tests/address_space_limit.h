#pragma once

// Checks run in a child process under an address-space limit (`ulimit -v`), so that the test
// process keeps its own memory. The address sanitizer's shadow memory alone passes any such
// limit: tests that use these skip under it.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>

// The address space this process holds now, in bytes.
inline std::uint64_t address_space_in_use()
{
   std::ifstream statm("/proc/self/statm");
   std::uint64_t uPages = 0;
   statm >> uPages;
   return uPages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

// Whether `check` returns true in a child process whose address space may not grow past
// `uLimit` bytes (nor past the hard limit); false as well when the limit cannot be set.
inline bool passes_under_address_space_limit(std::uint64_t uLimit, const std::function<bool()> & check)
{
   const pid_t pid = ::fork();
   if (pid == 0)
   {
      struct rlimit limit{};
      ::getrlimit(RLIMIT_AS, &limit);
      limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, uLimit);
      ::_exit(::setrlimit(RLIMIT_AS, &limit) == 0 && check() ? 0 : 1);
   }
   int iStatus = 0;
   ::waitpid(pid, &iStatus, 0);
   return WIFEXITED(iStatus) && WEXITSTATUS(iStatus) == 0;
}
