// waveOut: output channels, the audio thread and the completions. What
// each backend does with the buffers lives in its folder.
#include <algorithm>
#include <cstring>

#include "wince/mmsystem.h"
#include "wince/src/waveout.h"

using wince::AudioDevice;

namespace {

AudioDevice& device() {
  static AudioDevice d;
  return d;
}

bool formatSupported(const WAVEFORMATEX* f) {
  return f && f->wFormatTag == WAVE_FORMAT_PCM && (f->nChannels == 1 || f->nChannels == 2) &&
         f->wBitsPerSample == 16 && f->nSamplesPerSec >= 8000 && f->nSamplesPerSec <= 48000 &&
         f->nBlockAlign == f->nChannels * 2;
}

}  // namespace

UINT waveOutGetNumDevs() {
  AudioDevice& d = device();
  std::lock_guard<std::mutex> g(d.m);
  return d.deviceCount;
}

MMRESULT waveOutGetDevCaps(UINT deviceId, WAVEOUTCAPSW* caps, UINT size) {
  AudioDevice& d = device();
  if (!caps || size < sizeof(WAVEOUTCAPSW)) return MMSYSERR_INVALPARAM;
  {
    std::lock_guard<std::mutex> g(d.m);
    if (d.deviceCount == 0 || (deviceId != WAVE_MAPPER && deviceId >= d.deviceCount)) return MMSYSERR_BADDEVICEID;
  }
  std::memset(caps, 0, sizeof *caps);
  const char* name = "Korvane audio";
  for (int i = 0; name[i] && i < 31; ++i) caps->szPname[i] = static_cast<WCHAR>(name[i]);
  caps->wChannels = 2;
  caps->dwFormats = 0xFFF;
  caps->dwSupport = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME;
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutOpen(LPHWAVEOUT out, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags) {
  AudioDevice& d = device();
  if ((flags & ~(CALLBACK_FUNCTION | WAVE_FORMAT_QUERY)) != 0) return MMSYSERR_INVALFLAG;
  {
    std::lock_guard<std::mutex> g(d.m);
    if (d.deviceCount == 0) return MMSYSERR_NODRIVER;
    if (deviceId != WAVE_MAPPER && deviceId >= d.deviceCount) return MMSYSERR_BADDEVICEID;
  }
  if (!formatSupported(format)) return WAVERR_BADFORMAT;
  if (flags & WAVE_FORMAT_QUERY) return MMSYSERR_NOERROR;
  if (!out) return MMSYSERR_INVALPARAM;
  auto* ch = new HWAVEOUT__();
  ch->format = *format;
  if ((flags & CALLBACK_FUNCTION) == CALLBACK_FUNCTION) ch->callback = reinterpret_cast<LPWAVECALLBACK>(callback);
  ch->instance = instance;
  ch->startTick = GetTickCount();
  {
    std::unique_lock<std::mutex> lock(d.m);
    d.channels.push_back(ch);
    d.ensureThread(lock);
  }
  *out = ch;
  if (ch->callback) ch->callback(ch, WOM_OPEN, instance, 0, 0);
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT hwo) {
  AudioDevice& d = device();
  LPWAVECALLBACK cb;
  DWORD_PTR inst;
  bool deleteNow;
  {
    std::lock_guard<std::mutex> g(d.m);
    HWAVEOUT ch = d.find(hwo);
    if (!ch) return MMSYSERR_INVALHANDLE;
    if (!ch->queue.empty()) return WAVERR_STILLPLAYING;
    d.channels.erase(std::find(d.channels.begin(), d.channels.end(), ch));
    cb = ch->callback;
    inst = ch->instance;
    deleteNow = ch->pendingCompletions == 0;
    // With completions still to deliver, the audio thread frees it after them.
    ch->closed = true;
  }
  if (cb) cb(hwo, WOM_CLOSE, inst, 0, 0);
  if (deleteNow) delete hwo;
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR header, UINT size) {
  AudioDevice& d = device();
  std::lock_guard<std::mutex> g(d.m);
  if (!d.find(hwo)) return MMSYSERR_INVALHANDLE;
  if (!header || size == 0 || !header->lpData) return MMSYSERR_INVALPARAM;
  header->dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR header, UINT size) {
  AudioDevice& d = device();
  std::lock_guard<std::mutex> g(d.m);
  HWAVEOUT ch = d.find(hwo);
  if (!ch) return MMSYSERR_INVALHANDLE;
  if (!header || size == 0) return MMSYSERR_INVALPARAM;
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header->dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT hwo, LPWAVEHDR header, UINT size) {
  AudioDevice& d = device();
  {
    std::lock_guard<std::mutex> g(d.m);
    HWAVEOUT ch = d.find(hwo);
    if (!ch) return MMSYSERR_INVALHANDLE;
    if (!header || size == 0) return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_DONE;
    header->dwFlags |= WHDR_INQUEUE;
    if (ch->queue.empty()) {
      ch->startTick = GetTickCount();
      ch->framesSinceStart = 0;
    }
    ch->queue.push_back(header);
    // Its end is not known until the thread's next turn: the next advance of
    // a virtual clock waits for that turn.
    d.due.store(0);
  }
  d.wake.notify_all();
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT hwo) {
  AudioDevice& d = device();
  {
    std::lock_guard<std::mutex> g(d.m);
    HWAVEOUT ch = d.find(hwo);
    if (!ch) return MMSYSERR_INVALHANDLE;
    while (!ch->queue.empty()) {
      WAVEHDR* h = ch->queue.front();
      ch->queue.pop_front();
      d.complete(ch, h);
    }
    ch->position = 0;
    ch->framesSinceStart = 0;
    ch->startTick = GetTickCount();
  }
  d.wake.notify_all();
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetVolume(HWAVEOUT hwo, DWORD* volume) {
  AudioDevice& d = device();
  std::lock_guard<std::mutex> g(d.m);
  HWAVEOUT ch = d.find(hwo);
  if (!ch) return MMSYSERR_INVALHANDLE;
  if (!volume) return MMSYSERR_INVALPARAM;
  *volume = ch->volume;
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutSetVolume(HWAVEOUT hwo, DWORD volume) {
  AudioDevice& d = device();
  std::lock_guard<std::mutex> g(d.m);
  HWAVEOUT ch = d.find(hwo);
  if (!ch) return MMSYSERR_INVALHANDLE;
  ch->volume = volume;
  return MMSYSERR_NOERROR;
}

void ceAudioSetMode(CeAudioMode mode) {
  AudioDevice& d = device();
  std::lock_guard<std::mutex> g(d.m);
  d.mode = mode;
}

void ceAudioSetDeviceCount(UINT count) {
  AudioDevice& d = device();
  std::lock_guard<std::mutex> g(d.m);
  d.deviceCount = count;
}

void ceAudioSync() { device().sync(); }

namespace wince {

void AudioDevice::sync() {
  std::unique_lock<std::mutex> lock(m);
  if (!running) return;
  uint64_t want = ++syncRequested;
  wake.notify_all();
  synced.wait(lock, [&] { return syncDone >= want || !running; });
}

void AudioDevice::onClockAdvance(uint64_t nowMicros, void* user) {
  auto* d = static_cast<AudioDevice*>(user);
  if (nowMicros >= d->due.load()) d->sync();
}

}  // namespace wince

std::vector<int16_t> ceAudioCaptured(HWAVEOUT hwo) {
  AudioDevice& d = device();
  std::lock_guard<std::mutex> g(d.m);
  HWAVEOUT ch = d.find(hwo);
  return ch ? ch->capture : std::vector<int16_t>();
}

void ceAudioClearCapture() {
  AudioDevice& d = device();
  std::lock_guard<std::mutex> g(d.m);
  for (HWAVEOUT ch : d.channels) ch->capture.clear();
}

int ceAudioOpenCount() {
  AudioDevice& d = device();
  std::lock_guard<std::mutex> g(d.m);
  return static_cast<int>(d.channels.size());
}
