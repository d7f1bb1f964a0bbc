// Stream over a file of the installed file system (zul/io/FileSystem.h: the
// shell's files in the program), named relative to its root folder.
#pragma once

#include <cstdint>

#include "zul/io/FileSystem.h"
#include "zul/io/Stream.h"

class FileStream : public Stream {
 public:
  // Mode bits: 1 read, 2 and 16 write, 4 append (the last set bit of 1, 2, 4,
  // 16 decides).
  enum { kRead = 1, kWrite = 2, kAppend = 4, kCreate = 16 };

  FileStream();
  // Opens name; a false result is reported.
  FileStream(const char* name, int32_t mode);
  ~FileStream() override;

  // Closes a held file first. True when the file is held and not empty; an
  // empty, new or missing file is held too (and can be written) but gives false.
  bool open(const char* name, int32_t mode);
  // Releases the held file (memory modes write their image back).
  void close() override;
  int32_t read(void* buffer, int32_t count) override;
  int32_t write(const void* buffer, int32_t count) override;
  int32_t seek(int32_t offset, int32_t origin) override;
  int32_t tell() override;
  // The held file's whole length.
  int64_t size();
  bool holdsFile() const { return m_holder && *m_holder; }

  // True when the file system can open name for reading.
  static bool exists(const char* name);

 private:
  FileSystem::File** m_holder = nullptr;
  FileSystem* m_files = nullptr;  // the one that opened the held file
};
