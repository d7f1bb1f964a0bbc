// The five tutorial lessons: text ids of each lesson's words and the ball
// whose aim the coach waits for.
#pragma once

#include <cstdint>

constexpr int32_t kTutorialLessonCount = 5;

enum TutorialWord : int32_t {
  k_lessonTitle = 0,
  k_lessonIntro = 1,
  k_lessonAimReached = 2,
  k_lessonPassed = 3,
  k_lessonFailed = 4,
  k_lessonExtra = 5,  // the spin, masse or combination text; lesson 0 has none
};

struct TutorialLesson {
  const int32_t* words;
  int32_t wordCount;
  int32_t targetBall;
};

extern const TutorialLesson k_tutorialLessons[kTutorialLessonCount];

// Word w of a lesson, -1 when the lesson or the word does not exist.
int32_t tutorialLessonWord(int32_t lesson, int32_t word);

class cGame;
struct Question;
class Graphics;

void checkTutorialAimTarget(cGame& game);
void checkTutorialShotResult(cGame& game);
void onTutorialAimInverted(cGame& game);
void onTutorialMasse(cGame& game);
bool tutorialSpinLocked(cGame& game);
bool tutorialMasseLocked(cGame& game);
void openTutorialSpinText(cGame& game);
void updateTutorialTextBox(cGame& game);
// Closes the box at once, whatever its page.
void closeTutorialTextBox(cGame& game);
void clearTutorialWait(cGame& game);
void returnFromTutorial(cGame& game);
int32_t getTutorialLessonText(cGame& game, int32_t word);
void startTutorial(cGame& game, int32_t lesson);
// Offered before the first career match: yes starts the first lesson, no
// goes to the screen after the tutorial (400).
extern const Question k_questionTutorialOffer;
void startTutorialLesson(cGame& game);
// tutorial (cGameTutorial.cpp): the lesson's set-up, its coach's
// messages and text box, and what follows a lesson's shot.
void checkTutorialComboAim(cGame& game);
void openTutorialMasseText(cGame& game);
void openTutorialTextBox(cGame& game, int32_t textId);
void showTutorialMessage(cGame& game, int32_t textId, bool coach);
void paintTutorialTextBox(cGame& game, Graphics* g);

struct TutorialState {
  int32_t target = -1;  // the ball whose aim is still to be reached, -1 none
  int32_t textPage = 0;
  int32_t textPages = 1;
  uint8_t textMorePages = 0;
  int32_t savedGameType = -1;  // the match the tutorial was started from
  int32_t savedRuleSet = 0;
  uint8_t started = 0;
  uint8_t textBoxOpen = 0;
  int32_t textId = -1;
  uint8_t awaitsTitle = 0;
  // Settings byte 22: the tutorial-exit flag.
  uint8_t left = 0;
};
