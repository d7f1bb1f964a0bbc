#include <cstdlib>
#include <cstring>

#include "BlockFont.h"
#include "DataFixture.h"
#include "tests/zul/sprite/SpriteTestUtil.h"
#include "zul/2d/ASprite.h"

namespace {

// The block font (BlockFont.h) as font 0.
class TextDraw : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    screen = std::make_unique<spritetest::Screen>();
    font = makeBlockFont(*game);
    fonts[0] = font.get();
    screen->fill(0);
  }
  void TearDown() override {
    screen.reset();
    DataTest::TearDown();
  }
  // Which of the columns from x0 have any drawn pixel on row y.
  std::string columns(int x0, int n, int y = 5) {
    std::string s;
    for (int x = x0; x < x0 + n; ++x) s += screen->at(x, y) ? '#' : '.';
    return s;
  }
  int32_t pages(const char* text, int w, int h) {
    return layoutText(*game, fonts, text, 0, static_cast<int32_t>(std::strlen(text)), 0, w, h);
  }

  std::unique_ptr<spritetest::Screen> screen;
  std::unique_ptr<ASprite> font;
  ASprite* fonts[8] = {};
};

TEST_F(TextDraw, NumberCodes) {
  struct Case {
    const char* text;
    int32_t p0, p1, p2;
    const char* cells;
    const char* digits;
  };
  const Case cases[] = {
      {"%3n", 7, 0, 0, "..........#####.....", "007"},   // two blank cells, then 7
      {"%n", -42, 0, 0, "###############.....", "-42"},  // minus, 4, 2
      {"%i%n", 5, 9, 0, "#####...............", "9"},    // %i skips parameter 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    screen->fill(0);
    setTextParam(*game, 0, c.p0);
    setTextParam(*game, 1, c.p1);
    setTextParam(*game, 2, c.p2);
    drawCString(*game, screen->g(), fonts, c.text, 0, 10, 0, 0);
    EXPECT_EQ(columns(10, 20), c.cells);
    EXPECT_STREQ(game->text.layout.digits, c.digits);
  }
}

TEST_F(TextDraw, FormatNumberCounts) {
  EXPECT_EQ(formatNumber(*game, 0, 10, -1), 1);
  EXPECT_STREQ(game->text.layout.digits, "0");
  EXPECT_EQ(formatNumber(*game, -42, 10, -1), 3);
  EXPECT_EQ(formatNumber(*game, 255, 16, -1), 2);
  EXPECT_STREQ(game->text.layout.digits, "ff");
  EXPECT_EQ(formatNumber(*game, INT32_MIN, 10, -1), 11);
  EXPECT_STREQ(game->text.layout.digits, "-2147483648");
  EXPECT_EQ(formatNumber(*game, 5, 10, 99), 15);  // the digit buffer bounds the count
}

TEST_F(TextDraw, Utf8Remaps) {
  struct Case {
    std::vector<uint8_t> bytes;
    int32_t code, length;
  };
  const Case cases[] = {
      {{0xD0, 0x90}, 381, 2}, {{0xD0, 0x81}, 380, 2}, {{0xD1, 0x8F}, 444, 2},
      {{'A'}, 'A', 1},        {{0xC3, 0xA9}, 0xE9, 2}, {{0xD0}, 0xD0, 1},  // a lead byte at the end
  };
  for (const Case& c : cases) {
    int32_t len = 0;
    EXPECT_EQ(decodeChar(c.bytes.data(), 0, static_cast<int32_t>(c.bytes.size()), &len), c.code);
    EXPECT_EQ(len, c.length);
  }
}

TEST_F(TextDraw, AnchorCentring) {
  const std::string text(20, 'a');  // 100 pixels
  EXPECT_EQ(getCStringWidth(*game, font.get(), text.c_str()), 100);
  drawCString(*game, screen->g(), fonts, text.c_str(), 0, 120, 0, 32);
  EXPECT_EQ(columns(68, 4), "..##");
  EXPECT_EQ(columns(168, 4), "##..");
  screen->fill(0);
  drawCString(*game, screen->g(), fonts, "ab", 0, 120, 20, 64 | 0x400);  // right, bottom
  EXPECT_EQ(columns(109, 12, 10), ".##########.");
  EXPECT_EQ(screen->at(115, 9), 0);
  EXPECT_NE(screen->at(115, 10), 0);
}

