// The challenge screens of the career: the four categories and the rival
// match (170), with a mark for each category whose challenges are all won,
// and the eight challenges of one category (180), four rows a page, with a
// mark for each open or won challenge, the prize and the failed attempts of
// the highlighted one. A touched row starts its challenge on the next touch.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"

namespace {

constexpr uint32_t kDisabled = 4;
constexpr int32_t kCategories = 4;
constexpr int32_t kPerCategory = 8;
constexpr int32_t kListRows = 4;
constexpr int32_t kPageButtonSelection = -2;
constexpr int32_t kChallengeGameType = 4;
constexpr int32_t kCareerGameType = 3;
constexpr int32_t kCoach = 10;
constexpr int32_t kOpponentSlot = 1;
constexpr int32_t kStateLocked = 0, kStateOpen = 1, kStateWon = 2;
constexpr const char* kTouchToContinue = "Touch screen to continue";
constexpr const char* kChangePage = "Change Page";

const uint32_t kCategoryMenu[] = {116, 117, 118, 119, 706};
const uint32_t kChallengeMenus[kCategories][kPerCategory] = {
    {121, 122, 123, 124, 125, 126, 127, 128},
    {129, 130, 131, 132, 133, 134, 135, 136},
    {137, 138, 139, 140, 141, 142, 143, 144},
    {145, 146, 147, 148, 149, 150, 151, 152},
};

int32_t categoryOf(const cGame& g) { return std::clamp(g.challengeCategory, 0, kCategories - 1); }

bool isVeiled(const cGame& g, int32_t entry) {
  return entry >= 0 && entry < g.m_menu.count && (g.m_menu.flags[entry] & kDisabled) != 0;
}

}  // namespace

// ---- categories

void cGame::updateChallengeCategories() {
  if (m_subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifChallengeMenu;
    s.menu = kCategoryMenu;
    s.listElement = k_challengeMenuList;
    s.count = 5;
    setUpScreen(s);
    // The rival match shows under a veil until it is unlocked.
    if (!specialRivalOpen) setMenuEntryFlags(k_textRivalMatch, kDisabled);
    markCompletedCategories();
    return;
  }
  const int32_t id = updateScreen();
  updateMenuArrows(k_challengeMenuArrowUp, k_challengeMenuArrowDown, false);
  showMenuScrollArrows(k_challengeMenuArrowUp, k_challengeMenuArrowDown);
  if (id < 0) {
    setState(k_statePub);
  } else if (id >= k_textChallengeCategory0 && id < k_textChallengeCategory0 + kCategories) {
    challengeCategory = id - k_textChallengeCategory0;
    setState(k_stateChallengeList);
  } else if (id == k_textRivalMatch) {
    gameType = kCareerGameType;
    rivalMatch = 1;
    setState(k_stateRulesChoice);
  }
}

void cGame::paintChallengeCategories(Graphics* g) {
  const bool veiled = isVeiled(*this, m_menu.selection);
  for (int32_t k = 0; k < 3; ++k) setInterfaceElementVisible(k_ifChallengeMenu, k_challengeMenuNote0 + k, veiled);
  paintScreen(g, k_challengeMenuBack, -1);
  drawElementText(k_challengeMenuTitle, k_textChallengeMenuTitle);
  paintMenu();
  if (veiled) drawElementText(k_challengeMenuNote, k_textRivalLocked);
}

void cGame::markCompletedCategories() {
  for (int32_t c = 0; c < kCategories; ++c) {
    bool all = true;
    for (int32_t s : m_career.challengeStates[c])
      if ((s & 3) != kStateWon) all = false;
    setInterfaceElementAnim(k_ifChallengeMenu, k_challengeMenuComplete0 + c,
                            all ? k_marksAnimTickOn : k_marksAnimTickOff);
  }
  setInterfaceElementAnim(k_ifChallengeMenu, k_challengeMenuRivalMark,
                          m_career.specialRivalBeaten ? k_marksAnimTickOn : k_marksAnimTickOff);
}

// ---- the challenges of one category

