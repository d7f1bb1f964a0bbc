// The save file "save.sav": a 300-byte image of fixed record slots with
// big-endian fields, rewritten whole whenever a record changes.
#include <algorithm>
#include <cstring>

#include "game/Korvane/cGame/SaveRecordFields.h"
#include "game/Korvane/cGame/cGame.h"
#include "windows_brew/HostFiles.h"
#include "windows_brew/ShellHost.h"
#include "windows_brew/memory/Debug.h"
#include "windows_brew/memory/TrackedNew.h"

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

bool savePath(char* out, size_t capacity) {
  ShellHost* shell = getShellHost();
  return shell && joinPath(out, capacity, shell->rootPath(), kSaveName);
}

// Length of "save.sav", or -1 when it cannot be opened for reading.
int32_t saveFileLength() {
  ShellHost* shell = getShellHost();
  if (!shell || shell->testFile(shell->rootPath(), kSaveName) != 0) return -1;
  ShellFile* f = shell->openFile(shell->rootPath(), kSaveName, 1);
  int32_t size = f && f->isOpen() ? f->size() : -1;
  shell->releaseFile(f);
  return size;
}

bool quitting() {
  ShellHost* shell = getShellHost();
  return shell && shell->isQuitRequested();
}

// Writes the whole image; the shell stages it and replaces the file only
// once everything was written.
bool writeImage(const uint8_t* image) {
  ShellHost* shell = getShellHost();
  if (!shell || !image) return false;
  ShellFile* f = shell->openFile(shell->rootPath(), kSaveName, 2);
  bool ok = f && f->isOpen() && f->write(image, kSaveSize) == kSaveSize;
  ok = f && f->close() == 0 && ok;
  shell->releaseFile(f);
  if (!ok) debugTrace("save file: write failed\n");
  return ok;
}

int32_t defaultChallengeState(int32_t index) { return index % 8 == 0 ? 1 : 0; }

}  // namespace

int32_t cGame::getFreeStorage() const {
  return m_freeSpaceOverride >= 0 ? m_freeSpaceOverride : ShellHost::getFreeSpace();
}

void cGame::createSaveFile() {
  // A new image starts zeroed; an existing one (the file vanished mid-run)
  // keeps what the game holds.
  if (!m_saveImage) {
    m_saveImage = new (kSource, 310, nullptr) uint8_t[kSaveSize];
    if (!m_saveImage) return;
    std::memset(m_saveImage, 0, kSaveSize);
  }
  // The shell's write modes never shrink a file: a longer one goes first.
  if (saveFileLength() > kSaveSize) {
    char path[ShellHost::kMaxPath + 1];
    if (savePath(path, sizeof path)) hostFileRemove(path);
  }
  writeImage(m_saveImage);
}

uint8_t* cGame::readSaveRecord(int32_t id) {
  if (m_noSpaceState == kSavingOff) return nullptr;
  const bool present = saveFileLength() >= 0;
  const int32_t freeSpace = getFreeStorage();
  if (!present && freeSpace < kFreeToCreate) {
    m_noSpaceState = kSpaceShort;
    return nullptr;
  }
  if (present && freeSpace < kFreeToKeep) m_noSpaceState = kSpaceShort;

  if (!present && !quitting()) createSaveFile();
  if (!m_saveImage) {
    m_saveImage = new (kSource, 340, nullptr) uint8_t[kSaveSize];
    if (!m_saveImage) return nullptr;
    std::memset(m_saveImage, 0, kSaveSize);
  }
  // A shorter file is read as far as it goes (the rest of the image keeps
  // what it holds) and written back whole; of a longer one the first 300
  // bytes count.
  if (const int32_t length = saveFileLength(); length >= 0) {
    ShellHost* shell = getShellHost();
    ShellFile* f = shell->openFile(shell->rootPath(), kSaveName, 1);
    uint8_t bytes[kSaveSize];
    const int32_t want = length < kSaveSize ? length : kSaveSize;
    const bool read = f && f->isOpen() && f->read(bytes, want) == want;
    shell->releaseFile(f);
    if (read) {
      std::memcpy(m_saveImage, bytes, static_cast<size_t>(want));
      if (want < kSaveSize && !quitting()) writeImage(m_saveImage);
    }
  }
  if (id < 2 || id > 4) return nullptr;
  uint8_t* copy = new (kSource, 360, nullptr) uint8_t[kRecordSize[id]];
  if (copy) std::memcpy(copy, m_saveImage + kRecordOffset[id], static_cast<size_t>(kRecordSize[id]));
  return copy;
}

