#include "game/Korvane/PhysicalObject/PhysicalObject.h"

#include "game/Korvane/PhysicalObject/PhysicsWorld.h"
#include "zul/memory/TrackedNew.h"

namespace {

constexpr const char* kSource = "PhysicalObject";
constexpr Q14 kRadius = 0x12000;          // 4.5
constexpr Q14 kFriction = 0x30000;        // 12.0
constexpr Q14 kSpinWear = 0x240000;       // 144.0
constexpr Q14 kAirDivisor = 49152;        // 3.0
constexpr Q14 kFastDrop = 240 << 14;      // entry speed of drop kind 3
constexpr Q14 kMediumDrop = 90 << 14;     // entry speed of drop kind 1
constexpr Q14 kLandLeft = 17 << 14, kLandRight = 152 << 14, kLandTop = 20 << 14, kLandBottom = 282 << 14;
constexpr int64_t kJumpOverEight = 0x144000;  // 81.0: centres within 9.0
constexpr int32_t kJumpOverEightId = 4;

void push(PhysicalObject*& head, PhysicalObject* o) {
  o->next = head;
  head = o;
}

// Squared distance in Q14 with 64-bit sums.
int64_t distanceSquared(const Vector2& a, const Vector2& b) {
  const int64_t dx = static_cast<int64_t>(b.x) - a.x;
  const int64_t dy = static_cast<int64_t>(b.y) - a.y;
  return ((dx * dx) >> 14) + ((dy * dy) >> 14);
}

}  // namespace

Q14 sliceOf(int32_t dt) {
  return static_cast<Q14>(static_cast<int64_t>(static_cast<float>(dt) * 16384.0f) >> 10);
}

PhysicalObject::PhysicalObject(PhysicsWorld* world, uint32_t t) {
  reset();
  // Every vector starts at zero, whatever the type.
  direction = step = spin = pointA = pointB = normal = Vector2(0, 0);
  offTable = 0;
  type = t;
  state = 3;
  switch (t) {
    case kBall:
      if (world) push(world->ballHead, this);
      shadow = new (kSource, 60, nullptr) PhysicalObject(*this);
      if (shadow && world) push(world->shadowHead, shadow);
      break;
    case kPocket:
      if (world) push(world->pocketHead, this);
      break;
    case kLine:
      if (world) push(world->lineHead, this);
      break;
    case kJaw:
      if (world) push(world->jawHead, this);
      break;
    case kOffTable:
      if (world) push(world->detectorHead, this);
      break;
    default:
      break;
  }
  identity = code;
}

PhysicalObject::PhysicalObject(const PhysicalObject& o) {
  reset();
  direction = step = spin = pointA = pointB = normal = Vector2(0, 0);
  offTable = 0;
  frame = o.frame;
  kind = o.kind;
  m_screenX = o.m_screenX;
  m_screenY = o.m_screenY;
  link = o.link;
  hidden = o.hidden;
  state = o.state;
  type = o.type;
  position = o.position;
  pocketed = o.pocketed;
  airTime = o.airTime;
  airPhase = o.airPhase;
  sideKick = o.sideKick;
  pocket = o.pocket;
  dropping = o.dropping;
  speed = o.speed;
  const Vector2 zero(0, 0);
  if (!o.direction.equals(zero)) direction = o.direction;
  if (!o.step.equals(zero)) step = o.step;
  if (!o.spin.equals(zero)) spin = o.spin;
  if (!o.pointA.equals(zero)) pointA = o.pointA;
  if (!o.pointB.equals(zero)) pointB = o.pointB;
  if (!o.normal.equals(zero)) normal = o.normal;
}

PhysicalObject* PhysicalObject::clone() const {
  PhysicalObject* c = new (kSource, 99, nullptr) PhysicalObject(*this);
  if (c) c->assignFrom(*this);
  return c;
}

