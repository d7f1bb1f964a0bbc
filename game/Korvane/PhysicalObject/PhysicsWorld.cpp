#include "game/Korvane/PhysicalObject/PhysicsWorld.h"

#include <algorithm>
#include <functional>

#include "game/Korvane/PhysicalObject/TableLayout.h"
#include "zul/memory/Debug.h"
#include "zul/memory/TrackedNew.h"

namespace {

constexpr const char* kSource = "PhysicsWorld";
constexpr int64_t kPocketRadiusSquared = 0x100000;  // 64.0
constexpr Q14 kCaptureGlide = 5734;                 // 0.35
constexpr int32_t kJawFlag = 2;                     // value 4 of a cushion point: no jaw here
constexpr int64_t kTouchingSquared = 0x144000;      // 81.0: centres 9.0 apart
constexpr Q14 kApart = 0x24000 + 8;                 // a hair beyond touching
constexpr int32_t kSettlePasses = 64;

// Play area in half file units: a ball is placed when its disc of radius 4.5
// overlaps x -1..170, y 2..300.
constexpr int32_t kAreaLeft2 = -2, kAreaRight2 = 340, kAreaTop2 = 4, kAreaBottom2 = 600, kRadius2 = 9;

Vector2 tablePoint(int32_t x, int32_t y) { return Vector2(wrapMul(x, kQ14One), wrapNeg(wrapMul(y, kQ14One))); }

void unlink(PhysicalObject*& head, PhysicalObject* o) {
  for (PhysicalObject** p = &head; *p; p = &(*p)->next) {
    if (*p == o) {
      *p = o->next;
      o->next = nullptr;
      return;
    }
  }
}

bool overlapping(const Vector2& a, const Vector2& b) {
  const int64_t dx = static_cast<int64_t>(b.x) - a.x, dy = static_cast<int64_t>(b.y) - a.y;
  return ((dx * dx) >> 14) + ((dy * dy) >> 14) < kTouchingSquared;
}

// Two overlapping balls moved apart along their centres to touching, each by
// half the shortfall; false, with nothing moved, when they do not overlap.
bool setApart(PhysicalObject& a, PhysicalObject& b) {
  const Vector2 d(wrapSub(b.position.x, a.position.x), wrapSub(b.position.y, a.position.y));
  const Q14 len = d.preciseLength();
  if (!overlapping(a.position, b.position) || len == 0) return false;
  const Q14 sx = static_cast<Q14>(static_cast<int64_t>(d.x) * kApart / len - d.x);
  const Q14 sy = static_cast<Q14>(static_cast<int64_t>(d.y) * kApart / len - d.y);
  a.position.set(wrapSub(a.position.x, sx / 2), wrapSub(a.position.y, sy / 2));
  b.position.set(wrapAdd(b.position.x, sx - sx / 2), wrapAdd(b.position.y, sy - sy / 2));
  return true;
}

template <size_t N>
void deleteSlots(PhysicalObject* (&slots)[N]) {
  for (PhysicalObject*& o : slots) {
    delete o;
    o = nullptr;
  }
}

}  // namespace

PhysicsWorld::PhysicsWorld() = default;

PhysicsWorld::~PhysicsWorld() {
  freeTableObjects();
  releaseMarkers();
}

template <typename F>
void PhysicsWorld::forEachSlot(F&& f) {
  for (PhysicalObject*& o : balls) f(o);
  for (PhysicalObject*& o : pockets) f(o);
  for (PhysicalObject*& o : lines) f(o);
  for (PhysicalObject*& o : jaws) f(o);
  f(cueStick);
  f(handCursor);
  f(offTableDetector);
  f(landingMarker);
}

PhysicsWorld::PhysicsWorld(const PhysicsWorld& other) : PhysicsWorldData(other) { cloneObjects(nullptr); }

PhysicsWorld& PhysicsWorld::operator=(const PhysicsWorld& other) {
  if (this == &other) return *this;
  // This world's objects become the copies of other's in the same places, so
  // assigning a world of the same table allocates nothing.
  PhysicalObject* kept[kObjectSlots];
  int32_t k = 0;
  forEachSlot([&](PhysicalObject*& slot) { kept[k++] = slot; });
  PhysicsWorldData::operator=(other);
  cloneObjects(kept);
  return *this;
}