void cGame::writeSaveRecord(int32_t id, const uint8_t* data) {
  if (m_noSpaceState == kSavingOff) return;
  const bool present = saveFileLength() >= 0;
  const int32_t freeSpace = getFreeStorage();
  if (!present && freeSpace < kFreeToCreate) {
    m_noSpaceState = kSpaceShort;
    return;
  }
  if (present && freeSpace < kFreeToKeep) m_noSpaceState = kSpaceShort;

  if (!present && !quitting()) createSaveFile();
  if (!m_saveImage || !data || id < 2 || id > 4) return;
  std::memcpy(m_saveImage + kRecordOffset[id], data, static_cast<size_t>(kRecordSize[id]));
  writeImage(m_saveImage);
}

// ---- settings (record 2)

void cGame::saveSettings() {
  uint8_t* buffer = new (kSource, 400, nullptr) uint8_t[100];
  if (!buffer) return;
  RecordWriter w{buffer, buffer + 100};
  w.flag(m_option6);
  w.flag(m_option7);
  w.flag(m_option8);
  for (uint8_t v : m_characterAvailable) w.flag(v);
  w.u32(m_achievementMask);
  w.u32(m_achievementCounter);
  w.flag(careerCompleteShown);
  w.flag(m_tutorialLeft);
  w.flag(specialRivalOpen);
  w.flag(m_firstQuickMatch);
  writeSaveRecord(2, buffer);
  delete[] buffer;
}

void cGame::loadSettings() {
  uint8_t* buffer = readSaveRecord(2);
  if (!buffer) return;
  RecordReader r{buffer, buffer + 100};
  m_option6 = r.flag();
  m_option7 = r.flag();
  m_option8 = r.flag();
  for (uint8_t& v : m_characterAvailable) v = r.flag();
  m_achievementMask = r.u32();
  m_achievementCounter = r.u32();
  careerCompleteShown = r.flag();
  m_tutorialLeft = r.flag();
  specialRivalOpen = r.flag();
  m_firstQuickMatch = r.flag();
  delete[] buffer;
}

void cGame::resetSettings() {
  for (int32_t i = 0; i < 10; ++i) m_characterAvailable[i] = i == 0 || i == 1 || i == 9;
  m_achievementMask = 0;
  m_achievementCounter = 0;
  m_option7 = 1;
  m_option8 = 0;
  careerCompleteShown = 0;
  m_tutorialLeft = 0;
  specialRivalOpen = 0;
  m_firstQuickMatch = 1;
  saveSettings();
}

// ---- career (record 3)

void cGame::saveProgress() {
  uint8_t* buffer = new (kSource, 460, nullptr) uint8_t[100];
  if (!buffer) return;
  const CareerProgress& c = m_career;
  RecordWriter w{buffer, buffer + 100};
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
  writeSaveRecord(3, buffer);
  delete[] buffer;
}

void cGame::loadProgress() {
  uint8_t* buffer = readSaveRecord(3);
  if (!buffer) return;
  CareerProgress& c = m_career;
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
  updateEquippedItems();
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

void cGame::resetProgress() {
  CareerProgress& c = m_career;
  c.started = 0;
  for (uint8_t& v : c.won) v = 0;
  for (int32_t i = 0; i < 32; ++i) c.challengeStates[i / 8][i % 8] = defaultChallengeState(i);
  c.money = 1000;
  c.boughtMask = 0;
  c.shopExplanationPending = 1;
  c.equippedMask = 0x1041;
  for (int32_t& e : m_equippedLevel) e = 0;
  c.counterA = 0;
  c.flagB = 1;
  c.counterD = 0;
  c.counterE = 0;
  c.specialRivalBeaten = 0;
  // A new career is not shown the old one's unlocks.
  c.pendingCharacterUnlock = 0;
  c.pendingChallengeUnlock = 0;
  m_pubSpot = 2;
  saveProgress();
}

