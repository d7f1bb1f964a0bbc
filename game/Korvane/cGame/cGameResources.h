// The named ".bar" archive reader: one open archive at a time, a u32 packed
// size, then one LZMA-alone stream whose unpacked bytes hold a u16 offset
// count, the offsets and the entry data. The game object holds one and
// forwards its archive operations to it; it needs only the engine core.
#pragma once

#include <cstdint>
#include <vector>

#include "game/Korvane/cGame/cGameData.h"

class cGameResources {
 public:
  cGameResources() = default;
  cGameResources(const cGameResources&) = delete;
  cGameResources& operator=(const cGameResources&) = delete;
  ~cGameResources();

  // 1 when the archive was read whole and its table is sound, else 0 (and
  // nothing is open; problem() tells why).
  int32_t loadBar(const char* name);
  // Why the last loadBar failed, as said of the file: "is empty", "is cut
  // short: ...", "is damaged: ..."; empty after a success. notOpened() is
  // true when the file could not be opened at all.
  const char* problem() const { return m_problem; }
  bool notOpened() const { return m_notOpened; }
  void unloadBar();
  // Closes the open archive but keeps its unpacked bytes: the next loadBar
  // of the same name whose file still holds the same packed bytes takes them
  // back without unpacking again (a changed file is unpacked afresh).
  // Several archives may be aside at once, one per name.
  void setBarAside();
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

 private:
  // The archives set aside, each with the size and digest of its packed
  // bytes.
  struct Aside {
    const char* name = nullptr;
    uint32_t packedSize = 0;
    uint64_t digest = 0;
    BarArchive bar;
  };
  static void freeAside(Aside& aside);
  // True (and the archive open) when `name`'s packed bytes are those set aside.
  bool takeBackAside(const char* name, uint32_t packedSize, uint64_t digest);

  // Records why loadBar fails (printf style); always returns 0.
  int32_t fail(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // The open archive's packed size and digest (for setBarAside).
  uint32_t m_packedSize = 0;
  uint64_t m_packedDigest = 0;
  std::vector<Aside> m_aside;
  char m_problem[128] = {};
  bool m_notOpened = false;
};

class cGame;

// data files: named archives, save file, text table, text drawing
// Named archives (forwarded to files.archives).
int32_t loadBar(cGame& game, const char* name);
void unloadBar(cGame& game);
int32_t getBarEntryOffset(const cGame& game, int32_t entry);
int32_t getBarEntrySize(const cGame& game, int32_t entry);
// A new buffer (delete[]) with the entry's bytes; null for a bad index or size 0.
uint8_t* getBarEntryCopy(const cGame& game, int32_t entry);
// The reader owns the buffer from now on; reads past size give 0.
void setReadBuffer(cGame& game, uint8_t* buffer, int32_t size);
void freeReadBuffer(cGame& game);
void skipBytes(cGame& game, int32_t n);
uint32_t readByte(cGame& game);
uint32_t readShort(cGame& game);
uint32_t readInt(cGame& game);
float readFloat(cGame& game);
void loadRawFile(cGame& game, const char* name);
void allocWorkBuffer(cGame& game);
void freeWorkBuffer(cGame& game);
// Missing or damaged data (cGameDataCheck.cpp). The start-up check: every
// data file is there, each archive unpacks whole with a sound entry table
// and the entries the game reads, the resource pack's index and entries
// hold together, and each sound opens within its bounds. False, with the
// first problem reported, when anything fails.
bool checkDataFiles(cGame& game);
// Records what the game cannot go on without, "<file> <what>" (the first
// report stands); the host tells the player and ends the program.
void reportDataError(cGame& game, const char* file, const char* format, ...) __attribute__((format(printf, 3, 4)));
void reportBadEntry(cGame& game, int32_t entry);
void releaseDataFiles(cGame& game);

// Entries of other topics that the frame step, the state machine and init
// call: the stylus mapping (cGameStylus.cpp), the match's update and paint
// (cGamePool.cpp, cGamePoolPaint.cpp), start-up loading (cGameLoadInit.cpp),
// the in-game menu (cGameInterfaces/InGameMenu.cpp), music
// (cGameSoundControl.cpp), the resource pack index (cGame.cpp) and the
// table's objects (cGameTable.cpp).
void loadResourceIndex(cGame& game);

struct DataFiles {
  cGameResources archives;           // the ".bar" reader
  BarArchive& bar = archives.m_bar;  // its open archive
  FieldReader reader;
  uint8_t* workBuffer = nullptr;  // 32,768 bytes on demand
  uint8_t* saveImage = nullptr;
  uint8_t saveHeld = 0;
  uint8_t saveWanted = 0;
  uint8_t* record4 = nullptr;
  int32_t freeSpaceOverride = -1;
  // An entry of the open archive that is missing or that its reader refused.
  char fatalError[200] = {};
};

// An archive is unpacked whole when it opens: no entry waits to be
// preloaded, and nothing is left to unpack.
void preloadBarEntry(cGame& game, int32_t /*entry*/);
int32_t getBarBytesToUnpack();
