// Fuzzes the resource index and pack reader. An input is a u16 length L, then
// L bytes of "info.bar", then the rest as "data000.bar"; the pair is looked
// over, then every id of the index is opened and read, and fetched once as a
// shared record.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "game/GameResourceManager/GameResourceManager.h"
#include "windows_brew/ShellFileSystem.h"
#include "windows_brew/ShellHost.h"
#include "zul/memory/Debug.h"
#include "zul/memory/MemoryManager.h"

namespace {

struct Blob {
  virtual ~Blob() = default;
  int32_t first = 0;
};

bool writeFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  return true;
}

}  // namespace

bool loadManagedResource(ManagedResource<Blob>* record, ResourceManager&, Stream& stream) {
  record->first = stream.readByte();
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // No traces: writing them costs far more than what is fuzzed.
  static const bool s_quiet = (setDebugTraceEnabled(false), true);
  (void)s_quiet;
  static uint8_t running = 1;
  static ShellHost* shell = nullptr;
  static std::string folder;
  if (!shell) {
    folder = (std::filesystem::temp_directory_path() / ("kv_fuzz_pack_" + std::to_string(::getpid()))).string() + "/";
    std::filesystem::create_directories(folder);
    shell = new ShellHost(&running);
    shell->setRootPath(folder.c_str());
    setFileSystem(&shellFileSystem());
  }
  if (size < 2) return 0;
  const size_t indexSize = std::min<size_t>(size - 2, data[0] | data[1] << 8);
  if (!writeFile(folder + "info.bar", data + 2, indexSize) ||
      !writeFile(folder + "data000.bar", data + 2 + indexSize, size - 2 - indexSize))
    return 0;
  GameResourceManager manager;
  const char* file = nullptr;
  char what[128];
  manager.check(29, &file, what, sizeof what);
  manager.loadIndex();
  const uint32_t n = manager.getCount() < 64 ? manager.getCount() + 1 : 64;
  for (uint32_t id = 0; id < n; ++id) {
    if (Stream* s = manager.open(id)) {
      uint8_t buffer[64];
      while (s->read(buffer, sizeof buffer) > 0) {
      }
      manager.close(s);
    }
    manager.release(manager.get<Blob>(id));
  }
  return 0;
}
