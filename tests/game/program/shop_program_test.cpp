// The whole program on the headless backend with a stylus script: a new
// career's first visit to the shop from the pub's shop counter. Two
// explanation pages, the shop, right to item 5, the detail panel, which the
// back button slides away again, the panel once more, its BUY tag, the buy
// question, yes, the item-bought screen and back to the pub; the shop
// again, now without the explanation, showing the item owned and in use
// (touching it asks nothing), and an item beyond the money left (the
// message, touched away); then the main menu and exit.
// Checks the states, the saved bytes and a captured frame of each screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/DataSet.h"
#include "tests/game/program/ScriptedProgram.h"

namespace {

namespace fs = std::filesystem;

// Times in ms of the virtual clock; each screen has time to settle first.
constexpr const char* kScript =
    "9000 down 118 135\n"   // sound question: yes
    "9100 up 118 135\n"
    "11000 tap 120 200\n"   // title: anywhere
    "16000 down 110 130\n"  // the pub's shop counter
    "16100 up 110 130\n"
    "18000 down 120 200\n"  // explanation: the second page
    "18100 up 120 200\n"
    "20000 down 120 200\n"  // into the shop
    "20100 up 120 200\n"
    "22000 down 180 134\n"  // right: from the first chalk to the first cue
    "22100 up 180 134\n"
    "24000 down 119 133\n"  // the item: the detail panel opens
    "24100 up 119 133\n"
    "26500 down 218 303\n"  // the back button slides it away again
    "26600 up 218 303\n"
    "28500 down 119 133\n"  // the item: the panel once more
    "28600 up 119 133\n"
    "31000 down 172 307\n"  // its BUY tag asks
    "31100 up 172 307\n"
    "33000 down 124 146\n"  // the question: yes
    "33100 up 124 146\n"
    "35500 down 120 200\n"  // item bought: anywhere, back to the pub
    "35600 up 120 200\n"
    "38500 down 110 130\n"  // the shop counter again: the shop at once
    "38600 up 110 130\n"
    "40500 down 119 133\n"  // the cue in use: nothing to ask
    "40600 up 119 133\n"
    "42500 down 118 88\n"   // up: the best chalk, far above the money left
    "42600 up 118 88\n"
    "44000 down 119 133\n"  // the item: not enough money
    "44100 up 119 133\n"
    "46000 down 119 133\n"  // again: the message goes
    "46100 up 119 133\n"
    "47500 down 218 303\n"  // back to the pub
    "47600 up 218 303\n"
    "50000 down 218 303\n"  // the pub's back button: the main menu
    "50100 up 218 303\n"
    "53000 down 124 121\n"  // main menu, third row: exit
    "53100 up 124 121\n"
    "55500 down 124 146\n"  // the question: yes
    "55600 up 124 146\n";

fs::path workDir() { return scripted::runFolder("shop_program"); }

char g_captured[4] = {};  // explanation second page, panel open, prompt, message
std::string g_panel;      // the detail panel before the purchase: o open, c closed again

void writePanel() { std::ofstream(workDir() / "panel.txt") << g_panel; }

[[noreturn]] void runScripted() {
  scripted::run(
      workDir(), 6500,
      [](cGame& g, int state, int held, const uint16_t* pixels) {
        if (state == k_stateShop && g.career.progress.boughtMask == 0) {
          const char now = g.shop.panelFullyOpen ? 'o' : g.shop.panelAtRest && !g.shop.panelOpen ? 'c' : 0;
          if (now && (g_panel.empty() ? now == 'o' : g_panel.back() != now)) g_panel.push_back(now);
        }
        static bool entered = false;
        // A new career at the main menu, in the pub at its shop counter.
        if (state == k_stateMainMenu && held == 40 && !entered) {
          entered = true;
          resetProgress(g);
          g.career.progress.started = 1;
          saveProgress(g);
          g.career.pubSpot = 4;
          g.setState(k_statePub);
          return;
        }
        if (!pixels) return;
        const fs::path dir = workDir();
        if (held == 20 && (state == k_stateShopExplanation || state == k_stateShop || state == k_stateItemBought ||
                           state == k_stateQuestion))
          wince::writePng(scripted::screenFile(dir, state).string(), pixels, 240, 320);
        if (state == k_stateShopExplanation && g.shop.explanationPage == 1 && !g_captured[0]) {
          g_captured[0] = 1;
          wince::writePng((dir / "explanation_2.png").string(), pixels, 240, 320);
        }
        if (state == k_stateQuestion && held == 20 && g.question.action == 5)
          wince::writePng((dir / "buy_question.png").string(), pixels, 240, 320);
        // The frame shown is the one painted before: blinking on for two.
        static int blinkOn = 0;
        blinkOn = isBlinkOn(g) ? blinkOn + 1 : 0;
        if (state == k_stateItemBought && held > 20 && blinkOn >= 3 && !g_captured[2]) {
          g_captured[2] = 1;
          wince::writePng((dir / "item_bought_prompt.png").string(), pixels, 240, 320);
        }
        static int errorFrames = 0;
        errorFrames = state == k_stateShop && g.shop.errorShown ? errorFrames + 1 : 0;
        if (errorFrames == 3) {
          g_captured[3] = 1;
          wince::writePng((dir / "shop_error.png").string(), pixels, 240, 320);
        }
        if (state == k_stateShop && held == 20 && (g.career.progress.boughtMask >> 5 & 1u))
          wince::writePng((dir / "shop_owned.png").string(), pixels, 240, 320);
        if (state == k_stateShop && g.shop.panelFullyOpen && !g_captured[1]) {
          g_captured[1] = 1;
          wince::writePng((dir / "shop_open.png").string(), pixels, 240, 320);
        }
      },
      writePanel);
}

}  // namespace

TEST(ShopProgram, ExplanationShopBuyItemBoughtByTouch) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  fs::remove_all(workDir());
  fs::create_directories(workDir() / "write");
  std::ofstream(workDir() / "script.txt") << kScript;
  EXPECT_EXIT(
      runScripted(), ::testing::ExitedWithCode(0),
      scripted::statesFromStart({k_statePub, k_stateShopExplanation, k_stateShop, k_stateQuestion, k_stateItemBought,
                                 k_statePub, k_stateShop, k_statePub, k_stateMainMenu, k_stateQuestion}) +
          "(" + scripted::stateRun({k_stateNone}) + ")?\n");
  // Money 1000 spent on item 5 (price 1000), bit 5 bought, the explanation
  // seen, the first cue equipped: levels 0, 1, 0 as bits 0, 7 and 12.
  std::ifstream in(workDir() / "write" / "save.sav", std::ios::binary);
  std::vector<uint8_t> save((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(save.size(), 157u);
  EXPECT_EQ(std::vector<uint8_t>(save.begin() + 144, save.begin() + 157),
            (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0, 0x10, 0x81}));
  std::ifstream panel(workDir() / "panel.txt");
  std::string history;
  panel >> history;
  EXPECT_EQ(history, "oco") << "opened, closed by the back button, opened for the BUY tag";
  for (int state : {k_stateShopExplanation, k_stateShop, k_stateQuestion, k_stateItemBought})
    EXPECT_TRUE(fs::exists(scripted::screenFile(workDir(), state))) << state;
  for (const char* f : {"explanation_2.png", "shop_open.png", "buy_question.png", "item_bought_prompt.png",
                        "shop_owned.png", "shop_error.png"}) EXPECT_TRUE(fs::exists(workDir() / f)) << f;
}
