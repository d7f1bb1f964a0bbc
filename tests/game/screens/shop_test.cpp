// The shop, the item-bought screen and the shop explanation on their own
// interfaces: moves, the sliding panel, buying and equipping through the
// question, the money message, the explanation's pages and saved flag.
#include <string>

#include "tests/game/screens/FrontEndFixture.h"

namespace {

class Shop : public FrontEndTest {
 protected:
  void SetUp() override {
    FrontEndTest::SetUp();
    std::vector<Interface> all(43);
    ASSERT_NO_FATAL_FAILURE(compileInterfaces(all, {"003-question", "040-shop", "041-item-bought", "042-shop-explanation"}));
    load(all, 0);
    resetProgress(*game);  // money 1000, nothing bought, the explanation pending
  }
  void openShop(int item) {
    game->shop.currentItem = item;
    start(k_stateShop);
  }
  bool shown(int interface, int element) {
    return getInterfaceElement(*game, interface, element)[F::kWordParams + F::kSpriteVisible] != 0;
  }
  // Panel top over its stop after one paint.
  int slideStep() {
    paintShop(*game, screen->g());
    return getInterfaceElementY(*game, k_interfaceShop, k_shopPanelTop) -
           getInterfaceElementY(*game, k_interfaceShop, k_shopPanelStop);
  }
};

TEST_F(Shop, MovesFollowTheCategories) {
  struct Case {
    int from, key, to;
  } cases[] = {
      {0, kUp, 14},   {14, kDown, 0},  {9, kRight, 10}, {5, kLeft, 4},  {12, kRight, 2}, {3, kLeft, 13},
      {3, kRight, 5}, {12, kLeft, 9},  {6, kRight, 7},  {7, kLeft, 6},  {7, kUp, 6},     {7, kDown, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " key " + std::to_string(c.key));
    // A stale earlier selection out of range is brought back into it.
    game->shop.oldCurrentItem = 99;
    openShop(c.from);
    EXPECT_TRUE(shown(k_interfaceShop, k_shopItemMark0 + c.from));
    frame({c.key});
    EXPECT_EQ(game->shop.currentItem, c.to);
    EXPECT_EQ(game->shop.oldCurrentItem, c.from);
    EXPECT_EQ(game->shop.selectedCategory, c.to / 5);
    EXPECT_EQ(game->shop.otherCategory[0], (c.to / 5 + 1) % 3);
    EXPECT_EQ(game->shop.otherCategory[1], (c.to / 5 + 2) % 3);
    EXPECT_FALSE(shown(k_interfaceShop, k_shopItemMark0 + c.from));
    EXPECT_TRUE(shown(k_interfaceShop, k_shopItemMark0 + c.to));
    EXPECT_EQ(getInterfaceElement(*game, k_interfaceShop, k_shopItemPicture)[F::kWordParams + F::kSpriteFrame], c.to);
  }
  game->shop.currentItem = 40;
  start(k_stateShop);
  EXPECT_EQ(game->shop.currentItem, 14);
}

TEST_F(Shop, SelectOpensThePanelThenBuysWithMoneyEqualToThePrice) {
  openShop(5);  // price 1000, money 1000
  frame({kSelect});
  EXPECT_EQ(game->states.gameState, k_stateShop);
  EXPECT_EQ(game->shop.panelOpen, 1);
  EXPECT_EQ(game->shop.errorShown, 0);
  // While it slides the arrows do nothing; it rises a quarter of the way
  // a frame and snaps the last pixels, fully open only then.
  frame({kRight});
  EXPECT_EQ(game->shop.currentItem, 5);
  const int opening[] = {31, 24, 18, 14, 11, 9, 7, 6, 5, 4, 3, 0};
  for (int d : opening) {
    EXPECT_EQ(game->shop.panelFullyOpen, 0);
    EXPECT_EQ(slideStep(), d);
  }
  EXPECT_EQ(game->shop.panelFullyOpen, 1);
  EXPECT_EQ(slideStep(), 0);
  EXPECT_TRUE(shown(k_interfaceShop, k_shopOpenExtra0));
  // Back closes it the same way, at rest only when closed.
  frame({kRightSoft});
  EXPECT_EQ(game->states.gameState, k_stateShop);
  const int closing[] = {10, 17, 23, 27, 30, 32, 34, 35, 36, 37, 38, 41};
  for (int d : closing) {
    EXPECT_EQ(game->shop.panelAtRest, 0);
    EXPECT_EQ(slideStep(), d);
  }
  EXPECT_EQ(game->shop.panelAtRest, 1);
  EXPECT_EQ(slideStep(), 41);
  // Open again: the second select asks, and yes buys.
  frame({kSelect});
  frame({kSelect});
  ASSERT_EQ(game->states.gameState, k_stateQuestion);
  EXPECT_EQ(game->question.action, 5);
  EXPECT_EQ(game->question.body, k_textBuyQuestion);
  EXPECT_EQ(game->question.returnState, k_stateShop);
  EXPECT_EQ(game->question.panel, k_interfaceShop);
  choose(k_textYes);
  EXPECT_EQ(game->states.gameState, k_stateItemBought);
  EXPECT_EQ(game->career.progress.money, 0u);
  EXPECT_EQ(game->career.progress.boughtMask, 1u << 5);
  EXPECT_EQ(savedByte(151), 0x20);
  // The item-bought screen shows it and leaves for the pub.
  game->updateCurrentState();
  EXPECT_EQ(getInterfaceElement(*game, k_interfaceItemBought, k_itemBoughtPicture)[F::kWordParams + F::kSpriteFrame],
            5);
  EXPECT_EQ(game->frontEnd.touchPrompt, 1);
  frame({kSelect});
  EXPECT_EQ(game->states.gameState, k_statePub);
  EXPECT_EQ(game->frontEnd.touchPrompt, 0);
  // Back in the shop the panel is closed again and the item owned.
  openShop(5);
  EXPECT_EQ(game->shop.panelOpen, 0);
  EXPECT_EQ(slideStep(), 41);
  EXPECT_TRUE(shown(k_interfaceShop, k_shopBoughtMark));
}

TEST_F(Shop, NotEnoughMoneyHoldsTheMessageUntilSelectOrBack) {
  game->career.progress.money = 999;
  openShop(5);
  frame({kSelect});
  EXPECT_EQ(game->shop.errorShown, 1);
  EXPECT_EQ(game->shop.panelOpen, 0);
  for (int i = 0; i < 7; ++i) EXPECT_TRUE(shown(k_interfaceShop, k_shopErrorBox0 + i)) << i;
  // Arrows wait for the message; the back button (right soft key) and back
  // close it, and only that.
  for (int key : {kRight, kUp}) {
    frame({key});
    EXPECT_EQ(game->shop.currentItem, 5) << key;
    EXPECT_EQ(game->states.gameState, k_stateShop) << key;
  }
  for (int key : {kRightSoft, kBack}) {
    if (key == kBack) frame({kSelect});
    EXPECT_EQ(game->shop.errorShown, 1) << key;
    frame({key});
    EXPECT_EQ(game->shop.errorShown, 0) << key;
    EXPECT_EQ(game->states.gameState, k_stateShop) << key;
    EXPECT_FALSE(shown(k_interfaceShop, k_shopErrorBox0)) << key;
  }
  frame({kSelect});
  frame({kSelect});
  EXPECT_EQ(game->shop.errorShown, 0);
  EXPECT_EQ(game->states.gameState, k_stateShop);
  frame({kRightSoft});
  EXPECT_EQ(game->states.gameState, k_statePub);
}

// Money the record holds above the top is spent as the top, as shown.
TEST_F(Shop, MoneyAboveTheTopBuysFromTheTop) {
  game->career.progress.money = 0x80000000u;
  openShop(4);  // price 15000
  frame({kSelect});
  EXPECT_EQ(game->shop.errorShown, 0);
  EXPECT_EQ(game->shop.panelOpen, 1);
  frame({kSelect});
  ASSERT_EQ(game->states.gameState, k_stateQuestion);
  choose(k_textYes);
  EXPECT_EQ(game->states.gameState, k_stateItemBought);
  const uint32_t left = 0x7FFFFFFFu - 15000;
  for (int k = 0; k < 4; ++k) EXPECT_EQ(savedByte(144 + k), static_cast<uint8_t>(left >> (24 - 8 * k))) << k;
}

TEST_F(Shop, ABoughtItemIsEquippedAtOnceAndSaved) {
  game->career.progress.boughtMask = 1u << 13;
  game->career.progress.money = 0;
  openShop(13);
  EXPECT_TRUE(shown(k_interfaceShop, k_shopBoughtMark));
  frame({kSelect});
  ASSERT_EQ(game->states.gameState, k_stateQuestion);
  EXPECT_EQ(game->question.action, 7);
  EXPECT_EQ(game->question.body, k_textEquipQuestion);
  choose(k_textYes);
  EXPECT_EQ(game->states.gameState, k_stateShop);
  EXPECT_EQ(game->career.equippedLevel[2], 4);
  // Levels 0, 0, 4: bits 0, 6 and 16.
  EXPECT_EQ(savedByte(154), 0x01);
  EXPECT_EQ(savedByte(156), 0x41);
}

TEST_F(Shop, ExplanationPagesAndItsSavedFlag) {
  start(k_stateShopExplanation);
  paintShopExplanation(*game, screen->g());
  EXPECT_TRUE(shown(k_interfaceShopExplanation, k_explanationFirst0));
  EXPECT_FALSE(shown(k_interfaceShopExplanation, k_explanationSecond0));
  EXPECT_EQ(savedByte(152), 1);
  // Back from the first page keeps it pending.
  frame({kRightSoft});
  EXPECT_EQ(game->states.gameState, k_statePub);
  EXPECT_EQ(game->career.progress.shopExplanationPending, 1);
  start(k_stateShopExplanation);
  frame({kDown});
  EXPECT_EQ(game->shop.explanationPage, 1);
  EXPECT_EQ(game->career.progress.shopExplanationPending, 0);
  EXPECT_EQ(savedByte(152), 0);
  paintShopExplanation(*game, screen->g());
  EXPECT_FALSE(shown(k_interfaceShopExplanation, k_explanationFirst0 + 1));
  EXPECT_TRUE(shown(k_interfaceShopExplanation, k_explanationSecond0 + 5));
  frame({kDown});  // down does not leave the last page
  EXPECT_EQ(game->states.gameState, k_stateShopExplanation);
  frame({kSelect});
  EXPECT_EQ(game->states.gameState, k_stateShop);
  EXPECT_EQ(game->frontEnd.touchPrompt, 0);
}

// The interface's closed panel lies 41 pixels under its stop; every
// element of the error box, the marks and the buttons is a sprite.
TEST_F(Shop, PanelAndButtonsOfTheLayout) {
  EXPECT_EQ(getInterfaceElementY(*game, k_interfaceShop, k_shopPanelTop) -
                getInterfaceElementY(*game, k_interfaceShop, k_shopPanelStop),
            41);
  for (int e = k_shopSelectButton; e < k_shopSelectButton + 5; ++e) {
    const int16_t* el = getInterfaceElement(*game, k_interfaceShop, e);
    EXPECT_EQ(el[F::kWordType], F::kSprite) << e;
    EXPECT_EQ(el[F::kWordParams + F::kSpriteBank], k_slotShopItems) << e;
  }
}

}  // namespace
