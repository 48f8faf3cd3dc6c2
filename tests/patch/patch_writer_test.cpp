#include "patch/patch_writer.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <thread>

#include "io/atomic_file.hpp"
#include "patch/patch_file.hpp"
#include "patch_fixtures.hpp"
#include "sheet/sheet_file.hpp"
#include "support/failure_access.hpp"
#include "support/file_io.hpp"
#include "support/trace.hpp"

namespace kavelin::patch {
namespace {

using namespace ::kavelin::testing;

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

using io::AtomicBatch;
using io::WriteFileAtomically;
using test_support::Listing;
using test_support::ReadAll;
using test_support::WriteAll;

// Runs `body` in a child process and returns its exit code. As root, the child first
// becomes an ordinary user, so that folder permissions apply to it.
int InChild(const std::function<int()>& body, bool unprivileged = false) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Leaves a folder readable and searchable by everyone but writable by no one.
void MakeReadOnly(const fs::path& folder) {
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read |
                              fs::perms::others_exec);
}

// Runs `body` in a child whose files may not grow past 4 KB, as a disk that fills up
// part-way; the write then fails instead of the process being killed.
int InChildWithFileSizeLimit(const std::function<int()>& body) {
  return InChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    return body();
  });
}

class PatchWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::permissions(folder_, fs::perms::all);  // reachable by the unprivileged child
    templateImage_ = testing::StripedTemplate(folder_ / "hero.gif");
    WriteAll(templateImage_.path, {'G', 'I', 'F'});
  }
  void TearDown() override {
    // Restored so that the folder's removal can reach everything in it.
    fs::permissions(folder_, fs::perms::owner_all);
  }
  WriteResult Write(const sheet::CharacterSheet& s = {}) {
    return WritePatchFile(s, codes_, templateImage_);
  }
  fs::path Patch() const { return folder_ / "hero.k7p"; }
  // For a child process: 0 when the write fails and the message gives `reason`.
  int FailsWith(std::u16string_view reason) {
    const auto r = Write();
    const bool failed = !r.Ok() && MessageOf(r).find(reason) != std::u16string::npos;
    return failed ? 0 : 1;
  }

  test_support::TempFolder temp_;
  const fs::path& folder_ = temp_.Path();
  text::CodeTable codes_;
  image::TemplateImage templateImage_;
};

TEST_F(PatchWriter, WritesBesideTheTemplateAndReplacesAnOlderPatchWhole) {
  WriteAll(Patch(), Bytes(20000, 0xAA));  // older and longer
  const auto result = Write();
  ASSERT_TRUE(result.Ok()) << std::string(MessageOf(result).begin(), MessageOf(result).end());
  EXPECT_EQ(OutputOf(result), Patch());
  const Bytes first = ReadAll(Patch());
  EXPECT_EQ(first.size(), 7158u);
  EXPECT_TRUE(Write().Ok());
  EXPECT_EQ(ReadAll(Patch()), first);
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.gif", "hero.k7p"}));
}

TEST_F(PatchWriter, AMissingFolderFailsCleanly) {
  templateImage_.path = folder_ / "gone" / "hero.gif";
  const auto result = Write();
  EXPECT_FALSE(result.Ok());
  EXPECT_NE(MessageOf(result).find(u"フォルダが見つかりません。"), std::u16string::npos);
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.gif"}));
}

TEST_F(PatchWriter, AReadOnlyFolderKeepsTheOldPatch) {
  const Bytes old(9000, 0x11);
  WriteAll(Patch(), old);
  MakeReadOnly(folder_);
  const int code =
      InChild([&] { return FailsWith(u"書き込みが許可されていません。"); }, /*unprivileged=*/true);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadAll(Patch()), old);
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.gif", "hero.k7p"}));
}

