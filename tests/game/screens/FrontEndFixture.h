// A game object with the front end's interfaces compiled from their sources,
// the English texts, the saved background as back layer and a save folder.
#pragma once

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "tests/game/menus/MenuFixture.h"

class FrontEndTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    game->init();
    game->loading.savedBackground = back.get();
    game->loading.savedBackgroundGraphics = back->getGraphics();
    game->sound.enabled = 0;
    marks = spritetest::loadBank(frameBank(3));
    marks->buildCacheImages(0, 0, -1, -1);
    game->loading.sprites[k_slotMarks] = marks.get();
    std::vector<Interface> all(7);
    ASSERT_NO_FATAL_FAILURE(
        compileInterfaces(all, {"000-sound-question", "001-title", "002-main-menu", "003-question", "006-options"}));
    load(all, 0);
    std::vector<std::string> strings;
    std::string error;
    ASSERT_TRUE(texttable::parseSource(readText(std::string(KV_SOURCE_DIR) + "/assets/text/en.txt"), strings, &error))
        << error;
    putTexts(strings);
    createSaveFile(*game);
  }
  void TearDown() override {
    game->loading.sprites[k_slotMarks] = nullptr;
    game->loading.savedBackground = nullptr;
    game->loading.savedBackgroundGraphics = nullptr;
    MenuTest::TearDown();
  }
  static std::string readText(const std::string& file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Compiles the named interface sources of assets/interfaces/ into their
  // numbers' places of all.
  static void compileInterfaces(std::vector<Interface>& all, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      const std::string file = std::string(KV_SOURCE_DIR) + "/assets/interfaces/" + name + ".txt";
      std::string error;
      const auto id = static_cast<size_t>(interfacedata::interfaceNumberOf(file));
      ASSERT_TRUE(interfacedata::compileInterface(readText(file), all[id], &error)) << name << ": " << error;
    }
  }

  // Enters a front-end state and runs its set-up frame.
  void start(int32_t state) {
    game->setState(state);
    game->keys.lock(0);
    game->updateCurrentState();
  }
  // One frame with these keys.
  void frame(std::initializer_list<int> keys = {}) {
    if (game->keys.isLocked()) game->keys.lock(0);
    press(keys);
    game->updateCurrentState();
  }
  // Chooses a list entry by its text id with the select key.
  void choose(uint32_t textId) {
    selectMenuEntryById(*game, textId);
    frame({kSelect});
  }
  uint8_t savedByte(int offset) {
    const std::vector<uint8_t> file = readBytes("save.sav");
    return offset < static_cast<int>(file.size()) ? file[static_cast<size_t>(offset)] : 0xEE;
  }

  std::unique_ptr<ASprite> marks;
};
