#include "game/Korvane/cGame/cGameCareer.h"

#include <algorithm>

#include "game/Korvane/cGame/cGame.h"

namespace {

constexpr int32_t kItemCount = 15;
constexpr int32_t kLevelsPerCategory = 5;
constexpr int32_t kMaskBitsPerCategory = 6;

bool isItem(int32_t item) { return item >= 0 && item < kItemCount; }

// The one clamp of the money: what the record holds is what screens show.
int32_t clampMoney(int64_t money) { return static_cast<int32_t>(std::clamp<int64_t>(money, 0, k_careerMoneyMax)); }

}  // namespace

int32_t getCareerMoney(const cGame& game) { return clampMoney(game.career.progress.money); }

void setCareerMoney(cGame& game, int64_t money) {
  game.career.progress.money = static_cast<uint32_t>(clampMoney(money));
}

void addCareerMoney(cGame& game, int64_t amount) { setCareerMoney(game, int64_t{getCareerMoney(game)} + amount); }

bool isItemBought(const cGame& game, int32_t item) {
  return isItem(item) && (game.career.progress.boughtMask >> item & 1u) != 0;
}

bool isItemEquipped(const cGame& game, int32_t item) {
  return isItem(item) &&
         game.career.equippedLevel[item / kLevelsPerCategory] == item % kLevelsPerCategory + 1;
}

void equipItem(cGame& game, int32_t item) {
  if (!isItem(item)) return;
  int32_t* level = game.career.equippedLevel;
  level[item / kLevelsPerCategory] = item % kLevelsPerCategory + 1;
  game.career.progress.equippedMask = (1u << level[0]) | (1u << (kMaskBitsPerCategory + level[1])) |
                                      (1u << (2 * kMaskBitsPerCategory + level[2]));
}

void buyItem(cGame& game, int32_t item, int32_t price) {
  if (!isItem(item)) return;
  equipItem(game, item);
  addCareerMoney(game, -int64_t{price});
  game.career.progress.boughtMask |= 1u << item;
}

void updateEquippedItems(cGame& game) {
  for (int32_t category = 0; category < 3; ++category) {
    const uint32_t bits = (game.career.progress.equippedMask >> (kMaskBitsPerCategory * category)) & 0x3F;
    for (int32_t level = kLevelsPerCategory; level >= 0; --level)
      if (bits & (1u << level)) {
        game.career.equippedLevel[category] = level;
        break;
      }
  }
}

void resetEquippedItems(cGame& game) {
  for (int32_t& level : game.career.equippedLevel) level = kLevelsPerCategory;
}
