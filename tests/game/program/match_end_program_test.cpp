// The whole program on the headless backend through the end of a match: a
// quick match won through the in-game menu's cheat path, and a career win
// from a prepared save file that announces a challenge and a character
// before the post-match menu. Touches go through the stylus script, set from
// the frames as the screens come up; the match and the cheat menu are
// entered in-process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "tests/DataSet.h"
#include "tests/game/program/ScriptedProgram.h"
#include "tools/save/SaveFileWriter.h"

namespace {

namespace fs = std::filesystem;

constexpr int kKeyBack = 20, kKeyFire = 19;

fs::path workDir(const char* name) { return scripted::runFolder(name); }

// A tap at (x, y) in a moment, through the window's stylus events.
void tapSoon(int x, int y) {
  const uint32_t now = GetTickCount();
  wince::ScriptEvent down, up;
  down.timeMs = now + 60;
  down.kind = wince::ScriptEvent::Down;
  down.x = x;
  down.y = y;
  up = down;
  up.timeMs = now + 160;
  up.kind = wince::ScriptEvent::Up;
  wince::setScript({down, up});
}

// Match states passed, in order, each once in a row.
std::string& matchStates() {
  static std::string s;
  return s;
}

void noteState(cGame& g, int held) {
  if (held != 1) return;
  char number[16];
  std::snprintf(number, sizeof number, " %d", static_cast<int>(g.states.gameState));
  matchStates().append(number);
}

const char* g_dir = "";

void capture(int state, const uint16_t* pixels, const char* suffix = "") {
  if (!pixels) return;
  wince::writePng((workDir(g_dir) / ("state_" + std::to_string(state) + suffix + ".png")).string(), pixels, 240,
                  320);
}

// Script of the start-up screens (sound question yes, the title).
constexpr const char* kStartUp =
    "9000 down 118 135\n"
    "9100 up 118 135\n"
    "11000 tap 120 200\n";

// The human at the aim opens the in-game menu with the back key; the cheat
// menu's first entry wins the frame.
void cheatToWin(cGame& g, int state, int held, const uint16_t* pixels) {
  static int down = -1;  // the key held since the last frame
  if (down >= 0) {
    g.keyReleased(down);
    down = -1;
  }
  if (state == k_stateAim && held == 3) g.keyPressed(down = kKeyBack);
  if (state == k_stateIGM) {
    if (held == 12) capture(state, pixels);
    if (held == 14) g.setInGameState(k_stateCheatMenu);
  }
  if (state == k_stateCheatMenu) {
    if (held == 10) capture(state, pixels);
    if (held == 12) {
      g.menu.selection = 0;
      g.keyPressed(down = kKeyFire);
    }
  }
}

// Taps anywhere through the end of the frame: the dialog, the result lines,
// the after-match screen (twice).
void tapThroughTheEnd(int state, int held, const uint16_t* pixels) {
  if (state == k_stateFrameWon && held % 40 == 20) tapSoon(120, 160);
  if (state == k_stateResultLines && held % 40 == 20) tapSoon(120, 160);
  if (state == k_stateGameOver) {
    if (held == 20) capture(state, pixels, "_counting");
    if (held == 30) tapSoon(120, 160);
    if (held == 60) capture(state, pixels);
    if (held == 70) tapSoon(120, 160);
  }
}

[[noreturn]] void runQuickMatch() {
  g_dir = "kv_match_end_quick";
  scripted::withMatchFrames() = true;
  scripted::run(workDir(g_dir), 30000, [](cGame& g, int state, int held, const uint16_t* pixels) {
    static bool started = false;
    if (g.states.inGame) noteState(g, held);
    if (state == k_stateMainMenu && held == 20 && !started) {
      started = true;
      g.match.gameType = k_gameTypeQuickMatch;
      g.match.ruleSet = k_ruleSetEightBall;
      g.setup.chosenCharacter[0] = 0;
      g.setup.chosenCharacter[1] = 1;
      setTable(g, 0);
      enterGameLoading(g);
      return;
    }
    if (state == k_stateMainMenu && started && held == 5) {
      std::fprintf(stderr, "match%s\n", matchStates().c_str());
      std::exit(0);
    }
    if (state == k_stateOpponentIntro && held % 40 == 20) tapSoon(120, 160);
    cheatToWin(g, state, held, pixels);
    tapThroughTheEnd(state, held, pixels);
  });
}

}  // namespace

