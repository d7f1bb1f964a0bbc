// Fuzzes the archive reader: each input is written as "a.bar" and read both
// as an archive and as a stored raw file.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "game/Korvane/cGame/cGameResources.h"
#include "windows_brew/ShellHost.h"
#include "windows_brew/memory/Debug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static uint8_t running = 1;
  static ShellHost* shell = nullptr;
  static std::string folder;
  if (!shell) {
    setDebugTraceEnabled(false);
    folder = (std::filesystem::temp_directory_path() / ("kv_fuzz_bar_" + std::to_string(::getpid()))).string() + "/";
    std::filesystem::create_directories(folder);
    shell = new ShellHost(&running);
    shell->setRootPath(folder.c_str());
  }
  FILE* f = std::fopen((folder + "a.bar").c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  cGameResources resources;
  if (resources.loadBar("a.bar")) {
    for (int32_t i = -1; i <= resources.m_bar.count; ++i) delete[] resources.getBarEntryCopy(i);
  }
  resources.loadRawFile("a.bar");
  return 0;
}
