// The order of a write's system calls, which decides what survives a crash of the machine:
// the new data must be on the disk before it replaces the old file, and the rename must be
// made durable after it. A killed process cannot show this, so the calls are traced.
#include "io/atomic_file.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/failure_access.hpp"
#include "support/file_io.hpp"
#include "support/trace.hpp"

namespace kavelin::io {
namespace {

using namespace ::kavelin::testing;

namespace fs = std::filesystem;
using test_support::Bytes;
using test_support::Listing;
using test_support::ReadAll;
using test_support::TempFolder;
using test_support::WriteAll;

#if KAVELIN_CAN_TRACE

struct Call {
  long number;
  unsigned long long flags;  // the flags of an open; 0 otherwise
  unsigned long long fd;     // the first argument: the descriptor of a write
  long long result = 0;      // what the call returned: the descriptor of an open
};

bool IsRename(long n) {
  return n == SYS_rename || n == SYS_renameat || n == SYS_renameat2;
}
bool IsFlush(long n) {
  return n == SYS_fsync || n == SYS_fdatasync || n == SYS_syncfs || n == SYS_sync;
}

// Runs `body` in a traced child and returns the system calls it made, in order; calls
// for which `fail` gives an errno are not made and return that error instead. Nothing
// when this system does not let a process trace its child.
std::optional<std::vector<Call>> Trace(const std::function<int()>& body, int* exitCode,
                                       const std::function<int(long)>& fail = {}) {
  std::vector<Call> calls;
  test_support::TraceHooks hooks;
  hooks.enter = [&](const test_support::SyscallEntry& c) {
    const bool opens = c.number == SYS_open || c.number == SYS_openat;
    calls.push_back(
        {c.number, opens ? (c.number == SYS_open ? c.args[1] : c.args[2]) : 0, c.args[0], 0});
    return fail ? fail(c.number) : 0;
  };
  hooks.exit = [&](long long result) {
    if (!calls.empty()) calls.back().result = result;
  };
  const auto outcome = test_support::TraceChild(body, hooks);
  if (outcome.end == test_support::TraceEnd::kUntraceable) return std::nullopt;
  *exitCode = outcome.exitCode;
  return calls;
}

std::optional<std::vector<Call>> TraceOrSkip(const std::function<int()>& body, int* exitCode,
                                             const std::function<int(long)>& fail = {}) {
  auto calls = Trace(body, exitCode, fail);
  // On CI tracing must work: a skip there would hide a broken guarantee.
  if (!calls && std::getenv("CI") != nullptr) ADD_FAILURE() << "tracing a child is not allowed";
  return calls;
}

std::ptrdiff_t First(const std::vector<Call>& calls, bool (*is)(long), std::ptrdiff_t from = 0) {
  const auto it =
      std::find_if(calls.begin() + from, calls.end(), [is](const Call& c) { return is(c.number); });
  return it == calls.end() ? -1 : it - calls.begin();
}

std::ptrdiff_t Last(const std::vector<Call>& calls, bool (*is)(long)) {
  for (auto i = static_cast<std::ptrdiff_t>(calls.size()) - 1; i >= 0; --i)
    if (is(calls[static_cast<std::size_t>(i)].number)) return i;
  return -1;
}

bool IsWrite(long n) {
  return n == SYS_write || n == SYS_pwrite64;
}

// The last write into a file the writer created; the sanitizers write to pipes of their
// own to probe memory, which is no data.
std::ptrdiff_t LastDataWrite(const std::vector<Call>& calls) {
  std::set<long long> created;
  std::ptrdiff_t last = -1;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const Call& c = calls[i];
    if ((c.number == SYS_open || c.number == SYS_openat) && (c.flags & O_CREAT) != 0)
      created.insert(c.result);
    if (IsWrite(c.number) && created.count(static_cast<long long>(c.fd)) != 0)
      last = static_cast<std::ptrdiff_t>(i);
  }
  return last;
}

// A flush of the folder: a directory opened (the writer opens it once, before anything
// else) and a flush after `from`.
bool FolderFlushedAfter(const std::vector<Call>& calls, std::ptrdiff_t from) {
  const bool folderOpened = std::any_of(calls.begin(), calls.end(), [](const Call& c) {
    return (c.number == SYS_open || c.number == SYS_openat) && (c.flags & O_DIRECTORY) != 0;
  });
  return folderOpened && First(calls, IsFlush, from) > from;
}

TEST(WriteOrder, ASingleWriteFlushesItsDataBeforeTheRenameAndTheFolderAfter) {
  TempFolder folder;
  const fs::path target = folder / "hero.k7p";
  WriteAll(target, Bytes(100, 1));
  int exitCode = -1;
  const auto calls = TraceOrSkip(
      [&] { return WriteFileAtomically(target, Bytes(7000, 2)).Ok() ? 0 : 1; }, &exitCode);
  if (!calls) GTEST_SKIP() << "this system does not allow tracing a child";
  ASSERT_EQ(exitCode, 0);
  const auto rename = First(*calls, IsRename);
  ASSERT_GE(rename, 0);
  EXPECT_EQ(Last(*calls, IsRename), rename) << "one rename for one file";
  const auto flush = First(*calls, IsFlush);
  EXPECT_GE(flush, 0) << "the data was never flushed";
  EXPECT_LT(flush, rename) << "the data must be on the disk before it replaces the old file";
  EXPECT_LT(LastDataWrite(*calls), flush) << "data written after the flush";
  EXPECT_TRUE(FolderFlushedAfter(*calls, rename)) << "the rename was never made durable";
  EXPECT_EQ(ReadAll(target), Bytes(7000, 2));
}

class TracedBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i)
      WriteAll(File(i), Bytes(10, static_cast<std::uint8_t>(i)));
  }
  fs::path File(int i) const { return folder_ / ("p" + std::to_string(i) + ".k7p"); }
  // Stages three new files and commits them; the exit code counts the files committed.
  int StageAndCommit() const {
    AtomicBatch batch;
    for (int i = 0; i < 3; ++i)
      if (!batch.Stage(File(i), Bytes(3000, 0xA0)).Ok()) return 100;
    int committed = 0;
    for (const auto& c : batch.Commit())
      committed += c.result.Ok() ? 1 : 0;
    return committed;
  }
  TempFolder folder_;
};

