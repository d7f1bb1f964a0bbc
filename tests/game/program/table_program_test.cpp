// The whole program by touch on the headless backend, at the table: what the
// screen shows is what the touches do.
// - The aim guide's ghost ball lies on the cue's line at the first ball it
//   meets in every frame, also while the view slides over after the
//   computer's turn and before the second player's break.
// - A box over the table closes on a touch that does nothing else, and the
//   "Scratch!" of a foul is gone once the computer takes the table.
// - Each label of the soft-key bar stands on the key that does it: Spin,
//   Back and Skip on the bottom right key, the selector's Back on the left;
//   on the UK group choice MENU pauses the match and BACK leaves the view.
// - A match that opens with the lag says what the lag is and how to play it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "tests/DataSet.h"
#include "tests/game/program/MatchTouches.h"
#include "tests/game/program/ScriptedProgram.h"

namespace {

namespace fs = std::filesystem;
using matchtouch::now;
using matchtouch::touch;

constexpr const char* kStartUp = "9000 down 118 135\n9100 up 118 135\n11000 down 120 200\n11100 up 120 200\n";

// Starts a match from the main menu, as its set-up screens would.
void startMatch(cGame& g, int32_t type, int32_t rules) {
  g.match.gameType = type;
  g.match.ruleSet = rules;
  g.setup.chosenCharacter[0] = 0;
  g.setup.chosenCharacter[1] = 1;
  setTable(g, 0);
  armCoinToss(g);
  enterGameLoading(g);
}

bool humanAtTable(const cGame& g) {
  return g.match.currentPlayer >= 0 && g.match.currentPlayer < 2 && g.match.playerProfile[g.match.currentPlayer] < 0;
}

fs::path dirOf(const char* name) { return scripted::runFolder(name); }

void capture(const char* dir, const uint16_t* pixels, const char* name) {
  if (pixels) wince::writePng((dirOf(dir) / name).string(), pixels, 240, 320);
}

void prepare(const char* dir) {
  fs::remove_all(dirOf(dir));
  fs::create_directories(dirOf(dir) / "write");
  std::ofstream(dirOf(dir) / "script.txt") << kStartUp;
  scripted::withMatchFrames() = true;
}

// ---- the aim guide

// The ghost ball where the cue ball, going straight along the aim, first
// touches another ball, in the view as it stands; false when it meets none.
bool expectedGhost(const cGame& g, int& gx, int& gy, int& ball) {
  const PhysicsWorld& w = g.world;
  const double cx = w.cueBall->position.x / 16384.0, cy = w.cueBall->position.y / 16384.0;
  double ax = w.shot.aim.x, ay = w.shot.aim.y;
  const double len = std::hypot(ax, ay);
  if (len == 0) return false;
  ax /= len, ay /= len;
  double best = 1e9;
  for (int n = 1; n < 16; ++n) {
    const PhysicalObject* b = w.balls[n];
    if (!b || b->pocketed || b->hidden) continue;
    const double dx = b->position.x / 16384.0 - cx, dy = b->position.y / 16384.0 - cy;
    const double along = dx * ax + dy * ay, across2 = dx * dx + dy * dy - along * along;
    if (along <= 0 || across2 >= 81) continue;
    const double t = along - std::sqrt(81 - across2);
    if (t < best) best = t, ball = n;
  }
  if (best > 1e8) return false;
  gx = static_cast<int>(std::floor(cx + best * ax)) + g.table.panelX;
  gy = g.world.originY - static_cast<int>(std::floor(cy + best * ay));
  return true;
}

// A white ring of radius 4 drawn within two pixels of (x, y).
bool ringNear(const uint16_t* p, int x, int y) {
  auto white = [p](int px, int py) { return px >= 0 && px < 240 && py >= 0 && py < 320 && p[py * 240 + px] == 0xFFFF; };
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const int cx = x + dx, cy = y + dy;
      if (white(cx + 4, cy) && white(cx - 4, cy) && white(cx, cy + 4) && white(cx, cy - 4)) return true;
    }
  return false;
}

// A box over the table hides the point (x, y): the dialog, or the first
// queued message in its layout's text box, with the frame around it.
bool boxHides(cGame& g, int x, int y) {
  if (isDialogBoxOpen(g)) {
    const DialogBox& d = g.dialog;
    return x >= d.x - 8 && x <= d.x + d.width + 8 && y >= d.y - 8 && y <= d.y + d.height + 8;
  }
  if (!isMessageQueued(g)) return false;
  const int boxes[4] = {75, 80, 86, 86};
  const int e = boxes[std::clamp(g.messages.layout[0], 0, 3)];
  const int bx = getInterfaceElementX(g, k_interfaceHud, e), by = getInterfaceElementY(g, k_interfaceHud, e);
  return x >= bx - 20 && x <= bx + getInterfaceElementWidth(g, k_interfaceHud, e) + 20 && y >= by - 20 &&
         y <= by + getInterfaceElementHeight(g, k_interfaceHud, e) + 20;
}

