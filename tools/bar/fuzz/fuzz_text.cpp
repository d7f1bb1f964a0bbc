// Fuzzes the text table loader: each input is written as "text.bar" and
// loaded, and every string copied out.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "game/Korvane/cGame/cGame.h"
#include "windows_brew/ShellHost.h"
#include "windows_brew/memory/Debug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static uint8_t running = 1;
  static ShellHost* shell = nullptr;
  static std::string folder;
  if (!shell) {
    setDebugTraceEnabled(false);
    folder = (std::filesystem::temp_directory_path() / ("kv_fuzz_text_" + std::to_string(::getpid()))).string() + "/";
    std::filesystem::create_directories(folder);
    shell = new ShellHost(&running);
    shell->setRootPath(folder.c_str());
  }
  FILE* f = std::fopen((folder + "text.bar").c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  cGame game(nullptr);
  game.loadStrings(0);
  for (int32_t i = 0; i <= game.m_text.count; ++i) game.getStringCopy(i);
  return 0;
}
