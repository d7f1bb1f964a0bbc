// Fuzzes the text table loader: each input is written as "text.bar" and
// loaded, and every string copied out.
#include "game/Korvane/cGame/cGame.h"
#include "tools/bar/fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!writeFuzzFile("text.bar", data, size)) return 0;
  cGame game(nullptr);
  game.loadStrings(0);
  for (int32_t i = 0; i <= game.m_text.count; ++i) game.getStringCopy(i);
  return 0;
}
