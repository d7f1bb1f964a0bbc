// waveOut, SDL half: one SDL audio device mixing every open channel, each
// with its volume, resampled to the device's rate.
#include <SDL2/SDL.h>

#include "wince/src/waveout.h"

namespace wince {

struct AudioDevice::Sdl {
  SDL_AudioDeviceID device = 0;
  SDL_AudioSpec obtained{};
  bool failed = false;
};

namespace {

bool openSdl(AudioDevice& d, AudioDevice::Sdl& s) {
  if (s.device) return true;
  if (s.failed) return false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    s.failed = true;
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = 22050;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 512;
  if (!d.channels.empty()) want.freq = static_cast<int>(d.channels.front()->format.nSamplesPerSec);
  s.device = SDL_OpenAudioDevice(nullptr, 0, &want, &s.obtained, 0);
  if (!s.device) {
    // Without a device the buffers play against the clock; the driver's own
    // threads are not kept for nothing.
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    s.failed = true;
    return false;
  }
  SDL_PauseAudioDevice(s.device, 0);
  return true;
}

}  // namespace

// Mixes `frames` output frames of every channel into one stereo block.
static void mixSdl(AudioDevice& d, AudioDevice::Sdl& s, uint32_t frames) {
  std::vector<int32_t> mix(static_cast<std::size_t>(frames) * 2, 0);
  for (HWAVEOUT ch : d.channels) {
    if (ch->queue.empty()) continue;
    int inCh = std::max<int>(1, ch->format.nChannels);
    uint64_t step = (static_cast<uint64_t>(ch->format.nSamplesPerSec) << 16) / static_cast<uint64_t>(s.obtained.freq);
    uint64_t need = (ch->rateAcc + step * frames) >> 16;
    std::vector<int16_t> in;
    d.consume(ch, need, [&](const char* p, DWORD bytes) {
      const int16_t* samples = reinterpret_cast<const int16_t*>(p);
      in.insert(in.end(), samples, samples + bytes / 2);
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
  SDL_QueueAudio(s.device, out.data(), static_cast<Uint32>(out.size() * 2));
}

namespace {

// The device's queue is kept about kQueuedMs deep and refilled once it falls
// below half of that. Nothing is queued while no channel plays: the device
// plays silence by itself.
constexpr uint32_t kQueuedMs = 60;

bool anyQueued(const std::vector<HWAVEOUT>& channels) {
  for (HWAVEOUT ch : channels)
    if (!ch->queue.empty()) return true;
  return false;
}

}  // namespace

bool AudioDevice::sdlTurn() {
  if (!sdl) sdl = new Sdl();
  if (!openSdl(*this, *sdl)) return false;
  if (!anyQueued(channels)) return true;
  const uint32_t target = static_cast<uint32_t>(sdl->obtained.freq) * kQueuedMs / 1000;
  const uint32_t queued = SDL_GetQueuedAudioSize(sdl->device) / 4;
  if (queued < target) mixSdl(*this, *sdl, target - queued);
  return true;
}

uint64_t AudioDevice::sdlWait() const {
  if (!anyQueued(channels)) return kNever;
  const uint64_t freq = static_cast<uint64_t>(std::max(1, sdl->obtained.freq));
  const uint64_t queued = SDL_GetQueuedAudioSize(sdl->device) / 4;
  const uint64_t low = freq * kQueuedMs / 2000;
  // At least a couple of milliseconds, should the device stop taking data.
  return std::max<uint64_t>(2000, queued > low ? (queued - low) * 1000000 / freq : 0);
}

void AudioDevice::sdlClose() {
  if (!sdl) return;
  if (sdl->device) SDL_CloseAudioDevice(sdl->device);
  delete sdl;
  sdl = nullptr;
}

}  // namespace wince
