// The table scene on the built data set: the HUD, the balls with their
// shadows, the cue, the guide, the gauge and the spin selector, against
// reference pictures; what the data set must hold for the table view.
#include "tests/game/shot/SceneFixture.h"
#include "zul/2d/ASprite.h"

namespace {

using namespace shottest;

TEST_F(SceneTest, PowerSceneMatchesItsReference) {
  game->states.gameState = k_stateShotPower;
  ShotRecord& shot = game->world.shot;
  shot.aim.set(4 * 16384, 140 * 16384);
  shot.aimChanged = 1;
  shot.powerGauge = 10400;
  game->world.cueStick->frame = 5;
  paintScene(true, true, true, false, false);
  EXPECT_EQ(game->table.guide.objectBall, 1);
  EXPECT_EQ(game->table.guide.hasContact, 1);
  compareWithReference("table_scene_power.png");
}

TEST_F(SceneTest, SpinAndBallInHandSceneMatchesItsReference) {
  game->match.ruleSet = k_ruleSetUK;
  game->turn.ballInHandInD = 1;
  game->states.gameState = k_stateSpinSelector;
  ShotRecord& shot = game->world.shot;
  shot.aim.set(-30 * 16384, 140 * 16384);
  shot.aimChanged = 1;
  shot.masse = 0;
  shot.englishPoint.set(5 * 16384, 6 * 16384);
  game->stylus.upArrowHighlight = 1;
  paintScene(false, true, true, true, true);
  compareWithReference("table_scene_spin.png");
}

}  // namespace

namespace {

using namespace shottest;

int16_t frameOf(cGame& g, int element) {
  return getInterfaceElement(g, k_interfaceHud, element)[3 + 1];  // p1: the frame
}

TEST_F(SceneTest, HintFramesFollowTheStateAndTheTouchedZone) {
  struct Case {
    int32_t state;
    int zone;  // 0 none, 1 fire, 2 left, 3 right, 4 up, 5 down
    int fire, turn, spin;  // frames of elements 33, 34, 35; -1 not set
  } cases[] = {
      {k_stateBallInHand, 0, 35, -1, -1}, {k_stateBallInHand, 1, 36, -1, -1},
      {k_stateAim, 0, 31, 37, -1},        {k_stateAim, 1, 32, 37, -1},
      {k_stateAim, 2, 31, 38, -1},        {k_stateAim, 3, 31, 39, -1},
      {k_stateShotPower, 0, 33, -1, -1},  {k_stateShotPower, 1, 34, -1, -1},
      {k_stateSpinSelector, 0, -1, -1, 22}, {k_stateSpinSelector, 2, -1, -1, 24},
      {k_stateSpinSelector, 3, -1, -1, 26}, {k_stateSpinSelector, 4, -1, -1, 25},
      {k_stateSpinSelector, 5, -1, -1, 27},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.state << " zone " << c.zone);
    game->states.gameState = c.state;
    game->stylus.fireHighlight = c.zone == 1;
    game->stylus.leftArrowHighlight = c.zone == 2;
    game->stylus.rightArrowHighlight = c.zone == 3;
    game->stylus.upArrowHighlight = c.zone == 4;
    game->stylus.downArrowHighlight = c.zone == 5;
    for (int e : {k_elFireHint, k_elTurnHint, k_elSpinHint}) setInterfaceElementFrame(*game, k_interfaceHud, e, -1);
    paintInGameHud(*game, g());
    EXPECT_EQ(frameOf(*game, k_elFireHint), c.fire);
    EXPECT_EQ(frameOf(*game, k_elTurnHint), c.turn);
    EXPECT_EQ(frameOf(*game, k_elSpinHint), c.spin);
  }
  // A computer at the table gets no hints.
  game->match.playerProfile[0] = 0;
  game->states.gameState = k_stateAim;
  setInterfaceElementFrame(*game, k_interfaceHud, k_elFireHint, -1);
  paintInGameHud(*game, g());
  EXPECT_EQ(frameOf(*game, k_elFireHint), -1);
}

TEST_F(SceneTest, MenuLabelIsBlankWhereTheKeyDoesNotOpenTheMenu) {
  auto labelLit = [this](int32_t state) {
    game->states.gameState = state;
    screen.getGraphics()->setColor(0xff000000);
    screen.getGraphics()->fillRect(0, 0, 240, 320);
    paintInGameHud(*game, g());
    int lit = 0;
    for (int y = 301; y < 318; ++y)
      for (int x = 200; x < 232; ++x) lit += (at(x, y) >> 11) > 24;  // bright red: the label's gold
    return lit;
  };
  EXPECT_GT(labelLit(k_stateAim), 10);
  EXPECT_GT(labelLit(k_stateShotPower), 10);
  for (int32_t s : {k_stateFrameWon, k_stateSpinSelector, k_stateOpponentIntro, k_stateResultLines})
    EXPECT_EQ(labelLit(s), 0) << s;
  addTextMessage(*game, 2, 508, 1000);
  EXPECT_EQ(labelLit(k_stateAim), 0);
}

