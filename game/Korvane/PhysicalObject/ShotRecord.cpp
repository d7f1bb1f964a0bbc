#include "game/Korvane/PhysicalObject/ShotRecord.h"

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
  if (eventCount >= kMaxEvents) return;
  if (eventCount > 0 && events[eventCount - 1].first == a && events[eventCount - 1].second == b) return;
  events[eventCount++] = {a, b};
}
