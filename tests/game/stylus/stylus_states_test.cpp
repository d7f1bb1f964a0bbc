#include "StylusFixture.h"

#include <vector>

namespace {

struct MenuCase {
  int32_t state;
  std::vector<LayoutRect> rows;
  std::vector<int32_t> selections;
};

// (18, y, 212, h) rows.
std::vector<LayoutRect> rows(std::initializer_list<int32_t> tops, int32_t h) {
  std::vector<LayoutRect> r;
  for (int32_t y : tops) r.push_back({18, y, 212, h});
  return r;
}

}  // namespace

// Menus: the pen over a row selects it, a pen-up on it sends press 17; just
// beside a row the selection is cleared and nothing is sent.
TEST_F(StylusTest, MenuRows) {
  const std::vector<MenuCase> cases = {
      {k_stateFirstRunQuestion, {{86, 137, 65, 40}, {86, 186, 65, 40}}, {0, 1}},
      {k_stateMainMenu, rows({49, 89, 129, 169, 209, 249, 289}, 24), {0, 1, 2, 3, 4, 5, 6}},
      {k_stateOptions, rows({126, 176, 226, 276}, 28), {0, 1, 2, 3}},
      {k_stateHelpMenu, rows({126, 176, 226, 276}, 28), {0, 1, 2, 3}},
      {k_stateTutorialChoice, rows({129, 179, 229, 279}, 29), {0, 1, 2, 3}},
      {k_stateTournamentMenu, rows({106, 154, 205}, 40), {0, 1, 2}},
      {k_stateChallengeMenu, rows({97, 132, 167, 202, 237}, 20), {0, 1, 2, 3, 4}},
      {k_stateAchievementMenu, rows({101, 151, 201}, 30), {0, 1, 2}},
      {k_stateIGM, rows({118, 158, 198, 238, 278}, 24), {0, 1, 2, 3, 4}},
      {k_stateInGameQuestion, rows({153, 205}, 40), {0, 1}},
      {k_stateTournamentFieldChoice, rows({141, 181}, 24), {0, 1}},
      {k_stateTournamentFieldConfirm, rows({154, 206}, 40), {0, 1}},
  };
  for (const MenuCase& c : cases) {
    for (size_t i = 0; i < c.rows.size(); ++i) {
      const LayoutRect& r = c.rows[i];
      SCOPED_TRACE(testing::Message() << "state " << c.state << " row " << i);
      enter(c.state);
      // The main menu's rows give the entries they show: from entry 0 here.
      if (c.state == k_stateMainMenu) {
        game->menu.count = 7;
        game->menu.firstVisible = 0;
      }
      game->menu.selection = 99;
      penAt(r.cx(), r.cy());
      EXPECT_EQ(game->menu.selection, c.selections[i]);
      Sent s = tapUp(r.cx(), r.cy());
      EXPECT_EQ(s.pressed, keyBit(k_touchKeyLeftSoft));
      EXPECT_EQ(s.released, 0u);
      for (int32_t x : {r.x - 1, r.x + r.w + 1}) {
        game->menu.selection = 99;
        penAt(x, r.cy());
        EXPECT_EQ(game->menu.selection, -1);
        EXPECT_EQ(tapUp(x, r.cy()).pressed, 0u);
      }
      // Bottom edge included, one below not (unless the next row starts there).
      enter(c.state);
      EXPECT_EQ(tapUp(r.cx(), r.top() + r.h).pressed, keyBit(k_touchKeyLeftSoft));
    }
  }
}

TEST_F(StylusTest, OptionsFourthRowOverAMatch) {
  enter(k_stateOptions);
  game->frontEnd.menusOverMatch = 1;
  penAt(124, touchLayoutY(276) + 14);
  EXPECT_EQ(game->menu.selection, 4);
}

