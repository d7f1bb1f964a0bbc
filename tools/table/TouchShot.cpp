#include "tools/table/TouchShot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/Korvane/cGamePlay/ChallengeDemo.h"

namespace tablelayout {

namespace {

constexpr double kUnit = 16384.0;
constexpr int32_t kPanelX = 67;  // the view's x offset with player 0 at the table
// The touch area that aims (player 0's side, above the bar) and the least
// distance from the cue ball a player touches to aim finely.
constexpr int32_t kLeft = 85, kRight = 239, kBottom = 299, kNear = 20;
constexpr int32_t kGaugeFull = 17384;

double degreesOf(double x, double y) { return std::atan2(y, x) * 180.0 / 3.14159265358979; }

double angleBetween(double a, double b) {
  const double d = std::fmod(std::abs(a - b), 360.0);
  return std::min(d, 360.0 - d);
}

void cueScreen(const PhysicsWorld& world, int32_t& x, int32_t& y) {
  x = (world.cueBall->position.x >> 14) + kPanelX;
  y = world.originY - (world.cueBall->position.y >> 14);
}

// The tip point the arrows reach nearest to the stored one: whole steps
// across, then down or up, each kept within the tip's radius.
Vector2 reachedTip(int32_t ex, int32_t ey) {
  ShotRecord shot;
  const int32_t sx = static_cast<int32_t>(std::lround(ex / kUnit)), sy = static_cast<int32_t>(std::lround(ey / kUnit));
  for (int32_t k = 0; k < std::abs(sx); ++k) shot.moveEnglishPoint(sx > 0 ? 16384 : -16384, 0);
  for (int32_t k = 0; k < std::abs(sy); ++k) shot.moveEnglishPoint(0, sy > 0 ? 16384 : -16384);
  return shot.englishPoint;
}

// The gauge stopped `points` percent of full away from `power`.
int32_t gaugeMoved(int32_t power, int32_t points) {
  return std::clamp(power + static_cast<int32_t>(std::lround(points * kGaugeFull / 100.0)), 0, kGaugeFull);
}

}  // namespace

TouchShot touchShot(const PhysicsWorld& world, const ReplayShot& stored, int32_t dx, int32_t dy, int32_t points) {
  TouchShot t;
  if (!world.cueBall) return t;
  int32_t cx = 0, cy = 0;
  cueScreen(world, cx, cy);
  const double want = degreesOf(stored.aimX, stored.aimY);
  for (const int32_t near : {kNear, 1}) {
    double best = 1.0;
    for (int32_t y = 0; y <= kBottom; ++y)
      for (int32_t x = kLeft; x <= kRight; ++x) {
        const int32_t ox = x - cx, oy = cy - y;
        if (ox * ox + oy * oy < near * near) continue;
        const double e = angleBetween(degreesOf(ox, oy), want);
        if (e < best) best = e, t.x = x, t.y = y, t.found = true;
      }
    if (t.found) break;
  }
  if (!t.found) return t;
  t.x += dx;
  t.y += dy;
  t.inArea = t.x >= kLeft && t.x <= kRight && t.y >= 0 && t.y <= kBottom && (t.x != cx || t.y != cy);
  if (!t.inArea) return t;
  ShotRecord shot;
  shot.aimAlong(t.x - cx, cy - t.y);
  t.shot.aimX = shot.aim.x;
  t.shot.aimY = shot.aim.y;
  t.shot.masse = stored.masse;
  const Vector2 tip = reachedTip(stored.englishX, stored.englishY);
  t.shot.englishX = tip.x;
  t.shot.englishY = tip.y;
  t.shot.power = gaugeMoved(stored.power, points);
  return t;
}

bool solvedByTouch(ShotReplay& replay, int32_t challenge, int32_t varied, int32_t dx, int32_t dy, int32_t points) {
  replay.startChallenge(challenge);
  for (int32_t s = 0; s < std::max(challengeDemoShotCount(challenge), 1); ++s) {
    const bool moved = s == varied;
    const TouchShot t = touchShot(replay.world(), demoShot(challenge, s), moved ? dx : 0, moved ? dy : 0,
                                  moved ? points : 0);
    if (!t.found || !t.inArea) return false;
    const ShotResult r = replay.play(t.shot);
    if (r.outcome & 0x10) return false;
    if (r.outcome & 0x8) return true;
  }
  return false;
}

namespace {

// Starts the challenge and plays its first `shots` stored shots by their
// nearest touches; false when one of them decides it or finds no touch.
bool reachShot(ShotReplay& replay, int32_t challenge, int32_t shots) {
  replay.startChallenge(challenge);
  for (int32_t k = 0; k < shots; ++k) {
    const TouchShot t = touchShot(replay.world(), demoShot(challenge, k));
    if (!t.found || !t.inArea || (replay.play(t.shot).outcome & 0x18)) return false;
  }
  return true;
}

}  // namespace

TouchWindow touchWindow(ShotReplay& replay, int32_t challenge, int32_t pixels, int32_t points) {
  TouchWindow w;
  w.nearest = solvedByTouch(replay, challenge);
  for (int32_t s = 0; s < std::max(challengeDemoShotCount(challenge), 1); ++s) {
    // Only the shots the repeat gets to; each try is judged from the table
    // as that shot finds it.
    if (!reachShot(replay, challenge, s)) break;
    for (int32_t dy = -pixels; dy <= pixels; ++dy)
      for (int32_t dx = -pixels; dx <= pixels; ++dx) {
        reachShot(replay, challenge, s);
        const TouchShot t = touchShot(replay.world(), demoShot(challenge, s), dx, dy);
        if (!t.inArea) continue;
        for (int32_t p = -points; p <= points; ++p) {
          ++w.tries;
          if (solvedByTouch(replay, challenge, s, dx, dy, p)) {
            ++w.solved;
            continue;
          }
          char miss[80];
          std::snprintf(miss, sizeof miss, "shot %d touch (%d, %d) gauge %d%%", s, t.x, t.y,
                        static_cast<int>(std::lround(gaugeMoved(t.shot.power, p) * 100.0 / kGaugeFull)));
          w.misses.push_back(miss);
        }
      }
  }
  return w;
}

}  // namespace tablelayout
