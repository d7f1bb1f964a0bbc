// The host's access to the file system: shell paths (backslashes, rooted at
// the executable's folder) are handed to the platform layer, which maps them.
// Only regular files open; a folder, pipe or device of the same name does
// not.
#pragma once

#include <cstddef>
#include <cstdio>

FILE* hostFileOpen(const char* path, const char* mode);
// A file the program writes, where it writes it: never a copy of the same
// name shipped with the data.
FILE* hostFileOpenWritten(const char* path, const char* mode);
// A new empty file beside `path` under a name of its own (written into
// `staging`, capacity bytes), to stage a write of `path` in; null when none
// could be made.
FILE* hostFileCreateStaging(const char* path, char* staging, std::size_t capacity);
// Removes what writes of `path` killed half-way left behind.
void hostFileRemoveStaleStaging(const char* path);
// Replaces the file at `to` by the file at `from`; true once the change is
// on the disk.
bool hostFileReplace(const char* from, const char* to);
void hostFileRemove(const char* path);
// Flushes an open file's data to the disk; true on success.
bool hostFileCommit(FILE* file);
// What is at a path.
enum class HostFileKind { None, Regular, Other };
HostFileKind hostFileKind(const char* path);
HostFileKind hostFileKindWritten(const char* path);

// Joins a folder and a name into `out` (capacity bytes with the terminator).
// False, with `out` emptied, when the result does not fit.
bool joinPath(char* out, std::size_t capacity, const char* folder, const char* name);
