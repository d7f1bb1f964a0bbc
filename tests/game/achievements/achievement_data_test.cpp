// The built data set holds every interface element, bank frame, animation
// and text the achievement code uses, of the kind the code treats it as.
#include <cstdlib>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "tests/game/interfaces/InterfaceFixture.h"

namespace {

class AchievementData : public InterfaceTest {
 protected:
  void SetUp() override {
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/interf.bar")) GTEST_SKIP() << "no data set";
    InterfaceTest::SetUp();
    dataDir = data;
    for (const char* name : {"interf.bar", "menu.bar", "text.bar"})
      std::filesystem::copy_file(dataDir + "/" + name, path(name));
    ASSERT_EQ(loadBar(*game, "interf.bar"), 1);
    loadInterfaces(*game);
    unloadBar(*game);
    ASSERT_EQ(loadBar(*game, "menu.bar"), 1);
    for (int slot : {1, 4, 5, 8, 9, 10}) {
      menu[slot] = std::make_unique<ASprite>();
      const int32_t offset = getBarEntryOffset(*game, slot), size = getBarEntrySize(*game, slot);
      ASSERT_GT(size, 0) << slot;
      ASSERT_TRUE(menu[slot]->load(game->files.bar.data, static_cast<uint32_t>(offset), static_cast<uint32_t>(size)));
    }
    unloadBar(*game);
  }
  const int16_t* element(int id, int i) { return getInterfaceElement(*game, id, i); }

  std::string dataDir;
  std::unique_ptr<ASprite> menu[13];
};

TEST_F(AchievementData, ElementsOfTheirKinds) {
  struct Need {
    int id, first, last, type;
  };
  const Need needs[] = {
      {47, 13, 18, F::kText},   {47, 22, 27, F::kSprite}, {47, 28, 28, F::kText},   {47, 30, 30, F::kSprite},
      {48, 10, 15, F::kText},   {48, 22, 27, F::kSprite}, {48, 28, 28, F::kText},   {48, 30, 30, F::kSprite},
      {49, 0, 4, F::kSprite},   {49, 5, 14, F::kText},    {50, 7, 8, F::kText},     {50, 10, 10, F::kText},
      {50, 13, 13, F::kSprite},
  };
  for (const Need& n : needs)
    for (int i = n.first; i <= n.last; ++i) {
      const int16_t* e = element(n.id, i);
      ASSERT_NE(e, nullptr) << n.id << " " << i;
      EXPECT_EQ(e[F::kWordType], n.type) << n.id << " " << i;
      EXPECT_GE(getElementParamCount(*game, n.id, i), F::paramsRead(n.type)) << n.id << " " << i;
    }
  // The banks each element is given.
  struct Bank {
    int id, element, bank;
  };
  const Bank given[] = {{47, 22, 4}, {47, 25, 5}, {47, 30, 1}, {48, 22, 4}, {48, 27, 8},
                        {48, 30, 1}, {49, 0, 10}, {50, 13, 8}};
  for (const Bank& b : given) EXPECT_EQ(element(b.id, b.element)[F::kWordParams + F::kSpriteBank], b.bank);
  // The notice plates start hidden and far enough left to slide home in ten frames.
  for (int s = 0; s < 5; ++s) {
    EXPECT_EQ(element(49, s)[F::kWordParams + F::kSpriteVisible], 0) << s;
    EXPECT_GE(getInterfaceElementX(*game, 49, s), 240 - 10 * 20) << s;
    EXPECT_EQ(getInterfaceElementX(*game, 49, 5 + 2 * s), getInterfaceElementX(*game, 49, s) + 33) << s;
  }
}

TEST_F(AchievementData, OverAMatchOnlyKeptBanks) {
  // Slots kept while a match loads; 8 and 9 move, and the badge is taken from where they went.
  const std::vector<int> kept = {0, 1, 2, 3, 6, 10, 12, 24, 28};
  for (int id : {49, 50})
    for (int i = 0; i < getInterfaceElementCount(*game, id); ++i) {
      const int16_t* e = element(id, i);
      if (e[F::kWordType] != F::kSprite || (id == 50 && i == k_elCompletionBadge)) continue;
      if (e[F::kWordParams + F::kSpriteVisible] == 0 && id == 50) continue;  // padding
      EXPECT_NE(std::find(kept.begin(), kept.end(), e[F::kWordParams + F::kSpriteBank]), kept.end())
          << id << " " << i;
    }
}

TEST_F(AchievementData, FramesAndAnimationsOfTheBanks) {
  EXPECT_GE(menu[5]->frameCount, 5);    // category cards 0-3, page button 4
  EXPECT_GE(menu[10]->frameCount, 3);   // badge, notice plate, completion panel
  EXPECT_GE(menu[8]->frameCount, 1);
  EXPECT_GE(menu[9]->frameCount, 1);
  EXPECT_GE(menu[4]->animCount, 2);     // tick boxes off / on
  EXPECT_GT(menu[1]->frameCount, 17);   // back 14 / 17, main button 15
  // Every sprite element's own frame or animation is in its bank.
  for (int id : {47, 48, 49, 50})
    for (int i = 0; i < getInterfaceElementCount(*game, id); ++i) {
      const int16_t* e = element(id, i);
      if (e[F::kWordType] != F::kSprite || e[F::kWordParams + F::kSpriteBank] == 0) continue;
      const ASprite* bank = menu[e[F::kWordParams + F::kSpriteBank]].get();
      ASSERT_NE(bank, nullptr) << id << " " << i;
      const int anim = e[F::kWordParams + F::kSpriteAnim];
      if (anim >= 0)
        EXPECT_LT(anim & ~F::kPlayModeBits, bank->animCount) << id << " " << i;
      else
        EXPECT_LT(e[F::kWordParams + F::kSpriteFrame], bank->frameCount) << id << " " << i;
    }
}

TEST_F(AchievementData, RowsLieOnTheirTouchRows) {
  struct Rows {
    int id, first, n, layoutTop, step, height;
  };
  // 250: layout rows 101, 151, 201 (30 high); 260: 97 + 35 i (20 high).
  const Rows rows[] = {{47, 16, 3, 101, 50, 30}, {48, 11, 5, 97, 35, 20}};
  for (const Rows& r : rows)
    for (int k = 0; k < r.n; ++k) {
      const int top = touchLayoutY(r.layoutTop + r.step * k);
      const int y = getInterfaceElementY(*game, r.id, r.first + k),
                h = getInterfaceElementHeight(*game, r.id, r.first + k);
      EXPECT_LE(y, top + 2) << r.id << " " << k;
      EXPECT_GE(y + h, top + r.height - 2) << r.id << " " << k;
    }
  // The page button art covers its touch rectangle (82, 275, 66, 25).
  const int16_t* page = element(48, 7);
  EXPECT_EQ(page[F::kWordX], 82);
  EXPECT_EQ(page[F::kWordY], touchLayoutY(275));
}

TEST_F(AchievementData, Texts) {
  loadStrings(*game, 0);
  std::vector<int> ids = {38, 325, 329, 657, 658};
  for (int id = 322; id <= 328; ++id) ids.push_back(id);
  for (int id = 330; id < 390; ++id) ids.push_back(id);
  for (int id : ids) EXPECT_GT(getStringLength(*game, id), 0) << id;
}

}  // namespace
