// One loaded PCM sample of the mix engine: an owned copy of the file as given
// and where its samples lie in it.
#pragma once

#include <cstdint>

class SSESample {
 public:
  // end = length << 12 must fit in 32 bits.
  static constexpr uint32_t kMaxLength = (1u << 20) - 1;

  SSESample() = default;
  virtual ~SSESample();
  SSESample(const SSESample&) = delete;
  SSESample& operator=(const SSESample&) = delete;

  // Raw format: u32 byte length at 0, u16 rate at 4, u8 is16Bit at 6, samples
  // from 8 (signed). Refused (false, after the report at reportLine) when the
  // bytes do not hold what the header says or outputRate is 0.
  bool loadRaw(const uint8_t* bytes, uint32_t size, uint32_t outputRate, int reportLine);
  // Canonical 44-byte mono PCM WAV, 8-bit unsigned (made signed in the copy)
  // or 16-bit signed.
  bool loadWav(const uint8_t* bytes, uint32_t size, uint32_t outputRate, int reportLine);
  // Frees the copy.
  void unload();

  bool isLoaded() const { return data != nullptr; }
  // Sample i (i < length) as read by the mixer.
  int32_t at(uint32_t i) const {
    if (is16Bit) {
      const uint8_t* p = data + 2 * i;
      return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8));
    }
    return static_cast<int8_t>(data[i]);
  }

  uint8_t* copy = nullptr;
  const uint8_t* data = nullptr;
  bool is16Bit = false;
  uint32_t sampleRate = 0;
  uint32_t step = 0;  // Q12: sampleRate * 4096 / output rate
  uint32_t length = 0;
  uint32_t end = 0;  // length << 12

 private:
  bool take(const uint8_t* bytes, uint32_t size, uint32_t dataOffset, uint32_t dataBytes, bool wide,
            uint32_t rate, uint32_t outputRate, int line);
};
