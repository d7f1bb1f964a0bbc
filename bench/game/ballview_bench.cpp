// The ball view over the data set (KV_DATA_DIR): its frame (clear, the table
// with its matrix, sixteen balls, flush and swap into the 56 x 104 picture)
// with the pocket camera behind each pocket in turn; and, in a match loaded
// as the game loads it, the pot prediction of a break and the view's whole
// paint while it is open. Times in microseconds; "triangles" counts those
// handed to the renderer per frame; the prediction reports its 95th
// percentile over single calls.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGameTypes.h"
#include "tests/game/data/BallViewScene.h"
#include "windows_brew/ShellFileSystem.h"
#include "windows_brew/ShellHost.h"
#include "zul/2d/Graphics.h"

namespace {

// Pocket centres of the table layout, file units.
constexpr int kPockets[6][2] = {{14, 17}, {155, 17}, {12, 151}, {157, 151}, {14, 285}, {155, 285}};

void BM_BallViewFrame(benchmark::State& state) {
  const char* data = std::getenv("KV_DATA_DIR");
  if (!data || !std::filesystem::exists(std::string(data) + "/data000.bar")) {
    state.SkipWithError("KV_DATA_DIR names no data set");
    return;
  }
  uint8_t running = 1;
  ShellHost shell(&running);
  shell.setRootPath((std::string(data) + "/").c_str());
  setFileSystem(&shellFileSystem());
  GlContext gl;
  setCurrentGlContext(&gl);
  {
    auto game = std::make_unique<cGame>(nullptr);
    if (!game->engine.resources.loadIndex()) {
      state.SkipWithError("the pack does not load");
    } else {
      ballview::Scene view(*game);
      if (!view.load()) {
        state.SkipWithError("a model or texture is missing");
      } else {
        int pocket = 0;
        for (auto _ : state) {
          view.aimAtPocket(kPockets[pocket][0], kPockets[pocket][1]);
          view.frame();
          benchmark::DoNotOptimize(view.pixels()[0]);
          pocket = (pocket + 1) % 6;
        }
        state.counters["triangles"] = view.trianglesPerFrame();
      }
    }
  }
  setCurrentGlContext(nullptr);
}
BENCHMARK(BM_BallViewFrame)->Unit(benchmark::kMicrosecond);

// A quick eight-ball match through the start-up and match loading, with the
// renderer drawing; the rack as the match starts it.
struct Match {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / ("kv_ballview_bench_" + std::to_string(::getpid()));
  uint8_t running = 1;
  GlContext gl;
  std::unique_ptr<ShellHost> shell;
  MutableImage screen{240, 320, 16};
  std::unique_ptr<cGame> game;
  bool ok = false;

  Match() {
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/data000.bar")) return;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    for (const auto& entry : std::filesystem::directory_iterator(data))
      std::filesystem::copy(entry.path(), dir / entry.path().filename());
    setCurrentGlContext(&gl);
    shell = std::make_unique<ShellHost>(&running);
    if (!shell->setRootPath((dir.string() + "/").c_str())) return;
    setFileSystem(&shellFileSystem());
    game = std::make_unique<cGame>(&screen);
    game->init();
    for (int i = 0; i < 40 && game->states.gameState != k_stateLogo; ++i) game->update(nullptr);
    game->loading.logoStartTime = game->frame.gameClock - 5000;
    for (int i = 0;
         i < 400 && game->states.gameState != k_stateFirstRunQuestion && game->states.gameState != k_stateMainMenu; ++i)
      game->update(nullptr);
    game->match.gameType = k_gameTypeQuickMatch;
    game->match.ruleSet = k_ruleSetEightBall;
    game->setup.chosenCharacter[0] = 2;
    game->setup.chosenCharacter[1] = 7;
    enterGameLoading(*game);
    for (int i = 0; i < 400 && !game->states.inGame; ++i) game->update(nullptr);
    ok = game->states.inGame == 1 && game->world.cueBall && game->ballView.renderImage;
  }
  ~Match() {
    game.reset();
    shell.reset();
    setCurrentGlContext(nullptr);
    std::filesystem::remove_all(dir);
  }
};

Match& match() {
  static Match m;
  return m;
}

// The break: the cue ball struck at full power straight at the rack.
void BM_PredictPottedBallOnTheBreak(benchmark::State& state) {
  Match& m = match();
  if (!m.ok) return state.SkipWithError("no match (KV_DATA_DIR names no data set)");
  cGame& g = *m.game;
  placeBalls(g);
  g.match.currentPlayer = 0;
  g.world.breakPlayed = 0;
  g.rules.tableOpen = 1;
  ShotRecord& shot = g.world.shot;
  shot.aim.set(0, 16384);
  shot.englishPoint.set(0, 0);
  shot.masse = 0;
  shot.powerGauge = 17384;
  std::vector<double> us;
  int32_t found = -1;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    found = predictPottedBall(g);
    us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(us.begin(), us.end());
  state.counters["p95_us"] = us.empty() ? 0 : us[us.size() * 95 / 100];
  state.counters["ball"] = found;
  state.counters["countdown"] = g.ballView.potCountdown;
}
BENCHMARK(BM_PredictPottedBallOnTheBreak)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// The paint of an open view behind a pocket: the copy, the camera, the table
// and balls, the swap, the frame and both captions with their glow.
void BM_PaintBallViewOpen(benchmark::State& state) {
  Match& m = match();
  if (!m.ok) return state.SkipWithError("no match (KV_DATA_DIR names no data set)");
  cGame& g = *m.game;
  placeBalls(g);
  selectInterface(g, 56);
  g.ballView.open = 1;
  g.ballView.count = 4;
  g.ballView.predictedSlot = 5;
  g.ballView.followedSlot = 0;
  g.ballView.potTarget[0] = tableToViewX(14 << 14);
  g.ballView.potTarget[1] = tableToViewY(-(17 << 14));
  Graphics* screen = m.screen.getGraphics();
  for (auto _ : state) {
    g.ballView.potCountdown = 0;
    paintBallView(g, screen);
    benchmark::DoNotOptimize(m.screen.getPixels());
  }
  state.counters["open"] = g.ballView.count;
}
BENCHMARK(BM_PaintBallViewOpen)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
