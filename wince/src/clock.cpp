// Real-time clocks (the default backend clock).
#include "wince/windows.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;
const Clock::time_point g_start = Clock::now();
}  // namespace

DWORD GetTickCount() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - g_start).count();
  return static_cast<DWORD>(ms);
}

void GetSystemTime(SYSTEMTIME* out) {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  gmtime_r(&t, &tm);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  out->wYear = static_cast<WORD>(tm.tm_year + 1900);
  out->wMonth = static_cast<WORD>(tm.tm_mon + 1);
  out->wDayOfWeek = static_cast<WORD>(tm.tm_wday);
  out->wDay = static_cast<WORD>(tm.tm_mday);
  out->wHour = static_cast<WORD>(tm.tm_hour);
  out->wMinute = static_cast<WORD>(tm.tm_min);
  out->wSecond = static_cast<WORD>(tm.tm_sec);
  out->wMilliseconds = static_cast<WORD>(ms);
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* out) {
  out->QuadPart = 1000000;
  return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* out) {
  out->QuadPart = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - g_start).count();
  return TRUE;
}

void Sleep(DWORD ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void OutputDebugStringW(LPCWSTR) {}
