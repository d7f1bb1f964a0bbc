// The game's archive operations (forwarded to its cGameResources), the
// little-endian field reader and the scratch work buffer.
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "zul/memory/TrackedNew.h"

namespace {

constexpr const char* kSource = "cGameResources";
constexpr int32_t kWorkBufferSize = 32768;

}  // namespace

void unloadBar(cGame& game) { game.files.archives.unloadBar(); }
int32_t getBarEntryOffset(const cGame& game, int32_t entry) { return game.files.archives.getBarEntryOffset(entry); }
int32_t getBarEntrySize(const cGame& game, int32_t entry) { return game.files.archives.getBarEntrySize(entry); }
uint8_t* getBarEntryCopy(const cGame& game, int32_t entry) { return game.files.archives.getBarEntryCopy(entry); }
void loadRawFile(cGame& game, const char* name) { game.files.archives.loadRawFile(name); }

// ---- field reader

void setReadBuffer(cGame& game, uint8_t* buffer, int32_t size) {
  if (game.files.reader.buffer != buffer) delete[] game.files.reader.buffer;
  game.files.reader.buffer = buffer;
  game.files.reader.size = buffer ? size : 0;
  game.files.reader.position = 0;
}

void freeReadBuffer(cGame& game) {
  delete[] game.files.reader.buffer;
  game.files.reader.buffer = nullptr;
  game.files.reader.size = 0;
  game.files.reader.position = 0;
}

void skipBytes(cGame& game, int32_t n) {
  const int64_t p = static_cast<int64_t>(game.files.reader.position) + n;
  game.files.reader.position = p < 0 ? 0 : (p > INT32_MAX ? INT32_MAX : static_cast<int32_t>(p));
}

uint32_t readByte(cGame& game) {
  const int32_t p = game.files.reader.position;
  if (p < INT32_MAX) game.files.reader.position = p + 1;
  if (!game.files.reader.buffer || p < 0 || p >= game.files.reader.size) return 0;
  return game.files.reader.buffer[p];
}

uint32_t readShort(cGame& game) {
  const uint32_t lo = readByte(game);
  return lo | readByte(game) << 8;
}

uint32_t readInt(cGame& game) {
  const uint32_t lo = readShort(game);
  return lo | readShort(game) << 16;
}

float readFloat(cGame& game) { return static_cast<float>(static_cast<int32_t>(readInt(game))); }

// ---- scratch

void allocWorkBuffer(cGame& game) {
  if (!game.files.workBuffer) game.files.workBuffer = new (kSource, 230, nullptr) uint8_t[kWorkBufferSize];
}

void freeWorkBuffer(cGame& game) {
  delete[] game.files.workBuffer;
  game.files.workBuffer = nullptr;
}

void releaseDataFiles(cGame& game) {
  game.files.archives.release();
  freeReadBuffer(game);
  freeWorkBuffer(game);
  freeStrings(game);
  delete[] game.files.saveImage;
  game.files.saveImage = nullptr;
  delete[] game.files.record4;
  game.files.record4 = nullptr;
  delete[] game.text.charMap;
  game.text.charMap = nullptr;
  game.text.charMapCount = 0;
}

void preloadBarEntry(cGame& /*game*/, int32_t /*entry*/) {}
int32_t getBarBytesToUnpack() { return 0; }
