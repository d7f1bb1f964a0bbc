// The files that FileStream reads and writes, reached through whoever
// provides them: the program installs the shell's file service at start-up,
// and a test or a tool may install one of its own. Names are relative to the
// file system's root folder.
#pragma once

#include <cstdint>

class FileSystem {
 public:
  // An open file of the file system.
  struct File {};

  // Open flags: 1 read; 2 and 4 write; 8 append.
  enum : int32_t { kOpenRead = 1, kOpenWrite = 2, kOpenCreate = 4, kOpenAppend = 8 };

  // Null when nothing can be opened under the name; a missing file may come
  // back as an empty one.
  virtual File* open(const char* name, int32_t flag) = 0;
  virtual int32_t read(File* file, void* buffer, int32_t count) = 0;
  virtual int32_t write(File* file, const void* buffer, int32_t count) = 0;
  // Origin 0 start, 1 current, 2 end; origin 1 with offset 0 returns the position.
  virtual int32_t seek(File* file, int32_t offset, int32_t origin) = 0;
  // The file's whole length, however large.
  virtual int64_t size(File* file) = 0;
  // Releases the file (a file written in memory goes back to disk).
  virtual void close(File* file) = 0;
  // True when the name can be opened for reading.
  virtual bool exists(const char* name) = 0;

 protected:
  ~FileSystem() = default;
};

// The installed file system, or null (no files: every open fails).
void setFileSystem(FileSystem* files);
FileSystem* fileSystem();
