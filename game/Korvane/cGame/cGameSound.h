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

int32_t getCurrentSound(const cGame& game);
void pauseMusic(cGame& game);
void resumeMusic(cGame& game);
void vibrate(cGame& game, int32_t /*milliseconds*/);
void setVibrationTime(cGame& game, int32_t ms);
void onSoundsStopped(cGame& game);
void updateSound(cGame& game);
void stopVibration(cGame& game);
void setSoundVolume(cGame& game, int32_t /*volume*/);
void setMusicVolume(cGame& game, int32_t /*volume*/);
void setVibrationStrength(cGame& game, int32_t /*strength*/);
void freeSound(cGame& game, int32_t /*id*/);
void setSoundPitch(cGame& game, int32_t /*id*/, int32_t /*pitch*/);
void setSoundPan(cGame& game, int32_t /*id*/, int32_t /*left*/, int32_t /*right*/);
int32_t getMaxSimultaneousSounds();
int32_t getSoundLoopCount();