PhysicalObject* PhysicsWorld::counterpartIn(const PhysicsWorld& copy, const PhysicalObject* object) const {
  if (!object) return nullptr;
  for (int32_t k = 0; k < kBallSlots; ++k) {
    if (!balls[k]) continue;
    if (balls[k] == object) return copy.balls[k];
    if (balls[k]->shadow == object) return copy.balls[k] ? copy.balls[k]->shadow : nullptr;
  }
  for (int32_t k = 0; k < kPocketSlots; ++k)
    if (pockets[k] == object) return copy.pockets[k];
  for (int32_t k = 0; k < kLineSlots; ++k)
    if (lines[k] == object) return copy.lines[k];
  for (int32_t k = 0; k < kJawSlots; ++k)
    if (jaws[k] == object) return copy.jaws[k];
  if (object == cueStick) return copy.cueStick;
  if (object == handCursor) return copy.handCursor;
  if (object == offTableDetector) return copy.offTableDetector;
  if (object == landingMarker) return copy.landingMarker;
  return nullptr;
}

void PhysicsWorld::cloneObjects(PhysicalObject* const* reuse) {
  // Each object of the other world beside its copy, sorted by the original's address.
  struct Pair {
    const PhysicalObject* from;
    PhysicalObject* to;
  };
  constexpr int32_t kMaxObjects = kObjectSlots + kBallSlots;  // the balls' shadows too
  Pair pairs[kMaxObjects];
  int32_t count = 0;
  auto add = [&](const PhysicalObject* from, PhysicalObject* to) {
    if (from && to && count < kMaxObjects) pairs[count++] = {from, to};
  };
  int32_t slotIndex = 0;
  forEachSlot([&](PhysicalObject*& slot) {
    PhysicalObject* mine = reuse ? reuse[slotIndex] : nullptr;
    ++slotIndex;
    const PhysicalObject* from = slot;
    if (!from) {
      delete mine;
      return;
    }
    if (mine) {
      mine->assignFrom(*from);
      slot = mine;
    } else {
      slot = from->clone();
    }
    add(from, slot);
    if (slot && from->shadow) add(from->shadow, slot->shadow);
  });
  std::sort(pairs, pairs + count, [](const Pair& a, const Pair& b) { return std::less<>()(a.from, b.from); });
  // A pointer to none of other's objects has no counterpart here.
  auto map = [&](PhysicalObject*& p) {
    if (!p) return;
    const Pair* const end = pairs + count;
    const Pair* it = std::lower_bound(static_cast<const Pair*>(pairs), end, p, [](const Pair& a, const PhysicalObject* b) {
      return std::less<>()(a.from, b);
    });
    p = it != end && it->from == p ? it->to : nullptr;
  };
  for (int32_t k = 0; k < count; ++k) {
    map(pairs[k].to->next);
    map(pairs[k].to->pocket);
  }
  for (PhysicalObject** p : {&ballHead, &shadowHead, &lineHead, &jawHead, &pocketHead, &detectorHead, &ballList,
                             &cueBall, &ball8, &currentPair[0], &currentPair[1], &shot.handObject})
    map(*p);
  for (auto& pair : collisions.pairs) {
    map(pair[0]);
    map(pair[1]);
  }
  // The events past the count are dead; none of them keeps a pointer into other.
  const int32_t events = std::clamp<int32_t>(shot.eventCount, 0, ShotRecord::kMaxEvents + ShotRecord::kReservedEvents);
  for (int32_t k = 0; k < ShotRecord::kMaxEvents + ShotRecord::kReservedEvents; ++k) {
    ShotRecord::Event& e = shot.events[k];
    if (k < events) {
      map(e.first);
      map(e.second);
    } else {
      e = {nullptr, nullptr};
    }
  }
}

void PhysicsWorld::createMarkers() {
  releaseMarkers();
  offTableDetector = new (kSource, 50, nullptr) PhysicalObject(this, PhysicalObject::kOffTable);
  landingMarker = new (kSource, 51, nullptr) PhysicalObject(this, PhysicalObject::kLanding);
}

void PhysicsWorld::releaseMarkers() {
  if (offTableDetector) unlink(detectorHead, offTableDetector);
  delete offTableDetector;
  delete landingMarker;
  offTableDetector = landingMarker = nullptr;
}

void PhysicsWorld::removeBall(int32_t number) {
  PhysicalObject* b = balls[number];
  if (!b) return;
  unlink(ballList, b);
  ballHead = ballList;
  if (b->shadow) unlink(shadowHead, b->shadow);
  if (cueBall == b) cueBall = nullptr;
  if (ball8 == b) ball8 = nullptr;
  if (shot.handObject == b) shot.handObject = nullptr;
  delete b;
  balls[number] = nullptr;
}

