#include "game/GameResourceManager/GameResourceManager.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "zul/comp/Compression.h"
#include "zul/io/FileStream.h"
#include "zul/memory/Debug.h"
#include "zul/memory/Memory.h"
#include "zul/memory/StackMemoryPool.h"
#include "zul/memory/TrackedNew.h"

namespace {

// The decoder's work memory when the game has not registered its pool.
constexpr int32_t kScratchPoolSize = 30720;

bool readU32(FileStream& file, uint32_t& value) {
  uint8_t b[4];
  if (file.read(b, 4) != 4) return false;
  value = uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
  return true;
}

}  // namespace

GameResourceStream::GameResourceStream() = default;

GameResourceStream::GameResourceStream(uint32_t id) { load(id); }

GameResourceStream::~GameResourceStream() { GameResourceStream::close(); }

void GameResourceStream::close() {
  BufferStream::close();
  if (m_owned) memDeleteArray(m_owned);
  m_owned = nullptr;
  m_data = nullptr;
  m_length = m_capacity = m_position = 0;
}

bool GameResourceStream::load(uint32_t id) {
  GameResourceManager* manager = getResourceManager();
  return manager && manager->loadResource(this, id);
}

void GameResourceStream::adopt(uint8_t* buffer, int32_t size) {
  close();
  open(kRead, size, buffer);
  m_owned = buffer;
}

GameResourceManager::GameResourceManager() = default;

GameResourceManager::~GameResourceManager() {
  delete[] m_slots;
  m_slots = nullptr;
  m_count = 0;
}

bool GameResourceManager::loadIndex() {
  delete[] m_slots;
  m_slots = nullptr;
  m_count = 0;
  FileStream file;
  if (!file.open(kIndexFile, FileStream::kRead)) {
    debugTrace("%s: not found\n", kIndexFile);
    return false;
  }
  const int64_t size = file.size();
  uint8_t unused;
  uint32_t n = 0;
  if (file.read(&unused, 1) != 1 || !readU32(file, n) || size < 5 || n > static_cast<uint64_t>(size - 5) / 4) {
    debugTrace("%s: shorter than its count\n", kIndexFile);
    return false;
  }
  Slot* slots = new (kSource, 61, nullptr) Slot[n > 0 ? n : 1];
  if (!slots) return false;
  for (uint32_t i = 0; i < n; ++i) {
    slots[i].object = nullptr;
    if (!readU32(file, slots[i].descriptor)) {
      delete[] slots;
      return false;
    }
  }
  m_slots = slots;
  m_count = n;
  return true;
}

bool GameResourceManager::check(uint32_t needed, const char** file, char* what, std::size_t capacity) {
  auto fail = [&](const char* name, const char* text, uint64_t a = 0, uint64_t b = 0) {
    *file = name;
    std::snprintf(what, capacity, text, static_cast<unsigned long long>(a), static_cast<unsigned long long>(b));
    return false;
  };
  // A read that gives less than the file holds is an I/O error, not damage.
  FileStream index;
  if (!index.open(kIndexFile, FileStream::kRead)) return fail(kIndexFile, "cannot be read");
  const int64_t indexSize = index.size();
  uint8_t unused;
  uint32_t n = 0;
  if (indexSize == 0) return fail(kIndexFile, "is empty");
  if (indexSize < 5) return fail(kIndexFile, "is cut short: it has %llu of its first 5 bytes", indexSize);
  if (index.read(&unused, 1) != 1 || !readU32(index, n)) return fail(kIndexFile, "cannot be read");
  if (n > static_cast<uint64_t>(indexSize - 5) / 4)
    return fail(kIndexFile, "is cut short: it has %llu of its %llu bytes", indexSize, 5 + 4ull * n);
  if (n < needed) return fail(kIndexFile, "is damaged: it indexes %llu resources, %llu are needed", n, needed);
  std::vector<uint32_t> descriptors(n);
  uint32_t last = 0;  // the last entry of the pack that a resource names
  for (uint32_t& d : descriptors) {
    if (!readU32(index, d)) return fail(kIndexFile, "cannot be read");
    last = std::max(last, d & 0xFFFFFF);
  }
  index.close();

  FileStream pack;
  if (!pack.open(kPackFile, FileStream::kRead)) return fail(kPackFile, "cannot be read");
  const int64_t length = pack.size();
  uint32_t word;
  if (length == 0) return fail(kPackFile, "is empty");
  if (length < 4) return fail(kPackFile, "is cut short: it has %llu of its first 4 bytes", length);
  if (!readU32(pack, word)) return fail(kPackFile, "cannot be read");
  // The entries the index names, one after another from the start, each a
  // u32 size and that many bytes; the pack ends with the last of them.
  // (Nothing reads past it, and bytes there would only be taken for more
  // entries, four bytes at a time.)
  int64_t at = 4;
  uint32_t k = 0;
  for (; k <= last && at < length; ++k) {
    uint32_t size = 0, first = 0, unpacked = 0;
    uint8_t lastDictByte;
    if (length - at < 4) return fail(kPackFile, "is cut short: entry %llu runs past its end", k);
    if (at > INT32_MAX - 17) return fail(kPackFile, "is damaged: entry %llu lies past the 2 GB the game reads", k);
    pack.seek(static_cast<int32_t>(at), Stream::kSeekStart);
    if (!readU32(pack, size)) return fail(kPackFile, "cannot be read");
    if (size > length - at - 4) return fail(kPackFile, "is cut short: entry %llu runs past its end", k);
    if (size >= 4) {
      if (!readU32(pack, first)) return fail(kPackFile, "cannot be read");
      if (isCompressed(first) && (size < static_cast<uint32_t>(kLzmaHeaderSize) || pack.read(&lastDictByte, 1) != 1 ||
                                  !readU32(pack, unpacked) || unpacked > kMaxUnpackedSize))
        return fail(kPackFile, "is damaged: entry %llu has a bad packed header", k);
    }
    at += 4 + int64_t{size};
  }
  if (k <= last) {
    // The pack ends before an entry the index names: a pack with fewer
    // entries than the index has resources was cut short; otherwise a
    // descriptor of the index is wrong.
    if (k < n) return fail(kPackFile, "is cut short: it has %llu entries, its index names %llu", k, uint64_t{last} + 1);
    uint32_t id = 0;
    while ((descriptors[id] & 0xFFFFFF) < k) ++id;
    return fail(kIndexFile, "is damaged: resource %llu lies past the pack's %llu entries", id, k);
  }
  if (at < length) return fail(kPackFile, "is damaged: %llu bytes follow its last entry", length - at);
  return true;
}

