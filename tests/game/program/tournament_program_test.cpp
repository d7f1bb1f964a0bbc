// The whole program on the headless backend with a stylus script, from a
// save with two won rivals: the pub's tournament spot, the rule set, a
// two-player tournament with a picked field, the seated rival picked and
// confirmed, the bracket, the versus screen and the match (won in-process
// as soon as it starts), the bracket again with the cup, the prize and the
// pub. Checks the states, the money and the achievement in the save, and a
// captured frame of the pick and of the bracket.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "tests/DataSet.h"
#include "tests/game/program/ScriptedProgram.h"
#include "tools/save/SaveFileWriter.h"

namespace {

namespace fs = std::filesystem;

fs::path workDir() { return scripted::runFolder("tournament_program"); }

// Each touch waits (ms) after the previous one; a press is a down and, 100
// ms later, an up.
struct Touch {
  int wait, x, y;
};
const Touch kTouches[] = {
    {9000, 118, 135},  // sound question: yes
    {2000, 120, 200},  // title
    {2000, 124, 189},  // main menu: career (the pub)
    {3000, 20, 160},   // the pub opens at the career match: left twice
    {1500, 20, 160},
    {3000, 150, 122},  // the tournament spot
    {2400, 124, 105},  // rule set: the first row
    {2400, 120, 105},  // tournament choice: 2 players
    {2400, 120, 165},  // field choice: pick the field
    {3000, 119, 140},  // the pick: the rival under the cursor
    {2400, 120, 150},  // confirmation: yes
    {2400, 120, 200},  // bracket: every entry shown, on to the versus
    {2000, 120, 200},  // versus: the match
    {9000, 120, 200},  // the won match's result lines
    {6000, 120, 200},  // bracket with the cup: the prize
    {2400, 120, 200},  // prize: the pub
    {3000, 218, 303},  // pub: back to the main menu
    {2400, 124, 121},  // main menu: exit
    {2400, 124, 146},  // the question: yes
};

constexpr int kCaptureFrame = 45;
constexpr uint32_t kStartMoney = 500;

void winAtOnce(cGame& g, int32_t state, int32_t step) {
  // The opponent's introduction of the tournament match: the player wins.
  if (state == k_stateOpponentIntro && step == k_subStateInit) {
    g.rules.winner = 0;
    g.rules.shotOutcome = 0x8;
    g.setInGameState(k_stateResultLines);
  }
}

[[noreturn]] void runScripted() {
  scripted::run(workDir(), 20000, [](cGame& g, int state, int held, const uint16_t* pixels) {
    g.turn.matchStepHook = winAtOnce;
    if (state == k_stateTournamentStage && held == kCaptureFrame) {
      std::ofstream(workDir() / "bracket.txt", std::ios::app)
          << g.tournaments.draw.round << ' ' << g.tournaments.draw.prize << '\n';
    }
    if ((state == k_stateTournamentCharacterSelect || state == k_stateTournamentStage) && held == kCaptureFrame && pixels &&
        !fs::exists(scripted::screenFile(workDir(), state)))
      wince::writePng(scripted::screenFile(workDir(), state).string(), pixels, 240, 320);
  });
}

uint32_t u32At(const std::vector<char>& b, size_t at) {
  return uint32_t{static_cast<uint8_t>(b[at])} << 24 | uint32_t{static_cast<uint8_t>(b[at + 1])} << 16 |
         uint32_t{static_cast<uint8_t>(b[at + 2])} << 8 | static_cast<uint8_t>(b[at + 3]);
}

}  // namespace

TEST(TournamentProgram, PickedTwoPlayerTournamentFromThePubToThePrize) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  fs::remove_all(workDir());
  fs::create_directories(workDir() / "write");
  savefile::Career career;
  career.started = true;
  career.character = 0;
  career.won[9] = career.won[1] = true;  // the rivals of slots 0 and 1: characters 9 and 1
  career.money = kStartMoney;
  career.shopExplanationPending = false;
  career.counterC = 2;
  savefile::Settings settings;
  settings.firstQuickMatch = false;
  const auto image = savefile::writeImage(settings, career);
  std::ofstream(workDir() / "write" / "save.sav", std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), image.size());
  std::ostringstream script;
  int t = 0;
  for (const Touch& touch : kTouches) {
    t += touch.wait;
    script << t << " down " << touch.x << ' ' << touch.y << '\n' << t + 100 << " up " << touch.x << ' ' << touch.y << '\n';
  }
  std::ofstream(workDir() / "script.txt") << script.str();
  EXPECT_EXIT(runScripted(), ::testing::ExitedWithCode(0),
              scripted::statesFromStart({k_statePub, k_stateRulesChoice, k_stateTournamentMenu,
                                         k_stateTournamentFieldChoice, k_stateTournamentCharacterSelect,
                                         k_stateTournamentFieldConfirm, k_stateTournamentStage, k_stateVersus,
                                         k_stateGameLoading, k_stateMainMenuLoading, k_stateTournamentStage,
                                         k_stateTournamentPrize, k_statePub, k_stateMainMenu, k_stateQuestion}) +
                  "(" + scripted::stateRun({k_stateNone}) + ")?\n");
  std::ifstream in(workDir() / "bracket.txt");
  int round0 = -9, prize0 = 0, round1 = -9, prize1 = 0;
  ASSERT_TRUE(in >> round0 >> prize0 >> round1 >> prize1);
  EXPECT_EQ(round0, 0);
  EXPECT_EQ(round1, 1) << "the won match played the round";
  EXPECT_EQ(prize0, 85) << "character 1's value";
  std::ifstream file(workDir() / "write" / "save.sav", std::ios::binary);
  const std::vector<char> save((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_EQ(save.size(), 300u);
  EXPECT_EQ(u32At(save, 144), kStartMoney + 85) << "money and the prize";
  EXPECT_NE(u32At(save, 13) & (1u << 8), 0u) << "the two-player cup";
  EXPECT_EQ(u32At(save, 162), 0u) << "a new bracket clears the losses";
  for (int state : {k_stateTournamentCharacterSelect, k_stateTournamentStage})
    EXPECT_GT(fs::file_size(scripted::screenFile(workDir(), state)), 1000u) << state;
}
