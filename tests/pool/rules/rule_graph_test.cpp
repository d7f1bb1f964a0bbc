// The rule graph: outcome words and texts of scripted shots in each rule
// set, the lag, challenges and tutorial lessons; and the graph's invariants.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "RulesRig.h"

using rulestest::Rig;

namespace {

struct Row {
  const char* name;
  int32_t ruleSet;
  bool breakPlayed;
  uint32_t group0;  // 0 = open table
  int32_t shotsLeft;
  const char* events;
  uint32_t outcome;
  uint32_t text1, text2;  // 0 = not checked
};

void judgeRows(const Row* rows, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const Row& c = rows[i];
    SCOPED_TRACE(c.name);
    Rig rig(c.ruleSet);
    rig.world.breakPlayed = c.breakPlayed;
    if (c.group0) rig.groups(c.group0);
    rig.state.shotsLeft = c.shotsLeft;
    EXPECT_EQ(rig.judge(c.events), c.outcome) << std::hex << rig.state.shotOutcome;
    if (c.text1) {
      EXPECT_EQ(rig.state.messageText, c.text1);
    }
    if (c.text2) {
      EXPECT_EQ(rig.state.secondMessageText, c.text2);
    }
    EXPECT_EQ(rig.state.nodeSlot, -1);
  }
}

constexpr uint32_t kSolids = RuleState::kSolids;

TEST(RuleGraph, EightBall) {
  const Row rows[] = {
      {"legal break, four balls at cushions", 0, false, 0, 1, "h0-1 h1-2 c1 c2 c3 c4", 0x2002, 0, 0},
      {"three at cushions after a hit", 0, false, 0, 1, "h0-1 c1 c2 c3", 0x2603, 169, 176},
      {"nothing hit", 0, false, 0, 1, "c0", 0xA602, 169, 176},
      {"the eight on the break", 0, false, 0, 1, "h0-1 c1 p8", 0x2003, 0, 0},
      {"a ball potted on the break keeps the turn", 0, false, 0, 1, "h0-1 p3 c1", 0x2000, 0, 0},
      {"pot, then the eight on the break", 0, false, 0, 1, "h0-1 p3 p8", 0x2603, 170, 178},
      {"cue ball potted on the break", 0, false, 0, 1, "h0-1 c1 c2 c3 c4 p0", 0x2042, 0, 0},
      {"cue ball potted on a short break", 0, false, 0, 1, "h0-1 c1 p0", 0x2643, 169, 176},
      {"cue ball off the table on the break", 0, false, 0, 1, "h0-1 o0", 0x3643, 168, 174},
      {"open table cue on the eight", 0, true, 0, 1, "h0-8 c8", 0x46202, 171, 0},
      {"open table pots ball 3", 0, true, 0, 1, "h0-3 c3 p3", 0x2080, 0, 0},
      {"open table pots a stripe", 0, true, 0, 1, "h0-3 h3-12 p12", 0x2180, 0, 0},
      {"open table pots the eight", 0, true, 0, 1, "h0-3 p8", 0x2010, 0, 0},
      {"open table pot then scratch", 0, true, 0, 1, "h0-3 p3 p0", 0x42042, 0, 0},
      {"open table, nothing after the hit", 0, true, 0, 1, "h0-3", 0x46202, 171, 0},
      {"open table, a rail after the hit", 0, true, 0, 1, "h0-3 c3", 0x2002, 0, 0},
      {"open table cue off", 0, true, 0, 1, "h0-3 o0", 0x43642, 168, 174},
      {"own ball potted", 0, true, kSolids, 1, "h0-2 p2", 0x2000, 0, 0},
      {"other group first", 0, true, kSolids, 1, "h0-10 c10", 0x44202, 171, 0},
      {"miss with a rail", 0, true, kSolids, 1, "h0-2 c2", 0x2, 0, 0},
      {"no rail after the hit", 0, true, kSolids, 1, "h0-2", 0x44202, 171, 0},
      {"a ball of the other group potted", 0, true, kSolids, 1, "h0-2 h2-10 p10", 0x2, 0, 0},
      {"eight potted with own balls left", 0, true, kSolids, 1, "h0-1 p8", 0x2010, 0, 0},
      {"eight then cue ball", 0, true, 256, 1, "h0-8 p8 p0", 0x2010, 0, 0},
      {"cue ball potted", 0, true, kSolids, 1, "h0-2 c2 p0", 0x40042, 0, 0},
      {"cue ball off", 0, true, kSolids, 1, "h0-2 o0", 0x41642, 168, 174},
  };
  judgeRows(rows, std::size(rows));
}

