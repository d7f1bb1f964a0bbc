// lzmawrite: writes a file as an LZMA-alone stream or as run-length blocks.
//   lzmawrite [--rle] [--level N] [--lc N] [--lp N] [--pb N] [--end-marker]
//             [--size-unknown] input output
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/lzma/LzmaWriter.h"

namespace {
int usage() {
  std::fprintf(stderr,
               "usage: lzmawrite [--rle] [--level N] [--lc N] [--lp N] [--pb N] [--end-marker] [--size-unknown] "
               "input output\n");
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  LzmaWriterOptions options;
  bool rle = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto number = [&](int& target) {
      if (i + 1 >= argc) return false;
      target = std::atoi(argv[++i]);
      return true;
    };
    if (a == "--rle") {
      rle = true;
    } else if (a == "--level") {
      if (!number(options.level)) return usage();
    } else if (a == "--lc") {
      if (!number(options.lc)) return usage();
    } else if (a == "--lp") {
      if (!number(options.lp)) return usage();
    } else if (a == "--pb") {
      if (!number(options.pb)) return usage();
    } else if (a == "--end-marker") {
      options.endMarker = true;
    } else if (a == "--size-unknown") {
      options.sizeUnknown = true;
    } else if (!a.empty() && a[0] == '-') {
      return usage();
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) return usage();
  std::ifstream in(files[0], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "lzmawrite: cannot read %s\n", files[0].c_str());
    return 1;
  }
  const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::vector<uint8_t> packed =
      rle ? rleEncodeBlocks(data.data(), data.size()) : lzmaAloneEncode(data.data(), data.size(), options);
  if (packed.empty() && !data.empty()) {
    std::fprintf(stderr, "lzmawrite: encoding failed\n");
    return 1;
  }
  std::ofstream out(files[1], std::ios::binary);
  out.write(reinterpret_cast<const char*>(packed.data()), static_cast<std::streamsize>(packed.size()));
  if (!out) {
    std::fprintf(stderr, "lzmawrite: cannot write %s\n", files[1].c_str());
    return 1;
  }
  return 0;
}
