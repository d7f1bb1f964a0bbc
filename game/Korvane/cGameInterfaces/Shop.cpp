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
// The question's actions.
constexpr int32_t kActionBuy = 5, kActionEquip = 7;

int32_t clampItem(int32_t item) { return std::clamp(item, 0, kItemCount - 1); }

}  // namespace

// --- the shop (270)

void cGame::updateShop() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    selectInterface(k_interfaceShop);
    selectShopItem(shop.currentItem);
    shop.oldCurrentItem = clampItem(shop.oldCurrentItem);
    shop.errorShown = 0;
    showShopError();
    resetShopPanel();
    showShopItem();
    FrontEndScreen s;
    s.interfaceId = k_interfaceShop;
    setUpScreen(s);
    return;
  }
  updateScreen(false);
  const int32_t item = shop.currentItem;
  const int32_t category = shop.selectedCategory;
  const bool arrows = !shop.errorShown && shop.panelAtRest;
  int32_t next = -1;
  if (m_keys.isPressed(k_keySelect)) {
    if (shop.errorShown) {
      shop.errorShown = 0;
      showShopError();
    } else if ((m_career.boughtMask >> item & 1u) == 0) {
      if (static_cast<int64_t>(static_cast<int32_t>(m_career.money)) < getShopItemPrice(item)) {
        shop.errorShown = 1;
        playSound(k_soundError, 0, 100, 100);
        showShopError();
      } else if (!shop.panelOpen) {
        shop.panelOpen = 1;
        shop.panelAtRest = 0;
      } else {
        openQuestion(k_textShopTitle, k_textBuyQuestion, k_stateShop, kActionBuy, k_interfaceShop);
      }
    } else if (m_equippedLevel[clampItem(item) / 5] != clampItem(item) % 5 + 1) {
      openQuestion(k_textShopTitle, k_textEquipQuestion, k_stateShop, kActionEquip, k_interfaceShop);
    }  // the item in use already: nothing to ask
    m_keys.lock(5);
  } else if (arrows && m_keys.isPressed(k_keyRight)) {
    next = category == 0 ? 5 : category == 1 ? item + 1 : item % 5;
    m_keys.lock(2);
  } else if (arrows && m_keys.isPressed(k_keyLeft)) {
    next = category == 0 ? item % 5 + 10 : category == 1 ? item - 1 : 9;
    m_keys.lock(5);
  } else if (arrows && m_keys.isPressed(k_keyUp)) {
    next = item == 0 ? kItemCount - 1 : item - 1;
    m_keys.lock(2);
  } else if (arrows && m_keys.isPressed(k_keyDown)) {
    next = item == kItemCount - 1 ? 0 : item + 1;
    m_keys.lock(2);
  } else if (!shop.errorShown && m_keys.isPressed(k_keyRightSoft | k_keyBack)) {
    if (!shop.panelOpen) {
      setState(k_statePub);
    } else {
      shop.panelOpen = 0;
      shop.panelFullyOpen = 0;
    }
    m_keys.lock(2);
  } else if (shop.errorShown && m_keys.isPressed(k_keyBack)) {
    shop.errorShown = 0;
    showShopError();
    m_keys.lock(2);
  }
  if (next >= 0) {
    shop.oldCurrentItem = item;
    selectShopItem(next);
    showShopItem();
  }
}

