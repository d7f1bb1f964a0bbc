// Table set-up through the game object: "table.bar" from our writer into the
// world, frame starts, layouts, ball looks and the pocketed-ball lists.
#include "tests/game/data/DataFixture.h"
#include "tests/zul/sprite/SpriteTestUtil.h"
#include "tools/table/TableWriter.h"

namespace {

using tablelayout::Group;
using tablelayout::Record;

Group pocketGroup() {
  const int16_t pos[6][4] = {{14, 17, 3, 3},   {155, 17, -3, 3},  {12, 151, 5, 0},
                             {157, 151, -5, 0}, {14, 285, 3, -3}, {155, 285, -3, -3}};
  Group g;
  for (uint8_t i = 0; i < 6; ++i) g.push_back({i, pos[i][0], pos[i][1], {0, 0, 0, 0, 0, pos[i][2], pos[i][3]}});
  return g;
}

// 25 points, the last repeating the first; jaws at points 4k and 4k + 1.
Group cushionGroup() {
  Group g;
  for (uint8_t i = 0; i < 25; ++i) {
    const int k = i % 24;
    const int16_t x = static_cast<int16_t>(20 + 5 * k), y = static_cast<int16_t>(10 + 11 * k);
    const int16_t flag = (i % 4 <= 1 && i < 24) ? 0 : 2;
    g.push_back({i, x, y, {0, 0, 0, 0, flag}});
  }
  return g;
}

Group layout(int16_t cueX, int16_t cueY) {
  Group g;
  for (uint8_t i = 0; i < 16; ++i)
    g.push_back({i, static_cast<int16_t>(i == 0 ? cueX : 40 + 6 * i), static_cast<int16_t>(i == 0 ? cueY : 100), {}});
  return g;
}

std::vector<Group> standardTable() {
  std::vector<Group> groups(tablelayout::kGroupCount, layout(85, 240));
  groups[0] = pocketGroup();
  groups[1] = cushionGroup();
  for (int i = 1; i < 16; ++i) groups[2][i].x = 200;  // the lag: only 0 and 8 on the table
  groups[2][8] = {8, 110, 240, {}};
  groups[2][0] = {0, 60, 240, {}};
  return groups;
}

// A bank with 27 one-frame animations and 8 palettes.
spritebank::Bank ballBank() {
  spritebank::Bank b;
  b.modules.push_back(spritebank::Module::image(1, 1, {1}));
  for (int p = 0; p < 8; ++p) b.palettes.push_back({0x00FF00FF, 0xFF000000u | static_cast<uint32_t>(p)});
  b.frames.push_back({{{0, 0, 0, 0, 0}}});
  for (int a = 0; a < 27; ++a) b.anims.push_back({{{0, 1, 0, 0, 0}}});
  b.flags = b.minimalFlags();
  return b;
}

class TableTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    game->init();
    game->engine.random->setSeed(77);
  }
  void load(const std::vector<Group>& groups) {
    const std::vector<uint8_t> bytes = tablelayout::writeTable(groups);
    ASSERT_FALSE(bytes.empty());
    writeBytes("table.bar", bytes);
    loadTable(*game);
  }
  void loadBanks() {
    for (auto& b : banks) b = spritetest::loadBank(ballBank());
    for (int i = 0; i < k_poolBankCount; ++i) game->loading.poolBanks[i] = banks[i].get();
  }
  PhysicsWorld& world() { return game->world; }
  PhysicalObject* ball(int n) { return world().balls[n]; }

  std::unique_ptr<ASprite> banks[k_poolBankCount];
};