TEST_F(TracedBatch, FlushesEveryFileBeforeTheFirstRenameAndTheFolderAfterTheLast) {
  int exitCode = -1;
  const auto calls = TraceOrSkip([&] { return StageAndCommit(); }, &exitCode);
  if (!calls) GTEST_SKIP() << "this system does not allow tracing a child";
  ASSERT_EQ(exitCode, 3);
  const auto firstRename = First(*calls, IsRename), lastRename = Last(*calls, IsRename);
  ASSERT_GE(firstRename, 0);
  const auto flush = First(*calls, IsFlush);
  EXPECT_GE(flush, 0);
  EXPECT_LT(flush, firstRename);
  EXPECT_LT(LastDataWrite(*calls), flush);
  EXPECT_TRUE(FolderFlushedAfter(*calls, lastRename));
}

TEST_F(TracedBatch, AFailedFlushReplacesNothing) {
  // syncfs fails, and so does every file's own flush: no data is known to be on the disk.
  int exitCode = -1;
  const auto calls =
      TraceOrSkip([&] { return StageAndCommit(); }, &exitCode,
                  [](long n) { return n == SYS_syncfs || n == SYS_fsync ? EIO : 0; });
  if (!calls) GTEST_SKIP() << "this system does not allow tracing a child";
  EXPECT_EQ(exitCode, 0) << "files whose flush failed were reported as written";
  EXPECT_EQ(First(*calls, IsRename), -1);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadAll(File(i)), Bytes(10, static_cast<std::uint8_t>(i)));
  EXPECT_EQ(Listing(folder_.Path()), (std::vector<std::string>{"p0.k7p", "p1.k7p", "p2.k7p"}));
}

