// The layer's state, the call log and the debug output.
#include <cstdio>
#include <cstdlib>
#include <strings.h>

#include "wince/crt.h"
#include "wince/src/internal.h"

namespace wince {

namespace {
constexpr size_t kCallLogLimit = 65536;
constexpr size_t kDebugOutputLimit = 1 << 20;
thread_local DWORD t_lastError = 0;
}  // namespace

State& state() {
  // Never destroyed: the memory tracker and static destructors may call the
  // layer before main and after exit.
  static State* s = [] {
    auto* st = new State;
    st->backend = makeHeadlessBackend();
    // Until the program entry sets them, the folders come from the environment.
    if (const char* d = std::getenv("KV_DATA_DIR"); d && *d) st->dataDir = d;
    if (const char* w = std::getenv("KV_WRITE_DIR"); w && *w) st->writeDir = w;
    return st;
  }();
  return *s;
}

void logCall(std::string entry) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.callLog.push_back(std::move(entry));
  if (s.callLog.size() > kCallLogLimit) s.callLog.pop_front();
}

std::string quoted(const WCHAR* text) {
  if (!text) return "0";
  std::string out(1, '"');
  out += ceToUtf8(text);
  out += '"';
  return out;
}

std::string describeWindow(HWND window) {
  if (!window) return "0";
  HWND live = liveWindow(window);
  if (!live) return "[?]";
  std::string out(1, '[');
  out += ceToUtf8(live->title);
  out += ']';
  return out;
}

std::vector<std::string> callLog() {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  return {s.callLog.begin(), s.callLog.end()};
}

void clearCallLog() {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.callLog.clear();
}

size_t countCalls(std::string_view prefix) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  size_t n = 0;
  for (const std::string& e : s.callLog)
    if (std::string_view(e).substr(0, prefix.size()) == prefix) ++n;
  return n;
}

std::string debugOutput() {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  return s.debugOutput;
}

void clearDebugOutput() {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.debugOutput.clear();
}

void setExitHook(std::function<void(int)> hook) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.exitHook = std::move(hook);
}

void throwOnExit() {
  setExitHook([](int code) { throw ExitRequest{code}; });
}

void setCreateProcessHook(std::function<BOOL(const std::u16string&, const std::u16string&)> hook) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.createProcessHook = std::move(hook);
}

void pushMessageBoxAnswer(int answer) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.messageBoxAnswers.push_back(answer);
}

void setOrientation(DWORD value) { state().orientation = value; }
DWORD orientation() { return state().orientation; }

void setPlatform(std::u16string_view platformType, DWORD major, DWORD minor) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.platformType = std::u16string(platformType);
  s.versionMajor = major;
  s.versionMinor = minor;
}

void setDiskFreeSpace(int64_t bytes) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.diskFree = bytes < 0 ? -1 : bytes;
}

int64_t diskFreeOverride() {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  return s.diskFree;
}

void setReadFault(const std::string& fileName, uint64_t afterBytes) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.readFaultName = fileName;
  s.readFaultAfter = afterBytes;
}

bool readFault(const std::string& name, uint64_t& after) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (s.readFaultName.empty() || ::strcasecmp(s.readFaultName.c_str(), name.c_str()) != 0) return false;
  after = s.readFaultAfter;
  return true;
}

void failRun(int code) {
  State& s = state();
  {
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    if (s.failureCode) return;
    s.failureCode = code;
  }
  if (HWND w = mainWindow()) PostMessageW(w, WM_CLOSE, 0, 0);
}

void setDataDir(const std::string& dir) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.dataDir = dir.empty() ? "." : dir;
}

void setWriteDir(const std::string& dir) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.writeDir = dir.empty() ? "." : dir;
}

std::string dataDir() {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  return s.dataDir;
}

std::string writeDir() {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  return s.writeDir;
}

}  // namespace wince

DWORD GetLastError() { return wince::t_lastError; }
void SetLastError(DWORD code) { wince::t_lastError = code; }

void OutputDebugStringW(LPCWSTR text) {
  if (!text) return;
  wince::State& s = wince::state();
  std::string utf8 = ceToUtf8(text);
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  s.debugOutput += utf8;
  if (s.debugOutput.size() > wince::kDebugOutputLimit)
    s.debugOutput.erase(0, s.debugOutput.size() - wince::kDebugOutputLimit / 2);
}

void ceExit(int code) {
  std::function<void(int)> hook;
  {
    wince::State& s = wince::state();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    hook = s.exitHook;
    if (code == 0 && s.failureCode) code = s.failureCode;
  }
  if (hook) hook(code);
  std::fflush(nullptr);
  std::exit(code);
}
