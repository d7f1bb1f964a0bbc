#include "zul/io/FileSystem.h"

#include <atomic>

namespace {
std::atomic<FileSystem*> g_files{nullptr};
}  // namespace

void setFileSystem(FileSystem* files) { g_files.store(files, std::memory_order_release); }
FileSystem* fileSystem() { return g_files.load(std::memory_order_acquire); }
