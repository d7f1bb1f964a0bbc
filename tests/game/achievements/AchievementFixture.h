// A game with the two notice interfaces (49 plates and texts, 50 the
// completion notice) built through the interface writer, texts for every
// achievement, and a save file on disk.
#pragma once

#include <string>
#include <vector>

#include "tests/game/menus/MenuFixture.h"

class AchievementTest : public MenuTest {
 protected:
  static constexpr int kPlateX = 40;

  void SetUp() override {
    MenuTest::SetUp();
    std::vector<std::string> texts(700);
    for (int id = 0; id < 30; ++id) {
      texts[330 + id] = std::to_string(id).insert(0, 1, 'T');
      texts[360 + id] = std::to_string(id).insert(0, 1, 'D');
    }
    texts[329] = "N";
    texts[322] = "CA";
    texts[323] = "CB";
    texts[324] = "CC";
    texts[325] = "%n%%";
    texts[657] = "B";
    texts[658] = "L";
    putTexts(texts);
    std::vector<Interface> interfaces(51);
    interfaces[49] = noticeInterface();
    interfaces[50] = completionInterface();
    addScreens(interfaces);
    load(interfaces, 0);
    resetSettings(*game);  // a save file with the defaults
    loadSettings(*game);
    game->match.gameType = k_gameTypeCareer;
  }
  // Screens may add their own interfaces before the load.
  virtual void addScreens(std::vector<Interface>&) {}

  static Interface noticeInterface() {
    Interface i;
    for (int s = 0; s < 5; ++s) {
      Element e = sprite(kPlateX, 10 + 30 * s, 1, 0, -1);
      e.params[F::kSpriteVisible] = 0;
      i.push_back(e);
    }
    for (int s = 0; s < 5; ++s) {
      i.push_back(text(0, 10 + 30 * s, 160, 12));
      i.push_back(text(0, 22 + 30 * s, 160, 12));
    }
    return i;
  }
  static Interface completionInterface() {
    Interface i;
    for (int k = 0; k < 7; ++k) i.push_back(sprite(0, 0, 2, 0, -1));
    i.push_back(text(20, 100, 200, 12));  // 7
    i.push_back(text(20, 120, 200, 12));  // 8
    i.push_back(sprite(0, 0, 2, 0, -1));
    i.push_back(text(20, 140, 200, 12));  // 10
    i.push_back(sprite(0, 0, 2, 0, -1));
    i.push_back(sprite(0, 0, 2, 0, -1));
    i.push_back(sprite(100, 60, 8, 0, -1));  // 13 badge
    return i;
  }

  int plateX(int s) { return getInterfaceElementX(*game, 49, s); }
  bool plateShown(int s) { return getInterfaceElement(*game, 49, s)[F::kWordParams + F::kSpriteVisible] != 0; }
  // Paints the notices once (as the frame's pop-ups do).
  void paintNotices() {
    game->resetClip(currentTarget(*game));
    paintAchievementNotices(*game);
  }
  // Marks the file so that a later save shows: a save writes the whole image.
  void markSaveFile() {
    std::vector<uint8_t> bytes = readBytes("save.sav");
    ASSERT_EQ(bytes.size(), 300u) << "no save file";
    bytes[250] = 0x5A;
    writeBytes("save.sav", bytes);
  }
  bool savedSinceMark() {
    const std::vector<uint8_t> bytes = readBytes("save.sav");
    return bytes.size() == 300 && bytes[250] != 0x5A;
  }
};
