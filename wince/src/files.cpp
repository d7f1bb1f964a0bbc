// CE paths on the Linux file system (the mapping is described in wince/crt.h).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <signal.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <strings.h>

#include "wince/crt.h"
#include "wince/src/internal.h"

namespace {

struct CePath {
  bool inInstall;                   // install folder or relative: <rest> below the data/write dirs
  std::vector<std::string> parts;  // components of <rest>, or the last component only
};

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::vector<std::string> split(const std::string& path) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

CePath parse(const char* cePath) {
  std::string p = cePath ? cePath : "";
  std::vector<std::string> parts = split(p);
  bool absolute = !p.empty() && (p[0] == '\\' || p[0] == '/');
  bool drive = p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]));
  if (drive) {
    if (!parts.empty()) parts.erase(parts.begin());  // "c:"
    return {false, parts.empty() ? parts : std::vector<std::string>{parts.back()}};
  }
  if (absolute) {
    std::vector<std::string> install = split(KV_CE_INSTALL_DIR);
    bool under = parts.size() >= install.size();
    for (size_t i = 0; under && i < install.size(); ++i) under = lower(parts[i]) == lower(install[i]);
    if (!under) return {false, parts.empty() ? parts : std::vector<std::string>{parts.back()}};
    parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(install.size()));
  }
  std::vector<std::string> clean;
  for (const std::string& c : parts) {
    if (c == ".") continue;
    if (c == "..") {
      if (!clean.empty()) clean.pop_back();
      continue;
    }
    clean.push_back(c);
  }
  return {true, clean};
}

