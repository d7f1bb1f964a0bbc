// Window classes, windows, activation and focus, the message queue.
#include <algorithm>
#include <cstdio>

#include "wince/crt.h"
#include "wince/src/internal.h"

namespace wince {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

const WindowClass* findClass(State& s, LPCWSTR name) {
  for (const WindowClass& c : s.classes)
    if (ceWcsicmp(c.name.c_str(), name) == 0) return &c;
  return nullptr;
}

LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = nullptr;
  {
    State& s = state();
    Lock lock(s.mutex);
    if (!isLiveWindow(window)) return 0;
    proc = window->proc;
  }
  return proc ? proc(window, message, wParam, lParam) : 0;
}

void setFocusTo(HWND window) {
  State& s = state();
  HWND old;
  {
    Lock lock(s.mutex);
    old = s.focus;
    if (old == window) return;
    s.focus = window;
  }
  if (old && isLiveWindow(old)) send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
  if (window && isLiveWindow(window)) send(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

bool isTopLevel(HWND w) { return !(w->style & WS_CHILD) && !w->parent; }

void notifyBackendIfMain(HWND w) {
  if (w == mainWindow()) state().backend->windowState(w->visible, w->minimised);
}

bool matches(const MSG& m, HWND window, UINT lo, UINT hi) {
  if (window && m.hwnd != window) return false;
  if (lo == 0 && hi == 0) return true;
  return m.message >= lo && m.message <= hi;
}

// Takes the next message without pumping the backend.
bool takeMessage(MSG* msg, HWND window, UINT lo, UINT hi, bool remove) {
  State& s = state();
  Lock lock(s.mutex);
  for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
    if (!matches(*it, window, lo, hi)) continue;
    *msg = *it;
    if (remove) s.queue.erase(it);
    return true;
  }
  if (s.quitPosted && (lo == 0 && hi == 0 ? true : (WM_QUIT >= lo && WM_QUIT <= hi))) {
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(static_cast<intptr_t>(s.quitCode)), 0, GetTickCount(), {0, 0}};
    if (remove) s.quitPosted = false;
    return true;
  }
  for (auto& w : s.windows) {
    HWND h = w.get();
    if (h->destroyed || !h->visible || !h->invalid) continue;
    if (window && h != window) continue;
    if (!(lo == 0 && hi == 0) && !(WM_PAINT >= lo && WM_PAINT <= hi)) continue;
    *msg = MSG{h, WM_PAINT, 0, 0, GetTickCount(), {0, 0}};
    return true;  // stays until the window is validated
  }
  return false;
}

}  // namespace

bool isLiveWindow(HWND window) { return liveWindow(window) == window && window; }

HWND liveWindow(HWND window) {
  if (!window) return nullptr;
  HWND h = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(window) & ~static_cast<uintptr_t>(1));
  State& s = state();
  Lock lock(s.mutex);
  for (auto& w : s.windows)
    if (w.get() == h) return w->destroyed ? nullptr : h;
  return nullptr;
}

HWND mainWindow() {
  State& s = state();
  Lock lock(s.mutex);
  for (auto& w : s.windows)
    if (!w->destroyed && isTopLevel(w.get())) return w.get();
  return nullptr;
}

void activateWindow(HWND window) {
  State& s = state();
  HWND old;
  {
    Lock lock(s.mutex);
    if (window && !isLiveWindow(window)) return;
    old = s.active;
    if (old == window) return;
    s.active = window;
  }
  if (old && isLiveWindow(old))
    send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(window));
  if (window) send(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
  setFocusTo(window);
}

void deactivateApp() { activateWindow(nullptr); }

void postInput(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND target = nullptr;
  {
    State& s = state();
    Lock lock(s.mutex);
    target = s.active ? s.active : mainWindow();
  }
  if (target) PostMessageW(target, message, wParam, lParam);
}

}  // namespace wince

using wince::Lock;
using wince::State;
using wince::state;

