// Mpixel/s of the 2D drawing context's region blits and fills on a 240x320
// RGB565 frame.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "zul/2d/Graphics16.h"
#include "zul/2d/MutableImage.h"
#include "zul/2d/RgbImage.h"
#include "zul/2d/SpriteServices.h"
#include "zul/2d/cImg.h"
#include "zul/io/BufferStream.h"

namespace {

constexpr int kW = 240;
constexpr int kH = 320;

struct Frame {
  std::vector<uint16_t> pixels = std::vector<uint16_t>(kW * kH, 0x1234);
  MutableImage image{kW, kH, kW * 2, 16, pixels.data()};
  Graphics& g() { return *image.getGraphics(); }
};

// A full-frame source: 16-bit (optionally keyed, so read as ARGB4444), or 32-bit ARGB.
// The keyed source's pixels carry alpha nibbles 8-15 and every seventh is
// the key, so the keyed blits blend six pixels in seven (none is a plain
// copy: the top nibble 15 still leaves a sixteenth of the destination).
struct Source {
  std::vector<uint16_t> p16;
  std::vector<uint32_t> p32;
  RgbImage image;
  Source(int bits, bool keyed)
      : p16(bits == 16 ? make16() : std::vector<uint16_t>()),
        p32(bits == 32 ? make32() : std::vector<uint32_t>()),
        image(Image::k_kindRgb, bits == 16 ? static_cast<void*>(p16.data()) : static_cast<void*>(p32.data())) {
    image.setBitsPerPixel(bits);
    image.setDimensions(kW, kH, kW * bits / 8);
    if (keyed) {
      image.setFlags(Image::k_flagKeyed);
      image.setKey(0xF81F);
    }
  }
  static std::vector<uint16_t> make16() {
    std::vector<uint16_t> p(kW * kH);
    for (int i = 0; i < kW * kH; ++i) p[i] = (i % 7 == 0) ? 0xF81F : static_cast<uint16_t>(0x8000 | (i * 37));
    return p;
  }
  static std::vector<uint32_t> make32() {
    std::vector<uint32_t> p(kW * kH);
    for (int i = 0; i < kW * kH; ++i) p[i] = static_cast<uint32_t>(i) * 2654435761u;
    return p;
  }
};

void report(benchmark::State& state, int pixelsPerIteration) {
  state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(pixelsPerIteration) / 1e6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void runBlit(benchmark::State& state, Source& src, int alpha, int transform) {
  Frame f;
  f.g().setAlpha(alpha);
  for (auto _ : state) {
    f.g().drawRegion(&src.image, 0, 0, kW, kH, transform, 0, 0);
    benchmark::DoNotOptimize(f.pixels.data());
    benchmark::ClobberMemory();
  }
  report(state, kW * kH);
}

void BM_BlitOpaque(benchmark::State& state) {
  Source src(16, false);
  runBlit(state, src, 255, 0);
}
void BM_BlitOpaqueMirrored(benchmark::State& state) {
  Source src(16, false);
  runBlit(state, src, 255, 1);
}
void BM_BlitKeyed(benchmark::State& state) {
  Source src(16, true);
  runBlit(state, src, 255, 0);
}
void BM_BlitKeyedMirrored(benchmark::State& state) {
  Source src(16, true);
  runBlit(state, src, 255, 1);
}
// The full-screen fade: every pixel blended with the colour's alpha.
void BM_BlitAlpha(benchmark::State& state) {
  Source src(16, false);
  runBlit(state, src, 128, 0);
}
void BM_BlitArgb(benchmark::State& state) {
  Source src(32, false);
  runBlit(state, src, 255, 0);
}

// A full-frame sprite module (cImg: RGB565 with the 0xF81F key), drawn with
// each mirror flag: 0 none, 1 left-right, 2 top-bottom, 4 both. Every
// seventh pixel is the key, as in the keyed region blit.
void BM_SpriteModule(benchmark::State& state) {
  Frame f;
  SpriteServices services;
  services.backBufferGraphics = &f.g();
  setSpriteServices(&services);
  {
    cImg img;
    img.fromArgb(nullptr, kW, kH);
    const std::vector<uint16_t> px = Source::make16();
    std::memcpy(img.data, px.data(), px.size() * 2);
    const int flags = static_cast<int>(state.range(0));
    for (auto _ : state) {
      img.draw(&f.g(), 0, 0, kW, kH, 0, 0, flags);
      benchmark::DoNotOptimize(f.pixels.data());
      benchmark::ClobberMemory();
    }
  }
  setSpriteServices(nullptr);
  report(state, kW * kH);
}
BENCHMARK(BM_SpriteModule)->Arg(0)->Arg(1)->Arg(2)->Arg(4)->ArgName("flags");

// The same through a palette: a full-frame module of 8-bit indices into
// 200 colours, one of them the key, drawn plain and mirrored left-right.
void BM_SpriteModuleIndexed(benchmark::State& state) {
  Frame f;
  SpriteServices services;
  services.backBufferGraphics = &f.g();
  setSpriteServices(&services);
  {
    constexpr int kColours = 200;
    std::vector<uint8_t> bytes = {0, 0, kColours, 0, kW & 255, kW >> 8, kH & 255, kH >> 8};
    for (int c = 0; c < kColours; ++c) {
      const uint16_t v = c == 7 ? cImg::kKey : static_cast<uint16_t>(c * 331);
      bytes.push_back(static_cast<uint8_t>(v));
      bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    for (int i = 0; i < kW * kH; ++i) bytes.push_back(static_cast<uint8_t>((i * 37) % kColours));
    BufferStream stream(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.data());
    cImg img;
    if (!img.load(&stream)) state.SkipWithError("module did not load");
    const int flags = static_cast<int>(state.range(0));
    for (auto _ : state) {
      img.draw(&f.g(), 0, 0, kW, kH, 0, 0, flags);
      benchmark::DoNotOptimize(f.pixels.data());
      benchmark::ClobberMemory();
    }
  }
  setSpriteServices(nullptr);
  report(state, kW * kH);
}
BENCHMARK(BM_SpriteModuleIndexed)->Arg(0)->Arg(1)->ArgName("flags");

void BM_Fill16(benchmark::State& state) {
  Frame f;
  f.g().setColor(0xFF336699);
  for (auto _ : state) {
    f.g().fillRect(0, 0, kW, kH);
    benchmark::DoNotOptimize(f.pixels.data());
    benchmark::ClobberMemory();
  }
  report(state, kW * kH);
}

void BM_Fill16Unaligned(benchmark::State& state) {
  Frame f;
  f.g().setColor(0xFF336699);
  for (auto _ : state) {
    f.g().fillRect(1, 0, kW - 1, kH);
    benchmark::DoNotOptimize(f.pixels.data());
    benchmark::ClobberMemory();
  }
  report(state, (kW - 1) * kH);
}

void BM_FillAlpha16(benchmark::State& state) {
  Frame f;
  f.g().setColor(0x80336699);
  for (auto _ : state) {
    f.g().fillRect(0, 0, kW, kH);
    benchmark::DoNotOptimize(f.pixels.data());
    benchmark::ClobberMemory();
  }
  report(state, kW * kH);
}

}  // namespace

BENCHMARK(BM_BlitOpaque);
BENCHMARK(BM_BlitOpaqueMirrored);
BENCHMARK(BM_BlitKeyed);
BENCHMARK(BM_BlitKeyedMirrored);
BENCHMARK(BM_BlitAlpha);
BENCHMARK(BM_BlitArgb);
BENCHMARK(BM_Fill16);
BENCHMARK(BM_Fill16Unaligned);
BENCHMARK(BM_FillAlpha16);
BENCHMARK_MAIN();
