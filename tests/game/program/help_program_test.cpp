// The whole program on the headless backend with a stylus script: from the
// main menu into the help, a help text turned one page down, back twice,
// then the about screen with the down arrow held for a second, back and
// exit. Checks the states, the credits' scroll frame by frame and a
// captured frame of each screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/DataSet.h"
#include "tests/game/program/ScriptedProgram.h"

namespace {

namespace fs = std::filesystem;

std::vector<int> g_scroll;  // the credits' scroll, one entry per frame shown in 290
int g_capturedScroll = 0, g_maxHelpPage = -1, g_viewHeight = 0;

constexpr int kCaptureFrame = 45;

// Times in ms of the virtual clock; each screen has time to settle first.
constexpr const char* kScript =
    "9000 down 118 135\n"   // sound question: yes
    "9100 up 118 135\n"
    "11000 tap 120 200\n"   // title: anywhere
    "13000 down 124 52\n"   // main menu, first row: help
    "13100 up 124 52\n"
    "15500 down 124 118\n"  // help menu, first row: controls
    "15600 up 124 118\n"
    "17500 down 123 270\n"  // the down arrow: one page on
    "17600 up 123 270\n"
    "19000 down 218 303\n"  // back to the help menu
    "19100 up 218 303\n"
    "20500 down 218 303\n"  // back to the main menu
    "20600 up 218 303\n"
    "22500 down 124 86\n"   // main menu, second row: about
    "22600 up 124 86\n"
    "26000 down 118 270\n"  // hold the down arrow for a second
    "27000 up 118 270\n"
    "28500 down 218 303\n"  // back
    "28600 up 218 303\n"
    "30500 down 124 121\n"  // main menu, third row: exit
    "30600 up 124 121\n"
    "33000 down 124 146\n"  // the question: yes
    "33100 up 124 146\n";

fs::path workDir() { return scripted::runFolder("help_program"); }

fs::path screenFile(int state) { return scripted::screenFile(workDir(), state); }

[[noreturn]] void runScripted() {
  scripted::run(
      workDir(), 4000,
      [](cGame& g, int state, int held, const uint16_t* pixels) {
        if (state == k_stateHelpText && g.help.page > g_maxHelpPage) g_maxHelpPage = g.help.page;
        // The frame that enters a screen runs its set-up on the next one.
        if (state == k_stateAbout && held >= 2) {
          g_scroll.push_back(g.help.aboutScroll);
          g_viewHeight = 320 - g.help.aboutViewTop - g.help.aboutBottomMargin;
          if (held == kCaptureFrame) g_capturedScroll = g.help.aboutScroll;
        }
        // One frame of every screen once it has settled (the help text after
        // its page turn).
        const int at = state == k_stateHelpText ? 60 : kCaptureFrame;
        if (held == at && pixels) wince::writePng(screenFile(state).string(), pixels, 240, 320);
      },
      [] {
        std::ofstream out(workDir() / "about.txt");
        out << g_viewHeight << ' ' << g_capturedScroll << ' ' << g_maxHelpPage;
        for (int s : g_scroll) out << ' ' << s;
      });
}

}  // namespace

TEST(HelpProgram, HelpPagesAndTheScrollingCreditsByTouch) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  fs::remove_all(workDir());
  fs::create_directories(workDir() / "write");
  std::ofstream(workDir() / "script.txt") << kScript;
  EXPECT_EXIT(runScripted(), ::testing::ExitedWithCode(0),
              scripted::statesFromStart({k_stateHelpMenu, k_stateHelpText, k_stateHelpMenu, k_stateMainMenu,
                                         k_stateAbout, k_stateMainMenu, k_stateQuestion}) +
                  "(" + scripted::stateRun({k_stateNone}) + ")?\n");
  std::ifstream in(workDir() / "about.txt");
  int viewHeight = 0, captured = 0, maxPage = 0;
  ASSERT_TRUE(in >> viewHeight >> captured >> maxPage);
  std::vector<int> scroll;
  for (int s; in >> s;) scroll.push_back(s);
  EXPECT_EQ(maxPage, 1) << "one touch of the arrow turns one page";
  ASSERT_GT(viewHeight, 0);
  ASSERT_GT(scroll.size(), 100u);
  // The credits start just below the view and rise a pixel a frame; the held
  // arrow makes it four for about a second.
  EXPECT_EQ(scroll[0], viewHeight);
  EXPECT_EQ(captured, viewHeight - (kCaptureFrame - 2));
  int fast = 0;
  for (size_t i = 1; i < scroll.size(); ++i) {
    const int step = scroll[i] - scroll[i - 1];
    EXPECT_TRUE(step == -1 || step == -4) << "frame " << i << " step " << step;
    if (step == -4) ++fast;
  }
  EXPECT_GE(fast, 28);
  EXPECT_LE(fast, 32);
  for (int state : {k_stateHelpMenu, k_stateHelpText, k_stateAbout})
    EXPECT_TRUE(fs::exists(screenFile(state))) << state;
}