void PhysicalObject::assignFrom(const PhysicalObject& o) {
  if (this == &o) return;
  type = o.type;
  next = o.next;
  position = o.position;
  frame = o.frame;
  kind = o.kind;
  m_screenX = o.m_screenX;
  m_screenY = o.m_screenY;
  code = o.code;
  direction = o.direction;
  speed = o.speed;
  step = o.step;
  spin = o.spin;
  sideKick = o.sideKick;
  airTime = o.airTime;
  airPhase = o.airPhase;
  pocket = o.pocket;
  pointA = o.pointA;
  pointB = o.pointB;
  normal = o.normal;
  entrySpeed = o.entrySpeed;
  identity = o.identity;
  link = o.link;
  state = o.state;
  shown = o.shown;
  pocketed = o.pocketed;
  advanced = o.advanced;
  dropping = o.dropping;
  airborneLook = o.airborneLook;
  hidden = o.hidden;
  offTable = o.offTable;
  if (o.animPlayer) {
    if (!animPlayer) animPlayer = o.animPlayer->makeSibling();
    if (animPlayer) animPlayer->copyStateFrom(*o.animPlayer);
  } else {
    delete animPlayer;
    animPlayer = nullptr;
  }
  if (o.shadow && shadow) {
    shadow->assignFrom(*o.shadow);
  } else {
    delete shadow;
    shadow = o.shadow ? o.shadow->clone() : nullptr;
  }
}

PhysicalObject::~PhysicalObject() {
  delete shadow;
  shadow = nullptr;
  delete animPlayer;
  animPlayer = nullptr;
}

void PhysicalObject::reset() {
  type = 0;
  next = nullptr;
  shadow = nullptr;
  animPlayer = nullptr;
  position.set(0, 0);
  frame = kind = 0;
  m_screenX = m_screenY = 0;
  code = 0;
  speed = 0;
  sideKick = airTime = airPhase = 0;
  pocket = nullptr;
  shown = pocketed = advanced = dropping = airborneLook = 0;
  entrySpeed = identity = link = 0;
  hidden = 0;
  state = 0;
}

void PhysicalObject::init() {
  // The owned members go with their pointers.
  delete shadow;
  delete animPlayer;
  next = nullptr;
  shadow = nullptr;
  animPlayer = nullptr;
  position.set(0, 0);
  speed = sideKick = airTime = airPhase = 0;
  pocket = nullptr;
  entrySpeed = identity = link = 0;
  advanced = airborneLook = hidden = 0;
  state = 3;
}

void PhysicalObject::copySetting(const PhysicalObject& s) {
  frame = s.frame;
  kind = s.kind;
  m_screenX = s.m_screenX;
  m_screenY = s.m_screenY;
  code = s.code;
  shown = s.shown;
  identity = s.identity;
  if (s.animPlayer) {
    if (!animPlayer) animPlayer = s.animPlayer->makeSibling();
    if (animPlayer) animPlayer->copyStateFrom(*s.animPlayer);
  }
  link = s.link;
  hidden = s.hidden;
  state = s.state;
  dropping = s.dropping;
  type = s.type;
  position = s.position;
  if (s.type == kBall) {
    speed = s.speed;
    direction = s.direction;
    pocketed = s.pocketed;
    airTime = s.airTime;
    airPhase = s.airPhase;
    sideKick = s.sideKick;
    pocket = s.pocket;
    step = s.step;
    spin = s.spin;
  }
}

void PhysicalObject::offsetPosition(Q14 dx, Q14 dy) {
  position.x = wrapAdd(position.x, wrapMul(2, dx));
  position.y = wrapAdd(position.y, wrapMul(2, dy));
}

bool PhysicalObject::anyObjectMoving(const PhysicalObject* list) {
  for (const PhysicalObject* o = list; o; o = o->next)
    if (o->isMoving()) return true;
  return false;
}

void PhysicalObject::unlinkObjectList(PhysicalObject* list) {
  while (list) {
    PhysicalObject* n = list->next;
    list->next = nullptr;
    list = n;
  }
}

void PhysicalObject::toScreen(const PhysicsWorld& world, const Vector2& p, int32_t& sx, int32_t& sy) {
  sx = wrapAdd(p.x >> 14, world.originX);
  sy = wrapSub(world.originY, p.y >> 14);
}

