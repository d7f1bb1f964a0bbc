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
constexpr int32_t kCoach = 10;
constexpr int32_t kOpponentSlot = 1;
constexpr int32_t kStateLocked = 0, kStateOpen = 1, kStateWon = 2;
constexpr const char* kChangePage = "Change Page";

const uint32_t kCategoryMenu[] = {116, 117, 118, 119, 706};
const uint32_t kChallengeMenus[kCategories][kPerCategory] = {
    {121, 122, 123, 124, 125, 126, 127, 128},
    {129, 130, 131, 132, 133, 134, 135, 136},
    {137, 138, 139, 140, 141, 142, 143, 144},
    {145, 146, 147, 148, 149, 150, 151, 152},
};

int32_t categoryOf(const cGame& g) { return std::clamp(g.challenges.category, 0, kCategories - 1); }

bool isVeiled(const cGame& g, int32_t entry) {
  return entry >= 0 && entry < g.menu.count && (g.menu.flags[entry] & kDisabled) != 0;
}

}  // namespace

// ---- categories

void updateChallengeCategories(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_ifChallengeMenu;
    s.menu = kCategoryMenu;
    s.listElement = k_challengeMenuList;
    s.count = 5;
    setUpScreen(game, s);
    // The rival match shows under a veil until it is unlocked.
    if (!game.career.specialRivalOpen) setMenuEntryFlags(game, k_textRivalMatch, kDisabled);
    markCompletedCategories(game);
    game.challenges.rivalRefused = 0;
    return;
  }
  // The notice that the money does not reach the rival's stake: the next
  // select or back only closes it.
  if (game.challenges.rivalRefused) {
    updateScreen(game, false);
    if (game.keys.isPressed(k_keySelect | k_keyRightSoft | k_keyBack)) {
      game.challenges.rivalRefused = 0;
      game.menu.selection = -1;
      game.keys.lock(2);
    }
    return;
  }
  const int32_t id = updateScreen(game);
  updateMenuArrows(game, k_challengeMenuArrowUp, k_challengeMenuArrowDown, false);
  showMenuScrollArrows(game, k_challengeMenuArrowUp, k_challengeMenuArrowDown);
  if (id < 0) {
    game.setState(k_statePub);
  } else if (id >= k_textChallengeCategory0 && id < k_textChallengeCategory0 + kCategories) {
    game.challenges.category = id - k_textChallengeCategory0;
    game.setState(k_stateChallengeList);
  } else if (id == k_textRivalMatch) {
    // Refused as the stake choice refuses a stake the money does not reach.
    if (!canAffordStake(game, stakeLevelOfSlot(k_rivalMatchSlot))) {
      playSound(game, k_soundError, 0, 100, 100);
      game.challenges.rivalRefused = 1;
      game.keys.lock(2);
      return;
    }
    game.match.gameType = k_gameTypeCareer;
    game.setup.rivalMatch = 1;
    game.setState(k_stateRulesChoice);
  }
}

void paintChallengeCategories(cGame& game, Graphics* g) {
  const bool refused = game.challenges.rivalRefused != 0;
  const bool veiled = !refused && isVeiled(game, game.menu.selection);
  // The note plate carries either note; the padlocks only the locked one.
  setInterfaceElementVisible(game, k_ifChallengeMenu, k_challengeMenuNote0, veiled || refused);
  for (int32_t k = 1; k < 3; ++k) setInterfaceElementVisible(game, k_ifChallengeMenu, k_challengeMenuNote0 + k, veiled);
  paintScreen(game, g, k_challengeMenuBack, -1);
  drawElementText(game, k_challengeMenuTitle, k_textChallengeMenuTitle);
  paintMenu(game);
  if (veiled) drawElementText(game, k_challengeMenuNote, k_textRivalLocked);
  if (refused) drawElementText(game, k_challengeMenuNote, k_textStakeNotice);
}

void markCompletedCategories(cGame& game) {
  for (int32_t c = 0; c < kCategories; ++c) {
    bool all = true;
    for (int32_t s : game.career.progress.challengeStates[c])
      if ((s & 3) != kStateWon) all = false;
    setInterfaceElementAnim(game, k_ifChallengeMenu, k_challengeMenuComplete0 + c,
                            all ? k_marksAnimTickOn : k_marksAnimTickOff);
  }
  setInterfaceElementAnim(game, k_ifChallengeMenu, k_challengeMenuRivalMark,
                          game.career.progress.specialRivalBeaten ? k_marksAnimTickOn : k_marksAnimTickOff);
}

// ---- the challenges of one category