TEST(MatchEndProgram, QuickMatchWonThroughTheCheatMenuEndsAtTheMainMenu) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = workDir("kv_match_end_quick");
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::ofstream(dir / "script.txt") << kStartUp;
  EXPECT_EXIT(runQuickMatch(), ::testing::ExitedWithCode(0),
              "match.*" +
                  scripted::stateRun({k_stateAim, k_stateIGM, k_stateCheatMenu, k_stateFrameWon, k_stateResultLines,
                                      k_stateGameOver}) +
                  "\n" + scripted::statesFromStart({k_stateGameLoading, k_stateMainMenuLoading, k_stateMainMenu}) +
                  "\n");
  for (const char* f : {"state_300.png", "state_310.png", "state_280_counting.png", "state_280.png"})
    EXPECT_TRUE(fs::exists(dir / f)) << f;
}

namespace {

// Where a tap goes on each screen of the career's way through a match.
void tapCareer(int state, int held) {
  switch (state) {
    case k_stateStakeChoice:
      if (held == 30) tapSoon(177, 93);  // the select button
      break;
    case k_stateTableChoice:
      if (held == 30) tapSoon(125, 262);  // the select button
      break;
    case k_stateVersus:
    case k_stateOpponentIntro:
    case k_stateFrameWon:
    case k_stateResultLines:
    case k_stateGameOver:
      if (held % 40 == 20) tapSoon(120, 160);
      break;
    case k_stateBet:
      if (held % 40 == 20) tapSoon(30, 300);  // the left soft key: select
      break;
    case k_stateChallengeUnlocked:
    case k_stateCharacterUnlocked:
      if (held % 40 == 20) tapSoon(118, 268);  // the button: a page, then on
      break;
    case k_statePostMatchMenu:
      if (held == 20) tapSoon(120, 92);   // the first row: another match
      if (held == 60) tapSoon(120, 200);  // the second tap
      break;
    default:
      break;
  }
}

[[noreturn]] void runCareerMatch() {
  g_dir = "kv_match_end_career";
  scripted::withMatchFrames() = true;
  scripted::run(workDir(g_dir), 40000, [](cGame& g, int state, int held, const uint16_t* pixels) {
    static int stakeVisits = 0;
    if (g.states.inGame) noteState(g, held);
    if (state == k_stateMainMenu && held == 20 && stakeVisits == 0) {
      g.match.gameType = k_gameTypeCareer;
      g.setState(k_stateStakeChoice);
      return;
    }
    if (state == k_stateStakeChoice && held == 1) stakeVisits += 1;
    if (state == k_stateStakeChoice && stakeVisits == 2 && held == 5) {
      std::fprintf(stderr, "match%s\n", matchStates().c_str());
      std::exit(0);
    }
    cheatToWin(g, state, held, pixels);
    if (state == k_stateGameOver && held == 20) capture(state, pixels, "_career");
    if (state == k_stateCharacterUnlocked && held == 15) capture(state, pixels);
    if (state == k_stateChallengeUnlocked && held == 15) capture(state, pixels);
    if (state == k_statePostMatchMenu && held == 40) capture(state, pixels);
    tapCareer(state, held);
  });
}

}  // namespace

