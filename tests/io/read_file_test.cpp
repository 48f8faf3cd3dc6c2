// The one reader every file goes through: what it refuses, and that nothing can make it wait.
#include "io/read_file.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <string>

#include "support/failure_access.hpp"
#include "support/file_io.hpp"
#include "support/trace.hpp"

namespace kavelin::io {
namespace {

using namespace ::kavelin::testing;

namespace fs = std::filesystem;
using test_support::TempFolder;
using test_support::WriteAll;

struct Case {
  const char* what;
  fs::path file;
  ReadProblem problem;
  const char* text;  // the start of ReadProblemText
};

class ReadFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteAll(folder_ / "small", std::string("hello"));
    WriteAll(folder_ / "big", std::string(101, 'x'));
    fs::create_directory(folder_ / "folder");
    ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0644), 0);
    fs::create_symlink(folder_ / "fifo", folder_ / "to-fifo");
    fs::create_symlink("loop", folder_ / "loop");
    fs::create_symlink(folder_ / "gone", folder_ / "dangling");
  }
  TempFolder folder_;
};

// Every way a name can fail to be a readable file, each with its own reason: none of them
// may block, throw or say "Success".
TEST_F(ReadFileTest, EachKindOfUnreadableFileHasItsReason) {
  KAVELIN_SKIP_IN_WEB_BUILD("FIFOs or devices");
  const Case cases[] = {
      {"missing", folder_ / "missing", ReadProblem::kNoSuchFile, "no such file"},
      {"empty name", "", ReadProblem::kNoSuchFile, "no such file"},
      {"under a file", folder_ / "small" / "x", ReadProblem::kNoSuchFile, "no such file"},
      {"dangling link", folder_ / "dangling", ReadProblem::kNoSuchFile, "no such file"},
      {"folder", folder_ / "folder", ReadProblem::kNotRegularFile, "not a regular file"},
      {"fifo", folder_ / "fifo", ReadProblem::kNotRegularFile, "not a regular file"},
      {"link to fifo", folder_ / "to-fifo", ReadProblem::kNotRegularFile, "not a regular file"},
      {"link loop", folder_ / "loop", ReadProblem::kReadFailed, "could not be read: Too many"},
      {"name too long", folder_ / std::string(300, 'n'), ReadProblem::kReadFailed,
       "could not be read: File name too long"},
      {"too large", folder_ / "big", ReadProblem::kTooLarge,
       "the file is 101 bytes, more than 100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const FileRead read = ReadFile(c.file, 100);
    EXPECT_EQ(ReadProblemOf(read), c.problem);
    EXPECT_TRUE(ValueOf(read).empty());
    EXPECT_TRUE(WhatOf(read).starts_with(c.text)) << WhatOf(read);
  }
}

TEST_F(ReadFileTest, DevicesAreRefusedWithoutBeingRead) {
  KAVELIN_SKIP_IN_WEB_BUILD("FIFOs or devices");
  // Our own nodes of /dev/zero and /dev/urandom, which never end; only root may make them.
  if (::mknod((folder_ / "zero").c_str(), S_IFCHR | 0666, makedev(1, 5)) != 0)
    GTEST_SKIP() << "making device nodes needs root";
  ASSERT_EQ(::mknod((folder_ / "urandom").c_str(), S_IFCHR | 0666, makedev(1, 9)), 0);
  for (const char* name : {"zero", "urandom"})
    EXPECT_EQ(ReadProblemOf(ReadFile(folder_ / name, 1 << 20)), ReadProblem::kNotRegularFile)
        << name;
}

TEST_F(ReadFileTest, ReadsWholeFilesAndStarts) {
  KAVELIN_SKIP_IN_WEB_BUILD("FIFOs or devices");
  const FileRead whole = ReadFile(folder_ / "small", 5);
  ASSERT_TRUE(whole);
  EXPECT_EQ(std::string(whole->begin(), whole->end()), "hello");
  const FileRead start = ReadFileStart(folder_ / "big", 3);
  ASSERT_TRUE(start);
  EXPECT_EQ(ValueOf(start).size(), 3u);
  EXPECT_EQ(ValueOf(ReadFileStart(folder_ / "small", 64)).size(), 5u);
  EXPECT_EQ(ReadProblemOf(ReadFileStart(folder_ / "fifo", 64)), ReadProblem::kNotRegularFile);
  // Files of /proc say they are empty and are not.
  const FileRead status = ReadFile("/proc/self/status", 1 << 20);
  ASSERT_TRUE(status) << WhatOf(status);
  EXPECT_GT(ValueOf(status).size(), 0u);
}

TEST_F(ReadFileTest, AFileThatMayNotBeReadSaysSo) {
  WriteAll(folder_ / "secret", std::string("x"));
  fs::permissions(folder_ / "secret", fs::perms::none);
  fs::create_directory(folder_ / "shut");
  WriteAll(folder_ / "shut" / "inside", std::string("x"));
  fs::permissions(folder_ / "shut", fs::perms::none);
  if (::geteuid() == 0) {
    // Root reads anything: what is left to show is the reason /proc gives.
    const FileRead mem = ReadFile("/proc/self/mem", 100);
    EXPECT_NE(ReadProblemOf(mem), ReadProblem::kNone);
    EXPECT_NE(WhatOf(mem), "");
  } else {
    EXPECT_EQ(ReadProblemOf(ReadFile(folder_ / "secret", 100)), ReadProblem::kNoPermission);
    const FileRead inside = ReadFile(folder_ / "shut" / "inside", 100);
    EXPECT_EQ(ReadProblemOf(inside), ReadProblem::kNoPermission) << "not 'no such file'";
    EXPECT_EQ(WhatOf(inside), "could not be read: Permission denied");
  }
  fs::permissions(folder_ / "shut", fs::perms::owner_all);
}

// The race of a name checked and then opened: a pipe put in the file's place at the last
// moment is found by what was opened, and the read returns at once.
fs::path swapTarget;
void SwapForFifo(const fs::path& file) {
  if (file != swapTarget) return;
  fs::remove(file);
  ::mkfifo(file.c_str(), 0644);
}

TEST_F(ReadFileTest, APipeSwappedInJustBeforeTheOpenIsRefusedWithoutWaiting) {
  KAVELIN_SKIP_IN_WEB_BUILD("FIFOs or devices");
  swapTarget = folder_ / "small";
  SetBeforeOpenHook(SwapForFifo);
  const FileRead read = ReadFile(swapTarget, 100);
  SetBeforeOpenHook(nullptr);
  EXPECT_EQ(ReadProblemOf(read), ReadProblem::kNotRegularFile);
  EXPECT_TRUE(fs::is_fifo(swapTarget));
}

// A file that gives fewer bytes than its size said (cut short while read, or a file of
// /sys, whose size is no promise) is not taken as the file: the reason says so, where
// the old reader said "Success".
TEST(ReadFileChanges, FewerBytesThanTheSizeAreAChangeNotASuccess) {
  const fs::path sys = "/sys/kernel/mm/transparent_hugepage/enabled";
  std::error_code error;
  if (fs::file_size(sys, error) != 4096 || error) GTEST_SKIP() << "no such file of /sys here";
  const FileRead read = ReadFile(sys, 1 << 20);
  EXPECT_EQ(ReadProblemOf(read), ReadProblem::kChanged);
  EXPECT_EQ(WhatOf(read), "changed while being read");
}

TEST(ReadFailure, NamesEveryProblem) {
  for (const ReadProblem problem : {ReadProblem::kChanged, ReadProblem::kOutOfMemory}) {
    const Failure failure = ReadFailure(problem, "f");
    EXPECT_NE(failure.what, "");
    EXPECT_EQ(ProblemOf(failure), problem);
    EXPECT_EQ(failure.file, "f");
  }
  EXPECT_EQ(ReadFailure(ReadProblem::kChanged, "f").what, "changed while being read");
  EXPECT_EQ(ReadFailure(ReadProblem::kTooLarge, "f", 0, {300, 100}).what,
            "the file is 300 bytes, more than 100 this command reads");
}

}  // namespace
}  // namespace kavelin::io
