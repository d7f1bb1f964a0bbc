// The bitmap-font operations of ASprite.
#include <gtest/gtest.h>

#include <string>

#include "SpriteTestUtil.h"

using namespace spritebank;
using spritetest::Screen;

namespace {

constexpr uint16_t kBg = 0x0841;

// Glyph 0: module 0 (4x8 block, x offset 1 = spacing, y offset 2 = lift);
// glyph 1 'A'/'a': module 1, 5 wide; glyph 2 'B'/'b'/'^': module 2, 6 wide.
class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Bank b;
    b.modules.push_back(Module::filledRect(0xFF0000FF, 4, 8));
    b.modules.push_back(Module::image(5, 8, std::vector<uint8_t>(40, 1)));
    b.modules.push_back(Module::image(6, 8, std::vector<uint8_t>(48, 1)));
    b.palettes = {{0, 0xFFFF0000}, {0, 0xFF00FF00}};
    b.frames.push_back({{{0, 1, 2, 0, 0}, {1, 0, 0, 0, 0}, {2, 0, 0, 0, 0}}});
    b.flags = b.minimalFlags();
    font = spritetest::loadBank(b);
    font->buildCacheImages(0, 0, -1, -1);
    font->buildCacheImages(1, 0, -1, -1);
    map[int{'A'}] = map[int{'a'}] = 1;
    map[int{'B'}] = map[int{'b'}] = map[int{'^'}] = 2;
    font->setCharMap(map);
    screen.fill(kBg);
  }
  int adv(char c) { return c == 'A' || c == 'a' ? 6 + font->fontSpacing : 7 + font->fontSpacing; }
  Screen screen;
  std::unique_ptr<ASprite> font;
  uint8_t map[256] = {};
};

TEST_F(FontTest, GlyphTablesFollowFrameZero) {
  EXPECT_EQ(font->glyphModule, (std::vector<uint8_t>{0, 1, 2}));
  EXPECT_EQ(font->glyphX[0], 1);
  EXPECT_EQ(font->glyphY[0], 2);
  EXPECT_EQ(font->getFontHeight(), 8);
}

TEST_F(FontTest, Measure) {
  struct Case {
    std::string text;
    int spacing;
    std::vector<int> lines;
    int width, height;
  };
  const Case cases[] = {
      {"AB", 0, {12}, 13, 8},
      {"A^B", 2, {7, 8}, 9, 18},
      {"A\n", 0, {5, 0}, 5, 16},
      {"A\xC1" "B", 0, {12}, 13, 8},
      {"A B", 0, {17}, 18, 8},
      {"\x01\x05" "A\x02\x02", 0, {12}, 13, 8},
      {"", 0, {0}, 0, 8},
  };
  for (const Case& c : cases) {
    font->fontSpacing = c.spacing;
    font->measureText(c.text.c_str());
    for (size_t l = 0; l < c.lines.size(); ++l) EXPECT_EQ(font->lineWidths[l], c.lines[l]) << c.text << " " << l;
    EXPECT_EQ(font->textWidth, c.width) << c.text;
    EXPECT_EQ(font->textHeight, c.height) << c.text;
  }
  EXPECT_EQ(font->measureWidth("AB"), 13);
}

TEST_F(FontTest, MeasureStopsAtTwentyLines) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "A\n";
  font->textStart = -1;
  font->measureText(text.c_str());
  EXPECT_EQ(font->textHeight, 20 * 8);
  EXPECT_EQ(font->lineWidths[19], 5);
}

TEST_F(FontTest, Wrap) {
  int16_t* t = font->wrapText("aaa bbb", 18);
  ASSERT_EQ(t[0], 2);
  EXPECT_EQ(t[1], 4);
  EXPECT_EQ(t[2], 18);
  EXPECT_EQ(t[3], 7);
  EXPECT_EQ(t[4], 21);
  t = font->buildWrapTable("aa\nbb", 100, 0);
  ASSERT_EQ(t[0], 2);
  EXPECT_EQ(t[1], 2);
  EXPECT_EQ(t[2], 12);
  EXPECT_EQ(t[3], 5);
  EXPECT_EQ(t[4], 14);
  // A word that passes the width moves to the next line.
  t = font->wrapText("aa bb", 18);
  ASSERT_EQ(t[0], 2);
  EXPECT_EQ(t[1], 3);
  EXPECT_EQ(t[2], 12);
  EXPECT_EQ(t[3], 5);
  EXPECT_EQ(t[4], 14);
  // At most 50 lines.
  std::string many;
  for (int i = 0; i < 80; ++i) many += "aa ";
  t = font->wrapText(many.c_str(), 10);
  EXPECT_EQ(t[0], ASprite::kMaxWrapLines);
  EXPECT_EQ(font->wrapText(nullptr, 10)[0], 0);
}