// ---- motion

void PhysicalObject::land(PhysicsWorld& world) {
  airTime = airPhase = 0;
  pocket = nullptr;
  for (PhysicalObject* p = world.pocketHead; p; p = p->next) {
    if (!PhysicsWorld::isInPocket(*this, *p)) continue;
    world.hook().onContact(this, p);
    PhysicsWorld::capturePocket(*this, *p);
    pocketed = 1;
    return;
  }
  const int64_t x = position.x, y = -static_cast<int64_t>(position.y);
  if (x - kRadius <= kLandLeft || x + kRadius >= kLandRight || y - kRadius <= kLandTop ||
      y + kRadius >= kLandBottom) {
    speed = 0;
    world.hook().onContact(this, world.offTableDetector);
    pocketed = 1;
    return;
  }
  world.hook().onContact(this, world.landingMarker);
  speed >>= 1;
  world.landOnBalls(*this);
}

void PhysicalObject::prepareStep(PhysicsWorld& world, int32_t dt) {
  const Q14 slice = sliceOf(dt);
  if (airTime == 0) {
    direction.scaled(step, speed);
    step.scale(slice);
    return;
  }
  if (airTime <= dt) {
    // Down on the cloth it rolls: the same step the advance to a contact
    // takes, so a contact found in this slice is where the ball meets it.
    land(world);
    direction.scaled(step, speed);
    step.scale(slice);
    return;
  }
  airTime -= dt;
  direction.scaled(step, speed);
  step.divided(step, kAirDivisor);
  step.scale(slice);
}

void PhysicalObject::integrate(int32_t dt) {
  const Q14 slice = sliceOf(dt);
  position.addInPlace(step);
  if (speed != 0) {
    speed = wrapSub(speed, q14Mul(kFriction, slice));
    if (speed < kQ14One) {
      speed = 0;
      step.set(0, 0);
    }
  }
  if (spin.x == 0 && spin.y == 0) return;
  const Q14 len = spin.length();
  if (len == 0) {
    spin.set(0, 0);
  } else {
    const Q14 d = q14Mul(kSpinWear, slice);
    if (d > len) {
      spin.set(0, 0);
    } else {
      Vector2 u;
      spin.divided(u, len);
      u.scale(d);
      spin.subtractInPlace(u);
    }
  }
  Vector2 v, s;
  direction.scaled(v, speed);
  spin.scaled(s, slice);
  v.addInPlace(s);
  // The precise length keeps the direction a unit vector to the last bit.
  speed = v.normalisePrecise();
  direction = v;
}

// ---- looks

void PhysicalObject::update(PhysicsWorld& world) {
  if (type == kBall)
    updateBall(world);
  else if (type == kScreen && identity == kHandCursor)
    updateHandCursor(world);
  else if (type == kScreen)
    updateCueStick(world);
}

void PhysicalObject::updateBall(PhysicsWorld& world) {
  if (airTime == 0 || this != world.cueBall) {
    if (pocketed && !hidden) {
      updatePocketDrop(world);
    } else if (isMoving()) {
      if (frame != 0 && animPlayer) animPlayer->setAnim(0);
      frame = 0;
    } else if (frame != 0) {
      if (this == world.cueBall) frame = kRestFrame;
    } else if (identity <= 8) {
      frame = kRestFrame;
      if (animPlayer) animPlayer->setAnim(kRestFrame);
    } else {
      frame = kRestFrame + world.draw(3);
      if (animPlayer) animPlayer->setAnim(kRestFrame + world.draw(3));
    }
  } else {
    airborneLook = 1;
    if (kind == 1) kind = 2;
    frame = (airTime > 2 * static_cast<int64_t>(airPhase) || airTime <= airPhase) ? 6 : 7;
    if (animPlayer) animPlayer->setAnim(frame);
    PhysicalObject* eight = world.ball8;
    if (eight && !eight->pocketed && !pocketed && world.hook().isJumpOverEightWatched() &&
        distanceSquared(position, eight->position) < kJumpOverEight)
      world.hook().unlockAchievement(kJumpOverEightId);
  }
  toScreen(world, position, m_screenX, m_screenY);
  if (animPlayer) animPlayer->setPosition(m_screenX, m_screenY);
}

