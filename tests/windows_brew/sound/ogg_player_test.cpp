#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <tremor/ivorbisfile.h>
#include <unistd.h>

#include <filesystem>

#include "tests/DataSet.h"
#include "tools/sound/SoundSynth.h"
#include "wince/crt.h"
#include "wince/layer.h"
#include "windows_brew/OggSoundPlayer.h"
#include "zul/memory/MemoryManager.h"

namespace {

std::u16string wide(const char* s) {
  std::u16string w;
  for (; *s; ++s) w.push_back(static_cast<unsigned char>(*s));
  return w;
}

// Loads the named files one per call, as the game does.
void loadOneByOne(OggSoundPlayer& p, const std::vector<std::string>& names) {
  p.setCapacity(15);
  for (const std::string& n : names) {
    std::u16string w = wide(n.c_str());
    const WCHAR* list[] = {w.c_str()};
    getOggSounds(&p, list, 1, 1);
  }
}

// Waits (real time) until the audio thread has handed back every buffer.
bool waitIdle(OggSoundPlayer& p) {
  for (int i = 0; i < 400; ++i) {
    ceAudioSync();
    if (!p.isAnyPlaying()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

class OggPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DATA_SET("sfx_tally.ogg");
  }
};

TEST_F(OggPlayer, SlotsFillInCallOrderAndFormatComesFromFirstFile) {
  OggSoundPlayer p;
  loadOneByOne(p, {"sfx_tally.ogg", "m_win.ogg", "missing.ogg", "sfx_error.ogg"});
  EXPECT_EQ(p.loadedCount(), 4);
  EXPECT_GT(p.slotSize(0), 444u);
  EXPECT_GT(p.slotSize(1), p.slotSize(0));
  EXPECT_EQ(p.slotSize(2), 0u);
  EXPECT_EQ(p.slotData(2), nullptr);
  EXPECT_GT(p.slotSize(3), 0u);
  EXPECT_EQ(+p.format().nChannels, kvtools::kSoundChannels);
  EXPECT_EQ(+p.format().nSamplesPerSec, static_cast<DWORD>(kvtools::kSoundRate));
  EXPECT_EQ(+p.format().nBlockAlign, 2);
  EXPECT_EQ(+p.format().cbSize, 18);
  EXPECT_TRUE(p.channelsOpen());
  EXPECT_EQ(p.getVolume(), 0xFFFFFFFFu);
  // A missing or empty slot plays nothing.
  EXPECT_EQ(p.play(2, 0), 0);
  EXPECT_EQ(p.play(9, 0), 0);
}

// A second load on the same player (a new game on the same shell) frees the
// sounds of the first instead of leaking them; so does a new capacity.
TEST_F(OggPlayer, ReloadFreesTheSoundsLoadedBefore) {
  OggSoundPlayer p;
  CMemoryManager* m = getMemoryManager();
  const int32_t before = m->currentTotal();
  loadOneByOne(p, {"m_win.ogg", "sfx_tally.ogg"});
  const int32_t loaded = m->currentTotal();
  const int32_t sounds = static_cast<int32_t>(p.slotSize(0) + p.slotSize(1));
  ASSERT_GT(sounds, 1000);
  EXPECT_GE(loaded - before, sounds);
  loadOneByOne(p, {"m_win.ogg", "sfx_tally.ogg"});
  EXPECT_LT(std::abs(m->currentTotal() - loaded), sounds / 4);
  p.setCapacity(0);
  EXPECT_LT(m->currentTotal() - before, sounds / 4);
}

TEST_F(OggPlayer, MissingFirstFileDoesNotLoseTheFormat) {
  OggSoundPlayer p;
  loadOneByOne(p, {"missing.ogg", "sfx_tally.ogg"});
  EXPECT_EQ(+p.format().nSamplesPerSec, static_cast<DWORD>(kvtools::kSoundRate));
  EXPECT_TRUE(p.channelsOpen());
  EXPECT_EQ(p.play(1, 0), 1);
  p.stopAll();
  EXPECT_TRUE(waitIdle(p));
}

TEST_F(OggPlayer, DecodedPcmMatchesTheSynthesiser) {
  OggSoundPlayer p;
  loadOneByOne(p, {"sfx_tally.ogg"});
  std::vector<int16_t> ref = kvtools::synthesizeSound(10);
  ASSERT_EQ(p.slotSize(0), ref.size() * 2);
  const int16_t* got = reinterpret_cast<const int16_t*>(p.slotData(0));
  double sig = 0, err = 0;
  for (std::size_t i = 0; i < ref.size(); ++i) {
    double d = static_cast<double>(got[i]) - ref[i];
    sig += static_cast<double>(ref[i]) * ref[i];
    err += d * d;
  }
  EXPECT_GT(10 * std::log10(sig / err), 15.0);
}

TEST_F(OggPlayer, FivePlaysOnFourChannels) {
  OggSoundPlayer p;
  loadOneByOne(p, {"m_title.ogg"});
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(p.play(0, 0), 1);
    EXPECT_EQ(p.playingId(i), 0);
  }
  EXPECT_EQ(p.findFreeChannel(), -1);
  // The fifth frees all four channels and plays nothing.
  EXPECT_EQ(p.play(0, 0), 1);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(p.channelHeader(i), nullptr);
  // The sixth plays on channel 0 again.
  EXPECT_EQ(p.play(0, 0), 1);
  EXPECT_EQ(p.playingId(0), 0);
  EXPECT_EQ(p.channelHeader(1), nullptr);
  p.stopAll();
  EXPECT_TRUE(waitIdle(p));
}

TEST_F(OggPlayer, StopIsSeenAtOnceAndLoopsRunUntilStopped) {
  OggSoundPlayer p;
  loadOneByOne(p, {"sfx_tally.ogg", "m_title.ogg"});
  ASSERT_EQ(p.play(0, 1), 1);  // looping tally
  ASSERT_EQ(p.play(1, 0), 1);
  EXPECT_EQ(p.isPlaying(1), 1);
  p.stop(1);
  EXPECT_EQ(p.isPlaying(1), 0);  // at once, before the device returns the buffer
  // The tally loops: after many times its length it still plays.
  for (int i = 0; i < 30; ++i) {
    Sleep(50);
    ceAudioSync();
  }
  EXPECT_EQ(p.isPlaying(0), 1);
  p.stopAll();
  EXPECT_TRUE(waitIdle(p));
  EXPECT_EQ(p.isPlaying(0), 0);
}

TEST_F(OggPlayer, OneShotFinishesOnItsOwn) {
  OggSoundPlayer p;
  loadOneByOne(p, {"sfx_tally.ogg"});
  ASSERT_EQ(p.play(0, 0), 1);
  for (int i = 0; i < 100 && p.isAnyPlaying(); ++i) {
    Sleep(20);
    ceAudioSync();
  }
  EXPECT_EQ(p.isAnyPlaying(), 0);
}

TEST_F(OggPlayer, VolumePacking) {
  OggSoundPlayer p;
  loadOneByOne(p, {"sfx_tally.ogg"});
  p.setVolume(50);
  EXPECT_EQ(p.getVolume(), 0x7FFF7FFFu);
  DWORD v = 0;
  ASSERT_EQ(waveOutGetVolume(p.channelHandle(0), &v), MMSYSERR_NOERROR);
  EXPECT_EQ(v, 0x7FFF7FFFu);
  p.setVolume(100);
  EXPECT_EQ(p.getVolume(), 0xFFFFFFFFu);
  EXPECT_EQ(p.volumePercent(), 100);
  p.changeVolume(-150);
  EXPECT_EQ(p.volumePercent(), 0);
  EXPECT_EQ(p.getVolume(), 0u);
  p.changeVolume(90);
  p.changeVolume(30);
  EXPECT_EQ(p.volumePercent(), 100);
  EXPECT_EQ(p.supportsVolume(WAVE_MAPPER), 1);
}

TEST_F(OggPlayer, NoDeviceOpensNothing) {
  ceAudioSetDeviceCount(0);
  OggSoundPlayer p;
  loadOneByOne(p, {"sfx_tally.ogg"});
  ceAudioSetDeviceCount(1);
  EXPECT_FALSE(p.channelsOpen());
  EXPECT_GT(p.slotSize(0), 0u);
  EXPECT_EQ(p.play(0, 0), 1);  // no channel: counts as all busy, plays nothing
  EXPECT_EQ(p.isAnyPlaying(), 0);
}

// What the file decoder of the same library gives for a file.
std::vector<uint8_t> decodedByTheFileDecoder(const std::string& cePath) {
  std::vector<uint8_t> pcm;
  FILE* f = ceFopen(cePath.c_str(), "rb");
  OggVorbis_File vf;
  if (!f || ov_open(f, &vf, nullptr, 0) < 0) {
    if (f) std::fclose(f);
    return pcm;
  }
  char buffer[4096];
  int section = 0;
  for (long n; (n = ov_read(&vf, buffer, sizeof buffer, &section)) > 0;) pcm.insert(pcm.end(), buffer, buffer + n);
  ov_clear(&vf);
  return pcm;
}

// The player's decoder, kept from one sound to the next and set up again
// when a sound's format differs (mono and stereo, other rates), gives every
// sample exactly as the library's file decoder does.
TEST_F(OggPlayer, DecodesEverySampleAsTheFileDecoderDoes) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("kv_ogg_decode_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  struct Made {
    const char* name;
    const char* format;
    const char* synth;
  } made[] = {{"stereo.ogg", "-c 2 -r 44100", "synth 1.3 sine 440 sine 660"},
              {"stereo48.ogg", "-c 2 -r 48000", "synth 0.7 pinknoise"}};
  for (const Made& m : made) {
    char command[1024];
    std::snprintf(command, sizeof command, "sox -n %s '%s' %s 2>/dev/null", m.format, (dir / m.name).c_str(), m.synth);
    if (std::system(command) != 0) GTEST_SKIP() << "sox cannot write Ogg Vorbis here";
  }
  wince::setWriteDir(dir.string());
  const std::vector<std::string> names = {"sfx_tally.ogg", "m_win.ogg", "stereo.ogg", "sfx_clap.ogg", "stereo48.ogg",
                                          "stereo.ogg",    "m_title.ogg"};
  OggSoundPlayer p;
  loadOneByOne(p, names);
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const std::vector<uint8_t> want = decodedByTheFileDecoder(std::string(KV_CE_INSTALL_DIR) + names[i]);
    ASSERT_GT(want.size(), 1000u);
    ASSERT_EQ(p.slotSize(static_cast<int>(i)), want.size());
    EXPECT_EQ(std::memcmp(p.slotData(static_cast<int>(i)), want.data(), want.size()), 0);
  }
  wince::setWriteDir(".");
  std::filesystem::remove_all(dir);
}

