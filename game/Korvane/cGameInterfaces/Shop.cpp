// The career shop: the shop itself (270) with its sliding detail panel, the
// item-bought screen (330) and the two-page explanation shown before the
// first visit (430). Buying and equipping go through the yes/no question;
// the operations behind them are in ShopItems.cpp.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"

namespace {

constexpr int32_t kItemCount = 15;
// Elements of interface 40 that move with the detail panel.
constexpr int32_t kSlidingElements[] = {22, 23, 24, 25, 27, 28, 29, 30, 31, 32, 33, 34, 35, 37, 38,
                                        39, 40, 41, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60};
// Panel top over its stop: closed 41 pixels, open 0.
constexpr int32_t kPanelClosed = 41;
constexpr int32_t kArrowCount = 4;
constexpr int32_t kPromptFont = 1;
constexpr int32_t kPromptX = 50, kPromptY = 230, kPromptAnchor = 16;
int32_t clampItem(int32_t item) { return std::clamp(item, 0, kItemCount - 1); }

void buy(cGame& game) {
  buyShopItem(game);
  leaveQuestion(game, k_stateItemBought);
}

void equip(cGame& game) {
  equipShopItem(game);
  leaveQuestion(game);
}

// The buy question shows the item's ratings on its panel.
void showBuyDetails(cGame& game) {
  for (int32_t k = 0; k < 3; ++k) setElementVisible(game, k_questionItemMarks + k, true);
  showQuestionNoteBox(game);
}

void paintBuyQuestion(cGame& game) {
  for (int32_t c = 0; c < 3; ++c) {
    paintRatingBar(game, k_interfaceQuestion, k_questionRatingBars + c, c);
    drawElementText(game, k_questionCategories + c, k_textShopCategory0 + c);
  }
  drawElementText(game, k_questionTitle, game.question.title);
  textBufferSetString(game, k_textBuyBody);
  replaceTextTagWithText(game, getShopItemNameText(game, game.shop.currentItem));
  replaceTextTagWithText(game, k_textMoney);
  setTextParam(game, 0, getShopItemPrice(game, game.shop.currentItem));
  drawElementStringLen(game, k_questionBody, game.text.strings.work, game.text.strings.workLength, -1);
}

constexpr int32_t kActionBuy = 5, kActionEquip = 7;

}  // namespace

const Question k_questionBuyItem = {.title = k_textShopTitle,
                                    .body = k_textBuyQuestion,
                                    .returnState = k_stateShop,
                                    .action = kActionBuy,
                                    .panel = k_interfaceShop,
                                    .yes = buy,
                                    .setUp = showBuyDetails,
                                    .paint = paintBuyQuestion};
const Question k_questionEquipItem = {.title = k_textShopTitle,
                                      .body = k_textEquipQuestion,
                                      .returnState = k_stateShop,
                                      .action = kActionEquip,
                                      .panel = k_interfaceShop,
                                      .yes = equip};

// --- the shop (270)

void updateShop(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    selectInterface(game, k_interfaceShop);
    selectShopItem(game, game.shop.currentItem);
    game.shop.oldCurrentItem = clampItem(game.shop.oldCurrentItem);
    game.shop.errorShown = 0;
    showShopError(game);
    resetShopPanel(game);
    showShopItem(game);
    FrontEndScreen s;
    s.interfaceId = k_interfaceShop;
    setUpScreen(game, s);
    return;
  }
  updateScreen(game, false);
  const int32_t item = game.shop.currentItem;
  const int32_t category = game.shop.selectedCategory;
  const bool arrows = !game.shop.errorShown && game.shop.panelAtRest;
  int32_t next = -1;
  if (game.keys.isPressed(k_keySelect)) {
    if (game.shop.errorShown) {
      game.shop.errorShown = 0;
      showShopError(game);
    } else if (!isItemBought(game, item)) {
      if (getCareerMoney(game) < getShopItemPrice(game, item)) {
        game.shop.errorShown = 1;
        playSound(game, k_soundError, 0, 100, 100);
        showShopError(game);
      } else if (!game.shop.panelOpen) {
        game.shop.panelOpen = 1;
        game.shop.panelAtRest = 0;
      } else {
        openQuestion(game, k_questionBuyItem);
      }
    } else if (!isItemEquipped(game, clampItem(item))) {
      openQuestion(game, k_questionEquipItem);
    }  // the item in use already: nothing to ask
    game.keys.lock(5);
  } else if (arrows && game.keys.isPressed(k_keyRight)) {
    next = category == 0 ? 5 : category == 1 ? item + 1 : item % 5;
    game.keys.lock(2);
  } else if (arrows && game.keys.isPressed(k_keyLeft)) {
    next = category == 0 ? item % 5 + 10 : category == 1 ? item - 1 : 9;
    game.keys.lock(5);
  } else if (arrows && game.keys.isPressed(k_keyUp)) {
    next = item == 0 ? kItemCount - 1 : item - 1;
    game.keys.lock(2);
  } else if (arrows && game.keys.isPressed(k_keyDown)) {
    next = item == kItemCount - 1 ? 0 : item + 1;
    game.keys.lock(2);
  } else if (!game.shop.errorShown && game.keys.isPressed(k_keyRightSoft | k_keyBack)) {
    if (!game.shop.panelOpen) {
      game.setState(k_statePub);
    } else {
      game.shop.panelOpen = 0;
      game.shop.panelFullyOpen = 0;
    }
    game.keys.lock(2);
  } else if (game.shop.errorShown && game.keys.isPressed(k_keyRightSoft | k_keyBack)) {
    game.shop.errorShown = 0;
    showShopError(game);
    game.keys.lock(2);
  }
  if (next >= 0) {
    game.shop.oldCurrentItem = item;
    selectShopItem(game, next);
    showShopItem(game);
  }
}

