// Fuzzes the sound player's decode path: each input is a sound file of the
// install folder, looked over as at start-up and decoded into a fresh player
// as the sound loading does. Inputs whose first byte is odd have the
// checksum of each page they hold put right first, so that what follows the
// page check is reached too.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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
  std::vector<uint8_t> bytes(data, data + size);
  if (size > 0 && (data[0] & 1)) {
    for (size_t at = 0; size - at >= 27;) {
      uint8_t* p = bytes.data() + at;
      if (std::memcmp(p, "OggS", 4) != 0 || size - at < 27u + p[26]) break;
      size_t length = 27u + p[26];
      for (size_t i = 0; i < p[26]; ++i) length += p[27 + i];
      if (length > size - at) break;
      const uint32_t crc = oggPageChecksum(p, length);
      for (int b = 0; b < 4; ++b) p[22 + b] = static_cast<uint8_t>(crc >> (8 * b));
      at += length;
    }
  }
  FILE* f = std::fopen((folder + "/fuzz.ogg").c_str(), "wb");
  if (!f) return 0;
  const bool written = std::fwrite(bytes.data(), 1, size, f) == size;
  if (std::fclose(f) != 0 || !written) return 0;
  checkOggSound(u"fuzz.ogg");
  OggSoundPlayer player;
  player.setCapacity(1);
  const WCHAR* names[1] = {u"fuzz.ogg"};
  getOggSounds(&player, names, 1, 1);
  return 0;
}