struct GuideCheck {
  int checked = 0, sliding = 0, wrong = 0;
  std::string where;
  void onFrame(cGame& g, int state, const uint16_t* pixels) {
    if (!pixels || (state != k_stateAim && state != k_stateShotPower) || !g.turn.aimGuideShown || !g.career.option7)
      return;
    if (g.world.shot.masse) return;
    int x = 0, y = 0, ball = -1;
    // Only frames whose guide found that ball: a far ball the preview's slow
    // cue ball never reaches has no ghost.
    if (!expectedGhost(g, x, y, ball) || g.table.guide.objectBall != ball || !g.table.guide.hasContact) return;
    if (boxHides(g, x, y)) return;
    ++checked;
    if (!isHudAtTarget(g)) ++sliding;
    if (!ringNear(pixels, x, y)) {
      ++wrong;
      char line[80];
      std::snprintf(line, sizeof line, " [state %d view %d ghost (%d,%d)]", state, g.table.panelX, x, y);
      where.append(line);
    }
  }
};

struct GuideRun {
  int phase = 0, humanTurns = 0;
  uint32_t wait = 0, aimEntry = 0;
  GuideCheck guide;
  matchtouch::MatchTouches match;
} g_guide;

constexpr const char* kGuideDir = "kv_table_guide";

// A human turn: a touch towards the next target ball, then the gauge half full.
void playHumanTurn(cGame& g, int state, GuideRun& r) {
  if (!humanAtTable(g) || isBoxOverTable(g) || now() < r.wait) return;
  if (state == k_stateBallInHand) {
    touch(30, 160);  // PLACE where it lies
    r.wait = now() + 600;
  } else if (state == k_stateAim && isHudAtTarget(g)) {
    if (g.states.stateEntryTime != r.aimEntry) {
      // Let the guide be seen a while, then shoot.
      r.aimEntry = g.states.stateEntryTime;
      r.wait = now() + 800;
      return;
    }
    touch(30, 160);  // POWER
    r.wait = now() + 600;
  }
}

void guideFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  GuideRun& r = g_guide;
  if (!g.states.inGame) {
    if (state == k_stateMainMenu && held == 20 && r.phase == 0) {
      r.phase = 1;
      startMatch(g, k_gameTypeQuickMatch, k_ruleSetEightBall);  // a quick match of eight-ball against the computer
    }
    return;
  }
  r.match.onFrame(g, state, 9000);
  r.guide.onFrame(g, state, pixels);
  if (state == k_stateAim && !isHudAtTarget(g) && humanAtTable(g) && r.guide.sliding == 1)
    capture(kGuideDir, pixels, "guide_sliding.png");
  if (state == k_stateOpponentIntro && held % 40 == 20) touch(120, 160);
  if (state == k_stateCoinToss && held == 30) touch(70, touchLayoutY(92) + 22);  // the left coin
  playHumanTurn(g, state, r);
  // Enough frames of the slide seen: done.
  if (r.guide.sliding >= 6 && state == k_stateAim && isHudAtTarget(g)) {
    std::ofstream(dirOf(kGuideDir) / "result.txt")
        << r.guide.checked << ' ' << r.guide.sliding << ' ' << r.guide.wrong << r.guide.where << '\n';
    std::exit(0);
  }
}

TEST(TableProgram, GuideGhostStaysOnTheAimLineWhileTheViewSlides) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  prepare(kGuideDir);
  EXPECT_EXIT(scripted::run(dirOf(kGuideDir), 40000, guideFrame,
                            [] {
                              std::fprintf(stderr, "checked %d sliding %d wrong %d%s match%s\n",
                                           g_guide.guide.checked, g_guide.guide.sliding, g_guide.guide.wrong,
                                           g_guide.guide.where.c_str(), g_guide.match.states.c_str());
                            }),
              ::testing::ExitedWithCode(0), scripted::statesFromStart({k_stateGameLoading}));
  std::ifstream in(dirOf(kGuideDir) / "result.txt");
  int checked = 0, sliding = 0, wrong = -1;
  ASSERT_TRUE(in >> checked >> sliding >> wrong);
  std::string where;
  std::getline(in, where);
  EXPECT_GE(sliding, 6);
  EXPECT_GT(checked, sliding);
  EXPECT_EQ(wrong, 0) << where;
}


// ---- boxes over the table

