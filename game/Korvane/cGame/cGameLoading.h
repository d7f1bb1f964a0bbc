#pragma once

#include <cstdint>

#include "game/Korvane/cGame/cGamePoolHooks.h"

class ASprite;
class SpriteAnimPlayer;
class MutableImage;
class cGame;
class Graphics;

constexpr int32_t k_matchBankCount = 10;  // in-game banks A-J

bool updateLoadInit(cGame& game);
// A bank from entry of the open archive, or null (reported) when the
// archive, the entry or its bytes are bad. Alpha marks it translucent.
ASprite* makeBank(cGame& game, int32_t entry, int32_t build, bool alpha, bool freeData, ASprite* alphaSource = nullptr);
ASprite* parseBank(cGame& game, int32_t entry);
// parseBank, and every image module's pixel data decodes (else the entry is
// reported and null returned).
ASprite* parseWholeBank(cGame& game, int32_t entry);
// Builds the bank's caches (k_buildNone: only looks its pixel data over).
// False when an image module's pixel data does not decode.
bool buildBank(cGame& game, ASprite* bank, int32_t build, bool alpha, bool freeData, ASprite* alphaSource);
void fillSprite(cGame& game, int32_t slot, int32_t entry, int32_t build, bool alpha, bool freeData);
void freeSprite(cGame& game, int32_t slot);
void freeSprites(cGame& game);
void freeMatchBanks(cGame& game);
void updateMainMenuLoading(cGame& game);
void paintMainMenuLoading(cGame& game, Graphics* g);
void updateGameLoading(cGame& game);
void paintGameLoading(cGame& game, Graphics* g);
void runMainMenuLoadingStep(cGame& game, int32_t step);
void runGameLoadingStep(cGame& game, int32_t step);
bool isLoadingAnimationOver(const cGame& game);
bool isSpriteKept(cGame& game, int32_t slot);
void freeUnusedSpritesForMatch(cGame& game);
void freeMatchResources(cGame& game);
void startMatch(cGame& game, int32_t type, int32_t character0, int32_t character1);
// The profile of the computer player of a match of the game type against
// the character, by the rival's rank: 0 the weakest, 10 the strongest;
// -1 when both players are human.
int32_t getOpponentProfile(cGame& game, int32_t type, int32_t character);
void pickLoadingHint(cGame& game);
void paintLoadingBar(cGame& game, Graphics* g, int32_t y);
void paintMainMenuLoadingScreen(cGame& game, Graphics* g);
void paintGameLoadingScreen(cGame& game, Graphics* g);
void enterGameLoading(cGame& game);
void captureTableBackground(cGame& game);
// The saved background over the target's image (only what both hold).
void drawSavedBackground(cGame& game, Graphics* g);
// The same, scrolled left by n pixels with wrap-around (16-bit images).
void drawSavedBackgroundScrolled(cGame& game, Graphics* g, int32_t n);
// Makes map (size bytes, a new[] block the game then owns) the character
// map of the game and its fonts; one too short for the 256 codes is
// refused (freed, false) and the fonts go without.
bool takeCharMap(cGame& game, uint8_t* map, int32_t size);

struct LoadingState {
  int32_t step = 0;
  int32_t stepCount = 0;
  ASprite* matchBanks[k_matchBankCount] = {};
  SpriteAnimPlayer* matchPlayerH = nullptr;  // on bank H at (120, 0)
  SpriteAnimPlayer* matchPlayerI = nullptr;  // on bank I at (0, 0), inactive
  int32_t fontLineHeight[2] = {};
  ASprite* bank = nullptr;
  SpriteAnimPlayer* player = nullptr;
  ASprite* logoBank = nullptr;
  SpriteAnimPlayer* logoPlayer = nullptr;
  uint32_t logoStartTime = 0;
  ASprite* unusedBank = nullptr;  // i.bar 0: parsed, never drawn
  MutableImage* savedBackground = nullptr;
  Graphics* savedBackgroundGraphics = nullptr;
  int32_t pendingReturnState = -1;
  uint8_t pendingSetByMatchLoading = 0;
  uint8_t firstLoad = 1;
  uint8_t soundQuestionAsked = 0;
  int32_t hint = 0;
  uint8_t quitRequested = 0;  // the host was asked to quit (back on the first loading, the exit question)
  // The game's sprite banks (filled and emptied by the loading steps).
  // The game's sprite banks (filled and emptied by the loading steps).
  ASprite* sprites[k_spriteSlotCount] = {};
  ASprite* poolBanks[k_poolBankCount] = {};
};

// Loading runs one step a frame: start-up, the main menu's and a match's.
constexpr int32_t k_loadInitSteps = 7;
constexpr int32_t k_mainMenuLoadingSteps = 45;
constexpr int32_t k_gameLoadingSteps = 40;
// How a bank is built: k_buildAll palettes, k_buildNone (parsed only), or a palette.
constexpr int32_t k_buildAll = -1;
constexpr int32_t k_buildNone = -2;
