// Painting interfaces: sprite play modes, slide-in offsets and timers,
// layers and targets, rectangles, panels, text boxes, arrows and soft keys.
#include "InterfaceFixture.h"

namespace {

TEST_F(InterfaceTest, SpriteFramesPerPaintByPlayMode) {
  struct Case {
    const char* name;
    int bank, frame, anim;
    std::vector<int> painted;  // frame seen after each paint, -1 none
  };
  const Case cases[] = {
      {"hold", 1, -2, 4, {5, 6, 7, 7, 7}},
      {"vanish", 1, -3, 4, {5, 6, -1, -1}},
      {"loop", 1, 0, 4, {5, 6, 7, 5, 6}},
      {"frame 7 of 8", 1, 7, -1, {7, 7}},
      {"frame 7 of 7", 2, 7, -1, {-1, -1}},
      {"no animation 9", 1, 0, 9, {-1, -1}},
      {"frame below 0, no animation", 1, -1, -1, {-1}},
      {"empty slot", 3, 0, -1, {-1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    loadOne({sprite(20, 30, c.bank, c.frame, c.anim)});
    startInterfaceAnimation(*game);
    for (int expected : c.painted) {
      paintSpriteElement(*game, 0, false);
      EXPECT_EQ(frameAt(20, 30), expected);
    }
  }
  loadOne({sprite(20, 30, 1, 0, 9)});
  paintSpriteElement(*game, 0, false);
  EXPECT_EQ(p(0, F::kSpriteFrame), 0);  // a 0-frame animation does not advance
}

TEST_F(InterfaceTest, PaletteAndForcedPalette) {
  Element e = sprite(4, 4, 1, 2, -1);
  e.params[F::kSpritePalette] = 0;
  loadOne({e});
  int palette = -1;
  paintSpriteElement(*game, 0, false);
  EXPECT_EQ(frameAt(4, 4, &palette), 2);
  EXPECT_EQ(palette, 0);
  paintSpriteElementAltPalette(*game, 0, 0, 0, false, nullptr, true);
  EXPECT_EQ(frameAt(4, 4, &palette), 2);
  EXPECT_EQ(palette, 1);
}

TEST_F(InterfaceTest, SlideOffsetGold) {
  struct Case {
    int timer, duration, dx, dy;
    int ox, oy;
  };
  const Case cases[] = {
      {500, 1000, -240, 0, -120, 0},   // half way
      {1200, 1000, -140, 30, -140, 30},  // waiting out the delay: the full offset
      {1000, 1000, -140, 0, -140, 0},  // t == d: just starting
      {1, 1000, -240, 99, 0, 0},       // truncated toward zero
      {333, 1000, 100, -100, 33, -33},
      {0, 1000, -240, 0, 0, 0},        // in place
      {0, 0, -240, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.timer);
    Element s = sprite(150, 100, 1, 1, -1);
    s.params[F::kSpriteDx] = static_cast<int16_t>(c.dx);
    s.params[F::kSpriteDy] = static_cast<int16_t>(c.dy);
    s.params[F::kSpriteDuration] = static_cast<int16_t>(c.duration);
    s.params[F::kSpriteTimer] = static_cast<int16_t>(c.timer);
    Element t = text(150, 100, 10, 10);
    t.params[F::kTextDx] = static_cast<int16_t>(c.dx);
    t.params[F::kTextDy] = static_cast<int16_t>(c.dy);
    t.params[F::kTextDuration] = static_cast<int16_t>(c.duration);
    t.params[F::kTextTimer] = static_cast<int16_t>(c.timer);
    loadOne({s, t});
    paintSpriteElement(*game, 0, false);
    EXPECT_EQ(frameAt(150 + c.ox, 100 + c.oy), 1);
    EXPECT_EQ(game->frontEnd.lastSlideX, c.ox);
    EXPECT_EQ(game->frontEnd.lastSlideY, c.oy);
    game->frontEnd.lastSlideX = game->frontEnd.lastSlideY = 7;
    drawElementString(*game, 1, "a");
    EXPECT_EQ(game->frontEnd.lastSlideX, c.ox);
    EXPECT_EQ(game->frontEnd.lastSlideY, c.oy);
    // With the switch off the element is in place.
    game->interfaces.interfaceAnimations = 0;
    paintSpriteElement(*game, 0, false);
    EXPECT_EQ(frameAt(150, 100), 1);
    game->interfaces.interfaceAnimations = 1;
  }
}

TEST_F(InterfaceTest, ArmingAndTimers) {
  struct Case {
    int duration, delay, dx, dy, timer;
    int armedDuration, armedTimer;
  };
  const Case cases[] = {
      {300, 200, 10, 0, 0, 300, 500},      // timer = duration + delay
      {-1, 250, -240, 0, 0, 1000, 1250},   // chosen at arming
      {-1, 250, 0, 5, 0, 1000, 1250},
      {-1, 250, 0, 0, 77, 0, 77},          // nothing to slide: duration 0, timer kept
      {32000, 32000, 1, 0, 0, 32000, 32767},  // held in range
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.duration);
    Element s = sprite(0, 0, 1, -2, 4);
    Element t = text(0, 0, 10, 10);
    const int32_t slots[2][5] = {{F::kSpriteDuration, F::kSpriteDelay, F::kSpriteDx, F::kSpriteDy, F::kSpriteTimer},
                                 {F::kTextDuration, F::kTextDelay, F::kTextDx, F::kTextDy, F::kTextTimer}};
    const int values[5] = {c.duration, c.delay, c.dx, c.dy, c.timer};
    for (int k = 0; k < 5; ++k) {
      s.params[static_cast<size_t>(slots[0][k])] = static_cast<int16_t>(values[k]);
      t.params[static_cast<size_t>(slots[1][k])] = static_cast<int16_t>(values[k]);
    }
    loadOne({s, t});
    game->interfaces.interfaceAnimations = 0;
    startInterfaceAnimation(*game);  // switch off: only the frame reset
    EXPECT_EQ(p(0, F::kSpriteFrame), 0);
    EXPECT_EQ(p(0, F::kSpriteTimer), c.timer);
    EXPECT_EQ(p(1, F::kTextDuration), c.duration);
    game->frame.frameTime = 100;
    updateInterfaceTimers(*game);
    EXPECT_EQ(p(0, F::kSpriteTimer), c.timer);
    game->interfaces.interfaceAnimations = 1;
    startInterfaceAnimation(*game);
    EXPECT_EQ(p(0, F::kSpriteDuration), c.armedDuration);
    EXPECT_EQ(p(0, F::kSpriteTimer), c.armedTimer);
    EXPECT_EQ(p(1, F::kTextDuration), c.armedDuration);
    EXPECT_EQ(p(1, F::kTextTimer), c.armedTimer);
    resetInterfaceAnimation(*game, false);
    EXPECT_EQ(p(0, F::kSpriteTimer), 0);
    EXPECT_EQ(p(1, F::kTextTimer), 0);
  }
  // The timers run down by the frame time and stop at 0.
  loadOne({sprite(0, 0, 1, 0, -1), text(0, 0, 1, 1)});
  p(0, F::kSpriteTimer) = 500;
  p(1, F::kTextTimer) = 150;
  game->frame.frameTime = 300;
  updateInterfaceTimers(*game);
  EXPECT_EQ(p(0, F::kSpriteTimer), 200);
  EXPECT_EQ(p(1, F::kTextTimer), 0);
  updateInterfaceTimers(*game);
  EXPECT_EQ(p(0, F::kSpriteTimer), 0);
}

TEST_F(InterfaceTest, ArrayOtherThanTheCurrentIsArmedWithItsOwnCount) {
  Element s = sprite(0, 0, 1, 0, -1);
  s.params[F::kSpriteDuration] = 100;
  load({{}, {s, s, s}}, 0);  // the current interface has no elements
  startInterfaceAnimationById(*game, 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(element(i, 1)[F::kWordParams + F::kSpriteTimer], 100);
  stopElementAnimations(*game, game->interfaces.lists[1]);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(element(i, 1)[F::kWordParams + F::kSpriteTimer], 0);
  startInterfaceAnimationById(*game, 69);
}

TEST_F(InterfaceTest, LayersTargetsAndTheUnshiftedBracketElement) {
  Element front = sprite(10, 10, 1, 1, -1);
  Element backSprite = sprite(12, 10, 1, 2, -1);
  backSprite.params[F::kSpriteLayer] = 1;
  Element hidden = sprite(14, 10, 1, 3, -1);
  hidden.params[F::kSpriteVisible] = 0;
  Interface in = {front, backSprite, hidden};
  while (in.size() < 8) in.push_back(interfacedata::placeholder());
  in.push_back(sprite(16, 10, 1, 4, -1));  // element 8
  loadOne(in);
  spritetest::Screen* s = screen.get();
  auto backAt = [&](int x, int y) -> uint16_t& {
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(back->getPixels()) + y * back->getPitch())[x];
  };
  paintInterfaceAt(*game, 5, 1, false);
  EXPECT_EQ(frameAt(15, 11), 1);
  EXPECT_EQ(frameAt(21, 11), 4);
  EXPECT_EQ(frameAt(17, 11), -1);  // the back-layer element is not in this pass
  EXPECT_EQ(frameAt(19, 11), -1);  // hidden
  paintInterfaceAt(*game, 5, 1, true);
  EXPECT_EQ(backAt(17, 11) >> 11, 3);
  EXPECT_EQ(frameAt(15, 11), -1);
  game->states.gameState = k_stateTournamentStage;
  paintInterfaceAt(*game, 5, 1, false);
  EXPECT_EQ(frameAt(16, 10), 4);  // element 8 without the offset
  // An explicit target takes any layer.
  paintSpriteElementTo(*game, 1, 0, 0, false, s->g());
  EXPECT_EQ(frameAt(12, 10), 2);
  game->frontEnd.backLayer = nullptr;
  paintInterfaceAt(*game, 0, 0, true);  // no back layer yet: nothing
}

TEST_F(InterfaceTest, RectanglesFillByLayer) {
  const Element red = {3, 30, 40, {4, 2, 255, 0x1F8, 0, 0, 1, 0}};  // channels: the low byte
  const Element backBlue = {3, 30, 40, {4, 2, 255, 0, 0, 0xF8, 1, 1}};
  const Element hidden = {3, 50, 40, {4, 2, 255, 0xF8, 0xFC, 0xF8, 0, 0}};
  loadOne({red, backBlue, hidden});
  paintInterfaceAt(*game, 1, 1, false);
  const std::vector<uint16_t> expected(8, 0xF800);
  EXPECT_EQ(screen->block(31, 41, 4, 2), expected);
  EXPECT_EQ(screen->at(30, 40), 0);
  EXPECT_EQ(screen->at(35, 41), 0);
  EXPECT_EQ(screen->at(51, 41), 0);
  paintRectElement(*game, 1, 0, 0, false);  // back-layer rectangle, front pass: nothing
  EXPECT_EQ(screen->at(31, 41), 0xF800);
  paintRectElement(*game, 1, 0, 0, true);
  const uint16_t* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(back->getPixels()) + 40 * back->getPitch());
  EXPECT_EQ(row[30], 0x001F);
}

TEST_F(InterfaceTest, PanelsPaintTheBackgroundOrTheScenery) {
  auto backAt = [&](int x, int y) -> uint16_t& {
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(back->getPixels()) + y * back->getPitch())[x];
  };
  struct Case {
    const char* name;
    int plain, shade, state, previous, gameType;
    bool loading, backPass;
    uint16_t pixel;  // at (0, 0) of the back layer afterwards; 1 = untouched
  };
  const uint16_t grey = spritetest::rgb565(0xFF808080);
  const Case cases[] = {
      {"plain", 1, 0, k_stateMainMenu, k_stateTitle, k_gameTypeQuickMatch, false, true, grey},
      {"plain, veiled", 1, 255, k_stateMainMenu, k_stateTitle, k_gameTypeQuickMatch, false, true, 0},
      {"front pass", 1, 0, k_stateMainMenu, k_stateTitle, k_gameTypeQuickMatch, false, false, 1},
      {"loading", 1, 0, k_stateMainMenu, k_stateTitle, k_gameTypeQuickMatch, true, true, 1},
      {"scenery", 0, 0, k_stateMainMenu, k_stateTitle, k_gameTypeQuickMatch, false, true, 1},
      {"question from the menu", 0, 0, k_stateQuestion, k_stateMainMenu, k_gameTypeQuickMatch, false, true, grey},
      {"question from options", 0, 0, k_stateQuestion, k_stateOptions, k_gameTypeQuickMatch, false, true, grey},
      {"question from the pub", 0, 0, k_stateQuestion, k_statePub, k_gameTypeQuickMatch, false, true, 1},
      {"rules over a match", 0, 0, k_stateRulesChoice, k_stateMatchInit, k_gameTypeQuickMatch, false, true, grey},
      {"rules from the pub", 0, 0, k_stateRulesChoice, k_statePub, k_gameTypeQuickMatch, false, true, 1},
      {"rules from challenges", 0, 0, k_stateRulesChoice, k_stateChallengeMenu, k_gameTypeQuickMatch, false, true, 1},
      {"rules, game type 2", 0, 0, k_stateRulesChoice, k_stateMatchInit, k_gameTypeTournament, false, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    backAt(0, 0) = 1;
    loadOne({{4, 0, 0, {0, 0, static_cast<int16_t>(c.shade), static_cast<int16_t>(c.plain)}}});
    game->states.gameState = c.state;
    game->states.previousState = c.previous;
    game->match.gameType = c.gameType;
    game->frontEnd.loadingScreenUp = c.loading ? 1 : 0;
    paintInterfaceLayer(*game, c.backPass);
    EXPECT_EQ(backAt(0, 0), c.pixel);
    EXPECT_EQ(game->interfaces.currentInterface, 0);
  }
  // Inside the scenery a panel paints nothing.
  backAt(0, 0) = 1;
  game->frontEnd.loadingScreenUp = 0;
  game->states.gameState = k_stateMainMenu;
  loadOne({{4, 0, 0, {0, 0, 0, 1}}});
  game->frontEnd.paintingPubScenery = 1;
  paintInterfaceLayer(*game, true);
  EXPECT_EQ(backAt(0, 0), 1);
}

TEST_F(InterfaceTest, TextBoxClipMarginAnchorsAndRestore) {
  loadOne({text(10, 50, 30, 6, 2, 0), text(10, 100, 30, 20, 0, 1), text(10, 150, 30, 20, 0, 2),
           text(300, 50, 20, 20), text(10, -40, 20, 20)});
  Graphics* g = screen->g();
  g->setClip(0, 0, 240, 320);
  font->setCurrentPalette(2);
  // Bottom-aligned in a box 6 high: the 10-row glyphs start 4 rows above it,
  // and only the two rows just above the box show.
  drawElementString(*game, 0, "aaaaaaaaaa");  // 50 wide, box 30
  EXPECT_EQ(columns(8, 34, 48), "..##############################..");
  EXPECT_EQ(columns(8, 34, 55), "..##############################..");
  EXPECT_EQ(columns(8, 34, 47), std::string(34, '.'));
  EXPECT_EQ(columns(8, 34, 56), std::string(34, '.'));
  EXPECT_EQ(screen->at(10, 50), spritetest::rgb565(0xFFFFFFFF));  // the element's palette 0
  EXPECT_EQ(font->getCurrentPalette(), 0);
  EXPECT_EQ(g->getClipX(), 0);
  EXPECT_EQ(g->getClipWidth(), 240);
  EXPECT_EQ(g->getClipHeight(), 320);
  // Centred and right-aligned (top), and an override of the alignment.
  drawElementString(*game, 1, "aa");
  EXPECT_EQ(columns(18, 14, 105), "..##########..");
  drawElementStringLen(*game, 2, "aab", 2, 1);
  EXPECT_EQ(columns(28, 14, 155), "..##########..");
  EXPECT_EQ(screen->at(39, 155), spritetest::rgb565(0xFFFF0000));  // palette 1
  screen->fill(0);
  drawElementStringStyled(*game, 2, "aa", 2, -1, 0);
  EXPECT_EQ(columns(8, 14, 155), "..##########..");
  // Wholly outside the clip: 0 and nothing drawn.
  g->setClip(0, 0, 200, 320);
  font->setCurrentPalette(2);
  EXPECT_FALSE(drawElementString(*game, 3, "aa"));
  EXPECT_FALSE(drawElementString(*game, 4, "aa"));
  EXPECT_EQ(font->getCurrentPalette(), 2);
  EXPECT_EQ(g->getClipWidth(), 200);
  EXPECT_EQ(getElementAlignFlags(*game, 0), 16 | 0x400);
  EXPECT_EQ(getElementAlignFlags(*game, 1), 32 | 0x100);
  EXPECT_EQ(getElementAlignFlags(*game, 2), 64 | 0x100);
}

TEST_F(InterfaceTest, TextIdsAndTheWrappingMeasure) {
  putTexts({"", "aa aa aa", "aaaa"});
  loadOne({text(0, 0, 30, 10), text(0, 0, 12, 10)});
  EXPECT_TRUE(drawElementText(*game, 0, 2));
  EXPECT_EQ(columns(0, 22, 5), "####################..");
  EXPECT_EQ(drawElementWrappedText(*game, 0, 1), 2);  // "aa aa" / "aa", one line a page
  EXPECT_EQ(drawElementWrappedText(*game, 1, 1), 2);  // the same id again: the cached layout
  game->text.layout.cacheKey = 0;
  EXPECT_EQ(drawElementWrappedText(*game, 1, 1), 3);  // one word per line, one line per page
  game->text.fonts[0] = nullptr;
  EXPECT_EQ(drawElementWrappedText(*game, 1, 1), 0);
  EXPECT_FALSE(drawElementText(*game, 0, 2));
}

TEST_F(InterfaceTest, MenuArrowsFollowTheHeldKeys) {
  loadOne({sprite(0, 0, 1, 0, 0), sprite(0, 0, 1, 0, 0)});
  struct Case {
    int key;  // index of a held key, 0 none
    bool horizontal;
    int a, b;
  };
  const Case cases[] = {{0, true, 3, 4},  {5, true, 7, 4},  {12, true, 7, 4},  {7, true, 3, 8},
                        {14, true, 3, 8}, {0, false, 1, 2}, {3, false, 5, 2},  {11, false, 5, 2},
                        {9, false, 1, 6}, {13, false, 1, 6}, {3, true, 3, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    if (c.key) game->keys.onKeyDown(c.key);
    game->keys.update();
    updateMenuArrows(*game, 0, 1, c.horizontal);
    EXPECT_EQ(getInterfaceElementAnim(*game, -1, 0), c.a);
    EXPECT_EQ(getInterfaceElementAnim(*game, -1, 1), c.b);
    if (c.key) game->keys.onKeyUp(c.key);
    game->keys.update();
  }
}

class SoftKeys : public InterfaceTest {
 protected:
  void SetUp() override {
    InterfaceTest::SetUp();
    std::vector<std::string> texts(30, "ab");
    texts[6] = "abc";
    putTexts(texts);
    Interface hud;
    std::string error;
    ASSERT_TRUE(interfacedata::compileInterface(
        "pad 22\n[22] text x=60 y=0 width=120 height=10\npad 31\n[31] text x=0 y=0 width=100 height=10\n", hud,
        &error))
        << error;
    std::vector<Interface> all(57);
    all[56] = hud;
    load(all);
  }
  // Columns 0-239 of the label row.
  std::string row() { return columns(0, 240, 205); }
  static std::string at(std::initializer_list<std::pair<int, int>> runs) {
    std::string s(240, '.');
    for (auto [x, w] : runs) s.replace(static_cast<size_t>(x), static_cast<size_t>(w), std::string(w, '#'));
    return s;
  }
};

TEST_F(SoftKeys, SidesSwapAndCentring) {
  struct Case {
    const char* name;
    int left, right;
    uint8_t handed, wide, single, paused;
    int inGame, state;
    std::string expected;
  };
  const Case cases[] = {
      {"sides", 5, 6, 0, 0, 0, 0, 0, k_stateMainMenu, at({{1, 10}, {223, 15}})},
      {"swapped", 5, 6, 1, 0, 0, 0, 0, k_stateMainMenu, at({{1, 15}, {228, 10}})},
      {"left only", 5, -1, 0, 0, 0, 0, 0, k_stateMainMenu, at({{1, 10}})},
      {"id 29", 29, 6, 0, 0, 0, 0, 0, k_stateMainMenu, at({{115, 10}})},
      {"id 12", 12, 6, 1, 0, 0, 0, 0, k_stateMainMenu, at({{115, 10}})},
      {"id 24, wide", 24, 6, 0, 1, 0, 0, 0, k_stateMainMenu, at({{45, 10}})},
      {"single soft key", 5, 6, 0, 0, 1, 0, 0, k_stateMainMenu, at({{115, 10}})},
      {"opponent intro", 5, 6, 0, 0, 0, 0, 1, k_stateOpponentIntro, at({{115, 10}})},
      {"result lines", 5, 6, 0, 0, 0, 0, 1, k_stateResultLines, at({{115, 10}})},
      {"message box", 5, 6, 0, 0, 0, 0, 1, k_stateMessageBox, at({{115, 10}})},
      {"message box, paused", 5, 6, 0, 0, 0, 1, 1, k_stateMessageBox, at({{1, 10}, {223, 15}})},
      {"message box state outside a match", 5, 6, 0, 0, 0, 0, 0, k_stateMessageBox, at({{1, 10}, {223, 15}})},
      {"aiming", 5, 6, 0, 0, 0, 0, 1, k_stateAim, at({{1, 10}, {223, 15}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    screen->fill(0);
    game->frontEnd.leftHanded = c.handed;
    game->frontEnd.wideMessages = c.wide;
    game->frontEnd.singleSoftKey = c.single;
    game->frontEnd.matchPaused = c.paused;
    game->states.inGame = c.inGame;
    game->states.gameState = c.state;
    font->setCurrentPalette(2);
    paintSoftKeysAt(*game, c.left, c.right, 200);
    EXPECT_EQ(row(), c.expected);
    EXPECT_EQ(font->getCurrentPalette(), 2);
  }
  // Labels in palette 1, on the row above the bottom by the font's height.
  screen->fill(0);
  paintSoftKeys(*game, 5, -1);
  EXPECT_EQ(screen->at(1, 303), spritetest::rgb565(0xFFFF0000));
  EXPECT_EQ(screen->at(1, 302), 0);
}

TEST_F(SoftKeys, WithoutTheCentringElementTheLabelsKeepToTheSides) {
  load({});
  paintSoftKeysAt(*game, 29, 6, 200);
  EXPECT_EQ(row(), at({{1, 10}, {223, 15}}));
}

}  // namespace
