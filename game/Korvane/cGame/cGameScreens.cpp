#include "game/Korvane/cGame/cGameScreens.h"

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameStates.h"

const cGameScreen* cGameScreenTable::find(int32_t state) const {
  for (int32_t i = 0; i < count; ++i)
    if (entries[i].state == state) return &entries[i];
  return nullptr;
}

const cGameScreen* findScreen(const cGameScreenTable* frontEnd, const cGameScreenTable* inGame, int32_t state) {
  const cGameScreen* row = frontEnd ? frontEnd->find(state) : nullptr;
  return row ? row : inGame ? inGame->find(state) : nullptr;
}

namespace {
// One row per screen: { state, update, paint, mapTouch }. States 0 and 5
// are handled by the dispatch itself.
const cGameScreen kFrontEnd[] = {
    {k_stateLogo, [](cGame& g) { g.updateLogo(); }, [](cGame& g, Graphics* t) { g.paintLogo(t); }, nullptr},
    {k_stateMainMenuLoading, [](cGame& g) { g.updateMainMenuLoading(); },
     [](cGame& g, Graphics* t) { g.paintMainMenuLoading(t); }, nullptr},
    {k_stateGameLoading, [](cGame& g) { g.updateGameLoading(); }, [](cGame& g, Graphics* t) { g.paintGameLoading(t); },
     nullptr},
    {k_stateFirstRunQuestion, [](cGame& g) { g.updateSoundQuestion(); },
     [](cGame& g, Graphics* t) { g.paintSoundQuestion(t); }, nullptr},
    {k_stateTitle, [](cGame& g) { g.updateTitle(); }, [](cGame& g, Graphics* t) { g.paintTitle(t); }, nullptr},
    {k_stateMainMenu, [](cGame& g) { g.updateMainMenu(); }, [](cGame& g, Graphics* t) { g.paintMainMenu(t); }, nullptr},
    {k_stateQuestion, [](cGame& g) { g.updateQuestion(); }, [](cGame& g, Graphics* t) { g.paintQuestion(t); }, nullptr},
    {k_stateOptions, [](cGame& g) { g.updateOptions(); }, [](cGame& g, Graphics* t) { g.paintOptions(t); }, nullptr},
    {k_stateAchievementMenu, [](cGame& g) { g.updateAchievementCategories(); },
     [](cGame& g, Graphics* t) { g.paintAchievementCategories(t); }, nullptr},
    {k_stateAchievementList, [](cGame& g) { g.updateAchievementList(); },
     [](cGame& g, Graphics* t) { g.paintAchievementList(t); }, nullptr},
    // Match set-up.
    {k_stateRulesChoice, [](cGame& g) { g.updateRulesSelection(); },
     [](cGame& g, Graphics* t) { g.paintRulesSelection(t); }, nullptr},
    {k_stateCharacterSelect, [](cGame& g) { g.updateCharacterSelection(); },
     [](cGame& g, Graphics* t) { g.paintCharacterSelection(t); }, nullptr},
    {k_statePlayerChoice, [](cGame& g) { g.updatePlayerChoice(); },
     [](cGame& g, Graphics* t) { g.paintPlayerChoice(t); }, nullptr},
    {k_stateTableChoice, [](cGame& g) { g.updateTableSelection(); },
     [](cGame& g, Graphics* t) { g.paintTableSelection(t); }, nullptr},
    {k_stateStakeChoice, [](cGame& g) { g.updateStakeSelection(); },
     [](cGame& g, Graphics* t) { g.paintStakeSelection(t); }, nullptr},
    {k_stateVersus, [](cGame& g) { g.updateVersus(); }, [](cGame& g, Graphics* t) { g.paintVersus(t); }, nullptr},
    // Career hub.
    {k_stateCareerCharacterSelect, [](cGame& g) { g.updateCareerCharacterSelection(); },
     [](cGame& g, Graphics* t) { g.paintCareerCharacterSelection(t); }, nullptr},
    {k_stateCareerIntro, [](cGame& g) { g.updateCareerIntro(); }, [](cGame& g, Graphics* t) { g.paintCareerIntro(t); },
     nullptr},
    {k_statePub, [](cGame& g) { g.updatePub(); }, [](cGame& g, Graphics* t) { g.paintPub(t); }, nullptr},
    // Help and about.
    {k_stateHelpMenu, [](cGame& g) { g.updateHelpMenu(); }, [](cGame& g, Graphics* t) { g.paintHelpMenu(t); }, nullptr},
    {k_stateTutorialChoice, [](cGame& g) { g.updateTutorialSelection(); },
     [](cGame& g, Graphics* t) { g.paintTutorialSelection(t); }, nullptr},
    {k_stateHelpText, [](cGame& g) { g.updateHelpPage(); }, [](cGame& g, Graphics* t) { g.paintHelpPage(t); }, nullptr},
    {k_stateAbout, [](cGame& g) { g.updateAbout(); }, [](cGame& g, Graphics* t) { g.paintAbout(t); }, nullptr},
    // The shop.
    {k_stateShop, [](cGame& g) { g.updateShop(); }, [](cGame& g, Graphics* t) { g.paintShop(t); }, nullptr},
    {k_stateItemBought, [](cGame& g) { g.updateItemBought(); }, [](cGame& g, Graphics* t) { g.paintItemBought(t); },
     nullptr},
    {k_stateShopExplanation, [](cGame& g) { g.updateShopExplanation(); },
     [](cGame& g, Graphics* t) { g.paintShopExplanation(t); }, nullptr},
    // Career progress (340 and 350 also open over a match).
    {k_stateChallengeUnlocked, [](cGame& g) { g.updateChallengeUnlocked(); },
     [](cGame& g, Graphics* t) { g.paintChallengeUnlocked(t); }, nullptr},
    {k_stateCharacterUnlocked, [](cGame& g) { g.updateCharacterUnlocked(); },
     [](cGame& g, Graphics* t) { g.paintCharacterUnlocked(t); }, nullptr},
    {k_stateCareerComplete, [](cGame& g) { g.updateCareerComplete(); },
     [](cGame& g, Graphics* t) { g.paintCareerComplete(t); }, nullptr},
    // Tournaments.
    {k_stateTournamentMenu, [](cGame& g) { g.updateTournamentSelection(); },
     [](cGame& g, Graphics* t) { g.paintTournamentSelection(t); }, nullptr},
    {k_stateTournamentFieldChoice, [](cGame& g) { g.updateTournamentFieldChoice(); },
     [](cGame& g, Graphics* t) { g.paintTournamentFieldChoice(t); }, nullptr},
    {k_stateTournamentCharacterSelect, [](cGame& g) { g.updateTournamentOpponentSelection(); },
     [](cGame& g, Graphics* t) { g.paintTournamentOpponentSelection(t); }, nullptr},
    {k_stateTournamentFieldConfirm, [](cGame& g) { g.updateTournamentFieldConfirm(); },
     [](cGame& g, Graphics* t) { g.paintTournamentFieldConfirm(t); }, nullptr},
    {k_stateTournamentStage, [](cGame& g) { g.updateTournamentBracket(); },
     [](cGame& g, Graphics* t) { g.paintTournamentBracket(t); }, nullptr},
    {k_stateTournamentPrize, [](cGame& g) { g.updateTournamentPrize(); },
     [](cGame& g, Graphics* t) { g.paintTournamentPrize(t); }, nullptr},
    // Challenges.
    {k_stateChallengeMenu, [](cGame& g) { g.updateChallengeCategories(); },
     [](cGame& g, Graphics* t) { g.paintChallengeCategories(t); }, nullptr},
    {k_stateChallengeList, [](cGame& g) { g.updateChallengeList(); },
     [](cGame& g, Graphics* t) { g.paintChallengeList(t); }, nullptr},
};
const cGameScreen kInGame[] = {
    {k_stateNone, nullptr, nullptr, nullptr},
    // Over a paused match: set-up in sub-state 0, running in 30, nothing in 20.
    {k_stateQuestion, [](cGame& g) { g.updateQuestion(); }, [](cGame& g, Graphics* t) { g.paintQuestion(t); }, nullptr},
    {k_stateOptions, [](cGame& g) { g.updateOptions(); }, [](cGame& g, Graphics* t) { g.paintOptions(t); }, nullptr},
    // Match start, over the table.
    {k_stateBet, [](cGame& g) { g.updateBetScreen(); }, [](cGame& g, Graphics* t) { g.paintBetScreen(t); }, nullptr},
    {k_stateCoinToss, [](cGame& g) { g.updateCoinToss(); }, [](cGame& g, Graphics* t) { g.paintCoinToss(t); }, nullptr},
    {k_stateBreakChoice, [](cGame& g) { g.updateBreakChoice(); },
     [](cGame& g, Graphics* t) { g.paintBreakChoice(t); }, nullptr},
    // Help and about.
    {k_stateHelpMenu, [](cGame& g) { g.updateHelpMenu(); }, [](cGame& g, Graphics* t) { g.paintHelpMenu(t); }, nullptr},
    {k_stateHelpText, [](cGame& g) { g.updateHelpPage(); }, [](cGame& g, Graphics* t) { g.paintHelpPage(t); }, nullptr},
    // In-game menus and the end of a match.
    {k_stateIGM, [](cGame& g) { g.updateIGM(); }, [](cGame& g, Graphics* t) { g.paintIGM(t); }, nullptr},
    {k_stateCheatMenu, [](cGame& g) { g.updateCheatMenu(); }, [](cGame& g, Graphics* t) { g.paintCheatMenu(t); },
     nullptr},
    {k_stateQuestionMenu, [](cGame& g) { g.updateQuestionMenu(); },
     [](cGame& g, Graphics* t) { g.paintQuestionMenu(t); }, nullptr},
    {k_stateInGameQuestion, [](cGame& g) { g.updateRetryQuestion(); },
     [](cGame& g, Graphics* t) { g.paintRetryQuestion(t); }, nullptr},
    {k_statePostMatchMenu, [](cGame& g) { g.updatePostMatchMenu(); },
     [](cGame& g, Graphics* t) { g.paintPostMatchMenu(t); }, nullptr},
    {k_stateContinue, [](cGame& g) { g.updateContinueScreen(); },
     [](cGame& g, Graphics* t) { g.paintContinueScreen(t); }, nullptr},
    {k_stateGameOver, [](cGame& g) { g.updateMatchResult(); }, [](cGame& g, Graphics* t) { g.paintMatchResult(t); },
     nullptr},
    // The rule sets' help, from the help menu of a paused match.
    {k_stateRulesChoice, [](cGame& g) { g.updateRulesSelection(); },
     [](cGame& g, Graphics* t) { g.paintRulesSelection(t); }, nullptr},
};
}  // namespace

const cGameScreenTable k_frontEndScreens = {kFrontEnd, static_cast<int32_t>(sizeof kFrontEnd / sizeof kFrontEnd[0])};
const cGameScreenTable k_inGameScreens = {kInGame, static_cast<int32_t>(sizeof kInGame / sizeof kInGame[0])};