TEST_F(TableTest, LoadBuildsPocketsLinesJawsBallsAndScreenObjects) {
  loadBanks();
  load(standardTable());
  PhysicsWorld& w = world();
  for (int i = 0; i < 6; ++i) ASSERT_NE(w.pockets[i], nullptr) << i;
  EXPECT_EQ(w.pockets[6], nullptr);
  EXPECT_EQ(w.pockets[3]->position.x, 157 << 14);
  EXPECT_EQ(w.pockets[3]->position.y, -(151 << 14));
  EXPECT_EQ(w.pockets[3]->pointA.x, 152 << 14);  // the drop point
  EXPECT_EQ(w.pockets[4]->pointA.y, -(282 << 14));
  EXPECT_EQ(w.pockets[0]->identity, 25);
  EXPECT_EQ(w.pocketHead, w.pockets[5]);

  // Lines ending at point 4k + 1 take slots 18-23, the rest 0-17 in order.
  EXPECT_EQ(w.lineCount, 18);
  EXPECT_EQ(w.secondLineCount, 6);
  const Group cushions = cushionGroup();
  auto at = [&](int i) { return Vector2(cushions[i].x << 14, -(cushions[i].y << 14)); };
  struct Slot {
    int slot, from;
  };
  const Slot slots[] = {{18, 0}, {19, 4}, {23, 20}, {0, 1}, {1, 2}, {2, 3}, {3, 5}, {17, 23}};
  for (Slot s : slots) {
    SCOPED_TRACE(s.slot);
    PhysicalObject* line = w.lines[s.slot];
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->pointA.equals(at(s.from)));
    EXPECT_TRUE(line->pointB.equals(at(s.from + 1)));
    EXPECT_EQ(line->normal.x, -line->direction.y);
    EXPECT_EQ(line->normal.y, line->direction.x);
    EXPECT_EQ(line->identity, 26);
  }
  EXPECT_EQ(w.jawCount, 12);
  for (int k = 0; k < 6; ++k) {
    EXPECT_TRUE(w.jaws[2 * k]->position.equals(at(4 * k)));
    EXPECT_TRUE(w.jaws[2 * k + 1]->position.equals(at(4 * k + 1)));
  }

  // Balls in creation order, each with a shadow of its own number.
  int n = 0;
  for (PhysicalObject* b = w.ballList; b; b = b->next, ++n) {
    EXPECT_EQ(b, ball(n));
    EXPECT_EQ(b->identity, n);
    EXPECT_EQ(b->shadow->identity, n);
    EXPECT_EQ(b->pocketed, 1);
    EXPECT_EQ(b->kind, 1);
    EXPECT_EQ(b->state, 3);
  }
  EXPECT_EQ(n, 16);
  EXPECT_EQ(w.ballHead, w.ballList);
  EXPECT_EQ(w.cueBall, ball(0));
  EXPECT_EQ(w.ball8, ball(8));
  EXPECT_EQ(w.cueStick->identity, 24);
  EXPECT_EQ(w.handCursor->identity, 66);
  EXPECT_EQ(w.handCursor->m_screenX, 86);
  EXPECT_EQ(w.handCursor->m_screenY, 202);
  EXPECT_EQ(w.handCursor->kind, 2);
  SpriteAnimPlayer* hand = lookPlayer(w.handCursor->animPlayer);
  ASSERT_NE(hand, nullptr);
  EXPECT_EQ(hand->sprite, banks[k_poolBankHand].get());
  EXPECT_TRUE(hand->flags & SpriteAnimPlayer::kLoop);

  // A second load replaces everything; the release leaves an empty world.
  load(standardTable());
  EXPECT_EQ(w.lineCount, 18);
  EXPECT_EQ(w.jawCount, 12);
  freeTable(*game);
  EXPECT_EQ(w.ballList, nullptr);
  EXPECT_EQ(w.pocketHead, nullptr);
  EXPECT_EQ(w.lines[18], nullptr);
  EXPECT_EQ(w.cueStick, nullptr);
  EXPECT_NE(w.offTableDetector, nullptr);  // kept for the game's life
  EXPECT_EQ(w.detectorHead, w.offTableDetector);
}

