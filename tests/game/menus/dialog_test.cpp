#include <string>
#include <vector>

#include "tests/game/menus/MenuFixture.h"

namespace {

// Slot 1 with frames 0 to frames - 1: frame k is a row of pixels whose
// RGB565 value is k + 1, one wide except the middle parts (64 + 3j).
spritebank::Bank dialogBank(int frames, int middleWidth) {
  spritebank::Bank b;
  std::vector<uint32_t> pal = {0x00FF00FF};
  for (int k = 0; k < frames; ++k) {
    const int w = k % 3 == 1 ? middleWidth : 1;
    b.modules.push_back(spritebank::Module::image(w, 1, std::vector<uint8_t>(w, static_cast<uint8_t>(k + 1))));
    b.frames.push_back({{{k, 0, 0, 0, 0}}});
    const uint32_t v = static_cast<uint32_t>(k + 1);
    pal.push_back(0xFF000000u | (v >> 5) << 10 | (v & 31) << 3);
  }
  b.palettes = {pal};
  b.flags = b.minimalFlags();
  return b;
}

class Dialog : public MenuTest {
 protected:
  void useBank(int middleWidth, int frames = 106) {
    game->loading.sprites[1] = nullptr;
    bank = spritetest::loadBank(dialogBank(frames, middleWidth));
    bank->buildCacheImages(0, 0, -1, -1);
    game->loading.sprites[1] = bank.get();
  }
  void TearDown() override {
    game->loading.sprites[1] = nullptr;
    MenuTest::TearDown();
  }
  int frameAt(int x, int y) { return screen->at(x, y) - 1; }
  std::unique_ptr<ASprite> bank;
};

TEST_F(Dialog, BoxIsSizedAndCentred) {
  useBank(1);
  struct Case {
    int kind;
    const char* title;
    const char* body;
    int x, y, width, height, parts;
  } const cases[] = {
      {1, "abcd", "ignored", 109, 155, 22, 10, 20},
      {2, "abcd", "abcdefgh", 99, 150, 42, 20, 40},
      {2, "ab", "", 114, 150, 12, 20, 10},
  };
  for (const Case& c : cases) {
    showDialogBox(*game, c.kind, c.title, c.body);
    const DialogBox& d = game->dialog;
    EXPECT_EQ(d.x, c.x) << c.title;
    EXPECT_EQ(d.y, c.y) << c.title;
    EXPECT_EQ(d.width, c.width) << c.title;
    EXPECT_EQ(d.height, c.height) << c.title;
    EXPECT_EQ(d.middleParts, c.parts) << c.title;
    EXPECT_EQ(d.life, 2000);
    EXPECT_EQ(std::string(d.body), c.kind == 2 ? c.body : "");
  }
  // Painted: left part, middle parts, right part; title centred on top, body under it at the left.
  screen->fill(0);
  showDialogBox(*game, 2, "abcd", "abcdefgh");
  paintMessages(*game, screen->g());
  EXPECT_EQ(frameAt(98, 150), -1);
  EXPECT_EQ(frameAt(99, 150), 63);
  for (int x = 100; x < 110; ++x) EXPECT_EQ(frameAt(x, 150), 64) << x;
  EXPECT_EQ(frameAt(140, 150), 65);
  EXPECT_EQ(frameAt(141, 150), -1);
  EXPECT_EQ(columns(100, 40, 155), std::string(10, '.') + std::string(20, '#') + std::string(10, '.'));
  EXPECT_EQ(columns(95, 50, 165), std::string(5, '.') + std::string(40, '#') + std::string(5, '.'));
  // A long title or a zero-wide middle part stays bounded.
  const std::string wide(499, 'a');
  showDialogBox(*game, 1, wide.c_str(), nullptr);
  EXPECT_LE(game->dialog.middleParts, 240);
  EXPECT_EQ(game->dialog.width, 242);
  useBank(1, 64);  // no middle or right part
  showDialogBox(*game, 1, "abcd", nullptr);
  EXPECT_EQ(game->dialog.middleParts, 0);
  EXPECT_EQ(game->dialog.width, 1);
  paintDialogBox(*game, screen->g());
}

TEST_F(Dialog, FramesStepAndWrap) {
  useBank(1);
  game->frame.frameTime = 25;
  showDialogBox(*game, 1, "ab", nullptr);
  const int expected[][3] = {{66, 67, 68}, {69, 70, 71}};
  for (const auto& f : expected) {
    noKeys();
    EXPECT_EQ(updateDialogBox(*game), 1);
    EXPECT_EQ(game->dialog.leftFrame, f[0]);
    EXPECT_EQ(game->dialog.middleFrame, f[1]);
    EXPECT_EQ(game->dialog.rightFrame, f[2]);
  }
  for (int i = 2; i < 13; ++i) updateDialogBox(*game);
  EXPECT_EQ(game->dialog.leftFrame, 102);
  EXPECT_EQ(game->dialog.rightFrame, 104);
  updateDialogBox(*game);
  EXPECT_EQ(game->dialog.leftFrame, 63);
  EXPECT_EQ(game->dialog.middleFrame, 64);
  EXPECT_EQ(game->dialog.rightFrame, 65);
}

TEST_F(Dialog, DismissedOnlyAfterItsLife) {
  useBank(1);
  struct Case {
    bool wide;
    int key;
    bool closes;
  } const cases[] = {
      {false, kSelect, true},   {false, kLeftSoft, true},  {false, kRightSoft, false},
      {true, kSelect, true},    {true, kRightSoft, true},  {true, kLeftSoft, false},
  };
  game->frame.frameTime = 25;
  for (const Case& c : cases) {
    game->frontEnd.wideMessages = c.wide;
    showDialogBox(*game, 1, "ab", nullptr);
    // 79 frames of 25 ms: still inside the first 2000 ms.
    for (int f = 0; f < 79; ++f) {
      press({c.key});
      ASSERT_EQ(updateDialogBox(*game), 1) << f;
    }
    // Its life run out, the box waits for a key.
    for (int f = 0; f < 10; ++f) {
      noKeys();
      ASSERT_EQ(updateDialogBox(*game), 1);
    }
    EXPECT_TRUE(isDialogBoxOpen(*game));
    press({c.key});
    EXPECT_EQ(updateDialogBox(*game), c.closes ? 0 : 1) << c.wide << " " << c.key;
    EXPECT_EQ(isDialogBoxOpen(*game), !c.closes);
  }
  // Closed: nothing updates or paints; the messages update it while none is queued.
  game->dialog.life = -1;
  EXPECT_EQ(updateDialogBox(*game), 0);
  screen->fill(0);
  paintDialogBox(*game, screen->g());
  EXPECT_EQ(columns(0, 240, 160), std::string(240, '.'));
  showDialogBox(*game, 1, "ab", nullptr);
  noKeys();
  updateMessages(*game);
  EXPECT_EQ(game->dialog.life, 1975);
  addMessage(*game, 1, "m", 0);
  updateMessages(*game);
  EXPECT_EQ(game->dialog.life, 1975);
}

TEST_F(Dialog, InitClearsQueueAndBox) {
  addMessage(*game, 1, "m", 0);
  showDialogBox(*game, 1, "ab", nullptr);
  game->init();
  EXPECT_EQ(game->messages.count, 0);
  EXPECT_EQ(game->messages.text[0][0], 0);
  EXPECT_EQ(game->dialog.life, -1);
  EXPECT_FALSE(isDialogBoxOpen(*game));
}

}  // namespace
