// The menus pushed over a running match: the in-game menu (300) with its
// questions, the cheat menu behind it (310) and the question menu (380),
// which hands the turn flow's questions to the yes/no screen.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "zul/memory/Debug.h"

const uint32_t k_igmMenuItems[5] = {k_textResume, k_textIGMRestart, k_textIGMOptions, k_textQuitMatch, k_textExit};
const uint32_t k_cheatMenuItems[5] = {k_textCheatWin, k_textCheatLose, k_textCheatCharacters, k_textCheatEverything,
                                      k_textCheatAchievements};

namespace {

constexpr uint32_t kOutWin = 0x8, kOutLose = 0x10;
constexpr uint32_t kHidden = 1;
constexpr int32_t kCharacters = 10;

bool isLocked(int32_t challengeState) { return (challengeState & 3) == 0; }

// Yes to quitting the match: the main menu, a tutorial counted as left.
void quitMatch(cGame& game) {
  if (game.match.gameType == k_gameTypeTutorial) {
    game.tutorial.left = 1;
    saveSettings(game);
  }
  game.frontEnd.menusOverMatch = 0;
  resumeMusic(game);
  game.setState(k_stateMainMenuLoading);
}

// Yes to restarting it: the same match from its start.
void restartMatch(cGame& game) {
  clearAchievementNotices(game);
  game.challenges.ended = 0;
  game.frontEnd.menusOverMatch = 0;
  resumeMusic(game);
  if (game.sound.enabled) game.stopAllSounds();
  game.setInGameState(k_stateMatchInit);
}

constexpr int32_t kActionQuitMatch = 2, kActionRestartMatch = 3;

// The menu's questions come back to it and show its panel.
Question askedHere(Question q) {
  q.returnState = k_stateIGM;
  q.panel = k_interfaceIGM;
  return q;
}

}  // namespace

const Question k_questionQuitMatch = {.title = k_textQuitMatchTitle,
                                      .body = k_textQuestionBody,
                                      .returnState = k_stateIGM,
                                      .action = kActionQuitMatch,
                                      .panel = k_interfaceIGM,
                                      .yes = quitMatch,
                                      .setUp = showTournamentMatchNote,
                                      .paint = paintTournamentMatchNote};
const Question k_questionRestartMatch = {.title = k_textRestartMatch,
                                         .body = k_textQuestionBody,
                                         .returnState = k_stateIGM,
                                         .action = kActionRestartMatch,
                                         .panel = k_interfaceIGM,
                                         .yes = restartMatch};

// ---- entering and leaving

void enterIGM(cGame& game) {
  if (game.states.gameState == k_stateCareerComplete) return;
  // One menu at a time: a menu already open (or under a question it asked)
  // is not pushed again, and a full stack takes no menu.
  if (game.states.gameState == k_stateIGM || game.states.stackDepth >= k_stateStackSize) return;
  for (int32_t i = 0; i < game.states.stackDepth; ++i)
    if (game.states.stateStack[i] == k_stateIGM) return;
  game.inGameMenus.skipHint = game.turn.skipHintShown;
  game.turn.skipHintShown = 0;
  game.inGameMenus.ballView = game.ballView.open;
  game.ballView.open = 0;
  debugTrace("enterIGM stop sound");
  game.inGameMenus.music = game.sound.currentMusicId;
  game.pushState(k_stateIGM);
  game.inGameMenus.inputGeneration += 1;
  pauseMusic(game);
  game.stopAllSounds();
  selectInterface(game, k_interfaceIGM);
}

void exitIGM(cGame& game) {
  game.interfaces.interfaceAnimations = 0;
  game.frontEnd.menusOverMatch = 0;
  game.turn.hudHidden = 0;
  game.table.panelRedraw = 1;
  game.sound.currentMusicId = game.inGameMenus.music;
  resumeMusic(game);
  game.popState();
  game.keys.lock(3);
  game.inGameMenus.inputGeneration += 1;
  if (game.inGameMenus.skipHint) game.turn.skipHintShown = 1;
  game.ballView.open = game.inGameMenus.ballView;
}

// ---- in-game menu (300)

