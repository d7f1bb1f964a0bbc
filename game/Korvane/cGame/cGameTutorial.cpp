// The tutorial: five lessons on fixed layouts, each led by the coach's
// messages. A lesson is set up at its frame start, reacts to the aim, the
// spin selector and masse with its texts, and after its one shot decides
// between the next lesson, the tutorial choice and the retry question.
#include "game/Korvane/cGame/cGameTutorial.h"

#include <algorithm>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"

namespace F = interfaceformat;

namespace {

constexpr uint32_t kOutWin = 0x8, kOutLose = 0x10;
constexpr int32_t kHintTextBoxClosed = 13;
constexpr int32_t kTextBoxAnchor = 0x110;  // left, top
constexpr int32_t kTextBoxPalette = 1;

constexpr int32_t kLesson0[5] = {55, 520, 521, 522, 523};
constexpr int32_t kLesson1[6] = {56, 524, 525, 527, 528, 526};
constexpr int32_t kLesson2[6] = {57, 529, 530, 532, 533, 531};
constexpr int32_t kLesson3[6] = {58, 534, 535, 537, 538, 536};
constexpr int32_t kLesson4[6] = {59, 539, 540, 542, 544, 541};

bool isLesson(int32_t lesson) { return lesson >= 0 && lesson < kTutorialLessonCount; }

void startFirstLesson(cGame& game) { startTutorial(game, 0); }

constexpr int32_t kActionTutorialOffer = 6;

}  // namespace

const Question k_questionTutorialOffer = {.title = k_textTutorialTitle,
                                          .body = k_textTutorialOffer,
                                          .returnState = k_stateContinue,
                                          .action = kActionTutorialOffer,
                                          .yes = startFirstLesson,
                                          .back = openMenuOverQuestion};

const TutorialLesson k_tutorialLessons[kTutorialLessonCount] = {
    {kLesson0, 5, 3}, {kLesson1, 6, 3}, {kLesson2, 6, 9}, {kLesson3, 6, 9}, {kLesson4, 6, 2},
};

int32_t tutorialLessonWord(int32_t lesson, int32_t word) {
  if (!isLesson(lesson)) return -1;
  const TutorialLesson& l = k_tutorialLessons[lesson];
  return word >= 0 && word < l.wordCount ? l.words[word] : -1;
}

int32_t getTutorialLessonText(cGame& game, int32_t word) { return tutorialLessonWord(game.match.lessonNumber, word); }

// ---- starting and leaving

void startTutorial(cGame& game, int32_t lesson) {
  if (!isLesson(lesson)) return;
  // The match the lessons interrupt comes back when they are over.
  if (game.match.gameType != k_gameTypeTutorial) {
    game.tutorial.savedGameType = game.match.gameType;
    game.tutorial.savedRuleSet = game.match.ruleSet;
  }
  game.match.lessonNumber = lesson;
  game.tutorial.started = 1;
  game.match.gameType = k_gameTypeTutorial;
  placeBalls(game);
  game.setInGameState(k_stateMatchInit);
}

void startTutorialLesson(cGame& game) {
  // A lesson number out of range takes no layout (its group would be
  // another lesson's or a challenge's).
  startScriptedFrame(game, RuleState::kModeTutorial, isLesson(game.match.lessonNumber));
  game.rules.tutorialLocks[0] = game.match.lessonNumber < 1;
  game.rules.tutorialLocks[1] = game.match.lessonNumber < 2;
  game.tutorial.target = isLesson(game.match.lessonNumber) ? k_tutorialLessons[game.match.lessonNumber].targetBall : -1;
  game.tutorial.textBoxOpen = 0;
  game.stylus.spinArrowsLocked = 0;
  game.stylus.spinButtonHidden = game.rules.tutorialLocks[1];
  setInterfaceElementVisible(game, k_interfaceHud, k_elTutorialBox, false);
  game.table.guide.objectBall = -1;
}

void returnFromTutorial(cGame& game) {
  // Nothing to go back to: the lessons were not started from a match.
  if (game.tutorial.savedGameType < 0 || game.tutorial.savedGameType == k_gameTypeTutorial) {
    game.loading.pendingReturnState = k_stateTutorialChoice;
    game.setState(k_stateMainMenuLoading);
    return;
  }
  game.match.gameType = game.tutorial.savedGameType;
  game.match.ruleSet = game.tutorial.savedRuleSet;
  game.tutorial.savedGameType = -1;
  placeBalls(game);
  game.setInGameState(k_stateMatchInit);
}

// ---- locks

bool tutorialSpinLocked(cGame& game) {
  return game.match.gameType == k_gameTypeTutorial && game.rules.tutorialLocks[0];
}
bool tutorialMasseLocked(cGame& game) {
  return game.match.gameType == k_gameTypeTutorial && game.rules.tutorialLocks[1];
}

// ---- the coach's hooks

void checkTutorialAimTarget(cGame& game) {
  if (game.tutorial.target < 0) return;
  if (game.world.shot.aimChanged) computeAimGuide(game);
  if (game.table.guide.objectBall != game.tutorial.target) return;
  // Lesson 2 shows that the ball in the way is not the one to play.
  aimAtBall(game, game.match.lessonNumber == 2 ? 3 : game.tutorial.target, true);
  game.tutorial.target = -1;
  showTutorialMessage(game, getTutorialLessonText(game, k_lessonAimReached), true);
}