TEST_F(TracedBatch, WithoutSyncfsEachFileIsFlushedOnItsOwn) {
  int exitCode = -1;
  const auto calls = TraceOrSkip([&] { return StageAndCommit(); }, &exitCode,
                                 [](long n) { return n == SYS_syncfs ? ENOSYS : 0; });
  if (!calls) GTEST_SKIP() << "this system does not allow tracing a child";
  EXPECT_EQ(exitCode, 3);
  const auto firstRename = First(*calls, IsRename);
  const auto flushes = std::count_if(calls->begin(), calls->begin() + firstRename,
                                     [](const Call& c) { return c.number == SYS_fsync; });
  EXPECT_EQ(flushes, 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadAll(File(i)), Bytes(3000, 0xA0));
}

#endif  // KAVELIN_CAN_TRACE

// Nodes that are no regular file keep their kind: replacing a device or pipe with a file
// destroys it, and as root that can be a system device.
TEST(AtomicFile, RefusesToReplaceWhatIsNoRegularFile) {
  KAVELIN_SKIP_IN_WEB_BUILD("FIFOs or devices");
  TempFolder folder;
  const fs::path fifo = folder / "pipe.k7p";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const fs::path link = folder / "link.k7p";
  fs::create_symlink("/dev/null", link);
  for (const auto& [target, error] :
       {std::pair{fifo, kNotRegularFileError}, {link, kSymbolicLinkError}}) {
    const auto written = WriteFileAtomically(target, Bytes{1, 2, 3});
    EXPECT_FALSE(written.Ok());
    EXPECT_EQ(ErrorOf(written), error);
    AtomicBatch batch;
    EXPECT_EQ(ErrorOf(batch.Stage(target, Bytes{1})), error);
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  // A pipe made after staging is found just before the rename.
  const fs::path late = folder / "late.k7p";
  AtomicBatch batch;
  ASSERT_TRUE(batch.Stage(late, Bytes{4}).Ok());
  ASSERT_EQ(::mkfifo(late.c_str(), 0644), 0);
  const auto committed = batch.Commit(false);
  ASSERT_EQ(committed.size(), 1u);
  EXPECT_EQ(ErrorOf(committed[0].result), kNotRegularFileError);
  EXPECT_TRUE(fs::is_fifo(late));
  EXPECT_EQ(Listing(folder.Path()), (std::vector<std::string>{"late.k7p", "link.k7p", "pipe.k7p"}));
}

TEST(AtomicFile, SameFileSeesThroughLinksAndSpellings) {
  KAVELIN_SKIP_IN_WEB_BUILD("folder descriptors");
  TempFolder folder;
  WriteAll(folder / "a.gif", Bytes{1});
  fs::create_hard_link(folder / "a.gif", folder / "hard.gif");
  fs::create_symlink(folder / "a.gif", folder / "soft.gif");
  fs::create_directory(folder / "sub");
  EXPECT_TRUE(SameFile(folder / "a.gif", folder / "hard.gif"));
  EXPECT_TRUE(SameFile(folder / "a.gif", folder / "soft.gif"));
  EXPECT_TRUE(SameFile(folder / "a.gif", folder / "sub" / ".." / "a.gif"));
  // Files not there yet meet by their resolved names.
  EXPECT_TRUE(SameFile(folder / "new.k7p", folder / "." / "new.k7p"));
  EXPECT_TRUE(SameFile(folder / "new.k7p", folder / "sub" / ".." / "new.k7p"));
  EXPECT_FALSE(SameFile(folder / "a.gif", folder / "a.k7p"));
  EXPECT_FALSE(SameFile("", ""));
}

// Permissions: a new file gets what the umask allows; a replaced one keeps its own, less
// the bits that would make a patch a program run as its owner.
TEST(AtomicFile, NewFilesFollowTheUmaskAndReplacedOnesDropSetIdBits) {
  TempFolder folder;
  const mode_t previous = ::umask(022);
  ASSERT_TRUE(WriteFileAtomically(folder / "new.k7p", Bytes{1}, false).Ok());
  WriteAll(folder / "old.k7p", Bytes{0});
  ::chmod((folder / "old.k7p").c_str(), 06751 | S_ISVTX);
  ASSERT_TRUE(WriteFileAtomically(folder / "old.k7p", Bytes{2}, false).Ok());
  ::umask(previous);
  struct stat info {};
  ASSERT_EQ(::stat((folder / "new.k7p").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
  ASSERT_EQ(::stat((folder / "old.k7p").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0751u);
}

// A link is never replaced by a file, and its target keeps its mode: writing through it is
// the caller's choice, to LinkTarget.
TEST(AtomicFile, ALinkIsRefusedAndLinkTargetFollowsTheChain) {
  TempFolder folder;
  WriteAll(folder / "real.k7p", Bytes{9});
  ::chmod((folder / "real.k7p").c_str(), 04755);
  fs::create_symlink("real.k7p", folder / "one.k7p");
  fs::create_symlink(folder / "one.k7p", folder / "two.k7p");
  EXPECT_EQ(ErrorOf(WriteFileAtomically(folder / "two.k7p", Bytes{1}, false)), kSymbolicLinkError);
  EXPECT_TRUE(fs::is_symlink(folder / "two.k7p"));
  const fs::path target = LinkTarget(folder / "two.k7p");
  EXPECT_EQ(target, folder / "real.k7p");
  ASSERT_TRUE(WriteFileAtomically(target, Bytes{1}, false).Ok());
  EXPECT_EQ(ReadAll(folder / "two.k7p"), Bytes{1});
  EXPECT_TRUE(fs::is_symlink(folder / "one.k7p"));
  EXPECT_EQ(fs::status(folder / "real.k7p").permissions(), fs::perms(0755));
  EXPECT_EQ(LinkTarget(folder / "dangling"), folder / "dangling");
}

// A folder swapped for a link part-way through a batch: the batch opened the folder once,
// so every patch for it lands there, never in the folder the link names.
TEST(AtomicFile, ABatchCommitsIntoTheFolderItStagedInto) {
  KAVELIN_SKIP_IN_WEB_BUILD("folder descriptors");
  TempFolder folder;
  fs::create_directory(folder / "work");
  fs::create_directory(folder / "elsewhere");
  AtomicBatch batch;
  ASSERT_TRUE(batch.Stage(folder / "work" / "a.k7p", Bytes{1}).Ok());
  fs::rename(folder / "work", folder / "moved");
  fs::create_directory_symlink(folder / "elsewhere", folder / "work");
  ASSERT_TRUE(batch.Stage(folder / "work" / "b.k7p", Bytes{2}).Ok());
  const auto committed = batch.Commit(false);
  ASSERT_EQ(committed.size(), 2u);
  EXPECT_TRUE(committed[0].result.Ok() && committed[1].result.Ok());
  EXPECT_EQ(Listing(folder / "moved"), (std::vector<std::string>{"a.k7p", "b.k7p"}));
  EXPECT_EQ(Listing(folder / "elsewhere"), std::vector<std::string>{});
}

// A batch interrupted by any of the usual signals leaves no temporaries, and the process
// still ends by that signal.
TEST(AtomicFile, TheUsualSignalsRemoveStagedTemporaries) {
  KAVELIN_SKIP_IN_WEB_BUILD("child processes");
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
    SCOPED_TRACE(signal);
    TempFolder folder;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      ::close(ready[0]);
      RemoveTemporariesOnSignals();
      AtomicBatch batch;
      for (int i = 0; i < 100; ++i)  // past the first block of slots
        if (!batch.Stage(folder / ("p" + std::to_string(i) + ".k7p"), Bytes{1}).Ok()) _exit(3);
      if (::write(ready[1], "x", 1) != 1) _exit(4);
      for (;;)
        ::pause();
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(Listing(folder.Path()).size(), 100u);
    ::kill(pid, signal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_EQ(Listing(folder.Path()), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace kavelin::io
