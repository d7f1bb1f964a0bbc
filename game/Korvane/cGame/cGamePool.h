#pragma once

#include <cstdint>

#include "zul/lm/Vector2.h"

class SpriteAnimPlayer;
class cGame;
struct cGameScreen;
struct Question;
class Graphics;

struct PottedBalls {
  static constexpr int32_t kMax = 9;
  int32_t count = 0;
  int32_t balls[kMax] = {};
  SpriteAnimPlayer* players[kMax] = {};
};

void updateInGame(cGame& game);
void paintInGame(cGame& game, Graphics* target);
bool isMatchOnHold(cGame& game);
// The table scene (cGamePoolPaint.cpp) and the rival of a career slot
// (cGameInterfaces/MatchSetup.cpp).
void paintTableScene(cGame& game, Graphics* g);
const char* getPlayerName(cGame& game, int32_t player);
void answerPushOutOffer(cGame& game, bool take);
void answerPushOutPlay(cGame& game);
// The questions the turn flow asks over the table (cGameMatchQuestions.cpp):
// the push-out offered, the opponent's push-out to play or pass, and
// skipping the computer's shots from now on.
extern const Question k_questionPushOutOffer, k_questionPushOutPlay, k_questionSkipShots;
// turn and match flow: the in-game update, its dispatch and what the match
// states share (cGamePool.cpp), the in-game paint (cGamePoolPaint.cpp). The
// match states 500-820 are the rows of the match table (cGameScreens.h),
// each in its file under cGameInterfaces/.
void chooseNextTurnState(cGame& game);
void slideHudPanel(cGame& game);
// The career's rival is the top rival of its class (cGameInterfaces/FrameEnd.cpp).
bool isTopRivalOfClassA(cGame& game);
bool isTopRivalOfClassB(cGame& game);
// Soft keys of the table: right soft (0x20000 with the alternative layout)
// and the menu key (0x40000 with it).
uint32_t rightSoftMask(const cGame& game);
uint32_t menuSoftMask(const cGame& game);
bool isHudAtTarget(const cGame& game);
// A message of the queue waits to be dismissed by a key.
bool isMessageWaiting(const cGame& game);
// A box over the table that a key closes: a waiting message or the dialog.
// Touches on the table go to it, and a key it takes does nothing else.
bool isBoxOverTable(const cGame& game);
bool isScratchHoldRunning(const cGame& game);
// Ball in hand (cGameInterfaces/BallInHand.cpp): the allowed area of the
// current placement, a free place in it, and the cue ball back in play
// wherever it lay.
bool isInHandArea(const cGame& game, const Vector2& p);
bool isInHandAreaUnrestricted(const cGame& game, const Vector2& p);
bool isPlaceFree(const cGame& game, const PhysicalObject& ball);
void returnCueBallToPlay(cGame& game);
// The lag's second ball beside the cue ball (cGameInterfaces/AfterShot.cpp).
void placeSecondLagBall(cGame& game);
// One step of a state run by the in-game update: a screen over the match
// runs its update, a match state's row its entry, running or leave step.
void runMatchStep(cGame& game, int32_t state, int32_t step);
// The match loading read a table and, when a computer plays, its profiles.
bool isMatchDataLoaded(const cGame& game);
void startThinking(cGame& game);
bool isThinkingOver(const cGame& game);
// A message box pushed over the current state, speaking for a player
// (cGameInterfaces/MatchMessages.cpp).
void showMessageBox(cGame& game, int32_t player, int32_t textId);
// The row of a screen run over the match (in-game table first).
const cGameScreen* findMatchScreen(const cGame& game, int32_t state);
// The HUD's paged text box of the greeting, the result lines and the
// message box.
void openTextBox(cGame& game, int32_t textId);
void closeTextBox(cGame& game);
void paintTextBox(cGame& game, Graphics* g);
void paintBallNumbers(cGame& game, Graphics* g);
void paintTouchHint(cGame& game, Graphics* g);
// The table scene with the touch prompt over it: the paint of the match
// states and of the screens that stand over the table.
void paintTable(cGame& game, Graphics* g);
int32_t getMaxPower(const cGame& game);
void strikeCueBall(cGame& game, PhysicalObject* ball, bool preview);
void aimAtBall(cGame& game, int32_t n, bool force = false);
void restartHitSpark(cGame& game, int32_t x, int32_t y);
// Aims from the cue ball at the pen-down point of the table area (whole
// degrees); 1 when it did.
int32_t aimAtStylus(cGame& game);
// The aiming keys of one frame (right, left, the two fine keys, the
// half-turn key, previous and next target). The four turning keys turn by
// 1.5 or 0.5 times the turn step and then raise it by 0.25 degrees (to 50
// at most); a frame without them puts it back to 0.25. True when a key acted.
bool turnAimByKeys(cGame& game);
// The current player's legal object balls sorted by angle from the cue ball.
void buildTargetBallList(cGame& game);
// Steps the chosen target entry and aims at its ball; withError turns the
// aim by up to 12 degrees either way.
void aimAtNextTargetBall(cGame& game, int32_t step, bool withError);
// Moves the cue-tip point, kept within 10.0 of the centre.
void moveEnglishPoint(cGame& game, Q14 dx, Q14 dy);
// Defaults at the start of every aim.
void resetShot(cGame& game);
// Moves the shot's hand object by this frame's direction keys within the
// allowed area; 1 when a key moved it.
int32_t moveCueBallInHand(cGame& game);
// Pulls a point of the ball-in-hand area into the D (UK).
void clampIntoD(Vector2& p);
void paintAimGuide(cGame& game, Graphics* g);
void computeAimGuide(cGame& game);
void drawGuideLine(cGame& game, Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb, bool solid);
// The object-ball line colour of a ball under the current rule set.
uint32_t guideBallColour(const cGame& game, int32_t ball);

