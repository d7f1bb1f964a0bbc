// The whole program in this process on the headless backend, timed by what a
// player waits for:
//  - start-up: from the program's start to the first frame of the main menu,
//    without the frames of the screens that wait (the logo's fixed time, the
//    sound question and the title, which wait for the clock or a touch), and
//    the process's CPU time in those frames (cpu_ms, every thread's);
//  - a frame of a match: a loop turn while the player aims (table, balls, aim
//    guide, HUD and panels), with the small ball view open or closed;
//  - a frame of the main menu and of the pub, waiting for a touch.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
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
  // The process's CPU time (every thread) of the frame just ended.
  double frameCpuSeconds = 0;
};

double processCpuSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs the program under `script`; the frame callback sees each frame's wall
// time. Returns false when the program could not start or ended by itself.
bool runProgram(const std::string& script, Run& run) {
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
  double lastCpu = processCpuSeconds();
  wince::throwOnExit();
  if (!wince::start(options)) return false;
  // After start, which begins with a fresh layer.
  wince::setFrameHook([&](uint64_t, const uint16_t*) {
    const Clock::time_point now = Clock::now();
    const double dt = std::chrono::duration<double>(now - last).count();
    last = now;
    const double cpu = processCpuSeconds();
    run.frameCpuSeconds = cpu - lastCpu;
    lastCpu = cpu;
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
  lastCpu = processCpuSeconds();
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
  std::vector<double> cpus;
  for (auto _ : state) {
    double seconds = 0, cpu = 0;
    int frames = 0;
    Run run;
    run.onFrame = [&](cGame& g, double dt) {
      const int s = g.states.gameState;
      // The first frame carries the program's own start (window, archives).
      if (frames++ == 0 || s == k_stateLoadInit || s == k_stateMainMenuLoading || s == k_stateMainMenu) {
        seconds += dt;
        cpu += run.frameCpuSeconds;
      }
      return s != k_stateMainMenu;
    };
    if (!runProgram(kToMainMenu, run)) {
      return state.SkipWithError("the main menu was not reached");
    }
    state.SetIterationTime(seconds);
    state.counters["frames"] = frames;
    cpus.push_back(cpu * 1e3);
  }
  // The process's CPU time (all threads) in those frames: the median run.
  std::sort(cpus.begin(), cpus.end());
  if (!cpus.empty()) state.counters["cpu_ms"] = cpus[cpus.size() / 2];
}
BENCHMARK(BM_StartUpToMainMenu)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// A quick eight-ball match by touch: the sound question, the title, quick
// match, eight-ball, the versus screen, the opponent's greeting and a coin.
constexpr const char* kToQuickMatch =
    "9000 down 118 135\n9100 up 118 135\n"
    "11000 down 120 200\n11100 up 120 200\n"
    "13000 down 124 153\n13100 up 124 153\n"
    "15000 down 124 107\n15100 up 124 107\n"
    "20000 down 120 160\n20100 up 120 160\n"
    "24000 down 120 160\n24100 up 120 160\n"
    "27000 down 70 114\n27100 up 70 114\n"
    "30000 down 70 114\n30100 up 70 114\n"
    "33000 down 70 114\n33100 up 70 114\n"
    "36000 down 70 114\n36100 up 70 114\n";

// Aims a full stroke at each direction around the circle in turn, as the
// player would before striking, until one played out on the shadows pots a
// ball; the stroke is left set. Returns the ball, or -1.
int32_t aimAPottingStroke(cGame& g) {
  ShotRecord& shot = g.world.shot;
  for (int32_t u = 0; u < 4096; u += 16) {
    shot.aim.set(cosQ14(u), sinQ14(u));
    shot.powerGauge = 17384;
    const int32_t ball = predictPottedBall(g);
    if (ball >= 0) return ball;
  }
  return -1;
}

// Frames of a match, after the first 30 of the player's aim (the computer's
// turns before it are not counted). view:0: the player's aim (table, balls,
// aim guide, HUD and panels). view:1: a stroke that pots, played as a match
// plays it (the shot is played out before the strike and the small ball view
// opens on the pot's pocket); the frames from the one that shows the view
// whole until the balls rest, the 3D table and balls drawn in each. The aim
// reports the mean frame; the stroke its median, since one of its frames
// writes the save file for the achievement the break unlocks (the mean is a
// counter).
void BM_MatchFrame(benchmark::State& state) {
  if (!haveData()) return state.SkipWithError("no built data set");
  constexpr int kSettle = 30, kFrames = 600, kMinViewFrames = 10;
  const bool withView = state.range(0) != 0;
  for (auto _ : state) {
    double seconds = 0;
    int aiming = 0, counted = 0, predicted = -1;
    bool struck = false;
    std::vector<double> viewFrames;
    Run run;
    run.onFrame = [&](cGame& g, double dt) {
      if (struck) {
        if (g.states.gameState == k_stateStroke) return true;
        if (g.states.gameState != k_stateBallsMoving) return false;
        if (g.ballView.count == 4) {
          seconds += dt;
          viewFrames.push_back(dt);
          ++counted;
        }
        return true;
      }
      if (!g.states.inGame || g.states.gameState != k_stateAim || isComputerAtTable(g))
        return aiming == 0 || aiming < kSettle;
      if (++aiming <= kSettle) return true;
      if (withView) {
        predicted = aimAPottingStroke(g);
        if (predicted < 0) return false;
        g.setInGameState(k_stateStroke);
        struck = true;
        return true;
      }
      seconds += dt;
      return ++counted < kFrames;
    };
    const bool closed = runProgram(kToQuickMatch, run);
    if (withView && predicted < 0) return state.SkipWithError("no stroke pots a ball");
    if (!closed || counted < (withView ? kMinViewFrames : kFrames))
      return state.SkipWithError(withView ? "the ball view was not shown" : "the player's aim was not reached");
    state.counters["frames"] = counted;
    if (!withView) {
      state.SetIterationTime(seconds / counted);
      continue;
    }
    std::sort(viewFrames.begin(), viewFrames.end());
    state.SetIterationTime(viewFrames[viewFrames.size() / 2]);
    state.counters["mean_us"] = seconds / counted * 1e6;
    state.counters["predicted"] = predicted;
  }
}
BENCHMARK(BM_MatchFrame)->Arg(0)->Arg(1)->ArgName("view")->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(3);

// Frames of a screen that waits for a touch, after its first 30: the main
// menu (range(0) 0), or a new career's pub (1) with its wall, rivals and
// captions.
void BM_WaitingScreenFrame(benchmark::State& state) {
  if (!haveData()) return state.SkipWithError("no built data set");
  constexpr int kSettle = 30, kFrames = 600;
  const bool pub = state.range(0) != 0;
  for (auto _ : state) {
    double seconds = 0;
    int shown = 0;
    bool entered = false;
    Run run;
    run.onFrame = [&](cGame& g, double dt) {
      if (pub && !entered && g.states.gameState == k_stateMainMenu) {
        entered = true;
        resetProgress(g);
        g.career.progress.started = 1;
        g.setState(k_statePub);
        return true;
      }
      if (g.states.gameState != (pub ? k_statePub : k_stateMainMenu)) return true;
      if (++shown > kSettle) seconds += dt;
      return shown < kSettle + kFrames;
    };
    if (!runProgram(kToMainMenu, run) || shown < kSettle + kFrames)
      return state.SkipWithError("the screen was not reached");
    state.SetIterationTime(seconds / kFrames);
  }
}
BENCHMARK(BM_WaitingScreenFrame)->Arg(0)->Arg(1)->ArgName("pub")->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