TEST_F(TableTest, BadTablesBuildNothing) {
  struct Case {
    const char* name;
    void (*spoil)(std::vector<Group>&);
  };
  const Case cases[] = {
      {"five pockets", [](std::vector<Group>& g) { g[0].pop_back(); }},
      {"a pocket without its drop point", [](std::vector<Group>& g) { g[0][4].values.resize(6); }},
      {"24 cushion points", [](std::vector<Group>& g) { g[1].pop_back(); }},
      {"a cushion point without its flags", [](std::vector<Group>& g) { g[1][7].values.resize(4); }},
      {"15 balls to create", [](std::vector<Group>& g) { g[4].pop_back(); }},
      {"no groups at all", [](std::vector<Group>& g) { g.clear(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Group> groups = standardTable();
    c.spoil(groups);
    load(groups);
    EXPECT_EQ(world().ballList, nullptr);
    EXPECT_EQ(world().pockets[0], nullptr);
    EXPECT_EQ(world().lineCount, 0);
    EXPECT_EQ(world().cueStick, nullptr);
    // Every frame start copes with the empty table.
    for (int32_t ruleSet : {k_ruleSetEightBall, k_ruleSetUK, k_ruleSetNineBall}) {
      game->match.ruleSet = ruleSet;
      for (int32_t type : {k_gameTypeQuickMatch, k_gameTypeSingleMatch, k_gameTypeChallenge, k_gameTypeTutorial}) {
        game->match.gameType = type;
        resetMatchState(*game);
        initFrame(*game, true);
        initFrame(*game, false);
      }
    }
    freeTable(*game);
  }
  std::filesystem::remove(dir / "table.bar");
  loadTable(*game);
  EXPECT_EQ(world().ballList, nullptr);
}

TEST_F(TableTest, CushionPointAtTheOriginStartsNoLine) {
  std::vector<Group> groups = standardTable();
  groups[1][6].x = 0;
  groups[1][6].y = 0;
  load(groups);
  // Point 6 ends line 5 -> 6 but starts none, so one line fewer in the first run.
  EXPECT_EQ(world().lineCount, 17);
  EXPECT_EQ(world().secondLineCount, 6);
  for (int i = 0; i < 17; ++i) EXPECT_FALSE(world().lines[i]->pointA.equals(Vector2(0, 0))) << i;
}

TEST_F(TableTest, FrameStartsRackLagOrPlaceTheLayout) {
  struct Case {
    int32_t ruleSet, gameType;
    bool newMatch;
    int32_t rulesMode;
    bool lag;
  };
  const Case cases[] = {
      {k_ruleSetUK, k_gameTypeSingleMatch, true, 4, false},
      {k_ruleSetUK, k_gameTypeCareer, true, 4, false},
      {k_ruleSetEightBall, k_gameTypeSingleMatch, true, 3, true},
      {k_ruleSetEightBall, k_gameTypeTournament, true, 3, true},
      {k_ruleSetEightBall, k_gameTypeCareer, true, 3, true},
      {k_ruleSetNineBall, k_gameTypeSingleMatch, true, 3, true},
      {k_ruleSetNineBall, k_gameTypeCareer, true, 3, true},
      {k_ruleSetEightBall, k_gameTypeQuickMatch, true, 4, false},
      {k_ruleSetNineBall, k_gameTypeQuickMatch, true, 4, false},
      {k_ruleSetEightBall, k_gameTypeSingleMatch, false, 4, false},
      {k_ruleSetNineBall, k_gameTypeTournament, false, 4, false},
  };
  load(standardTable());
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ruleSet << "/" << c.gameType << "/" << c.newMatch);
    game->match.ruleSet = c.ruleSet;
    game->match.gameType = c.gameType;
    game->match.currentPlayer = 1;
    resetMatchState(*game);
    initFrame(*game, c.newMatch);
    EXPECT_EQ(game->rules.rulesMode, c.rulesMode);
    EXPECT_EQ(game->rules.normalPlay, c.lag ? 0 : 1);
    EXPECT_EQ(ball(8)->pocketed, c.lag ? 1 : 0);
    EXPECT_EQ(ball(8)->hidden, c.lag ? 1 : 0);
    EXPECT_EQ(ball(0)->pocketed, 0);
    EXPECT_EQ(game->rules.breakBytes[0], c.lag ? 0 : 1);
    EXPECT_EQ(game->rules.breakBytes[1], c.lag ? 1 : 0);
    EXPECT_EQ(game->rules.thirdTurnByte, c.lag ? 0 : 1);
    EXPECT_EQ(game->match.currentPlayer, c.lag ? 0 : 1);
    if (!c.lag) {
      EXPECT_EQ(game->table.panelX, 6);
    }
    EXPECT_EQ(game->rules.lowestBall, !c.lag && c.ruleSet == k_ruleSetNineBall ? 1 : 0);
    if (c.lag) {
      EXPECT_EQ(ball(0)->pointA.x, 60 << 14);  // the lag layout
      EXPECT_EQ(ball(3)->pocketed, 1);
    }
    EXPECT_EQ(world().shot.cueDistance, 0x20000);
    EXPECT_EQ(world().shot.aim.x, 0);
    EXPECT_EQ(world().shot.aim.y, 16384);
  }
}

TEST_F(TableTest, LayoutsPlaceOnlyBallsThatReachThePlayArea) {
  std::vector<Group> groups = standardTable();
  Group& g = groups[10 + 7];  // challenge 7
  const int16_t places[][3] = {{1, -5, 100}, {2, -6, 100}, {3, 174, 100}, {4, 175, 100}, {5, 200, 100},
                               {6, 85, -2},  {7, 85, -3},  {9, 85, 304},  {10, 85, 305}};
  for (const auto& p : places) g[p[0]] = {static_cast<uint8_t>(p[0]), p[1], p[2], {}};
  g.resize(14);  // records 14 and 15 missing
  load(groups);
  game->match.gameType = k_gameTypeChallenge;
  game->match.challengeNumber = 7;
  resetMatchState(*game);
  initFrame(*game, true);
  const bool on[16] = {true, true, false, true, false, false, true, false, true, true, false, true, true, true,
                       false, false};
  for (int n = 0; n < 16; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(ball(n)->pocketed, on[n] ? 0 : 1);
    EXPECT_EQ(ball(n)->hidden, on[n] ? 0 : 1);
    EXPECT_EQ(ball(n)->shown, on[n] ? 1 : 0);
    if (on[n]) {
      EXPECT_TRUE(ball(n)->shadow->position.equals(ball(n)->position));
    }
  }
  EXPECT_EQ(ball(1)->position.x, -5 * 16384);
  EXPECT_EQ(ball(6)->position.y, 2 * 16384);
}

TEST_F(TableTest, RackJitterMovesUpAndRightOnly) {
  load(standardTable());
  game->match.ruleSet = k_ruleSetEightBall;
  game->match.gameType = k_gameTypeQuickMatch;
  for (uint32_t seed : {1u, 2u, 99u, 12345u}) {
    game->engine.random->setSeed(seed);
    resetMatchState(*game);
    initFrame(*game, true);
    for (int n = 0; n < 16; ++n) {
      const PhysicalObject* b = ball(n);
      const int32_t dx = b->position.x - b->pointA.x, dy = b->position.y - b->pointA.y;
      EXPECT_GE(dx, 0);
      EXPECT_GE(dy, 0);
      EXPECT_LE(dx, 326 * 39);
      EXPECT_LE(dy, 326 * 39);
      EXPECT_EQ(dx % 326, 0);
    }
  }
}

TEST_F(TableTest, BallLooksByRuleSet) {
  struct Case {
    int32_t ruleSet;
    int32_t bank[16];
    int32_t palette[16];
  };
  const Case cases[] = {
      {k_ruleSetEightBall,
       {0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2},
       {0, 0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6}},
      {k_ruleSetUK, {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 2, 2, 2, 2, 2, 2, 2, 7, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ruleSet);
    loadBanks();
    load(standardTable());
    game->match.ruleSet = c.ruleSet;
    game->match.gameType = k_gameTypeQuickMatch;
    resetMatchState(*game);
    initFrame(*game, true);
    for (int n = 0; n < 16; ++n) {
      SpriteAnimPlayer* p = lookPlayer(ball(n)->animPlayer);
      ASSERT_NE(p, nullptr) << n;
      EXPECT_EQ(p->sprite, banks[c.bank[n]].get()) << n;
      EXPECT_EQ(p->palette, c.palette[n]) << n;
      EXPECT_TRUE(p->flags & SpriteAnimPlayer::kLoop);
      EXPECT_GE(p->anim, 5);
      EXPECT_LE(p->anim, n > 8 ? 7 : 5);
      // Shadows take a look of their own on the same bank.
      ball(n)->shadow->copySetting(*ball(n));
      SpriteAnimPlayer* s = lookPlayer(ball(n)->shadow->animPlayer);
      ASSERT_NE(s, nullptr);
      EXPECT_NE(s, p);
      EXPECT_EQ(s->sprite, p->sprite);
      EXPECT_EQ(s->palette, p->palette);
    }
    EXPECT_EQ(game->rules.playerGroup[0], 65278u);
    EXPECT_EQ(game->rules.playerTarget[1], 65278u);
    EXPECT_EQ(game->rules.tableOpen, 1);
    freeTable(*game);
  }
  // Without the banks no looks are made.
  for (int i = 0; i < k_poolBankCount; ++i) game->loading.poolBanks[i] = nullptr;
  load(standardTable());
  game->match.gameType = k_gameTypeQuickMatch;
  resetMatchState(*game);
  initFrame(*game, true);
  EXPECT_EQ(ball(0)->animPlayer, nullptr);
  EXPECT_EQ(ball(9)->animPlayer, nullptr);
  EXPECT_EQ(world().handCursor->animPlayer, nullptr);
}

TEST_F(TableTest, PottedBallListsStopAtNine) {
  loadBanks();
  load(standardTable());
  game->match.ruleSet = k_ruleSetEightBall;
  game->match.currentPlayer = 1;
  for (int b : {0, 3, 9, 12, 8, 1, 2, 4, 5, 6, 7, 10}) addPottedBall(*game, b, 1);
  addPottedBall(*game, 3, 0);
  const PottedBalls& list = game->turn.potted[1];
  EXPECT_EQ(list.count, 9);
  const int want[9] = {3, 9, 12, 8, 1, 2, 4, 5, 6};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(list.balls[i], want[i]);
    ASSERT_NE(list.players[i], nullptr);
    EXPECT_EQ(list.players[i]->anim, 9 + i);
  }
  EXPECT_EQ(list.players[0]->palette, 2);  // ball 3
  EXPECT_EQ(list.players[1]->sprite, banks[k_poolBankBalls9to15].get());
  EXPECT_EQ(list.players[2]->palette, 3);  // ball 12
  EXPECT_EQ(list.players[3]->palette, 7);  // ball 8
  EXPECT_EQ(game->turn.potted[0].count, 1);
  EXPECT_EQ(game->turn.potted[0].players[0]->anim, 18);  // not the current player
  clearPottedBallLists(*game);
  EXPECT_EQ(game->turn.potted[1].count, 0);
  EXPECT_EQ(game->turn.potted[1].players[0], nullptr);
  // UK looks.
  game->match.ruleSet = k_ruleSetUK;
  for (int b : {3, 8, 12}) addPottedBall(*game, b, 0);
  EXPECT_EQ(game->turn.potted[0].players[0]->palette, 2);
  EXPECT_EQ(game->turn.potted[0].players[1]->palette, 7);
  EXPECT_EQ(game->turn.potted[0].players[2]->palette, 0);
  EXPECT_EQ(game->turn.potted[0].players[2]->sprite, banks[k_poolBankBalls1to8].get());
}

TEST_F(TableTest, MatchResetAndPlayerGroups) {
  load(standardTable());
  game->match.gameType = k_gameTypeSingleMatch;
  initFrame(*game, false);
  ball(4)->spin.set(5, 5);
  game->rules.playerGroup[0] = 254;
  game->rules.playerGroup[1] = 65024;
  EXPECT_EQ(getPlayerGroup(*game, 0), 1);
  EXPECT_EQ(getPlayerGroup(*game, 1), 2);
  EXPECT_EQ(getPlayerGroup(*game, 2), -1);
  game->rules.playerGroup[1] = 256;
  EXPECT_EQ(getPlayerGroup(*game, 1), -1);
  game->rules.lowestBall = 3;
  game->career.progress.equippedMask = 0;
  game->match.gameType = k_gameTypeTutorial;
  resetMatchState(*game);
  EXPECT_EQ(game->rules.lowestBall, 0);
  EXPECT_EQ(game->rules.playerGroup[0], 0u);
  EXPECT_EQ(game->rules.groupChosenOnBreak[1], -1);
  EXPECT_EQ(game->rules.chosenTargets[0], -1);
  EXPECT_EQ(game->rules.frameConditions[0], 1);
  EXPECT_EQ(game->career.equippedLevel[0], 5);
  EXPECT_EQ(game->table.hudHint, -1);
  for (int n = 0; n < 16; ++n) {
    EXPECT_EQ(ball(n)->pocketed, 1);
    EXPECT_EQ(ball(n)->hidden, 1);
    EXPECT_TRUE(ball(n)->spin.equals(Vector2(0, 0)));
    EXPECT_EQ(ball(n)->shadow->hidden, 1);
  }
  game->match.gameType = k_gameTypeSingleMatch;
  game->career.progress.equippedMask = 0x1041;  // nothing equipped in any category
  resetMatchState(*game);
  EXPECT_EQ(game->career.equippedLevel[0], 0);
}

TEST_F(TableTest, AimTurnsAndShotEventsRecordOnce) {
  ShotRecord& shot = world().shot;
  struct Case {
    Q14 angle;
    Q14 x, y;
  };
  const Case cases[] = {{0, 0, 16384}, {0x168000, -16384, 0}, {0x2D0000, 0, -16384}, {-0x168000, 16384, 0}};
  for (const Case& c : cases) {
    shot.aim.set(0, 16384);
    shot.chosenTarget = 4;
    shot.aimChanged = 0;
    rotateAim(*game, c.angle);
    EXPECT_EQ(shot.aim.x, c.x);
    EXPECT_EQ(shot.aim.y, c.y);
    EXPECT_EQ(shot.chosenTarget, -1);
    EXPECT_EQ(shot.aimChanged, 1);
  }
  PhysicalObject a(nullptr, PhysicalObject::kJaw), b(nullptr, PhysicalObject::kJaw);
  onContact(*game, &a, &b);
  onContact(*game, &a, &b);
  onContact(*game, &b, &a);
  EXPECT_EQ(shot.eventCount, 2);
  for (int i = 0; i < 300; ++i) onContact(*game, i % 2 ? &a : &b, &b);
  EXPECT_EQ(shot.eventCount, 200);
}

}  // namespace

