// make --watch run in the background against saves of every kind, and ended by signals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "cli_fixture.hpp"

namespace kavelin {
namespace {

namespace fs = std::filesystem;
using test_support::ReadText;

constexpr const char* kWarningSheet =
    R"({"initialEquipment": {"enabled": true, "weapons": ["50", "FF", "51", "FF"]}})";

class MakeWatch : public test_support::ProgramFolder {
 protected:
  ~MakeWatch() override {
    if (pid_ > 0) ::kill(pid_, SIGKILL), ::waitpid(pid_, nullptr, 0);
  }
  void Start(const std::string& args, const std::string& input = "/dev/null") {
    const std::string command = "cd '" + folder_.Path().string() + "' && " + locale_ +
                                " XDG_CONFIG_HOME='" + (folder_ / "config").string() +
                                "' exec ./kavelin-cli " + args + " <'" + input +
                                "' >out.txt 2>err.txt";
    pid_ = ::fork();
    if (pid_ != 0) return;
    // As a shell starts a job in the foreground, whatever the test runner ignores.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
      ::signal(signal, SIG_DFL);
    ::execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
    ::_exit(127);
  }
  static bool Eventually(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (;; std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
      if (done()) return true;
      if (std::chrono::steady_clock::now() > until) return false;
    }
  }
  std::string Out() const { return ReadText(folder_ / "out.txt"); }
  std::string Err() const { return ReadText(folder_ / "err.txt"); }
  static std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
      ++n;
    return n;
  }
  bool Made(std::size_t times) const {
    return Eventually([&] { return Count(Out(), " made ") == times; });
  }
  bool Said(const std::string& part) const {
    return Eventually([&] { return Err().find(part) != std::string::npos; });
  }
  // The wait status, or -1 when the program did not end.
  int Ended() {
    int status = -1;
    if (!Eventually([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; })) return -1;
    pid_ = -1;
    return status;
  }
  bool NoTemporaries() const {
    for (const std::string& name : test_support::Listing(folder_.Path()))
      if (name.starts_with(".kavelin-")) return false;
    return true;
  }
  const std::string gif_ = ReadText(folder_ / "hero.gif");
  pid_t pid_ = -1;
};

// One watch through saves of every kind, on a terminal that must never be asked anything:
// each save is made once, whole; a failed make or a missing file is one line, and the
// watch goes on.
TEST_F(MakeWatch, EverySaveIsMadeOnceSettled) {
  const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
  Start("make --watch hero.gif --sheet hero.json", ::ptsname(terminal));
  ASSERT_TRUE(Made(1)) << Err();
  EXPECT_EQ(Out().substr(8), " made hero.k7p\n");
  const std::string first = ReadText(folder_ / "hero.k7p");
  // Another name, the same length in bytes; std::regex draws a false warning from g++ -O2.
  std::string other = ReadText(folder_ / "hero.json");
  const std::string heroName = "アルト";
  ASSERT_NE(other.find(heroName), std::string::npos);
  other.replace(other.find(heroName), heroName.size(), "ベルタ");
  const auto renameOver = [&](const std::string& name, const std::string& bytes) {
    struct stat old {};
    ::stat((folder_ / name).c_str(), &old);
    Write("new", bytes);
    // The same size and time: only the file in the name changes.
    const timespec times[2] = {old.st_atim, old.st_mtim};
    ::utimensat(AT_FDCWD, (folder_ / "new").c_str(), times, 0);
    fs::rename(folder_ / "new", folder_ / name);
  };
  auto longestPause = std::chrono::steady_clock::duration{};
  const struct {
    const char* how;
    std::function<void()> save;
    std::string said = {};  // empty: made once more
  } saves[] = {
      {"the same bytes again", [&] { Write("hero.gif", gif_); }},
      {"renamed over", [&] { renameOver("hero.gif", gif_); }},
      {"another sheet renamed over", [&] { renameOver("hero.json", other); }},
      {"written in pieces, each sooner than a poll",
       [&] {
         std::ofstream out(folder_ / "hero.gif", std::ios::binary | std::ios::trunc);
         for (std::size_t at = 0; at < gif_.size(); at += 128) {
           const auto before = std::chrono::steady_clock::now();
           out << gif_.substr(at, 128) << std::flush;
           std::this_thread::sleep_for(std::chrono::milliseconds(20));
           longestPause = std::max(longestPause, std::chrono::steady_clock::now() - before);
         }
       }},
      {"warnings", [&] { Write("hero.json", kWarningSheet); }, "not made: warnings not confirmed"},
      {"a broken template", [&] { Write("hero.gif", "GIF89a"); }, "hero.k7p not made: an input"},
      {"gone", [&] { fs::remove(folder_ / "hero.gif"); }, "hero.gif: no such file; waiting"},
      {"back", [&] { Write("hero.json", other), Write("hero.gif", gif_); }},
  };
  std::size_t made = 1;
  for (const auto& save : saves) {
    SCOPED_TRACE(save.how);
    save.save();
    EXPECT_TRUE(save.said.empty() ? Made(++made) : Said(save.said)) << Err();
  }
  EXPECT_TRUE(ReadText(folder_ / "hero.k7p") != first) << "the other sheet was never made";
  EXPECT_EQ(Count(Err(), "waiting"), 1u) << Err();
  // Two failures, the warnings and the broken template: none from the save written in
  // pieces, unless its writer stalled for a whole poll.
  if (longestPause < std::chrono::milliseconds(150)) {
    EXPECT_EQ(Count(Err(), "not made"), 2u) << Err();
  }
  ::close(terminal);
}

// Whenever the signal comes, waiting or making, the process ends by it, with no temporary
// left and the patch whole.
TEST_F(MakeWatch, ASignalEndsItLeavingNoTemporaries) {
  const struct {
    int signal, afterSaveMs;
    bool twice;
  } cases[] = {
      {SIGINT, 0, false}, {SIGTERM, 300, false}, {SIGHUP, 350, false}, {SIGINT, 300, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.signal) + " after " + std::to_string(c.afterSaveMs) + " ms");
    Start("make --watch hero.gif --yes");
    ASSERT_TRUE(Made(1)) << Err();
    const std::string patch = ReadText(folder_ / "hero.k7p");
    Write("hero.gif", gif_);
    // Not a wait for anything: the moment is varied so that some signals land in a make.
    std::this_thread::sleep_for(std::chrono::milliseconds(c.afterSaveMs));
    ::kill(pid_, c.signal);
    if (c.twice) ::kill(pid_, c.signal);
    const int status = Ended();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
    EXPECT_TRUE(NoTemporaries());
    EXPECT_EQ(ReadText(folder_ / "hero.k7p"), patch);
    fs::remove(folder_ / "out.txt");
  }
}

TEST_F(MakeWatch, UsageErrorsEndAtOnce) {
  ASSERT_EQ(::mkfifo((folder_ / "fifo.gif").c_str(), 0644), 0);
  const struct {
    std::string args, err;
  } cases[] = {
      {"make --watch hero.gif hero.gif", "--watch takes a single TEMPLATE"},
      {"make --watch missing.gif", "--watch: missing.gif: no such file"},
      {"make --watch fifo.gif", "--watch: fifo.gif: not a regular file"},
      {"make --watch hero.gif --sheet gone.json", "gone.json: no such file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    Start(c.args);
    const int status = Ended();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
    EXPECT_NE(Err().find(c.err), std::string::npos) << Err();
  }
  EXPECT_FALSE(fs::exists(folder_ / "hero.k7p"));
}

}  // namespace
}  // namespace kavelin
