// The menus pushed over a running match: the in-game menu (300) with its
// questions, the cheat menu behind it (310) and the question menu (380),
// which hands the turn flow's questions to the yes/no screen.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "windows_brew/memory/Debug.h"

const uint32_t cGame::k_igmMenuItems[5] = {k_textResume, k_textIGMRestart, k_textIGMOptions, k_textQuitMatch,
                                           k_textExit};
const uint32_t cGame::k_cheatMenuItems[5] = {k_textCheatWin, k_textCheatLose, k_textCheatCharacters,
                                             k_textCheatEverything, k_textCheatAchievements};

namespace {

constexpr int32_t kGameChallenge = 4, kGameTutorial = 5;
constexpr uint32_t kOutWin = 0x8, kOutLose = 0x10;
constexpr uint32_t kHidden = 1;
constexpr int32_t kCharacters = 10;

// Question actions the menu asks with.
constexpr int32_t kActionExit = 0, kActionQuitMatch = 2, kActionRestartMatch = 3;

bool isLocked(int32_t challengeState) { return (challengeState & 3) == 0; }

}  // namespace

// ---- entering and leaving

void cGame::enterIGM() {
  if (s_gameState == k_stateCareerComplete) return;
  // One menu at a time: a menu already open (or under a question it asked)
  // is not pushed again, and a full stack takes no menu.
  if (s_gameState == k_stateIGM || m_stackDepth >= k_stateStackSize) return;
  for (int32_t i = 0; i < m_stackDepth; ++i)
    if (m_stateStack[i] == k_stateIGM) return;
  inGameMenus.skipHint = skipHintShown;
  skipHintShown = 0;
  inGameMenus.ballView = ballViewOpen;
  ballViewOpen = 0;
  debugTrace("enterIGM stop sound");
  inGameMenus.music = m_currentMusicId;
  pushState(k_stateIGM);
  inGameMenus.inputGeneration += 1;
  pauseMusic();
  stopAllSounds();
  selectInterface(k_interfaceIGM);
}

void cGame::exitIGM() {
  m_interfaceAnimations = 0;
  m_menusOverMatch = 0;
  hudHidden = 0;
  panelRedraw = 1;
  m_currentMusicId = inGameMenus.music;
  resumeMusic();
  popState();
  m_keys.lock(3);
  inGameMenus.inputGeneration += 1;
  if (inGameMenus.skipHint) skipHintShown = 1;
  ballViewOpen = inGameMenus.ballView;
}

// ---- in-game menu (300)

void cGame::updateIGM() {
  if (m_subState == k_subStateDestroy) {
    captureTableBackground();
    return;
  }
  if (m_subState == k_subStateInit) {
    m_menusOverMatch = 1;
    captureTableBackground();
    selectInterface(k_interfaceIGM);
    resetInterfaceAnimation(false);
    initMenu(k_igmMenuItems, k_igmList, 5, true);
    setMenuCount(5);
    const int32_t under = stateUnderMenu();
    if (under == k_stateFrameWon || under == k_stateResultLines) setMenuEntryFlags(k_textIGMRestart, kHidden);
    igmInvisibleOptions = countHiddenMenuEntries();
    debugTrace("\n _countInvisbleOptions : %d", igmInvisibleOptions);
    if (m_backLayer) {
      resetClip(m_backLayer);
      paintInterfaceLayer(true);
    }
    m_interfaceAnimations = 1;
    hudHidden = 1;
    m_menu.selection = -1;
    return;
  }
  if (menuRequest) {
    menuRequest = 0;
    m_menu.selection = 0;
  }
  selectInterface(k_interfaceIGM);
  const int32_t id = updateMenu();
  updateMenuArrows(k_igmArrowUp, k_igmArrowDown, false);
  showMenuScrollArrows(k_igmArrowUp, k_igmArrowDown);
  if (id < 0) {
    if (m_keys.isPressed(k_keyBack)) {
      // The match is abandoned for the main menu.
      if (gameType == kGameTutorial) {
        m_tutorialLeft = 1;
        saveSettings();
      }
      hudHidden = 0;
      m_menusOverMatch = 0;
      resumeMusic();
      setState(k_stateMainMenuLoading);
    } else {
      exitIGM();
    }
    return;
  }
  switch (id) {
    case k_textResume: exitIGM(); break;
    case k_textCheatMenu: setInGameState(k_stateCheatMenu); break;
    case k_textQuitMatch:
      openQuestion(k_textQuitMatchTitle, k_textQuestionBody, k_stateIGM, kActionQuitMatch, k_interfaceIGM, -1);
      m_menu.selection = -1;
      break;
    case k_textIGMRestart:
      openQuestion(k_textRestartMatch, k_textQuestionBody, k_stateIGM, kActionRestartMatch, k_interfaceIGM, -1);
      m_menu.selection = -1;
      break;
    case k_textExit:
      openQuestion(k_textExit, k_textQuestionBody, k_stateIGM, kActionExit, k_interfaceIGM, -1);
      m_menu.selection = -1;
      break;
    case k_textOptionsHelp: setInGameState(k_stateHelpMenu); break;
    case k_textIGMOptions: setInGameState(k_stateOptions); break;
    default: break;
  }
}