void updateIGM(cGame& game) {
  if (game.states.subState == k_subStateDestroy) {
    captureTableBackground(game);
    return;
  }
  if (game.states.subState == k_subStateInit) {
    game.frontEnd.menusOverMatch = 1;
    captureTableBackground(game);
    selectInterface(game, k_interfaceIGM);
    resetInterfaceAnimation(game, false);
    initMenu(game, k_igmMenuItems, k_igmList, 5, true);
    setMenuCount(game, 5);
    const int32_t under = stateUnderMenu(game);
    if (under == k_stateFrameWon || under == k_stateResultLines) setMenuEntryFlags(game, k_textIGMRestart, kHidden);
    game.inGameMenus.invisibleOptions = countHiddenMenuEntries(game);
    debugTrace("\n _countInvisbleOptions : %d", game.inGameMenus.invisibleOptions);
    if (game.frontEnd.backLayer) {
      game.resetClip(game.frontEnd.backLayer);
      paintInterfaceLayer(game, true);
    }
    game.interfaces.interfaceAnimations = 1;
    game.turn.hudHidden = 1;
    game.menu.selection = -1;
    return;
  }
  if (game.turn.menuRequest) {
    game.turn.menuRequest = 0;
    game.menu.selection = 0;
  }
  selectInterface(game, k_interfaceIGM);
  const int32_t id = updateMenu(game);
  updateMenuArrows(game, k_igmArrowUp, k_igmArrowDown, false);
  showMenuScrollArrows(game, k_igmArrowUp, k_igmArrowDown);
  if (id < 0) {
    if (game.keys.isPressed(k_keyBack)) {
      // The match is abandoned for the main menu.
      if (game.match.gameType == k_gameTypeTutorial) {
        game.tutorial.left = 1;
        saveSettings(game);
      }
      game.turn.hudHidden = 0;
      game.frontEnd.menusOverMatch = 0;
      resumeMusic(game);
      game.setState(k_stateMainMenuLoading);
    } else {
      exitIGM(game);
    }
    return;
  }
  switch (id) {
    case k_textResume:
      exitIGM(game);
      break;
    case k_textCheatMenu:
      game.setInGameState(k_stateCheatMenu);
      break;
    case k_textQuitMatch:
      openQuestion(game, k_questionQuitMatch);
      game.menu.selection = -1;
      break;
    case k_textIGMRestart:
      openQuestion(game, k_questionRestartMatch);
      game.menu.selection = -1;
      break;
    case k_textExit:
      openQuestion(game, askedHere(k_questionExit));
      game.menu.selection = -1;
      break;
    case k_textOptionsHelp:
      game.setInGameState(k_stateHelpMenu);
      break;
    case k_textIGMOptions:
      game.setInGameState(k_stateOptions);
      break;
    default: break;
  }
}

void paintIGM(cGame& game, Graphics* g) {
  selectInterface(game, k_interfaceIGM);
  game.resetClip(g);
  drawSavedBackground(game, g);
  paintInterface(game);
  drawElementText(game, k_igmTitle, k_textIGMTitle);
  game.table.panelRedraw = 1;
  paintMenu(game);
}

// ---- cheat menu (310)

void updateCheatMenu(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    selectInterface(game, k_interfaceCheatMenu);
    resetInterfaceAnimation(game, false);
    initMenu(game, k_cheatMenuItems, k_cheatList, 4, true);
    setMenuCount(game, 5);
    if (game.frontEnd.backLayer) {
      game.resetClip(game.frontEnd.backLayer);
      paintInterfaceLayer(game, true);
    }
    game.menu.selection = -1;
    return;
  }
  selectInterface(game, k_interfaceCheatMenu);
  const int32_t id = updateMenu(game);
  updateMenuArrows(game, k_cheatArrowUp, k_cheatArrowDown, false);
  showMenuScrollArrows(game, k_cheatArrowUp, k_cheatArrowDown);
  if (id < 0)
    game.setInGameState(k_stateIGM);
  else if (id > 0)
    applyCheat(game, id);
}

void applyCheat(cGame& game, int32_t id) {
  auto notice = [&game](int32_t n) {
    game.inGameMenus.cheatNotice = n;
    game.inGameMenus.cheatNoticeLife = k_cheatNoticeLife;
  };
  // Every achievement: the mask, a completion notice for each category that
  // was not complete before, the special rival open.
  auto allAchievements = [&game]() {
    updateAchievementPercentages(game);
    int32_t before[k_achievementCategories];
    std::copy(std::begin(game.notices.percent), std::end(game.notices.percent), before);
    game.career.achievementMask |= (1u << k_achievementCount) - 1;
    updateAchievementPercentages(game);
    for (int32_t c = 0; c < k_achievementCategories; ++c)
      if (before[c] != 100) queueCompletionNotice(game, c);
    game.career.specialRivalOpen = 1;
    saveSettings(game);
  };
  switch (id) {
    case k_textCheatWin:
    case k_textCheatLose: {
      const bool win = id == k_textCheatWin;
      if (!win && game.match.gameType == k_gameTypeChallenge) return;
      game.rules.shotOutcome =
          win ? (game.rules.shotOutcome | kOutWin) & ~kOutLose : (game.rules.shotOutcome | kOutLose) & ~kOutWin;
      game.rules.winner = win ? 0 : 1;
      game.match.currentPlayer = win ? 0 : 1;
      notice(win ? 0 : 1);
      // The menu closes first, so the frame ends as a decided shot ends it.
      exitIGM(game);
      game.setInGameState(game.match.gameType == k_gameTypeChallenge ? k_stateAfterShot : k_stateFrameWon);
      break;
    }
    case k_textCheatCharacters:
      for (int32_t c = 0; c < kCharacters; ++c) {
        game.career.characterAvailable[c] = 1;
        if (c != game.career.progress.character) game.career.progress.won[c] = 1;
      }
      saveSettings(game);
      saveProgress(game);
      notice(2);
      game.setInGameState(k_stateIGM);
      break;
    case k_textCheatEverything:
      allAchievements();
      notice(4);
      // Locked challenges open; won and tried ones keep their state.
      for (auto& category : game.career.progress.challengeStates)
        for (int32_t& s : category)
          if (isLocked(s)) s = (s & ~3) | 1;
      saveProgress(game);
      notice(3);
      game.setInGameState(k_stateIGM);
      break;
    case k_textCheatAchievements:
      allAchievements();
      notice(4);
      game.setInGameState(k_stateIGM);
      break;
    default: break;
  }
}

