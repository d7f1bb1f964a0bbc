// The element list of one interface parsed from its "interf.bar" entry
// (InterfaceFormat.h): whole records up to the entry's end, each element kept
// as its words with at least kMinStoredParams parameters (zero where the
// record has fewer). A small library of its own, linked by the game and by
// the interface fuzz target.
#pragma once

#include <cstdint>

struct ParsedInterface {
  int16_t** elements = nullptr;   // count arrays of words (new[]), the array itself new[]
  uint8_t* paramCounts = nullptr;  // parameters each record carried; count + 1 bytes (new[])
  int32_t count = 0;
  bool whole = true;               // the records fill the entry to its last byte
};

// Null data or a negative size parse as an empty entry; bytes after the last
// whole record and records with fewer parameters than are read are traced
// (with the interface id).
ParsedInterface parseInterface(int32_t id, const uint8_t* data, int32_t size);
