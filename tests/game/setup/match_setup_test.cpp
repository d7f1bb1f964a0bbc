// The match set-up screens: the character cycle and the random pick, the
// rule-set choice, the table, the career stake and the way back.
#include <algorithm>
#include <cmath>
#include <set>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "tests/game/turn/TurnFixture.h"

namespace {

namespace F = interfaceformat;
using turntest::kKeyBack;
using turntest::kKeyFire;
using turntest::kKeyLeft;
using turntest::kKeyRight;

// The character choice's two steps, run as its sub-states.
constexpr int32_t kPlayerStep = k_subStateDestroy, kOpponentStep = k_subStateInGameUpdate;

class MatchSetup : public turntest::TurnTest {
 protected:
  // Enters a front-end state and runs its set-up frame.
  void enter(int32_t state) {
    game->setState(state);
    frame();
  }
  void career(int32_t character, const std::vector<int32_t>& won) {
    game->career.progress.started = 1;
    game->career.progress.character = character;
    std::fill(std::begin(game->career.progress.won), std::end(game->career.progress.won), 0);
    for (int32_t c : won) game->career.progress.won[c] = 1;
  }
  void available(std::initializer_list<int32_t> chars) {
    std::fill(std::begin(game->career.characterAvailable), std::end(game->career.characterAvailable), 0);
    for (int32_t c : chars) game->career.characterAvailable[c] = 1;
  }
  void SetUp() override {
    turntest::TurnTest::SetUp();
    game->sound.enabled = 1;
  }
  const int16_t* element(int32_t id, int32_t i) { return getInterfaceElement(*game, id, i); }
  bool shown(int32_t id, int32_t i) {
    const int16_t* e = element(id, i);
    return e && e[F::kWordType] == F::kSprite && e[F::kWordParams + F::kSpriteVisible] != 0;
  }
  int32_t frameOf(int32_t id, int32_t i) { return element(id, i)[F::kWordParams + F::kSpriteFrame]; }
  // A pen-down (and its frame) at a screen point, then the pen lifted there.
  void touch(int32_t x, int32_t y) {
    game->pointerX = x;
    game->pointerY = y;
    frame();
    game->pointerX = game->pointerY = -1;
    game->releaseX = x;
    game->releaseY = y;
    frame();
    game->releaseX = game->releaseY = -1;
  }
  // The rule-set choice of a game type, a rule set chosen with select; the
  // next screen's set-up frame runs unless that is the match loading.
  void chooseRules(int32_t gameType, int32_t ruleSet) {
    game->match.gameType = gameType;
    enter(k_stateRulesChoice);
    selectMenuEntryById(*game, static_cast<uint32_t>(k_textRuleSet0 + ruleSet));
    tap(kKeyFire);
    if (game->states.gameState != k_stateGameLoading) frame();
  }
};

TEST_F(MatchSetup, CharacterCycleWalksTheWonCharactersOrTheFixedRing) {
  struct Case {
    const char* name;
    bool started;
    int32_t character;
    std::vector<int32_t> won;
    int32_t from;
    std::vector<int32_t> next, previous;  // successive steps from `from`
  } cases[] = {
      {"no career", false, 0, {}, 0, {5, 9, 0}, {9, 5, 0}},
      {"no career, off the ring", false, 0, {}, 3, {0}, {0}},
      {"one won", true, 0, {9}, 0, {5, 9, 0}, {9, 5, 0}},
      {"several won", true, 5, {0, 3, 7}, 5, {7, 0, 3, 5}, {3, 0, 7, 5}},
      {"career character first", true, 9, {0, 8}, 8, {9, 0, 8}, {0, 9, 8}},
      // A damaged record: the walk meets only the career character.
      {"none won", true, 4, {}, 4, {4, 4}, {4, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    game->career.progress.started = 0;
    if (c.started) career(c.character, c.won);
    int32_t k = c.from;
    for (int32_t want : c.next) EXPECT_EQ(k = nextCharacter(*game, k), want);
    k = c.from;
    for (int32_t want : c.previous) EXPECT_EQ(k = previousCharacter(*game, k), want);
  }
  // A career character out of range with nothing won: the walk ends after
  // ten steps on the nearest valid character.
  career(12, {});
  EXPECT_EQ(nextCharacter(*game, 3), 9);
  EXPECT_EQ(previousCharacter(*game, 3), 9);
}

TEST_F(MatchSetup, RandomCharacterIsNeverTheExcludedOne) {
  struct Case {
    const char* name;
    bool started;
    int32_t character;
    std::vector<int32_t> won;
    std::set<int32_t> pool;  // what the draws may give without exclusion
  } cases[] = {
      // r even steps up, odd steps down: without a career 9 is never drawn.
      {"no career", false, 0, {}, {0, 5}},
      {"several won", true, 5, {0, 3, 7}, {0, 3, 5, 7}},
      {"none won (damaged)", true, 4, {}, {4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    game->career.progress.started = 0;
    if (c.started) career(c.character, c.won);
    game->engine.random->setSeed(2026);
    std::set<int32_t> seen;
    for (int i = 0; i < 1000; ++i) seen.insert(randomCharacter(*game, -1));
    EXPECT_EQ(seen, c.pool);
    for (int32_t exclude : c.pool) {
      for (int i = 0; i < 1000; ++i) {
        const int32_t r = randomCharacter(*game, exclude);
        ASSERT_NE(r, exclude);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, k_characterCount);
      }
    }
  }
}

TEST_F(MatchSetup, QuickMatchPicksTwoCharactersAndTheOpponentsHomeTable) {
  game->career.firstQuickMatch = 1;
  saveSettings(*game);
  ASSERT_EQ(readBytes("save.sav").at(24), 1);
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE(seed);
    game->engine.random->setSeed(seed);
    game->turn.coinTossPending = 0;
    chooseRules(k_gameTypeQuickMatch, static_cast<int32_t>(seed % 3));
    ASSERT_EQ(game->states.gameState, k_stateVersus);
    const int32_t player = game->setup.chosenCharacter[0], opponent = game->setup.chosenCharacter[1];
    if (seed == 1) {
      EXPECT_EQ(player, 9) << "the first quick match";
      EXPECT_EQ(game->career.firstQuickMatch, 0);
      EXPECT_EQ(readBytes("save.sav").at(24), 0) << "saved";
    }
    EXPECT_NE(player, opponent);
    EXPECT_EQ(game->setup.tableIndex, k_characterHomeTable[opponent]);
    EXPECT_EQ(game->match.ruleSet, static_cast<int32_t>(seed % 3));
    tap(kKeyFire);
    ASSERT_EQ(game->states.gameState, k_stateGameLoading);
    EXPECT_EQ(game->turn.coinTossPending, 1) << "a quick match plays no lag";
  }
  EXPECT_EQ(k_characterHomeTable[9], 0);
}

TEST_F(MatchSetup, ATouchedRowThenNoRowMeetsTheDelayedSelectAndChoosesNothing) {
  game->match.gameType = k_gameTypeSingleMatch;
  enter(k_stateRulesChoice);
  EXPECT_EQ(game->menu.selection, 4);
  EXPECT_EQ(frameOf(k_ifRulesChoice, k_rulesPicture), k_rulePictureNone);
  const int32_t rowY = touchLayoutY(154) + 20;
  touch(124, rowY);
  EXPECT_EQ(game->menu.selection, 1);
  EXPECT_EQ(game->states.screenFlags[k_screenFlagDelayedSelect], 1);
  EXPECT_FALSE(shown(k_ifRulesChoice, k_rulesBack)) << "hidden while the row waits";
  // Before the 500 ms are up the pen goes down beside the rows.
  touch(5, 300);
  EXPECT_EQ(game->menu.selection, 4);
  for (int i = 0; i < 20; ++i) frame();
  EXPECT_EQ(game->states.gameState, k_stateRulesChoice) << "no entry is chosen";
  EXPECT_EQ(game->states.screenFlags[k_screenFlagDelayedSelect], 0);
  EXPECT_TRUE(shown(k_ifRulesChoice, k_rulesBack));
  EXPECT_EQ(frameOf(k_ifRulesChoice, k_rulesPicture), k_rulePictureNone);
  // The row touched and left alone chooses it after 500 ms.
  touch(124, rowY);
  for (int i = 0; i < 20 && game->states.gameState == k_stateRulesChoice; ++i) frame();
  EXPECT_EQ(game->states.gameState, k_stateCharacterSelect);
  EXPECT_EQ(game->match.ruleSet, k_ruleSetUK);
}

TEST_F(MatchSetup, RuleSetsHelpOverAPausedMatchKeepsItsStack) {
  game->frontEnd.menusOverMatch = 1;
  game->states.inGame = 1;
  game->states.stackDepth = 1;
  game->states.gameState = k_stateHelpMenu;
  game->setInGameState(k_stateRulesChoice);
  ASSERT_EQ(game->states.gameState, k_stateRulesChoice);
  EXPECT_EQ(game->setup.fromHelp, 1);
  EXPECT_FALSE(shown(k_ifRulesChoice, k_rulesPicture)) << "no picture over a match";
  selectMenuEntryById(*game, k_textRuleSet0 + 2);
  tap(kKeyFire);
  EXPECT_EQ(game->states.gameState, k_stateHelpText);
  EXPECT_EQ(game->setup.helpSubject, k_textRuleSet0 + 2);
  EXPECT_EQ(game->states.inGame, 1);
  EXPECT_EQ(game->states.stackDepth, 1);
  game->setInGameState(k_stateRulesChoice);
  tap(kKeyBack);
  EXPECT_EQ(game->states.gameState, k_stateHelpMenu);
  EXPECT_EQ(game->states.inGame, 1);
  EXPECT_EQ(game->states.stackDepth, 1);
}

TEST_F(MatchSetup, TableWrapsAndTurnsOnlyInASingleMatch) {
  const int32_t cases[][3] = {{0, 1, 8}, {4, 5, 3}, {8, 0, 7}, {-3, 1, 8}, {12, 0, 7}};
  for (const auto& c : cases) {
    setTable(*game, c[0]);
    EXPECT_EQ(game->setup.nextTable, c[1]) << c[0];
    EXPECT_EQ(game->setup.previousTable, c[2]) << c[0];
  }
  for (int32_t type : {k_gameTypeSingleMatch, k_gameTypeCareer}) {
    SCOPED_TRACE(type);
    game->match.gameType = type;
    setTable(*game, 8);
    enter(k_stateTableChoice);
    EXPECT_EQ(shown(k_ifTableChoice, k_tableArrowRight), type == k_gameTypeSingleMatch);
    tap(kKeyRight);
    EXPECT_EQ(game->setup.tableIndex, type == k_gameTypeSingleMatch ? 0 : 8);
    tap(kKeyLeft);
    tap(kKeyLeft);
    EXPECT_EQ(game->setup.tableIndex, type == k_gameTypeSingleMatch ? 7 : 8);
    EXPECT_EQ(getInterfaceElement(*game, k_ifTableChoice, k_tablePlan)[F::kWordParams + F::kSpriteBank],
              k_slotTablePlan0 + game->setup.tableIndex);
  }
}

TEST_F(MatchSetup, SingleMatchCharactersThenBackFromTheTableToTheOpponentStep) {
  game->career.progress.started = 0;
  chooseRules(k_gameTypeSingleMatch, k_ruleSetEightBall);
  ASSERT_EQ(game->states.gameState, k_stateCharacterSelect);
  EXPECT_EQ(game->states.subState, kPlayerStep);
  tap(kKeyRight);
  EXPECT_EQ(game->setup.chosenCharacter[0], 5);
  tap(kKeyFire);
  EXPECT_EQ(game->states.subState, kOpponentStep);
  EXPECT_EQ(game->setup.chosenCharacter[1], 0) << "the character before the player";
  // Stepping skips the player.
  tap(kKeyRight);
  EXPECT_EQ(game->setup.chosenCharacter[1], 9);
  tap(kKeyLeft);
  EXPECT_EQ(game->setup.chosenCharacter[1], 0);
  tap(kKeyFire);
  ASSERT_EQ(game->states.gameState, k_stateTableChoice);
  EXPECT_EQ(game->setup.tableIndex, 0);
  tap(kKeyBack);
  ASSERT_EQ(game->states.gameState, k_stateCharacterSelect);
  frame();
  EXPECT_EQ(game->states.subState, kOpponentStep) << "back at the opponent step";
  EXPECT_EQ(game->setup.chosenCharacter[0], 5);
  EXPECT_EQ(game->setup.chosenCharacter[1], 0);
  EXPECT_TRUE(shown(k_ifCharacterChoice, k_charOpponentName));
  EXPECT_TRUE(shown(k_ifCharacterChoice, k_charPlayerName));
  // Back from the opponent step to the player step, then to the rules.
  tap(kKeyBack);
  EXPECT_EQ(game->states.subState, kPlayerStep);
  tap(kKeyBack);
  EXPECT_EQ(game->states.gameState, k_stateRulesChoice);
}

TEST_F(MatchSetup, StakeSeatsLeaveOutTheCareerCharactersAndSitOnTheirTouchBoxes) {
  struct Case {
    int32_t character, skipped;
  } cases[] = {{0, 5}, {9, 5}, {5, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.character);
    career(c.character, {0, 9});
    available({0, 1, 9});
    game->match.gameType = k_gameTypeCareer;
    game->career.progress.money = 1000;
    enter(k_stateStakeChoice);
    EXPECT_EQ(game->setup.skippedSeat, c.skipped);
    EXPECT_FALSE(shown(k_ifStakeChoice, k_stakeSeat0 + c.skipped));
    EXPECT_EQ(game->setup.stakeLevel, 0) << "three available characters";
    for (int32_t level = 0; level < k_stakeLevelCount; ++level) {
      const int32_t seat = game->setup.stakeSeats[level];
      EXPECT_EQ(seat, level < c.skipped ? level : level + 1);
      ASSERT_TRUE(shown(k_ifStakeChoice, k_stakeSeat0 + seat));
      EXPECT_EQ(frameOf(k_ifStakeChoice, k_stakeSeat0 + seat), level == 0 ? k_seatFrameOpen : k_seatFrameLocked);
      // The pen on the middle of the level's seat picture chooses that level.
      const int16_t* e = element(k_ifStakeChoice, k_stakeSeat0 + seat);
      game->pointerX = e[F::kWordX] + 20;
      game->pointerY = e[F::kWordY] + 17;
      frame();
      EXPECT_EQ(game->setup.stakeLevel, level) << "seat " << seat;
      EXPECT_EQ(game->setup.opponentSlot, level + 1);
      EXPECT_EQ(game->setup.tableIndex, k_characterHomeTable[getRivalCharacter(*game, level + 1)]);
      EXPECT_TRUE(shown(k_ifStakeChoice, k_stakeMark0 + seat));
      EXPECT_EQ(frameOf(k_ifStakeChoice, k_stakeGlow), level == 0 ? seat : 0);
      EXPECT_EQ(shown(k_ifStakeDetails, k_stakeRival), level == 0);
      game->pointerX = game->pointerY = -1;
    }
  }
}

TEST_F(MatchSetup, StakeSelectWhenLockedShortOfMoneyOrPaid) {
  career(0, {9});
  game->match.gameType = k_gameTypeCareer;
  // Only level 0 open: a locked level plays the error sound and nothing else.
  available({0, 1, 9});
  game->career.progress.money = 1000;
  enter(k_stateStakeChoice);
  tap(kKeyRight);
  ASSERT_EQ(game->setup.stakeLevel, 1);
  game->sound.lastId = -1;
  tap(kKeyFire);
  EXPECT_EQ(game->sound.lastId, k_soundError);
  EXPECT_EQ(game->setup.stakeNoticeShown, 0);
  EXPECT_EQ(game->states.gameState, k_stateStakeChoice);
  // Every level open, money under the level's price.
  available({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  game->career.progress.money = 49;
  enter(k_stateStakeChoice);
  EXPECT_EQ(game->setup.stakeLevel, 7);
  tap(kKeyRight);
  tap(kKeyRight);
  ASSERT_EQ(game->setup.stakeLevel, 1) << "wraps from 7";
  game->sound.lastId = -1;
  tap(kKeyFire);
  EXPECT_EQ(game->sound.lastId, k_soundError);
  EXPECT_EQ(game->setup.stakeNoticeShown, 1);
  tap(kKeyRight);
  tap(kKeyLeft);
  EXPECT_EQ(game->setup.stakeLevel, 1) << "the notice holds the level";
  tap(kKeyFire);
  EXPECT_EQ(game->setup.stakeNoticeShown, 0);
  EXPECT_EQ(game->states.gameState, k_stateStakeChoice) << "select only closed it";
  tap(kKeyFire);
  EXPECT_EQ(game->setup.stakeNoticeShown, 1);
  tap(kKeyBack);
  EXPECT_EQ(game->setup.stakeNoticeShown, 0);
  EXPECT_EQ(game->states.gameState, k_stateStakeChoice) << "back only closed it";
  // Enough money: on to the table choice with the rival's home table, fixed.
  game->career.progress.money = 50;
  game->sound.lastId = -1;
  tap(kKeyFire);
  EXPECT_EQ(game->sound.lastId, 0);
  ASSERT_EQ(game->states.gameState, k_stateTableChoice);
  EXPECT_EQ(game->setup.opponentSlot, 2);
  const int32_t home = k_characterHomeTable[getRivalCharacter(*game, 2)];
  EXPECT_EQ(game->setup.tableIndex, home);
  tap(kKeyRight);
  EXPECT_EQ(game->setup.tableIndex, home);
  tap(kKeyBack);
  EXPECT_EQ(game->states.gameState, k_stateStakeChoice);
  frame();
  tap(kKeyBack);
  EXPECT_EQ(game->states.gameState, k_stateRulesChoice);
}

TEST_F(MatchSetup, StakeUpStartsOneLevelHigherUpToTheTop) {
  career(0, {9});
  available({0, 1, 9});
  game->match.gameType = k_gameTypeCareer;
  const int32_t cases[][2] = {{3, 4}, {6, 7}, {7, 7}};
  for (const auto& c : cases) {
    game->setup.stakeLevel = c[0];
    game->setup.stakeUp = 1;
    enter(k_stateStakeChoice);
    EXPECT_EQ(game->setup.stakeLevel, c[1]) << c[0];
    EXPECT_EQ(game->setup.stakeUp, 0);
  }
}

TEST_F(MatchSetup, StakeGlowPulsesWithThePaintCounter) {
  // amount = 220 |sin(((2 n) mod 63) degrees)|
  const int32_t cases[][2] = {{0, 0}, {10, 75}, {31, 194}, {32, 4}};
  for (const auto& c : cases) {
    const int32_t amount = stakeGlowAmount(c[0]);
    EXPECT_NEAR(amount, c[1], 1) << c[0];
    EXPECT_GE(amount, 0);
    EXPECT_LE(amount, 220);
  }
}

TEST_F(MatchSetup, CareerMatchThroughStakeTableAndVersusToTheLoading) {
  career(0, {9, 5});
  available({0, 1, 5, 9});
  game->career.progress.money = 1000;
  game->setup.rivalMatch = 0;
  chooseRules(k_gameTypeCareer, k_ruleSetUK);
  ASSERT_EQ(game->states.gameState, k_stateStakeChoice);
  EXPECT_EQ(game->setup.stakeLevel, 1);
  tap(kKeyFire);
  ASSERT_EQ(game->states.gameState, k_stateTableChoice);
  tap(kKeyFire);
  ASSERT_EQ(game->states.gameState, k_stateVersus);
  frame();
  EXPECT_EQ(getInterfaceElement(*game, k_ifVersus, k_versusPortraitRight)[F::kWordParams + F::kSpriteBank],
            k_slotPortrait0 + getRivalCharacter(*game, 2));
  EXPECT_EQ(frameOf(k_ifVersus, k_versusNameLeft), 0);
  tap(kKeyFire);
  EXPECT_EQ(game->states.gameState, k_stateGameLoading);
  EXPECT_EQ(game->setup.opponentSlot, 2);
  EXPECT_EQ(game->turn.coinTossPending, 1) << "UK rules play no lag";
  // The rival match goes straight to the loading against slot 10.
  game->setup.rivalMatch = 1;
  chooseRules(k_gameTypeCareer, k_ruleSetEightBall);
  EXPECT_EQ(game->states.gameState, k_stateGameLoading);
  EXPECT_EQ(game->setup.opponentSlot, 10);
  EXPECT_EQ(getRivalCharacter(*game, 10), 10);
  EXPECT_EQ(game->turn.coinTossPending, 0);
  // Back from the rule choice of a career goes to the pub.
  game->match.gameType = k_gameTypeCareer;
  enter(k_stateRulesChoice);
  tap(kKeyBack);
  EXPECT_EQ(game->states.gameState, k_statePub);
}

}  // namespace

namespace {

// The break choice shows every sprite of its interface but the back button
// in its menu view: they must all be the menu's own pictures.
TEST_F(MatchSetup, BreakChoiceMenuViewShowsOnlyItsMenuPictures) {
  const int32_t n = getInterfaceElementCount(*game, k_ifBreakChoice);
  ASSERT_GT(n, k_breakBack);
  for (int32_t i = 0; i < n; ++i) {
    const int16_t* e = element(k_ifBreakChoice, i);
    if (i == k_breakBack || !e || e[F::kWordType] != F::kSprite) continue;
    EXPECT_EQ(e[F::kWordParams + F::kSpriteBank], k_slotUi) << "element " << i;
  }
}

}  // namespace