void paintShop(cGame& game, Graphics* g) {
  if (game.states.subState == k_subStateDestroy) return;
  selectInterface(game, k_interfaceShop);
  slideShopPanel(game);
  for (int32_t i = 0; i < 4; ++i) setElementVisible(game, k_shopHidden0 + i, false);
  for (int32_t i = 0; i < 2; ++i) setElementVisible(game, k_shopOpenExtra0 + i, game.shop.panelFullyOpen != 0);
  setInterfaceElementFrame(game, k_interfaceShop, k_shopSelectButton,
                           game.stylus.leftSoftHighlight ? k_shopFrameSelectPressed : k_shopFrameSelect);
  setInterfaceElementFrame(game, k_interfaceShop, k_shopBack,
                           game.stylus.rightSoftHighlight ? k_uiFrameBackPressed : k_uiFrameBack);
  paintScreen(game, g, -1, -1);

  const int32_t item = clampItem(game.shop.currentItem);
  const int32_t category = item / 5;
  drawElementText(game, k_shopTitle, k_textShopTitle);
  if (game.shop.errorShown) drawElementText(game, k_shopErrorText, k_textNotEnoughMoney);
  drawElementText(game, k_shopCategoryText, k_textShopCategory0 + category);
  if (!isItemBought(game, item)) {
    textBufferSetString(game, k_textShopPriceLine);
    replaceTextTagWithText(game, k_textMoney);
    setTextParam(game, 0, getShopItemPrice(game, item));
    drawElementStringLen(game, k_shopPriceText, game.text.strings.work, game.text.strings.workLength, -1);
    textBufferSetString(game, k_textShopMoneyLine);
    replaceTextTagWithText(game, k_textMoney);
    setTextParam(game, 0, getCareerMoney(game));
    drawElementStringLen(game, k_shopMoneyText, game.text.strings.work, game.text.strings.workLength, -1);
  } else {
    paintOwnedBanner(game);
  }
  setElementPalette(game, k_shopItemName, 0);
  drawElementText(game, k_shopItemName, getShopItemNameText(game, item));
  paintRatingBar(game, k_interfaceShop, k_shopRatingBar, category);
  if (game.shop.panelFullyOpen) {
    for (int32_t k = 0; k < 2; ++k) {
      paintRatingBar(game, k_interfaceShop, k_shopRatingBar + 1 + k, game.shop.otherCategory[k]);
      drawElementText(game, k_shopOtherCategoryText + k, k_textShopCategory0 + game.shop.otherCategory[k]);
    }
  }
  drawElementText(game, k_shopSetText, isMatchedSet(game) ? k_textMatchedSet : k_textNoMatchedSet);
  if (game.shop.panelAtRest && !game.shop.errorShown)
    for (int32_t i = 0; i < kArrowCount; ++i)
      paintSpriteElementAltPalette(game, k_shopArrow0 + i, 0, 0, false, nullptr, true);
  if (!game.shop.errorShown) paintSpriteElementAltPalette(game, k_shopSelectButton, 0, 0, false, nullptr, true);
}

