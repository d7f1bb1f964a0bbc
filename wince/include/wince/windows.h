// Win32/CE-shaped platform layer: the types, constants and calls the host,
// the shell and the installer use.
//
// Conventions: handles are opaque pointers, WPARAM/LPARAM are pointer-sized,
// WCHAR is a 16-bit code unit (char16_t) as on Windows CE, so wide literals
// are written u"...". MAKELPARAM sign-extends its 32-bit value, so code that
// decodes y as (lParam >> 16) sees negative coordinates as on a 32-bit device.
//
// What is real and what is recorded: windows, classes, the message queue,
// activation and focus, device contexts and the DIB blit, clocks, Sleep,
// files, message boxes and process start behave as the game needs. Calls made
// only for show (task bar, input panel, game keys, COM, window placement...)
// answer success and are recorded in the call log (wince/layer.h).
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------- types
typedef int32_t BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef int32_t INT;
typedef uint32_t UINT;
typedef char CHAR;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef char16_t WCHAR;
typedef WCHAR TCHAR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCTSTR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;
typedef void* PVOID;
typedef const void* LPCVOID;
typedef DWORD* LPDWORD;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef uintptr_t UINT_PTR;
typedef intptr_t INT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef size_t SIZE_T;
typedef LONG HRESULT;
typedef WORD ATOM;
typedef DWORD COLORREF;

typedef void* HANDLE;
struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
struct HDC__;
typedef HDC__* HDC;
struct HBRUSH__;
typedef HBRUSH__* HBRUSH;
struct HICON__;
typedef HICON__* HICON;
typedef HICON HCURSOR;
struct HMENU__;
typedef HMENU__* HMENU;
typedef void* HGDIOBJ;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xFFFF))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xFFFF))
#define MAKELONG(a, b) \
  (static_cast<LONG>(static_cast<DWORD>(static_cast<WORD>(a)) | (static_cast<DWORD>(static_cast<WORD>(b)) << 16)))
#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELPARAM(l, h) (static_cast<LPARAM>(MAKELONG(l, h)))
#define GET_X_LPARAM(lp) (static_cast<int>(static_cast<SHORT>(LOWORD(lp))))
#define GET_Y_LPARAM(lp) (static_cast<int>(static_cast<SHORT>(HIWORD(lp))))

union LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  };
  LONGLONG QuadPart;
};

union ULARGE_INTEGER {
  struct {
    DWORD LowPart;
    DWORD HighPart;
  };
  ULONGLONG QuadPart;
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

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct POINT {
  LONG x;
  LONG y;
};

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

// ---------------------------------------------------------------- errors
#define ERROR_SUCCESS 0u
#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_PATH_NOT_FOUND 3u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_INVALID_HANDLE 6u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_NO_MORE_FILES 18u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_INSUFFICIENT_BUFFER 122u
#define ERROR_ALREADY_EXISTS 183u
#define ERROR_INVALID_WINDOW_HANDLE 1400u
#define ERROR_CLASS_ALREADY_EXISTS 1410u
#define ERROR_CLASS_DOES_NOT_EXIST 1411u

DWORD GetLastError();
void SetLastError(DWORD code);

// ---------------------------------------------------------------- program entry
// Defined by the program; called by the layer's entry (wince_main) with the
// command line that follows the layer's own options.
int WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);

// ---------------------------------------------------------------- windows
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSW {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCWSTR lpszMenuName;
  LPCWSTR lpszClassName;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

struct CREATESTRUCTW {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCWSTR lpszName;
  LPCWSTR lpszClass;
  DWORD dwExStyle;
};

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};

#define CS_VREDRAW 0x0001u
#define CS_HREDRAW 0x0002u

#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_MINIMIZE 0x20000000u
#define WS_VISIBLE 0x10000000u
#define WS_DISABLED 0x08000000u
#define WS_CAPTION 0x00C00000u
#define WS_SYSMENU 0x00080000u
#define CW_USEDEFAULT (static_cast<int>(0x80000000u))

