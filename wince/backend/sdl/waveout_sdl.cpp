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

bool AudioDevice::sdlTurn() {
  if (!sdl) sdl = new Sdl();
  if (!openSdl(*this, *sdl)) return false;
  // Keep about 60 ms queued at the device.
  uint32_t target = static_cast<uint32_t>(sdl->obtained.freq) * 60 / 1000;
  uint32_t queued = SDL_GetQueuedAudioSize(sdl->device) / 4;
  if (queued < target) mixSdl(*this, *sdl, target - queued);
  return true;
}

void AudioDevice::sdlClose() {
  if (!sdl) return;
  if (sdl->device) SDL_CloseAudioDevice(sdl->device);
  delete sdl;
  sdl = nullptr;
}

}  // namespace wince
