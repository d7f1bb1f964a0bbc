// The data set's "interf.bar": 69 interfaces, and interface 56's elements of
// the types the game core reads, with message boxes that fit their lines.
#include <cstdlib>

#include "InterfaceFixture.h"

namespace {

class InterfaceData : public InterfaceTest {
 protected:
  void SetUp() override {
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/interf.bar")) GTEST_SKIP() << "no data set";
    InterfaceTest::SetUp();
    std::filesystem::copy_file(std::string(data) + "/interf.bar", path("interf.bar"));
    ASSERT_EQ(loadBar(*game, "interf.bar"), 1);
    entries = game->files.bar.count - 1;
    loadInterfaces(*game);
    unloadBar(*game);
    dataDir = data;
  }
  int32_t entries = 0;
  std::string dataDir;
};

TEST_F(InterfaceData, SixtyNineInterfacesAndTheHudsCoreElements) {
  EXPECT_EQ(entries, 69);
  struct Need {
    int element, type;
  };
  std::vector<Need> needs = {{22, F::kText}, {31, F::kText}, {75, F::kText}, {80, F::kText}, {86, F::kText}};
  for (int e : {72, 73, 74, 76, 77, 78, 79, 81, 82, 83, 84, 85}) needs.push_back({e, F::kSprite});
  EXPECT_GE(getInterfaceElementCount(*game, 56), 137);
  for (const Need& n : needs) {
    const int16_t* e = getInterfaceElement(*game, 56, n.element);
    ASSERT_NE(e, nullptr) << n.element;
    EXPECT_EQ(e[F::kWordType], n.type) << n.element;
    EXPECT_GE(getElementParamCount(*game, 56, n.element), F::paramsRead(n.type)) << n.element;
  }
  // Message parts: frames 30-41 of the UI bank, in element order, hidden:
  // the message paint draws them itself, the HUD's interface paint must not.
  int frame = 30;
  for (int i : {72, 73, 74, 76, 77, 78, 79, 81, 82, 83, 84, 85}) {
    const int16_t* e = getInterfaceElement(*game, 56, i);
    EXPECT_EQ(e[F::kWordParams + F::kSpriteBank], 1) << i;
    EXPECT_EQ(e[F::kWordParams + F::kSpriteFrame], frame++) << i;
    EXPECT_EQ(e[F::kWordParams + F::kSpriteAnim], -1) << i;
    EXPECT_EQ(e[F::kWordParams + F::kSpriteVisible], 0) << i;
  }
  // The UI bank of the data set has those frames.
  if (std::filesystem::exists(dataDir + "/menu.bar")) {
    std::filesystem::copy_file(dataDir + "/menu.bar", path("menu.bar"));
    ASSERT_EQ(loadBar(*game, "menu.bar"), 1);
    ASprite ui;
    const int32_t offset = getBarEntryOffset(*game, 1), size = getBarEntrySize(*game, 1);
    ASSERT_GT(size, 0);
    ASSERT_TRUE(ui.load(game->files.bar.data, static_cast<uint32_t>(offset), static_cast<uint32_t>(size)));
    EXPECT_GT(ui.frameCount, 41);
    unloadBar(*game);
  }
  // The centring boxes keep the single label on the screen.
  for (int i : {22, 31}) {
    const int centre = getInterfaceElementX(*game, 56, i) + getInterfaceElementWidth(*game, 56, i) / 2;
    EXPECT_GT(centre, 40) << i;
    EXPECT_LT(centre, 200) << i;
  }
}

TEST_F(InterfaceData, MessageBoxesHoldOneTwoAndThreeLinesOfFontZero) {
  if (!std::filesystem::exists(dataDir + "/i.bar")) GTEST_SKIP() << "no fonts";
  std::filesystem::copy_file(dataDir + "/i.bar", path("i.bar"));
  ASSERT_EQ(loadBar(*game, "i.bar"), 1);
  const int32_t offset = getBarEntryOffset(*game, 3), size = getBarEntrySize(*game, 3);
  ASSERT_GT(size, 0);
  ASSERT_TRUE(game->files.bar.data);
  ASSERT_TRUE(font->load(game->files.bar.data, static_cast<uint32_t>(offset), static_cast<uint32_t>(size)));
  const int32_t line = font->getFontHeight() + font->getFontSpacing();
  unloadBar(*game);
  struct Box {
    int element, lines;
  };
  for (const Box& b : {Box{75, 1}, Box{80, 2}, Box{86, 3}}) {
    const int32_t h = getInterfaceElementHeight(*game, 56, b.element);
    EXPECT_GE(h, font->getFontHeight() + (b.lines - 1) * line) << b.element;
    EXPECT_LT(h, font->getFontHeight() + b.lines * line) << b.element;  // one line more would not fit
  }
}

}  // namespace
