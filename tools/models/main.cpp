// mkmodels DIMENSIONS TABLE_SOURCE OUTDIR: writes the ball view's models with
// the model writer: OUTDIR/model16.bin (table), model17.bin (held cue) and
// model18.bin (ball). Fails, writing nothing, when a model breaks what the
// game's loader and renderer can take.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/models/SceneModels.h"
#include "tools/table/TableWriter.h"

namespace {

bool readText(const char* path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  out = s.str();
  return true;
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: mkmodels DIMENSIONS TABLE_SOURCE OUTDIR\n");
    return 2;
  }
  std::string text, source, error;
  if (!readText(argv[1], text) || !readText(argv[2], source)) {
    std::fprintf(stderr, "mkmodels: cannot read %s or %s\n", argv[1], argv[2]);
    return 1;
  }
  scenemodels::Dimensions d;
  if (!scenemodels::parseDimensions(text, d, &error)) {
    std::fprintf(stderr, "mkmodels: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  std::vector<tablelayout::Group> groups;
  if (!tablelayout::parseSource(source, groups, &error)) {
    std::fprintf(stderr, "mkmodels: %s: %s\n", argv[2], error.c_str());
    return 1;
  }
  if (groups.size() < 2) {
    std::fprintf(stderr, "mkmodels: %s: no pockets or cushion outline\n", argv[2]);
    return 1;
  }
  scenemodels::TablePoints points;
  for (const tablelayout::Record& r : groups[0]) points.pockets.push_back({r.x, r.y});
  for (const tablelayout::Record& r : groups[1]) points.outline.push_back({r.x, r.y});

  const struct {
    const char* name;
    std::optional<kvmodel::Model> (*build)(const scenemodels::Dimensions&, const scenemodels::TablePoints&,
                                           std::string*);
  } models[] = {{"model16.bin", scenemodels::buildTable},
                {"model17.bin", scenemodels::buildCue},
                {"model18.bin", scenemodels::buildBall}};
  std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
  for (const auto& m : models) {
    std::optional<kvmodel::Model> model = m.build(d, points, &error);
    std::optional<std::vector<uint8_t>> bytes;
    if (model) bytes = kvmodel::writeModel(*model);
    if (!bytes) {
      std::fprintf(stderr, "mkmodels: %s: %s\n", m.name, model ? "not writable" : error.c_str());
      return 1;
    }
    size_t vertices = 0, triangles = 0;
    for (const kvmodel::Part& part : model->parts)
      for (const kvmodel::SubMesh& sub : part.subMeshes) {
        vertices += sub.positions.size() / 3;
        triangles += sub.indices.size() / 3;
      }
    std::printf("mkmodels: %s: %zu vertices, %zu triangles\n", m.name, vertices, triangles);
    out.emplace_back(m.name, std::move(*bytes));
  }
  for (const auto& [name, bytes] : out)
    if (!writeBytes(std::string(argv[3]) + "/" + name, bytes)) {
      std::fprintf(stderr, "mkmodels: cannot write %s/%s\n", argv[3], name.c_str());
      return 1;
    }
  return 0;
}
