// Whole frames on the built data set, on the virtual clock: the computer
// against the computer for each rule set (with and without skipping its
// shots), and a scripted human against the computer. After every shot the
// balls are checked; a rerun with the same seed plays the same shots.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gles/GlContext.h"
#include "tests/game/data/DataFixture.h"
#include "wince/layer.h"
#include "zul/2d/MutableImage.h"

namespace {

constexpr int kKeyFire = 19, kKeyNextTarget = 10;

struct Result {
  int32_t winner = -2;
  int32_t shots = 0;
  int32_t finalState = -1;
  uint64_t hash = 1469598103934665603ull;
  bool lagged = false;
  std::string failure;
  std::vector<uint16_t> breakFrame, resultFrame;
};

class MatchTest : public DataTest {
 protected:
  void SetUp() override {
    wince::reset();
    wince::advanceClock(1000000);
    DataTest::SetUp();
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/table.bar")) GTEST_SKIP() << "no data set";
    for (const auto& entry : std::filesystem::directory_iterator(data))
      std::filesystem::copy(entry.path(), dir / entry.path().filename());
  }
  void TearDown() override {
    game.reset();
    if (gl) setCurrentGlContext(nullptr);
    gl.reset();
    DataTest::TearDown();
    wince::reset(false);
  }
  void frame() {
    wince::advanceClock(33334);
    game->update(nullptr);
  }
  // A fresh game through start-up and the menus' loading, then the match's
  // loading with the given rule set and game type.
  void loadMatch(int32_t gameType, int32_t ruleSet, uint32_t seed) {
    // A fresh shell for each game: the sound player belongs to one game's life.
    game.reset();
    shell = std::make_unique<ShellHost>(&running);
    ASSERT_TRUE(shell->setRootPath((dir.string() + "/").c_str()));
    game = std::make_unique<cGame>(&screen);
    game->init();
    for (int i = 0; i < 40 && game->states.gameState != k_stateLogo; ++i) frame();
    game->loading.logoStartTime = game->frame.gameClock - 5000;
    for (int i = 0;
         i < 400 && game->states.gameState != k_stateFirstRunQuestion && game->states.gameState != k_stateMainMenu; ++i)
      frame();
    ASSERT_TRUE(game->states.gameState == k_stateFirstRunQuestion || game->states.gameState == k_stateMainMenu);
    game->match.gameType = gameType;
    game->match.ruleSet = ruleSet;
    game->setup.chosenCharacter[0] = 2;
    game->setup.chosenCharacter[1] = 7;
    game->setup.chosenRival = 7;
    game->setup.tableIndex = 1;
    // The rack is jittered as the match starts, at the end of the loading.
    game->engine.random->setSeed(seed);
    enterGameLoading(*game);
    if (!expectMatch) return;
    for (int i = 0; i < 400 && !game->states.inGame; ++i) frame();
    ASSERT_EQ(game->states.inGame, 1);
    game->turn.fastThinking = 1;
  }
  bool expectMatch = true;
  std::function<bool()> watch;  // after every frame of play(); true ends it
  std::unique_ptr<GlContext> gl;  // the renderer's context, when a test draws in 3D
  void hashWord(Result& r, int64_t v) {
    for (int b = 0; b < 8; ++b) {
      r.hash ^= static_cast<uint64_t>(v >> (8 * b)) & 0xFF;
      r.hash *= 1099511628211ull;
    }
  }
  // The balls after a shot: all sixteen in the list, none off the table,
  // every potted one hidden.
  void checkBalls(Result& r) {
    int32_t count = 0;
    for (PhysicalObject* b = game->world.ballList; b; b = b->next) {
      if (b->identity < 0 || b->identity >= 16) continue;
      ++count;
      hashWord(r, b->position.x);
      hashWord(r, b->position.y);
      hashWord(r, b->pocketed);
      if (b->offTable) r.failure += "ball " + std::to_string(b->identity) + " off the table; ";
      if (b->pocketed && !b->hidden && !b->dropping)
        r.failure += "ball " + std::to_string(b->identity) + " potted but shown; ";
      if (!b->pocketed && (b->position.x < -0x4000 || b->position.x > 0x2A8000 || b->position.y > -0x8000 ||
                           b->position.y < -0x4B0000))
        r.failure += "ball " + std::to_string(b->identity) + " outside the table; ";
    }
    if (count != 16) r.failure += "ball count " + std::to_string(count) + "; ";
  }
  // Runs the frame to its result (506 or 320), at most maxFrames frames. A
  // human player 0 aims at its next target and fires at the gauge given.
  Result play(int maxFrames, bool human, int32_t fireGauge = 9000) {
    Result r;
    int32_t last = -1;
    for (int f = 0; f < maxFrames; ++f) {
      const int32_t s = game->states.gameState;
      if (s == k_stateResultLines && r.resultFrame.empty()) {
        // The result lines once the HUD has slid over.
        for (int i = 0; i < 60; ++i) frame();
        r.resultFrame = pixels();
      }
      if (s == k_stateResultLines || s == k_stateInGameQuestion || s == k_stateGameOver) break;
      if (s != last) {
        if (s == k_stateBallsMoving) {
          r.lagged = r.lagged || game->rules.rulesMode == RuleState::kModeLag;
          r.shots += 1;
          hashWord(r, game->world.shot.aim.x);
          hashWord(r, game->world.shot.aim.y);
          hashWord(r, game->world.shot.powerGauge);
        }
        if (s == k_stateAfterShot) checkBalls(r);
        last = s;
      }
      const bool humanTurn = human && game->match.currentPlayer == 0;
      // The break: the last frame before the stroke, the HUD slid in place.
      if ((s == k_stateAim || s == k_stateComputerShot || s == k_stateShotPower || s == k_stateStroke) &&
          game->rules.rulesMode == RuleState::kModePlay && !game->world.breakPlayed && isHudAtTarget(*game))
        r.breakFrame = pixels();
      bool fire = s == k_stateOpponentIntro || s == k_stateMessageBox || s == k_stateFrameWon ||
                  (humanTurn && s == k_stateBallInHand) || s == k_stateBreakChoice || isMessageWaiting(*game);
      if (humanTurn && s == k_stateAim && !game->keys.isLocked()) {
        const ShotRecord& shot = game->world.shot;
        if (game->rules.normalPlay && game->world.breakPlayed && shot.targetCount > 0 && shot.chosenTarget < 0) {
          game->keyPressed(kKeyNextTarget);
          game->keyReleased(kKeyNextTarget);
        } else {
          fire = true;
        }
      }
      if (humanTurn && s == k_stateShotPower && game->world.shot.powerGauge >= fireGauge) fire = true;
      if (fire && !game->keys.isLocked() && f % 2 == 0) {
        game->keyPressed(kKeyFire);
        game->keyReleased(kKeyFire);
      }
      frame();
      if (watch && watch()) break;
    }
    r.winner = game->rules.winner;
    r.finalState = game->states.gameState;
    return r;
  }
  std::vector<uint16_t> pixels() {
    const auto* p = static_cast<const uint16_t*>(screen.getPixels());
    std::vector<uint16_t> out(240 * 320);
    for (int y = 0; y < 320; ++y)
      for (int x = 0; x < 240; ++x) out[y * 240 + x] = p[y * screen.getPitch() / 2 + x];
    return out;
  }
  // The frame against its reference picture; KV_UPDATE_REFS=1 writes it.
  void expectReference(const std::vector<uint16_t>& frame, const std::string& name) {
    ASSERT_EQ(frame.size(), 240u * 320u) << name;
    const std::string path = std::string(KV_SOURCE_DIR) + "/tests/game/turn/ref/" + name;
    if (std::getenv("KV_UPDATE_REFS")) {
      ASSERT_TRUE(wince::writePng(path, frame.data(), 240, 320));
      return;
    }
    std::vector<uint16_t> ref;
    int w = 0, h = 0;
    ASSERT_TRUE(wince::readPng(path, ref, w, h)) << path;
    ASSERT_EQ(w * h, 240 * 320);
    int differ = 0;
    for (size_t i = 0; i < ref.size(); ++i) differ += ref[i] != frame[i];
    EXPECT_EQ(differ, 0) << name << ": pixels differ (after a deliberate change of the table view, rerun with "
                                     "KV_UPDATE_REFS=1 and look at the pictures)";
    if (differ) wince::writePng(std::string(::testing::TempDir()) + "/" + name, frame.data(), 240, 320);
  }
  MutableImage screen{240, 320, 16};
};

struct RuleCase {
  const char* name;
  int32_t ruleSet;
  bool skip;
};

TEST_F(MatchTest, ComputerAgainstComputerPlaysEachRuleSetToItsResult) {
  const RuleCase cases[] = {{"eight-ball", k_ruleSetEightBall, false}, {"UK", k_ruleSetUK, false},
                            {"nine-ball", k_ruleSetNineBall, false},   {"eight-ball skipped", k_ruleSetEightBall, true},
                            {"UK skipped", k_ruleSetUK, true},         {"nine-ball skipped", k_ruleSetNineBall, true}};
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.name);
    uint64_t hashes[2] = {};
    for (int run = 0; run < 2; ++run) {
      loadMatch(k_gameTypeTournament, c.ruleSet, 1234 + c.ruleSet);
      game->match.playerProfile[0] = 0;
      game->match.playerProfile[1] = 0;
      game->career.option8 = c.skip ? 1 : 0;
      const Result r = play(60000, false);
      EXPECT_EQ(r.failure, "");
      EXPECT_EQ(r.finalState, k_stateResultLines) << "shots " << r.shots;
      EXPECT_TRUE(r.winner == 0 || r.winner == 1);
      EXPECT_GT(r.shots, 1);
      EXPECT_EQ(r.lagged, c.ruleSet != k_ruleSetUK);
      hashes[run] = r.hash;
      std::printf("%s: %d shots, winner %d\n", c.name, r.shots, r.winner);
    }
    EXPECT_EQ(hashes[0], hashes[1]);
  }
}

