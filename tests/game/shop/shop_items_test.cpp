#include <string>
#include <vector>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "tests/game/interfaces/InterfaceFixture.h"

namespace {

constexpr uint32_t kBarColours[3][4] = {
    {0x0081C8, 0x0084D6, 0x008BF6, 0x80C6FB},
    {0x00CE00, 0x00E500, 0x00FF00, 0x80FF80},
    {0xD61C00, 0xE52300, 0xF62C00, 0xFB9680},
};
uint16_t rgb565(uint32_t c) {
  return static_cast<uint16_t>(((c >> 19) & 31) << 11 | ((c >> 10) & 63) << 5 | ((c >> 3) & 31));
}

class ShopItems : public InterfaceTest {
 protected:
  static constexpr int kX = 10, kY = 20, kW = 100;
  void SetUp() override {
    InterfaceTest::SetUp();
    loadOne({text(kX, kY, kW, 10)});
  }
  void equip(int e0, int e1, int e2, int item) {
    game->career.equippedLevel[0] = e0;
    game->career.equippedLevel[1] = e1;
    game->career.equippedLevel[2] = e2;
    selectShopItem(*game, item);
  }
  // Row y of the bar: per column the style whose colour k lies there, '.' none.
  std::string row(int y, int k) {
    std::string s;
    for (int x = kX; x < kX + kW; ++x) {
      char c = '.';
      for (int st = 0; st < 3; ++st)
        if (screen->at(x, y) == rgb565(kBarColours[st][k])) c = static_cast<char>('0' + st);
      if (c == '.' && screen->at(x, y) != 0) c = '?';
      s += c;
    }
    return s;
  }
};

std::string runs(std::initializer_list<std::pair<char, int>> parts) {
  std::string s;
  for (const auto& [c, n] : parts) s += std::string(static_cast<size_t>(n), c);
  return s;
}

TEST_F(ShopItems, BarRowsPerStyle) {
  struct Case {
    const char* name;
    int e0, e1, e2, item, category;
    std::string bar;
  } cases[] = {
      // rating 20 below the item's 60: gain to 60, a loss tail of (20 + 40) * 5 / 100
      {"below", 1, 0, 0, 2, 0, runs({{'0', 20}, {'1', 37}, {'2', 3}, {'.', 40}})},
      // rating 100 above the item's 40: the loss of 60 and the tail of 5
      {"above", 5, 0, 0, 1, 0, runs({{'0', 35}, {'2', 65}})},
      {"equal", 3, 0, 0, 2, 0, runs({{'0', 57}, {'2', 3}, {'.', 40}})},
      // the other two categories at the item's level: no tails
      {"matched", 1, 3, 3, 2, 0, runs({{'0', 20}, {'1', 40}, {'.', 40}})},
      {"other category", 0, 3, 0, 2, 1, runs({{'0', 57}, {'2', 3}, {'.', 40}})},
      // nothing equipped rates 10: a tail of 10 * 5 / 100 = 0
      {"nothing equipped", 0, 0, 0, 2, 2, runs({{'0', 10}, {'.', 90}})},
  };
  const int colourOfRow[8] = {0, 1, 2, 3, 3, 2, 1, 0};
  for (const Case& c : cases) {
    screen->fill(0);
    equip(c.e0, c.e1, c.e2, c.item);
    paintRatingBar(*game, 0, 0, c.category);
    EXPECT_EQ(row(kY, 0), std::string(kW, '.')) << c.name;
    for (int r = 0; r < 8; ++r) EXPECT_EQ(row(kY + 1 + r, colourOfRow[r]), c.bar) << c.name << " row " << r + 1;
    EXPECT_EQ(row(kY + 9, 0), std::string(kW, '.')) << c.name;
  }
}

TEST_F(ShopItems, Ratings) {
  equip(0, 0, 0, 0);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(getEquippedRating(*game, c), 10);
  equip(1, 3, 5, 0);
  EXPECT_EQ(getEquippedRating(*game, 0), 20);
  EXPECT_EQ(getEquippedRating(*game, 1), 60);
  EXPECT_EQ(getEquippedRating(*game, 2), 100);
  equip(0, 4, 4, 3);  // level 4 in category 0; the others at 4
  EXPECT_TRUE(isMatchedSet(*game));
  equip(0, 4, 3, 3);
  EXPECT_FALSE(isMatchedSet(*game));
}

TEST_F(ShopItems, EquippedLevelsFromTheMask) {
  struct Case {
    uint32_t mask;
    int before, e0, e1, e2;
  } cases[] = {
      {0x1041, 4, 0, 0, 0},                                 // the new career's mask
      {(1u << 2) | (1u << 11) | (1u << 12), 4, 2, 5, 0},
      {(1u << 1) | (1u << 3) | (1u << 7) | (1u << 9) | (1u << 13) | (1u << 17), 4, 3, 3, 5},  // highest bit wins
      {0, 4, 4, 4, 4},                                      // no bit: the levels kept
      {1u << 8, 3, 3, 2, 3},
  };
  for (const Case& c : cases) {
    for (int& e : game->career.equippedLevel) e = c.before;
    game->career.progress.equippedMask = c.mask;
    updateEquippedItems(*game);
    EXPECT_EQ(game->career.equippedLevel[0], c.e0) << std::hex << c.mask;
    EXPECT_EQ(game->career.equippedLevel[1], c.e1) << std::hex << c.mask;
    EXPECT_EQ(game->career.equippedLevel[2], c.e2) << std::hex << c.mask;
  }
  resetEquippedItems(*game);
  for (int e : game->career.equippedLevel) EXPECT_EQ(e, 5);
  EXPECT_EQ(game->career.progress.equippedMask, 1u << 8);
}

TEST_F(ShopItems, PricesAndNames) {
  const int prices[15] = {800, 2000, 8000, 12000, 15000, 1000, 3000, 6000, 10000, 14000, 800, 1500, 5000, 8000, 10000};
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(getShopItemPrice(*game, i), prices[i]);
    EXPECT_EQ(getShopItemNameText(*game, i), 406 + i);
  }
  EXPECT_EQ(getShopItemNameText(*game, -3), 406);
  EXPECT_EQ(getShopItemNameText(*game, 99), 420);
}