// Outside a match the options show five rows: the fifth (help) is touchable
// there only, and never in the four-row help menu.
TEST_F(StylusTest, OptionsFifthRowOutsideAMatch) {
  const struct {
    int32_t state;
    uint8_t overMatch;
    int32_t selection;
  } cases[] = {{k_stateOptions, 0, 4}, {k_stateOptions, 1, -1}, {k_stateHelpMenu, 0, -1}};
  for (const auto& c : cases) {
    enter(c.state);
    game->frontEnd.menusOverMatch = c.overMatch;
    penAt(100, touchLayoutY(325) + 14);
    EXPECT_EQ(game->menu.selection, c.selection) << c.state << " " << int(c.overMatch);
  }
  enter(k_stateOptions);
  EXPECT_EQ(tapUp(100, touchLayoutY(325) + 14).pressed, keyBit(k_touchKeyLeftSoft));
  penAt(124, touchLayoutY(276) + 14);
  EXPECT_EQ(game->menu.selection, 3);
}

TEST_F(StylusTest, QuestionOnlyForKnownActions) {
  for (int32_t action : {0, 14, 15, -1}) {
    enter(k_stateQuestion);
    game->question.action = action;
    const bool mapped = action >= 0 && action <= 14;
    EXPECT_EQ(tapUp(124, touchLayoutY(150) + 20).pressed, mapped ? keyBit(k_touchKeyLeftSoft) : 0u) << action;
  }
}

TEST_F(StylusTest, InGameMenuWithOneHiddenOption) {
  enter(k_stateIGM);
  game->inGameMenus.invisibleOptions = 1;
  const int32_t expected[] = {0, 2, 3, 4};
  for (int32_t rowIndex = 0; rowIndex < 4; ++rowIndex) {
    penAt(124, touchLayoutY(118 + 40 * rowIndex) + 12);
    EXPECT_EQ(game->menu.selection, expected[rowIndex]) << rowIndex;
  }
  penAt(124, touchLayoutY(278) + 12);
  EXPECT_EQ(game->menu.selection, -1);
}

