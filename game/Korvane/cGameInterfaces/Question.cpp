// The yes/no question (state 60): every confirmation of the menus, the shop,
// the tournament and the running match. Its action code says what yes, no
// and back do; it borrows the panel of the screen that asked.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "platform/brew/AppletGameBridge.h"

namespace {

const uint32_t kYesNo[] = {k_textYes, k_textNo};

enum Action : int32_t {
  kExit = 0,
  kResetAll = 1,
  kQuitMatch = 2,
  kRestartMatch = 3,
  kBuyItem = 5,
  kTutorialOffer = 6,
  kEquipItem = 7,
  kChallengeDemo = 8,
  kPushOutOffer = 9,
  kPushOutPlay = 10,
  kOption8Offer = 11,
  kQuitTournament = 14,
};

bool isMatchQuestion(int32_t action) {
  return action == kTutorialOffer || action == kChallengeDemo || action == kPushOutOffer ||
         action == kPushOutPlay || action == kOption8Offer;
}

}  // namespace

void openQuestion(cGame& game, int32_t title, int32_t body, int32_t returnState, int32_t action, int32_t panelInterface,
                  int32_t defaultEntry) {
  game.question.title = title;
  game.question.body = body;
  game.question.returnState = returnState;
  game.question.action = action;
  game.question.panel = panelInterface;
  if (game.states.inGame == 1)
    game.setInGameState(k_stateQuestion);
  else
    game.setState(k_stateQuestion);
  // The set-up runs now, in the frame that asked; in a match the state
  // change has run it already.
  if (game.states.subState == k_subStateInit) updateQuestion(game);
  if (defaultEntry >= 0) selectMenuEntryById(game, static_cast<uint32_t>(defaultEntry));
}

void updateQuestion(cGame& game) {
  if (game.states.subState == k_subStateDestroy) {
    // Over a match the question's panel went into the saved background:
    // the table's panels are drawn into it again.
    if (game.states.inGame == 1) game.table.panelRedraw = 1;
    return;
  }
  const int32_t action = game.question.action;
  if (game.states.subState == k_subStateInit) {
    selectInterface(game, k_interfaceQuestion);
    copyInterfacePanel(game, game.question.panel, k_interfaceQuestion);
    for (int32_t k = 0; k < 3; ++k) {
      setElementVisible(game, k_questionItemMarks + k, action == kBuyItem);
      setElementVisible(game, k_questionNoteBox + k, action == kBuyItem || action == kOption8Offer);
    }
    FrontEndScreen s;
    s.interfaceId = k_interfaceQuestion;
    s.menu = kYesNo;
    s.listElement = k_questionList;
    s.count = 2;
    setUpScreen(game, s);
    return;
  }
  if (game.question.resetSelection) {
    game.question.resetSelection = 0;
    game.menu.selection = -1;
  }
  const int32_t id = updateScreen(game);
  if (id == k_textYes)
    answerQuestionYes(game);
  else if (id == k_textNo)
    answerQuestionNo(game);
  else if (id < 0)
    answerQuestionBack(game);
}

void leaveQuestion(cGame& game, int32_t state) {
  if (game.states.inGame == 1)
    game.setInGameState(state);
  else
    game.setState(state);
}

void answerQuestionYes(cGame& game) {
  switch (game.question.action) {
    case kExit:
      if (game.match.gameType == k_gameTypeTutorial) {
        game.tutorial.left = 1;
        saveSettings(game);
      }
      game.setState(k_stateNone);
      game.loading.quitRequested = 1;
      if (AppletGameBridge* bridge = getAppletGameBridge())
        if (bridge->getGame() == static_cast<GameBase*>((&game))) bridge->requestQuit();
      break;
    case kResetAll:
      resetSettings(game);
      resetProgress(game);
      leaveQuestion(game, k_stateOptions);
      break;
    case kQuitMatch:
      if (game.match.gameType == k_gameTypeTutorial) {
        game.tutorial.left = 1;
        saveSettings(game);
      }
      game.frontEnd.menusOverMatch = 0;
      resumeMusic(game);
      game.setState(k_stateMainMenuLoading);
      break;
    case kRestartMatch:
      clearAchievementNotices(game);
      game.challenges.ended = 0;
      game.frontEnd.menusOverMatch = 0;
      resumeMusic(game);
      if (game.sound.enabled) game.stopAllSounds();
      game.setInGameState(k_stateMatchInit);
      break;
    case kBuyItem:
      buyShopItem(*(&game));
      leaveQuestion(game, k_stateItemBought);
      break;
    case kTutorialOffer:
      startTutorial(game, 0);
      break;
    case kEquipItem:
      equipShopItem(*(&game));
      leaveQuestion(game, game.question.returnState);
      break;
    case kChallengeDemo:
      launchChallengeDemo(game);
      break;
    case kPushOutOffer:
      answerPushOutOffer(game, true);
      game.popState();
      break;
    case kPushOutPlay:
      answerPushOutPlay(game);
      game.popState();
      break;
    case kOption8Offer:
      game.career.option8 = 1;
      saveSettings(game);
      game.setInGameState(k_stateAfterShot);
      break;
    case kQuitTournament:
      // Leaving with the cup won pays for it and shows the prize first.
      if (game.tournaments.draw.isFinished()) {
        payTournamentPrize(game);
        leaveQuestion(game, k_stateTournamentPrize);
      } else {
        leaveQuestion(game, k_stateTournamentMenu);
      }
      break;
    default:
      // An action nobody asks with: back where the question came from.
      leaveQuestion(game, game.question.returnState);
      break;
  }
}

