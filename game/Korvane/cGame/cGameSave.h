#pragma once

#include <cstdint>

class cGame;
class Graphics;

struct CareerProgress {
  uint8_t started = 0;
  int32_t character = 0;
  uint8_t won[10] = {};
  int32_t challengeStates[4][8] = {};
  uint32_t money = 0, boughtMask = 0;
  uint8_t shopExplanationPending = 0;
  uint32_t equippedMask = 0, counterA = 0;
  uint8_t flagB = 0;
  uint32_t counterC = 0, counterD = 0, counterE = 0;
  uint8_t specialRivalBeaten = 0;
  // A career win's unlocks wait here until their screens have been shown:
  // the beaten rival slot + 1 (1-8) and the beaten slot (0-7).
  int32_t pendingUnlockSlot = 0, pendingChallengeIndex = 0;
  uint8_t pendingCharacterUnlock = 0, pendingChallengeUnlock = 0;  // bytes 183, 184
};

// Save file "save.sav".
uint8_t* readSaveRecord(cGame& game, int32_t id);
void writeSaveRecord(cGame& game, int32_t id, const uint8_t* data);
void createSaveFile(cGame& game);
// The image of the records the game holds, made when there is none.
bool makeSaveImage(cGame& game);
// A save that could not be read or written: the player is told as for
// short storage (the notice, then saving stays off for the run).
void reportSaveFailure(cGame& game);
void loadSettings(cGame& game);
void saveSettings(cGame& game);
void resetSettings(cGame& game);
void loadProgress(cGame& game);
void saveProgress(cGame& game);
void resetProgress(cGame& game);
// The records as the game holds them, into a zeroed 100-byte slot.
void encodeSettings(const cGame& game, uint8_t* record);
void encodeProgress(const cGame& game, uint8_t* record);
// While held, writes only note that they were asked for; the release
// writes both records at once (a new file is then written once, whole).
void holdSaves(cGame& game, bool hold);
// Free storage in bytes (the shell's figure unless a test sets one).
int32_t getFreeStorage(const cGame& game);

struct CareerRecord {
  uint8_t option6 = 0;
  uint8_t option7 = 0;
  uint8_t option8 = 0;
  uint8_t characterAvailable[10] = {};
  uint32_t achievementMask = 0;
  uint32_t achievementCounter = 0;
  // Settings bytes 21 and 23-24: the career-complete screen was shown, the
  // special rival is open, the first quick match is still to come.
  uint8_t completeShown = 0;
  uint8_t specialRivalOpen = 0;
  uint8_t firstQuickMatch = 0;
  CareerProgress progress;
  int32_t equippedLevel[3] = {};
  int32_t pubSpot = 0;
};

// Every write rewrites the whole file at once: nothing waits to be flushed
// or synced.
void flushSaveFile(cGame& game);
void syncSaveRecord(cGame& game, int32_t /*id*/);
