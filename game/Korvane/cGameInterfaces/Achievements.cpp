// The achievement screens of the career: the three categories with their
// completion (250) and the achievements of one category, five a page, with
// a tick for each one unlocked and the description of the highlighted one
// (260).
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"

namespace {

const uint32_t kCategoryMenu[] = {322, 323, 324};
constexpr int32_t kListRows = 5;
constexpr const char* kChangePage = "Change Page";
constexpr int32_t kPageButtonSelection = -2;

int32_t categoryOf(const cGame& g) {
  return std::clamp(g.achievementScreens.selectedCategory, 0, k_achievementCategories - 1);
}

}  // namespace

void updateAchievementCategories(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifAchievementMenu;
    s.menu = kCategoryMenu;
    s.listElement = k_elCategoryRow0;
    s.count = k_achievementCategories;
    setUpScreen(game, s);
    game.achievementScreens.selectedCategory = 0;
    // Percentages first: the frames show completion too.
    updateAchievementPercentages(game);
    setCategoryFrames(game);
    setCategoryTicks(game);
    return;
  }
  const int32_t id = updateScreen(game);
  // The highlighted card follows the entry under the pen.
  const int32_t entry = game.menu.selection;
  if (entry >= 0 && entry < k_achievementCategories && entry != game.achievementScreens.selectedCategory) {
    game.achievementScreens.selectedCategory = entry;
    setCategoryFrames(game);
  }
  if (id >= k_textCategoryName0 && id < k_textCategoryName0 + k_achievementCategories)
    game.setState(k_stateAchievementList);
  else if (id < 0)
    game.setState(k_statePub);
}

void paintAchievementCategories(cGame& game, Graphics* g) {
  selectInterface(game, k_ifAchievementMenu);
  paintScreen(game, g, k_elAchievementBack, -1);
  drawElementText(game, k_elCategoryTitle, k_textAchievementsTitle);
  for (int32_t c = 0; c < k_achievementCategories; ++c) {
    const int32_t e = k_elCategoryPercent0 + c;
    setElementPalette(game, e, c == game.achievementScreens.selectedCategory ? 0 : 1);
    setTextParam(game, 0, game.notices.percent[c]);
    drawElementText(game, e, k_textPercent);
  }
  paintMenu(game);
}

void setCategoryFrames(cGame& game) {
  for (int32_t c = 0; c < k_achievementCategories; ++c) {
    const int32_t frame = (game.notices.percent[c] == 100 ? k_frameCategoryComplete : k_frameCategoryIncomplete) +
                          (c == game.achievementScreens.selectedCategory ? 1 : 0);
    setInterfaceElementFrame(game, k_ifAchievementMenu, k_elCategoryFrame0 + c, frame);
  }
}

void setCategoryTicks(cGame& game) {
  for (int32_t c = 0; c < k_achievementCategories; ++c)
    setInterfaceElementAnim(game, k_ifAchievementMenu, k_elCategoryTick0 + c,
                            game.notices.percent[c] == 100 ? k_marksAnimTickOn : k_marksAnimTickOff);
}

void updateAchievementList(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifAchievementList;
    s.menu = game.achievementScreens.listTexts;
    s.listElement = k_elListRow0;
    s.rows = kListRows;
    s.count = 10;
    setUpScreen(game, s);
    game.menu.selection = 0;
    updateAchievementPercentages(game);
    markUnlockedRows(game);
    buildAchievementListTexts(game);
    game.achievementScreens.listFirst = game.menu.firstVisible;
    return;
  }
  updateScreen(game, false);
  const int32_t id = updateMenuSmooth(game);
  // A new page slides in with its own ticks.
  if (game.menu.firstVisible != game.achievementScreens.listFirst) {
    game.achievementScreens.listFirst = game.menu.firstVisible;
    startInterfaceAnimation(game);
    markUnlockedRows(game);
  }
  if (id < 0) game.setState(k_stateAchievementMenu);
}

void paintAchievementList(cGame& game, Graphics* g) {
  selectInterface(game, k_ifAchievementList);
  paintScreen(game, g, k_elAchievementBack, -1);
  setTextParam(game, 0, game.notices.percent[categoryOf(game)]);
  drawElementText(game, k_elListTitle, game.achievementScreens.listTitle);
  const int32_t entry = game.menu.selection;
  if (entry >= 0 && entry < game.menu.count)
    drawElementText(game, k_elListDescription, game.achievementScreens.descriptionBase + entry);
  else if (entry == kPageButtonSelection)
    drawElementString(game, k_elListDescription, kChangePage);
  paintMenu(game);
}

void markUnlockedRows(cGame& game) {
  const int32_t c = categoryOf(game);
  for (int32_t i = 0; i < kListRows; ++i) {
    const int32_t id = 10 * c + game.menu.firstVisible + i;
    const bool unlocked = id >= 0 && id < k_achievementCount && ((game.career.achievementMask >> id) & 1u);
    setInterfaceElementAnim(game, k_ifAchievementList, k_elListTick0 + i,
                            unlocked ? k_marksAnimTickOn : k_marksAnimTickOff);
  }
}

void buildAchievementListTexts(cGame& game) {
  const int32_t c = categoryOf(game);
  for (int32_t i = 0; i < 10; ++i)
    game.achievementScreens.listTexts[i] = static_cast<uint32_t>(k_textAchievementTitle0 + 10 * c + i);
  game.achievementScreens.listTitle = k_textCategoryTitle0 + c;
  game.achievementScreens.descriptionBase = k_textAchievementDesc0 + 10 * c;
  setInterfaceElementVisible(game, k_ifAchievementList, k_elListBadge, game.notices.percent[c] == 100);
  setInterfaceElementSprite(game, k_ifAchievementList, k_elListBadge, getBadgeSlot(game, c));
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapAchievementMenu(cGame& g) {
  mapRows(g, {101, 151, 201}, 30);
  rightSoft(g);
}

void mapAchievementList(cGame& g) {
  const Rect pageButton{82, 275, 66, 25};
  pagedList(g, 97, 5, 5, pageButton);  // a row sends nothing
  rightSoft(g);
  pageButtonUp(g, pageButton, 5);
}

}  // namespace

const cGameScreen k_screenAchievementMenu = {k_stateAchievementMenu, updateAchievementCategories,
                                             paintAchievementCategories, mapAchievementMenu};
const cGameScreen k_screenAchievementList = {k_stateAchievementList, updateAchievementList, paintAchievementList,
                                             mapAchievementList};
