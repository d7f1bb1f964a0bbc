// The help menu, the help pages, the tutorial choice and the about screen.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/game/screens/FrontEndFixture.h"

namespace {

class Help : public FrontEndTest {
 protected:
  void SetUp() override {
    FrontEndTest::SetUp();
    std::vector<Interface> all(52);
    ASSERT_NO_FATAL_FAILURE(compileInterfaces(all, {"000-sound-question", "001-title", "002-main-menu", "003-question",
                                                    "006-options", "007-help-menu", "008-tutorial-choice",
                                                    "038-help-page", "051-about"}));
    load(all, 0);
    std::string error;
    ASSERT_TRUE(texttable::parseSource(readText(std::string(KV_SOURCE_DIR) + "/assets/text/en.txt"), strings, &error));
    // Help texts of a known page count in the block font.
    set(k_textHelpControlsBody, "one%j two%j three");
    set(k_textRulesTitle0 + 1, "a single page");
    set(k_textHelpMoneyBody, "A %t B %t%j C %t D %t");
    putTexts(strings);
  }
  void set(int id, const std::string& s) {
    if (strings.size() <= static_cast<size_t>(id)) strings.resize(static_cast<size_t>(id) + 1);
    strings[static_cast<size_t>(id)] = s;
  }
  bool visible(int element) { return p(element, F::kSpriteVisible) != 0; }
  int anim(int element, int interface) {
    return getInterfaceElement(*game, interface, element)[F::kWordParams + F::kSpriteAnim];
  }
  // Enters the help page from `from` with a subject.
  void openHelpPage(int from, int subject) {
    start(from);
    game->setup.helpSubject = subject;
    start(k_stateHelpText);
  }
  // A paused match under the menus, the in-game options on top.
  void pauseMatch() {
    game->frontEnd.menusOverMatch = 1;
    game->states.inGame = 1;
    game->states.stackDepth = 1;
    game->states.gameState = k_stateOptions;
  }
  std::vector<std::string> strings;
};

}  // namespace

