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
