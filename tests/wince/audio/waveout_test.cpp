#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "../test_util.h"
#include "wince/mmsystem.h"

namespace {

struct Events {
  std::mutex m;
  std::vector<std::pair<UINT, WAVEHDR*>> seen;
  std::thread::id thread;
};

void CALLBACK_done(HWAVEOUT, UINT msg, DWORD_PTR inst, DWORD_PTR p1, DWORD_PTR) {
  auto* e = reinterpret_cast<Events*>(inst);
  std::lock_guard<std::mutex> g(e->m);
  e->seen.push_back({msg, reinterpret_cast<WAVEHDR*>(p1)});
  if (msg == WOM_DONE) e->thread = std::this_thread::get_id();
}

WAVEFORMATEX mono22k() {
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 1;
  f.nSamplesPerSec = 22050;
  f.wBitsPerSample = 16;
  f.nBlockAlign = 2;
  f.nAvgBytesPerSec = 44100;
  f.cbSize = 18;
  return f;
}

// A mono 22 kHz channel whose callback records into `ev`; null when it
// does not open.
HWAVEOUT openRecording(Events& ev) {
  WAVEFORMATEX f = mono22k();
  HWAVEOUT h = nullptr;
  const MMRESULT r = waveOutOpen(&h, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&CALLBACK_done),
                                 reinterpret_cast<DWORD_PTR>(&ev), CALLBACK_FUNCTION);
  return r == MMSYSERR_NOERROR ? h : nullptr;
}

TEST(WaveOut, OpenChecksFormatAndFlags) {
  WAVEFORMATEX f = mono22k();
  HWAVEOUT h = nullptr;
  EXPECT_EQ(waveOutGetNumDevs(), 1u);
  EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
  WAVEFORMATEX bad = f;
  bad.wBitsPerSample = 12;
  EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &bad, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
  EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, 0x80), MMSYSERR_INVALFLAG);
  EXPECT_EQ(waveOutOpen(&h, 5, &f, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  ceAudioSetDeviceCount(0);
  EXPECT_EQ(waveOutGetNumDevs(), 0u);
  EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
  ceAudioSetDeviceCount(1);
  WAVEOUTCAPSW caps;
  ASSERT_EQ(waveOutGetDevCaps(WAVE_MAPPER, &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_TRUE(caps.dwSupport & WAVECAPS_VOLUME);
}

TEST(WaveOut, HeaderLifecycleAndReset) {
  Events ev;
  HWAVEOUT h = openRecording(ev);
  ASSERT_NE(h, nullptr);
  std::vector<int16_t> pcm(22050 * 10, 7);  // ten seconds: never finishes here
  WAVEHDR hdr{};
  hdr.lpData = reinterpret_cast<char*>(pcm.data());
  hdr.dwBufferLength = static_cast<DWORD>(pcm.size() * 2);
  EXPECT_EQ(waveOutWrite(h, &hdr, sizeof hdr), WAVERR_UNPREPARED);
  ASSERT_EQ(waveOutPrepareHeader(h, &hdr, sizeof hdr), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutWrite(h, &hdr, sizeof hdr), MMSYSERR_NOERROR);
  EXPECT_TRUE(hdr.dwFlags & WHDR_INQUEUE);
  EXPECT_EQ(waveOutWrite(h, &hdr, sizeof hdr), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveOutUnprepareHeader(h, &hdr, sizeof hdr), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveOutClose(h), WAVERR_STILLPLAYING);
  DWORD vol = 0;
  ASSERT_EQ(waveOutSetVolume(h, 0x7FFF7FFF), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutGetVolume(h, &vol), MMSYSERR_NOERROR);
  EXPECT_EQ(vol, 0x7FFF7FFFu);
  // Reset hands the header back through the callback, on the audio thread.
  ASSERT_EQ(waveOutReset(h), MMSYSERR_NOERROR);
  ceAudioSync();
  {
    std::lock_guard<std::mutex> g(ev.m);
    ASSERT_EQ(ev.seen.size(), 2u);
    EXPECT_EQ(ev.seen[0].first, WOM_OPEN);
    EXPECT_EQ(ev.seen[1].first, WOM_DONE);
    EXPECT_EQ(ev.seen[1].second, &hdr);
    EXPECT_NE(ev.thread, std::this_thread::get_id());
  }
  EXPECT_TRUE(hdr.dwFlags & WHDR_DONE);
  EXPECT_FALSE(hdr.dwFlags & WHDR_INQUEUE);
  EXPECT_EQ(waveOutUnprepareHeader(h, &hdr, sizeof hdr), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutClose(h), MMSYSERR_INVALHANDLE);
}

// A short buffer finishes against the clock and its samples are captured.
TEST(WaveOut, ShortBufferCompletesAndIsCaptured) {
  Events ev;
  HWAVEOUT h = openRecording(ev);
  ASSERT_NE(h, nullptr);
  std::vector<int16_t> pcm(441);
  for (std::size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>(i);
  WAVEHDR hdr{};
  hdr.lpData = reinterpret_cast<char*>(pcm.data());
  hdr.dwBufferLength = static_cast<DWORD>(pcm.size() * 2);
  ASSERT_EQ(waveOutPrepareHeader(h, &hdr, sizeof hdr), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutWrite(h, &hdr, sizeof hdr), MMSYSERR_NOERROR);
  // The flags are the audio thread's until its callback reports the header.
  auto done = [&ev] {
    std::lock_guard<std::mutex> g(ev.m);
    return !ev.seen.empty() && ev.seen.back().first == WOM_DONE;
  };
  for (int i = 0; i < 200 && !done(); ++i) Sleep(5);
  ASSERT_TRUE(done());
  ASSERT_TRUE(hdr.dwFlags & WHDR_DONE);
  EXPECT_EQ(ceAudioCaptured(h), pcm);
  ASSERT_EQ(waveOutUnprepareHeader(h, &hdr, sizeof hdr), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

// On the virtual clock nothing polls: the advance that reaches a buffer's
// end completes it before the advance returns, and not one earlier.
class WaveOutVirtual : public wince_test::LayerTest {};

TEST_F(WaveOutVirtual, BufferCompletesOnTheAdvanceThatReachesItsEnd) {
  Events ev;
  HWAVEOUT h = openRecording(ev);
  ASSERT_NE(h, nullptr);
  auto doneCount = [&ev] {
    std::lock_guard<std::mutex> g(ev.m);
    int n = 0;
    for (const auto& e : ev.seen) n += e.first == WOM_DONE;
    return n;
  };
  std::vector<int16_t> pcm(441, 3);  // 20 ms
  WAVEHDR a{}, b{};
  for (WAVEHDR* hdr : {&a, &b}) {
    hdr->lpData = reinterpret_cast<char*>(pcm.data());
    hdr->dwBufferLength = static_cast<DWORD>(pcm.size() * 2);
    ASSERT_EQ(waveOutPrepareHeader(h, hdr, sizeof *hdr), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(h, hdr, sizeof *hdr), MMSYSERR_NOERROR);
  }
  const struct {
    uint64_t advanceMicros;
    int done;
  } steps[] = {{19000, 0}, {999, 0}, {1, 1}, {19999, 1}, {1, 2}};
  for (const auto& step : steps) {
    wince::advanceClock(step.advanceMicros);
    EXPECT_EQ(doneCount(), step.done) << "at " << wince::nowMicros() << " us";
  }
  EXPECT_EQ(ceAudioCaptured(h).size(), 2 * pcm.size());
  EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

}  // namespace
