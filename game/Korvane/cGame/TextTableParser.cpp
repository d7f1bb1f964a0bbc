#include "game/Korvane/cGame/TextTableParser.h"

#include <cstring>

#include "zul/memory/Debug.h"
#include "zul/memory/TrackedNew.h"

namespace {
constexpr const char* kSource = "cGameString";
}  // namespace

bool parseTextTable(const uint8_t* strings, int32_t size, const uint8_t* table, int32_t tableSize,
                    ParsedTextTable& out) {
  if (!strings || !table || size < 0 || tableSize < 2 || size > 0xFFFF) {
    debugTrace("text table missing or damaged\n");
    return false;
  }
  const int32_t count = table[0] | table[1] << 8;
  // Every stored end lies past the previous one and inside the data.
  if (count < 1 || 2 + 2 * (count - 1) > tableSize) {
    debugTrace("text table: bad string count\n");
    return false;
  }
  uint16_t* ends = new (kSource, 60, nullptr) uint16_t[count];
  uint8_t* copy = new (kSource, 61, nullptr) uint8_t[size > 0 ? size : 1];
  bool ok = ends && copy;
  out.outOfMemory = !ok;
  int32_t previous = 0;
  for (int32_t i = 0; ok && i < count - 1; ++i) {
    const int32_t end = table[2 + 2 * i] | table[3 + 2 * i] << 8;
    if (end <= previous || end > size || strings[end - 1] != 0) ok = false;
    ends[i] = static_cast<uint16_t>(end);
    previous = end;
  }
  if (ok && (size <= previous || strings[size - 1] != 0)) ok = false;
  if (!ok) {
    debugTrace("text table: bad end offsets\n");
    delete[] ends;
    delete[] copy;
    return false;
  }
  ends[count - 1] = static_cast<uint16_t>(size);
  std::memcpy(copy, strings, static_cast<std::size_t>(size));
  out.strings = copy;
  out.size = size;
  out.ends = ends;
  out.count = count;
  return true;
}
