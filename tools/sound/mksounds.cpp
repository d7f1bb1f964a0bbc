// mksounds OUTDIR: writes the game's 15 sound files.
#include <cstdio>
#include <string>

#include "tools/sound/SoundSynth.h"
#include "tools/sound/OggWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mksounds OUTDIR\n");
    return 2;
  }
  std::string dir = argv[1];
  for (int id = 0; id < kvtools::kSoundCount; ++id) {
    std::string path = dir + "/" + kvtools::soundFileName(id);
    std::string err;
    if (!kvtools::writeOggVorbis(path, kvtools::synthesizeSound(id), kvtools::kSoundRate,
                                 kvtools::kSoundChannels, 0.3f, &err)) {
      std::fprintf(stderr, "mksounds: %s: %s\n", path.c_str(), err.c_str());
      return 1;
    }
  }
  return 0;
}
