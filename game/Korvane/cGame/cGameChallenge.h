#pragma once

#include <cstdint>

class cGame;
struct Question;
class Graphics;

// Challenge demonstration hooks of the turn flow (cGameChallenge.cpp) and
// the tutorial's checks (cGameTutorial.cpp).
void updateChallengeDemoAim(cGame& game);
void updateChallengeDemoPower(cGame& game);
void updateChallengeDemoSpin(cGame& game);
void setChallengeDemoAim(cGame& game);
void setChallengeDemoSpin(cGame& game);
Q14 getChallengeDemoPower(cGame& game);
void updateChallengeAfterShot(cGame& game);
void launchChallengeDemo(cGame& game);
// Asked after failed attempts: yes plays the demonstration, no goes to the
// retry question.
extern const Question k_questionChallengeDemo;
// Frame starts of the challenge and tutorial modes.
void startChallenge(cGame& game);
// The frame start both share: player 0 on a broken, closed table, the
// rules in `mode`, the layout placed (none when `hasLayout` is false).
void startScriptedFrame(cGame& game, int32_t mode, bool hasLayout);
// challenges (cGameChallenge.cpp): the prize of each place within a
// category, the stored demonstration's current shot and its words.
int32_t getChallengeDemoShotValue(const cGame& game, int32_t word);
int32_t getChallengeDemoShotCount(const cGame& game);
// The state word of a challenge (low 2 bits 0 locked, 1 open, 2 won; the
// failed attempts above them); a number out of range gives a scratch word.
int32_t& challengeState(cGame& game, int32_t challenge);
int32_t countWonChallenges(const cGame& game);
bool isHalfChallengesWon(const cGame& game);
bool isAllChallengesWon(const cGame& game);

struct ChallengeState {
  int32_t demoCurrentShot = 0;
  int32_t category = 0;   // 0-3, chosen on the categories screen
  int32_t demoTimer = 0;  // ms of the demonstration's current step
  int32_t scratchChallengeState = 0;
  // (170) and the eight challenges of one category (180).
  int32_t listFirst = 0;  // the first visible row as last seen
  uint8_t ended = 0;      // the challenge's result is decided
  uint8_t demo = 0;       // a challenge demonstration plays the shots
  uint8_t rivalRefused = 0;  // the rival match's stake is more than the money: its notice is up
};

// The prize of each place within a category.
constexpr int32_t k_challengePrizes[8] = {50, 75, 100, 125, 150, 175, 200, 250};
