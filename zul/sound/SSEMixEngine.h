// Software mixer: up to 8 voices of loaded 8- or 16-bit samples into an 8- or
// 16-bit output block, with per-voice volume and Q12 pitch (both with ramps),
// looping, priorities for voice stealing and a master volume.
#pragma once

#include <cstdint>

#include "zul/sound/SSESample.h"

struct SSEVoice {
  int32_t id = -1;  // -1 when free
  SSESample* sample = nullptr;
  uint32_t position = 0;  // Q12 sample index
  uint32_t pitch = 0;     // Q12, 4096 = unchanged speed
  uint32_t step = 0;      // Q12, target
  int32_t volume = 0;     // target
  bool looping = false;
  uint8_t priority = 0;
  uint16_t pitchRamping = 0;
  uint16_t volumeRamping = 0;
  int32_t stepDelta = 0;
  uint32_t currentStep = 0;
  int32_t volumeDelta = 0;
  int32_t currentVolume = 0;  // volume << 8

  bool busy() const { return sample != nullptr; }
  void release() {
    id = -1;
    sample = nullptr;
  }
};

class SSEMixEngine {
 public:
  static constexpr const char* kSource = "SSEMixEngine";
  static constexpr int kVoiceCount = 8;
  // Largest volume whose << 8 fits in 32 bits.
  static constexpr int32_t kMaxVolume = INT32_MAX >> 8;

  SSEMixEngine(uint32_t sampleCount, uint32_t outputRate, uint32_t outputBits, uint32_t third);
  virtual ~SSEMixEngine();
  SSEMixEngine(const SSEMixEngine&) = delete;
  SSEMixEngine& operator=(const SSEMixEngine&) = delete;

  // Loads a copy of the bytes into sample index; a loaded sample is unloaded
  // first (after the report). False after a report when the index is out of
  // range or the bytes are refused.
  bool loadRaw(uint32_t index, const void* bytes, uint32_t size);
  bool loadWav(uint32_t index, const void* bytes, uint32_t size);
  // Frees the copy; voices playing the sample stop.
  void unload(uint32_t index);
  void unloadAll();

  // The new voice's id, 0 when not played.
  int32_t play(uint32_t index, int32_t volume, uint32_t pitch, bool loop, uint8_t priority);
  void stop(int32_t id);
  void stopAll();
  bool isPlaying(int32_t id) const;
  // ramp & 0xFFFF != 0: move there in 8 mix calls.
  void setVolume(int32_t id, int32_t volume, int32_t ramp);
  void setPitch(int32_t id, uint32_t pitch, int32_t ramp);
  void setMasterVolume(uint32_t volume) { m_masterVolume = volume & 0xFFFF; }

  // Fills bytes of out with the mix: 16-bit blocks are a multiple of 16
  // bytes, 8-bit blocks of 8 (others: the whole samples that fit, the rest 0).
  void mix(void* out, uint32_t bytes);

  const SSEVoice& voice(int i) const { return m_voices[i]; }
  SSESample* sample(uint32_t index) const { return index < m_sampleCount ? &m_samples[index] : nullptr; }
  uint32_t sampleCount() const { return m_sampleCount; }
  uint32_t masterVolume() const { return m_masterVolume; }
  uint32_t outputRate() const { return m_outputRate; }
  uint32_t outputBits() const { return m_outputBits; }
  uint32_t third() const { return m_third; }

 private:
  SSEVoice* findVoice(int32_t id);
  int32_t scaledVolume(int32_t volume) const;
  uint32_t scaledStep(uint32_t pitch, const SSESample& sample) const;
  bool prepareLoad(uint32_t index, int indexLine, int loadedLine);
  template <class Out>
  void mixSpan(Out* out, uint32_t count);
  void applyRamps();

  uint32_t m_outputRate;
  uint32_t m_outputBits;
  uint32_t m_third;
  SSEVoice m_voices[kVoiceCount];
  uint32_t m_lastId = 0;
  SSESample* m_samples = nullptr;
  uint32_t m_sampleCount = 0;
  uint32_t m_masterVolume = 128;
};
