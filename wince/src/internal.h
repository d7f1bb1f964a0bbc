// Shared state of the layer's implementation files.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "wince/src/backend.h"
#include "wince/layer.h"
#include "wince/windows.h"

struct HWND__ {
  uint32_t magic;
  std::u16string className;
  std::u16string title;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  HWND parent = nullptr;
  RECT rect{};
  bool visible = false;
  bool minimised = false;
  bool invalid = false;
  bool destroyed = false;
};

struct HDC__ {
  HWND window;  // null: the screen
};

namespace wince {

constexpr uint32_t kWindowMagic = 0x574E4457;  // "WDNW"

struct WindowClass {
  std::u16string name;
  WNDCLASSW info{};
};

struct State {
  std::recursive_mutex mutex;

  // windows
  std::vector<WindowClass> classes;
  std::vector<std::unique_ptr<HWND__>> windows;  // never freed while the layer lives
  std::vector<std::unique_ptr<HDC__>> dcs;
  HDC__ screenDc{nullptr};
  HWND active = nullptr;
  HWND focus = nullptr;

  // queue
  std::deque<MSG> queue;
  bool quitPosted = false;
  int quitCode = 0;

  // screen
  std::vector<uint16_t> screen = std::vector<uint16_t>(kScreenWidth * kScreenHeight);
  uint64_t frames = 0;
  uint64_t frameLimit = 0;
  bool frameLimitHit = false;
  // Virtual time spent in the background (the program paused, drawing
  // nothing) and the clock at the last look; each frame's time of it counts
  // towards the frame limit.
  uint64_t backgroundMicros = 0;
  uint64_t lastPollMicros = 0;
  std::string captureDir;
  std::vector<uint64_t> captureFrames;
  std::function<void(uint64_t, const uint16_t*)> frameHook;

  // device
  DWORD orientation = DMDO_0;
  ULONG powerState = VideoPowerOn;
  std::u16string platformType = u"PocketPC";
  DWORD versionMajor = 5;
  DWORD versionMinor = 2;
  std::deque<int> messageBoxAnswers;
  int64_t diskFree = -1;  // forced free space, -1: the file system's

  // script
  std::vector<ScriptEvent> script;
  size_t scriptNext = 0;
  bool stylusDown = false;

  // logs
  std::deque<std::string> callLog;
  std::string debugOutput;

  // files
  std::string dataDir = ".";
  std::string writeDir = ".";

  // clock
  bool virtualClock = false;
  std::atomic<uint64_t> virtualMicros{0};
  uint64_t pollQuantum = 33334;
  uint64_t counterFrequency = 1000000;  // 0: no performance counter
  SYSTEMTIME timeBase{2026, 1, 4, 1, 0, 0, 0, 0};

  // A read fault (test hook): reads of a file of this name fail after so
  // many bytes.
  std::string readFaultName;
  uint64_t readFaultAfter = 0;
  // The exit code a run that failed at something it was asked for ends
  // with (a frame that could not be captured); 0: none.
  int failureCode = 0;

  // hooks
  std::function<void(int)> exitHook;
  std::function<BOOL(const std::u16string&, const std::u16string&)> createProcessHook;

  std::unique_ptr<Backend> backend;
  BackendKind kind = BackendKind::Headless;
};

State& state();

void logCall(std::string entry);
std::string describeWindow(HWND window);
std::string quoted(const WCHAR* text);
bool isLiveWindow(HWND window);
HWND liveWindow(HWND window);  // masks the low bit; null when not a live window

// Window system hooks used by the backends.
void activateWindow(HWND window);
void deactivateApp();
void postInput(UINT message, WPARAM wParam, LPARAM lParam);
// Delivers due script events (through the headless or SDL path).
void deliverScript(uint32_t nowMs, const std::function<void(const ScriptEvent&)>& stylus);
void applyScriptEvent(const ScriptEvent& event);
uint32_t nextScriptTime(bool& any);

std::unique_ptr<Backend> makeHeadlessBackend();
std::unique_ptr<Backend> makeSdlBackend(int scale, std::string* error);

void notifyClockListeners(uint64_t now);
int64_t diskFreeOverride();
// Whether reads of a file called name fail, and after how many bytes.
bool readFault(const std::string& name, uint64_t& after);
// Ends the run with `code` (a failure of something it was asked for): the
// main window is closed and the exit, whatever the program gives it, has
// this code.
void failRun(int code);
// Called by each empty PeekMessageW: counts the time the program spends in
// the background towards the frame limit (virtual clock only).
void countBackgroundTime();
uint64_t realMicros();

}  // namespace wince
