#include "zul/sound/SSEMixEngine.h"

#include <algorithm>
#include <cstring>

#include "zul/memory/Memory.h"

namespace {

// Mixing works through an accumulator of this many output samples at a time.
constexpr uint32_t kChunk = 256;

// One voice's contribution to count output samples; false when the voice
// reached its end and is free.
template <bool kWideSample, bool kWideOut>
bool addVoice(SSEVoice& v, int64_t* acc, uint32_t count) {
  const SSESample& s = *v.sample;
  const int64_t vol = v.currentVolume >> 8;
  const uint64_t end = s.end;
  const uint64_t step = v.currentStep;
  uint64_t pos = v.position;
  for (uint32_t i = 0; i < count; ++i) {
    const int64_t x = s.at(static_cast<uint32_t>(pos >> 12));
    if constexpr (kWideOut) {
      acc[i] += kWideSample ? x * vol : vol * x * 256;
    } else {
      acc[i] += kWideSample ? x * vol / 256 : vol * x;
    }
    pos += step;
    if (pos >= end) {
      if (!v.looping) {
        v.release();
        return false;
      }
      pos = 0;
    }
  }
  v.position = static_cast<uint32_t>(pos);
  return true;
}

template <bool kWideOut>
void addVoice(SSEVoice& v, int64_t* acc, uint32_t count) {
  if (v.sample->is16Bit) {
    addVoice<true, kWideOut>(v, acc, count);
  } else {
    addVoice<false, kWideOut>(v, acc, count);
  }
}

// Moves value by delta, stopping at target; true once there.
bool rampTowards(int64_t& value, int64_t delta, int64_t target) {
  value += delta;
  if (delta == 0 || (delta > 0 && value >= target) || (delta < 0 && value <= target)) {
    value = target;
    return true;
  }
  return false;
}

}  // namespace

SSEMixEngine::SSEMixEngine(uint32_t sampleCount, uint32_t outputRate, uint32_t outputBits, uint32_t third)
    : m_outputRate(outputRate), m_outputBits(outputBits), m_third(third) {
  if (sampleCount > 0) m_samples = new (kSource, 168, nullptr) SSESample[sampleCount];
  if (m_samples) m_sampleCount = sampleCount;
}

SSEMixEngine::~SSEMixEngine() {
  stopAll();
  delete[] m_samples;
}

bool SSEMixEngine::prepareLoad(uint32_t index, int indexLine, int loadedLine) {
  if (!KV_CHECK(index < m_sampleCount, indexLine, kSource)) return false;
  if (!KV_CHECK(!m_samples[index].isLoaded(), loadedLine, kSource)) unload(index);
  return true;
}

bool SSEMixEngine::loadRaw(uint32_t index, const void* bytes, uint32_t size) {
  if (!prepareLoad(index, 637, 88)) return false;
  return m_samples[index].loadRaw(static_cast<const uint8_t*>(bytes), size, m_outputRate, 88);
}

bool SSEMixEngine::loadWav(uint32_t index, const void* bytes, uint32_t size) {
  if (!prepareLoad(index, 646, 114)) return false;
  return m_samples[index].loadWav(static_cast<const uint8_t*>(bytes), size, m_outputRate, 114);
}

void SSEMixEngine::unload(uint32_t index) {
  if (index >= m_sampleCount) return;
  for (SSEVoice& v : m_voices) {
    if (v.sample == &m_samples[index]) v.release();
  }
  m_samples[index].unload();
}

void SSEMixEngine::unloadAll() {
  for (uint32_t i = 0; i < m_sampleCount; ++i) {
    if (m_samples[i].isLoaded()) unload(i);
  }
}

int32_t SSEMixEngine::scaledVolume(int32_t volume) const {
  const int64_t v = (int64_t{volume & 0xFFFF} * m_masterVolume) >> 8;
  return static_cast<int32_t>(std::min<int64_t>(v, kMaxVolume));
}

uint32_t SSEMixEngine::scaledStep(uint32_t pitch, const SSESample& sample) const {
  const uint64_t step = (uint64_t{pitch} * sample.step) >> 12;
  return step > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(step);
}

int32_t SSEMixEngine::play(uint32_t index, int32_t volume, uint32_t pitch, bool loop, uint8_t priority) {
  if (!KV_CHECK(index < m_sampleCount, 671, kSource)) return 0;
  SSESample& s = m_samples[index];
  if (!KV_CHECK(s.isLoaded(), 672, kSource)) return 0;
  if (s.length == 0) return 0;
  SSEVoice* v = std::find_if(m_voices, m_voices + kVoiceCount, [](const SSEVoice& x) { return !x.busy(); });
  if (v == m_voices + kVoiceCount) {
    v = std::find_if(m_voices, m_voices + kVoiceCount,
                     [&](const SSEVoice& x) { return x.priority < priority && !x.looping; });
    if (v == m_voices + kVoiceCount) return 0;
  }
  v->sample = &s;
  v->position = 0;
  v->volume = scaledVolume(volume);
  v->priority = priority;
  v->pitch = pitch;
  v->looping = loop;
  v->step = scaledStep(pitch, s);
  v->pitchRamping = 0;
  v->volumeRamping = 0;
  v->currentStep = v->step;
  v->currentVolume = v->volume * 256;
  // Ids wrap past 0 and -1, which mean "not played" and "free".
  do {
    ++m_lastId;
  } while (m_lastId == 0 || m_lastId == UINT32_MAX);
  v->id = static_cast<int32_t>(m_lastId);
  return v->id;
}

