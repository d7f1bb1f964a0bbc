#include "windows_brew/HostFiles.h"

#include <cstring>

#include "wince/crt.h"

FILE* hostFileOpen(const char* path, const char* mode) { return ceFopen(path, mode); }

bool hostFileReplace(const char* from, const char* to) { return ceRename(from, to) == 0; }

void hostFileRemove(const char* path) { ceRemove(path); }

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
