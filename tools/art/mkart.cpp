// mkart: draws one art recipe into a sprite bank file.
//
//   mkart <recipe.art> <out.bank> [-D name=value]... [--fonts <DejaVu dir>]
//         [--png <sheet.png> [--palette <p>]]
// --png writes every frame as the bank holds it, to look at.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/art/ArtBank.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: mkart <recipe.art> <out.bank> [-D name=value]... [--fonts <dir>]\n");
    return 2;
  }
  art::RenderOptions options;
  std::map<std::string, double> defines;
  std::string png;
  int palette = 0;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--fonts") == 0 && i + 1 < argc) {
      options.fontDir = argv[++i];
    } else if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
      png = argv[++i];
    } else if (std::strcmp(argv[i], "--palette") == 0 && i + 1 < argc) {
      palette = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "-D") == 0 && i + 1 < argc) {
      std::string d = argv[++i];
      size_t eq = d.find('=');
      char* end = nullptr;
      double v = eq == std::string::npos ? 0 : std::strtod(d.c_str() + eq + 1, &end);
      if (eq == std::string::npos || !end || *end) {
        std::fprintf(stderr, "mkart: -D name=number\n");
        return 2;
      }
      defines[d.substr(0, eq)] = v;
    } else {
      std::fprintf(stderr, "mkart: unknown argument %s\n", argv[i]);
      return 2;
    }
  }
  try {
    art::BuiltBank bank = art::buildRecipeFile(argv[1], options, defines);
    if (!spritebank::writeFile(argv[2], bank.bytes)) {
      std::fprintf(stderr, "mkart: cannot write %s\n", argv[2]);
      return 1;
    }
    if (!png.empty() && !art::writeContactSheet(bank.bank, palette, png)) {
      std::fprintf(stderr, "mkart: cannot write %s (palette %d)\n", png.c_str(), palette);
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkart: %s\n", e.what());
    return 1;
  }
  return 0;
}
