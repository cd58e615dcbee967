#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "orvo/atomic_file.h"
#include "orvo/in_place_save.h"
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
   outcome<file::written> result = file::write_atomically(missing, "x");
   EXPECT_FALSE(result);
   EXPECT_NE(result.error().find("cannot write"), string_base::npos);

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
   outcome<file::written> result = file::write_atomically(target, large);
   ::setrlimit(RLIMIT_FSIZE, &saved);
   ::sigaction(SIGXFSZ, &previous, nullptr);

   EXPECT_FALSE(result);
   EXPECT_NE(result.error().find("writing failed"), string_base::npos) << result.error();
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
   outcome<file::written> result = file::write_atomically(target, "new");
   EXPECT_FALSE(result);
   EXPECT_NE(result.error().find("read-only"), string_base::npos) << result.error();
   EXPECT_EQ(read_all(target), "old");
   EXPECT_EQ(permission_bits(target), 0400);

   const fs::path fifo = folder / "pipe";
   ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
   result = file::write_atomically(fifo, "x");
   EXPECT_FALSE(result);
   EXPECT_NE(result.error().find("not a regular file"), string_base::npos) << result.error();
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

TEST(AtomicFile, OnlyTheSavesOwnStaleTemporariesGoNeverAUsersFile)
{
   const fs::path folder = fresh_folder("atomic-stale");
   const fs::path target = folder / "wall.tvsx";
   const string_base strOurs = ".wall.tvsx~brisvane-save-";
   const fs::path stale = folder / (strOurs + "Ab12Cd34Ef56");
   const fs::path held = folder / (strOurs + "Gh78Ij90Kl12");
   const fs::path young = folder / (strOurs + "Mn34Op56Qr78");
   // Names a user gives, or nearly ours: none is the save's own.
   const fs::path users[] = {folder / ".wall.tvsx.backup", folder / ".wall.tvsx.v2-old", folder / ".wall.tvsx.Ab12Cd",
                             folder / (strOurs + "Ab12Cd34Ef5"), folder / (strOurs + "Ab12Cd34Ef5-"),
                             folder / (strOurs + "Ab12Cd34Ef567"), folder / ".other.tvsx~brisvane-save-Ab12Cd34Ef56"};
   for (const fs::path & path : {stale, held})
   {
      make_file_aged(path, 3600);
   }
   make_file_aged(young, 0);
   for (const fs::path & path : users)
   {
      make_file_aged(path, 3600);
   }
   // A save that is still running holds a lock on its temporary.
   const int fdHeld = ::open(held.c_str(), O_RDONLY);
   ASSERT_EQ(::flock(fdHeld, LOCK_EX | LOCK_NB), 0);

   ASSERT_TRUE(file::write_atomically(target, "new"));
   ::close(fdHeld);
   EXPECT_FALSE(fs::exists(stale));
   EXPECT_TRUE(fs::exists(held));
   EXPECT_TRUE(fs::exists(young));
   for (const fs::path & path : users)
   {
      EXPECT_TRUE(fs::exists(path)) << path;
   }
   EXPECT_EQ(read_all(target), "new");
   fs::remove_all(folder);
}

TEST(AtomicFile, ALinkStaysALinkAndTheFileItLeadsToIsReplaced)
{
   const fs::path folder = fresh_folder("atomic-link");
   fs::create_directories(folder / "real");
   const fs::path real = folder / "real" / "wall.tvsx";
   ASSERT_TRUE(file::write_atomically(real, "old"));
   fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
   // A chain: an absolute link to a relative one.
   fs::create_symlink("real/wall.tvsx", folder / "relative.tvsx");
   fs::create_symlink(folder / "relative.tvsx", folder / "wall.tvsx");
   ASSERT_TRUE(file::write_atomically(folder / "wall.tvsx", "new"));
   EXPECT_TRUE(fs::is_symlink(folder / "wall.tvsx"));
   EXPECT_TRUE(fs::is_symlink(folder / "relative.tvsx"));
   EXPECT_EQ(read_all(real), "new");
   EXPECT_EQ(permission_bits(real), 0600);

   // A dangling link makes the file it names.
   fs::create_symlink("real/made.tvsx", folder / "dangling.tvsx");
   ASSERT_TRUE(file::write_atomically(folder / "dangling.tvsx", "made"));
   EXPECT_TRUE(fs::is_symlink(folder / "dangling.tvsx"));
   EXPECT_EQ(read_all(folder / "real" / "made.tvsx"), "made");
   EXPECT_EQ(entries_in(folder / "real"), 2);

   // Links in a loop are refused, and stay.
   fs::create_symlink("loop-b", folder / "loop-a");
   fs::create_symlink("loop-a", folder / "loop-b");
   const outcome<file::written> result = file::write_atomically(folder / "loop-a", "x");
   EXPECT_FALSE(result);
   EXPECT_NE(result.error().find("symbolic links"), string_base::npos) << result.error();
   EXPECT_TRUE(fs::is_symlink(folder / "loop-a"));
   EXPECT_EQ(entries_in(folder), 6);
   fs::remove_all(folder);
}

