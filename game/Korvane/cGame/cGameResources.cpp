// Named ".bar" archives: a u32 packed size, then one LZMA-alone stream whose
// unpacked bytes hold a u16 offset count, the offsets and the entry data.
#include "game/Korvane/cGame/cGameResources.h"

#include <cstring>

#include "windows_brew/memory/Debug.h"
#include "windows_brew/memory/TrackedNew.h"
#include "zul/comp/Compression.h"
#include "zul/io/BufferStream.h"
#include "zul/io/FileStream.h"
#include "zul/memory/StackMemoryPool.h"

namespace {

constexpr const char* kSource = "cGameResources";
constexpr int32_t kScratchPoolSize = 30720;
// The decoder's probability array holds 10,240 entries: lc + lp <= 3.
constexpr int32_t kMaxLcLp = 3;
// No archive of the game comes near this; anything larger is damaged.
constexpr uint32_t kMaxUnpacked = 64u << 20;

uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

cGameResources::~cGameResources() { release(); }

void cGameResources::release() {
  unloadBar();
  freeAside();
  if (m_scratchPool) {
    if (getStackMemoryPool() == m_scratchPool) setStackMemoryPool(nullptr);
    delete m_scratchPool;
    m_scratchPool = nullptr;
  }
}

void cGameResources::unloadBar() {
  m_bar.name = nullptr;
  delete[] m_bar.offsets;
  m_bar.offsets = nullptr;
  delete[] m_bar.data;
  m_bar.data = nullptr;
  m_bar.size = 0;
  m_bar.count = 0;
  m_bar.cursor = 0;
  delete[] m_packed;
  m_packed = nullptr;
  m_packedSize = 0;
}

void cGameResources::freeAside() {
  delete[] m_aside.packed;
  delete[] m_aside.bar.offsets;
  delete[] m_aside.bar.data;
  m_aside = Aside();
}

void cGameResources::setBarAside() {
  freeAside();
  if (m_bar.data && m_bar.offsets && m_packed && m_bar.name) {
    m_aside.name = m_bar.name;
    m_aside.packed = m_packed;
    m_aside.packedSize = m_packedSize;
    m_aside.bar = m_bar;
    m_aside.bar.cursor = 0;
    m_packed = nullptr;
    m_bar.offsets = nullptr;
    m_bar.data = nullptr;
  }
  unloadBar();
}

bool cGameResources::takeBackAside(const char* name, const uint8_t* packed, uint32_t packedSize) {
  if (!m_aside.bar.data || std::strcmp(m_aside.name, name) != 0) return false;
  const bool same = m_aside.packedSize == packedSize && std::memcmp(m_aside.packed, packed, packedSize) == 0;
  if (same) {
    m_bar = m_aside.bar;
    m_bar.name = name;
    m_bar.cursor = 0;
    m_aside.bar.offsets = nullptr;
    m_aside.bar.data = nullptr;
  }
  // A changed file is unpacked afresh; either way nothing stays aside.
  freeAside();
  return same;
}

int32_t cGameResources::loadBar(const char* name) {
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
  if (readAll && takeBackAside(name, packedBytes, packed)) {
    m_packed = packedBytes;
    m_packedSize = packed;
    return 1;
  }

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
  if (result != kCompOk || produced != static_cast<int32_t>(unpacked)) {
    debugTrace("archive %s: unpacking failed (%d)\n", name, result);
    delete[] packedBytes;
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
    delete[] packedBytes;
    return 0;
  }
  int32_t* offsets = new (kSource, 95, nullptr) int32_t[n > 0 ? n : 1];
  if (!offsets) {
    delete[] data;
    delete[] packedBytes;
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
      delete[] packedBytes;
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
  m_packed = packedBytes;
  m_packedSize = packed;
  return 1;
}

int32_t cGameResources::getBarEntryOffset(int32_t entry) const {
  if (!m_bar.offsets || entry < 0 || entry >= m_bar.count - 1) return -1;
  return m_bar.offsets[entry];
}

int32_t cGameResources::getBarEntrySize(int32_t entry) const {
  if (!m_bar.offsets || entry < 0 || entry >= m_bar.count - 1) return -1;
  return m_bar.offsets[entry + 1] - m_bar.offsets[entry];
}

uint8_t* cGameResources::getBarEntryCopy(int32_t entry) const {
  const int32_t size = getBarEntrySize(entry);
  if (size <= 0 || !m_bar.data) return nullptr;
  uint8_t* copy = new (kSource, 140, nullptr) uint8_t[size];
  if (copy) std::memcpy(copy, m_bar.data + m_bar.offsets[entry], static_cast<size_t>(size));
  return copy;
}

void cGameResources::loadRawFile(const char* name) {
  delete[] m_bar.data;
  m_bar.data = nullptr;
  m_bar.size = 0;
  // The old offsets described the old buffer.
  delete[] m_bar.offsets;
  m_bar.offsets = nullptr;
  m_bar.count = 0;
  delete[] m_packed;
  m_packed = nullptr;
  m_packedSize = 0;
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
