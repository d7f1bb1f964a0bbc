// Motion, landing, looks and copies of single physical objects.
#include <gtest/gtest.h>

#include "PoolTestUtil.h"

using pooltest::q;
using pooltest::RecordingLook;

namespace {

constexpr int32_t kFrame = 50;  // time units per frame

struct MotionCase {
  const char* name;
  Q14 speed;
  Vector2 direction;
  Vector2 spin;
  Q14 wantSpeed;
  Vector2 wantDirection;
  Vector2 wantSpin;
};

TEST(PhysicalObjectMotion, OneFrameOfFrictionAndSpin) {
  const MotionCase cases[] = {
      // 1.5 loses 0.5859375 to friction and falls below 1.0: it stops.
      {"slow ball stops", q(1.5), {16384, 0}, {0, 0}, 0, {16384, 0}, {0, 0}},
      {"friction per frame", q(100.0), {0, -16384}, {0, 0}, q(100.0) - 9600, {0, -16384}, {0, 0}},
      // Spin 100.0 wears by 144.0 x 50/1024 = 115200 raw, then drives 1523200 x 800 >> 14.
      {"spin starts a resting ball", 0, {0, 0}, {q(100.0), 0}, 74375, {16384, 0}, {q(100.0) - 115200, 0}},
      {"short spin vanishes", 0, {0, 0}, {50000, 0}, 0, {0, 0}, {0, 0}},
      {"spin exactly the wear", 0, {0, 0}, {0, 115200}, 0, {0, 0}, {0, 0}},
  };
  for (const MotionCase& c : cases) {
    SCOPED_TRACE(c.name);
    pooltest::World w;
    PhysicalObject b(nullptr, PhysicalObject::kBall);
    b.speed = c.speed;
    b.direction = c.direction;
    b.spin = c.spin;
    b.prepareStep(w.world, kFrame);
    b.integrate(kFrame);
    EXPECT_EQ(b.speed, c.wantSpeed);
    EXPECT_EQ(b.direction.x, c.wantDirection.x);
    EXPECT_EQ(b.direction.y, c.wantDirection.y);
    EXPECT_EQ(b.spin.x, c.wantSpin.x);
    EXPECT_EQ(b.spin.y, c.wantSpin.y);
    if (c.wantSpeed == 0) {
      EXPECT_TRUE(b.step.equals(Vector2(0, 0)));
    }
  }
}

TEST(PhysicalObjectMotion, StepOnTheClothAndInTheAir) {
  pooltest::World w;
  PhysicalObject* b = w.ball(0, 85, -200);
  b->direction.set(16384, 0);
  b->speed = q(10.0);
  b->prepareStep(w.world, kFrame);
  EXPECT_EQ(b->step.x, 8000);  // 10.0 x 50/1024
  EXPECT_EQ(b->step.y, 0);
  b->airTime = 1000;
  b->prepareStep(w.world, kFrame);
  EXPECT_EQ(b->step.x, 2666);  // a third in the air
  EXPECT_EQ(b->airTime, 950);
  const Vector2 before = b->position;
  b->integrate(kFrame);
  EXPECT_EQ(b->position.x, before.x + 2666);
}

// Coming down inside a ball, the cue ball is put back along its flight to
// where it first touches a ball, and meets it there: the nearer ball when it
// lands short of one, the ball it flew over first when there are two.
TEST(PhysicalObjectMotion, JumpedCueBallComingDownOnABallMeetsIt) {
  const struct {
    const char* name;
    double ahead, behind;  // balls at the landing x + ahead and x - behind; 0 = none
    double metX;
  } cases[] = {
      {"short of a ball", 5.0, 0, 90.0},
      {"past a ball", 0, 3.0, 82.0},
      {"short of one, past another", 3.0, 6.0, 79.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    pooltest::World w;
    PhysicalObject* cue = w.ball(0, 85, -150);
    if (c.ahead != 0) w.ball(1, 85 + c.ahead, -150);
    if (c.behind != 0) w.ball(2, 85 - c.behind, -150);
    for (PhysicalObject* b = w.world.ballList; b; b = b->next) b->pocketed = 0;
    cue->direction.set(16384, 0);
    cue->speed = q(40.0);
    cue->airTime = 30;
    cue->prepareStep(w.world, kFrame);
    ASSERT_EQ(w.hooks.contacts.size(), 2u);
    EXPECT_EQ(w.hooks.contacts[0].second, w.world.landingMarker);
    PhysicalObject* met = w.hooks.contacts[1].second;
    EXPECT_EQ(met->position.x, q(c.metX));
    EXPECT_NEAR((met->position.x - cue->position.x) / 16384.0, 9.0, 0.001);
    // Head on and before the break: the met ball takes the landed speed.
    EXPECT_NEAR(met->speed, q(20.0), 4);
    EXPECT_LE(cue->speed, 4);
  }
}

struct LandingCase {
  const char* name;
  double x, y;
  int kind;  // 0 on the cloth, 1 pocket, 2 off the table
};

TEST(PhysicalObjectMotion, JumpedCueBallLands) {
  const LandingCase cases[] = {
      {"on the cloth", 85.0, -150.0, 0},
      {"within 8.0 of a pocket inside the rectangle", 67.9, -150.0, 1},
      {"8.0 from the pocket stays", 68.0, -150.0, 0},
      {"disc touching x = 17.0 leaves", 21.5, -150.0, 2},
      {"edge just above 17.0 stays", 21.5 + 1.0 / 16384, -150.0, 0},
      {"disc touching x = 152.0 leaves", 147.5, -150.0, 2},
      {"disc touching y = 20.0 leaves", 85.0, -24.5, 2},
      {"disc touching y = 282.0 leaves", 85.0, -277.5, 2},
      {"corner pocket beyond the rail", 14.0, -17.0, 1},
  };
  for (const LandingCase& c : cases) {
    SCOPED_TRACE(c.name);
    pooltest::World w;
    PhysicalObject* mid = w.pocket(60.0, -150.0);
    PhysicalObject* corner = w.pocket(14.0, -17.0);
    PhysicalObject* cue = w.ball(0, c.x, c.y);
    cue->direction.set(16384, 0);
    cue->speed = q(40.0);
    cue->airTime = 30;
    cue->airPhase = 10;
    cue->prepareStep(w.world, kFrame);
    EXPECT_EQ(cue->airTime, 0);
    EXPECT_EQ(cue->airPhase, 0);
    ASSERT_EQ(w.hooks.contacts.size(), 1u);
    EXPECT_EQ(w.hooks.contacts[0].first, cue);
    PhysicalObject* other = w.hooks.contacts[0].second;
    if (c.kind == 0) {
      EXPECT_EQ(other, w.world.landingMarker);
      EXPECT_EQ(cue->speed, q(20.0));
      EXPECT_EQ(cue->pocketed, 0);
    } else if (c.kind == 1) {
      EXPECT_TRUE(other == mid || other == corner);
      EXPECT_EQ(cue->pocket, other);
      EXPECT_EQ(cue->entrySpeed, q(40.0));
      EXPECT_EQ(cue->pocketed, 1);
    } else {
      EXPECT_EQ(other, w.world.offTableDetector);
      EXPECT_EQ(cue->speed, 0);
      EXPECT_EQ(cue->pocketed, 1);
    }
  }
}

TEST(PhysicalObjectLook, BallFramesAndAnimations) {
  pooltest::World w;
  w.random.setSeed(1234);
  PhysicalObject* cue = w.ball(0, 85, -240);
  PhysicalObject* three = w.ball(3, 60, -100);
  PhysicalObject* twelve = w.ball(12, 100, -100);
  for (PhysicalObject* b : {cue, three, twelve}) b->animPlayer = new RecordingLook();
  auto look = [](PhysicalObject* b) { return static_cast<RecordingLook*>(b->animPlayer); };

  // At rest with frame 0: 5 for balls 0-8, 5 + a draw 0..2 for 9-15 and a second draw for its look.
  Random expect = w.random;
  const int32_t frameDraw = expect.nextInt(0, 3), animDraw = expect.nextInt(0, 3);
  for (PhysicalObject* b : {cue, three, twelve}) b->update(w.world);
  EXPECT_EQ(cue->frame, 5);
  EXPECT_EQ(look(cue)->anim, 5);
  EXPECT_EQ(three->frame, 5);
  EXPECT_EQ(twelve->frame, 5 + frameDraw);
  EXPECT_EQ(look(twelve)->anim, 5 + animDraw);
  EXPECT_EQ(w.random.x, expect.x);

  // Rolling: frame and look 0; at rest again the cue ball goes back to 5, others keep their frame.
  for (PhysicalObject* b : {cue, twelve}) {
    b->frame = 7;
    b->speed = q(3.0);
    b->update(w.world);
    EXPECT_EQ(b->frame, 0);
    EXPECT_EQ(look(b)->anim, 0);
    b->speed = 0;
    b->frame = 7;
    b->update(w.world);
  }
  EXPECT_EQ(cue->frame, 5);
  EXPECT_EQ(twelve->frame, 7);

  // The screen point follows the origin; the look is moved there.
  w.world.originX = 67;
  w.world.originY = 10;
  three->update(w.world);
  EXPECT_EQ(three->m_screenX, 127);
  EXPECT_EQ(three->m_screenY, 110);
  EXPECT_EQ(look(three)->x, 127);
  EXPECT_EQ(look(three)->y, 110);
}

TEST(PhysicalObjectLook, AirborneFramesAndTheJumpOverTheEight) {
  struct Case {
    int32_t airTime, airPhase, frame;
  };
  const Case cases[] = {{250, 100, 6}, {201, 100, 6}, {200, 100, 7}, {150, 100, 7}, {101, 100, 7}, {100, 100, 6}};
  for (const Case& c : cases) {
    pooltest::World w;
    PhysicalObject* cue = w.ball(0, 85, -150);
    cue->kind = 1;
    cue->airTime = c.airTime;
    cue->airPhase = c.airPhase;
    cue->update(w.world);
    EXPECT_EQ(cue->frame, c.frame) << c.airTime << " " << c.airPhase;
    EXPECT_EQ(cue->kind, 2);
    EXPECT_EQ(cue->airborneLook, 1);
  }
  struct Near {
    double dx;
    bool watched;
    bool eightPocketed;
    bool unlocked;
  };
  const Near near[] = {{8.99, true, false, true}, {9.0, true, false, false}, {3.0, false, false, false},
                       {3.0, true, true, false}};
  for (const Near& n : near) {
    pooltest::World w;
    w.hooks.watched = n.watched;
    PhysicalObject* cue = w.ball(0, 85, -150);
    PhysicalObject* eight = w.ball(8, 85 + n.dx, -150);
    eight->pocketed = n.eightPocketed;
    cue->airTime = 100;
    cue->update(w.world);
    EXPECT_EQ(w.hooks.unlocked == std::vector<int32_t>{4}, n.unlocked) << n.dx;
  }
}

TEST(PhysicalObjectLook, PocketDropKindsAndTheGlideEnds) {
  struct Case {
    Q14 entry;
    int32_t kind;
  };
  const Case cases[] = {{q(240.0), 1}, {q(240.0) + 1, 3}, {q(90.0), 2}, {q(90.0) + 1, 1}, {0, 2}};
  for (const Case& c : cases) {
    pooltest::World w;
    PhysicalObject* pocket = w.pocket(14, -17);
    PhysicalObject* b = w.ball(5, 20.5, -23.5);
    auto* look = new RecordingLook();
    b->animPlayer = look;
    PhysicsWorld::capturePocket(*b, *pocket);
    b->entrySpeed = c.entry;
    int frames = 0;
    while (b->frame < 1 || b->frame > 3) {
      b->update(w.world);
      ASSERT_LT(++frames, 10) << "the glide must end";
    }
    EXPECT_TRUE(b->isAtPocketCentre());
    EXPECT_EQ(b->frame, c.kind);
    EXPECT_EQ(look->anim, c.kind);
    b->update(w.world);
    EXPECT_EQ(b->hidden, 0);
    look->over = true;
    b->shown = 1;
    b->update(w.world);
    EXPECT_EQ(b->hidden, 1);
    EXPECT_EQ(b->shown, 0);
  }
  // Without a look the drop ends at once; while skipping the ball is hidden straight away.
  pooltest::World w;
  PhysicalObject* pocket = w.pocket(14, -17);
  PhysicalObject* b = w.ball(5, 14, -17);
  PhysicsWorld::capturePocket(*b, *pocket);
  b->update(w.world);
  b->update(w.world);
  EXPECT_EQ(b->hidden, 1);
  PhysicalObject* c = w.ball(6, 20, -20);
  PhysicsWorld::capturePocket(*c, *pocket);
  c->setDropping(0x101);
  EXPECT_EQ(c->dropping, 1);
  w.world.skipping = 1;
  c->update(w.world);
  EXPECT_EQ(c->hidden, 1);
  EXPECT_EQ(c->dropping, 0);
}

TEST(PhysicalObjectLook, CuePullBackPerFrame) {
  struct Case {
    int32_t frame;
    Q14 before;
    uint8_t fast;
    Q14 after;
  };
  const Case cases[] = {
      {3, 0x20000, 0, 0x28000},  {4, 0x60000, 0, 0x18000}, {4, 0x60000, 1, 0x12000}, {4, 0x13000, 0, 0x12000},
      {5, 0x99999, 0, 0x70000},  // gauge 1.0: 20.0 + 8.0
      {6, 0x30000, 0, 0x30000},  {7, 0x30000, 0, 0x30000}, {8, 0x20000, 0, 0x12000}, {8, 0x30000, 0, 0x20000},
      {9, 0x20000, 0, 0x30000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frame);
    pooltest::World w;
    w.world.createScreenObjects();
    PhysicalObject* cue = w.ball(0, 85, -240);
    w.world.shot.aim.set(0, 3 * 16384);  // normalised before use
    w.world.shot.powerGauge = 16384;
    w.world.shot.cueDistance = c.before;
    w.world.fastPullBack = c.fast;
    w.world.originX = 67;
    PhysicalObject* stick = w.world.cueStick;
    stick->frame = c.frame;
    stick->update(w.world);
    EXPECT_EQ(w.world.shot.cueDistance, c.after);
    // The tip sits d behind the ball along the aim.
    EXPECT_EQ(stick->m_screenX, 85 + 67);
    EXPECT_EQ(stick->m_screenY, -((cue->position.y - c.after) >> 14));
  }
  // Frame 10 counts the stroke timer down and ends the stroke in 11.
  pooltest::World w;
  w.world.createScreenObjects();
  PhysicalObject* stick = w.world.cueStick;
  stick->frame = 10;
  stick->m_screenX = 7;
  w.world.frameMs = 33;
  w.world.shot.strokeTimer[0] = 60;
  w.world.shot.strokeTimer[1] = 5;
  w.world.shot.strokeRequest = 1;
  stick->update(w.world);
  EXPECT_EQ(stick->frame, 10);
  EXPECT_EQ(w.world.shot.strokeTimer[0], 27);
  stick->update(w.world);
  EXPECT_EQ(stick->frame, 11);
  EXPECT_EQ(w.world.shot.strokeTimer[1], 0);
  EXPECT_EQ(w.world.shot.strokeRequest, 0);
  EXPECT_EQ(stick->m_screenX, 7);
}

TEST(PhysicalObjectLook, HandCursorGlidesToTheBallAndBack) {
  pooltest::World w;
  w.world.createScreenObjects();
  PhysicalObject* cue = w.ball(0, 40, -250);
  cue->pointA.set(q(85), q(-240));
  w.world.shot.handObject = cue;
  w.world.originX = 67;
  PhysicalObject* hand = w.world.handCursor;
  ASSERT_EQ(hand->m_screenX, 86);
  ASSERT_EQ(hand->m_screenY, 202);
  int frames = 0;
  int32_t lastX = hand->m_screenX;
  while (hand->frame == 0) {
    hand->update(w.world);
    // Thirds truncated toward zero: never past the target.
    EXPECT_LE(hand->m_screenX, 40 + 67);
    EXPECT_GE(hand->m_screenX, lastX);
    lastX = hand->m_screenX;
    ASSERT_LT(++frames, 30);
  }
  EXPECT_EQ(hand->m_screenX, 107);
  EXPECT_EQ(hand->m_screenY, 250);
  frames = 0;
  while (!w.world.handPlaced) {
    hand->update(w.world);
    EXPECT_EQ(hand->m_screenX, (cue->position.x >> 14) + 67);
    ASSERT_LT(++frames, 30);
  }
  EXPECT_TRUE(cue->position.equals(cue->pointA));
  cue->position.set(q(50), q(-50));
  hand->update(w.world);
  EXPECT_EQ(hand->m_screenX, 117);
  EXPECT_EQ(hand->m_screenY, 50);
}

// Distinct values in every field, so a copy shows which fields it took.
void fillAll(PhysicalObject& o, ObjectLook* look) {
  o.type = PhysicalObject::kBall;
  o.animPlayer = look;
  o.position.set(11, 12);
  o.frame = 13;
  o.kind = 14;
  o.m_screenX = 15;
  o.m_screenY = 16;
  o.code = 17;
  o.direction.set(18, 19);
  o.speed = 20;
  o.step.set(21, 22);
  o.spin.set(23, 24);
  o.sideKick = 25;
  o.airTime = 26;
  o.airPhase = 27;
  o.pocket = &o;
  o.pointA.set(28, 29);
  o.pointB.set(30, 31);
  o.normal.set(32, 33);
  o.entrySpeed = 34;
  o.identity = 35;
  o.link = 36;
  o.state = 37;
  o.shown = o.pocketed = o.advanced = o.dropping = o.airborneLook = o.hidden = o.offTable = 1;
}

TEST(PhysicalObjectCopy, CopyConstructorAndCopySettingFieldLists) {
  PhysicalObject src(nullptr, PhysicalObject::kBall);
  auto* look = new RecordingLook();
  look->anim = 6;
  fillAll(src, look);

  const PhysicalObject c(src);
  EXPECT_EQ(c.shadow, nullptr);
  EXPECT_EQ(c.animPlayer, nullptr);
  EXPECT_EQ(c.identity, 0);
  EXPECT_EQ(c.code, 0);
  EXPECT_EQ(c.entrySpeed, 0);
  EXPECT_EQ(c.shown, 0);
  EXPECT_EQ(c.advanced, 0);
  EXPECT_EQ(c.airborneLook, 0);
  EXPECT_EQ(c.offTable, 0);
  EXPECT_EQ(c.next, nullptr);
  EXPECT_EQ(c.frame, 13);
  EXPECT_EQ(c.kind, 14);
  EXPECT_EQ(c.m_screenY, 16);
  EXPECT_EQ(c.link, 36);
  EXPECT_EQ(c.hidden, 1);
  EXPECT_EQ(c.state, 37);
  EXPECT_EQ(c.type, PhysicalObject::kBall);
  EXPECT_EQ(c.position.y, 12);
  EXPECT_EQ(c.pocketed, 1);
  EXPECT_EQ(c.airTime, 26);
  EXPECT_EQ(c.airPhase, 27);
  EXPECT_EQ(c.sideKick, 25);
  EXPECT_EQ(c.pocket, &src);
  EXPECT_EQ(c.dropping, 1);
  EXPECT_EQ(c.speed, 20);
  const std::pair<Vector2, Vector2> vectors[] = {{c.direction, src.direction}, {c.step, src.step},
                                                 {c.spin, src.spin},           {c.pointA, src.pointA},
                                                 {c.pointB, src.pointB},       {c.normal, src.normal}};
  for (const auto& [got, want] : vectors) EXPECT_TRUE(got.equals(want));

  PhysicalObject shadow(nullptr, PhysicalObject::kJaw);
  shadow.pointA.set(99, 99);
  shadow.entrySpeed = 98;
  shadow.copySetting(src);
  ASSERT_NE(shadow.animPlayer, nullptr);
  EXPECT_EQ(shadow.animPlayer->getAnim(), 6);
  EXPECT_EQ(shadow.identity, 35);
  EXPECT_EQ(shadow.code, 17);
  EXPECT_EQ(shadow.shown, 1);
  EXPECT_EQ(shadow.type, PhysicalObject::kBall);
  EXPECT_EQ(shadow.speed, 20);
  EXPECT_TRUE(shadow.spin.equals(src.spin));
  EXPECT_TRUE(shadow.step.equals(src.step));
  EXPECT_EQ(shadow.pocket, &src);
  // Not refreshed from the ball: its start and end points, entry speed and flags of the search.
  EXPECT_EQ(shadow.pointA.x, 99);
  EXPECT_EQ(shadow.entrySpeed, 98);
  EXPECT_EQ(shadow.advanced, 0);
  EXPECT_EQ(shadow.offTable, 0);

  // A pocket's copy leaves the ball-only fields.
  PhysicalObject pocketSrc(nullptr, PhysicalObject::kPocket);
  pocketSrc.speed = 5;
  PhysicalObject pocketCopy(nullptr, PhysicalObject::kJaw);
  pocketCopy.copySetting(pocketSrc);
  EXPECT_EQ(pocketCopy.speed, 0);
  src.pocket = nullptr;
}

TEST(PhysicalObjectCopy, ConstructionJoinsTheListOfItsType) {
  pooltest::World w;
  auto* a = new PhysicalObject(&w.world, PhysicalObject::kJaw);
  auto* b = new PhysicalObject(&w.world, PhysicalObject::kJaw);
  w.world.jaws[0] = a;
  w.world.jaws[1] = b;
  EXPECT_EQ(w.world.jawHead, b);
  EXPECT_EQ(b->next, a);
  EXPECT_EQ(a->state, 3);
  EXPECT_TRUE(a->spin.equals(Vector2(0, 0)));
  PhysicalObject* ball = w.ball(3, 1, 2);
  ASSERT_NE(ball->shadow, nullptr);
  EXPECT_EQ(w.world.shadowHead, ball->shadow);
  EXPECT_EQ(w.world.detectorHead, w.world.offTableDetector);
  EXPECT_FALSE(PhysicalObject::anyObjectMoving(w.world.ballList));
  ball->spin.set(0, 1);
  EXPECT_TRUE(PhysicalObject::anyObjectMoving(w.world.ballList));
  ball->offsetPosition(5, -7);
  EXPECT_EQ(ball->position.x, pooltest::q(1) + 10);
  EXPECT_EQ(ball->position.y, pooltest::q(2) - 14);
  PhysicalObject::unlinkObjectList(w.world.jawHead);
  EXPECT_EQ(b->next, nullptr);
}

}  // namespace
