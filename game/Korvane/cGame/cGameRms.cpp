// The save file "save.sav": a 300-byte image of fixed record slots with
// big-endian fields, rewritten whole whenever a record changes.
#include <algorithm>
#include <cstring>

#include "game/Korvane/cGame/SaveRecordFields.h"
#include "game/Korvane/cGame/cGame.h"
#include "platform/brew/GameHost.h"
#include "zul/memory/Debug.h"
#include "zul/memory/TrackedNew.h"

namespace {

constexpr const char* kSource = "cGameRms";
constexpr const char* kSaveName = "save.sav";
constexpr int32_t kSaveSize = 300;
constexpr int32_t kRecordSize[5] = {0, 0, 100, 100, 2};
constexpr int32_t kRecordOffset[5] = {0, 0, 0, 100, 200};
constexpr int32_t kSpaceShort = 100;
constexpr int32_t kSavingOff = 101;
constexpr int32_t kFreeToCreate = 4000;
constexpr int32_t kFreeToKeep = 3700;

// Field widths of the two records, in order. A short file gives a field
// only when it holds the whole of it.
constexpr uint8_t kSettingsFields[] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 4, 1, 1, 1, 1};
constexpr uint8_t kProgressFields[] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                       1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                       4, 4, 1, 4, 4, 1, 4, 4, 4, 1, 4, 4, 1, 1};
template <size_t N>
constexpr int32_t widthOf(const uint8_t (&fields)[N]) {
  int32_t sum = 0;
  for (uint8_t w : fields) sum += w;
  return sum;
}
static_assert(widthOf(kSettingsFields) == 25 && widthOf(kProgressFields) == 85, "the records' used bytes");
struct RecordLayout {
  int32_t offset;
  const uint8_t* fields;
  size_t count;
};
constexpr RecordLayout kRecords[] = {
    {0, kSettingsFields, sizeof kSettingsFields},
    {100, kProgressFields, sizeof kProgressFields},
};

// "save.sav" as found where the game writes it (never a copy in the data
// folder): missing (an empty file counts as one), readable with its first
// bytes, or there but unreadable (not a regular file, a file far larger
// than any save, or one that would not open or read).
struct SaveFileView {
  enum State { kMissing, kReadable, kUnreadable } state = kMissing;
  int64_t length = 0;
  uint8_t bytes[kSaveSize] = {};
};

// A save file longer than this is no save of this game's, and is left as it
// is (anything up to it is read for its first 300 bytes).
constexpr int64_t kMaxSaveFile = 64 * 1024;

SaveFileView lookAtSaveFile(GameHost& host) {
  SaveFileView view;
  // What a run killed in the middle of saving left.
  host.removeStaleStaging(kSaveName);
  const GameHost::FileKind kind = host.savedFileKind(kSaveName);
  if (kind != GameHost::FileKind::Regular) {
    view.state = kind == GameHost::FileKind::None ? SaveFileView::kMissing : SaveFileView::kUnreadable;
    return view;
  }
  view.state = SaveFileView::kUnreadable;
  const bool read = host.readSavedFile(kSaveName, view.bytes, kSaveSize, &view.length);
  if (view.length == 0)
    view.state = SaveFileView::kMissing;
  else if (view.length > 0 && view.length <= kMaxSaveFile && read)
    view.state = SaveFileView::kReadable;
  if (view.length > kMaxSaveFile) debugTrace("save file: %lld bytes, no save of this game's\n", static_cast<long long>(view.length));
  return view;
}

// Writes the whole image; the host stages it, commits it to the disk and
// only then replaces the file. False when any of it failed.
bool writeImage(GameHost& host, const uint8_t* image) {
  return image && host.writeSavedFile(kSaveName, image, kSaveSize);
}

