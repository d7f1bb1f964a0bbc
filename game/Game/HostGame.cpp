// The game fields and operations that the host uses, handed to the shell.
#include "game/Game/Game.h"
#include "platform/brew/ApplicationImpl.h"
#include "windows_brew/AppletSeam.h"

namespace {

void setInterrupted(cGame* game, uint8_t value) { game->m_interrupted = value; }
bool isSoundEnabled(cGame* game) { return game->m_soundEnabled != 0; }
int32_t currentSoundId(cGame* game) { return game->m_currentSoundId; }
void stopElementAnimations(cGame* game) { game->stopElementAnimations(game->m_currentElements); }
int stopAllSounds(cGame* game) { return game->stopAllSounds(); }
bool isAnySoundPlaying(cGame* game) { return game->isAnySoundPlaying(); }

const HostGameOps kHostGameOps = {setInterrupted, isSoundEnabled,    currentSoundId,
                                  stopElementAnimations, stopAllSounds, isAnySoundPlaying};

}  // namespace

void registerGame() {
  registerApplet();
  setHostGameOps(&kHostGameOps);
}
