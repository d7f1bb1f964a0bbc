#include "windows_brew/ShellFileSystem.h"

#include "windows_brew/ShellHost.h"

namespace {

ShellFile* shellFile(FileSystem::File* file) { return static_cast<ShellFile*>(file); }

class ShellFileSystem final : public FileSystem {
 public:
  File* open(const char* name, int32_t flag) override {
    ShellHost* shell = getShellHost();
    if (!shell || !name) return nullptr;
    return shell->openFile(shell->rootPath(), name, flag);
  }
  int32_t read(File* file, void* buffer, int32_t count) override { return shellFile(file)->read(buffer, count); }
  int32_t write(File* file, const void* buffer, int32_t count) override {
    return shellFile(file)->write(buffer, count);
  }
  int32_t seek(File* file, int32_t offset, int32_t origin) override { return shellFile(file)->seek(origin, offset); }
  int64_t size(File* file) override { return shellFile(file)->length(); }
  void close(File* file) override {
    if (ShellHost* shell = getShellHost()) {
      shell->releaseFile(shellFile(file));
    } else {
      shellFile(file)->close();
      delete shellFile(file);
    }
  }
  bool exists(const char* name) override {
    ShellHost* shell = getShellHost();
    return shell && name && shell->testFile(shell->rootPath(), name) != 1;
  }
};

// Never destroyed: streams may close while static objects are torn down.
constinit ShellFileSystem g_files;

}  // namespace

FileSystem& shellFileSystem() { return g_files; }
