#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "orvo/atomic_file.h"
#include "test_files.h"

namespace fs = std::filesystem;

TEST(AtomicFile, ReplacesTheWholeFileAndLeavesNoTemporary)
{
   const fs::path folder = fresh_folder("atomic");
   const fs::path target = folder / "a.txt";
   ASSERT_TRUE(file::write_atomically(target, "first version, longer"));
   ASSERT_TRUE(file::write_atomically(target, "second"));
   EXPECT_EQ(read_all(target), "second");
   EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
   fs::remove_all(folder);
}

TEST(AtomicFile, FailureIsReportedAndKeepsTheOldFile)
{
   const fs::path folder = fresh_folder("atomic-fail");
   const fs::path missing = folder / "no-such-folder" / "a.txt";
   file::write_result result = file::write_atomically(missing, "x");
   EXPECT_FALSE(result);
   EXPECT_NE(result.m_strError.find("cannot write"), string_base::npos);

   // The target is a folder, which a file cannot replace: the rename fails, the folder stays
   // and no temporary file is left beside it.
   const fs::path occupied = folder / "occupied";
   fs::create_directories(occupied / "inside");
   EXPECT_FALSE(file::write_atomically(occupied, "x"));
   EXPECT_TRUE(fs::is_directory(occupied / "inside"));
   EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
   fs::remove_all(folder);
}

TEST(AtomicFile, StreamedPiecesArriveInOrderOnlyAfterCommit)
{
   const fs::path folder = fresh_folder("atomic-stream");
   const fs::path target = folder / "big.bin";
   string_base expected;
   {
      file::atomic_file out(target);
      // Small pieces gather in the buffer; a large one passes it by. Their order must hold.
      for (int i = 0; i < 1000; ++i)
      {
         const string_base piece = format("%d,", i);
         out.write(piece.data(), piece.size());
         expected += piece;
      }
      const string_base large(200 * 1024, 'x');
      out.write(large.data(), large.size());
      expected += large;
      out.write("end", 3);
      expected += "end";
      // Placed bytes land where they are put, past the end too; the gap reads as zeros.
      out.write_at(2, "AB", 2);
      expected.replace(2, 2, "AB");
      out.write_at(expected.size() + 2, "Z", 1);
      expected += string_base(2, '\0') + "Z";
      EXPECT_FALSE(fs::exists(target));
      ASSERT_TRUE(out.commit());
   }
   EXPECT_EQ(read_all(target), expected);
   EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
   fs::remove_all(folder);
}

TEST(AtomicFile, AbandonedOrFailedStreamLeavesTheOldFile)
{
   const fs::path folder = fresh_folder("atomic-abandon");
   const fs::path target = folder / "a.txt";
   ASSERT_TRUE(file::write_atomically(target, "old"));
   {
      file::atomic_file out(target);
      out.write("new", 3);
   }
   EXPECT_EQ(read_all(target), "old");
   EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

   // A file size limit makes the disk refuse bytes midway, as a full disk would.
   struct sigaction ignore = {}, previous = {};
   ignore.sa_handler = SIG_IGN;
   ::sigaction(SIGXFSZ, &ignore, &previous);
   rlimit limit = {}, saved = {};
   ::getrlimit(RLIMIT_FSIZE, &saved);
   limit = saved;
   limit.rlim_cur = 100 * 1024;
   ::setrlimit(RLIMIT_FSIZE, &limit);
   const string_base large(300 * 1024, 'x');
   file::write_result result = file::write_atomically(target, large);
   ::setrlimit(RLIMIT_FSIZE, &saved);
   ::sigaction(SIGXFSZ, &previous, nullptr);

   EXPECT_FALSE(result);
   EXPECT_NE(result.m_strError.find("writing failed"), string_base::npos) << result.m_strError;
   EXPECT_EQ(read_all(target), "old");
   EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
   fs::remove_all(folder);
}

