// A seeded random-touch soak of the whole program: random taps and drags over
// the screen, the program run headless under them. Each run must end by
// itself with code 0, and the frame count must keep rising while it runs
// (checkpoint frames are captured; a run whose next checkpoint does not come
// within the stall time is taken as hung and killed). A run that ends early
// (the random touches found the way out) is followed by the next one, which
// keeps the save the earlier runs wrote.
//
// Longer runs: KV_SOAK_SEED=<first seed> KV_SOAK_SEEDS=<how many>
// KV_SOAK_FRAMES=<frames per seed> KV_SOAK_STALL=<seconds>; KV_SOAK_KEEP=1 keeps
// each seed's folder (script, save, log, checkpoint frames).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#include "tests/DataSet.h"
#include "tests/ScaledDown.h"

namespace {

#if defined(KV_SCALED_DOWN)
constexpr uint64_t kFrames = 20000;
#else
constexpr uint64_t kFrames = 300000;
#endif
constexpr uint64_t kCheckpoint = 200;  // frames between captured checkpoints
constexpr int kWidth = 240, kHeight = 320;

namespace fs = std::filesystem;

uint64_t envNumber(const char* name, uint64_t fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtoull(v, nullptr, 0) : fallback;
}

// A stylus script of random gestures from the seed, up to lengthMs: taps
// (short or held), drags along a wobbling line, and pauses of all lengths so
// that animations and the computer's turns can run between touches. One in
// eight points lies on the screen's edge.
std::string touchScript(uint32_t seed, uint64_t lengthMs) {
  std::mt19937 rng(seed);
  auto below = [&](uint32_t n) { return static_cast<int>(rng() % n); };
  auto coord = [&](int size) {
    switch (below(16)) {
      case 0: return 0;
      case 1: return size - 1;
      default: return below(static_cast<uint32_t>(size));
    }
  };
  std::ostringstream out;
  uint64_t t = 200 + static_cast<uint64_t>(below(800));
  while (t < lengthMs) {
    int x = coord(kWidth), y = coord(kHeight);
    out << t << " down " << x << ' ' << y << '\n';
    if (below(3) == 0) {  // a drag
      const int steps = 2 + below(40);
      const int tx = coord(kWidth), ty = coord(kHeight);
      const int x0 = x, y0 = y;
      for (int i = 1; i <= steps; ++i) {
        t += 10 + static_cast<uint64_t>(below(50));
        x = std::clamp(x0 + (tx - x0) * i / steps + below(7) - 3, 0, kWidth - 1);
        y = std::clamp(y0 + (ty - y0) * i / steps + below(7) - 3, 0, kHeight - 1);
        out << t << " move " << x << ' ' << y << '\n';
      }
    }
    t += below(4) == 0 ? 300 + static_cast<uint64_t>(below(1500)) : static_cast<uint64_t>(below(150));
    out << t << " up " << x << ' ' << y << '\n';
    switch (below(10)) {
      case 0: t += 3000 + static_cast<uint64_t>(below(9000)); break;  // a long look
      case 1: case 2: case 3: t += 600 + static_cast<uint64_t>(below(2000)); break;
      default: t += static_cast<uint64_t>(below(500)); break;
    }
  }
  return out.str();
}

// The highest checkpoint frame captured so far (0 before the first).
uint64_t highestCapture(const fs::path& dir) {
  uint64_t best = 0;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec)) {
    const std::string name = e.path().filename().string();  // frame_NNNNNN.png
    if (name.rfind("frame_", 0) != 0) continue;
    best = std::max<uint64_t>(best, std::strtoull(name.c_str() + 6, nullptr, 10));
  }
  return best;
}

