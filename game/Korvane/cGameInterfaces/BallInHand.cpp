// Ball in hand: the human's start (590), the placing by touch and keys (510)
// and the computer's placing (600); the area a ball in hand may be put in
// and the search for a free place in it.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "zul/2d/SpriteAnimPlayer.h"

namespace {

constexpr Q14 kHandSpeedMax = 3 * kQ14One;

// The ball-in-hand area: x 21.5-147.5, y -277.5..-24.5; behind the head
// line y <= -202.0; the UK D: within 38.0 of (85.0, -201.0).
constexpr Q14 kAreaLeft = 0x56000, kAreaRight = 0x24E000;
constexpr Q14 kAreaTop = -401408, kAreaBottom = -4546560;
constexpr Q14 kHeadLine = -0x328000;
constexpr Q14 kDCentreX = 0x154000, kDCentreY = -0x324000, kDRadius = 0x98000;
constexpr Q14 kHandStartX = 0x158000, kHandStartY = -0x328000;  // (86.0, -202.0)
constexpr Q14 kPlacementStep = 0xC000;                           // 3.0 a frame
constexpr Q14 kPlacementRow = 0x24000;                           // rows 9.0 apart

}  // namespace

bool isInHandArea(const cGame& game, const Vector2& p) {
  if (p.x < kAreaLeft || p.x > kAreaRight || p.y > kAreaTop || p.y < kAreaBottom) return false;
  if (!game.rules.ballInHandInD) return true;
  if (p.y > kHeadLine) return false;
  if (game.match.ruleSet != k_ruleSetUK) return true;
  const int64_t dx = static_cast<int64_t>(p.x) - kDCentreX, dy = static_cast<int64_t>(p.y) - kDCentreY;
  return dx * dx + dy * dy <= static_cast<int64_t>(kDRadius) * kDRadius;
}

bool isInHandAreaUnrestricted(const cGame& /*game*/, const Vector2& p) {
  return p.x >= kAreaLeft && p.x <= kAreaRight && p.y <= kAreaTop && p.y >= kAreaBottom;
}

bool isPlaceFree(const cGame& game, const PhysicalObject& ball) {
  return isInHandArea(game, ball.position) && !isBallPlacementBlocked(game, ball);
}

void returnCueBallToPlay(cGame& game) {
  PhysicalObject* cue = game.world.cueBall;
  if (!cue) return;
  cue->pocketed = 0;
  cue->hidden = 0;
  cue->offTable = 0;
  cue->dropping = 0;
  cue->pocket = nullptr;
  cue->speed = 0;
  cue->spin.set(0, 0);
  cue->step.set(0, 0);
  cue->airTime = cue->airPhase = 0;
  cue->frame = PhysicalObject::kRestFrame;
  cue->state = 3;
  if (SpriteAnimPlayer* p = lookPlayer(cue->animPlayer)) p->setAnim(k_animBallRest);
}

