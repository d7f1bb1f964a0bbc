// The main menu: its wheel, the marker's swing and run, the row that leaves,
// the badge, and the rows a touch gives.
#include "game/Korvane/cGame/cGameStylus.h"
#include "tests/game/screens/FrontEndFixture.h"

namespace {

class MainMenu : public FrontEndTest {
 protected:
  void SetUp() override {
    FrontEndTest::SetUp();
    start(k_stateMainMenu);
    restX = getElementX(*game, k_mainMenuMarker);
  }
  int32_t markerX() { return getElementX(*game, k_mainMenuMarker); }
  int32_t rowX() { return getElementX(*game, k_mainMenuChosenRow); }
  int32_t restX = 0;
};

TEST_F(MainMenu, MarkerSwingsAtFortyPixelsASecondBetweenTheClamps) {
  EXPECT_EQ(restX, 22);
  game->interfaces.interfaceAnimations = 0;
  struct Step {
    int32_t ms, offset, direction;
  };
  // 25 ms = 256/256 px; 1000 ms = 40 px, clamped at +-10 px and turned.
  const Step steps[] = {{25, 256, 1}, {25, 512, 1}, {1000, 2560, 0}, {25, 2304, 0}, {1000, -2560, 1},
                        {0, -2560, 1}, {250, 0, 1},  {-40, 0, 1}};
  for (const Step& s : steps) {
    game->frame.frameTime = s.ms;
    frame();
    EXPECT_EQ(game->mainMenu.slide.offset, s.offset) << s.ms;
    EXPECT_EQ(game->mainMenu.slide.direction, s.direction) << s.ms;
    EXPECT_EQ(markerX(), restX + s.offset / 256);
  }
}

TEST_F(MainMenu, ChoosingRunsTheMarkerThenTheRowLeavesThenTheEntryActs) {
  game->interfaces.interfaceAnimations = 0;
  game->frame.frameTime = 0;
  choose(k_textOptions);
  ASSERT_EQ(game->mainMenu.slide.phase, 1);
  // Font 1 is not loaded here: the text is 0 wide and the target is the row's middle.
  EXPECT_EQ(game->mainMenu.slide.targetX, 18 + 212 / 2);
  const int32_t width = marks->getFrameWidth(0);
  // 400 px/s: 10 ms moves the marker 4 px.
  game->frame.frameTime = 10;
  frame();
  EXPECT_EQ(markerX(), restX + 4);
  game->frame.frameTime = 100;
  int frames = 0;
  while (game->mainMenu.slide.phase == 1 && frames < 100) {
    frame();
    ++frames;
  }
  ASSERT_EQ(game->mainMenu.slide.phase, 2);
  EXPECT_EQ(markerX(), 124 - width) << "placed against the text";
  // The row leaves at 400 px/s and the entry acts only after it passed 240.
  std::vector<int32_t> xs;
  while (game->states.gameState == k_stateMainMenu && xs.size() < 20) {
    xs.push_back(rowX());
    frame();
  }
  EXPECT_EQ(game->states.gameState, k_stateOptions);
  ASSERT_GE(xs.size(), 3u);
  EXPECT_EQ(xs[1] - xs[0], 40);
  EXPECT_GT(xs[xs.size() - 1], 240) << "the last frame before the choice";
  EXPECT_LE(xs[xs.size() - 2], 240 + 40);
  // Restored for the next visit.
  EXPECT_EQ(rowX(), 18);
  EXPECT_EQ(markerX(), restX);
}

TEST_F(MainMenu, ChoicesWaitForTheWordmarkToArrive) {
  game->interfaces.interfaceAnimations = 1;
  startInterfaceAnimation(*game);
  game->frame.frameTime = 0;
  choose(k_textHelp);
  EXPECT_EQ(game->mainMenu.slide.phase, 0) << "ignored while element 13 slides in";
  game->frame.frameTime = 700;
  frame();
  game->frame.frameTime = 0;
  choose(k_textHelp);
  EXPECT_EQ(game->mainMenu.slide.phase, 1);
  EXPECT_EQ(game->mainMenu.slide.chosen, static_cast<int32_t>(k_textHelp));
}

TEST_F(MainMenu, TheListStartsTwoShownEntriesBeforeTheSelectionAndWraps) {
  struct Case {
    int32_t selection;
    uint32_t hidden;  // entry bits
    int32_t first;
    std::vector<int32_t> rows;
  };
  const Case cases[] = {
      {-1, 0, -3, {4, 5, 6, 0, 1, 2, 3}},
      {0, 0, -2, {5, 6, 0, 1, 2, 3, 4}},
      {3, 0, 1, {1, 2, 3, 4, 5, 6, 0}},
      {6, 0, 4, {4, 5, 6, 0, 1, 2, 3}},
      {3, 1u << 2, 0, {0, 1, 3, 4, 5, 6, -1}},  // a hidden entry takes no row
      {0, 1u << 6, -3, {4, 5, 0, 1, 2, 3, -1}},
  };
  game->interfaces.interfaceAnimations = 0;
  for (const Case& c : cases) {
    for (int i = 0; i < 7; ++i) game->menu.flags[i] = (c.hidden >> i) & 1;
    game->menu.selection = c.selection;
    frame();
    EXPECT_EQ(getMenuFirstVisible(*game), c.first) << c.selection;
    for (int r = 0; r < 7; ++r)
      EXPECT_EQ(getMainMenuRowEntry(*game, r, getMenuFirstVisible(*game)), c.rows[static_cast<size_t>(r)])
          << c.selection << " row " << r;
  }
}

TEST_F(MainMenu, BadgeOnlyForFlagBitThreeWithRecordFourFirstByteZero) {
  std::unique_ptr<ASprite> ui = spritetest::loadBank(frameBank(10));
  ui->buildCacheImages(0, 0, -1, -1);
  game->loading.sprites[k_slotUi] = ui.get();
  game->text.fonts[1] = font.get();
  game->interfaces.interfaceAnimations = 0;
  game->frame.gameClock = 600;  // blink on
  uint8_t record[2] = {0, 0};
  struct Case {
    uint32_t flags;
    uint8_t* record;
    uint8_t first;
    bool badge;
  };
  const Case cases[] = {{8, record, 0, true}, {8, record, 1, false}, {8, nullptr, 0, false}, {0, record, 0, false},
                        {8 | 2 | (44u << 16), record, 0, true}};
  for (const Case& c : cases) {
    record[0] = c.first;
    game->files.record4 = c.record;
    game->menu.flags[0] = c.flags;
    game->menu.selection = 0;  // entry 0 on row 2, element 8
    frame();
    screen->fill(0);
    paintMainMenuList(*game, screen->g());
    textBufferSetString(*game, k_textQuickMatch);
    if (c.flags & 2) {
      textBufferAppend(*game, " ");
      textBufferAppendString(*game, 44);
    }
    const int32_t tw = getCharsWidth(*game, font.get(), game->text.strings.work, 0, game->text.strings.workLength);
    const int32_t x = tw / 2 + 28 < 106 + 10 ? 18 + 106 + tw / 2 : 18 + tw;
    EXPECT_EQ(frameAt(x, 109 + 12), c.badge ? 9 : -1) << c.flags << " " << int(c.first);
  }
  game->files.record4 = nullptr;
  game->text.fonts[1] = nullptr;
  game->loading.sprites[k_slotUi] = banks[1].get();
}

// A row gives the entry it showed at pen-down, though the wheel turns under
// the pen to bring that entry to the middle.
TEST_F(MainMenu, ATouchedRowOpensTheEntryItShowed) {
  game->interfaces.interfaceAnimations = 0;
  frame();
  ASSERT_EQ(getMenuFirstVisible(*game), -3);
  auto rowY = [](int r) { return touchLayoutY(49 + 40 * r) + 12; };
  game->pointerX = 124;
  game->pointerY = rowY(0);  // shows entry 4 (help)
  frame();
  EXPECT_EQ(getMenuSelection(*game), 4);
  EXPECT_EQ(getMenuFirstVisible(*game), 2) << "the wheel turned";
  frame();
  EXPECT_EQ(getMenuSelection(*game), 4) << "the pen still means help";
  game->pointerX = game->pointerY = -1;
  game->releaseX = 124;
  game->releaseY = rowY(0);
  game->frame.frameTime = 0;
  frame();  // the pen-up sends select; the list sees it a frame later
  frame();
  EXPECT_EQ(game->mainMenu.slide.chosen, static_cast<int32_t>(k_textHelp));
  // A tap too quick for a frame to see the pen down: the rows as shown now.
  start(k_stateMainMenu);
  game->interfaces.interfaceAnimations = 0;
  frame();
  game->releaseX = 124;
  game->releaseY = rowY(6);  // shows entry 3 (options)
  frame();
  EXPECT_EQ(getMenuSelection(*game), 3);
}

}  // namespace