// The direction from the cue ball to the nearest corner pocket that no ball
// stands in front of (table units, y up).
bool clearPocket(const cGame& g, double& ax, double& ay) {
  const PhysicsWorld& w = g.world;
  const double cx = w.cueBall->position.x / 16384.0, cy = w.cueBall->position.y / 16384.0;
  const double pockets[4][2] = {{14, -17}, {155, -17}, {14, -285}, {155, -285}};
  double best = 1e9;
  for (const auto& p : pockets) {
    const double dx = p[0] - cx, dy = p[1] - cy, len = std::hypot(dx, dy);
    bool clear = true;
    for (int n = 1; n < 16 && clear; ++n) {
      const PhysicalObject* b = w.balls[n];
      if (!b || b->pocketed || b->hidden) continue;
      const double bx = b->position.x / 16384.0 - cx, by = b->position.y / 16384.0 - cy;
      const double along = (bx * dx + by * dy) / len;
      if (along < 0 || along > len) continue;
      clear = std::abs(bx * dy - by * dx) / len > 12;
    }
    if (clear && len < best) best = len, ax = dx, ay = dy;
  }
  return best < 1e9;
}

struct BoxRun {
  int phase = 0;
  uint32_t wait = 0, aimEntry = 0;
  Vector2 aimBefore{0, 0};
  int swallowedAimed = -1, closedAimed = -1, closedState = -1, closedOpen = -1, reaimed = -1;
  int scratchSeen = 0, openInComputerTurn = 0, computerFrames = 0;
  matchtouch::MatchTouches match;
} g_box;

constexpr const char* kBoxDir = "kv_table_boxes";

void boxMatchFrame(cGame& g, int state, const uint16_t* pixels) {
  BoxRun& r = g_box;
  r.match.onFrame(g, state, r.phase >= 6 ? 12000 : 9000);
  if (isDialogBoxOpen(g) && std::string(g.dialog.title) == getStringData(g, 667)) r.scratchSeen = 1;
  const bool computerTurn = !humanAtTable(g) && (state == k_stateComputerBallInHand || state == k_stateComputerShot ||
                                                 state == k_stateStroke || state == k_stateBallsMoving);
  if (r.scratchSeen && computerTurn) {
    ++r.computerFrames;
    if (isDialogBoxOpen(g)) ++r.openInComputerTurn;
    if (r.computerFrames == 30) capture(kBoxDir, pixels, "computer_after_scratch.png");
  }
  const bool aiming = state == k_stateAim && humanAtTable(g) && isHudAtTarget(g);
  if (now() < r.wait) return;
  switch (r.phase) {
    case 0:  // the first aim of the human: a box as the rules open it
      if (!aiming || isBoxOverTable(g)) return;
      r.aimBefore = g.world.shot.aim;
      showDialogBox(g, 1, getStringData(g, 667), nullptr);
      touch(200, 60, 400);  // too soon to close it
      r.wait = now() + 900;
      r.phase = 1;
      return;
    case 1:
      capture(kBoxDir, pixels, "box_over_aim.png");
      r.swallowedAimed = !g.world.shot.aim.equals(r.aimBefore);
      r.wait = now() + 1500;  // the box may be closed now
      r.phase = 2;
      return;
    case 2:
      touch(200, 60);
      r.wait = now() + 500;
      r.phase = 3;
      return;
    case 3:
      r.closedAimed = !g.world.shot.aim.equals(r.aimBefore);
      r.closedOpen = isDialogBoxOpen(g);
      r.closedState = state;
      touch(200, 60);  // the same touch, the box gone: it aims
      r.wait = now() + 500;
      r.phase = 4;
      return;
    case 4:
      r.reaimed = !g.world.shot.aim.equals(r.aimBefore);
      r.phase = 5;
      return;
    case 5: {  // a shot into a clear corner pocket: the cue ball drops
      if (!aiming || isBoxOverTable(g)) return;
      double ax = 0, ay = 0;
      int px = 0, py = 0;
      if (!clearPocket(g, ax, ay) || !matchtouch::aimPoint(g, static_cast<int32_t>(ax * 16384),
                                                            static_cast<int32_t>(ay * 16384), px, py))
        std::exit(7);
      touch(px, py);
      r.wait = now() + 500;
      r.phase = 6;
      return;
    }
    case 6:
      if (!aiming) return;
      touch(30, 160);  // POWER; the gauge stops at 12000
      r.phase = 7;
      return;
    default:
      // Back to the human after the computer's turn: done.
      if (aiming && r.computerFrames > 0) {
        std::ofstream(dirOf(kBoxDir) / "result.txt")
            << r.swallowedAimed << ' ' << r.closedAimed << ' ' << r.closedOpen << ' ' << r.closedState << ' '
            << r.reaimed << ' ' << r.scratchSeen << ' ' << r.computerFrames << ' ' << r.openInComputerTurn << '\n';
        std::exit(0);
      }
      if (state == k_stateBallInHand && humanAtTable(g) && !isBoxOverTable(g)) {
        touch(30, 160);
        r.wait = now() + 600;
      }
      return;
  }
}

void boxFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  if (!g.states.inGame) {
    if (state == k_stateMainMenu && held == 20 && g_box.phase == 0)
      startMatch(g, k_gameTypeQuickMatch, k_ruleSetEightBall);
    return;
  }
  if (state == k_stateOpponentIntro && held % 40 == 20) touch(120, 160);
  if (state == k_stateCoinToss && held == 30) touch(70, touchLayoutY(92) + 22);
  if (state == k_stateBallInHand && humanAtTable(g) && g_box.phase < 5 && held % 30 == 10) touch(30, 160);
  boxMatchFrame(g, state, pixels);
}

