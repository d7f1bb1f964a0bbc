// Time of one paint of a seven-row menu list, the selected row glowing.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
#include "tools/interface/InterfaceWriter.h"
#include "tools/spritebank/SpriteBankWriter.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"
#include "zul/2d/SpriteServices.h"

namespace {

namespace F = interfaceformat;

// Glyphs 6x11 with a hollow middle, palettes white, red and green.
std::unique_ptr<ASprite> makeFont() {
  spritebank::Bank b;
  std::vector<uint8_t> glyph(6 * 11, 1);
  for (int y = 2; y < 9; ++y)
    for (int x = 2; x < 4; ++x) glyph[y * 6 + x] = 0;
  b.modules.push_back(spritebank::Module::image(6, 11, std::vector<uint8_t>(66, 0)));
  b.modules.push_back(spritebank::Module::image(6, 11, glyph));
  b.palettes = {{0, 0xFFFFFFFF}, {0, 0xFFFF0000}, {0, 0xFF00FF00}};
  b.frames.push_back({{{0, 0, 0, 0, 0}}});
  b.frames.push_back({{{1, 0, 0, 0, 0}}});
  b.flags = b.minimalFlags();
  std::string error;
  const std::vector<uint8_t> bytes = spritebank::writeBank(b, &error);
  auto font = std::make_unique<ASprite>();
  font->load(bytes.data(), 0, static_cast<uint32_t>(bytes.size()));
  for (int p = 0; p < 3; ++p) font->buildCacheImages(p, 0, -1, -1);
  return font;
}

struct MenuScreen {
  std::vector<uint32_t> decode = std::vector<uint32_t>(SpriteServices::kDecodeBufferWords);
  int32_t rect[4] = {};
  SpriteServices services;
  MutableImage image{240, 320, 16};
  std::unique_ptr<ASprite> font = makeFont();
  std::unique_ptr<cGame> game = std::make_unique<cGame>(nullptr);
  std::vector<uint8_t> charMap = std::vector<uint8_t>(2 * 256, 0);
  uint32_t table[7] = {1, 2, 3, 4, 5, 6, 7};

  MenuScreen() {
    services.decodeBuffer = decode.data();
    services.sharedRect = rect;
    services.backBufferGraphics = image.getGraphics();
    services.screenGraphics = image.getGraphics();
    setSpriteServices(&services);
    resetEffects(*game);
    game->frontEnd.paintTarget = image.getGraphics();
    game->text.fonts[0] = game->text.fonts[1] = font.get();
    for (int c = 33; c < 128; ++c) charMap[2 * c] = 1;
    game->text.charMap = charMap.data();
    game->text.charMapCount = 256;
    // Seven 200x16 rows in font 1 (the glowing font), at rest.
    interfacedata::Interface rows;
    for (int k = 0; k < 7; ++k) {
      interfacedata::Element e = interfacedata::defaultText();
      e.x = 20;
      e.y = static_cast<int16_t>(60 + 24 * k);
      e.params[F::kTextWidth] = 200;
      e.params[F::kTextHeight] = 16;
      e.params[F::kTextHAlign] = 1;
      e.params[F::kTextFont] = 1;
      e.params[F::kTextDuration] = 0;
      rows.push_back(e);
    }
    const std::vector<uint8_t> bytes = interfacedata::writeInterface(rows);
    loadInterface(*game, 2, bytes.data(), static_cast<int32_t>(bytes.size()));
    selectInterface(*game, 2);
    setTexts({"", "New game", "Continue", "Options", "Help", "About", "More games", "Exit"});
    setMenuRows(*game, table, 0, 7);
    setMenuCount(*game, 7);
    game->menu.selection = 3;
    game->frame.paintFrameCount = 16;
  }
  ~MenuScreen() {
    game->text.fonts[0] = game->text.fonts[1] = nullptr;
    game->text.charMap = nullptr;
    game->frontEnd.paintTarget = nullptr;
    game.reset();
    setSpriteServices(nullptr);
  }
  void setTexts(const std::vector<std::string>& texts) {
    std::string all;
    std::vector<uint16_t> ends;
    for (const std::string& t : texts) {
      all += t;
      all += '\0';
      ends.push_back(static_cast<uint16_t>(all.size()));
    }
    TextTableData& t = game->text.strings;
    t.strings = new uint8_t[all.size()];
    std::memcpy(t.strings, all.data(), all.size());
    t.stringsSize = static_cast<int32_t>(all.size());
    t.ends = new uint16_t[ends.size()];
    std::memcpy(t.ends, ends.data(), ends.size() * 2);
    t.count = static_cast<int32_t>(ends.size());
  }
};

// The selected row's pixels after one paint.
std::vector<uint16_t> selectedRow(MenuScreen& s) {
  std::memset(s.image.getPixels(), 0, 240 * 320 * 2);
  paintMenu(*s.game);
  const uint16_t* px = static_cast<const uint16_t*>(s.image.getPixels()) + (60 + 24 * 3) * 240;
  return std::vector<uint16_t>(px, px + 16 * 240);
}

void BM_PaintMenu(benchmark::State& state) {
  MenuScreen s;
  // Only a row in a non-zero font glows: the measured paint must differ.
  const std::vector<uint16_t> glowing = selectedRow(s);
  getInterfaceElement(*s.game, -1, 3)[F::kWordParams + F::kTextFont] = 0;
  const bool glows = selectedRow(s) != glowing;
  getInterfaceElement(*s.game, -1, 3)[F::kWordParams + F::kTextFont] = 1;
  if (!glows) state.SkipWithError("the selected row does not glow");
  for (auto _ : state) {
    paintMenu(*s.game);
    benchmark::DoNotOptimize(s.image.getPixels());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintMenu)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