// Buttons: a pen-up at the centre sends the key (as a press or a pair), just
// outside nothing.
TEST_F(StylusTest, Buttons) {
  struct Case {
    int32_t state;
    int32_t subState;
    LayoutRect button;
    int key;
    bool pair;
  } cases[] = {
      {k_stateCharacterSelect, k_subStateDestroy, {25, 190, 45, 40}, k_touchKeyLeft, true},
      {k_stateCharacterSelect, k_subStateDestroy, {25, 80, 45, 40}, k_touchKeyRight, true},
      {k_stateCharacterSelect, k_subStateDestroy, {13, 128, 74, 50}, k_touchKeyFire, true},
      {k_stateCharacterSelect, k_subStateInGameUpdate, {162, 190, 45, 40}, k_touchKeyLeft, true},
      {k_stateCharacterSelect, k_subStateInGameUpdate, {162, 80, 45, 40}, k_touchKeyRight, true},
      {k_stateCharacterSelect, k_subStateInGameUpdate, {148, 128, 74, 50}, k_touchKeyFire, true},
      {k_stateCharacterSelect, k_subStateInGameUpdate, {197, 338, 43, 40}, k_touchKeyRightSoft, false},
      {k_statePub, -1, {197, 338, 43, 40}, k_touchKeyRightSoft, true},
      {k_statePub, -1, {200, 165, 40, 55}, k_touchKeyRight, true},
      {k_statePub, -1, {0, 165, 40, 55}, k_touchKeyLeft, true},
      {k_stateCareerCharacterSelect, -1, {25, 253, 74, 50}, k_touchKeyLeftSoft, false},
      {k_stateCareerCharacterSelect, -1, {0, 80, 40, 45}, k_touchKeyLeft, false},
      {k_stateCareerCharacterSelect, -1, {200, 80, 40, 45}, k_touchKeyRight, false},
      {k_stateTournamentCharacterSelect, -1, {79, 137, 80, 54}, k_touchKeyFire, true},
      {k_stateTournamentCharacterSelect, -1, {0, 137, 40, 40}, k_touchKeyLeft, true},
      {k_stateTournamentCharacterSelect, -1, {200, 137, 40, 40}, k_touchKeyRight, true},
      {k_stateTournamentCharacterSelect, -1, {197, 338, 43, 40}, k_touchKeyRightSoft, false},
      {k_stateTableChoice, -1, {103, 285, 44, 44}, k_touchKeyLeftSoft, true},
      {k_stateTableChoice, -1, {15, 186, 40, 55}, k_touchKeyLeft, true},
      {k_stateTableChoice, -1, {185, 186, 40, 55}, k_touchKeyRight, true},
      {k_stateStakeChoice, -1, {155, 85, 44, 44}, k_touchKeyFire, true},
      {k_stateShop, -1, {99, 137, 40, 40}, k_touchKeyLeftSoft, false},
      {k_stateShop, -1, {42, 135, 40, 40}, k_touchKeyLeft, false},
      {k_stateShop, -1, {160, 135, 40, 40}, k_touchKeyRight, false},
      {k_stateShop, -1, {97, 80, 40, 40}, k_touchKeyUp, false},
      {k_stateShop, -1, {97, 185, 40, 40}, k_touchKeyDown, false},
      {k_stateShop, -1, {197, 338, 43, 40}, k_touchKeyRightSoft, false},
      {k_stateChallengeUnlocked, -1, {98, 293, 40, 40}, k_touchKeyLeftSoft, false},
      {k_stateCharacterUnlocked, -1, {98, 293, 40, 40}, k_touchKeyLeftSoft, false},
      {k_stateContinue, -1, {100, 290, 40, 40}, k_touchKeyLeftSoft, false},
      {k_stateShotPower, -1, {10, 170, 40, 40}, k_touchKeyFire, true},
      {k_stateShotPower, -1, {0, 338, 60, 40}, k_touchKeyLeftSoft, true},
      {k_stateShotPower, -1, {197, 338, 43, 40}, k_touchKeyRightSoft, true},
      {k_stateBallsMoving, -1, {106, 303, 40, 40}, k_touchKeyFire, true},
      {k_stateComputerShot, -1, {197, 338, 43, 40}, k_touchKeyRightSoft, true},
      {k_stateBet, -1, {0, 115, 40, 44}, k_touchKeyLeft, true},
      {k_stateBet, -1, {86, 115, 40, 44}, k_touchKeyRight, true},
      {k_stateBet, -1, {0, 338, 60, 40}, k_touchKeyLeftSoft, true},
      {k_stateBet, -1, {197, 338, 43, 40}, k_touchKeyRightSoft, false},
      {k_stateBreakChoice, -1, {175, 340, 65, 38}, k_touchKeyRightSoft, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "state " << c.state << " key " << c.key);
    enter(c.state, c.subState);
    Sent s = tapUp(c.button.cx(), c.button.cy());
    EXPECT_EQ(s.pressed, keyBit(c.key));
    EXPECT_EQ(s.released, c.pair ? keyBit(c.key) : 0u);
    EXPECT_EQ(s.held, c.pair ? 0u : keyBit(c.key));
    enter(c.state, c.subState);
    const int32_t outsideX = c.button.x > 0 ? c.button.x - 1 : c.button.x + c.button.w + 1;
    EXPECT_EQ(tapUp(outsideX, c.button.cy()).pressed, 0u);
  }
}

