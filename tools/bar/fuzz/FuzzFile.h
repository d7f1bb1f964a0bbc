// Fuzz harness helper: a shell over a folder of its own (traces off) and the
// input written there as a file the game can open by name.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "windows_brew/ShellFileSystem.h"
#include "windows_brew/ShellHost.h"
#include "zul/memory/Debug.h"

// The shell's root folder (with its trailing slash), made on first use.
inline const std::string& fuzzFolder() {
  static uint8_t running = 1;
  static ShellHost* shell = nullptr;
  static std::string folder;
  if (!shell) {
    setDebugTraceEnabled(false);
    folder = (std::filesystem::temp_directory_path() / ("kv_fuzz_" + std::to_string(::getpid()))).string() + "/";
    std::filesystem::create_directories(folder);
    shell = new ShellHost(&running);
    shell->setRootPath(folder.c_str());
    setFileSystem(&shellFileSystem());
  }
  return folder;
}

// True when the input now is the file "name" under the shell's root.
inline bool writeFuzzFile(const char* name, const uint8_t* data, size_t size) {
  const std::string& folder = fuzzFolder();
  FILE* f = std::fopen((folder + name).c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}
