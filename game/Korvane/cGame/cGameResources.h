// The named ".bar" archive reader: one open archive at a time, a u32 packed
// size, then one LZMA-alone stream whose unpacked bytes hold a u16 offset
// count, the offsets and the entry data. The game object holds one and
// forwards its archive operations to it; it needs only the engine core.
#pragma once

#include <cstdint>

#include "game/Korvane/cGame/cGameData.h"

class cGameResources {
 public:
  cGameResources() = default;
  cGameResources(const cGameResources&) = delete;
  cGameResources& operator=(const cGameResources&) = delete;
  ~cGameResources();

  // 1 when the archive was read whole and its table is sound, else 0 (and
  // nothing is open).
  int32_t loadBar(const char* name);
  void unloadBar();
  int32_t getBarEntryOffset(int32_t entry) const;
  int32_t getBarEntrySize(int32_t entry) const;
  // A new buffer (delete[]) with the entry's bytes; null for a bad index or size 0.
  uint8_t* getBarEntryCopy(int32_t entry) const;
  // A stored file: a u32 size, then that many bytes, kept as the data.
  void loadRawFile(const char* name);
  // Frees the archive and the decoder's scratch pool.
  void release();

  BarArchive m_bar;
  StackMemoryPool* m_scratchPool = nullptr;  // 30,720 bytes for the decoder
};
