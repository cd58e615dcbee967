#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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
