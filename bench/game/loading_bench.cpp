// One loading step's work on the built data set, for every step of the
// start-up, main-menu and match loading (a frame is 33 ms; a step should
// take under half of it). Archives a step reads are opened, untimed, by the
// step that opens them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameTypes.h"
#include "wince/layer.h"
#include "windows_brew/ShellFileSystem.h"
#include "windows_brew/ShellHost.h"
#include "zul/2d/MutableImage.h"

namespace {

struct Data {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / ("kv_loading_bench_" + std::to_string(::getpid()));
  uint8_t running = 1;
  std::unique_ptr<ShellHost> shell;
  MutableImage screen{240, 320, 16};
  std::unique_ptr<cGame> game;
  bool ok = false;

  Data() {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    if (!std::filesystem::exists(std::string(KV_BENCH_DATA) + "/i.bar")) return;
    for (const auto& entry : std::filesystem::directory_iterator(KV_BENCH_DATA))
      std::filesystem::copy(entry.path(), dir / entry.path().filename());
    // The sound loader opens its files through the install folder, which the
    // layer maps onto its data folder: without it the sound steps would time
    // a missing file.
    wince::Options options;
    options.backend = wince::BackendKind::Headless;
    options.dataDir = dir.string();
    options.writeDir = dir.string();
    if (!wince::start(options)) return;
    shell = std::make_unique<ShellHost>(&running);
    if (!shell->setRootPath((dir.string() + "/").c_str())) return;
    setFileSystem(&shellFileSystem());
    game = std::make_unique<cGame>(&screen);
    game->init();
    // Start-up, the logo and the first menu loading, so every step finds
    // what the steps before it made.
    for (int i = 0; i < 20 && game->states.gameState != k_stateLogo; ++i) game->update(nullptr);
    updateLogo(*game);
    game->loading.logoStartTime = game->frame.gameClock - 5000;
    updateLogo(*game);
    for (int i = 0; i < 200 && game->states.gameState == k_stateMainMenuLoading; ++i) game->update(nullptr);
    game->match.gameType = k_gameTypeQuickMatch;
    game->setup.chosenCharacter[0] = 1;
    game->setup.chosenCharacter[1] = 2;
    ok = game->states.gameState == k_stateFirstRunQuestion;
  }
  ~Data() {
    game.reset();
    shell.reset();
    wince::stop();
    std::filesystem::remove_all(dir);
  }
};

Data& data() {
  static Data d;
  return d;
}

// The step that opens the archive step s reads, or -1.
int mainMenuOpener(int s) {
  for (int open : {18, 15, 12, 9, 6, 3})
    if (s > open && s <= open + 2) return open;
  return -1;
}

void BM_LoadInitStep(benchmark::State& state) {
  Data& d = data();
  if (!d.ok) return state.SkipWithError("no data set");
  const int step = static_cast<int>(state.range(0));
  for (auto _ : state) {
    d.game->states.subState = k_subStateUpdate;
    d.game->loading.step = step;
    updateLoadInit(*d.game);
  }
}

void BM_MainMenuLoadingStep(benchmark::State& state) {
  Data& d = data();
  if (!d.ok) return state.SkipWithError("no data set");
  const int step = static_cast<int>(state.range(0));
  d.game->loading.firstLoad = 1;
  for (auto _ : state) {
    state.PauseTiming();
    if (int open = mainMenuOpener(step); open >= 0) runMainMenuLoadingStep(*d.game, open);
    state.ResumeTiming();
    runMainMenuLoadingStep(*d.game, step);
  }
  unloadBar(*d.game);
  d.game->loading.firstLoad = 0;
}

void BM_GameLoadingStep(benchmark::State& state) {
  Data& d = data();
  if (!d.ok) return state.SkipWithError("no data set");
  const int step = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    if (step >= 3 && step <= 24) runGameLoadingStep(*d.game, 2);
    if (step == 25) freeTable(*d.game);
    state.ResumeTiming();
    runGameLoadingStep(*d.game, step);
  }
  unloadBar(*d.game);
}

BENCHMARK(BM_LoadInitStep)->DenseRange(0, 6)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainMenuLoadingStep)->DenseRange(0, 44)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GameLoadingStep)->DenseRange(0, 39)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
