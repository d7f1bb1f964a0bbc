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
  sound.currentMusicId = -1;
  if (OggSoundPlayer* player = soundPlayer()) player->stopAll();
  sound.currentId = -1;
  return 1;
}

bool cGame::isAnySoundPlaying() {
  if (!sound.enabled) return false;
  OggSoundPlayer* player = soundPlayer();
  return player && player->isAnyPlaying() != 0;
}