// Whole-screen taps; on the three screens that draw a back button in the
// right soft key's place (the career introduction, the bracket, the shop's
// explanation) that button still goes back.
TEST_F(StylusTest, WholeScreen) {
  struct Case {
    int32_t state;
    int key;
    bool pair;
  } cases[] = {
      {k_stateTitle, k_touchKeyFire, false},
      {k_stateCareerIntro, k_touchKeyLeftSoft, false},
      {k_stateTournamentStage, k_touchKeyFire, true},
      {k_stateGameOver, k_touchKeyLeftSoft, false},
      {k_stateItemBought, k_touchKeyLeftSoft, false},
      {k_stateTournamentPrize, k_touchKeyLeftSoft, true},
      {k_stateShopExplanation, k_touchKeyLeftSoft, false},
      {k_stateCareerComplete, k_touchKeyLeftSoft, true},
      {k_stateOpponentIntro, k_touchKeyFire, true},
      {k_stateResultLines, k_touchKeyFire, true},
      // The match's message states send the fire key, a key that dismisses
      // their message (the left soft key does not: it opens the in-game menu).
      {k_stateAfterShot, k_touchKeyFire, true},
      {k_stateMatchNotices, k_touchKeyFire, true},
      {k_stateTutorialLessonIntro, k_touchKeyFire, true},
      {k_stateChallengeIntro, k_touchKeyFire, true},
      {k_stateTutorialFinished, k_touchKeyFire, true},
  };
  const LayoutRect rightSoftKey{197, 338, 43, 40};
  for (const Case& c : cases) {
    for (auto [x, y] : {std::pair{5, 5}, std::pair{120, 160}, std::pair{rightSoftKey.cx(), rightSoftKey.cy()}}) {
      SCOPED_TRACE(testing::Message() << "state " << c.state << " at " << x << "," << y);
      enter(c.state);
      Sent s = tapUp(x, y);
      const bool back = x == rightSoftKey.cx() && (c.state == k_stateCareerIntro || c.state == k_stateTournamentStage ||
                                                 c.state == k_stateShopExplanation);
      EXPECT_EQ(s.pressed, keyBit(back ? k_touchKeyRightSoft : c.key));
      EXPECT_EQ(s.released, c.pair && !back ? keyBit(c.key) : 0u);
    }
  }
}

TEST_F(StylusTest, RightSoftHighlightFollowsPen) {
  enter(k_stateCareerIntro);
  penAt(218, 300);
  EXPECT_EQ(game->stylus.rightSoftHighlight, 1);
  penAt(100, 100);
  EXPECT_EQ(game->stylus.rightSoftHighlight, 0);
  enter(k_stateCharacterSelect, k_subStateInGameUpdate);
  penAt(218, 300);
  EXPECT_EQ(game->stylus.rightSoftHighlight, 1);
  tapUp(218, 300);
  EXPECT_EQ(game->stylus.rightSoftHighlight, 0);
}

// The versus screen: its back button's corner goes back, a tap elsewhere plays.
TEST_F(StylusTest, VersusBackCornerAndPlayElsewhere) {
  enter(k_stateVersus);
  penAt(218, 300);
  EXPECT_EQ(game->stylus.rightSoftHighlight, 1);
  EXPECT_EQ(tapUp(218, 300).pressed, keyBit(k_touchKeyRightSoft));
  EXPECT_EQ(game->stylus.rightSoftHighlight, 0);
  EXPECT_EQ(tapUp(120, 160).pressed, keyBit(k_touchKeyFineTurnB));
}

TEST_F(StylusTest, UnmappedStatesSendKeyFour) {
  for (int32_t state : {k_stateStart, k_stateLoadInit, k_stateLogo, k_stateMainMenuLoading, k_statePlayerChoice,
                        k_stateVersus, k_stateCheatMenu, k_stateGameLoading, k_stateQuestionMenu, k_stateMatchInit,
                        k_stateStroke, k_stateComputerBallInHand, k_stateStartDispatch}) {
    enter(state);
    Sent s = tapUp(120, 160);
    EXPECT_EQ(s.pressed, keyBit(k_touchKeyFineTurnB)) << state;
    EXPECT_EQ(s.released, 0u) << state;
    EXPECT_EQ(run().pressed, 0u) << state;  // the tap was consumed
    EXPECT_EQ(penAt(120, 160).pressed, 0u) << state;
  }
  // The won frame's dialog is dismissed by a tap: select (pair 19).
  enter(k_stateFrameWon);
  const Sent won = tapUp(120, 160);
  EXPECT_EQ(won.pressed, keyBit(k_touchKeyFire));
  EXPECT_EQ(won.released, keyBit(k_touchKeyFire));
  enter(k_stateHumanBallInHandStart);
  game->stylus.leftSoftHighlight = game->stylus.rightSoftHighlight = 1;
  EXPECT_EQ(tapUp(120, 160).pressed, 0u);
  EXPECT_EQ(game->stylus.leftSoftHighlight, 0);
  EXPECT_EQ(game->stylus.rightSoftHighlight, 0);
}

