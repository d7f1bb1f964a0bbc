// Applying outcomes: played shots change the match as their outcome says;
// re-spotting, off-table balls, groups, streaks and the trick-shot bonus.
#include <gtest/gtest.h>

#include "RulesRig.h"

using rulestest::q;
using rulestest::Rig;

namespace {

constexpr uint32_t kSolids = RuleState::kSolids, kStripes = RuleState::kStripes, kOpen = RuleState::kBothGroups;

struct ApplyRow {
  const char* name;
  int32_t ruleSet;
  bool breakPlayed;
  uint32_t group0;  // 0 = open table
  int32_t shotsLeft;
  int32_t fouls0;
  const char* events;
  // After Rules_Apply:
  uint32_t outcome;
  int32_t winner, current, shotsAfter;
  bool inHand, inD;
  uint32_t groupOf0, groupOf1;
  int32_t foulsOf0, lowest;
  bool breakAfter;
  int32_t racks;
};

TEST(RulesApply, PlayedShotsChangeTheMatch) {
  const ApplyRow rows[] = {
      {"legal break", 0, false, 0, 1, 0, "h0-1 h1-2 c1 c2 c3 c4", 0x2002, -1, 1, 1, false, false, kOpen, kOpen, 0, 0, true, 0},
      {"short break re-racks, other breaks", 0, false, 0, 1, 0, "h0-1 c1 c2 c3", 0x2603, -1, 1, 1, true, false, kOpen, kOpen, 0, 0, false, 1},
      {"nothing hit: break again", 0, false, 0, 1, 0, "c0", 0xA602, -1, 1, 1, true, false, kOpen, kOpen, 0, 0, false, 0},
      {"eight on the break", 0, false, 0, 1, 0, "h0-1 p8", 0x2003, -1, 1, 1, true, false, kOpen, kOpen, 0, 0, false, 1},
      {"UK eight on the break: same breaker", 1, false, 0, 1, 0, "h0-1 p8", 0x2001, -1, 0, 1, true, true, kOpen, kOpen, 0, 0, false, 1},
      {"open table cue on the eight", 0, true, 0, 1, 0, "h0-8 c8", 0x46202, -1, 1, 1, true, false, kOpen, kOpen, 0, 0, true, 0},
      {"open table pot: solids", 0, true, 0, 1, 0, "h0-3 c3 p3", 0x2080, -1, 0, 1, false, false, kSolids, kStripes, 0, 0, true, 0},
      {"open table pot: stripes", 0, true, 0, 1, 0, "h0-3 h3-12 p12", 0x2180, -1, 0, 1, false, false, kStripes, kSolids, 0, 0, true, 0},
      {"eight with own balls left", 0, true, kSolids, 1, 0, "h0-1 p8", 0x2010, 1, 0, 1, false, false, kSolids, kStripes, 0, 0, true, 0},
      {"UK cue ball potted: two shots", 1, true, kSolids, 1, 0, "h0-2 c2 p0", 0x40042, -1, 1, 2, true, true, kSolids, kStripes, 0, 0, true, 0},
      {"UK foul on the first of two shots", 1, true, kSolids, 2, 0, "h0-2 p0", 0x40042, -1, 1, 2, true, true, kSolids, kStripes, 0, 0, true, 0},
      {"UK miss with two shots keeps the table", 1, true, kSolids, 2, 0, "h0-2 c2", 0x2, -1, 0, 1, false, false, kSolids, kStripes, 0, 0, true, 0},
      {"nine-ball legal miss", 2, true, 0, 1, 0, "h0-1 c1", 0x2, -1, 1, 1, false, false, kOpen, kOpen, 0, 1, true, 0},
      {"nine-ball wrong first ball", 2, true, 0, 1, 0, "h0-2 c2", 0x4202, -1, 1, 1, true, false, kOpen, kOpen, 1, 1, true, 0},
      {"nine-ball third foul loses", 2, true, 0, 1, 2, "h0-2 c2", 0x4612, 1, 1, 1, true, false, kOpen, kOpen, 3, 1, true, 0},
      {"nine potted legally", 2, true, 0, 1, 1, "h0-1 h1-9 p9", 0x8, 0, 0, 1, false, false, kOpen, kOpen, 0, 1, true, 0},
      {"lowest ball potted", 2, true, 0, 1, 0, "h0-1 p1", 0x20000, -1, 0, 1, false, false, kOpen, kOpen, 0, 2, true, 0},
      {"nine-ball break with no event", 2, false, 0, 1, 0, "", 0xC202, -1, 1, 1, true, false, kOpen, kOpen, 1, 1, false, 0},
  };
  for (const ApplyRow& c : rows) {
    SCOPED_TRACE(c.name);
    Rig rig(c.ruleSet);
    rig.world.breakPlayed = c.breakPlayed;
    if (c.group0) rig.groups(c.group0);
    rig.state.shotsLeft = c.shotsLeft;
    rig.state.playerFouls[0] = c.fouls0;
    rig.play(c.events);
    ShotRules r = rig.rules();
    r.runShotRules();
    r.Rules_Apply();
    EXPECT_EQ(rig.state.shotOutcome, c.outcome) << std::hex << rig.state.shotOutcome;
    EXPECT_EQ(rig.state.winner, c.winner);
    EXPECT_EQ(rig.setup.currentPlayer, c.current);
    EXPECT_EQ(rig.state.shotsLeft, c.shotsAfter);
    EXPECT_EQ(rig.state.ballInHand, c.inHand);
    EXPECT_EQ(rig.state.ballInHandInD, c.inD);
    if (c.ruleSet != MatchSetup::kNineBall) {
      EXPECT_EQ(rig.state.playerGroup[0], c.groupOf0);
      EXPECT_EQ(rig.state.playerGroup[1], c.groupOf1);
    }
    EXPECT_EQ(rig.state.playerFouls[0], c.foulsOf0);
    if (c.ruleSet == MatchSetup::kNineBall) {
      EXPECT_EQ(rig.state.lowestBall, c.lowest);
      EXPECT_EQ(rig.state.playerTarget[1], 1u << c.lowest);
    }
    EXPECT_EQ(rig.world.breakPlayed, c.breakAfter);
    EXPECT_EQ(rig.hooks.racks, c.racks);
  }
}

TEST(RulesApply, MessagesDialogsAndGroupIcons) {
  Rig rig;
  rig.setup.gameType = MatchSetup::kGameSingle;
  rig.world.breakPlayed = 1;
  rig.hooks.character[0] = 4;
  rig.play("h0-3 c3 p3");
  ShotRules r = rig.rules();
  r.runShotRules();
  r.Rules_Apply();
  ASSERT_EQ(rig.hooks.messages.size(), 1u);
  EXPECT_EQ(rig.hooks.messages[0], std::make_tuple(495, 395, -1));
  EXPECT_EQ(rig.state.groupsShown[0], 1);
  ASSERT_EQ(rig.hooks.icons.size(), 2u);
  EXPECT_EQ(rig.hooks.icons[0], std::make_tuple(19, 1, 2));  // stripes player 1
  EXPECT_EQ(rig.hooks.icons[1], std::make_tuple(18, 2, 2));
  ASSERT_EQ(rig.hooks.handovers.size(), 1u);
  EXPECT_EQ(rig.hooks.handovers[0], std::make_tuple(0, 1, kSolids));

  // A scratch shows the dialog and the foul text; the tutorial shows no rule messages.
  for (int32_t gameType : {k_gameTypeQuickMatch, MatchSetup::kGameTutorial}) {
    Rig s;
    s.setup.gameType = gameType;
    s.world.breakPlayed = 1;
    s.groups(kSolids);
    s.play("h0-2 p0");
    ShotRules rules = s.rules();
    rules.runShotRules();
    rules.Rules_Apply();
    ASSERT_EQ(s.hooks.dialogs.size(), 1u);
    EXPECT_EQ(s.hooks.dialogs[0], (std::vector<int32_t>{1, 667, -1, -1}));
    EXPECT_TRUE(s.state.freeBallAfterFoul);
    EXPECT_EQ(s.hooks.messages.size(), 0u);  // 0x40042 asks for no message
  }
  Rig w(MatchSetup::kNineBall);
  w.world.breakPlayed = 1;
  w.play("h0-2 c2");
  ShotRules rules = w.rules();
  rules.runShotRules();
  rules.Rules_Apply();
  ASSERT_EQ(w.hooks.messages.size(), 1u);
  EXPECT_EQ(std::get<0>(w.hooks.messages[0]), 171);
}

TEST(RulesApply, GroupsMessageByRuleSetAndGame) {
  using namespace ruleids;
  struct Case {
    int32_t ruleSet, gameType, current, solids, profile0;
    int32_t text, name, group;
    bool shown;
  };
  const Case cases[] = {
      {MatchSetup::kEightBall, k_gameTypeSingleMatch, 0, 0, -1, k_textYouSolids, k_textFirstName + 1, -1, true},
      {MatchSetup::kEightBall, k_gameTypeSingleMatch, 0, 1, -1, k_textYouStripes, k_textFirstName + 1, -1, true},
      {MatchSetup::kEightBall, k_gameTypeQuickMatch, 0, 1, -1, k_textSolidsP2, -1, -1, false},
      {MatchSetup::kEightBall, k_gameTypeCareer, 0, 0, -1, k_textSolidsP1, -1, -1, false},
      {MatchSetup::kUK, k_gameTypeSingleMatch, 0, 1, 2, k_textUkRivalPlays, -1, k_textGroupRed, true},
      {MatchSetup::kUK, k_gameTypeSingleMatch, 0, 0, 2, k_textUkRivalPlays, -1, k_textGroupYellow, true},
      {MatchSetup::kUK, k_gameTypeSingleMatch, 0, 0, -1, k_textUkNamePlays, k_textFirstName + 1, k_textGroupRed, true},
      {MatchSetup::kUK, k_gameTypeTournament, 0, 1, -1, k_textUkYouPlay, -1, k_textGroupYellow, true},
      {MatchSetup::kNineBall, k_gameTypeSingleMatch, 0, 0, -1, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    Rig rig(c.ruleSet);
    rig.setup.gameType = c.gameType;
    rig.setup.playerProfile[0] = c.profile0;
    rig.hooks.character[0] = 1;
    rig.setup.currentPlayer = c.current;
    rig.state.solidsPlayer = c.solids;
    rig.rules().showGroupsMessage();
    if (c.text == 0) {
      EXPECT_TRUE(rig.hooks.messages.empty());
      continue;
    }
    ASSERT_EQ(rig.hooks.messages.size(), 1u) << c.text;
    EXPECT_EQ(rig.hooks.messages[0], std::make_tuple(c.text, c.name, c.group));
    EXPECT_EQ(rig.state.groupsShown[0], c.shown);
  }
}

TEST(RulesApply, ClearedGroupTakesTheEight) {
  Rig rig;
  rig.world.breakPlayed = 1;
  rig.groups(kSolids);
  for (int32_t n = 2; n < 8; ++n) rig.pot(n, true);
  rig.play("h0-1 p1");
  ShotRules r = rig.rules();
  r.runShotRules();
  r.Rules_Apply();
  EXPECT_EQ(rig.state.shotOutcome, 0x2000u);
  EXPECT_EQ(rig.state.playerGroup[0], 256u);
  EXPECT_EQ(rig.state.playerTarget[0], 256u);
  EXPECT_EQ(rig.state.playerGroup[1], kStripes);
  ASSERT_EQ(rig.hooks.icons.size(), 1u);
  EXPECT_EQ(rig.hooks.icons[0], std::make_tuple(18, 3, -1));
  EXPECT_EQ(rig.setup.currentPlayer, 0);
  // Now the eight wins.
  rig.world.shot.clearEvents();
  rig.play("h0-8 p8");
  r.runShotRules();
  r.Rules_Apply();
  EXPECT_EQ(rig.state.winner, 0);
}

TEST(RulesApply, BallsOffTheTableAreFoulsAndComeBack) {
  struct Case {
    const char* name;
    int32_t ball;
    double x, y;
    bool marked;
    bool found;
  };
  const Case cases[] = {
      {"left of the table", 5, -4.0, -150, false, true},  {"right", 5, 166.0, -150, false, true},
      {"above", 5, 80, 3.0, false, true},                  {"below", 5, 80, -305.0, false, true},
      {"inside", 5, 80, -150, false, false},               {"marked off by the frame driver", 5, 80, -150, true, true},
      {"cue ball", 0, -4.0, -150, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.world.breakPlayed = 1;
    rig.groups(kSolids);
    PhysicalObject* b = rig.world.balls[c.ball];
    b->position.set(q(c.x), q(c.y));
    if (c.marked) {
      b->offTable = 1;
      b->pocketed = 1;
    }
    rig.play("h0-2 c2");
    ShotRules r = rig.rules();
    r.runShotRules();
    r.Rules_Apply();
    EXPECT_EQ((rig.state.shotOutcome & 0x4202u) == 0x4202u, c.found) << std::hex << rig.state.shotOutcome;
    EXPECT_EQ(rig.state.respotPending, c.found);
    if (!c.found) continue;
    EXPECT_EQ(rig.state.messageText, 171u);
    EXPECT_TRUE(rig.state.ballInHand);
    if (c.ball == 0) continue;
    r.respotBalls();
    EXPECT_FALSE(rig.state.respotPending);
    EXPECT_EQ(rig.state.respotMask, 0u);
    EXPECT_EQ(b->position.x, q(84.5));
    EXPECT_EQ(b->position.y, q(-100.0));
    EXPECT_FALSE(b->pocketed || b->offTable || b->hidden);
    EXPECT_EQ(rig.state.lastRespotted, c.ball);
  }
}

TEST(RulesApply, RespotWalksTheSpotLine) {
  // Balls already on the line push the re-spotted ball up in steps of 9.0,
  // then below the spot once the line reaches -24.5.
  struct Case {
    int32_t blockers;  // balls on the line from -100 up
    double wantX, wantY;
  };
  const Case cases[] = {{0, 84.5, -100}, {1, 84.5, -91}, {3, 84.5, -73}, {8, 84.5, -28}, {9, 84.5, -109}, {10, 84.5, -118}};
  for (const Case& c : cases) {
    Rig rig;
    for (int32_t k = 0; k < c.blockers && k < 9; ++k) rig.world.balls[1 + k]->position.set(q(84.5), q(-100.0 + 9.0 * k));
    if (c.blockers == 10) rig.world.balls[10]->position.set(q(84.5), q(-109.0));
    rig.pot(12);
    rig.state.respotMask = 1u << 12;
    rig.state.respotPending = 1;
    rig.rules().respotBalls();
    EXPECT_EQ(rig.world.balls[12]->position.x, q(c.wantX)) << c.blockers;
    EXPECT_EQ(rig.world.balls[12]->position.y, q(c.wantY)) << c.blockers;
  }
  // Fifteen balls between the thirty places of the line fill it: the ball
  // goes to the neighbouring line, still inside the play area.
  Rig rig;
  int32_t k = 0;
  for (int32_t n = 0; n < 16; ++n) {
    if (n == 3) continue;
    rig.world.balls[n]->position.set(q(84.5), q(-284.5 + 18.0 * k++));
  }
  rig.pot(3);
  rig.state.respotMask = 1u << 3;
  rig.rules().respotBalls();
  EXPECT_EQ(rig.world.balls[3]->position.x, q(93.5));
  EXPECT_EQ(rig.world.balls[3]->position.y, q(-100.0));
}

TEST(RulesApply, StreakAchievementsOnePerShot) {
  struct Case {
    int32_t streakBefore;
    uint8_t flag0, flag1;
    uint32_t unlocked;
    std::vector<int32_t> want;
  };
  const Case cases[] = {
      {0, 0, 0, 0, {}},       {1, 0, 0, 0, {10}},          {1, 0, 0, 1u << 10, {}}, {2, 0, 0, 0, {25}},
      {2, 1, 0, 0, {}},       {7, 0, 0, 0, {21}},          {7, 1, 0, 0, {}},        {4, 0, 0, 1u << 25, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.streakBefore);
    Rig rig;
    rig.world.breakPlayed = 1;
    rig.groups(kSolids);
    rig.state.streak = c.streakBefore;
    rig.state.streakFlags[0] = c.flag0;
    rig.state.streakFlags[1] = c.flag1;
    rig.hooks.unlockedMask = c.unlocked;
    rig.play("h0-2 p2", true);
    ShotRules r = rig.rules();
    r.runShotRules();
    r.Rules_Apply();
    EXPECT_EQ(rig.state.streak, c.streakBefore + 1);
    EXPECT_EQ(rig.hooks.achievements, c.want);
  }
}

TEST(RulesApply, TrickShotBonus) {
  struct Case {
    const char* name;
    const char* events;
    int32_t streakBefore;
    bool computer;
    std::vector<int32_t> dialog;  // empty: none
    int32_t clap;
    std::vector<int32_t> achievements;
  };
  const Case cases[] = {
      {"single pot", "h0-2 p2", 0, false, {}, 0, {}},
      {"double pot", "h0-2 h2-3 p2 p3", 0, false, {2, 661, 666, -1}, 90, {16, 20}},
      {"bank pot", "h0-2 c2 p2", 0, false, {2, 659, 665, -1}, 70, {}},
      {"streak of three", "h0-2 p2", 2, false, {2, 660, 664, 3}, 80, {25}},
      {"triple pot off a streak", "h0-2 h0-3 h0-4 p2 p3 p4", 3, false, {2, 662, 664, 4}, 100, {28, 25}},
      {"computer shooter", "h0-2 h2-3 p2 p3", 0, true, {}, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.world.breakPlayed = 1;
    rig.groups(kSolids);
    rig.state.streak = c.streakBefore;
    if (c.computer) rig.setup.playerProfile[0] = 3;
    rig.play(c.events, true);
    rig.hooks.achievements.clear();
    ShotRules r = rig.rules();
    r.runShotRules();
    r.Rules_Apply();
    if (c.dialog.empty()) {
      EXPECT_TRUE(rig.hooks.dialogs.empty());
    } else {
      ASSERT_EQ(rig.hooks.dialogs.size(), 1u);
      EXPECT_EQ(rig.hooks.dialogs[0], c.dialog);
      ASSERT_FALSE(rig.hooks.sounds.empty());
      EXPECT_EQ(rig.hooks.sounds.back(), std::make_pair(1, c.clap));
      EXPECT_EQ(rig.hooks.vibrations, 1);
    }
    EXPECT_EQ(rig.hooks.achievements, c.achievements);
    EXPECT_EQ(rig.state.ballsPottedThisShot, 0);  // reset after the shot
    EXPECT_EQ(rig.state.bankCarriers, 0u);
  }
}

// What a shot is called: a bank is a rail met away from the pockets' mouths
// (a rail's last ball's width before its jaw is the mouth), and a ball hit
// by a ball that banked carries the bank on. Positions are where the ball
// stands at each contact (table units, y down the table).
TEST(RulesApply, BankCalls) {
  struct Case {
    const char* name;
    const char* events;
    std::vector<int32_t> dialog;  // empty: no call
    int32_t banks, combos;
  };
  const Case cases[] = {
      {"straight pot rubbing the jaw", "0(70,40) 2(55.5,32) h0-2 2(34.7,24.5) c2 m2 p2@0", {}, 0, 0},
      {"rattled in the side pocket's jaws", "0(120,120) h0-2 2(147.5,139) c2 j2 p2@3", {}, 0, 0},
      {"a ball's width out of the mouth", "0(70,40) h0-2 2(39.5,24.5) c2 p2@0", {2, 659, 665, -1}, 1, 0},
      {"just inside the mouth", "0(70,40) h0-2 2(38.5,24.5) c2 p2@0", {}, 0, 0},
      {"one-rail bank", "0(100,80) 2(120,90) h0-2 2(147.5,100) c2 p2@2", {2, 659, 665, -1}, 1, 0},
      {"kick then pot", "0(80,277.5) c0 h0-2 p2@4", {2, 659, 665, -1}, 1, 0},
      {"bank carrier into another ball", "h0-3 3(147.5,180) c3 h3-2 p2@3", {2, 661, 666, -1}, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.world.breakPlayed = 1;
    rig.groups(kSolids);
    rig.play(c.events, true);
    ShotRules r = rig.rules();
    r.runShotRules();
    r.Rules_Apply();
    if (c.dialog.empty())
      EXPECT_TRUE(rig.hooks.dialogs.empty());
    else
      EXPECT_EQ(rig.hooks.dialogs, std::vector<std::vector<int32_t>>{c.dialog});
    EXPECT_EQ(rig.state.bankShotCount, c.banks);
    EXPECT_EQ(rig.state.comboShotCount, c.combos);
  }
}

TEST(RulesApply, StreakEndsWithTheTurnForEveryPlayer) {
  for (int32_t profile : {-1, 2}) {
    Rig rig;
    rig.world.breakPlayed = 1;
    rig.groups(kSolids);
    rig.setup.playerProfile[0] = profile;
    rig.state.streak = 4;
    rig.play("h0-2 c2");
    ShotRules r = rig.rules();
    r.runShotRules();
    r.Rules_Apply();
    EXPECT_EQ(rig.setup.currentPlayer, 1);
    EXPECT_EQ(rig.state.streak, 0) << profile;
  }
}

TEST(RulesApply, LowestBallAndSmallPredicates) {
  Rig rig(MatchSetup::kNineBall);
  ShotRules r = rig.rules();
  EXPECT_EQ(r.lowestBallOnTable(), 1);
  for (int32_t n = 1; n < 5; ++n) rig.pot(n, true);
  EXPECT_EQ(r.lowestBallOnTable(), 5);
  for (int32_t n = 5; n < 16; ++n) rig.pot(n, true);
  EXPECT_EQ(r.lowestBallOnTable(), 15);
  EXPECT_TRUE(ShotRules::isSolid(7) && !ShotRules::isSolid(8) && !ShotRules::isSolid(0));
  EXPECT_TRUE(ShotRules::isStripe(9) && ShotRules::isStripe(15) && !ShotRules::isStripe(8));
  EXPECT_FALSE(ShotRules::isObjectBallOnTable(rig.world.cueBall));
  EXPECT_FALSE(ShotRules::isObjectBallOnTable(rig.world.balls[3]));
  rig.world.balls[3]->pocketed = 0;
  EXPECT_TRUE(ShotRules::isObjectBallOnTable(rig.world.balls[3]));
  EXPECT_FALSE(ShotRules::isObjectBallOnTable(rig.world.pockets[0]));
}

}  // namespace
