// Shot input: aiming by the pen, by the keys and onto the target balls, the
// cue-tip point, the shot defaults and moving the ball in hand.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "zul/3d/Angles.h"

namespace {

constexpr Q14 kOne = 16384;
constexpr Q14 kRestTurnSpeed = 4096;    // 0.25 degree
constexpr Q14 kMaxTurnSpeed = 819200;   // 50 degrees
constexpr Q14 kHalfTurn = 0x2d0000;     // 180 degrees
constexpr Q14 kTargetError = 0x30000;   // 12 degrees
constexpr uint32_t kFineRight = 16, kFineLeft = 4, kReverse = 32768;
constexpr uint32_t kPreviousTarget = 256, kNextTarget = 1024;

// The ball-in-hand limits (Q14 table units).
constexpr Q14 kRightLimit = 0x24e000;     // 147.5
constexpr Q14 kLeftLimit = 0x56000;       // 21.5
constexpr Q14 kHeadLine = -3309568;       // -202.0
constexpr Q14 kTopLimit = -401408;        // -24.5
constexpr Q14 kBottomLimit = -4546560;    // -277.5
constexpr Q14 kDRight = 0x1e8000;         // 122.0
constexpr Q14 kDLeft = 0xc0000;           // 48.0
constexpr Q14 kDBottom = -3899392;        // -238.0
constexpr Vector2 kDCentre{0x154000, -0x324000};  // (85.0, -201.0)
constexpr Q14 kDRadius = 0x98000;         // 38.0

}  // namespace

int32_t aimAtStylus(cGame& game) {
  PhysicalObject* cue = game.world.cueBall;
  if (!cue) return 0;
  const bool rightPlayer = game.match.gameType == k_gameTypeSingleMatch && game.match.currentPlayer == 1;
  const int32_t x = rightPlayer ? 0 : 85;
  if (game.pointerY >= 300 || !isPointerPressedIn(game, x, 0, 155, 300, false)) return 0;
  const int32_t cueX = (cue->position.x >> 14) + game.table.panelX;
  const int32_t cueY = wrapSub(game.world.originY, cue->position.y >> 14);
  const int32_t dx = game.pointerX - cueX;
  const int32_t dy = cueY - game.pointerY;
  // The aim runs from the cue ball's point to the touched one as it is: cut
  // to whole degrees it could miss the middle of the very ball touched.
  if (dx == 0 && dy == 0) return 1;
  game.world.shot.aimAlong(dx, dy);
  return 1;
}

bool turnAimByKeys(cGame& game) {
  ShotRecord& shot = game.world.shot;
  const Q14 s = shot.aimTurnSpeed;
  auto down = [&game](uint32_t mask) { return game.keys.isPressed(mask) || game.keys.isHeld(mask); };
  Q14 turn = 0;
  bool turning = true;
  if (down(k_keyRight)) {
    turn = -(s + s / 2);
  } else if (down(k_keyLeft)) {
    turn = s + s / 2;
  } else if (down(kFineRight)) {
    turn = -(s / 2);
  } else if (down(kFineLeft)) {
    turn = s / 2;
  } else {
    turning = false;
  }
  if (turning) {
    rotateAim(game, turn);
    // Many small turns must not shrink or grow the aim.
    ShotRecord::renormalise(shot.aim);
    shot.aimTurnSpeed = std::min(s + 4096, kMaxTurnSpeed);
    return true;
  }
  shot.aimTurnSpeed = kRestTurnSpeed;
  if (game.keys.isPressed(kReverse)) {
    rotateAim(game, kHalfTurn);
    return true;
  }
  if (game.keys.isPressed(kPreviousTarget)) {
    aimAtNextTargetBall(game, -1, false);
    return true;
  }
  if (game.keys.isPressed(kNextTarget)) {
    aimAtNextTargetBall(game, 1, false);
    return true;
  }
  return false;
}

void buildTargetBallList(cGame& game) {
  ShotRecord& shot = game.world.shot;
  shot.targetCount = 0;
  shot.chosenTarget = -1;
  PhysicalObject* cue = game.world.cueBall;
  if (!cue || game.match.currentPlayer < 0 || game.match.currentPlayer > 1) return;
  const uint32_t mask = game.rules.playerTarget[game.match.currentPlayer];
  for (int32_t n = 1; n < PhysicsWorld::kBallSlots && shot.targetCount < ShotRecord::kMaxTargets; ++n) {
    const PhysicalObject* b = game.world.balls[n];
    if (!b || b->pocketed || !(mask & (1u << n))) continue;
    const Q14 dx = wrapSub(b->position.x, cue->position.x);
    const Q14 dy = wrapSub(b->position.y, cue->position.y);
    shot.targets[shot.targetCount++] = {atan2Degrees(dy, dx) >> 14, n};
  }
  for (int32_t i = 0; i < shot.targetCount; ++i) {
    int32_t best = i;
    for (int32_t j = i + 1; j < shot.targetCount; ++j)
      if (shot.targets[j].angle < shot.targets[best].angle) best = j;
    std::swap(shot.targets[i], shot.targets[best]);
  }
}

