// The shop's record: what the shop (270), the item bought (330) and the
// two-page explanation (430) keep between frames. Items 0-14: category
// item / 5, level item % 5 + 1.
#pragma once

#include <cstdint>

constexpr uint32_t k_shopPrices[15] = {800,   2000,  8000, 12000, 15000, 1000, 3000, 6000,
                                       10000, 14000, 800,  1500,  5000,  8000, 10000};
constexpr uint32_t k_shopItemRatings[15] = {20, 40, 60, 80, 100, 20, 40, 60, 80, 100, 20, 40, 60, 80, 100};

struct ShopScreen {
  int32_t currentItem = 0;  // the selected item, 0-14
  int32_t oldCurrentItem = 0;
  int32_t selectedCategory = 0;
  int32_t otherCategory[2] = {1, 2};
  // The detail panel slides up 41 pixels when open.
  uint8_t panelOpen = 0;
  uint8_t panelAtRest = 1;
  uint8_t panelFullyOpen = 0;
  uint8_t errorShown = 0;
  int32_t explanationPage = 0;
};