TEST_F(StylusTest, HoldScroll) {
  struct Case {
    int32_t state;
    LayoutRect a, b;
  } cases[] = {
      {k_stateHelpText, {103, 72, 40, 40}, {103, 299, 40, 40}},
      {k_stateAbout, {98, 60, 50, 40}, {98, 300, 40, 40}},
  };
  for (const Case& c : cases) {
    enter(c.state);
    EXPECT_EQ(penAt(c.a.cx(), c.a.cy()).held, keyBit(k_touchKeyUp)) << c.state;
    EXPECT_EQ(game->pointerX, c.a.cx());  // kept while the pen rests
    EXPECT_EQ(run().held, keyBit(k_touchKeyUp)) << c.state;
    EXPECT_EQ(penAt(c.b.cx(), c.b.cy()).held, keyBit(k_touchKeyDown)) << c.state;
    Sent s = penAt(5, 5);
    EXPECT_EQ(s.held, 0u);
    EXPECT_EQ(s.released, keyBit(k_touchKeyUp) | keyBit(k_touchKeyDown));
  }
}

TEST_F(StylusTest, PubSpotPictures) {
  struct Case {
    int32_t spot;
    LayoutRect picture;
  } cases[] = {
      {0, {88, 126, 122, 34}}, {1, {78, 133, 81, 102}}, {2, {80, 133, 93, 67}},
      {3, {94, 167, 101, 140}}, {4, {22, 102, 184, 120}}, {5, {194, 95, 44, 213}},
  };
  for (const Case& c : cases) {
    enter(k_statePub);
    game->career.pubSpot = c.spot;
    EXPECT_EQ(tapUp(c.picture.cx(), c.picture.cy()).pressed, keyBit(k_touchKeyLeftSoft)) << c.spot;
    game->swipeRight = 1;
    EXPECT_EQ(tapUp(c.picture.cx(), c.picture.cy()).pressed & keyBit(k_touchKeyLeftSoft), 0u) << c.spot;
    game->swipeRight = 0;
  }
  enter(k_statePub);
  game->career.pubSpot = 9;  // out of range: no picture
  EXPECT_EQ(tapUp(120, 160).pressed, 0u);
}

TEST_F(StylusTest, RulesChoiceSelectsAfterHalfASecond) {
  enter(k_stateRulesChoice);
  game->frame.gameClock = 10000;
  penAt(124, touchLayoutY(154) + 20);
  EXPECT_EQ(game->menu.selection, 1);
  penAt(5, 5);
  EXPECT_EQ(game->menu.selection, 4);
  penAt(124, touchLayoutY(154) + 20);
  EXPECT_EQ(tapUp(124, touchLayoutY(154) + 20).pressed, 0u);
  EXPECT_EQ(game->states.screenFlags[k_screenFlagDelayedSelect], 1);
  game->frame.gameClock = 10499;
  EXPECT_EQ(run().pressed, 0u);
  game->frame.gameClock = 10500;
  EXPECT_EQ(run().pressed, keyBit(k_touchKeyLeftSoft));
  game->frame.gameClock = 10533;
  EXPECT_EQ(run().pressed, keyBit(k_touchKeyLeftSoft));  // repeats until the state changes
  game->setState(k_stateTournamentMenu);
  game->keys.lock(0);
  game->states.gameState = k_stateRulesChoice;
  EXPECT_EQ(run().pressed, 0u);
}

