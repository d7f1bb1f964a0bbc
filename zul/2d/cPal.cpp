#include "zul/2d/cPal.h"

#include "zul/2d/SpriteServices.h"
#include "zul/memory/Memory.h"

namespace {
constexpr uint16_t kKey = 0xF81F;

uint16_t toRgb565(uint32_t c) {
  return static_cast<uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c & 0xFF) >> 3));
}
}  // namespace

cPal::cPal() { game = getSpriteServices(); }

cPal::cPal(const cPal& other) {
  game = getSpriteServices();
  create(other.paletteCount, other.coloursPerPalette);
  selection = other.selection;
  for (int p = 0; p < paletteCount; ++p)
    for (int c = 0; c < coloursPerPalette; ++c) setColour(p, c, other.getColour(p, c));
}

cPal::~cPal() { release(); }

void cPal::create(int palettes, int perPalette) {
  game = getSpriteServices();
  if (colours) memDeleteArray(colours);
  colours = nullptr;
  if (palettes < 0 || palettes > 255 || perPalette < 0 || perPalette > 0xFFFF) palettes = perPalette = 0;
  paletteCount = static_cast<uint8_t>(palettes);
  coloursPerPalette = static_cast<uint16_t>(perPalette);
  selection = 0;
  hasKey = 0;
  size_t n = static_cast<size_t>(palettes) * static_cast<size_t>(perPalette);
  if (n > 0) colours = static_cast<uint16_t*>(memNewArray(n * 2, "cPal", 55));
  if (!colours) paletteCount = 0, coloursPerPalette = 0;
}

void cPal::setData(int palettes, int perPalette, uint16_t* block) {
  game = getSpriteServices();
  if (colours && colours != block) memDeleteArray(colours);
  bool valid = palettes >= 0 && palettes <= 255 && perPalette >= 0 && perPalette <= 0xFFFF && block;
  paletteCount = valid ? static_cast<uint8_t>(palettes) : 0;
  coloursPerPalette = valid ? static_cast<uint16_t>(perPalette) : 0;
  selection = 0;
  hasKey = 0;
  colours = block;
}

void cPal::adoptColours(uint16_t* block) {
  if (colours && colours != block) memDeleteArray(colours);
  colours = block;
}

void cPal::release() {
  if (colours) memDeleteArray(colours);
  colours = nullptr;
  coloursPerPalette = 0;
  paletteCount = 0;
  selection = 0;
}

void cPal::setColour(int p, int c, uint32_t argb) {
  if (p < 0 || p >= paletteCount || c < 0 || c >= coloursPerPalette || !colours) return;
  uint16_t v = toRgb565(argb);
  colours[p * coloursPerPalette + c] = v;
  if (v == kKey) hasKey = 1;
}

void cPal::setPalette(int p, const uint32_t* list) {
  if (!list || p < 0 || p >= paletteCount) return;
  for (int c = 0; c < coloursPerPalette; ++c) setColour(p, c, list[c]);
}

uint32_t cPal::getColour(int p, int c) const {
  if (p < 0 || p >= paletteCount || c < 0 || c >= coloursPerPalette || !colours) return 0;
  uint32_t v = colours[p * coloursPerPalette + c];
  return 0xFF000000u | (v & 0xF800) << 8 | (v & 0x07E0) << 5 | (v & 0x1F) << 3;
}

void cPal::makeTint(int mode, int source, int destination) {
  // Modes above 4 are unknown and leave the destination alone.
  if (mode <= 0 || mode > 4 || coloursPerPalette == 0) return;
  if (source < 0 || source >= paletteCount) return;
  uint32_t* list = static_cast<uint32_t*>(memNew(static_cast<size_t>(coloursPerPalette) * 4));
  if (!list) return;
  for (int c = 0; c < coloursPerPalette; ++c) {
    uint32_t v = getColour(source, c);
    switch (mode) {
      case 1:
        v = (v | 0xFF3300) & ~0xFFu;
        break;
      case 2:
        v = (v | 0x33FF) & ~0xFF0000u;
        break;
      case 3:
        v &= ~0xFF00FFu;
        break;
      default: {
        uint32_t g = ((v & 0xFF) + ((v >> 16) & 0xFF) + ((v >> 8) & 0xFF)) / 3;
        v = g * 0x010101u | (v & 0xFF000000u);
        break;
      }
    }
    list[c] = v;
  }
  setPalette(destination, list);
  memDeleteArray(list);
}