void checkTutorialComboAim(cGame& game) {
  if (game.match.lessonNumber != 4) return;
  if (game.world.shot.aimChanged) computeAimGuide(game);
  if (game.table.guide.objectBall != 2) return;
  aimAtBall(game, 3, false);
  showTutorialMessage(game, getTutorialLessonText(game, k_lessonExtra), true);
}

void onTutorialAimInverted(cGame& game) {
  if (game.match.gameType == k_gameTypeTutorial) checkTutorialComboAim(game);
}

void openTutorialSpinText(cGame& game) {
  if (game.match.lessonNumber == 1 || game.match.lessonNumber == 2)
    openTutorialTextBox(game, getTutorialLessonText(game, k_lessonExtra));
}

void openTutorialMasseText(cGame& game) {
  if (game.match.lessonNumber == 3) openTutorialTextBox(game, getTutorialLessonText(game, k_lessonExtra));
}

void onTutorialMasse(cGame& game) {
  if (game.match.gameType == k_gameTypeTutorial && game.world.shot.masse) openTutorialMasseText(game);
}

// ---- the text box over the spin selector

void openTutorialTextBox(cGame& game, int32_t textId) {
  if (textId < 0) return;
  game.tutorial.textBoxOpen = 1;
  game.tutorial.textId = textId;
  game.tutorial.textPage = 0;
  int32_t pages = 1;
  const int16_t* box = getInterfaceElement(game, k_interfaceHud, k_elTutorialText);
  if (box && box[F::kWordType] == F::kText) {
    const int32_t font = box[F::kWordParams + F::kTextFont];
    if (font >= 0 && font < TextLayoutData::kMaxFonts && game.text.fonts[font]) {
      game.text.layout.cacheKey = 0;
      pages = layoutString(game, game.text.fonts, textId, font, box[F::kWordParams + F::kTextWidth],
                           box[F::kWordParams + F::kTextHeight]);
    }
  }
  game.tutorial.textPages = std::max(pages, 1);
  game.tutorial.textMorePages = 0 < game.tutorial.textPages - 1;
  game.table.hudHint = -1;
  // A tap off the selector's controls turns its pages.
  game.stylus.spinArrowsLocked = 1;
  setInterfaceElementVisible(game, k_interfaceHud, k_elTutorialBox, true);
}

void updateTutorialTextBox(cGame& game) {
  if (!game.keys.isReleased(k_keyDismiss | rightSoftMask(game))) return;
  if (game.tutorial.textMorePages) {
    game.tutorial.textPage += 1;
    game.tutorial.textMorePages = game.tutorial.textPage + 1 < game.tutorial.textPages;
    return;
  }
  closeTutorialTextBox(game);
}

void closeTutorialTextBox(cGame& game) {
  game.tutorial.textBoxOpen = 0;
  game.stylus.spinArrowsLocked = 0;
  game.table.hudHint = kHintTextBoxClosed;
  setInterfaceElementVisible(game, k_interfaceHud, k_elTutorialBox, false);
}

void paintTutorialTextBox(cGame& game, Graphics* g) {
  if (!g || !game.tutorial.textBoxOpen || game.tutorial.textId < 0) return;
  paintSpriteElementTo(game, k_elTutorialBox, 0, 0, false, g);
  const int16_t* box = getInterfaceElement(game, k_interfaceHud, k_elTutorialText);
  if (!box || box[F::kWordType] != F::kText) return;
  const int32_t font = box[F::kWordParams + F::kTextFont];
  if (font < 0 || font >= TextLayoutData::kMaxFonts || !game.text.fonts[font]) return;
  ASprite* bank = game.text.fonts[font];
  bank->setCurrentPalette(std::min(kTextBoxPalette, std::max(bank->paletteCount - 1, 0)));
  drawWrappedString(game, g, game.text.fonts, game.tutorial.textId, font, box[F::kWordX], box[F::kWordY],
                    box[F::kWordParams + F::kTextWidth], box[F::kWordParams + F::kTextHeight], game.tutorial.textPage,
                    kTextBoxAnchor);
  bank->setCurrentPalette(0);
}

// ---- messages

void showTutorialMessage(cGame& game, int32_t textId, bool coach) { showMessageBox(game, coach ? 1 : 0, textId); }

void clearTutorialWait(cGame& game) { game.turn.messageDone = 0; }

// ---- after the shot

void checkTutorialShotResult(cGame& game) {
  const uint32_t out = game.rules.shotOutcome;
  const bool passed = (out & kOutWin) != 0;
  const bool failed = !passed && (out & kOutLose) != 0;
  if (!game.turn.messageDone) {
    // The coach waits for a box of the shot ("Nice shot!") to be closed.
    if ((passed || failed) && isMatchOnHold(game)) return;
    if (passed) {
      // Saved before the coach says so.
      if (isLesson(game.match.lessonNumber)) game.career.progress.counterA |= 1u << game.match.lessonNumber;
      saveProgress(game);
      showTutorialMessage(game, getTutorialLessonText(game, k_lessonPassed), true);
    } else if (failed) {
      showTutorialMessage(game, getTutorialLessonText(game, k_lessonFailed), true);
    } else {
      chooseNextTurnState(game);
    }
    return;
  }
  if (!passed) {
    game.question.menuFlag = 0;
    game.setInGameState(k_stateInGameQuestion);
  } else if (!game.tutorial.started) {
    game.loading.pendingReturnState = k_stateTutorialChoice;
    game.setState(k_stateMainMenuLoading);
  } else if (game.match.lessonNumber < 2) {
    startTutorial(game, game.match.lessonNumber + 1);
  } else {
    game.setInGameState(k_stateTutorialFinished);
  }
}
