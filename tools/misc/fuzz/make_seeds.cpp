// Seeds for the profile fuzzer: the data set's profile entry, and one cut
// short.
#include <fstream>
#include <sstream>
#include <string>

#include "tools/misc/ProfileWriter.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::ifstream in(argv[1]);
  std::stringstream source;
  source << in.rdbuf();
  std::vector<profiles::Profile> rows;
  std::string error;
  if (!profiles::parseSource(source.str(), rows, &error)) return 1;
  const std::vector<uint8_t> entry = profiles::writeProfiles(rows, &error);
  if (entry.empty()) return 1;
  const std::string dir = argv[2];
  std::ofstream(dir + "/profiles.bin", std::ios::binary).write(reinterpret_cast<const char*>(entry.data()), 550);
  std::ofstream(dir + "/short.bin", std::ios::binary).write(reinterpret_cast<const char*>(entry.data()), 300);
  return 0;
}