TEST_F(PatchWriter, ADiskThatFillsPartWayKeepsTheOldPatch) {
  const Bytes old(3000, 0x22);
  WriteAll(Patch(), old);
  const int code =
      InChildWithFileSizeLimit([&] { return FailsWith(u"ファイルサイズの上限を超えました。"); });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadAll(Patch()), old);
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.gif", "hero.k7p"}));
}

TEST_F(PatchWriter, NeverReplacesTheTemplateItself) {
  const fs::path k7pTemplate = folder_ / "hero.k7p";
  WriteAll(k7pTemplate, {'B', 'M', 1, 2, 3});
  templateImage_.path = k7pTemplate;
  const auto result = Write();
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(ReadAll(k7pTemplate), (Bytes{'B', 'M', 1, 2, 3}));
  // Also when the explicit output names it by another spelling.
  templateImage_.path = folder_ / "hero.gif";
  const auto viaOutput = WritePatchFile({}, codes_, templateImage_,
                                        {.output = folder_ / "." / "hero.gif", .sync = false});
  EXPECT_FALSE(viaOutput.Ok());
  EXPECT_EQ(ReadAll(folder_ / "hero.gif"), (Bytes{'G', 'I', 'F'}));
}

TEST_F(PatchWriter, AFolderInTheWayIsReportedAndKept) {
  fs::create_directory(Patch());
  WriteAll(Patch() / "inside", {1});
  const auto result = Write();
  EXPECT_FALSE(result.Ok());
  EXPECT_TRUE(fs::is_directory(Patch()));
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.gif", "hero.k7p"}));
}

TEST_F(PatchWriter, ASheetThatCannotBeWrittenLeavesTheOldPatch) {
  WriteAll(Patch(), {7, 7, 7});
  sheet::CharacterSheet s;
  s.name = u"ABC";  // skipped the error pass: not widened
  EXPECT_FALSE(Write(s).Ok());
  EXPECT_EQ(ReadAll(Patch()), (Bytes{7, 7, 7}));
}

TEST(AtomicFile, KeepsThePermissionsOfAReplacedFile) {
  const test_support::TempFolder temp;
  const fs::path p = temp / "hero.k7p";
  WriteAll(p, {1});
  fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(WriteFileAtomically(p, Bytes{1, 2, 3}, false).Ok());
  EXPECT_EQ(fs::status(p).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(ReadAll(p), (Bytes{1, 2, 3}));
}

// Killing a writer part-way. The child is traced and killed at one system-call stop
// (entry and exit counted apart), so that every step of a write is a kill point in turn.

enum class Kill { kKilled, kFinished, kUntraceable };

Kill KillAtSyscallStop(const std::function<void()>& write, int stop) {
#if KAVELIN_CAN_TRACE
  test_support::TraceHooks hooks;
  hooks.killAtStop = stop;
  switch (test_support::TraceChild(
              [&] {
                write();
                return 0;
              },
              hooks)
              .end) {
    case test_support::TraceEnd::kUntraceable:
      return Kill::kUntraceable;
    case test_support::TraceEnd::kKilledByTracer:
      return Kill::kKilled;
    default:
      return Kill::kFinished;
  }
#else
  static_cast<void>(write);
  static_cast<void>(stop);
  return Kill::kUntraceable;
#endif
}

// The hidden temporaries a killed writer may leave.
std::vector<std::string> Temporaries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& name : Listing(folder)) {
    if (name.starts_with(".kavelin-")) names.push_back(name);
  }
  return names;
}

struct KillTally {
  int oldKept = 0, newComplete = 0, leftovers = 0;
};

