// mktext: builds "text.bar" from the readable text source.
//
//   mktext <source.txt> <text.bar>
#include <cstdio>
#include <string>

#include "tools/text/TextTableWriter.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mktext <source> <output.bar>\n");
    return 2;
  }
  std::vector<uint8_t> raw;
  if (!bar::readFile(argv[1], raw)) {
    std::fprintf(stderr, "mktext: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<std::string> strings;
  std::string error;
  if (!texttable::parseSource(std::string(raw.begin(), raw.end()), strings, &error)) {
    std::fprintf(stderr, "mktext: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  std::vector<uint8_t> bytes = bar::writeArchive(texttable::buildEntries(strings));
  if (bytes.empty() || !bar::writeFile(argv[2], bytes)) {
    std::fprintf(stderr, "mktext: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
