// A question asked over the table covers the table's messages: a rule
// message still waiting there must not swallow the answer.
#include "tests/game/turn/TurnFixture.h"

using namespace turntest;

TEST_F(TurnTest, QuestionOverTheTableAnswersWithAMessageWaiting) {
  struct Case {
    const char* name;
    int32_t kind;  // the waiting message: 1 until dismissed, 2 also ages
    int32_t entry;  // yes 0, no 1
    bool pushOutTaken;
  } cases[] = {
      {"yes over a lasting message", 1, 0, true},
      {"no over a lasting message", 1, 1, false},
      {"yes over an ageing message", 2, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    startQuickMatch(2);
    tap(kKeyFire);
    ASSERT_EQ(game->s_gameState, k_stateAim);
    game->m_rules.pushOutAvailable = 1;
    game->m_rules.shotOutcome = 0;
    game->setInGameState(k_stateAfterShot);
    ASSERT_TRUE(runUntil(k_stateQuestion, 30));
    game->addTextMessage(c.kind, 677, 60000);
    ASSERT_TRUE(game->isMessageWaiting());
    frames(3);
    game->m_menu.selection = c.entry;
    tap(kKeyLeftSoft);
    EXPECT_NE(game->s_gameState, k_stateQuestion);
    EXPECT_EQ(game->m_rules.pushOutShot != 0, c.pushOutTaken);
    // The message comes back into view with the table, still waiting.
    EXPECT_TRUE(game->isMessageWaiting());
    game->m_messages.count = 0;
  }
}
