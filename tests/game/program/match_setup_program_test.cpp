// The whole program on the headless backend with a stylus script through
// the match set-up: a quick match from the main menu to its first turn, a
// single match through both character steps and the table's arrows, and a
// career match (entered at the rule-set choice) through the stake, the
// table, the versus and the bet to the coin toss. Checks the states, the
// characters and table, and that the captured frames show what the screens
// say.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "tests/DataSet.h"
#include "tests/game/program/ScriptedProgram.h"

namespace {

namespace fs = std::filesystem;

// Shared by the three runs: the sound question, the title, then the menu.
constexpr const char* kStart =
    "9000 down 118 135\n9100 up 118 135\n"     // sound question: yes
    "11000 down 120 200\n11100 up 120 200\n";  // title

constexpr const char* kQuick =
    "13000 down 124 153\n13100 up 124 153\n"   // main menu, fourth row: quick match
    "15500 down 124 106\n15600 up 124 106\n"   // the first rule set, chosen 500 ms later
    "18000 down 120 160\n18100 up 120 160\n"   // versus: on to the loading
    "30000 down 120 160\n30100 up 120 160\n"   // the opponent's intro
    "33000 down 70 97\n33100 up 70 97\n";      // the left coin

constexpr const char* kSingle =
    "13000 down 124 221\n13100 up 124 221\n"   // main menu, sixth row: single match
    "15500 down 124 147\n15600 up 124 147\n"   // the UK rules
    "18000 down 47 85\n18100 up 47 85\n"       // player: next, twice
    "19000 down 47 85\n19100 up 47 85\n"
    "21000 down 50 130\n21100 up 50 130\n"     // the player's name: chosen
    "23000 down 184 85\n23100 up 184 85\n"     // opponent: next
    "25000 down 185 130\n25100 up 185 130\n"   // the opponent's name: chosen
    "27000 down 205 180\n27100 up 205 180\n"   // the table's right arrow
    "29000 down 125 260\n29100 up 125 260\n"   // play
    "31000 down 120 160\n31100 up 120 160\n";  // versus: on to the loading

// Entered at the rule-set choice at 12.5 s with a career of character 0.
constexpr const char* kCareer =
    "14000 down 124 147\n14100 up 124 147\n"   // the UK rules
    "16500 down 25 165\n16600 up 25 165\n"     // stake level 1's seat
    "17500 down 177 93\n17600 up 177 93\n"     // play
    "19500 down 125 260\n19600 up 125 260\n"   // the table: play
    "21500 down 120 160\n21600 up 120 160\n"   // versus
    "27000 down 106 116\n27100 up 106 116\n"   // the bet: more
    "28500 down 30 305\n28600 up 30 305\n"     // select
    "31000 down 120 160\n31100 up 120 160\n"   // the opponent's intro
    "34000 down 170 97\n34100 up 170 97\n";    // the right coin

constexpr int kCapture = 40;

fs::path workDir(const char* run) { return scripted::runFolder(std::string("match_setup_") + run); }

// What the run saw, written at exit: "key value" lines.
std::map<std::string, std::string> g_seen;
fs::path g_dir;
int g_firstTurn = -1;
bool g_tossSeen = false;

void note(const std::string& key, int value) { g_seen[key] = std::to_string(value); }
void save(const char* name, const uint16_t* pixels) {
  if (pixels) wince::writePng((g_dir / name).string(), pixels, 240, 320);
}

void writeSeen() {
  std::ofstream out(g_dir / "seen.txt");
  for (const auto& [k, v] : g_seen) out << k << ' ' << v << '\n';
}

// Frames of the match: the toss, then the first turn after it.
void matchFrame(cGame& g, int state, int held, const uint16_t* pixels) {
  if (g.states.inGame) note("m" + std::to_string(state), held);
  if (state == k_stateCoinToss) {
    g_tossSeen = true;
    if (g.setup.tossPhase == 0 && held == kCapture) save("toss.png", pixels);
    if (g.setup.tossPhase == 1 && g.setup.tossFrames == 12) save("spin.png", pixels);
  } else if (g_tossSeen && g_firstTurn < 0) {
    g_firstTurn = state;
    note("first", state);
    note("pending", g.turn.coinTossPending);
    note("current", g.match.currentPlayer);
  }
}

[[noreturn]] void runQuick() {
  g_dir = workDir("quick");
  scripted::withMatchFrames() = true;
  scripted::run(
      g_dir, 1300,
      [](cGame& g, int state, int held, const uint16_t* pixels) {
        if (state == k_stateRulesChoice && held == kCapture) save("rules_none.png", pixels);
        if (state == k_stateRulesChoice && g.menu.selection == 0) save("rules_row.png", pixels);
        if (state == k_stateVersus && held == kCapture) {
          save("versus.png", pixels);
          note("player", g.setup.chosenCharacter[0]);
          note("opponent", g.setup.chosenCharacter[1]);
          note("table", g.setup.tableIndex);
        }
        if (state == k_stateGameLoading && held == 1) note("tossArmed", g.turn.coinTossPending);
        matchFrame(g, state, held, pixels);
      },
      writeSeen);
}

[[noreturn]] void runSingle() {
  g_dir = workDir("single");
  scripted::run(
      g_dir, 1100,
      [](cGame& g, int state, int held, const uint16_t* pixels) {
        if (state == k_stateCharacterSelect) {
          // The player's and the opponent's steps run as these sub-states.
          const bool player = g.states.subState == k_subStateDestroy,
                     opponent = g.states.subState == k_subStateInGameUpdate;
          if (player && g.setup.chosenCharacter[0] == 0 && held == kCapture) save("player_0.png", pixels);
          if (player && g.setup.chosenCharacter[0] == 9) save("player_9.png", pixels);
          if (opponent) save("opponent.png", pixels);
        }
        if (state == k_stateTableChoice && g.setup.tableIndex == 0 && held == kCapture) save("table_0.png", pixels);
        if (state == k_stateTableChoice && g.setup.tableIndex == 1) save("table_1.png", pixels);
        if (state == k_stateGameLoading && held == 1) {
          note("player", g.setup.chosenCharacter[0]);
          note("opponent", g.setup.chosenCharacter[1]);
          note("table", g.setup.tableIndex);
          note("rules", g.match.ruleSet);
          note("tossArmed", g.turn.coinTossPending);
        }
      },
      writeSeen);
}

[[noreturn]] void runCareer() {
  g_dir = workDir("career");
  scripted::withMatchFrames() = true;
  scripted::run(
      g_dir, 1300,
      [](cGame& g, int state, int held, const uint16_t* pixels) {
        // The career pair choice, shown once; then a career of character 0
        // with characters 9 and 5 beaten, its match chosen at the rules.
        if (state == k_stateMainMenu && held == 30) g.setState(k_statePlayerChoice);
        if (state == k_statePlayerChoice && held == 20) {
          save("pair.png", pixels);
          g.career.progress.started = 1;
          g.career.progress.character = 0;
          for (int c = 0; c < 10; ++c) {
            g.career.progress.won[c] = c == 9 || c == 5;
            g.career.characterAvailable[c] = c == 0 || c == 1 || c == 5 || c == 9;
          }
          g.career.progress.money = 1000;
          g.career.progress.flagB = 0;  // not its first match: no tutorial question
          g.match.gameType = k_gameTypeCareer;
          g.setup.rivalMatch = 0;
          g.setState(k_stateRulesChoice);
        }
        if (state == k_stateStakeChoice && g.setup.stakeLevel == 1) {
          if (2 * g.frame.paintFrameCount % 63 == 62) save("stake.png", pixels);  // the glow at its brightest
          note("slot", g.setup.opponentSlot);
        }
        if (state == k_stateTableChoice && held == kCapture) note("table", g.setup.tableIndex);
        if (state == k_stateVersus && held == kCapture) save("versus.png", pixels);
        if (state == k_stateBet) {
          if (held == kCapture) save("bet.png", pixels);
          note("bet", g.setup.currentBet);
          note("betPosition", g.setup.betPosition);
        }
        matchFrame(g, state, held, pixels);
        // A look at the UK break choice over the first turn's table.
        if (g_firstTurn >= 0 && state == g_firstTurn && held == 20) g.setInGameState(k_stateBreakChoice);
        if (state == k_stateBreakChoice && held == 20) save("break.png", pixels);
      },
      writeSeen);
}

std::map<std::string, int> runAndRead(void (*body)(), const char* run, const std::string& script,
                                      const std::string& states) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = workDir(run);
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::ofstream(dir / "script.txt") << kStart << script;
  EXPECT_EXIT(body(), ::testing::ExitedWithCode(0), states);
  std::map<std::string, int> seen;
  std::ifstream in(dir / "seen.txt");
  for (std::string k; in >> k;) in >> seen[k];
  return seen;
}

