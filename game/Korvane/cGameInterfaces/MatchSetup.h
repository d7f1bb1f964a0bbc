#pragma once

#include <cstdint>

class cGame;
class Graphics;

int32_t getRivalCharacter(cGame& game, int32_t index);
// Stake screen: applies the stake level (touching a level calls it).
void refreshStakeSelection(cGame& game);
// match set-up (cGameInterfaces/MatchSetup.cpp) and match start
// (cGameInterfaces/MatchStart.cpp).
void updateRulesSelection(cGame& game);
void paintRulesSelection(cGame& game, Graphics* g);
void updateCharacterSelection(cGame& game);
void paintCharacterSelection(cGame& game, Graphics* g);
void updatePlayerChoice(cGame& game);
void paintPlayerChoice(cGame& game, Graphics* g);
void updateTableSelection(cGame& game);
void paintTableSelection(cGame& game, Graphics* g);
void updateStakeSelection(cGame& game);
void paintStakeSelection(cGame& game, Graphics* g);
void updateVersus(cGame& game);
void paintVersus(cGame& game, Graphics* g);
void updateBetScreen(cGame& game);
void paintBetScreen(cGame& game, Graphics* g);
void updateCoinToss(cGame& game);
void paintCoinToss(cGame& game, Graphics* g);
void updateCoinTossElements(cGame& game);
void updateBreakChoice(cGame& game);
void paintBreakChoice(cGame& game, Graphics* g);
void updateBreakChoiceElements(cGame& game);
int32_t getHomeTable(const cGame& game, int32_t character);
// The character cycle of the choice screens: one step up (+1) or down (-1).
int32_t stepCharacter(const cGame& game, int32_t c, int32_t direction);
int32_t nextCharacter(const cGame& game, int32_t c);
int32_t previousCharacter(const cGame& game, int32_t c);
int32_t randomCharacter(cGame& game, int32_t exclude);
int32_t countWonCharacters(const cGame& game);
int32_t countAvailableCharacters(const cGame& game);
bool isCharacterAvailable(const cGame& game, int32_t c);
void setTable(cGame& game, int32_t t);
// A new match without a lag starts with the coin toss.
void armCoinToss(cGame& game);
// The rival slot of the rival match.
constexpr int32_t k_rivalMatchSlot = 10;
// Stake level of a rival slot (the special rival plays at the top level).
int32_t stakeLevelOfSlot(int32_t slot);
// The money reaches the minimum bet of the stake level.
bool canAffordStake(const cGame& game, int32_t level);
bool isStakeLevelUnlocked(const cGame& game, int32_t level);
// Colour-effect amount of the glowing stake picture at a paint count.
int32_t stakeGlowAmount(int32_t paintCounter);
// The bet's limits: the level's minimum and maximum, cut to the money.
int32_t getBetMinimum(cGame& game);
int32_t getBetMaximum(cGame& game);
void showSetupPlayer(cGame& game);
void showSetupOpponent(cGame& game);
void showCharacterStep(cGame& game, int32_t step);
void showSetupTable(cGame& game);

struct MatchSetupScreens {
  int32_t opponentSlot = 0;  // career rival slot; 10 is the special rival
  int32_t stakeLevel = 0;  // 0-7
  int32_t previousStakeLevel = -1;
  int32_t skippedSeat = 0;      // stake picture left out for the career character
  int32_t breakChoiceView = 0;  // 0 menu, 1 looking at the table
  int32_t nextTable = 1;
  int32_t previousTable = 8;
  uint8_t fromHelp = 0;  // the rule-set choice came from help
  int32_t helpSubject = 0;
  uint8_t rivalMatch = 0;        // the next career match is the rival match
  uint8_t stakeUp = 0;           // the next stake screen starts one level up
  uint8_t stakeNoticeShown = 0;  // not enough money for the stake
  int32_t stakeHighlight[4] = {};
  int32_t stakeSeats[8] = {};
  int32_t currentBet = 0;
  int32_t tossPhase = 0;  // 0 choosing, 1 spinning
  int32_t tossCall = 0;   // 0 the first coin, 1 the second
  int32_t tossFrames = 0;
  // Set by later screens; the match loading reads them.
  int32_t chosenCharacter[2] = {};  // characters picked for types 0 and 1
  int32_t playerCharacter[2] = {};  // characters of the match's players
  int32_t chosenRival = 0;          // rival character of other types
  int32_t rivalIndex = 0;           // career rival in the roster, 0-9
  int32_t tableIndex = 0;           // T, 0-8
  uint8_t matchDisplayFlag = 0;
  uint8_t matchAchievementFlag = 0;
  int32_t betPosition = 0;  // 0 minimum bet, 1 between, 2 maximum
};
