// The whole program in this process on the headless backend, timed by what a
// player waits for:
//  - start-up: from the program's start to the first frame of the main menu,
//    without the frames of the screens that wait (the logo's fixed time, the
//    sound question and the title, which wait for the clock or a touch);
//  - a frame of a match: a loop turn while the player aims (table, balls, aim
//    guide, HUD and panels), with the small ball view open or closed.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameStates.h"
#include "platform/brew/ApplicationImpl.h"
#include "wince/layer.h"
#include "wince/windows.h"
#include "windows_brew/Host.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Taps that answer the sound question and pass the title.
constexpr const char* kToMainMenu =
    "9000 down 118 135\n9100 up 118 135\n"
    "11000 down 120 200\n11100 up 120 200\n";

struct Run {
  // Called after every frame with the game's state; returns false to close.
  std::function<bool(cGame&, double frameSeconds)> onFrame;
};

// Runs the program under `script`; the frame callback sees each frame's wall
// time. Returns false when the program could not start or ended by itself.
bool runProgram(const std::string& script, const Run& run) {
  const std::string data = KV_BENCH_DATA;
  const fs::path dir = fs::temp_directory_path() / ("kv_frame_bench_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  { std::FILE* f = std::fopen((dir / "script.txt").c_str(), "w"); std::fputs(script.c_str(), f); std::fclose(f); }
  const std::string write = (dir / "write").string(), scriptPath = (dir / "script.txt").string();
  wince::Options options;
  options.backend = wince::BackendKind::Headless;
  options.dataDir = data;
  options.writeDir = write;
  options.scriptPath = scriptPath;
  options.frames = 100000;
  static const bool registered = (registerApplet(), true);
  (void)registered;
  bool closed = false;
  Clock::time_point last = Clock::now();
  wince::throwOnExit();
  if (!wince::start(options)) return false;
  // After start, which begins with a fresh layer.
  wince::setFrameHook([&](uint64_t, const uint16_t*) {
    const Clock::time_point now = Clock::now();
    const double dt = std::chrono::duration<double>(now - last).count();
    last = now;
    cGame* g = getGame();
    if (!closed && g && !run.onFrame(*g, dt)) {
      closed = true;
      PostMessageW(wince::mainWindow(), WM_CLOSE, 0, 0);
    }
  });
  std::fflush(stdout);
  const int saved = ::dup(1);
  const int null = ::open("/dev/null", O_WRONLY);
  ::dup2(null, 1);
  last = Clock::now();
  try {
    static int instance;
    char16_t commandLine[1] = {0};
    WinMain(reinterpret_cast<HINSTANCE>(&instance), nullptr, commandLine, SW_SHOW);
  } catch (const wince::ExitRequest&) {
  }
  std::fflush(stdout);
  ::dup2(saved, 1);
  ::close(saved);
  ::close(null);
  wince::stop();
  wince::reset(false);
  fs::remove_all(dir);
  return closed;
}

bool haveData() { return fs::exists(std::string(KV_BENCH_DATA) + "/i.bar"); }

void BM_StartUpToMainMenu(benchmark::State& state) {
  if (!haveData()) return state.SkipWithError("no built data set");
  for (auto _ : state) {
    double seconds = 0;
    int frames = 0;
    Run run;
    run.onFrame = [&](cGame& g, double dt) {
      const int s = g.s_gameState;
      // The first frame carries the program's own start (window, archives).
      if (frames++ == 0 || s == k_stateLoadInit || s == k_stateMainMenuLoading || s == k_stateMainMenu)
        seconds += dt;
      return s != k_stateMainMenu;
    };
    if (!runProgram(kToMainMenu, run)) {
      return state.SkipWithError("the main menu was not reached");
    }
    state.SetIterationTime(seconds);
    state.counters["frames"] = frames;
  }
}
BENCHMARK(BM_StartUpToMainMenu)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