TEST(TableProgram, ABoxClosesOnATouchThatDoesNothingElseAndScratchGoesWithTheTurn) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  prepare(kBoxDir);
  EXPECT_EXIT(
      scripted::run(dirOf(kBoxDir), 40000, boxFrame,
                    [] { std::fprintf(stderr, "phase %d match%s\n", g_box.phase, g_box.match.states.c_str()); }),
      ::testing::ExitedWithCode(0), scripted::statesFromStart({k_stateGameLoading}));
  std::ifstream in(dirOf(kBoxDir) / "result.txt");
  int swallowedAimed = -1, closedAimed = -1, closedOpen = -1, closedState = -1, reaimed = -1;
  int scratch = 0, computerFrames = 0, openInComputerTurn = -1;
  ASSERT_TRUE(in >> swallowedAimed >> closedAimed >> closedOpen >> closedState >> reaimed >> scratch >>
              computerFrames >> openInComputerTurn);
  EXPECT_EQ(swallowedAimed, 0) << "a touch on the box aimed the cue under it";
  EXPECT_EQ(closedOpen, 0) << "a touch did not close the box";
  EXPECT_EQ(closedAimed, 0) << "the touch that closed the box also aimed";
  EXPECT_EQ(closedState, k_stateAim) << "the touch that closed the box also started the gauge";
  EXPECT_EQ(reaimed, 1) << "with the box gone a touch aims";
  EXPECT_EQ(scratch, 1);
  EXPECT_GT(computerFrames, 30);
  EXPECT_EQ(openInComputerTurn, 0) << "Scratch! stayed up through the computer's turn";
}


// ---- the soft-key bar

// The bar's pixels (rows 301-319, below the table) and the box of those in
// columns x0..x1 that differ from another frame's.
constexpr int kBarTop = 301;
using Bar = std::vector<uint16_t>;
Bar barOf(const uint16_t* p) { return Bar(p + kBarTop * 240, p + 320 * 240); }
struct Box {
  int x0 = 999, y0 = 999, x1 = -1, y1 = -1;
  bool empty() const { return x1 < 0; }
  int cx() const { return (x0 + x1) / 2; }
  int cy() const { return (y0 + y1) / 2; }
};
Box differing(const Bar& a, const Bar& b, int x0, int x1) {
  Box box;
  for (int y = 0; y < 320 - kBarTop; ++y)
    for (int x = x0; x <= x1; ++x)
      if (a[y * 240 + x] != b[y * 240 + x]) {
        box.x0 = std::min(box.x0, x), box.x1 = std::max(box.x1, x);
        box.y0 = std::min(box.y0, y + kBarTop), box.y1 = std::max(box.y1, y + kBarTop);
      }
  return box;
}
constexpr int kLeftKey[2] = {0, 60}, kMiddle[2] = {61, 196}, kRightKey[2] = {197, 239};
struct Point2 {
  int x, y;
};

struct BarRun {
  int phase = 0;
  uint32_t until = 0;
  Bar aim, selector, aimAgain, power, moving;
  std::string log;  // the state each tap on a label led to
  matchtouch::MatchTouches match;
} g_bar;

constexpr const char* kBarDir = "kv_table_bar";

// The middle of the right key and of the left key, in the bar.
constexpr Point2 kRightKeyMiddle{218, 310}, kLeftKeyMiddle{25, 310};

void barMatchFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  BarRun& r = g_bar;
  r.match.onFrame(g, state, r.phase == 6 ? 9000 : 1 << 20);  // the gauge is let go of only for the shot
  if (!pixels) return;
  if (state == k_stateOpponentIntro && held == 30) touch(120, 160);
  if (state == k_stateCoinToss && held == 30) touch(70, touchLayoutY(92) + 22);
  if (state == k_stateBallInHand && humanAtTable(g) && held % 30 == 10) touch(30, 160);
  if (now() < r.until || isBoxOverTable(g)) return;
  const bool aiming = state == k_stateAim && humanAtTable(g) && isHudAtTarget(g);
  auto tap = [&](Bar& keep, Point2 at, const char* name) {
    keep = barOf(pixels);
    capture(kBarDir, pixels, name);
    touch(at.x, at.y);
    r.until = now() + 500;
    r.phase += 1;
  };
  auto logState = [&] {
    char word[16];
    std::snprintf(word, sizeof word, " %d", state);
    r.log.append(word);
  };
  switch (r.phase) {
    case 0: {  // aimed down the table, the cue stays clear of the bar
      if (!aiming) return;
      int x = 0, y = 0;
      matchtouch::ballScreen(g, 0, x, y);
      touch(x, y + 50);
      r.until = now() + 500;
      r.phase = 10;
      return;
    }
    case 10:  // the right key: the spin selector
      if (!aiming) return;
      r.phase = 0;
      tap(r.aim, kRightKeyMiddle, "bar_520.png");
      return;
    case 1:  // the selector: the tip moved by an arrow, then the left key
      logState();
      touch(153, touchLayoutY(206) + 20, 20, 200);
      r.until = now() + 500;
      r.phase = 2;
      return;
    case 2:
      tap(r.selector, kLeftKeyMiddle, "bar_620.png");
      return;
    case 3:  // back at the aim; POWER
      logState();
      r.aimAgain = barOf(pixels);
      touch(30, 160);
      r.until = now() + 400;
      r.phase = 4;
      return;
    case 4:  // the right key takes the gauge back
      if (state == k_stateShotPower) tap(r.power, kRightKeyMiddle, "bar_530.png");
      return;
    case 5:
      logState();
      if (!aiming) return;
      touch(30, 160);  // POWER; the gauge stops at 9000
      r.phase = 6;
      return;
    case 6:  // the right key skips the rolling balls
      if (state != k_stateBallsMoving) return;
      tap(r.moving, kRightKeyMiddle, "bar_550.png");
      r.until = now() + 150;
      return;
    default: {
      logState();
      std::ofstream out(dirOf(kBarDir) / "result.txt");
      out << r.log << '\n';
      // Where the bars differ: the middle, the right key, the left key.
      const Bar* bars[4] = {&r.aim, &r.selector, &r.power, &r.moving};
      for (const Bar* a : bars)
        for (const Bar* b : bars)
          out << differing(*a, *b, kMiddle[0], kMiddle[1]).empty()
              << differing(*a, *b, kRightKey[0], kRightKey[1]).empty()
              << differing(*a, *b, kLeftKey[0], kLeftKey[1]).empty() << ' ';
      out << differing(r.aim, r.aimAgain, 0, 239).empty() << '\n';
      out.close();  // exit runs no destructors
      std::exit(0);
    }
  }
}

void barFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  if (!g.states.inGame) {
    if (state == k_stateMainMenu && held == 20 && g_bar.phase == 0)
      startMatch(g, k_gameTypeQuickMatch, k_ruleSetEightBall);
    return;
  }
  barMatchFrame(g, state, held, pixels);
}

TEST(TableProgram, EachBarLabelStandsOnTheKeyThatDoesIt) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  prepare(kBarDir);
  EXPECT_EXIT(scripted::run(dirOf(kBarDir), 40000, barFrame,
                            [] {
                              std::fprintf(stderr, "phase %d log%s match%s\n", g_bar.phase, g_bar.log.c_str(),
                                           g_bar.match.states.c_str());
                            }),
              ::testing::ExitedWithCode(0), scripted::statesFromStart({k_stateGameLoading}));
  std::ifstream in(dirOf(kBarDir) / "result.txt");
  std::string log;
  ASSERT_TRUE(std::getline(in, log));
  // The right key opened the selector, the left key there brought the aim
  // back, the right key took the gauge back and skipped the shot.
  EXPECT_EQ(log, " 620 520 520 560");
  // Bars of the aim, the selector, the gauge and the rolling balls, each
  // against each: middle, right key, left key the same (1) or not (0).
  std::vector<std::string> same(16);
  for (auto& word : same) in >> word;
  int unchanged = 0;
  ASSERT_TRUE(in >> unchanged);
  const char* expected[4][4] = {
      {"111", "100", "101", "101"},  // aim: Spin on the right key
      {"100", "111", "100", "100"},  // selector: Back on the left key, none on the right
      {"101", "100", "111", "101"},  // gauge: Back on the right key
      {"101", "100", "101", "111"},  // moving: Skip on the right key
  };
  const char* names[4] = {"aim", "selector", "gauge", "moving"};
  for (int a = 0; a < 4; ++a)
    for (int b = 0; b < 4; ++b) EXPECT_EQ(same[a * 4 + b], expected[a][b]) << names[a] << " against " << names[b];
  EXPECT_EQ(unchanged, 1) << "the bar of the aim changed after the selector (the ? still lit)";
}


// ---- two players: the UK group choice and the lag

