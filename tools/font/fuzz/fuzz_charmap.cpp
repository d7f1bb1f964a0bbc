// Fuzzes the character map of "i.bar": each input is handed to the game as
// its map (or refused, as at start-up) over the data set's two fonts, and a
// text of every byte and of two-byte codes is measured, laid out and drawn
// with both.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/MutableImage.h"
#include "zul/memory/Debug.h"

namespace {

std::vector<uint8_t> readFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static cGame* game = nullptr;
  static MutableImage* screen = nullptr;
  static std::vector<uint8_t> banks[2];
  static std::string text;
  if (!game) {
    setDebugTraceEnabled(false);
    game = new cGame(nullptr);
    screen = new MutableImage(240, 320, 16);
    for (int32_t f = 0; f < 2; ++f) {
      banks[f] = readFile(std::string(KV_FONT_DIR) + "/font" + std::to_string(f) + ".bank");
      auto* font = new ASprite();
      if (!font->load(banks[f].data(), 0, static_cast<uint32_t>(banks[f].size()))) {
        std::fprintf(stderr, "fuzz_charmap: no font %d in %s\n", f, KV_FONT_DIR);
        std::abort();
      }
      for (int32_t p = 0; p < font->paletteCount; ++p) font->buildCacheImagesWithAlpha(p, 0, -1, -1, nullptr);
      game->text.fonts[f] = font;
      game->loading.fontLineHeight[f] = font->getFontHeight();
    }
    for (int c = 1; c < 256; ++c) text.push_back(static_cast<char>(c));
    for (int lead = 0xC0; lead < 0xE0; lead += 3) text += std::string{static_cast<char>(lead), '\x95', ' '};
  }
  if (size > (1u << 16)) return 0;
  auto* map = new uint8_t[size > 0 ? size : 1];
  if (size > 0) std::memcpy(map, data, size);
  takeCharMap(*game, map, static_cast<int32_t>(size));
  Graphics* g = screen->getGraphics();
  const int32_t length = static_cast<int32_t>(text.size());
  for (int32_t f = 0; f < 2; ++f) {
    getCStringWidth(*game, game->text.fonts[f], text.c_str());
    drawCString(*game, g, game->text.fonts, text.c_str(), f, 120, 160, 0x20);
    layoutText(*game, game->text.fonts, text.c_str(), 0, length, f, 200, 300);
  }
  return 0;
}
