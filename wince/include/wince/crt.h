// C runtime calls on CE paths, the exit hook and UTF-16 string helpers.
//
// Path mapping (CE path -> Linux path). Backslashes and slashes both
// separate; names compare without regard to case when the exact name is not
// found.
//   "\Program Files\Pelloran\Korvane\<rest>" (the install folder, which is
//   also the executable's folder) and relative paths "<rest>":
//       read:  <write dir>/<rest> when that exists, else <data dir>/<rest>
//       write: <write dir>/<rest> (missing folders are created)
//   any other absolute path ("\My Documents\x", "c:\x.txt", "d:\y.txt"):
//       <write dir>/<last component>
// The data dir is given on the command line (--data); the write dir is the
// environment variable KV_WRITE_DIR when set, else the current directory.
// A mode with 'w', 'a' or '+' counts as writing.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "wince/windows.h"

// The install folder as the program sees it.
#define KV_CE_INSTALL_DIR "\\Program Files\\Pelloran\\Korvane\\"
#define KV_CE_MODULE_PATH "\\Program Files\\Pelloran\\Korvane\\Korvane.exe"

// Linux path for a CE path; forWrite selects the writable folder.
std::string ceMapPath(const char* cePath, bool forWrite = false);
std::string ceMapPathW(LPCWSTR cePath, bool forWrite = false);

// fopen/remove/rename on CE paths (remove and rename act in the writable
// folder). Only regular files open: a folder, a pipe or a device node fails
// at once (errno EISDIR or EINVAL), as the device has no such files. A file
// opened for writing is never reached through a symbolic link (ELOOP). A
// rename is on the disk when it returns (the folder is synced after it).
FILE* ceFopen(const char* cePath, const char* mode);
FILE* ceWfopen(LPCWSTR cePath, LPCWSTR mode);
int ceRemove(const char* cePath);
int ceRename(const char* cePathFrom, const char* cePathTo);
// What is at a path: no file, a regular file, or anything else.
enum { kCeFileNone = 0, kCeFileRegular = 1, kCeFileOther = 2 };
int ceFileKind(const char* cePath);
// The same on a path of this system, used as it stands (hosts handed a
// folder of their own, as tests are).
FILE* ceFopenNative(const char* path, const char* mode);
int ceRenameNative(const char* from, const char* to);
int ceFileKindNative(const char* path);
// A file the program writes (its save) as it last wrote it: read from the
// writable folder only, never from the data folder.
FILE* ceFopenWritten(const char* cePath, const char* mode);
int ceFileKindWritten(const char* cePath);
// A new, empty file to stage a write of the file at cePath in: beside it in
// the writable folder, under a name no other process or write shares
// ("<name>.<pid>-<n>.tmp"), created only where nothing is (never through a
// link). *staging gets its path in the caller's form; rename it over the
// file to replace it. Staging files that ended processes left are removed.
FILE* ceCreateStaging(const char* cePath, std::string* staging);
FILE* ceCreateStagingNative(const char* path, std::string* staging);
// Removes the staging files of cePath that ended processes left (a write
// killed half-way).
void ceRemoveStaleStaging(const char* cePath);
void ceRemoveStaleStagingNative(const char* path);
// Flushes an open file and commits its data to the disk; 0 on success.
int ceCommit(FILE* file);

// The runtime's exit(): runs the installed hook (wince/layer.h), by default
// std::exit(code). Tests run the whole program in-process with a hook that
// does not return to the caller.
[[noreturn]] void ceExit(int code);

// wcstombs/mbstowcs for 16-bit units: units up to 0xFF map to single bytes
// (and back); a larger unit stops wcstombs with (size_t)-1. dst may be null
// to ask for the length. Both stop after n output units; the terminator is
// written when it fits.
size_t ceWcstombs(char* dst, const WCHAR* src, size_t n);
size_t ceMbstowcs(WCHAR* dst, const char* src, size_t n);

// UTF-16 string helpers.
size_t ceWcslen(const WCHAR* s);
WCHAR* ceWcscpy(WCHAR* dst, const WCHAR* src);
// Copies at most n units and pads with zeros like strncpy.
WCHAR* ceWcsncpy(WCHAR* dst, const WCHAR* src, size_t n);
WCHAR* ceWcscat(WCHAR* dst, const WCHAR* src);
int ceWcscmp(const WCHAR* a, const WCHAR* b);
// Compares ignoring the case of ASCII letters.
int ceWcsicmp(const WCHAR* a, const WCHAR* b);
// UTF-8 <-> UTF-16; invalid input becomes U+FFFD.
std::u16string ceFromUtf8(std::string_view text);
std::string ceToUtf8(std::u16string_view text);
std::string ceToUtf8(const WCHAR* text);
