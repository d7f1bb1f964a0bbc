// The challenge categories (170) and the challenge list (180): the veiled
// rival match, the completion marks, the row marks after paging, locked rows
// that cannot be started, and the won-challenge counts of the achievements.
#include <string>

#include "game/Korvane/cGame/cGameStylus.h"
#include "tests/game/screens/FrontEndFixture.h"

namespace {

class ChallengeScreens : public FrontEndTest {
 protected:
  void SetUp() override {
    FrontEndTest::SetUp();
    std::vector<Interface> all(38);
    ASSERT_NO_FATAL_FAILURE(compileInterfaces(all, {"003-question", "036-challenge-list", "037-challenge-menu"}));
    load(all, 0);
  }
  const int16_t* element(int id, int i) { return getInterfaceElement(*game, id, i); }
  bool shown(int id, int i) { return element(id, i)[F::kWordParams + F::kSpriteVisible] != 0; }
  int anim(int id, int i) { return getInterfaceElementAnim(*game, id, i); }
  void setAll(int32_t state) {
    for (auto& category : game->career.progress.challengeStates)
      for (int32_t& s : category) s = state;
  }
};

// Veiled until unlocked; once open, refused as the stake choice refuses a
// stake the money does not reach (the top level's $500), with its notice
// on the note plate until the next select.
TEST_F(ChallengeScreens, RivalMatchVeiledUntilUnlockedAndRefusedWithoutItsStake) {
  struct Case {
    bool unlocked;
    uint32_t money;
    bool plays;
  };
  for (const Case& c : {Case{false, 5000, false}, Case{true, 500, true}, Case{true, 499, false}}) {
    SCOPED_TRACE(c.money);
    game->career.specialRivalOpen = c.unlocked;
    game->career.progress.money = c.money;
    game->match.gameType = -1;
    game->setup.rivalMatch = 0;
    start(k_stateChallengeMenu);
    EXPECT_EQ(getMenuEntryFlags(*game, k_textRivalMatch), c.unlocked ? 0u : 4u);
    selectMenuEntryById(*game, k_textRivalMatch);
    paintChallengeCategories(*game, game->getGraphics());
    for (int k = 0; k < 3; ++k) EXPECT_EQ(shown(k_ifChallengeMenu, k_challengeMenuNote0 + k), !c.unlocked) << k;
    frame({kSelect});
    EXPECT_EQ(game->states.gameState, c.plays ? k_stateRulesChoice : k_stateChallengeMenu);
    EXPECT_EQ(game->match.gameType, c.plays ? k_gameTypeCareer : -1);
    EXPECT_EQ(game->setup.rivalMatch, c.plays ? 1 : 0);
    EXPECT_EQ(game->challenges.rivalRefused, c.unlocked && !c.plays);
    if (!game->challenges.rivalRefused) continue;
    paintChallengeCategories(*game, game->getGraphics());
    EXPECT_TRUE(shown(k_ifChallengeMenu, k_challengeMenuNote0)) << "the note plate";
    EXPECT_FALSE(shown(k_ifChallengeMenu, k_challengeMenuNote0 + 2)) << "no padlock";
    frame({kSelect});
    EXPECT_EQ(game->challenges.rivalRefused, 0) << "select only closes the notice";
    EXPECT_EQ(game->states.gameState, k_stateChallengeMenu);
  }
}

TEST_F(ChallengeScreens, CategoriesLeadToTheirListsAndBackToThePub) {
  for (int c = 0; c < 4; ++c) {
    start(k_stateChallengeMenu);
    choose(static_cast<uint32_t>(k_textChallengeCategory0 + c));
    EXPECT_EQ(game->states.gameState, k_stateChallengeList);
    EXPECT_EQ(game->challenges.category, c);
  }
  // Back from the list: the categories with nothing selected; back again: the pub.
  frame();
  frame({kBack});
  EXPECT_EQ(game->states.gameState, k_stateChallengeMenu);
  frame();
  EXPECT_EQ(getMenuSelection(*game), -1);
  frame({kBack});
  EXPECT_EQ(game->states.gameState, k_statePub);
}

TEST_F(ChallengeScreens, CompletionMarks) {
  setAll(1);
  for (int i = 0; i < 8; ++i) game->career.progress.challengeStates[2][i] = 2 | 5 << 2;  // won after failures
  game->career.progress.challengeStates[1][7] = 2;
  game->career.progress.specialRivalBeaten = 1;
  start(k_stateChallengeMenu);
  const int expected[5] = {0, 0, 1, 0, 1};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(anim(k_ifChallengeMenu, k_challengeMenuComplete0 + k), expected[k]) << k;
}

TEST_F(ChallengeScreens, RowMarksFollowThePageAndLockedRowsCannotStart) {
  // Category 1: 0 won, 1 open, 2 locked, 3 won; second page: 4 open, 5-7 locked.
  const int32_t states[8] = {2, 1, 0, 2 | 3 << 2, 1 | 7 << 2, 0, 0, 0};
  for (int i = 0; i < 8; ++i) game->career.progress.challengeStates[1][i] = states[i];
  game->challenges.category = 1;
  start(k_stateChallengeList);
  EXPECT_EQ(game->match.gameType, k_gameTypeChallenge);
  auto rowMarks = [&] {
    std::string s;
    for (int i = 0; i < 4; ++i)
      s += !shown(k_ifChallengeList, k_challengeListMark0 + i) ? '-' : anim(k_ifChallengeList, k_challengeListMark0 + i) ? 'x' : 'o';
    return s;
  };
  EXPECT_EQ(rowMarks(), "xo-x");
  for (int i = 0; i < 8; ++i) EXPECT_EQ(game->menu.flags[i], states[i] == 0 ? 4u : 0u) << i;
  // The page turned by a touch before the update: the marks follow.
  game->menu.firstVisible = 4;
  frame();
  EXPECT_EQ(getMenuFirstVisible(*game), 4);
  EXPECT_EQ(rowMarks(), "o---");
  // A locked row selected cannot start; an open one on the second page can.
  game->menu.selection = 5;
  frame({kSelect});
  EXPECT_EQ(game->states.gameState, k_stateChallengeList);
  game->menu.selection = 4;
  frame({kSelect});
  EXPECT_EQ(game->states.gameState, k_stateGameLoading);
  EXPECT_EQ(game->match.challengeNumber, 12);
  EXPECT_EQ(game->setup.opponentSlot, 1);
}

TEST_F(ChallengeScreens, ConfirmPendingHidesThePageButton) {
  setAll(1);
  start(k_stateChallengeList);
  game->menu.selection = 0;  // a touched row
  for (const bool pending : {true, false}) {
    game->states.screenFlags[k_screenFlagChallengeConfirm] = pending;
    frame();
    EXPECT_EQ(shown(k_ifChallengeList, k_challengeListPage), !pending);
    EXPECT_EQ(shown(k_ifChallengeList, k_challengeListPageLabel), !pending);
  }
  // A locked row waits for no second touch: the page button stays.
  setAll(0);
  start(k_stateChallengeList);
  game->menu.selection = 0;
  game->states.screenFlags[k_screenFlagChallengeConfirm] = 1;
  frame();
  EXPECT_TRUE(shown(k_ifChallengeList, k_challengeListPage));
  EXPECT_EQ(game->states.screenFlags[k_screenFlagChallengeConfirm], 0);
}

TEST_F(ChallengeScreens, InfoPlateOnlyForVeiledOrUnwonEntries) {
  game->career.progress.challengeStates[0][0] = 2;
  game->career.progress.challengeStates[0][1] = 1;
  start(k_stateChallengeList);
  const struct {
    int selection;
    bool plate;
  } cases[] = {{0, false}, {1, true}, {2, true}, {-1, true}};
  for (const auto& c : cases) {
    game->menu.selection = c.selection;
    paintChallengeList(*game, game->getGraphics());
    for (int k = 0; k < 3; ++k) EXPECT_EQ(shown(k_ifChallengeList, k_challengeListInfo0 + k), c.plate) << c.selection;
  }
}

TEST_F(ChallengeScreens, HalfAndAllWon) {
  const struct {
    int won;
    bool half, all;
  } cases[] = {{15, false, false}, {16, true, false}, {17, false, false}, {32, false, true}};
  for (const auto& c : cases) {
    setAll(1);
    // Spread over the categories, with failed attempts in the high bits.
    for (int n = 0; n < c.won; ++n) game->career.progress.challengeStates[(n * 5) % 4][(n * 5 / 4) % 8] = 2 | 9 << 2;
    EXPECT_EQ(countWonChallenges(*game), c.won);
    EXPECT_EQ(isHalfChallengesWon(*game), c.half) << c.won;
    EXPECT_EQ(isAllChallengesWon(*game), c.all) << c.won;
  }
}

}  // namespace
