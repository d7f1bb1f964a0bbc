// waveOut, headless half: buffers are consumed against the tick count (the
// virtual clock in tests) into a capture per channel.
#include "wince/src/waveout.h"

namespace wince {

void AudioDevice::processHeadless(uint32_t now) {
    for (HWAVEOUT ch : channels) {
      if (ch->queue.empty()) {
        ch->startTick = now;
        ch->framesSinceStart = 0;
        continue;
      }
      uint64_t rate = ch->format.nSamplesPerSec;
      uint64_t dueFrames = static_cast<uint64_t>(now - ch->startTick) * rate / 1000;
      if (dueFrames < ch->framesSinceStart) continue;
      uint64_t frames = dueFrames - ch->framesSinceStart;
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

uint64_t AudioDevice::headlessDue(uint64_t nowMicros) const {
  const uint64_t nowMs = nowMicros / 1000;
  uint64_t first = kNever;
  for (HWAVEOUT ch : channels) {
    if (ch->queue.empty()) continue;
    const WAVEHDR* h = ch->queue.front();
    const uint64_t block = std::max<DWORD>(1, ch->format.nBlockAlign);
    const uint64_t rate = std::max<DWORD>(1, ch->format.nSamplesPerSec);
    const uint64_t left = h->dwBufferLength > ch->position ? (h->dwBufferLength - ch->position) / block : 0;
    // The first tick at which the frames due since the start reach its end.
    const uint64_t endMs = ((ch->framesSinceStart + left) * 1000 + rate - 1) / rate;
    const uint64_t elapsed = static_cast<uint32_t>(static_cast<uint32_t>(nowMs) - ch->startTick);
    const uint64_t at = (nowMs + (endMs > elapsed ? endMs - elapsed : 0)) * 1000;
    first = std::min(first, at);
  }
  return first;
}

}  // namespace wince
