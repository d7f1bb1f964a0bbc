// The game's archive operations (forwarded to its cGameResources), the
// little-endian field reader and the scratch work buffer.
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "windows_brew/memory/TrackedNew.h"

namespace {

constexpr const char* kSource = "cGameResources";
constexpr int32_t kWorkBufferSize = 32768;

}  // namespace

void cGame::unloadBar() { m_archives.unloadBar(); }
int32_t cGame::getBarEntryOffset(int32_t entry) const { return m_archives.getBarEntryOffset(entry); }
int32_t cGame::getBarEntrySize(int32_t entry) const { return m_archives.getBarEntrySize(entry); }
uint8_t* cGame::getBarEntryCopy(int32_t entry) const { return m_archives.getBarEntryCopy(entry); }
void cGame::loadRawFile(const char* name) { m_archives.loadRawFile(name); }

// ---- field reader

void cGame::setReadBuffer(uint8_t* buffer, int32_t size) {
  if (m_reader.buffer != buffer) delete[] m_reader.buffer;
  m_reader.buffer = buffer;
  m_reader.size = buffer ? size : 0;
  m_reader.position = 0;
}

void cGame::freeReadBuffer() {
  delete[] m_reader.buffer;
  m_reader.buffer = nullptr;
  m_reader.size = 0;
  m_reader.position = 0;
}

void cGame::skipBytes(int32_t n) {
  const int64_t p = static_cast<int64_t>(m_reader.position) + n;
  m_reader.position = p < 0 ? 0 : (p > INT32_MAX ? INT32_MAX : static_cast<int32_t>(p));
}

uint32_t cGame::readByte() {
  const int32_t p = m_reader.position;
  if (p < INT32_MAX) m_reader.position = p + 1;
  if (!m_reader.buffer || p < 0 || p >= m_reader.size) return 0;
  return m_reader.buffer[p];
}

uint32_t cGame::readShort() {
  const uint32_t lo = readByte();
  return lo | readByte() << 8;
}

uint32_t cGame::readInt() {
  const uint32_t lo = readShort();
  return lo | readShort() << 16;
}

float cGame::readFloat() { return static_cast<float>(static_cast<int32_t>(readInt())); }

// ---- scratch

void cGame::allocWorkBuffer() {
  if (!m_workBuffer) m_workBuffer = new (kSource, 230, nullptr) uint8_t[kWorkBufferSize];
}

void cGame::freeWorkBuffer() {
  delete[] m_workBuffer;
  m_workBuffer = nullptr;
}

void cGame::releaseDataFiles() {
  m_archives.release();
  freeReadBuffer();
  freeWorkBuffer();
  freeStrings();
  delete[] m_saveImage;
  m_saveImage = nullptr;
  delete[] m_record4;
  m_record4 = nullptr;
  delete[] m_charMap;
  m_charMap = nullptr;
  m_charMapCount = 0;
}
