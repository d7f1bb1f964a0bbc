// The rule state of a match: groups and targets per player, the frame's
// mode and the turn bytes the frame start sets. Reset whole per match.
#pragma once

#include <cstdint>

struct RuleState {
  static constexpr uint32_t kSolids = 254;     // balls 1-7
  static constexpr uint32_t kStripes = 65024;  // balls 9-15
  static constexpr uint32_t kBothGroups = 65278;
  // rulesMode values.
  static constexpr int32_t kModeLag = 3;
  static constexpr int32_t kModePlay = 4;
  static constexpr int32_t kModeChallenge = 5;
  static constexpr int32_t kModeTutorial = 56;

  int32_t rulesMode = 0;
  uint8_t normalPlay = 0;
  uint8_t tableOpen = 0;
  int32_t lowestBall = 0;
  uint32_t playerGroup[2] = {};
  uint32_t playerTarget[2] = {};
  int32_t playerFouls[2] = {};
  int32_t groupChosenOnBreak[2] = {-1, -1};
  int32_t previousPlayer = 0;
  // Chosen target entries of both players and the index kept beside them.
  int32_t chosenTargets[2] = {-1, -1};
  int32_t chosenTargetIndex = -1;
  // Outcome of the last shot and the balls pocketed this frame.
  uint32_t shotOutcome = 0;
  uint32_t pottedThisFrame[2] = {};
  int32_t ukOpponentShots = 0;
  // Turn bytes read by the turn flow and the opponent: the two break bytes,
  // the third turn byte and the lag's per-frame byte.
  uint8_t breakBytes[2] = {};
  uint8_t thirdTurnByte = 0;
  uint8_t lagFrameByte = 0;
  // Frame conditions of the achievements: the first starts set.
  uint8_t frameConditions[5] = {1, 0, 0, 0, 0};
  uint8_t tutorialLocks[2] = {};
};
