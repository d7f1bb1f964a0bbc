// Writer of ".bar" archives: a u32 packed size, then one LZMA-alone stream
// (real unpacked size in its header) of a u16 offset count, the offsets
// (relative to the end of the table) and the entries' bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/lzma/LzmaWriter.h"

namespace bar {

using Entry = std::vector<uint8_t>;

// The unpacked bytes: count = entries + 1 offsets, then the data.
std::vector<uint8_t> packEntries(const std::vector<Entry>& entries);
// The archive file around already unpacked bytes; empty on an encoder error.
std::vector<uint8_t> writeArchiveBytes(const std::vector<uint8_t>& unpacked, const LzmaWriterOptions& options = {});
std::vector<uint8_t> writeArchive(const std::vector<Entry>& entries, const LzmaWriterOptions& options = {});

// Appends one record of the runs that "table.bar" groups and "interf.bar"
// interfaces are made of: u8 tag, two zero bytes, i16 x, i16 y, u8 n, then n
// i16 values (little-endian). False, appending nothing, for more than 255.
bool putRecord(std::vector<uint8_t>& out, uint8_t tag, int16_t x, int16_t y, const std::vector<int16_t>& values);

bool readFile(const std::string& path, std::vector<uint8_t>& out);
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace bar
