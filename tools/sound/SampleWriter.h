// Writers of the mixer's sample formats for tests: the raw sample, the
// canonical 44-byte PCM WAV, the 'S' ADPCM file, and the same ADPCM nibbles
// wrapped as a mono IMA ADPCM WAV.
#pragma once

#include <cstdint>
#include <vector>

#include "zul/sound/SSEAdpcmDecoder.h"

namespace kvtools {

// u32 byte length, u16 rate, u8 is16Bit, a zero byte, then the samples.
std::vector<uint8_t> rawSample8(uint16_t rate, const std::vector<int8_t>& samples);
std::vector<uint8_t> rawSample16(uint16_t rate, const std::vector<int16_t>& samples);

// Mono PCM WAV with the canonical header; 8-bit samples are the file's
// unsigned bytes.
std::vector<uint8_t> wavSample8(uint32_t rate, const std::vector<uint8_t>& samples);
std::vector<uint8_t> wavSample16(uint32_t rate, const std::vector<int16_t>& samples);

// IMA ADPCM encoding from state (which it advances): two codes per byte, low
// nibble first; an odd count ends with a zero code.
std::vector<uint8_t> encodeImaAdpcm(const std::vector<int16_t>& pcm, SSEAdpcmState& state);

// The 'S' file: total at 20, rate at 26, loop start / 4 at 30, initial
// predictor and index at 36 and 38, the nibbles from 40. loopStart is in
// bytes of ADPCM data, a multiple of 4.
std::vector<uint8_t> adpcmFile(uint16_t rate, const std::vector<uint8_t>& nibbles, SSEAdpcmState initial,
                               uint32_t loopStart);

// Mono IMA ADPCM WAV (format 0x11) of the same nibbles: blocks of blockAlign
// bytes whose 4-byte header carries the running predictor and index (the
// header sample comes before the block's codes); the last block may be short.
std::vector<uint8_t> imaAdpcmWav(uint32_t rate, const std::vector<uint8_t>& nibbles, SSEAdpcmState initial,
                                 uint32_t blockAlign);

}  // namespace kvtools
