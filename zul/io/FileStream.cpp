#include "zul/io/FileStream.h"

#include "windows_brew/ShellHost.h"
#include "windows_brew/memory/Debug.h"
#include "windows_brew/memory/TrackedNew.h"

namespace {
constexpr const char* kSource = "FileStream";

int32_t shellFlag(int32_t mode) {
  int32_t flag = 0;
  if (mode & 1) flag = 1;
  if (mode & 2) flag = 2;
  if (mode & 4) flag = 8;
  if (mode & 16) flag = 4;
  return flag;
}
}  // namespace

FileStream::FileStream() : m_holder(new (kSource, 303, nullptr) ShellFile*(nullptr)) {}

FileStream::FileStream(const char* name, int32_t mode) : m_holder(new (kSource, 312, nullptr) ShellFile*(nullptr)) {
  KV_CHECK(open(name, mode), 316, kSource);
}

FileStream::~FileStream() {
  FileStream::close();
  delete m_holder;
}

bool FileStream::open(const char* name, int32_t mode) {
  close();  // a held file is released first, its contents kept
  ShellHost* shell = getShellHost();
  if (!m_holder || !shell || !name) return false;
  ShellFile* file = shell->openFile(shell->rootPath(), name, shellFlag(mode));
  if (!file) return false;
  *m_holder = file;
  ShellFileInfo info{};
  file->getInfo(&info);
  m_open = info.size != 0 ? 1 : 0;
  return m_open != 0;
}

void FileStream::close() {
  if (holdsFile()) {
    if (ShellHost* shell = getShellHost()) {
      shell->releaseFile(*m_holder);
    } else {
      (*m_holder)->close();
      delete *m_holder;
    }
    *m_holder = nullptr;
  }
  m_open = 0;
}

int32_t FileStream::read(void* buffer, int32_t count) {
  if (!KV_CHECK(holdsFile(), 94, kSource)) return 0;
  return (*m_holder)->read(buffer, count);
}

int32_t FileStream::write(const void* buffer, int32_t count) {
  if (!KV_CHECK(holdsFile(), 104, kSource)) return 0;
  return (*m_holder)->write(buffer, count);
}

int32_t FileStream::seek(int32_t offset, int32_t origin) {
  if (!KV_CHECK(holdsFile(), 114, kSource)) return 0;
  return (*m_holder)->seek(origin, offset);
}

int32_t FileStream::tell() {
  if (!KV_CHECK(holdsFile(), 124, kSource)) return 0;
  return (*m_holder)->seek(1, 0);
}

int32_t FileStream::size() {
  if (!KV_CHECK(holdsFile(), 134, kSource)) return 0;
  ShellFileInfo info{};
  (*m_holder)->getInfo(&info);
  return static_cast<int32_t>(info.size);
}

bool FileStream::exists(const char* name) {
  ShellHost* shell = getShellHost();
  if (!shell || !name) return false;
  return shell->testFile(shell->rootPath(), name) != 1;
}
