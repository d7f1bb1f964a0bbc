// Writes seed files for the mixer fuzzer into the folder given.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/sound/SampleWriter.h"

namespace {

void save(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s folder\n", argv[0]);
    return 1;
  }
  const std::string dir = std::string(argv[1]) + "/";
  std::vector<int16_t> wide;
  std::vector<int8_t> narrow;
  std::vector<uint8_t> unsignedBytes;
  for (int i = 0; i < 200; ++i) {
    wide.push_back(static_cast<int16_t>(i * 300 - 30000));
    narrow.push_back(static_cast<int8_t>(i - 100));
    unsignedBytes.push_back(static_cast<uint8_t>(i));
  }
  save(dir + "raw16", kvtools::rawSample16(11025, wide));
  save(dir + "raw8", kvtools::rawSample8(22050, narrow));
  save(dir + "wav16", kvtools::wavSample16(44100, wide));
  save(dir + "wav8", kvtools::wavSample8(8000, unsignedBytes));
  SSEAdpcmState state{};
  const auto nibbles = kvtools::encodeImaAdpcm(wide, state);
  save(dir + "adpcm", kvtools::adpcmFile(8000, nibbles, SSEAdpcmState{}, 20));
  return 0;
}
