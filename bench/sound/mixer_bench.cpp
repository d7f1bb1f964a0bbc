// Eight voices of 16-bit samples into 16-bit output at 22,050 Hz. Reports
// output samples per second and the multiple of real time.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "tools/sound/SampleWriter.h"
#include "zul/sound/SSEMixEngine.h"

namespace {

constexpr uint32_t kRate = 22050;

void BM_Mix8Voices16Bit(benchmark::State& state) {
  const uint32_t block = static_cast<uint32_t>(state.range(0));  // output samples per call
  SSEMixEngine engine(8, kRate, 16, 0);
  for (uint32_t i = 0; i < 8; ++i) {
    std::vector<int16_t> pcm(kRate);
    for (size_t k = 0; k < pcm.size(); ++k) pcm[k] = static_cast<int16_t>((k * (i + 3) * 97) % 20000 - 10000);
    const uint16_t rate = static_cast<uint16_t>(11025 + 2000 * i);  // varied steps
    const auto raw = kvtools::rawSample16(rate, pcm);
    engine.loadRaw(i, raw.data(), static_cast<uint32_t>(raw.size()));
    engine.play(i, 200, 4096 + 300 * i, true, 0);
  }
  std::vector<int16_t> out(block);
  for (auto _ : state) {
    engine.mix(out.data(), block * 2);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  const double samples = static_cast<double>(state.iterations()) * block;
  state.SetItemsProcessed(static_cast<int64_t>(samples));
  state.counters["x_real_time"] = benchmark::Counter(samples / kRate, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Mix8Voices16Bit)->Arg(256)->Arg(1024)->Arg(4096);

}  // namespace

BENCHMARK_MAIN();
