#pragma once

#include <cstdint>

class ASprite;
class cGame;
class Graphics;

bool updateLoadInit(cGame& game);
ASprite* makeBank(cGame& game, int32_t entry, int32_t build, bool alpha, bool freeData, ASprite* alphaSource = nullptr);
ASprite* parseBank(cGame& game, int32_t entry);
void buildBank(cGame& game, ASprite* bank, int32_t build, bool alpha, bool freeData, ASprite* alphaSource);
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
int32_t getOpponentProfile(cGame& game, int32_t type, int32_t character);
void pickLoadingHint(cGame& game);
void paintLoadingBar(cGame& game, Graphics* g, int32_t y);
void paintMainMenuLoadingScreen(cGame& game, Graphics* g);
void paintGameLoadingScreen(cGame& game, Graphics* g);
void enterGameLoading(cGame& game);
void captureTableBackground(cGame& game);
// The saved background over the target's image (only what both hold).
void drawSavedBackground(cGame& game, Graphics* g);
void drawSavedBackgroundScrolled(cGame& game, Graphics* g, int32_t n);
bool takeCharMap(cGame& game, uint8_t* map, int32_t size);
