// mkfont: renders the game's two bitmap fonts with FreeType into sprite banks
// and writes them with the character map as files that mkdata puts into
// "i.bar" (map entry 2, fonts 0 and 1 entries 3 and 4).
//
//   mkfont <font.ttf> <output dir>: font0.bank, font1.bank, charmap.bin
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <string>
#include <vector>

#include "tools/bar/BarWriter.h"
#include "tools/spritebank/SpriteBankWriter.h"

namespace {

constexpr int kCodes = 445;  // after the remap, Cyrillic ends at 444
constexpr int kLevels = 4;   // coverage levels, index 0 transparent

// Text colours: normal, soft-key and caption, selected.
const uint32_t kColours[3] = {0xFFFFFFFF, 0xFFFFD040, 0xFFFF8020};

// The fonts are cached without alpha: index 0 is the colour key (skipped when
// drawn) and the coverage levels are opaque, the colour darkened by the
// coverage, which reads as smoothing on the game's dark screens.
std::vector<uint32_t> palette(uint32_t argb) {
  std::vector<uint32_t> p = {0x00FF00FF};
  for (int l = 1; l < kLevels; ++l) {
    const uint32_t k = static_cast<uint32_t>(255 * l / (kLevels - 1));
    const uint32_t r = ((argb >> 16) & 0xFF) * k / 255, g = ((argb >> 8) & 0xFF) * k / 255, b = (argb & 0xFF) * k / 255;
    p.push_back(0xFF000000u | r << 16 | g << 8 | b);
  }
  return p;
}

// Unicode code point of a game code.
int codePoint(int code) {
  if (code == 380) return 1025;
  if (code >= 381 && code <= 444) return code + 659;
  return code;
}

bool buildFont(FT_Face face, int pixels, std::vector<uint8_t>& bank, std::vector<uint16_t>& map) {
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels));
  const int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
  const int height = static_cast<int>((face->size->metrics.ascender - face->size->metrics.descender) >> 6);
  spritebank::Bank b;
  for (int i = 0; i < 3; ++i) b.palettes.push_back(palette(kColours[i]));
  map.assign(kCodes, 0);
  auto addGlyph = [&](int cp) -> int {
    if (FT_Load_Char(face, static_cast<FT_ULong>(cp), FT_LOAD_RENDER) != 0) return -1;
    FT_GlyphSlot g = face->glyph;
    int w = static_cast<int>(g->advance.x >> 6);
    if (w < 1) w = 1;
    if (w > 255) w = 255;
    std::vector<uint8_t> px(static_cast<size_t>(w * height), 0);
    for (int y = 0; y < static_cast<int>(g->bitmap.rows); ++y)
      for (int x = 0; x < static_cast<int>(g->bitmap.width); ++x) {
        const int dx = g->bitmap_left + x, dy = ascent - g->bitmap_top + y;
        if (dx < 0 || dx >= w || dy < 0 || dy >= height) continue;
        const int v = g->bitmap.buffer[y * g->bitmap.pitch + x];
        px[static_cast<size_t>(dy * w + dx)] = static_cast<uint8_t>((v * (kLevels - 1) + 127) / 255);
      }
    b.modules.push_back(spritebank::Module::image(w, height, px));
    const int m = static_cast<int>(b.modules.size()) - 1;
    b.frames.push_back({{{m, 0, 0, 0, 0}}});
    return static_cast<int>(b.frames.size()) - 1;
  };
  // Frame 0 is the space: its width is the space advance, its height the line.
  if (addGlyph(' ') != 0) return false;
  for (int code = 33; code < kCodes; ++code) {
    if (code >= 127 && code < 160) continue;
    if (code > 255 && code < 380) continue;
    if (FT_Get_Char_Index(face, static_cast<FT_ULong>(codePoint(code))) == 0) continue;
    const int f = addGlyph(codePoint(code));
    if (f > 0) map[static_cast<size_t>(code)] = static_cast<uint16_t>(f);
  }
  b.flags = b.minimalFlags();
  std::string error;
  bank = spritebank::writeBank(b, &error);
  if (bank.empty()) std::fprintf(stderr, "mkfont: %s\n", error.c_str());
  return !bank.empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mkfont <font.ttf> <output dir>\n");
    return 2;
  }
  FT_Library lib;
  FT_Face face;
  if (FT_Init_FreeType(&lib) != 0 || FT_New_Face(lib, argv[1], 0, &face) != 0) {
    std::fprintf(stderr, "mkfont: cannot open %s\n", argv[1]);
    return 1;
  }
  std::vector<uint8_t> font0, font1;
  std::vector<uint16_t> map0, map1;
  if (!buildFont(face, 11, font0, map0) || !buildFont(face, 14, font1, map1)) return 1;
  // Both fonts hold the same glyphs in the same order, so one map serves both.
  bar::Entry map;
  for (uint16_t v : map0) {
    map.push_back(static_cast<uint8_t>(v));
    map.push_back(static_cast<uint8_t>(v >> 8));
  }
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  const std::string dir = argv[2];
  if (map0 != map1 || !bar::writeFile(dir + "/font0.bank", font0) || !bar::writeFile(dir + "/font1.bank", font1) ||
      !bar::writeFile(dir + "/charmap.bin", map))
    return 1;
  return 0;
}