void PhysicsWorld::createTableObject(const TableLayoutGroup& group, int32_t record, int32_t kind) {
  if (!group.has(record)) return;
  const int32_t fx = group.x(record), fy = group.y(record);
  const Vector2 p = tablePoint(fx, fy);

  if (kind == kKindPocket) {
    if (record >= kPocketSlots) return;
    if (PhysicalObject* old = pockets[record]) {
      unlink(pocketHead, old);
      delete old;
    }
    PhysicalObject* o = new (kSource, 110, nullptr) PhysicalObject(this, PhysicalObject::kPocket);
    o->position = p;
    o->code = o->identity = PhysicalObject::kPocketId;
    o->pointA = tablePoint(fx + group.value(record, 5), fy + group.value(record, 6));
    pockets[record] = o;
    return;
  }

  if (kind == kKindCushion) {
    if (!previousCushionPoint.equals(Vector2(0, 0))) {
      const bool secondRun = cushionPointCount % 4 == 1;
      int32_t& count = secondRun ? secondLineCount : lineCount;
      const int32_t room = secondRun ? kLineSlots - kFirstRunSlots : kFirstRunSlots;
      if (count < room) {
        PhysicalObject* line = new (kSource, 130, nullptr) PhysicalObject(this, PhysicalObject::kLine);
        line->code = line->identity = PhysicalObject::kLineId;
        line->pointA = previousCushionPoint;
        line->pointB = p;
        p.subtract(line->direction, previousCushionPoint);
        line->direction.normalisePrecise();
        line->normal = line->direction;
        line->normal.rotate90();
        lines[(secondRun ? kFirstRunSlots : 0) + count] = line;
        count += 1;
      } else {
        debugTrace("table: no room for cushion line %d\n", cushionPointCount);
      }
    }
    cushionPointCount += 1;
    if (!(group.value(record, 4) & kJawFlag)) {
      if (jawCount < kJawSlots) {
        PhysicalObject* jaw = new (kSource, 150, nullptr) PhysicalObject(this, PhysicalObject::kJaw);
        jaw->position = p;
        jaws[jawCount++] = jaw;
      } else {
        debugTrace("table: no room for jaw point %d\n", record);
      }
    }
    previousCushionPoint = p;
    return;
  }

  if (kind < 0 || kind >= kBallSlots) return;
  removeBall(kind);
  PhysicalObject* b = new (kSource, 170, nullptr) PhysicalObject(this, PhysicalObject::kBall);
  b->position = p;
  b->pointA = p;
  b->m_screenX = fx;
  b->m_screenY = fy;
  b->kind = 1;
  b->code = b->identity = kind;
  b->pocketed = 1;
  b->hidden = 0;
  b->offTable = 0;
  b->speed = 0;
  b->state = 3;
  if (b->shadow) b->shadow->identity = kind;
  // The constructor pushed it at the head; the ball list keeps creation order.
  b->next = nullptr;
  PhysicalObject** tail = &ballList;
  while (*tail && *tail != b) tail = &(*tail)->next;
  *tail = b;
  ballHead = ballList;
  relinkShadows();
  balls[kind] = b;
  if (kind == 0) cueBall = b;
  if (kind == 8) ball8 = b;
}

void PhysicsWorld::deleteCushionAndPockets() {
  deleteSlots(pockets);
  deleteSlots(lines);
  deleteSlots(jaws);
  pocketHead = lineHead = jawHead = nullptr;
  lineCount = secondLineCount = jawCount = cushionPointCount = 0;
  previousCushionPoint.set(0, 0);
}

void PhysicsWorld::createScreenObjects() {
  delete cueStick;
  delete handCursor;
  cueStick = new (kSource, 210, nullptr) PhysicalObject(this, PhysicalObject::kScreen);
  cueStick->code = cueStick->identity = PhysicalObject::kCueStick;
  handCursor = new (kSource, 213, nullptr) PhysicalObject(this, PhysicalObject::kScreen);
  handCursor->code = handCursor->identity = PhysicalObject::kHandCursor;
  handCursor->m_screenX = 86;
  handCursor->m_screenY = 202;
  handCursor->kind = 2;
}

void PhysicsWorld::freeTableObjects() {
  deleteCushionAndPockets();
  for (int32_t i = 0; i < kBallSlots; ++i) removeBall(i);
  ballList = ballHead = shadowHead = nullptr;
  cueBall = ball8 = nullptr;
  shot.handObject = nullptr;
  shot.clearEvents();
  delete cueStick;
  delete handCursor;
  cueStick = handCursor = nullptr;
  movingMask = 0;
}