namespace
{

mode_t permission_bits(const fs::path & path)
{
   struct stat st = {};
   ::stat(path.c_str(), &st);
   return st.st_mode & 07777;
}

mode_t current_umask()
{
   const mode_t mask = ::umask(0);
   ::umask(mask);
   return mask;
}

long long entries_in(const fs::path & folder)
{
   return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

// A file of that name, last changed that many seconds ago.
void make_file_aged(const fs::path & path, int iSeconds)
{
   std::ofstream(path) << "left over";
   const timespec times[2] = {{std::time(nullptr) - iSeconds, 0}, {std::time(nullptr) - iSeconds, 0}};
   ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

} // namespace

TEST(AtomicFile, KeepsThePermissionBitsOfTheFileItReplaces)
{
   const fs::path folder = fresh_folder("atomic-mode");
   const fs::path target = folder / "private.tvsx";
   ASSERT_TRUE(file::write_atomically(target, "first"));
   EXPECT_EQ(permission_bits(target), 0666 & ~current_umask());

   fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
   ASSERT_TRUE(file::write_atomically(target, "second"));
   EXPECT_EQ(permission_bits(target), 0600);
   EXPECT_EQ(read_all(target), "second");
   fs::remove_all(folder);
}

TEST(AtomicFile, ReadOnlyFilesAndOtherKindsOfTargetAreReportedNotReplaced)
{
   const fs::path folder = fresh_folder("atomic-refused");
   const fs::path target = folder / "kept.tvsx";
   ASSERT_TRUE(file::write_atomically(target, "old"));
   fs::permissions(target, fs::perms::owner_read);
   file::write_result result = file::write_atomically(target, "new");
   EXPECT_FALSE(result);
   EXPECT_NE(result.m_strError.find("read-only"), string_base::npos) << result.m_strError;
   EXPECT_EQ(read_all(target), "old");
   EXPECT_EQ(permission_bits(target), 0400);

   const fs::path fifo = folder / "pipe";
   ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
   result = file::write_atomically(fifo, "x");
   EXPECT_FALSE(result);
   EXPECT_NE(result.m_strError.find("not a regular file"), string_base::npos) << result.m_strError;
   EXPECT_TRUE(fs::is_fifo(fifo));
   EXPECT_EQ(entries_in(folder), 2);
   fs::remove_all(folder);
}

TEST(AtomicFile, ASaveKilledMidwayLeavesNothingBehind)
{
   const fs::path folder = fresh_folder("atomic-killed");
   const fs::path target = folder / "wall.tvsx";
   ASSERT_TRUE(file::write_atomically(target, "old"));
   const pid_t child = ::fork();
   ASSERT_GE(child, 0);
   if (child == 0)
   {
      file::atomic_file out(target);
      const string_base large(4 * 1024 * 1024, 'x');
      out.write(large.data(), large.size());
      ::raise(SIGKILL);
   }
   int iStatus = 0;
   ASSERT_EQ(::waitpid(child, &iStatus, 0), child);
   ASSERT_TRUE(WIFSIGNALED(iStatus));
   EXPECT_EQ(read_all(target), "old");
   EXPECT_EQ(entries_in(folder), 1);
   fs::remove_all(folder);
}

TEST(AtomicFile, StaleTemporariesOfTheTargetGoButNotThoseOfARunningSave)
{
   const fs::path folder = fresh_folder("atomic-stale");
   const fs::path target = folder / "wall.tvsx";
   make_file_aged(folder / ".wall.tvsx.Ab12Cd", 3600);
   make_file_aged(folder / ".wall.tvsx.Ef34Gh", 3600);
   make_file_aged(folder / ".wall.tvsx.Ij56Kl", 0);
   make_file_aged(folder / ".wall.tvsx.bak", 3600);
   make_file_aged(folder / ".other.tvsx.Mn78Op", 3600);
   // A save that is still running holds a lock on its temporary.
   const int fdHeld = ::open((folder / ".wall.tvsx.Ef34Gh").c_str(), O_RDONLY);
   ASSERT_EQ(::flock(fdHeld, LOCK_EX | LOCK_NB), 0);

   ASSERT_TRUE(file::write_atomically(target, "new"));
   ::close(fdHeld);
   EXPECT_FALSE(fs::exists(folder / ".wall.tvsx.Ab12Cd"));
   EXPECT_TRUE(fs::exists(folder / ".wall.tvsx.Ef34Gh"));
   EXPECT_TRUE(fs::exists(folder / ".wall.tvsx.Ij56Kl"));
   EXPECT_TRUE(fs::exists(folder / ".wall.tvsx.bak"));
   EXPECT_TRUE(fs::exists(folder / ".other.tvsx.Mn78Op"));
   EXPECT_EQ(read_all(target), "new");
   fs::remove_all(folder);
}
