// mkinterf: compiles the interface sources of a folder ("NNN-name.txt", one
// per interface NNN) into "interf.bar". Interfaces without a file are empty.
//
//   mkinterf <folder> <interf.bar>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/interface/InterfaceWriter.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mkinterf <folder> <interf.bar>\n");
    return 2;
  }
  std::error_code ec;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1], ec))
    if (entry.is_regular_file() && entry.path().extension() == ".txt") files.push_back(entry.path().string());
  if (ec) {
    std::fprintf(stderr, "mkinterf: cannot read %s\n", argv[1]);
    return 1;
  }
  std::sort(files.begin(), files.end());
  std::vector<interfacedata::Interface> interfaces(static_cast<size_t>(interfacedata::kInterfaceCount));
  std::vector<std::string> sourceOf(interfaces.size());
  for (const std::string& file : files) {
    const int n = interfacedata::interfaceNumberOf(file);
    if (n < 0) {
      std::fprintf(stderr, "mkinterf: %s: name must be NNN-name.txt with NNN below %d\n", file.c_str(),
                   interfacedata::kInterfaceCount);
      return 1;
    }
    if (!sourceOf[static_cast<size_t>(n)].empty()) {
      std::fprintf(stderr, "mkinterf: %s: interface %d is also %s\n", file.c_str(), n,
                   sourceOf[static_cast<size_t>(n)].c_str());
      return 1;
    }
    sourceOf[static_cast<size_t>(n)] = file;
    std::vector<uint8_t> raw;
    if (!bar::readFile(file, raw)) {
      std::fprintf(stderr, "mkinterf: cannot read %s\n", file.c_str());
      return 1;
    }
    std::string error;
    if (!interfacedata::compileInterface(std::string(raw.begin(), raw.end()), interfaces[static_cast<size_t>(n)],
                                         &error)) {
      std::fprintf(stderr, "mkinterf: %s: %s\n", file.c_str(), error.c_str());
      return 1;
    }
  }
  const std::vector<uint8_t> bytes = interfacedata::writeInterfaces(interfaces);
  if (bytes.empty() || !bar::writeFile(argv[2], bytes)) {
    std::fprintf(stderr, "mkinterf: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
