#include <cstring>
#include <string>
#include <vector>

#include "tests/game/menus/MenuFixture.h"

namespace {

class Messages : public MenuTest {
 protected:
  std::string text(int i) const { return game->messages.text[i]; }
  using MenuTest::text;
  // Interface 56 with the message-box elements: frame sprites of bank 1
  // (frame = element - 70) on row 200 at x = element, text boxes 50 wide and
  // one, two and three lines high at y 250.
  void loadHud(bool withBoxes = true) {
    std::vector<Interface> all(57);
    Interface& hud = all[56];
    hud.resize(87, sprite(0, 0, 1, 0, -1));
    for (int e = 72; e <= 85; ++e) hud[e] = sprite(e, 200, 1, (e - 70) % 8, -1);
    if (withBoxes) {
      hud[75] = text(0, 250, 50, 10);
      hud[80] = text(0, 250, 50, 20);
      hud[86] = text(0, 250, 50, 30);
    }
    all[0] = {text(0, 0, 10, 10)};
    load(all, 0);
  }
};

TEST_F(Messages, QueueKeepsCopiesLivesAndOrder) {
  addMessage(*game, 0, "a", -5);
  addMessage(*game, 1, "b", 1000);
  EXPECT_EQ(game->messages.life[0], 3000);
  EXPECT_EQ(game->messages.life[1], 1000);
  EXPECT_EQ(game->messages.extra[0], -1);
  clearMessages(*game);
  EXPECT_FALSE(isMessageQueued(*game));

  for (int i = 0; i < 9; ++i) addMessageEx(*game, i % 3, std::string(1, char('a' + i)).c_str(), 100 * (i + 1), i);
  EXPECT_EQ(game->messages.count, 8);  // the ninth is dropped
  removeMessage(*game, 0);
  ASSERT_EQ(game->messages.count, 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(text(i), std::string(1, char('b' + i))) << i;
    EXPECT_EQ(game->messages.life[i], 100 * (i + 2)) << i;
    EXPECT_EQ(game->messages.kind[i], (i + 1) % 3) << i;
    EXPECT_EQ(game->messages.extra[i], i + 1) << i;
  }
  EXPECT_EQ(text(7), "");
  // Indices outside the queue are ignored.
  removeMessage(*game, 7);
  removeMessage(*game, -1);
  EXPECT_EQ(game->messages.count, 7);

  // Texts are copies of at most 499 bytes; the scratch ring does not reach them.
  clearMessages(*game);
  const std::string longText(700, 'x');
  addMessage(*game, 1, longText.c_str(), 0);
  for (int i = 0; i < 25; ++i) std::memset(getMessageBuffer(*game), 'z', 499);
  EXPECT_EQ(text(0), std::string(499, 'x'));
  addMessage(*game, 1, nullptr, 0);
  EXPECT_EQ(text(1), "");
}

TEST_F(Messages, UpdateAgesAndDismissesTheFirstMessage) {
  struct Case {
    const char* what;
    int kind, life;
    bool wide;
    int key, frames;
    bool stays;
  } const cases[] = {
      {"timed runs out", 0, 50, false, 0, 2, false},
      {"timed still running", 0, 51, false, 0, 2, true},
      {"timed ignores select", 0, 3000, false, kSelect, 1, true},
      {"key-only never expires", 1, 10, false, 0, 200, true},
      {"key-only, select", 1, 3000, false, kSelect, 1, false},
      {"key-only, dismiss key", 1, 3000, false, kDismiss, 1, false},
      {"key-only, right soft", 1, 3000, false, kRightSoft, 1, false},
      {"key-only, left soft ignored", 1, 3000, false, kLeftSoft, 1, true},
      {"wide: left soft", 1, 3000, true, kLeftSoft, 1, false},
      {"wide: right soft ignored", 1, 3000, true, kRightSoft, 1, true},
      {"both, by time", 2, 25, false, 0, 1, false},
      {"both, by key", 2, 3000, false, kSelect, 1, false},
  };
  game->frame.frameTime = 25;
  for (const Case& c : cases) {
    clearMessages(*game);
    game->frontEnd.wideMessages = c.wide;
    game->frontEnd.noticeDisplay = 12;
    addMessage(*game, c.kind, "first", c.life);
    addMessage(*game, 0, "second", 3000);
    for (int f = 0; f < c.frames; ++f) {
      if (c.key)
        press({c.key});
      else
        noKeys();
      updateMessages(*game);
    }
    EXPECT_EQ(text(0), c.stays ? "first" : "second") << c.what;
    EXPECT_EQ(game->frontEnd.noticeDisplay, c.stays ? 12 : -1) << c.what;
    EXPECT_EQ(game->messages.life[c.stays ? 1 : 0], 3000) << c.what;  // only the first ages
  }
  // Match initialisation at its first step freezes the queue.
  clearMessages(*game);
  addMessage(*game, 2, "first", 25);
  game->states.gameState = k_stateMatchInit;
  game->states.subState = 0;
  press({kSelect});
  updateMessages(*game);
  EXPECT_EQ(game->messages.count, 1);
  EXPECT_EQ(game->messages.life[0], 25);
  game->states.subState = 1;
  noKeys();
  updateMessages(*game);
  EXPECT_EQ(game->messages.count, 0);
}

TEST_F(Messages, LayoutIsTheFirstBoxTheTextFits) {
  loadHud();
  struct Case {
    const char* text;
    int layout;
  } const cases[] = {
      {"abcd", 0},
      {"abcdefgh abcdefgh", 1},
      {"abcdefgh abcdefgh abcdefgh", 2},
      {"abcdefgh abcdefgh abcdefgh abcdefgh", 3},
  };
  for (const Case& c : cases) {
    clearMessages(*game);
    addMessage(*game, 0, c.text, 0);
    EXPECT_EQ(game->messages.layout[0], c.layout) << c.text;
  }
  // Without the boxes every message takes the last layout.
  loadHud(false);
  clearMessages(*game);
  addMessage(*game, 0, "abcd", 0);
  EXPECT_EQ(game->messages.layout[0], 3);
}

TEST_F(Messages, PaintShowsTheFirstMessageInItsLayout) {
  loadHud();
  struct Case {
    const char* text;
    std::vector<int> frames;
  } const cases[] = {
      {"ab", {72, 73, 74}},
      {"abcdefgh abcdefgh", {76, 77, 78, 79}},
      {"abcdefgh abcdefgh abcdefgh abcdefgh", {81, 82, 83, 84, 85}},
  };
  for (const Case& c : cases) {
    screen->fill(0);
    clearMessages(*game);
    addMessage(*game, 1, c.text, 0);
    addMessage(*game, 1, "zz", 0);
    paintMessages(*game, screen->g());
    for (int e = 72; e <= 85; ++e) {
      const bool painted = std::find(c.frames.begin(), c.frames.end(), e) != c.frames.end();
      EXPECT_EQ(frameAt(e, 200), painted ? (e - 70) % 8 : -1) << c.text << " element " << e;
    }
  }
  // The text: font 0 in palette 1 (red), centred in the box; the palette is restored.
  screen->fill(0);
  clearMessages(*game);
  addMessage(*game, 1, "ab", 0);
  font->setCurrentPalette(2);
  paintMessages(*game, screen->g());
  EXPECT_EQ(columns(0, 50, 255), std::string(20, '.') + std::string(10, '#') + std::string(20, '.'));
  EXPECT_EQ(screen->at(20, 250), 0xF800);
  EXPECT_EQ(font->getCurrentPalette(), 2);
  // The current interface is left as it was.
  EXPECT_EQ(game->interfaces.currentInterface, 0);
  EXPECT_EQ(getInterfaceElementCount(*game, -1), 1);
}

TEST_F(Messages, WorkStringTags) {
  putTexts({"", "x %t y %t", "no tag", "TT", "$a vs $b, $a"});
  struct Case {
    int textId;
    const char* with;
    const char* expected;
  } const cases[] = {
      {1, "ab", "x ab y %t"},
      {1, "", "x  y %t"},
      {1, nullptr, "x  y %t"},
      {2, "ab", "no tag"},
  };
  for (const Case& c : cases) {
    loadTextToBuffer(*game, c.textId);
    replaceTextTagWithString(*game, c.with);
    EXPECT_STREQ(game->text.strings.work, c.expected) << c.textId;
    EXPECT_EQ(game->text.strings.workLength, static_cast<int32_t>(std::strlen(c.expected)));
  }
  loadTextToBuffer(*game, 1);
  replaceTextTagWithText(*game, 3);
  replaceTextTagWithText(*game, 3);
  EXPECT_STREQ(game->text.strings.work, "x TT y TT");
  // A replacement never runs past the work string.
  loadTextToBuffer(*game, 1);
  const std::string huge(3000, 'q');
  replaceTextTagWithString(*game, huge.c_str());
  EXPECT_EQ(game->text.strings.workLength, TextTableData::kWorkSize - 1);
  EXPECT_EQ(std::string(game->text.strings.work, 2), "x ");
  EXPECT_EQ(std::string(game->text.strings.work + TextTableData::kWorkSize - 6), " y %t");
  // Player names take the place of every "$a" and "$b" (no names yet).
  addTextMessage(*game, 1, 4, -1);
  EXPECT_EQ(text(0), " vs , ");
}

TEST_F(Messages, RuleMessagesAndDialogsTakeTheirNamesAndNumbers) {
  putTexts({"", "%t plays %t", "Ada", "the reds", "Nice shot!", "Balls in one shot: %t", "Scratch!"});
  queueRuleMessage(*game, 1, 2, 3);
  queueRuleMessage(*game, 1, -1, -1);
  ASSERT_EQ(game->messages.count, 2);
  EXPECT_EQ(text(0), "Ada plays the reds");
  EXPECT_EQ(game->messages.kind[0], 2);
  EXPECT_EQ(text(1), "%t plays %t");
  queueRuleMessage(*game, -1, 2, 3);  // no text: nothing queued
  EXPECT_EQ(game->messages.count, 2);

  showRuleDialog(*game, 2, 4, 5, 3);
  EXPECT_EQ(game->dialog.kind, 2);
  EXPECT_STREQ(game->dialog.title, "Nice shot!");
  EXPECT_STREQ(game->dialog.body, "Balls in one shot: 3");
  showRuleDialog(*game, 1, 6, -1, -1);
  EXPECT_EQ(game->dialog.kind, 1);
  EXPECT_STREQ(game->dialog.title, "Scratch!");
  EXPECT_STREQ(game->dialog.body, "");
}

}  // namespace