// A turn of a two-player match: the ball placed where it lies, POWER and
// HIT on the side of the player at the table when the gauge reaches
// `power`; `aimFirst` is touched first when given.
struct TwoPlayerTurns {
  uint32_t until = 0, powerEntry = 0;
  bool hit = false;
  void onFrame(cGame& g, int state, int32_t power, bool aimAtTable = false, int aimX = 0, int aimY = 0) {
    const int fireX = g.match.currentPlayer == 1 ? 210 : 30;
    if (now() < until || isBoxOverTable(g) || state == k_stateMessageBox) return;
    if (state == k_stateBallInHand) {
      touch(fireX, 160);  // PLACE
      until = now() + 600;
    } else if (state == k_stateAim && isHudAtTarget(g)) {
      if (aimAtTable) touch(aimX, aimY, 20, 80);
      touch(fireX, 160, aimAtTable ? 400 : 20);  // POWER
      until = now() + 900;
    } else if (state == k_stateShotPower) {
      if (g.states.stateEntryTime != powerEntry) powerEntry = g.states.stateEntryTime, hit = false;
      const int32_t step = matchtouch::gaugeStep(g, 33);
      const int32_t next = g.world.shot.powerGauge + 3 * step;
      if (!hit && g.world.shot.powerDirection > 0 && std::abs(next - power) <= step / 2) {
        hit = true;
        touch(fireX, 160, 1, 1);  // HIT
      }
    }
  }
};

struct GroupRun {
  int phase = 0, breaker = -1;
  uint32_t until = 0;
  std::string log;
  GuideCheck guide;
  TwoPlayerTurns turns;
  matchtouch::MatchTouches match;
} g_group;

constexpr const char* kGroupDir = "kv_table_groups";

void groupFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  GroupRun& r = g_group;
  if (!g.states.inGame) {
    if (state == k_stateMainMenu && held == 20 && r.phase == 0)
      startMatch(g, k_gameTypeSingleMatch, k_ruleSetUK);  // UK, two players
    return;
  }
  r.match.onFrame(g, state, 1 << 20);
  r.guide.onFrame(g, state, pixels);
  if (state == k_stateAim && r.breaker < 0) r.breaker = g.match.currentPlayer;
  // The left coin: the second player wins the toss and breaks, the view
  // sliding over to that side as the turn begins.
  if (state == k_stateCoinToss && held == 30) touch(70, touchLayoutY(92) + 22);
  if (state != k_stateBreakChoice && state != k_stateIGM) {
    r.turns.onFrame(g, state, 17000);  // the break, hard
    return;
  }
  if (now() < r.until) return;
  auto note = [&](const char* name) {
    char word[24];
    std::snprintf(word, sizeof word, " %d/%d", state, state == k_stateBreakChoice ? g.setup.breakChoiceView : 0);
    r.log.append(word);
    capture(kGroupDir, pixels, name);
    r.until = now() + 700;
    r.phase += 1;
  };
  switch (r.phase) {
    case 0:
      if (held < 20) return;
      note("groups_720.png");
      touch(218, 310);  // MENU
      return;
    case 1:
      if (held < 20) return;
      note("groups_300.png");
      touch(124, touchLayoutY(118) + 12);  // resume
      return;
    case 2:
      note("groups_back.png");
      touch(124, touchLayoutY(212) + 20);  // view the table
      return;
    case 3:
      note("groups_view.png");
      touch(20, 310);  // BACK
      return;
    default:
      note("groups_after.png");
      std::ofstream(dirOf(kGroupDir) / "result.txt")
          << r.log << '\n' << r.breaker << ' ' << r.guide.checked << ' ' << r.guide.wrong << r.guide.where << '\n';
      std::exit(0);
  }
}

TEST(TableProgram, SecondPlayersUkBreakShowsATrueGuideAndTheGroupChoiceKeysAct) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  prepare(kGroupDir);
  EXPECT_EXIT(scripted::run(dirOf(kGroupDir), 40000, groupFrame,
                            [] {
                              std::fprintf(stderr, "phase %d log%s match%s\n", g_group.phase, g_group.log.c_str(),
                                           g_group.match.states.c_str());
                            }),
              ::testing::ExitedWithCode(0), scripted::statesFromStart({k_stateGameLoading}));
  std::ifstream in(dirOf(kGroupDir) / "result.txt");
  std::string log;
  ASSERT_TRUE(std::getline(in, log));
  // MENU opened the in-game menu, resume came back, the table was viewed
  // and BACK left the view.
  EXPECT_EQ(log, " 720/0 300/0 720/0 720/1 720/0");
  // The second player's break: the guide where the view stands, not where
  // it stood when the turn began.
  int breaker = -1, checked = 0, wrong = -1;
  ASSERT_TRUE(in >> breaker >> checked >> wrong);
  std::string where;
  std::getline(in, where);
  EXPECT_EQ(breaker, 1);
  EXPECT_GT(checked, 0);
  EXPECT_EQ(wrong, 0) << where;
}

// ---- UK colours and the spin point

// The colour of the group icon of player p in the panel, as the HUD paints
// it at the view's offset: 'r' red, 'y' yellow, '?' neither or both.
char iconColour(const cGame& g, const uint16_t* p, int player) {
  const int cx = (player == 0 ? 33 : 270) + g.table.hudOffset, cy = 76;
  int red = 0, yellow = 0;
  for (int y = cy - 7; y <= cy + 7; ++y)
    for (int x = cx - 7; x <= cx + 7; ++x) {
      if (x < 0 || x >= 240) continue;
      const uint16_t c = p[y * 240 + x];
      const int r = c >> 11, gr = (c >> 5) & 63, b = c & 31;
      if (r >= 20 && b < 12 && gr < 24) ++red;
      if (r >= 20 && b < 12 && gr >= 40) ++yellow;
    }
  return red > 20 && yellow == 0 ? 'r' : yellow > 20 && red == 0 ? 'y' : '?';
}

