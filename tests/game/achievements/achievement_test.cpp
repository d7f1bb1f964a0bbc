// Unlocking, the sliding notices, the percentages and the completion notice.
#include <array>
#include <initializer_list>

#include "AchievementFixture.h"
#include "tests/game/cGame/GameFixture.h"

namespace {

using Achievements = AchievementTest;

TEST_F(Achievements, UnlockRules) {
  struct Case {
    const char* what;
    int32_t gameType;
    std::vector<int32_t> ids;
    uint32_t mask;
    int32_t notices;
    bool saved;
  };
  const Case cases[] = {
      {"career match", k_gameTypeCareer, {7}, 1u << 7, 1, true},
      {"tutorial", k_gameTypeTutorial, {7, 3}, 0, 0, false},
      {"challenge: only 3 and 29", k_gameTypeChallenge, {7, 3, 29, 12}, (1u << 3) | (1u << 29), 2, true},
      {"ids past the thirty", k_gameTypeCareer, {30, 31, 32, -1}, 0, 0, false},
  };
  for (const Case& c : cases) {
    game->career.achievementMask = 0;
    clearAchievementNotices(*game);
    game->match.gameType = c.gameType;
    markSaveFile();
    for (int32_t id : c.ids) unlockAchievement(*game, id);
    EXPECT_EQ(game->career.achievementMask, c.mask) << c.what;
    EXPECT_EQ(countShownNotices(*game), c.notices) << c.what;
    EXPECT_EQ(savedSinceMark(), c.saved) << c.what;
  }
}

TEST_F(Achievements, ARepeatedIdShowsOneNoticeAndSavesOnce) {
  unlockAchievement(*game, 5);
  markSaveFile();
  unlockAchievement(*game, 5);
  EXPECT_FALSE(savedSinceMark());
  EXPECT_EQ(countShownNotices(*game), 1);
  EXPECT_TRUE(plateShown(0));
  EXPECT_FALSE(plateShown(1));
}

TEST_F(Achievements, MaskBytesInTheSaveFile) {
  unlockAchievement(*game, 1);
  unlockAchievement(*game, 3);
  const std::vector<uint8_t> file = readBytes("save.sav");
  ASSERT_EQ(file.size(), 300u);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 13, file.begin() + 17), (std::vector<uint8_t>{0, 0, 0, 0x0A}));
}

TEST_F(Achievements, TenthIdOfACategoryQueuesOneCompletionNotice) {
  for (int id = 10; id < 19; ++id) unlockAchievement(*game, id);
  EXPECT_EQ(game->notices.percent[1], 90);
  EXPECT_EQ(findCompletionNotice(*game), 0);
  unlockAchievement(*game, 19);
  EXPECT_EQ(game->notices.percent[1], 100);
  EXPECT_EQ(game->notices.percent[0], 0);
  EXPECT_EQ(findCompletionNotice(*game), 1);
  EXPECT_EQ(countCompletedCategories(*game), 1);
  // Mask bits 30 and 31 from a file belong to no category; a mask just
  // loaded counts before any percentage is worked out.
  game->career.achievementMask = 0xC0000000u | 0x3FFu | (0x3FFu << 20);
  EXPECT_EQ(countCompletedCategories(*game), 2);
  game->career.achievementMask = 0xC0000000u | 0x3FFu;
  EXPECT_EQ(countCompletedCategories(*game), 1);
  updateAchievementPercentages(*game);
  EXPECT_EQ(game->notices.percent[0], 100);
  EXPECT_EQ(game->notices.percent[2], 0);
}

TEST_F(Achievements, CompletionQueueHoldsEachCategoryOnceAndTheLastWins) {
  struct Step {
    int32_t queue;
    int32_t count, current, badge;
  };
  // Category 2 twice, then 0 and 1 (as the cheat's unlock-all queues them), then 2 again.
  const Step steps[] = {{2, 1, 0, 9}, {2, 1, 0, 9}, {0, 2, 1, 8}, {1, 3, 2, 10}, {2, 3, 2, 10}};
  for (const Step& s : steps) {
    queueCompletionNotice(*game, s.queue);
    EXPECT_EQ(findCompletionNotice(*game), s.count);
    EXPECT_EQ(game->frontEnd.noticeDisplay, s.current);
    EXPECT_EQ(getInterfaceElement(*game, 50, 13)[F::kWordParams + F::kSpriteBank], s.badge);
  }
  queueCompletionNotice(*game, 3);
  queueCompletionNotice(*game, -1);
  EXPECT_EQ(findCompletionNotice(*game), 3);
  // In a match the badges of slots 8 and 9 are at 104 and 105.
  game->loading.sprites[105] = banks[1].get();
  game->notices.completionQueue[1] = game->notices.completionQueue[2] = -1;
  findCompletionNotice(*game);
  EXPECT_EQ(getInterfaceElement(*game, 50, 13)[F::kWordParams + F::kSpriteBank], 105);
  game->loading.sprites[105] = nullptr;
  // Over a paused match nothing is shown.
  game->frontEnd.menusOverMatch = 1;
  EXPECT_FALSE(hasCompletionNotice(*game));
  game->frontEnd.menusOverMatch = 0;
  EXPECT_TRUE(hasCompletionNotice(*game));
}

