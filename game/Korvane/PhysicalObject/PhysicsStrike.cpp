// The strike: the shot's aim, cue-tip point, masse and power turned into the
// ball's speed, direction, spin, side kick and jump; and the previews on the
// shadows that ask where a struck cue ball goes first.
#include "game/Korvane/PhysicalObject/PhysicsWorld.h"

namespace {

constexpr Q14 kFullGauge = 17384;
constexpr Q14 kPreviewPower = 8692;
constexpr Q14 kSpeedPerPower = 0x4b0000;  // 300.0
constexpr Q14 kJumpThreshold = 0x2666;    // 0.6 percent
constexpr Q14 kJumpCentre = 0x40000;      // 4.0: within 2.0 of the centre
constexpr Q14 kTipRadius = 0x28000;       // 10.0
constexpr Q14 kTopSpinLimit = -0x18000;   // -6.0
constexpr Q14 kSpinScale = 0x340000;      // 208.0
constexpr Q14 kMasseCurve = -0x3333;      // -0.8
constexpr Q14 kMasseSide = 0x1000;        // 0.25
constexpr Q14 kShadowFullSpeed = 8192000;  // 500.0
constexpr int32_t kPreviewSlice = 10;
constexpr int32_t kPreviewSteps = 15000;  // 3,000 frames of 50

// Mutes the game's hooks while the shadows play a question out.
class MutedHooks {
 public:
  explicit MutedHooks(PhysicsWorld& w) : world(w), saved(w.hooks) { w.hooks = nullptr; }
  ~MutedHooks() { world.hooks = saved; }
  MutedHooks(const MutedHooks&) = delete;
  MutedHooks& operator=(const MutedHooks&) = delete;

 private:
  PhysicsWorld& world;
  PoolHooks* saved;
};

}  // namespace

void PhysicsWorld::strikeCueBall(PhysicalObject& ball, bool preview, int32_t maxPower, bool cushionFirst) {
  shot.sideSpinFlag = 0;
  shot.previewFlag = preview ? 1 : 0;
  int32_t full = static_cast<int32_t>(int64_t{maxPower} * kFullGauge / 100);
  int32_t power = static_cast<int32_t>(int64_t{shot.powerGauge} * maxPower / 100);
  if (preview) full = power = kPreviewPower;

  // Unit to the last bit: a long direction would carry more speed than the stroke gave.
  shot.aim.normalisePrecise();
  const Vector2 aim = shot.aim;
  ball.direction = aim;
  ball.speed = q14Mul(power, kSpeedPerPower);
  ball.spin.set(0, 0);
  ball.sideKick = 0;
  ball.airTime = ball.airPhase = 0;
  ball.advanced = 1;
  shot.jumpShot = 0;

  const Vector2& tip = shot.englishPoint;
  const int64_t tipSquared = ((int64_t{tip.x} * tip.x) >> 14) + ((int64_t{tip.y} * tip.y) >> 14);
  if (shot.masse && tipSquared <= kJumpCentre && full > 0 &&
      q14Div(static_cast<Q14>(int64_t{power} * 100), full) >= kJumpThreshold) {
    const int32_t percent = static_cast<int32_t>(int64_t{power} * 100 / full);
    const int32_t first = static_cast<int32_t>(((int64_t{percent} * 16384 - 9830) >> 14) * 1000 / 99);
    ball.airTime = first;
    ball.airPhase = first / 3;
    shot.jumpShot = 1;
  } else {
    if (&ball == cueBall) shot.drawFlag = tip.y > 0 ? 1 : 0;
    const Q14 ey = tip.y < -0x17fff ? kTopSpinLimit : tip.y;
    const Q14 sx = q14Div(tip.x, kTipRadius);
    Q14 sy = q14Div(wrapNeg(ey), kTipRadius);
    if (cushionFirst) sy = 0;
    if (shot.masse && sy < kMasseCurve && absQ14(sx) <= kMasseSide)
      sy = static_cast<Q14>(int64_t{sy} * power / 16384);
    Vector2 spin = aim;
    spin.scale(q14Mul(sy, kSpinScale));
    if (!shot.masse) {
      spin.scale(power);
      ball.sideKick = q14Mul(power, sx);
    } else {
      shot.sideSpinFlag = tip.x != 0 ? 1 : 0;
      Vector2 p = aim;
      p.rotate90();
      p.scale(q14Mul(sx, kSpinScale));
      spin.subtractInPlace(p);
    }
    ball.spin = spin;
  }
  shot.clearShotCounters();
}

bool PhysicsWorld::isFirstContactCushion() {
  if (!cueBall || !cueBall->shadow) return false;
  MutedHooks muted(*this);
  copyBallsToShadows();
  PhysicalObject& s = *cueBall->shadow;
  const ShotRecord kept = shot;
  strikeCueBall(s, true, 100, shot.cushionFirst);
  bool cushion = false;
  for (int32_t i = 0; i < kPreviewSteps; ++i) {
    if (s.pocketed || (!s.isMoving() && s.airTime == 0)) break;
    if (previewStep(shadowHead, kPreviewSlice, true) < 0) continue;
    PhysicalObject* other = currentPair[0] == &s ? currentPair[1] : currentPair[1] == &s ? currentPair[0] : nullptr;
    if (!other) continue;
    cushion = other->type == PhysicalObject::kLine || other->type == PhysicalObject::kJaw;
    break;
  }
  shot = kept;
  copyBallsToShadows();
  return cushion;
}

void PhysicsWorld::setShadowFullSpeed() {
  if (!cueBall || !cueBall->shadow) return;
  PhysicalObject& s = *cueBall->shadow;
  s.spin.set(0, 0);
  s.airTime = s.airPhase = 0;
  if (s.speed != 0) s.speed = kShadowFullSpeed;
}

bool PhysicsWorld::aimReachesBall(int32_t n) {
  if (n < 0 || n >= kBallSlots || !balls[n] || !cueBall || !cueBall->shadow || !balls[n]->shadow) return false;
  copyBallsToShadows();
  PhysicalObject* s = cueBall->shadow;
  PhysicalObject* target = balls[n]->shadow;
  strikeCueBall(*s, true, 100, shot.cushionFirst);
  findEarliestContact(shadowHead, kSearchHorizon, true, true, false);
  return (currentPair[0] == s && currentPair[1] == target) || (currentPair[0] == target && currentPair[1] == s);
}