TEST_F(MatchTest, ScriptedHumanPlaysAFrameAgainstTheComputer) {
  loadMatch(k_gameTypeTournament, k_ruleSetEightBall, 99);
  game->career.progress.counterC = 0;
  // The computer thinks as long as its animation plays, as in a real match.
  game->turn.fastThinking = 0;
  const Result r = play(60000, true);
  std::printf("human frame: %d shots, winner %d\n", r.shots, r.winner);
  EXPECT_EQ(r.failure, "");
  EXPECT_EQ(r.finalState, k_stateResultLines) << "shots " << r.shots;
  EXPECT_TRUE(r.winner == 0 || r.winner == 1);
  expectReference(r.breakFrame, "human_break.png");
  expectReference(r.resultFrame, "human_result.png");
}

// With a renderer, a human's potting shot in a real match: the view opens
// before the ball drops, behind the pocket it drops into, with the table and
// balls lit and the captions drawn.
TEST_F(MatchTest, TheBallViewWatchesAPottingShot) {
  gl = std::make_unique<GlContext>();
  setCurrentGlContext(gl.get());
  loadMatch(k_gameTypeTournament, k_ruleSetEightBall, 99);
  PhysicsWorld& w = game->world;
  int32_t ball = -1;
  bool sawPot = false;
  std::vector<uint16_t> shown;
  watch = [&] {
    const int32_t s = game->states.gameState;
    if (ball < 0 && s == k_stateShotPower && game->match.currentPlayer == 0 && w.breakPlayed &&
        game->rules.rulesMode == RuleState::kModePlay) {
      // One of the human's balls straight in front of the top left pocket,
      // the cue ball behind it, the rest off the table.
      const uint32_t group = game->rules.playerGroup[0];
      for (int32_t j = 1; j < 16 && ball < 0; ++j)
        if (j != 8 && (game->rules.tableOpen || (group >> j) & 1)) ball = j;
      for (int32_t j = 1; j < 16; ++j)
        if (j != ball && j != 8) w.balls[j]->pocketed = w.balls[j]->hidden = 1;
      w.balls[8]->setPosition(130 << 14, -(240 << 14));
      w.balls[8]->pocketed = w.balls[8]->hidden = 0;
      w.balls[ball]->setPosition(40 << 14, -(45 << 14));
      w.balls[ball]->pocketed = w.balls[ball]->hidden = 0;
      w.cueBall->setPosition(67 << 14, -(74 << 14));
      w.shot.aim.set(-27 << 14, 29 << 14);
      w.shot.englishPoint.set(0, 0);
      w.shot.masse = 0;
      w.copyBallsToShadows();
    }
    if (ball < 0) return false;
    if (s == k_stateAfterShot) return true;
    if (s != k_stateBallsMoving || game->ballView.count < 4) return false;
    EXPECT_EQ(game->ballView.predictedSlot, ball);
    if (w.balls[ball]->pocketed && !sawPot) shown = pixels();
    sawPot = sawPot || w.balls[ball]->pocketed;
    return false;
  };
  play(60000, true);
  watch = nullptr;
  ASSERT_GE(ball, 1);
  ASSERT_TRUE(sawPot);
  // The camera stands behind the top left pocket.
  const PhysicalObject* pocket = nullptr;
  for (const PhysicalObject* p : w.pockets)
    if (p && (!pocket || std::abs((p->position.x >> 14) - 14) + std::abs((p->position.y >> 14) + 17) <
                             std::abs((pocket->position.x >> 14) - 14) + std::abs((pocket->position.y >> 14) + 17)))
      pocket = p;
  ASSERT_NE(pocket, nullptr);
  EXPECT_EQ(game->ballView.potTarget[0], tableToViewX(pocket->position.x));
  EXPECT_EQ(game->ballView.potTarget[1], tableToViewY(pocket->position.y));
  ASSERT_FALSE(shown.empty());
  const std::string folder = std::string(KV_BINARY_DIR) + "/frames/ballview";
  std::filesystem::create_directories(folder);
  wince::writePng(folder + "/match_pot.png", shown.data(), 240, 320);
  // The picture: most of the view box lit; the captions above and below it.
  const int32_t x = game->ballView.viewBox[0], top = game->ballView.viewBox[1] - 52;
  int lit = 0, captionAbove = 0, captionBelow = 0;
  for (int y = 0; y < 104; ++y)
    for (int c = 0; c < 56; ++c) lit += shown[static_cast<size_t>((top + y) * 240 + x + c)] != 0;
  auto yellow = [](uint16_t p) { return (p >> 11) > 20 && ((p >> 5) & 63) > 40 && (p & 31) < 16; };
  for (int y = 0; y < 28; ++y)
    for (int c = 0; c < 56; ++c) {
      captionAbove += yellow(shown[static_cast<size_t>((top - 28 + y) * 240 + x + c)]);
      captionBelow += yellow(shown[static_cast<size_t>((top + 104 + y) * 240 + x + c)]);
    }
  EXPECT_GT(lit, 56 * 104 * 9 / 10);
  EXPECT_GT(captionAbove, 20);
  EXPECT_GT(captionBelow, 20);
}

// Without its table or its opponents a match does not start: the menus again.
TEST_F(MatchTest, MatchWithoutItsDataGoesBackToTheMenus) {
  expectMatch = false;
  for (const char* broken : {"table.bar", "misc.bar"}) {
    SCOPED_TRACE(broken);
    std::filesystem::remove(dir / broken);
    loadMatch(k_gameTypeQuickMatch, k_ruleSetEightBall, 5);
    for (int i = 0; i < 400 && game->states.gameState == k_stateGameLoading; ++i) frame();
    EXPECT_EQ(game->states.gameState, k_stateMainMenuLoading);
    EXPECT_EQ(game->states.inGame, 0);
    for (int i = 0; i < 400 && game->states.gameState == k_stateMainMenuLoading; ++i) frame();
    EXPECT_EQ(game->states.gameState, k_stateMainMenu);
    const char* data = std::getenv("KV_DATA_DIR");
    std::filesystem::copy_file(std::string(data) + "/" + broken, dir / broken);
  }
}

}  // namespace
