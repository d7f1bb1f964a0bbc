// The text table of "text.bar", the 2000-byte work string and the rings of
// scratch buffers.
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/TextTableParser.h"
#include "game/Korvane/cGame/cGameDataIds.h"

namespace {
constexpr const char* kTextArchive = k_archiveText;
}  // namespace

void cGame::freeStrings() {
  delete[] m_text.strings;
  m_text.strings = nullptr;
  m_text.stringsSize = 0;
  delete[] m_text.ends;
  m_text.ends = nullptr;
  m_text.count = 0;
}

void cGame::loadStrings(int32_t language) {
  loadBar(kTextArchive);
  freeStrings();
  m_text.language = language;
  const int32_t size = getBarEntrySize(k_textEntryStrings);
  const int32_t tableSize = getBarEntrySize(k_textEntryOffsets);
  const uint8_t* strings = size >= 0 ? m_bar.data + getBarEntryOffset(k_textEntryStrings) : nullptr;
  const uint8_t* table = tableSize >= 0 ? m_bar.data + getBarEntryOffset(k_textEntryOffsets) : nullptr;
  ParsedTextTable parsed;
  if (!parseTextTable(strings, size, table, tableSize, parsed)) {
    if (m_bar.data && !parsed.outOfMemory)
      reportBadEntry(size < 0 || size > 0xFFFF ? k_textEntryStrings : k_textEntryOffsets);
    return;
  }
  m_text.ends = parsed.ends;
  m_text.strings = parsed.strings;
  m_text.stringsSize = parsed.size;
  m_text.count = parsed.count;
}

int32_t cGame::getStringOffset(int32_t id) const {
  if (id <= 0 || id >= m_text.count) return 0;
  return m_text.ends[id - 1];
}

int32_t cGame::getStringLength(int32_t id) const {
  if (id < 0 || id >= m_text.count) return 0;
  return m_text.ends[id] - getStringOffset(id) - 1;
}

// The string's bytes (ended by its terminator); an unknown id gives "".
const char* cGame::getStringData(int32_t id) const {
  if (id < 0 || id >= m_text.count) return "";
  return reinterpret_cast<const char*>(m_text.strings) + getStringOffset(id);
}

char* cGame::getStringCopy(int32_t id) {
  char* buffer = getTempBuffer();
  int32_t n = getStringLength(id);
  if (n > TextTableData::kTempSize - 1) n = TextTableData::kTempSize - 1;
  if (n > 0) std::memcpy(buffer, getStringData(id), static_cast<size_t>(n));
  return buffer;
}

// ---- work string

void cGame::textBufferSet(const char* text) {
  m_text.workLength = 0;
  std::memset(m_text.work, 0, sizeof m_text.work);
  textBufferAppend(text);
}

void cGame::textBufferSetString(int32_t id) {
  m_text.workLength = 0;
  std::memset(m_text.work, 0, sizeof m_text.work);
  textBufferAppendString(id);
}

void cGame::textBufferAppendString(int32_t id) { textBufferAppendChars(getStringData(id), 0, getStringLength(id)); }

void cGame::textBufferAppend(const char* text) {
  if (text) textBufferAppendChars(text, 0, static_cast<int32_t>(std::strlen(text)));
}

void cGame::textBufferAppendChars(const char* chars, int32_t first, int32_t n) {
  // At least one 0 byte always follows the text; what does not fit is dropped whole.
  if (!chars || first < 0 || n <= 0 || m_text.workLength > TextTableData::kWorkSize - 1 - n) return;
  std::memcpy(m_text.work + m_text.workLength, chars + first, static_cast<size_t>(n));
  m_text.workLength += n;
}

char* cGame::textBufferCopy() {
  char* buffer = getTempBuffer();
  int32_t n = m_text.workLength;
  if (n > TextTableData::kTempSize - 1) n = TextTableData::kTempSize - 1;
  std::memcpy(buffer, m_text.work, static_cast<size_t>(n));
  return buffer;
}

// ---- rings

char* cGame::getTempBuffer() {
  if (++m_text.tempIndex >= TextTableData::kTempCount) m_text.tempIndex = 0;
  char* b = m_text.temp[m_text.tempIndex];
  std::memset(b, 0, TextTableData::kTempSize);
  return b;
}

char* cGame::getMessageBuffer() {
  if (++m_text.messageIndex >= TextTableData::kMessageCount) m_text.messageIndex = 0;
  char* b = m_text.messages[m_text.messageIndex];
  std::memset(b, 0, TextTableData::kTempSize);
  return b;
}

int32_t* cGame::getTempVectorSlot() {
  if (++m_text.slotIndex >= TextTableData::kSlotCount) m_text.slotIndex = 0;
  int32_t* s = m_text.slots[m_text.slotIndex];
  std::memset(s, 0, sizeof m_text.slots[0]);
  return s;
}
