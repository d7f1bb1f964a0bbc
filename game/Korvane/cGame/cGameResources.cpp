// Named ".bar" archives: a u32 packed size, then one LZMA-alone stream whose
// unpacked bytes hold a u16 offset count, the offsets and the entry data.
#include "game/Korvane/cGame/cGameResources.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "zul/comp/Compression.h"
#include "zul/io/BufferStream.h"
#include "zul/io/FileStream.h"
#include "zul/memory/Debug.h"
#include "zul/memory/StackMemoryPool.h"
#include "zul/memory/TrackedNew.h"

namespace {

constexpr const char* kSource = "cGameResources";
constexpr int32_t kScratchPoolSize = 30720;
// The decoder's probability array holds 10,240 entries: lc + lp <= 3.
constexpr int32_t kMaxLcLp = 3;
// No archive of the game comes near this; anything larger is damaged.
constexpr uint32_t kMaxUnpacked = 64u << 20;
// LZMA grows what it cannot pack by well under one part in sixteen.
constexpr uint32_t kMaxPacked = kMaxUnpacked + kMaxUnpacked / 16;
// Archives set aside at once (the game has eleven).
constexpr size_t kMaxAside = 16;

uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// A digest of an archive's packed bytes: what tells a file unchanged since
// its bytes were unpacked.
uint64_t digestOf(const uint8_t* p, uint32_t n) {
  uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
  uint32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    h = (h ^ w) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 32;
  }
  for (; i < n; ++i) {
    h = (h ^ p[i]) * 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 29;
  }
  return h;
}

// Frees a buffer of the tracked allocation when it goes out of scope.
struct Owned {
  uint8_t* bytes;
  ~Owned() { delete[] bytes; }
};

}  // namespace

cGameResources::~cGameResources() { release(); }

void cGameResources::release() {
  unloadBar();
  for (Aside& a : m_aside) freeAside(a);
  m_aside.clear();
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
  m_packedSize = 0;
  m_packedDigest = 0;
}

void cGameResources::freeAside(Aside& aside) {
  delete[] aside.bar.offsets;
  delete[] aside.bar.data;
  aside = Aside();
}

void cGameResources::setBarAside() {
  if (m_bar.data && m_bar.offsets && m_bar.name) {
    Aside kept;
    kept.name = m_bar.name;
    kept.packedSize = m_packedSize;
    kept.digest = m_packedDigest;
    kept.bar = m_bar;
    kept.bar.cursor = 0;
    m_bar.offsets = nullptr;
    m_bar.data = nullptr;
    // One per name: a newer one replaces the old; the oldest goes when
    // there are too many.
    for (auto it = m_aside.begin(); it != m_aside.end(); ++it)
      if (std::strcmp(it->name, kept.name) == 0) {
        freeAside(*it);
        m_aside.erase(it);
        break;
      }
    if (m_aside.size() >= kMaxAside) {
      freeAside(m_aside.front());
      m_aside.erase(m_aside.begin());
    }
    m_aside.push_back(kept);
  }
  unloadBar();
}

bool cGameResources::takeBackAside(const char* name, uint32_t packedSize, uint64_t digest) {
  for (auto it = m_aside.begin(); it != m_aside.end(); ++it) {
    if (std::strcmp(it->name, name) != 0) continue;
    const bool same = it->packedSize == packedSize && it->digest == digest;
    if (same) {
      m_bar = it->bar;
      m_bar.name = name;
      m_bar.cursor = 0;
      it->bar.offsets = nullptr;
      it->bar.data = nullptr;
    }
    // A changed file is unpacked afresh; either way it is no longer aside.
    freeAside(*it);
    m_aside.erase(it);
    return same;
  }
  return false;
}

int32_t cGameResources::fail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(m_problem, sizeof m_problem, format, args);
  va_end(args);
  debugTrace("archive %s %s\n", m_bar.name ? m_bar.name : "(none)", m_problem);
  m_bar.cursor = 0;
  return 0;
}

