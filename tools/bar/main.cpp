// barwrite: writes a ".bar" archive from files, one entry per file.
//
//   barwrite <output.bar> <entry0> <entry1> ...
//
// An entry named "-" is empty (size 0).
#include <cstdio>
#include <string>

#include "tools/bar/BarWriter.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: barwrite <output.bar> <entry>...\n");
    return 2;
  }
  std::vector<bar::Entry> entries;
  for (int i = 2; i < argc; ++i) {
    entries.emplace_back();
    if (std::string(argv[i]) != "-" && !bar::readFile(argv[i], entries.back())) {
      std::fprintf(stderr, "barwrite: cannot read %s\n", argv[i]);
      return 1;
    }
  }
  std::vector<uint8_t> bytes = bar::writeArchive(entries);
  if (bytes.empty() || !bar::writeFile(argv[1], bytes)) {
    std::fprintf(stderr, "barwrite: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
