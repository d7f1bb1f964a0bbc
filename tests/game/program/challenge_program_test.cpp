// The whole program by touch, on the headless backend: the pub's challenges
// spot, the challenge categories, category 0 and its first challenge, aimed by a touch on the
// line of its stored shot and fired when the gauge reaches the stored
// power; the challenge is won and the list comes back with the prize paid
// and the state word saved. A locked challenge touched, which leaves back,
// the page button and the open challenges working. Then the first lesson
// from the tutorial choice, passed and saved, and the second lesson's text
// box over the spin selector. The touches are scheduled as the screens come
// up.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "game/Korvane/cGamePlay/ChallengeDemo.h"
#include "tests/DataSet.h"
#include "tests/game/program/MatchTouches.h"
#include "tests/game/program/ScriptedProgram.h"

namespace {

namespace fs = std::filesystem;

// The sound question, then the title.
constexpr const char* kStartScript =
    "9000 down 118 135\n"
    "9100 up 118 135\n"
    "11000 down 120 200\n"
    "11100 up 120 200\n";

fs::path workDir(const char* name) { return scripted::runFolder(name); }

using matchtouch::aimPoint;
using matchtouch::degreesOf;
using matchtouch::MatchTouches;
using matchtouch::now;
using matchtouch::touch;

// ---- challenge 0

struct ChallengeRun {
  int phase = 0;
  uint32_t money = 0, wait = 0;
  double aimError = 99;
  MatchTouches match;
} g_challenge;

constexpr const char* kChallengeDir = "kv_challenge_program";

void challengeMatchFrame(cGame& g, int state, const uint16_t* pixels);

void challengeFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  if (g.states.inGame) return challengeMatchFrame(g, state, pixels);
  ChallengeRun& r = g_challenge;
  auto capture = [&](const char* name) {
    if (pixels) wince::writePng((workDir(kChallengeDir) / name).string(), pixels, 240, 320);
  };
  // A career under way: the main menu opens the pub, whose arrow turns to
  // the challenges spot and whose picture there opens the categories.
  if (state == k_stateMainMenu && held == 40 && r.phase == 0) {
    r.phase = 10;
    r.money = g.career.progress.money;
    g.career.progress.started = 1;
    g.setState(k_statePub);
  } else if (state == k_statePub && held == 40 && r.phase == 10) {
    touch(220, 165);  // the right arrow: the next spot
    r.phase = 11;
  } else if (state == k_statePub && held == 100 && r.phase == 11) {
    capture("state_110.png");
    touch(144, 200);  // the challenges spot's picture
    r.phase = 1;
  } else if (state == k_stateChallengeMenu && held == 30 && r.phase == 1) {
    capture("state_170.png");
    touch(124, 92);  // category 0
    r.phase = 2;
  } else if (state == k_stateChallengeList && held == 30 && r.phase == 2) {
    touch(124, 94);  // challenge 0: the first touch selects it
    r.phase = 3;
  } else if (state == k_stateChallengeList && r.phase == 3 && g.states.screenFlags[k_screenFlagChallengeConfirm] &&
             g.frame.gameClock % 1000 > 600) {
    capture("state_180.png");
    touch(120, 150);  // the second touch starts it
    r.phase = 4;
  } else if (state == k_stateChallengeList && r.phase == 5 && held == 30) {
    capture("state_180_won.png");
    std::ofstream(workDir(kChallengeDir) / "result.txt")
        << r.money << ' ' << g.career.progress.money << ' ' << r.match.struck << ' ' << r.aimError << ' '
        << g.career.progress.challengeStates[0][0] << " states" << r.match.states << '\n';
    std::exit(0);
  }
}