TEST(RuleGraph, EightPottedOnACleanTable) {
  Rig rig;
  rig.world.breakPlayed = 1;
  rig.groups(256);
  for (int32_t n = 1; n < 8; ++n) rig.pot(n, true);
  EXPECT_EQ(rig.judge("h0-8 p8"), 0x2008u);
}

// The eight after a scratch loses the frame, for a player on the eight too.
TEST(RuleGraph, EightAfterAScratchLoses) {
  for (const bool onEight : {false, true}) {
    Rig rig;
    rig.world.breakPlayed = 1;
    rig.groups(onEight ? 256 : RuleState::kSolids);
    if (onEight)
      for (int32_t n = 1; n < 8; ++n) rig.pot(n, true);
    EXPECT_TRUE(rig.judge(onEight ? "h0-8 p0 p8" : "h0-1 p0 p8") & ruleids::k_outLose) << onEight;
  }
}

TEST(RuleGraph, UkEightBall) {
  const Row rows[] = {
      {"the eight on the break", 1, false, 0, 1, "h0-1 p8", 0x2001, 0, 0},
      {"legal break", 1, false, 0, 1, "h0-1 c1", 0x2002, 0, 0},
      {"cue ball potted", 1, true, kSolids, 1, "h0-2 c2 p0", 0x40042, 0, 0},
      {"other group first with two shots", 1, true, kSolids, 2, "h0-10 c10", 0x2, 0, 0},
      {"other group then own ball", 1, true, kSolids, 1, "h0-2 h2-10 p10 p3", 0x2000, 0, 0},
      {"open table jump", 1, true, 0, 1, "h0-3 c3", 0x56242, 171, 0},
  };
  for (const Row& c : rows) {
    SCOPED_TRACE(c.name);
    Rig rig(c.ruleSet);
    rig.world.breakPlayed = c.breakPlayed;
    if (c.group0) rig.groups(c.group0);
    rig.state.shotsLeft = c.shotsLeft;
    if (std::string(c.name) == "open table jump") rig.world.shot.jumpShot = 1;
    EXPECT_EQ(rig.judge(c.events), c.outcome) << std::hex << rig.state.shotOutcome;
    if (c.text1) {
      EXPECT_EQ(rig.state.messageText, c.text1);
    }
  }
}

TEST(RuleGraph, UkBreakCountsBallsBeyondTheSidePockets) {
  struct Case {
    int32_t beyond;
    bool hit;
    uint32_t outcome;
  };
  const Case cases[] = {{2, true, 0x2002}, {1, true, 0x42603}, {1, false, 0x4A602}};
  for (const Case& c : cases) {
    Rig rig(MatchSetup::kUK);
    for (int32_t n = 0; n < 16; ++n) rig.world.balls[n]->position.y = n < c.beyond ? rulestest::q(-151.0) : rulestest::q(-100.0);
    EXPECT_EQ(rig.judge(c.hit ? "h0-1 c1 c2 c3 c4" : "c0"), c.outcome) << c.beyond;
  }
}

TEST(RuleGraph, NineBall) {
  const Row rows[] = {
      {"legal with a rail", 2, true, 0, 1, "h0-1 c1", 0x2, 0, 0},
      {"legal without a rail", 2, true, 0, 1, "h0-1", 0x4202, 171, 0},
      {"wrong first ball", 2, true, 0, 1, "h0-2 c2", 0x4002, 0, 0},
      {"nine potted legally", 2, true, 0, 1, "h0-1 h1-9 p9", 0x8, 0, 0},
      {"lowest ball potted", 2, true, 0, 1, "h0-1 p1", 0x20000, 0, 0},
      {"other ball potted", 2, true, 0, 1, "h0-1 h1-4 p4", 0x0, 0, 0},
      {"nine on a foul is re-spotted", 2, true, 0, 1, "h0-2 h2-9 p9", 0x4002, 0, 0},
      {"scratch after a legal hit", 2, true, 0, 1, "h0-1 c1 p0", 0x4042, 0, 0},
      {"no event after the break", 2, true, 0, 1, "", 0x4202, 171, 0},
      {"cue ball off after the break", 2, true, 0, 1, "o0", 0x4202, 168, 0},
      {"break with no event", 2, false, 0, 1, "", 0xC202, 171, 0},
      {"break scratch", 2, false, 0, 1, "p0", 0x242, 169, 0},
      {"break with four at cushions", 2, false, 0, 1, "h0-1 c1 c2 c3 c4", 0x2, 0, 0},
      {"break with three at cushions", 2, false, 0, 1, "h0-1 c1 c2 c3", 0x4202, 171, 0},
  };
  judgeRows(rows, std::size(rows));
  Rig rig(MatchSetup::kNineBall);
  rig.world.breakPlayed = 1;
  rig.judge("h0-2 h2-9 p9");
  EXPECT_TRUE(rig.state.respotPending);
  EXPECT_EQ(rig.state.respotMask, 1u << 9);
}

