// The whole program by touch, on the headless backend: the five lessons
// from the tutorial choice, each played as its own texts tell the player.
// The cue is pointed by a touch on the ball the text names, where that ball
// is drawn; the spin selector opens from the Spin key, masse from its MASSE
// button, the tip moves with the arrows held (at once, the coach's box over
// the selector or not: one hold takes it to the edge), Back closes it, and
// HIT stops the gauge at the strength the text states. Every lesson passes
// and is saved; no two boxes are up at once, no straight pot is called a
// bank shot, and the "?" is not left lit by the selector.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGameStylus.h"
#include "game/Korvane/cGame/cGameTutorial.h"
#include "tests/DataSet.h"
#include "tests/game/program/MatchTouches.h"
#include "tests/game/program/ScriptedProgram.h"

namespace {

namespace fs = std::filesystem;
using matchtouch::now;
using matchtouch::touch;

// The gauge's strength as the lessons' texts word it (longest first).
const struct {
  const char* words;
  double fraction;
} kStrengths[] = {{"a little under half full", 0.42}, {"about half full", 0.5}, {"almost full", 0.9}};

enum Act { kAim, kSpin, kMasse, kArrow, kBack, kFire };
struct Action {
  Act act;
  int arg = 0;  // the ball to touch; the arrow (11 up, 13 down, 12 left, 14 right)
};

struct Lesson {
  int strengthText;  // the text that states the strength
  std::vector<Action> actions;
};

// Each lesson's steps, as its texts give them. An aim at the lesson's ball
// is left out when the coach has already lined the shot up.
const Lesson kLessons[5] = {
    {521, {{kAim, 3}, {kFire}}},
    {526, {{kAim, 3}, {kSpin}, {kArrow, 13}, {kBack}, {kFire}}},
    {530, {{kAim, 9}, {kFire}}},
    {536, {{kAim, 9}, {kSpin}, {kMasse}, {kArrow, 14}, {kBack}, {kFire}}},
    {540, {{kAim, 2}, {kAim, 3}, {kFire}}},
};

// The arrow pad's buttons (player 0's side) and the table's keys.
struct Point {
  int x, y;
};
Point arrow(int key) {
  const int mid = touchLayoutY(227) + 20;
  switch (key) {
    case 11: return {153, touchLayoutY(206) + 20};
    case 13: return {153, touchLayoutY(250) + 20};
    case 12: return {108, mid};
    default: return {196, mid};
  }
}
constexpr Point kSpinKey{218, 300}, kBackKey{25, 300}, kPower{30, 160}, kMasseButton{35, 20};

struct Run {
  int lesson = 0, step = 0, phase = 0, tried = 0, finishShown = -1;
  uint32_t wait = 0, textSeen = 0;
  uint32_t passed = 0;      // lessons passed, by the saved progress
  int overlaps = 0;         // frames with two boxes up
  int hintChanged = 0;      // lessons whose "?" looked different after the selector
  std::vector<uint16_t> keyBefore;  // the left key's pixels before the selector
  int bankBoxes = 0;        // bank-shot boxes over a straight pot
  std::string failures;
  matchtouch::MatchTouches match;
} g_run;

constexpr const char* kDir = "kv_lessons_program";

void fail(int lesson, const char* what) {
  char line[96];
  std::snprintf(line, sizeof line, " lesson %d: %s;", lesson, what);
  g_run.failures.append(line);
}

// The left key of the soft-key bar, where the "?" stands.
std::vector<uint16_t> leftKey(const uint16_t* p) {
  std::vector<uint16_t> out;
  for (int y = 301; y < 320; ++y) out.insert(out.end(), p + y * 240, p + y * 240 + 60);
  return out;
}

double strengthOf(cGame& g, int lesson) {
  const int id = kLessons[lesson].strengthText;
  const std::string text(getStringData(g, id), static_cast<size_t>(std::max(getStringLength(g, id), 0)));
  for (const auto& s : kStrengths)
    if (text.find(s.words) != std::string::npos) return s.fraction;
  fail(lesson, "its text states no strength");
  return 0.5;
}

// The frame as "lesson<n>_<what>.png".
void capture(const uint16_t* pixels, int lesson, const char* what) {
  char name[64];
  std::snprintf(name, sizeof name, "lesson%d_%s.png", lesson, what);
  if (pixels) wince::writePng((scripted::runFolder(kDir) / name).string(), pixels, 240, 320);
}


void matchFrame(cGame& g, int state, const uint16_t* pixels) {
  Run& r = g_run;
  const int32_t power = static_cast<int32_t>(strengthOf(g, r.lesson) * 17384);
  r.match.onFrame(g, state, power);
  // The coach's box and another box never share the screen.
  if (state == k_stateMessageBox && (isBoxOverTable(g) || isMessageQueued(g))) ++r.overlaps;
  // The straight pots (the masse curve of lesson 3 meets a rail first: a kick).
  if (r.lesson != 3 && isDialogBoxOpen(g) && std::string(g.dialog.body).find("Bank") != std::string::npos)
    ++r.bankBoxes;
  // The lesson's finish: the coach's box once it is drawn.
  if (state == k_stateMessageBox && g.turn.messageText == tutorialLessonWord(r.lesson, k_lessonPassed) &&
      g.frame.gameClock - g.states.stateEntryTime >= 600 && r.finishShown != r.lesson) {
    capture(pixels, r.lesson, "passed");
    r.finishShown = r.lesson;
  }
  const std::vector<Action>& actions = kLessons[r.lesson].actions;
  const bool acting = r.step < static_cast<int>(actions.size());
  // The coach's text over the selector is read; then the arrow it names is
  // held at once, or the box is closed with a tap.
  if (state == k_stateSpinSelector && g.tutorial.textBoxOpen) {
    if (!r.textSeen) r.textSeen = now() + 700;
    if (now() < r.textSeen) return;
    if (r.textSeen != 1) capture(pixels, r.lesson, "selector_text");
    if (!acting || actions[r.step].act != kArrow) {
      touch(120, 150);
      r.textSeen = now() + 900;
      return;
    }
    r.textSeen = 1;
  } else {
    r.textSeen = 0;
  }
  if (isBoxOverTable(g) || state == k_stateMessageBox || now() < r.wait || !acting) return;
  const Action& a = actions[r.step];
  const bool aiming = state == k_stateAim && isHudAtTarget(g);
  const bool selector = state == k_stateSpinSelector;
  const ShotRecord& shot = g.world.shot;
  switch (a.act) {
    case kAim:
      if (!aiming) return;
      // The first aim is the lesson's ball: the coach may have lined it up already.
      if (r.step == 0 && g.tutorial.target < 0) break;
      {
        int x = 0, y = 0;
        matchtouch::ballScreen(g, a.arg, x, y);
        touch(x, y);
      }
      r.wait = now() + 500;
      break;
    case kSpin:
      if (selector) break;
      if (!aiming) return;
      if (r.tried) {
        fail(r.lesson, "the Spin key opened nothing");
        std::exit(6);
      }
      capture(pixels, r.lesson, "spin_key");
      if (pixels) r.keyBefore = leftKey(pixels);
      touch(kSpinKey.x, kSpinKey.y);
      r.tried = 1;
      r.wait = now() + 400;
      return;
    case kMasse:
      if (!selector) return;
      if (!shot.masse) {
        touch(kMasseButton.x, kMasseButton.y);
        r.wait = now() + 400;
        return;
      }
      break;
    case kArrow: {
      if (!selector) return;
      const bool there = a.arg == 13 ? shot.englishPoint.y >= 10 * 16384 : shot.englishPoint.x >= 10 * 16384;
      if (!there) {
        // One hold takes the tip to the edge, the coach's box up or not.
        if (r.tried) {
          fail(r.lesson, "the held arrow did not take the tip to the edge");
          std::exit(6);
        }
        const Point p = arrow(a.arg);
        touch(p.x, p.y, 20, 700);
        r.tried = 1;
        r.wait = now() + 900;
        return;
      }
      break;
    }
    case kBack:
      if (selector) {
        capture(pixels, r.lesson, "selector");
        touch(kBackKey.x, kBackKey.y);
        r.wait = now() + 400;
        return;
      }
      if (!aiming) return;
      // Back at the aim, the "?" looks as it did before the selector.
      if (pixels && leftKey(pixels) != r.keyBefore) ++r.hintChanged;
      break;
    case kFire:
      if (!aiming) return;
      touch(kPower.x, kPower.y);
      r.wait = now() + 400;
      break;
  }
  r.step += 1;
  r.tried = 0;
}

void frontEndFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  if (g.states.inGame) return matchFrame(g, state, pixels);
  Run& r = g_run;
  if (state == k_stateMainMenu && held == 40 && r.phase == 0) {
    touch(124, 52);  // help
    r.phase = 1;
  } else if (state == k_stateHelpMenu && held == 30 && r.phase == 1) {
    touch(124, 243);  // the tutorial, fourth row
    r.phase = 2;
  } else if (state == k_stateTutorialChoice && held == 30) {
    // Back from a lesson: the one played is saved as passed.
    if (r.phase == 3) {
      r.passed = g.career.progress.counterA;
      if (!(r.passed & (1u << r.lesson))) fail(r.lesson, "not passed");
      r.lesson += 1;
      r.step = 0;
      r.phase = 2;
    }
    if (r.lesson == 5) {
      std::ofstream(scripted::runFolder(kDir) / "result.txt")
          << r.passed << ' ' << r.overlaps << ' ' << r.bankBoxes << ' ' << r.hintChanged << " states"
          << r.match.states << '\n';
      std::exit(0);
    }
    // Four rows show five lessons: the last is brought up by the arrow below.
    if (r.lesson == 4 && g.menu.firstVisible == 0) {
      touch(120, touchLayoutY(316) + 9);
      return;
    }
    touch(124, touchLayoutY(129 + 50 * (r.lesson - g.menu.firstVisible)) + 14);
    r.phase = 3;
  } else if (state == k_stateTutorialChoice && held == 60 && r.lesson == 4 && r.phase == 2) {
    touch(124, touchLayoutY(129 + 50 * (r.lesson - g.menu.firstVisible)) + 14);
    r.phase = 3;
  }
}

