#include "windows_brew/Host.h"

#include <cstring>

#include "wince/aygshell.h"
#include "wince/crt.h"
#include "wince/gx.h"
#include "windows_brew/GameServices.h"
#include "windows_brew/ShellHost.h"
#include "zul/memory/Debug.h"
#include "zul/memory/Memory.h"
#include "zul/memory/TrackedNew.h"

namespace {

const WCHAR kClassName[] = u"Korvane";
const WCHAR kTitle[] = u"Korvane";

// Process-wide host state.
HINSTANCE g_instance = nullptr;
HWND g_window = nullptr;
HDC g_screenDC = nullptr;
HDC g_windowDC = nullptr;
uint16_t* g_frameBuffer = nullptr;
uint16_t* g_blitBuffer = nullptr;
uint16_t* g_xMap = nullptr;
uint16_t* g_yMap = nullptr;
BITMAPINFO g_dib;
uint32_t g_savedOrientation = 0;
uint8_t* g_runningFlag = nullptr;
ShellHost* g_shell = nullptr;
uint8_t g_paused = 0;
uint8_t g_activatedOnce = 0;
uint8_t g_swallowChar = 0;
LONGLONG g_lastFrame = 0;
float g_frameRate = 0.0f;

// Milliseconds until GameFrame runs the next frame (0 when one is due).
DWORD g_frameWait = 0;

// A new run of the entry starts from the state a new process has; what an
// earlier run in this process left behind (it ended through exit) is freed.
void resetHostState() {
  g_instance = nullptr;
  g_window = nullptr;
  g_screenDC = g_windowDC = nullptr;
  for (uint16_t** buffer : {&g_frameBuffer, &g_blitBuffer, &g_xMap, &g_yMap}) {
    trackedFree(*buffer);
    *buffer = nullptr;
  }
  std::memset(&g_dib, 0, sizeof g_dib);
  g_savedOrientation = 0;
  if (g_shell) {
    g_shell->releaseApplet();
    delete g_shell;
  }
  g_shell = nullptr;
  delete g_runningFlag;
  g_runningFlag = nullptr;
  g_paused = g_activatedOnce = g_swallowChar = 0;
  g_lastFrame = 0;
  g_frameRate = 0.0f;
  g_frameWait = 0;
}

HWND withLowBit(HWND w) { return reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(w) | 1u); }

DWORD readOrientation() {
  DEVMODEW mode;
  std::memset(&mode, 0, sizeof mode);
  mode.dmSize = sizeof mode;
  mode.dmFields = DM_DISPLAYORIENTATION;
  ChangeDisplaySettingsEx(nullptr, &mode, nullptr, CDS_TEST, nullptr);
  return mode.dmDisplayOrientation;
}

void setOrientation(DWORD orientation) {
  DEVMODEW mode;
  std::memset(&mode, 0, sizeof mode);
  mode.dmSize = sizeof mode;
  mode.dmFields = DM_DISPLAYORIENTATION;
  mode.dmDisplayOrientation = orientation;
  ChangeDisplaySettingsEx(nullptr, &mode, nullptr, 0, nullptr);
}

void orientationBack() { setOrientation(g_savedOrientation); }

// Landscape clears the frame, tells the user and turns the display back.
void portraitCheck() {
  DWORD o = readOrientation();
  if (o == DMDO_0) return;
  if (g_frameBuffer) std::memset(g_frameBuffer, 0, kFrameBufferBytes);
  MessageBoxW(g_window, u"This application only runs in Portrait Mode", u"Notice", MB_ICONEXCLAMATION);
  g_savedOrientation = o;
  setOrientation(DMDO_0);
}

GameServices* currentGame() { return g_shell ? g_shell->getGame() : nullptr; }

void blit() {
  if (!g_frameBuffer || !g_blitBuffer) return;
  scaleBlit(g_frameBuffer, g_blitBuffer, g_xMap, g_yMap);
  SetDIBitsToDevice(g_windowDC, 0, 0, kScreenWidth, kScreenHeight, 0, 0, 0, kScreenHeight, g_blitBuffer, &g_dib,
                    DIB_RGB_COLORS);
}

