// The ball view's frame over the data set's pack (KV_DATA_DIR): clear, the
// table with its matrix, sixteen balls, flush and swap into the 56 x 104
// picture, with the pocket camera behind each pocket in turn. Time is per
// frame in microseconds; "triangles" counts those handed to the renderer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "tests/game/data/BallViewScene.h"
#include "windows_brew/ShellHost.h"

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
  GlContext gl;
  setCurrentGlContext(&gl);
  {
    auto game = std::make_unique<cGame>(nullptr);
    if (!game->m_resources.loadIndex()) {
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

}  // namespace

BENCHMARK_MAIN();