bool exists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The entry of dir matching name: exactly, else ignoring case; empty when none.
std::string findEntry(const std::string& dir, const std::string& name) {
  if (exists(dir + "/" + name)) return name;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return {};
  std::string found;
  while (dirent* e = ::readdir(d)) {
    if (::strcasecmp(e->d_name, name.c_str()) == 0) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

// base/parts with each component resolved ignoring case where it exists.
std::string resolve(const std::string& base, const std::vector<std::string>& parts, bool* found) {
  std::string path = base;
  bool all = true;
  for (const std::string& part : parts) {
    std::string entry = all ? findEntry(path, part) : std::string();
    if (entry.empty()) {
      all = false;
      entry = part;
    }
    path += "/" + entry;
  }
  if (found) *found = all;
  return path;
}

void makeParents(const std::string& path) {
  for (size_t i = 1; i < path.size(); ++i)
    if (path[i] == '/') {
      std::string dir = path.substr(0, i);
      if (!isDirectory(dir)) ::mkdir(dir.c_str(), 0777);
    }
}

// open(2) flags of a C mode string; -1 for a mode fopen does not know. A
// write does not truncate at the open: only once the file is known to be a
// regular one.
int openFlags(const char* mode) {
  const bool plus = std::strchr(mode, '+') != nullptr;
  switch (mode[0]) {
    case 'r':
      return plus ? O_RDWR : O_RDONLY;
    case 'w':
      return (plus ? O_RDWR : O_WRONLY) | O_CREAT;
    case 'a':
      return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    default:
      return -1;
  }
}

// A read of a file named like the fault's file fails after its first bytes
// (the test hook of wince/layer.h).
struct FaultyRead {
  int fd;
  uint64_t limit;
};

ssize_t faultyRead(void* cookie, char* buffer, size_t size) {
  auto* f = static_cast<FaultyRead*>(cookie);
  const off_t at = ::lseek(f->fd, 0, SEEK_CUR);
  if (at < 0) return -1;
  if (static_cast<uint64_t>(at) >= f->limit) {
    errno = EIO;
    return -1;
  }
  const uint64_t room = f->limit - static_cast<uint64_t>(at);
  return ::read(f->fd, buffer, size < room ? size : static_cast<size_t>(room));
}

int faultySeek(void* cookie, off64_t* offset, int whence) {
  const off_t at = ::lseek(static_cast<FaultyRead*>(cookie)->fd, *offset, whence);
  if (at < 0) return -1;
  *offset = at;
  return 0;
}

int faultyClose(void* cookie) {
  auto* f = static_cast<FaultyRead*>(cookie);
  const int r = ::close(f->fd);
  delete f;
  return r;
}

FILE* withReadFault(int fd, const std::string& path, const char* mode) {
  uint64_t after = 0;
  const size_t slash = path.find_last_of('/');
  if (mode[0] != 'r' || std::strchr(mode, '+') ||
      !wince::readFault(path.substr(slash == std::string::npos ? 0 : slash + 1), after))
    return nullptr;
  static const cookie_io_functions_t kCalls = {faultyRead, nullptr, faultySeek, faultyClose};
  return ::fopencookie(new FaultyRead{fd, after}, "rb", kCalls);
}

// fopen of a regular file only. The device has files and folders and
// nothing else: a folder, a pipe or a device node does not open (and a pipe
// never blocks the caller waiting for its other end). A file opened for
// writing is never reached through a symbolic link: a link in its place
// refuses the open rather than have the write land where it points.
FILE* openRegular(const std::string& path, const char* mode) {
  const int flags = openFlags(mode);
  if (flags < 0) {
    errno = EINVAL;
    return nullptr;
  }
  const bool writes = (flags & O_ACCMODE) != O_RDONLY;
  const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | (writes ? O_NOFOLLOW : 0), 0666);
  if (fd < 0) return nullptr;
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return nullptr;
  }
  if (mode[0] == 'w' && ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return nullptr;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (FILE* faulty = withReadFault(fd, path, mode)) return faulty;
  FILE* f = ::fdopen(fd, mode);
  if (!f) ::close(fd);
  return f;
}

int kindOf(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? kCeFileNone : kCeFileOther;
  return S_ISREG(st.st_mode) ? kCeFileRegular : kCeFileOther;
}

// The folder of a path ("." for a bare name).
std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is on the disk once the folder that holds the new name is.
int renameSynced(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return -1;
  const int dir = ::open(folderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return -1;
  const int synced = ::fsync(dir);
  ::close(dir);
  return synced == 0 ? 0 : -1;
}

bool modeWrites(const char* mode) {
  return mode && (std::strchr(mode, 'w') || std::strchr(mode, 'a') || std::strchr(mode, '+'));
}

std::string mapPath(const char* cePath, bool forWrite, bool createDirs) {
  CePath p = parse(cePath);
  std::string writeBase = wince::writeDir();
  if (forWrite || !p.inInstall) {
    std::string path = resolve(writeBase, p.parts, nullptr);
    if (createDirs) makeParents(path);
    return path;
  }
  bool found = false;
  std::string w = resolve(writeBase, p.parts, &found);
  if (found && !p.parts.empty()) return w;
  return resolve(wince::dataDir(), p.parts, nullptr);
}

// Staging files: "<target>.<pid>-<n>.tmp" beside their target, so that no
// two processes (nor two writes of one) ever share one.
std::atomic<unsigned> g_stagingCount{0};

bool allDigits(const std::string& s) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// Whether entry is a staging file of `base` left by a process that has ended
// (killed in the middle of a write).
bool isStaleStaging(const std::string& entry, const std::string& base) {
  const std::string tail = ".tmp";
  if (entry.size() <= base.size() + 1 + tail.size() || entry.compare(0, base.size(), base) != 0 ||
      entry[base.size()] != '.' || entry.compare(entry.size() - tail.size(), tail.size(), tail) != 0)
    return false;
  const std::string middle = entry.substr(base.size() + 1, entry.size() - base.size() - 1 - tail.size());
  const size_t dash = middle.find('-');
  if (dash == std::string::npos || !allDigits(middle.substr(0, dash)) || !allDigits(middle.substr(dash + 1)))
    return false;
  const long pid = std::strtol(middle.c_str(), nullptr, 10);
  return pid > 0 && pid != static_cast<long>(::getpid()) && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Removes the staging files of the file at `target` (a path of this system)
// that ended processes left.
void removeStaleStaging(const std::string& target) {
  const size_t slash = target.find_last_of('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  if (DIR* d = ::opendir(folderOf(target).c_str())) {
    while (dirent* e = ::readdir(d))
      if (isStaleStaging(e->d_name, base)) ::unlinkat(::dirfd(d), e->d_name, 0);
    ::closedir(d);
  }
}

// A new, empty staging file for the file at `target` (a path of this
// system); `suffix` is what its name adds to the target's. Stale staging
// files of the target are removed first.
FILE* createStaging(const std::string& target, std::string& suffix) {
  removeStaleStaging(target);
  for (int attempt = 0; attempt < 16; ++attempt) {
    char name[48];
    std::snprintf(name, sizeof name, ".%ld-%u.tmp", static_cast<long>(::getpid()), g_stagingCount++);
    suffix = name;
    const int fd = ::open((target + suffix).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      FILE* f = ::fdopen(fd, "wb");
      if (!f) ::close(fd);
      return f;
    }
    if (errno != EEXIST) break;
  }
  suffix.clear();
  return nullptr;
}

bool wildcard(const char* pattern, const char* name) {
  for (; *pattern; ++pattern, ++name) {
    if (*pattern == '*') {
      while (pattern[1] == '*') ++pattern;
      if (!pattern[1]) return true;
      for (; *name; ++name)
        if (wildcard(pattern + 1, name)) return true;
      return wildcard(pattern + 1, name);
    }
    if (!*name) return false;
    char a = static_cast<char>(std::tolower(static_cast<unsigned char>(*pattern)));
    char b = static_cast<char>(std::tolower(static_cast<unsigned char>(*name)));
    if (*pattern != '?' && a != b) return false;
  }
  return !*name;
}

struct FindState {
  uint32_t magic = 0x46494E44;
  std::vector<std::pair<std::string, std::string>> entries;  // name, full path
  size_t next = 0;
};

std::mutex g_findMutex;
std::vector<FindState*>& finds() {
  static auto* v = new std::vector<FindState*>;
  return *v;
}

void fill(const std::pair<std::string, std::string>& entry, WIN32_FIND_DATAW* data) {
  *data = WIN32_FIND_DATAW{};
  struct stat st{};
  if (::stat(entry.second.c_str(), &st) == 0) {
    data->dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    uint64_t size = static_cast<uint64_t>(st.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size);
    // 100 ns units since 1601.
    uint64_t ft = (static_cast<uint64_t>(st.st_mtime) + 11644473600ull) * 10000000ull;
    data->ftLastWriteTime = FILETIME{static_cast<DWORD>(ft), static_cast<DWORD>(ft >> 32)};
    data->ftCreationTime = data->ftLastAccessTime = data->ftLastWriteTime;
  }
  std::u16string name = ceFromUtf8(entry.first);
  size_t n = std::min<size_t>(name.size(), MAX_PATH - 1);
  std::memcpy(data->cFileName, name.data(), n * sizeof(WCHAR));
  data->cFileName[n] = 0;
}

}  // namespace

std::string ceMapPath(const char* cePath, bool forWrite) { return mapPath(cePath, forWrite, false); }

std::string ceMapPathW(LPCWSTR cePath, bool forWrite) { return mapPath(ceToUtf8(cePath).c_str(), forWrite, false); }

FILE* ceFopen(const char* cePath, const char* mode) {
  if (!cePath || !mode) return nullptr;
  bool writes = modeWrites(mode);
  std::string path = mapPath(cePath, writes, writes);
  return openRegular(path, mode);
}

FILE* ceFopenNative(const char* path, const char* mode) {
  if (!path || !mode) return nullptr;
  return openRegular(path, mode);
}

FILE* ceFopenWritten(const char* cePath, const char* mode) {
  if (!cePath || !mode) return nullptr;
  return openRegular(mapPath(cePath, true, modeWrites(mode)), mode);
}

int ceFileKindWritten(const char* cePath) { return cePath ? kindOf(mapPath(cePath, true, false)) : kCeFileNone; }

FILE* ceCreateStaging(const char* cePath, std::string* staging) {
  if (!cePath || !staging) return nullptr;
  std::string suffix;
  FILE* f = createStaging(mapPath(cePath, true, true), suffix);
  *staging = f ? cePath + suffix : std::string();
  return f;
}

void ceRemoveStaleStaging(const char* cePath) {
  if (cePath) removeStaleStaging(mapPath(cePath, true, false));
}

void ceRemoveStaleStagingNative(const char* path) {
  if (path) removeStaleStaging(path);
}

FILE* ceCreateStagingNative(const char* path, std::string* staging) {
  if (!path || !staging) return nullptr;
  std::string suffix;
  FILE* f = createStaging(path, suffix);
  *staging = f ? path + suffix : std::string();
  return f;
}

int ceCommit(FILE* file) {
  if (!file || std::fflush(file) != 0) return -1;
  return ::fsync(::fileno(file)) == 0 ? 0 : -1;
}

int ceFileKind(const char* cePath) { return cePath ? kindOf(mapPath(cePath, false, false)) : kCeFileNone; }

int ceFileKindNative(const char* path) { return path ? kindOf(path) : kCeFileNone; }

FILE* ceWfopen(LPCWSTR cePath, LPCWSTR mode) {
  if (!cePath || !mode) return nullptr;
  return ceFopen(ceToUtf8(cePath).c_str(), ceToUtf8(mode).c_str());
}

int ceRemove(const char* cePath) {
  if (!cePath) return -1;
  return std::remove(mapPath(cePath, true, false).c_str());
}

int ceRename(const char* from, const char* to) {
  if (!from || !to) return -1;
  return renameSynced(mapPath(from, true, false), mapPath(to, true, true));
}

int ceRenameNative(const char* from, const char* to) {
  if (!from || !to) return -1;
  return renameSynced(from, to);
}

HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data) {
  if (!pattern || !data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string p = ceToUtf8(pattern);
  CePath parsed = parse(p.c_str());
  if (parsed.parts.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::string mask = parsed.parts.back();
  std::vector<std::string> dirParts(parsed.parts.begin(), parsed.parts.end() - 1);
  std::vector<std::string> bases{wince::writeDir()};
  if (parsed.inInstall) bases.push_back(wince::dataDir());
  else dirParts.clear();
  auto* st = new FindState;
  for (const std::string& base : bases) {
    bool found = false;
    std::string dir = resolve(base, dirParts, &found);
    if (!found) continue;
    DIR* d = ::opendir(dir.c_str());
    if (!d) continue;
    std::vector<std::string> names;
    while (dirent* e = ::readdir(d)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      if (wildcard(mask.c_str(), name.c_str())) names.push_back(name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      bool dup = false;
      for (auto& e : st->entries) dup = dup || ::strcasecmp(e.first.c_str(), name.c_str()) == 0;
      if (!dup) st->entries.emplace_back(name, dir + "/" + name);
    }
  }
  if (st->entries.empty()) {
    delete st;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  fill(st->entries[0], data);
  st->next = 1;
  std::lock_guard<std::mutex> lock(g_findMutex);
  finds().push_back(st);
  return st;
}

BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data) {
  std::lock_guard<std::mutex> lock(g_findMutex);
  for (FindState* st : finds()) {
    if (st != find) continue;
    if (!data || st->next >= st->entries.size()) {
      SetLastError(data ? ERROR_NO_MORE_FILES : ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    fill(st->entries[st->next++], data);
    return TRUE;
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

BOOL FindClose(HANDLE find) {
  std::lock_guard<std::mutex> lock(g_findMutex);
  auto& v = finds();
  for (auto it = v.begin(); it != v.end(); ++it)
    if (*it == find) {
      delete *it;
      v.erase(it);
      return TRUE;
    }
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

BOOL DeleteFileW(LPCWSTR path) {
  if (!path) return FALSE;
  std::string mapped = mapPath(ceToUtf8(path).c_str(), true, false);
  bool ok = !isDirectory(mapped) && ::unlink(mapped.c_str()) == 0;
  wince::logCall("DeleteFileW(" + wince::quoted(path) + ") = " + std::to_string(ok ? 1 : 0));
  if (!ok) SetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
  return ok ? TRUE : FALSE;
}

BOOL MoveFileW(LPCWSTR from, LPCWSTR to) {
  if (!from || !to) return FALSE;
  std::string a = mapPath(ceToUtf8(from).c_str(), true, false);
  std::string b = mapPath(ceToUtf8(to).c_str(), true, true);
  if (exists(b)) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return FALSE;
  }
  if (std::rename(a.c_str(), b.c_str()) != 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR path) {
  if (!path) return INVALID_FILE_ATTRIBUTES;
  std::string mapped = mapPath(ceToUtf8(path).c_str(), false, false);
  if (!exists(mapped)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  return isDirectory(mapped) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

BOOL GetDiskFreeSpaceExW(LPCWSTR directory, ULARGE_INTEGER* freeToCaller, ULARGE_INTEGER* total,
                         ULARGE_INTEGER* totalFree) {
  // The file system that writes to the directory would go to: its nearest
  // folder that exists.
  std::string path = directory ? mapPath(ceToUtf8(directory).c_str(), true, false) : wince::writeDir();
  while (!isDirectory(path) && path != folderOf(path)) path = folderOf(path);
  struct statvfs v{};
  if (::statvfs(path.c_str(), &v) != 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  const int64_t forced = wince::diskFreeOverride();
  if (freeToCaller) {
    freeToCaller->QuadPart =
        forced >= 0 ? static_cast<ULONGLONG>(forced) : static_cast<ULONGLONG>(v.f_bavail) * v.f_frsize;
  }
  if (total) total->QuadPart = static_cast<ULONGLONG>(v.f_blocks) * v.f_frsize;
  if (totalFree) totalFree->QuadPart = static_cast<ULONGLONG>(v.f_bfree) * v.f_frsize;
  return TRUE;
}
