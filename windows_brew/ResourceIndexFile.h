// A file of resources addressed by numeric id: a u32 count, then 20-byte
// records (id, length, -, offset, -), the data anywhere in the same file.
#pragma once

#include <cstdint>
#include <cstdio>

struct ResourceIndexEntry {
  uint32_t id;
  uint32_t length;
  uint32_t offset;
  uint8_t* data;  // cached on first use
};

class ResourceIndexFile {
 public:
  ResourceIndexFile() = default;
  ~ResourceIndexFile() { close(); }
  ResourceIndexFile(const ResourceIndexFile&) = delete;
  ResourceIndexFile& operator=(const ResourceIndexFile&) = delete;

  void open(const char* path);
  void readIndex();
  int32_t find(uint32_t id) const;
  int32_t getLength(uint32_t id) const;
  // The entry's bytes, read once and cached until close. The block carries
  // one terminating zero beyond the length.
  const uint8_t* getData(uint32_t id);
  const char* getString(uint32_t id);
  void dump() const;
  void close();

  bool isOpen() const { return m_open != 0; }
  int32_t count() const { return m_count; }

 private:
  FILE* m_handle = nullptr;
  int32_t m_open = 0;
  int32_t m_count = 0;
  ResourceIndexEntry* m_entries = nullptr;
  long m_fileLength = 0;
};
