// Collects the debug traces written while it lives.
#pragma once

#include <string>

#include "zul/memory/Debug.h"

struct TraceCapture {
  std::string text;
  TraceCapture() { setDebugTraceHook(&TraceCapture::hook, this); }
  ~TraceCapture() { setDebugTraceHook(nullptr, nullptr); }
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;
  bool has(const std::string& s) const { return text.find(s) != std::string::npos; }
  // Whether the assertion report for this line and source was written.
  bool reported(int line, const std::string& source) const {
    return has("breakpoint failed: " + std::to_string(line) + ":" + source);
  }
  void clear() { text.clear(); }
  static void hook(const char* t, void* user) { static_cast<TraceCapture*>(user)->text += t; }
};
