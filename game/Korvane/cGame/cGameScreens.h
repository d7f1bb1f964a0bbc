// The game's screens as rows: update, paint and touch mapping of a state,
// looked up by state number. The front-end table serves states run by the
// front-end dispatch, the in-game table those run by the in-game update. A
// screen's row lives in its file under game/Korvane/cGameInterfaces/ beside
// its update, paint and touch mapping; the tables (cGameScreens.cpp) list
// the rows.
#pragma once

#include <cstdint>

class cGame;
class Graphics;

struct cGameScreen {
  int32_t state;
  void (*update)(cGame& game);
  void (*paint)(cGame& game, Graphics* target);
  // Turns this frame's touches into keys; null: the in-match mapping of
  // cGameStylus.cpp.
  void (*mapTouch)(cGame& game) = nullptr;
};

struct cGameScreenTable {
  const cGameScreen* const* rows;
  int32_t count;

  // The row of a state, or null when the state has no screen here.
  const cGameScreen* find(int32_t state) const;
};

// The row of a state in either table (front end first), or null.
const cGameScreen* findScreen(const cGameScreenTable* frontEnd, const cGameScreenTable* inGame, int32_t state);

extern const cGameScreenTable k_frontEndScreens;
extern const cGameScreenTable k_inGameScreens;

// The rows, by state (k_screenX is the row of k_stateX), in the files of
// game/Korvane/cGameInterfaces/.
// Start-up and loading: cGamePelloranLogo.cpp, Loading.cpp, SoundQuestion.cpp, Title.cpp.
extern const cGameScreen k_screenLogo, k_screenMainMenuLoading, k_screenGameLoading, k_screenFirstRunQuestion,
    k_screenTitle;
// MainMenu.cpp, Question.cpp, Options.cpp.
extern const cGameScreen k_screenMainMenu, k_screenQuestion, k_screenOptions;
// Achievements.cpp.
extern const cGameScreen k_screenAchievementMenu, k_screenAchievementList;
// Match set-up: MatchSetup.cpp.
extern const cGameScreen k_screenRulesChoice, k_screenCharacterSelect, k_screenPlayerChoice, k_screenTableChoice,
    k_screenStakeChoice, k_screenVersus;
// Career hub: Pub.cpp.
extern const cGameScreen k_screenCareerCharacterSelect, k_screenCareerIntro, k_screenPub;
// Help and about: Help.cpp.
extern const cGameScreen k_screenHelpMenu, k_screenTutorialChoice, k_screenHelpText, k_screenAbout;
// The shop: Shop.cpp.
extern const cGameScreen k_screenShop, k_screenItemBought, k_screenShopExplanation;
// Career progress: Unlocks.cpp.
extern const cGameScreen k_screenChallengeUnlocked, k_screenCharacterUnlocked, k_screenCareerComplete;
// Tournaments: Tournament.cpp, TournamentBracket.cpp.
extern const cGameScreen k_screenTournamentMenu, k_screenTournamentFieldChoice, k_screenTournamentCharacterSelect,
    k_screenTournamentFieldConfirm, k_screenTournamentStage, k_screenTournamentPrize;
// Challenges: Challenges.cpp.
extern const cGameScreen k_screenChallengeMenu, k_screenChallengeList;
// Match start over the table: MatchStart.cpp.
extern const cGameScreen k_screenBet, k_screenCoinToss, k_screenBreakChoice;
// Over a match and after it: InGameMenu.cpp, AfterMatchMenus.cpp, MatchResult.cpp.
extern const cGameScreen k_screenIGM, k_screenCheatMenu, k_screenQuestionMenu, k_screenInGameQuestion,
    k_screenPostMatchMenu, k_screenContinue, k_screenGameOver;
