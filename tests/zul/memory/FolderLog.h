// A log writer of the tests' own: each report file in one folder, under the
// last part of its name ("d:\stackMax.txt" becomes <folder>/stackMax.txt).
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "zul/memory/Debug.h"

struct FolderLog final : LogWriter {
  std::string folder;
  explicit FolderLog(std::string f) : folder(std::move(f)) {}
  std::FILE* openFile(const char* name) override {
    const char* slash = std::strrchr(name, '\\');
    return std::fopen((folder + "/" + (slash ? slash + 1 : name)).c_str(), "w");
  }
  void debugOutput(const char*) override {}
};