namespace
{

struct owner_and_group
{
   uid_t m_uid;
   gid_t m_gid;
   bool operator==(const owner_and_group &) const = default;
};

owner_and_group owner_of(const fs::path & path)
{
   struct stat st = {};
   ::stat(path.c_str(), &st);
   return {st.st_uid, st.st_gid};
}

// Ids that no account of a test machine uses.
constexpr uid_t other_user = 64011;
constexpr uid_t saving_user = 64012;
constexpr gid_t shared_group = 64013;

} // namespace

TEST(AtomicFile, KeepsOwnerAndGroupAndSaysWhatTheSystemDidNotLetItKeep)
{
   if (::geteuid() != 0)
   {
      GTEST_SKIP() << "giving files to other users needs the administrator";
   }
   const fs::path folder = fresh_folder("atomic-owner");
   fs::permissions(folder, fs::perms::all);
   const fs::path target = folder / "theirs.tvsx";
   ASSERT_TRUE(file::write_atomically(target, "old"));
   ASSERT_EQ(::chown(target.c_str(), other_user, shared_group), 0);
   ::chmod(target.c_str(), 0600);

   // The administrator saving a user's private file leaves it theirs.
   outcome<file::written> result = file::write_atomically(target, "by the administrator");
   ASSERT_TRUE(result);
   EXPECT_TRUE(result->m_strNotice.empty()) << result->m_strNotice;
   EXPECT_EQ(owner_of(target), (owner_and_group{other_user, shared_group}));
   EXPECT_EQ(permission_bits(target), 0600);

   // Another user of the shared group saves it: the owner cannot be kept, the group is.
   ::chmod(target.c_str(), 0664);
   const pid_t child = ::fork();
   ASSERT_GE(child, 0);
   if (child == 0)
   {
      const gid_t groups[] = {shared_group};
      if (::setgroups(1, groups) != 0 || ::setgid(saving_user) != 0 || ::setuid(saving_user) != 0)
      {
         ::_exit(2);
      }
      const outcome<file::written> saved = file::write_atomically(target, "by a colleague");
      const owner_and_group now = owner_of(target);
      const bool bTold = saved && saved->m_strNotice == "it now belongs to 64012 instead of 64011 (only the administrator may give a file to "
                                              "another user, or to a group one is not in)";
      ::_exit(saved && bTold && now == owner_and_group{saving_user, shared_group} && permission_bits(target) == 0664 ? 0 : 1);
   }
   int iStatus = 0;
   ASSERT_EQ(::waitpid(child, &iStatus, 0), child);
   EXPECT_TRUE(WIFEXITED(iStatus) && WEXITSTATUS(iStatus) == 0) << "status " << iStatus;
   EXPECT_EQ(read_all(target), "by a colleague");
   fs::remove_all(folder);
}

namespace
{

// The record folder of saves in place, set for one test.
class record_folder
{
public:
   explicit record_folder(const fs::path & folder) : m_folder(folder) { file::set_in_place_record_folder(folder); }
   ~record_folder() { file::set_in_place_record_folder({}); }
   record_folder(const record_folder &) = delete;
   record_folder & operator=(const record_folder &) = delete;

   const fs::path & path() const noexcept { return m_folder; }

private:
   fs::path m_folder;
};

ino_t inode_of(const fs::path & path)
{
   struct stat st = {};
   ::stat(path.c_str(), &st);
   return st.st_ino;
}

} // namespace