void cGame::paintShop(Graphics* g) {
  if (m_subState == k_subStateDestroy) return;
  selectInterface(k_interfaceShop);
  slideShopPanel();
  for (int32_t i = 0; i < 4; ++i) setElementVisible(k_shopHidden0 + i, false);
  for (int32_t i = 0; i < 2; ++i) setElementVisible(k_shopOpenExtra0 + i, shop.panelFullyOpen != 0);
  setInterfaceElementFrame(k_interfaceShop, k_shopSelectButton,
                           m_leftSoftHighlight ? k_shopFrameSelectPressed : k_shopFrameSelect);
  setInterfaceElementFrame(k_interfaceShop, k_shopBack, m_rightSoftHighlight ? k_uiFrameBackPressed : k_uiFrameBack);
  paintScreen(g, -1, -1);

  const int32_t item = clampItem(shop.currentItem);
  const int32_t category = item / 5;
  drawElementText(k_shopTitle, k_textShopTitle);
  if (shop.errorShown) drawElementText(k_shopErrorText, k_textNotEnoughMoney);
  drawElementText(k_shopCategoryText, k_textShopCategory0 + category);
  if ((m_career.boughtMask >> item & 1u) == 0) {
    textBufferSetString(k_textShopPriceLine);
    replaceTextTagWithText(k_textMoney);
    setTextParam(0, getShopItemPrice(item));
    drawElementStringLen(k_shopPriceText, m_text.work, m_text.workLength, -1);
    textBufferSetString(k_textShopMoneyLine);
    replaceTextTagWithText(k_textMoney);
    setTextParam(0, static_cast<int32_t>(m_career.money));
    drawElementStringLen(k_shopMoneyText, m_text.work, m_text.workLength, -1);
  } else {
    paintOwnedBanner();
  }
  setElementPalette(k_shopItemName, 0);
  drawElementText(k_shopItemName, getShopItemNameText(item));
  paintRatingBar(k_interfaceShop, k_shopRatingBar, category);
  if (shop.panelFullyOpen) {
    for (int32_t k = 0; k < 2; ++k) {
      paintRatingBar(k_interfaceShop, k_shopRatingBar + 1 + k, shop.otherCategory[k]);
      drawElementText(k_shopOtherCategoryText + k, k_textShopCategory0 + shop.otherCategory[k]);
    }
  }
  drawElementText(k_shopSetText, isMatchedSet() ? k_textMatchedSet : k_textNoMatchedSet);
  if (shop.panelAtRest && !shop.errorShown)
    for (int32_t i = 0; i < kArrowCount; ++i) paintSpriteElementAltPalette(k_shopArrow0 + i, 0, 0, false, nullptr, true);
  if (!shop.errorShown) paintSpriteElementAltPalette(k_shopSelectButton, 0, 0, false, nullptr, true);
}

// A quarter of the remaining distance a frame; the last 1-3 pixels at once.
void cGame::slideShopPanel() {
  const int32_t d = getElementY(k_shopPanelTop) - getElementY(k_shopPanelStop);
  if (shop.panelOpen && d != 0) {
    int32_t step = d >> 2;
    if (d >= 1 && step == 0) {
      shop.panelFullyOpen = 1;
      step = d;
    }
    moveShopPanel(-step);
  } else if (!shop.panelOpen && d < kPanelClosed) {
    int32_t step = (kPanelClosed - d) >> 2;
    if (step == 0) {
      shop.panelAtRest = 1;
      step = kPanelClosed - d;
    }
    moveShopPanel(step);
  }
}

void cGame::moveShopPanel(int32_t dy) {
  for (int32_t i : kSlidingElements) setElementY(-1, i, getElementY(i) + dy);
}

void cGame::resetShopPanel() {
  shop.panelOpen = 0;
  shop.panelAtRest = 1;
  shop.panelFullyOpen = 0;
  const int32_t d = getInterfaceElementY(k_interfaceShop, k_shopPanelTop) -
                    getInterfaceElementY(k_interfaceShop, k_shopPanelStop);
  if (d < kPanelClosed)
    for (int32_t i : kSlidingElements)
      setElementY(k_interfaceShop, i, getInterfaceElementY(k_interfaceShop, i) + kPanelClosed - d);
}

void cGame::showShopItem() {
  const int32_t item = clampItem(shop.currentItem);
  setInterfaceElementFrame(k_interfaceShop, k_shopItemPicture, item);
  setInterfaceElementVisible(k_interfaceShop, k_shopItemPicture, true);
  setInterfaceElementVisible(k_interfaceShop, k_shopItemMark0 + clampItem(shop.oldCurrentItem), false);
  setInterfaceElementVisible(k_interfaceShop, k_shopItemMark0 + item, true);
  setInterfaceElementVisible(k_interfaceShop, k_shopBoughtMark, (m_career.boughtMask >> item & 1u) != 0);
}

void cGame::showShopError() {
  for (int32_t i = 0; i < 7; ++i) setElementVisible(k_shopErrorBox0 + i, shop.errorShown != 0);
}

// The banner behind "owned": both ends and the middle tiled under the text.
void cGame::paintOwnedBanner() {
  const int32_t e = k_shopOwnedBanner;
  const int32_t font = getElementFont(e);
  ASprite* fontBank = font >= 0 && font < TextLayoutData::kMaxFonts ? m_fonts[font] : nullptr;
  ASprite* bank = m_sprites[k_slotShopBanner];
  Graphics* g = currentTarget();
  if (fontBank && bank && g && bank->frameCount > k_bannerFrameMiddle) {
    const int32_t w = getStringWidth(fontBank, k_textOwned);
    const int32_t left = getElementX(e) + getElementWidth(e) / 2 - w / 2;
    const int32_t top = getElementY(e) - 2;
    bank->paintFrame(g, k_bannerFrameLeft, left - bank->getFrameWidth(k_bannerFrameLeft) - 1, top, 0);
    g->setClip(left - 1, top, w, bank->getFrameHeight(k_bannerFrameMiddle));
    for (int32_t k = 0; k <= w; k += k_bannerTileStep) bank->paintFrame(g, k_bannerFrameMiddle, left - 1 + k, top, 0);
    g->setClip(0, 0, 240, 320);
    bank->paintFrame(g, k_bannerFrameRight, left + w - 1, top, 0);
  }
  drawElementText(e, k_textOwned);
}

