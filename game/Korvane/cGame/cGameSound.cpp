// Sound entries used by the host.
#include "game/Korvane/cGame/cGame.h"
#include "windows_brew/OggSoundPlayer.h"
#include "windows_brew/ShellHost.h"

namespace {
OggSoundPlayer* soundPlayer() {
  ShellHost* shell = getShellHost();
  return shell ? shell->soundPlayer() : nullptr;
}
}  // namespace

int32_t cGame::stopAllSounds() {
  m_currentMusicId = -1;
  if (OggSoundPlayer* player = soundPlayer()) player->stopAll();
  m_currentSoundId = -1;
  return 1;
}

bool cGame::isAnySoundPlaying() {
  if (!m_soundEnabled) return false;
  OggSoundPlayer* player = soundPlayer();
  return player && player->isAnyPlaying() != 0;
}