// The ball face of the spin selector, with the tip's marker, on the side of
// the player at the table (clear of the table, which shows through the
// panel's edge).
std::vector<uint16_t> selectorFace(const cGame& g, const uint16_t* p) {
  const int x0 = (g.match.currentPlayer == 1 ? 240 - 72 : 0) + 19;
  std::vector<uint16_t> out;
  for (int y = 61; y < 96; ++y) out.insert(out.end(), p + y * 240 + x0, p + y * 240 + x0 + 35);
  return out;
}

struct ColourRun {
  int phase = 0, chooser = -1, breaker = -1, selectorSame = -1, down = -1;
  uint32_t until = 0;
  std::vector<uint16_t> openTable;  // the breaker's selector before the groups
  std::string seen;                 // " <player><colour>/<state>" each time a player's icon is looked at
  std::string message;              // the first message after the choice
  bool seenPlayer[2] = {false, false};
  TwoPlayerTurns turns;
  matchtouch::MatchTouches match;
} g_colour;

constexpr const char* kColourDir = "kv_table_colours";

void noteIcon(cGame& g, int state, const uint16_t* pixels) {
  ColourRun& r = g_colour;
  const int p = g.match.currentPlayer & 1;
  char word[24];
  std::snprintf(word, sizeof word, " %d%c/%d", p, iconColour(g, pixels, p), state);
  r.seen.append(word);
  r.seenPlayer[p] = true;
}

void colourFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  ColourRun& r = g_colour;
  if (!g.states.inGame) {
    if (state == k_stateMainMenu && held == 20 && r.phase == 0) startMatch(g, k_gameTypeSingleMatch, k_ruleSetUK);
    return;
  }
  if (r.down >= 0) {
    g.keyReleased(r.down);
    r.down = -1;
  }
  if (!pixels) return;
  if (state == k_stateCoinToss && held == 30) touch(70, touchLayoutY(92) + 22);
  const bool aiming = state == k_stateAim && humanAtTable(g) && isHudAtTarget(g) && !isBoxOverTable(g);
  // The first message after the choice, with the icon under it.
  if (r.phase == 4 && isMessageQueued(g) && isHudAtTarget(g)) {
    r.message = g.messages.text[0];
    capture(kColourDir, pixels, "colours_message.png");
    noteIcon(g, state, pixels);
    r.phase = 5;
  }
  r.match.onFrame(g, state, 1 << 20);
  if (now() < r.until) return;
  switch (r.phase) {
    case 0:  // the break: the selector over the open table
      if (!aiming) return;
      r.breaker = g.match.currentPlayer;
      touch(218, 300);  // Spin
      r.until = now() + 700;
      r.phase = 1;
      return;
    case 1:
      if (state != k_stateSpinSelector) return;
      r.openTable = selectorFace(g, pixels);
      capture(kColourDir, pixels, "colours_selector_open.png");
      touch(25, 300);  // Back
      r.until = now() + 600;
      r.phase = 2;
      return;
    case 2:
      if (state == k_stateBreakChoice) {
        r.phase = 3;
        r.until = now() + 700;
        return;
      }
      r.turns.onFrame(g, state, 17000);
      return;
    case 3:  // Reds for the player at the table
      r.chooser = g.match.currentPlayer;
      touch(124, touchLayoutY(165) + 20);
      r.phase = 4;
      return;
    case 4:
      return;
    case 5:  // each player's turns, until the breaker is back at the table
      if (aiming) {
        noteIcon(g, state, pixels);
        if (g.match.currentPlayer == r.breaker && r.seenPlayer[0] && r.seenPlayer[1]) {
          capture(kColourDir, pixels, "colours_aim.png");
          touch(218, 300);  // Spin
          r.until = now() + 700;
          r.phase = 6;
          return;
        }
        r.turns.onFrame(g, state, 2500);  // a soft shot
        r.until = now() + 1500;
        return;
      }
      r.turns.onFrame(g, state, 2500);
      return;
    case 6:
      if (state != k_stateSpinSelector) return;
      r.selectorSame = selectorFace(g, pixels) == r.openTable;
      capture(kColourDir, pixels, "colours_selector_groups.png");
      touch(25, 300);  // Back
      r.until = now() + 600;
      r.phase = 7;
      return;
    case 7:  // the frame won through the cheat menu: the result shows the icon too
      if (aiming) g.keyPressed(r.down = 20);
      if (state == k_stateIGM) g.setInGameState(k_stateCheatMenu);
      if (state == k_stateCheatMenu && held == 10) {
        g.menu.selection = 0;
        g.keyPressed(r.down = 19);
      }
      if (state == k_stateFrameWon && held == 20) {
        noteIcon(g, state, pixels);
        capture(kColourDir, pixels, "colours_won.png");
        std::ofstream(dirOf(kColourDir) / "result.txt")
            << r.chooser << ' ' << r.selectorSame << ' ' << r.message << '\n' << r.seen << '\n';
        std::exit(0);
      }
      return;
  }
}

