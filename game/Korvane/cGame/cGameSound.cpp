// Sound entries used by the host.
#include "game/Korvane/cGame/cGame.h"

int32_t cGame::stopAllSounds() {
  m_currentMusicId = -1;
  m_currentSoundId = -1;
  return 1;
}

bool cGame::isAnySoundPlaying() {
  if (!m_soundEnabled) return false;
  return false;
}