TEST_F(OggPlayer, LoaderThreadDecodesWholeFile) {
  std::string path = std::string("\\Program Files\\Pelloran\\Korvane\\") + "sfx_tally.ogg";
  WAVEFORMATEX fmt;
  WAVEHDR hdr;
  OggLoaderThread t;
  t.m_format = &fmt;
  t.m_header = &hdr;
  std::strncpy(t.m_path, path.c_str(), sizeof t.m_path - 1);
  HANDLE_THREAD h = t.start();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(WaitForSingleObject(h, 5000), WAIT_OBJECT_0);
  CloseThreadHandle(h);
  EXPECT_EQ(t.m_done.load(), 1);
  EXPECT_EQ(t.m_result, 0);
  EXPECT_EQ(+fmt.nSamplesPerSec, static_cast<DWORD>(kvtools::kSoundRate));
  EXPECT_EQ(static_cast<std::size_t>(hdr.dwBufferLength), kvtools::synthesizeSound(10).size() * 2);
  EXPECT_EQ(t.m_totalBytes, static_cast<int32_t>(hdr.dwBufferLength));
  delete[] hdr.lpData;

  OggLoaderThread missing;
  missing.m_format = &fmt;
  missing.m_header = &hdr;
  std::strncpy(missing.m_path, "\\nowhere.ogg", sizeof missing.m_path - 1);
  missing.run();
  EXPECT_EQ(missing.m_result, -1);
  OggLoaderThread nulls;
  nulls.run();
  EXPECT_EQ(nulls.m_result, -2);
  EXPECT_EQ(OggLoaderThread::threadEntry(nullptr), 0xFFFFFFFFu);
}

}  // namespace