// Takes what a file that was read holds into the image, whose records hold
// their defaults (or what the game had): a record the file lacks or holds
// only zeros in (never written) keeps them, and so does each field the file
// ends inside. True when the file had to be made whole.
bool mergeFile(uint8_t* image, const SaveFileView& file) {
  const int32_t n = file.length < kSaveSize ? static_cast<int32_t>(file.length) : kSaveSize;
  bool repaired = n < kSaveSize;
  int32_t covered = 0;  // bytes below this belong to the records
  for (const RecordLayout& r : kRecords) {
    const int32_t slotEnd = r.offset + 100;
    covered = slotEnd;
    if (r.offset >= n) continue;
    bool zero = true;
    for (int32_t i = r.offset; i < slotEnd && i < n; ++i) zero = zero && file.bytes[i] == 0;
    if (zero) {
      repaired = true;
      continue;
    }
    int32_t at = r.offset;
    for (size_t k = 0; k < r.count; ++k) {
      if (at + r.fields[k] <= n) std::memcpy(image + at, file.bytes + at, r.fields[k]);
      at += r.fields[k];
    }
    for (; at < slotEnd && at < n; ++at) image[at] = file.bytes[at];
  }
  for (int32_t i = covered; i < n; ++i) image[i] = file.bytes[i];
  return repaired;
}

int32_t defaultChallengeState(int32_t index) { return index % 8 == 0 ? 1 : 0; }

}  // namespace

int32_t getFreeStorage(const cGame& game) {
  if (game.files.freeSpaceOverride >= 0) return game.files.freeSpaceOverride;
  return game.host().freeStorage();
}

void reportSaveFailure(cGame& game) {
  if (game.m_noSpaceState == 0) game.m_noSpaceState = kSpaceShort;
}

bool makeSaveImage(cGame& game) {
  if (game.files.saveImage) return true;
  game.files.saveImage = new (kSource, 310, nullptr) uint8_t[kSaveSize];
  if (!game.files.saveImage) return false;
  std::memset(game.files.saveImage, 0, kSaveSize);
  encodeSettings(game, game.files.saveImage + kRecordOffset[2]);
  encodeProgress(game, game.files.saveImage + kRecordOffset[3]);
  return true;
}

void createSaveFile(cGame& game) {
  // A new image holds the records the game has (at start-up, their
  // defaults); an existing one (the file vanished mid-run) is kept.
  if (!makeSaveImage(game)) return;
  if (!writeImage(game.host(), game.files.saveImage)) reportSaveFailure(game);
}

uint8_t* readSaveRecord(cGame& game, int32_t id) {
  if (game.m_noSpaceState == kSavingOff) return nullptr;
  const SaveFileView file = lookAtSaveFile(game.host());
  const bool present = file.state != SaveFileView::kMissing;
  const int32_t freeSpace = getFreeStorage(game);
  if (!present && freeSpace < kFreeToCreate) {
    game.m_noSpaceState = kSpaceShort;
    return nullptr;
  }
  if (present && freeSpace < kFreeToKeep) game.m_noSpaceState = kSpaceShort;
  // A file that is there but cannot be read is never replaced; the player
  // is told, and the game goes on with what it has.
  if (file.state == SaveFileView::kUnreadable) {
    reportSaveFailure(game);
    return nullptr;
  }

  if (!present) {
    if (!game.host().isQuitting()) createSaveFile(game);
  } else if (makeSaveImage(game) && mergeFile(game.files.saveImage, file) && !game.host().isQuitting()) {
    // A short or never-written part is written back whole.
    if (!writeImage(game.host(), game.files.saveImage)) reportSaveFailure(game);
  }
  if (!game.files.saveImage || id < 2 || id > 4) return nullptr;
  uint8_t* copy = new (kSource, 360, nullptr) uint8_t[kRecordSize[id]];
  if (copy) std::memcpy(copy, game.files.saveImage + kRecordOffset[id], static_cast<size_t>(kRecordSize[id]));
  return copy;
}