void* GameResourceManager::find(uint32_t id) { return id < m_count ? m_slots[id].object : nullptr; }

void GameResourceManager::store(uint32_t id, void* object) {
  if (id < m_count) m_slots[id].object = object;
}

Stream* GameResourceManager::open(uint32_t id) {
  if (id >= m_count) return nullptr;
  auto* stream = new (kSource, 103, nullptr) GameResourceStream();
  if (!stream) return nullptr;
  if (!loadResource(stream, id)) {
    delete stream;
    return nullptr;
  }
  return stream;
}

void GameResourceManager::close(Stream* stream) { delete stream; }

uint32_t GameResourceManager::getPackage(uint32_t id) const {
  return id < m_count ? (m_slots[id].descriptor >> 24) & 0x7F : 0;
}

uint32_t GameResourceManager::getIndex(uint32_t id) const {
  return id < m_count ? m_slots[id].descriptor & 0xFFFFFF : 0;
}

bool GameResourceManager::loadResource(GameResourceStream* stream, uint32_t id) {
  if (!stream) return false;
  stream->close();
  if (id >= m_count) return false;
  const uint32_t k = getIndex(id);
  FileStream file;
  if (!file.open(kPackFile, FileStream::kRead)) {
    debugTrace("%s: not found\n", kPackFile);
    return false;
  }
  const int64_t length = file.size();
  uint32_t word;
  if (!readU32(file, word)) return false;
  int64_t at = 4;
  // Entries are skipped one by one; a size past the end stops the walk.
  for (uint32_t i = 0; i < k; ++i) {
    uint32_t s;
    if (!readU32(file, s) || s > length - at - 4) {
      debugTrace("%s: entry %u past the end\n", kPackFile, i);
      return false;
    }
    at += 4 + int64_t{s};
    if (at > INT32_MAX - 17) return false;  // beyond what a stream position holds
    file.seek(static_cast<int32_t>(at), Stream::kSeekStart);
  }
  uint32_t s;
  if (!readU32(file, s) || s > length - at - 4) {
    debugTrace("%s: entry %u past the end\n", kPackFile, k);
    return false;
  }
  const int32_t entryStart = static_cast<int32_t>(at + 4);
  const int32_t stored = static_cast<int32_t>(s);
  uint32_t first = 0;
  const bool packed = stored >= 4 && readU32(file, first) && isCompressed(first);

  if (!packed) {
    uint8_t* buffer = static_cast<uint8_t*>(memNewArray(stored > 0 ? static_cast<size_t>(stored) : 1, kSource, 152));
    if (!buffer) return false;
    file.seek(entryStart, Stream::kSeekStart);
    if (file.read(buffer, stored) != stored) {
      memDeleteArray(buffer);
      return false;
    }
    stream->adopt(buffer, stored);
    return true;
  }

  uint8_t lastDictByte;
  uint32_t unpacked = 0;
  if (stored < kLzmaHeaderSize || file.read(&lastDictByte, 1) != 1 || !readU32(file, unpacked) ||
      unpacked > kMaxUnpackedSize) {
    debugTrace("%s: entry %u: bad packed header\n", kPackFile, k);
    return false;
  }
  uint8_t* buffer = static_cast<uint8_t*>(memNewArray(unpacked > 0 ? unpacked : 1, kSource, 171));
  if (!buffer) return false;
  file.seek(entryStart, Stream::kSeekStart);
  StackMemoryPool* ownPool = nullptr;
  if (!getStackMemoryPool()) {
    ownPool = new (kSource, 176, nullptr) StackMemoryPool(kScratchPoolSize, nullptr);
    setStackMemoryPool(ownPool);
  }
  int32_t produced = static_cast<int32_t>(unpacked);
  bool whole = false;
  const int32_t result = decompressLzma(file, stored, buffer, produced, whole);
  if (ownPool) {
    setStackMemoryPool(nullptr);
    delete ownPool;
  }
  if (result != kCompOk || produced != static_cast<int32_t>(unpacked) || !whole) {
    debugTrace("%s: entry %u does not unpack (%d)\n", kPackFile, k, result);
    memDeleteArray(buffer);
    return false;
  }
  stream->adopt(buffer, produced);
  return true;
}
