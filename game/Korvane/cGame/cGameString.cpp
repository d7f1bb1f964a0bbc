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
  delete[] game.text.strings.strings;
  game.text.strings.strings = nullptr;
  game.text.strings.stringsSize = 0;
  delete[] game.text.strings.ends;
  game.text.strings.ends = nullptr;
  game.text.strings.count = 0;
}

void loadStrings(cGame& game, int32_t language) {
  loadBar(game, kTextArchive);
  freeStrings(game);
  game.text.strings.language = language;
  const int32_t size = getBarEntrySize(game, k_textEntryStrings);
  const int32_t tableSize = getBarEntrySize(game, k_textEntryOffsets);
  const uint8_t* strings = size >= 0 ? game.files.bar.data + getBarEntryOffset(game, k_textEntryStrings) : nullptr;
  const uint8_t* table = tableSize >= 0 ? game.files.bar.data + getBarEntryOffset(game, k_textEntryOffsets) : nullptr;
  ParsedTextTable parsed;
  if (!parseTextTable(strings, size, table, tableSize, parsed)) {
    if (game.files.bar.data && !parsed.outOfMemory)
      reportBadEntry(game, size < 0 || size > 0xFFFF ? k_textEntryStrings : k_textEntryOffsets);
    return;
  }
  game.text.strings.ends = parsed.ends;
  game.text.strings.strings = parsed.strings;
  game.text.strings.stringsSize = parsed.size;
  game.text.strings.count = parsed.count;
}

int32_t getStringOffset(const cGame& game, int32_t id) {
  if (id <= 0 || id >= game.text.strings.count) return 0;
  return game.text.strings.ends[id - 1];
}

int32_t getStringLength(const cGame& game, int32_t id) {
  if (id < 0 || id >= game.text.strings.count) return 0;
  return game.text.strings.ends[id] - getStringOffset(game, id) - 1;
}

// The string's bytes (ended by its terminator); an unknown id gives "".
const char* getStringData(const cGame& game, int32_t id) {
  if (id < 0 || id >= game.text.strings.count) return "";
  return reinterpret_cast<const char*>(game.text.strings.strings) + getStringOffset(game, id);
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
  game.text.strings.workLength = 0;
  std::memset(game.text.strings.work, 0, sizeof game.text.strings.work);
  textBufferAppend(game, text);
}

void textBufferSetString(cGame& game, int32_t id) {
  game.text.strings.workLength = 0;
  std::memset(game.text.strings.work, 0, sizeof game.text.strings.work);
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
  if (!chars || first < 0 || n <= 0 || game.text.strings.workLength > TextTableData::kWorkSize - 1 - n) return;
  std::memcpy(game.text.strings.work + game.text.strings.workLength, chars + first, static_cast<size_t>(n));
  game.text.strings.workLength += n;
}

char* textBufferCopy(cGame& game) {
  char* buffer = getTempBuffer(game);
  int32_t n = game.text.strings.workLength;
  if (n > TextTableData::kTempSize - 1) n = TextTableData::kTempSize - 1;
  std::memcpy(buffer, game.text.strings.work, static_cast<size_t>(n));
  return buffer;
}

// ---- rings

char* getTempBuffer(cGame& game) {
  if (++game.text.strings.tempIndex >= TextTableData::kTempCount) game.text.strings.tempIndex = 0;
  char* b = game.text.strings.temp[game.text.strings.tempIndex];
  std::memset(b, 0, TextTableData::kTempSize);
  return b;
}

char* getMessageBuffer(cGame& game) {
  if (++game.text.strings.messageIndex >= TextTableData::kMessageCount) game.text.strings.messageIndex = 0;
  char* b = game.text.strings.messages[game.text.strings.messageIndex];
  std::memset(b, 0, TextTableData::kTempSize);
  return b;
}

int32_t* getTempVectorSlot(cGame& game) {
  if (++game.text.strings.slotIndex >= TextTableData::kSlotCount) game.text.strings.slotIndex = 0;
  int32_t* s = game.text.strings.slots[game.text.strings.slotIndex];
  std::memset(s, 0, sizeof game.text.strings.slots[0]);
  return s;
}