// An idle turn while the application is paused. Its trace shows once a
// pause, not every turn.
void idleTurn(int idleCount) {
  if (idleCount == 1) debugTrace("\nentro 10 veces");
  Sleep(250);
  if (GameServices* game = currentGame()) {
    game->m_interrupted = 1;
    if (game->isSoundEnabled() && game->currentSoundId() > 0) game->stopAllSounds();
  }
  if (idleCount < 10) setFullScreen(g_window, 0);
}

// The game could not go on (a data file missing or damaged): the player is
// told why and the program ends with a failure code.
void failOnGameError() {
  GameServices* game = currentGame();
  const char* error = game ? game->fatalError() : nullptr;
  if (!error) return;
  debugTrace("\n GameFail(): %s", error);
  const std::u16string text = ceFromUtf8(error);
  MessageBoxW(g_window, text.c_str(), kTitle, MB_OK | MB_ICONERROR);
  orientationBack();
  if (g_runningFlag) *g_runningFlag = 0;
  if (g_shell) g_shell->quit(kGameFailedExitCode);
  ceExit(kGameFailedExitCode);
}

}  // namespace

void scaleBlit(const uint16_t* src, uint16_t* dst, const uint16_t* xMap, const uint16_t* yMap) {
  constexpr uint32_t M = 0xF7DE;
  auto avg = [](uint32_t a, uint32_t b) -> uint32_t { return (((a & M) >> 1) + ((b & M) >> 1)) & M; };
  auto clampX = [](uint32_t x) -> uint32_t { return x < kScreenWidth ? x : kScreenWidth - 1; };
  auto clampY = [](uint32_t y) -> uint32_t { return y < kScreenHeight ? y : kScreenHeight - 1; };

  // The column walk is the same for every row: work it out once. A column
  // that repeats the previous source column mixes x with its right
  // neighbour x1; any other column takes x alone.
  uint16_t colX[kScreenWidth], colX1[kScreenWidth];
  bool colMix[kScreenWidth];
  bool columnsIdentity = true, rowsIdentity = true;
  int64_t prevCol = -1;
  for (int i = 0; i < kScreenWidth; ++i) {
    const uint32_t x = clampX(xMap[i]);
    colX[i] = colX1[i] = static_cast<uint16_t>(x);
    colMix[i] = x == prevCol;
    if (colMix[i]) colX1[i] = static_cast<uint16_t>(clampX(x + 1));
    prevCol = x;
    columnsIdentity &= xMap[i] == i;
  }
  for (int j = 0; j < kScreenHeight && rowsIdentity; ++j) rowsIdentity = yMap[j] == j;
  if (columnsIdentity && rowsIdentity) {
    std::memcpy(dst, src, kFrameBufferBytes);
    return;
  }

  uint16_t mean[kScreenWidth];  // a repeated row: the mean of source rows y and y + 1
  int64_t prevRow = -1;
  for (int j = 0; j < kScreenHeight; ++j) {
    const uint32_t y = clampY(yMap[j]);
    const uint16_t* p = src + y * kScreenWidth;
    uint16_t* out = dst + j * kScreenWidth;
    if (y == prevRow) {
      const uint16_t* q = src + clampY(y + 1) * kScreenWidth;
      for (int x = 0; x < kScreenWidth; ++x) mean[x] = static_cast<uint16_t>(avg(p[x], q[x]));
      if (columnsIdentity) {
        std::memcpy(out, mean, sizeof mean);
        continue;
      }
      for (int i = 0; i < kScreenWidth; ++i) {
        const uint32_t a = mean[colX[i]];
        out[i] = static_cast<uint16_t>(colMix[i] ? ((a & M) >> 1) + ((mean[colX1[i]] & M) >> 1) : a);
      }
    } else {
      prevRow = y;
      if (columnsIdentity) {
        std::memcpy(out, p, kScreenWidth * sizeof(uint16_t));
        continue;
      }
      for (int i = 0; i < kScreenWidth; ++i) {
        const uint32_t a = p[colX[i]];
        out[i] = static_cast<uint16_t>(colMix[i] ? avg(a, p[colX1[i]]) : a);
      }
    }
  }
}

HostState hostState() {
  return HostState{g_window,      g_frameBuffer,   g_blitBuffer,     g_shell,    g_paused,
                   g_activatedOnce, g_swallowChar, g_savedOrientation, g_frameRate};
}

