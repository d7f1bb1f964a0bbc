// Writer of "save.sav" images: 300 bytes, the settings record at 0, the
// career record at 100 and the two-byte record at 200; fields big-endian.
#pragma once

#include <array>
#include <cstdint>

namespace savefile {

struct Settings {
  bool option6 = false, option7 = true, option8 = false;
  std::array<bool, 10> characterAvailable = {true, true, false, false, false, false, false, false, false, true};
  uint32_t achievementMask = 0, achievementCounter = 0;
  bool careerCompleteShown = false, tutorialLeft = false, specialRivalOpen = false, firstQuickMatch = true;
};

struct Career {
  bool started = false;
  int8_t character = 0;
  std::array<bool, 10> won = {};
  std::array<int8_t, 32> challengeStates = {1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,
                                            1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
  uint32_t money = 1000, boughtMask = 0;
  bool shopExplanationPending = true;
  uint32_t equippedMask = 0x1041, counterA = 0;
  bool flagB = true;
  uint32_t counterC = 0, counterD = 0, counterE = 0;
  bool specialRivalBeaten = false;
  uint32_t pendingUnlockSlot = 0, pendingChallengeIndex = 0;
  bool pendingCharacterUnlock = false, pendingChallengeUnlock = false;
};

constexpr int kSize = 300;

// Defaults as the game writes them on a first run.
std::array<uint8_t, kSize> writeImage(const Settings& settings = {}, const Career& career = {},
                                      std::array<uint8_t, 2> record4 = {});

}  // namespace savefile
