// Tutorial lessons through the turn flow: the lesson table, what follows a
// lesson's shot, the aim-reached text shown once, lesson 2's snap to the 3,
// the selector and masse locks, the text box's pages, the pass saved before
// its text, lesson numbers out of range, and every lesson's found shot.
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameTutorial.h"
#include "tests/game/challenges/ChallengeFlowFixture.h"
#include "tests/game/data/BlockFont.h"

namespace {

using flowtest::FlowTest;
using flowtest::kKeyFire;
using flowtest::kKeyMasse;
using flowtest::kKeyRightSoft;

constexpr uint32_t kWin = 0x8, kLose = 0x10, kStart = 0x2000;

class TutorialFlow : public FlowTest {
 protected:
  // In the aim, with the coach's first words (and any aim reached on the way
  // in) read.
  void enterLesson(int32_t lesson, bool chained = false) {
    startLesson(lesson, chained);
    ASSERT_TRUE(runToAim());
    for (int i = 0; i < 3; ++i) frame();
    ASSERT_TRUE(runToAim());
  }
  bool aimIsAt(int32_t ball) {
    Vector2 d{0, 0};
    game->world.balls[ball]->position.subtract(d, game->world.cueBall->position);
    return game->world.shot.aim.x == d.x && game->world.shot.aim.y == d.y;
  }
};

TEST(TutorialLessons, WordsAndTargets) {
  const int32_t words[5][6] = {{k_textLesson0, k_textLessonFirst, 521, 522, 523, -1},
                               {k_textLesson0 + 1, 524, 525, 527, 528, 526},
                               {k_textLesson0 + 2, 529, 530, 532, 533, 531},
                               {k_textLesson0 + 3, 534, 535, 537, 538, 536},
                               {k_textLesson0 + 4, 539, 540, 542, k_textLessonLast, 541}};
  const int32_t targets[5] = {3, 3, 9, 9, 2};
  for (int l = 0; l < 5; ++l) {
    for (int w = 0; w < 6; ++w) EXPECT_EQ(tutorialLessonWord(l, w), words[l][w]) << l << "/" << w;
    EXPECT_EQ(k_tutorialLessons[l].targetBall, targets[l]);
  }
  for (auto [l, w] : {std::pair{-1, 0}, std::pair{5, 0}, std::pair{0, 6}, std::pair{1, -1}})
    EXPECT_EQ(tutorialLessonWord(l, w), -1) << l << "/" << w;
}

TEST_F(TutorialFlow, WhatFollowsTheShot) {
  enum Next { kText, kPlayOn, kRetry, kChoice, kNextLesson, kFinished };
  const struct {
    int32_t lesson;
    uint32_t outcome;
    bool done, chained;
    Next next;
    int32_t text;
  } cases[] = {
      {0, kWin, false, false, kText, 522},   {3, kWin, false, true, kText, 537},
      {0, kLose, false, false, kText, 523},  {4, kLose, false, true, kText, k_textLessonLast},
      {0, kStart, false, false, kPlayOn, -1},
      {0, kLose, true, false, kRetry, -1},   {2, kLose, true, true, kRetry, -1}, {1, kStart, true, true, kRetry, -1},
      {0, kWin, true, false, kChoice, -1},   {4, kWin, true, false, kChoice, -1},
      {0, kWin, true, true, kNextLesson, -1}, {1, kWin, true, true, kNextLesson, -1},
      {2, kWin, true, true, kFinished, -1},  {4, kWin, true, true, kFinished, -1},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(testing::Message() << "lesson " << k.lesson << " outcome " << k.outcome << " done " << k.done
                                    << " chained " << k.chained);
    enterLesson(k.lesson, k.chained);
    game->career.progress.counterA = 0;
    game->rules.shotOutcome = k.outcome | kStart;
    game->turn.messageDone = k.done;
    game->question.menuFlag = 1;
    checkTutorialShotResult(*game);
    switch (k.next) {
      case kText:
        EXPECT_EQ(game->states.gameState, k_stateMessageBox);
        EXPECT_EQ(game->turn.messageText, k.text);
        EXPECT_EQ(game->turn.messagePlayer, 1);
        EXPECT_EQ(game->career.progress.counterA, k.outcome == kWin ? 1u << k.lesson : 0u);
        break;
      case kPlayOn:
        EXPECT_EQ(game->states.gameState, k_stateAim);
        break;
      case kRetry:
        EXPECT_EQ(game->states.gameState, k_stateInGameQuestion);
        EXPECT_EQ(game->question.menuFlag, 0);
        break;
      case kChoice:
        EXPECT_EQ(game->states.gameState, k_stateMainMenuLoading);
        EXPECT_EQ(game->loading.pendingReturnState, k_stateTutorialChoice);
        break;
      case kNextLesson:
        EXPECT_EQ(game->match.lessonNumber, k.lesson + 1);
        EXPECT_EQ(game->match.gameType, k_gameTypeTutorial);
        EXPECT_EQ(game->tutorial.started, 1);
        EXPECT_TRUE(runToAim());
        break;
      case kFinished:
        EXPECT_EQ(game->states.gameState, k_stateTutorialFinished);
        break;
    }
  }
}

TEST_F(TutorialFlow, PassIsSavedBeforeItsText) {
  enterLesson(2);
  int savedAtText = -1;
  flowtest::stepHook() = [&](cGame& g, int32_t state, int32_t step) {
    if (state == k_stateMessageBox && step == k_subStateInit && g.files.saveImage) savedAtText = g.files.saveImage[160];
  };
  game->career.progress.counterA = 0;
  game->rules.shotOutcome = kWin | kStart;
  game->turn.messageDone = 0;
  checkTutorialShotResult(*game);
  EXPECT_EQ(savedAtText, 1 << 2);
}

TEST_F(TutorialFlow, AimReachedTextOnceAndLessonTwoSnapsToTheThree) {
  for (const int32_t lesson : {0, 2}) {
    SCOPED_TRACE(lesson);
    enterLesson(lesson);
    const int32_t target = k_tutorialLessons[lesson].targetBall;
    // The opening aim may have met the target already: pending again.
    game->tutorial.target = target;
    aimAtBall(*game, target, true);
    frame();
    EXPECT_EQ(game->states.gameState, k_stateMessageBox);
    EXPECT_EQ(game->turn.messageText, tutorialLessonWord(lesson, k_lessonAimReached));
    EXPECT_TRUE(aimIsAt(lesson == 2 ? 3 : target));
    ASSERT_TRUE(runToAim());
    // Back on the target: no second text.
    aimAtBall(*game, target, true);
    for (int i = 0; i < 10; ++i) frame();
    EXPECT_EQ(game->states.gameState, k_stateAim);
    EXPECT_TRUE(aimIsAt(target));
  }
}

TEST_F(TutorialFlow, SelectorAndMasseLocks) {
  const struct {
    int32_t lesson;
    bool selector, masse;
    int32_t text;  // the text box on entering the selector or switching masse on
  } cases[] = {{0, false, false, -1}, {1, true, false, 526}, {2, true, true, 531}, {3, true, true, 536},
               {4, true, true, -1}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.lesson);
    enterLesson(k.lesson);
    tap(kKeyRightSoft);
    EXPECT_EQ(game->states.gameState, k.selector ? k_stateSpinSelector : k_stateAim);
    if (!k.selector) continue;
    // Lessons 1 and 2 open their text on entering; its page is turned away first.
    EXPECT_EQ(game->tutorial.textBoxOpen, k.lesson == 1 || k.lesson == 2);
    if (game->tutorial.textBoxOpen) {
      EXPECT_EQ(game->tutorial.textId, k.text);
      EXPECT_EQ(game->stylus.spinArrowsLocked, 1);
      while (game->tutorial.textBoxOpen) tap(kKeyFire);
      EXPECT_EQ(game->table.hudHint, 13);
      EXPECT_EQ(game->stylus.spinArrowsLocked, 0);
    }
    tap(kKeyMasse);
    EXPECT_EQ(game->world.shot.masse, k.masse ? 1 : 0);
    EXPECT_EQ(game->tutorial.textBoxOpen, k.lesson == 3);
    if (k.lesson == 3) {
      EXPECT_EQ(game->tutorial.textId, k.text);
      // The arrow the text names acts at once and closes the box.
      tap(14);
      EXPECT_EQ(game->tutorial.textBoxOpen, 0);
      EXPECT_EQ(game->world.shot.englishPoint.x, 16384);
      EXPECT_EQ(game->states.gameState, k_stateSpinSelector);
    }
  }
}