TEST(MatchEndProgram, CareerWinAnnouncesAChallengeAndACharacterThenTheMenu) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = workDir("kv_match_end_career");
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::ofstream(dir / "script.txt") << kStartUp;
  // A career under way: character 0 against the first rival, no notice due.
  savefile::Career career;
  career.started = true;
  career.flagB = false;
  career.shopExplanationPending = false;
  const auto image = savefile::writeImage({}, career);
  std::ofstream(dir / "write" / "save.sav", std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  EXPECT_EXIT(runCareerMatch(), ::testing::ExitedWithCode(0),
              "match.*" + scripted::stateRun({k_stateBet, k_stateOpponentIntro}) + ".*" +
                  scripted::stateRun({k_stateAim, k_stateIGM, k_stateCheatMenu, k_stateFrameWon, k_stateResultLines,
                                      k_stateGameOver, k_stateChallengeUnlocked, k_stateCharacterUnlocked,
                                      k_statePostMatchMenu}) +
                  "\n" +
                  scripted::statesFromStart({k_stateStakeChoice, k_stateTableChoice, k_stateVersus, k_stateGameLoading,
                                             k_stateMainMenuLoading, k_stateStakeChoice}) +
                  "\n");
  std::ifstream in(dir / "write" / "save.sav", std::ios::binary);
  const std::vector<uint8_t> save((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(save.size(), 300u);
  // The character of the second slot is available, the first rival won.
  for (int c = 0; c < 10; ++c) EXPECT_EQ(save[3 + c], c <= 2 || c == 9 ? 1 : 0) << c;
  EXPECT_EQ(save[102 + 1], 1);
  // Challenge 1 open in every category; nothing pending, its values kept.
  for (int category = 0; category < 4; ++category) EXPECT_EQ(save[112 + 8 * category + 1], 1) << category;
  EXPECT_EQ(save[178], 2);
  EXPECT_EQ(save[182], 1);
  EXPECT_EQ(save[183], 0);
  EXPECT_EQ(save[184], 0);
  // The minimum bet of the first level won.
  EXPECT_EQ((save[146] << 8) | save[147], 1010);
  for (const char* f : {"state_280_career.png", "state_340.png", "state_350.png", "state_360.png"})
    EXPECT_TRUE(fs::exists(dir / f)) << f;
}

namespace {

// The screens no touch path of these runs reaches, each shown over the
// match (or, for the career's end, in the front end) and captured.
[[noreturn]] void runOtherScreens() {
  g_dir = "kv_match_end_screens";
  scripted::withMatchFrames() = true;
  scripted::run(workDir(g_dir), 20000, [](cGame& g, int state, int held, const uint16_t* pixels) {
    static bool started = false;
    if (state == k_stateMainMenu && held == 20 && !started) {
      started = true;
      g.match.gameType = k_gameTypeQuickMatch;
      g.match.ruleSet = k_ruleSetEightBall;
      g.setup.chosenCharacter[0] = 0;
      g.setup.chosenCharacter[1] = 1;
      setTable(g, 0);
      enterGameLoading(g);
      return;
    }
    if (state == k_stateOpponentIntro && held % 40 == 20) tapSoon(120, 160);
    if (state == k_stateAim && held == 3) g.setInGameState(k_stateInGameQuestion);
    if (state == k_stateInGameQuestion && held == 20) {
      capture(state, pixels);
      g.tutorial.started = 1;
      g.setInGameState(k_stateContinue);
    }
    if (state == k_stateContinue && held == 20) {
      capture(state, pixels);
      for (uint8_t& a : g.career.characterAvailable) a = 1;
      g.career.progress.money = 12345;
      g.loading.pendingReturnState = k_stateCareerComplete;
      g.setState(k_stateMainMenuLoading);
    }
    if (state == k_stateCareerComplete && held == 45) {
      capture(state, pixels);
      tapSoon(120, 160);  // anywhere: the main menu
    }
    if (state == k_stateMainMenu && started && held == 5) std::exit(0);
  });
}

}  // namespace

TEST(MatchEndProgram, RetryQuestionTutorialEndAndCareerEndAreDrawn) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = workDir("kv_match_end_screens");
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::ofstream(dir / "script.txt") << kStartUp;
  EXPECT_EXIT(
      runOtherScreens(), ::testing::ExitedWithCode(0),
      scripted::statesFromStart({k_stateGameLoading, k_stateMainMenuLoading, k_stateCareerComplete, k_stateMainMenu}) +
          "\n");
  for (const char* f : {"state_320.png", "state_400.png", "state_440.png"}) EXPECT_TRUE(fs::exists(dir / f)) << f;
}