#define WM_NULL 0x0000u
#define WM_CREATE 0x0001u
#define WM_DESTROY 0x0002u
#define WM_MOVE 0x0003u
#define WM_SIZE 0x0005u
#define WM_ACTIVATE 0x0006u
#define WM_SETFOCUS 0x0007u
#define WM_KILLFOCUS 0x0008u
#define WM_ENABLE 0x000Au
#define WM_PAINT 0x000Fu
#define WM_CLOSE 0x0010u
#define WM_QUIT 0x0012u
#define WM_ERASEBKGND 0x0014u
#define WM_SHOWWINDOW 0x0018u
#define WM_SETTINGCHANGE 0x001Au
#define WM_NCDESTROY 0x0082u
#define WM_KEYDOWN 0x0100u
#define WM_KEYUP 0x0101u
#define WM_CHAR 0x0102u
#define WM_MOUSEMOVE 0x0200u
#define WM_LBUTTONDOWN 0x0201u
#define WM_LBUTTONUP 0x0202u
#define WM_USER 0x0400u

#define WA_INACTIVE 0u
#define WA_ACTIVE 1u
#define WA_CLICKACTIVE 2u
#define MK_LBUTTON 0x0001u

#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9

#define SWP_NOSIZE 0x0001u
#define SWP_NOMOVE 0x0002u
#define SWP_NOZORDER 0x0004u
#define SWP_NOREDRAW 0x0008u
#define SWP_NOACTIVATE 0x0010u
#define SWP_SHOWWINDOW 0x0040u
#define SWP_HIDEWINDOW 0x0080u
#define HWND_TOP (reinterpret_cast<HWND>(static_cast<intptr_t>(0)))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<intptr_t>(1)))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<intptr_t>(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(static_cast<intptr_t>(-2)))

// Virtual keys the host looks at.
#define VK_BACK 0x08
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_LWIN 0x5B
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F4 0x73

ATOM RegisterClassW(const WNDCLASSW* windowClass);
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);
// Sends WM_CREATE; a WS_VISIBLE top-level window is then shown and activated
// (WM_ACTIVATE, WM_SETFOCUS) before the call returns, as Windows does.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// Deactivates the window when it is active (WM_ACTIVATE, WM_KILLFOCUS), then
// sends WM_DESTROY and WM_NCDESTROY.
BOOL DestroyWindow(HWND window);
// WM_CLOSE destroys the window; WM_PAINT validates it; everything else 0.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL BringWindowToTop(HWND window);
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
HWND GetForegroundWindow();
// The lowest bit of the handle may be set (as CE code does to bring owned
// windows along); it is ignored.
BOOL SetForegroundWindow(HWND window);
HWND SetFocus(HWND window);
HWND GetFocus();
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL IsIconic(HWND window);
// Null arguments match anything. Only windows of this process exist.
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL GetClientRect(HWND window, RECT* rect);

// ---------------------------------------------------------------- messages
BOOL PeekMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Returns 0 for WM_QUIT, -1 on a bad argument, else non-zero. Headless, with
// nothing queued and no scripted event left, nothing can ever arrive: it
// then returns 0 as for WM_QUIT (with a note on stderr) instead of hanging.
BOOL GetMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
// Waits until input is queued or ms milliseconds passed; no object handles
// (count must be 0). Returns WAIT_OBJECT_0 + count for input, else
// WAIT_TIMEOUT (258). SDL: waits for the window's events; headless: the
// time passes as with Sleep.
constexpr DWORD QS_ALLINPUT = 0x04FF;
DWORD MsgWaitForMultipleObjects(DWORD count, const void* const* handles, BOOL waitAll, DWORD ms, DWORD wakeMask);
// A null window posts to the thread's queue.
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the window procedure at once and returns its result.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// ---------------------------------------------------------------- GDI
struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // negative: top-down
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