// Writes `fresh` over `old` at `target` once per kill point, until a write runs to its
// end. After every kill the target holds exactly the old or exactly the new bytes.
// Nothing when this system does not let a process trace its child.
std::optional<KillTally> KillAtEveryStep(const fs::path& target, const Bytes& old,
                                         const Bytes& fresh, const std::function<bool()>& write) {
  KillTally tally;
  for (int stop = 1;; ++stop) {
    WriteAll(target, old);
    const Kill kill = KillAtSyscallStop([&] { write(); }, stop);
    if (kill == Kill::kUntraceable) return std::nullopt;
    const Bytes now = ReadAll(target);
    EXPECT_TRUE(now == old || now == fresh) << "a mix after a kill at stop " << stop;
    if (kill == Kill::kFinished) {
      EXPECT_EQ(now, fresh);
      EXPECT_TRUE(Temporaries(target.parent_path()).empty());
      return tally;
    }
    ++(now == old ? tally.oldKept : tally.newComplete);
    const auto left = Temporaries(target.parent_path());
    EXPECT_LE(left.size(), 1u) << "at stop " << stop;
    tally.leftovers += static_cast<int>(left.size());
    for (const auto& name : left)
      fs::remove(target.parent_path() / name);
    if (stop > 5000) {
      ADD_FAILURE() << "the write never finished";
      return tally;
    }
  }
}

// The same with a kill after a random delay, many times over, as a user's kill would.
void KillAfterRandomDelays(const fs::path& target, const Bytes& old, const Bytes& fresh,
                           const std::function<bool()>& write, int rounds) {
  std::mt19937 random(20240611);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(InChild([&] { return write() ? 0 : 1; }), 0);
  const auto micros = std::max<long long>(50, std::chrono::duration_cast<std::chrono::microseconds>(
                                                  std::chrono::steady_clock::now() - start)
                                                  .count());
  for (int round = 0; round < rounds; ++round) {
    WriteAll(target, old);
    const pid_t pid = fork();
    if (pid == 0) _exit(write() ? 0 : 1);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % (2 * micros)));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    const Bytes now = ReadAll(target);
    ASSERT_TRUE(now == old || now == fresh) << "a mix in round " << round;
    for (const auto& name : Temporaries(target.parent_path()))
      fs::remove(target.parent_path() / name);
  }
}

class KilledPatchWriter : public PatchWriter {
 protected:
  void SetUp() override {
    PatchWriter::SetUp();
    sheet_ = testing::FullSheet();
    sheet_.name = u"アルト";
    sheet_.comment = std::u16string(40000, u'あ');  // long enough to be cut mid-write
    written_ = ValueOf(BuildPatchBytes(sheet_, codes_, templateImage_));
    ASSERT_FALSE(written_.empty());
  }
  bool WriteSheetPatch() { return WritePatchFile(sheet_, codes_, templateImage_).Ok(); }
  sheet::CharacterSheet sheet_;
  Bytes written_;
};

TEST_F(KilledPatchWriter, EveryKillPointLeavesTheOldPatchOrTheWholeNewOne) {
  KAVELIN_SKIP_IN_WEB_BUILD("child processes");
  const auto tally =
      KillAtEveryStep(Patch(), Bytes(9000, 0x33), written_, [&] { return WriteSheetPatch(); });
  // CI must prove every kill point, so there a system that forbids tracing fails the test.
  if (!tally && std::getenv("CI") != nullptr)
    FAIL() << "CI is set, but this system does not allow tracing a child";
  if (!tally) GTEST_SKIP() << "this system does not allow tracing a child";
  RecordProperty("oldKept", tally->oldKept);
  RecordProperty("newComplete", tally->newComplete);
  RecordProperty("leftovers", tally->leftovers);
  // The kill points must straddle the rename, or the test proved nothing.
  EXPECT_GT(tally->oldKept, 0);
  EXPECT_GT(tally->newComplete, 0);
  EXPECT_GT(tally->leftovers, 0);
}

TEST_F(KilledPatchWriter, KillsAfterRandomDelaysNeverMixTheFiles) {
  KAVELIN_SKIP_IN_WEB_BUILD("child processes");
  KillAfterRandomDelays(
      Patch(), Bytes(9000, 0x33), written_, [&] { return WriteSheetPatch(); }, 60);
}

