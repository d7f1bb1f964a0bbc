// Allocation tracking, the global allocation operators, debug traces and the
// engine's assertion report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <new>

struct SMemBlock {
  void* address = nullptr;
  uint32_t size = 0;
  const char* file = "";
  int32_t line = 0;
  void* parent = nullptr;

  void print() const;
};

// Allocator for the manager's own containers: plain malloc, never the
// tracked operators.
template <class T>
struct UntrackedAllocator {
  using value_type = T;
  UntrackedAllocator() = default;
  template <class U>
  UntrackedAllocator(const UntrackedAllocator<U>&) {}
  T* allocate(std::size_t n);
  void deallocate(T* p, std::size_t) { std::free(p); }
  template <class U>
  bool operator==(const UntrackedAllocator<U>&) const { return true; }
};

class CMemoryManager {
 public:
  using BlockMap = std::map<void*, SMemBlock, std::less<void*>,
                            UntrackedAllocator<std::pair<void* const, SMemBlock>>>;

  CMemoryManager();
  virtual ~CMemoryManager();

  void* allocate(uint32_t size, const char* file, int32_t line, void* parent);
  void free(void* pointer);
  void* reallocate(void* pointer, uint32_t size, const char* file, int32_t line, void* parent);

  // Starts "memory.log" (its title line) in the writable folder. The
  // program calls it once its folders are known.
  void startLog();
  void dump();
  void reportLeaks();
  void writeUsageReport();

  // Read access for tests and reports.
  const BlockMap& blocks() const { return m_blocks; }
  const SMemBlock& peakRecord() const { return m_peak; }
  int32_t currentTotal() const { return m_current; }
  int32_t peakTotal() const { return m_peakTotal; }

 private:
  BlockMap m_blocks;
  SMemBlock m_peak;
  int32_t m_current = 0;
  int32_t m_peakTotal = 0;
  uint8_t m_tracking = 0;
  // The audio thread frees through the tracker too.
  std::recursive_mutex m_lock;
};

CMemoryManager* getMemoryManager();

void* trackedAlloc(std::size_t size, const char* file, int line, void* parent);
void trackedFree(void* pointer);
void* trackedRealloc(void* pointer, std::size_t size, const char* file, int line, void* parent);

// Source-located allocation: zero-filled and recorded. Returns null on failure.
void* operator new(std::size_t size, const char* file, int line, void* parent) noexcept;
void* operator new[](std::size_t size, const char* file, int line, void* parent) noexcept;
void operator delete(void* p, const char* file, int line, void* parent) noexcept;
void operator delete[](void* p, const char* file, int line, void* parent) noexcept;

// Debug output: formats into a 1024-byte buffer, writes it to the debugger
// output and to standard output.
void debugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void debugTraceLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Part of a path after its last backslash (the whole path when it has none).
const char* baseName(const char* path);
uint32_t getTickCount();
char* intToString(int value, char* buffer, int radix);

// The engine's assertion report: prints "breakpoint failed: <line>:<source>"
// when the check fails, then carries on. Source names are the engine's own
// (as given at each check), not this build's file names.
inline bool kvCheck(bool ok, int line, const char* source) {
  if (!ok) debugTrace("breakpoint failed: %d:%s", line, baseName(source));
  return ok;
}
#define KV_CHECK(cond, line, source) kvCheck(static_cast<bool>(cond), (line), (source))

// Tests can watch every debug trace.
using DebugTraceHook = void (*)(const char* text, void* user);
void setDebugTraceHook(DebugTraceHook hook, void* user);

// Source-located allocation of one object: new KV_NEW("Game", 1261) cGame(...)
#define KV_NEW(source, line) (source, line, nullptr)

template <class T>
T* UntrackedAllocator<T>::allocate(std::size_t n) {
  void* p = std::malloc(n * sizeof(T));
  if (!p) throw std::bad_alloc();
  return static_cast<T*>(p);
}

struct SYSTEMTIME;
#include <string>
// The title line of "memory.log" for a given time.
std::string memoryLogTitle(const SYSTEMTIME& t);