void challengeMatchFrame(cGame& g, int state, const uint16_t* pixels) {
  ChallengeRun& r = g_challenge;
  r.match.onFrame(g, state, ChallengeDemoShot[0][0][k_demoPower]);
  const int32_t ax = ChallengeDemoShot[0][0][k_demoAimX], ay = ChallengeDemoShot[0][0][k_demoAimY];
  // The table is touched once the panels have slid back to the player.
  if (state == k_stateAim && r.phase == 4 && isHudAtTarget(g)) {
    int px = 0, py = 0;
    if (!aimPoint(g, ax, ay, px, py)) std::exit(5);
    touch(px, py);
    r.wait = now() + 400;
    r.phase = 6;
  } else if (state == k_stateAim && r.phase == 6 && now() > r.wait) {
    const Vector2& aim = g.world.shot.aim;
    r.aimError = std::abs(degreesOf(aim.x, aim.y) - degreesOf(ax, ay));
    if (pixels) wince::writePng((workDir(kChallengeDir) / "challenge_aimed.png").string(), pixels, 240, 320);
    touch(30, 160);  // fire: the gauge starts
    r.phase = 7;
  } else if (state == k_stateAfterShot && r.phase == 7) {
    r.phase = 5;  // the list comes next
  }
}

TEST(ChallengeProgram, FirstChallengeWonByTouchPaysItsPrizeAndIsSaved) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = workDir(kChallengeDir);
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::ofstream(dir / "script.txt") << kStartScript;
  scripted::withMatchFrames() = true;
  EXPECT_EXIT(scripted::run(dir, 20000, challengeFrame,
                            [] {
                              std::fprintf(stderr, "phase %d struck %d aim error %.3f match%s\n", g_challenge.phase,
                                           g_challenge.match.struck, g_challenge.aimError,
                                           g_challenge.match.states.c_str());
                            }),
              ::testing::ExitedWithCode(0),
              scripted::statesFromStart({k_statePub, k_stateChallengeMenu, k_stateChallengeList, k_stateGameLoading,
                                         k_stateMainMenuLoading, k_stateChallengeList}) +
                  "\n");
  std::ifstream in(dir / "result.txt");
  uint32_t before = 0, after = 0, state = 0;
  int32_t struck = 0;
  double aimError = 0;
  std::string states;
  ASSERT_TRUE(in >> before >> after >> struck >> aimError >> state);
  std::getline(in, states);
  EXPECT_LT(aimError, 0.15);
  EXPECT_NEAR(struck, ChallengeDemoShot[0][0][k_demoPower], ChallengeDemoShot[0][0][k_demoPower] / 100);
  EXPECT_EQ(after, before + 50);
  EXPECT_EQ(state, 2u);
  // The match ran from its intro to the prize and the coach's text.
  EXPECT_NE(states.find(std::to_string(k_stateChallengeIntro)), std::string::npos) << states;
  EXPECT_NE(states.find(scripted::stateRun({k_stateAim, k_stateShotPower, k_stateStroke, k_stateBallsMoving,
                                            k_stateAfterShot, k_stateMessageBox, k_stateAfterShot})),
            std::string::npos)
      << states;
  // The saved file: the state word at byte 112, the money at 144-147.
  std::ifstream save(dir / "write" / "save.sav", std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(save)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 160u);
  EXPECT_EQ(bytes[112], 2);
  EXPECT_EQ(uint32_t(bytes[144]) << 24 | uint32_t(bytes[145]) << 16 | uint32_t(bytes[146]) << 8 | bytes[147], before + 50);
  for (const char* png : {"state_170.png", "state_180.png", "challenge_aimed.png"})
    EXPECT_TRUE(fs::exists(dir / png)) << png;
}

// ---- a locked challenge touched: the list stays usable

struct LockedRun {
  int phase = 0;
  std::string seen;  // after each step: the selection, the page's first row, the page button shown, armed
} g_locked;

constexpr const char* kLockedDir = "kv_locked_challenge_program";

void lockedFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  LockedRun& r = g_locked;
  auto note = [&] {
    r.seen += ' ' + std::to_string(g.menu.selection) + '/' + std::to_string(g.menu.firstVisible) + '/' +
              std::to_string(isElementVisible(g, k_challengeListPage)) + '/' +
              std::to_string(g.states.screenFlags[k_screenFlagChallengeConfirm]);
  };
  if (g.states.inGame) {
    std::ofstream(workDir(kLockedDir) / "seen.txt") << r.seen << ' ' << g.match.challengeNumber;
    std::exit(0);
  }
  // A career under way, its first category's list: challenge 0 open, the rest locked.
  if (state == k_stateMainMenu && held == 40 && r.phase == 0) {
    g.career.progress.started = 1;
    g.challenges.category = 0;
    g.setState(k_stateChallengeList);
    r.phase = 1;
    return;
  }
  if (held != 30 && !(state == k_stateChallengeList && held % 40 == 30)) return;
  switch (r.phase) {
    case 1:  // the third row, locked: selected, nothing armed
    case 3:
      touch(124, 155);
      r.phase += 1;
      break;
    case 2:  // back goes back at once
      note();
      if (pixels) wince::writePng((workDir(kLockedDir) / "locked.png").string(), pixels, 240, 320);
      touch(218, 303);
      r.phase = 21;
      break;
    case 21:  // the categories: the first again
      touch(124, 92);
      r.phase = 3;
      break;
    case 4:  // the page button turns the page, and back
    case 5:
      note();
      touch(112, 224);
      r.phase += 1;
      break;
    case 6:  // the open challenge: a touch arms, the next starts it
      note();
      touch(124, 94);
      r.phase = 7;
      break;
    case 7:
      note();
      touch(120, 150);
      r.phase = 8;
      break;
    default:
      break;
  }
}

TEST(ChallengeProgram, ALockedChallengeLeavesTheListUsable) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = workDir(kLockedDir);
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::ofstream(dir / "script.txt") << kStartScript;
  scripted::withMatchFrames() = true;
  EXPECT_EXIT(scripted::run(dir, 5000, lockedFrame), ::testing::ExitedWithCode(0),
              scripted::statesFromStart(
                  {k_stateChallengeList, k_stateChallengeMenu, k_stateChallengeList, k_stateGameLoading}) +
                  "\n");
  std::ifstream in(dir / "seen.txt");
  std::string seen;
  std::getline(in, seen);
  // Row 2 selected, page shown, not armed; the page turned to row 4 and
  // back; row 0 armed (its page button giving way to the prompt); then
  // challenge 0 started.
  EXPECT_EQ(seen, " 2/0/1/0 2/0/1/0 -1/4/1/0 -1/0/1/0 0/0/0/1 0");
  std::ifstream save(dir / "write" / "save.sav", std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(save)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 120u);
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 112, bytes.begin() + 120),
            (std::vector<unsigned char>{1, 0, 0, 0, 0, 0, 0, 0}))
      << "the states are as they were";
  EXPECT_TRUE(fs::exists(dir / "locked.png"));
}

// ---- lesson 0 from the tutorial choice, then lesson 1's text box

struct LessonRun {
  int phase = 0;
  uint32_t wait = 0;
  uint32_t lessonsBefore = 0;
  MatchTouches match;
} g_lesson;

constexpr const char* kLessonDir = "kv_lesson_program";

void lessonMatchFrame(cGame& g, int state, const uint16_t* pixels);

void lessonFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  if (g.states.inGame) return lessonMatchFrame(g, state, pixels);
  LessonRun& r = g_lesson;
  if (state == k_stateMainMenu && held == 40 && r.phase == 0) {
    r.lessonsBefore = g.career.progress.counterA;
    touch(124, 52);  // help
    r.phase = 1;
  } else if (state == k_stateHelpMenu && held == 30 && r.phase == 1) {
    touch(124, 243);  // the tutorial, fourth row
    r.phase = 2;
  } else if (state == k_stateTutorialChoice && held == 30 && (r.phase == 2 || r.phase == 5)) {
    if (r.phase == 5 && pixels)
      wince::writePng((workDir(kLessonDir) / "state_130.png").string(), pixels, 240, 320);
    touch(124, r.phase == 2 ? 122 : 164);  // lesson 0, then lesson 1
    r.phase = r.phase == 2 ? 3 : 6;
  }
}

