// The whole program on the headless backend: at the human's aim in a quick
// match, messages of one, two and three lines leave the touch buttons of the
// HUD untouched (the HUD is painted over the messages, so a box under a
// button would be cut by it), and the spin selector's left soft-key label
// lies clear of the hint key's place on the bar, whose mark gives way to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/DataSet.h"
#include "tests/game/program/ScriptedProgram.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kToTheTable =
    "9000 down 118 135\n9100 up 118 135\n"    // sound question: yes
    "11000 down 120 200\n11100 up 120 200\n"  // title
    "13000 down 124 153\n13100 up 124 153\n"  // main menu: quick match
    "15000 down 124 107\n15100 up 124 107\n"  // eight-ball
    "20000 down 120 160\n20100 up 120 160\n"  // versus
    "24000 down 120 160\n24100 up 120 160\n"  // the opponent's greeting
    "27000 down 70 114\n27100 up 70 114\n";   // the coin toss

fs::path runDir() { return scripted::runFolder("table_look"); }

uint32_t now() { return static_cast<uint32_t>(wince::nowMicros() / 1000); }

struct Rect {
  int x, y, w, h;
};
// The touch buttons on the left of player 0's aim: fire, and the two
// fine turns.
constexpr Rect kButtons[] = {{10, 144, 40, 40}, {2, 250, 80, 40}};

const char* const kTexts[] = {
    "One short line.",
    "A message a little longer, that takes two lines of the box.",
    "A long message that needs all of three lines of the box to say what it has to say to the player.",
};

struct LookRun {
  int phase = 0, frames = 0, layout = 0, markLeft = 240;
  std::vector<uint16_t> base;
  std::string seen;
};
LookRun g_run;

[[noreturn]] void runLook() {
  scripted::withMatchFrames() = true;
  scripted::run(runDir(), 4000, [](cGame& g, int state, int, const uint16_t* pixels) {
    LookRun& r = g_run;
    if (!g.states.inGame || !pixels) return;
    auto finish = [] {
      std::ofstream(runDir() / "seen.txt") << g_run.seen;
      std::exit(0);
    };
    if (r.phase == 0) {
      // The aim, settled, with the opening message gone.
      if (state != k_stateAim || !isHudAtTarget(g) || isMessageQueued(g)) return;
      if (++r.frames < 40) return;
      r.base.assign(pixels, pixels + 240 * 320);
      addMessage(g, 1, kTexts[0], -1);
      r.phase = 1;
      r.frames = 0;
    } else if (r.phase == 1) {
      if (++r.frames < 3) return;
      int box = 0, underButtons = 0;
      for (int i = 0; i < 240 * 320; ++i) box += pixels[i] != r.base[static_cast<size_t>(i)];
      for (const Rect& b : kButtons)
        for (int y = b.y; y < b.y + b.h; ++y)
          for (int x = b.x; x < b.x + b.w; ++x)
            underButtons += pixels[y * 240 + x] != r.base[static_cast<size_t>(y * 240 + x)];
      r.seen += "message " + std::to_string(g.messages.layout[0]) + " " + std::to_string(box > 2000) + " " +
                std::to_string(underButtons) + "\n";
      clearMessages(g);
      r.frames = 0;
      if (++r.layout < 3) {
        addMessage(g, 1, kTexts[r.layout], -1);
      } else {
        // The hint key lit: its mark is what changes.
        g.table.hudHint = 0;
        r.phase = 2;
      }
    } else if (r.phase == 2) {
      if (++r.frames == 3) {
        for (int y = 290; y < 320; ++y)
          for (int x = 0; x < 60; ++x)
            if (pixels[y * 240 + x] != r.base[static_cast<size_t>(y * 240 + x)]) r.markLeft = std::min(r.markLeft, x);
        g.table.hudHint = -1;
      } else if (r.frames == 6) {
        using E = wince::ScriptEvent;  // the right soft key opens the spin selector
        wince::setScript({E{now() + 5, E::Down, 215, 305, 0}, E{now() + 60, E::Up, 215, 305, 0}});
        r.phase = 3;
        r.frames = 0;
      }
    } else if (r.phase == 3) {
      if (state != k_stateSpinSelector) {
        if (++r.frames > 200) finish();
        return;
      }
      if (++r.frames < 10) return;
      // The label: what the selector's frame adds to the aim's in the left
      // soft key before the hint key's mark; the mark itself is gone, since
      // the key closes the selector here.
      int labelRight = -1, markGone = 0;
      for (int y = 290; y < 320; ++y)
        for (int x = 0; x < 60; ++x)
          if (pixels[y * 240 + x] != r.base[static_cast<size_t>(y * 240 + x)]) {
            if (x < r.markLeft) labelRight = std::max(labelRight, x);
            else markGone = 1;
          }
      r.seen += "keys " + std::to_string(labelRight) + " " + std::to_string(r.markLeft) + " " +
                std::to_string(markGone) + "\n";
      finish();
    }
  });
}

}  // namespace

TEST(TableLookProgram, MessagesMissTheButtonsAndTheSpinLabelStandsAloneOnItsKey) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = runDir();
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::ofstream(dir / "script.txt") << kToTheTable;
  g_run = LookRun{};
  EXPECT_EXIT(runLook(), ::testing::ExitedWithCode(0), "");
  std::ifstream in(dir / "seen.txt");
  std::string word;
  for (int layout = 0; layout < 3; ++layout) {
    int used = -1, painted = -1, underButtons = -1;
    ASSERT_TRUE(in >> word >> used >> painted >> underButtons) << layout;
    EXPECT_EQ(used, layout);
    EXPECT_EQ(painted, 1) << "layout " << layout << " is on the screen";
    EXPECT_EQ(underButtons, 0) << "layout " << layout << " reaches under a button";
  }
  int labelRight = -1, markLeft = -1, markGone = -1;
  ASSERT_TRUE(in >> word >> labelRight >> markLeft >> markGone) << "the spin selector was not reached";
  EXPECT_GT(labelRight, 10) << "the label is drawn";
  EXPECT_LT(markLeft, 60) << "the hint key's mark is drawn at the aim";
  EXPECT_LT(labelRight + 4, markLeft) << "the label runs into the hint key's place";
  EXPECT_EQ(markGone, 1) << "the hint key's mark stands beside Back on the key that closes the selector";
}