struct TurnFlow {
  // Tests: called with the state and step before each match step runs.
  void (*matchStepHook)(cGame& game, int32_t state, int32_t step) = nullptr;
  int32_t leftSoftKeyText = -1;
  uint8_t touchHint = 0;
  uint32_t ballNumbersUntil = 0;
  uint8_t showBallNumbers = 0;
  uint8_t textBoxOn = 0;
  int32_t textBoxText = -1;
  int32_t textBoxPage = 0;
  uint8_t textBoxMorePages = 0;
  int32_t computerSkipCount = 0;
  uint8_t missNoticeArmed = 0;
  uint8_t missNoticeShown = 0;
  // What the table scene shows.
  uint8_t powerBarShown = 0;
  uint8_t cueShown = 0;
  uint8_t aimGuideShown = 0;
  uint8_t handShown = 0;
  uint8_t thinkingShown = 0;
  uint8_t spinSelectorShown = 0;
  uint8_t skipHintShown = 0;
  uint8_t hudHidden = 0;      // a screen over the match hides the HUD
  uint8_t menuRequest = 0;    // the stylus mapping asks for the in-game menu
  uint8_t backFromPower = 0;  // aiming again after leaving the power gauge
  uint8_t messageDone = 0;    // the last pushed message box was closed
  uint8_t messagePlayer = 0;  // the player a pushed message speaks for
  int32_t messageText = -1;   // text of the next pushed message box
  uint8_t coinTossPending = 0;
  uint8_t pushOutExplained = 0;
  uint8_t computerPassed = 0;  // the computer passed after a push-out
  uint8_t missFlag = 0;
  uint8_t prizeShown = 0;
  uint32_t prizeTime = 0;
  Vector2 aiSpot{0, 0};  // where the computer put the cue ball in hand
  uint8_t aiPlacingDone = 0;
  int32_t placementReturns = 0;  // a blocked computer placement went back to the break position
  Vector2 lastHand{0, 0};
  uint8_t skippedShot = 0;
  uint8_t fastThinking = 0;  // tests: the thinking animation does not hold the turn
  int32_t textBoxPages = 1;
  PottedBalls potted[2];
  uint8_t ballInHandInD = 0;
  int32_t handX = 0;  // Q14 table units of the ball in hand
  int32_t handY = 0;
};

bool isComputerPlayer(const cGame& game, int32_t player);
bool isComputerAtTable(const cGame& game);
// Runs the physics preview of the aim into the guide cache.
void drawGuideLineSolid(cGame& game, Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb);

// Gauge swing speed by the equipped cue (shop category 2).
constexpr int32_t k_cuePowerRates[6] = {250, 215, 180, 145, 110, 85};
