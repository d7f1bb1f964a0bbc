#include "zul/sound/SSESample.h"

#include <cstring>

#include "zul/memory/Memory.h"

namespace {

constexpr const char* kSource = "SSEMixEngine";

uint32_t le16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

bool refuse(int line) {
  KV_CHECK(false, line, kSource);
  return false;
}

}  // namespace

SSESample::~SSESample() { unload(); }

void SSESample::unload() {
  memDeleteArray(copy);
  copy = nullptr;
  data = nullptr;
  length = 0;
  end = 0;
}

bool SSESample::take(const uint8_t* bytes, uint32_t size, uint32_t dataOffset, uint32_t dataBytes, bool wide,
                     uint32_t rate, uint32_t outputRate, int line) {
  const uint32_t samples = wide ? dataBytes / 2 : dataBytes;
  if (samples > kMaxLength) return false;
  auto* block = static_cast<uint8_t*>(memNewArray(size, kSource, line));
  if (!block) return false;
  std::memcpy(block, bytes, size);
  unload();
  copy = block;
  data = copy + dataOffset;
  is16Bit = wide;
  sampleRate = rate;
  const uint64_t q12 = (uint64_t{rate} << 12) / outputRate;
  step = q12 > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(q12);
  length = samples;
  end = length << 12;
  return true;
}

bool SSESample::loadRaw(const uint8_t* bytes, uint32_t size, uint32_t outputRate, int reportLine) {
  constexpr uint32_t kHeader = 8;
  if (!bytes || size < kHeader || outputRate == 0) return refuse(reportLine);
  const uint32_t dataBytes = le32(bytes);
  if (dataBytes > size - kHeader) return refuse(reportLine);
  if (!take(bytes, size, kHeader, dataBytes, bytes[6] != 0, le16(bytes + 4), outputRate, reportLine)) return refuse(reportLine);
  return true;
}

bool SSESample::loadWav(const uint8_t* bytes, uint32_t size, uint32_t outputRate, int reportLine) {
  constexpr uint32_t kHeader = 44;
  if (!bytes || size < kHeader || outputRate == 0) return refuse(reportLine);
  if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0 ||
      std::memcmp(bytes + 12, "fmt ", 4) != 0 || std::memcmp(bytes + 36, "data", 4) != 0) {
    return refuse(reportLine);
  }
  // Mono PCM only: anything else would be read as wrong samples.
  if (le16(bytes + 20) != 1 || le16(bytes + 22) != 1) return refuse(reportLine);
  const uint32_t bits = le16(bytes + 34);
  if (bits != 8 && bits != 16) return refuse(reportLine);
  const uint32_t dataBytes = le32(bytes + 40);
  if (dataBytes > size - kHeader) return refuse(reportLine);
  if (!take(bytes, size, kHeader, dataBytes, bits == 16, le32(bytes + 24), outputRate, reportLine)) return refuse(reportLine);
  if (!is16Bit) {
    for (uint32_t i = 0; i < length; ++i) copy[kHeader + i] = static_cast<uint8_t>(copy[kHeader + i] - 128);
  }
  return true;
}
