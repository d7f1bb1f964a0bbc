#include <gtest/gtest.h>

#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/sound/OggWriter.h"
#include "tools/sound/SoundSynth.h"

namespace {

std::vector<int16_t> decodeReference(const std::string& path, int* rate, int* channels) {
  std::vector<int16_t> out;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  OggVorbis_File vf;
  if (ov_open(f, &vf, nullptr, 0) < 0) {
    std::fclose(f);
    return out;
  }
  vorbis_info* vi = ov_info(&vf, -1);
  *rate = static_cast<int>(vi->rate);
  *channels = vi->channels;
  char buf[8192];
  int section = 0;
  for (;;) {
    long n = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section);
    if (n <= 0) break;
    const int16_t* s = reinterpret_cast<const int16_t*>(buf);
    out.insert(out.end(), s, s + n / 2);
  }
  ov_clear(&vf);
  return out;
}

TEST(SoundSynth, NamesAndDeterminism) {
  EXPECT_STREQ(kvtools::soundFileName(0), "sfx_break_hard.ogg");
  EXPECT_STREQ(kvtools::soundFileName(10), "sfx_tally.ogg");
  EXPECT_STREQ(kvtools::soundFileName(14), "m_lose.ogg");
  EXPECT_EQ(kvtools::soundFileName(15), nullptr);
  EXPECT_EQ(kvtools::soundFileName(-1), nullptr);
  for (int id = 0; id < kvtools::kSoundCount; ++id) {
    std::vector<int16_t> a = kvtools::synthesizeSound(id);
    // Long enough to survive the player's 444 unplayed bytes with sound left.
    EXPECT_GT(a.size() * 2, 4000u) << id;
    EXPECT_EQ(a, kvtools::synthesizeSound(id)) << id;
    int peak = 0;
    for (int16_t v : a) peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_GT(peak, 8000) << id;
    // The lead-in and tail that the player skips are silent.
    for (int i = 0; i < 22; ++i) EXPECT_EQ(a[i], 0) << id;
    for (std::size_t i = a.size() - 200; i < a.size(); ++i) EXPECT_EQ(a[i], 0) << id;
  }
}

TEST(SoundSynth, OggRoundTrip) {
  std::string path = std::string(::testing::TempDir()) + "kv_tally.ogg";
  std::vector<int16_t> pcm = kvtools::synthesizeSound(10);
  std::string err;
  ASSERT_TRUE(kvtools::writeOggVorbis(path, pcm, kvtools::kSoundRate, kvtools::kSoundChannels, 0.3f, &err)) << err;
  int rate = 0, channels = 0;
  std::vector<int16_t> back = decodeReference(path, &rate, &channels);
  EXPECT_EQ(rate, kvtools::kSoundRate);
  EXPECT_EQ(channels, 1);
  ASSERT_EQ(back.size(), pcm.size());
  // Lossy codec: compare signal-to-error energy.
  double sig = 0, noise = 0;
  for (std::size_t i = 0; i < pcm.size(); ++i) {
    double d = static_cast<double>(back[i]) - pcm[i];
    sig += static_cast<double>(pcm[i]) * pcm[i];
    noise += d * d;
  }
  EXPECT_GT(10 * std::log10(sig / noise), 15.0);
  std::remove(path.c_str());
}

TEST(SoundSynth, WriteFailures) {
  std::string err;
  EXPECT_FALSE(kvtools::writeOggVorbis("/nonexistent-dir/x.ogg", {0, 0}, 22050, 1, 0.3f, &err));
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(kvtools::writeOggVorbis("/tmp/x.ogg", {0, 0}, 22050, 3, 0.3f, &err));
}

}  // namespace
