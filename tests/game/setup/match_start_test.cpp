// The screens over the table at the start of play: the career bet, the coin
// toss and the UK break choice.
#include "game/Korvane/cGame/InterfaceFormat.h"
#include "tests/game/turn/TurnFixture.h"

namespace {

using turntest::kKeyFire;
using turntest::kKeyLeft;
using turntest::kKeyLeftSoft;
using turntest::kKeyRight;

class MatchStart : public turntest::TurnTest {
 protected:
  bool shown(int32_t id, int32_t i) {
    namespace F = interfaceformat;
    const int16_t* e = getInterfaceElement(*game, id, i);
    return e && e[F::kWordType] == F::kSprite && e[F::kWordParams + F::kSpriteVisible] != 0;
  }
  // A quick match with the toss pending, through the opponent's intro.
  void startTossedMatch() {
    game->turn.coinTossPending = 1;
    startQuickMatch(k_ruleSetEightBall);
    tap(kKeyFire);
    ASSERT_EQ(game->states.gameState, k_stateCoinToss);
  }
};

TEST_F(MatchStart, CoinIsDrawnAtThePickAndDecidesThirtyTwoFramesLater) {
  struct Case {
    int32_t row, anim;
    uint32_t seed;
  };
  for (uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
    SCOPED_TRACE(seed);
    startTossedMatch();
    EXPECT_EQ(game->setup.tossPhase, 0);
    EXPECT_TRUE(game->turn.touchHint);
    EXPECT_TRUE(shown(13, 10));
    const int32_t row = static_cast<int32_t>(seed % 2);
    game->engine.random->setSeed(seed);
    Random expected;
    expected.setSeed(seed);
    const int32_t anim = expected.nextInt(0, 4);
    game->menu.selection = row;
    tap(kKeyLeftSoft);
    ASSERT_EQ(game->setup.tossPhase, 1);
    EXPECT_FALSE(game->turn.touchHint);
    EXPECT_EQ(game->setup.tossCall, row == 1 ? 0 : 1) << "row 0 is item 27, row 1 item 28";
    EXPECT_EQ(getInterfaceElementAnim(*game, 13, 12), anim) << "drawn when the coin is picked";
    for (int i = 0; i < 31; ++i) {
      ASSERT_EQ(game->states.gameState, k_stateCoinToss) << i;
      frame();
    }
    frame();
    EXPECT_NE(game->states.gameState, k_stateCoinToss) << "on the 32nd frame after the pick";
    EXPECT_EQ(game->turn.coinTossPending, 0);
    EXPECT_EQ(game->match.currentPlayer, k_coinFaces[anim] == game->setup.tossCall ? 0 : 1);
    EXPECT_EQ(game->states.gameState, game->match.currentPlayer == 0 ? k_stateAim : k_stateComputerShot);
  }
}

TEST_F(MatchStart, BreakChoiceGivesTheGroupsOrLooksAtTheOpenTable) {
  struct Case {
    uint32_t item;
    int32_t player;
    uint32_t mine, theirs;
  } cases[] = {{26, 0, 65024, 254}, {25, 0, 254, 65024}, {26, 1, 65024, 254}, {25, 1, 254, 65024}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    game->match.gameType = k_gameTypeSingleMatch;
    game->match.ruleSet = k_ruleSetUK;
    startMatch(*game, k_gameTypeSingleMatch, 2, 7);
    game->match.currentPlayer = c.player;
    game->setInGameState(k_stateBreakChoice);
    EXPECT_EQ(game->setup.breakChoiceView, 0);
    const uint32_t open[2] = {game->rules.playerGroup[0], game->rules.playerGroup[1]};
    // The look at the table first: the groups stay open.
    selectMenuEntryById(*game, 655);
    tap(kKeyLeftSoft);
    EXPECT_EQ(game->setup.breakChoiceView, 1);
    EXPECT_TRUE(shown(14, 12));
    EXPECT_FALSE(shown(14, 1)) << "the row plates go";
    EXPECT_EQ(game->rules.playerGroup[0], open[0]) << "still open";
    EXPECT_EQ(game->rules.playerGroup[1], open[1]);
    tap(kKeyLeftSoft);
    EXPECT_EQ(game->setup.breakChoiceView, 0);
    selectMenuEntryById(*game, c.item);
    tap(kKeyLeftSoft);
    EXPECT_NE(game->states.gameState, k_stateBreakChoice);
    EXPECT_EQ(game->rules.playerGroup[c.player], c.mine);
    EXPECT_EQ(game->rules.playerGroup[1 - c.player], c.theirs);
  }
}

TEST_F(MatchStart, BetStepsAreATenthOfTheRangeCappedByTheMoney) {
  struct Case {
    int32_t slot;
    uint32_t money;
    int32_t min, max, step;
  } cases[] = {
      {1, 1000, 10, 160, 15},   {2, 1000, 50, 200, 15},  {2, 60, 50, 60, 1},  {4, 5000, 150, 750, 60},
      {8, 100000, 500, 7500, 700},
      // The rival match plays at the top level; money under the minimum caps both.
      {10, 100000, 500, 7500, 700}, {3, 40, 40, 40, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slot);
    game->match.gameType = k_gameTypeCareer;
    game->setup.opponentSlot = c.slot;
    game->career.progress.money = c.money;
    game->setInGameState(k_stateBet);
    EXPECT_EQ(game->setup.currentBet, c.min);
    EXPECT_EQ(game->setup.betPosition, 0);
    std::vector<int32_t> bets;
    for (int i = 0; i < 30 && game->setup.betPosition != 2; ++i) {
      tap(kKeyRight);
      bets.push_back(game->setup.currentBet);
    }
    EXPECT_EQ(game->setup.currentBet, c.max);
    EXPECT_LE(game->setup.currentBet, static_cast<int32_t>(c.money));
    if (c.max > c.min) {
      EXPECT_EQ(bets[0], std::min(c.min + c.step, c.max));
      EXPECT_EQ(game->setup.betPosition, 2);
      EXPECT_FALSE(shown(11, 16)) << "the more arrow goes";
      EXPECT_TRUE(shown(11, 17));
      tap(kKeyLeft);
      EXPECT_EQ(game->setup.betPosition, 1);
      EXPECT_EQ(game->setup.currentBet, std::max(c.max - c.step, c.min));
      for (int i = 0; i < 30 && game->setup.betPosition != 0; ++i) tap(kKeyLeft);
      EXPECT_EQ(game->setup.currentBet, c.min);
      EXPECT_FALSE(shown(11, 17));
    }
  }
}

}  // namespace

namespace {

class MatchStartTouch : public turntest::TurnTest {};

TEST_F(MatchStartTouch, TouchingACoinPicksItsRow) {
  struct Case {
    int32_t x, call;
  } cases[] = {{70, 1}, {170, 0}};
  for (const Case& c : cases) {
    game->turn.coinTossPending = 1;
    startQuickMatch(k_ruleSetEightBall);
    tap(turntest::kKeyFire);
    ASSERT_EQ(game->states.gameState, k_stateCoinToss);
    frames(3);
    game->pointerX = game->releaseX = c.x;
    game->pointerY = game->releaseY = 114;
    frames(3);
    EXPECT_EQ(game->setup.tossPhase, 1) << c.x;
    EXPECT_EQ(game->setup.tossCall, c.call) << c.x;
  }
}

}  // namespace
