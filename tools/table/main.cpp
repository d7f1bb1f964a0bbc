// mktable: builds "table.bar" from the readable layout source.
//
//   mktable <table.txt> <table.bar>
#include <cstdio>
#include <string>

#include "tools/table/TableWriter.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mktable <source> <output.bar>\n");
    return 2;
  }
  std::vector<uint8_t> raw;
  if (!bar::readFile(argv[1], raw)) {
    std::fprintf(stderr, "mktable: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<tablelayout::Group> groups;
  std::string error;
  if (!tablelayout::parseSource(std::string(raw.begin(), raw.end()), groups, &error)) {
    std::fprintf(stderr, "mktable: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  if (groups.size() != static_cast<size_t>(tablelayout::kGroupCount)) {
    std::fprintf(stderr, "mktable: %s: %zu groups, %d expected\n", argv[1], groups.size(), tablelayout::kGroupCount);
    return 1;
  }
  std::vector<uint8_t> bytes = tablelayout::writeTable(groups);
  if (bytes.empty() || !bar::writeFile(argv[2], bytes)) {
    std::fprintf(stderr, "mktable: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