SSEVoice* SSEMixEngine::findVoice(int32_t id) {
  for (SSEVoice& v : m_voices) {
    if (v.busy() && v.id == id) return &v;
  }
  return nullptr;
}

void SSEMixEngine::stop(int32_t id) {
  if (SSEVoice* v = findVoice(id)) v->release();
}

void SSEMixEngine::stopAll() {
  for (SSEVoice& v : m_voices) v.release();
}

bool SSEMixEngine::isPlaying(int32_t id) const { return const_cast<SSEMixEngine*>(this)->findVoice(id) != nullptr; }

void SSEMixEngine::setVolume(int32_t id, int32_t volume, int32_t ramp) {
  SSEVoice* v = findVoice(id);
  if (!v) return;
  v->volume = scaledVolume(volume);
  const int32_t delta = (v->volume - (v->currentVolume >> 8)) * 256 / 8;
  if ((ramp & 0xFFFF) == 0 || delta == 0) {
    v->currentVolume = v->volume * 256;
    v->volumeRamping = 0;
  } else {
    v->volumeRamping = 1;
    v->volumeDelta = delta;
  }
}

void SSEMixEngine::setPitch(int32_t id, uint32_t pitch, int32_t ramp) {
  SSEVoice* v = findVoice(id);
  if (!v) return;
  v->pitch = pitch;
  v->step = scaledStep(pitch, *v->sample);
  const int32_t delta = static_cast<int32_t>((int64_t{v->step} - v->currentStep) / 8);
  if ((ramp & 0xFFFF) == 0 || delta == 0) {
    v->currentStep = v->step;
    v->pitchRamping = 0;
  } else {
    v->pitchRamping = 1;
    v->stepDelta = delta;
  }
}

void SSEMixEngine::applyRamps() {
  for (SSEVoice& v : m_voices) {
    if (!v.busy()) continue;
    if (v.volumeRamping) {
      int64_t value = v.currentVolume;
      if (rampTowards(value, v.volumeDelta, int64_t{v.volume} * 256)) v.volumeRamping = 0;
      v.currentVolume = static_cast<int32_t>(value);
    }
    if (v.pitchRamping) {
      int64_t value = v.currentStep;
      if (rampTowards(value, v.stepDelta, v.step)) v.pitchRamping = 0;
      v.currentStep = static_cast<uint32_t>(value);
    }
  }
}

template <class Out>
void SSEMixEngine::mixSpan(Out* out, uint32_t count) {
  constexpr bool kWideOut = sizeof(Out) == 2;
  constexpr int64_t kLow = kWideOut ? -32768 : -128;
  constexpr int64_t kHigh = kWideOut ? 32767 : 127;
  int64_t acc[kChunk];
  while (count > 0) {
    const uint32_t n = std::min(count, kChunk);
    std::fill(acc, acc + n, 0);
    for (SSEVoice& v : m_voices) {
      if (v.busy()) addVoice<kWideOut>(v, acc, n);
    }
    for (uint32_t i = 0; i < n; ++i) out[i] = static_cast<Out>(std::clamp(acc[i] >> 8, kLow, kHigh));
    out += n;
    count -= n;
  }
}

void SSEMixEngine::mix(void* out, uint32_t bytes) {
  if (!out) return;
  const bool wideOut = m_outputBits == 16;
  uint32_t count;
  if (wideOut) {
    KV_CHECK(bytes % 16 == 0, 251, kSource);
    count = bytes / 2;
  } else {
    KV_CHECK(bytes % 8 == 0, 336, kSource);
    count = bytes;
  }
  const uint32_t used = wideOut ? count * 2 : count;
  auto* bytesOut = static_cast<uint8_t*>(out);
  std::memset(bytesOut + used, 0, bytes - used);
  if (std::none_of(m_voices, m_voices + kVoiceCount, [](const SSEVoice& v) { return v.busy(); })) {
    std::memset(bytesOut, 0, used);
    return;
  }
  // 8 sub-blocks, then the samples of a block size that is not a multiple.
  const uint32_t sub = count / 8;
  for (uint32_t b = 0; b <= 8; ++b) {
    const uint32_t n = b < 8 ? sub : count - 8 * sub;
    if (wideOut) {
      mixSpan(reinterpret_cast<int16_t*>(bytesOut) + b * sub, n);
    } else {
      mixSpan(reinterpret_cast<int8_t*>(bytesOut) + b * sub, n);
    }
  }
  applyRamps();
}
