// The IMA ADPCM step shared by the ADPCM stream and the data tools.
#pragma once

#include <cstdint>

struct SSEAdpcmState {
  int16_t predictor = 0;
  uint8_t index = 0;  // 0..88
  uint8_t reserved = 0;
};

// The quantiser step of a step index (clamped to 0..88).
int32_t adpcmStep(uint32_t index);

// Decodes one 4-bit code: updates the predictor (clamped to 16 bits) and the
// step index (clamped to 0..88); returns the new predictor.
int16_t decodeAdpcmNibble(uint32_t code, SSEAdpcmState& state);