// The header followed by room for the three BI_BITFIELDS masks.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  union {
    RGBQUAD bmiColors[3];
    DWORD bmiMasks[3];  // red, green, blue with BI_BITFIELDS
  };
};

#define BI_RGB 0u
#define BI_BITFIELDS 3u
#define DIB_RGB_COLORS 0u

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8

// GetDC(NULL) is the screen; a window's DC draws at the window's position.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// 16-bit DIBs: BI_BITFIELDS with the 565 masks (or BI_RGB, read as 555),
// top-down (negative height) or bottom-up. Each call presents one frame on
// the screen (wince/layer.h). Returns the number of scan lines set, 0 on a
// bad argument.
int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT scanLines, const void* bits, const BITMAPINFO* info, UINT colorUse);
HGDIOBJ GetStockObject(int object);

// ---------------------------------------------------------------- display
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
int GetSystemMetrics(int index);

#define CCHDEVICENAME 32
#define CCHFORMNAME 32

struct DEVMODEW {
  WCHAR dmDeviceName[CCHDEVICENAME];
  WORD dmSpecVersion;
  WORD dmDriverVersion;
  WORD dmSize;
  WORD dmDriverExtra;
  DWORD dmFields;
  SHORT dmOrientation;
  SHORT dmPaperSize;
  SHORT dmPaperLength;
  SHORT dmPaperWidth;
  SHORT dmScale;
  SHORT dmCopies;
  SHORT dmDefaultSource;
  SHORT dmPrintQuality;
  SHORT dmColor;
  SHORT dmDuplex;
  SHORT dmYResolution;
  SHORT dmTTOption;
  SHORT dmCollate;
  WCHAR dmFormName[CCHFORMNAME];
  WORD dmLogPixels;
  DWORD dmBitsPerPel;
  DWORD dmPelsWidth;
  DWORD dmPelsHeight;
  DWORD dmDisplayFlags;
  DWORD dmDisplayFrequency;
  DWORD dmDisplayOrientation;
};
typedef DEVMODEW DEVMODE;
static_assert(sizeof(DEVMODEW) == 192, "DEVMODEW is 192 bytes");

#define DM_DISPLAYORIENTATION 0x00800000u
#define DMDO_0 0u
#define DMDO_90 1u
#define DMDO_180 2u
#define DMDO_270 4u
#define CDS_UPDATEREGISTRY 0x00000001u
#define CDS_TEST 0x00000002u
#define CDS_RESET 0x40000000u
#define DISP_CHANGE_SUCCESSFUL 0
#define DISP_CHANGE_FAILED (-1)
#define DISP_CHANGE_BADMODE (-2)
#define DISP_CHANGE_BADFLAGS (-4)
#define DISP_CHANGE_BADPARAM (-5)

// With DM_DISPLAYORIENTATION: CDS_TEST reads the orientation into the
// DEVMODE, flags 0 sets it. The orientation is kept by the layer (headless:
// scripted; SDL: the desktop shows portrait, so it starts at DMDO_0).
LONG ChangeDisplaySettingsEx(LPCWSTR deviceName, DEVMODEW* mode, HWND window, DWORD flags, LPVOID param);

#define QUERYESCSUPPORT 8
#define SETPOWERMANAGEMENT 6147
#define GETPOWERMANAGEMENT 6148

struct VIDEO_POWER_MANAGEMENT {
  ULONG Length;
  ULONG DPMSVersion;
  ULONG PowerState;
};
#define VideoPowerOn 1u
#define VideoPowerStandBy 2u
#define VideoPowerSuspend 3u
#define VideoPowerOff 4u

// QUERYESCSUPPORT (input: the escape as a DWORD) answers 1 for the two
// power escapes; GETPOWERMANAGEMENT fills a VIDEO_POWER_MANAGEMENT;
// SETPOWERMANAGEMENT stores its PowerState. Other escapes answer 0.
int ExtEscape(HDC dc, int escape, int inSize, LPCSTR in, int outSize, LPSTR out);