void paintCheatMenu(cGame& game, Graphics* g) {
  selectInterface(game, k_interfaceCheatMenu);
  game.resetClip(g);
  drawSavedBackground(game, g);
  paintInterface(game);
  drawElementText(game, k_cheatTitle, k_textCheatTitle);
  paintMenu(game);
  paintSoftKeys(game, k_textSoftBack, k_textSoftOk);
}

// ---- question menu (380)

void enterQuestionMenu(cGame& game, const Question& question, bool push) {
  captureTableBackground(game);
  game.question.menuFlag = 0;
  game.inGameMenus.questionMenuSave.state = game.states.gameState;
  game.inGameMenus.questionMenuSave.subState = game.states.subState;
  game.inGameMenus.questionMenuSave.music = game.sound.currentMusicId;
  game.inGameMenus.questionMenuSave.gameType = game.match.gameType;
  game.inGameMenus.questionMenuSave.ruleSet = game.match.ruleSet;
  game.inGameMenus.questionMenuSave.pushed = push ? 1 : 0;
  game.inGameMenus.questionMenuSave.question = question;
  if (push)
    game.pushState(k_stateQuestionMenu);
  else
    game.setInGameState(k_stateQuestionMenu);
  game.inGameMenus.inputGeneration += 1;
}

void backFromQuestionMenu(cGame& game) {
  game.interfaces.interfaceAnimations = 0;
  game.table.panelRedraw = 1;
  // Back where the question menu was opened, in its running step; a pushed
  // menu leaves the stack as it found it.
  if (game.inGameMenus.questionMenuSave.pushed && game.states.stackDepth > 0 &&
      game.states.stateStack[game.states.stackDepth - 1] == game.inGameMenus.questionMenuSave.state)
    game.states.stackDepth -= 1;
  game.states.inGame = 1;
  game.states.gameState = game.inGameMenus.questionMenuSave.state;
  game.states.subState = game.inGameMenus.questionMenuSave.subState;
  game.sound.currentMusicId = game.inGameMenus.questionMenuSave.music;
  game.match.gameType = game.inGameMenus.questionMenuSave.gameType;
  game.match.ruleSet = game.inGameMenus.questionMenuSave.ruleSet;
  game.inGameMenus.inputGeneration += 1;
}

void updateQuestionMenu(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    if (game.question.menuFlag) {
      game.question.menuFlag = 0;
      backFromQuestionMenu(game);
      return;
    }
    selectInterface(game, k_interfaceIGM);
    game.interfaces.interfaceAnimations = 1;
    return;
  }
  game.question.menuFlag = 1;
  Question question = game.inGameMenus.questionMenuSave.question;
  question.panel = k_interfaceIGM;
  openQuestion(game, question);
}

void openMenuOverQuestion(cGame& game) {
  game.question.pendingAction = game.question.action;
  enterIGM(game);
}

void paintQuestionMenu(cGame& game, Graphics* g) {
  game.resetClip(g);
  drawSavedBackground(game, g);
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
    if (g.inGameMenus.invisibleOptions == 1 && selection == 1) continue;
    rows[n] = row(118 + 40 * n, 24);
    values[n] = selection;
    ++n;
  }
  rowsDown(g, rows, values, n, -1, false);
  rightSoftHighlight(g);
  if (rowsUp(g, rows, n) >= 0) press(g, k_touchKeyLeftSoft);
}

}  // namespace

const cGameScreen k_screenIGM = {k_stateIGM, updateIGM, paintIGM, mapIGM};
const cGameScreen k_screenCheatMenu = {k_stateCheatMenu, updateCheatMenu, paintCheatMenu, mapNoButtons};
const cGameScreen k_screenQuestionMenu = {k_stateQuestionMenu, updateQuestionMenu, paintQuestionMenu, mapNoButtons};

void goToQuestionMenu(cGame& game, const Question& question) { enterQuestionMenu(game, question, false); }
int32_t stateUnderMenu(const cGame& game) {
  return game.states.stackDepth > 0 ? game.states.stateStack[game.states.stackDepth - 1] : -1;
}