void cGame::updateChallengeList() {
  if (m_subState == k_subStateInit) {
    gameType = kChallengeGameType;
    m_challengeEnded = 0;
    challengeDemo = 0;
    FrontEndScreen s;
    s.interfaceId = k_ifChallengeList;
    s.menu = kChallengeMenus[categoryOf(*this)];
    s.listElement = k_challengeListRows;
    s.rows = kListRows;
    s.count = kPerCategory;
    setUpScreen(s);
    for (int32_t i = 0; i < kPerCategory; ++i)
      if ((m_career.challengeStates[categoryOf(*this)][i] & 3) == kStateLocked) m_menu.flags[i] = kDisabled;
    markChallengeRows();
    m_challengeListFirst = m_menu.firstVisible;
    return;
  }
  updateScreen(false);
  const int32_t id = updateMenuSmooth();
  // The page the list shows may also have been turned by a touch, before
  // this update: the marks follow whatever the list shows now.
  if (m_menu.firstVisible != m_challengeListFirst) {
    m_challengeListFirst = m_menu.firstVisible;
    markChallengeRows();
  }
  const bool confirming = m_screenFlags[k_screenFlagChallengeConfirm] != 0;
  setInterfaceElementVisible(k_ifChallengeList, k_challengeListPage, !confirming);
  setInterfaceElementVisible(k_ifChallengeList, k_challengeListPageLabel, !confirming);
  if (id < 0) {
    setState(k_stateChallengeMenu);
    return;
  }
  const int32_t entry = m_menu.selection;
  if (id == 0 || entry < 0 || entry >= kPerCategory) return;
  challengeNumber = categoryOf(*this) * kPerCategory + entry;
  if (!m_career.started) m_career.character = m_chosenCharacter[0];
  opponentSlot = kOpponentSlot;
  m_chosenRival = kCoach;
  setState(k_stateGameLoading);
}

void cGame::paintChallengeList(Graphics* g) {
  const int32_t entry = m_menu.selection;
  const bool selected = entry >= 0 && entry < kPerCategory;
  const bool veiled = isVeiled(*this, entry);
  const int32_t state = selected ? m_career.challengeStates[categoryOf(*this)][entry] : 0;
  const bool won = selected && (state & 3) == kStateWon;
  for (int32_t k = 0; k < 3; ++k)
    setInterfaceElementVisible(k_ifChallengeList, k_challengeListInfo0 + k, veiled || !won);
  paintScreen(g, k_challengeListBack, -1);
  drawElementText(k_challengeListTitle, k_textChallengeListTitle);
  paintMenu();
  if (m_screenFlags[k_screenFlagChallengeConfirm] && !veiled && selected && m_gameClock % 1000 > 500)
    drawElementString(k_challengeListConfirm, kTouchToContinue);
  if (veiled) {
    setTextParam(0, entry);
    drawElementText(k_challengeListInfo, k_textChallengeLocked);
    drawElementText(k_challengeListDetail, k_textChallengeLockedLine);
  } else if (!won) {
    if (selected) {
      textBufferSetString(k_textPrize);
      replaceTextTagWithText(k_textMoney);
      setTextParam(0, k_challengePrizes[entry]);
      drawElementStringLen(k_challengeListInfo, m_text.work, m_text.workLength, -1);
      setTextParam(0, state >> 2);
      drawElementText(k_challengeListDetail, k_textFailedAttempts);
    } else if (entry == kPageButtonSelection) {
      drawElementString(k_challengeListDetail, kChangePage);
    }
  }
}

void cGame::markChallengeRows() {
  const int32_t c = categoryOf(*this);
  for (int32_t i = 0; i < kListRows; ++i) {
    const int32_t n = m_menu.firstVisible + i;
    const int32_t state = n >= 0 && n < kPerCategory ? m_career.challengeStates[c][n] & 3 : kStateLocked;
    const int32_t e = k_challengeListMark0 + i;
    setInterfaceElementVisible(k_ifChallengeList, e, state == kStateOpen || state == kStateWon);
    setInterfaceElementAnim(k_ifChallengeList, e, state == kStateWon ? k_marksAnimTickOn : k_marksAnimTickOff);
  }
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapChallengeMenu(cGame& g) {
  mapRows(g, {97, 132, 167, 202, 237}, 20);
  rightSoft(g);
}

// A locked (or hidden) challenge can be selected, so that its note says why
// it is locked, but it never arms the second tap: the list stays usable.
bool isStartable(const cGame& g, int32_t entry) { return entry >= 0 && (flagsOf(g, entry) & 5u) == 0; }

void mapChallengeList(cGame& g) {
  uint8_t& armed = g.m_screenFlags[k_screenFlagChallengeConfirm];
  const Rect pageButton{82, 251, 60, 25};
  if (armed && !isStartable(g, g.m_menu.selection)) armed = 0;
  if (!armed) {
    if (pagedList(g, 100, 4, 4, pageButton) >= 0 && isStartable(g, g.m_menu.selection)) armed = 1;
    pageButtonUp(g, pageButton, 4);
    rightSoft(g);
    return;
  }
  confirmTap(g, armed);
}

}  // namespace

const cGameScreen k_screenChallengeMenu = {k_stateChallengeMenu, [](cGame& g) { g.updateChallengeCategories(); },
                                           [](cGame& g, Graphics* t) { g.paintChallengeCategories(t); },
                                           mapChallengeMenu};
const cGameScreen k_screenChallengeList = {k_stateChallengeList, [](cGame& g) { g.updateChallengeList(); },
                                           [](cGame& g, Graphics* t) { g.paintChallengeList(t); }, mapChallengeList};
