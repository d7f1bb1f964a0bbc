#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "memory/TraceCapture.h"
#include "tools/sound/SampleWriter.h"
#include "zul/sound/SSEMixEngine.h"

namespace {

using kvtools::rawSample16;
using kvtools::rawSample8;

constexpr uint32_t kRate = 22050;
constexpr uint32_t kUnit = 4096;  // pitch 1.0

std::vector<int16_t> mix16(SSEMixEngine& e, size_t samples) {
  std::vector<int16_t> out(samples, 0x5555);
  e.mix(out.data(), static_cast<uint32_t>(samples * 2));
  return out;
}

std::vector<int8_t> mix8(SSEMixEngine& e, size_t samples) {
  std::vector<int8_t> out(samples, 0x55);
  e.mix(out.data(), static_cast<uint32_t>(samples));
  return out;
}

// One engine of 4 samples at 22,050 Hz holding a long silent loopable sample.
struct Engine16 {
  SSEMixEngine e{4, kRate, 16, 0};
  Engine16() {
    const auto raw = rawSample16(kRate, std::vector<int16_t>(64, 0));
    EXPECT_TRUE(e.loadRaw(0, raw.data(), static_cast<uint32_t>(raw.size())));
  }
};

TEST(SSEMixEngine, IdsAndVoiceChoice) {
  Engine16 f;
  SSEMixEngine& e = f.e;
  EXPECT_EQ(e.masterVolume(), 128u);
  EXPECT_EQ(e.third(), 0u);
  // Ids 1, 2, 3 ...; eight looping voices leave nothing to take.
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(e.play(0, 100, kUnit, true, 1), i);
  EXPECT_EQ(e.play(0, 100, kUnit, false, 255), 0);
  EXPECT_EQ(e.play(0, 100, kUnit, true, 255), 0);
  e.stopAll();
  // Non-looping voices of priorities 3, 1, 1, 5 ... : a priority-2 play takes
  // the first voice below it that does not loop.
  const uint8_t prio[8] = {3, 1, 1, 5, 9, 9, 9, 9};
  const bool loop[8] = {false, true, false, false, false, false, false, false};
  int32_t ids[8];
  for (int i = 0; i < 8; ++i) ids[i] = e.play(0, 100, kUnit, loop[i], prio[i]);
  EXPECT_EQ(ids[0], 9);
  const int32_t taken = e.play(0, 100, kUnit, false, 2);
  EXPECT_EQ(taken, 17);
  EXPECT_EQ(e.voice(2).id, 17);
  EXPECT_FALSE(e.isPlaying(ids[2]));
  EXPECT_TRUE(e.isPlaying(ids[1]));
  EXPECT_EQ(e.play(0, 100, kUnit, false, 1), 0);  // nothing below priority 1
  e.stop(ids[3]);
  EXPECT_FALSE(e.isPlaying(ids[3]));
  EXPECT_EQ(e.voice(3).id, -1);
  EXPECT_EQ(e.voice(3).sample, nullptr);
  EXPECT_EQ(e.play(0, 100, kUnit, false, 0), 18);  // the free voice first
  EXPECT_EQ(e.voice(3).id, 18);
  // Free voices are never "playing", whatever their id word holds.
  e.stopAll();
  EXPECT_FALSE(e.isPlaying(-1));
  EXPECT_FALSE(e.isPlaying(0));
}

TEST(SSEMixEngine, VoiceAtItsEndIsFree) {
  SSEMixEngine e(1, kRate, 16, 0);
  const auto raw = rawSample16(kRate, {100, 200, 300});
  ASSERT_TRUE(e.loadRaw(0, raw.data(), static_cast<uint32_t>(raw.size())));
  for (int i = 0; i < 8; ++i) e.play(0, 256, kUnit, false, 0);
  EXPECT_EQ(e.play(0, 256, kUnit, false, 0), 0);
  mix16(e, 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(e.voice(i).sample, nullptr);
  EXPECT_FALSE(e.isPlaying(1));
  EXPECT_EQ(e.play(0, 256, kUnit, false, 0), 9);
}

TEST(SSEMixEngine, ExactOutputs) {
  // volume 128 x master 128 >> 8 = 64; volume 255 x master 256 >> 8 = 255.
  struct Case {
    bool wideSample;
    uint32_t outBits;
    int32_t volume, master;
    std::vector<int32_t> in, out;
  };
  const Case cases[] = {
      {true, 16, 128, 128, {1000, -1000, -1001, 0, 32767, -32768, 4, -4},
       {250, -250, -251, 0, 8191, -8192, 1, -1}},
      {false, 16, 128, 128, {100, -100, 127, -128, 1, 0, -1, 2}, {6400, -6400, 8128, -8192, 64, 0, -64, 128}},
      // 8-bit output: a 16-bit sample is scaled with a truncating / 256 before
      // the final >> 8.
      {true, 8, 255, 256, {30000, -30000, 32767, -32768, 256, -256, 1000, -1000},
       {116, -117, 127, -128, 0, -1, 3, -4}},
      {false, 8, 255, 256, {100, -100, 127, -128, 1, -1, 50, 0}, {99, -100, 126, -128, 0, -1, 49, 0}},
      {true, 16, 256, 256, {30000, 8, -9, 0, 0, 0, 0, 0}, {30000, 8, -9, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.wideSample << "/" << c.outBits << "/" << c.volume);
    SSEMixEngine e(1, kRate, c.outBits, 0);
    std::vector<uint8_t> raw;
    if (c.wideSample) {
      raw = rawSample16(kRate, std::vector<int16_t>(c.in.begin(), c.in.end()));
    } else {
      raw = rawSample8(kRate, std::vector<int8_t>(c.in.begin(), c.in.end()));
    }
    ASSERT_TRUE(e.loadRaw(0, raw.data(), static_cast<uint32_t>(raw.size())));
    e.setMasterVolume(static_cast<uint32_t>(c.master));
    ASSERT_NE(e.play(0, c.volume, kUnit, false, 0), 0);
    std::vector<int32_t> got;
    if (c.outBits == 16) {
      for (int16_t s : mix16(e, 16)) got.push_back(s);
    } else {
      for (int8_t s : mix8(e, 16)) got.push_back(s);
    }
    std::vector<int32_t> want = c.out;
    want.resize(16, 0);  // the voice ended after the sample's 8 values
    EXPECT_EQ(got, want);
    EXPECT_EQ(e.voice(0).sample, nullptr);
  }
}

TEST(SSEMixEngine, VoicesSumAndClamp) {
  struct Case {
    uint32_t outBits;
    int16_t a, b;
    int32_t want;
  };
  // Volume 256 x master 256 >> 8 = 256: each 16-bit sample passes unchanged
  // into 16-bit output, and as s / 256 into 8-bit output.
  const Case cases[] = {
      {16, 30000, 30000, 32767}, {16, -30000, -30000, -32768}, {16, 1000, -300, 700},
      {8, 30000, 30000, 127},    {8, -30000, -30000, -128},    {8, 12800, 5120, 70},
  };
  for (const Case& c : cases) {
    SSEMixEngine e(2, kRate, c.outBits, 0);
    const auto ra = rawSample16(kRate, std::vector<int16_t>(16, c.a));
    const auto rb = rawSample16(kRate, std::vector<int16_t>(16, c.b));
    ASSERT_TRUE(e.loadRaw(0, ra.data(), static_cast<uint32_t>(ra.size())));
    ASSERT_TRUE(e.loadRaw(1, rb.data(), static_cast<uint32_t>(rb.size())));
    e.setMasterVolume(256);
    e.play(0, 256, kUnit, false, 0);
    e.play(1, 256, kUnit, false, 0);
    const int32_t got = c.outBits == 16 ? mix16(e, 8)[5] : mix8(e, 8)[5];
    EXPECT_EQ(got, c.want) << c.outBits << " " << c.a << " " << c.b;
  }
}

TEST(SSEMixEngine, SilenceWithoutVoices) {
  for (uint32_t bits : {8u, 16u}) {
    SSEMixEngine e(1, kRate, bits, 0);
    std::vector<uint8_t> out(64, 0x55);
    e.mix(out.data(), 64);
    EXPECT_EQ(out, std::vector<uint8_t>(64, 0));
  }
}

TEST(SSEMixEngine, PitchRateAndLooping) {
  std::vector<int16_t> ramp;
  for (int i = 0; i < 8; ++i) ramp.push_back(static_cast<int16_t>(256 * (i + 1)));
  struct Case {
    uint16_t sampleRate;
    uint32_t pitch;
    bool loop;
    std::vector<int16_t> want;  // first 12 outputs, in sample numbers 1..8 (0: silent)
  };
  const Case cases[] = {
      {22050, 8192, false, {1, 3, 5, 7, 0, 0, 0, 0, 0, 0, 0, 0}},
      {22050, 2048, false, {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6}},
      {22050, 4096, true, {1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4}},
      {22050, 12288, true, {1, 4, 7, 1, 4, 7, 1, 4, 7, 1, 4, 7}},
      {11025, 4096, false, {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6}},
      {44100, 4096, true, {1, 3, 5, 7, 1, 3, 5, 7, 1, 3, 5, 7}},
  };
  for (const Case& c : cases) {
    SSEMixEngine e(1, kRate, 16, 0);
    const auto raw = rawSample16(c.sampleRate, ramp);
    ASSERT_TRUE(e.loadRaw(0, raw.data(), static_cast<uint32_t>(raw.size())));
    e.setMasterVolume(256);
    e.play(0, 256, c.pitch, c.loop, 0);
    const auto out = mix16(e, 16);
    std::vector<int16_t> got;
    for (int i = 0; i < 12; ++i) got.push_back(static_cast<int16_t>(out[i] / 256));
    EXPECT_EQ(got, c.want) << c.sampleRate << " " << c.pitch;
    EXPECT_EQ(e.voice(0).sample != nullptr, c.loop);
  }
}

TEST(SSEMixEngine, RampsReachTheirTargetAndHold) {
  for (uint32_t bits : {8u, 16u}) {
    SCOPED_TRACE(bits);
    SSEMixEngine e(1, kRate, bits, 0);
    const auto raw = rawSample16(kRate, std::vector<int16_t>(16, 0));
    ASSERT_TRUE(e.loadRaw(0, raw.data(), static_cast<uint32_t>(raw.size())));
    e.setMasterVolume(256);
    const int32_t id = e.play(0, 100, kUnit, true, 0);
    e.setVolume(id, 180, 1);
    EXPECT_EQ(e.voice(0).volume, 180);
    EXPECT_EQ(e.voice(0).volumeDelta, 80 * 256 / 8);
    e.setPitch(id, 3 * kUnit, 1);
    EXPECT_EQ(e.voice(0).step, 3 * kUnit);
    EXPECT_EQ(e.voice(0).stepDelta, 1024);
    std::vector<uint8_t> out(16);
    for (int call = 1; call <= 12; ++call) {
      e.mix(out.data(), 16);
      const int32_t wantVolume = call < 8 ? (100 + 10 * call) * 256 : 180 * 256;
      EXPECT_EQ(e.voice(0).currentVolume, wantVolume) << call;
      EXPECT_EQ(e.voice(0).currentStep, call < 8 ? kUnit + 1024u * call : 3 * kUnit) << call;
    }
    EXPECT_EQ(e.voice(0).volumeRamping, 0);
    EXPECT_EQ(e.voice(0).pitchRamping, 0);
    // Down again; a change too small for a delta jumps to its target.
    e.setVolume(id, 20, 1);
    for (int call = 0; call < 9; ++call) e.mix(out.data(), 16);
    EXPECT_EQ(e.voice(0).currentVolume, 20 * 256);
    e.setPitch(id, 3 * kUnit + 7, 1);
    EXPECT_EQ(e.voice(0).pitchRamping, 0);
    EXPECT_EQ(e.voice(0).currentStep, 3 * kUnit + 7);
    // Without a ramp: at once.
    e.setVolume(id, 64, 0x10000);
    EXPECT_EQ(e.voice(0).currentVolume, 64 * 256);
  }
}

TEST(SSEMixEngine, LargeVolumesAndStepsStayInRange) {
  SSEMixEngine e(1, 8000, 16, 0);
  const auto raw = rawSample16(65535, std::vector<int16_t>(8, 32767));
  ASSERT_TRUE(e.loadRaw(0, raw.data(), static_cast<uint32_t>(raw.size())));
  e.setMasterVolume(0x1FFFF);
  EXPECT_EQ(e.masterVolume(), 0xFFFFu);
  const int32_t id = e.play(0, -1, UINT32_MAX, true, 0);
  EXPECT_EQ(e.voice(0).volume, SSEMixEngine::kMaxVolume);
  EXPECT_EQ(e.voice(0).currentVolume, SSEMixEngine::kMaxVolume * 256);
  EXPECT_EQ(e.voice(0).currentStep, UINT32_MAX);
  for (int i = 0; i < 8; ++i) e.play(0, -1, UINT32_MAX, true, 0);
  const auto out = mix16(e, 32);
  EXPECT_EQ(out, std::vector<int16_t>(32, 32767));
  e.setVolume(id, 0, 1);  // the largest downward ramp
  EXPECT_EQ(e.voice(0).volumeDelta, -SSEMixEngine::kMaxVolume * 32);
}

TEST(SSEMixEngine, BlockSizes) {
  struct Case {
    uint32_t bits, bytes, mixed;
    int line;
  };
  // mixed: bytes that carry samples; the rest must be 0.
  const Case cases[] = {{16, 32, 32, 0},  {16, 20, 20, 251}, {16, 21, 20, 251}, {16, 2, 2, 251},
                        {8, 16, 16, 0},   {8, 13, 13, 336},  {8, 1, 1, 336},    {16, 0, 0, 0}};
  for (const Case& c : cases) {
    SSEMixEngine e(1, kRate, c.bits, 0);
    const auto raw = rawSample8(kRate, std::vector<int8_t>(64, 100));
    ASSERT_TRUE(e.loadRaw(0, raw.data(), static_cast<uint32_t>(raw.size())));
    e.setMasterVolume(256);
    e.play(0, 256, kUnit, true, 0);
    std::vector<uint8_t> out(c.bytes + 4, 0xAA);
    TraceCapture trace;
    e.mix(out.data(), c.bytes);
    EXPECT_EQ(trace.reported(c.line, "SSEMixEngine"), c.line != 0) << c.bits << " " << c.bytes;
    const uint8_t lo = c.bits == 16 ? 0x00 : 100, hi = c.bits == 16 ? 100 : 100;
    for (uint32_t i = 0; i < c.mixed; ++i) EXPECT_EQ(out[i], (c.bits == 16 && i % 2 == 0) ? lo : hi) << i;
    for (uint32_t i = c.mixed; i < c.bytes; ++i) EXPECT_EQ(out[i], 0) << i;
    for (uint32_t i = c.bytes; i < c.bytes + 4; ++i) EXPECT_EQ(out[i], 0xAA) << i;
    EXPECT_EQ(e.voice(0).position, (c.bits == 16 ? c.mixed / 2 : c.mixed) * kUnit);
  }
}

TEST(SSEMixEngine, ReportsAndUnloading) {
  const auto raw = rawSample16(kRate, std::vector<int16_t>(32, 1000));
  const auto wav = kvtools::wavSample16(kRate, std::vector<int16_t>(32, 1000));
  const uint32_t rawSize = static_cast<uint32_t>(raw.size()), wavSize = static_cast<uint32_t>(wav.size());
  SSEMixEngine e(2, kRate, 16, 0);
  struct Case {
    const char* what;
    bool ok;
    int line;
  };
  TraceCapture trace;
  const auto check = [&](const Case& c, bool got) {
    EXPECT_EQ(got, c.ok) << c.what;
    if (c.line) {
      EXPECT_TRUE(trace.reported(c.line, "SSEMixEngine")) << c.what;
    } else {
      EXPECT_EQ(trace.text, "") << c.what;
    }
    trace.clear();
  };
  check({"raw index", false, 637}, e.loadRaw(2, raw.data(), rawSize));
  check({"wav index", false, 646}, e.loadWav(7, wav.data(), wavSize));
  check({"play index", false, 671}, e.play(2, 1, kUnit, false, 0) != 0);
  check({"play unloaded", false, 672}, e.play(1, 1, kUnit, false, 0) != 0);
  check({"raw", true, 0}, e.loadRaw(0, raw.data(), rawSize));
  check({"wav", true, 0}, e.loadWav(1, wav.data(), wavSize));
  const int32_t a = e.play(0, 64, kUnit, true, 0);
  const int32_t b = e.play(1, 64, kUnit, true, 0);
  const int32_t c = e.play(0, 64, kUnit, true, 0);
  mix16(e, 8);
  // Loading into a loaded sample: reported, the old copy freed, its voices stopped.
  const auto shorter = rawSample16(kRate, {5, 6});
  check({"raw twice", true, 88}, e.loadRaw(0, shorter.data(), static_cast<uint32_t>(shorter.size())));
  EXPECT_FALSE(e.isPlaying(a));
  EXPECT_FALSE(e.isPlaying(c));
  EXPECT_TRUE(e.isPlaying(b));
  EXPECT_EQ(e.sample(0)->length, 2u);
  check({"wav twice", false, 114}, e.loadWav(1, raw.data(), rawSize));  // not a WAV: refused
  EXPECT_FALSE(e.isPlaying(b));
  EXPECT_FALSE(e.sample(1)->isLoaded());
  const int32_t d = e.play(0, 64, kUnit, true, 0);
  e.unload(0);
  EXPECT_FALSE(e.isPlaying(d));
  EXPECT_FALSE(e.sample(0)->isLoaded());
  mix16(e, 8);
  check({"after unload", false, 672}, e.play(0, 1, kUnit, false, 0) != 0);
  e.loadRaw(0, raw.data(), rawSize);
  e.loadWav(1, wav.data(), wavSize);
  e.unloadAll();
  EXPECT_FALSE(e.sample(0)->isLoaded());
  EXPECT_FALSE(e.sample(1)->isLoaded());
  e.unload(9);  // out of range: nothing
}

}  // namespace