// A quarter of the remaining distance a frame; the last 1-3 pixels at once.
void slideShopPanel(cGame& game) {
  const int32_t d = getElementY(game, k_shopPanelTop) - getElementY(game, k_shopPanelStop);
  if (game.shop.panelOpen && d != 0) {
    int32_t step = d >> 2;
    if (d >= 1 && step == 0) {
      game.shop.panelFullyOpen = 1;
      step = d;
    }
    moveShopPanel(game, -step);
  } else if (!game.shop.panelOpen && d < kPanelClosed) {
    int32_t step = (kPanelClosed - d) >> 2;
    if (step == 0) {
      game.shop.panelAtRest = 1;
      step = kPanelClosed - d;
    }
    moveShopPanel(game, step);
  }
}

void moveShopPanel(cGame& game, int32_t dy) {
  for (int32_t i : kSlidingElements) setElementY(game, -1, i, getElementY(game, i) + dy);
}

void resetShopPanel(cGame& game) {
  game.shop.panelOpen = 0;
  game.shop.panelAtRest = 1;
  game.shop.panelFullyOpen = 0;
  const int32_t d = getInterfaceElementY(game, k_interfaceShop, k_shopPanelTop) -
                    getInterfaceElementY(game, k_interfaceShop, k_shopPanelStop);
  if (d < kPanelClosed)
    for (int32_t i : kSlidingElements)
      setElementY(game, k_interfaceShop, i, getInterfaceElementY(game, k_interfaceShop, i) + kPanelClosed - d);
}

void showShopItem(cGame& game) {
  const int32_t item = clampItem(game.shop.currentItem);
  setInterfaceElementFrame(game, k_interfaceShop, k_shopItemPicture, item);
  setInterfaceElementVisible(game, k_interfaceShop, k_shopItemPicture, true);
  setInterfaceElementVisible(game, k_interfaceShop, k_shopItemMark0 + clampItem(game.shop.oldCurrentItem), false);
  setInterfaceElementVisible(game, k_interfaceShop, k_shopItemMark0 + item, true);
  setInterfaceElementVisible(game, k_interfaceShop, k_shopBoughtMark,
                             isItemBought(game, item));
}

void showShopError(cGame& game) {
  for (int32_t i = 0; i < 7; ++i) setElementVisible(game, k_shopErrorBox0 + i, game.shop.errorShown != 0);
}

// The banner behind "owned" (or "equipped" for the item in use): both ends
// and the middle tiled under the text.
void paintOwnedBanner(cGame& game) {
  const int32_t e = k_shopOwnedBanner;
  const int32_t item = clampItem(game.shop.currentItem);
  const int32_t word = isItemEquipped(game, item) ? k_textEquipped : k_textOwned;
  const int32_t font = getElementFont(game, e);
  ASprite* fontBank = font >= 0 && font < TextLayoutData::kMaxFonts ? game.text.fonts[font] : nullptr;
  ASprite* bank = game.loading.sprites[k_slotShopBanner];
  Graphics* g = currentTarget(game);
  if (fontBank && bank && g && bank->frameCount > k_bannerFrameMiddle) {
    const int32_t w = getStringWidth(game, fontBank, word);
    const int32_t left = getElementX(game, e) + getElementWidth(game, e) / 2 - w / 2;
    const int32_t top = getElementY(game, e) - 2;
    bank->paintFrame(g, k_bannerFrameLeft, left - bank->getFrameWidth(k_bannerFrameLeft) - 1, top, 0);
    g->setClip(left - 1, top, w, bank->getFrameHeight(k_bannerFrameMiddle));
    for (int32_t k = 0; k <= w; k += k_bannerTileStep) bank->paintFrame(g, k_bannerFrameMiddle, left - 1 + k, top, 0);
    g->setClip(0, 0, 240, 320);
    bank->paintFrame(g, k_bannerFrameRight, left + w - 1, top, 0);
  }
  drawElementText(game, e, word);
}

// --- item bought (330)

void updateItemBought(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    setInterfaceElementFrame(game, k_interfaceItemBought, k_itemBoughtPicture, clampItem(game.shop.currentItem));
    FrontEndScreen s;
    s.interfaceId = k_interfaceItemBought;
    setUpScreen(game, s);
    game.frontEnd.touchPrompt = 1;
  }
  if (game.keys.isPressed(k_keySelect | k_keyBack)) {
    game.setState(k_statePub);
    game.frontEnd.touchPrompt = 0;
  }
}

void paintItemBought(cGame& game, Graphics* g) {
  if (game.states.subState == k_subStateDestroy) return;
  selectInterface(game, k_interfaceItemBought);
  paintScreen(game, g, -1, -1);
  drawElementText(game, k_itemBoughtText, k_textItemBought);
  paintTouchPrompt(game, g);
}