TEST_F(TutorialFlow, TextBoxTurnsItsPagesThenCloses) {
  enterLesson(1);
  std::unique_ptr<ASprite> font = makeBlockFont(*game);
  game->text.fonts[0] = font.get();
  game->tutorial.textBoxOpen = 0;
  openTutorialTextBox(*game, k_textHelpControlsBody);  // the controls help: pages parted by page breaks
  const int32_t pages = game->tutorial.textPages;
  ASSERT_GT(pages, 1);
  EXPECT_EQ(game->table.hudHint, -1);
  for (int p = 1; p < pages; ++p) {
    EXPECT_EQ(game->tutorial.textMorePages, 1);
    tap(kKeyFire);
    EXPECT_EQ(game->tutorial.textPage, p);
  }
  EXPECT_EQ(game->tutorial.textMorePages, 0);
  EXPECT_EQ(game->tutorial.textBoxOpen, 1);
  tap(kKeyFire);
  EXPECT_EQ(game->tutorial.textBoxOpen, 0);
  EXPECT_EQ(game->table.hudHint, 13);
  game->text.fonts[0] = nullptr;
}

TEST_F(TutorialFlow, LessonOutOfRangeStartsNothing) {
  enterLesson(1);
  for (const int32_t bad : {-1, 5, 40}) {
    startTutorial(*game, bad);
    EXPECT_EQ(game->match.lessonNumber, 1);
    EXPECT_EQ(game->states.gameState, k_stateAim);
  }
  // A frame start with a bad lesson: no record, no target, no layout.
  game->match.lessonNumber = 7;
  startTutorialLesson(*game);
  EXPECT_EQ(game->tutorial.target, -1);
  EXPECT_EQ(getTutorialLessonText(*game, k_lessonTitle), -1);
  for (int n = 0; n < 16; ++n) EXPECT_EQ(game->world.balls[n]->pocketed, 1) << n;
}