void answerQuestionNo(cGame& game) {
  switch (game.question.action) {
    case kPushOutOffer:
      answerPushOutOffer(game, false);
      game.popState();
      break;
    case kPushOutPlay:
      answerPushOutPlay(game);
      switchPlayer(game);
      game.popState();
      break;
    case kChallengeDemo:
      game.setInGameState(k_stateInGameQuestion);
      break;
    case kOption8Offer:
      game.career.option8 = 0;
      saveSettings(game);
      game.setInGameState(game.question.returnState);
      break;
    case kQuitTournament:
      game.tournaments.bracketResumes = 1;
      game.setState(k_stateTournamentStage);
      break;
    default:
      leaveQuestion(game, game.question.returnState);
      break;
  }
}

void answerQuestionBack(cGame& game) {
  const int32_t action = game.question.action;
  if (isMatchQuestion(action)) {
    game.question.pendingAction = action;
    enterIGM(game);
  } else if (action == kQuitTournament && game.states.inGame != 1) {
    game.tournaments.bracketResumes = 1;
    game.setState(k_stateTournamentStage);
  } else {
    leaveQuestion(game, game.question.returnState);
  }
}

void paintQuestion(cGame& game, Graphics* g) {
  if (game.states.subState == k_subStateDestroy) return;
  const int32_t action = game.question.action;
  const bool tournamentNote = action == kQuitTournament || ((action == kExit || action == kQuitMatch) &&
                                                            game.match.gameType == k_gameTypeTournament);
  if (tournamentNote)
    for (int32_t k = 0; k < 3; ++k) setElementVisible(game, k_questionNoteBox + k, true);
  paintScreen(game, g, -1, -1);
  if (action == kBuyItem)
    for (int32_t c = 0; c < 3; ++c) {
      paintRatingBar(*(&game), k_interfaceQuestion, k_questionRatingBars + c, c);
      drawElementText(game, k_questionCategories + c, k_textShopCategory0 + c);
    }
  drawElementText(game, k_questionTitle, game.question.title);
  if (action == kBuyItem) {
    textBufferSetString(game, k_textBuyBody);
    replaceTextTagWithText(game, getShopItemNameText(*(&game), game.shop.currentItem));
    replaceTextTagWithText(game, k_textMoney);
    setTextParam(game, 0, getShopItemPrice(*(&game), game.shop.currentItem));
    drawElementStringLen(game, k_questionBody, game.text.strings.work, game.text.strings.workLength, -1);
  } else {
    drawElementText(game, k_questionBody, game.question.body);
  }
  if (action == kOption8Offer) drawElementText(game, k_questionNote, k_textOption8Note);
  if (tournamentNote)
    drawElementText(game, k_questionNote,
                    action == kQuitTournament && game.tournaments.draw.isFinished() ? k_textCupKeptNote
                                                                                      : k_textTournamentNote);
  paintMenu(game);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapQuestion(cGame& g) {
  if (g.question.action < 0 || g.question.action > 14) return;
  const Rect rows[] = {row(150, 40), row(202, 40)};
  menuRows(g, rows, 2);
}

}  // namespace

const cGameScreen k_screenQuestion = {k_stateQuestion, updateQuestion, paintQuestion, mapQuestion};

void openQuestion(cGame& game, int32_t title, int32_t body, int32_t returnState, int32_t action,
                  int32_t panelInterface) {
  openQuestion(game, title, body, returnState, action, panelInterface, -1);
}
