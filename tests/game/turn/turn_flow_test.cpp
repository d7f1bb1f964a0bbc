// The match states one by one: entry and leave order of a human turn, a
// computer turn, ball in hand and the push-out; the prologue's menu keys,
// turn acceleration, the gauge, the skip question, the lag, the UK break
// choice, the end of a frame and the result lines.
#include <cmath>
#include <fstream>
#include <map>

#include "TurnFixture.h"
#include "game/Korvane/cGame/cGameDataIds.h"

namespace turntest {
namespace {

constexpr uint32_t kOutWin = 0x8, kOutLose = 0x10;
std::pair<int32_t, int32_t> xy(const Vector2& v) { return {v.x, v.y}; }

TEST_F(TurnTest, HumanTurnRunsEachStateInOrder) {
  game->sound.enabled = 1;
  startQuickMatch(k_ruleSetEightBall);
  EXPECT_EQ(takeLog(), (std::vector<Step>{{k_stateMatchInit, 'e'},
                                          {k_stateMatchInit, 'l'},
                                          {k_stateMatchNotices, 'e'},
                                          {k_stateMatchNotices, 'l'},
                                          {k_stateStartDispatch, 'e'},
                                          {k_stateStartDispatch, 'l'},
                                          {k_stateOpponentIntro, 'e'}}));
  EXPECT_EQ(game->match.currentPlayer, 1);
  EXPECT_TRUE(game->turn.textBoxOn);
  EXPECT_EQ(game->turn.textBoxText, k_textRivalGreeting0 + k_textRivalLineStride * 7);
  tap(kKeyFire);
  EXPECT_EQ(game->match.currentPlayer, 0);
  EXPECT_FALSE(game->turn.textBoxOn);
  tap(kKeyFire);
  EXPECT_EQ(game->states.gameState, k_stateShotPower);
  EXPECT_EQ(game->turn.leftSoftKeyText, k_textPowerBack);
  // A stroke at gauge 0: the miss sound, and the stroke is still made.
  frame(0);
  frame(0);
  game->world.shot.powerGauge = 0;
  tap(kKeyFire, 0);
  ASSERT_TRUE(runUntil(k_stateBallsMoving));
  EXPECT_EQ(game->sound.lastId, k_soundStickMiss);
  EXPECT_EQ(game->turn.leftSoftKeyText, k_textSkip);
  ASSERT_TRUE(runUntil(k_stateComputerBallInHand));
  EXPECT_EQ(takeLog(), (std::vector<Step>{{k_stateOpponentIntro, 'l'},
                                          {k_stateAim, 'e'},
                                          {k_stateAim, 'l'},
                                          {k_stateShotPower, 'e'},
                                          {k_stateShotPower, 'l'},
                                          {k_stateStroke, 'e'},
                                          {k_stateStroke, 'l'},
                                          {k_stateBallsMoving, 'e'},
                                          {k_stateBallsMoving, 'l'},
                                          {k_stateAfterShot, 'e'},
                                          {k_stateAfterShot, 'l'},
                                          {k_stateComputerBallInHand, 'e'}}));
  // Nothing was hit: a foul, and the computer has the ball in hand.
  EXPECT_EQ(game->match.currentPlayer, 1);
  EXPECT_TRUE(game->rules.ballInHand);
  ASSERT_TRUE(runUntil(k_stateBallsMoving));
  EXPECT_EQ(takeLog(), (std::vector<Step>{{k_stateComputerBallInHand, 'l'},
                                          {k_stateBallInHand, 'e'},
                                          {k_stateBallInHand, 'l'},
                                          {k_stateComputerShot, 'e'},
                                          {k_stateComputerShot, 'l'},
                                          {k_stateStroke, 'e'},
                                          {k_stateStroke, 'l'},
                                          {k_stateBallsMoving, 'e'}}));
  EXPECT_FALSE(game->rules.ballInHand);
  EXPECT_TRUE(game->rules.cueBallPlaced);
}

TEST_F(TurnTest, BallInHandReturnsTheCueBallAndTakesOnlyFreePlaces) {
  startQuickMatch(k_ruleSetEightBall);
  tap(kKeyFire);
  ASSERT_EQ(game->states.gameState, k_stateAim);
  // The cue ball went down a pocket; the next player has it in hand.
  PhysicalObject* cue = game->world.cueBall;
  cue->pocketed = cue->hidden = cue->dropping = 1;
  cue->pocket = game->world.pockets[0];
  cue->setPosition(0x38000, -0x44000);
  game->rules.ballInHand = 1;
  takeLog();
  chooseNextTurnState(*game);
  EXPECT_EQ(takeLog(), (std::vector<Step>{{k_stateAim, 'l'}, {k_stateHumanBallInHandStart, 'e'}}));
  frame();
  EXPECT_EQ(takeLog(), (std::vector<Step>{{k_stateHumanBallInHandStart, 'l'}, {k_stateBallInHand, 'e'}}));
  EXPECT_FALSE(cue->pocketed);
  EXPECT_FALSE(cue->hidden);
  EXPECT_FALSE(cue->dropping);
  EXPECT_EQ(cue->pocket, nullptr);
  EXPECT_EQ(cue->frame, PhysicalObject::kRestFrame);
  EXPECT_TRUE(isPlaceFree(*game, *cue));
  EXPECT_TRUE(game->turn.handShown);
  // The stylus asks for a place on top of ball 1: refused.
  const Vector2 before = cue->position;
  PhysicalObject* one = game->world.balls[1];
  game->turn.handX = one->position.x;
  game->turn.handY = one->position.y;
  frames(3);
  EXPECT_EQ(xy(cue->position), xy(before));
  // A free place is taken.
  game->turn.handX = 0x150000;
  game->turn.handY = -0x3C0000;
  frames(3);
  EXPECT_EQ(xy(cue->position), xy(Vector2(0x150000, -0x3C0000)));
  tap(kKeyFire);
  EXPECT_EQ(takeLog(), (std::vector<Step>{{k_stateBallInHand, 'l'}, {k_stateAim, 'e'}}));
  EXPECT_FALSE(game->rules.ballInHand);
  EXPECT_FALSE(game->rules.cueAwaitsPlacing);
}

TEST_F(TurnTest, ComputerPlacementNeverCyclesOnABlockedRow) {
  startQuickMatch(k_ruleSetEightBall);
  tap(kKeyFire);
  // Balls along the whole row of the computer's break spot.
  for (int b = 1; b <= 15; ++b) {
    PhysicalObject* ball = game->world.balls[b];
    ball->setPosition(0x56000 + (b - 1) * 0x24000, -0x328000);
    ball->pocketed = ball->hidden = 0;
  }
  // The profile's break position lies on that row too.
  int32_t* profile = game->opponent.profiles.loaded[std::clamp(game->match.playerProfile[1], 0, 10)];
  profile[9] = 0x158000;
  profile[10] = -0x328000;
  game->match.currentPlayer = 1;
  game->rules.ballInHand = 1;
  game->world.breakPlayed = 1;
  takeLog();
  chooseNextTurnState(*game);
  ASSERT_EQ(game->states.gameState, k_stateComputerBallInHand);
  // The blocked spot walks right to the edge and back to the break position,
  // twice; the second time the first free place from there is taken.
  game->world.cueBall->setPosition(0x158000, -0x328000);
  game->turn.aiSpot = game->world.cueBall->position;
  ASSERT_TRUE(runUntil(k_stateComputerShot, 400));
  EXPECT_TRUE(isPlaceFree(*game, *game->world.cueBall));
}

struct Frame {
  int32_t state, x, y;  // the cue ball in whole table units
  bool operator==(const Frame&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Frame& f) { return o << f.state << "(" << f.x << "," << f.y << ")"; }

// The computer's ball in hand once it has chosen its spot: a free spot is
// kept and the hand glides to the ball (510) before the shot (610), or the
// shot follows at once when the ball was placed already; a blocked spot
// walks right 3.0 a frame, and off the table area it starts again from the
// profile's break position.
TEST_F(TurnTest, ComputerBallInHandPlacementSequence) {
  constexpr int32_t bx = 90, by = -240;  // the profile's break position
  struct Case {
    const char* name;
    int32_t spotX, spotY;
    std::vector<std::pair<int32_t, int32_t>> blockers;
    bool placed;
    std::vector<Frame> frames;  // each change until the computer's shot
  } cases[] = {
      {"free", 100, -150, {}, false, {{k_stateBallInHand, 100, -150}, {k_stateComputerShot, 100, -150}}},
      {"free, placed already", 100, -150, {}, true, {{k_stateComputerShot, 100, -150}}},
      {"blocked",
       100,
       -150,
       {{100, -150}},
       false,
       {{k_stateComputerBallInHand, 103, -150},
        {k_stateComputerBallInHand, 106, -150},
        {k_stateComputerBallInHand, 109, -150},
        {k_stateBallInHand, 109, -150},
        {k_stateComputerShot, 109, -150}}},
      {"blocked at the edge",
       145,
       -150,
       {{145, -150}},
       false,
       {{k_stateComputerBallInHand, bx, by}, {k_stateBallInHand, bx, by}, {k_stateComputerShot, bx, by}}},
      {"the break position blocked too",
       145,
       -150,
       {{145, -150}, {bx, by}},
       false,
       {{k_stateComputerBallInHand, bx, by},
        {k_stateComputerBallInHand, bx + 3, by},
        {k_stateComputerBallInHand, bx + 6, by},
        {k_stateComputerBallInHand, bx + 9, by},
        {k_stateBallInHand, bx + 9, by},
        {k_stateComputerShot, bx + 9, by}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    startQuickMatch(k_ruleSetEightBall);
    tap(kKeyFire);
    ASSERT_EQ(game->states.gameState, k_stateAim);
    int32_t* profile = game->opponent.profiles.loaded[std::clamp(game->match.playerProfile[1], 0, 10)];
    profile[9] = bx * kQ14One;
    profile[10] = by * kQ14One;
    for (int b = 1; b <= 15; ++b) {
      PhysicalObject* ball = game->world.balls[b];
      const bool blocks = b <= static_cast<int>(c.blockers.size());
      ball->pocketed = ball->hidden = blocks ? 0 : 1;
      if (blocks) ball->setPosition(c.blockers[b - 1].first * kQ14One, c.blockers[b - 1].second * kQ14One);
    }
    game->match.currentPlayer = 1;
    game->table.panelX = 6;
    game->table.hudOffset = -61;
    game->rules.ballInHand = 1;
    game->world.breakPlayed = 1;
    chooseNextTurnState(*game);
    ASSERT_EQ(game->states.gameState, k_stateComputerBallInHand);
    // The opponent has chosen its spot.
    game->turn.aiPlacingDone = 1;
    game->rules.cueBallPlaced = c.placed ? 1 : 0;
    PhysicalObject* cue = game->world.cueBall;
    cue->setPosition(c.spotX * kQ14One, c.spotY * kQ14One);
    std::vector<Frame> seen;
    int32_t gliding = 0;
    for (int i = 0; i < 40 && (seen.empty() || seen.back().state != k_stateComputerShot); ++i) {
      frame();
      const Frame f{game->states.gameState, cue->position.x >> 14, cue->position.y >> 14};
      if (f.state == k_stateBallInHand) ++gliding;
      if (seen.empty() || !(seen.back() == f)) seen.push_back(f);
    }
    EXPECT_EQ(seen, c.frames);
    EXPECT_FALSE(game->rules.ballInHand);
    EXPECT_TRUE(game->rules.cueBallPlaced);
    if (c.placed) continue;
    // The hand came to the ball over several frames.
    const PhysicalObject* hand = game->world.handCursor;
    EXPECT_GT(gliding, 2);
    EXPECT_EQ(hand->m_screenX, (cue->position.x >> 14) + 6);
    EXPECT_EQ(hand->m_screenY, -(cue->position.y >> 14));
  }
}

TEST_F(TurnTest, BackAndMenuKeysOpenTheMenuBeforeTheStep) {
  startQuickMatch(k_ruleSetEightBall);
  tap(kKeyFire);
  ASSERT_EQ(game->states.gameState, k_stateAim);
  takeLog();
  // Back with select released: the frame ends at the menu, pushed over the
  // aim, which neither leaves nor runs.
  for (int i = 0; i < 5; ++i) frame();
  game->keyPressed(kKeyBack);
  game->keyPressed(kKeyFire);
  game->keyReleased(kKeyFire);
  frame();
  game->keyReleased(kKeyBack);
  frame();
  EXPECT_EQ(game->states.gameState, k_stateIGM);
  EXPECT_EQ(stateUnderMenu(*game), k_stateAim);
  EXPECT_EQ(takeLog(), (std::vector<Step>{{k_stateIGM, 'e'}}));
  // The right soft key closes it: the aim goes on where it was.
  tap(kKeyRightSoft);
  EXPECT_EQ(game->states.gameState, k_stateAim);
  EXPECT_EQ(game->states.stackDepth, 0);
  EXPECT_EQ(takeLog(), (std::vector<Step>{{k_stateIGM, 'l'}}));
  // A menu request of the stylus is cleared once seen; the menu opens with
  // no row selected.
  for (int i = 0; i < 5; ++i) frame();
  game->turn.menuRequest = 1;
  frame();
  EXPECT_FALSE(game->turn.menuRequest);
  EXPECT_EQ(game->states.gameState, k_stateIGM);
  EXPECT_EQ(game->menu.selection, -1);
}

TEST_F(TurnTest, HeldTurnKeyAcceleratesToSeventyFiveDegrees) {
  startQuickMatch(k_ruleSetEightBall);
  tap(kKeyFire);
  ASSERT_EQ(game->states.gameState, k_stateAim);
  frames(3);
  game->world.shot.aim.set(0, kQ14One);
  game->keyPressed(kKeyLeft);
  auto angle = [this] {
    const Vector2& a = game->world.shot.aim;
    return std::atan2(static_cast<double>(a.y), static_cast<double>(a.x)) * 180.0 / M_PI;
  };
  double last = angle();
  std::vector<double> steps;
  for (int i = 0; i < 240; ++i) {
    frame();
    double now = angle();
    double d = now - last;
    while (d < -180) d += 360;
    while (d > 180) d -= 360;
    steps.push_back(d);
    last = now;
  }
  // 0.375 degree more each frame (the sine table's step is 0.088 degree).
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(steps[i], 0.375 * (i + 1), 0.09) << i;
  for (double d : steps) EXPECT_LE(std::fabs(d), 75.0 + 0.09);
  EXPECT_NEAR(steps.back(), 75.0, 0.09);
  EXPECT_EQ(game->world.shot.aimTurnSpeed, 819200);
  game->keyReleased(kKeyLeft);
  frames(2);
  EXPECT_EQ(game->world.shot.aimTurnSpeed, 4096);
}

TEST_F(TurnTest, GaugeBouncesWithinZeroAndFull) {
  startQuickMatch(k_ruleSetEightBall);
  tap(kKeyFire);
  tap(kKeyFire);
  ASSERT_EQ(game->states.gameState, k_stateShotPower);
  // Long frames: every step stays inside, and both ends are reached.
  bool top = false, bottom = false;
  int32_t last = game->world.shot.powerGauge;
  for (int i = 0; i < 400; ++i) {
    frame(i % 7 == 0 ? 900 : 33);
    const int32_t g = game->world.shot.powerGauge;
    ASSERT_GE(g, 0);
    ASSERT_LE(g, 17384);
    top = top || g == 17384;
    bottom = bottom || (g == 0 && last > 0);
    last = g;
  }
  EXPECT_TRUE(top);
  EXPECT_TRUE(bottom);
  // Right soft goes back to the aim and keeps the aim as it was.
  const Vector2 aim = game->world.shot.aim;
  tap(kKeyRightSoft);
  EXPECT_EQ(game->states.gameState, k_stateAim);
  EXPECT_EQ(xy(game->world.shot.aim), xy(aim));
}

TEST_F(TurnTest, ThirdSkippedComputerShotAsksOnce) {
  startQuickMatch(k_ruleSetEightBall);
  tap(kKeyFire);
  for (int shot = 1; shot <= 4; ++shot) {
    game->match.currentPlayer = 1;
    game->setInGameState(k_stateBallsMoving);
    game->match.currentPlayer = 1;
    // Right soft pressed while the balls move.
    game->keys.lock(0);
    game->keyPressed(kKeyRightSoft);
    game->keys.update();
    runMatchStep(*game, k_stateBallsMoving, k_subStateInGameUpdate);
    game->keyReleased(kKeyRightSoft);
    game->keys.update();
    EXPECT_EQ(game->turn.computerSkipCount, shot);
    EXPECT_EQ(game->states.gameState == k_stateQuestionMenu, shot == 3) << shot;
    if (shot == 3) {
      EXPECT_EQ(game->inGameMenus.questionMenuSave.question.title, 678);
      EXPECT_EQ(game->inGameMenus.questionMenuSave.question.body, 679);
      EXPECT_EQ(game->inGameMenus.questionMenuSave.question.action, 11);
      EXPECT_EQ(game->inGameMenus.questionMenuSave.question.returnState, k_stateAfterShot);
    }
  }
}

TEST_F(TurnTest, LagSecondBallAndItsResult) {
  game->match.gameType = k_gameTypeTournament;
  game->match.ruleSet = k_ruleSetEightBall;
  startMatch(*game, k_gameTypeTournament, 2, 7);
  game->match.playerProfile[0] = 0;
  ASSERT_EQ(game->rules.rulesMode, RuleState::kModeLag);
  PhysicalObject* cue = game->world.cueBall;
  PhysicalObject* eight = game->world.ball8;
  const Vector2 eightStart = eight->position;
  auto afterShot = [this] { runMatchStep(*game, k_stateAfterShot, k_subStateInGameUpdate); };
  // The first lag shot came to rest; the second ball goes 18.0 to its right.
  cue->setPosition(0x200000, -0xA0000);
  afterShot();
  EXPECT_TRUE(game->rules.lagSecondShot);
  EXPECT_EQ(xy(eight->position), xy(Vector2(0x200000 + 0x48000, -0xA0000)));
  EXPECT_FALSE(eight->hidden);
  EXPECT_FALSE(eight->pocketed);
  EXPECT_EQ(xy(cue->position), xy(eightStart));
  // Near the right cushion: 18.0 to the left instead.
  game->rules.lagSecondShot = 0;
  cue->setPosition(0x230000, -0xA0000);
  afterShot();
  EXPECT_EQ(xy(eight->position), xy(Vector2(0x230000 - 0x48000, -0xA0000)));
  // A tie lags again from a fresh set-up; a decided lag racks.
  game->rules.normalPlay = 0;
  afterShot();
  EXPECT_EQ(game->rules.rulesMode, RuleState::kModeLag);
  EXPECT_FALSE(game->rules.lagSecondShot);
  EXPECT_TRUE(eight->hidden);
  game->rules.lagSecondShot = 1;
  game->rules.normalPlay = 1;
  afterShot();
  EXPECT_EQ(game->rules.rulesMode, RuleState::kModePlay);
  EXPECT_FALSE(game->world.breakPlayed);
  EXPECT_FALSE(eight->hidden);
}

TEST_F(TurnTest, UkBreakChoiceForTheHumanRandomForTheComputer) {
  struct Case {
    int32_t player;
    int32_t expectState;
  } cases[] = {{0, k_stateBreakChoice}, {1, -1}};
  for (const Case& c : cases) {
    startQuickMatch(k_ruleSetUK);
    tap(kKeyFire);
    game->match.currentPlayer = c.player;
    game->world.breakPlayed = 1;
    game->rules.tableOpen = 1;
    game->rules.ukFirstVisit = 1;
    game->rules.shotOutcome = 0;
    game->rules.ballInHand = 0;
    runMatchStep(*game, k_stateAfterShot, k_subStateInGameUpdate);
    if (c.expectState >= 0) {
      EXPECT_EQ(game->states.gameState, c.expectState);
      EXPECT_TRUE(game->rules.tableOpen);
    } else {
      EXPECT_FALSE(game->rules.tableOpen);
      EXPECT_TRUE(game->rules.solidsPlayer == 0 || game->rules.solidsPlayer == 1);
      EXPECT_EQ(game->states.gameState, k_stateComputerShot);
    }
  }
}

TEST_F(TurnTest, PushOutOfferAndAnswer) {
  startQuickMatch(k_ruleSetNineBall);
  tap(kKeyFire);
  ASSERT_EQ(game->states.gameState, k_stateAim);
  game->rules.pushOutAvailable = 1;
  game->rules.shotOutcome = 0;
  game->setInGameState(k_stateAfterShot);
  takeLog();
  frame();
  EXPECT_EQ(game->states.gameState, k_stateQuestionMenu);
  EXPECT_EQ(game->inGameMenus.questionMenuSave.question.action, 9);
  EXPECT_EQ(game->inGameMenus.questionMenuSave.question.body, 675);
  EXPECT_EQ(game->states.stackDepth, 1);
  // Yes: the push-out is taken and the turn goes on.
  answerPushOutOffer(*game, true);
  game->popState();
  EXPECT_TRUE(game->rules.pushOutShot);
  EXPECT_FALSE(game->rules.pushOutAvailable);
  frame();
  EXPECT_EQ(takeLog(),
            (std::vector<Step>{
                {k_stateQuestionMenu, 'e'}, {k_stateQuestionMenu, 'l'}, {k_stateAfterShot, 'l'}, {k_stateAim, 'e'}}));
  // The opponent pushed out; passing it back gives the other player the table.
  game->rules.pushOutAnswered = 1;
  game->setInGameState(k_stateAfterShot);
  frame();
  EXPECT_EQ(game->inGameMenus.questionMenuSave.question.action, 10);
  EXPECT_EQ(game->inGameMenus.questionMenuSave.question.body, 676);
  answerPushOutPlay(*game);
  switchPlayer(*game);
  game->popState();
  frame();
  EXPECT_FALSE(game->rules.pushOutAnswered);
  EXPECT_EQ(game->match.currentPlayer, 1);
  EXPECT_EQ(game->states.gameState, k_stateComputerShot);
}

TEST_F(TurnTest, FrameWonUnlocksItsAchievements) {
  // Character 9 is the weakest rival (profile 0), character 7 a strong one.
  struct Case {
    const char* name;
    int32_t rival;
    uint8_t humanFouled, rivalPotted, noScratch, cueTouchedEight;
    uint32_t expect;
  } cases[] = {
      {"clean", 9, 0, 0, 1, 0, (1u << 12) | (1u << 24) | (1u << 19) | (1u << 27) | (1u << 26)},
      {"clean, strong rival", 7, 0, 0, 1, 0, (1u << 12) | (1u << 24) | (1u << 27) | (1u << 26)},
      {"fouled, rival potted", 9, 1, 1, 0, 1, 1u << 12},
  };
  for (const Case& c : cases) {
    game->career.achievementMask = 0;
    game->career.achievementCounter = 0;
    startQuickMatch(k_ruleSetEightBall);
    startMatch(*game, k_gameTypeQuickMatch, 2, c.rival);
    tap(kKeyFire);
    game->rules.winner = 0;
    game->rules.shotOutcome = kOutWin;
    game->rules.humanFouled = c.humanFouled;
    game->rules.rivalPotted = c.rivalPotted;
    game->rules.noScratchInFrame = c.noScratch;
    game->rules.cueTouchedEight = c.cueTouchedEight;
    game->setInGameState(k_stateFrameWon);
    EXPECT_EQ(game->career.achievementMask, c.expect) << c.name;
    EXPECT_TRUE(isDialogBoxOpen(*game));
  }
  // Three such wins against profile 0 give achievement 22.
  startQuickMatch(k_ruleSetEightBall);
  startMatch(*game, k_gameTypeQuickMatch, 2, 9);
  tap(kKeyFire);
  game->rules.winner = 0;
  game->rules.shotOutcome = kOutWin;
  game->career.achievementMask = 0;
  game->career.achievementCounter = 2;
  game->rules.humanFouled = game->rules.rivalPotted = 0;
  game->setInGameState(k_stateFrameWon);
  EXPECT_EQ(game->career.achievementCounter, 3u);
  EXPECT_TRUE(game->career.achievementMask & (1u << 22));
}

TEST_F(TurnTest, FrameWonThenResultLines) {
  startQuickMatch(k_ruleSetEightBall);
  tap(kKeyFire);
  game->rules.winner = 1;
  game->rules.shotOutcome = kOutLose;
  game->setInGameState(k_stateFrameWon);
  ASSERT_TRUE(isDialogBoxOpen(*game));
  frames(70);
  tap(kKeyFire);
  ASSERT_TRUE(runUntil(k_stateResultLines, 10));
  EXPECT_EQ(game->match.currentPlayer, 1);
  EXPECT_EQ(game->turn.textBoxText, k_textRivalWon0 + k_textRivalLineStride * 7);
  tap(kKeyFire);
  EXPECT_EQ(game->states.gameState, k_stateGameOver);
}

TEST_F(TurnTest, CareerResultShowsThePrizeThenGoesOn) {
  struct Case {
    int32_t winner, bet, element, anim;
  } cases[] = {{0, 0, 130, 0}, {0, 2, 130, 2}, {1, 1, 129, 4}};
  for (const Case& c : cases) {
    game->match.gameType = k_gameTypeCareer;
    game->match.ruleSet = k_ruleSetEightBall;
    game->career.progress.flagB = 0;
    startMatch(*game, k_gameTypeCareer, 1, 4);
    game->setup.betPosition = c.bet;
    game->rules.winner = c.winner;
    game->rules.shotOutcome = c.winner == 0 ? kOutWin : kOutLose;
    game->setInGameState(k_stateResultLines);
    tap(kKeyFire);
    ASSERT_EQ(game->states.gameState, k_stateResultLines);
    EXPECT_EQ(getInterfaceElementAnim(*game, 56, c.element), c.anim);
    tap(kKeyFire);
    EXPECT_EQ(game->states.gameState, k_stateGameOver);
  }
}

}  // namespace
}  // namespace turntest

namespace turntest {
namespace {

// Every text the match flow shows is in the English table and worded.
TEST(TurnTexts, EveryIdIsWorded) {
  std::ifstream in(std::string(KV_SOURCE_DIR) + "/assets/text/en.txt");
  ASSERT_TRUE(in.good());
  std::map<int32_t, std::string> texts;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    const size_t space = line.find(' ');
    texts[std::stoi(line.substr(0, space))] = line.substr(space + 1);
  }
  std::vector<int32_t> ids = {12, 13, 24, 29, 54, 60, 436, 649, 674, 675, 676, 677, 678, 679, 691, 701, 702, 703, 722};
  for (int32_t c = 0; c < 32; ++c) {
    ids.push_back(121 + c);
    ids.push_back(545 + c);
  }
  for (int32_t c = 0; c <= 10; ++c)
    for (int32_t k = 0; k < 3; ++k) ids.push_back(442 + 3 * c + k);
  for (int32_t id : ids) {
    ASSERT_TRUE(texts.count(id)) << id;
    EXPECT_NE(texts[id], "Text " + std::to_string(id)) << id;
  }
  EXPECT_NE(texts[703].find("%t"), std::string::npos);
  EXPECT_NE(texts[436].find("%n"), std::string::npos);
}

// Each computer rival plays with the profile of its rank: 0 the weakest, 10
// the strongest; a single match has no computer player.
TEST_F(TurnTest, RivalsPlayWithTheProfileOfTheirRank) {
  int32_t last = -1;
  for (int32_t character : {9, 0, 1, 2, 3, 4, 5, 6, 7, 8}) {  // weakest first
    startMatch(*game, k_gameTypeQuickMatch, 2, character);
    EXPECT_GT(game->match.playerProfile[1], last) << character;
    last = game->match.playerProfile[1];
  }
  EXPECT_EQ(getOpponentProfile(*game, 0, 9), 0);
  EXPECT_EQ(getOpponentProfile(*game, 0, 10), 10);
  startMatch(*game, k_gameTypeSingleMatch, 2, 7);
  EXPECT_EQ(game->match.playerProfile[1], -1);
  // Tournaments: stronger round by round and in the bigger fields.
  const struct {
    int32_t level, round, profile;
  } rounds[] = {{2, 0, 3}, {1, 0, 4}, {1, 1, 6}, {0, 0, 5}, {0, 1, 7}, {0, 2, 9}};
  for (const auto& r : rounds) {
    game->tournaments.draw.level = r.level;
    game->tournaments.draw.round = r.round;
    EXPECT_EQ(getOpponentProfile(*game, 2, 0), r.profile) << r.level << " " << r.round;
  }
  // The career: up the ladder of rivals, the special rival the strongest.
  for (int32_t career = 0; career < 10; ++career) {
    game->career.progress.character = career;
    last = 0;
    for (int32_t slot = 0; slot <= 8; ++slot) {
      game->setup.opponentSlot = slot;
      const int32_t p = getOpponentProfile(*game, 3, 0);
      EXPECT_GE(p, last) << career << " " << slot;
      EXPECT_LT(p, 10) << career << " " << slot;
      last = p;
    }
    EXPECT_GE(last, 8) << career;
    game->setup.opponentSlot = 10;
    EXPECT_EQ(getOpponentProfile(*game, 3, 0), 10);
  }
}

}  // namespace
}  // namespace turntest