TEST(RuleGraph, Lag) {
  struct Case {
    const char* name;
    const char* events;
    bool second;
    double cueY, markerY;
    int32_t character;
    uint32_t outcome, text1, text2;
  };
  const Case cases[] = {
      {"first shot", "c0 c0", false, -30, -30, 0, 0x2802, 0, 0},
      {"no cushion", "", false, -30, -30, 0, 0x260A, 515, 519},
      {"four cushions", "c0 m0 c0 j0", true, -30, -30, 0, 0x260A, 515, 519},
      {"tie", "c0 c0", true, -30, -30, 0, 0x2E22, 514, 518},
      {"marker lower", "c0", true, -30, -40, 0, 0x2608, 512, 517},
      {"marker lower, rival decides", "c0", true, -30, -40, 10, 0x2608, 513, 517},
      {"marker higher", "c0 m0", true, -40, -30, 0, 0x260A, 512, 517},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.state.rulesMode = RuleState::kModeLag;
    rig.state.normalPlay = 0;
    rig.state.lagSecondShot = c.second;
    rig.setup.currentPlayer = 1;
    rig.hooks.character[1] = c.character;
    rig.world.cueBall->position.y = rulestest::q(c.cueY);
    rig.world.ball8->position.y = rulestest::q(c.markerY);
    EXPECT_EQ(rig.judge(c.events), c.outcome) << std::hex << rig.state.shotOutcome;
    if (c.text1) {
      EXPECT_EQ(rig.state.messageText, c.text1);
      EXPECT_EQ(rig.state.secondMessageText, c.text2);
    }
  }
}

TEST(RuleGraph, TutorialLessons) {
  struct Case {
    int32_t lesson;
    const char* events;
    bool jump;
    uint32_t outcome;
  };
  const Case cases[] = {
      {0, "h0-3 p3", false, 0x2008},       {0, "h0-5 h5-3 p3", false, 0x2010}, {0, "h0-3 c3", false, 0x2010},
      {0, "l0 h0-3 p3", false, 0x2010},    {0, "h0-3 p3 p0", false, 0x2010},   {1, "h0-1 h1-3 p3 p1", false, 0x2008},
      {1, "h0-3 p3", false, 0x2010},       {1, "h0-2 p3 p1", false, 0x2010},   {2, "h0-3 p3", false, 0x2008},
      {2, "h0-3 p3", true, 0x2010},        {2, "l0 h0-9 p3", false, 0x2008},   {3, "h0-3 p3", false, 0x2008},
      {3, "h0-9 p3", false, 0x2010},       {4, "h0-3 h3-2 p3", false, 0x2008}, {4, "h0-2 p3", false, 0x2010},
      {4, "o0", false, 0x2010},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.lesson) + ": " + c.events);
    Rig rig;
    rig.state.rulesMode = RuleState::kModeTutorial;
    rig.setup.lessonNumber = c.lesson;
    rig.world.shot.jumpShot = c.jump;
    EXPECT_EQ(rig.judge(c.events), c.outcome) << std::hex << rig.state.shotOutcome;
  }
}

