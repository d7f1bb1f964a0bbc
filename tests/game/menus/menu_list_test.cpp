#include <string>
#include <vector>

#include "tests/game/menus/MenuFixture.h"

namespace {

const uint32_t kTable[] = {11, 12, 13, 14, 15, 16};

class MenuList : public MenuTest {
 protected:
  void setUpList(int count, uint32_t hiddenMask = 0, uint32_t disabledMask = 0, int rows = -1) {
    setMenuRows(*game, kTable, 0, rows);
    setMenuCount(*game, count);
    for (int i = 0; i < count; ++i)
      setMenuEntryFlags(*game, kTable[i], ((hiddenMask >> i) & 1 ? 1u : 0u) | ((disabledMask >> i) & 1 ? 4u : 0u));
    takeSound();
  }
};

TEST_F(MenuList, KeysMoveSelectAndGoBack) {
  struct Case {
    const char* what;
    int count;
    uint32_t hidden, disabled;
    int state, from;
    std::vector<int> keys;
    int selection, result, sound;
  };
  const Case cases[] = {
      {"next wraps to the first", 3, 0, 0, k_stateStart, 2, {kDown}, 0, 0, -1},
      {"previous wraps to the last", 3, 0, 0, k_stateStart, 0, {kUp}, 2, 0, -1},
      {"next skips hidden", 3, 2, 0, k_stateStart, 0, {kDown}, 2, 0, -1},
      {"previous skips hidden", 3, 2, 0, k_stateStart, 2, {kUp}, 0, 0, -1},
      {"hidden across the wrap", 4, 1, 0, k_stateStart, 3, {kDown}, 1, 0, -1},
      {"left and right do not move", 3, 0, 0, k_stateStart, 1, {kRight}, 1, 0, -1},
      {"coin toss: up ignored", 3, 0, 0, k_stateCoinToss, 1, {kUp}, 1, 0, -1},
      {"coin toss: down ignored", 3, 0, 0, k_stateCoinToss, 1, {kDown}, 1, 0, -1},
      {"coin toss: left moves back", 3, 0, 0, k_stateCoinToss, 0, {kLeft}, 2, 0, -1},
      {"coin toss: right moves on", 3, 0, 0, k_stateCoinToss, 2, {kRight}, 0, 0, -1},
      {"all hidden: the walk ends", 3, 7, 0, k_stateStart, 1, {kDown}, 1, 0, -1},
      {"empty list: nothing moves", 0, 0, 0, k_stateStart, 0, {kUp}, 0, 0, -1},
      {"select plays the click", 3, 0, 0, k_stateStart, 1, {kSelect}, 1, 12, 0},
      {"select in options is silent", 3, 0, 0, k_stateOptions, 1, {kSelect}, 1, 12, -1},
      {"select on disabled", 3, 0, 2, k_stateStart, 1, {kSelect}, 1, 0, -1},
      {"select on hidden", 3, 2, 0, k_stateStart, 1, {kSelect}, 1, 0, -1},
      {"achievement list never selects", 3, 0, 0, k_stateAchievementList, 1, {kSelect}, 1, 0, -1},
      {"select before any selection", 3, 0, 0, k_stateStart, -1, {kSelect}, -1, 0, -1},
      {"select past the count", 3, 0, 0, k_stateStart, 3, {kSelect}, 3, 0, -1},
      {"back", 3, 0, 2, k_stateStart, 1, {kBack}, 1, -1, -1},
      {"right soft is back", 3, 0, 0, k_stateStart, 0, {kRightSoft}, 0, -1, -1},
      {"select over back", 3, 0, 0, k_stateStart, 0, {kBack, kSelect}, 0, 11, 0},
      {"back over movement", 3, 0, 0, k_stateStart, 0, {kDown, kBack}, 0, -1, -1},
      {"previous over next", 3, 0, 0, k_stateStart, 1, {kDown, kUp}, 0, 0, -1},
      {"-1 then next starts at 0", 3, 0, 0, k_stateStart, -1, {kDown}, 0, 0, -1},
  };
  for (const Case& c : cases) {
    setUpList(c.count, c.hidden, c.disabled);
    game->states.gameState = c.state;
    game->menu.selection = c.from;
    press(c.keys);
    EXPECT_EQ(updateMenu(*game), c.result) << c.what;
    EXPECT_EQ(getMenuSelection(*game), c.selection) << c.what;
    EXPECT_EQ(takeSound(), c.sound) << c.what;
  }
}

TEST_F(MenuList, SelectionStaysInTheWindow) {
  // Rows 3 of five: the window follows the selection both ways.
  setUpList(5, 0, 0, 3);
  selectMenuEntryById(*game, 15);
  scrollMenuToSelection(*game);
  EXPECT_EQ(getMenuFirstVisible(*game), 2);
  selectMenuEntryById(*game, 11);
  scrollMenuToSelection(*game);
  EXPECT_EQ(getMenuFirstVisible(*game), 0);
  // By keys: previous from 0 wraps to 4, next from 4 wraps to 0.
  press({kUp});
  updateMenu(*game);
  EXPECT_EQ(getMenuFirstVisible(*game), 2);
  press({kDown});
  updateMenu(*game);
  EXPECT_EQ(getMenuFirstVisible(*game), 0);
  // Hidden entries count as inside the window; all rows shown never scroll.
  setUpList(5, 2, 0, 3);
  game->menu.selection = 4;
  scrollMenuToSelection(*game);
  EXPECT_EQ(getMenuFirstVisible(*game), 1);
  setUpList(5);
  game->menu.selection = 4;
  scrollMenuToSelection(*game);
  EXPECT_EQ(getMenuFirstVisible(*game), 0);
}

TEST_F(MenuList, FlagsByTextId) {
  const uint32_t other[] = {21, 12, 23};
  setUpList(3);
  EXPECT_EQ(getMenuVisibleRows(*game), -1);
  setMenuEntryFlags(*game, 12, 0x00050003);
  EXPECT_EQ(getMenuEntryFlags(*game, 12), 0x00050003u);
  EXPECT_EQ(game->menu.hiddenCount, 1);
  // Another table's ids map to the same entry positions.
  setMenuEntryFlagsIn(*game, other, 23, 1);
  EXPECT_EQ(getMenuEntryFlags(*game, 13), 1u);
  EXPECT_EQ(getMenuEntryFlags(*game, other, 21), 0u);
  EXPECT_EQ(countHiddenMenuEntries(*game), 2);
  // Ids past the count, unknown ids and text id 0 do not match.
  setMenuEntryFlags(*game, 14, 1);
  setMenuEntryFlags(*game, 99, 1);
  EXPECT_EQ(getMenuEntryFlags(*game, 14), 0u);
  EXPECT_EQ(getMenuEntryFlags(*game, 99), 0u);
  EXPECT_EQ(game->menu.flags[3], 0u);
  selectMenuEntryById(*game, 99);
  EXPECT_EQ(getMenuSelection(*game), 0);
  selectMenuEntryById(*game, 13);
  EXPECT_EQ(getMenuSelection(*game), 2);
  // Set-up without clearing keeps the flags; with clearing drops them.
  initMenu(*game, kTable, 4, 2, false);
  EXPECT_EQ(getMenuEntryFlags(*game, 12), 0x00050003u);
  EXPECT_EQ(getMenuSelection(*game), 0);
  setMenu(*game, kTable, 4);
  EXPECT_EQ(getMenuEntryFlags(*game, 12), 0u);
  EXPECT_EQ(game->menu.hiddenCount, 0);
  // The count stays within the flag words.
  setMenuCount(*game, 150);
  EXPECT_EQ(getMenuCount(*game), 100);
  setMenuCount(*game, -3);
  EXPECT_EQ(getMenuCount(*game), 0);
  // A list without a table chooses nothing.
  setMenu(*game, nullptr, 0);
  setMenuCount(*game, 3);
  press({kSelect});
  EXPECT_EQ(updateMenu(*game), 0);
  EXPECT_EQ(getMenuEntryFlags(*game, 0u), 0u);
}

TEST_F(MenuList, SmoothVariantShowsTheListFromItsPageStart) {
  setUpList(5, 0, 2, 3);
  game->states.gameState = k_stateOptions;
  game->menu.firstVisible = 2;
  press({kUp});
  EXPECT_EQ(updateMenuSmooth(*game), 0);
  EXPECT_EQ(getMenuSelection(*game), 4);
  EXPECT_EQ(getMenuFirstVisible(*game), 0);
  game->menu.firstVisible = 2;
  noKeys();
  EXPECT_EQ(updateMenuSmooth(*game), 0);
  EXPECT_EQ(getMenuFirstVisible(*game), 0);
  // The click plays in every state.
  press({kSelect});
  EXPECT_EQ(updateMenuSmooth(*game), 15);
  EXPECT_EQ(takeSound(), 0);
  // A refused select resets the window too; back does not.
  game->menu.selection = 1;
  game->menu.firstVisible = 2;
  press({kSelect});
  EXPECT_EQ(updateMenuSmooth(*game), 0);
  EXPECT_EQ(getMenuFirstVisible(*game), 0);
  EXPECT_EQ(takeSound(), -1);
  game->menu.firstVisible = 2;
  press({kBack});
  EXPECT_EQ(updateMenuSmooth(*game), -1);
  EXPECT_EQ(getMenuFirstVisible(*game), 2);
  // A window turned to a later page stays at that page's start.
  game->menu.firstVisible = 4;
  noKeys();
  updateMenuSmooth(*game);
  EXPECT_EQ(getMenuFirstVisible(*game), 3);
  // The centring switch opens the window on the middle.
  setMenuCentring(*game, true);
  noKeys();
  updateMenuSmooth(*game);
  EXPECT_EQ(getMenuFirstVisible(*game), 2);
}

}  // namespace
