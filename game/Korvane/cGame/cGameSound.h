#pragma once

#include <cstdint>

class cGame;
class Graphics;

void playMusic(cGame& game, int32_t id);
// Sound control: ids 0-10 effects, 11-14 music.
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
// The host's player decodes each sound whole when it is loaded, keeps it
// loaded for the run and plays it as decoded: volume, pitch and pan are
// its own, and there is no vibration motor to drive.
void updateSound(cGame& game);
void stopVibration(cGame& game);
void setSoundVolume(cGame& game, int32_t /*volume*/);
void setMusicVolume(cGame& game, int32_t /*volume*/);
void setVibrationStrength(cGame& game, int32_t /*strength*/);
void freeSound(cGame& game, int32_t /*id*/);
void setSoundPitch(cGame& game, int32_t /*id*/, int32_t /*pitch*/);
void setSoundPan(cGame& game, int32_t /*id*/, int32_t /*left*/, int32_t /*right*/);
// One sound plays at a time, and it plays once.
int32_t getMaxSimultaneousSounds();
int32_t getSoundLoopCount();
