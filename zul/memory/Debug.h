// Debug helpers: traces, the engine's assertion report and the log writer
// that takes what the memory tracker and the traces write outside the process.
#pragma once

#include <cstdint>
#include <cstdio>

// Where the program's report files ("memory.log", "memoryUsage.txt" and the
// engine's debug files) and the debugger's copy of each trace go. Whoever
// starts the program plugs one in (the host: its writable folder and the
// platform's debugger output); without one, report files are not written
// and traces go to standard output only.
class LogWriter {
 public:
  // The file `name` (a plain name or a device path such as "d:\x.txt")
  // opened for writing from empty, or null.
  virtual std::FILE* openFile(const char* name) = 0;
  // One trace, as the debugger shows it.
  virtual void debugOutput(const char* text) = 0;

 protected:
  ~LogWriter() = default;
};
// Null returns to writing nothing.
void setLogWriter(LogWriter* writer);
LogWriter* logWriter();

// Debug output: formats into a 1024-byte buffer, writes it to the log
// writer's debugger output and to standard output.
void debugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void debugTraceLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Part of a path after its last backslash (the whole path when it has none).
const char* baseName(const char* path);
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
// Off: traces are neither formatted nor written (fuzzing runs millions of
// file opens). On by default.
void setDebugTraceEnabled(bool on);
