// Fuzzes the save file's reader: each input is "save.sav" for a start-up
// (both resets, then the loaders and record 4), which reads it, makes it
// whole and writes it back, and a save after.
#include "game/Korvane/cGame/cGame.h"
#include "tools/bar/fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!writeFuzzFile("save.sav", data, size)) return 0;
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
  return 0;
}
