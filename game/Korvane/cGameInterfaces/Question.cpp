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

void cGame::openQuestion(int32_t title, int32_t body, int32_t returnState, int32_t action, int32_t panelInterface,
                         int32_t defaultEntry) {
  question.title = title;
  question.body = body;
  question.returnState = returnState;
  question.action = action;
  question.panel = panelInterface;
  if (m_inGame == 1)
    setInGameState(k_stateQuestion);
  else
    setState(k_stateQuestion);
  // The set-up runs now, in the frame that asked; in a match the state
  // change has run it already.
  if (m_subState == k_subStateInit) updateQuestion();
  if (defaultEntry >= 0) selectMenuEntryById(static_cast<uint32_t>(defaultEntry));
}

void cGame::updateQuestion() {
  if (m_subState == k_subStateDestroy) {
    // Over a match the question's panel went into the saved background:
    // the table's panels are drawn into it again.
    if (m_inGame == 1) panelRedraw = 1;
    return;
  }
  const int32_t action = question.action;
  if (m_subState == k_subStateInit) {
    selectInterface(k_interfaceQuestion);
    copyInterfacePanel(question.panel, k_interfaceQuestion);
    for (int32_t k = 0; k < 3; ++k) {
      setElementVisible(k_questionItemMarks + k, action == kBuyItem);
      setElementVisible(k_questionNoteBox + k, action == kBuyItem || action == kOption8Offer);
    }
    FrontEndScreen s;
    s.interfaceId = k_interfaceQuestion;
    s.menu = kYesNo;
    s.listElement = k_questionList;
    s.count = 2;
    setUpScreen(s);
    return;
  }
  if (question.resetSelection) {
    question.resetSelection = 0;
    m_menu.selection = -1;
  }
  const int32_t id = updateScreen();
  if (id == k_textYes)
    answerQuestionYes();
  else if (id == k_textNo)
    answerQuestionNo();
  else if (id < 0)
    answerQuestionBack();
}

void cGame::leaveQuestion(int32_t state) {
  if (m_inGame == 1)
    setInGameState(state);
  else
    setState(state);
}

void cGame::answerQuestionYes() {
  switch (question.action) {
    case kExit:
      if (gameType == 5) {
        m_tutorialLeft = 1;
        saveSettings();
      }
      setState(k_stateNone);
      m_quitRequested = 1;
      if (AppletGameBridge* bridge = getAppletGameBridge())
        if (bridge->getGame() == static_cast<GameBase*>(this)) bridge->requestQuit();
      break;
    case kResetAll:
      resetSettings();
      resetProgress();
      leaveQuestion(k_stateOptions);
      break;
    case kQuitMatch:
      if (gameType == 5) {
        m_tutorialLeft = 1;
        saveSettings();
      }
      m_menusOverMatch = 0;
      resumeMusic();
      setState(k_stateMainMenuLoading);
      break;
    case kRestartMatch:
      clearAchievementNotices();
      m_challengeEnded = 0;
      m_menusOverMatch = 0;
      resumeMusic();
      if (m_soundEnabled) stopAllSounds();
      setInGameState(k_stateMatchInit);
      break;
    case kBuyItem:
      buyShopItem();
      leaveQuestion(k_stateItemBought);
      break;
    case kTutorialOffer:
      startTutorial(0);
      break;
    case kEquipItem:
      equipShopItem();
      leaveQuestion(question.returnState);
      break;
    case kChallengeDemo:
      launchChallengeDemo();
      break;
    case kPushOutOffer:
      answerPushOutOffer(true);
      popState();
      break;
    case kPushOutPlay:
      answerPushOutPlay();
      popState();
      break;
    case kOption8Offer:
      m_option8 = 1;
      saveSettings();
      setInGameState(k_stateAfterShot);
      break;
    case kQuitTournament:
      // Quitting with the cup won still pays for it.
      if (m_tournament.isFinished()) payTournamentPrize();
      leaveQuestion(k_stateTournamentMenu);
      break;
    default:
      // An action nobody asks with: back where the question came from.
      leaveQuestion(question.returnState);
      break;
  }
}

void cGame::answerQuestionNo() {
  switch (question.action) {
    case kPushOutOffer:
      answerPushOutOffer(false);
      popState();
      break;
    case kPushOutPlay:
      answerPushOutPlay();
      switchPlayer();
      popState();
      break;
    case kChallengeDemo:
      setInGameState(k_stateInGameQuestion);
      break;
    case kOption8Offer:
      m_option8 = 0;
      saveSettings();
      setInGameState(question.returnState);
      break;
    case kQuitTournament:
      m_bracketResumes = 1;
      setState(k_stateTournamentStage);
      break;
    default:
      leaveQuestion(question.returnState);
      break;
  }
}

void cGame::answerQuestionBack() {
  const int32_t action = question.action;
  if (isMatchQuestion(action)) {
    question.pendingAction = action;
    enterIGM();
  } else if (action == kQuitTournament && m_inGame != 1) {
    m_bracketResumes = 1;
    setState(k_stateTournamentStage);
  } else {
    leaveQuestion(question.returnState);
  }
}

void cGame::paintQuestion(Graphics* g) {
  if (m_subState == k_subStateDestroy) return;
  const int32_t action = question.action;
  const bool tournamentNote = action == kQuitTournament || ((action == kExit || action == kQuitMatch) && gameType == 2);
  if (tournamentNote)
    for (int32_t k = 0; k < 3; ++k) setElementVisible(k_questionNoteBox + k, true);
  paintScreen(g, -1, -1);
  if (action == kBuyItem)
    for (int32_t c = 0; c < 3; ++c) {
      paintRatingBar(k_interfaceQuestion, k_questionRatingBars + c, c);
      drawElementText(k_questionCategories + c, k_textShopCategory0 + c);
    }
  drawElementText(k_questionTitle, question.title);
  if (action == kBuyItem) {
    textBufferSetString(k_textBuyBody);
    replaceTextTagWithText(getShopItemNameText(shop.currentItem));
    replaceTextTagWithText(k_textMoney);
    setTextParam(0, getShopItemPrice(shop.currentItem));
    drawElementStringLen(k_questionBody, m_text.work, m_text.workLength, -1);
  } else {
    drawElementText(k_questionBody, question.body);
  }
  if (action == kOption8Offer) drawElementText(k_questionNote, k_textOption8Note);
  if (tournamentNote) drawElementText(k_questionNote, k_textTournamentNote);
  paintMenu();
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

const cGameScreen k_screenQuestion = {k_stateQuestion, [](cGame& g) { g.updateQuestion(); },
                                      [](cGame& g, Graphics* t) { g.paintQuestion(t); }, mapQuestion};
