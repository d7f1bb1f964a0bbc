// The whole program on the headless backend with a stylus script: the sound
// question, the title, the options (aiming guide off), back, exit and yes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/DataSet.h"
#include "tests/game/program/ScriptedProgram.h"

namespace {

namespace fs = std::filesystem;

// Times in ms of the virtual clock; each screen has time to settle first.
constexpr const char* kScript =
    "9000 down 118 135\n"   // sound question: yes
    "9100 up 118 135\n"
    "11000 tap 120 200\n"   // title: anywhere
    "13000 down 124 256\n"  // main menu, last row: options
    "13100 up 124 256\n"
    "15500 down 124 162\n"  // options: aiming guide
    "15600 up 124 162\n"
    "17000 down 218 303\n"  // back
    "17100 up 218 303\n"
    "19000 down 124 121\n"  // main menu, third row: exit
    "19100 up 124 121\n"
    "21500 down 124 146\n"  // the question: yes
    "21600 up 124 146\n";

// The same touches as clicks of a mouse held `hold` ms (0: the release
// comes with the press, inside one frame).
std::string clicks(int hold) {
  const struct {
    int at, x, y;
  } touches[] = {{9000, 118, 135}, {11000, 120, 200}, {13000, 124, 256}, {15500, 124, 162},
                 {17000, 218, 303}, {19000, 124, 121}, {21500, 124, 146}};
  std::string script;
  for (const auto& t : touches) {
    char lines[64];
    std::snprintf(lines, sizeof lines, "%d down %d %d\n%d up %d %d\n", t.at, t.x, t.y, t.at + hold, t.x, t.y);
    script += lines;
  }
  return script;
}

fs::path workDir() { return scripted::runFolder("front_end_program"); }

fs::path screenFile(int state) { return scripted::screenFile(workDir(), state); }

[[noreturn]] void runScripted() {
  scripted::run(workDir(), 3000, [](cGame&, int state, int held, const uint16_t* pixels) {
    // One frame of every screen once it has settled.
    if (held == 45 && pixels) wince::writePng(screenFile(state).string(), pixels, 240, 320);
  });
}

void expectOptionsSavedAndQuit(const std::string& script) {
  fs::remove_all(workDir());
  fs::create_directories(workDir() / "write");
  std::ofstream(workDir() / "script.txt") << script;
  // Quit by the exit question, long before the frame limit.
  EXPECT_EXIT(runScripted(), ::testing::ExitedWithCode(0),
              scripted::statesFromStart({k_stateOptions, k_stateMainMenu, k_stateQuestion}) + "(" +
                  scripted::stateRun({k_stateNone}) + ")?\n");
  std::ifstream save(workDir() / "write" / "save.sav", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(save)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 300u);
  EXPECT_EQ(bytes[1], 0) << "aiming guide off";
  for (int state : {k_stateFirstRunQuestion, k_stateTitle, k_stateMainMenu, k_stateQuestion, k_stateOptions})
    EXPECT_TRUE(fs::exists(screenFile(state))) << state;
}

}  // namespace

TEST(FrontEndProgram, AnswerPassTheTitleUseTheOptionsAndQuitByTouch) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  expectOptionsSavedAndQuit(kScript);
}

// Mouse clicks are short: one shorter than a frame, or a few frames long,
// takes every screen as a longer press does.
TEST(FrontEndProgram, ShortClicksCountOnEveryScreen) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (int hold : {0, 20, 60}) {
    SCOPED_TRACE(testing::Message() << "held " << hold << " ms");
    expectOptionsSavedAndQuit(clicks(hold));
  }
}
