// Seed models for the model reader's fuzzer, and seeds of the animation
// fuzzer, written by the model tool's writers.
#include <cstdio>
#include <string>

#include "tools/model/AnimationWriter.h"
#include "tools/model/ModelWriter.h"

namespace {

bool save(const std::string& path, uint8_t first, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fputc(first, f);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return true;
}

// Seeds of the animation fuzzer: a first byte of 0 for a mesh, 1 for a track.
bool animationSeeds(const std::string& dir) {
  kvmodel::AnimatedMesh mesh;
  for (int i = 0; i < 4; ++i) {
    kvmodel::AnimatedVertex v;
    v.first = {(i & 1) << 14, (i & 2) << 13, 0};
    v.second = {0, 1 << 14, 0};
    v.bone1 = static_cast<uint8_t>(i);
    v.bone2 = i == 3 ? 255 : 0;
    v.weight1 = 32;
    v.weight2 = 32;
    v.s = (i & 1) << 14;
    v.t = (i & 2) << 13;
    mesh.vertices.push_back(v);
  }
  mesh.triangles = {0, 1, 2, 2, 1, 3};
  std::vector<std::array<std::vector<int16_t>, 6>> keys(3);
  for (int b = 0; b < 3; ++b)
    for (int c = 0; c < 6; ++c) keys[b][c] = {0, 5, 5, 5, static_cast<int16_t>(100 * c), -7, 0, 300};
  const auto track = kvmodel::writeTrack(kvmodel::makeTrack(30, 10, {-1, 0, 1}, keys));
  const auto meshBytes = kvmodel::writeAnimatedMesh(mesh);
  return track && meshBytes && save(dir + "/anim-mesh", 0, *meshBytes) && save(dir + "/anim-track", 1, *track);
}

}  // namespace

int main(int argc, char** argv) {
  // model_seeds <model folder> [<animation folder>]
  if (argc != 2 && argc != 3) return 2;
  if (argc == 3 && !animationSeeds(argv[2])) return 1;
  kvmodel::SubMesh quad{1, {-16384, -16384, 0, 16384, -16384, 0, 16384, 16384, 0, -16384, 16384, 0},
                        {0, 0, 16384, 0, 16384, 16384, 0, 16384}, {0, 1, 2, 0, 2, 3}};
  kvmodel::SubMesh odd = quad;
  odd.indices.resize(3);
  const kvmodel::Model models[] = {
      {},
      {{{0, {quad}}}},
      {{{0, {odd, quad}}, {0, {}}}},
      {{{1, {quad, odd, quad}}, {2, {odd}}}},
  };
  int n = 0;
  for (const kvmodel::Model& m : models) {
    const auto bytes = kvmodel::writeModel(m);
    if (!bytes) return 1;
    const std::string path = std::string(argv[1]) + "/model" + std::to_string(n++);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 1;
    std::fwrite(bytes->data(), 1, bytes->size(), f);
    std::fclose(f);
  }
  return 0;
}