void paintTouchPrompt(cGame& game, Graphics* g) {
  if (!g || !game.frontEnd.touchPrompt || !isBlinkOn(game)) return;
  game.resetClip(g);
  drawString(game, g, game.text.fonts, k_textTouchPrompt, kPromptFont, kPromptX, kPromptY, kPromptAnchor);
}

// --- shop explanation (430)

void updateShopExplanation(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    game.shop.explanationPage = 0;
    selectInterface(game, k_interfaceShopExplanation);
    showExplanationPage(game, true);
    FrontEndScreen s;
    s.interfaceId = k_interfaceShopExplanation;
    setUpScreen(game, s);
    game.frontEnd.touchPrompt = 1;
  }
  const bool select = game.keys.isPressed(k_keySelect);
  if (select || game.keys.isPressed(k_keyDown)) {
    if (game.shop.explanationPage == 0) {
      game.shop.explanationPage = 1;
      game.keys.lock(5);
    } else if (select) {
      game.setState(k_stateShop);
      game.frontEnd.touchPrompt = 0;
    }
    game.keys.lock(5);
  } else if (game.keys.isPressed(k_keyRightSoft | k_keyBack)) {
    game.setState(k_statePub);
    game.frontEnd.touchPrompt = 0;
  }
  // Seen to its second page: the explanation is not shown again.
  if (game.shop.explanationPage == 1 && game.career.progress.shopExplanationPending) {
    game.career.progress.shopExplanationPending = 0;
    saveProgress(game);
  }
}

void paintShopExplanation(cGame& game, Graphics* g) {
  if (game.states.subState == k_subStateDestroy) return;
  selectInterface(game, k_interfaceShopExplanation);
  const bool first = game.shop.explanationPage < 1;
  showExplanationPage(game, first);
  setInterfaceElementFrame(game, k_interfaceShopExplanation, k_explanationBack,
                           game.stylus.rightSoftHighlight ? k_uiFrameBackPressed : k_uiFrameBack);
  paintScreen(game, g, -1, -1);
  if (first) {
    drawElementText(game, k_explanationText1, k_textShopExplanation1);
  } else {
    drawElementText(game, k_explanationText2, k_textShopExplanation2);
    drawElementText(game, k_explanationSetText, k_textMatchedSet);
  }
  paintTouchPrompt(game, g);
}

void showExplanationPage(cGame& game, bool first) {
  for (int32_t i = 0; i < 2; ++i)
    setInterfaceElementVisible(game, k_interfaceShopExplanation, k_explanationFirst0 + i, first);
  for (int32_t i = 0; i < 6; ++i)
    setInterfaceElementVisible(game, k_interfaceShopExplanation, k_explanationSecond0 + i, !first);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapShop(cGame& g) {
  rightSoftHighlight(g);
  // "Not enough money!" goes with a touch anywhere, as it says; the back
  // button closes it too.
  if (g.shop.errorShown) {
    if (up(g, kWholeScreen)) press(g, k_touchKeyLeftSoft);
    return;
  }
  leftSoftHighlight(g, {99, 132, 40, 40});
  // The item is the shop's select key: it opens the detail panel, and then
  // asks to buy (or, owned, to equip) as the panel's "buy" tag does.
  if (up(g, {99, 137, 40, 40})) {
    press(g, k_touchKeyLeftSoft);
    g.stylus.leftSoftHighlight = 0;
  }
  if (g.shop.panelFullyOpen && up(g, {150, 350, 44, 22})) press(g, k_touchKeyLeftSoft);
  if (up(g, {42, 135, 40, 40})) press(g, k_touchKeyLeft);
  if (up(g, {160, 135, 40, 40})) press(g, k_touchKeyRight);
  if (up(g, {97, 80, 40, 40})) press(g, k_touchKeyUp);
  if (up(g, {97, 185, 40, 40})) press(g, k_touchKeyDown);
  // The back button goes back: with the detail panel open it slides the
  // panel away, else it leaves the shop.
  rightSoft(g);
}

// The item bought: a tap goes on.
void mapItemBought(cGame& g) {
  if (up(g, kWholeScreen)) press(g, k_touchKeyLeftSoft);
}

// The explanation: a tap turns the page, the back key goes back.
void mapShopExplanation(cGame& g) { mapWholeScreenBesideBack(g, k_touchKeyLeftSoft); }

}  // namespace

const cGameScreen k_screenShop = {k_stateShop, updateShop, paintShop, mapShop};
const cGameScreen k_screenItemBought = {k_stateItemBought, updateItemBought, paintItemBought, mapItemBought};
const cGameScreen k_screenShopExplanation = {k_stateShopExplanation, updateShopExplanation, paintShopExplanation,
                                             mapShopExplanation};
