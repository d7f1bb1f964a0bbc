// mkpack MANIFEST OUTDIR: builds "info.bar" and "data000.bar" from a manifest.
// Each manifest line is "id file" or "id file raw" (never packed); '#' starts
// a comment; files are named relative to the manifest's folder. Ids without a
// line get an empty entry.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/pack/PackWriter.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mkpack MANIFEST OUTDIR\n");
    return 2;
  }
  const std::filesystem::path manifest = argv[1];
  std::ifstream in(manifest);
  if (!in) {
    std::fprintf(stderr, "mkpack: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<respack::Bytes> stored;
  std::vector<bool> seen;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    long id = -1;
    std::string file, option;
    if (!(words >> id)) continue;
    if (!(words >> file) || id < 0 || id > static_cast<long>(respack::kMaxPosition)) {
      std::fprintf(stderr, "mkpack: %s:%d: expected \"id file [raw]\"\n", argv[1], lineNo);
      return 1;
    }
    words >> option;
    if (!option.empty() && option != "raw") {
      std::fprintf(stderr, "mkpack: %s:%d: unknown option %s\n", argv[1], lineNo, option.c_str());
      return 1;
    }
    const std::filesystem::path path = manifest.parent_path() / file;
    std::optional<respack::Bytes> bytes = respack::readFile(path.string());
    if (!bytes) {
      std::fprintf(stderr, "mkpack: cannot read %s\n", path.c_str());
      return 1;
    }
    const size_t at = static_cast<size_t>(id);
    if (stored.size() <= at) {
      stored.resize(at + 1);
      seen.resize(at + 1);
    }
    if (seen[at]) {
      std::fprintf(stderr, "mkpack: %s:%d: id %ld given twice\n", argv[1], lineNo, id);
      return 1;
    }
    std::optional<respack::Bytes> entry = respack::encodeEntry(*bytes, option != "raw");
    if (!entry) {
      std::fprintf(stderr, "mkpack: %s: starts like a packed entry; cannot be stored raw\n", path.c_str());
      return 1;
    }
    stored[at] = std::move(*entry);
    seen[at] = true;
  }
  std::vector<respack::Descriptor> descriptors;
  for (size_t i = 0; i < stored.size(); ++i) descriptors.push_back({static_cast<uint32_t>(i), 0});
  respack::Pack pack{*respack::writeIndex(descriptors), respack::writeData(stored)};
  std::optional<std::vector<respack::Bytes>> check = respack::readPack(pack);
  if (!check || *check != stored) {
    std::fprintf(stderr, "mkpack: the written pack does not read back\n");
    return 1;
  }
  const std::filesystem::path out = argv[2];
  std::filesystem::create_directories(out);
  if (!respack::writeFile((out / "info.bar").string(), pack.index) ||
      !respack::writeFile((out / "data000.bar").string(), pack.data)) {
    std::fprintf(stderr, "mkpack: cannot write into %s\n", argv[2]);
    return 1;
  }
  return 0;
}
