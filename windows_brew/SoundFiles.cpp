#include "windows_brew/SoundFiles.h"

#include <cstdlib>
#include <string>

FILE* openSoundFile(const char* devicePath) {
  // Until the layer's path mapping is in: the install folder is the data folder.
  std::string p = devicePath;
  const std::string install = "\\Program Files\\Pelloran\\Korvane\\";
  if (p.compare(0, install.size(), install) == 0) {
    const char* data = std::getenv("KV_DATA_DIR");
    p = std::string(data ? data : ".") + "/" + p.substr(install.size());
  }
  for (char& c : p)
    if (c == '\\') c = '/';
  return std::fopen(p.c_str(), "rb");
}