TEST_F(ShopItems, BuyAndEquipSaveBytes) {
  resetSettings(*game);
  resetProgress(*game);
  auto bytes = [&] {
    const std::vector<uint8_t> f = readBytes("save.sav");
    return f.size() >= 157 ? std::vector<uint8_t>(f.begin() + 144, f.begin() + 157) : std::vector<uint8_t>{};
  };
  // money, bought-items mask, explanation pending, equipped-items mask
  EXPECT_EQ(bytes(), (std::vector<uint8_t>{0, 0, 3, 0xE8, 0, 0, 0, 0, 1, 0, 0, 0x10, 0x41}));
  selectShopItem(*game, 5);  // price 1000, money exactly 1000
  buyShopItem(*game);
  EXPECT_EQ(game->career.equippedLevel[1], 1);
  EXPECT_EQ(bytes(), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x20, 1, 0, 0, 0x10, 0x81}));
  selectShopItem(*game, 2);  // equipping alone saves too
  equipShopItem(*game);
  EXPECT_EQ(bytes(), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x20, 1, 0, 0, 0x10, 0x88}));
  selectShopItem(*game, 14);
  equipShopItem(*game);
  EXPECT_EQ(bytes(), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x20, 1, 0, 0x02, 0x00, 0x88}));
  // Read back, the levels are those equipped.
  for (int& e : game->career.equippedLevel) e = 0;
  loadProgress(*game);
  EXPECT_EQ(game->career.equippedLevel[0], 3);
  EXPECT_EQ(game->career.equippedLevel[1], 1);
  EXPECT_EQ(game->career.equippedLevel[2], 5);
}

}  // namespace

namespace {

// The owned banner round text 422 in element 57: the left end just before
// the text, the middle tiled under it and cut at its width, the right end
// after it, two rows above the element.
class OwnedBanner : public InterfaceTest {};

TEST_F(OwnedBanner, EndsAndClippedMiddleAroundTheText) {
  spritebank::Bank b;
  b.palettes = {{0x00FF00FF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF}};
  b.modules.push_back(spritebank::Module::image(3, 2, std::vector<uint8_t>(6, 1)));    // left end
  b.modules.push_back(spritebank::Module::image(3, 2, std::vector<uint8_t>(6, 2)));    // right end
  b.modules.push_back(spritebank::Module::image(12, 2, std::vector<uint8_t>(24, 3)));  // middle
  b.frames.resize(29);
  b.frames[26] = {{{0, 0, 0, 0, 0}}};
  b.frames[27] = {{{1, 0, 0, 0, 0}}};
  b.frames[28] = {{{2, 0, 0, 0, 0}}};
  b.flags = b.minimalFlags();
  std::unique_ptr<ASprite> banner = spritetest::loadBank(b);
  banner->buildCacheImages(0, 0, -1, -1);
  game->loading.sprites[k_slotShopBanner] = banner.get();
  Interface elements(57, sprite(0, 0, 0, 0, -1));
  for (Element& e : elements) e.params[F::kSpriteVisible] = 0;
  elements.push_back(text(40, 100, 100, 10, 0, 1));
  loadOne(elements);
  std::vector<std::string> strings(423);
  strings[422] = "OWNED";
  putTexts(strings);
  const int w = getStringWidth(*game, font.get(), 422);
  ASSERT_GT(w, 12);
  const int left = 40 + 50 - w / 2;
  paintOwnedBanner(*game);
  game->loading.sprites[k_slotShopBanner] = nullptr;
  std::string want(240, '.');
  want.replace(static_cast<size_t>(left - 4), 3, "LLL");
  want.replace(static_cast<size_t>(left - 1), static_cast<size_t>(w), std::string(static_cast<size_t>(w), 'M'));
  want.replace(static_cast<size_t>(left + w - 1), 3, "RRR");
  for (int y : {98, 99}) {
    std::string got;
    for (int x = 0; x < 240; ++x) {
      const uint16_t v = screen->at(x, y);
      got += v == 0xF800 ? 'L' : v == 0x07E0 ? 'R' : v == 0x001F ? 'M' : v ? '?' : '.';
    }
    EXPECT_EQ(got, want) << "row " << y;
  }
  EXPECT_EQ(columns(0, 240, 97), std::string(240, '.'));
}

}  // namespace