// Pixels that differ between two captured frames inside a box.
int differ(const fs::path& a, const fs::path& b, int x, int y, int w, int h) {
  std::vector<uint16_t> pa, pb;
  int wa = 0, ha = 0, wb = 0, hb = 0;
  if (!wince::readPng(a.string(), pa, wa, ha) || !wince::readPng(b.string(), pb, wb, hb)) return -1;
  int n = 0;
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) n += pa[static_cast<size_t>(j * 240 + i)] != pb[static_cast<size_t>(j * 240 + i)];
  return n;
}

}  // namespace

TEST(MatchSetupProgram, QuickMatchByTouchFromTheMenuToTheFirstTurn) {
  SKIP_WITHOUT_DATA_SET();
  auto seen = runAndRead(runQuick, "quick", kQuick,
                         scripted::statesFromStart({k_stateRulesChoice, k_stateVersus, k_stateGameLoading}) + "\n");
  const fs::path d = workDir("quick");
  ASSERT_EQ(seen.count("player"), 1u);
  EXPECT_EQ(seen["player"], 9) << "the first quick match";
  EXPECT_NE(seen["opponent"], 9);
  EXPECT_EQ(seen["table"], static_cast<int>(k_characterHomeTable[seen["opponent"]]));
  EXPECT_EQ(seen["tossArmed"], 1);
  ASSERT_EQ(seen.count("first"), 1u) << "the coin toss led into a turn";
  EXPECT_EQ(seen["first"], seen["current"] == 0 ? k_stateAim : k_stateComputerShot);
  EXPECT_EQ(seen["pending"], 0);
  // The rule set's picture replaces the none picture when the row is touched.
  EXPECT_GT(differ(d / "rules_none.png", d / "rules_row.png", 70, 228, 100, 50), 500);
  // The coins give way to the spinning one.
  EXPECT_GT(differ(d / "toss.png", d / "spin.png", 50, 77, 40, 40), 300);
  EXPECT_TRUE(fs::exists(d / "versus.png"));
}

