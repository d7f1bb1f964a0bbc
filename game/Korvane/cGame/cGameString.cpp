// The text table of "text.bar", the 2000-byte work string and the rings of
// scratch buffers.
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "windows_brew/memory/Debug.h"
#include "windows_brew/memory/TrackedNew.h"

namespace {
constexpr const char* kSource = "cGameString";
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
  if (size < 0 || tableSize < 2 || size > 0xFFFF) {
    debugTrace("text table missing or damaged\n");
    if (m_bar.data) reportBadEntry(size < 0 || size > 0xFFFF ? k_textEntryStrings : k_textEntryOffsets);
    return;
  }
  const uint8_t* table = m_bar.data + getBarEntryOffset(k_textEntryOffsets);
  const int32_t count = table[0] | table[1] << 8;
  // Every stored end lies past the previous one and inside the data.
  if (count < 1 || 2 + 2 * (count - 1) > tableSize) {
    debugTrace("text table: bad string count\n");
    reportBadEntry(k_textEntryOffsets);
    return;
  }
  uint16_t* ends = new (kSource, 60, nullptr) uint16_t[count];
  uint8_t* strings = new (kSource, 61, nullptr) uint8_t[size > 0 ? size : 1];
  bool ok = ends && strings;
  int32_t previous = 0;
  for (int32_t i = 0; ok && i < count - 1; ++i) {
    const int32_t end = table[2 + 2 * i] | table[3 + 2 * i] << 8;
    if (end <= previous || end > size || m_bar.data[getBarEntryOffset(k_textEntryStrings) + end - 1] != 0) ok = false;
    ends[i] = static_cast<uint16_t>(end);
    previous = end;
  }
  if (ok && (size <= previous || m_bar.data[getBarEntryOffset(k_textEntryStrings) + size - 1] != 0)) ok = false;
  if (!ok) {
    debugTrace("text table: bad end offsets\n");
    if (ends && strings) reportBadEntry(k_textEntryOffsets);
    delete[] ends;
    delete[] strings;
    return;
  }
  ends[count - 1] = static_cast<uint16_t>(size);
  std::memcpy(strings, m_bar.data + getBarEntryOffset(k_textEntryStrings), static_cast<size_t>(size));
  m_text.ends = ends;
  m_text.strings = strings;
  m_text.stringsSize = size;
  m_text.count = count;
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
