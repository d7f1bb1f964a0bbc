// Fuzzes the save file's reader: each input is "save.sav" for a start-up
// (both resets, then the loaders and record 4), which reads it, makes it
// whole and writes it back, and a save after. The folder holds a link at the
// save's old staging name, pointing out of it: no input may have anything
// written through it, nor leave a staging file behind.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "game/Korvane/cGame/cGame.h"
#include "tools/bar/fuzz/FuzzFile.h"

namespace {

const std::string kSentinel = "not the game's";

std::string sentinelPath() { return fuzzFolder() + "../kv_fuzz_outside_" + std::to_string(::getpid()); }

bool plantLink() {
  std::ofstream(sentinelPath(), std::ios::binary | std::ios::trunc) << kSentinel;
  std::error_code ec;
  std::filesystem::create_symlink(sentinelPath(), fuzzFolder() + "save.sav.tmp", ec);
  return !ec;
}

void checkFolder() {
  std::ifstream in(sentinelPath(), std::ios::binary);
  if (std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()) != kSentinel) std::abort();
  for (const auto& e : std::filesystem::directory_iterator(fuzzFolder())) {
    const std::string name = e.path().filename().string();
    if (!e.is_symlink() && name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool planted = plantLink();
  if (!planted || !writeFuzzFile("save.sav", data, size)) return 0;
  {
    cGame game(nullptr);
    holdSaves(game, true);
    resetSettings(game);
    resetProgress(game);
    holdSaves(game, false);
    loadSettings(game);
    loadProgress(game);
    delete[] readSaveRecord(game, 4);
    game.career.progress.money += 1;
    saveProgress(game);
  }
  checkFolder();
  return 0;
}
