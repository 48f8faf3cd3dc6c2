#include "cli/make_watch.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <iostream>
#include <iterator>

#include "cli/cli_support.hpp"

namespace kavelin::cli {
namespace {

// Soon enough that a save seems made at once; rare enough to cost nothing while idle.
constexpr int kPollMilliseconds = 200;

// Not an errno: the name is there but is no regular file (a folder, pipe or device).
constexpr int kNotRegularFile = -1;

// What a save changes: a write in place moves the modification time (to the nanosecond,
// so that the same bytes saved again count) or the size; a rename puts another file there.
struct FileStamp {
  int problem = 0;  // errno of the look, or kNotRegularFile; 0 when the file is there
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  long long seconds = 0;
  long nanoseconds = 0;
  bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::filesystem::path& file) {
  FileStamp stamp;
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) {
    stamp.problem = errno;
  } else if (!S_ISREG(info.st_mode)) {
    stamp.problem = kNotRegularFile;
  } else {
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.seconds = info.st_mtim.tv_sec;
    stamp.nanoseconds = info.st_mtim.tv_nsec;
  }
  return stamp;
}

std::vector<FileStamp> StampsOf(const std::vector<std::filesystem::path>& files) {
  std::vector<FileStamp> stamps;
  for (const std::filesystem::path& file : files)
    stamps.push_back(StampOf(file));
  return stamps;
}

// In the words the readers use for the same problems.
std::string ProblemText(int problem) {
  if (problem == kNotRegularFile) return Tr("not a regular file");
  if (problem == ENOENT || problem == ENOTDIR) return Tr("no such file");
  return Format(Tr("cannot be looked at: %s"), std::strerror(problem));
}

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction earlierActions[std::size(kStopSignals)];
int wakeUp = -1;
volatile std::sig_atomic_t stopSignal = 0;

// Async-signal-safe: sigaction and write only.
extern "C" void StopWatching(int signal) {
  const int saved = errno;
  if (stopSignal == 0) stopSignal = signal;
  // The make under way is finished, not cut; a second signal will not wait for it and goes
  // where it went before, which removes the temporaries and ends the process.
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
    ::sigaction(kStopSignals[i], &earlierActions[i], nullptr);
  if (::write(wakeUp, "", 1) < 0) {
    // A full pipe has a wake-up in it already.
  }
  errno = saved;
}

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = StopWatching;
  ::sigemptyset(&action.sa_mask);
  for (const int signal : kStopSignals)
    ::sigaddset(&action.sa_mask, signal);
  // A make's reads and writes go on as though nothing came; only the wait is cut short.
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    if (::sigaction(kStopSignals[i], nullptr, &earlierActions[i]) != 0) continue;
    // Ignored (nohup, a background job): it stays ignored.
    if (earlierActions[i].sa_handler == SIG_IGN) continue;
    ::sigaction(kStopSignals[i], &action, nullptr);
  }
}

}  // namespace

std::string ClockTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[16] = "??:??:??";
  if (::localtime_r(&now, &local) != nullptr) std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

int WatchSaves(const std::vector<std::filesystem::path>& files, const std::function<void()>& make) {
  // A signal wakes the wait through this pipe at once, instead of at the next poll.
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0)
    return Fail(kFailure, Format(Tr("cannot watch: %s"), std::strerror(errno)));
  for (const int end : pipeEnds)
    ::fcntl(end, F_SETFD, FD_CLOEXEC);
  ::fcntl(pipeEnds[1], F_SETFL, O_NONBLOCK);
  wakeUp = pipeEnds[1];
  CatchStopSignals();

  // Stamped before the make, so that a save during it is made afterwards.
  std::vector<FileStamp> made = StampsOf(files);
  make();
  std::string names;
  for (const std::filesystem::path& file : files)
    names = names.empty() ? Shown(file) : Format(Tr("%1$s and %2$s"), names, Shown(file));
  std::cerr << "kavelin-cli: " << Format(Tr("watching %s for saves; Ctrl+C ends"), names) << '\n';

  std::vector<FileStamp> last = made;
  std::vector<int> said(files.size(), 0);
  while (stopSignal == 0) {
    pollfd wait{pipeEnds[0], POLLIN, 0};
    ::poll(&wait, 1, kPollMilliseconds);
    if (stopSignal != 0) break;
    const std::vector<FileStamp> now = StampsOf(files);
    bool allThere = true;
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (now[i].problem != 0 && now[i].problem != said[i]) {
        std::cerr << Format(Tr("%1$s %2$s: %3$s; waiting for it"), ClockTime(), Shown(files[i]),
                            ProblemText(now[i].problem))
                  << '\n';
      }
      said[i] = now[i].problem;
      allThere = allThere && now[i].problem == 0;
    }
    // Unchanged since the last poll: the save is over, not still being written.
    const bool settled = now == last;
    last = now;
    if (allThere && settled && now != made) {
      made = now;
      make();
    }
  }
  std::cout.flush();
  // The earlier actions are back in place: the signal ends the process as it would have,
  // so that a shell or script sees the user's interruption (a shell reports 128 + signal).
  const int signal = stopSignal;
  ::raise(signal);
  return 128 + signal;
}

}  // namespace kavelin::cli
