// Control and inspection of the platform layer: start-up options, the
// backend, the virtual clock, the call log, captured frames, the stylus
// script and test hooks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "wince/windows.h"

namespace wince {

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;
// The exit code of a run that could not write a frame it was asked to
// capture (the run ends there).
constexpr int kExitCaptureFailed = 3;

enum class BackendKind { Auto, Headless, Sdl };

// One timed event of a stylus script.
struct ScriptEvent {
  enum Kind { Down, Move, Up, Orientation, Focus, Close, KeyDown, KeyUp };
  uint32_t timeMs = 0;  // GetTickCount value at which it is delivered
  Kind kind = Down;
  int x = 0;
  int y = 0;
  int value = 0;  // orientation, focus 0/1, virtual key
};

struct Options {
  BackendKind backend = BackendKind::Auto;  // Auto: SDL when a display is available
  std::string dataDir;                      // empty: KV_DATA_DIR, else the current directory
  std::string writeDir;                     // empty: KV_WRITE_DIR, else the current directory
  std::string captureDir;                   // PNG frames written here (empty: none)
  std::vector<uint64_t> captureFrames;      // frame numbers to write (empty: all)
  uint64_t frames = 0;                      // post WM_CLOSE after this many frames (0: no limit); on the
                                            // virtual clock each frame's time in the background counts
  std::string scriptPath;                   // stylus script file
  std::vector<int> messageBoxAnswers;       // headless: answers in order
  DWORD orientation = DMDO_0;               // headless: display orientation at start
  int scale = 0;                            // SDL: window scale (0: fit the desktop)
  bool help = false;                        // -h or --help: print usage() and do nothing else
};

// Parses the layer's options; arguments that do not start with "--" (other
// than -h) are returned in rest, in order. An unknown "--" option or a
// missing or bad value returns false with a message. Options:
//   --backend=sdl|headless   --data DIR   --frames N (1 or more)   --capture DIR
//   --capture-frames N,M,..  --script FILE   --msgbox ID,ID,..
//   --orientation 0|1|2|4    --scale N     --write DIR   -h, --help
bool parseOptions(int argc, char** argv, Options& out, std::vector<std::string>& rest, std::string& error);
// The options, one a line, as --help prints them.
std::string usage(const char* program);

// Bad input for a message: in single quotes, cut to about limit characters
// ("..." and the full length) when longer.
std::string quoteInput(std::string_view text, size_t limit = 80);

// Starts the layer with a fresh state (the hooks below are kept). The
// capture and write folders are created when missing. With BackendKind::Sdl
// and no usable video, returns false with a message; Auto then falls back to
// headless.
bool start(const Options& options, std::string* error = nullptr);
// Closes the backend (the SDL window).
void stop();
// A fresh headless layer with default options (for tests), on the virtual
// clock, or on the real clock as before start-up.
void reset(bool virtualClock = true);
BackendKind activeBackend();

// ---- virtual clock (headless)
uint64_t nowMicros();
void advanceClock(uint64_t micros);
// Time added by each PeekMessageW that finds nothing (default 33,334 us, so
// a loop paced at 30 frames per second runs one frame per poll).
void setPollQuantum(uint64_t micros);
// Performance counter frequency (default 1,000,000); 0: no performance
// counter (QueryPerformanceFrequency and QueryPerformanceCounter fail).
void setCounterFrequency(uint64_t hz);
// GetSystemTime at virtual time 0 (default 2026-01-01 00:00:00.000).
void setSystemTimeBase(const SYSTEMTIME& base);

// ---- the call log: calls made for show, and a few real ones worth seeing
// (MessageBoxW, CreateProcessW, DeleteFileW, ChangeDisplaySettingsEx sets,
// ExtEscape, window placement). Entries read like
//   SHFullScreen([Korvane], 10)    CoInitializeEx(0)    ShowWindow([Korvane], 5)
// A window is written as [title], a null one as 0; strings in double quotes.
// The log keeps the last 65,536 entries.
std::vector<std::string> callLog();
void clearCallLog();
// Number of entries that start with prefix.
size_t countCalls(std::string_view prefix);

// Text given to OutputDebugStringW (UTF-8), the last megabyte.
std::string debugOutput();
void clearDebugOutput();

// ---- screen and frames. Every SetDIBitsToDevice that reaches the screen is
// one frame, numbered from 1.
uint64_t frameCount();
// The screen now (240 x 320 RGB565, top-down).
std::vector<uint16_t> screenPixels();
// Called after each frame with its number and the screen.
void setFrameHook(std::function<void(uint64_t frame, const uint16_t* pixels)> hook);
// PNG of 16-bit RGB565 pixels (8-bit RGB, channels widened by repeating
// their top bits) and back. Return false with a message on failure.
bool writePng(const std::string& path, const uint16_t* pixels, int width, int height, std::string* error = nullptr);
bool readPng(const std::string& path, std::vector<uint16_t>& pixels, int& width, int& height,
             std::string* error = nullptr);
// Name of captured frame n in the capture folder: "frame_000042.png".
std::string captureFileName(uint64_t frame);

// ---- stylus script. One event per line, '#' starts a comment:
//   <ms> down X Y | move X Y | up X Y | tap X Y | orientation N | focus 0|1
//   <ms> close | keydown VK | keyup VK
// Times are GetTickCount values; X and Y are screen pixels and may be
// negative. Moves reach the window only while the stylus is down. "tap" is
// a down and an up at the same time.
bool parseScript(std::string_view text, std::vector<ScriptEvent>& out, std::string* error = nullptr);
bool loadScript(const std::string& path, std::string* error = nullptr);
void setScript(std::vector<ScriptEvent> events);
// True while events of the stylus script wait to be delivered.
bool scriptPending();

// ---- scripted answers and device state
void pushMessageBoxAnswer(int answer);
void setOrientation(DWORD orientation);
DWORD orientation();
void setPlatform(std::u16string_view platformType, DWORD major, DWORD minor);
// Free bytes GetDiskFreeSpaceExW reports to the caller (-1, the default:
// what the file system has).
void setDiskFreeSpace(int64_t bytes);
// Reads of any file called fileName (ignoring case; 0 bytes in: from its
// first byte) fail with an I/O error after afterBytes bytes, as a failing
// disk does; an empty name ends the fault. Kept by start(); reset() ends it.
void setReadFault(const std::string& fileName, uint64_t afterBytes);
void setDataDir(const std::string& dir);
void setWriteDir(const std::string& dir);
std::string dataDir();
std::string writeDir();

// ---- hooks
// ceExit calls this; when it returns, the process exits.
void setExitHook(std::function<void(int code)> hook);
// Thrown by the hook installed with throwOnExit(): lets a test run the
// whole program in-process and catch its exit.
struct ExitRequest {
  int code;
};
void throwOnExit();
// Replaces process creation: (CE program path, command line) -> success.
void setCreateProcessHook(std::function<BOOL(const std::u16string& program, const std::u16string& commandLine)> hook);

// The main window: the first live top-level window.
HWND mainWindow();

// The program entry (main() of wince_main calls it): parses the options,
// starts the layer, runs WinMain with the remaining arguments as its command
// line (with optionsOnly, a program that takes none, any such argument is
// refused) and stops the layer. Returns WinMain's result: 2 for bad options
// or a layer that cannot start, 0 after --help (which prints the options
// and runs nothing), and a run's failure code (a frame not captured) when
// WinMain returns 0.
int runProgram(int argc, char** argv, bool optionsOnly = false);

}  // namespace wince