TEST(RuleGraph, Challenges) {
  struct Case {
    int32_t challenge;
    const char* events;
    int32_t shotsBefore;  // -1: as loaded
    uint32_t outcome, text;
  };
  const Case cases[] = {
      {0, "h0-3 p3@1", -1, 0x8, 0},
      {0, "h0-3 p3@2", -1, 0x210, 646},
      {0, "h0-3 c3", -1, 0x210, 645},
      {0, "h0-3 p3@1 p0", -1, 0x210, 636},
      {0, "h0-3 p3@1 o0", -1, 0x210, 637},
      {4, "h0-2 p2", -1, 0x0, 0},
      {4, "h0-2 c2 p2", -1, 0x210, 647},
      {4, "h0-2 h2-5", -1, 0x210, 640},
      {4, "h0-2 p2", 1, 0x210, 638},
      {6, "h0-1 p1@2", -1, 0x0, 0},
      {6, "h0-1 p1@1", -1, 0x210, 640},
      {6, "h0-1 p1@0 p2@2", -1, 0x210, 646},
      {9, "h0-4 p4@5", -1, 0x8, 0},
      {9, "h0-2 h2-4 p4", -1, 0x210, 648},
      {10, "h0-6 h6-1 p1 p6", -1, 0x8, 0},
      {10, "h0-1 h1-6 p1 p6", -1, 0x210, 648},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.challenge) + ": " + c.events);
    Rig rig;
    rig.state.rulesMode = RuleState::kModeChallenge;
    rig.setup.challengeNumber = c.challenge;
    rig.world.breakPlayed = 1;
    // Only the challenge's targets stand on the table.
    rig.rules().startChallengeRules();
    for (int32_t n = 1; n < 16; ++n)
      if (!(rig.state.challengeTargets & (1u << n)) && n != 5) rig.pot(n, true);
    if (c.shotsBefore >= 0) rig.state.challengeShotsLeft = c.shotsBefore;
    if (c.challenge == 4) {
      for (int32_t n : {3, 4, 6, 9, 10, 11}) rig.world.balls[n]->pocketed = 0;
    }
    EXPECT_EQ(rig.judge(c.events), c.outcome) << std::hex << rig.state.shotOutcome;
    if (c.text) {
      EXPECT_EQ(rig.state.messageText, c.text);
    }
  }
}

