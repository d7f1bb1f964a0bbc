#include "windows_brew/ResourceIndexFile.h"

#include <cstdlib>
#include <cstring>

#include "windows_brew/HostFiles.h"
#include "zul/memory/Debug.h"

namespace {

bool readU32(FILE* f, uint32_t* out) {
  uint8_t b[4];
  if (std::fread(b, 1, 4, f) != 4) return false;
  *out = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
         static_cast<uint32_t>(b[3]) << 24;
  return true;
}

}  // namespace

void ResourceIndexFile::open(const char* path) {
  close();
  if (!path) return;
  m_handle = hostFileOpen(path, "rb");
  if (!m_handle) return;
  m_open = 1;
  readIndex();
}

void ResourceIndexFile::readIndex() {
  if (!m_handle) return;
  std::free(m_entries);
  m_entries = nullptr;
  m_count = 0;
  if (std::fseek(m_handle, 0, SEEK_END) != 0) return;
  m_fileLength = std::ftell(m_handle);
  std::fseek(m_handle, 0, SEEK_SET);
  uint32_t n = 0;
  if (!readU32(m_handle, &n) || n == 0) return;
  // The records must lie inside the file.
  uint64_t need = 4 + static_cast<uint64_t>(n) * 20;
  if (m_fileLength < 0 || need > static_cast<uint64_t>(m_fileLength)) {
    debugTrace("resource index: %u records do not fit the file\n", n);
    return;
  }
  m_entries = static_cast<ResourceIndexEntry*>(std::calloc(n, sizeof(ResourceIndexEntry)));
  if (!m_entries) return;
  for (uint32_t k = 0; k < n; ++k) {
    uint32_t w[5];
    for (uint32_t& v : w) {
      if (!readU32(m_handle, &v)) {
        std::free(m_entries);
        m_entries = nullptr;
        return;
      }
    }
    m_entries[k] = ResourceIndexEntry{w[0], w[1], w[3], nullptr};
  }
  m_count = static_cast<int32_t>(n);
}

int32_t ResourceIndexFile::find(uint32_t id) const {
  for (int32_t k = 0; k < m_count; ++k) {
    if (m_entries[k].id == id) return k;
  }
  return -1;
}

int32_t ResourceIndexFile::getLength(uint32_t id) const {
  if (!m_open) return -1;
  int32_t k = find(id);
  return k < 0 ? -1 : static_cast<int32_t>(m_entries[k].length);
}

const uint8_t* ResourceIndexFile::getData(uint32_t id) {
  if (!m_open) return nullptr;
  int32_t k = find(id);
  if (k < 0) return nullptr;
  ResourceIndexEntry& e = m_entries[k];
  if (e.data) return e.data;
  // The data must lie inside the file.
  if (static_cast<uint64_t>(e.offset) + e.length > static_cast<uint64_t>(m_fileLength)) return nullptr;
  if (std::fseek(m_handle, static_cast<long>(e.offset), SEEK_SET) != 0) return nullptr;
  auto* block = static_cast<uint8_t*>(std::malloc(static_cast<std::size_t>(e.length) + 1));
  if (!block) return nullptr;
  if (std::fread(block, 1, e.length, m_handle) != e.length) {
    std::free(block);
    return nullptr;
  }
  block[e.length] = 0;
  e.data = block;
  return block;
}

const char* ResourceIndexFile::getString(uint32_t id) { return reinterpret_cast<const char*>(getData(id)); }

void ResourceIndexFile::dump() const {
  for (int32_t k = 0; k < m_count; ++k) {
    debugTrace("id: %d, len: %d, offset: %d\n", static_cast<int>(m_entries[k].id),
               static_cast<int>(m_entries[k].length), static_cast<int>(m_entries[k].offset));
  }
}

void ResourceIndexFile::close() {
  if (m_handle) std::fclose(m_handle);
  m_handle = nullptr;
  m_open = 0;
  for (int32_t k = 0; k < m_count; ++k) std::free(m_entries[k].data);
  std::free(m_entries);
  m_entries = nullptr;
  m_count = 0;
  m_fileLength = 0;
}
