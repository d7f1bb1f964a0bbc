// mkmisc: builds "misc.bar" from the readable profile source.
//
//   mkmisc <profiles.txt> <misc.bar>
#include <cstdio>
#include <string>

#include "tools/bar/BarWriter.h"
#include "tools/misc/ProfileWriter.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mkmisc <profiles.txt> <output.bar>\n");
    return 2;
  }
  std::vector<uint8_t> raw;
  if (!bar::readFile(argv[1], raw)) {
    std::fprintf(stderr, "mkmisc: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<profiles::Profile> rows;
  std::string error;
  if (!profiles::parseSource(std::string(raw.begin(), raw.end()), rows, &error)) {
    std::fprintf(stderr, "mkmisc: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  const std::vector<uint8_t> bytes = profiles::writeMiscArchive(rows, &error);
  if (bytes.empty() || !bar::writeFile(argv[2], bytes)) {
    std::fprintf(stderr, "mkmisc: cannot write %s %s\n", argv[2], error.c_str());
    return 1;
  }
  return 0;
}