void aimAtNextTargetBall(cGame& game, int32_t step, bool withError) {
  ShotRecord& shot = game.world.shot;
  const int32_t count = shot.targetCount;
  PhysicalObject* cue = game.world.cueBall;
  if (count <= 0 || !cue) return;
  int32_t i;
  if (shot.chosenTarget < 0) {
    const int32_t a = atan2Degrees(shot.aim.y, shot.aim.x) >> 14;
    i = 0;
    while (i < count && shot.targets[i].angle < a) ++i;
    i += step;
    if (step > 0) i -= 1;
  } else {
    i = shot.chosenTarget + step;
  }
  i = ((i % count) + count) % count;
  shot.chosenTarget = i;
  const PhysicalObject* b = game.world.balls[shot.targets[i].ball];
  if (b) b->position.subtract(shot.aim, cue->position);
  if (withError) {
    const int32_t r = game.engine.random ? game.engine.random->nextInt(0, 2 * kTargetError) : kTargetError;
    const Q14 angle = atan2Degrees(shot.aim.y, shot.aim.x) + r - kTargetError;
    shot.aim.set(sinDegrees(angle), cosDegrees(angle));
  }
  shot.aimChanged = 1;
}

void moveEnglishPoint(cGame& game, Q14 dx, Q14 dy) {
  game.world.shot.moveEnglishPoint(dx, dy);
}

void resetShot(cGame& game) {
  ShotRecord& shot = game.world.shot;
  shot.clearEvents();
  shot.cueDistance = ShotRecord::kRestDistance;
  shot.englishPoint.set(0, 0);
  shot.masse = 0;
  if (!game.world.breakPlayed) shot.aim.set(0, kOne);
  rotateAim(game, 0);
  if (game.rules.rulesMode == RuleState::kModePlay && game.match.ruleSet != k_ruleSetNineBall &&
      game.match.currentPlayer >= 0 && game.match.currentPlayer < 2) {
    const uint32_t group = game.rules.playerGroup[game.match.currentPlayer];
    int32_t found = 0, last = 0;
    for (int32_t n = 1; n < PhysicsWorld::kBallSlots && found < 2; ++n) {
      const PhysicalObject* b = game.world.balls[n];
      if (b && !b->pocketed && (group & (1u << n))) {
        ++found;
        last = n;
      }
    }
    game.rules.lowestBall = found == 1 ? last : 0;
  }
}

void clampIntoD(Vector2& p) {
  Vector2 d;
  p.subtract(d, kDCentre);
  ShotRecord::limitLength(d, kDRadius);
  p.x = wrapAdd(kDCentre.x, d.x);
  p.y = wrapAdd(kDCentre.y, d.y);
}

int32_t moveCueBallInHand(cGame& game) {
  PhysicalObject* hand = game.world.shot.handObject;
  if (!hand) return 0;
  const Q14 h = game.world.shot.handSpeed;
  const bool restricted = game.turn.ballInHandInD != 0;
  const bool uk = game.match.ruleSet == k_ruleSetUK;
  auto down = [&game](uint32_t mask) { return game.keys.isPressed(mask) || game.keys.isHeld(mask); };
  int32_t moved = 0;
  Vector2& p = hand->position;
  if (down(k_keyRight)) {
    hand->offsetPosition(h, 0);
    if (restricted && uk) {
      clampIntoD(p);
      p.x = std::min(p.x, kDRight);
    } else {
      p.x = std::min(p.x, kRightLimit);
    }
    moved = 1;
  }
  if (down(k_keyLeft)) {
    hand->offsetPosition(-h, 0);
    if (restricted && uk) {
      clampIntoD(p);
      p.x = std::max(p.x, kDLeft);
    } else {
      p.x = std::max(p.x, kLeftLimit);
    }
    moved = 1;
  }
  if (down(k_keyUp)) {
    hand->offsetPosition(0, h);
    p.y = std::min(p.y, restricted ? kHeadLine : kTopLimit);
    moved = 1;
  }
  if (down(k_keyDown)) {
    hand->offsetPosition(0, -h);
    if (restricted && uk) {
      clampIntoD(p);
      p.y = std::max(p.y, kDBottom);
    } else {
      p.y = std::max(p.y, kBottomLimit);
    }
    moved = 1;
  }
  return moved;
}
