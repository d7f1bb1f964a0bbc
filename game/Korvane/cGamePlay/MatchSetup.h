// The match as it was set up: rule set, kind of game, lesson or challenge,
// the players' profiles and the player at the table. One record, held by the
// game and read by the rules, the opponent and the turn flow alike.
#pragma once

#include <cstdint>

struct MatchSetup {
  // ruleSet values.
  static constexpr int32_t kEightBall = 0;
  static constexpr int32_t kUK = 1;
  static constexpr int32_t kNineBall = 2;
  // gameType values the rules tell apart.
  static constexpr int32_t kGameSingle = 1;
  static constexpr int32_t kGameChallenge = 4;
  static constexpr int32_t kGameTutorial = 5;

  int32_t ruleSet = kEightBall;
  int32_t gameType = -1;
  int32_t lessonNumber = 0;
  int32_t challengeNumber = 0;
  uint8_t altPanelLayout = 0;           // the HUD's group icons sit further right
  int32_t playerProfile[2] = {-1, -1};  // computer profile of each player, -1 human
  int32_t currentPlayer = 0;            // the player at the table
};