void PhysicalObject::updatePocketDrop(PhysicsWorld& world) {
  if (world.skipping) {
    hidden = 1;
    dropping = 0;
    return;
  }
  if (frame < 1 || frame > 3) {
    if (pocket && !isAtPocketCentre()) {
      position.x = wrapAdd(position.x, wrapSub(pocket->position.x, position.x) >> 1);
      position.y = wrapAdd(position.y, wrapSub(pocket->position.y, position.y) >> 1);
      return;
    }
    frame = entrySpeed > kFastDrop ? 3 : entrySpeed > kMediumDrop ? 1 : 2;
    if (animPlayer) animPlayer->setAnim(frame);
    return;
  }
  // Without a look there is no animation to wait for.
  if (!hidden && (!animPlayer || animPlayer->isAnimOver())) {
    hidden = 1;
    shown = 0;
  }
}

bool PhysicalObject::isAtPocketCentre() const {
  if (!pocket) return true;
  return distanceSquared(position, pocket->position) < q14Mul(0xE000, 0xE000);
}

void PhysicalObject::updateHandCursor(PhysicsWorld& world) {
  PhysicalObject* ball = world.shot.handObject;
  if (!ball) return;
  int32_t tx, ty;
  if (frame == 0) {
    toScreen(world, ball->position, tx, ty);
    const int32_t sx = (tx - m_screenX) / 3, sy = (ty - m_screenY) / 3;
    if (sx == 0 && sy == 0) {
      m_screenX = tx;
      m_screenY = ty;
      frame = 1;
    } else {
      m_screenX += sx;
      m_screenY += sy;
    }
    return;
  }
  if (frame != 1) return;
  if (world.handPlaced) {
    toScreen(world, ball->position, m_screenX, m_screenY);
    return;
  }
  toScreen(world, ball->pointA, tx, ty);
  const int32_t sx = (tx - m_screenX) / 3, sy = (ty - m_screenY) / 3;
  if (sx == 0 && sy == 0) {
    ball->position = ball->pointA;
    world.handPlaced = 1;
  } else {
    ball->position.x = wrapAdd(ball->position.x, wrapMul(sx, kQ14One));
    ball->position.y = wrapSub(ball->position.y, wrapMul(sy, kQ14One));
  }
  toScreen(world, ball->position, m_screenX, m_screenY);
}

void PhysicalObject::updateCueStick(PhysicsWorld& world) {
  ShotRecord& shot = world.shot;
  Q14& d = shot.cueDistance;
  constexpr Q14 kMin = 0x12000;
  switch (frame) {
    case 3: d = wrapAdd(d, 32768); break;
    case 4:
      d = wrapSub(d, world.fastPullBack ? 0x1e0000 : 0x48000);
      if (d < kMin) d = kMin;
      break;
    case 5: d = wrapAdd(q14Mul(shot.powerGauge, 0x50000), 0x20000); break;
    case 8:
      d = wrapSub(d, 0x10000);
      if (d < kMin) d = kMin;
      break;
    case 9: d = wrapAdd(d, 0x10000); break;
    case 10:
      shot.strokeTimer[0] = wrapSub(shot.strokeTimer[0], world.frameMs);
      if (!(shot.strokeTimer[0] > 0 && shot.strokeTimer[1] > 0)) {
        shot.strokeTimer[1] = 0;
        shot.strokeRequest = 0;
        frame = 11;
      }
      return;
    case 11: return;
    default: break;
  }
  if (!world.cueBall) return;
  Vector2 a = shot.aim;
  a.normalise();
  a.scale(wrapNeg(d));
  a.addInPlace(world.cueBall->position);
  toScreen(world, a, m_screenX, m_screenY);
}