void updateChallengeList(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    game.match.gameType = k_gameTypeChallenge;
    game.challenges.ended = 0;
    game.challenges.demo = 0;
    FrontEndScreen s;
    s.interfaceId = k_ifChallengeList;
    s.menu = kChallengeMenus[categoryOf(game)];
    s.listElement = k_challengeListRows;
    s.rows = kListRows;
    s.count = kPerCategory;
    setUpScreen(game, s);
    for (int32_t i = 0; i < kPerCategory; ++i)
      if ((game.career.progress.challengeStates[categoryOf(game)][i] & 3) == kStateLocked)
        game.menu.flags[i] = kDisabled;
    markChallengeRows(game);
    game.challenges.listFirst = game.menu.firstVisible;
    return;
  }
  updateScreen(game, false);
  const int32_t id = updateMenuSmooth(game);
  // The page the list shows may also have been turned by a touch, before
  // this update: the marks follow whatever the list shows now.
  if (game.menu.firstVisible != game.challenges.listFirst) {
    game.challenges.listFirst = game.menu.firstVisible;
    markChallengeRows(game);
  }
  const bool confirming = game.states.screenFlags[k_screenFlagChallengeConfirm] != 0;
  setInterfaceElementVisible(game, k_ifChallengeList, k_challengeListPage, !confirming);
  setInterfaceElementVisible(game, k_ifChallengeList, k_challengeListPageLabel, !confirming);
  if (id < 0) {
    game.setState(k_stateChallengeMenu);
    return;
  }
  const int32_t entry = game.menu.selection;
  if (id == 0 || entry < 0 || entry >= kPerCategory) return;
  game.match.challengeNumber = categoryOf(game) * kPerCategory + entry;
  if (!game.career.progress.started) game.career.progress.character = game.setup.chosenCharacter[0];
  game.setup.opponentSlot = kOpponentSlot;
  game.setup.chosenRival = kCoach;
  game.setState(k_stateGameLoading);
}

void paintChallengeList(cGame& game, Graphics* g) {
  const int32_t entry = game.menu.selection;
  const bool selected = entry >= 0 && entry < kPerCategory;
  const bool veiled = isVeiled(game, entry);
  const int32_t state = selected ? game.career.progress.challengeStates[categoryOf(game)][entry] : 0;
  const bool won = selected && (state & 3) == kStateWon;
  for (int32_t k = 0; k < 3; ++k)
    setInterfaceElementVisible(game, k_ifChallengeList, k_challengeListInfo0 + k, veiled || !won);
  paintScreen(game, g, k_challengeListBack, -1);
  drawElementText(game, k_challengeListTitle, k_textChallengeListTitle);
  paintMenu(game);
  if (game.states.screenFlags[k_screenFlagChallengeConfirm] && !veiled && selected && game.frame.gameClock % 1000 > 500)
    drawElementText(game, k_challengeListConfirm, k_textTouchPrompt);
  if (veiled) {
    setTextParam(game, 0, entry);
    drawElementText(game, k_challengeListInfo, k_textChallengeLocked);
    drawElementText(game, k_challengeListDetail, k_textChallengeLockedLine);
  } else if (!won) {
    if (selected) {
      textBufferSetString(game, k_textPrize);
      replaceTextTagWithText(game, k_textMoney);
      setTextParam(game, 0, k_challengePrizes[entry]);
      drawElementStringLen(game, k_challengeListInfo, game.text.strings.work, game.text.strings.workLength, -1);
      setTextParam(game, 0, state >> 2);
      drawElementText(game, k_challengeListDetail, k_textFailedAttempts);
    } else if (entry == kPageButtonSelection) {
      drawElementString(game, k_challengeListDetail, kChangePage);
    }
  }
}

void markChallengeRows(cGame& game) {
  const int32_t c = categoryOf(game);
  for (int32_t i = 0; i < kListRows; ++i) {
    const int32_t n = game.menu.firstVisible + i;
    const int32_t state = n >= 0 && n < kPerCategory ? game.career.progress.challengeStates[c][n] & 3 : kStateLocked;
    const int32_t e = k_challengeListMark0 + i;
    setInterfaceElementVisible(game, k_ifChallengeList, e, state == kStateOpen || state == kStateWon);
    setInterfaceElementAnim(game, k_ifChallengeList, e, state == kStateWon ? k_marksAnimTickOn : k_marksAnimTickOff);
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
  uint8_t& armed = g.states.screenFlags[k_screenFlagChallengeConfirm];
  const Rect pageButton{82, 251, 60, 25};
  if (armed && !isStartable(g, g.menu.selection)) armed = 0;
  if (!armed) {
    if (pagedList(g, 100, 4, 4, pageButton) >= 0 && isStartable(g, g.menu.selection)) armed = 1;
    pageButtonUp(g, pageButton, 4);
    rightSoft(g);
    return;
  }
  confirmTap(g, armed);
}

}  // namespace

const cGameScreen k_screenChallengeMenu = {k_stateChallengeMenu, updateChallengeCategories, paintChallengeCategories,
                                           mapChallengeMenu};
const cGameScreen k_screenChallengeList = {k_stateChallengeList, updateChallengeList, paintChallengeList,
                                           mapChallengeList};
