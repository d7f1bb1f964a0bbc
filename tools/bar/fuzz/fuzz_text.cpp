// Fuzzes the text table loader: each input is written as "text.bar", read by
// the archive reader, its two entries parsed as the game parses them, and
// every string copied out as the game copies it.
#include <algorithm>
#include <cstring>

#include "game/Korvane/cGame/TextTableParser.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameResources.h"
#include "tools/bar/fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!writeFuzzFile("text.bar", data, size)) return 0;
  cGameResources bar;
  bar.loadBar("text.bar");
  const int32_t n = bar.getBarEntrySize(k_textEntryStrings), tableSize = bar.getBarEntrySize(k_textEntryOffsets);
  ParsedTextTable t;
  if (!parseTextTable(n >= 0 ? bar.m_bar.data + bar.getBarEntryOffset(k_textEntryStrings) : nullptr, n,
                      tableSize >= 0 ? bar.m_bar.data + bar.getBarEntryOffset(k_textEntryOffsets) : nullptr,
                      tableSize, t))
    return 0;
  static char copy[500];
  for (int32_t i = 0; i < t.count; ++i) {
    const int32_t start = i > 0 ? t.ends[i - 1] : 0;
    const int32_t length = std::min<int32_t>(t.ends[i] - start - 1, sizeof copy - 1);
    if (length > 0) std::memcpy(copy, t.strings + start, static_cast<size_t>(length));
  }
  delete[] t.strings;
  delete[] t.ends;
  return 0;
}