TEST_F(StylusTest, ChallengeListSecondTap) {
  enter(k_stateChallengeList);
  game->menu.count = 8;
  const int32_t row1 = touchLayoutY(135) + 10;
  penAt(124, row1);
  EXPECT_EQ(game->menu.selection, 1);
  EXPECT_EQ(tapUp(124, row1).pressed, 0u);
  EXPECT_EQ(game->states.screenFlags[k_screenFlagChallengeConfirm], 1);
  EXPECT_EQ(tapUp(120, 100).pressed, keyBit(k_touchKeyLeftSoft));
  EXPECT_EQ(game->states.screenFlags[k_screenFlagChallengeConfirm], 0);
  // The right soft key disarms without a key.
  tapUp(124, row1);
  EXPECT_EQ(tapUp(218, 300).pressed, 0u);
  EXPECT_EQ(game->states.screenFlags[k_screenFlagChallengeConfirm], 0);
  // A locked row is selected (its note says why) but arms nothing: the back
  // button goes back at once.
  game->menu.flags[2] = 4;
  const int32_t row2 = touchLayoutY(170) + 10;
  penAt(124, row2);
  EXPECT_EQ(game->menu.selection, 2);
  EXPECT_EQ(tapUp(124, row2).pressed, 0u);
  EXPECT_EQ(game->states.screenFlags[k_screenFlagChallengeConfirm], 0);
  EXPECT_EQ(tapUp(218, 300).pressed, keyBit(k_touchKeyRightSoft));
  game->menu.flags[2] = 0;
  // Page button: selection -2 under the pen, a pen-up switches the page.
  const LayoutRect page{82, 251, 60, 25};
  penAt(page.cx(), page.cy());
  EXPECT_EQ(game->menu.selection, -2);
  tapUp(page.cx(), page.cy());
  EXPECT_EQ(game->menu.firstVisible, 4);
  EXPECT_EQ(game->menu.selection, -1);
  penAt(124, row1);
  EXPECT_EQ(game->menu.selection, 5);
  // An out-of-range selection never reads past the flags.
  tapUp(124, row1);
  game->menu.selection = 1000;
  EXPECT_EQ(tapUp(120, 100).pressed, 0u);
  // A negative selection disarms at once.
  game->menu.selection = -1;
  EXPECT_EQ(run().pressed, 0u);
  EXPECT_EQ(game->states.screenFlags[k_screenFlagChallengeConfirm], 0);
}

TEST_F(StylusTest, AchievementListRowsSendNothing) {
  enter(k_stateAchievementList);
  const int32_t row4 = touchLayoutY(97 + 35 * 4) + 10;
  penAt(124, row4);
  EXPECT_EQ(game->menu.selection, 4);
  EXPECT_EQ(tapUp(124, row4).pressed, 0u);
  const LayoutRect page{82, 275, 66, 25};
  tapUp(page.cx(), page.cy());
  EXPECT_EQ(game->menu.firstVisible, 5);
  penAt(124, row4);
  EXPECT_EQ(game->menu.selection, 9);
  tapUp(page.cx(), page.cy());
  EXPECT_EQ(game->menu.firstVisible, 0);
}

TEST_F(StylusTest, PostMatchMenuSecondTap) {
  enter(k_statePostMatchMenu);
  const int32_t row2 = touchLayoutY(167) + 10;
  penAt(124, row2);
  EXPECT_EQ(game->menu.selection, 2);
  EXPECT_EQ(tapUp(124, row2).pressed, 0u);
  EXPECT_EQ(tapUp(120, 100).pressed, keyBit(k_touchKeyLeftSoft));
  EXPECT_EQ(game->states.screenFlags[k_screenFlagPostMatchConfirm], 0);
  tapUp(124, row2);
  EXPECT_EQ(tapUp(218, 300).pressed, 0u);
  EXPECT_EQ(game->states.screenFlags[k_screenFlagPostMatchConfirm], 0);
}

