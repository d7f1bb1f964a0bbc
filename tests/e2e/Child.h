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
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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

// A save image as hex digits, one line of a test's record of images.
inline std::string hexOf(const std::string& bytes) {
  static const char* hex = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(hex[c >> 4]);
    out.push_back(hex[c & 15]);
  }
  return out;
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

// The built program itself, started as a user would on the headless
// backend.
const fs::path kProgram = fs::path(KV_BINARY_DIR) / "korvane";

struct Outcome {
  int code = -1;  // the exit code, -1 when it did not exit by itself
  std::string output, errors;
  double seconds = 0;
};

// The program on `data` for at most `frames` frames, writing to work/write,
// with `script` as its stylus script and `extra` options. A run that does
// not end by itself within five minutes is killed (code -1).
inline Outcome runProgram(const fs::path& data, const fs::path& work, uint64_t frames, const std::string& script = "",
                          const std::string& extra = "") {
  fs::remove_all(work / "write");
  fs::create_directories(work / "write");
  writeFile(work / "script.txt", script);
  std::ostringstream command;
  command << "timeout -s KILL 300 '" << kProgram.string() << "' --backend=headless --data '" << data.string()
          << "' --write '" << (work / "write").string() << "' --frames " << frames << " --script '"
          << (work / "script.txt").string() << "' " << extra << " > '" << (work / "output.txt").string() << "' 2> '"
          << (work / "errors.txt").string() << "'";
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.str().c_str());
  Outcome o;
  o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  o.code = WIFEXITED(status) && WEXITSTATUS(status) != 128 + SIGKILL ? WEXITSTATUS(status) : -1;
  o.output = readFile(work / "output.txt");
  o.errors = readFile(work / "errors.txt");
  return o;
}

}  // namespace child
