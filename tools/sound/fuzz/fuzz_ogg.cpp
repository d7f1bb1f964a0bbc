// Fuzzes the sound player's decode path: each input is a sound file of the
// install folder, looked over as at start-up and decoded into a fresh player
// as the sound loading does.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "wince/layer.h"
#include "windows_brew/OggSoundPlayer.h"
#include "zul/memory/Debug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::string folder;
  if (folder.empty()) {
    setDebugTraceEnabled(false);
    std::freopen("/dev/null", "w", stdout);  // the player's own reports
    folder = (std::filesystem::temp_directory_path() / ("kv_fuzz_ogg_" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(folder);
    wince::reset();
    wince::setWriteDir(folder);  // where the install folder's files are found first
  }
  FILE* f = std::fopen((folder + "/fuzz.ogg").c_str(), "wb");
  if (!f) return 0;
  const bool written = std::fwrite(data, 1, size, f) == size;
  if (std::fclose(f) != 0 || !written) return 0;
  checkOggSound(u"fuzz.ogg");
  OggSoundPlayer player;
  player.setCapacity(1);
  const WCHAR* names[1] = {u"fuzz.ogg"};
  getOggSounds(&player, names, 1, 1);
  return 0;
}
