#include "windows_brew/HostFiles.h"

#include <cstring>

#include "wince/crt.h"

namespace {

// Shell paths are device paths (backslashes) mapped by the layer; a path
// that is already one of this system's ("/...") is used as it stands.
bool isNativePath(const char* path) { return path && path[0] == '/'; }

}  // namespace

FILE* hostFileOpen(const char* path, const char* mode) {
  return isNativePath(path) ? std::fopen(path, mode) : ceFopen(path, mode);
}

bool hostFileReplace(const char* from, const char* to) {
  if (isNativePath(from) && isNativePath(to)) return std::rename(from, to) == 0;
  return ceRename(from, to) == 0;
}

void hostFileRemove(const char* path) {
  if (isNativePath(path)) {
    std::remove(path);
  } else {
    ceRemove(path);
  }
}

bool joinPath(char* out, std::size_t capacity, const char* folder, const char* name) {
  if (!out || capacity == 0) return false;
  out[0] = '\0';
  std::size_t a = folder ? std::strlen(folder) : 0;
  std::size_t b = name ? std::strlen(name) : 0;
  if (a + b + 1 > capacity) return false;
  if (a) std::memcpy(out, folder, a);
  if (b) std::memcpy(out + a, name, b);
  out[a + b] = '\0';
  return true;
}