TEST_F(TextDraw, LongWordIsNotWrapped) {
  EXPECT_EQ(pages("abcdefghijklmnop", 30, 100), 1);
  EXPECT_EQ(game->text.layout.lineCount, 1);
  EXPECT_EQ(game->text.layout.lines[0].width, 80);
  EXPECT_EQ(pages("ab cdefghijklmnop", 30, 100), 1);
  EXPECT_EQ(game->text.layout.lineCount, 2);
  EXPECT_EQ(game->text.layout.lines[0].width, 10);
}

TEST_F(TextDraw, ThreeLinesInTwoLineBoxGiveTwoPages) {
  const char* text = "ab\ncd\\nef";
  const int32_t n = static_cast<int32_t>(std::strlen(text));
  EXPECT_EQ(pages(text, 100, 20), 2);
  EXPECT_EQ(game->text.layout.pages[0].height, 20);
  EXPECT_EQ(game->text.layout.pages[1].height, 10);
  EXPECT_FALSE(drawWrappedTextPage(*game, screen->g(), fonts, 0, text, 0, n, 0, 0, 100, 20, 0, 0x100));
  EXPECT_EQ(columns(0, 12, 5), "##########..");
  EXPECT_EQ(columns(0, 12, 15), "##########..");
  screen->fill(0);
  EXPECT_TRUE(drawWrappedTextPage(*game, screen->g(), fonts, 0, text, 0, n, 0, 0, 100, 20, 1, 0x100));
  EXPECT_EQ(columns(0, 12, 5), "##########..");
  EXPECT_EQ(columns(0, 12, 15), "............");
  EXPECT_EQ(pages("ab%j cd", 100, 100), 2);  // a page break
  // The one character after the break is skipped, whatever it is (a two-byte one whole).
  for (const char* broken : {"ab%j cd", "ab%j\ncd", "ab%jxcd", "ab%j\xD0\x90" "cd"}) {
    const int32_t at = static_cast<int32_t>(std::strchr(broken, 'c') - broken);
    EXPECT_EQ(pages(broken, 100, 100), 2) << broken;
    EXPECT_EQ(game->text.layout.pages[1].start, at) << broken;
    EXPECT_EQ(game->text.layout.lines[1].width, 10) << broken;
  }
  EXPECT_EQ(pages(text, 100, 40), 1);
}

TEST_F(TextDraw, RevealStopsAtThePageEnd) {
  const char* text = "abcdef";
  int32_t r = drawTextReveal(*game, screen->g(), fonts, text, 0, 6, 0, 0, 0, 100, 10, 0, 0, 2, 1);
  EXPECT_EQ(columns(0, 12), "##########..");  // two characters shown
  EXPECT_EQ(r, 1);
  r = drawTextReveal(*game, screen->g(), fonts, text, 0, 6, 0, 0, 0, 100, 10, 0, 0, 10, 0);
  EXPECT_EQ(r, 3);
  EXPECT_EQ(game->text.layout.reveal, 6);
}

}  // namespace

namespace {
// The data set's fonts: both banks parse, the map gives every letter a glyph.
TEST_F(DataTest, DataSetFonts) {
  const char* data = std::getenv("KV_DATA_DIR");
  if (!data || !std::filesystem::exists(std::string(data) + "/i.bar")) GTEST_SKIP() << "no data set";
  std::filesystem::copy_file(std::string(data) + "/i.bar", path("i.bar"));
  ASSERT_EQ(loadBar(*game, "i.bar"), 1);
  game->text.charMap = getBarEntryCopy(*game, 2);
  game->text.charMapCount = getBarEntrySize(*game, 2) / 2;
  ASSERT_GE(game->text.charMapCount, 445);
  spritetest::Screen screen;
  for (int e = 3; e <= 4; ++e) {
    ASprite bank;
    ASSERT_TRUE(bank.load(game->files.bar.data, static_cast<uint32_t>(getBarEntryOffset(*game, e)),
                          static_cast<uint32_t>(getBarEntrySize(*game, e))));
    EXPECT_EQ(bank.paletteCount, 3);
    for (int c : {int('A'), int('z'), int('0'), int('%'), 381, 380}) EXPECT_GT(glyphFrame(*game, c), 0) << c;
    EXPECT_GT(getCStringWidth(*game, &bank, "Loading..."), 20);
    EXPECT_GT(bank.getFontHeight(), 8);
  }
}
}  // namespace