ATOM RegisterClassW(const WNDCLASSW* wc) {
  if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  State& s = state();
  Lock lock(s.mutex);
  if (wince::findClass(s, wc->lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  wince::WindowClass c;
  c.name = wc->lpszClassName;
  c.info = *wc;
  c.info.lpszClassName = nullptr;
  c.info.lpszMenuName = nullptr;
  s.classes.push_back(std::move(c));
  return static_cast<ATOM>(0xC000 + s.classes.size());
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
  if (!className) return FALSE;
  State& s = state();
  Lock lock(s.mutex);
  for (auto it = s.classes.begin(); it != s.classes.end(); ++it)
    if (ceWcsicmp(it->name.c_str(), className) == 0) {
      s.classes.erase(it);
      return TRUE;
    }
  SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
  return FALSE;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  State& s = state();
  HWND w;
  {
    Lock lock(s.mutex);
    const wince::WindowClass* c = className ? wince::findClass(s, className) : nullptr;
    if (!c) {
      SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
      return nullptr;
    }
    if (parent && !wince::isLiveWindow(parent)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    auto owned = std::make_unique<HWND__>();
    w = owned.get();
    w->magic = wince::kWindowMagic;
    w->className = c->name;
    w->title = windowName ? windowName : u"";
    w->proc = c->info.lpfnWndProc;
    w->style = style & ~WS_VISIBLE;
    w->parent = parent;
    if (x == CW_USEDEFAULT) x = 0;
    if (y == CW_USEDEFAULT) y = 0;
    if (width == CW_USEDEFAULT) width = wince::kScreenWidth;
    if (height == CW_USEDEFAULT) height = wince::kScreenHeight;
    w->rect = RECT{x, y, x + width, y + height};
    s.windows.push_back(std::move(owned));
  }
  if (w == wince::mainWindow()) s.backend->windowCreated(ceToUtf8(w->title));
  CREATESTRUCTW cs{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style), windowName,
                   className, exStyle};
  if (wince::send(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(w);
    return nullptr;
  }
  if (style & WS_VISIBLE) {
    {
      Lock lock(s.mutex);
      w->style |= WS_VISIBLE;
      w->visible = true;
      w->invalid = true;
    }
    wince::notifyBackendIfMain(w);
    if (wince::isTopLevel(w)) wince::activateWindow(w);
  }
  return w;
}

BOOL DestroyWindow(HWND window) {
  HWND w = wince::liveWindow(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  State& s = state();
  bool wasMain = w == wince::mainWindow();
  if (s.active == w) wince::activateWindow(nullptr);
  if (s.focus == w) wince::setFocusTo(nullptr);
  wince::send(w, WM_DESTROY, 0, 0);
  wince::send(w, WM_NCDESTROY, 0, 0);
  {
    Lock lock(s.mutex);
    w->destroyed = true;
    w->visible = false;
    s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(), [w](const MSG& m) { return m.hwnd == w; }),
                  s.queue.end());
  }
  if (wasMain) s.backend->windowState(false, false);
  return TRUE;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_PAINT:
      ValidateRect(window, nullptr);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    default:
      return 0;
  }
}

BOOL ShowWindow(HWND window, int command) {
  HWND w = wince::liveWindow(window);
  wince::logCall("ShowWindow(" + wince::describeWindow(window) + ", " + std::to_string(command) + ")");
  if (!w) return FALSE;
  State& s = state();
  bool wasVisible;
  bool activate = false;
  bool deactivate = false;
  {
    Lock lock(s.mutex);
    wasVisible = w->visible;
    switch (command) {
      case SW_HIDE:
        w->visible = false;
        deactivate = s.active == w;
        break;
      case SW_MINIMIZE:
      case SW_SHOWMINIMIZED:
      case SW_SHOWMINNOACTIVE:
        w->visible = true;
        w->minimised = true;
        deactivate = s.active == w;
        break;
      case SW_SHOWNA:
      case SW_SHOWNOACTIVATE:
        w->visible = true;
        break;
      default:  // SW_SHOW, SW_SHOWNORMAL, SW_RESTORE, SW_MAXIMIZE
        w->visible = true;
        w->minimised = false;
        activate = wince::isTopLevel(w);
        break;
    }
    if (w->visible && !wasVisible) w->invalid = true;
    if (w->visible)
      w->style |= WS_VISIBLE;
    else
      w->style &= ~WS_VISIBLE;
  }
  wince::notifyBackendIfMain(w);
  if (deactivate) wince::activateWindow(nullptr);
  if (activate) wince::activateWindow(w);
  return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
  HWND w = wince::liveWindow(window);
  wince::logCall("UpdateWindow(" + wince::describeWindow(window) + ")");
  if (!w) return FALSE;
  if (w->visible && w->invalid) wince::send(w, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL erase) {
  wince::logCall("InvalidateRect(" + wince::describeWindow(window) + ", " + std::to_string(erase) + ")");
  State& s = state();
  Lock lock(s.mutex);
  if (!window) {
    for (auto& w : s.windows)
      if (!w->destroyed) w->invalid = true;
    return TRUE;
  }
  HWND w = wince::liveWindow(window);
  if (!w) return FALSE;
  w->invalid = true;
  return TRUE;
}

BOOL ValidateRect(HWND window, const RECT*) {
  HWND w = wince::liveWindow(window);
  if (!w) return FALSE;
  State& s = state();
  Lock lock(s.mutex);
  w->invalid = false;
  return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  HWND w = wince::liveWindow(window);
  if (!w || !paint) return nullptr;
  ValidateRect(w, nullptr);
  *paint = PAINTSTRUCT{};
  paint->hdc = GetDC(w);
  paint->rcPaint = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (paint) ReleaseDC(window, paint->hdc);
  return TRUE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  std::string after = insertAfter == HWND_TOP      ? "HWND_TOP"
                      : insertAfter == HWND_BOTTOM ? "HWND_BOTTOM"
                      : insertAfter == HWND_TOPMOST ? "HWND_TOPMOST"
                      : insertAfter == HWND_NOTOPMOST ? "HWND_NOTOPMOST"
                                                      : wince::describeWindow(insertAfter);
  wince::logCall("SetWindowPos(" + wince::describeWindow(window) + ", " + after + ", " + std::to_string(x) + ", " +
                 std::to_string(y) + ", " + std::to_string(cx) + ", " + std::to_string(cy) + ", " +
                 std::to_string(flags) + ")");
  HWND w = wince::liveWindow(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  State& s = state();
  bool show = false, hide = false;
  {
    Lock lock(s.mutex);
    if (!(flags & SWP_NOMOVE)) {
      LONG wd = w->rect.right - w->rect.left, ht = w->rect.bottom - w->rect.top;
      w->rect = RECT{x, y, x + wd, y + ht};
    }
    if (!(flags & SWP_NOSIZE)) {
      w->rect.right = w->rect.left + cx;
      w->rect.bottom = w->rect.top + cy;
    }
    show = (flags & SWP_SHOWWINDOW) && !w->visible;
    hide = (flags & SWP_HIDEWINDOW) && w->visible;
  }
  if (show) ShowWindow(w, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (hide) ShowWindow(w, SW_HIDE);
  if (!(flags & SWP_NOACTIVATE) && !show && wince::isTopLevel(w) && w->visible && !w->minimised)
    wince::activateWindow(w);
  return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
  return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL BringWindowToTop(HWND window) {
  wince::logCall("BringWindowToTop(" + wince::describeWindow(window) + ")");
  HWND w = wince::liveWindow(window);
  if (!w) return FALSE;
  if (wince::isTopLevel(w) && w->visible && !w->minimised) wince::activateWindow(w);
  return TRUE;
}

HWND SetActiveWindow(HWND window) {
  wince::logCall("SetActiveWindow(" + wince::describeWindow(window) + ")");
  State& s = state();
  HWND old = s.active;
  HWND w = wince::liveWindow(window);
  if (window && !w) return nullptr;
  wince::activateWindow(w);
  return old;
}

HWND GetActiveWindow() { return state().active; }
HWND GetForegroundWindow() { return state().active; }

BOOL SetForegroundWindow(HWND window) {
  wince::logCall("SetForegroundWindow(" + wince::describeWindow(window) + ")");
  HWND w = wince::liveWindow(window);
  if (!w) return FALSE;
  if (w->minimised) ShowWindow(w, SW_RESTORE);
  wince::activateWindow(w);
  return TRUE;
}

HWND SetFocus(HWND window) {
  State& s = state();
  HWND old = s.focus;
  HWND w = wince::liveWindow(window);
  if (window && !w) return nullptr;
  wince::setFocusTo(w);
  return old;
}

HWND GetFocus() { return state().focus; }

BOOL IsWindow(HWND window) { return wince::isLiveWindow(window) ? TRUE : FALSE; }

BOOL IsWindowVisible(HWND window) {
  HWND w = wince::liveWindow(window);
  return w && w->visible ? TRUE : FALSE;
}

BOOL IsIconic(HWND window) {
  HWND w = wince::liveWindow(window);
  return w && w->minimised ? TRUE : FALSE;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
  State& s = state();
  Lock lock(s.mutex);
  for (auto& w : s.windows) {
    if (w->destroyed) continue;
    if (className && ceWcsicmp(w->className.c_str(), className) != 0) continue;
    if (windowName && ceWcscmp(w->title.c_str(), windowName) != 0) continue;
    return w.get();
  }
  return nullptr;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  HWND w = wince::liveWindow(window);
  if (!w || !rect) return FALSE;
  *rect = w->rect;
  return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  HWND w = wince::liveWindow(window);
  if (!w || !rect) return FALSE;
  *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  return TRUE;
}

namespace wince {

void countBackgroundTime() {
  constexpr uint64_t kFrameMicros = 33334;  // one frame at 30 a second
  State& s = state();
  bool limitHit = false;
  HWND main = nullptr;
  {
    Lock lock(s.mutex);
    if (!s.virtualClock || !s.frameLimit || s.frameLimitHit) return;
    const uint64_t now = s.virtualMicros.load();
    main = mainWindow();
    // Hidden, minimised or not the active window: the program is paused and
    // draws nothing, yet its time still bounds the run.
    const bool background = main && (!main->visible || main->minimised || s.active != main);
    if (background && now > s.lastPollMicros) s.backgroundMicros += now - s.lastPollMicros;
    s.lastPollMicros = now;
    if (s.frames + s.backgroundMicros / kFrameMicros >= s.frameLimit) {
      s.frameLimitHit = true;
      limitHit = true;
    }
  }
  if (limitHit && main) PostMessageW(main, WM_CLOSE, 0, 0);
}

}  // namespace wince

BOOL PeekMessageW(MSG* msg, HWND window, UINT lo, UINT hi, UINT remove) {
  if (!msg) return FALSE;
  State& s = state();
  s.backend->pump();
  if (wince::takeMessage(msg, window, lo, hi, (remove & PM_REMOVE) != 0)) return TRUE;
  s.backend->idlePoll();
  wince::countBackgroundTime();
  return FALSE;
}

BOOL GetMessageW(MSG* msg, HWND window, UINT lo, UINT hi) {
  if (!msg) return -1;
  State& s = state();
  for (;;) {
    s.backend->pump();
    if (wince::takeMessage(msg, window, lo, hi, true)) return msg->message == WM_QUIT ? FALSE : TRUE;
    if (!s.backend->wait(10)) {
      // Nothing can ever arrive (headless with no script left): end as if quit.
      std::fputs("GetMessageW: no message can arrive, ending the loop\n", stderr);
      *msg = MSG{nullptr, WM_QUIT, 0, 0, GetTickCount(), {0, 0}};
      return FALSE;
    }
  }
}

DWORD MsgWaitForMultipleObjects(DWORD count, const void* const*, BOOL, DWORD ms, DWORD) {
  constexpr DWORD kTimeout = 258;
  State& s = state();
  auto queued = [&s] {
    s.backend->pump();
    Lock lock(s.mutex);
    return !s.queue.empty();
  };
  if (queued()) return count;
  if (s.kind != wince::BackendKind::Sdl) {
    Sleep(ms);
    return queued() ? count : kTimeout;
  }
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD waited = GetTickCount() - start;
    if (waited >= ms) return kTimeout;
    s.backend->wait(ms - waited);  // the window's next event or the time
    if (queued()) return count;
  }
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || msg->message != WM_KEYDOWN) return FALSE;
  WPARAM vk = msg->wParam;
  WPARAM ch = 0;
  if (vk >= '0' && vk <= '9')
    ch = vk;
  else if (vk >= 'A' && vk <= 'Z')
    ch = vk - 'A' + 'a';
  else if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_BACK || vk == VK_ESCAPE)
    ch = vk;
  if (!ch) return FALSE;
  State& s = state();
  Lock lock(s.mutex);
  s.queue.push_front(MSG{msg->hwnd, WM_CHAR, ch, msg->lParam, GetTickCount(), {0, 0}});
  return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;
  return wince::send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND w = nullptr;
  if (window) {
    w = wince::liveWindow(window);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
  }
  State& s = state();
  Lock lock(s.mutex);
  s.queue.push_back(MSG{w, message, wParam, lParam, GetTickCount(), {0, 0}});
  return TRUE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND w = wince::liveWindow(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return wince::send(w, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  State& s = state();
  Lock lock(s.mutex);
  s.quitPosted = true;
  s.quitCode = exitCode;
}
