#pragma once

#include <cstdint>

class cGame;
class Graphics;

int32_t getRivalCharacter(cGame& game, int32_t index);
void refreshStakeSelection(cGame& game);
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
int32_t stakeLevelOfSlot(int32_t slot);
bool isStakeLevelUnlocked(const cGame& game, int32_t level);
// Colour-effect amount of the glowing stake picture at a paint count.
int32_t stakeGlowAmount(int32_t paintCounter);
int32_t getBetMinimum(cGame& game);
int32_t getBetMaximum(cGame& game);
void showSetupPlayer(cGame& game);
void showSetupOpponent(cGame& game);
void showCharacterStep(cGame& game, int32_t step);
void showSetupTable(cGame& game);
