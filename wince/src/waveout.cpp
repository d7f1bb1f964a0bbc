// waveOut: output channels, the audio thread and the two backends.
#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "wince/mmsystem.h"

struct HWAVEOUT__ {
  WAVEFORMATEX format{};
  LPWAVECALLBACK callback = nullptr;
  DWORD_PTR instance = 0;
  std::deque<WAVEHDR*> queue;
  DWORD position = 0;        // bytes of the front buffer already played
  DWORD volume = 0xFFFFFFFFu;
  uint32_t startTick = 0;    // headless: tick at which continuous playback began
  uint64_t framesSinceStart = 0;
  int pendingCompletions = 0;
  bool closed = false;
  std::vector<int16_t> capture;
  uint64_t rateAcc = 0;      // sdl: 16.16 position for rate conversion
};

namespace {

struct Completion {
  HWAVEOUT channel;
  WAVEHDR* header;
};

class AudioDevice {
 public:
  ~AudioDevice() { shutdown(); }

  std::mutex m;
  std::condition_variable wake;
  std::condition_variable synced;
  std::vector<HWAVEOUT> channels;
  std::deque<Completion> completions;
  CeAudioMode mode = CeAudioMode::Headless;
  UINT deviceCount = 1;
  uint64_t syncRequested = 0;
  uint64_t syncDone = 0;
  bool running = false;
  std::thread thread;
  // sdl output
  SDL_AudioDeviceID sdlDevice = 0;
  SDL_AudioSpec sdlSpec{};
  bool sdlFailed = false;

  void ensureThread(std::unique_lock<std::mutex>&) {
    if (running) return;
    running = true;
    thread = std::thread([this] { run(); });
  }

  void shutdown() {
    {
      std::lock_guard<std::mutex> g(m);
      if (!running) return;
      running = false;
    }
    wake.notify_all();
    if (thread.joinable()) thread.join();
    if (sdlDevice) SDL_CloseAudioDevice(sdlDevice);
    sdlDevice = 0;
  }

  // Moves a finished header to the completion list (lock held).
  void complete(HWAVEOUT ch, WAVEHDR* h) {
    h->dwFlags &= ~WHDR_INQUEUE;
    h->dwFlags |= WHDR_DONE;
    ch->pendingCompletions++;
    completions.push_back({ch, h});
  }

  // Plays up to `frames` frames of a channel; calls sink(bytes, count) for each
  // piece taken. Returns the frames taken.
  template <class Sink>
  uint64_t consume(HWAVEOUT ch, uint64_t frames, Sink&& sink) {
    uint64_t taken = 0;
    DWORD block = std::max<DWORD>(1, ch->format.nBlockAlign);
    while (!ch->queue.empty()) {
      WAVEHDR* h = ch->queue.front();
      DWORD left = h->dwBufferLength > ch->position ? h->dwBufferLength - ch->position : 0;
      uint64_t avail = left / block;
      if (avail == 0) {
        ch->queue.pop_front();
        ch->position = 0;
        complete(ch, h);
        continue;
      }
      if (taken == frames) break;
      uint64_t n = std::min(avail, frames - taken);
      sink(h->lpData + ch->position, static_cast<DWORD>(n * block));
      ch->position += static_cast<DWORD>(n * block);
      taken += n;
    }
    return taken;
  }

  void processHeadless(uint32_t now) {
    for (HWAVEOUT ch : channels) {
      if (ch->queue.empty()) {
        ch->startTick = now;
        ch->framesSinceStart = 0;
        continue;
      }
      uint64_t rate = ch->format.nSamplesPerSec;
      uint64_t due = static_cast<uint64_t>(now - ch->startTick) * rate / 1000;
      if (due < ch->framesSinceStart) continue;
      uint64_t frames = due - ch->framesSinceStart;
      uint64_t took = consume(ch, frames, [&](const char* p, DWORD bytes) {
        if (ch->format.wBitsPerSample == 16) {
          const int16_t* s = reinterpret_cast<const int16_t*>(p);
          ch->capture.insert(ch->capture.end(), s, s + bytes / 2);
        }
      });
      ch->framesSinceStart += took;
      if (ch->queue.empty()) {
        ch->startTick = now;
        ch->framesSinceStart = 0;
      }
    }
  }

