// The built data set holds what the help, tutorial choice and about screens
// read: their elements, rows over their touch rectangles, their texts, help
// pages that fit their box and credits that fit the about width.
#include <cstdlib>
#include <string>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "tests/game/interfaces/InterfaceFixture.h"
#include "zul/2d/ASprite.h"

namespace {

class HelpData : public InterfaceTest {
 protected:
  void SetUp() override {
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/interf.bar")) GTEST_SKIP() << "no data set";
    InterfaceTest::SetUp();
    for (const char* name : {"interf.bar", "text.bar", "i.bar"})
      std::filesystem::copy_file(std::string(data) + "/" + name, path(name));
    ASSERT_EQ(loadBar(*game, "interf.bar"), 1);
    loadInterfaces(*game);
    unloadBar(*game);
    loadStrings(*game, 0);
    // The game's two fonts, as the start-up loads them.
    ASSERT_EQ(loadBar(*game, "i.bar"), 1);
    delete[] game->text.charMap;  // the block font's
    game->text.charMap = getBarEntryCopy(*game, k_interfaceEntryCharMap);
    game->text.charMapCount = getBarEntrySize(*game, k_interfaceEntryCharMap) / 2;
    for (int f = 0; f < 2; ++f) {
      fonts[f] = makeBank(*game, k_interfaceEntryFont0 + f, k_buildAll, false, true);
      ASSERT_NE(fonts[f], nullptr);
      fonts[f]->setCharMap(game->text.charMap);
      game->text.fonts[f] = fonts[f];
    }
    unloadBar(*game);
  }
  void TearDown() override {
    for (ASprite*& f : fonts) {
      if (game && game->text.fonts[0] == f) game->text.fonts[0] = nullptr;
      if (game && game->text.fonts[1] == f) game->text.fonts[1] = nullptr;
      delete f;
      f = nullptr;
    }
    InterfaceTest::TearDown();
  }
  std::string text(int id) {
    const char* s = getStringData(*game, id);
    return s ? std::string(s, static_cast<size_t>(std::max(getStringLength(*game, id), 0))) : std::string();
  }
  ASprite* fonts[2] = {};
};

TEST_F(HelpData, ElementsOfTheHelpScreens) {
  struct Need {
    int interface, first, last, type;
  };
  const Need needs[] = {
      {7, 7, 8, F::kSprite},   {7, 11, 14, F::kText},  {7, 20, 20, F::kText},   {7, 21, 21, F::kSprite},
      {8, 8, 11, F::kText},    {8, 12, 15, F::kSprite}, {8, 21, 21, F::kSprite}, {8, 22, 22, F::kText},
      {8, 23, 24, F::kSprite}, {38, 5, 5, F::kText},   {38, 11, 12, F::kSprite}, {38, 13, 13, F::kText},
      {38, 14, 14, F::kSprite}, {51, 7, 7, F::kText},  {51, 8, 9, F::kSprite},   {51, 10, 10, F::kRect},
      {51, 11, 11, F::kSprite},
  };
  for (const Need& n : needs)
    for (int i = n.first; i <= n.last; ++i) {
      const int16_t* e = getInterfaceElement(*game, n.interface, i);
      ASSERT_NE(e, nullptr) << n.interface << " " << i;
      EXPECT_EQ(e[F::kWordType], n.type) << n.interface << " " << i;
    }
  // The tutorial's ticks come from the marks bank.
  for (int i = 12; i <= 15; ++i)
    EXPECT_EQ(getInterfaceElement(*game, 8, i)[F::kWordParams + F::kSpriteBank], k_slotMarks) << i;
  // Every back button sits on the right soft key.
  for (auto [interface, element] : {std::pair{7, 21}, {8, 24}, {38, 14}, {51, 11}}) {
    EXPECT_EQ(getInterfaceElementX(*game, interface, element), 197) << interface;
    EXPECT_EQ(getInterfaceElementY(*game, interface, element), touchLayoutY(338)) << interface;
  }
}

TEST_F(HelpData, RowsAndArrowsLieOnTheirTouchRectangles) {
  struct Box {
    int interface, element, x, y, w, h;  // the touch rectangle in the 240 x 378 layout
  };
  std::vector<Box> rows;
  for (int i = 0; i < 4; ++i) rows.push_back({7, 11 + i, 18, 126 + 50 * i, 212, 28});
  for (int i = 0; i < 4; ++i) rows.push_back({8, 8 + i, 46, 129 + 50 * i, 178, 29});
  for (const Box& r : rows) {
    SCOPED_TRACE(testing::Message() << "interface " << r.interface << " element " << r.element);
    const int x = getInterfaceElementX(*game, r.interface, r.element),
              y = getInterfaceElementY(*game, r.interface, r.element);
    const int top = touchLayoutY(r.y);
    EXPECT_LE(x, r.x);
    EXPECT_GE(x + getInterfaceElementWidth(*game, r.interface, r.element), r.x + r.w);
    EXPECT_LE(y, top);
    EXPECT_GE(y + getInterfaceElementHeight(*game, r.interface, r.element), top + r.h);
  }
  // Arrows (centred sprites) inside their hold rectangles.
  const Box arrows[] = {{38, 11, 103, 72, 40, 40}, {38, 12, 103, 299, 40, 40}, {51, 8, 98, 60, 50, 40},
                        {51, 9, 98, 300, 40, 40},  {8, 21, 100, 102, 40, 22},  {8, 23, 100, 316, 40, 18}};
  for (const Box& a : arrows) {
    SCOPED_TRACE(testing::Message() << "interface " << a.interface << " element " << a.element);
    const int x = getInterfaceElementX(*game, a.interface, a.element),
              y = getInterfaceElementY(*game, a.interface, a.element);
    EXPECT_GE(x, a.x);
    EXPECT_LE(x, a.x + a.w);
    EXPECT_GE(y, touchLayoutY(a.y));
    EXPECT_LE(y, touchLayoutY(a.y) + a.h);
  }
  // The credits' view lies between the two arrows.
  EXPECT_GT(getInterfaceElementY(*game, 51, 10), touchLayoutY(60));
  EXPECT_LE(getInterfaceElementY(*game, 51, 10) + getInterfaceElementHeight(*game, 51, 10), touchLayoutY(300));
}

TEST_F(HelpData, TextsOfTheHelpScreens) {
  std::vector<int> ids = {36, 41, 42, 43, 52, 53, 54, 180, 181, 182, 183, 184, 185, 186, 188, 214, 215};
  for (int id = 49; id <= 59; ++id) ids.push_back(id);
  for (int id : ids) EXPECT_GT(getStringLength(*game, id), 0) << id;
  EXPECT_EQ(text(215), "Version ");
  EXPECT_EQ(text(214), "Korvane");
  const std::string money = text(k_textHelpMoneyBody);
  size_t tags = 0;
  for (size_t at = money.find("%t"); at != std::string::npos; at = money.find("%t", at + 2)) ++tags;
  EXPECT_EQ(tags, 4u);
  EXPECT_EQ(money.find("%n"), std::string::npos) << "the numbers come with the tags";
}

// Each page of a help text is one "%j" part: none overflows its box.
TEST_F(HelpData, HelpPagesFitTheBodyBox) {
  selectInterface(*game, k_interfaceHelpPage);
  for (int id : {180, 182, 184, 186}) {
    const std::string t = text(id);
    int parts = 1;
    for (size_t at = t.find("%j"); at != std::string::npos; at = t.find("%j", at + 2)) ++parts;
    game->text.layout.cacheKey = 0;
    EXPECT_EQ(drawElementWrappedText(*game, k_helpPageBody, id), parts) << id;
  }
  game->setup.helpSubject = k_textHelpMoney;
  buildHelpMoneyText(*game);
  const std::string filled(game->help.filled, static_cast<size_t>(game->help.filledLength));
  int parts = 1;
  for (size_t at = filled.find("%j"); at != std::string::npos; at = filled.find("%j", at + 2)) ++parts;
  const int16_t* body = getInterfaceElement(*game, -1, k_helpPageBody);
  EXPECT_EQ(layoutText(*game, game->text.fonts, game->help.filled, 0, game->help.filledLength,
                       body[F::kWordParams + F::kTextFont], body[F::kWordParams + F::kTextWidth],
                       body[F::kWordParams + F::kTextHeight]),
            parts);
}

// Messages, dialogs and copies hold 499 bytes of a text; the help bodies
// and the credits, which the help page and the about screen draw straight
// from the table, are the only texts allowed to be longer.
TEST_F(HelpData, OnlyTextsDrawnFromTheTableAreLongerThanACopy) {
  for (int id = 0; id < game->text.strings.count; ++id) {
    if (getStringLength(*game, id) <= 499) continue;
    const bool helpBody = id == k_textHelpControlsBody || (id >= 182 && id <= 186 && id % 2 == 0);
    const bool credit = id >= k_textCreditsFirst && id <= k_textCreditsLast;
    EXPECT_TRUE(helpBody || credit) << id << ": " << getStringLength(*game, id) << " bytes";
  }
  // Drawn page by page, the longest help text reaches its last word.
  selectInterface(*game, k_interfaceHelpPage);
  game->text.layout.cacheKey = 0;
  const int pages = drawElementWrappedText(*game, k_helpPageBody, k_textHelpControlsBody);
  ASSERT_GT(pages, 1);
  EXPECT_EQ(game->text.layout.pages[pages].start, getStringLength(*game, k_textHelpControlsBody));
}

TEST_F(HelpData, EveryCreditFitsTheAboutWidth) {
  int written = 0;
  for (int id = k_textCreditsFirst; id <= k_textCreditsLast; ++id) {
    const std::string t = text(id);
    if (t.empty()) continue;
    ++written;
    EXPECT_EQ(t.find('%'), std::string::npos) << id << ": no markup in the credits";
    resetLayout(*game, game->text.fonts, 0);
    layoutTextLines(*game, game->text.fonts, t.c_str(), 0, static_cast<int32_t>(t.size()), 220, 30000,
                    TextLayoutData::kMaxPages - 1);
    ASSERT_EQ(game->text.layout.pageCount, 1) << id;
    EXPECT_LE(game->text.layout.pages[0].widest, 220) << id;
    EXPECT_LT(game->text.layout.lineCount, TextLayoutData::kMaxLines) << id;
  }
  EXPECT_GT(written, 20);
  // The version line and the product name fit too.
  EXPECT_LE(getCStringWidth(*game, game->text.fonts[0], "Version 1.0.5"), 220);
}

}  // namespace
