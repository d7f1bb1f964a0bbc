#include "tools/sound/SampleWriter.h"

#include <algorithm>

namespace kvtools {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}
void putTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}
// Plain push_back: gcc 12 warns falsely about vector::insert here.
void append(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
  for (uint8_t b : bytes) out.push_back(b);
}
void set16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void set32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  set16(out, at, v & 0xFFFF);
  set16(out, at + 2, v >> 16);
}

std::vector<uint8_t> rawHeader(uint32_t bytes, uint16_t rate, bool wide) {
  std::vector<uint8_t> out;
  put32(out, bytes);
  put16(out, rate);
  out.push_back(wide ? 1 : 0);
  out.push_back(0);
  return out;
}

// RIFF header up to the data chunk's size.
std::vector<uint8_t> wavHeader(uint32_t rate, uint32_t bits, uint32_t dataBytes) {
  std::vector<uint8_t> out;
  const uint32_t blockAlign = bits / 8;
  putTag(out, "RIFF");
  put32(out, 36 + dataBytes + (dataBytes & 1));
  putTag(out, "WAVE");
  putTag(out, "fmt ");
  put32(out, 16);
  put16(out, 1);
  put16(out, 1);
  put32(out, rate);
  put32(out, rate * blockAlign);
  put16(out, blockAlign);
  put16(out, bits);
  putTag(out, "data");
  put32(out, dataBytes);
  return out;
}

}  // namespace

std::vector<uint8_t> rawSample8(uint16_t rate, const std::vector<int8_t>& samples) {
  auto out = rawHeader(static_cast<uint32_t>(samples.size()), rate, false);
  for (int8_t s : samples) out.push_back(static_cast<uint8_t>(s));
  return out;
}

std::vector<uint8_t> rawSample16(uint16_t rate, const std::vector<int16_t>& samples) {
  auto out = rawHeader(static_cast<uint32_t>(samples.size() * 2), rate, true);
  for (int16_t s : samples) put16(out, static_cast<uint16_t>(s));
  return out;
}

std::vector<uint8_t> wavSample8(uint32_t rate, const std::vector<uint8_t>& samples) {
  auto out = wavHeader(rate, 8, static_cast<uint32_t>(samples.size()));
  append(out, samples);
  if (samples.size() & 1) out.push_back(0);  // chunks are padded to even sizes
  return out;
}

std::vector<uint8_t> wavSample16(uint32_t rate, const std::vector<int16_t>& samples) {
  auto out = wavHeader(rate, 16, static_cast<uint32_t>(samples.size() * 2));
  for (int16_t s : samples) put16(out, static_cast<uint16_t>(s));
  return out;
}

std::vector<uint8_t> encodeImaAdpcm(const std::vector<int16_t>& pcm, SSEAdpcmState& state) {
  std::vector<uint8_t> out((pcm.size() + 1) / 2, 0);
  for (size_t i = 0; i < pcm.size(); ++i) {
    int32_t diff = int32_t{pcm[i]} - state.predictor;
    uint32_t code = 0;
    if (diff < 0) {
      code = 8;
      diff = -diff;
    }
    int32_t step = adpcmStep(state.index);
    for (uint32_t bit = 4; bit != 0; bit >>= 1) {
      if (diff >= step) {
        code |= bit;
        diff -= step;
      }
      step >>= 1;
    }
    decodeAdpcmNibble(code, state);
    out[i / 2] = static_cast<uint8_t>(out[i / 2] | code << (i % 2 ? 4 : 0));
  }
  if (pcm.size() % 2) decodeAdpcmNibble(0, state);
  return out;
}

std::vector<uint8_t> adpcmFile(uint16_t rate, const std::vector<uint8_t>& nibbles, SSEAdpcmState initial,
                               uint32_t loopStart) {
  std::vector<uint8_t> out(40, 0);
  out[0] = 'S';
  set32(out, 20, static_cast<uint32_t>(nibbles.size()));
  set16(out, 26, rate);
  set16(out, 30, loopStart / 4);
  set16(out, 36, static_cast<uint16_t>(initial.predictor));
  out[38] = initial.index;
  append(out, nibbles);
  return out;
}

std::vector<uint8_t> imaAdpcmWav(uint32_t rate, const std::vector<uint8_t>& nibbles, SSEAdpcmState initial,
                                 uint32_t blockAlign) {
  const uint32_t codeBytes = blockAlign - 4;
  const uint32_t samplesPerBlock = codeBytes * 2 + 1;
  std::vector<uint8_t> data;
  SSEAdpcmState state = initial;
  uint32_t samples = 0;
  for (size_t at = 0; at < nibbles.size(); at += codeBytes) {
    const size_t n = std::min<size_t>(codeBytes, nibbles.size() - at);
    put16(data, static_cast<uint16_t>(state.predictor));
    data.push_back(state.index);
    data.push_back(0);
    for (size_t i = 0; i < n; ++i) {
      data.push_back(nibbles[at + i]);
      decodeAdpcmNibble(nibbles[at + i] & 15, state);
      decodeAdpcmNibble(nibbles[at + i] >> 4, state);
    }
    samples += static_cast<uint32_t>(1 + 2 * n);
  }
  std::vector<uint8_t> out;
  putTag(out, "RIFF");
  put32(out, 0);
  putTag(out, "WAVE");
  putTag(out, "fmt ");
  put32(out, 20);
  put16(out, 0x11);
  put16(out, 1);
  put32(out, rate);
  put32(out, static_cast<uint32_t>(uint64_t{rate} * blockAlign / samplesPerBlock));
  put16(out, blockAlign);
  put16(out, 4);
  put16(out, 2);
  put16(out, samplesPerBlock);
  putTag(out, "fact");
  put32(out, 4);
  put32(out, samples);
  putTag(out, "data");
  put32(out, static_cast<uint32_t>(data.size()));
  append(out, data);
  if (data.size() & 1) out.push_back(0);
  set32(out, 4, static_cast<uint32_t>(out.size() - 8));
  return out;
}

}  // namespace kvtools
