// The categories screen (250) and the list of one category (260).
#include "AchievementFixture.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"

namespace {

class AchievementScreens : public AchievementTest {
 protected:
  void addScreens(std::vector<Interface>& interfaces) override {
    Interface menu;
    for (int i = 0; i < 31; ++i) menu.push_back(sprite(0, 0, 2, 0, -1));
    for (int c = 0; c < 3; ++c) {
      menu[13 + c] = text(160, 85 + 42 * c, 60, 30);
      menu[16 + c] = text(54, 85 + 42 * c, 104, 30);
      menu[22 + c] = sprite(28, 91 + 42 * c, 2, 0, 0);
      menu[25 + c] = sprite(18, 83 + 42 * c, 2, 0, -1);
    }
    menu[28] = text(10, 30, 220, 28);
    menu[30] = sprite(200, 288, 1, 17, -1);
    interfaces[47] = menu;
    Interface list;
    for (int i = 0; i < 31; ++i) list.push_back(sprite(0, 0, 2, 0, -1));
    list[10] = text(10, 259, 220, 28);
    for (int r = 0; r < 5; ++r) {
      list[11 + r] = text(46, 82 + 30 * r, 180, 20);
      list[22 + r] = sprite(24, 83 + 30 * r, 2, 0, 0);
    }
    list[27] = sprite(202, 26, 8, 0, -1);
    list[27].params[F::kSpriteVisible] = 0;
    list[28] = text(10, 30, 188, 28);
    list[30] = sprite(200, 288, 1, 17, -1);
    interfaces[48] = list;
  }
  void frame() {
    game->keys.update();
    game->updateCurrentState();
  }
  void enter(int32_t state) {
    game->setState(state);
    frame();  // the set-up
  }
  int16_t word(int32_t id, int32_t e, int32_t k) { return getInterfaceElement(*game, id, e)[F::kWordParams + k]; }
  // A tap (down, then up a frame later) at screen (x, y).
  void tap(int x, int y) {
    game->pointerX = x;
    game->pointerY = y;
    frame();
    game->pointerX = game->pointerY = -1;
    game->releaseX = x;
    game->releaseY = y;
    frame();
    game->releaseX = game->releaseY = -1;
  }
  // The pixels element 10 shows after a paint, against a paint of the text alone.
  std::vector<uint16_t> descriptionBox() {
    std::vector<uint16_t> box;
    for (int y = 257; y < 287; ++y)
      for (int x = 10; x < 230; ++x) box.push_back(screen->at(x, y));
    return box;
  }
};

TEST_F(AchievementScreens, CategoryFramesFollowTheSelectionAndTicksShowCompletion) {
  game->career.achievementMask = 0x3FFu << 20 | 0x7u;  // category 2 complete, 0 at 30 %
  enter(k_stateAchievementMenu);
  EXPECT_EQ(game->states.gameState, k_stateAchievementMenu);
  EXPECT_EQ(game->menu.selection, -1);
  EXPECT_EQ(game->notices.percent[0], 30);
  EXPECT_EQ(game->notices.percent[2], 100);
  auto frames = [&] {
    return std::vector<int>{word(47, 25, F::kSpriteFrame), word(47, 26, F::kSpriteFrame),
                            word(47, 27, F::kSpriteFrame)};
  };
  EXPECT_EQ(frames(), (std::vector<int>{1, 0, 2}));
  EXPECT_EQ(word(47, 22, F::kSpriteAnim), 0);
  EXPECT_EQ(word(47, 23, F::kSpriteAnim), 0);
  EXPECT_EQ(word(47, 24, F::kSpriteAnim), 1);
  // Moving the cursor moves the highlight and stays on the screen.
  press({kDown});
  game->updateCurrentState();
  press({kDown});
  game->updateCurrentState();
  EXPECT_EQ(game->achievementScreens.selectedCategory, 1);
  EXPECT_EQ(frames(), (std::vector<int>{0, 1, 2}));
  press({kDown});
  game->updateCurrentState();
  EXPECT_EQ(frames(), (std::vector<int>{0, 0, 3}));
  EXPECT_EQ(game->states.gameState, k_stateAchievementMenu);
  // A pen away from the rows leaves the highlight where it was.
  game->pointerX = 5;
  game->pointerY = 250;
  frame();
  game->pointerX = game->pointerY = -1;
  EXPECT_EQ(game->menu.selection, -1);
  EXPECT_EQ(game->achievementScreens.selectedCategory, 2);
  // Choosing opens the list of that category; back goes to the pub.
  tap(120, 135);
  frame();  // the select sent by the tap
  EXPECT_EQ(game->states.gameState, k_stateAchievementList);
  EXPECT_EQ(game->achievementScreens.selectedCategory, 1);
  enter(k_stateAchievementMenu);
  press({kBack});
  game->updateCurrentState();
  EXPECT_EQ(game->states.gameState, k_statePub);
}

TEST_F(AchievementScreens, ThePercentageIsDrawnWithTheSelectionsPalette) {
  game->career.achievementMask = 0x3FFu;
  enter(k_stateAchievementMenu);
  game->paintCurrentState(screen->g());
  EXPECT_EQ(word(47, 13, F::kTextPalette), 0);  // selected
  EXPECT_EQ(word(47, 14, F::kTextPalette), 1);
  // "100%" of category 0 is on the screen where a lone "100%" would be.
  std::vector<uint16_t> shown;
  for (int y = 83; y < 117; ++y)
    for (int x = 160; x < 220; ++x) shown.push_back(screen->at(x, y));
  screen->fill(0);
  setTextParam(*game, 0, 100);
  drawElementText(*game, 13, 325);
  std::vector<uint16_t> alone;
  for (int y = 83; y < 117; ++y)
    for (int x = 160; x < 220; ++x) alone.push_back(screen->at(x, y));
  EXPECT_EQ(shown, alone);
}

TEST_F(AchievementScreens, ListTicksPagesDescriptionsAndBadge) {
  // Category 1: ids 10, 12, 16, 18 unlocked.
  game->career.achievementMask = (1u << 10) | (1u << 12) | (1u << 16) | (1u << 18);
  game->achievementScreens.selectedCategory = 1;
  enter(k_stateAchievementList);
  EXPECT_EQ(game->menu.selection, 0);
  EXPECT_EQ(game->achievementScreens.listTexts[0], static_cast<uint32_t>(k_textAchievementTitle0 + 10));
  EXPECT_EQ(game->achievementScreens.listTexts[9], static_cast<uint32_t>(k_textAchievementTitle0 + 19));
  EXPECT_EQ(game->achievementScreens.listTitle, k_textCategoryTitle0 + 1);
  EXPECT_EQ(word(48, 27, F::kSpriteVisible), 0);  // 40 %: no badge
  auto ticks = [&] {
    std::string s;
    for (int i = 0; i < 5; ++i) s += word(48, 22 + i, F::kSpriteAnim) == 1 ? 'x' : '.';
    return s;
  };
  EXPECT_EQ(ticks(), "x.x..");
  // The page button turns to the second page, which keeps showing.
  tap(110, 244);
  EXPECT_EQ(game->menu.firstVisible, 5);
  EXPECT_EQ(game->menu.selection, -1);
  EXPECT_EQ(ticks(), ".x.x.");
  for (int k = 0; k < 3; ++k) frame();
  EXPECT_EQ(game->menu.firstVisible, 5);
  // A row of the second page selects its entry; nothing is chosen.
  tap(120, 150);
  EXPECT_EQ(game->menu.selection, 7);
  EXPECT_EQ(game->states.gameState, k_stateAchievementList);
  game->paintCurrentState(screen->g());
  const std::vector<uint16_t> described = descriptionBox();
  screen->fill(0);
  drawElementText(*game, 10, 377);
  EXPECT_EQ(described, descriptionBox());
  // On the page button the description gives way to "Change Page".
  game->pointerX = 110;
  game->pointerY = 244;
  frame();
  EXPECT_EQ(game->menu.selection, -2);
  screen->fill(0);
  game->paintCurrentState(screen->g());
  const std::vector<uint16_t> paged = descriptionBox();
  screen->fill(0);
  drawElementString(*game, 10, "Change Page");
  EXPECT_EQ(paged, descriptionBox());
  game->pointerX = game->pointerY = -1;
  // Back to the first page, then back to the categories.
  tap(110, 244);
  EXPECT_EQ(game->menu.firstVisible, 0);
  EXPECT_EQ(ticks(), "x.x..");
  press({kRightSoft});
  game->updateCurrentState();
  EXPECT_EQ(game->states.gameState, k_stateAchievementMenu);
}

TEST_F(AchievementScreens, ACompleteCategoryShowsItsBadge) {
  game->career.achievementMask = 0x3FFu << 20;
  game->achievementScreens.selectedCategory = 2;
  enter(k_stateAchievementList);
  EXPECT_NE(word(48, 27, F::kSpriteVisible), 0);
  EXPECT_EQ(word(48, 27, F::kSpriteBank), 9);
  EXPECT_EQ(game->achievementScreens.listTitle, k_textCategoryTitle0 + 2);
}

}  // namespace
