// Files of the shell. Read mode reads from disk; the memory modes ("wb", "ab",
// "w") load the whole file at open and write the whole image back at close.
#pragma once

#include <cstdint>
#include <cstdio>

#include "zul/io/FileSystem.h"

struct ShellFileInfo {
  uint32_t reserved0;
  uint32_t reserved1;
  uint32_t size;  // the only word written
};

// Also a file of the streams' file system (windows_brew/ShellFileSystem.h).
class ShellFile : public FileSystem::File {
 public:
  static constexpr int kMaxPath = 255;

  ShellFile(const char* path, const char* mode);
  ~ShellFile();
  ShellFile(const ShellFile&) = delete;
  ShellFile& operator=(const ShellFile&) = delete;

  int32_t read(void* buffer, int32_t count);
  // A null buffer writes count zero bytes (memory modes).
  int32_t write(const void* buffer, int32_t count);
  // Origin 0 start, 1 current, 2 end. Origin 1 with offset 0 returns the
  // position; anything else returns 0, or -1 when refused.
  int32_t seek(int32_t origin, int32_t offset);
  int32_t getInfo(ShellFileInfo* info) const;
  // Returns 0, or EOF when the file could not be closed or written back.
  int close();

  bool isMemoryMode() const { return m_mode[0] == 'w' || m_mode[0] == 'a'; }
  bool isOpen() const { return m_handle != nullptr; }
  // Memory modes: the image's length. Read mode: the file's length when
  // opened, at most INT32_MAX (length() tells a larger one).
  int32_t size() const { return m_size; }
  // The whole length (read mode: the file's, however large).
  int64_t length() const;
  int32_t position() const { return m_position; }
  const char* name() const { return m_name; }
  const char* mode() const { return m_mode; }
  const uint8_t* image() const { return m_image; }

 private:
  uint8_t* m_image = nullptr;
  int32_t m_position = 0;
  int32_t m_size = 0;
  int64_t m_length = 0;  // read mode
  char m_mode[3] = {};
  char m_name[258] = {};
  // Memory modes: the file the write-back is staged in before it replaces
  // the file.
  char m_staging[kMaxPath + 32] = {};
  FILE* m_handle = nullptr;
};

// Length of an open C file, position kept; the size word of info gets it.
int getFileSize(FILE* file, ShellFileInfo* info);

// Appends text to "debugFile.txt" in folder.
void appendDebugLog(const char* folder, const char* text);
