#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sound/AdpcmSignals.h"
#include "sound/SoxTools.h"
#include "tools/sound/SampleWriter.h"
#include "zul/sound/SSEAdpcmDecoder.h"

namespace {

TEST(AdpcmNibble, StepRule) {
  struct Case {
    int16_t predictor;
    uint8_t index;
    uint32_t code;
    int16_t predictorAfter;
    uint8_t indexAfter;
  };
  const Case cases[] = {
      {0, 0, 7, 11, 8},          {0, 0, 15, -11, 8},         {0, 0, 0, 0, 0},  // 7 >> 3 = 0
      {0, 0, 4, 7, 2},           {100, 10, 3, 100 + 2 + 9 + 4, 9},               // step 19
      {32760, 88, 7, 32767, 88}, {-32760, 88, 15, -32768, 88}, {5, 87, 6, 32767, 88},
      {0, 3, 8, -1, 2},           {-7, 1, 12, -7 - 1 - 8, 3},
  };
  for (const Case& c : cases) {
    SSEAdpcmState s{c.predictor, c.index, 0};
    EXPECT_EQ(decodeAdpcmNibble(c.code, s), c.predictorAfter) << c.predictor << " " << int{c.index} << " " << c.code;
    EXPECT_EQ(s.predictor, c.predictorAfter);
    EXPECT_EQ(s.index, c.indexAfter);
  }
  EXPECT_EQ(adpcmStep(0), 7);
  EXPECT_EQ(adpcmStep(88), 32767);
  EXPECT_EQ(adpcmStep(200), 32767);
}

TEST(AdpcmNibble, EncoderFollowsTheSignal) {
  const auto pcm = adpcmTestSignal(4000, 11025);
  SSEAdpcmState enc{};
  const auto nibbles = kvtools::encodeImaAdpcm(pcm, enc);
  ASSERT_EQ(nibbles.size(), 2000u);
  SSEAdpcmState dec{};
  double err = 0, power = 0;
  for (size_t i = 0; i < pcm.size(); ++i) {
    const int16_t y = decodeAdpcmNibble(nibbles[i / 2] >> (i % 2 ? 4 : 0), dec);
    err += std::pow(y - pcm[i], 2);
    power += std::pow(pcm[i], 2);
  }
  EXPECT_EQ(dec.predictor, enc.predictor);
  EXPECT_EQ(dec.index, enc.index);
  EXPECT_LT(err, power / 100);  // better than 20 dB
}

// sox decodes our IMA ADPCM WAV to our decoder's samples plus each block's
// header sample.
TEST(AdpcmNibble, SoxDecodesTheSameNibbles) {
  if (!soxAvailable()) GTEST_SKIP() << "sox is not installed";
  TempFolder dir("kv_sox_ima");
  struct Case {
    size_t samples;
    uint32_t blockAlign;
    SSEAdpcmState initial;
  };
  const Case cases[] = {{5040, 256, {}}, {4000, 512, {1200, 30, 0}}, {999, 128, {-5, 60, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.blockAlign);
    SSEAdpcmState enc = c.initial;
    const auto nibbles = kvtools::encodeImaAdpcm(adpcmTestSignal(c.samples, 8000), enc);
    writeFile(dir.path("ima.wav"), kvtools::imaAdpcmWav(8000, nibbles, c.initial, c.blockAlign));
    ASSERT_TRUE(runSox(dir.path("ima.wav") + " -t raw -e signed-integer -b 16 " + dir.path("ima.raw")));
    const auto fromSox = dropBlockHeaders(readFile(dir.path("ima.raw")), c.blockAlign);
    SSEAdpcmState dec = c.initial;
    std::vector<int16_t> ours;
    for (uint8_t b : nibbles) {
      ours.push_back(decodeAdpcmNibble(b & 15, dec));
      ours.push_back(decodeAdpcmNibble(b >> 4, dec));
    }
    EXPECT_EQ(fromSox, ours);
  }
}

}  // namespace
