// Time to paint one frame of a 40-element interface: 24 sprites, 6
// translucent rectangles and 10 text boxes, each filled with a line of text.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "tools/interface/InterfaceWriter.h"
#include "tools/spritebank/SpriteBankWriter.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/MutableImage.h"

namespace {

namespace F = interfaceformat;
using interfacedata::Element;

std::unique_ptr<ASprite> load(const spritebank::Bank& b) {
  std::vector<uint8_t> bytes = spritebank::writeBank(b);
  auto s = std::make_unique<ASprite>();
  s->load(bytes.data(), 0, static_cast<uint32_t>(bytes.size()));
  for (int p = 0; p < s->paletteCount; ++p) s->buildCacheImages(p, 0, -1, -1);
  return s;
}

// 16 frames of 24x24 with a transparent rim, 4-frame looping animation.
spritebank::Bank spriteBank() {
  spritebank::Bank b;
  std::vector<uint32_t> palette = {0x00FF00FF};
  for (int c = 1; c < 16; ++c) palette.push_back(0xFF000000u | static_cast<uint32_t>(c * 0x101010));
  b.palettes = {palette};
  for (int f = 0; f < 16; ++f) {
    std::vector<uint8_t> px(24 * 24);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x)
        px[static_cast<size_t>(y * 24 + x)] = (x < 2 || y < 2 || x > 21 || y > 21) ? 0 : (x + y + f) % 15 + 1;
    b.modules.push_back(spritebank::Module::image(24, 24, px));
    b.frames.push_back({{{f, 0, 0, 0, 0}}});
  }
  b.anims.push_back({{{0, 1}, {1, 1}, {2, 1}, {3, 1}}});
  b.flags = b.minimalFlags();
  return b;
}

// Glyphs 6x11 with a stroke pattern; frame 0 the space.
spritebank::Bank fontBank() {
  spritebank::Bank b;
  b.palettes = {{0, 0xFFFFFFFF}, {0, 0xFFFF4040}};
  b.modules.push_back(spritebank::Module::image(4, 11, std::vector<uint8_t>(44, 0)));
  b.frames.push_back({{{0, 0, 0, 0, 0}}});
  for (int g = 0; g < 64; ++g) {
    std::vector<uint8_t> px(66);
    for (int i = 0; i < 66; ++i) px[static_cast<size_t>(i)] = ((i * 7 + g) % 5 < 2) ? 1 : 0;
    b.modules.push_back(spritebank::Module::image(6, 11, px));
    b.frames.push_back({{{g + 1, 0, 0, 0, 0}}});
  }
  b.flags = b.minimalFlags();
  return b;
}

struct Screen {
  std::vector<uint16_t> pixels = std::vector<uint16_t>(240 * 320, 0x2104);
  MutableImage image{240, 320, 480, 16, pixels.data()};
  std::unique_ptr<cGame> game = std::make_unique<cGame>(nullptr);
  std::unique_ptr<ASprite> sprites = load(spriteBank());
  std::unique_ptr<ASprite> font = load(fontBank());

  Screen() {
    game->frontEnd.paintTarget = image.getGraphics();
    game->loading.sprites[1] = sprites.get();
    game->text.fonts[0] = font.get();
    std::vector<uint16_t> map(450, 0);
    for (int c = 33; c < 127; ++c) map[static_cast<size_t>(c)] = static_cast<uint16_t>((c - 33) % 64 + 1);
    game->text.charMapCount = static_cast<int32_t>(map.size());
    game->text.charMap = new uint8_t[map.size() * 2];
    std::memcpy(game->text.charMap, map.data(), map.size() * 2);
    interfacedata::Interface elements;
    for (int i = 0; i < 24; ++i) {
      Element e = interfacedata::defaultSprite();
      e.x = static_cast<int16_t>(8 + (i % 8) * 28);
      e.y = static_cast<int16_t>(20 + (i / 8) * 90);
      e.params[F::kSpriteBank] = 1;
      e.params[F::kSpriteFrame] = static_cast<int16_t>(i % 16);
      if (i % 4 == 0) e.params[F::kSpriteAnim] = 0;
      elements.push_back(e);
    }
    for (int i = 0; i < 6; ++i)
      elements.push_back({3, static_cast<int16_t>(10), static_cast<int16_t>(50 + i * 40), {220, 24, 160, 0, 0, 40, 1, 0}});
    for (int i = 0; i < 10; ++i) {
      Element e = interfacedata::defaultText();
      e.x = 10;
      e.y = static_cast<int16_t>(40 + i * 26);
      e.params[F::kTextWidth] = 220;
      e.params[F::kTextHeight] = 22;
      e.params[F::kTextVAlign] = 1;
      e.params[F::kTextHAlign] = static_cast<int16_t>(i % 3);
      elements.push_back(e);
    }
    const std::vector<uint8_t> bytes = interfacedata::writeInterface(elements);
    loadInterface(*game, 0, bytes.data(), static_cast<int32_t>(bytes.size()));
    selectInterface(*game, 0);
    game->interfaces.interfaceAnimations = 1;
    startInterfaceAnimation(*game);
  }
  // The banks are this record's, not the game's.
  ~Screen() {
    game->loading.sprites[1] = nullptr;
    game->text.fonts[0] = nullptr;
  }
};

void BM_PaintInterfaceWithTextBoxes(benchmark::State& state) {
  Screen s;
  static const char* const kRows[] = {"Quick Match", "Career", "Tournament", "Challenges", "Options",
                                      "Help", "Achievements", "About", "Stake: 250", "Touch to continue"};
  for (auto _ : state) {
    paintInterface(*s.game);
    for (int i = 0; i < 10; ++i) drawElementString(*s.game, 30 + i, kRows[i]);
    benchmark::DoNotOptimize(s.pixels.data());
    benchmark::ClobberMemory();
  }
  // Pixels of the last frame that the text left white: shows the texts drew.
  int white = 0;
  for (uint16_t v : s.pixels) white += v == 0xFFFF;
  state.counters["white"] = white;
}
BENCHMARK(BM_PaintInterfaceWithTextBoxes)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
