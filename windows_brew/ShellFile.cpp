#include "windows_brew/ShellFile.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "windows_brew/HostFiles.h"
#include "zul/memory/Debug.h"

namespace {

// Length of an open file; the position goes back to the start. -1 on error.
int64_t fileLength(FILE* f) {
  if (::fseeko(f, 0, SEEK_END) != 0) return -1;
  const int64_t n = ::ftello(f);
  ::fseeko(f, 0, SEEK_SET);
  return n;
}

}  // namespace

ShellFile::ShellFile(const char* path, const char* mode) {
  if (mode) {
    m_mode[0] = mode[0];
    if (mode[0]) m_mode[1] = mode[1];
  }
  bool pathFits = path && std::strlen(path) <= static_cast<std::size_t>(kMaxPath);
  if (pathFits) std::strcpy(m_name, path);
  debugTrace("\ncreating: filename: %s, mode: %s\n", m_name, m_mode);

  if (pathFits) {
    if (isMemoryMode()) {
      m_position = 0;
      // The old content is that of the file this one replaces, where the
      // program writes it.
      if (FILE* old = hostFileOpenWritten(m_name, "rb")) {
        const int64_t n = fileLength(old);
        // Old content that cannot be held or read: the open fails rather
        // than lose it at close.
        bool kept = n >= 0 && n <= INT32_MAX;
        if (kept && n > 0) {
          m_image = static_cast<uint8_t*>(std::malloc(static_cast<std::size_t>(n)));
          kept = m_image && std::fread(m_image, 1, static_cast<std::size_t>(n), old) == static_cast<std::size_t>(n);
          if (kept) m_size = static_cast<int32_t>(n);
        }
        std::fclose(old);
        if (!kept) {
          std::free(m_image);
          m_image = nullptr;
          debugTrace("\nsize: %d\n", m_size);
          return;
        }
      } else if (hostFileKindWritten(m_name) != HostFileKind::None) {
        // Something is there that cannot be read (a folder, a pipe, a file
        // without permission): it is not replaced.
        debugTrace("\nsize: %d\n", m_size);
        return;
      }
      // The image is written to a staging file of this write's own at
      // close, which then replaces the file: a failed write never loses the
      // old content, and no other writer shares the staging file.
      m_handle = hostFileCreateStaging(m_name, m_staging, sizeof m_staging);
    } else {
      m_handle = hostFileOpen(m_name, m_mode);
      if (m_handle) {
        m_length = fileLength(m_handle);
        if (m_length < 0) m_length = 0;
        m_size = m_length > INT32_MAX ? INT32_MAX : static_cast<int32_t>(m_length);
      }
    }
  }
  debugTrace("\nsize: %d\n", m_size);
}

ShellFile::~ShellFile() {
  if (m_handle) close();
  std::free(m_image);
}

int32_t ShellFile::read(void* buffer, int32_t count) {
  if (count <= 0 || !buffer) return 0;
  if (!isMemoryMode()) {
    if (!m_handle) return 0;
    return static_cast<int32_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), m_handle));
  }
  // Only what the image holds from the position on.
  if (m_position >= m_size) return 0;
  int32_t n = m_size - m_position < count ? m_size - m_position : count;
  std::memcpy(buffer, m_image + m_position, static_cast<std::size_t>(n));
  m_position += n;
  return n;
}

int32_t ShellFile::write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  if (!isMemoryMode()) {
    if (!m_handle || !buffer) return 0;
    return static_cast<int32_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), m_handle));
  }
  if (m_position > INT32_MAX - count) return 0;
  int32_t end = m_position + count;
  if (end > m_size) {
    auto* grown = static_cast<uint8_t*>(std::calloc(static_cast<std::size_t>(end), 1));
    if (!grown) return 0;
    if (m_image && m_size > 0) std::memcpy(grown, m_image, static_cast<std::size_t>(m_size));
    std::free(m_image);
    m_image = grown;
    m_size = end;
  }
  if (buffer) {
    std::memcpy(m_image + m_position, buffer, static_cast<std::size_t>(count));
  } else {
    std::memset(m_image + m_position, 0, static_cast<std::size_t>(count));
  }
  m_position = end;
  return count;
}

int32_t ShellFile::seek(int32_t origin, int32_t offset) {
  if (!isMemoryMode()) {
    if (!m_handle) return origin == 1 && offset == 0 ? 0 : -1;
    if (origin == 1 && offset == 0) return static_cast<int32_t>(std::ftell(m_handle));
    std::fseek(m_handle, offset, origin);
    return 0;
  }
  int64_t target;
  switch (origin) {
    case 0:
      target = offset;
      break;
    case 1:
      if (offset == 0) return m_position;
      target = static_cast<int64_t>(m_position) + offset;
      break;
    case 2:
      // Counts backwards from the end.
      target = static_cast<int64_t>(m_size) - offset;
      break;
    default:
      return 0;
  }
  if (target < 0 || target > INT32_MAX) return -1;
  m_position = static_cast<int32_t>(target);
  return 0;
}

int32_t ShellFile::getInfo(ShellFileInfo* info) const {
  if (info) info->size = static_cast<uint32_t>(m_size);
  return 0;
}

int64_t ShellFile::length() const { return isMemoryMode() ? m_size : m_length; }

int ShellFile::close() {
  debugTrace("\nclosing: filename: %s, mode: %s\n", m_name, m_mode);
  if (!m_handle) {
    std::free(m_image);
    m_image = nullptr;
    return 0;
  }
  FILE* f = m_handle;
  m_handle = nullptr;
  if (!isMemoryMode()) return std::fclose(f);

  std::size_t want = m_size > 0 ? static_cast<std::size_t>(m_size) : 0;
  bool ok = want == 0 || std::fwrite(m_image, 1, want, f) == want;
  // On the disk before it replaces the file (the replace syncs the folder).
  ok = hostFileCommit(f) && ok;
  ok = std::fclose(f) == 0 && ok;
  std::free(m_image);
  m_image = nullptr;
  if (ok) ok = hostFileReplace(m_staging, m_name);
  if (!ok) {
    hostFileRemove(m_staging);
    return EOF;
  }
  return 0;
}

int getFileSize(FILE* file, ShellFileInfo* info) {
  if (!file || !info) return 0;
  const int64_t here = ::ftello(file);
  if (::fseeko(file, 0, SEEK_END) == 0) {
    const int64_t n = ::ftello(file);
    // The word holds 32 bits: a larger file reads as the largest it holds.
    info->size = n <= 0 ? 0 : n > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(n);
  }
  if (here >= 0) ::fseeko(file, here, SEEK_SET);
  return 0;
}

void appendDebugLog(const char* folder, const char* text) {
  char path[ShellFile::kMaxPath + 1];
  if (!joinPath(path, sizeof path, folder, "debugFile.txt")) return;
  ShellFile file(path, "w");
  file.seek(2, 0);
  file.write(text, text ? static_cast<int32_t>(std::strlen(text)) : 0);
  file.close();
}