TEST_F(KilledPatchWriter, OnlyStaleTemporariesOfItsOwnAreSwept) {
  KAVELIN_SKIP_IN_WEB_BUILD("child processes");
  const auto make = [&](const std::string& name, bool stale) {
    WriteAll(folder_ / name, {1, 2, 3});
    if (stale) {
      const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
      fs::last_write_time(folder_ / name, old);
    }
  };
  // The number of a process that has ended, and of two that are running.
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  const std::string gone = std::to_string(ended), self = std::to_string(getpid());
  const std::string parent = std::to_string(getppid());
  make(".kavelin-" + gone + "-0-456789.tmp", true);  // left by a killed writer: removed
  make(".kavelin-" + gone + "-3-5.tmp", false);      // may belong to a write elsewhere: kept
  make(".kavelin-" + self + "-7-1.tmp", true);       // staged by this process: kept
  make(".kavelin-" + parent + "-7-1.tmp", true);     // its writer still runs: kept
  make(".kavelin-x-0-456789.tmp", true);             // not our pattern: kept
  make(".kavelin-123-0-456789.tmp.bak", true);
  make("notes.tmp", true);
  fs::create_directory(folder_ / ".kavelin-1-2-3.tmp");
  fs::last_write_time(folder_ / ".kavelin-1-2-3.tmp",
                      fs::file_time_type::clock::now() - std::chrono::hours(1));
  ASSERT_TRUE(WriteSheetPatch());
  std::vector<std::string> kept = {".kavelin-1-2-3.tmp",
                                   ".kavelin-123-0-456789.tmp.bak",
                                   ".kavelin-" + gone + "-3-5.tmp",
                                   ".kavelin-" + parent + "-7-1.tmp",
                                   ".kavelin-" + self + "-7-1.tmp",
                                   ".kavelin-x-0-456789.tmp",
                                   "hero.gif",
                                   "hero.k7p",
                                   "notes.tmp"};
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(Listing(folder_), kept);
}

// Saving a sheet file goes through the same door; the whole matrix again.
class SheetSaving : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::permissions(folder_, fs::perms::all);
    sheet::SheetDocument document;
    document.sheet = testing::FullSheet();
    document.paletteSwaps = {{4, 5}};
    document.sheet.comment = std::u16string(3000, u'字');  // several KB of UTF-8
    const std::string json = sheet::WriteSheetFile(document);
    fresh_.assign(json.begin(), json.end());
    WriteAll(Sheet(), old_);
  }
  void TearDown() override {
    // Restored so that the folder's removal can reach everything in it.
    fs::permissions(folder_, fs::perms::owner_all);
  }
  fs::path Sheet() const { return folder_ / "hero.json"; }
  bool Save() const { return WriteFileAtomically(Sheet(), fresh_).Ok(); }

  test_support::TempFolder temp_;
  const fs::path& folder_ = temp_.Path();
  Bytes old_ = Bytes{'{', '}', '\n'};
  Bytes fresh_;
};

TEST_F(SheetSaving, MissingFolderFailsWithoutCreatingAnything) {
  const auto result = WriteFileAtomically(folder_ / "gone" / "hero.json", fresh_);
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(ErrorOf(result), ENOENT);
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.json"}));
}

TEST_F(SheetSaving, ReadOnlyFolderKeepsTheOldSheet) {
  MakeReadOnly(folder_);
  const int code = InChild(
      [&] {
        const auto r = WriteFileAtomically(Sheet(), fresh_);
        return !r.Ok() && ErrorOf(r) == EACCES ? 0 : 1;
      },
      /*unprivileged=*/true);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadAll(Sheet()), old_);
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.json"}));
}

