// The strike: jump values, spin, side kick, power limits; the cushion-first
// question and aiming at a ball.
#include "TableFixture.h"

using pooltest::q;

namespace {

class Strike : public pooltest::TableWorld {
 protected:
  void SetUp() override {
    TableWorld::SetUp();
    clearBalls();
    put(0, 84.5, -240);
    cue = world().cueBall;
    shot().aim.set(0, 16384);
    shot().powerGauge = 17384;
  }
  ShotRecord& shot() { return world().shot; }
  PhysicalObject* cue = nullptr;
};

TEST_F(Strike, Table) {
  const Q14 full = 17384;
  struct Case {
    const char* name;
    uint8_t masse;
    Vector2 tip;
    Q14 gauge;
    int32_t maxPower;
    bool preview, cushionFirst;
    Q14 speed;
    int32_t airTime, airPhase;
    Vector2 spin;
    Q14 sideKick;
    uint8_t draw, jump, sideFlag;
  } cases[] = {
      {"full-power masse at the centre jumps", 1, {0, 0}, full, 100, false, false, q14Mul(full, 0x4b0000), 1000,
       333, {0, 0}, 0, 0, 1, 0},
      {"jump at 65 percent still counts from full", 1, {q(1.0), q(1.0)}, full, 65, false, false,
       q14Mul(full * 65 / 100, 0x4b0000), 1000, 333, {0, 0}, 0, 0, 1, 0},
      {"draw at +10 without masse", 0, {0, q(10.0)}, full, 100, false, false, q14Mul(full, 0x4b0000), 0, 0,
       {0, q14Mul(-0x340000, full)}, 0, 1, 0, 0},
      {"top spin below -6.0 counts as -6.0", 0, {0, q(-9.0)}, full, 100, false, false, q14Mul(full, 0x4b0000), 0,
       0, {0, q14Mul(q14Mul(9830, 0x340000), full)}, 0, 0, 0, 0},
      {"top spin at -6.0", 0, {0, q(-6.0)}, full, 100, false, false, q14Mul(full, 0x4b0000), 0, 0,
       {0, q14Mul(q14Mul(9830, 0x340000), full)}, 0, 0, 0, 0},
      {"side spin is power times sx", 0, {q(5.0), 0}, 10000, 100, false, false, q14Mul(10000, 0x4b0000), 0, 0,
       {0, 0}, q14Mul(10000, 8192), 0, 0, 0},
      {"a cushion first drops the draw", 0, {q(5.0), q(10.0)}, full, 100, false, true, q14Mul(full, 0x4b0000), 0, 0,
       {0, 0}, q14Mul(full, 8192), 1, 0, 0},
      {"preview strikes at half power", 0, {0, q(10.0)}, 3000, 100, true, false, q14Mul(8692, 0x4b0000), 0, 0,
       {0, q14Mul(-0x340000, 8692)}, 0, 1, 0, 0},
      {"a stored gauge above the maximum is struck as given", 0, {0, 0}, 17724, 100, false, false,
       q14Mul(17724, 0x4b0000), 0, 0, {0, 0}, 0, 0, 0, 0},
      {"masse curve: sy scaled by power, side turned off the aim", 1, {q(2.0), q(9.0)}, full, 100, false, false,
       q14Mul(full, 0x4b0000), 0, 0, {q14Mul(3276, 0x340000),
       q14Mul(static_cast<Q14>(int64_t{q14Div(q(-9.0), 0x28000)} * full / 16384), 0x340000)}, 0, 1, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shot().aim.set(0, 16384);
    shot().masse = c.masse;
    shot().englishPoint = c.tip;
    shot().powerGauge = c.gauge;
    shot().strikeRun[3] = 9;
    world().strikeCueBall(*cue, c.preview, c.maxPower, c.cushionFirst);
    EXPECT_EQ(cue->speed, c.speed);
    EXPECT_EQ(cue->direction.y, 16384);
    EXPECT_EQ(cue->airTime, c.airTime);
    EXPECT_EQ(cue->airPhase, c.airPhase);
    EXPECT_EQ(cue->spin.x, c.spin.x);
    EXPECT_EQ(cue->spin.y, c.spin.y);
    EXPECT_EQ(cue->sideKick, c.sideKick);
    EXPECT_EQ(shot().drawFlag, c.draw);
    EXPECT_EQ(shot().jumpShot, c.jump);
    EXPECT_EQ(shot().sideSpinFlag, c.sideFlag);
    EXPECT_EQ(shot().previewFlag, c.preview ? 1 : 0);
    EXPECT_EQ(shot().strikeRun[3], 0);
  }
}

TEST_F(Strike, CushionFirstAndAimAtBall) {
  put(1, 84.5, -100);
  world().copyBallsToShadows();
  struct Case {
    double ax, ay;
    bool cushion, reaches;
  } cases[] = {
      {0, 1, false, true},        // straight up the table onto ball 1
      {1, 0, true, false},        // across to the right rail
      {0.2, 1, true, false},      // past ball 1 into the top rail
      {0.03, 1, false, true},     // a thin cut
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ax);
    shot().aim.set(q(c.ax), q(c.ay));
    EXPECT_EQ(world().isFirstContactCushion(), c.cushion);
    EXPECT_EQ(cue->position.y, q(-240));  // the balls are not touched
    EXPECT_EQ(world().aimReachesBall(1), c.reaches);
  }
  EXPECT_EQ(recorder.contacts, 0);
}

TEST_F(Strike, ShadowFullSpeed) {
  world().copyBallsToShadows();
  PhysicalObject* s = cue->shadow;
  s->speed = 100;
  s->spin.set(5, 5);
  s->airTime = 40;
  world().setShadowFullSpeed();
  EXPECT_EQ(s->speed, 8192000);
  EXPECT_TRUE(s->spin.equals(Vector2(0, 0)));
  EXPECT_EQ(s->airTime, 0);
  s->speed = 0;
  world().setShadowFullSpeed();
  EXPECT_EQ(s->speed, 0);
}

TEST_F(Strike, PotsAreRecordedPastTwoHundredContacts) {
  ShotRecord& r = shot();
  r.clearEvents();
  PhysicalObject other(nullptr, PhysicalObject::kBall);
  PhysicalObject pocket(nullptr, PhysicalObject::kPocket);
  for (int i = 0; i < 300; ++i) r.recordEvent(i % 2 ? cue : &other, i % 2 ? &other : cue);
  EXPECT_EQ(r.eventCount, 200);
  r.recordEvent(cue, &pocket);
  r.recordEvent(cue, &pocket);  // the same pair twice is kept once
  r.recordEvent(&other, world().offTableDetector);
  EXPECT_EQ(r.eventCount, 202);
  EXPECT_EQ(r.events[200].second, &pocket);
}

}  // namespace
