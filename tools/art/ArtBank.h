// From an expanded recipe to a sprite bank: every frame drawn with cairo
// once per palette, the pictures quantised jointly into one index image with
// one palette per variant, then cut into modules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/art/Recipe.h"
#include "tools/spritebank/SpriteBankWriter.h"

namespace art {

// Un-premultiplied ARGB pixels, rows top first.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> argb;
};

struct RenderOptions {
  std::string fontDir = "/usr/share/fonts/truetype/dejavu";
};

// Draws one frame of the sheet in the colours of palette p.
Picture renderFrame(const Sheet& sheet, const FrameDef& frame, int palette, const RenderOptions& options = {});

// The transparent palette entry: it converts to the 16-bit colour key.
constexpr uint32_t kTransparent = 0x00FF00FF;
// Modules hold at most this many pixels; wide art is cut into strips.
constexpr int kMaxTilePixels = 8192;
constexpr int kStripWidth = 240;
constexpr int kMaxModules = 256;
constexpr int kMaxPalettes = 255;

// Result of joint quantisation: an index per pixel of every picture and
// one palette per picture set (pictures[p][f] = frame f in palette p).
struct Quantised {
  std::vector<std::vector<uint8_t>> indices;  // per frame
  std::vector<std::vector<uint32_t>> palettes;
  bool indexZeroTransparent = true;  // false only for wholly opaque art of 256 colours
};

// Every pixel with alpha 0 in all palettes gets index 0 (kTransparent);
// no other pixel does. Exact when the distinct colour tuples fit. Throws
// std::length_error when the palettes' visibility patterns alone need more
// than 256 entries.
// Colours of `keep` (opaque, palette 0) get an exact entry of their own
// when the drawing needs more than 256 colours.
Quantised quantise(const std::vector<std::vector<Picture>>& pictures, const std::vector<uint32_t>& keep = {});

struct BuiltBank {
  spritebank::Bank bank;
  std::vector<uint8_t> bytes;
  // Palette 0 colours of every module, used to make an alpha source.
  std::vector<std::vector<uint32_t>> moduleArgb;
};

// Builds the bank of a sheet; throws ArtError (file and line) when a limit
// of the format is passed.
BuiltBank buildBank(const Sheet& sheet, const RenderOptions& options = {});
BuiltBank buildRecipeFile(const std::string& path, const RenderOptions& options = {},
                          const std::map<std::string, double>& defines = {});

// An alpha source for banks shaped like `served`: the same modules, frames
// and animations, encoding 8 bits a pixel, indices 0-127 into a palette
// whose entries carry the alpha in their low byte.
BuiltBank buildAlphaSource(const BuiltBank& served);
int alphaIndex(int alpha);  // 0-127
uint32_t alphaEntry(int index);

// Writes every frame of a bank in one palette side by side on a checked
// ground, as the bank holds them (after quantisation), into a PNG file.
bool writeContactSheet(const spritebank::Bank& bank, int palette, const std::string& pngPath);

// True when both banks have the same module count and module sizes.
bool sameModuleShapes(const spritebank::Bank& a, const spritebank::Bank& b, std::string* why = nullptr);

}  // namespace art
