#include "tools/mkdata/DataSet.h"

#include <set>
#include <sstream>

#include "tools/art/ArtBank.h"
#include "tools/art/Placeholder.h"
#include "tools/bar/BarWriter.h"

namespace mkdata {

using art::ArtError;

namespace {

const std::set<std::string> kKinds = {"art", "placeholder", "font", "charmap", "alpha", "empty"};

}  // namespace

Manifest parseManifest(const std::string& text, const std::string& file) {
  Manifest m;
  m.file = file;
  auto find = [&](const std::string& name) -> ArchiveSpec* {
    for (ArchiveSpec& a : m.archives)
      if (a.name == name) return &a;
    return nullptr;
  };
  for (const auto& [lineNo, w] : art::listLines(text)) {
    if (w[0] == "archive") {
      if (w.size() != 3) throw ArtError(file, lineNo, "archive <name> <entry count>");
      if (find(w[1])) throw ArtError(file, lineNo, "archive " + w[1] + " declared twice");
      ArchiveSpec a;
      a.name = w[1];
      a.line = lineNo;
      a.entries = art::wholeNumber(w[2], file, lineNo, "entry count");
      m.archives.push_back(a);
      continue;
    }
    if (w.size() < 3) throw ArtError(file, lineNo, "<archive> <entry> <source> [arguments]");
    ArchiveSpec* a = find(w[0]);
    if (!a) throw ArtError(file, lineNo, "archive " + w[0] + " is not declared");
    int entry = art::wholeNumber(w[1], file, lineNo, "entry number");
    if (entry >= a->entries)
      throw ArtError(file, lineNo, w[0] + " has " + std::to_string(a->entries) + " entries; " + w[1] + " is past them");
    EntrySource src;
    src.line = lineNo;
    src.kind = w[2];
    src.args.assign(w.begin() + 3, w.end());
    if (!kKinds.count(src.kind)) throw ArtError(file, lineNo, "unknown source '" + src.kind + "'");
    size_t want = src.kind == "art" || src.kind == "font" ? 1 : src.kind == "alpha" ? 99 : 0;
    if ((want == 99 && src.args.empty()) || (want != 99 && src.args.size() != want))
      throw ArtError(file, lineNo, "wrong arguments for '" + src.kind + "'");
    if (src.kind == "font" && src.args[0] != "0" && src.args[0] != "1")
      throw ArtError(file, lineNo, "font 0 or font 1");
    if (src.kind == "alpha")
      for (const std::string& s : src.args) {
        int served = art::wholeNumber(s, file, lineNo, "entry number");
        if (served >= a->entries || served == entry) throw ArtError(file, lineNo, "bad served entry " + s);
      }
    auto prev = a->sources.find(entry);
    if (prev != a->sources.end())
      throw ArtError(file, lineNo,
                     w[0] + " " + w[1] + " listed twice (first on line " + std::to_string(prev->second.line) + ")");
    a->sources.emplace(entry, src);
  }
  for (const ArchiveSpec& a : m.archives)
    for (int e = 0; e < a.entries; ++e)
      if (!a.sources.count(e))
        throw ArtError(file, a.line, a.name + " entry " + std::to_string(e) + " is missing from the manifest");
  return m;
}

Manifest loadManifest(const std::string& path) { return parseManifest(art::readTextFile(path), path); }

std::map<std::string, std::vector<std::vector<uint8_t>>> buildEntries(const Manifest& manifest, const Paths& paths) {
  const std::vector<art::PlaceholderSpec> specs = art::loadPlaceholderSpecs(paths.assets + "/art/placeholders.txt");
  art::RenderOptions options;
  if (!paths.fontFiles.empty()) options.fontDir = paths.fontFiles;
  std::map<std::string, std::vector<std::vector<uint8_t>>> out;
  for (const ArchiveSpec& a : manifest.archives) {
    std::vector<std::vector<uint8_t>>& entries = out[a.name];
    entries.resize(static_cast<size_t>(a.entries));
    std::map<int, art::BuiltBank> banks;
    // Alpha sources last: they follow the banks they serve.
    for (int pass = 0; pass < 2; ++pass) {
      for (const auto& [e, src] : a.sources) {
        if ((src.kind == "alpha") != (pass == 1)) continue;
        std::vector<uint8_t>& bytes = entries[static_cast<size_t>(e)];
        if (src.kind == "empty") continue;
        if (src.kind == "charmap" || src.kind == "font") {
          std::string name = src.kind == "charmap" ? "charmap.bin" : "font" + src.args[0] + ".bank";
          std::string text = art::readTextFile(paths.fonts + "/" + name);
          bytes.assign(text.begin(), text.end());
          continue;
        }
        if (src.kind == "art" || src.kind == "placeholder") {
          art::BuiltBank bank;
          if (src.kind == "art") {
            bank = art::buildRecipeFile(paths.assets + "/art/" + src.args[0], options);
          } else {
            art::PlaceholderSpec counts = art::placeholderSpec(specs, a.name, e);
            std::string label = "placeholder " + a.name + " " + std::to_string(e);
            bank = art::buildBank(art::expandRecipe(art::parseRecipe(art::placeholderRecipe(counts), label)), options);
          }
          bytes = bank.bytes;
          banks.emplace(e, std::move(bank));
          continue;
        }
        // alpha <served...>: made from the first served bank; all must match it.
        std::vector<int> served;
        for (const std::string& s : src.args) served.push_back(std::stoi(s));
        for (int s : served)
          if (!banks.count(s))
            throw ArtError(manifest.file, src.line, a.name + " " + std::to_string(s) + " is not a drawn bank");
        const art::BuiltBank& first = banks.at(served[0]);
        for (int s : served) {
          std::string why;
          if (!art::sameModuleShapes(first.bank, banks.at(s).bank, &why))
            throw ArtError(manifest.file, src.line,
                           "the alpha source's banks differ: " + a.name + " " + std::to_string(s) + " against " +
                               std::to_string(served[0]) + ": " + why);
        }
        bytes = art::buildAlphaSource(first).bytes;
      }
    }
  }
  return out;
}

bool buildDataSet(const Paths& paths, const std::string& outDir, std::string* error) {
  try {
    Manifest m = loadManifest(paths.assets + "/data/archives.txt");
    auto entries = buildEntries(m, paths);
    for (const auto& [name, list] : entries) {
      std::vector<uint8_t> bytes = bar::writeArchive(list);
      if (bytes.empty() || !bar::writeFile(outDir + "/" + name, bytes)) {
        if (error) *error = "cannot write " + outDir + "/" + name;
        return false;
      }
    }
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
  return true;
}

}  // namespace mkdata
