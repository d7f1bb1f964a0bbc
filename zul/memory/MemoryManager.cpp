#include "zul/memory/MemoryManager.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

CMemoryManager* g_manager = nullptr;
// Read by the audio thread's traces too.
std::atomic<LogWriter*> g_logWriter{nullptr};
DebugTraceHook g_traceHook = nullptr;
bool g_traceEnabled = true;
void* g_traceUser = nullptr;

// Static storage for the one manager. It is constructed before any other
// static object of the program and never destroyed.
alignas(CMemoryManager) unsigned char g_managerStorage[sizeof(CMemoryManager)];

struct ManagerStarter {
  ManagerStarter() { new (g_managerStorage) CMemoryManager(); }
};
__attribute__((init_priority(101))) ManagerStarter g_starter;

}  // namespace

void setLogWriter(LogWriter* writer) { g_logWriter.store(writer, std::memory_order_release); }
LogWriter* logWriter() { return g_logWriter.load(std::memory_order_acquire); }

std::string memoryLogTitle(const MemoryLogTime& t) {
  char line[128];
  std::snprintf(line, sizeof line, "Drummond Memory Usage Log %u-%u-%u %u:%u:%u.%u GMT\n", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.milliseconds);
  return line;
}

void SMemBlock::print() const {
  debugTraceLine("%s(%d): A: 0x%08x S: %d", file ? file : "", line,
                 static_cast<unsigned>(reinterpret_cast<uintptr_t>(address)), static_cast<int>(size));
}

CMemoryManager::CMemoryManager() {
  m_tracking = 1;
  // The first manager (the static one) is the process-wide one.
  if (!g_manager) g_manager = this;
}

void CMemoryManager::startLog(const MemoryLogTime& utc) {
  LogWriter* writer = logWriter();
  if (std::FILE* f = writer ? writer->openFile("memory.log") : nullptr) {
    const std::string title = memoryLogTitle(utc);
    std::fwrite(title.data(), 1, title.size(), f);
    std::fclose(f);
  }
}

CMemoryManager::~CMemoryManager() {
  dump();
  if (g_manager == this) g_manager = nullptr;
}

void* CMemoryManager::allocate(uint32_t size, const char* file, int32_t line, void* parent) {
  void* p = std::malloc(size ? size : 1);
  if (!p) return nullptr;
  std::memset(p, 0, size);
  std::lock_guard<std::recursive_mutex> g(m_lock);
  if (m_tracking) {
    m_tracking = 0;
    SMemBlock rec{p, size, file ? file : "", line, parent};
    m_blocks[p] = rec;
    m_current += static_cast<int32_t>(size);
    if (m_current > m_peakTotal) {
      m_peakTotal = m_current;
      m_peak = rec;
    }
    m_tracking = 1;
  }
  return p;
}

void CMemoryManager::free(void* pointer) {
  {
    std::lock_guard<std::recursive_mutex> g(m_lock);
    auto it = m_blocks.find(pointer);
    if (it != m_blocks.end()) {
      m_current -= static_cast<int32_t>(it->second.size);
      m_blocks.erase(it);
    }
  }
  std::free(pointer);
}

void* CMemoryManager::reallocate(void* pointer, uint32_t size, const char* file, int32_t line, void* parent) {
  if (!pointer) return allocate(size, file, line, parent);
  uint32_t oldSize;
  {
    std::lock_guard<std::recursive_mutex> g(m_lock);
    auto it = m_blocks.find(pointer);
    if (it == m_blocks.end()) return std::realloc(pointer, size);
    oldSize = it->second.size;
  }
  void* p = allocate(size, file, line, parent);
  // A failed allocation keeps the old block.
  if (!p) return nullptr;
  std::memcpy(p, pointer, oldSize < size ? oldSize : size);
  free(pointer);
  return p;
}

void CMemoryManager::dump() {
  debugTraceLine("%s", "");
  debugTraceLine("****Start MemoryManager Dump****************************************************");
  debugTraceLine("Peek allocator:");
  m_peak.print();
  reportLeaks();
  debugTraceLine("**** End MemoryManager Dump *****************************************************");
}

void CMemoryManager::reportLeaks() {
  std::lock_guard<std::recursive_mutex> g(m_lock);
  m_tracking = 0;
  if (m_blocks.empty()) {
    debugTraceLine("No memory leaks");
  } else {
    debugTraceLine("%i memory leaks:", static_cast<int>(m_blocks.size()));
    debugTraceLine("Click a line and go directly to the implementation");
    debugTraceLine("----------ROOT MEMORY LEAKS---------");
    for (const auto& [addr, rec] : m_blocks) {
      if (!rec.parent || m_blocks.find(rec.parent) == m_blocks.end()) rec.print();
    }
    debugTraceLine("----------END-----------------------");
    debugTraceLine("----------ALL MEMORY LEAKS----------");
    for (const auto& [addr, rec] : m_blocks) rec.print();
    debugTraceLine("----------END-----------------------");
  }
  m_tracking = 1;
}

