#include "game/Korvane/cGame/cGameScreens.h"

#include "game/Korvane/cGame/cGameStates.h"

const cGameScreen* cGameScreenTable::find(int32_t state) const {
  for (int32_t i = 0; i < count; ++i)
    if (rows[i]->state == state) return rows[i];
  return nullptr;
}

const cGameScreen* findScreen(const cGameScreenTable* frontEnd, const cGameScreenTable* inGame, int32_t state) {
  const cGameScreen* row = frontEnd ? frontEnd->find(state) : nullptr;
  return row ? row : inGame ? inGame->find(state) : nullptr;
}

namespace {
// States 0 and 5 are handled by the dispatch itself.
const cGameScreen* const kFrontEnd[] = {
    &k_screenLogo, &k_screenMainMenuLoading, &k_screenGameLoading, &k_screenFirstRunQuestion, &k_screenTitle,
    &k_screenMainMenu, &k_screenQuestion, &k_screenOptions, &k_screenAchievementMenu, &k_screenAchievementList,
    // Match set-up.
    &k_screenRulesChoice, &k_screenCharacterSelect, &k_screenPlayerChoice, &k_screenTableChoice,
    &k_screenStakeChoice, &k_screenVersus,
    // Career hub.
    &k_screenCareerCharacterSelect, &k_screenCareerIntro, &k_screenPub,
    // Help and about.
    &k_screenHelpMenu, &k_screenTutorialChoice, &k_screenHelpText, &k_screenAbout,
    // The shop.
    &k_screenShop, &k_screenItemBought, &k_screenShopExplanation,
    // Career progress (340 and 350 also open over a match).
    &k_screenChallengeUnlocked, &k_screenCharacterUnlocked, &k_screenCareerComplete,
    // Tournaments.
    &k_screenTournamentMenu, &k_screenTournamentFieldChoice, &k_screenTournamentCharacterSelect,
    &k_screenTournamentFieldConfirm, &k_screenTournamentStage, &k_screenTournamentPrize,
    // Challenges.
    &k_screenChallengeMenu, &k_screenChallengeList,
};
// The match itself (no state) runs the in-game update alone.
const cGameScreen kNoScreen = {k_stateNone, nullptr, nullptr, nullptr};
const cGameScreen* const kInGame[] = {
    &kNoScreen,
    // Over a paused match: set-up in sub-state 0, running in 30, nothing in 20.
    &k_screenQuestion, &k_screenOptions,
    // Match start, over the table.
    &k_screenBet, &k_screenCoinToss, &k_screenBreakChoice,
    // Help and about.
    &k_screenHelpMenu, &k_screenHelpText,
    // In-game menus and the end of a match.
    &k_screenIGM, &k_screenCheatMenu, &k_screenQuestionMenu, &k_screenInGameQuestion, &k_screenPostMatchMenu,
    &k_screenContinue, &k_screenGameOver,
    // The rule sets' help, from the help menu of a paused match.
    &k_screenRulesChoice,
};
// The match's own states, in the order a match runs them.
const cGameScreen* const kMatch[] = {
    // The start of a match.
    &k_screenMatchInit, &k_screenMatchNotices, &k_screenStartDispatch, &k_screenOpponentIntro,
    &k_screenTutorialLessonIntro, &k_screenChallengeIntro,
    // A turn.
    &k_screenHumanBallInHandStart, &k_screenBallInHand, &k_screenComputerBallInHand, &k_screenAim,
    &k_screenSpinSelector, &k_screenShotPower, &k_screenComputerShot, &k_screenStroke, &k_screenBallsMoving,
    &k_screenAfterShot,
    // Boxes pushed over a turn.
    &k_screenMessageBox,
    // The end of a frame.
    &k_screenFrameWon, &k_screenResultLines, &k_screenTutorialFinished,
};
}  // namespace

const cGameScreenTable k_frontEndScreens = {kFrontEnd, static_cast<int32_t>(sizeof kFrontEnd / sizeof kFrontEnd[0])};
const cGameScreenTable k_inGameScreens = {kInGame, static_cast<int32_t>(sizeof kInGame / sizeof kInGame[0])};
const cGameScreenTable k_matchScreens = {kMatch, static_cast<int32_t>(sizeof kMatch / sizeof kMatch[0])};