TEST(LessonsProgram, EveryLessonPassesByTouchAsItsTextsSay) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = scripted::runFolder(kDir);
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::ofstream(dir / "script.txt") << "9000 down 118 135\n9100 up 118 135\n11000 down 120 200\n11100 up 120 200\n";
  scripted::withMatchFrames() = true;
  EXPECT_EXIT(scripted::run(dir, 30000, frontEndFrame,
                            [] {
                              std::fprintf(stderr, "lesson %d step %d%s match%s\n", g_run.lesson, g_run.step,
                                           g_run.failures.c_str(), g_run.match.states.c_str());
                            }),
              ::testing::ExitedWithCode(0),
              scripted::statesFromStart({k_stateHelpMenu, k_stateTutorialChoice}) + "(" +
                  scripted::stateRun({k_stateGameLoading, k_stateMainMenuLoading, k_stateTutorialChoice}) + "){5}\n");
  std::ifstream in(dir / "result.txt");
  uint32_t passed = 0;
  int overlaps = -1, bankBoxes = -1, hintChanged = -1;
  ASSERT_TRUE(in >> passed >> overlaps >> bankBoxes >> hintChanged);
  EXPECT_EQ(passed & 0x1F, 0x1Fu);
  EXPECT_EQ(overlaps, 0);
  EXPECT_EQ(bankBoxes, 0);
  EXPECT_EQ(hintChanged, 0) << "the ? stayed lit after the selector closed";
  // Saved: the passed lessons' byte of the progress record.
  std::ifstream save(dir / "write" / "save.sav", std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(save)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 161u);
  EXPECT_EQ(bytes[160] & 0x1F, 0x1F);
  for (const char* png : {"lesson0_passed.png", "lesson1_passed.png", "lesson2_passed.png", "lesson3_passed.png",
                          "lesson4_passed.png"})
    EXPECT_TRUE(fs::exists(dir / png)) << png;
}

}  // namespace
