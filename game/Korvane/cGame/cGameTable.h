#pragma once

#include <cstdint>

class cGame;
class Graphics;

struct AimGuide {
  static constexpr int32_t kMaxPoints = 150;
  static constexpr int32_t kMaxSteps = 4000;  // preview steps of one guide
  int32_t points[2 * kMaxPoints] = {};
  int32_t pointWords = 0;  // two a point
  int32_t ghostX = 0, ghostY = 0;
  int32_t cueEndX = 0, cueEndY = 0;
  int32_t objectBall = -1;  // ball number hit first, -1 none
  int32_t objectX = 0, objectY = 0;
  int32_t objectEndX = 0, objectEndY = 0;
  uint32_t firstContactType = 0;  // 0 none
  uint8_t hasContact = 0;
  int32_t previewRuns = 0;  // previews run so far
  // The view's offset the points were taken at: the table view slides
  // between the players' sides, and the guide is drawn shifted with it.
  int32_t originX = 0, originY = 0;
};
constexpr int32_t k_rotateScratchPixels = 32768;  // 128 KB of ARGB

void createGameObjects(cGame& game);
void releaseGameObjects(cGame& game);
// table set-up (cGameTable.cpp): the physics world built from
// "table.bar", the frame starts, the ball looks, the pocketed-ball lists
void loadTable(cGame& game);
void loadTableGroup(cGame& game, int32_t group);
void createTableObject(cGame& game, int32_t group, int32_t record, int32_t kind);
void freeTable(cGame& game);
void resetMatchState(cGame& game);
void initFrame(cGame& game, bool newMatch);
void initRack(cGame& game);
void initLag(cGame& game);
// Ball looks for the rule set, the rack's layout and its jitter.
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
// Module of a bank turned by angle (Q14 degrees) and drawn at (x, y):
// centred, or lying behind the point along the angle. False (nothing
// drawn) when the turned box does not fit the scratch buffer.
bool paintRotatedFrame(cGame& game, Graphics* g, ASprite* bank, int32_t module, int32_t x, int32_t y, Q14 angle,
                       bool anchorAtEnd);
void setPlayerExpression(cGame& game, int32_t player, int32_t frame);
void paintPlayerPanels(cGame& game, Graphics* g);
void paintSpinSelector(cGame& game, Graphics* g);
// One physics frame of the balls; true when nothing moved.
bool updateBalls(cGame& game);
bool updateShadowBalls(cGame& game);
// Runs the shot to its end at once (bounded by k_skipFrameCap frames).
void skipShot(cGame& game);

struct TableView {
  int32_t panelX = 67;
  int32_t hudHint = -1;
  int32_t panelExpression[2] = {-1, -1};
  uint32_t matchStartTime = 0;
  AimGuide guide;
  uint32_t rotateScratch[k_rotateScratchPixels] = {};
  uint32_t panelExpressionTime[2] = {};
  uint8_t panelRedraw = 1;
  int32_t hudOffset = 0;       // x of the HUD interface: 0 for player 0, -61 for player 1
  uint8_t ballHighlight = 0;   // the last group ball or lowest ball gets a ring
  uint8_t cueBallOnly = 0;     // only the cue ball and its shadow are drawn
  uint8_t handDragActive = 0;  // the ball in hand follows the pen and is not drawn on the table
};

void setBallRollFrames(cGame& game);
void jitterRack(cGame& game);
void onUnusedSpritesFreed(cGame& game);
void rotateAim(cGame& game, Q14 angle);
// physics and the strike (cGamePhysics.cpp)
void physicsStep(cGame& game, PhysicalObject* list, int32_t T);
void physicsStepBalls(cGame& game, int32_t T);
int32_t findEarliestContact(cGame& game, PhysicalObject* list, int32_t T, bool prepare, bool testCushions,
                            bool collect);
int32_t previewStep(cGame& game, PhysicalObject* list, int32_t T, bool testCushions);
bool isBallPlacementBlocked(const cGame& game, const PhysicalObject& ball);
void copyBallsToShadows(cGame& game);
Q14 frictionRoot(Q14 v, Q14 d);
void recordShotEvent(cGame& game, PhysicalObject* a, PhysicalObject* b);
void setShadowFullSpeed(cGame& game);

// The most physics frames a skipped shot runs.
constexpr int32_t k_skipFrameCap = 20000;
