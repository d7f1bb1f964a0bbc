// The strings of "text.bar": entry 0 holds them back to back, each ended by a
// zero byte; entry 1 a u16 count and the end offset of each string but the
// last (little-endian). A small library of its own, linked by the game and
// by the text fuzz target.
#pragma once

#include <cstdint>

struct ParsedTextTable {
  uint8_t* strings = nullptr;  // a copy of entry 0 (new[])
  int32_t size = 0;
  uint16_t* ends = nullptr;    // end offset of each string, past its terminator (new[])
  int32_t count = 0;
  bool outOfMemory = false;    // set when false came from a failed allocation, not the data
};

// True with the table in `out`; false (traced, nothing kept) when an entry is
// missing (a negative size) or the table is damaged: a bad count, an end
// that does not lie past the one before it and inside the strings, or a
// string not ended by a zero byte.
bool parseTextTable(const uint8_t* strings, int32_t size, const uint8_t* table, int32_t tableSize,
                    ParsedTextTable& out);
