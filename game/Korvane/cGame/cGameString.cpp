// The text table of "text.bar", the 2000-byte work string and the rings of
// scratch buffers.
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/TextTableParser.h"
#include "game/Korvane/cGame/cGameDataIds.h"

namespace {
constexpr const char* kTextArchive = k_archiveText;
}  // namespace

void freeStrings(cGame& game) {
  delete[] game.m_text.strings;
  game.m_text.strings = nullptr;
  game.m_text.stringsSize = 0;
  delete[] game.m_text.ends;
  game.m_text.ends = nullptr;
  game.m_text.count = 0;
}

void loadStrings(cGame& game, int32_t language) {
  loadBar(game, kTextArchive);
  freeStrings(game);
  game.m_text.language = language;
  const int32_t size = getBarEntrySize(game, k_textEntryStrings);
  const int32_t tableSize = getBarEntrySize(game, k_textEntryOffsets);
  const uint8_t* strings = size >= 0 ? game.m_bar.data + getBarEntryOffset(game, k_textEntryStrings) : nullptr;
  const uint8_t* table = tableSize >= 0 ? game.m_bar.data + getBarEntryOffset(game, k_textEntryOffsets) : nullptr;
  ParsedTextTable parsed;
  if (!parseTextTable(strings, size, table, tableSize, parsed)) {
    if (game.m_bar.data && !parsed.outOfMemory)
      reportBadEntry(game, size < 0 || size > 0xFFFF ? k_textEntryStrings : k_textEntryOffsets);
    return;
  }
  game.m_text.ends = parsed.ends;
  game.m_text.strings = parsed.strings;
  game.m_text.stringsSize = parsed.size;
  game.m_text.count = parsed.count;
}

int32_t getStringOffset(const cGame& game, int32_t id) {
  if (id <= 0 || id >= game.m_text.count) return 0;
  return game.m_text.ends[id - 1];
}

int32_t getStringLength(const cGame& game, int32_t id) {
  if (id < 0 || id >= game.m_text.count) return 0;
  return game.m_text.ends[id] - getStringOffset(game, id) - 1;
}

// The string's bytes (ended by its terminator); an unknown id gives "".
const char* getStringData(const cGame& game, int32_t id) {
  if (id < 0 || id >= game.m_text.count) return "";
  return reinterpret_cast<const char*>(game.m_text.strings) + getStringOffset(game, id);
}

char* getStringCopy(cGame& game, int32_t id) {
  char* buffer = getTempBuffer(game);
  int32_t n = getStringLength(game, id);
  if (n > TextTableData::kTempSize - 1) n = TextTableData::kTempSize - 1;
  if (n > 0) std::memcpy(buffer, getStringData(game, id), static_cast<size_t>(n));
  return buffer;
}

// ---- work string

void textBufferSet(cGame& game, const char* text) {
  game.m_text.workLength = 0;
  std::memset(game.m_text.work, 0, sizeof game.m_text.work);
  textBufferAppend(game, text);
}

void textBufferSetString(cGame& game, int32_t id) {
  game.m_text.workLength = 0;
  std::memset(game.m_text.work, 0, sizeof game.m_text.work);
  textBufferAppendString(game, id);
}

void textBufferAppendString(cGame& game, int32_t id) {
  textBufferAppendChars(game, getStringData(game, id), 0, getStringLength(game, id));
}

void textBufferAppend(cGame& game, const char* text) {
  if (text) textBufferAppendChars(game, text, 0, static_cast<int32_t>(std::strlen(text)));
}

void textBufferAppendChars(cGame& game, const char* chars, int32_t first, int32_t n) {
  // At least one 0 byte always follows the text; what does not fit is dropped whole.
  if (!chars || first < 0 || n <= 0 || game.m_text.workLength > TextTableData::kWorkSize - 1 - n) return;
  std::memcpy(game.m_text.work + game.m_text.workLength, chars + first, static_cast<size_t>(n));
  game.m_text.workLength += n;
}

char* textBufferCopy(cGame& game) {
  char* buffer = getTempBuffer(game);
  int32_t n = game.m_text.workLength;
  if (n > TextTableData::kTempSize - 1) n = TextTableData::kTempSize - 1;
  std::memcpy(buffer, game.m_text.work, static_cast<size_t>(n));
  return buffer;
}

// ---- rings

char* getTempBuffer(cGame& game) {
  if (++game.m_text.tempIndex >= TextTableData::kTempCount) game.m_text.tempIndex = 0;
  char* b = game.m_text.temp[game.m_text.tempIndex];
  std::memset(b, 0, TextTableData::kTempSize);
  return b;
}

char* getMessageBuffer(cGame& game) {
  if (++game.m_text.messageIndex >= TextTableData::kMessageCount) game.m_text.messageIndex = 0;
  char* b = game.m_text.messages[game.m_text.messageIndex];
  std::memset(b, 0, TextTableData::kTempSize);
  return b;
}

int32_t* getTempVectorSlot(cGame& game) {
  if (++game.m_text.slotIndex >= TextTableData::kSlotCount) game.m_text.slotIndex = 0;
  int32_t* s = game.m_text.slots[game.m_text.slotIndex];
  std::memset(s, 0, sizeof game.m_text.slots[0]);
  return s;
}
