// The whole program in a forked child process over a folder of the test's:
// write/ is its writable folder, script.txt its stylus script, log.txt its
// output. What the child has to report goes through a pipe, so that it
// arrives even when the child may write no file.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/game/program/ScriptedProgram.h"

namespace child {

namespace fs = std::filesystem;

inline fs::path freshDir(const std::string& name) {
  const fs::path dir = fs::path(KV_BINARY_DIR) / ("e2e_" + std::to_string(::getpid()) + "_" + name);
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  return dir;
}

inline std::string readFile(const fs::path& file) {
  std::ifstream f(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

inline void writeFile(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The pipe to the parent, in the child.
inline int& reportFd() {
  static int fd = -1;
  return fd;
}

// A line to the parent.
inline void report(const std::string& line) {
  const std::string text = line + "\n";
  if (reportFd() >= 0 && ::write(reportFd(), text.data(), text.size()) < 0) return;
}

struct Result {
  int status = 0;       // as waitpid gives it
  std::string report;   // the child's lines
  bool exitedWith(int code) const { return WIFEXITED(status) && WEXITSTATUS(status) == code; }
};

// Runs the program on `dir` for at most `frames` frames. In the child,
// `before` runs first (limits, another user), then the program with
// `onFrame`. With killAfterMicros the parent kills the child then.
inline Result run(const fs::path& dir, uint64_t frames, void (*before)(), scripted::FrameFn onFrame,
                  uint64_t killAfterMicros = 0, void (*onExit)() = nullptr) {
  int fds[2];
  if (::pipe(fds) != 0) return Result{-1, ""};
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    reportFd() = fds[1];
    if (!std::freopen((dir / "log.txt").c_str(), "a", stdout) || !std::freopen((dir / "log.txt").c_str(), "a", stderr))
      ::_exit(126);
    if (before) before();
    scripted::run(dir, frames, onFrame, onExit);
  }
  ::close(fds[1]);
  if (killAfterMicros) {
    std::this_thread::sleep_for(std::chrono::microseconds(killAfterMicros));
    ::kill(pid, SIGKILL);
  }
  Result r;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) r.report.append(buffer, static_cast<size_t>(n));
  ::close(fds[0]);
  ::waitpid(pid, &r.status, 0);
  return r;
}

}  // namespace child