TEST_F(Help, MenuEntriesLeadToTheirScreens) {
  struct Case {
    uint32_t entry;
    int state, subject;
  };
  const Case cases[] = {
      {k_textHelpControls, k_stateHelpText, k_textHelpControls},
      {k_textHelpRules, k_stateRulesChoice, -1},
      {k_textHelpMoney, k_stateHelpText, k_textHelpMoney},
      {k_textHelpTutorial, k_stateTutorialChoice, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    game->setup.helpSubject = -1;
    start(k_stateHelpMenu);
    EXPECT_EQ(game->menu.count, 4);
    EXPECT_EQ(getMenuEntryFlags(*game, k_textHelpTutorial), 0u);
    choose(c.entry);
    EXPECT_EQ(game->states.gameState, c.state);
    EXPECT_EQ(game->setup.helpSubject, c.subject);
  }
  start(k_stateHelpMenu);
  frame({kRightSoft});
  EXPECT_EQ(game->states.gameState, k_stateMainMenu);
}

TEST_F(Help, TheMenuTableLeadsTheCharacterList) {
  const uint32_t expected[11] = {49, 50, 51, 53, 0, 1, 2, 3, 4, 5, 6};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(k_helpAndCharacterTable[i], expected[i]) << i;
  EXPECT_EQ(k_characterCycleTable[0], 0u);
  EXPECT_EQ(k_characterCycleTable[6], 6u);
}

TEST_F(Help, OverAPausedMatchTheMenuHasNoTutorialAndGoesBackToTheOptions) {
  pauseMatch();
  game->setInGameState(k_stateHelpMenu);
  EXPECT_EQ(game->states.subState, k_subStateInGameUpdate);
  EXPECT_EQ(getMenuEntryFlags(*game, k_textHelpTutorial), 1u);
  selectMenuEntryById(*game, k_textHelpTutorial);
  frame({kSelect});
  EXPECT_EQ(game->states.gameState, k_stateHelpMenu) << "a hidden entry cannot be chosen";
  frame({kBack});
  EXPECT_EQ(game->states.gameState, k_stateOptions);
  EXPECT_EQ(game->states.inGame, 1);
  EXPECT_EQ(game->states.stackDepth, 1) << "the paused match's stack stays";
}

TEST_F(Help, PagingThroughAThreePageText) {
  openHelpPage(k_stateHelpMenu, k_textHelpControls);
  EXPECT_EQ(game->help.title, k_textHelpControls);
  EXPECT_EQ(game->help.body, k_textHelpControlsBody);
  EXPECT_EQ(game->help.pageCount, 3);
  // Keys: page after the frame; arrows up, down shown.
  struct Step {
    int key, page;
    bool up, down;
  };
  const Step steps[] = {{-1, 0, false, true}, {kUp, 0, false, true},  {kDown, 1, true, true},
                        {kDown, 2, true, false}, {kDown, 2, true, false}, {kUp, 1, true, true},
                        {kUp, 0, false, true},  {kUp, 0, false, true}};
  for (const Step& s : steps) {
    if (s.key < 0)
      frame();
    else
      frame({s.key});
    frame();  // the pen leaves the arrow
    EXPECT_EQ(game->help.page, s.page) << s.key;
    EXPECT_EQ(visible(k_helpPageArrowUp), s.up) << s.page;
    EXPECT_EQ(visible(k_helpPageArrowDown), s.down) << s.page;
    EXPECT_EQ(game->help.morePages, s.page < 2);
  }
  // Down wins over up when both come together, but only with a page to go to.
  game->help.page = 2;
  frame({kDown, kUp});
  EXPECT_EQ(game->help.page, 2);
  frame();
  // An arrow held (its key every frame) turns one page per touch.
  game->help.page = 0;
  frame({kDown});
  frame({kDown});
  frame({kDown});
  EXPECT_EQ(game->help.page, 1);
}

TEST_F(Help, AOnePageTextShowsNoArrowAndIgnoresUpAndDown) {
  start(k_stateRulesChoice);
  game->setup.helpSubject = k_textRuleSet0;
  start(k_stateHelpText);
  EXPECT_EQ(game->help.title, k_textRulesTitle0);
  EXPECT_EQ(game->help.pageCount, 1);
  for (int key : {kDown, kUp, kDown}) {
    frame({key});
    frame();
    EXPECT_EQ(game->help.page, 0);
    EXPECT_FALSE(visible(k_helpPageArrowUp));
    EXPECT_FALSE(visible(k_helpPageArrowDown));
  }
}

TEST_F(Help, BackReturnsToTheScreenThatOpenedThePage) {
  for (int from : {k_stateHelpMenu, k_stateRulesChoice}) {
    for (int key : {kBack, kRightSoft}) {
      openHelpPage(from, k_textRuleSet0 + 2);
      EXPECT_EQ(game->help.title, k_textRulesTitle0 + 4);
      EXPECT_EQ(game->help.body, k_textRulesTitle0 + 5);
      frame({key});
      EXPECT_EQ(game->states.gameState, from);
    }
  }
}

TEST_F(Help, OverAPausedMatchThePageReturnsWithoutClearingTheStack) {
  pauseMatch();
  game->setInGameState(k_stateHelpMenu);
  game->setup.helpSubject = k_textHelpControls;
  game->setInGameState(k_stateHelpText);
  EXPECT_EQ(game->states.subState, k_subStateInGameUpdate);
  frame({kRightSoft});
  EXPECT_EQ(game->states.gameState, k_stateHelpMenu);
  EXPECT_EQ(game->states.inGame, 1);
  EXPECT_EQ(game->states.stackDepth, 1);
}

TEST_F(Help, MoneyHelpIsDrawnWithItsFourAmounts) {
  openHelpPage(k_stateHelpMenu, k_textHelpMoney);
  EXPECT_EQ(std::string(game->help.filled, static_cast<size_t>(game->help.filledLength)),
            "A $%n B $%n%j C $%n D $%n");
  EXPECT_EQ(game->help.pageCount, 2);
  paintHelpPage(*game, screen->g());
  const int amounts[4] = {100, 200, 100, 500};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(game->text.layout.params[i], amounts[i]) << i;
  frame({kDown});
  EXPECT_EQ(game->help.page, 1);
}

TEST_F(Help, AHelpTextLongerThanTheLayoutShowsThePagesItHas) {
  std::string many = "p0";
  for (int i = 1; i < 14; ++i) many += "%j p" + std::to_string(i);
  set(k_textHelpControlsBody, many);
  putTexts(strings);
  openHelpPage(k_stateHelpMenu, k_textHelpControls);
  EXPECT_GE(game->help.pageCount, 1);
  EXPECT_LE(game->help.pageCount, TextLayoutData::kMaxPages);
  for (int i = 0; i < 20; ++i) {
    frame({kDown});
    frame();
  }
  EXPECT_EQ(game->help.page, game->help.pageCount - 1);
  paintHelpPage(*game, screen->g());
}

TEST_F(Help, EachLessonStartsAsATutorialMatch) {
  for (int lesson = 0; lesson < 5; ++lesson) {
    for (bool career : {false, true}) {
      SCOPED_TRACE(testing::Message() << "lesson " << lesson << " career " << career);
      game->career.progress.started = career;
      game->career.progress.character = 7;
      game->setup.chosenCharacter[0] = 3;
      game->tutorial.started = 1;
      start(k_stateTutorialChoice);
      EXPECT_EQ(game->menu.count, 5);
      choose(static_cast<uint32_t>(k_textLesson0 + lesson));
      EXPECT_EQ(game->states.gameState, k_stateGameLoading);
      EXPECT_EQ(game->match.lessonNumber, lesson);
      EXPECT_EQ(game->match.gameType, k_gameTypeTutorial);
      EXPECT_EQ(game->setup.chosenRival, 10);
      EXPECT_EQ(game->tutorial.started, 0);
      EXPECT_EQ(game->career.progress.character, career ? 7 : 3);
    }
  }
  start(k_stateTutorialChoice);
  frame({kBack});
  EXPECT_EQ(game->states.gameState, k_stateHelpMenu);
}

// A list's arrows show only where more rows lie beyond it: none on the
// help menu and the options, the tutorial's down arrow at its start and its
// up arrow at its end.
TEST_F(Help, ScrollArrowsShowOnlyWhereTheListGoesOn) {
  auto arrows = [&](int interface, int up, int down) {
    std::string s;
    s += getInterfaceElement(*game, interface, up)[F::kWordParams + F::kSpriteVisible] ? '^' : '.';
    s += getInterfaceElement(*game, interface, down)[F::kWordParams + F::kSpriteVisible] ? 'v' : '.';
    return s;
  };
  start(k_stateOptions);
  frame();
  EXPECT_EQ(arrows(k_interfaceOptions, k_optionsArrowUp, k_optionsArrowDown), "..");
  start(k_stateHelpMenu);
  frame();
  EXPECT_EQ(arrows(k_interfaceHelpMenu, k_helpMenuArrowUp, k_helpMenuArrowDown), "..");
  start(k_stateTutorialChoice);
  frame();
  EXPECT_EQ(arrows(k_interfaceTutorialChoice, k_tutorialArrowUp, k_tutorialArrowDown), ".v");
  for (int i = 0; i < 5; ++i) frame({kDown});
  ASSERT_EQ(game->menu.firstVisible, 1);
  EXPECT_EQ(arrows(k_interfaceTutorialChoice, k_tutorialArrowUp, k_tutorialArrowDown), "^.");
}

TEST_F(Help, PassedLessonsKeepTheirTicksWhenTheListScrolls) {
  game->career.progress.counterA = 0x12;  // lessons 1 and 4
  start(k_stateTutorialChoice);
  auto ticks = [&] {
    std::string s;
    for (int i = 0; i < 4; ++i) s += anim(k_tutorialTick0 + i, k_interfaceTutorialChoice) == 1 ? 'x' : '.';
    return s;
  };
  EXPECT_EQ(game->menu.firstVisible, 0);
  EXPECT_EQ(ticks(), ".x..");
  // Down to the fifth lesson: the list moves by one row.
  for (int i = 0; i < 5; ++i) frame({kDown});
  EXPECT_EQ(game->menu.selection, 4);
  EXPECT_EQ(game->menu.firstVisible, 1);
  EXPECT_EQ(ticks(), "x..x");
  for (int i = 0; i < 4; ++i) frame({kUp});
  EXPECT_EQ(game->menu.firstVisible, 0);
  EXPECT_EQ(ticks(), ".x..");
}

TEST_F(Help, CreditsScrollUpAndAnswerTheArrows) {
  start(k_stateAbout);
  const int top = getInterfaceElementY(*game, k_interfaceAbout, k_aboutView);
  const int view = getInterfaceElementHeight(*game, k_interfaceAbout, k_aboutView);
  EXPECT_EQ(game->help.aboutViewTop, top);
  EXPECT_EQ(game->help.aboutBottomMargin, 320 - top - view);
  EXPECT_EQ(game->help.aboutScroll, view) << "the credits start just below the view";
  EXPECT_EQ(std::string(game->help.aboutText), "Version 1.0.5");
  EXPECT_STREQ(game->help.productName, "Korvane");
  // From the product name to "Thank you for playing!": 42 texts of a line or more.
  EXPECT_GE(game->help.aboutTotalHeight, 42 * (game->text.fonts[0]->getFontHeight() + game->help.aboutLineSpacing));
  frame();
  EXPECT_EQ(game->help.aboutScroll, view - 1);
  frame();
  EXPECT_EQ(game->help.aboutScroll, view - 2);
  // Held down: four pixels a frame up (from the frame after the key).
  const int at = game->help.aboutScroll;
  for (int i = 0; i < 5; ++i) frame({kDown});
  EXPECT_EQ(game->help.aboutScroll, at - 1 - 4 * 4);
  // Held up: four a frame down, until they lie below the view, where up puts
  // them back at its bottom edge.
  for (int i = 0; i < 3; ++i) frame({kUp});
  EXPECT_EQ(game->help.aboutScroll, at - 17 - 4 + 4 + 4);
  for (int i = 0; i < 20; ++i) frame({kUp});
  EXPECT_EQ(game->help.aboutScroll, view);
  frame();
  EXPECT_EQ(game->help.aboutScroll, view + 4) << "the last speed, then back to one a frame";
  frame();
  EXPECT_EQ(game->help.aboutScroll, view + 3);
}

TEST_F(Help, CreditsStartAgainOnceTheLastHasLeftTheTop) {
  start(k_stateAbout);
  const int view = 320 - game->help.aboutViewTop - game->help.aboutBottomMargin;
  game->help.aboutScroll = -game->help.aboutTotalHeight + 1;
  frame();
  EXPECT_EQ(game->help.aboutScroll, -game->help.aboutTotalHeight);
  frame();
  EXPECT_EQ(game->help.aboutScroll, view);
  paintAbout(*game, screen->g());
}

// Scrolled at the fast speed through a whole turn of the credits, the view
// never stays without words for longer than its own height: the empty ids
// after the last credit take no room.
TEST_F(Help, TheCreditsComeRoundWithoutALongBlank) {
  start(k_stateAbout);
  const int top = game->help.aboutViewTop, view = 320 - top - game->help.aboutBottomMargin;
  auto shot = [&] {
    screen->fill(0);
    paintAbout(*game, screen->g());
    std::vector<uint16_t> v;
    for (int y = top; y < top + view; ++y)
      for (int x = 0; x < 240; ++x) v.push_back(screen->at(x, y));
    return v;
  };
  const std::vector<uint16_t> blank = shot();  // the start: everything below the view
  int run = 0, longest = 0, restarts = 0;
  for (int i = 0; i < 4000 && restarts < 2; ++i) {
    const int before = game->help.aboutScroll;
    frame({kDown});
    if (game->help.aboutScroll > before) ++restarts;
    run = shot() == blank ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  EXPECT_EQ(restarts, 2) << "the credits went round";
  EXPECT_LE(longest * 4, view) << "frames of an empty view at four pixels a frame";
}

TEST_F(Help, AMissingCreditCountsOneLine) {
  set(k_textCreditsFirst + 4, "one\\ntwo\\nthree");
  putTexts(strings);
  start(k_stateAbout);
  EXPECT_EQ(getAboutTextHeight(*game, 5000), game->text.fonts[0]->getFontHeight());
  EXPECT_EQ(getAboutTextHeight(*game, k_textCreditsLast), game->text.fonts[0]->getFontHeight()) << "an empty line";
  EXPECT_GT(getAboutTextHeight(*game, k_textCreditsFirst + 4), game->text.fonts[0]->getFontHeight()) << "a paragraph";
}

TEST_F(Help, AboutBackStopsTheSoundsAndReturns) {
  start(k_stateMainMenu);
  start(k_stateAbout);
  game->sound.currentId = 11;
  frame({kRightSoft});
  EXPECT_EQ(game->states.gameState, k_stateMainMenu);
  EXPECT_EQ(game->sound.currentId, -1);
}