void PhysicsWorld::placeBalls(const TableLayoutGroup& group) {
  for (PhysicalObject* b = ballList; b; b = b->next) {
    b->pocketed = 1;
    b->hidden = 1;
    b->offTable = 0;
  }
  for (int32_t n = 0; n < kBallSlots; ++n) {
    PhysicalObject* b = balls[n];
    if (!b || !group.has(n)) continue;
    const int32_t x2 = 2 * group.x(n), y2 = 2 * group.y(n);
    if (x2 + kRadius2 < kAreaLeft2 || x2 - kRadius2 > kAreaRight2 || y2 + kRadius2 < kAreaTop2 ||
        y2 - kRadius2 > kAreaBottom2)
      continue;
    b->position = b->pointA = tablePoint(group.x(n), group.y(n));
    // A ball potted in an earlier frame is in no pocket now: a stale pocket
    // would hide it from the off-table check.
    b->pocket = nullptr;
    b->shown = 1;
    b->hidden = 0;
    b->pocketed = 0;
    b->offTable = 0;
    b->speed = 0;
    b->state = 3;
    b->frame = 0;
    b->update(*this);
    if (b->shadow) b->shadow->copySetting(*b);
  }
}

void PhysicsWorld::jitterRack() {
  for (PhysicalObject* b = ballList; b && b->identity < kBallSlots; b = b->next) {
    b->offsetPosition(0, q14Mul(163, wrapMul(draw(40), kQ14One)));
    b->offsetPosition(q14Mul(163, wrapMul(draw(40), kQ14One)), 0);
  }
}

void PhysicsWorld::settleRack() {
  for (int32_t pass = 0; pass < kSettlePasses; ++pass) {
    bool moved = false;
    for (PhysicalObject* a = ballList; a && a->identity < kBallSlots; a = a->next)
      for (PhysicalObject* b = a->next; b && b->identity < kBallSlots; b = b->next)
        if (!a->pocketed && !b->pocketed && !overlapping(a->pointA, b->pointA)) moved |= setApart(*a, *b);
    if (!moved) break;
  }
}

void PhysicsWorld::setBallRollFrames() {
  for (PhysicalObject* b = ballList; b && b->identity < kBallSlots; b = b->next) {
    const bool varied = b->identity > 8;
    b->frame = PhysicalObject::kRestFrame + (varied ? draw(3) : 0);
    if (b->animPlayer) b->animPlayer->setAnim(PhysicalObject::kRestFrame + (varied ? draw(3) : 0));
  }
}

void PhysicsWorld::resetBalls() {
  for (PhysicalObject* b = ballList; b; b = b->next) {
    b->pointA.set(0, 0);
    b->direction.set(0, 0);
    b->spin.set(0, 0);
    b->step.set(0, 0);
    b->speed = 0;
    b->hidden = 1;
    b->pocketed = 1;
    b->offTable = 0;
    b->state = 3;
    b->frame = 0;
    b->airTime = b->airPhase = 0;
    if (b->animPlayer) b->animPlayer->setAnim(0);
    b->update(*this);
  }
  copyBallsToShadows();
}

void PhysicsWorld::copyBallsToShadows() {
  relinkShadows();
  for (PhysicalObject* b = ballList; b; b = b->next)
    if (b->shadow) b->shadow->copySetting(*b);
}

void PhysicsWorld::relinkShadows() {
  PhysicalObject** tail = &shadowHead;
  for (PhysicalObject* b = ballList; b; b = b->next) {
    if (!b->shadow) continue;
    *tail = b->shadow;
    tail = &b->shadow->next;
  }
  *tail = nullptr;
}

bool PhysicsWorld::isInPocket(const PhysicalObject& ball, const PhysicalObject& pocket) {
  const int64_t dx = static_cast<int64_t>(pocket.position.x) - ball.position.x;
  const int64_t dy = static_cast<int64_t>(pocket.position.y) - ball.position.y;
  return ((dx * dx) >> 14) + ((dy * dy) >> 14) < kPocketRadiusSquared;
}

void PhysicsWorld::capturePocket(PhysicalObject& ball, PhysicalObject& pocket) {
  ball.entrySpeed = ball.speed;
  pocket.position.subtract(ball.direction, ball.position);
  ball.direction.scale(kCaptureGlide);
  ball.speed = ball.direction.normalisePrecise();
  ball.spin.set(0, 0);
  ball.pocket = &pocket;
  ball.pocketed = 1;
}
