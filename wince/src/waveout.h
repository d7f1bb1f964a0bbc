// The waveOut device shared by the layer's common part (src/waveout.cpp)
// and the backends' halves (backend/headless, backend/sdl): the channels,
// the audio thread and the completion list.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

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

namespace wince {

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
  // SDL output (backend/sdl/waveout_sdl.cpp).
  struct Sdl;
  Sdl* sdl = nullptr;

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
    sdlClose();
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

  // Headless: consumes what is due by the tick count into the captures.
  void processHeadless(uint32_t now);
  // SDL: keeps the device's queue filled; false when no device can open.
  bool sdlTurn();
  void sdlClose();

  void run() {
    std::unique_lock<std::mutex> lock(m);
    while (running) {
      uint64_t request = syncRequested;
      if (!(mode == CeAudioMode::Sdl && sdlTurn())) processHeadless(GetTickCount());
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

}  // namespace wince
