// LZMA-alone decode throughput: the engine's front end (SDK decoder, scratch
// pool, 4096-byte input chunks) against liblzma on the same streams.
#include <benchmark/benchmark.h>
#include <lzma.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "tools/lzma/LzmaWriter.h"
#include "zul/comp/Compression.h"
#include "zul/io/BufferStream.h"
#include "zul/memory/StackMemoryPool.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Text-like data with some noise, roughly like the game's resources.
Bytes sample(size_t n) {
  std::mt19937 rng(42);
  static const char* words[] = {"cue ", "ball ", "pocket ", "rail ", "spin ", "break ", "chalk ", "table "};
  Bytes out;
  while (out.size() < n) {
    if (rng() % 4 == 0) {
      out.push_back(static_cast<uint8_t>(rng()));
    } else {
      for (const char* w = words[rng() % 8]; *w; ++w) out.push_back(static_cast<uint8_t>(*w));
    }
  }
  out.resize(n);
  return out;
}

struct Input {
  Bytes plain, packed;
};

const Input& input(size_t n) {
  static Input small{sample(64 * 1024), {}}, large{sample(1024 * 1024), {}};
  Input& in = n == small.plain.size() ? small : large;
  if (in.packed.empty()) in.packed = lzmaAloneEncode(in.plain.data(), in.plain.size());
  return in;
}

void report(benchmark::State& state, const Input& in) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(in.plain.size()));
  state.counters["ratio"] = static_cast<double>(in.packed.size()) / static_cast<double>(in.plain.size());
}

void BM_FrontEnd(benchmark::State& state) {
  const Input& in = input(static_cast<size_t>(state.range(0)));
  StackMemoryPool pool(30720, nullptr);
  setStackMemoryPool(&pool);
  Bytes packed = in.packed;
  Bytes out(in.plain.size());
  for (auto _ : state) {
    BufferStream s(1, static_cast<int32_t>(packed.size()), packed.data());
    int32_t size = static_cast<int32_t>(out.size());
    if (decompress(kCompLzma, s, static_cast<int32_t>(packed.size()), out.data(), size) != kCompOk) {
      state.SkipWithError("decode failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  if (out != in.plain) state.SkipWithError("output differs");
  setStackMemoryPool(nullptr);
  report(state, in);
}

void BM_Liblzma(benchmark::State& state) {
  const Input& in = input(static_cast<size_t>(state.range(0)));
  Bytes out(in.plain.size());
  for (auto _ : state) {
    lzma_stream strm = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&strm, UINT64_MAX) != LZMA_OK) {
      state.SkipWithError("decoder init failed");
      break;
    }
    strm.next_in = in.packed.data();
    strm.avail_in = in.packed.size();
    strm.next_out = out.data();
    strm.avail_out = out.size();
    lzma_ret r = lzma_code(&strm, LZMA_FINISH);
    lzma_end(&strm);
    if ((r != LZMA_STREAM_END && r != LZMA_OK) || strm.total_out != out.size()) {
      state.SkipWithError("decode failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  if (out != in.plain) state.SkipWithError("output differs");
  report(state, in);
}

}  // namespace

BENCHMARK(BM_FrontEnd)->Arg(64 * 1024)->Arg(1024 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Liblzma)->Arg(64 * 1024)->Arg(1024 * 1024)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