TEST(RuleGraph, ChallengeDefinitionsLoad) {
  struct Case {
    int32_t index;
    int32_t firstContact, contactMask, forbidden, shots;
    bool potEvery, noCushion;
    int32_t failText;
    uint32_t targets;
    std::vector<std::pair<int32_t, int32_t>> pockets;
  };
  const Case cases[] = {
      {0, -1, -1, 0, 1, false, false, 645, 0x9, {{3, 1}}},
      {4, -1, -1, 0, 7, true, true, 638, 0xE5D, {{2, -1}, {11, -1}}},
      {6, -1, -1, 3, 5, true, false, 638, 0x3F, {{5, -1}}},
      {9, -1, 17, 0, 1, false, false, 642, 0x11, {{4, -1}}},
      {10, 64, -1, 0, 1, false, false, 638, 0x43, {{1, -1}, {6, -1}}},
      {14, -1, -1, 0, 10, false, false, 638, 0x26FE, {{13, -1}}},
      {30, 4, -1, 0, 1, false, false, 638, 0x7, {{1, 3}, {2, 5}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    Rig rig;
    rig.setup.challengeNumber = c.index;
    ShotRules r = rig.rules();
    r.startChallengeRules();
    EXPECT_EQ(rig.state.challengeFirstContact, c.firstContact);
    EXPECT_EQ(rig.state.challengeContactMask, c.contactMask);
    EXPECT_EQ(rig.state.challengeForbiddenPockets, c.forbidden);
    EXPECT_EQ(rig.state.challengeShotsLeft, c.shots);
    EXPECT_EQ(r.challengeHasSeveralShots(), c.shots > 1);
    EXPECT_EQ(rig.state.challengePotEveryShot, c.potEvery);
    EXPECT_EQ(rig.state.challengeNoCushion, c.noCushion);
    EXPECT_EQ(rig.state.challengeFailText, c.failText);
    EXPECT_EQ(rig.state.challengeTargets, c.targets);
    EXPECT_TRUE(rig.state.challengeCheckOn);
    for (auto [ball, pocket] : c.pockets) EXPECT_EQ(rig.state.challengePocketOf[ball], pocket) << ball;
  }
  // Every record: words 4-6 are flags, texts are challenge texts, pairs name balls and pockets.
  for (const auto& d : ChallengeDefinition) {
    for (int32_t k = 4; k <= 6; ++k) EXPECT_TRUE(d[k] == 0 || d[k] == 1);
    EXPECT_GE(d[7], 638);
    EXPECT_LE(d[7], 645);
    for (int32_t k = 9; k < kChallengeWords; k += 2) {
      EXPECT_TRUE(d[k] >= 0 && d[k] < 16);
      EXPECT_TRUE(d[k + 1] >= -1 && d[k + 1] < 6);
    }
  }
  // An index outside the table loads nothing.
  Rig rig;
  rig.setup.challengeNumber = 32;
  rig.rules().startChallengeRules();
  EXPECT_FALSE(rig.state.challengeCheckOn);
}

TEST(RuleGraph, ModesAndNodesOutsideTheGraph) {
  Rig rig;
  rig.state.rulesMode = 7;
  EXPECT_EQ(rig.judge("h0-1 p1"), 0u);
  for (int32_t node : {5, 10, 16, 19, 20, 26, -3}) {
    Rig r;
    r.play("h0-1");
    ShotRules rules = r.rules();
    rules.pushShotRulesState(node);
    rules.updateShotRules(node, 1);
    EXPECT_EQ(r.state.shotOutcome, 0u) << node;
  }
}

TEST(RuleGraph, EventListReadingAndRecording) {
  Rig rig;
  rig.play("h0-1 h0-1 c1");
  EXPECT_EQ(rig.world.shot.eventCount, 2);  // the repeat is recorded once
  ShotRules r = rig.rules();
  r.nextShotEvent();
  EXPECT_EQ(rig.state.eventBall, 0);
  EXPECT_EQ(rig.state.otherBall, 1);
  EXPECT_EQ(rig.state.otherType, static_cast<uint32_t>(PhysicalObject::kBall));
  r.nextShotEvent();
  EXPECT_EQ(rig.state.eventBall, 1);
  EXPECT_EQ(rig.state.otherBall, -1);
  EXPECT_EQ(rig.state.otherType, static_cast<uint32_t>(PhysicalObject::kLine));
  r.nextShotEvent();
  EXPECT_EQ(rig.state.currentEvent, -1);
  EXPECT_EQ(rig.state.eventBall, -1);
  EXPECT_EQ(rig.state.otherType, 0u);
  EXPECT_EQ(rig.state.ballType, 0u);
  for (int32_t k = 0; k < 300; ++k) rig.play(k % 2 ? "c1" : "h1-2");
  EXPECT_EQ(rig.world.shot.eventCount, ShotRecord::kMaxEvents);
}

// Random shots in every mode and rule set: the graph always ends, sets only
// defined bits, and a look-ahead leaves every rule field as it was.
TEST(RuleGraph, RandomShotsEndAndLookAheadChangesNothing) {
  std::mt19937 gen(7);
  const int32_t modes[] = {RuleState::kModeLag, RuleState::kModePlay, RuleState::kModeChallenge,
                           RuleState::kModeTutorial};
  for (int32_t round = 0; round < 300; ++round) {
    Rig rig(static_cast<int32_t>(gen() % 3));
    rig.state.rulesMode = modes[gen() % 4];
    rig.world.breakPlayed = gen() % 2;
    rig.world.shot.jumpShot = gen() % 2;
    rig.state.shotsLeft = 1 + static_cast<int32_t>(gen() % 2);
    rig.state.lagSecondShot = gen() % 2;
    rig.setup.lessonNumber = static_cast<int32_t>(gen() % 5);
    rig.setup.challengeNumber = static_cast<int32_t>(gen() % 32);
    if (gen() % 2) rig.groups(gen() % 2 ? RuleState::kSolids : RuleState::kStripes);
    if (rig.state.rulesMode == RuleState::kModeChallenge) rig.rules().startChallengeRules();
    std::ostringstream out;
    const int32_t count = static_cast<int32_t>(gen() % 40);
    for (int32_t k = 0; k < count; ++k) {
      const int32_t a = static_cast<int32_t>(gen() % 16), b = static_cast<int32_t>(gen() % 16);
      const char kind = "hcmjpol"[gen() % 7];
      out << kind << a;
      if (kind == 'h') out << '-' << (b == a ? (a + 1) % 16 : b);
      if (kind == 'p') out << '@' << gen() % 6;
      out << ' ';
    }
    const std::string script = out.str();
    rig.play(script);
    const RuleState before = rig.state;
    const uint8_t jump = rig.world.shot.jumpShot;
    const uint32_t ahead = rig.rules().lookAheadShotRules();
    EXPECT_TRUE(rig.state == before) << script;
    EXPECT_EQ(rig.world.shot.jumpShot, jump);
    rig.rules().runShotRules();
    EXPECT_EQ(rig.state.shotOutcome, ahead) << script;
    EXPECT_EQ(rig.state.nodeSlot, -1);
    EXPECT_EQ(rig.state.shotOutcome & ~ruleids::k_outAllBits, 0u) << std::hex << rig.state.shotOutcome << " " << script;
  }
}

}  // namespace
