// The waveOut device shared by the layer's common part (src/waveout.cpp)
// and the backends' halves (backend/headless, backend/sdl): the channels,
// the audio thread and the completion list.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "wince/mmsystem.h"
#include "wince/src/backend.h"

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

bool isVirtualClock();

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
    if (!clockListener) clockListener = addClockListener(&AudioDevice::onClockAdvance, this);
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
    if (clockListener) removeClockListener(clockListener);
    clockListener = 0;
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
  // Headless: the tick (in microseconds) at which the first buffer still
  // queued on any channel ends; kNever when none is queued.
  uint64_t headlessDue(uint64_t nowMicros) const;
  // SDL: keeps the device's queue filled; false when no device can open.
  bool sdlTurn();
  // SDL: microseconds until the device's queue wants more, kNever when no
  // channel has anything to play.
  uint64_t sdlWait() const;
  void sdlClose();

  static constexpr uint64_t kNever = UINT64_MAX;

  // The thread sleeps until a buffer is written or reset, a sync is asked
  // for, or the next buffer is due: on the real clock by its own timer, on
  // the virtual clock when an advance passes the due time (onClockAdvance).
  void run() {
    std::unique_lock<std::mutex> lock(m);
    while (running) {
      uint64_t request = syncRequested;
      const bool sdlOut = mode == CeAudioMode::Sdl && sdlTurn();
      if (!sdlOut) processHeadless(GetTickCount());
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
      // A buffer a callback queued again counts in the wait below.
      const uint64_t now = nowMicros();
      uint64_t wait = kNever;
      if (sdlOut) {
        wait = sdlWait();
        due.store(kNever);
      } else {
        const uint64_t at = headlessDue(now);
        due.store(at);
        if (at != kNever) wait = at > now ? at - now : 0;
      }
      syncDone = request;
      synced.notify_all();
      if (syncRequested != request || wait == 0) continue;
      if (wait == kNever) {
        wake.wait(lock);
      } else if (isVirtualClock()) {
        // Virtual time moves only when the program advances it; the advance
        // that passes the due time syncs. The real-time bound only guards a
        // clock that stops being virtual.
        wake.wait_for(lock, std::chrono::seconds(1));
      } else {
        wake.wait_for(lock, std::chrono::microseconds(wait));
      }
    }
  }

  // Clock listener: an advance of the virtual clock to or past the next due
  // buffer completes it before the program goes on.
  static void onClockAdvance(uint64_t nowMicros, void* user);
  // Returns once the thread has run a whole turn after the call.
  void sync();

  std::atomic<uint64_t> due{kNever};
  int clockListener = 0;

  HWAVEOUT find(HWAVEOUT h) {
    for (HWAVEOUT ch : channels)
      if (ch == h) return ch;
    return nullptr;
  }
};

}  // namespace wince