TEST(Font, CharToGlyph) {
  const int table[][2] = {{65, 33}, {32, 0}, {126, 94}, {201, 104}, {233, 104}, {222, 31}, {127, 127},
                          {146, 7}, {192, 98}, {255, 31}, {228, 96}, {252, 118}, {128, 31}};
  for (const auto& t : table) EXPECT_EQ(ASprite::charToGlyph(t[0]), t[1]) << t[0];
}

TEST_F(FontTest, DrawStringAnchorsAndEscapes) {
  // Right-aligned: the text ends at x; lifted by glyphY[0].
  font->drawString(screen.g(), "A", 100, 50, 0x40);
  EXPECT_EQ(screen.at(95, 48), 0xF800);
  EXPECT_EQ(screen.at(99, 55), 0xF800);
  EXPECT_EQ(screen.at(100, 48), kBg);
  EXPECT_EQ(screen.at(94, 48), kBg);
  EXPECT_EQ(font->textWidth, 6);

  screen.fill(kBg);
  font->drawString(screen.g(), "\x01\x01" "A\x01\xFF" "A\x01\x07" "A", 10, 50, 0);
  EXPECT_EQ(screen.at(10, 48), 0x07E0);
  EXPECT_EQ(screen.at(16, 48), 0xF800);
  EXPECT_EQ(screen.at(22, 48), 0xF800);
  EXPECT_EQ(font->getCurrentPalette(), 0);

  // 0x5E is a glyph in a single string; the last index stops the walk.
  screen.fill(kBg);
  font->drawString(screen.g(), "^A", 10, 50, 0, 0);
  EXPECT_EQ(screen.at(15, 48), 0xF800);  // the 6-wide glyph 2
  EXPECT_EQ(screen.at(17, 48), kBg);     // 'A' not drawn
  EXPECT_EQ(font->textWidth, 7);

  // Centred both ways.
  screen.fill(kBg);
  font->drawString(screen.g(), "AB", 100, 100, 0x20 | 0x200);
  EXPECT_EQ(screen.at(100 - 6, 100 - 2 - 4), 0xF800);
  EXPECT_EQ(screen.at(100 - 7, 100 - 2 - 4), kBg);
}

TEST_F(FontTest, DrawMultilineAndWrapped) {
  font->drawMultiline(screen.g(), "A^B", 10, 50, 0);
  EXPECT_EQ(screen.at(10, 48), 0xF800);
  EXPECT_EQ(screen.at(15, 56), 0xF800);  // 'B' on the second line
  EXPECT_EQ(screen.at(16, 48), kBg);     // nothing after 'A' on the first
  EXPECT_EQ(font->textStart, -1);

  screen.fill(kBg);
  const char* text = "aaa bbb";
  int16_t* t = font->wrapText(text, 18);
  std::vector<int16_t> table(t, t + 5);
  font->drawWrapped(screen.g(), text, table.data(), 10, 50, 0, -1, 0);
  EXPECT_EQ(screen.at(10, 48), 0xF800);
  EXPECT_EQ(screen.at(10, 56), 0xF800);
  EXPECT_EQ(screen.at(10 + 18, 48), kBg);  // the space is not drawn and 'b' moved down
  EXPECT_EQ(font->textEnd, -1);
  // Only the second line, right-aligned to its width.
  screen.fill(kBg);
  font->drawWrapped(screen.g(), text, table.data(), 100, 50, 1, 1, 0x40);
  EXPECT_EQ(screen.at(100 - 21, 48), 0xF800);
  EXPECT_EQ(screen.at(100 - 22, 48), kBg);
}

}  // namespace
