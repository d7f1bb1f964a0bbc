// Fuzzes the archive reader: each input is written as "a.bar" and read both
// as an archive and as a stored raw file.
#include "game/Korvane/cGame/cGameResources.h"
#include "tools/bar/fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!writeFuzzFile("a.bar", data, size)) return 0;
  cGameResources resources;
  if (resources.loadBar("a.bar")) {
    for (int32_t i = -1; i <= resources.m_bar.count; ++i) delete[] resources.getBarEntryCopy(i);
  }
  resources.loadRawFile("a.bar");
  return 0;
}
