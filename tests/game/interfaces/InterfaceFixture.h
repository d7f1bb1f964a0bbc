// A game object with interfaces built through the interface writer, a
// screen as the current target, a back layer, one 8-frame sprite bank in
// slot 1, a 7-frame bank in slot 2, a background bank in slot 0 and the
// block font as font 0.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "tests/game/data/BlockFont.h"
#include "tests/game/data/DataFixture.h"
#include "tests/zul/sprite/SpriteTestUtil.h"
#include "tools/interface/InterfaceWriter.h"
#include "tools/text/TextTableWriter.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/MutableImage.h"

namespace F = interfaceformat;
using interfacedata::Element;
using interfacedata::Interface;

// Frame k of the sprite banks is one pixel of colour index k + 1: red
// 8 (k + 1) in palette 0, blue 8 (k + 1) in palette 1. Animations 0-3 show
// frame 0-3; animation 4 frames 5, 6, 7.
inline spritebank::Bank frameBank(int frames) {
  spritebank::Bank b;
  std::vector<uint32_t> p0 = {0x00FF00FF}, p1 = {0x00FF00FF};
  for (int k = 0; k < frames; ++k) {
    b.modules.push_back(spritebank::Module::image(1, 1, {static_cast<uint8_t>(k + 1)}));
    b.frames.push_back({{{k, 0, 0, 0, 0}}});
    p0.push_back(0xFF000000u | static_cast<uint32_t>(8 * (k + 1)) << 16);
    p1.push_back(0xFF000000u | static_cast<uint32_t>(8 * (k + 1)));
  }
  b.palettes = {p0, p1};
  for (int a = 0; a < 4; ++a) b.anims.push_back({{{a, 1}}});
  b.anims.push_back({{{5, 1}, {6, 1}, {7, 1}}});
  b.flags = b.minimalFlags();
  return b;
}

class InterfaceTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    screen = std::make_unique<spritetest::Screen>();
    back = std::make_unique<MutableImage>(240, 320, 16);
    game->frontEnd.paintTarget = screen->g();
    game->frontEnd.backLayer = back->getGraphics();
    game->interfaces.interfaceAnimations = 1;
    banks[1] = spritetest::loadBank(frameBank(8));
    banks[2] = spritetest::loadBank(frameBank(7));
    spritebank::Bank bg;  // slot 0: a 4x4 block of grey at the origin
    bg.modules.push_back(spritebank::Module::image(4, 4, std::vector<uint8_t>(16, 1)));
    bg.palettes = {{0x00FF00FF, 0xFF808080}};
    bg.frames.push_back({{{0, 0, 0, 0, 0}}});
    bg.flags = bg.minimalFlags();
    banks[0] = spritetest::loadBank(bg);
    for (int s = 0; s < 3; ++s) {
      for (int p = 0; p < banks[s]->paletteCount; ++p) banks[s]->buildCacheImages(p, 0, -1, -1);
      game->loading.sprites[s] = banks[s].get();
    }
    font = makeBlockFont(*game);
    game->text.fonts[0] = font.get();
    screen->fill(0);
  }
  // Also after a SetUp that stopped early (a skip or a failed assertion).
  void TearDown() override {
    if (game) {
      for (int s = 0; s < 3; ++s) game->loading.sprites[s] = nullptr;
      game->text.fonts[0] = nullptr;
      game->frontEnd.paintTarget = nullptr;
    }
    game.reset();
    screen.reset();
    DataTest::TearDown();
  }

  // Writes the interfaces as "interf.bar", loads them and selects `current`.
  void load(const std::vector<Interface>& interfaces, int32_t current = 0) {
    writeBytes("interf.bar", interfacedata::writeInterfaces(interfaces));
    ASSERT_EQ(loadBar(*game, "interf.bar"), 1);
    loadInterfaces(*game);
    unloadBar(*game);
    selectInterface(*game, current);
  }
  void loadOne(const Interface& elements) { load({elements}); }
  void putTexts(const std::vector<std::string>& strings) {
    writeBytes("text.bar", bar::writeArchive(texttable::buildEntries(strings)));
    loadStrings(*game, 0);
  }

  static Element sprite(int x, int y, int bank, int frame, int anim) {
    Element e = interfacedata::defaultSprite();
    e.x = static_cast<int16_t>(x);
    e.y = static_cast<int16_t>(y);
    e.params[F::kSpriteBank] = static_cast<int16_t>(bank);
    e.params[F::kSpriteFrame] = static_cast<int16_t>(frame);
    e.params[F::kSpriteAnim] = static_cast<int16_t>(anim);
    e.params[F::kSpriteDuration] = 0;
    return e;
  }
  static Element text(int x, int y, int w, int h, int valign = 0, int halign = 0) {
    Element e = interfacedata::defaultText();
    e.x = static_cast<int16_t>(x);
    e.y = static_cast<int16_t>(y);
    e.params[F::kTextWidth] = static_cast<int16_t>(w);
    e.params[F::kTextHeight] = static_cast<int16_t>(h);
    e.params[F::kTextVAlign] = static_cast<int16_t>(valign);
    e.params[F::kTextHAlign] = static_cast<int16_t>(halign);
    e.params[F::kTextDuration] = 0;
    return e;
  }
  int16_t* element(int32_t i, int32_t id = -1) { return getInterfaceElement(*game, id, i); }
  int16_t& p(int32_t i, int32_t k) { return element(i)[F::kWordParams + k]; }

  // The frame a frame bank painted at (x, y) on the screen (-1 none), and
  // its palette.
  int frameAt(int x, int y, int* palette = nullptr) {
    const uint16_t v = screen->at(x, y);
    screen->at(x, y) = 0;
    if (!v) return -1;
    const int red = v >> 11, blue = v & 31;
    if (palette) *palette = red ? 0 : 1;
    return (red ? red : blue) - 1;
  }
  // Which of the n columns from x0 have a drawn pixel on row y.
  std::string columns(int x0, int n, int y) {
    std::string s;
    for (int x = x0; x < x0 + n; ++x) s += screen->at(x, y) ? '#' : '.';
    return s;
  }

  std::unique_ptr<spritetest::Screen> screen;
  std::unique_ptr<MutableImage> back;
  std::unique_ptr<ASprite> banks[3];
  std::unique_ptr<ASprite> font;
};
