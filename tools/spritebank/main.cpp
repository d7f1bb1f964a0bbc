// spritebank: writes a sprite bank from a text recipe.
//
//   spritebank <recipe> <output>
//
// Recipe lines (numbers in decimal or 0x hex; '#' starts a comment):
//   header N                   first u16 of the file
//   flags F                    extra header flags (layout flags are added as needed)
//   palette-format 0x8888|0x4444|0x6505|0x5515
//   palette ARGB ARGB ...      one line per palette
//   encoding auto|E            module pixel encoding
//   image W H X Y I I I ...    image module: size, position, W*H palette indices
//   fill ARGB W H              filled rectangle module
//   shade ARGB W H             shaded rectangle module
//   frame M X Y FLAGS [PAL] , M X Y FLAGS [PAL] , ...
//   anim FRAME TIME X Y FLAGS , FRAME TIME X Y FLAGS , ...
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/spritebank/SpriteBankWriter.h"

using namespace spritebank;

namespace {

bool number(const std::string& s, long& v) {
  try {
    size_t used = 0;
    v = std::stol(s, &used, 0);
    return used == s.size();
  } catch (...) {
    return false;
  }
}

// Splits a line's words into groups separated by ",".
std::vector<std::vector<long>> groups(std::istringstream& in, bool& ok) {
  std::vector<std::vector<long>> out(1);
  std::string w;
  while (in >> w) {
    if (w == ",") {
      out.emplace_back();
      continue;
    }
    long v;
    if (!number(w, v)) ok = false;
    out.back().push_back(v);
  }
  if (out.back().empty()) out.pop_back();
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: spritebank <recipe> <output>\n");
    return 2;
  }
  std::ifstream file(argv[1]);
  if (!file) {
    std::fprintf(stderr, "spritebank: cannot read %s\n", argv[1]);
    return 1;
  }
  Bank bank;
  std::string line;
  int lineNo = 0;
  while (std::getline(file, line)) {
    ++lineNo;
    if (size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream in(line);
    std::string key;
    if (!(in >> key)) continue;
    bool ok = true;
    std::string rest;
    if (key == "encoding") {
      in >> rest;
      long v = -1;
      if (rest != "auto" && !number(rest, v)) ok = false;
      bank.encoding = static_cast<int>(v);
    } else {
      auto g = groups(in, ok);
      std::vector<long> all;
      for (auto& x : g) all.insert(all.end(), x.begin(), x.end());
      if (key == "header" && all.size() == 1) {
        bank.header = static_cast<uint16_t>(all[0]);
      } else if (key == "flags" && all.size() == 1) {
        bank.flags |= static_cast<uint32_t>(all[0]);
      } else if (key == "palette-format" && all.size() == 1) {
        bank.paletteFormat = static_cast<uint16_t>(all[0]);
      } else if (key == "palette" && !all.empty()) {
        bank.palettes.emplace_back(all.begin(), all.end());
      } else if (key == "image" && all.size() >= 4) {
        std::vector<uint8_t> px(all.begin() + 4, all.end());
        bank.modules.push_back(Module::image(static_cast<int>(all[0]), static_cast<int>(all[1]), px,
                                             static_cast<int>(all[2]), static_cast<int>(all[3])));
      } else if ((key == "fill" || key == "shade") && all.size() == 3) {
        uint32_t c = static_cast<uint32_t>(all[0]);
        int w = static_cast<int>(all[1]), h = static_cast<int>(all[2]);
        bank.modules.push_back(key == "fill" ? Module::filledRect(c, w, h) : Module::shadedRect(c, w, h));
      } else if (key == "frame") {
        Frame f;
        for (auto& x : g) {
          if (x.size() != 4 && x.size() != 5) ok = false;
          if (!ok) break;
          f.modules.push_back({static_cast<int>(x[0]), static_cast<int>(x[1]), static_cast<int>(x[2]),
                               static_cast<int>(x[3]), x.size() == 5 ? static_cast<int>(x[4]) : 0});
        }
        bank.frames.push_back(f);
      } else if (key == "anim") {
        Anim a;
        for (auto& x : g) {
          if (x.size() != 5) ok = false;
          if (!ok) break;
          a.frames.push_back({static_cast<int>(x[0]), static_cast<int>(x[1]), static_cast<int>(x[2]),
                              static_cast<int>(x[3]), static_cast<int>(x[4])});
        }
        bank.anims.push_back(a);
      } else {
        ok = false;
      }
    }
    if (!ok) {
      std::fprintf(stderr, "spritebank: %s:%d: cannot read this line\n", argv[1], lineNo);
      return 1;
    }
  }
  bank.flags = bank.minimalFlags();
  std::string error;
  std::vector<uint8_t> bytes = writeBank(bank, &error);
  if (bytes.empty()) {
    std::fprintf(stderr, "spritebank: %s\n", error.c_str());
    return 1;
  }
  if (!writeFile(argv[2], bytes)) {
    std::fprintf(stderr, "spritebank: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
