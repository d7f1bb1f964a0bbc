// The data set's sprite archives: assets/data/archives.txt names the source
// of every entry; buildDataSet makes each archive's entries and writes the
// archives through the bar writer.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mkdata {

struct EntrySource {
  int line = 0;
  std::string kind;  // art, placeholder, font, charmap, alpha, empty
  std::vector<std::string> args;
};

struct ArchiveSpec {
  std::string name;
  int line = 0;
  int entries = 0;
  std::map<int, EntrySource> sources;
};

struct Manifest {
  std::string file;
  std::vector<ArchiveSpec> archives;
};

// Parses the manifest; throws art::ArtError on a duplicate or missing entry,
// an unknown source or an entry of an undeclared archive.
Manifest parseManifest(const std::string& text, const std::string& file);
Manifest loadManifest(const std::string& path);

struct Paths {
  std::string assets;     // the assets folder (holds data/ and art/)
  std::string fonts;      // font0.bank, font1.bank, charmap.bin
  std::string fontFiles;  // the DejaVu fonts
};

// Every archive's unpacked entries, by archive name. Throws art::ArtError.
std::map<std::string, std::vector<std::vector<uint8_t>>> buildEntries(const Manifest& manifest, const Paths& paths);

// Builds and writes every archive into outDir; false with a message.
bool buildDataSet(const Paths& paths, const std::string& outDir, std::string* error);

}  // namespace mkdata
