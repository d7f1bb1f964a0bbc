#pragma once

#include <cstdint>

class cGame;
class Graphics;

void createGameObjects(cGame& game);
void releaseGameObjects(cGame& game);
void loadTable(cGame& game);
void loadTableGroup(cGame& game, int32_t group);
void createTableObject(cGame& game, int32_t group, int32_t record, int32_t kind);
void freeTable(cGame& game);
void resetMatchState(cGame& game);
void initFrame(cGame& game, bool newMatch);
void initRack(cGame& game);
void initLag(cGame& game);
void rackBalls(cGame& game);
void placeBalls(cGame& game);
void setBallSprites(cGame& game);
void setBallSpritesUK(cGame& game);
void prepareFirstShot(cGame& game);
void addPottedBall(cGame& game, int32_t ball, int32_t player);
void clearPottedBallLists(cGame& game);
int32_t getPlayerGroup(const cGame& game, int32_t player);
bool isJumpOverEightWatched(const cGame& game);
// The bank a table look is made on (null when it is not loaded).
ASprite* getPoolBank(const cGame& game, int32_t bank);
void paintPowerBar(cGame& game);
void paintTableBalls(cGame& game, Graphics* g);
void paintBall(cGame& game, Graphics* g, PhysicalObject* ball);
void paintBallInHandArea(cGame& game, Graphics* g);
void paintInGameHud(cGame& game, Graphics* g);
// The text of what the key at the bottom right does in this state (the
// spin selector, back from the gauge, the skip), -1 when it does nothing.
int32_t rightKeyLabel(const cGame& game);
bool paintRotatedFrame(cGame& game, Graphics* g, ASprite* bank, int32_t module, int32_t x, int32_t y, Q14 angle,
                       bool anchorAtEnd);
void setPlayerExpression(cGame& game, int32_t player, int32_t frame);
void paintPlayerPanels(cGame& game, Graphics* g);
void paintSpinSelector(cGame& game, Graphics* g);
bool updateBalls(cGame& game);
bool updateShadowBalls(cGame& game);
// Runs the shot to its end at once (bounded by k_skipFrameCap frames).
void skipShot(cGame& game);
