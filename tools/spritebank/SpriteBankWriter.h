// Sprite bank writer: builds the byte image of a bank from modules, frames,
// animations and palettes. Every header flag and pixel encoding can be
// chosen; by default the smallest encoding for the whole bank is taken.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zul/2d/SpriteBankFormat.h"

namespace spritebank {

struct Module {
  uint8_t kind = kKindImage;  // kKindImage, kKindFilledRect, kKindShadedRect
  int x = 0, y = 0;           // written only when the bank has a position flag
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;  // width x height palette indices (image modules)
  uint32_t colour = 0;          // ARGB of a colour module

  static Module image(int w, int h, std::vector<uint8_t> indices, int x = 0, int y = 0);
  static Module filledRect(uint32_t argb, int w, int h);
  static Module shadedRect(uint32_t argb, int w, int h);
};

struct FrameModule {
  int module = 0;  // module index, or frame index with kFmNestedFrame
  int x = 0, y = 0;
  int flags = 0;
  int palette = 0;  // written with kFlagFrameModulePalette and long records
};

struct Frame {
  std::vector<FrameModule> modules;
};

struct AnimFrame {
  int frame = 0;
  int time = 1;  // update ticks; 0 = shown forever
  int x = 0, y = 0;
  int flags = 0;
};

struct Anim {
  std::vector<AnimFrame> frames;
};

struct Bank {
  uint16_t header = 0;  // first u16, not read by the game
  // Header flags. kFlagPixelData is added when palettes are given; the other
  // bits are written as set here (see minimalFlags for a choice).
  uint32_t flags = 0;
  std::vector<Module> modules;
  std::vector<Frame> frames;
  std::vector<Anim> anims;
  uint16_t paletteFormat = kPal8888;
  std::vector<std::vector<uint32_t>> palettes;  // ARGB, all the same size (1-256)
  int encoding = -1;  // -1: the smallest of the encodings that fit

  // Layout bits that the content needs (positions, sizes, long records,
  // palette bytes), OR-ed with `flags`.
  uint32_t minimalFlags() const;
};

// Palette entry for a format from ARGB (the reverse of the reader's
// conversion wherever the format can hold the colour).
uint32_t argbToPaletteEntry(uint16_t format, uint32_t argb);

// Encodes count indices. Empty with *ok = false when the encoding cannot
// hold them (an index too large for it).
std::vector<uint8_t> encodeIndices(uint16_t encoding, const uint8_t* indices, int count, int colours,
                                   bool* ok);

// The byte image of the bank; empty with a message in *error when the
// content does not fit the chosen flags (or is inconsistent).
std::vector<uint8_t> writeBank(const Bank& bank, std::string* error = nullptr);

// The encoding writeBank would use for the bank's modules (-1 when none fits).
int chooseEncoding(const Bank& bank);

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace spritebank
