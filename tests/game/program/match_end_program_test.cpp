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
#include "tests/game/program/ScriptedProgram.h"
#include "tools/save/SaveFileWriter.h"

namespace {

namespace fs = std::filesystem;

constexpr int kKeyBack = 20, kKeyFire = 19;

fs::path workDir(const char* name) { return fs::temp_directory_path() / name; }

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
  std::snprintf(number, sizeof number, " %d", static_cast<int>(g.s_gameState));
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
      g.m_menu.selection = 0;
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
    if (g.m_inGame) noteState(g, held);
    if (state == k_stateMainMenu && held == 20 && !started) {
      started = true;
      g.gameType = 0;
      g.ruleSet = 0;
      g.m_chosenCharacter[0] = 0;
      g.m_chosenCharacter[1] = 1;
      g.setTable(0);
      g.enterGameLoading();
      return;
    }
    if (state == k_stateMainMenu && started && held == 5) {
      std::fprintf(stderr, "match%s\n", matchStates().c_str());
      std::exit(0);
    }
    if (state == k_stateOpponentIntro && held % 40 == 20) tapSoon(120, 160);
    cheatToWin(g, state, held, pixels);
    tapThroughTheEnd(state, held, pixels);
  }, [] { if (getenv("KV_DEBUG_MATCH")) std::fprintf(stderr, "debug match%s\n", matchStates().c_str()); });
}

}  // namespace

TEST(MatchEndProgram, QuickMatchWonThroughTheCheatMenuEndsAtTheMainMenu) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = workDir("kv_match_end_quick");
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::ofstream(dir / "script.txt") << kStartUp;
  EXPECT_EXIT(runQuickMatch(), ::testing::ExitedWithCode(0),
              "match .*520 300 310 580 506 280\nstates 5 10 20 30 40 50 370 20 50\n");
  for (const char* f : {"state_300.png", "state_310.png", "state_280_counting.png", "state_280.png"})
    EXPECT_TRUE(fs::exists(dir / f)) << f;
}