uint8_t isRunning() { return g_runningFlag ? *g_runningFlag : 0; }
bool hasShellHost() { return g_shell != nullptr; }
int isHostPaused() { return 0; }

ATOM registerWindowClass(HINSTANCE instance, LPCWSTR className) {
  WNDCLASSW wc;
  std::memset(&wc, 0, sizeof wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = className;
  return RegisterClassW(&wc);
}

int createMainWindow(HINSTANCE instance, int showCommand) {
  g_instance = instance;
  if (HWND existing = FindWindowW(kClassName, kTitle)) {
    SetForegroundWindow(withLowBit(existing));
    return 0;
  }
  if (!registerWindowClass(instance, kClassName)) return 0;
  g_window = CreateWindowExW(0, kClassName, kTitle, WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                             GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
  if (!g_window) return 0;
  g_frameBuffer = static_cast<uint16_t*>(memNew(kFrameBufferBytes));
  if (!g_frameBuffer) return 0;
  std::memset(g_frameBuffer, 0, kFrameBufferBytes);
  GXOpenInput();
  BringWindowToTop(g_window);
  SetActiveWindow(g_window);
  SetWindowPos(g_window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  ShowWindow(g_window, showCommand);
  UpdateWindow(g_window);
  return 1;
}

int GameStart() {
  portraitCheck();
  if (!g_runningFlag) g_runningFlag = new uint8_t(0);
  *g_runningFlag = 1;
  g_shell = new ShellHost(g_runningFlag);
  g_shell->canvas().bind(g_frameBuffer, kScreenWidth, kScreenHeight);

  WCHAR module[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
  module[n < MAX_PATH ? n : MAX_PATH - 1] = 0;
  char narrow[MAX_PATH];
  if (ceWcstombs(narrow, module, MAX_PATH) == static_cast<size_t>(-1)) narrow[0] = 0;
  narrow[MAX_PATH - 1] = 0;
  debugTrace("length: %d, filename: %s\n", static_cast<int>(n), narrow);
  // The folder: everything up to and including the last backslash.
  char* slash = std::strrchr(narrow, '\\');
  if (slash) {
    slash[1] = 0;
  } else {
    narrow[0] = 0;
  }
  debugTrace("root path: %s", narrow);
  if (!g_shell->setRootPath(narrow)) g_shell->setRootPath("");
  g_shell->startApplet();
  failOnGameError();
  return 1;
}

void GameFrame() {
  portraitCheck();
  LARGE_INTEGER frequency;
  LARGE_INTEGER now;
  LONGLONG hz;
  bool counter = QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0;
  // Without a performance counter the tick count paces the frames.
  if (counter) {
    hz = frequency.QuadPart;
    QueryPerformanceCounter(&now);
  } else {
    hz = 1000;
    now.QuadPart = GetTickCount();
  }
  if (now.QuadPart == g_lastFrame) {
    g_frameRate = 31.0f;
  } else {
    g_frameRate = static_cast<float>(static_cast<double>(hz) / static_cast<double>(now.QuadPart - g_lastFrame));
  }
  if (g_frameRate > 30.0f) {
    // Due once a thirtieth of a second has passed since the last frame.
    const LONGLONG due = g_lastFrame + hz / 30;
    g_frameWait = due > now.QuadPart ? static_cast<DWORD>((due - now.QuadPart) * 1000 / hz) + 1 : 1;
    return;
  }
  g_frameWait = 0;
  if (g_shell) {
    g_shell->runAppletFrame();
    failOnGameError();
    if (g_shell->isQuitRequested()) GameQuit();
  }
  if (counter) {
    QueryPerformanceCounter(&now);
  } else {
    now.QuadPart = GetTickCount();
  }
  g_lastFrame = now.QuadPart;
}

void GameSuspend() {
  if (g_shell) g_shell->suspendApplet();
}

void GameResume() {
  debugTrace("\n GameResume()");
  if (g_shell) g_shell->resumeApplet();
}

void GameQuit() {
  debugTrace("\n GameQuit()");
  orientationBack();
  if (g_runningFlag) *g_runningFlag = 0;
  if (g_shell) g_shell->quit();
  ceExit(0);
}

void GameEnd() {
  debugTrace("\n GameEnd()");
  orientationBack();
  if (g_runningFlag) *g_runningFlag = 0;
  if (g_shell) {
    g_shell->releaseApplet();
    delete g_shell;
    g_shell = nullptr;
  }
  delete g_runningFlag;
  g_runningFlag = nullptr;
}

void setFullScreen(HWND window, int on) {
  SHFullScreen(window, on ? (SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON) : (SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON));
  if (isOldSmartphone()) {
    if (HWND tray = FindWindowW(u"Tray", nullptr)) {
      SetWindowPos(tray, on ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
  }
}

bool isOldSmartphone() {
  WCHAR platform[32];
  std::memset(platform, 0, sizeof platform);
  if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof platform, platform, 0)) return false;
  platform[31] = 0;
  if (ceWcsicmp(platform, u"Smartphone") != 0) return false;
  OSVERSIONINFOW version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExW(&version)) return false;
  return version.dwMajorVersion < 5 && version.dwMinorVersion < 22;
}

bool isDisplayOff() {
  DWORD escape = GETPOWERMANAGEMENT;
  if (ExtEscape(g_screenDC, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), 0, nullptr) <= 0) {
    return false;
  }
  VIDEO_POWER_MANAGEMENT power;
  std::memset(&power, 0, sizeof power);
  power.Length = sizeof power;
  ExtEscape(g_screenDC, GETPOWERMANAGEMENT, 0, nullptr, sizeof power, reinterpret_cast<LPSTR>(&power));
  return power.PowerState != VideoPowerOn;
}

int setDisplayPowerOn() {
  DWORD escape = SETPOWERMANAGEMENT;
  if (ExtEscape(g_screenDC, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), 0, nullptr) <= 0) {
    return 0;
  }
  VIDEO_POWER_MANAGEMENT power = {sizeof(VIDEO_POWER_MANAGEMENT), 1, VideoPowerOn};
  return ExtEscape(g_screenDC, SETPOWERMANAGEMENT, sizeof power, reinterpret_cast<LPCSTR>(&power), 0, nullptr);
}

void switchToDesktop(int showDesktop) {
  orientationBack();
  if (showDesktop) {
    HWND desktop = FindWindowW(u"DesktopExplorerWindow", nullptr);
    if (IsWindow(desktop) == 1) {
      ShowWindow(desktop, SW_SHOWNA);
      SetForegroundWindow(withLowBit(desktop));
      return;
    }
  }
  ShowWindow(g_window, SW_MINIMIZE);
}

BOOL resizeToScreen(HWND window) {
  return MoveWindow(window, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), FALSE);
}

