// Time per call of the game's screen effects on a 240x320 RGB565 frame.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"

namespace {

constexpr int kW = 240;
constexpr int kH = 320;

struct Frame {
  std::vector<uint16_t> pixels = makePixels();
  MutableImage image{kW, kH, kW * 2, 16, pixels.data()};
  std::unique_ptr<cGame> game = std::make_unique<cGame>(nullptr);
  Frame() { resetEffects(*game); }
  Graphics* g() { return image.getGraphics(); }
  // Text-like content: bright strokes on a dark ground.
  static std::vector<uint16_t> makePixels() {
    std::vector<uint16_t> p(kW * kH);
    for (int i = 0; i < kW * kH; ++i) p[i] = ((i % kW) % 7 < 2 || (i / kW) % 9 < 2) ? 0xFFFF : 0x2104;
    return p;
  }
};

// Times one call of the effect on a fresh frame.
template <class F>
void onFrame(benchmark::State& state, F&& effect) {
  Frame f;
  for (auto _ : state) {
    effect(*f.game, f.g());
    benchmark::DoNotOptimize(f.pixels.data());
    benchmark::ClobberMemory();
  }
}

void BM_GlowArea(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0));
  const int h = static_cast<int>(state.range(1));
  onFrame(state, [&](cGame& game, Graphics* g) { glowArea(game, g, 10, 20, w, h, 100, 80, 25); });
}
// The ball view and a menu row.
BENCHMARK(BM_GlowArea)->Args({56, 104})->Args({240, 40})->Unit(benchmark::kMicrosecond);

// The filter alone, without reading and writing the frame.
void BM_GlowPixels(benchmark::State& state) {
  std::vector<uint32_t> px(56 * 104);
  for (size_t i = 0; i < px.size(); ++i) px[i] = (i % 7 < 2) ? 0xF8FCF8 : 0x202020;
  onFrame(state, [&](cGame& game, Graphics*) {
    glowPixels(game, 56, 104, px.data(), 100, 80, 25);
    benchmark::DoNotOptimize(px.data());
  });
}
BENCHMARK(BM_GlowPixels)->Unit(benchmark::kMicrosecond);

void BM_GreyAreaFullScreen(benchmark::State& state) {
  onFrame(state, [](cGame& game, Graphics* g) { greyArea(game, g, 0, 0, kW, kH, 90); });
}
BENCHMARK(BM_GreyAreaFullScreen)->Unit(benchmark::kMicrosecond);

void BM_FillRectAlphaFullScreen(benchmark::State& state) {
  onFrame(state, [](cGame& game, Graphics* g) { fillRectAlpha(game, g, 0, 0, kW, kH, 0xAA000000); });
}
BENCHMARK(BM_FillRectAlphaFullScreen)->Unit(benchmark::kMicrosecond);

void BM_SmoothCircle(benchmark::State& state) {
  onFrame(state, [](cGame& game, Graphics* g) { drawSmoothCircle(game, g, 120, 160, 40, 0xFFFFFF); });
}
BENCHMARK(BM_SmoothCircle)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
