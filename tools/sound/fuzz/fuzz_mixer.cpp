// Fuzzes the mixer's sample loaders and the ADPCM stream: each input is loaded
// as a raw sample and as a WAV, played at a few pitches and mixed at both
// output widths, then streamed as an ADPCM resource, once and looping.
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <memory>
#include <vector>

#include "zul/io/BufferStream.h"
#include "zul/sound/SSEAdpcmStream.h"

#include "zul/memory/Debug.h"
#include "zul/sound/SSEMixEngine.h"

namespace {

// Every id is the fuzzer's input.
struct InputManager : ResourceManager {
  const uint8_t* data;
  size_t size;
  InputManager(const uint8_t* d, size_t n) : data(d), size(n) {}
  void* find(uint32_t) override { return nullptr; }
  void store(uint32_t, void*) override {}
  Stream* open(uint32_t) override {
    return new BufferStream(BufferStream::kRead, static_cast<int32_t>(size), const_cast<uint8_t*>(data));
  }
  void close(Stream* s) override { delete s; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // No traces: writing them costs far more than what is fuzzed.
  static const bool s_quiet = (setDebugTraceEnabled(false), true);
  (void)s_quiet;
  // The reports of refused input go to standard output; keep it quiet.
  static FILE* quiet = std::freopen("/dev/null", "w", stdout);
  (void)quiet;
  if (size > (1u << 20)) return 0;
  const uint32_t n = static_cast<uint32_t>(size);
  for (uint32_t bits : {8u, 16u}) {
    SSEMixEngine e(2, bits == 16 ? 22050 : 8000, bits, 0);
    e.loadRaw(0, data, n);
    e.loadWav(1, data, n);
    const uint32_t pitch = size > 9 ? (data[9] << 8 | data[8]) + 1u : 4096u;
    for (uint32_t i = 0; i < 8; ++i) e.play(i % 2, 200, pitch * (i + 1), i % 3 == 0, static_cast<uint8_t>(i));
    e.setVolume(3, 0xFFFF, 1);
    e.setPitch(4, 0xFFFFFFFFu, 1);
    std::vector<uint8_t> out(1024);
    for (int k = 0; k < 4; ++k) e.mix(out.data(), static_cast<uint32_t>(out.size() - k));
    e.loadRaw(0, data, n / 2);  // reload while voices play
    e.mix(out.data(), 256);
  }
  InputManager manager(data, size);
  auto stream = std::make_unique<SSEAdpcmStream>(&manager);
  for (bool loop : {false, true}) {
    stream->setLoop(loop);
    stream->request(1);
    stream->request(2);
    for (int k = 0; k < 6; ++k) stream->pump();
    stream->stop();
    stream->pump();
  }
  return 0;
}
