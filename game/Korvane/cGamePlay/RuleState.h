// The rule state of a match: groups and targets per player, the frame's
// mode, the turn bytes the frame start sets, the outcome of the last shot
// and what the shot rules track while the balls move. Reset whole per match;
// a plain record that copies as a value. The player at the table is the
// match's (MatchSetup).
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

  int32_t winner = -1;
  int32_t shotsLeft = 1;
  int32_t streak = 0;
  uint32_t messageText = 0;
  uint32_t secondMessageText = 0;

  // Reading the shot's event list.
  int32_t eventCursor = 0;
  int32_t currentEvent = -1;  // index of the pair read last, -1 at the end
  uint32_t otherType = 0;
  uint32_t ballType = 0;
  int32_t eventBall = -1;
  int32_t otherBall = -1;
  int32_t nodeSlot = -1;

  // Shared by the rule nodes.
  uint32_t railBalls = 0;
  uint32_t pottedBalls = 0;
  int32_t firstBallHit = 0;
  uint8_t firstContactSeen = 0;
  uint8_t badFirstContact = 0;
  uint32_t respotMask = 0;
  uint8_t respotPending = 0;
  int32_t lagRails = 0;
  uint8_t lagSecondShot = 0;
  uint8_t cuePotted = 0;
  uint8_t ballInHand = 0;
  uint8_t cueBallPlaced = 0;
  uint8_t ballInHandInD = 0;
  uint8_t cueAwaitsPlacing = 0;
  uint8_t pushOutAvailable = 0;
  uint8_t pushOutShot = 0;
  uint8_t pushOutAnswered = 0;
  uint8_t ukFirstVisit = 0;
  uint8_t freeBallAfterFoul = 0;
  uint8_t humanFouled = 0;
  int32_t breaker = -1;

  // Trick-shot tracking, cleared after every applied shot.
  uint32_t bankCarriers = 0;
  uint32_t comboBalls = 0;
  int32_t ballsPottedThisShot = 0;
  uint8_t bankPot = 0;
  uint8_t comboPot = 0;
  uint8_t streakFlags[2] = {};
  // Per-stroke counters and flags, cleared by the stroke.
  int32_t ballRailCount[16] = {};
  int32_t ownGroupHits = 0;
  uint8_t ballContactSeen = 0;
  uint8_t ballSoundPlayed = 0;
  uint8_t crowdSoundPlayed = 0;
  uint32_t crowdSoundTime = 0;
  // Pocket of each player's last counted pot, -1 none.
  int32_t lastPotPocket[2] = {-1, -1};
  // The ball the aim guide remembered at the stroke, -1 none.
  int32_t guideRememberedBall = -1;

  // Match totals.
  int32_t bankShotCount = 0;
  int32_t comboShotCount = 0;
  int32_t streakPoints = 0;
  int32_t multiPotPoints = 0;
  // Frame flags read when a frame is won.
  uint8_t noScratchInFrame = 1;
  uint8_t rivalPotted = 0;
  uint8_t cueTouchedEight = 0;
  int32_t solidsPlayer = -1;
  int32_t stripesPlayer = -1;
  uint8_t groupsShown[2] = {};
  int32_t lastRespotted = -1;  // the display's last re-spotted ball

  // The current challenge.
  int32_t challengeFirstContact = -1;
  int32_t challengeContactMask = -1;
  int32_t challengeForbiddenPockets = 0;
  int32_t challengeShotsLeft = 0;
  int32_t challengeShotsAllowed = 0;
  uint8_t challengePotEveryShot = 0;
  uint8_t challengeBallInHandInD = 0;
  uint8_t challengeNoCushion = 0;
  int32_t challengeFailText = 0;
  int32_t challengeSecondText = 0;
  uint32_t challengeTargets = 0;
  int32_t challengePocketOf[16] = {};
  uint8_t challengeCheckOn = 0;
  uint8_t challengeBallPottedThisShot = 0;

  bool operator==(const RuleState&) const = default;
};
