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

}  // namespace wince
