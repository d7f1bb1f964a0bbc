#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "memory/TraceCapture.h"
#include "sound/SoxTools.h"
#include "tools/sound/SampleWriter.h"
#include "zul/sound/SSEMixEngine.h"

namespace {

using namespace kvtools;

std::vector<int32_t> samplesOf(const SSESample& s) {
  std::vector<int32_t> v;
  for (uint32_t i = 0; i < s.length; ++i) v.push_back(s.at(i));
  return v;
}

TEST(SSESampleFormats, WriterRoundTrips) {
  const std::vector<int16_t> wide = {0, 1, -1, 32767, -32768, 1234, -4321};
  const std::vector<int8_t> narrow = {0, 1, -1, 127, -128, 55};
  const std::vector<uint8_t> unsignedBytes = {0x80, 0x00, 0xFF, 0x81, 0x7F};
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool wav;
    uint32_t rate;
    bool is16;
    std::vector<int32_t> want;
    uint32_t dataOffset;
  };
  const Case cases[] = {
      {"raw16", rawSample16(11025, wide), false, 11025, true, {0, 1, -1, 32767, -32768, 1234, -4321}, 8},
      {"raw8", rawSample8(44100, narrow), false, 44100, false, {0, 1, -1, 127, -128, 55}, 8},
      {"wav16", wavSample16(22050, wide), true, 22050, true, {0, 1, -1, 32767, -32768, 1234, -4321}, 44},
      // 8-bit WAV bytes are unsigned: 0x80 is silence, 0x00 the lowest value.
      {"wav8", wavSample8(8000, unsignedBytes), true, 8000, false, {0, -128, 127, 1, -1}, 44},
      {"raw empty", rawSample16(22050, {}), false, 22050, true, {}, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SSEMixEngine e(1, 22050, 16, 0);
    const uint32_t size = static_cast<uint32_t>(c.bytes.size());
    ASSERT_TRUE(c.wav ? e.loadWav(0, c.bytes.data(), size) : e.loadRaw(0, c.bytes.data(), size));
    const SSESample& s = *e.sample(0);
    EXPECT_EQ(s.sampleRate, c.rate);
    EXPECT_EQ(s.is16Bit, c.is16);
    EXPECT_EQ(s.step, c.rate * 4096 / 22050);
    EXPECT_EQ(s.end, s.length << 12);
    EXPECT_EQ(samplesOf(s), c.want);
    EXPECT_EQ(s.data, s.copy + c.dataOffset);
    EXPECT_NE(s.copy, c.bytes.data());
    EXPECT_EQ(e.play(0, 100, 4096, false, 0) != 0, !c.want.empty());
  }
}

TEST(SSESampleFormats, BadInputRefused) {
  const auto raw = rawSample16(22050, {1, 2, 3, 4});
  const auto wav = wavSample16(22050, {1, 2, 3, 4});
  const auto edit = [](std::vector<uint8_t> b, size_t at, std::vector<uint8_t> bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) b[at + i] = bytes[i];
    return b;
  };
  const auto cut = [](std::vector<uint8_t> b, size_t n) {
    b.resize(n);
    return b;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool wav;
  };
  const Case cases[] = {
      {"raw header cut", cut(raw, 7), false},
      {"raw length past the bytes", edit(raw, 0, {9, 0, 0, 0}), false},
      {"raw huge length", edit(raw, 0, {0xFF, 0xFF, 0xFF, 0xFF}), false},
      {"wav header cut", cut(wav, 43), true},
      {"wav data past the bytes", edit(wav, 40, {9, 0, 0, 0}), true},
      {"wav huge data", edit(wav, 40, {0xF8, 0xFF, 0xFF, 0xFF}), true},
      {"wav bits 12", edit(wav, 34, {12, 0}), true},
      {"wav bits 0", edit(wav, 34, {0, 0}), true},
      {"wav no RIFF", edit(wav, 0, {'R', 'I', 'F', 'X'}), true},
      {"wav no WAVE", edit(wav, 8, {'A', 'V', 'I', ' '}), true},
      {"wav fmt elsewhere", edit(wav, 12, {'L', 'I', 'S', 'T'}), true},
      {"wav data elsewhere", edit(wav, 36, {'f', 'a', 'c', 't'}), true},
      {"wav stereo", edit(wav, 22, {2, 0}), true},
      {"wav not PCM", edit(wav, 20, {0x11, 0}), true},
  };
  for (const Case& c : cases) {
    SSEMixEngine e(1, 22050, 16, 0);
    TraceCapture trace;
    const uint32_t size = static_cast<uint32_t>(c.bytes.size());
    EXPECT_FALSE(c.wav ? e.loadWav(0, c.bytes.data(), size) : e.loadRaw(0, c.bytes.data(), size)) << c.what;
    EXPECT_TRUE(trace.reported(c.wav ? 114 : 88, "SSEMixEngine")) << c.what;
    EXPECT_FALSE(e.sample(0)->isLoaded()) << c.what;
  }
  // No output rate: no step can be had.
  SSEMixEngine zero(1, 0, 16, 0);
  TraceCapture trace;
  EXPECT_FALSE(zero.loadRaw(0, raw.data(), static_cast<uint32_t>(raw.size())));
  EXPECT_FALSE(zero.loadWav(0, wav.data(), static_cast<uint32_t>(wav.size())));
  EXPECT_FALSE(zero.loadRaw(0, nullptr, 100));
  // Positions are Q12 in 32 bits: 2^20 samples and more are refused.
  SSEMixEngine e(1, 22050, 16, 0);
  const auto longest = rawSample8(22050, std::vector<int8_t>(SSESample::kMaxLength, 1));
  EXPECT_TRUE(e.loadRaw(0, longest.data(), static_cast<uint32_t>(longest.size())));
  EXPECT_EQ(e.sample(0)->end, SSESample::kMaxLength << 12);
  const auto tooLong = rawSample8(22050, std::vector<int8_t>(SSESample::kMaxLength + 1, 1));
  EXPECT_FALSE(e.loadRaw(0, tooLong.data(), static_cast<uint32_t>(tooLong.size())));
}

