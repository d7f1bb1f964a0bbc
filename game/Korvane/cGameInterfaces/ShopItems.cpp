// The shop's operations: buying and equipping the selected item, the
// ratings and their bars.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "zul/2d/Graphics.h"

namespace {

constexpr int32_t kItemCount = 15;
constexpr int32_t kNothingEquippedRating = 10;

// Bar styles, top colour to middle: 0 the current rating, 1 a gain, 2 a loss.
constexpr uint32_t kBarStyles[3][4] = {
    {0x0081C8, 0x0084D6, 0x008BF6, 0x80C6FB},
    {0x00CE00, 0x00E500, 0x00FF00, 0x80FF80},
    {0xD61C00, 0xE52300, 0xF62C00, 0xFB9680},
};
enum BarStyle : int32_t { kCurrent = 0, kGain = 1, kLoss = 2 };

int32_t clampItem(int32_t item) { return item < 0 ? 0 : (item >= kItemCount ? kItemCount - 1 : item); }

}  // namespace

void selectShopItem(cGame& game, int32_t item) {
  game.shop.currentItem = clampItem(item);
  game.shop.selectedCategory = game.shop.currentItem / 5;
  game.shop.otherCategory[0] = (game.shop.selectedCategory + 1) % 3;
  game.shop.otherCategory[1] = (game.shop.selectedCategory + 2) % 3;
}

int32_t getShopItemPrice(const cGame& /*game*/, int32_t item) {
  return static_cast<int32_t>(k_shopPrices[clampItem(item)]);
}

int32_t getShopItemNameText(const cGame& /*game*/, int32_t item) { return k_textShopItem0 + clampItem(item); }

void equipCurrentItem(cGame& game) {
  selectShopItem(game, game.shop.currentItem);
  equipItem(game, game.shop.currentItem);
}

// Equipping saves at once, so quitting straight after keeps it.
void equipShopItem(cGame& game) {
  equipCurrentItem(game);
  saveProgress(game);
}

void buyShopItem(cGame& game) {
  selectShopItem(game, game.shop.currentItem);
  buyItem(game, game.shop.currentItem, getShopItemPrice(game, game.shop.currentItem));
  saveProgress(game);
}

int32_t getEquippedRating(cGame& game, int32_t category) {
  if (category < 0 || category > 2) return kNothingEquippedRating;
  const int32_t level = game.career.equippedLevel[category];
  if (level < 1 || level > 5) return kNothingEquippedRating;
  return static_cast<int32_t>(k_shopItemRatings[5 * category + level - 1]);
}

bool isMatchedSet(cGame& game) {
  const int32_t level = clampItem(game.shop.currentItem) % 5 + 1;
  for (int32_t c = 0; c < 3; ++c)
    if (c != game.shop.selectedCategory && game.career.equippedLevel[c] != level) return false;
  return true;
}

void paintBarSegment(cGame& /*game*/, Graphics* g, int32_t x, int32_t y, int32_t width, int32_t style) {
  if (!g || style < 0 || style > 2) return;
  const uint32_t* c = kBarStyles[style];
  const struct {
    int32_t row, height, colour;
  } rows[] = {{1, 1, 0}, {2, 1, 1}, {3, 1, 2}, {4, 2, 3}, {6, 1, 2}, {7, 1, 1}, {8, 1, 0}};
  for (const auto& r : rows) {
    g->setColor(c[r.colour]);
    g->fillRect(x, y + r.row, width, r.height);
  }
}

void paintRatingBar(cGame& game, int32_t interfaceId, int32_t element, int32_t category) {
  Graphics* const g = game.frontEnd.paintTarget;
  const int32_t x = getInterfaceElementX(game, interfaceId, element);
  const int32_t y = getInterfaceElementY(game, interfaceId, element);
  const int32_t w = getInterfaceElementWidth(game, interfaceId, element);
  const int32_t r = getEquippedRating(game, category);
  const bool matched = isMatchedSet(game);
  const int32_t len = r * w / 100;
  const int32_t tail = matched ? 0 : len * 5 / 100;
  if (category == game.shop.selectedCategory) {
    const int32_t wanted = static_cast<int32_t>(k_shopItemRatings[clampItem(game.shop.currentItem)]);
    if (r < wanted) {
      const int32_t up = (wanted - r) * w / 100;
      const int32_t upTail = matched ? 0 : (len + up) * 5 / 100;
      paintBarSegment(game, g, x, y, len, kCurrent);
      paintBarSegment(game, g, x + len, y, up - upTail, kGain);
      if (!matched) paintBarSegment(game, g, x + len + up - upTail, y, upTail, kLoss);
      return;
    }
    paintBarSegment(game, g, x, y, len - tail, kCurrent);
    if (r > wanted) {
      const int32_t down = (r - wanted) * w / 100;
      paintBarSegment(game, g, x + len - tail - down, y, down, kLoss);
    }
    if (!matched) paintBarSegment(game, g, x + len - tail, y, tail, kLoss);
    return;
  }
  if (len == 0) return;
  paintBarSegment(game, g, x, y, len - tail, kCurrent);
  if (!matched) paintBarSegment(game, g, x + len - tail, y, tail, kLoss);
}