// The found shot of each lesson (the layouts' own) passes when played
// through the match.
TEST_F(TutorialFlow, EveryLessonsFoundShotPasses) {
  constexpr int32_t kQ = 16384;
  const struct {
    int32_t lesson, aimBall;
    uint8_t masse;
    int32_t englishX, englishY, power;
  } shots[] = {
      {0, 3, 0, 0, 0, 9000}, {1, 3, 0, 0, 10 * kQ, 14000}, {2, 3, 0, 0, 0, 8000},
      {3, 9, 1, 10 * kQ, 0, 7000}, {4, 3, 0, 0, 0, 9000},
  };
  for (const auto& s : shots) {
    SCOPED_TRACE(s.lesson);
    enterLesson(s.lesson);
    aimAtBall(*game, s.aimBall, true);
    frame();
    ASSERT_TRUE(runToAim());
    aimAtBall(*game, s.aimBall, true);
    game->world.shot.masse = s.masse;
    game->world.shot.englishPoint.set(s.englishX, s.englishY);
    flowtest::stepHook() = [&](cGame& g, int32_t state, int32_t step) {
      if (state == k_stateStroke && step == k_subStateInit) g.world.shot.powerGauge = s.power;
    };
    tap(kKeyFire);
    ASSERT_EQ(game->states.gameState, k_stateShotPower);
    tap(kKeyFire);
    ASSERT_TRUE(runClosingBoxes(k_stateMessageBox));
    EXPECT_FALSE(isDialogBoxOpen(*game));  // the coach waits for the shot's box
    flowtest::stepHook() = nullptr;
    EXPECT_EQ(game->turn.messageText, tutorialLessonWord(s.lesson, k_lessonPassed));
    EXPECT_EQ(game->career.progress.counterA & (1u << s.lesson), 1u << s.lesson);
  }
}

}  // namespace