void writeSaveRecord(cGame& game, int32_t id, const uint8_t* data) {
  if (game.m_noSpaceState == kSavingOff) return;
  if (game.files.saveHeld) {
    game.files.saveWanted = 1;
    return;
  }
  const SaveFileView file = lookAtSaveFile(game.host());
  const bool present = file.state != SaveFileView::kMissing;
  const int32_t freeSpace = getFreeStorage(game);
  if (!present && freeSpace < kFreeToCreate) {
    game.m_noSpaceState = kSpaceShort;
    return;
  }
  if (present && freeSpace < kFreeToKeep) game.m_noSpaceState = kSpaceShort;
  if (file.state == SaveFileView::kUnreadable) {
    reportSaveFailure(game);
    return;
  }

  // A new file is written once, whole: the image of the records the game
  // has, this one patched in.
  if (!present && !game.host().isQuitting()) makeSaveImage(game);
  if (!game.files.saveImage || !data || id < 2 || id > 4) return;
  std::memcpy(game.files.saveImage + kRecordOffset[id], data, static_cast<size_t>(kRecordSize[id]));
  // Nothing to do when the file already holds exactly this.
  if (file.state == SaveFileView::kReadable && file.length >= kSaveSize &&
      std::memcmp(file.bytes, game.files.saveImage, kSaveSize) == 0)
    return;
  if (!writeImage(game.host(), game.files.saveImage)) reportSaveFailure(game);
}

void holdSaves(cGame& game, bool hold) {
  game.files.saveHeld = hold ? 1 : 0;
  if (hold || !game.files.saveWanted) return;
  game.files.saveWanted = 0;
  saveSettings(game);
  saveProgress(game);
}

// ---- settings (record 2)

void saveSettings(cGame& game) {
  uint8_t* buffer = new (kSource, 400, nullptr) uint8_t[100];
  if (!buffer) return;
  encodeSettings(game, buffer);
  writeSaveRecord(game, 2, buffer);
  delete[] buffer;
}

void encodeSettings(const cGame& game, uint8_t* record) {
  std::memset(record, 0, 100);
  RecordWriter w{record, record + 100};
  w.flag(game.career.option6);
  w.flag(game.career.option7);
  w.flag(game.career.option8);
  for (uint8_t v : game.career.characterAvailable) w.flag(v);
  w.u32(game.career.achievementMask);
  w.u32(game.career.achievementCounter);
  w.flag(game.career.completeShown);
  w.flag(game.tutorial.left);
  w.flag(game.career.specialRivalOpen);
  w.flag(game.career.firstQuickMatch);
}

void loadSettings(cGame& game) {
  uint8_t* buffer = readSaveRecord(game, 2);
  if (!buffer) return;
  RecordReader r{buffer, buffer + 100};
  game.career.option6 = r.flag();
  game.career.option7 = r.flag();
  game.career.option8 = r.flag();
  for (uint8_t& v : game.career.characterAvailable) v = r.flag();
  game.career.achievementMask = r.u32();
  game.career.achievementCounter = r.u32();
  game.career.completeShown = r.flag();
  game.tutorial.left = r.flag();
  game.career.specialRivalOpen = r.flag();
  game.career.firstQuickMatch = r.flag();
  delete[] buffer;
}

void resetSettings(cGame& game) {
  for (int32_t i = 0; i < 10; ++i) game.career.characterAvailable[i] = i == 0 || i == 1 || i == 9;
  game.career.achievementMask = 0;
  game.career.achievementCounter = 0;
  game.career.option7 = 1;
  game.career.option8 = 0;
  game.career.completeShown = 0;
  game.tutorial.left = 0;
  game.career.specialRivalOpen = 0;
  game.career.firstQuickMatch = 1;
  saveSettings(game);
}

// ---- career (record 3)

void saveProgress(cGame& game) {
  uint8_t* buffer = new (kSource, 460, nullptr) uint8_t[100];
  if (!buffer) return;
  encodeProgress(game, buffer);
  writeSaveRecord(game, 3, buffer);
  delete[] buffer;
}

