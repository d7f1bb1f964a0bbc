#include "windows_brew/HostFiles.h"

#include <cstring>
#include <string>

#include "wince/crt.h"

namespace {

// Shell paths are device paths (backslashes) mapped by the layer; a path
// that is already one of this system's ("/...") is used as it stands.
bool isNativePath(const char* path) { return path && path[0] == '/'; }

HostFileKind kindOf(int layerKind) {
  return layerKind == kCeFileRegular ? HostFileKind::Regular
         : layerKind == kCeFileNone  ? HostFileKind::None
                                     : HostFileKind::Other;
}

}  // namespace

FILE* hostFileOpen(const char* path, const char* mode) {
  return isNativePath(path) ? ceFopenNative(path, mode) : ceFopen(path, mode);
}

FILE* hostFileOpenWritten(const char* path, const char* mode) {
  return isNativePath(path) ? ceFopenNative(path, mode) : ceFopenWritten(path, mode);
}

FILE* hostFileCreateStaging(const char* path, char* staging, std::size_t capacity) {
  if (!staging || capacity == 0) return nullptr;
  staging[0] = '\0';
  std::string name;
  FILE* f = isNativePath(path) ? ceCreateStagingNative(path, &name) : ceCreateStaging(path, &name);
  if (f && name.size() < capacity) {
    std::memcpy(staging, name.c_str(), name.size() + 1);
    return f;
  }
  if (f) {
    std::fclose(f);
    hostFileRemove(name.c_str());
  }
  return nullptr;
}

void hostFileRemoveStaleStaging(const char* path) {
  if (isNativePath(path)) {
    ceRemoveStaleStagingNative(path);
  } else {
    ceRemoveStaleStaging(path);
  }
}

bool hostFileReplace(const char* from, const char* to) {
  if (isNativePath(from) && isNativePath(to)) return ceRenameNative(from, to) == 0;
  return ceRename(from, to) == 0;
}

bool hostFileCommit(FILE* file) { return ceCommit(file) == 0; }

HostFileKind hostFileKind(const char* path) {
  return kindOf(isNativePath(path) ? ceFileKindNative(path) : ceFileKind(path));
}

HostFileKind hostFileKindWritten(const char* path) {
  return kindOf(isNativePath(path) ? ceFileKindNative(path) : ceFileKindWritten(path));
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
