#include <gtest/gtest.h>

#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

#include "orvo/file_system.h"
#include "orvo/trace.h"
#include "scoped_variable.h"
#include "test_files.h"

TEST(Path, ExtensionQueries)
{
   const file::path path("/data/show.tar.gz");
   EXPECT_EQ(path.name(), "show.tar.gz");
   EXPECT_EQ(path.final_extension(), "gz");
   EXPECT_EQ(path.all_extensions(), "tar.gz");
   EXPECT_TRUE(path.has_extension(".GZ"));
   EXPECT_TRUE(path.has_extension("tar.gz"));
   EXPECT_FALSE(path.has_extension("z"));
   EXPECT_EQ(file::path("/data/.hidden").all_extensions(), "");
   EXPECT_EQ(file::path("/data/.hidden.png").final_extension(), "png");
   EXPECT_EQ(file::path("/data.d/plain").final_extension(), "");
   EXPECT_EQ((file::path("/data") / "a" / "b.txt").as_string(), "/data/a/b.txt");
   EXPECT_EQ(file::path("/data/a/b.txt").folder().as_string(), "/data/a");
}

TEST(Path, SetAllExtensionsKeepsOnlyTheStem)
{
   EXPECT_EQ(file::path("/out/wall.tvsx").set_all_extensions("xml").as_string(), "/out/wall.xml");
   EXPECT_EQ(file::path("/out/wall.v2.tvsx").set_all_extensions(".xml").as_string(), "/out/wall.xml");
   EXPECT_EQ(file::path("/out.d/wall").set_all_extensions("xml").as_string(), "/out.d/wall.xml");
   EXPECT_EQ(file::path("/out/.wall.tvsx").set_all_extensions("xml").as_string(), "/out/.wall.xml");
}

TEST(Path, DeferredExtensionIsAddedOnlyWhenMissing)
{
   EXPECT_EQ(file::path("/p/mine").with_deferred_extension("tvsx_presets").as_string(), "/p/mine.tvsx_presets");
   EXPECT_EQ(file::path("/p/mine.tvsx_presets").with_deferred_extension("tvsx_presets").as_string(),
             "/p/mine.tvsx_presets");
   EXPECT_EQ(file::path("/p/mine.txt").with_deferred_extension("tvsx_presets").as_string(),
             "/p/mine.txt.tvsx_presets");
   EXPECT_EQ(file::path("/p/mytvsx_presets").with_deferred_extension("tvsx_presets").as_string(),
             "/p/mytvsx_presets.tvsx_presets");
}

TEST(FileSystem, ReadWriteExistsAndFolders)
{
   const file::path folder = fresh_folder("files");

   const outcome<string_base> missing = file::read_all(folder / "missing.txt");
   EXPECT_FALSE(missing);
   EXPECT_TRUE(missing.value_or("").empty());
   EXPECT_FALSE(missing.error().empty());

   EXPECT_FALSE(file::write_all(folder / "a" / "b.txt", "x")) << "the folder does not exist yet";
   ASSERT_TRUE(dir::make(folder / "a"));
   ASSERT_TRUE(dir::make(folder / "a")) << "an existing folder is success";
   const string_base strBytes("line\r\n\0binary", 14);
   ASSERT_TRUE(file::write_all(folder / "a" / "b.txt", strBytes));
   EXPECT_TRUE(file::exists(folder / "a" / "b.txt"));
   EXPECT_EQ(file::read_all(folder / "a" / "b.txt").value_or(""), strBytes);

   EXPECT_FALSE(file::read_all(folder / "a")) << "a folder is not a file";
   EXPECT_FALSE(dir::make(folder / "a" / "b.txt")) << "a file stands in the way";
   std::filesystem::remove_all(folder);
}