TEST_F(StylusTest, StakePictures) {
  struct Case {
    int32_t skipped;
    int32_t x, y;
    int32_t level;
  } cases[] = {
      {0, 0, 125, 0},   {0, 5, 175, 1},   {0, 55, 155, 2},  {0, 70, 202, 3},  {0, 100, 105, 4},
      {5, 125, 105, 4}, {0, 130, 200, 5}, {0, 160, 155, 6}, {0, 200, 224, 7},
  };
  for (const Case& c : cases) {
    enter(k_stateStakeChoice);
    game->setup.skippedSeat = c.skipped;
    game->setup.stakeLevel = 3;
    penAt(c.x + 20, touchLayoutY(c.y) + 20);
    EXPECT_EQ(game->setup.stakeLevel, c.level) << c.x;
    EXPECT_EQ(game->setup.previousStakeLevel, 3);
  }
  enter(k_stateStakeChoice);
  game->setup.stakeLevel = 6;
  penAt(239, 10);
  EXPECT_EQ(game->setup.stakeLevel, 6);
}

TEST_F(StylusTest, ShopBackAlwaysGoesBackAndTheBuyTagSelects) {
  enter(k_stateShop);
  const int32_t item = touchLayoutY(137) + 20, tag = 307;
  for (const bool open : {false, true}) {
    SCOPED_TRACE(open);
    game->shop.panelOpen = open;
    game->shop.panelFullyOpen = open;
    EXPECT_EQ(tapUp(218, 300).pressed, keyBit(k_touchKeyRightSoft)) << "back closes the panel or leaves";
    EXPECT_EQ(tapUp(119, item).pressed, keyBit(k_touchKeyLeftSoft)) << "the item selects";
    EXPECT_EQ(tapUp(172, tag).pressed, open ? keyBit(k_touchKeyLeftSoft) : 0u) << "the BUY tag, only while it shows";
  }
}

TEST_F(StylusTest, CoinTossPressesWithoutRelease) {
  enter(k_stateCoinToss);
  penAt(70, touchLayoutY(92) + 22);
  EXPECT_EQ(game->menu.selection, 0);
  penAt(170, touchLayoutY(92) + 22);
  EXPECT_EQ(game->menu.selection, 1);
  Sent s = tapUp(170, touchLayoutY(92) + 22);
  EXPECT_EQ(s.pressed, keyBit(k_touchKeyLeftSoft));
  EXPECT_EQ(s.held, keyBit(k_touchKeyLeftSoft));
  EXPECT_EQ(s.released, 0u);
}

TEST_F(StylusTest, BreakChoiceView) {
  enter(k_stateBreakChoice);
  const int32_t row0 = touchLayoutY(121) + 20;
  EXPECT_EQ(tapUp(124, row0).pressed, keyBit(k_touchKeyLeftSoft));
  EXPECT_EQ(tapUp(20, touchLayoutY(340) + 20).pressed, 0u);
  game->setup.breakChoiceView = 1;
  EXPECT_EQ(tapUp(124, row0).pressed, 0u);
  EXPECT_EQ(tapUp(20, touchLayoutY(340) + 20).pressed, keyBit(k_touchKeyLeftSoft));
}

TEST_F(StylusTest, MessageBoxWaitsHalfASecond) {
  enter(k_stateMessageBox);
  game->stylus.messageTime = 20000;
  game->frame.gameClock = 20500;
  EXPECT_EQ(tapUp(120, 100).pressed, 0u);
  EXPECT_EQ(run().pressed, 0u);  // the early tap is not kept for later
  game->frame.gameClock = 20501;
  Sent s = tapUp(120, 100);
  EXPECT_EQ(s.pressed, keyBit(k_touchKeyFire));
  EXPECT_EQ(s.released, keyBit(k_touchKeyFire));
  EXPECT_EQ(game->stylus.messageTime, -1);
  EXPECT_EQ(tapUp(218, 300).pressed, keyBit(k_touchKeyRightSoft));
}
