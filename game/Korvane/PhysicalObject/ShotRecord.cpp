#include "game/Korvane/PhysicalObject/ShotRecord.h"

#include "game/Korvane/PhysicalObject/PhysicalObject.h"
#include "zul/3d/Angles.h"

void ShotRecord::rotateAim(Q14 angle) {
  const Q14 c = cosDegrees(angle), s = sinDegrees(angle);
  const Q14 x = aim.x, y = aim.y;
  aim.x = wrapSub(q14Mul(x, c), q14Mul(y, s));
  aim.y = wrapAdd(q14Mul(x, s), q14Mul(y, c));
  chosenTarget = -1;
  aimChanged = 1;
}

void ShotRecord::aimAlong(int32_t dx, int32_t dy) {
  aim.set(dx * 16384, dy * 16384);
  renormalise(aim);
  rotateAim(0);
}

void ShotRecord::moveEnglishPoint(Q14 dx, Q14 dy) {
  englishPoint.x = wrapAdd(englishPoint.x, dx);
  englishPoint.y = wrapAdd(englishPoint.y, dy);
  limitLength(englishPoint, kTipRadius);
  aimChanged = 1;
}

void ShotRecord::renormalise(Vector2& v) {
  const uint64_t sq = static_cast<uint64_t>(int64_t{v.x} * v.x) + static_cast<uint64_t>(int64_t{v.y} * v.y);
  if (sq == 0) return;
  uint64_t r = 0;
  for (uint64_t bit = uint64_t{1} << 31; bit; bit >>= 1)
    if ((r + bit) * (r + bit) <= sq) r += bit;
  if (r == 0) return;
  v.x = static_cast<Q14>(int64_t{v.x} * 16384 / static_cast<int64_t>(r));
  v.y = static_cast<Q14>(int64_t{v.y} * 16384 / static_cast<int64_t>(r));
}

void ShotRecord::limitLength(Vector2& v, Q14 to) {
  const Q14 l = v.length();
  if (l <= to) return;
  v.x = static_cast<Q14>(int64_t{v.x} * to / l);
  v.y = static_cast<Q14>(int64_t{v.y} * to / l);
}

void ShotRecord::recordEvent(PhysicalObject* a, PhysicalObject* b) {
  const bool kept = b && (b->type == PhysicalObject::kPocket || b->type == PhysicalObject::kOffTable ||
                          b->type == PhysicalObject::kLanding);
  if (eventCount >= (kept ? kMaxEvents + kReservedEvents : kMaxEvents)) return;
  if (eventCount > 0 && events[eventCount - 1].first == a && events[eventCount - 1].second == b) return;
  events[eventCount++] = {a, b};
}

void ShotRecord::clearShotCounters() {
  strikeWord = 0;
  for (int32_t& w : strikeRun) w = 0;
  strikeBytes[0] = strikeBytes[1] = 0;
}
