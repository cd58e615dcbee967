#pragma once

#include <chrono>

#include "orvo/path.h"
#include "orvo/string.h"

namespace file
{

// An advisory lock (flock) on a lock file, held while the object lives. Programs that take it
// before they read and replace a shared file do so one after the other; a program that does not
// take it is not stopped. The lock file is made when missing and is never removed: a program that
// removed it could leave two others holding locks on two different files.
class file_lock
{
public:
   // Tries for the lock, again and again, until `wait` has passed; it never waits longer.
   file_lock(const path & pathLock, std::chrono::milliseconds wait);
   ~file_lock();
   file_lock(const file_lock &) = delete;
   file_lock & operator=(const file_lock &) = delete;

   bool is_held() const noexcept { return m_fd >= 0 && m_strFailure.empty(); }
   // Whether another holder kept the lock for the whole wait (rather than the lock file failing).
   bool is_busy() const noexcept { return m_bBusy; }
   // Why the lock is not held, in words for the user; empty when it is.
   const string_base & failure() const noexcept { return m_strFailure; }

private:
   int m_fd = -1;
   bool m_bBusy = false;
   string_base m_strFailure;
};

} // namespace file
