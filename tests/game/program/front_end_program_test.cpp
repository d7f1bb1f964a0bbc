// The whole program on the headless backend with a stylus script: the sound
// question, the title, the options (aiming guide off), back, exit and yes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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

fs::path workDir() { return fs::temp_directory_path() / "kv_front_end_program"; }

fs::path screenFile(int state) { return scripted::screenFile(workDir(), state); }

[[noreturn]] void runScripted() {
  scripted::run(workDir(), 3000, [](cGame&, int state, int held, const uint16_t* pixels) {
    // One frame of every screen once it has settled.
    if (held == 45 && pixels) wince::writePng(screenFile(state).string(), pixels, 240, 320);
  });
}

}  // namespace

TEST(FrontEndProgram, AnswerPassTheTitleUseTheOptionsAndQuitByTouch) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  fs::remove_all(workDir());
  fs::create_directories(workDir() / "write");
  std::ofstream(workDir() / "script.txt") << kScript;
  // Quit by the exit question, long before the frame limit.
  EXPECT_EXIT(runScripted(), ::testing::ExitedWithCode(0), "states 5 10 20 30 40 50 70 50 60( -1)?\n");
  std::ifstream save(workDir() / "write" / "save.sav", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(save)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 300u);
  EXPECT_EQ(bytes[1], 0) << "aiming guide off";
  for (int state : {30, 40, 50, 60, 70})
    EXPECT_TRUE(fs::exists(screenFile(state))) << state;
}
