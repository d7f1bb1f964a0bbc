// Seeds for the pack and texture fuzzers, from our pack and Targa writers:
// pack-*.seed in the first folder, texture-*.seed in the second.
#include <string>

#include "tools/image/ImageWriter.h"
#include "tools/pack/PackWriter.h"

namespace {

// The pack fuzzer's framing: u16 index length, index, data file.
respack::Bytes framed(const respack::Pack& pack) {
  respack::Bytes out = {static_cast<uint8_t>(pack.index.size()), static_cast<uint8_t>(pack.index.size() >> 8)};
  out.insert(out.end(), pack.index.begin(), pack.index.end());
  out.insert(out.end(), pack.data.begin(), pack.data.end());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string packs = argv[1], textures = argv[2];
  respack::Bytes text;
  for (int i = 0; i < 600; ++i) text.push_back(static_cast<uint8_t>("cushion "[i % 8]));
  respack::writeFile(packs + "/pack-empty.seed", framed(*respack::writePack({})));
  respack::writeFile(packs + "/pack-raw.seed", framed(*respack::writePack({{1, 2, 3}, {}, {9}})));
  respack::writeFile(packs + "/pack-packed.seed", framed(*respack::writePack({text, {7, 7}})));
  respack::writeFile(packs + "/pack-shuffled.seed",
                     framed({*respack::writeIndex({{2, 1}, {0, 2}, {1, 0}}), respack::writeData({{1}, text, {3, 4}})}));

  std::vector<uint32_t> palette(256, 0x336699);
  palette[9] = 0xFF00FF;
  std::vector<uint8_t> indices(32 * 32);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i * 7);
  respack::writeFile(textures + "/texture-mapped.seed", kvtools::writeTarga(32, 32, palette, indices));
  respack::writeFile(textures + "/texture-id.seed", kvtools::writeTarga(32, 32, {0xFFFFFF}, indices, "id"));
  respack::writeFile(textures + "/texture-true.seed",
                     kvtools::writeTargaTrueColour(32, 32, std::vector<uint32_t>(32 * 32, 0x80FF8040)));
  respack::Bytes second = {32, 0, 0, 0, 32, 0, 0, 0, 2, 0, 0, 0, 0xFF, 0, 0xFF, 0, 1, 2, 3, 0};
  for (size_t i = 0; i < 32 * 32; ++i) second.push_back(static_cast<uint8_t>(i & 1));
  respack::writeFile(textures + "/texture-palette.seed", second);
  return 0;
}