// PCM WAVs written by sox load to the samples sox prints as raw data.
TEST(SSESampleFormats, SoxWavs) {
  if (!soxAvailable()) GTEST_SKIP() << "sox is not installed";
  TempFolder dir("kv_sox_pcm");
  struct Case {
    int bits;
    const char* synth;
  };
  const Case cases[] = {{16, "sine 440"}, {8, "sine 300"}, {16, "noise"}, {8, "square 100"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.synth);
    const std::string wav = dir.path("in.wav"), raw = dir.path("out.raw");
    const std::string b = std::to_string(c.bits);
    ASSERT_TRUE(runSox("-R -n -r 11025 -c 1 -b " + b + " " + wav + " synth 0.05 " + c.synth + " vol 0.9"));
    ASSERT_TRUE(runSox(wav + " -t raw -e signed-integer -b " + b + " " + raw));
    const auto file = readFile(wav), pcm = readFile(raw);
    ASSERT_GT(pcm.size(), 100u);
    SSEMixEngine e(1, 22050, 16, 0);
    ASSERT_TRUE(e.loadWav(0, file.data(), static_cast<uint32_t>(file.size())));
    std::vector<int32_t> want;
    for (size_t i = 0; i + (c.bits / 8) <= pcm.size(); i += c.bits / 8) {
      want.push_back(c.bits == 16 ? static_cast<int16_t>(pcm[i] | pcm[i + 1] << 8) : static_cast<int8_t>(pcm[i]));
    }
    EXPECT_EQ(samplesOf(*e.sample(0)), want);
    EXPECT_EQ(e.sample(0)->sampleRate, 11025u);
  }
}

// sox reads our WAV writer's files to the samples written.
TEST(SSESampleFormats, SoxReadsOurWavs) {
  if (!soxAvailable()) GTEST_SKIP() << "sox is not installed";
  TempFolder dir("kv_sox_ours");
  std::vector<int16_t> wide;
  std::vector<uint8_t> narrow;
  for (int i = 0; i < 301; ++i) {
    wide.push_back(static_cast<int16_t>((i * 7919) % 65536 - 32768));
    narrow.push_back(static_cast<uint8_t>(i * 37));
  }
  const std::string wav = dir.path("ours.wav"), raw = dir.path("ours.raw");
  writeFile(wav, wavSample16(16000, wide));
  ASSERT_TRUE(runSox(wav + " -t raw -e signed-integer -b 16 " + raw));
  const auto pcm16 = readFile(raw);
  ASSERT_EQ(pcm16.size(), wide.size() * 2);
  for (size_t i = 0; i < wide.size(); ++i) EXPECT_EQ(static_cast<int16_t>(pcm16[2 * i] | pcm16[2 * i + 1] << 8), wide[i]);
  writeFile(wav, wavSample8(16000, narrow));
  ASSERT_TRUE(runSox(wav + " -t raw -e unsigned-integer -b 8 " + raw));
  EXPECT_EQ(readFile(raw), narrow);
}

}  // namespace
