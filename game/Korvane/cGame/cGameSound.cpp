// Sound entries used by the host.
#include "game/Korvane/cGame/cGame.h"
#include "platform/brew/GameHost.h"

int32_t cGame::stopAllSounds() {
  sound.currentMusicId = -1;
  host().stopAllSounds();
  sound.currentId = -1;
  return 1;
}

bool cGame::isAnySoundPlaying() { return sound.enabled && host().isAnySoundPlaying(); }