void encodeProgress(const cGame& game, uint8_t* record) {
  std::memset(record, 0, 100);
  const CareerProgress& c = game.career.progress;
  RecordWriter w{record, record + 100};
  w.flag(c.started);
  w.byte(c.character);
  for (uint8_t v : c.won) w.flag(v);
  for (const auto& category : c.challengeStates)
    for (int32_t s : category) w.byte(s);
  w.u32(c.money);
  w.u32(c.boughtMask);
  w.flag(c.shopExplanationPending);
  w.u32(c.equippedMask);
  w.u32(c.counterA);
  w.flag(c.flagB);
  w.u32(c.counterC);
  w.u32(c.counterD);
  w.u32(c.counterE);
  w.flag(c.specialRivalBeaten);
  w.u32(static_cast<uint32_t>(c.pendingUnlockSlot));
  w.u32(static_cast<uint32_t>(c.pendingChallengeIndex));
  w.flag(c.pendingCharacterUnlock);
  w.flag(c.pendingChallengeUnlock);
}

void loadProgress(cGame& game) {
  uint8_t* buffer = readSaveRecord(game, 3);
  if (!buffer) return;
  CareerProgress& c = game.career.progress;
  RecordReader r{buffer, buffer + 100};
  c.started = r.flag();
  c.character = r.signedByte();
  if (c.character < 0 || c.character > 9) c.character = 0;
  for (uint8_t& v : c.won) v = r.flag();
  for (int32_t i = 0; i < 32; ++i) {
    int32_t s = r.signedByte();
    // Low two bits: 0 locked, 1 open, 2 won.
    if (s < 0 || (s & 3) == 3) s = defaultChallengeState(i);
    c.challengeStates[i / 8][i % 8] = s;
  }
  c.money = r.u32();
  c.boughtMask = r.u32();
  c.shopExplanationPending = r.flag();
  c.equippedMask = r.u32();
  updateEquippedItems(game);
  c.counterA = r.u32();
  c.flagB = r.flag();
  // Tournament losses: three end the tournament, and the retry question
  // shows the matches left as 3 - losses.
  c.counterC = std::min(r.u32(), 3u);
  c.counterD = r.u32();
  c.counterE = r.u32();
  c.specialRivalBeaten = r.flag();
  c.pendingUnlockSlot = static_cast<int32_t>(r.u32());
  c.pendingChallengeIndex = static_cast<int32_t>(r.u32());
  c.pendingCharacterUnlock = r.flag();
  c.pendingChallengeUnlock = r.flag();
  // A pending unlock indexes the roster (slot 1-8) and the challenges (0-7):
  // one out of range is dropped.
  if (c.pendingUnlockSlot < 1 || c.pendingUnlockSlot > 8) c.pendingCharacterUnlock = 0;
  if (c.pendingChallengeIndex < 0 || c.pendingChallengeIndex > 7) c.pendingChallengeUnlock = 0;
  delete[] buffer;
}

void resetProgress(cGame& game) {
  CareerProgress& c = game.career.progress;
  c.started = 0;
  for (uint8_t& v : c.won) v = 0;
  for (int32_t i = 0; i < 32; ++i) c.challengeStates[i / 8][i % 8] = defaultChallengeState(i);
  setCareerMoney(game, k_careerMoney0);
  c.boughtMask = 0;
  c.shopExplanationPending = 1;
  c.equippedMask = 0x1041;
  for (int32_t& e : game.career.equippedLevel) e = 0;
  c.counterA = 0;
  c.flagB = 1;
  c.counterD = 0;
  c.counterE = 0;
  c.specialRivalBeaten = 0;
  // A new career is not shown the old one's unlocks.
  c.pendingCharacterUnlock = 0;
  c.pendingChallengeUnlock = 0;
  game.career.pubSpot = 2;
  saveProgress(game);
}

void flushSaveFile(cGame& /*game*/) {}
void syncSaveRecord(cGame& /*game*/, int32_t /*id*/) {}
