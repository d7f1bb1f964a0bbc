#pragma once

#include <cstdint>

class cGame;
class Graphics;

uint8_t* readSaveRecord(cGame& game, int32_t id);
void writeSaveRecord(cGame& game, int32_t id, const uint8_t* data);
void createSaveFile(cGame& game);
// The image of the records the game holds, made when there is none.
bool makeSaveImage(cGame& game);
void reportSaveFailure(cGame& game);
void loadSettings(cGame& game);
void saveSettings(cGame& game);
void resetSettings(cGame& game);
void loadProgress(cGame& game);
void saveProgress(cGame& game);
void resetProgress(cGame& game);
void encodeSettings(const cGame& game, uint8_t* record);
void encodeProgress(const cGame& game, uint8_t* record);
// While held, writes only note that they were asked for; the release
// writes both records at once (a new file is then written once, whole).
void holdSaves(cGame& game, bool hold);
int32_t getFreeStorage(const cGame& game);