TEST(AtomicFile, AFileOfSeveralNamesStaysOneFileThatEveryNameSeesSaved)
{
   const fs::path folder = fresh_folder("atomic-hard-link");
   const record_folder records(folder / "records");
   const fs::path a = folder / "a.tvsx";
   const fs::path b = folder / "other" / "b.tvsx";
   fs::create_directories(b.parent_path());
   ASSERT_TRUE(file::write_atomically(a, "the first version, the longest of all"));
   fs::permissions(a, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
   fs::create_hard_link(a, b);
   fs::create_symlink("a.tvsx", folder / "link.tvsx");
   const ino_t inode = inode_of(a);

   // Shorter, longer, through the other name, through a symbolic link, and streamed with a gap.
   for (const auto & [target, text] : {std::pair{a, string_base("second")}, std::pair{b, string_base("a third version, longer still than any")},
                                       std::pair{folder / "link.tvsx", string_base("fourth")}})
   {
      ASSERT_TRUE(file::write_atomically(target, text));
      EXPECT_EQ(read_all(a), text);
      EXPECT_EQ(read_all(b), text);
   }
   {
      file::atomic_file out(b);
      out.write("fifth", 5);
      out.write_at(7, "!", 1);
      ASSERT_TRUE(out.commit());
   }
   EXPECT_EQ(read_all(a), string_base("fifth\0\0!", 8));
   EXPECT_EQ(inode_of(a), inode);
   EXPECT_EQ(inode_of(b), inode);
   EXPECT_TRUE(fs::is_symlink(folder / "link.tvsx"));
   EXPECT_EQ(permission_bits(a), 0640);
   EXPECT_EQ(entries_in(records.path()), 0) << "the content and the record go with the save";
   EXPECT_EQ(entries_in(folder), 4);

   // Without a record folder the file is left as it is, rather than split from its other names.
   file::set_in_place_record_folder({});
   const outcome<file::written> refused = file::write_atomically(a, "split");
   EXPECT_FALSE(refused);
   EXPECT_NE(refused.error().find("it has 2 names (hard links)"), string_base::npos) << refused.error();
   EXPECT_EQ(read_all(b), string_base("fifth\0\0!", 8));
   EXPECT_EQ(inode_of(a), inode);
   fs::remove_all(folder);
}

TEST(AtomicFile, ASaveKilledWhileRewritingAFileOfSeveralNamesIsFinishedOrKeptAtTheNextStart)
{
   const fs::path folder = fresh_folder("atomic-cut-short");
   const record_folder records(folder / "records");
   const fs::path a = folder / "wall.tvsx";
   const fs::path b = folder / "copy.tvsx";
   const string_base strOld(4 << 20, 'o');
   const string_base strNew(3 << 20, 'n');
   ASSERT_TRUE(file::write_atomically(a, strOld));
   fs::create_hard_link(a, b);

   const int iStatus = save_killed_midway(a, strNew);
   ASSERT_TRUE(WIFSIGNALED(iStatus) && WTERMSIG(iStatus) == SIGXFSZ) << "status " << iStatus;
   const string_base strCut = read_all(b);
   ASSERT_EQ(strCut, strNew.substr(0, 1 << 20) + strOld.substr(1 << 20));
   ASSERT_EQ(entries_in(records.path()), 2);

   // While a save still runs, its lock on the content keeps a start from finishing it.
   fs::path content;
   for (const auto & entry : fs::directory_iterator(records.path()))
   {
      content = entry.path().string().ends_with("content") ? entry.path() : content;
   }
   const int fdHeld = ::open(content.c_str(), O_RDONLY);
   ASSERT_EQ(::flock(fdHeld, LOCK_EX | LOCK_NB), 0);
   EXPECT_TRUE(file::finish_interrupted_saves().empty());
   ::close(fdHeld);

   std::vector<file::interrupted_save> saves = file::finish_interrupted_saves();
   ASSERT_EQ(saves.size(), 1u);
   EXPECT_TRUE(saves[0].is_finished());
   EXPECT_EQ(saves[0].m_pathTarget.as_string(), a.string());
   EXPECT_EQ(read_all(a), strNew);
   EXPECT_EQ(read_all(b), strNew);
   EXPECT_EQ(entries_in(records.path()), 0);

   // Another file took the name since: what was saved is kept under that name, and told.
   const string_base strNewer(3 << 20, 'N');
   ASSERT_TRUE(WIFSIGNALED(save_killed_midway(a, strNewer)));
   fs::remove(a);
   ASSERT_TRUE(file::write_atomically(a, "another file"));
   saves = file::finish_interrupted_saves();
   ASSERT_EQ(saves.size(), 1u);
   EXPECT_FALSE(saves[0].is_finished());
   EXPECT_EQ(saves[0].m_strWhy, "another file has taken its name since");
   EXPECT_EQ(saves[0].m_pathKept.as_string(), (records.path() / "wall.tvsx").string());
   EXPECT_EQ(read_all(records.path() / "wall.tvsx"), strNewer);
   EXPECT_EQ(read_all(a), "another file");
   EXPECT_EQ(entries_in(records.path()), 1);
   EXPECT_TRUE(file::finish_interrupted_saves().empty()) << "told once";
   fs::remove_all(folder);
}
