// Seed models for the model reader's fuzzer, written by the model writer.
#include <cstdio>
#include <string>

#include "tools/model/ModelWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
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
