// The game's screens as rows: update, paint and touch mapping of a state,
// looked up by state number. The front-end table serves states run by the
// front-end dispatch, the in-game table the screens run over a match, and
// the match table the match's own states (the table, its gauges and the
// boxes over it). A screen's row lives in its file under
// game/Korvane/cGameInterfaces/ beside its update, paint and touch mapping;
// the tables (cGameScreens.cpp) list the rows.
#pragma once

#include <cstdint>

class cGame;
class Graphics;

struct cGameScreen {
  int32_t state;
  void (*update)(cGame& game);
  void (*paint)(cGame& game, Graphics* target);
  // Turns this frame's touches into keys; null: the match state's row's
  // mapping, else a tap is key 4.
  void (*mapTouch)(cGame& game) = nullptr;
  // Rows of the match table: the entry step (sub-state 0) and the leave
  // step (20); their update is the running step (30). A screen's update
  // runs every step itself.
  void (*enter)(cGame& game) = nullptr;
  void (*leave)(cGame& game) = nullptr;
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
extern const cGameScreenTable k_matchScreens;

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
// The match's own states, in the files of game/Korvane/cGameInterfaces/.
// NewMatch.cpp: the new match, its notices, the start dispatch, the opponent's greeting.
extern const cGameScreen k_screenMatchInit, k_screenMatchNotices, k_screenStartDispatch, k_screenOpponentIntro;
// BallInHand.cpp: the human's and the computer's ball in hand.
extern const cGameScreen k_screenHumanBallInHandStart, k_screenBallInHand, k_screenComputerBallInHand;
// Aiming.cpp, SpinSelector.cpp, ShotPower.cpp (the gauge and the stroke), ComputerShot.cpp.
extern const cGameScreen k_screenAim, k_screenSpinSelector, k_screenShotPower, k_screenStroke, k_screenComputerShot;
// BallsMoving.cpp; AfterShot.cpp (the lag, the UK break choice, the push-out).
extern const cGameScreen k_screenBallsMoving, k_screenAfterShot;
// FrameEnd.cpp: the frame won and the rival's result lines.
extern const cGameScreen k_screenFrameWon, k_screenResultLines;
// MatchMessages.cpp: the message box and the lesson's and challenge's openings and end.
extern const cGameScreen k_screenMessageBox, k_screenTutorialLessonIntro, k_screenChallengeIntro,
    k_screenTutorialFinished;
