#include <cstdio>
#include <cstring>
#include <string>

#include "wince/crt.h"
#include "wince/layer.h"
#include "wince/windows.h"
#include "windows_brew/Host.h"
#include "windows_brew/ShellFileSystem.h"
#include "windows_brew/ShellHost.h"
#include "windows_brew/TickCount.h"
#include "zul/memory/MemoryManager.h"

void hostExit(int code) { ceExit(code); }

uint32_t getTickCount() { return GetTickCount(); }

namespace {

// Report files go to the layer's writable folder (--write, else KV_WRITE_DIR,
// else the current folder) as it is when they are opened, device paths by
// the layer's path rules; traces to the debugger's output. Each is made as
// a regular file of its own: a link or a pipe of its name is left alone
// (and the report not written) rather than written through or waited on.
class HostLogWriter final : public LogWriter {
 public:
  std::FILE* openFile(const char* name) override { return ceFopen(name, "w"); }
  void debugOutput(const char* text) override {
    WCHAR wide[1024];
    std::size_t i = 0;
    for (; text[i] && i + 1 < sizeof wide / sizeof wide[0]; ++i) wide[i] = static_cast<unsigned char>(text[i]);
    wide[i] = 0;
    OutputDebugStringW(wide);
  }
};

// Never destroyed: traces may come while static objects are torn down.
constinit HostLogWriter g_logWriter;

}  // namespace

void installHostServices() {
  setLogWriter(&g_logWriter);
  setFileSystem(&shellFileSystem());
  if (CMemoryManager* memory = getMemoryManager()) {
    SYSTEMTIME t{};
    GetSystemTime(&t);
    MemoryLogTime utc;
    utc.year = t.wYear;
    utc.month = t.wMonth;
    utc.day = t.wDay;
    utc.hour = t.wHour;
    utc.minute = t.wMinute;
    utc.second = t.wSecond;
    utc.milliseconds = t.wMilliseconds;
    memory->startLog(utc);
  }
}

int ShellHost::browseUrl(const char* address) {
  WCHAR wide[256];
  std::memset(wide, 0, sizeof wide);
  size_t n = address ? ceMbstowcs(wide, address, 255) : 0;
  if (n == 0 || n == static_cast<size_t>(-1)) return 10;
  wide[255] = 0;
  PROCESS_INFORMATION info;
  std::memset(&info, 0, sizeof info);
  CreateProcessW(u"\\windows\\iexplore.exe", wide, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info);
  return 0;
}