std::string tail(const fs::path& file, size_t bytes) {
  std::ifstream f(file, std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  return all.size() > bytes ? all.substr(all.size() - bytes) : all;
}

struct RunResult {
  bool hung = false;
  int status = 0;
  uint64_t frames = 0;  // the last checkpoint reached
};

// Runs the program under the script until it ends or stalls.
RunResult runOnce(const std::string& data, const fs::path& work, const fs::path& script, uint64_t frames,
                  double stallSeconds) {
  const fs::path capture = work / "capture";
  fs::remove_all(capture);
  fs::create_directories(capture);
  std::string checkpoints;
  for (uint64_t f = kCheckpoint; f <= frames; f += kCheckpoint) {
    if (!checkpoints.empty()) checkpoints.push_back(',');
    checkpoints.append(std::to_string(f));
  }
  std::vector<std::string> args = {std::string(KV_BINARY_DIR) + "/korvane",
                                   "--backend=headless",
                                   "--frames=" + std::to_string(frames),
                                   "--data=" + data,
                                   "--write=" + (work / "save").string(),
                                   "--script=" + script.string(),
                                   "--msgbox=ok,ok,ok,ok,ok,ok,ok,ok",
                                   "--capture=" + capture.string(),
                                   "--capture-frames=" + checkpoints};
  const fs::path log = work / "log.txt";
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (!std::freopen(log.c_str(), "w", stdout) || !std::freopen(log.c_str(), "a", stderr)) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  RunResult r;
  if (pid < 0) {
    r.status = -1;
    return r;
  }
  auto last = std::chrono::steady_clock::now();
  for (;;) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      r.status = status;
      break;
    }
    const uint64_t now = highestCapture(capture);
    if (now > r.frames) {
      r.frames = now;
      last = std::chrono::steady_clock::now();
    } else if (std::chrono::duration<double>(std::chrono::steady_clock::now() - last).count() > stallSeconds) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      r.hung = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  r.frames = std::max(r.frames, highestCapture(capture));
  return r;
}

TEST(Soak, RandomTouchesNeitherCrashNorHang) {
  const fs::path exe = fs::path(KV_BINARY_DIR) / "korvane";
  const std::string data = testdata::dataSet("info.bar");
  if (!fs::exists(exe) || data.empty()) GTEST_SKIP() << "no program or data set built";
  const uint32_t firstSeed = static_cast<uint32_t>(envNumber("KV_SOAK_SEED", 1));
  const uint64_t seeds = envNumber("KV_SOAK_SEEDS", 1);
  const uint64_t budget = envNumber("KV_SOAK_FRAMES", kFrames);
  const double stall = static_cast<double>(envNumber("KV_SOAK_STALL", 60));
  for (uint64_t s = 0; s < seeds; ++s) {
    const uint32_t seed = firstSeed + static_cast<uint32_t>(s);
    const fs::path work = fs::temp_directory_path() / ("kv_soak_" + std::to_string(getpid()) + "_" + std::to_string(seed));
    fs::remove_all(work);
    fs::create_directories(work);
    uint64_t done = 0;
    int runs = 0;
    // Each run gets its own script; a run that quits early still counts a checkpoint.
    while (done < budget && runs < 200) {
      const uint32_t runSeed = seed * 1000003u + static_cast<uint32_t>(runs);
      const uint64_t frames = budget - done;
      const fs::path script = work / "script.txt";
      std::ofstream(script) << touchScript(runSeed, frames * 34 + 1000);
      const RunResult r = runOnce(data, work, script, frames, stall);
      const std::string where = "seed " + std::to_string(seed) + " run " + std::to_string(runs) + " (script seed " +
                                std::to_string(runSeed) + ", kept in " + work.string() + ")";
      ASSERT_FALSE(r.hung) << "no new frame after checkpoint " << r.frames << " for " << stall << " s, " << where
                           << "\n" << tail(work / "log.txt", 3000);
      ASSERT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0)
          << "ended with status " << r.status << " after checkpoint " << r.frames << ", " << where << "\n"
          << tail(work / "log.txt", 6000);
      done += std::max(r.frames, kCheckpoint);
      ++runs;
    }
    std::printf("seed %u: %llu frames in %d runs\n", seed, static_cast<unsigned long long>(done), runs);
    if (!envNumber("KV_SOAK_KEEP", 0)) fs::remove_all(work);
  }
}

}  // namespace