TEST_F(TableTest, PlayedShotsChangeTheMatchThroughTheGame) {
  loadBanks();
  load(standardTable());
  game->match.ruleSet = k_ruleSetEightBall;
  game->match.gameType = k_gameTypeQuickMatch;
  game->match.currentPlayer = 0;
  initFrame(*game, true);
  PhysicsWorld& w = world();
  ASSERT_EQ(game->rules.rulesMode, RuleState::kModePlay);
  // A break that brings only three balls to a cushion: racked again, the other player breaks.
  onContact(*game, ball(0), ball(1));
  for (int n : {1, 2, 3}) onContact(*game, ball(n), w.lines[18 + n]);
  ball(2)->position.set(5 << 14, -(5 << 14));  // moved by the break
  runShotRules(*game);
  EXPECT_EQ(game->rules.shotOutcome, 0x2603u);
  Rules_Apply(*game);
  EXPECT_EQ(game->match.currentPlayer, 1);
  EXPECT_EQ(w.breakPlayed, 0);
  EXPECT_TRUE(game->rules.ballInHand);
  EXPECT_NE(ball(2)->position.x, 5 << 14);  // back in the rack
  // A legal break by player 1 passes the turn back.
  beginStroke(*game);
  onContact(*game, ball(0), ball(1));
  for (int n : {1, 2, 3, 4}) onContact(*game, ball(n), w.lines[18]);
  runShotRules(*game);
  Rules_Apply(*game);
  EXPECT_EQ(game->rules.shotOutcome, 0x2002u);
  EXPECT_EQ(game->match.currentPlayer, 0);
  EXPECT_EQ(w.breakPlayed, 1);
}
