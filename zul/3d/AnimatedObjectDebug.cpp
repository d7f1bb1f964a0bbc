#include "zul/3d/AnimatedObjectDebug.h"

#include <cstdarg>
#include <cstdio>

#include "zul/memory/Debug.h"

namespace {

constexpr const char* kPath = "c:\\AnimatedObjectDebug.txt";

FILE* g_file = nullptr;
bool g_failed = false;  // the open failed: not tried again until closed
bool g_enabled = true;

struct CloseAtExit {
  ~CloseAtExit() { closeAnimatedObjectDebug(); }
} g_closeAtExit;

}  // namespace

void animatedObjectDebug(const char* format, ...) {
  if (!g_enabled) return;
  if (!g_file && !g_failed) {
    LogWriter* writer = logWriter();
    g_file = writer ? writer->openFile(kPath) : nullptr;
    g_failed = !g_file;
  }
  if (!g_file) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(g_file, format, args);
  va_end(args);
}

void closeAnimatedObjectDebug() {
  if (g_file) std::fclose(g_file);
  g_file = nullptr;
  g_failed = false;
}

void setAnimatedObjectDebugEnabled(bool on) { g_enabled = on; }
