// The whole program walked through by touch alone on the headless backend,
// from a fresh writable folder: every screen a player reaches, the save file
// after each step that saves, one captured frame a screen, a clean exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/DataSet.h"
#include "tests/e2e/Walk.h"
#include "tests/game/program/ScriptedProgram.h"
#include "zul/memory/MemoryManager.h"

namespace {

namespace fs = std::filesystem;

// In the build tree, so that builds run side by side; fixed, because the
// death-test child runs this binary anew.
fs::path workDir() { return fs::path(KV_BINARY_DIR) / "e2e_walk"; }

// The child's record: the states in order (states.txt) and each new save
// image with the state it was first seen in (save_N_STATE.bin).
struct Record {
  static inline fs::path dir;
  static inline std::string lastSave;
  static inline int saves = 0;
  static inline walk::Runner* runner = nullptr;
};

void onFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  Record::runner->frame(state, !isComputerAtTable(g));
  if (held == 1 && !g.states.inGame) std::ofstream(Record::dir / "states.txt", std::ios::app) << state << '\n';
  if (held == 1)
    std::ofstream(Record::dir / "all-states.txt", std::ios::app) << state << (g.states.inGame ? "m " : " ");
  // One frame of each screen; those over a match are named with an "m".
  const fs::path shot = g.states.inGame ? Record::dir / ("state_" + std::to_string(state) + "m.png")
                                        : scripted::screenFile(Record::dir, state);
  if (held == 10 && pixels && !fs::exists(shot)) wince::writePng(shot.string(), pixels, 240, 320);
  const std::string save = walk::readFile(Record::dir / "write" / "save.sav");
  if (save.size() == 300 && save != Record::lastSave) {
    Record::lastSave = save;
    char name[48];
    std::snprintf(name, sizeof name, "save_%02d_%d.bin", Record::saves++, state);
    std::ofstream(Record::dir / name, std::ios::binary) << save;
  }
}

// At exit, after the program has closed: what the memory tracker still holds.
void onExit() {
  const CMemoryManager* m = getMemoryManager();
  std::ofstream(Record::dir / "tracked.txt") << (m ? m->currentTotal() : -1);
}

[[noreturn]] void runWalk(const fs::path& dir) {
  Record::dir = dir;
  static walk::Runner runner(walk::theWalk());
  Record::runner = &runner;
  scripted::withMatchFrames() = true;
  scripted::run(dir, 400000, onFrame, onExit);
}

std::vector<int> readStates(const fs::path& dir) {
  std::vector<int> states;
  std::ifstream in(dir / "states.txt");
  for (int s; in >> s;) states.push_back(s);
  return states;
}

// The save images in order, with the state each was first seen in.
std::vector<std::pair<int, std::string>> readSaves(const fs::path& dir) {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().rfind("save_", 0) == 0) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  std::vector<std::pair<int, std::string>> out;
  for (const auto& f : files) out.emplace_back(std::stoi(f.stem().string().substr(8)), walk::readFile(f));
  return out;
}

std::string join(const std::vector<int>& v) {
  std::string s;
  for (int x : v) {
    if (!s.empty()) s.push_back(' ');
    s.append(std::to_string(x));
  }
  return s;
}

