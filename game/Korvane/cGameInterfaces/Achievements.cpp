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

int32_t categoryOf(const cGame& g) { return std::clamp(g.achievementScreens.selectedCategory, 0, cGame::k_achievementCategories - 1); }

}  // namespace

void cGame::updateAchievementCategories() {
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifAchievementMenu;
    s.menu = kCategoryMenu;
    s.listElement = k_elCategoryRow0;
    s.count = k_achievementCategories;
    setUpScreen(s);
    achievementScreens.selectedCategory = 0;
    // Percentages first: the frames show completion too.
    updateAchievementPercentages();
    setCategoryFrames();
    setCategoryTicks();
    return;
  }
  const int32_t id = updateScreen();
  // The highlighted card follows the entry under the pen.
  const int32_t entry = m_menu.selection;
  if (entry >= 0 && entry < k_achievementCategories && entry != achievementScreens.selectedCategory) {
    achievementScreens.selectedCategory = entry;
    setCategoryFrames();
  }
  if (id >= k_textCategoryName0 && id < k_textCategoryName0 + k_achievementCategories)
    setState(k_stateAchievementList);
  else if (id < 0)
    setState(k_statePub);
}

void cGame::paintAchievementCategories(Graphics* g) {
  selectInterface(k_ifAchievementMenu);
  paintScreen(g, k_elAchievementBack, -1);
  drawElementText(k_elCategoryTitle, k_textAchievementsTitle);
  for (int32_t c = 0; c < k_achievementCategories; ++c) {
    const int32_t e = k_elCategoryPercent0 + c;
    setElementPalette(e, c == achievementScreens.selectedCategory ? 0 : 1);
    setTextParam(0, m_achievementPercent[c]);
    drawElementText(e, k_textPercent);
  }
  paintMenu();
}

void cGame::setCategoryFrames() {
  for (int32_t c = 0; c < k_achievementCategories; ++c) {
    const int32_t frame = (m_achievementPercent[c] == 100 ? k_frameCategoryComplete : k_frameCategoryIncomplete) +
                          (c == achievementScreens.selectedCategory ? 1 : 0);
    setInterfaceElementFrame(k_ifAchievementMenu, k_elCategoryFrame0 + c, frame);
  }
}

void cGame::setCategoryTicks() {
  for (int32_t c = 0; c < k_achievementCategories; ++c)
    setInterfaceElementAnim(k_ifAchievementMenu, k_elCategoryTick0 + c,
                            m_achievementPercent[c] == 100 ? k_marksAnimTickOn : k_marksAnimTickOff);
}

void cGame::updateAchievementList() {
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifAchievementList;
    s.menu = achievementScreens.listTexts;
    s.listElement = k_elListRow0;
    s.rows = kListRows;
    s.count = 10;
    setUpScreen(s);
    m_menu.selection = 0;
    updateAchievementPercentages();
    markUnlockedRows();
    buildAchievementListTexts();
    achievementScreens.listFirst = m_menu.firstVisible;
    return;
  }
  updateScreen(false);
  const int32_t id = updateMenuSmooth();
  // A new page slides in with its own ticks.
  if (m_menu.firstVisible != achievementScreens.listFirst) {
    achievementScreens.listFirst = m_menu.firstVisible;
    startInterfaceAnimation();
    markUnlockedRows();
  }
  if (id < 0) setState(k_stateAchievementMenu);
}

void cGame::paintAchievementList(Graphics* g) {
  selectInterface(k_ifAchievementList);
  paintScreen(g, k_elAchievementBack, -1);
  setTextParam(0, m_achievementPercent[categoryOf(*this)]);
  drawElementText(k_elListTitle, achievementScreens.listTitle);
  const int32_t entry = m_menu.selection;
  if (entry >= 0 && entry < m_menu.count)
    drawElementText(k_elListDescription, achievementScreens.descriptionBase + entry);
  else if (entry == kPageButtonSelection)
    drawElementString(k_elListDescription, kChangePage);
  paintMenu();
}

void cGame::markUnlockedRows() {
  const int32_t c = categoryOf(*this);
  for (int32_t i = 0; i < kListRows; ++i) {
    const int32_t id = 10 * c + m_menu.firstVisible + i;
    const bool unlocked = id >= 0 && id < k_achievementCount && ((m_achievementMask >> id) & 1u);
    setInterfaceElementAnim(k_ifAchievementList, k_elListTick0 + i, unlocked ? k_marksAnimTickOn : k_marksAnimTickOff);
  }
}

void cGame::buildAchievementListTexts() {
  const int32_t c = categoryOf(*this);
  for (int32_t i = 0; i < 10; ++i) achievementScreens.listTexts[i] = static_cast<uint32_t>(k_textAchievementTitle0 + 10 * c + i);
  achievementScreens.listTitle = k_textCategoryTitle0 + c;
  achievementScreens.descriptionBase = k_textAchievementDesc0 + 10 * c;
  setInterfaceElementVisible(k_ifAchievementList, k_elListBadge, m_achievementPercent[c] == 100);
  setInterfaceElementSprite(k_ifAchievementList, k_elListBadge, getBadgeSlot(c));
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

const cGameScreen k_screenAchievementMenu = {k_stateAchievementMenu, [](cGame& g) { g.updateAchievementCategories(); },
                                             [](cGame& g, Graphics* t) { g.paintAchievementCategories(t); },
                                             mapAchievementMenu};
const cGameScreen k_screenAchievementList = {k_stateAchievementList, [](cGame& g) { g.updateAchievementList(); },
                                             [](cGame& g, Graphics* t) { g.paintAchievementList(t); },
                                             mapAchievementList};
