#include <string>
#include <vector>

#include "tests/game/menus/MenuFixture.h"

namespace {

const uint32_t kTable[] = {11, 12, 13, 14};
constexpr uint16_t kWhite = 0xFFFF, kGreen = 0x07E0;

// Four 100x10 rows at y 0, 20, 40, 60 over a screen of one colour.
class MenuPaint : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    Interface rows;
    for (int k = 0; k < 4; ++k) rows.push_back(text(0, 20 * k, 100, 10));
    loadOne(rows);
    putTexts({"", "", "", "", "", "ij", "", "", "", "", "", "ab", "cd", "ef", "gh"});
    game->text.fonts[1] = font.get();
    setMenu(*game, kTable, 0);
    setMenuCount(*game, 4);
    game->frame.paintFrameCount = 16;  // the pulses at their peak
  }
  void TearDown() override {
    game->text.fonts[1] = nullptr;
    MenuTest::TearDown();
  }
  // Lit columns of row k's first text line.
  std::string row(int k, int n = 26) { return columns(0, n, 20 * k + 5); }
};

TEST_F(MenuPaint, RowsPalettesAndSuffix) {
  // Hidden and not-drawn entries take no row; the selection is green.
  setMenuEntryFlags(*game, 12, 1);
  setMenuEntryFlags(*game, 13, 8);
  game->menu.selection = 3;
  paintMenu(*game);
  EXPECT_EQ(row(0), "##########................");
  EXPECT_EQ(screen->at(0, 0), kWhite);
  EXPECT_EQ(row(1), "##########................");
  EXPECT_EQ(screen->at(0, 20), kGreen);
  EXPECT_EQ(row(2), std::string(26, '.'));
  EXPECT_EQ(row(3), std::string(26, '.'));

  // Bit 1 adds a blank and the text id in the top half.
  screen->fill(0);
  setMenu(*game, kTable, 0);
  setMenuCount(*game, 4);
  setMenuEntryFlags(*game, 11, 0x00050002);
  game->menu.selection = 1;
  paintMenu(*game);
  EXPECT_EQ(row(0), "##########.....##########.");
  EXPECT_EQ(screen->at(20, 0), kWhite);

  // Two rows from the second entry.
  screen->fill(0);
  setMenuRows(*game, kTable, 0, 2);
  setMenuCount(*game, 4);
  game->menu.firstVisible = 1;
  game->menu.selection = 2;
  paintMenu(*game);
  EXPECT_EQ(row(0), "##########................");
  EXPECT_EQ(screen->at(0, 0), kWhite);
  EXPECT_EQ(screen->at(0, 20), kGreen);
  EXPECT_EQ(row(2), std::string(26, '.'));

  // No table: nothing painted.
  screen->fill(0);
  setMenu(*game, nullptr, 0);
  setMenuCount(*game, 4);
  paintMenu(*game);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(row(k, 100), std::string(100, '.')) << k;
}

TEST_F(MenuPaint, DisabledRowsAreVeiled) {
  screen->fill(kWhite);
  setMenuEntryFlags(*game, 12, 4);
  paintMenu(*game);
  // Black at alpha 170 over white: a third of each channel.
  EXPECT_EQ(screen->at(50, 25), 0x52AA);
  EXPECT_EQ(screen->at(99, 29), 0x52AA);
  EXPECT_EQ(screen->at(100, 25), kWhite);
  EXPECT_EQ(screen->at(50, 30), kWhite);
  EXPECT_EQ(screen->at(50, 5), kWhite);
}

TEST_F(MenuPaint, SelectedRowGlowsOnlyAtRest) {
  auto paint = [&](int fontIndex, int timer, int animations) {
    screen->fill(0);
    p(0, F::kTextFont) = static_cast<int16_t>(fontIndex);
    p(0, F::kTextTimer) = static_cast<int16_t>(timer);
    p(0, F::kTextDuration) = 1000;
    game->interfaces.interfaceAnimations = static_cast<uint8_t>(animations);
    paintMenu(*game);
    return screen->block(0, 0, 100, 10);
  };
  const std::vector<uint16_t> plain = paint(0, 0, 1);
  struct Case {
    int font, timer, animations;
    bool glows;
  } const cases[] = {
      {1, 0, 1, true},
      {1, 0, 0, true},
      {1, 400, 0, true},   // animations off: the timer does not count
      {1, 400, 1, false},  // still sliding in
      {0, 0, 0, false},    // font 0 rows never glow
  };
  for (const Case& c : cases) {
    const std::vector<uint16_t> got = paint(c.font, c.timer, c.animations);
    EXPECT_EQ(got != plain, c.glows) << c.font << " " << c.timer << " " << c.animations;
  }
  // The glow lights the dark pixels beside the text.
  paint(1, 0, 1);
  EXPECT_NE(screen->at(11, 5), 0);
  EXPECT_EQ(plain[5 * 100 + 11], 0);
}

}  // namespace
