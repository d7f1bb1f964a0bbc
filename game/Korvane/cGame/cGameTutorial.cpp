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

constexpr int32_t kGameTutorial = 5;
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

}  // namespace

const TutorialLesson k_tutorialLessons[kTutorialLessonCount] = {
    {kLesson0, 5, 3}, {kLesson1, 6, 3}, {kLesson2, 6, 9}, {kLesson3, 6, 9}, {kLesson4, 6, 2},
};

int32_t tutorialLessonWord(int32_t lesson, int32_t word) {
  if (!isLesson(lesson)) return -1;
  const TutorialLesson& l = k_tutorialLessons[lesson];
  return word >= 0 && word < l.wordCount ? l.words[word] : -1;
}

int32_t cGame::getTutorialLessonText(int32_t word) { return tutorialLessonWord(lessonNumber, word); }

// ---- starting and leaving

void cGame::startTutorial(int32_t lesson) {
  if (!isLesson(lesson)) return;
  // The match the lessons interrupt comes back when they are over.
  if (gameType != kGameTutorial) {
    m_savedGameType = gameType;
    m_savedRuleSet = ruleSet;
  }
  lessonNumber = lesson;
  tutorialStarted = 1;
  gameType = kGameTutorial;
  placeBalls();
  setInGameState(k_stateMatchInit);
}

void cGame::startTutorialLesson() {
  // A lesson number out of range takes no layout (its group would be
  // another lesson's or a challenge's).
  startScriptedFrame(RuleState::kModeTutorial, isLesson(lessonNumber));
  m_rules.tutorialLocks[0] = lessonNumber < 1;
  m_rules.tutorialLocks[1] = lessonNumber < 2;
  tutorialTarget = isLesson(lessonNumber) ? k_tutorialLessons[lessonNumber].targetBall : -1;
  tutorialTextBoxOpen = 0;
  spinArrowsLocked = 0;
  spinButtonHidden = m_rules.tutorialLocks[1];
  setInterfaceElementVisible(k_interfaceHud, k_elTutorialBox, false);
  m_guide.objectBall = -1;
}

void cGame::returnFromTutorial() {
  // Nothing to go back to: the lessons were not started from a match.
  if (m_savedGameType < 0 || m_savedGameType == kGameTutorial) {
    m_pendingReturnState = k_stateTutorialChoice;
    setState(k_stateMainMenuLoading);
    return;
  }
  gameType = m_savedGameType;
  ruleSet = m_savedRuleSet;
  m_savedGameType = -1;
  placeBalls();
  setInGameState(k_stateMatchInit);
}

// ---- locks

bool cGame::tutorialSpinLocked() { return gameType == kGameTutorial && m_rules.tutorialLocks[0]; }
bool cGame::tutorialMasseLocked() { return gameType == kGameTutorial && m_rules.tutorialLocks[1]; }

// ---- the coach's hooks

void cGame::checkTutorialAimTarget() {
  if (tutorialTarget < 0) return;
  if (m_world.shot.aimChanged) computeAimGuide();
  if (m_guide.objectBall != tutorialTarget) return;
  // Lesson 2 shows that the ball in the way is not the one to play.
  aimAtBall(lessonNumber == 2 ? 3 : tutorialTarget, true);
  tutorialTarget = -1;
  showTutorialMessage(getTutorialLessonText(k_lessonAimReached), true);
}

void cGame::checkTutorialComboAim() {
  if (lessonNumber != 4) return;
  if (m_world.shot.aimChanged) computeAimGuide();
  if (m_guide.objectBall != 2) return;
  aimAtBall(3, false);
  showTutorialMessage(getTutorialLessonText(k_lessonExtra), true);
}

void cGame::onTutorialAimInverted() {
  if (gameType == kGameTutorial) checkTutorialComboAim();
}

void cGame::openTutorialSpinText() {
  if (lessonNumber == 1 || lessonNumber == 2) openTutorialTextBox(getTutorialLessonText(k_lessonExtra));
}

void cGame::openTutorialMasseText() {
  if (lessonNumber == 3) openTutorialTextBox(getTutorialLessonText(k_lessonExtra));
}

void cGame::onTutorialMasse() {
  if (gameType == kGameTutorial && m_world.shot.masse) openTutorialMasseText();
}