namespace {

bool findFreePlace(cGame& game, PhysicalObject& ball, Q14 x, Q14 y) {
  // Rows 9.0 apart from the start row down the area and then from the top,
  // each scanned left to right in steps of 3.0: the first free place wins.
  const Q14 top = game.rules.ballInHandInD ? kHeadLine : kAreaTop;
  const int32_t rows = static_cast<int32_t>((static_cast<int64_t>(top) - kAreaBottom) / kPlacementRow) + 1;
  Q14 rowY = std::clamp(y, kAreaBottom, top);
  for (int32_t r = 0; r <= rows; ++r) {
    for (Q14 px = r == 0 ? std::clamp(x, kAreaLeft, kAreaRight) : kAreaLeft; px <= kAreaRight; px += kPlacementStep) {
      ball.setPosition(px, rowY);
      if (isPlaceFree(game, ball)) return true;
    }
    rowY -= kPlacementRow;
    if (rowY < kAreaBottom) rowY = top;
  }
  ball.setPosition(x, y);
  return false;
}

void startBallInHand(cGame& game) {
  returnCueBallToPlay(game);
  PhysicalObject* cue = game.world.cueBall;
  if (!game.world.breakPlayed) game.rules.ballInHandInD = 1;
  game.turn.ballInHandInD = game.rules.ballInHandInD;
  if (cue && !isPlaceFree(game, *cue)) {
    const Q14 x = std::clamp(cue->position.x, kAreaLeft, kAreaRight);
    const Q14 y = std::clamp(cue->position.y, kAreaBottom, game.rules.ballInHandInD ? kHeadLine : kAreaTop);
    findFreePlace(game, *cue, x, y);
  }
  if (cue) {
    game.turn.handX = cue->position.x;
    game.turn.handY = cue->position.y;
    game.turn.lastHand = cue->position;
  }
}

// ---- human (590, 510)

void enterHumanBallInHandStart(cGame& game) {
  if (PhysicalObject* cue = game.world.cueBall) {
    returnCueBallToPlay(game);
    if (!game.world.breakPlayed) game.rules.ballInHandInD = 1;
    if (!findFreePlace(game, *cue, kHandStartX, kHandStartY)) cue->setPosition(kHandStartX, kHandStartY);
  }
}

void updateHumanBallInHandStart(cGame& game) { game.setInGameState(k_stateBallInHand); }

void enterBallInHand(cGame& game) {
  startBallInHand(game);
  game.turn.handShown = 1;
  game.world.shot.handObject = game.world.cueBall;
  game.world.shot.handSpeed = kQ14One;
}

void updateBallInHand(cGame& game) {
  PhysicalObject* cue = game.world.cueBall;
  if (isComputerAtTable(game)) {
    // The computer's ball is placed: its turn goes on once the hand has
    // reached it. The table's paint moves the hand, except while the HUD is
    // hidden; then the turn does not wait for it.
    const PhysicalObject* hand = game.world.handCursor;
    if (!hand || hand->frame != 0 || game.turn.hudHidden) game.setInGameState(k_stateComputerShot);
    return;
  }
  if (moveCueBallInHand(game))
    game.world.shot.handSpeed = std::min(game.world.shot.handSpeed + kQ14One, kHandSpeedMax);
  else
    game.world.shot.handSpeed = kQ14One;
  // A touch on the table moves the ball there when the place is free.
  if (cue && (game.turn.handX != game.turn.lastHand.x || game.turn.handY != game.turn.lastHand.y)) {
    const Vector2 before = cue->position;
    cue->setPosition(game.turn.handX, game.turn.handY);
    if (!isPlaceFree(game, *cue)) cue->position = before;
    game.turn.lastHand.set(game.turn.handX, game.turn.handY);
  }
  if (cue && game.keys.isReleased(k_keyDismiss) && isPlaceFree(game, *cue)) game.setInGameState(k_stateAim);
}

void leaveBallInHand(cGame& game) {
  game.turn.handShown = 0;
  game.rules.ballInHand = 0;
  game.rules.cueAwaitsPlacing = 0;
  game.rules.cueBallPlaced = 1;
}

// ---- computer (600)

void enterComputerBallInHand(cGame& game) {
  returnCueBallToPlay(game);
  if (!game.world.breakPlayed) game.rules.ballInHandInD = 1;
  game.turn.ballInHandInD = game.rules.ballInHandInD;
  if (PhysicalObject* cue = game.world.cueBall) {
    game.turn.aiSpot = cue->position;
    if (game.world.breakPlayed)
      cue->setPosition(kHandStartX, kHandStartY);
    else
      cue->position = getAIBreakPosition(game, game.match.currentPlayer);
    game.turn.aiSpot = cue->position;
  }
  game.turn.placementReturns = 0;
  game.turn.aiPlacingDone = 0;
  resetShot(game);
  resetAI(game);
  startThinking(game);
  game.world.shot.handObject = game.world.cueBall;
}

void updateComputerBallInHand(cGame& game) {
  PhysicalObject* cue = game.world.cueBall;
  if (!cue) return;
  if (!game.turn.aiPlacingDone) {
    cue->position = game.turn.aiSpot;
    updateAI(game, aiState(game), kThinkUpdate, true);
    game.turn.aiSpot = cue->position;
    if (aiState(game) != kThinkDone || !isThinkingOver(game)) return;
    game.turn.aiPlacingDone = 1;
  }
  PhysicalObject* hand = game.world.handCursor;
  if (isPlaceFree(game, *cue)) {
    // The ball stays where the opponent (or the walk below) left it.
    game.rules.ballInHand = 0;
    game.rules.cueAwaitsPlacing = 0;
    if (game.rules.cueBallPlaced) {
      if (hand) hand->frame = 0;
      game.setInGameState(k_stateComputerShot);
      return;
    }
    // The player sees the hand glide to the ball; it leaves the ball where it is.
    game.world.shot.handObject = cue;
    game.world.handPlaced = 1;
    if (hand) hand->frame = 0;
    game.setInGameState(k_stateBallInHand);
    return;
  }
  // Blocked: 3.0 to the right a frame; off the table area, back at the
  // profile's break position. A break row blocked to the edge would bring it
  // back there for ever, so the second time the first free place from the
  // break position is taken.
  cue->offsetPosition(kPlacementStep / 2, 0);
  if (cue->position.x > kAreaRight) {
    const Vector2 spot = getAIBreakPosition(game, game.match.currentPlayer);
    if (game.turn.placementReturns++ == 0)
      cue->setPosition(spot.x, spot.y);
    else
      findFreePlace(game, *cue, spot.x, spot.y);
  }
}

void leaveComputerBallInHand(cGame& game) {
  game.turn.thinkingShown = 0;
  game.world.shot.handObject = game.world.cueBall;
}

// ---- touch

using namespace touch;

constexpr int32_t kNoPoint = -1;

bool isHumanAtTable(const cGame& g) {
  const int32_t p = g.match.currentPlayer;
  return p >= 0 && p < 2 && g.match.playerProfile[p] == -1;
}

void mapBallInHand(cGame& g) {
  rightSoftHighlight(g);
  if (isHumanAtTable(g)) fireButton(g, g.match.currentPlayer == 1, false);
  rightSoft(g, Send::Pair);

  // Cue-ball placement from the pen-down point.
  int32_t px = g.pointerX;
  int32_t py = g.pointerY;
  const bool onTable = px >= 85 || (isTwoPlayerSecond(g) && px < 156);
  if (!onTable || !isHumanAtTable(g) || py >= 300 || py == kNoPoint || g.states.subState != k_subStateInGameUpdate ||
      px == kNoPoint)
    return;
  const bool uk = g.match.ruleSet == k_ruleSetUK;
  if (g.turn.ballInHandInD && uk && py < 203) py = 202;
  const int64_t panel = g.match.currentPlayer == 1 ? 6 : 67;
  int64_t x = (px - panel) * kQ14One;
  int64_t y = -static_cast<int64_t>(py) * kQ14One;
  if (g.turn.ballInHandInD) {
    if (uk) {
      // Into the D: radius 38.0 around (85.0, -201.0).
      constexpr int64_t cx = 0x154000, cy = -0x324000, r = 0x98000;
      const int64_t dx = x - cx, dy = y - cy;
      const uint64_t sq = static_cast<uint64_t>(dx * dx + dy * dy);
      if (sq > static_cast<uint64_t>(r * r)) {
        uint64_t len = 0;
        for (uint64_t bit = uint64_t{1} << 31; bit; bit >>= 1)
          if ((len | bit) * (len | bit) <= sq) len |= bit;
        x = cx + dx * r / static_cast<int64_t>(len);
        y = cy + dy * r / static_cast<int64_t>(len);
      }
    } else if (y > -0x328000) {
      y = -0x328000;  // behind the head line, -202.0
    }
  }
  if (x < 0x56000) x = 0x56000;
  if (x > 0x24E000) x = 0x24E000;
  if (y < -4546560) y = -4546560;
  if (y > -401408) y = -401408;
  g.turn.handX = static_cast<int32_t>(x);
  g.turn.handY = static_cast<int32_t>(y);
}

// The hand is not up yet: no soft key is lit.
void mapHumanBallInHandStart(cGame& g) {
  g.stylus.leftSoftHighlight = 0;
  g.stylus.rightSoftHighlight = 0;
}

}  // namespace

const cGameScreen k_screenHumanBallInHandStart = {k_stateHumanBallInHandStart, updateHumanBallInHandStart,
                                                  paintTable, mapHumanBallInHandStart,
                                                  enterHumanBallInHandStart, nullptr};
const cGameScreen k_screenBallInHand = {k_stateBallInHand, updateBallInHand, paintTable, mapBallInHand,
                                        enterBallInHand, leaveBallInHand};
const cGameScreen k_screenComputerBallInHand = {k_stateComputerBallInHand, updateComputerBallInHand, paintTable,
                                                touch::mapNoButtons, enterComputerBallInHand, leaveComputerBallInHand};
