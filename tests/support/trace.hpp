// Child processes for the tests: the one harness that traces a child's system calls (on
// Linux x86-64), failing chosen calls or killing it at a chosen stop, and the skip for
// builds that have no processes at all (the web build under node).
#pragma once

#include <gtest/gtest.h>

#include <functional>

#if defined(__linux__) && defined(__x86_64__)
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#define KAVELIN_CAN_TRACE 1
#else
#define KAVELIN_CAN_TRACE 0
#endif

// The web build runs under node, where there are no child processes, no signals between
// processes, no FIFOs or devices and no folder descriptors: a test of those skips, saying
// which. (The web edition itself reads and writes no file; it is handed bytes.)
#if defined(__EMSCRIPTEN__)
#define KAVELIN_SKIP_IN_WEB_BUILD(what) GTEST_SKIP() << "the web build has no " what
#else
#define KAVELIN_SKIP_IN_WEB_BUILD(what) static_cast<void>(0)
#endif

namespace kavelin::test_support {

#if KAVELIN_CAN_TRACE

// A system call at its entry: its number and first three arguments.
struct SyscallEntry {
  long number;
  unsigned long long args[3];
};

struct TraceHooks {
  // At each entry: an errno the call then fails with instead of being made, or 0.
  std::function<int(const SyscallEntry&)> enter;
  // At the exit of each call that was made: what it returned.
  std::function<void(long long)> exit;
  // The stop (entries and exits counted apart, from 1) at which the child is killed; 0 never.
  int killAtStop = 0;
};

enum class TraceEnd { kUntraceable, kExited, kSignalled, kKilledByTracer };

struct TraceOutcome {
  TraceEnd end;
  int exitCode = -1;  // the exit code, or 128 + the signal
};

// Runs `body` in a traced child. kUntraceable when this system does not let a process
// trace its child.
inline TraceOutcome TraceChild(const std::function<int()>& body, const TraceHooks& hooks = {}) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) _exit(77);
    raise(SIGSTOP);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) return {TraceEnd::kUntraceable};
  ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
  bool entry = true;
  int failWith = 0;
  int pass = 0;  // a signal the child got that is not ours to swallow
  for (int stop = 1;;) {
    ptrace(PTRACE_SYSCALL, pid, nullptr, pass);
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) return {TraceEnd::kExited, WEXITSTATUS(status)};
    if (WIFSIGNALED(status)) return {TraceEnd::kSignalled, 128 + WTERMSIG(status)};
    pass = 0;
    if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
      pass = WSTOPSIG(status);
      continue;
    }
    if (stop++ == hooks.killAtStop) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return {TraceEnd::kKilledByTracer, 128 + SIGKILL};
    }
    user_regs_struct regs{};
    ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
    if (entry) {
      const SyscallEntry call{static_cast<long>(regs.orig_rax), {regs.rdi, regs.rsi, regs.rdx}};
      failWith = hooks.enter ? hooks.enter(call) : 0;
      if (failWith != 0) {
        regs.orig_rax = static_cast<unsigned long long>(-1);  // no such call: skipped
        ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
      }
    } else if (failWith != 0) {
      regs.rax = static_cast<unsigned long long>(-failWith);
      ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
    } else if (hooks.exit) {
      hooks.exit(static_cast<long long>(regs.rax));
    }
    entry = !entry;
  }
}

#endif  // KAVELIN_CAN_TRACE

}  // namespace kavelin::test_support
