// A block font for text tests: frame 0 the 5-wide space, every other frame a
// 5x10 block (colour index 1: white in palette 0, red in 1, green in 2); no
// spacing, so every glyph advances 5 pixels. Glyphs: digits, '-', '%', 'a'-'z'.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "tests/zul/sprite/SpriteTestUtil.h"

inline std::unique_ptr<ASprite> makeBlockFont(cGame& game) {
  spritebank::Bank b;
  b.modules.push_back(spritebank::Module::image(5, 10, std::vector<uint8_t>(50, 0)));
  b.modules.push_back(spritebank::Module::image(5, 10, std::vector<uint8_t>(50, 1)));
  b.palettes = {{0, 0xFFFFFFFF}, {0, 0xFFFF0000}, {0, 0xFF00FF00}};
  b.frames.push_back({{{0, 0, 0, 0, 0}}});
  for (int i = 0; i < 40; ++i) b.frames.push_back({{{1, 0, 0, 0, 0}}});
  b.flags = b.minimalFlags();
  std::unique_ptr<ASprite> font = spritetest::loadBank(b);
  for (int p = 0; p < 3; ++p) font->buildCacheImages(p, 0, -1, -1);
  std::vector<uint16_t> map(450, 0);
  int frame = 1;
  for (int c = '0'; c <= '9'; ++c) map[c] = static_cast<uint16_t>(frame++);
  map['-'] = static_cast<uint16_t>(frame++);
  map['%'] = static_cast<uint16_t>(frame++);
  for (int c = 'a'; c <= 'z'; ++c) map[c] = static_cast<uint16_t>(frame++);
  delete[] game.text.charMap;
  game.text.charMapCount = static_cast<int32_t>(map.size());
  game.text.charMap = new uint8_t[map.size() * 2];
  std::memcpy(game.text.charMap, map.data(), map.size() * 2);
  return font;
}
