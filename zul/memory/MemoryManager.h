// Allocation tracking and the global allocation operators. The debug
// helpers (Debug.h) and source-located allocation (TrackedNew.h) have headers
// of their own; this one includes both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <new>
#include <string>

#include "zul/memory/Debug.h"
#include "zul/memory/TrackedNew.h"

// A UTC time stamp of "memory.log".
struct MemoryLogTime {
  unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, milliseconds = 0;
};

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

  // Starts "memory.log" (its title line, stamped with the given UTC time)
  // through the log writer. The program calls it once its folders are known.
  void startLog(const MemoryLogTime& utc);
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

template <class T>
T* UntrackedAllocator<T>::allocate(std::size_t n) {
  void* p = std::malloc(n * sizeof(T));
  if (!p) throw std::bad_alloc();
  return static_cast<T*>(p);
}

// The title line of "memory.log" for a given time.
std::string memoryLogTitle(const MemoryLogTime& t);