TEST(Playthrough, EveryScreenByTouchFromAFreshFolder) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = workDir();
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::string error;
  ASSERT_FALSE(walk::theWalk(&error).empty()) << error;
  std::ofstream(dir / "script.txt") << "";  // the walk hands the script its touches
  EXPECT_EXIT(runWalk(dir), ::testing::ExitedWithCode(0), "states ");

  const std::vector<int> states = readStates(dir);
  EXPECT_EQ(join(states),
            join({// the start-up, options, help,
                  k_stateLoadInit, k_stateLogo, k_stateMainMenuLoading, k_stateFirstRunQuestion, k_stateTitle,
                  k_stateMainMenu, k_stateOptions, k_stateMainMenu, k_stateHelpMenu, k_stateHelpText, k_stateHelpMenu,
                  // a lesson passed, about
                  k_stateTutorialChoice, k_stateGameLoading, k_stateMainMenuLoading, k_stateTutorialChoice,
                  k_stateHelpMenu, k_stateMainMenu, k_stateAbout, k_stateMainMenu,
                  // a career: the pub,
                  k_stateCareerCharacterSelect, k_stateCareerIntro, k_statePub,
                  // a challenge won,
                  k_stateChallengeMenu, k_stateChallengeList, k_stateGameLoading, k_stateMainMenuLoading,
                  k_stateChallengeList, k_stateChallengeMenu, k_statePub,
                  // the shop,
                  k_stateShopExplanation, k_stateShop, k_stateQuestion, k_stateItemBought, k_statePub, k_stateShop,
                  k_statePub,
                  // the achievements,
                  k_stateAchievementMenu, k_stateAchievementList, k_stateAchievementMenu, k_statePub,
                  // a tournament's final, lost
                  k_stateRulesChoice, k_stateTournamentMenu, k_stateTournamentStage, k_stateVersus, k_stateGameLoading,
                  k_stateMainMenuLoading,
                  // a quick match of eight-ball,
                  k_stateMainMenu, k_stateRulesChoice, k_stateVersus, k_stateGameLoading, k_stateMainMenuLoading,
                  // of UK eight-ball
                  k_stateMainMenu, k_stateRulesChoice, k_stateVersus, k_stateGameLoading, k_stateMainMenuLoading,
                  // and of nine-ball, each to its result
                  k_stateMainMenu, k_stateRulesChoice, k_stateVersus, k_stateGameLoading, k_stateMainMenuLoading,
                  k_stateMainMenu, k_stateQuestion}))
      << "the screens in order";
  for (int s : states)  // the start-up, over before a frame settles
    if (s != k_stateLoadInit) {
      EXPECT_TRUE(fs::exists(scripted::screenFile(dir, s))) << "no frame of " << s;
    }

  // Only what the host keeps for the process's life: the frame and blit
  // buffers (240x320, 2 bytes a pixel) and the two scale maps (241 and 321
  // entries of 4 bytes).
  EXPECT_EQ(walk::readFile(dir / "tracked.txt"), std::to_string(2 * 240 * 320 * 2 + 241 * 4 + 321 * 4))
      << "bytes still held at quit";

  // Each step that saves, in the walk's order, by the screen where its image
  // first appears (at or after the step before's): the bytes it must hold
  // (money is big-endian at 144).
  struct Saved {
    int state;
    int offset;
    std::vector<uint8_t> bytes;
    const char* what;
  };
  const Saved steps[] = {
      {k_stateOptions, 1, {0}, "options: the aiming guide off"},
      {k_stateMessageBox, 157, {0, 0, 0, 1}, "lesson 0 passed, saved before its words"},
      {k_statePub, 100, {1}, "the career started on the introduction's last page"},
      {k_statePub, 144, {0, 0, 0x03, 0xE8}, "a new career's money: 1000"},
      {k_stateMessageBox, 112, {2}, "challenge 0 won, saved before the coach's words"},
      {k_stateMessageBox, 144, {0, 0, 0x04, 0x1A}, "and its prize paid: 1050"},
      {k_stateShopExplanation, 152, {0}, "the shop's explanation seen"},
      {k_stateItemBought, 144, {0, 0, 0, 50}, "the first cue bought for 1000"},
      {k_stateItemBought, 151, {0x20}, "item 5 owned"},
      {k_stateItemBought, 155, {0x10, 0x81}, "and equipped"},
  };
  const auto saves = readSaves(dir);
  auto from = saves.begin();
  for (const Saved& step : steps) {
    auto it = std::find_if(from, saves.end(), [&](const auto& s) { return s.first == step.state; });
    ASSERT_NE(it, saves.end()) << "no save in state " << step.state << ": " << step.what;
    ASSERT_EQ(it->second.size(), 300u);
    EXPECT_EQ(std::vector<uint8_t>(it->second.begin() + step.offset, it->second.begin() + step.offset + step.bytes.size()),
              step.bytes)
        << step.what;
    from = it;
  }
  if (!std::getenv("KV_E2E_KEEP")) fs::remove_all(dir);
}

}  // namespace
