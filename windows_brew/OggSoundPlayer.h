// Plays the game's sounds on the four waveform output channels.
#pragma once

#include <cstdint>

class OggSoundPlayer {
 public:
  OggSoundPlayer();
  ~OggSoundPlayer();
  OggSoundPlayer(const OggSoundPlayer&) = delete;
  OggSoundPlayer& operator=(const OggSoundPlayer&) = delete;

  void stopAll();
  int isPlaying(int32_t id) const;
  int isAnyPlaying() const;
};
