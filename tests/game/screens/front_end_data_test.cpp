// The built data set holds what the front end reads: its interface elements
// of the right types, rows over their touch rectangles, its texts and the
// frames and animations of its sprite banks.
#include <cstdlib>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "tests/game/interfaces/InterfaceFixture.h"

namespace {

class FrontEndData : public InterfaceTest {
 protected:
  void SetUp() override {
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/interf.bar")) GTEST_SKIP() << "no data set";
    InterfaceTest::SetUp();
    dataDir = data;
    for (const char* name : {"interf.bar", "text.bar", "menu.bar"})
      std::filesystem::copy_file(dataDir + "/" + name, path(name));
    ASSERT_EQ(loadBar(*game, "interf.bar"), 1);
    loadInterfaces(*game);
    unloadBar(*game);
    loadStrings(*game, 0);
  }
  // Bank entry of menu.bar.
  std::unique_ptr<ASprite> menuBank(int32_t entry) {
    auto bank = std::make_unique<ASprite>();
    if (loadBar(*game, "menu.bar") != 1) return nullptr;
    const int32_t offset = getBarEntryOffset(*game, entry), size = getBarEntrySize(*game, entry);
    const bool ok =
        size > 0 && bank->load(game->files.bar.data, static_cast<uint32_t>(offset), static_cast<uint32_t>(size));
    unloadBar(*game);
    return ok ? std::move(bank) : nullptr;
  }
  std::string dataDir;
};

TEST_F(FrontEndData, ElementsOfTheFrontEndScreens) {
  struct Need {
    int interface, first, last, type;
  };
  const Need needs[] = {
      {0, 4, 5, F::kText},    {0, 8, 8, F::kText},     {0, 15, 15, F::kText},   {1, 3, 3, F::kText},
      {1, 5, 5, F::kText},    {2, 6, 12, F::kText},    {2, 13, 13, F::kSprite}, {2, 16, 17, F::kSprite},
      {2, 19, 19, F::kSprite}, {3, 8, 10, F::kText},   {3, 16, 16, F::kText},   {3, 17, 19, F::kSprite},
      {3, 20, 20, F::kText},  {3, 23, 25, F::kSprite}, {3, 26, 31, F::kText},   {6, 6, 7, F::kSprite},
      {6, 10, 14, F::kText},  {6, 20, 20, F::kText},   {6, 21, 21, F::kSprite},
  };
  for (const Need& n : needs)
    for (int i = n.first; i <= n.last; ++i) {
      const int16_t* e = getInterfaceElement(*game, n.interface, i);
      ASSERT_NE(e, nullptr) << n.interface << " " << i;
      EXPECT_EQ(e[F::kWordType], n.type) << n.interface << " " << i;
    }
  // Main-menu rows glow: a font above 0. The marker stands on the chosen row.
  for (int i = 6; i <= 12; ++i) EXPECT_GT(getInterfaceElementFont(*game, 2, i), 0) << i;
  EXPECT_EQ(getInterfaceElement(*game, 2, 19)[F::kWordParams + F::kSpriteBank], k_slotMarks);
  const int32_t rowTop = getInterfaceElementY(*game, 2, 8);
  EXPECT_GE(getInterfaceElementY(*game, 2, 19), rowTop);
  EXPECT_LE(getInterfaceElementY(*game, 2, 19), rowTop + getInterfaceElementHeight(*game, 2, 8));
  // Interface 1 has no panel; 2, 3 and 6 plain panels with a veil.
  auto panel = [&](int id) -> const int16_t* {
    for (int i = 0; i < getInterfaceElementCount(*game, id); ++i) {
      const int16_t* e = getInterfaceElement(*game, id, i);
      if (e[F::kWordType] == F::kPanel) return e;
    }
    return nullptr;
  };
  EXPECT_EQ(panel(1), nullptr);
  for (int id : {2, 3, 6}) {
    ASSERT_NE(panel(id), nullptr) << id;
    EXPECT_NE(panel(id)[F::kWordParams + F::kPanelPlain], 0) << id;
    EXPECT_GT(panel(id)[F::kWordParams + F::kPanelShade], 0) << id;
  }
}

TEST_F(FrontEndData, RowBoxesCoverTheirTouchRectangles) {
  struct Row {
    int interface, element, x, y, w, h;  // the touch rectangle in the 240 x 378 layout
  };
  // The question's rows end 8 px short of their rectangles' right side: they
  // stay inside the question's plate.
  std::vector<Row> rows = {{0, 4, 86, 137, 65, 40}, {0, 5, 86, 186, 65, 40}, {3, 9, 18, 150, 204, 40},
                           {3, 10, 18, 202, 204, 40}};
  for (int i = 0; i < 7; ++i) rows.push_back({2, 6 + i, 18, 49 + 40 * i, 212, 24});
  for (int i = 0; i < 4; ++i) rows.push_back({6, 10 + i, 18, 126 + 50 * i, 212, 28});
  for (const Row& r : rows) {
    const int x = getInterfaceElementX(*game, r.interface, r.element),
              y = getInterfaceElementY(*game, r.interface, r.element);
    const int w = getInterfaceElementWidth(*game, r.interface, r.element);
    const int h = getInterfaceElementHeight(*game, r.interface, r.element);
    const int top = touchLayoutY(r.y);
    SCOPED_TRACE(testing::Message() << "interface " << r.interface << " element " << r.element);
    EXPECT_LE(x, r.x);
    EXPECT_GE(x + w, r.x + r.w);
    EXPECT_LE(y, top);
    EXPECT_GE(y + h, top + r.h);
  }
  // Back button of the options on the right soft key (197, 286 .. 240, 320).
  std::unique_ptr<ASprite> ui = menuBank(k_slotUi);
  ASSERT_TRUE(ui);
  const int16_t* backKey = getInterfaceElement(*game, 6, 21);
  EXPECT_EQ(backKey[F::kWordX], 197);
  EXPECT_EQ(backKey[F::kWordY], touchLayoutY(338));
  for (int frame : {k_uiFrameBack, k_uiFrameBackPressed}) {
    EXPECT_GE(ui->getFrameWidth(frame), 43) << frame;
    EXPECT_GE(ui->getFrameHeight(frame), 320 - 286) << frame;
  }
}

TEST_F(FrontEndData, TextsOfTheFrontEnd) {
  const int ids[] = {1,   5,   7,   8,   17,  18,  30,  31,  32,  33,  34,  35,  36,  37,  39,  40,  44,
                     45,  47,  196, 213, 54,  64,  65,  110, 112, 113, 193, 403, 404, 405, 435, 634, 635,
                     649, 674, 675, 676, 678, 679, 680, 693, 694};
  for (int id : ids) EXPECT_GT(getStringLength(*game, id), 0) << id;
  // The buying body holds the item's name and the price; the money format a number.
  const std::string buy(getStringData(*game, k_textBuyBody),
                        static_cast<size_t>(getStringLength(*game, k_textBuyBody)));
  EXPECT_NE(buy.find("%t"), std::string::npos);
  EXPECT_NE(buy.find("%t", buy.find("%t") + 2), std::string::npos);
  const std::string money(getStringData(*game, k_textMoney), static_cast<size_t>(getStringLength(*game, k_textMoney)));
  EXPECT_NE(money.find("%n"), std::string::npos);
}

TEST_F(FrontEndData, BanksOfTheFrontEnd) {
  std::unique_ptr<ASprite> background = menuBank(k_slotBackground), title = menuBank(k_slotTitle);
  std::unique_ptr<ASprite> ui = menuBank(k_slotUi), marks = menuBank(k_slotMarks);
  ASSERT_TRUE(background && title && ui && marks);
  for (ASprite* picture : {background.get(), title.get()}) {
    EXPECT_EQ(picture->getFrameWidth(0), 240);
    EXPECT_EQ(picture->getFrameHeight(0), 320);
  }
  EXPECT_GE(ui->frameCount, k_uiFrameCount);
  EXPECT_GE(ui->animCount, k_uiAnimCount);
  for (int f : {k_uiFrameNewBadge, k_uiFrameBackPressed, k_uiFrameButton, k_uiFrameButtonPressed, k_uiFrameBack})
    EXPECT_GT(ui->getFrameWidth(f), 0) << f;
  for (int f = k_uiFrameMessageFirst; f <= k_uiFrameMessageLast; ++f) EXPECT_GT(ui->getFrameWidth(f), 0) << f;
  for (int f = k_uiFrameDialogFirst; f <= k_uiFrameDialogLast; ++f) EXPECT_GT(ui->getFrameWidth(f), 0) << f;
  for (int a = k_uiAnimArrowUp; a <= k_uiAnimArrowRight + k_uiAnimArrowHeld; ++a)
    EXPECT_GT(ui->getAnimFrameCount(a), 0) << a;
  EXPECT_GT(marks->getFrameWidth(k_marksFrameMarker), 0);
  EXPECT_GT(marks->getAnimFrameCount(k_marksAnimTickOff), 0);
  EXPECT_GT(marks->getAnimFrameCount(k_marksAnimTickOn), 0);
  // The dialog's middle pieces tile: one width for all steps.
  for (int k = 1; k < 14; ++k) EXPECT_EQ(ui->getFrameWidth(64 + 3 * k), ui->getFrameWidth(64)) << k;
}

// Text is drawn over the screens' backgrounds: a glyph leaves the pixels
// around its strokes alone, in every palette.
TEST_F(FrontEndData, PanelsOverTheMatchAndNoticesStandOnOnePlate) {
  const int plates[] = {k_uiFramePlate, k_uiFramePlateLow, k_uiFramePlateMenu, k_uiFramePlateTall};
  // The menus and screens over a match, the match start's panels and the
  // stake's notice.
  for (int id : {k_interfaceIGM, 10, k_ifBet, k_ifCoinToss, k_ifBreakChoice, k_ifStakeNotice, k_interfaceMatchResult,
                 52, 53, 54, 55, 57}) {
    int found = 0;
    for (int i = 0; i < getInterfaceElementCount(*game, id); ++i) {
      const int16_t* e = getInterfaceElement(*game, id, i);
      // No veil or band lets the table show through.
      EXPECT_NE(e[F::kWordType], F::kRect) << id << " " << i;
      if (e[F::kWordType] != F::kSprite || e[F::kWordParams + F::kSpriteBank] != k_slotUi) continue;
      const int frame = e[F::kWordParams + F::kSpriteFrame];
      if (std::find(std::begin(plates), std::end(plates), frame) == std::end(plates)) continue;
      ++found;
      EXPECT_GE(e[F::kWordX], 0) << id;
      EXPECT_LE(e[F::kWordX] + 224, 240) << id;
    }
    EXPECT_EQ(found, 1) << id;
  }
  // Every plate is opaque inside its gold frames: it looks the same over a
  // white and a grey ground (both lighter than the plate, as the blend of an
  // opaque pixel rounds one step towards a darker ground). The bank is built
  // with its alpha, as the game builds it.
  std::unique_ptr<ASprite> ui = menuBank(k_slotUi);
  ASSERT_NE(ui, nullptr);
  ui->usesRgbImages = 1;
  ui->buildCacheImages(0, 0, -1, -1);
  for (int frame : plates) {
    const int w = ui->getFrameWidth(frame), h = ui->getFrameHeight(frame);
    EXPECT_EQ(w, 224) << frame;
    std::vector<uint16_t> over[2];
    for (int k = 0; k < 2; ++k) {
      screen->fill(k ? 0x8410 : 0xFFFF);
      ui->paintFrame(screen->g(), frame, 0, 0, 0);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          if (x >= 12 && x < w - 12 && y >= 12 && y < h - 12) over[k].push_back(screen->at(x, y));
    }
    EXPECT_EQ(over[0], over[1]) << frame;
  }
}

TEST_F(FrontEndData, GlyphsAreDrawnWithoutABox) {
  std::filesystem::copy_file(dataDir + "/i.bar", path("i.bar"));
  ASSERT_EQ(loadBar(*game, "i.bar"), 1);
  const uint8_t* map = game->files.bar.data + getBarEntryOffset(*game, k_interfaceEntryCharMap);
  ASSERT_GT(getBarEntrySize(*game, k_interfaceEntryCharMap), 2 * 'o' + 1);
  const int frame = map[2 * 'o'] | map[2 * 'o' + 1] << 8;
  for (int entry : {k_interfaceEntryFont0, k_interfaceEntryFont1}) {
    ASprite glyphs;
    ASSERT_TRUE(glyphs.load(game->files.bar.data, static_cast<uint32_t>(getBarEntryOffset(*game, entry)),
                            static_cast<uint32_t>(getBarEntrySize(*game, entry))));
    ASSERT_GT(frame, 0);
    ASSERT_LT(frame, glyphs.frameCount);
    const int box = glyphs.getFrameWidth(frame) * glyphs.getFrameHeight(frame);
    for (int p = 0; p < glyphs.paletteCount; ++p) {
      glyphs.buildCacheImages(p, 0, -1, -1);
      glyphs.setCurrentPalette(p);
      screen->fill(0x1234);
      glyphs.paintFrame(screen->g(), frame, 100, 100, 0);
      int drawn = 0;
      for (int y = 80; y < 140; ++y)
        for (int x = 80; x < 140; ++x) drawn += screen->at(x, y) != 0x1234;
      EXPECT_GT(drawn, 4) << entry << " palette " << p;
      EXPECT_LT(drawn, box * 3 / 4) << entry << " palette " << p << ": the ring's middle stays";
    }
  }
  unloadBar(*game);
}

}  // namespace