void cGame::paintIGM(Graphics* g) {
  selectInterface(k_interfaceIGM);
  resetClip(g);
  drawSavedBackground(g);
  paintInterface();
  drawElementText(k_igmTitle, k_textIGMTitle);
  panelRedraw = 1;
  paintMenu();
}

// ---- cheat menu (310)

void cGame::updateCheatMenu() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    selectInterface(k_interfaceCheatMenu);
    resetInterfaceAnimation(false);
    initMenu(k_cheatMenuItems, k_cheatList, 4, true);
    setMenuCount(5);
    if (m_backLayer) {
      resetClip(m_backLayer);
      paintInterfaceLayer(true);
    }
    m_menu.selection = -1;
    return;
  }
  selectInterface(k_interfaceCheatMenu);
  const int32_t id = updateMenu();
  updateMenuArrows(k_cheatArrowUp, k_cheatArrowDown, false);
  showMenuScrollArrows(k_cheatArrowUp, k_cheatArrowDown);
  if (id < 0)
    setInGameState(k_stateIGM);
  else if (id > 0)
    applyCheat(id);
}

void cGame::applyCheat(int32_t id) {
  auto notice = [this](int32_t n) {
    inGameMenus.cheatNotice = n;
    inGameMenus.cheatNoticeLife = k_cheatNoticeLife;
  };
  // Every achievement: the mask, a completion notice for each category that
  // was not complete before, the special rival open.
  auto allAchievements = [this]() {
    updateAchievementPercentages();
    int32_t before[k_achievementCategories];
    std::copy(std::begin(m_achievementPercent), std::end(m_achievementPercent), before);
    m_achievementMask |= (1u << k_achievementCount) - 1;
    updateAchievementPercentages();
    for (int32_t c = 0; c < k_achievementCategories; ++c)
      if (before[c] != 100) queueCompletionNotice(c);
    specialRivalOpen = 1;
    saveSettings();
  };
  switch (id) {
    case k_textCheatWin:
    case k_textCheatLose: {
      const bool win = id == k_textCheatWin;
      if (!win && gameType == kGameChallenge) return;
      m_rules.shotOutcome = win ? (m_rules.shotOutcome | kOutWin) & ~kOutLose : (m_rules.shotOutcome | kOutLose) & ~kOutWin;
      m_rules.winner = win ? 0 : 1;
      currentPlayer = win ? 0 : 1;
      notice(win ? 0 : 1);
      // The menu closes first, so the frame ends as a decided shot ends it.
      exitIGM();
      setInGameState(gameType == kGameChallenge ? k_stateAfterShot : k_stateFrameWon);
      break;
    }
    case k_textCheatCharacters:
      for (int32_t c = 0; c < kCharacters; ++c) {
        m_characterAvailable[c] = 1;
        if (c != m_career.character) m_career.won[c] = 1;
      }
      saveSettings();
      saveProgress();
      notice(2);
      setInGameState(k_stateIGM);
      break;
    case k_textCheatEverything:
      allAchievements();
      notice(4);
      // Locked challenges open; won and tried ones keep their state.
      for (auto& category : m_career.challengeStates)
        for (int32_t& s : category)
          if (isLocked(s)) s = (s & ~3) | 1;
      saveProgress();
      notice(3);
      setInGameState(k_stateIGM);
      break;
    case k_textCheatAchievements:
      allAchievements();
      notice(4);
      setInGameState(k_stateIGM);
      break;
    default: break;
  }
}

