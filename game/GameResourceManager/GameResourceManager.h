// The game's resource manager: resources by id from the pack "data000.bar",
// found through the index "info.bar", served as memory streams; packed
// entries are unpacked on the way.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zul/io/BufferStream.h"
#include "zul/resourcemanager/ResourceManager.h"

class GameResourceManager;

// A read-only memory stream over one resource; it owns the loaded bytes.
class GameResourceStream : public BufferStream {
 public:
  // Empty; nothing loaded.
  GameResourceStream();
  // Loads resource id through the running game's manager.
  explicit GameResourceStream(uint32_t id);
  ~GameResourceStream() override;

  // Frees the owned bytes.
  void close() override;
  // True when the running game's manager filled the stream with resource id.
  bool load(uint32_t id);
  // Reads the size bytes of buffer in place and owns them from now on.
  void adopt(uint8_t* buffer, int32_t size);

 private:
  uint8_t* m_owned = nullptr;
};

class GameResourceManager : public ResourceManager {
 public:
  static constexpr const char* kSource = "game/GameResourceManager";
  static constexpr const char* kIndexFile = "info.bar";
  static constexpr const char* kPackFile = "data000.bar";
  // First word of a packed entry: properties 0x5D and an 8 MiB dictionary.
  static constexpr uint32_t kPackedMagic = 0x8000005D;
  // Unpacked sizes above this are refused.
  static constexpr uint32_t kMaxUnpackedSize = 64u << 20;

  // Empty: no index, every id unknown.
  GameResourceManager();
  // Frees the table; the stored objects belong to their owners.
  ~GameResourceManager() override;

  // Reads the index file. A missing or short file leaves no table; true when
  // a table was read.
  bool loadIndex();
  // Looks the index and the pack over without loading anything: the index
  // holds at least `needed` descriptors, the pack's entries follow one
  // another to its end, each packed entry's header is one the loader takes,
  // and every descriptor names an entry of the pack. True when all holds;
  // otherwise *file is the file at fault and `what` says what is wrong with
  // it ("is cut short: ...").
  bool check(uint32_t needed, const char** file, char* what, std::size_t capacity);

  // Ids at or beyond the count: find gives null, store is ignored, open null.
  void* find(uint32_t id) override;
  Stream* open(uint32_t id) override;
  void close(Stream* stream) override;
  void store(uint32_t id, void* object) override;

  uint32_t getCount() const { return m_count; }
  // Bits 24-30 and 0-23 of the id's descriptor (0 for an unknown id).
  uint32_t getPackage(uint32_t id) const;
  uint32_t getIndex(uint32_t id) const;
  static bool isCompressed(uint32_t firstWord) { return firstWord == kPackedMagic; }
  // Fills stream with the bytes of resource id; false (and the stream left
  // empty) when the id is unknown, the pack is missing, cut short, or an
  // entry does not unpack to exactly its stated size.
  bool loadResource(GameResourceStream* stream, uint32_t id);

  // The low 30 bits of value, plus 4 with the header flag.
  static uint32_t maskedSize(uint32_t value, bool withHeader) {
    return (value & 0x3FFFFFFF) + (withHeader ? 4u : 0u);
  }

 private:
  struct Slot {
    void* object;
    uint32_t descriptor;
  };
  uint32_t m_count = 0;
  Slot* m_slots = nullptr;
};
