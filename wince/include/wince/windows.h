// Win32/CE-shaped platform layer: basic types and the calls used by the host.
// Handles are opaque pointers, WPARAM/LPARAM are pointer-sized, WCHAR is a
// 16-bit code unit as on Windows CE.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int32_t BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef int64_t LONGLONG;
typedef char16_t WCHAR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR* LPWSTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

union LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  };
  LONGLONG QuadPart;
};

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

// Clocks. On the headless backend these read the virtual clock.
DWORD GetTickCount();
void GetSystemTime(SYSTEMTIME* out);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* out);
BOOL QueryPerformanceCounter(LARGE_INTEGER* out);
void Sleep(DWORD ms);

// Debugger output: recorded by the layer (tests can read it back).
void OutputDebugStringW(LPCWSTR text);
