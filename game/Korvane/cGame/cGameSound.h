#pragma once

#include <cstdint>

class cGame;
class Graphics;

void playMusic(cGame& game, int32_t id);
void initSound(cGame& game);
void loadSound(cGame& game, int32_t id);
const char16_t* getSoundFileName(int32_t id);
int32_t playSound(cGame& game, int32_t id, int32_t loop, int32_t volume, int32_t volume2);
void startSound(cGame& game, int32_t id, int32_t loop, int32_t volume, int32_t volume2);
bool isSoundPlaying(cGame& game, int32_t id);
void requestImpactVibration(cGame& game, int32_t strength);
void updateVibration(cGame& game);

struct SoundState {
  uint8_t enabled = 0;
  int32_t currentId = -1;
  int32_t currentMusicId = -1;
  int32_t lastId = -1;
  uint32_t startTime = 0;
  int32_t vibrationTime = 0;
};
