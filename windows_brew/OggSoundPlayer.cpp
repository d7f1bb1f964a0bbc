#include "windows_brew/OggSoundPlayer.h"

// Silent player: nothing is loaded, nothing plays.
OggSoundPlayer::OggSoundPlayer() = default;
OggSoundPlayer::~OggSoundPlayer() = default;
void OggSoundPlayer::stopAll() {}
int OggSoundPlayer::isPlaying(int32_t) const { return 0; }
int OggSoundPlayer::isAnyPlaying() const { return 0; }