// --- item bought (330)

void cGame::updateItemBought() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    setInterfaceElementFrame(k_interfaceItemBought, k_itemBoughtPicture, clampItem(shop.currentItem));
    FrontEndScreen s;
    s.interfaceId = k_interfaceItemBought;
    setUpScreen(s);
    m_touchPrompt = 1;
  }
  if (m_keys.isPressed(k_keySelect | k_keyBack)) {
    setState(k_statePub);
    m_touchPrompt = 0;
  }
}

void cGame::paintItemBought(Graphics* g) {
  if (m_subState == k_subStateDestroy) return;
  selectInterface(k_interfaceItemBought);
  paintScreen(g, -1, -1);
  drawElementText(k_itemBoughtText, k_textItemBought);
  paintTouchPrompt(g);
}

void cGame::paintTouchPrompt(Graphics* g) {
  if (!g || !m_touchPrompt || !isBlinkOn()) return;
  resetClip(g);
  drawCString(g, m_fonts, "TOUCH SCREEN", kPromptFont, kPromptX, kPromptY, kPromptAnchor);
}

// --- shop explanation (430)

void cGame::updateShopExplanation() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    shop.explanationPage = 0;
    selectInterface(k_interfaceShopExplanation);
    showExplanationPage(true);
    FrontEndScreen s;
    s.interfaceId = k_interfaceShopExplanation;
    setUpScreen(s);
    m_touchPrompt = 1;
  }
  const bool select = m_keys.isPressed(k_keySelect);
  if (select || m_keys.isPressed(k_keyDown)) {
    if (shop.explanationPage == 0) {
      shop.explanationPage = 1;
      m_keys.lock(5);
    } else if (select) {
      setState(k_stateShop);
      m_touchPrompt = 0;
    }
    m_keys.lock(5);
  } else if (m_keys.isPressed(k_keyRightSoft | k_keyBack)) {
    setState(k_statePub);
    m_touchPrompt = 0;
  }
  // Seen to its second page: the explanation is not shown again.
  if (shop.explanationPage == 1 && m_career.shopExplanationPending) {
    m_career.shopExplanationPending = 0;
    saveProgress();
  }
}

void cGame::paintShopExplanation(Graphics* g) {
  if (m_subState == k_subStateDestroy) return;
  selectInterface(k_interfaceShopExplanation);
  const bool first = shop.explanationPage < 1;
  showExplanationPage(first);
  setInterfaceElementFrame(k_interfaceShopExplanation, k_explanationBack,
                           m_rightSoftHighlight ? k_uiFrameBackPressed : k_uiFrameBack);
  paintScreen(g, -1, -1);
  if (first) {
    drawElementText(k_explanationText1, k_textShopExplanation1);
  } else {
    drawElementText(k_explanationText2, k_textShopExplanation2);
    drawElementText(k_explanationSetText, k_textMatchedSet);
  }
  paintTouchPrompt(g);
}

void cGame::showExplanationPage(bool first) {
  for (int32_t i = 0; i < 2; ++i) setInterfaceElementVisible(k_interfaceShopExplanation, k_explanationFirst0 + i, first);
  for (int32_t i = 0; i < 6; ++i)
    setInterfaceElementVisible(k_interfaceShopExplanation, k_explanationSecond0 + i, !first);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapShop(cGame& g) {
  rightSoftHighlight(g);
  leftSoftHighlight(g, {99, 132, 40, 40});
  // The item is the shop's select key: it opens the detail panel, and then
  // asks to buy (or, owned, to equip) as the panel's "buy" tag does.
  if (up(g, {99, 137, 40, 40})) {
    press(g, k_touchKeyLeftSoft);
    g.m_leftSoftHighlight = 0;
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

const cGameScreen k_screenShop = {k_stateShop, [](cGame& g) { g.updateShop(); },
                                  [](cGame& g, Graphics* t) { g.paintShop(t); }, mapShop};
const cGameScreen k_screenItemBought = {k_stateItemBought, [](cGame& g) { g.updateItemBought(); },
                                        [](cGame& g, Graphics* t) { g.paintItemBought(t); }, mapItemBought};
const cGameScreen k_screenShopExplanation = {k_stateShopExplanation, [](cGame& g) { g.updateShopExplanation(); },
                                             [](cGame& g, Graphics* t) { g.paintShopExplanation(t); },
                                             mapShopExplanation};
