// Shot input through the game object: pen aiming, the turning keys, the
// target list, the cue-tip point and the ball in hand.
#include <cmath>
#include <vector>

#include "tests/game/shot/ShotFixture.h"

namespace {

using namespace shottest;

double wrap(double d) {
  while (d > 180) d -= 360;
  while (d <= -180) d += 360;
  return d;
}

// The aim runs from the cue ball's point to the touched one, not cut to
// whole degrees: a touch on a ball's middle aims at that ball.
TEST_F(ShotTest, PenAimsFromTheCueBallAtTheTouchedPoint) {
  put(0, 85, -240);  // on screen at (152, 240)
  struct Case {
    int px, py;
    double degrees;  // the aim's angle; -1000: no aim
  } cases[] = {
      {152, 140, 90},     {202, 190, 45},     {182, 140, 73.3008}, {90, 220, 162.1240},
      {192, 299, -55.8637}, {200, 300, -1000}, {84, 100, -1000},    {152, 310, -1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.px << "," << c.py);
    shot().aim.set(q(0.6), q(0.8));
    game->pointerX = c.px;
    game->pointerY = c.py;
    const int32_t hit = aimAtStylus(*game);
    if (c.degrees == -1000) {
      EXPECT_EQ(hit, 0);
      EXPECT_EQ(shot().aim.x, q(0.6));
      continue;
    }
    EXPECT_EQ(hit, 1);
    EXPECT_NEAR(aimDegrees(shot().aim), c.degrees, 0.01);
    EXPECT_NEAR(std::hypot(shot().aim.x, shot().aim.y), 16384.0, 2.0);
    EXPECT_EQ(shot().chosenTarget, -1);
    EXPECT_EQ(shot().aimChanged, 1);
  }
  // Player 1 of a single match touches the left part of the screen.
  game->match.gameType = k_gameTypeSingleMatch;
  game->match.currentPlayer = 1;
  game->table.panelX = 6;
  game->pointerX = 30;
  game->pointerY = 140;
  EXPECT_EQ(aimAtStylus(*game), 1);
  EXPECT_NEAR(aimDegrees(shot().aim), 121.3822, 0.01);  // (-61, 100) from (91, 240)
}

// The first frame of a held key turns by 1.5 times the rest step (0.375
// degree), each frame after by 0.375 more, never more than 75.
TEST_F(ShotTest, HeldTurnKeyAccelerates) {
  put(0, 85, -240);
  shot().aim.set(0, q(1));
  double last = aimDegrees(shot().aim);
  for (int frame = 1; frame <= 250; ++frame) {
    holdKey(kKeyRight);
    ASSERT_TRUE(turnAimByKeys(*game));
    const double now = aimDegrees(shot().aim);
    ASSERT_NEAR(wrap(now - last), -std::min(0.375 * frame, 75.0), 0.09) << frame;
    ASSERT_EQ(shot().aimTurnSpeed, std::min(4096 * (frame + 1), 819200)) << frame;
    last = now;
  }
  // A frame without a turn key puts the step back to rest.
  releaseKeys();
  EXPECT_FALSE(turnAimByKeys(*game));
  EXPECT_EQ(shot().aimTurnSpeed, 4096);
  struct Fine {
    int key;
    double sign;
  } fine[] = {{kKeyFineRight, -1}, {kKeyFineLeft, 1}, {kKeyLeft, 3}};
  for (const Fine& f : fine) {
    releaseKeys();
    turnAimByKeys(*game);
    last = aimDegrees(shot().aim);
    for (int frame = 1; frame <= 3; ++frame) {
      holdKey(f.key);
      turnAimByKeys(*game);
      const double now = aimDegrees(shot().aim);
      EXPECT_NEAR(wrap(now - last), f.sign * 0.125 * frame, 0.09) << f.key << " " << frame;
      last = now;
    }
  }
}

TEST_F(ShotTest, LongTurningKeepsTheAimAtUnitLength) {
  put(0, 85, -240);
  shot().aim.set(q(0.6), q(0.8));
  for (int frame = 0; frame < 5000; ++frame) {
    if (frame % 7 == 0) releaseKeys();
    holdKey(frame % 3 ? kKeyFineLeft : kKeyRight);
    turnAimByKeys(*game);
    const double len = std::hypot(shot().aim.x, shot().aim.y) / 16384.0;
    ASSERT_NEAR(len, 1.0, 0.002) << frame;
  }
}

TEST_F(ShotTest, TargetListIsSortedByAngleAndSteppingWraps) {
  put(0, 85, -240);
  put(1, 85, -140);  // straight up: 0
  put(2, 135, -240);  // right: 90
  put(3, 35, -240);  // left: -90
  put(4, 85, -270);  // behind: -180
  put(5, 100, -100);
  ball(5)->pocketed = 1;  // pocketed balls are left out
  put(9, 100, -200);      // not in the player's target mask
  game->rules.playerTarget[0] = RuleState::kSolids;
  buildTargetBallList(*game);
  ASSERT_EQ(shot().targetCount, 4);
  const int order[4][2] = {{-180, 4}, {-90, 3}, {0, 1}, {90, 2}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(shot().targets[i].angle, order[i][0]) << i;
    EXPECT_EQ(shot().targets[i].ball, order[i][1]) << i;
  }
  EXPECT_EQ(shot().chosenTarget, -1);

  struct Step {
    int step;
    int ball;
  } steps[] = {{1, 1}, {1, 2}, {1, 4}, {-1, 2}, {-1, 1}, {-1, 3}, {-1, 4}, {-1, 2}};
  shot().aim.set(0, q(1));
  for (const Step& s : steps) {
    aimAtNextTargetBall(*game, s.step, false);
    EXPECT_EQ(shot().targets[shot().chosenTarget].ball, s.ball);
    Vector2 want;
    ball(s.ball)->position.subtract(want, ball(0)->position);
    EXPECT_TRUE(shot().aim.equals(want));
  }
  // Unchosen, stepping back from the aim goes to the entry before it.
  shot().aim.set(0, q(1));
  shot().chosenTarget = -1;
  aimAtNextTargetBall(*game, -1, false);
  EXPECT_EQ(shot().targets[shot().chosenTarget].ball, 3);
  // An empty list does nothing.
  shot().targetCount = 0;
  shot().aimChanged = 0;
  aimAtNextTargetBall(*game, 1, true);
  EXPECT_EQ(shot().aimChanged, 0);
}

TEST_F(ShotTest, NextTargetErrorStaysWithinTwelveDegrees) {
  put(0, 85, -240);
  put(1, 120, -150);
  game->rules.playerTarget[0] = RuleState::kSolids;
  const double exact = std::atan2(90.0, 35.0) * 180.0 / M_PI;
  double least = 99, most = -99;
  for (int seed = 0; seed < 400; ++seed) {
    game->engine.random->setSeed(static_cast<uint32_t>(seed * 7919));
    buildTargetBallList(*game);
    aimAtNextTargetBall(*game, 1, true);
    const double d = wrap(aimDegrees(shot().aim) - exact);
    least = std::min(least, d);
    most = std::max(most, d);
    ASSERT_NEAR(std::hypot(shot().aim.x, shot().aim.y), 16384.0, 8.0);
  }
  // Within the turn and the sine table's step.
  EXPECT_GE(least, -12.25);
  EXPECT_LE(most, 12.25);
  EXPECT_LT(least, -9);
  EXPECT_GT(most, 9);
}

TEST_F(ShotTest, CueTipPointStaysWithinTenByTheCoarseLength) {
  shot().englishPoint.set(0, 0);
  moveEnglishPoint(*game, q(10), q(10));
  const Vector2 e = shot().englishPoint;
  EXPECT_EQ(e.x, e.y);
  EXPECT_NEAR(std::hypot(e.x, e.y) / 16384.0, 10.0, 0.002);
  EXPECT_EQ(shot().aimChanged, 1);

  // A point a little beyond 10.0 exactly, but at 10.0 by the vector's own
  // length, is left where it is: stored spin targets are such points.
  int found = 0;
  for (int32_t x = q(6); x < q(8) && found < 20; x += 37) {
    const double exactY = std::sqrt(10.003 * 10.003 - (x / 16384.0) * (x / 16384.0));
    const Vector2 p{x, static_cast<Q14>(exactY * 16384.0)};
    if (std::hypot(p.x, p.y) / 16384.0 <= 10.0003 || p.length() > q(10)) continue;
    shot().englishPoint = p;
    moveEnglishPoint(*game, 0, 0);
    EXPECT_TRUE(shot().englishPoint.equals(p)) << p.x << "," << p.y;
    ++found;
  }
  EXPECT_GT(found, 0);
}

TEST_F(ShotTest, BallInHandStaysInItsArea) {
  put(0, 85, -240);
  shot().handObject = ball(0);
  struct Case {
    int ruleSet;
    bool restricted;
    int key;
    double speed, x, y;  // start
    double wantX, wantY;
  } cases[] = {
      {k_ruleSetUK, true, kKeyRight, 3, 118, -205, 122, -205},
      {k_ruleSetUK, true, kKeyLeft, 3, 52, -205, 48, -205},
      {k_ruleSetUK, true, kKeyUp, 1, 85, -203, 85, -202},
      {k_ruleSetUK, true, kKeyDown, 3, 85, -236, 85, -238},
      {k_ruleSetEightBall, true, kKeyRight, 3, 146, -210, 147.5, -210},
      {k_ruleSetEightBall, true, kKeyLeft, 3, 23, -210, 21.5, -210},
      {k_ruleSetEightBall, true, kKeyUp, 3, 85, -203, 85, -202},
      {k_ruleSetEightBall, true, kKeyDown, 3, 85, -275, 85, -277.5},
      {k_ruleSetNineBall, false, kKeyUp, 3, 85, -26, 85, -24.5},
      {k_ruleSetNineBall, false, kKeyDown, 3, 85, -276, 85, -277.5},
      {k_ruleSetUK, false, kKeyRight, 3, 145, -100, 147.5, -100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ruleSet << " " << c.key << " " << c.x << "," << c.y);
    game->match.ruleSet = c.ruleSet;
    game->turn.ballInHandInD = c.restricted;
    shot().handSpeed = q(c.speed);
    put(0, c.x, c.y);
    releaseKeys();
    EXPECT_EQ(moveCueBallInHand(*game), 0);
    holdKey(c.key);
    EXPECT_EQ(moveCueBallInHand(*game), 1);
    const Vector2 p = ball(0)->position;
    if (c.key == kKeyUp || c.key == kKeyDown) {
      EXPECT_EQ(p.y, q(c.wantY));
    } else {
      EXPECT_EQ(p.x, q(c.wantX));
    }
    if (c.ruleSet == k_ruleSetUK && c.restricted) {
      EXPECT_LE(std::hypot(p.x / 16384.0 - 85, p.y / 16384.0 + 201), 38.001);
    }
  }

  // However the keys go, the UK ball in hand before the break stays in the D.
  game->match.ruleSet = k_ruleSetUK;
  game->turn.ballInHandInD = 1;
  shot().handSpeed = q(3);
  put(0, 85, -220);
  const int keys[4] = {kKeyRight, kKeyLeft, kKeyUp, kKeyDown};
  for (int frame = 0; frame < 600; ++frame) {
    releaseKeys();
    holdKey(keys[(frame / 9 + frame % 3) % 4]);
    moveCueBallInHand(*game);
    const Vector2 p = ball(0)->position;
    ASSERT_LE(std::hypot(p.x / 16384.0 - 85, p.y / 16384.0 + 201), 38.001) << frame;
    ASSERT_LE(p.y, q(-202)) << frame;
  }
}

TEST_F(ShotTest, ShotDefaultsAndTheLastGroupBall) {
  put(0, 85, -240);
  put(3, 60, -100);
  put(12, 70, -100);
  put(14, 80, -100);
  game->rules.playerGroup[0] = RuleState::kSolids;
  shot().englishPoint.set(q(3), q(4));
  shot().masse = 1;
  shot().cueDistance = 0;
  shot().eventCount = 5;
  world().breakPlayed = 1;
  shot().aim.set(q(0.6), q(0.8));
  resetShot(*game);
  EXPECT_EQ(shot().eventCount, 0);
  EXPECT_EQ(shot().cueDistance, 0x20000);
  EXPECT_TRUE(shot().englishPoint.equals({0, 0}));
  EXPECT_EQ(shot().masse, 0);
  EXPECT_EQ(shot().aim.x, q(0.6));  // the aim stays after the break
  EXPECT_EQ(game->rules.lowestBall, 3);
  game->rules.playerGroup[0] = RuleState::kStripes;
  resetShot(*game);
  EXPECT_EQ(game->rules.lowestBall, 0);  // two left
  world().breakPlayed = 0;
  resetShot(*game);
  EXPECT_TRUE(shot().aim.equals({0, q(1)}));
}

}  // namespace
