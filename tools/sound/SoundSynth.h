// Synthesiser for the game's own sound set: effects and short music pieces,
// rendered as 16-bit mono PCM and written as Ogg Vorbis.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvtools {

constexpr int kSoundRate = 22050;
constexpr int kSoundChannels = 1;
constexpr int kSoundCount = 15;

// "sfx_break_hard.ogg" ... "m_lose.ogg" by sound id; null outside 0..14.
const char* soundFileName(int id);

// The samples of sound `id` (deterministic).
std::vector<int16_t> synthesizeSound(int id);

}  // namespace kvtools