// ---------------------------------------------------------------- system
#define SPI_GETPLATFORMTYPE 257u
#define SPI_GETOEMINFO 258u
// SPI_GETPLATFORMTYPE copies the platform text ("PocketPC" unless set
// through wince/layer.h); the size is in bytes.
BOOL SystemParametersInfoW(UINT action, UINT param, PVOID data, UINT winIni);

struct OSVERSIONINFOW {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  WCHAR szCSDVersion[128];
};
#define VER_PLATFORM_WIN32_CE 3u
BOOL GetVersionExW(OSVERSIONINFOW* info);

// The executable's CE path, "\Program Files\Pelloran\Korvane\Korvane.exe".
// Returns the length copied (without terminator); a short buffer gets a
// truncated, terminated copy and the result is the buffer size.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
HMODULE GetModuleHandleW(LPCWSTR name);

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_ICONHAND 0x00000010u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON2 0x00000100u
#define MB_DEFBUTTON3 0x00000200u
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

// Modal. SDL: an SDL message box; headless: the next scripted answer, else
// the default button. Recorded in the call log either way.
int MessageBoxW(HWND window, LPCWSTR text, LPCWSTR caption, UINT type);

// Debugger output: kept by the layer (wince/layer.h reads it back).
void OutputDebugStringW(LPCWSTR text);

// ---------------------------------------------------------------- clocks
// On the headless backend these read the virtual clock.
DWORD GetTickCount();
void GetSystemTime(SYSTEMTIME* out);
void GetLocalTime(SYSTEMTIME* out);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* out);
BOOL QueryPerformanceCounter(LARGE_INTEGER* out);
// Headless: advances the virtual clock and returns at once.
void Sleep(DWORD ms);

// ---------------------------------------------------------------- COM
#define COINIT_MULTITHREADED 0x0u
#define COINIT_APARTMENTTHREADED 0x2u
#define S_OK (static_cast<HRESULT>(0))
#define S_FALSE (static_cast<HRESULT>(1))
#define E_FAIL (static_cast<HRESULT>(0x80004005u))
#define E_INVALIDARG (static_cast<HRESULT>(0x80070057u))
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
// Recorded.
HRESULT CoInitializeEx(LPVOID reserved, DWORD flags);
void CoUninitialize();

// ---------------------------------------------------------------- processes
struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

struct STARTUPINFOW {
  DWORD cb;
};
typedef STARTUPINFOW* LPSTARTUPINFOW;

struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};
typedef PROCESS_INFORMATION* LPPROCESS_INFORMATION;

// Recorded. The program is a CE path: the game's own executable
// ("Korvane.exe" in the install folder) starts the program named by the
// environment variable KV_PROGRAM (or this program when it is the game);
// other paths start the mapped file when it is executable. Fails with
// ERROR_FILE_NOT_FOUND otherwise. Tests can replace it (wince/layer.h).
BOOL CreateProcessW(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                    LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo,
                    LPPROCESS_INFORMATION processInformation);

// Threads: wince/threads.h.
// Process handles from CreateProcessW are only released.
BOOL CloseHandle(HANDLE handle);
DWORD GetCurrentThreadId();

// ---------------------------------------------------------------- files (CE paths, see wince/crt.h)
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

struct WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwOID;
  WCHAR cFileName[MAX_PATH];
};

// Patterns may use '*' and '?' in the last component (case-insensitive).
// The listing merges the writable folder and the data folder.
HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data);
BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data);
BOOL FindClose(HANDLE find);
// Deletes from the writable folder only.
BOOL DeleteFileW(LPCWSTR path);
BOOL MoveFileW(LPCWSTR from, LPCWSTR to);
DWORD GetFileAttributesW(LPCWSTR path);
// Free space of the writable folder.
BOOL GetDiskFreeSpaceExW(LPCWSTR directory, ULARGE_INTEGER* freeToCaller, ULARGE_INTEGER* total,
                         ULARGE_INTEGER* totalFree);
