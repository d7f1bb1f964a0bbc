// Debug helpers: traces, the engine's assertion report and the tick count.
#pragma once

#include <cstdint>

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
// Off: traces are neither formatted nor written (fuzzing runs millions of
// file opens). On by default.
void setDebugTraceEnabled(bool on);