namespace {
struct NewLine {
  std::string file;
  int32_t line;
  bool operator<(const NewLine& o) const {
    if (line != o.line) return line > o.line;
    return file < o.file;
  }
};
struct Usage {
  uint32_t total = 0;
  uint32_t count = 0;
};
}  // namespace

void CMemoryManager::writeUsageReport() {
  std::lock_guard<std::recursive_mutex> g(m_lock);
  uint8_t wasTracking = m_tracking;
  m_tracking = 0;
  std::map<NewLine, Usage> sites;
  for (const auto& [addr, rec] : m_blocks) {
    Usage& u = sites[NewLine{rec.file, rec.line}];
    u.total += rec.size;
    u.count += 1;
  }
  LogWriter* writer = logWriter();
  if (std::FILE* f = writer ? writer->openFile("memoryUsage.txt") : nullptr) {
    uint32_t sum = 0;
    for (const auto& [site, u] : sites) {
      std::fprintf(f, "M: %8u F: %6u  L:%d F:%s\n", u.total, u.count, site.line, site.file.c_str());
      sum += u.total;
    }
    std::fprintf(f, "---------------------\n");
    std::fprintf(f, "Total: %u\n", sum);
    std::fclose(f);
  }
  m_tracking = wasTracking;
}

CMemoryManager* getMemoryManager() { return g_manager; }

void* trackedAlloc(std::size_t size, const char* file, int line, void* parent) {
  if (CMemoryManager* m = g_manager) return m->allocate(static_cast<uint32_t>(size), file, line, parent);
  return std::malloc(size);
}

void trackedFree(void* pointer) {
  if (CMemoryManager* m = g_manager) {
    m->free(pointer);
  } else {
    std::free(pointer);
  }
}

void* trackedRealloc(void* pointer, std::size_t size, const char* file, int line, void* parent) {
  if (CMemoryManager* m = g_manager) return m->reallocate(pointer, static_cast<uint32_t>(size), file, line, parent);
  return std::realloc(pointer, size);
}

// Plain allocation: zero-filled, not recorded. Exhaustion throws, as the
// language requires of this form.
void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  std::memset(p, 0, size);
  return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  void* p = std::malloc(size ? size : 1);
  if (p) std::memset(p, 0, size);
  return p;
}
void* operator new[](std::size_t size, const std::nothrow_t& t) noexcept { return operator new(size, t); }
void operator delete(void* p) noexcept { trackedFree(p); }
void operator delete[](void* p) noexcept { trackedFree(p); }
void operator delete(void* p, std::size_t) noexcept { trackedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { trackedFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { trackedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { trackedFree(p); }

void* operator new(std::size_t size, const char* file, int line, void* parent) noexcept {
  return trackedAlloc(size, file, line, parent);
}
void* operator new[](std::size_t size, const char* file, int line, void* parent) noexcept {
  return trackedAlloc(size, file, line, parent);
}
void operator delete(void*, const char*, int, void*) noexcept {}
void operator delete[](void*, const char*, int, void*) noexcept {}

namespace {
void vtrace(const char* format, va_list ap) {
  if (!g_traceEnabled) return;
  char buffer[1024];
  std::vsnprintf(buffer, sizeof buffer, format, ap);
  if (LogWriter* writer = logWriter()) writer->debugOutput(buffer);
  std::fputs(buffer, stdout);
  if (g_traceHook) g_traceHook(buffer, g_traceUser);
}
}  // namespace

void debugTrace(const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  vtrace(format, ap);
  va_end(ap);
}

void debugTraceLine(const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  vtrace(format, ap);
  va_end(ap);
  debugTrace("\n");
}

void setDebugTraceEnabled(bool on) { g_traceEnabled = on; }

void setDebugTraceHook(DebugTraceHook hook, void* user) {
  g_traceHook = hook;
  g_traceUser = user;
}

const char* baseName(const char* path) {
  if (!path) return "";
  const char* slash = std::strrchr(path, '\\');
  return slash ? slash + 1 : path;
}

char* intToString(int value, char* buffer, int radix) {
  bool negative = value < 0;
  // Work in unsigned so the most negative value is right.
  unsigned int v = negative ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
  unsigned int r = static_cast<unsigned int>(radix);
  char* p = buffer;
  do {
    *p++ = static_cast<char>('0' + v % r);
    v /= r;
  } while (v != 0);
  if (negative) *p++ = '-';
  *p = 0;
  for (char *a = buffer, *b = p - 1; a < b; ++a, --b) {
    char t = *a;
    *a = *b;
    *b = t;
  }
  return buffer;
}