  bool openSdl() {
    if (sdlDevice) return true;
    if (sdlFailed) return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      sdlFailed = true;
      return false;
    }
    SDL_AudioSpec want{};
    want.freq = 22050;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 512;
    if (!channels.empty()) want.freq = static_cast<int>(channels.front()->format.nSamplesPerSec);
    sdlDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &sdlSpec, 0);
    if (!sdlDevice) {
      sdlFailed = true;
      return false;
    }
    SDL_PauseAudioDevice(sdlDevice, 0);
    return true;
  }

  // Mixes `frames` output frames of every channel into one stereo block.
  void mixSdl(uint32_t frames) {
    std::vector<int32_t> mix(static_cast<std::size_t>(frames) * 2, 0);
    for (HWAVEOUT ch : channels) {
      if (ch->queue.empty()) continue;
      int inCh = std::max<int>(1, ch->format.nChannels);
      uint64_t step = (static_cast<uint64_t>(ch->format.nSamplesPerSec) << 16) / static_cast<uint64_t>(sdlSpec.freq);
      uint64_t need = (ch->rateAcc + step * frames) >> 16;
      std::vector<int16_t> in;
      consume(ch, need, [&](const char* p, DWORD bytes) {
        const int16_t* s = reinterpret_cast<const int16_t*>(p);
        in.insert(in.end(), s, s + bytes / 2);
      });
      int32_t volL = static_cast<int32_t>(ch->volume & 0xFFFF);
      int32_t volR = static_cast<int32_t>(ch->volume >> 16);
      uint64_t inFrames = in.size() / static_cast<std::size_t>(inCh);
      uint64_t acc = ch->rateAcc & 0xFFFF;
      for (uint32_t i = 0; i < frames; ++i) {
        uint64_t src = acc >> 16;
        if (src >= inFrames) break;
        int32_t l = in[src * inCh];
        int32_t r = inCh > 1 ? in[src * inCh + 1] : l;
        mix[i * 2] += l * volL / 65535;
        mix[i * 2 + 1] += r * volR / 65535;
        acc += step;
      }
      ch->rateAcc = acc & 0xFFFF;
    }
    std::vector<int16_t> out(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i) out[i] = static_cast<int16_t>(std::clamp(mix[i], -32768, 32767));
    SDL_QueueAudio(sdlDevice, out.data(), static_cast<Uint32>(out.size() * 2));
  }

  void run() {
    std::unique_lock<std::mutex> lock(m);
    while (running) {
      uint64_t request = syncRequested;
      if (mode == CeAudioMode::Sdl && openSdl()) {
        // Keep about 60 ms queued at the device.
        uint32_t target = static_cast<uint32_t>(sdlSpec.freq) * 60 / 1000;
        uint32_t queued = SDL_GetQueuedAudioSize(sdlDevice) / 4;
        if (queued < target) mixSdl(target - queued);
      } else {
        processHeadless(GetTickCount());
      }
      while (!completions.empty()) {
        Completion c = completions.front();
        completions.pop_front();
        HWAVEOUT ch = c.channel;
        LPWAVECALLBACK cb = ch->callback;
        DWORD_PTR inst = ch->instance;
        lock.unlock();
        if (cb) cb(ch, WOM_DONE, inst, reinterpret_cast<DWORD_PTR>(c.header), 0);
        lock.lock();
        if (--ch->pendingCompletions == 0 && ch->closed) delete ch;
      }
      syncDone = request;
      synced.notify_all();
      if (syncRequested != request) continue;
      wake.wait_for(lock, std::chrono::milliseconds(2));
    }
  }

  HWAVEOUT find(HWAVEOUT h) {
    for (HWAVEOUT ch : channels)
      if (ch == h) return ch;
    return nullptr;
  }
};

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

void ceAudioSync() {
  AudioDevice& d = device();
  std::unique_lock<std::mutex> lock(d.m);
  if (!d.running) return;
  uint64_t want = ++d.syncRequested;
  d.wake.notify_all();
  d.synced.wait(lock, [&] { return d.syncDone >= want || !d.running; });
}

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