void cGame::paintCheatMenu(Graphics* g) {
  selectInterface(k_interfaceCheatMenu);
  resetClip(g);
  drawSavedBackground(g);
  paintInterface();
  drawElementText(k_cheatTitle, k_textCheatTitle);
  paintMenu();
  paintSoftKeys(k_textSoftBack, k_textSoftOk);
}

// ---- question menu (380)

void cGame::enterQuestionMenu(int32_t title, int32_t body, int32_t action, int32_t returnState, bool push) {
  captureTableBackground();
  question.menuFlag = 0;
  inGameMenus.questionMenuSave.state = s_gameState;
  inGameMenus.questionMenuSave.subState = m_subState;
  inGameMenus.questionMenuSave.music = m_currentMusicId;
  inGameMenus.questionMenuSave.gameType = gameType;
  inGameMenus.questionMenuSave.ruleSet = ruleSet;
  inGameMenus.questionMenuSave.pushed = push ? 1 : 0;
  question.title = title;
  question.body = body;
  question.action = action;
  question.returnState = returnState;
  if (push)
    pushState(k_stateQuestionMenu);
  else
    setInGameState(k_stateQuestionMenu);
  inGameMenus.inputGeneration += 1;
}

void cGame::backFromQuestionMenu() {
  m_interfaceAnimations = 0;
  panelRedraw = 1;
  // Back where the question menu was opened, in its running step; a pushed
  // menu leaves the stack as it found it.
  if (inGameMenus.questionMenuSave.pushed && m_stackDepth > 0 &&
      m_stateStack[m_stackDepth - 1] == inGameMenus.questionMenuSave.state)
    m_stackDepth -= 1;
  m_inGame = 1;
  s_gameState = inGameMenus.questionMenuSave.state;
  m_subState = inGameMenus.questionMenuSave.subState;
  m_currentMusicId = inGameMenus.questionMenuSave.music;
  gameType = inGameMenus.questionMenuSave.gameType;
  ruleSet = inGameMenus.questionMenuSave.ruleSet;
  inGameMenus.inputGeneration += 1;
}

void cGame::updateQuestionMenu() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    if (question.menuFlag) {
      question.menuFlag = 0;
      backFromQuestionMenu();
      return;
    }
    selectInterface(k_interfaceIGM);
    m_interfaceAnimations = 1;
    return;
  }
  question.menuFlag = 1;
  openQuestion(question.title, question.body, question.returnState, question.action, k_interfaceIGM, -1);
}

void cGame::paintQuestionMenu(Graphics* g) {
  resetClip(g);
  drawSavedBackground(g);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapIGM(cGame& g) {
  Rect rows[5];
  int32_t values[5];
  int32_t n = 0;
  for (int32_t selection = 0; selection < 5; ++selection) {
    // With one hidden option the second entry takes no row.
    if (g.igmInvisibleOptions == 1 && selection == 1) continue;
    rows[n] = row(118 + 40 * n, 24);
    values[n] = selection;
    ++n;
  }
  rowsDown(g, rows, values, n, -1, false);
  rightSoftHighlight(g);
  if (rowsUp(g, rows, n) >= 0) press(g, k_touchKeyLeftSoft);
}

}  // namespace

const cGameScreen k_screenIGM = {k_stateIGM, [](cGame& g) { g.updateIGM(); },
                                 [](cGame& g, Graphics* t) { g.paintIGM(t); }, mapIGM};
const cGameScreen k_screenCheatMenu = {k_stateCheatMenu, [](cGame& g) { g.updateCheatMenu(); },
                                       [](cGame& g, Graphics* t) { g.paintCheatMenu(t); }, mapNoButtons};
const cGameScreen k_screenQuestionMenu = {k_stateQuestionMenu, [](cGame& g) { g.updateQuestionMenu(); },
                                          [](cGame& g, Graphics* t) { g.paintQuestionMenu(t); }, mapNoButtons};
