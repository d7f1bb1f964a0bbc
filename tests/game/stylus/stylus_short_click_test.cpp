// A click whose press and release both come between two mapping passes (a
// quick mouse click on a slow frame) acts as one the mapping saw in two
// passes: the same selection, the same key, and the pen up afterwards.
#include "StylusFixture.h"

#include "windows_brew/TouchGlue.h"

namespace {

struct ClickCase {
  const char* name;
  int32_t state;
  int32_t x, y;
  int32_t selection;  // after the click
  uint64_t pressed;   // keys latched after the pass of the pen-up
};

}  // namespace

TEST_F(StylusTest, ClickShorterThanAFrameActsAsALongerOne) {
  const ClickCase cases[] = {
      {"first-run question, no", k_stateFirstRunQuestion, 118, touchLayoutY(186) + 20, 1, keyBit(k_touchKeyLeftSoft)},
      {"question, yes", k_stateQuestion, 124, touchLayoutY(150) + 20, 0, keyBit(k_touchKeyLeftSoft)},
      {"question, no", k_stateQuestion, 124, touchLayoutY(202) + 20, 1, keyBit(k_touchKeyLeftSoft)},
      {"options, second row", k_stateOptions, 124, touchLayoutY(176) + 14, 1, keyBit(k_touchKeyLeftSoft)},
      {"in-game menu, fourth row", k_stateIGM, 124, touchLayoutY(238) + 12, 3, keyBit(k_touchKeyLeftSoft)},
      {"tournament menu, third row", k_stateTournamentMenu, 124, touchLayoutY(205) + 20, 2, keyBit(k_touchKeyLeftSoft)},
      {"coin toss, right coin", k_stateCoinToss, 170, touchLayoutY(92) + 22, 1, keyBit(k_touchKeyLeftSoft)},
      {"beside the question's rows", k_stateQuestion, 10, touchLayoutY(150) + 20, -1, 0},
  };
  for (const ClickCase& c : cases) {
    for (const bool quick : {true, false}) {
      SCOPED_TRACE(testing::Message() << c.name << (quick ? " (quick)" : " (two passes)"));
      enter(c.state);
      game->question.action = 9;
      game->menu.selection = 99;
      touchPressed(*game, c.x, c.y, 1000);
      if (!quick) run();
      touchReleased(*game, c.x, c.y);
      const Sent s = run();
      EXPECT_EQ(game->menu.selection, c.selection);
      EXPECT_EQ(s.pressed, c.pressed);
      EXPECT_EQ(game->pointerX, -1);
      EXPECT_EQ(game->pointerY, -1);
      // The click is spent: the next pass sends nothing.
      EXPECT_EQ(run().pressed, 0u);
    }
  }
}

// A pen that is still down, or a pen-up whose press a pass has already seen,
// is mapped as it stands.
TEST_F(StylusTest, ShortClickNeedsAnUnseenPress) {
  enter(k_stateQuestion);
  game->question.action = 9;
  const int32_t yesY = touchLayoutY(150) + 20;
  touchPressed(*game, 124, yesY, 1000);
  run();
  EXPECT_EQ(game->menu.selection, 0);
  // The pen slid off the rows before it was lifted: the row is not chosen
  // again from the old press point.
  touchReleased(*game, 10, yesY);
  game->menu.selection = 1;
  EXPECT_EQ(run().pressed, 0u);
  EXPECT_EQ(game->menu.selection, 1);
}