// A UK match of two players: the one at the table after the break takes the
// reds; each player's icon shows that player's colour at every turn, under
// the message that names it and on the frame's end; the spin selector opened
// with groups set shows the same panel as on the open table: nothing covers
// the tip's marker.
TEST(TableProgram, UkIconsShowEachPlayersColourAndNothingCoversTheSpinSelector) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  prepare(kColourDir);
  EXPECT_EXIT(scripted::run(dirOf(kColourDir), 60000, colourFrame,
                            [] {
                              std::fprintf(stderr, "phase %d seen%s match%s\n", g_colour.phase, g_colour.seen.c_str(),
                                           g_colour.match.states.c_str());
                            }),
              ::testing::ExitedWithCode(0), scripted::statesFromStart({k_stateGameLoading}));
  std::ifstream in(dirOf(kColourDir) / "result.txt");
  int chooser = -1, same = -1;
  std::string message, seen;
  ASSERT_TRUE(in >> chooser >> same);
  std::getline(in, message);
  std::getline(in, seen);
  ASSERT_TRUE(chooser == 0 || chooser == 1);
  EXPECT_NE(message.find("Reds"), std::string::npos) << message;
  EXPECT_EQ(same, 1) << "the selector with groups set differs from the open table's";
  // Every look: the chooser red, the other yellow; both players, the end too.
  std::istringstream words(seen);
  int looks[2] = {0, 0}, wrong = 0, ends = 0;
  for (std::string w; words >> w;) {
    const int p = w[0] - '0';
    looks[p & 1] += 1;
    if (w[1] != (p == chooser ? 'r' : 'y')) ++wrong;
    if (w.substr(3) == std::to_string(k_stateFrameWon)) ++ends;
  }
  EXPECT_EQ(wrong, 0) << seen;
  EXPECT_GT(looks[0], 0) << seen;
  EXPECT_GT(looks[1], 0) << seen;
  EXPECT_EQ(ends, 1) << seen;
}

struct LagRun {
  int lagShots = 0;
  std::vector<int> notes;  // texts queued before the first lag shot
  bool noteFramesSeen = false;
  TwoPlayerTurns turns;
  matchtouch::MatchTouches match;
} g_lag;

constexpr const char* kLagDir = "kv_table_lag";

void lagFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  LagRun& r = g_lag;
  if (!g.states.inGame) {
    if (state == k_stateMainMenu && held == 20 && r.lagShots == 0)
      startMatch(g, k_gameTypeSingleMatch, k_ruleSetEightBall);  // eight-ball, two players
    return;
  }
  const bool lag = g.rules.rulesMode == RuleState::kModeLag;
  // What the messages say before the first lag shot.
  if (lag && r.lagShots == 0 && isMessageQueued(g)) {
    const std::string text = g.messages.text[0];
    for (int id : {517, 519})
      if (text == getStringData(g, id) && (r.notes.empty() || r.notes.back() != id)) {
        r.notes.push_back(id);
        capture(kLagDir, pixels, id == 517 ? "lag_start.png" : "lag_howto.png");
      }
  }
  if (state == k_stateBallsMoving && held == 1 && lag) ++r.lagShots;
  r.match.onFrame(g, state, 1 << 20);
  // The first lag shot played: done.
  if (r.lagShots > 0) {
    std::ofstream(dirOf(kLagDir) / "result.txt")
        << r.notes.size() << ' ' << (r.notes.size() > 1 ? r.notes[0] : 0) << ' '
        << (r.notes.size() > 1 ? r.notes[1] : 0) << '\n';
    std::exit(0);
  }
  r.turns.onFrame(g, state, 7800);
}

TEST(TableProgram, TheLagSaysWhatItIsForAndHowToPlayIt) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  prepare(kLagDir);
  EXPECT_EXIT(
      scripted::run(dirOf(kLagDir), 40000, lagFrame,
                    [] { std::fprintf(stderr, "lag shots %d match%s\n", g_lag.lagShots, g_lag.match.states.c_str()); }),
      ::testing::ExitedWithCode(0), scripted::statesFromStart({k_stateGameLoading}));
  std::ifstream in(dirOf(kLagDir) / "result.txt");
  int notes = 0, first = 0, second = 0;
  ASSERT_TRUE(in >> notes >> first >> second);
  // Before the first lag shot: who breaks, then how the lag is played.
  EXPECT_EQ(notes, 2);
  EXPECT_EQ(first, 517);
  EXPECT_EQ(second, 519);
}

}  // namespace
