// Seeds for the layout fuzzer: groups from our writer.
#include <string>

#include "tools/table/TableWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  using tablelayout::Group;
  const Group pockets = {{0, 14, 17, {0, 0, 0, 0, 0, 3, 3}}, {1, 157, 151, {0, 0, 0, 0, 0, -5, 0}}};
  const Group cushions = {{0, 30, 20, {0, 0, 0, 0, 0}}, {1, 139, 20, {0, 0, 0, 0, 0}}, {2, 150, 9, {0, 0, 0, 0, 2}}};
  const Group balls = {{0, 85, 240, {}}, {8, 85, 82, {}}, {3, 200, 150, {}}, {15, 0, 0, {1}}};
  const Group seeds[] = {pockets, cushions, balls, {}};
  for (size_t i = 0; i < std::size(seeds); ++i)
    bar::writeFile(dir + "/group" + std::to_string(i) + ".bin", tablelayout::writeGroup(seeds[i]));
  return 0;
}
