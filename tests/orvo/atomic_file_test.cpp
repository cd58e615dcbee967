#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include "orvo/atomic_file.h"

namespace fs = std::filesystem;

namespace
{

string_base read_all(const fs::path & path)
{
   std::ifstream in(path, std::ios::binary);
   std::stringstream s;
   s << in.rdbuf();
   return s.str();
}

fs::path fresh_folder(const char * pszName)
{
   fs::path folder = fs::temp_directory_path() / format("brisvane-%s-%d", pszName, static_cast<int>(::getpid()));
   fs::remove_all(folder);
   fs::create_directories(folder);
   return folder;
}

} // namespace

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
