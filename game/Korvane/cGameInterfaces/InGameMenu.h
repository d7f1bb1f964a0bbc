// The record of the menus pushed over a match: the in-game menu (300), the
// cheat menu (310), the question menu (380) and the post-match menu (360).
#pragma once

#include <cstdint>

#include "game/Korvane/cGameInterfaces/Question.h"

struct InGameMenus {
  int32_t invisibleOptions = 0;  // hidden rows of the in-game menu
  uint8_t entry199Shown = 0;
  int32_t music = -1;           // music playing when the menu opened
  uint8_t skipHint = 0;         // the skip hint was shown when the menu opened
  uint8_t ballView = 0;         // the ball view was open when the menu opened
  int32_t cheatNotice = -1;     // 0-4, the last cheat used
  int32_t cheatNoticeLife = 0;  // ms
  // What the question menu returns to, and the question it asks.
  struct QuestionMenuSave {
    int32_t state = -1, subState = 0, music = -1, gameType = -1, ruleSet = 0;
    uint8_t pushed = 0;
    Question question;
  } questionMenuSave;
  uint8_t anotherMatch = 0;      // the post-match menu asked for another match
  uint32_t inputGeneration = 0;  // advanced by each menu change over a match
};

class cGame;
class Graphics;

void enterIGM(cGame& game);
void exitIGM(cGame& game);
void updateIGM(cGame& game);
void paintIGM(cGame& game, Graphics* g);
void updateCheatMenu(cGame& game);
void paintCheatMenu(cGame& game, Graphics* g);
void applyCheat(cGame& game, int32_t id);
// The question menu (380) asks the turn flow's questions over the table; the
// question comes back to it, and a pushed menu returns to the state under it.
void enterQuestionMenu(cGame& game, const Question& question, bool push);
void backFromQuestionMenu(cGame& game);
void updateQuestionMenu(cGame& game);
void paintQuestionMenu(cGame& game, Graphics* g);
void updateRetryQuestion(cGame& game);
void paintRetryQuestion(cGame& game, Graphics* g);
void updatePostMatchMenu(cGame& game);
void paintPostMatchMenu(cGame& game, Graphics* g);
void updateContinueScreen(cGame& game);
void paintContinueScreen(cGame& game, Graphics* g);

void goToQuestionMenu(cGame& game, const Question& question);
// Back on a question asked over the match: the in-game menu opens over it,
// and leaving the menu asks the question again.
void openMenuOverQuestion(cGame& game);
// The menu's questions: quitting and restarting the match.
extern const Question k_questionQuitMatch, k_questionRestartMatch;
// The state under the in-game menu (the top of the stack), or -1.
int32_t stateUnderMenu(const cGame& game);

// The rows of the in-game menu, the cheat menu and the career post-match
// menu (with its descriptions); how long a cheat's notice stays.
extern const uint32_t k_igmMenuItems[5];
extern const uint32_t k_cheatMenuItems[5];
extern const uint32_t k_postMatchMenuItems[4];
extern const uint32_t k_postMatchDescriptions[4];
constexpr int32_t k_cheatNoticeLife = 3000;