TEST(MatchSetupProgram, SingleMatchThroughBothCharacterStepsAndTheTableArrows) {
  SKIP_WITHOUT_DATA_SET();
  auto seen = runAndRead(runSingle, "single", kSingle,
                         scripted::statesFromStart({k_stateRulesChoice, k_stateCharacterSelect, k_stateTableChoice,
                                                    k_stateVersus, k_stateGameLoading}) +
                             "\n");
  const fs::path d = workDir("single");
  ASSERT_EQ(seen.count("player"), 1u);
  EXPECT_EQ(seen["player"], 9);
  EXPECT_EQ(seen["opponent"], 0) << "next from the character before the player skips the player";
  EXPECT_EQ(seen["table"], 1) << "the opponent's table 0, then one to the right";
  EXPECT_EQ(seen["rules"], 1);
  EXPECT_EQ(seen["tossArmed"], 1) << "UK rules play no lag";
  // The player's portrait changes with the character; the table's plan with the table.
  EXPECT_GT(differ(d / "player_0.png", d / "player_9.png", 22, 200, 56, 56), 500);
  EXPECT_GT(differ(d / "table_0.png", d / "table_1.png", 30, 104, 180, 96), 2000);
  EXPECT_TRUE(fs::exists(d / "opponent.png"));
}

TEST(MatchSetupProgram, CareerMatchThroughStakeTableVersusAndBetToTheToss) {
  SKIP_WITHOUT_DATA_SET();
  auto seen = runAndRead(runCareer, "career", kCareer,
                         scripted::statesFromStart({k_statePlayerChoice, k_stateRulesChoice, k_stateStakeChoice,
                                                    k_stateTableChoice, k_stateVersus, k_stateGameLoading}) +
                             "\n");
  const fs::path d = workDir("career");
  EXPECT_EQ(seen["slot"], 2);
  EXPECT_EQ(seen["table"], static_cast<int>(k_characterHomeTable[k_rivalRoster[0][2]]));
  // Level 1: minimum 50, maximum 200, a step of 15.
  EXPECT_EQ(seen["bet"], 65);
  EXPECT_EQ(seen["betPosition"], 1);
  ASSERT_EQ(seen.count("first"), 1u);
  EXPECT_EQ(seen["pending"], 0);
  EXPECT_EQ(seen.count("m700"), 1u) << "the bet";
  EXPECT_EQ(seen.count("m710"), 1u) << "the toss of a UK match";
  for (const char* f : {"pair.png", "stake.png", "versus.png", "bet.png", "toss.png", "break.png"})
    EXPECT_TRUE(fs::exists(d / f)) << f;
}