TEST_F(Achievements, NoticeSlidesInStaysAndSlidesOut) {
  unlockAchievement(*game, 7);
  EXPECT_EQ(plateX(0), 240);
  struct At {
    int paint, x;
  };
  const At at[] = {{1, 220}, {2, 200}, {10, 40}, {11, 40}, {30, 40}, {31, 60}, {39, 220}};
  size_t next = 0;
  for (int k = 1; k <= 40; ++k) {
    paintNotices();
    if (next < std::size(at) && at[next].paint == k) {
      EXPECT_EQ(plateX(0), at[next].x) << k;
      // The texts go with the plate.
      EXPECT_EQ(getInterfaceElementX(*game, 49, 5), at[next].x + 33) << k;
      EXPECT_EQ(getInterfaceElementX(*game, 49, 6), at[next].x + 33) << k;
      ++next;
    }
    EXPECT_EQ(isAchievementNoticeShown(*game), k < 40) << k;
  }
  EXPECT_FALSE(plateShown(0));
  EXPECT_EQ(plateX(0), kPlateX);  // back at its place for the next one
}

TEST_F(Achievements, FiveNoticesThenASixthThenSlotZeroAgain) {
  for (int id = 0; id < 5; ++id) unlockAchievement(*game, id);
  for (int s = 0; s < 5; ++s) EXPECT_TRUE(plateShown(s)) << s;
  markSaveFile();
  unlockAchievement(*game, 5);
  EXPECT_TRUE(game->career.achievementMask & (1u << 5));
  EXPECT_TRUE(savedSinceMark());
  EXPECT_EQ(countShownNotices(*game), 5);
  EXPECT_EQ(game->notices.shown & (1u << 5), 0u);
  // Slot 0 expires first; the next unlock takes it while 1-4 still run.
  for (int k = 0; k < 20; ++k) paintNotices();
  game->notices.slots[0].frames = 1;
  paintNotices();
  EXPECT_FALSE(plateShown(0));
  EXPECT_EQ(countShownNotices(*game), 4);
  unlockAchievement(*game, 6);
  EXPECT_EQ(game->notices.slots[0].id, 6);
  EXPECT_EQ(game->notices.slots[0].frames, 40);
  EXPECT_TRUE(plateShown(0));
  EXPECT_EQ(plateX(0), 240);
  // When every notice has run out no stale id is left in the shown set.
  for (int k = 0; k < 40; ++k) paintNotices();
  EXPECT_EQ(game->notices.shown, 0u);
  EXPECT_FALSE(isAchievementNoticeShown(*game));
  for (int s = 0; s < 5; ++s) EXPECT_EQ(plateX(s), kPlateX) << s;
}

// A notice keeps clear of a title painted in the same frame: one that has
// not come in takes the first free plate clear of it, or waits off the
// screen with its frames until the title is gone.
TEST_F(Achievements, NoticesKeepClearOfATitle) {
  auto frame = [this](std::initializer_list<std::array<int, 4>> titles) {
    ++game->frame.paintFrameCount;
    for (const auto& t : titles) keepNoticesClearOf(*game, t[0], t[1], t[2], t[3]);
    paintNotices();
  };
  unlockAchievement(*game, 3);  // slot 0, under a title
  unlockAchievement(*game, 4);  // slot 1
  frame({{0, 10, 240, 1}});
  EXPECT_FALSE(plateShown(0));
  EXPECT_EQ(game->notices.slots[2].id, 3) << "the first free plate clear of the title";
  EXPECT_EQ(plateX(2), 220);
  EXPECT_EQ(plateX(1), 220);
  // A title over every plate: the new notice and the ones coming in wait.
  unlockAchievement(*game, 5);  // slot 0 again
  for (int k = 0; k < 50; ++k) frame({{0, 0, 240, 160}});
  for (int s : {0, 1, 2}) {
    EXPECT_EQ(plateX(s), 240) << s;
    EXPECT_TRUE(plateShown(s)) << s;
  }
  EXPECT_EQ(game->notices.slots[0].frames, 40);
  EXPECT_EQ(game->notices.slots[1].frames, 39);
  EXPECT_EQ(countShownNotices(*game), 3);
  // Gone: they come in and run their frames.
  frame({});
  EXPECT_EQ(plateX(0), 220);
  EXPECT_EQ(game->notices.slots[0].frames, 39);
  for (int k = 0; k < 40; ++k) frame({});
  EXPECT_EQ(countShownNotices(*game), 0);
}

