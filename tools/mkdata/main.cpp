// mkdata: builds the sprite archives of the data set from assets/.
//
//   mkdata <assets dir> <font intermediates dir> <output dir> [<DejaVu dir>]
#include <cstdio>

#include "tools/mkdata/DataSet.h"

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: mkdata <assets> <fonts> <out> [<font files>]\n");
    return 2;
  }
  mkdata::Paths paths{argv[1], argv[2], argc == 5 ? argv[4] : ""};
  std::string error;
  if (!mkdata::buildDataSet(paths, argv[3], &error)) {
    std::fprintf(stderr, "mkdata: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
