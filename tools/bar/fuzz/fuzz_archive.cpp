// Fuzzes the archive reader and the text table loader: each input is
// written as "text.bar" and loaded both ways.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "game/Korvane/cGame/cGame.h"
#include "windows_brew/ShellHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static uint8_t running = 1;
  static ShellHost* shell = nullptr;
  static std::string folder;
  if (!shell) {
    folder = (std::filesystem::temp_directory_path() / ("kv_fuzz_bar_" + std::to_string(::getpid()))).string() + "/";
    std::filesystem::create_directories(folder);
    shell = new ShellHost(&running);
    shell->setRootPath(folder.c_str());
  }
  FILE* f = std::fopen((folder + "text.bar").c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  cGame game(nullptr);
  if (game.loadBar("text.bar")) {
    for (int32_t i = -1; i <= game.m_bar.count; ++i) delete[] game.getBarEntryCopy(i);
  }
  game.loadStrings(0);
  for (int32_t i = 0; i <= game.m_text.count; ++i) game.getStringCopy(i);
  return 0;
}