TEST_F(Achievements, ClearingHidesEverySlot) {
  unlockAchievement(*game, 1);
  unlockAchievement(*game, 2);
  paintNotices();
  clearAchievementNotices(*game);
  EXPECT_EQ(game->notices.shown, 0u);
  for (int s = 0; s < 5; ++s) {
    EXPECT_FALSE(plateShown(s));
    EXPECT_EQ(plateX(s), kPlateX);
  }
  EXPECT_EQ(game->career.achievementMask, 6u);  // still unlocked
}

TEST_F(Achievements, NoticesPaintTheirTextsAndLeaveTheCurrentInterface) {
  selectInterface(*game, 7);
  unlockAchievement(*game, 12);
  for (int k = 0; k < 12; ++k) paintNotices();
  EXPECT_EQ(game->interfaces.currentInterface, 7);
  // The plate (frame 0 of bank 1) at its place and the block font's text beside it.
  EXPECT_EQ(frameAt(kPlateX, 10), 0);
  int drawn = 0;
  for (int y = 8; y < 34; ++y)
    for (int x = kPlateX + 33; x < 240; ++x) drawn += screen->at(x, y) != 0;
  EXPECT_GT(drawn, 0);
}

// The notice over a frame: select dismisses it and locks the keys for five
// frames; the in-game menu (300) keeps it waiting.
class CompletionHook : public AchievementTest {
 protected:
  void SetUp() override {
    AchievementTest::SetUp();
    screenLog().clear();
    static const cGameScreen mainMenu = {k_stateMainMenu, recordFrontUpdate, recordFrontPaint},
                             igm = {k_stateIGM, recordGameUpdate, recordGamePaint},
                             aim = {k_stateAim, recordGameUpdate, recordGamePaint};
    static const cGameScreen* const front[] = {&mainMenu};
    static const cGameScreen* const inGame[] = {&igm, &aim};
    static const cGameScreenTable frontTable = {front, 1}, inGameTable = {inGame, 2};
    game->setScreenTables(&frontTable, &inGameTable);
  }
};

TEST_F(CompletionHook, SelectDismissesOverAnyStateButTheInGameMenu) {
  struct Case {
    int32_t state, inGame;
    bool hook;
  };
  const Case cases[] = {{k_stateMainMenu, 0, true}, {k_stateAim, 1, true}, {k_stateIGM, 1, false}};
  for (const Case& c : cases) {
    game->states.gameState = c.state;
    game->states.inGame = c.inGame;
    game->notices.completionQueue[0] = 1;
    game->frontEnd.completionNoticeShown = 1;
    screenLog().clear();
    press({kSelect});
    game->updateCurrentState();
    EXPECT_EQ(game->notices.completionQueue[0], c.hook ? -1 : 1) << c.state;
    EXPECT_EQ(game->frontEnd.completionNoticeShown, c.hook ? 0 : 1) << c.state;
    EXPECT_EQ(game->keys.lockCount(), c.hook ? 5 : 0) << c.state;
    EXPECT_EQ(screenLog().empty(), c.hook) << c.state;
    game->keys = KeyState();
  }
  // Without a select the notice stays and the screen waits.
  game->states.gameState = k_stateMainMenu;
  game->states.inGame = 0;
  game->notices.completionQueue[0] = 2;
  game->frontEnd.completionNoticeShown = 1;
  screenLog().clear();
  noKeys();
  game->updateCurrentState();
  EXPECT_EQ(game->notices.completionQueue[0], 2);
  EXPECT_TRUE(screenLog().empty());
  // A stray display index (the soft keys' 12) empties nothing.
  game->frontEnd.noticeDisplay = 12;
  press({kSelect});
  updateCompletionNotice(*game);
  EXPECT_EQ(game->notices.completionQueue[0], 2);
}

TEST_F(CompletionHook, ThePaintShowsTheNoticeOnlyWithoutAnAchievementNotice) {
  game->states.gameState = k_stateMainMenu;
  game->notices.completionQueue[0] = 0;
  unlockAchievement(*game, 3);
  game->paintCurrentState(screen->g());
  EXPECT_EQ(game->frontEnd.completionNoticeShown, 0);  // the sliding notice comes first
  clearAchievementNotices(*game);
  game->paintCurrentState(screen->g());
  EXPECT_EQ(game->frontEnd.completionNoticeShown, 1);
}

}  // namespace
