// Game states and sub-states.
#pragma once

#include <cstdint>

constexpr int32_t k_stateNone = -1;
constexpr int32_t k_stateStart = 0;
constexpr int32_t k_stateLoadInit = 5;
constexpr int32_t k_stateLogo = 10;
constexpr int32_t k_stateMainMenuLoading = 20;
constexpr int32_t k_stateFirstRunQuestion = 30;
constexpr int32_t k_stateTitle = 40;
constexpr int32_t k_stateMainMenu = 50;
constexpr int32_t k_stateQuestion = 60;
constexpr int32_t k_stateOptions = 70;
constexpr int32_t k_stateRulesChoice = 80;
constexpr int32_t k_stateCharacterSelect = 90;
constexpr int32_t k_statePlayerChoice = 100;
constexpr int32_t k_statePub = 110;
constexpr int32_t k_stateHelpMenu = 120;
constexpr int32_t k_stateTutorialChoice = 130;
constexpr int32_t k_stateTournamentMenu = 140;
constexpr int32_t k_stateCareerCharacterSelect = 150;
constexpr int32_t k_stateCareerIntro = 160;
constexpr int32_t k_stateChallengeMenu = 170;
constexpr int32_t k_stateChallengeList = 180;
constexpr int32_t k_stateTournamentCharacterSelect = 190;
constexpr int32_t k_stateTournamentStage = 200;
constexpr int32_t k_stateVersus = 210;
constexpr int32_t k_stateTableChoice = 220;
constexpr int32_t k_stateStakeChoice = 230;
constexpr int32_t k_stateHelpText = 240;
constexpr int32_t k_stateAchievementMenu = 250;
constexpr int32_t k_stateAchievementList = 260;
constexpr int32_t k_stateShop = 270;
constexpr int32_t k_stateGameOver = 280;
constexpr int32_t k_stateAbout = 290;
constexpr int32_t k_stateIGM = 300;
constexpr int32_t k_stateCheatMenu = 310;
constexpr int32_t k_stateInGameQuestion = 320;
constexpr int32_t k_stateItemBought = 330;
constexpr int32_t k_stateChallengeUnlocked = 340;
constexpr int32_t k_stateCharacterUnlocked = 350;
constexpr int32_t k_statePostMatchMenu = 360;
constexpr int32_t k_stateGameLoading = 370;
constexpr int32_t k_stateQuestionMenu = 380;
constexpr int32_t k_stateTournamentPrize = 390;
constexpr int32_t k_stateContinue = 400;
constexpr int32_t k_stateTournamentFieldChoice = 410;
constexpr int32_t k_stateTournamentFieldConfirm = 420;
constexpr int32_t k_stateShopExplanation = 430;
constexpr int32_t k_stateCareerComplete = 440;

// In-game states (run by the in-game update).
constexpr int32_t k_stateMatchInit = 500;
constexpr int32_t k_stateOpponentIntro = 505;
constexpr int32_t k_stateResultLines = 506;
constexpr int32_t k_stateBallInHand = 510;
constexpr int32_t k_stateAim = 520;
constexpr int32_t k_stateShotPower = 530;
constexpr int32_t k_stateStroke = 540;
constexpr int32_t k_stateBallsMoving = 550;
constexpr int32_t k_stateAfterShot = 560;
constexpr int32_t k_stateFrameWon = 580;
constexpr int32_t k_stateHumanBallInHandStart = 590;
constexpr int32_t k_stateComputerBallInHand = 600;
constexpr int32_t k_stateComputerShot = 610;
constexpr int32_t k_stateSpinSelector = 620;
constexpr int32_t k_stateMessageBox = 630;
constexpr int32_t k_stateMatchNotices = 640;
constexpr int32_t k_stateStartDispatch = 650;
constexpr int32_t k_stateBet = 700;
constexpr int32_t k_stateCoinToss = 710;
constexpr int32_t k_stateBreakChoice = 720;
constexpr int32_t k_stateTutorialLessonIntro = 800;
constexpr int32_t k_stateChallengeIntro = 810;
constexpr int32_t k_stateTutorialFinished = 820;

// The in-game states' range: the states the in-game update runs for a match.
constexpr int32_t k_stateMatchFirst = 500;
constexpr int32_t k_stateMatchLast = 899;
constexpr bool isMatchState(int32_t state) { return state >= k_stateMatchFirst && state <= k_stateMatchLast; }

// Sub-states: front-end screens run Init then Update; in-game states run
// Init (entry), InGameUpdate (running) and Destroy (leave).
constexpr int32_t k_subStateInit = 0;
constexpr int32_t k_subStateUpdate = 10;
constexpr int32_t k_subStateDestroy = 20;
constexpr int32_t k_subStateInGameUpdate = 30;

constexpr int32_t k_stateStackSize = 4;

struct StateMachine {
  int32_t gameState = k_stateNone;
  int32_t subState = 0;
  int32_t stateSpare = 0;
  int32_t previousState = 0;
  int32_t inGame = 0;
  uint32_t stateEntryTime = 0;
  uint8_t screenFlags[4] = {};
  int32_t redrawCounters[2] = {};
  int32_t stateStack[k_stateStackSize] = {};
  int32_t stackDepth = 0;
};

struct FrameClock {
  int32_t waitCounter = 0;
  uint32_t gameClock = 0;
  int32_t frontEndFrameCount = 0;
  int32_t paintFrameCount = 0;
  int32_t frameTime = 0;
  int32_t frameSpare = 0;
  uint32_t lastTick = 0;
  uint8_t suspended = 0;
};
