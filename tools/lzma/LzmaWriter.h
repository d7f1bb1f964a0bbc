// Writers for the engine's compressed formats: LZMA-alone streams (LZMA SDK
// encoder) and the run-length block format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct LzmaWriterOptions {
  int level = 5;                   // 0..9
  uint32_t dictSize = 1u << 20;    // the decoder never allocates it; any size works
  int lc = 3, lp = 0, pb = 2;      // the engine's pool holds lc + lp up to 3
  // An end marker after the data. The size field still holds the real size
  // unless sizeUnknown.
  bool endMarker = false;
  // The size field "unknown" (all ones), as xz --format=lzma and Python's
  // lzma write it; such a stream always ends with a marker.
  bool sizeUnknown = false;
};

// A whole LZMA-alone stream: 5 property bytes, the unpacked size (64-bit
// little-endian), the range-coded data. Empty on an encoder error.
std::vector<uint8_t> lzmaAloneEncode(const uint8_t* data, size_t size, const LzmaWriterOptions& options = {});

// Run-length blocks: literal blocks of 1 to 127 bytes (control -n) and run
// blocks of 3 to 127 bytes (control n, then the byte).
std::vector<uint8_t> rleEncodeBlocks(const uint8_t* data, size_t size);
