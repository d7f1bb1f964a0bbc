// Named ".bar" archives: a u32 packed size, then one LZMA-alone stream whose
// unpacked bytes hold a u16 offset count, the offsets and the entry data.
// Also the little-endian field reader and the scratch work buffer.
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "windows_brew/memory/Debug.h"
#include "windows_brew/memory/TrackedNew.h"
#include "zul/comp/Compression.h"
#include "zul/io/BufferStream.h"
#include "zul/io/FileStream.h"
#include "zul/memory/StackMemoryPool.h"

namespace {

constexpr const char* kSource = "cGameResources";
constexpr int32_t kScratchPoolSize = 30720;
constexpr int32_t kWorkBufferSize = 32768;
// The decoder's probability array holds 10,240 entries: lc + lp <= 3.
constexpr int32_t kMaxLcLp = 3;
// No archive of the game comes near this; anything larger is damaged.
constexpr uint32_t kMaxUnpacked = 64u << 20;

uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

void cGame::unloadBar() {
  m_bar.name = nullptr;
  delete[] m_bar.offsets;
  m_bar.offsets = nullptr;
  delete[] m_bar.data;
  m_bar.data = nullptr;
  m_bar.size = 0;
  m_bar.count = 0;
  m_bar.cursor = 0;
}

int32_t cGame::loadBar(const char* name) {
  unloadBar();
  m_bar.name = name;
  if (!name) return 0;

  FileStream file;
  if (!file.open(name, FileStream::kRead)) return 0;
  const int32_t fileSize = file.size();
  uint8_t sizeBytes[4];
  if (file.read(sizeBytes, 4) != 4) return 0;
  const uint32_t packed = le32(sizeBytes);
  if (packed < static_cast<uint32_t>(kLzmaHeaderSize) || fileSize < 4 ||
      packed > static_cast<uint32_t>(fileSize - 4)) {
    debugTrace("archive %s: bad packed size %u\n", name, packed);
    return 0;
  }
  uint8_t* packedBytes = new (kSource, 60, nullptr) uint8_t[packed];
  if (!packedBytes) return 0;
  const bool readAll = file.read(packedBytes, static_cast<int32_t>(packed)) == static_cast<int32_t>(packed);
  file.close();

  const uint32_t unpacked = le32(packedBytes + 5);
  const int props = packedBytes[0];
  const int lc = props % 9, lp = (props / 9) % 5;
  if (!readAll || props >= 9 * 5 * 5 || lc + lp > kMaxLcLp || unpacked < 2 || unpacked > kMaxUnpacked) {
    debugTrace("archive %s: bad header\n", name);
    delete[] packedBytes;
    return 0;
  }

  if (!getStackMemoryPool()) {
    if (!m_scratchPool) m_scratchPool = new (kSource, 70, nullptr) StackMemoryPool(kScratchPoolSize, nullptr);
    setStackMemoryPool(m_scratchPool);
  }
  uint8_t* data = new (kSource, 75, nullptr) uint8_t[unpacked];
  int32_t produced = static_cast<int32_t>(unpacked);
  int32_t result = kCompError;
  if (data) {
    BufferStream in(BufferStream::kRead, static_cast<int32_t>(packed), packedBytes);
    result = decompress(kCompLzma, in, static_cast<int32_t>(packed), data, produced);
  }
  delete[] packedBytes;
  if (result != kCompOk || produced != static_cast<int32_t>(unpacked)) {
    debugTrace("archive %s: unpacking failed (%d)\n", name, result);
    delete[] data;
    return 0;
  }

  // Offset table: N u32 values relative to the end of the table.
  m_bar.cursor = 0;
  const int32_t n = data[0] | data[1] << 8;
  m_bar.cursor = 2;
  const uint64_t base = 2 + 4ull * static_cast<uint64_t>(n);
  if (base > unpacked) {
    debugTrace("archive %s: offset table past the data\n", name);
    delete[] data;
    return 0;
  }
  int32_t* offsets = new (kSource, 95, nullptr) int32_t[n > 0 ? n : 1];
  if (!offsets) {
    delete[] data;
    return 0;
  }
  uint64_t previous = base;
  for (int32_t i = 0; i < n; ++i) {
    const uint64_t at = base + le32(data + m_bar.cursor);
    m_bar.cursor += 4;
    if (at < previous || at > unpacked) {
      debugTrace("archive %s: bad offset %d\n", name, i);
      delete[] offsets;
      delete[] data;
      m_bar.cursor = 0;
      return 0;
    }
    offsets[i] = static_cast<int32_t>(at);
    previous = at;
  }
  m_bar.count = n;
  m_bar.offsets = offsets;
  m_bar.data = data;
  m_bar.size = static_cast<int32_t>(unpacked);
  m_bar.cursor = 0;
  return 1;
}

int32_t cGame::getBarEntryOffset(int32_t entry) const {
  if (!m_bar.offsets || entry < 0 || entry >= m_bar.count - 1) return -1;
  return m_bar.offsets[entry];
}

int32_t cGame::getBarEntrySize(int32_t entry) const {
  if (!m_bar.offsets || entry < 0 || entry >= m_bar.count - 1) return -1;
  return m_bar.offsets[entry + 1] - m_bar.offsets[entry];
}

uint8_t* cGame::getBarEntryCopy(int32_t entry) const {
  const int32_t size = getBarEntrySize(entry);
  if (size <= 0 || !m_bar.data) return nullptr;
  uint8_t* copy = new (kSource, 140, nullptr) uint8_t[size];
  if (copy) std::memcpy(copy, m_bar.data + m_bar.offsets[entry], static_cast<size_t>(size));
  return copy;
}

void cGame::loadRawFile(const char* name) {
  delete[] m_bar.data;
  m_bar.data = nullptr;
  m_bar.size = 0;
  // The old offsets described the old buffer.
  delete[] m_bar.offsets;
  m_bar.offsets = nullptr;
  m_bar.count = 0;
  if (!name) return;
  FileStream file;
  if (!file.open(name, FileStream::kRead)) return;
  const int32_t fileSize = file.size();
  uint8_t sizeBytes[4];
  if (file.read(sizeBytes, 4) != 4) return;
  const uint32_t size = le32(sizeBytes);
  if (fileSize < 4 || size > static_cast<uint32_t>(fileSize - 4)) return;
  uint8_t* data = new (kSource, 165, nullptr) uint8_t[size > 0 ? size : 1];
  if (!data) return;
  if (file.read(data, static_cast<int32_t>(size)) != static_cast<int32_t>(size)) {
    delete[] data;
    return;
  }
  m_bar.data = data;
  m_bar.size = static_cast<int32_t>(size);
}

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
  unloadBar();
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
  if (m_scratchPool) {
    if (getStackMemoryPool() == m_scratchPool) setStackMemoryPool(nullptr);
    delete m_scratchPool;
    m_scratchPool = nullptr;
  }
}