namespace {

// Plays, stops and lets sounds finish in quick succession while the audio
// thread completes buffers: run under the thread sanitizer in CI.
TEST(OggPlayerStress, StopAgainstCompletion) {
  OggSoundPlayer p;
  loadOneByOne(p, {"sfx_tally.ogg", "sfx_hit_hard.ogg", "m_start.ogg"});
  for (int round = 0; round < 300; ++round) {
    p.play(round % 3, round % 7 == 0);
    if (round % 2) p.stop((round + 1) % 3);
    if (round % 5 == 0) p.stopAll();
    if (round % 11 == 0) Sleep(3);
    p.isAnyPlaying();
  }
  p.stopAll();
  EXPECT_TRUE(waitIdle(p));
}

}  // namespace

namespace {

// A channel of the test's own whose completion holds the audio thread until
// released, so the player's buffers come back only after it has closed.
struct HeldThread {
  std::mutex m;
  std::condition_variable cv;
  bool entered = false;
  bool released = false;
  static void done(HWAVEOUT, UINT message, DWORD_PTR self, DWORD_PTR, DWORD_PTR) {
    if (message != WOM_DONE) return;
    auto* h = reinterpret_cast<HeldThread*>(self);
    std::unique_lock<std::mutex> lock(h->m);
    h->entered = true;
    h->cv.notify_all();
    h->cv.wait(lock, [h] { return h->released; });
  }
};

TEST_F(OggPlayer, ClosingWhileTheDeviceStillHoldsABufferIsSafe) {
  auto* p = new OggSoundPlayer();
  loadOneByOne(*p, {"m_title.ogg"});
  ASSERT_EQ(p->play(0, 1), 1);
  ASSERT_TRUE(p->isAnyPlaying());

  HeldThread held;
  WAVEFORMATEX format = p->format();
  HWAVEOUT out = nullptr;
  ASSERT_EQ(waveOutOpen(&out, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&HeldThread::done),
                        reinterpret_cast<DWORD_PTR>(&held), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  std::vector<char> pcm(4096);
  WAVEHDR header{};
  header.lpData = pcm.data();
  header.dwBufferLength = static_cast<DWORD>(pcm.size());
  waveOutPrepareHeader(out, &header, sizeof header);
  waveOutWrite(out, &header, sizeof header);
  waveOutReset(out);
  {
    std::unique_lock<std::mutex> lock(held.m);
    ASSERT_TRUE(held.cv.wait_for(lock, std::chrono::seconds(5), [&] { return held.entered; }));
  }
  // The player stops and closes while its buffer waits behind the held one.
  delete p;
  {
    std::lock_guard<std::mutex> lock(held.m);
    held.released = true;
  }
  held.cv.notify_all();
  ceAudioSync();
  waveOutUnprepareHeader(out, &header, sizeof header);
  EXPECT_EQ(waveOutClose(out), MMSYSERR_NOERROR);

  // The device goes on serving a new player.
  OggSoundPlayer again;
  loadOneByOne(again, {"sfx_tally.ogg"});
  EXPECT_EQ(again.play(0, 0), 1);
  again.stopAll();
  EXPECT_TRUE(waitIdle(again));
}

}  // namespace