void setFullScreenMode(HWND window, int on) {
  static int s_fullScreenMode = 0;
  s_fullScreenMode = on;
  setFullScreen(window, s_fullScreenMode);
  resizeToScreen(window);
}

int invalidateWindow(HWND window) {
  InvalidateRect(window, nullptr, TRUE);
  return 1;
}

// The host's entry points that do nothing.
int hostPassThrough(int value) { return value; }
void hostNothing() {}
int hostNothing4(int, int, int, int) { return 0; }

LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const int32_t packed = static_cast<int32_t>(lParam);
  const int32_t x = static_cast<int16_t>(packed & 0xFFFF);
  const int32_t y = packed >> 16;
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_ACTIVATE:
      debugTrace("\n WM_ACTIVATE case");
      if (LOWORD(wParam) != 0) {
        if (g_activatedOnce && hasShellHost()) {
          debugTrace("\n  always call GXResume() here.");
          if (GameServices* game = currentGame()) game->stopCurrentElementAnimations();
          GameResume();
        }
        g_activatedOnce = 1;
        g_paused = 0;
        debugTrace("\n WM_ACTIVATE case 2");
      } else {
        if (g_activatedOnce && hasShellHost()) GameSuspend();
        g_activatedOnce = 1;
        if (hasShellHost()) {
          GameServices* game = currentGame();
          if (game && game->isAnySoundPlaying()) game->stopAllSounds();
        }
        g_paused = 1;
        debugTrace("\n WM_ACTIVATE case 1");
      }
      return 0;
    case WM_SETFOCUS:
      g_paused = 0;
      ShowWindow(window, SW_SHOW);
      setFullScreen(window, 1);
      return 0;
    case WM_KILLFOCUS:
      if (readOrientation() == DMDO_0) {
        g_paused = 1;
        ShowWindow(window, SW_HIDE);
      }
      return 0;
    case WM_SETTINGCHANGE:
      return 0;
    case WM_KEYDOWN: {
      const int16_t key = static_cast<int16_t>(wParam);
      debugTrace("\n vkKey KEY PRESSED: %d", key);
      debugTrace("\n vkKey KEY PRESSED: %d", key);
      if (key == VK_LWIN || key == VK_F4) {
        switchToDesktop(1);
        return 0;
      }
      if (key == VK_F1 || key == VK_F2) g_swallowChar = 1;
      if (g_shell) g_shell->keyPressed(key);
      if (key == 0x7A || key == 0xC5) PostMessageW(GetForegroundWindow(), WM_KILLFOCUS, 0, 0);
      return 0;
    }
    case WM_KEYUP:
      if (g_shell) g_shell->keyReleased(static_cast<int16_t>(wParam));
      return 0;
    case WM_CHAR:
      if (g_swallowChar) {
        g_swallowChar = 0;
      } else if (g_shell) {
        g_shell->keyCharacter(static_cast<int32_t>(wParam));
      }
      return 0;
    case WM_MOUSEMOVE:
      if (g_shell) g_shell->pointerDragged(x, y);
      return 0;
    case WM_LBUTTONDOWN:
      if (g_shell) g_shell->pointerPressed(x, y);
      return 0;
    case WM_LBUTTONUP:
      if (g_shell) g_shell->pointerReleased(x, y);
      return 0;
    case WM_USER + 1:
      if (wParam) {
        SHFullScreen(window, SHFS_HIDETASKBAR | SHFS_SHOWSIPBUTTON | SHFS_HIDESTARTICON);
        SHOrdinal21(window, 0);
      } else {
        SHFullScreen(window, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON);
        SHOrdinal21(window, 2);
      }
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
  resetHostState();
  installHostServices();
  CoInitializeEx(nullptr, 0);
  if (!createMainWindow(instance, showCommand)) return 0;
  g_screenDC = GetDC(nullptr);
  g_windowDC = GetDC(g_window);

  BITMAPINFOHEADER& h = g_dib.bmiHeader;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = kScreenWidth;
  h.biHeight = -kScreenHeight;
  h.biPlanes = 1;
  h.biBitCount = 16;
  h.biCompression = BI_BITFIELDS;
  h.biSizeImage = kFrameBufferBytes;
  g_dib.bmiMasks[0] = 0xF800;
  g_dib.bmiMasks[1] = 0x07E0;
  g_dib.bmiMasks[2] = 0x001F;
  g_blitBuffer = static_cast<uint16_t*>(memNew(kFrameBufferBytes));
  // Four bytes per entry, as the maps were laid out for larger screens.
  g_xMap = static_cast<uint16_t*>(memNew((kScreenWidth + 1) * 4));
  g_yMap = static_cast<uint16_t*>(memNew((kScreenHeight + 1) * 4));
  if (!g_blitBuffer || !g_xMap || !g_yMap) return 0;
  for (int i = 0; i < kScreenWidth; ++i) g_xMap[i] = static_cast<uint16_t>(i * kScreenWidth / kScreenWidth);
  g_xMap[kScreenWidth] = kScreenWidth;
  for (int j = 0; j < kScreenHeight; ++j) g_yMap[j] = static_cast<uint16_t>(j * kScreenHeight / kScreenHeight);
  g_yMap[kScreenHeight] = kScreenHeight;
  setFullScreen(g_window, 1);
  GameStart();

  MSG msg;
  std::memset(&msg, 0, sizeof msg);
  int idleCount = 0;
  while (isRunning()) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        GameQuit();
      } else {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      continue;
    }
    if (g_paused) {
      ++idleCount;
      idleTurn(idleCount);
      continue;
    }
    idleCount = 0;
    GameFrame();
    if (isHostPaused()) {
      g_paused = 1;
    } else if (g_frameWait == 0) {
      blit();
    } else {
      // No new frame: nothing to show; wait for input or the frame's time.
      MsgWaitForMultipleObjects(0, nullptr, FALSE, g_frameWait, QS_ALLINPUT);
    }
  }
  GameEnd();

  CoUninitialize();
  ReleaseDC(nullptr, g_screenDC);
  PostMessageW(g_window, WM_CLOSE, 0, 0);
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