// ---- the text box over the spin selector

void cGame::openTutorialTextBox(int32_t textId) {
  if (textId < 0) return;
  tutorialTextBoxOpen = 1;
  tutorialTextId = textId;
  tutorialTextPage = 0;
  int32_t pages = 1;
  const int16_t* box = getInterfaceElement(k_interfaceHud, k_elTutorialText);
  if (box && box[F::kWordType] == F::kText) {
    const int32_t font = box[F::kWordParams + F::kTextFont];
    if (font >= 0 && font < TextLayoutData::kMaxFonts && m_fonts[font]) {
      m_layout.cacheKey = 0;
      pages = layoutString(m_fonts, textId, font, box[F::kWordParams + F::kTextWidth],
                           box[F::kWordParams + F::kTextHeight]);
    }
  }
  tutorialTextPages = std::max(pages, 1);
  tutorialTextMorePages = 0 < tutorialTextPages - 1;
  hudHint = -1;
  // A tap anywhere turns its pages (the selector's pad is covered).
  spinArrowsLocked = 1;
  setInterfaceElementVisible(k_interfaceHud, k_elTutorialBox, true);
}

void cGame::updateTutorialTextBox() {
  if (!m_keys.isReleased(k_keyDismiss | rightSoftMask())) return;
  if (tutorialTextMorePages) {
    tutorialTextPage += 1;
    tutorialTextMorePages = tutorialTextPage + 1 < tutorialTextPages;
    return;
  }
  tutorialTextBoxOpen = 0;
  spinArrowsLocked = 0;
  hudHint = kHintTextBoxClosed;
  setInterfaceElementVisible(k_interfaceHud, k_elTutorialBox, false);
}

void cGame::paintTutorialTextBox(Graphics* g) {
  if (!g || !tutorialTextBoxOpen || tutorialTextId < 0) return;
  paintSpriteElementTo(k_elTutorialBox, 0, 0, false, g);
  const int16_t* box = getInterfaceElement(k_interfaceHud, k_elTutorialText);
  if (!box || box[F::kWordType] != F::kText) return;
  const int32_t font = box[F::kWordParams + F::kTextFont];
  if (font < 0 || font >= TextLayoutData::kMaxFonts || !m_fonts[font]) return;
  ASprite* bank = m_fonts[font];
  bank->setCurrentPalette(std::min(kTextBoxPalette, std::max(bank->paletteCount - 1, 0)));
  drawWrappedString(g, m_fonts, tutorialTextId, font, box[F::kWordX], box[F::kWordY],
                    box[F::kWordParams + F::kTextWidth], box[F::kWordParams + F::kTextHeight], tutorialTextPage,
                    kTextBoxAnchor);
  bank->setCurrentPalette(0);
}

// ---- messages

void cGame::showTutorialMessage(int32_t textId, bool coach) { showMessageBox(coach ? 1 : 0, textId); }

void cGame::clearTutorialWait() { messageDone = 0; }

// ---- after the shot

void cGame::checkTutorialShotResult() {
  const uint32_t out = m_rules.shotOutcome;
  const bool passed = (out & kOutWin) != 0;
  const bool failed = !passed && (out & kOutLose) != 0;
  if (!messageDone) {
    // The coach waits for a box of the shot ("Nice shot!") to be closed.
    if ((passed || failed) && isMatchOnHold()) return;
    if (passed) {
      // Saved before the coach says so.
      if (isLesson(lessonNumber)) m_career.counterA |= 1u << lessonNumber;
      saveProgress();
      showTutorialMessage(getTutorialLessonText(k_lessonPassed), true);
    } else if (failed) {
      showTutorialMessage(getTutorialLessonText(k_lessonFailed), true);
    } else {
      chooseNextTurnState();
    }
    return;
  }
  if (!passed) {
    question.menuFlag = 0;
    setInGameState(k_stateInGameQuestion);
  } else if (!tutorialStarted) {
    m_pendingReturnState = k_stateTutorialChoice;
    setState(k_stateMainMenuLoading);
  } else if (lessonNumber < 2) {
    startTutorial(lessonNumber + 1);
  } else {
    setInGameState(k_stateTutorialFinished);
  }
}
