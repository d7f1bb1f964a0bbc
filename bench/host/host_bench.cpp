// The host's copy of the 240x320 frame to the window: the scale-map copy, the
// headless SetDIBitsToDevice and both together, beside a straight
// 153,600-byte copy (the peer); and one loop turn of the whole program on
// the headless backend once start-up is over.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/brew/ApplicationImpl.h"
#include "wince/layer.h"
#include "windows_brew/Host.h"

namespace {

std::vector<uint16_t> frame() {
  std::vector<uint16_t> f(kScreenWidth * kScreenHeight);
  for (size_t i = 0; i < f.size(); ++i) f[i] = static_cast<uint16_t>(i * 40503u >> 3);
  return f;
}

// Maps of a source of srcW x srcH shown at 240x320 (identity at full size).
struct Maps {
  std::vector<uint16_t> x = std::vector<uint16_t>(kScreenWidth + 1), y = std::vector<uint16_t>(kScreenHeight + 1);
  Maps(int srcW, int srcH) {
    for (int i = 0; i <= kScreenWidth; ++i) x[i] = static_cast<uint16_t>(i * srcW / kScreenWidth);
    for (int j = 0; j <= kScreenHeight; ++j) y[j] = static_cast<uint16_t>(j * srcH / kScreenHeight);
  }
};

void report(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFrameBufferBytes);
}

void BM_StraightCopy(benchmark::State& state) {
  const std::vector<uint16_t> src = frame();
  std::vector<uint16_t> dst(src.size());
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), kFrameBufferBytes);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  report(state);
}
BENCHMARK(BM_StraightCopy);

void BM_ScaleBlit(benchmark::State& state) {
  const std::vector<uint16_t> src = frame();
  std::vector<uint16_t> dst(src.size());
  const Maps maps(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    scaleBlit(src.data(), dst.data(), maps.x.data(), maps.y.data());
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  report(state);
}
BENCHMARK(BM_ScaleBlit)->Args({240, 320})->Args({200, 280})->Args({120, 160})->ArgNames({"srcW", "srcH"});

struct Screen {
  HDC dc = nullptr;
  BITMAPINFO dib{};
  Screen() {
    wince::reset();
    dc = GetDC(nullptr);
    dib.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    dib.bmiHeader.biWidth = kScreenWidth;
    dib.bmiHeader.biHeight = -kScreenHeight;
    dib.bmiHeader.biPlanes = 1;
    dib.bmiHeader.biBitCount = 16;
    dib.bmiHeader.biCompression = BI_BITFIELDS;
    dib.bmiHeader.biSizeImage = kFrameBufferBytes;
    dib.bmiMasks[0] = 0xF800;
    dib.bmiMasks[1] = 0x07E0;
    dib.bmiMasks[2] = 0x001F;
  }
  ~Screen() { wince::reset(); }
  void show(const uint16_t* pixels) {
    SetDIBitsToDevice(dc, 0, 0, kScreenWidth, kScreenHeight, 0, 0, 0, kScreenHeight, pixels, &dib, DIB_RGB_COLORS);
  }
};

void BM_SetDIBitsHeadless(benchmark::State& state) {
  const std::vector<uint16_t> src = frame();
  Screen screen;
  for (auto _ : state) {
    screen.show(src.data());
    benchmark::ClobberMemory();
  }
  report(state);
}
BENCHMARK(BM_SetDIBitsHeadless);

// What the host does after every loop turn: the scale-map copy, then the DIB blit.
void BM_HostBlitHeadless(benchmark::State& state) {
  const std::vector<uint16_t> src = frame();
  std::vector<uint16_t> blit(src.size());
  const Maps maps(kScreenWidth, kScreenHeight);
  Screen screen;
  for (auto _ : state) {
    scaleBlit(src.data(), blit.data(), maps.x.data(), maps.y.data());
    screen.show(blit.data());
    benchmark::ClobberMemory();
  }
  report(state);
}
BENCHMARK(BM_HostBlitHeadless);

// The program itself, in this process, on the headless backend. A turn is a
// message poll, the paced game frame (one per poll on the virtual clock) and
// the blit. Each iteration runs the program twice, to frame 300 (start-up
// and loading) and to frame 300 + kTurns, and times the difference, so the
// time shown is one turn after start-up.
constexpr int kWarmFrames = 300;
constexpr int kTurns = 2000;

double runProgramSeconds(const std::string& data, const std::string& write, int frames) {
  const std::string count = std::to_string(frames);
  const char* argv[] = {"korvane", "--backend=headless", "--data", data.c_str(), "--write", write.c_str(),
                        "--frames", count.c_str()};
  wince::throwOnExit();
  // The program's traces go to standard output; keep them out of the table.
  std::fflush(stdout);
  const int saved = ::dup(1);
  const int null = ::open("/dev/null", O_WRONLY);
  ::dup2(null, 1);
  const auto t0 = std::chrono::steady_clock::now();
  try {
    wince::runProgram(8, const_cast<char**>(argv));
  } catch (const wince::ExitRequest&) {
  }
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::fflush(stdout);
  ::dup2(saved, 1);
  ::close(saved);
  ::close(null);
  const bool reached = wince::frameCount() >= static_cast<uint64_t>(frames);
  wince::reset(false);
  return reached ? s : -1;
}

void BM_ProgramTurnHeadless(benchmark::State& state) {
  const std::string data = KV_BENCH_DATA;
  if (!std::filesystem::exists(data + "/i.bar")) {
    state.SkipWithError("no built data set");
    return;
  }
  const std::filesystem::path write =
      std::filesystem::temp_directory_path() / ("kv_host_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(write);
  static const bool registered = (registerApplet(), true);
  (void)registered;
  for (auto _ : state) {
    const double a = runProgramSeconds(data, write.string(), kWarmFrames);
    const double b = runProgramSeconds(data, write.string(), kWarmFrames + kTurns);
    if (a < 0 || b < 0) {
      state.SkipWithError("the program ended before its last frame");
      break;
    }
    state.SetIterationTime((b - a) / kTurns);
  }
  std::filesystem::remove_all(write);
}
BENCHMARK(BM_ProgramTurnHeadless)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
