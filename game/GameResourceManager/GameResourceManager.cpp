#include "game/GameResourceManager/GameResourceManager.h"

#include "game/Korvane/cGame/cGame.h"
#include "windows_brew/memory/MemoryManager.h"
#include "zul/comp/Compression.h"
#include "zul/io/FileStream.h"
#include "zul/memory/Memory.h"
#include "zul/memory/StackMemoryPool.h"

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
  const int32_t size = file.size();
  uint8_t unused;
  uint32_t n = 0;
  if (file.read(&unused, 1) != 1 || !readU32(file, n) || size < 5 || n > static_cast<uint32_t>(size - 5) / 4) {
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
  const int32_t result = decompress(kCompLzma, file, stored, buffer, produced);
  if (ownPool) {
    setStackMemoryPool(nullptr);
    delete ownPool;
  }
  if (result != kCompOk || produced != static_cast<int32_t>(unpacked)) {
    debugTrace("%s: entry %u does not unpack (%d)\n", kPackFile, k, result);
    memDeleteArray(buffer);
    return false;
  }
  stream->adopt(buffer, produced);
  return true;
}