void lessonMatchFrame(cGame& g, int state, const uint16_t* pixels) {
  LessonRun& r = g_lesson;
  r.match.onFrame(g, state, 9000);
  if (state == k_stateAim && r.phase == 3 && isHudAtTarget(g)) {
    // Towards the 3 ball: the coach lines the shot up once the guide meets it.
    const PhysicalObject* b3 = g.world.balls[3];
    const PhysicalObject* cue = g.world.cueBall;
    int px = 0, py = 0;
    if (!aimPoint(g, b3->position.x - cue->position.x, b3->position.y - cue->position.y, px, py)) std::exit(5);
    touch(px, py);
    r.phase = 4;
  } else if (state == k_stateAim && r.phase == 4 && g.tutorial.target < 0 && r.match.boxTapped != 0) {
    touch(30, 160);  // fire
    r.phase = 7;
  } else if (state == k_stateAfterShot && r.phase == 7) {
    r.phase = 5;
  } else if (state == k_stateAim && r.phase == 6) {
    touch(218, 300);  // the spin selector
    r.phase = 8;
  } else if (state == k_stateSpinSelector && r.phase == 8 && g.tutorial.textBoxOpen) {
    r.wait = now() + 600;
    r.phase = 9;
  } else if (state == k_stateSpinSelector && r.phase == 9 && now() > r.wait) {
    if (pixels) wince::writePng((workDir(kLessonDir) / "lesson_text_box.png").string(), pixels, 240, 320);
    std::ofstream(workDir(kLessonDir) / "result.txt")
        << r.lessonsBefore << ' ' << g.career.progress.counterA << ' ' << g.tutorial.textId << ' '
        << g.match.lessonNumber << " states" << r.match.states << '\n';
    std::exit(0);
  }
}

TEST(ChallengeProgram, FirstLessonFromTheTutorialChoicePassesAndIsSaved) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = workDir(kLessonDir);
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::ofstream(dir / "script.txt") << kStartScript;
  scripted::withMatchFrames() = true;
  EXPECT_EXIT(
      scripted::run(dir, 20000, lessonFrame,
                    [] { std::fprintf(stderr, "phase %d match%s\n", g_lesson.phase, g_lesson.match.states.c_str()); }),
      ::testing::ExitedWithCode(0),
      scripted::statesFromStart({k_stateHelpMenu, k_stateTutorialChoice, k_stateGameLoading, k_stateMainMenuLoading,
                                 k_stateTutorialChoice, k_stateGameLoading}) +
          "\n");
  std::ifstream in(dir / "result.txt");
  uint32_t before = 0, after = 0;
  int32_t text = 0, lesson = 0;
  std::string states;
  ASSERT_TRUE(in >> before >> after >> text >> lesson);
  std::getline(in, states);
  EXPECT_EQ(before & 1u, 0u);
  EXPECT_EQ(after & 1u, 1u);
  EXPECT_EQ(lesson, 1);
  EXPECT_EQ(text, 526);  // lesson 1's spin text
  // The title and intro, the aim reached, the shot, the pass.
  EXPECT_NE(
      states.find(scripted::stateRun({k_stateTutorialLessonIntro, k_stateMessageBox, k_stateTutorialLessonIntro,
                                      k_stateAim, k_stateMessageBox, k_stateAim, k_stateShotPower, k_stateStroke,
                                      k_stateBallsMoving, k_stateAfterShot, k_stateMessageBox, k_stateAfterShot})),
      std::string::npos)
      << states;
  std::ifstream save(dir / "write" / "save.sav", std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(save)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 161u);
  EXPECT_EQ(bytes[160] & 1, 1);
  EXPECT_TRUE(fs::exists(dir / "lesson_text_box.png"));
}

}  // namespace
