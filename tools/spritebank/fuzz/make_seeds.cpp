// Writes a seed corpus of sprite banks (every layout flag and encoding) for
// the bank parser's fuzz target.
#include <cstdio>
#include <string>

#include "tools/spritebank/SpriteBankWriter.h"

using namespace spritebank;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: spritebank_seeds <dir>\n");
    return 2;
  }
  int n = 0;
  const uint16_t formats[] = {kPal8888, kPal4444, kPal565, kPal1555};
  for (uint16_t enc : kAllEncodings) {
    for (int variant = 0; variant < 8; ++variant) {
      Bank b;
      int colours = enc == kEnc1Bit ? 2 : enc == kEnc2Bit ? 4 : 16;
      std::vector<uint8_t> px(12 * 5);
      for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint8_t>((i / (1 + variant)) % colours);
      b.modules.push_back(Module::image(12, 5, px, variant, -variant));
      b.modules.push_back(Module::filledRect(0x80FF8040, 6, 4));
      b.modules.push_back(Module::filledRect(0xFF0000FF, 1, 1));
      b.modules.push_back(Module::shadedRect(0xFFFF0000, 5, 7));
      b.modules.push_back(Module::image(3, 3, {1, 0, 1, 0, 1, 0, 1, 0, 1}));
      b.palettes.assign(1 + variant % 3, std::vector<uint32_t>(colours));
      for (size_t p = 0; p < b.palettes.size(); ++p)
        for (int c = 0; c < colours; ++c)
          b.palettes[p][c] = c == 0 ? 0x00FF00FF : 0xFF000000u | static_cast<uint32_t>(c * 0x102030 + p * 0x40);
      b.paletteFormat = formats[variant % 4];
      int pal = (variant & 4) ? 1 : 0;
      b.frames.push_back({{{0, 1, 2, variant & 7, pal}, {1, -3, 4, 0, 0}, {2, 0, 0, 0, 0}, {3, 2, 2, 0, 0}}});
      b.frames.push_back({{{4, 0, 0, 4, 0}, {0, 5, 5, kFmNestedFrame, 0}}});
      b.frames.push_back({});
      b.anims.push_back({{{0, 2, 1, -1, 1}, {1, 3, -2, 2, 2}, {2, 0, 0, 0, 0}}});
      b.anims.push_back({{{1, 1, 0, 0, 4}}});
      b.encoding = enc;
      b.flags = (variant & 1 ? kFlagSize16 : 0) | (variant & 2 ? kFlagPos16 : 0) | (variant & 4 ? kFlagLongFrameModules : 0);
      b.flags = b.minimalFlags();
      std::string error;
      std::vector<uint8_t> bytes = writeBank(b, &error);
      if (bytes.empty()) {
        std::fprintf(stderr, "spritebank_seeds: %s\n", error.c_str());
        return 1;
      }
      char name[64];
      std::snprintf(name, sizeof name, "/bank-%04x-%d.bin", enc, variant);
      if (!writeFile(argv[1] + std::string(name), bytes)) return 1;
      ++n;
    }
  }
  std::printf("spritebank_seeds: %d banks\n", n);
  return 0;
}