int32_t cGameResources::loadBar(const char* name) {
  unloadBar();
  m_bar.name = name;
  m_problem[0] = 0;
  m_notOpened = false;
  if (!name) return 0;

  FileStream file;
  if (!file.open(name, FileStream::kRead)) {
    m_notOpened = true;
    return fail("cannot be opened");
  }
  // Bytes the file holds but a read does not give are an I/O error, not
  // damage.
  const int64_t fileSize = file.size();
  if (fileSize == 0) return fail("is empty");
  if (fileSize < 4) return fail("is cut short: it has %lld of its first 4 bytes", static_cast<long long>(fileSize));
  uint8_t sizeBytes[4];
  if (file.read(sizeBytes, 4) != 4) return fail("cannot be read");
  const uint32_t packed = le32(sizeBytes);
  if (packed < static_cast<uint32_t>(kLzmaHeaderSize)) return fail("is damaged: its packed size is %u bytes", packed);
  if (packed > fileSize - 4)
    return fail("is cut short: it has %lld of its %llu bytes", static_cast<long long>(fileSize), 4ull + packed);
  // The size says how many bytes follow: more is damage as much as fewer.
  if (packed < fileSize - 4)
    return fail("is damaged: %lld bytes follow its packed stream", static_cast<long long>(fileSize - 4 - packed));
  if (packed > kMaxPacked) return fail("is damaged: its packed size is %u bytes", packed);
  const Owned packedBytes{new (kSource, 60, nullptr) uint8_t[packed]};
  if (!packedBytes.bytes) return fail("cannot be read: out of memory");
  const bool readAll = file.read(packedBytes.bytes, static_cast<int32_t>(packed)) == static_cast<int32_t>(packed);
  file.close();
  if (!readAll) return fail("cannot be read");
  m_packedSize = packed;
  m_packedDigest = digestOf(packedBytes.bytes, packed);
  if (takeBackAside(name, m_packedSize, m_packedDigest)) return 1;

  const uint32_t unpacked = le32(packedBytes.bytes + 5);
  const int props = packedBytes.bytes[0];
  const int lc = props % 9, lp = (props / 9) % 5;
  if (props >= 9 * 5 * 5 || lc + lp > kMaxLcLp || unpacked < 2 || unpacked > kMaxUnpacked)
    return fail("is damaged: its stream header is not one this game reads");

  if (!getStackMemoryPool()) {
    if (!m_scratchPool) m_scratchPool = new (kSource, 70, nullptr) StackMemoryPool(kScratchPoolSize, nullptr);
    setStackMemoryPool(m_scratchPool);
  }
  Owned data{new (kSource, 75, nullptr) uint8_t[unpacked]};
  if (!data.bytes) return fail("cannot be read: out of memory");
  int32_t produced = static_cast<int32_t>(unpacked);
  BufferStream in(BufferStream::kRead, static_cast<int32_t>(packed), packedBytes.bytes);
  bool whole = false;
  const int32_t result = decompressLzma(in, static_cast<int32_t>(packed), data.bytes, produced, whole);
  // The stream must give exactly its stated size and end there: a flipped
  // bit anywhere in it shows as one or the other.
  if (result != kCompOk || produced != static_cast<int32_t>(unpacked) || !whole)
    return fail("is damaged: it does not unpack");

  // Offset table: N u32 values relative to the end of the table.
  m_bar.cursor = 0;
  const int32_t n = data.bytes[0] | data.bytes[1] << 8;
  m_bar.cursor = 2;
  const uint64_t base = 2 + 4ull * static_cast<uint64_t>(n);
  if (base > unpacked) return fail("is damaged: its entry table runs past its data");
  int32_t* offsets = new (kSource, 95, nullptr) int32_t[n > 0 ? n : 1];
  if (!offsets) return fail("cannot be read: out of memory");
  uint64_t previous = base;
  for (int32_t i = 0; i < n; ++i) {
    const uint64_t at = base + le32(data.bytes + m_bar.cursor);
    m_bar.cursor += 4;
    if (at < previous || at > unpacked) {
      delete[] offsets;
      return fail("is damaged: entry %d lies outside its data", i > 0 ? i - 1 : 0);
    }
    offsets[i] = static_cast<int32_t>(at);
    previous = at;
  }
  m_bar.count = n;
  m_bar.offsets = offsets;
  m_bar.data = data.bytes;
  data.bytes = nullptr;
  m_bar.size = static_cast<int32_t>(unpacked);
  m_bar.cursor = 0;
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
  m_packedSize = 0;
  m_packedDigest = 0;
  if (!name) return;
  FileStream file;
  if (!file.open(name, FileStream::kRead)) return;
  const int64_t fileSize = file.size();
  uint8_t sizeBytes[4];
  if (file.read(sizeBytes, 4) != 4) return;
  const uint32_t size = le32(sizeBytes);
  if (fileSize < 4 || size > fileSize - 4 || size > kMaxPacked) return;
  uint8_t* data = new (kSource, 165, nullptr) uint8_t[size > 0 ? size : 1];
  if (!data) return;
  if (file.read(data, static_cast<int32_t>(size)) != static_cast<int32_t>(size)) {
    delete[] data;
    return;
  }
  m_bar.data = data;
  m_bar.size = static_cast<int32_t>(size);
}
