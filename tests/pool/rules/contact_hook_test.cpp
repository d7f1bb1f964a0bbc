// The contact hook: sounds, sparks, bank and combination tracking,
// achievements and the pocketed-ball displays while the balls move.
#include <gtest/gtest.h>

#include <algorithm>

#include "RulesRig.h"

using rulestest::q;
using rulestest::Rig;

namespace {

using Sound = std::pair<int32_t, int32_t>;

TEST(ContactHook, VolumesSoundsAndSpark) {
  EXPECT_EQ(ShotRules::contactVolume(0), 70);
  EXPECT_EQ(ShotRules::contactVolume(q(300.0)), 100);
  EXPECT_EQ(ShotRules::contactVolume(q(150.0)), 85);

  Rig rig;
  rig.world.balls[0]->speed = q(200.0);  // the struck cue ball
  rig.world.balls[3]->speed = q(100.0);
  rig.world.balls[3]->m_screenX = 40;
  rig.world.balls[3]->m_screenY = 60;
  ShotRules r = rig.rules();
  r.onContact(rig.world.balls[3], rig.world.balls[0]);
  r.onContact(rig.world.balls[3], rig.world.lines[18]);
  r.onContact(rig.world.balls[3], rig.world.pockets[1]);
  EXPECT_EQ(rig.hooks.sounds, (std::vector<Sound>{{3, 90}, {3, 90}, {2, 80}, {4, 80}}));
  EXPECT_EQ(rig.hooks.sparks, (std::vector<std::pair<int32_t, int32_t>>{{40, 60}}));
  EXPECT_TRUE(rig.state.ballSoundPlayed);
  EXPECT_EQ(rig.world.shot.eventCount, 3);

  // Skipped shots are silent; previews record nothing.
  Rig quiet;
  quiet.world.skipping = 1;
  quiet.rules().onContact(quiet.world.balls[0], quiet.world.balls[1]);
  EXPECT_TRUE(quiet.hooks.sounds.empty());
  EXPECT_EQ(quiet.world.shot.eventCount, 1);
  Rig preview;
  preview.world.shot.previewFlag = 1;
  preview.rules().onContact(preview.world.balls[0], preview.world.balls[1]);
  EXPECT_EQ(preview.world.shot.eventCount, 0);
  EXPECT_TRUE(preview.hooks.sounds.empty());
}

TEST(ContactHook, BankCarriersCombosAndRailCounts) {
  struct Case {
    const char* events;
    uint32_t carriers, combos;
    int32_t cueRails, ball2Rails;
  };
  const Case cases[] = {
      {"c0 h0-2", 0x5, 0, 1, 0},          // a ball hit by one that banked carries the bank on
      {"m0 j0 h0-2", 0x0, 0, 0, 0},       // pocket-mouth lines and jaw points are no bank rails
      {"h0-2 c0 m0 c0", 0x1, 0, 0, 0},    // after its first ball contact the cue ball's rails are not counted
      {"h0-2 h2-5 c5 h5-7", 0xA0, 0xA4, 0, 0},
      {"h0-2 c2 m2 c2", 0x4, 0, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.events);
    Rig rig;
    rig.play(c.events, true);
    EXPECT_EQ(rig.state.bankCarriers, c.carriers);
    EXPECT_EQ(rig.state.comboBalls, c.combos);
    EXPECT_EQ(rig.state.ballRailCount[0], c.cueRails);
    EXPECT_EQ(rig.state.ballRailCount[2], c.ball2Rails);
  }
  // A rail brushed in a pocket's mouth on the way in is no bank; the same
  // rail a ball's width further out is.
  for (const auto& [y, carries] : {std::pair{-34.0, false}, std::pair{-45.0, true}}) {
    SCOPED_TRACE(y);
    Rig rig;
    rig.world.balls[2]->position.set(q(21.5), q(y));  // against the left rail, below the top-left pocket
    rig.play("h0-2 c2 p2", true);
    EXPECT_EQ(rig.state.bankPot, carries);
  }
}

TEST(ContactHook, AchievementsAndFrameFlags) {
  struct Case {
    const char* name;
    bool breakPlayed;
    uint32_t group0;
    bool computer;
    const char* events;
    std::vector<int32_t> achievements;
  };
  const Case cases[] = {
      {"three cushions then an own ball", true, RuleState::kSolids, false, "c0 d0 c0 h0-2", {0}},
      {"three own-group hits", true, RuleState::kSolids, false, "h0-2 h2-9 h0-3 h3-9 h0-4", {7}},
      {"a pot on the break", false, 0, false, "h0-1 p1", {9}},
      {"own ball with two cushions potted", true, RuleState::kSolids, false, "h0-2 c2 d2 p2", {18}},
      {"eight twice in the same pocket", true, 256, false, "h0-8 p8@4", {}},
      {"a computer earns nothing", true, RuleState::kSolids, true, "c0 d0 c0 h0-2 h2-9 h0-3 h0-4 c4 d4 c4 p4", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.world.breakPlayed = c.breakPlayed;
    if (c.group0) rig.groups(c.group0);
    if (c.computer) rig.setup.playerProfile[0] = 1;
    rig.play(c.events, true);
    EXPECT_EQ(rig.hooks.achievements, c.achievements);
  }
  // The game ball into the pocket of the last counted pot.
  Rig rig;
  rig.world.breakPlayed = 1;
  rig.groups(256);
  rig.state.lastPotPocket[0] = 4;
  rig.play("h0-8 p8@4", true);
  EXPECT_EQ(rig.hooks.achievements, (std::vector<int32_t>{5}));
  // Group chosen on the break and the cue ball touching the eight.
  Rig b;
  b.play("h0-8 p12 p0", true);
  EXPECT_EQ(b.state.groupChosenOnBreak[0], -1);
  EXPECT_TRUE(b.state.cueTouchedEight);
  EXPECT_TRUE(b.state.cuePotted);
  EXPECT_FALSE(b.state.noScratchInFrame);
  Rig s;
  s.play("h0-1 p12", true);
  EXPECT_EQ(s.state.groupChosenOnBreak[0], static_cast<int32_t>(RuleState::kStripes));
}

TEST(ContactHook, PocketedBallDisplaysAndTheCrowd) {
  Rig rig;
  rig.world.breakPlayed = 1;
  rig.groups(RuleState::kSolids);
  rig.play("h0-2 p2 p10 p8 p0", true);
  EXPECT_EQ(rig.hooks.potted, (std::vector<std::pair<int32_t, int32_t>>{{2, 0}, {10, 1}, {8, 1}}));
  EXPECT_EQ(rig.state.ballsPottedThisShot, 1);
  int32_t crowd = 0;
  for (const Sound& sound : rig.hooks.sounds) crowd += sound.first == 8 ? 1 : 0;
  EXPECT_EQ(crowd, 1);  // the wrong eight and the scratch share one crowd sound
  EXPECT_NE(std::find(rig.hooks.sounds.begin(), rig.hooks.sounds.end(), Sound(8, 100)), rig.hooks.sounds.end());
}

TEST(ContactHook, NineDroppingMidShotIsJudgedOnACopy) {
  struct Case {
    const char* events;
    bool counted;
  };
  const Case cases[] = {{"h0-1 h1-9 p9", true}, {"h0-2 h2-9 p9", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.events);
    Rig rig(MatchSetup::kNineBall);
    rig.world.breakPlayed = 1;
    rig.state.shotOutcome = 0x1234;
    rig.play(c.events, true);
    bool nine = false;
    for (auto [ball, player] : rig.hooks.potted) nine |= ball == 9;
    EXPECT_EQ(nine, c.counted);
    EXPECT_EQ(rig.state.shotOutcome, 0x1234u);  // the look-ahead left the outcome alone
    EXPECT_EQ(rig.state.respotMask, 0u);
  }
}

TEST(ContactHook, StrokeClearsStaleRespotsAndCounters) {
  Rig rig;
  rig.state.respotMask = 1u << 4;
  rig.state.respotPending = 1;
  rig.play("c0 d0 c0 h0-2", true);
  rig.rules().beginStroke();
  EXPECT_EQ(rig.state.respotMask, 0u);
  EXPECT_FALSE(rig.state.respotPending);
  EXPECT_EQ(rig.state.ballRailCount[0], 0);
  EXPECT_EQ(rig.world.shot.eventCount, 0);
}

}  // namespace