TEST_F(SheetSaving, FileSizeLimitPartWayKeepsTheOldSheet) {
  ASSERT_GT(fresh_.size(), 4096u);
  const int code = InChildWithFileSizeLimit([&] {
    const auto r = WriteFileAtomically(Sheet(), fresh_);
    return !r.Ok() && ErrorOf(r) == EFBIG ? 0 : 1;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadAll(Sheet()), old_);
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.json"}));
}

TEST_F(SheetSaving, EveryKillPointLeavesTheOldSheetOrTheWholeNewOne) {
  const auto tally = KillAtEveryStep(Sheet(), old_, fresh_, [&] { return Save(); });
  // CI must prove every kill point, so there a system that forbids tracing fails the test.
  if (!tally && std::getenv("CI") != nullptr)
    FAIL() << "CI is set, but this system does not allow tracing a child";
  if (!tally) GTEST_SKIP() << "this system does not allow tracing a child";
  RecordProperty("oldKept", tally->oldKept);
  RecordProperty("newComplete", tally->newComplete);
  RecordProperty("leftovers", tally->leftovers);
  EXPECT_GT(tally->oldKept, 0);
  EXPECT_GT(tally->newComplete, 0);
}

TEST_F(SheetSaving, KillsAfterRandomDelaysNeverMixTheFiles) {
  KillAfterRandomDelays(
      Sheet(), old_, fresh_, [&] { return Save(); }, 60);
}

}  // namespace
}  // namespace kavelin::patch

namespace kavelin::patch {
namespace {
using io::AtomicBatch;

class Batch : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i)
      WriteAll(File(i), {static_cast<std::uint8_t>(i)});
  }
  fs::path File(int i) const {
    return folder_ / std::string("p").append(std::to_string(i)).append(".k7p");
  }

  test_support::TempFolder temp_;
  const fs::path& folder_ = temp_.Path();
};

TEST_F(Batch, NothingIsReplacedBeforeCommitAndAnAbandonedBatchLeavesNoTrace) {
  {
    AtomicBatch batch;
    for (int i = 0; i < 3; ++i)
      ASSERT_TRUE(batch.Stage(File(i), Bytes(5000, 0xEE)).Ok());
    EXPECT_EQ(batch.Size(), 3u);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(ReadAll(File(i)), Bytes{static_cast<std::uint8_t>(i)});
  }
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"p0.k7p", "p1.k7p", "p2.k7p"}));
}

TEST_F(Batch, CommitReplacesEveryFileAndReportsEachFailure) {
  fs::remove(File(1));
  AtomicBatch batch;
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(batch.Stage(File(i), Bytes(100, static_cast<std::uint8_t>(10 + i))).Ok());
  fs::create_directory(File(1));  // in the way once the batch commits
  const auto results = batch.Commit();
  ASSERT_EQ(results.size(), 3u);
  EXPECT_TRUE(results[0].result.Ok());
  EXPECT_FALSE(results[1].result.Ok());
  EXPECT_EQ(ErrorOf(results[1].result), EISDIR);
  EXPECT_EQ(results[1].target, File(1));
  EXPECT_TRUE(results[2].result.Ok());
  EXPECT_EQ(ReadAll(File(0)), Bytes(100, 10));
  EXPECT_EQ(ReadAll(File(2)), Bytes(100, 12));
  EXPECT_TRUE(fs::is_directory(File(1)));
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"p0.k7p", "p1.k7p", "p2.k7p"}));
  // A missing folder fails at staging, before anything is written.
  EXPECT_EQ(ErrorOf(batch.Stage(folder_ / "gone" / "x.k7p", Bytes{1})), ENOENT);
}

TEST_F(Batch, AKilledBatchLeavesEveryOldFileWhole) {
  KAVELIN_SKIP_IN_WEB_BUILD("child processes");
  const int code = InChild([&] {
    AtomicBatch batch;
    for (int i = 0; i < 3; ++i)
      if (!batch.Stage(File(i), Bytes(100, 0x77))) return 1;
    ::kill(::getpid(), SIGKILL);  // before the commit
    return 0;
  });
  EXPECT_EQ(code, 128 + SIGKILL);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadAll(File(i)), Bytes{static_cast<std::uint8_t>(i)});
}

}  // namespace
}  // namespace kavelin::patch