TEST(FileSystem, OnlyRegularFilesWithinTheLimitAreRead)
{
   const file::path folder = fresh_folder("read-kinds");
   const file::path fifo = folder / "pipe";
   ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
   // Were the FIFO waited for, the alarm would end the test.
   ::alarm(60);
   const outcome<string_base> fromFifo = file::read_all(fifo);
   ::alarm(0);
   EXPECT_FALSE(fromFifo);
   EXPECT_NE(fromFifo.error().find("it is a pipe (FIFO), not a file"), string_base::npos) << fromFifo.error();

   const outcome<string_base> fromDevice = file::read_all("/dev/zero");
   EXPECT_FALSE(fromDevice);
   EXPECT_NE(fromDevice.error().find("it is a device, not a file"), string_base::npos) << fromDevice.error();

   ASSERT_TRUE(file::write_all(folder / "ten.txt", "0123456789"));
   EXPECT_EQ(file::read_all(folder / "ten.txt", 10).value_or(""), "0123456789");
   const outcome<string_base> tooLarge = file::read_all(folder / "ten.txt", 9);
   EXPECT_FALSE(tooLarge);
   EXPECT_TRUE(tooLarge.value_or("").empty());
   EXPECT_NE(tooLarge.error().find("it holds 10 bytes, more than the 9 bytes a file may have here"), string_base::npos)
      << tooLarge.error();
   std::filesystem::remove_all(folder);
}

TEST(FileSystem, ByteCountsReadAsUnits)
{
   EXPECT_EQ(file::byte_count_text(0), "0 bytes");
   EXPECT_EQ(file::byte_count_text(1023), "1023 bytes");
   EXPECT_EQ(file::byte_count_text(1536), "1.5 KiB");
   EXPECT_EQ(file::byte_count_text(std::uint64_t{1} << 30), "1 GiB");
}

TEST(FileSystem, DataFolderFollowsTheEnvironment)
{
   {
      scoped_variable home("HOME", "/tmp/someone");
      scoped_variable data("XDG_DATA_HOME", nullptr);
      EXPECT_EQ(dir::home().as_string(), "/tmp/someone");
      EXPECT_EQ(dir::application_data("Brisvane").as_string(), "/tmp/someone/.local/share/Brisvane");
   }
   {
      scoped_variable home("HOME", "/tmp/someone");
      scoped_variable data("XDG_DATA_HOME", "relative/ignored");
      EXPECT_EQ(dir::user_data().as_string(), "/tmp/someone/.local/share");
   }
   scoped_variable data("XDG_DATA_HOME", "/tmp/xdg");
   EXPECT_EQ(dir::application_data("Brisvane").as_string(), "/tmp/xdg/Brisvane");
}

TEST(FileSystem, ProgramIsThisTestExecutable)
{
   EXPECT_EQ(dir::program().name(), "orvo_tests");
   EXPECT_TRUE(file::exists(dir::program()));
}

TEST(Trace, SilencedLogsWriteNothing)
{
   set_logs_silent(true);
   testing::internal::CaptureStdout();
   testing::internal::CaptureStderr();
   information("hidden %d", 1);
   trace("hidden %d", 2);
   EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
   EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

   set_logs_silent(false);
   testing::internal::CaptureStdout();
   information("application::on_request %s", "e_command_file_new");
   EXPECT_EQ(testing::internal::GetCapturedStdout(), "application::on_request e_command_file_new\n");
}

TEST(Trace, TheDebugTraceWritesOnlyWhenAskedFor)
{
   for (const char * pszValue : {static_cast<const char *>(nullptr), "", "0"})
   {
      scoped_variable asked("BRISVANE_TRACE", pszValue);
      testing::internal::CaptureStderr();
      debug_trace("MainImpact::draw");
      EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << (pszValue ? pszValue : "unset");
   }
   scoped_variable asked("BRISVANE_TRACE", "1");
   testing::internal::CaptureStderr();
   debug_trace("Over connector : %d", 2);
   EXPECT_EQ(testing::internal::GetCapturedStderr(), "Over connector : 2\n");
}
