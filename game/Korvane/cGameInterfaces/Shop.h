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

class cGame;
struct Question;
class Graphics;

// The shop's questions: yes buys the selected item (then the item-bought
// screen) or equips it (then back to the shop).
extern const Question k_questionBuyItem, k_questionEquipItem;
// The answers' operations (cGameInterfaces/ShopItems.cpp): the selected
// item bought or equipped, saved.
void buyShopItem(cGame& game);
void equipShopItem(cGame& game);
int32_t getShopItemPrice(const cGame& game, int32_t item);
int32_t getShopItemNameText(const cGame& game, int32_t item);
void paintRatingBar(cGame& game, int32_t interfaceId, int32_t element, int32_t category);
// shop operations (cGameInterfaces/ShopItems.cpp): the selection, the
// rating bars. Items 0-14: category item / 5, level item % 5 + 1.
void selectShopItem(cGame& game, int32_t item);  // the selection and its categories
int32_t getEquippedRating(cGame& game, int32_t category);
bool isMatchedSet(cGame& game);
void paintBarSegment(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t width, int32_t style);
void equipCurrentItem(cGame& game);  // level and mask, not saved
// shop screens (cGameInterfaces/Shop.cpp): the shop (270), the item
// bought (330) and the two-page explanation (430); their record.
void updateShop(cGame& game);
void paintShop(cGame& game, Graphics* g);
void updateItemBought(cGame& game);
void paintItemBought(cGame& game, Graphics* g);
void updateShopExplanation(cGame& game);
void paintShopExplanation(cGame& game, Graphics* g);
void showShopItem(cGame& game);
void showShopError(cGame& game);
void resetShopPanel(cGame& game);
void slideShopPanel(cGame& game);
void moveShopPanel(cGame& game, int32_t dy);
void paintOwnedBanner(cGame& game);
void showExplanationPage(cGame& game, bool first);
void paintTouchPrompt(cGame& game, Graphics* g);
