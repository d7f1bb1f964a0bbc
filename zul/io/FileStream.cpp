#include "zul/io/FileStream.h"

#include "zul/memory/Debug.h"
#include "zul/memory/TrackedNew.h"

namespace {
constexpr const char* kSource = "FileStream";

// The last of the bits 1, 2, 4, 16 that is set decides.
int32_t openFlag(int32_t mode) {
  int32_t flag = 0;
  if (mode & 1) flag = FileSystem::kOpenRead;
  if (mode & 2) flag = FileSystem::kOpenWrite;
  if (mode & 4) flag = FileSystem::kOpenAppend;
  if (mode & 16) flag = FileSystem::kOpenCreate;
  return flag;
}
}  // namespace

FileStream::FileStream() : m_holder(new (kSource, 303, nullptr) FileSystem::File*(nullptr)) {}

FileStream::FileStream(const char* name, int32_t mode)
    : m_holder(new (kSource, 312, nullptr) FileSystem::File*(nullptr)) {
  KV_CHECK(open(name, mode), 316, kSource);
}

FileStream::~FileStream() {
  FileStream::close();
  delete m_holder;
}

bool FileStream::open(const char* name, int32_t mode) {
  close();  // a held file is released first, its contents kept
  FileSystem* files = fileSystem();
  if (!m_holder || !files || !name) return false;
  FileSystem::File* file = files->open(name, openFlag(mode));
  if (!file) return false;
  *m_holder = file;
  m_files = files;
  m_open = files->size(file) != 0 ? 1 : 0;
  return m_open != 0;
}

void FileStream::close() {
  if (holdsFile()) {
    m_files->close(*m_holder);
    *m_holder = nullptr;
  }
  m_open = 0;
}

int32_t FileStream::read(void* buffer, int32_t count) {
  if (!KV_CHECK(holdsFile(), 94, kSource)) return 0;
  return m_files->read(*m_holder, buffer, count);
}

int32_t FileStream::write(const void* buffer, int32_t count) {
  if (!KV_CHECK(holdsFile(), 104, kSource)) return 0;
  return m_files->write(*m_holder, buffer, count);
}

int32_t FileStream::seek(int32_t offset, int32_t origin) {
  if (!KV_CHECK(holdsFile(), 114, kSource)) return 0;
  return m_files->seek(*m_holder, offset, origin);
}

int32_t FileStream::tell() {
  if (!KV_CHECK(holdsFile(), 124, kSource)) return 0;
  return m_files->seek(*m_holder, 0, 1);
}

int64_t FileStream::size() {
  if (!KV_CHECK(holdsFile(), 134, kSource)) return 0;
  return m_files->size(*m_holder);
}

bool FileStream::exists(const char* name) {
  FileSystem* files = fileSystem();
  return files && name && files->exists(name);
}