TEST_F(SceneTest, PowerFillStaysInItsBox) {
  game->states.gameState = k_stateShotPower;
  auto paintAt = [this](Q14 gauge) {
    game->world.shot.powerGauge = gauge;
    screen.getGraphics()->setColor(0xff000000);
    screen.getGraphics()->fillRect(0, 0, 240, 320);
    game->frontEnd.paintTarget = g();
    paintPowerBar(*game);
    game->frontEnd.paintTarget = nullptr;
    return std::vector<uint16_t>(pixels(), pixels() + 240 * 320);
  };
  const std::vector<uint16_t> empty = paintAt(0);
  EXPECT_EQ(paintAt(-500), empty);
  const std::vector<uint16_t> full = paintAt(17384);
  EXPECT_EQ(paintAt(40000), full);
  const std::vector<uint16_t> half = paintAt(8692);
  // The box: element 36 + item 2 at (54, 120), the frame's 10 x 124.
  auto rowsChanged = [&](const std::vector<uint16_t>& img) {
    int first = -1, count = 0;
    for (int y = 0; y < 320; ++y) {
      bool changed = false;
      for (int x = 0; x < 240; ++x) {
        if (img[y * 240 + x] == empty[y * 240 + x]) continue;
        EXPECT_TRUE(x >= 54 && x < 64 && y >= 120 && y < 244) << x << "," << y;
        changed = true;
      }
      if (changed && first < 0) first = y;
      count += changed;
    }
    return std::pair{first, count};
  };
  const auto [fullTop, fullRows] = rowsChanged(full);
  EXPECT_LE(fullTop, 122);
  EXPECT_GE(fullRows, 118);
  const auto [halfTop, halfRows] = rowsChanged(half);
  EXPECT_EQ(halfTop, 244 - 62);
  EXPECT_LE(halfRows, 62);
}

}  // namespace

namespace {

using namespace shottest;

// Aimed by the pen at the apex ball, spun, powered and struck; the balls run
// with their trails until they rest, and the guide's three forms are drawn.
TEST_F(SceneTest, AShotIsAimedSpunPoweredAndPlayed) {
  game->states.gameState = k_stateAim;
  PhysicalObject* cue = game->world.cueBall;
  ASSERT_NE(cue, nullptr);
  int32_t cx, cy;
  PhysicalObject::toScreen(game->world, cue->position, cx, cy);
  game->pointerX = cx + 1;
  game->pointerY = 100;
  ASSERT_EQ(aimAtStylus(*game), 1);
  paintAimGuide(*game, g());
  EXPECT_EQ(game->table.guide.objectBall, 1);

  // Masse with the tip at the centre: a jump, drawn as dots.
  ShotRecord& shot = game->world.shot;
  shot.masse = 1;
  std::vector<uint16_t> before(pixels(), pixels() + 240 * 320);
  paintAimGuide(*game, g());
  EXPECT_EQ(shot.jumpShot, 1);
  int changed = 0;
  for (int i = 0; i < 240 * 320; ++i) changed += before[static_cast<size_t>(i)] != pixels()[i];
  EXPECT_GT(changed, 0);
  // Masse with side spin: the curved path.
  moveEnglishPoint(*game, -8 * 16384, 0);
  paintAimGuide(*game, g());
  EXPECT_EQ(shot.jumpShot, 0);
  EXPECT_GT(game->table.guide.pointWords, 4);
  shot.masse = 0;
  moveEnglishPoint(*game, 8 * 16384, 6 * 16384);
  paintAimGuide(*game, g());

  shot.powerGauge = 14000;
  strikeCueBall(*game, cue, false);
  game->states.gameState = k_stateBallsMoving;
  int frames = 0;
  bool moved = false;
  while (!updateBalls(*game) && frames < 2000) {
    moved = true;
    paintTableBalls(*game, g());
    ++frames;
  }
  EXPECT_TRUE(moved);
  EXPECT_LT(frames, 2000);
  EXPECT_GT(game->world.shot.eventCount, 0);
}

}  // namespace

// The blinking prompt belongs to the table: screens that cover the table
// (the after-match screen, a question) carry their own words instead.
TEST_F(SceneTest, TouchPromptOnlyOverTheTable) {
  const struct {
    int32_t state;
    bool prompt;
  } cases[] = {{k_stateAim, true},          {k_stateCoinToss, true},  {k_stateMessageBox, true},
               {k_stateGameOver, false},    {k_stateQuestion, false}, {k_stateInGameQuestion, false},
               {k_statePostMatchMenu, false}};
  auto paint = [this](bool hint) {
    game->turn.touchHint = hint;
    g()->setColor(0xff000000);
    g()->fillRect(0, 0, 240, 320);
    paintInGame(*game, g());
    return std::vector<uint16_t>(pixels(), pixels() + 240 * 320);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    game->states.gameState = c.state;
    game->stylus.messageTime = 0;
    game->frame.gameClock = 40700;  // the prompt's half-second on
    const std::vector<uint16_t> without = paint(false);
    const std::vector<uint16_t> with = paint(true);
    int differ = 0;
    for (size_t i = 0; i < with.size(); ++i) differ += with[i] != without[i];
    if (c.prompt)
      EXPECT_GT(differ, 100);
    else
      EXPECT_EQ(differ, 0);
  }
}
