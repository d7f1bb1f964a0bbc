// SDL2 backend: a real window showing the 240x320 screen scaled up (integer
// scale, nearest), the mouse as the stylus, window close and focus as
// messages, SDL message boxes. Presenting is throttled to about 60 Hz.
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "wince/src/internal.h"

namespace wince {

namespace {

constexpr uint64_t kPresentInterval = 16667;  // us
constexpr uint64_t kMoveInterval = 25000;     // us: moves reach the window at most at 40 Hz
constexpr Uint32 kScriptMouse = 0x5C51;       // the mouse id of scripted events

class SdlBackend : public Backend {
 public:
  bool open(int scale, std::string* error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      if (error) *error = SDL_GetError();
      return false;
    }
    videoUp_ = true;
    // With no display SDL falls back to a driver that shows nothing; only a
    // driver asked for by name (SDL_VIDEODRIVER, as the tests do) may be one.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (driver && (!asked || !*asked) && (!std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy"))) {
      if (error) *error = "no display to open a window on (set DISPLAY, or use --backend=headless)";
      return false;
    }
    scale_ = scale > 0 ? scale : fitScale();
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    window_ = SDL_CreateWindow("Korvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kScreenWidth * scale_,
                               kScreenHeight * scale_, SDL_WINDOW_HIDDEN);
    if (!window_) {
      if (error) *error = SDL_GetError();
      return false;
    }
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) {
      if (error) *error = SDL_GetError();
      return false;
    }
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, kScreenWidth,
                                 kScreenHeight);
    if (!texture_) {
      if (error) *error = SDL_GetError();
      return false;
    }
    pixels_.assign(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0);
    return true;
  }

  ~SdlBackend() override {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    if (videoUp_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  BackendKind kind() const override { return BackendKind::Sdl; }

  void pump() override {
    deliverScript(GetTickCount(), [this](const ScriptEvent& e) { pushScripted(e); });
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) handle(ev);
    uint64_t now = realMicros();
    if (movePending_ && now - lastMove_ >= kMoveInterval) flushMove(now);
    if (dirty_ && now - lastPresent_ >= kPresentInterval) show(now);
  }

  bool wait() override {
    SDL_WaitEventTimeout(nullptr, 10);
    return true;
  }

  void idlePoll() override {}

  void present(const uint16_t* screen) override {
    std::memcpy(pixels_.data(), screen, pixels_.size() * sizeof(uint16_t));
    dirty_ = true;
    uint64_t now = realMicros();
    if (now - lastPresent_ >= kPresentInterval) show(now);
  }

  void windowState(bool visible, bool minimised) override {
    if (visible && !minimised) {
      if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window_);
      SDL_ShowWindow(window_);
      dirty_ = true;
    } else if (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) {
      // Hidden or minimised: minimise, so the user can bring the game back.
      SDL_MinimizeWindow(window_);
    }
  }

  int messageBox(const std::string& text, const std::string& caption, UINT type) override {
    SDL_MessageBoxButtonData buttons[3];
    int count = 0;
    auto add = [&](int id, const char* label) { buttons[count++] = SDL_MessageBoxButtonData{0, id, label}; };
    switch (type & 0xF) {
      case MB_OKCANCEL: add(IDOK, "OK"), add(IDCANCEL, "Cancel"); break;
      case MB_ABORTRETRYIGNORE: add(IDABORT, "Abort"), add(IDRETRY, "Retry"), add(IDIGNORE, "Ignore"); break;
      case MB_YESNOCANCEL: add(IDYES, "Yes"), add(IDNO, "No"), add(IDCANCEL, "Cancel"); break;
      case MB_YESNO: add(IDYES, "Yes"), add(IDNO, "No"); break;
      case MB_RETRYCANCEL: add(IDRETRY, "Retry"), add(IDCANCEL, "Cancel"); break;
      default: add(IDOK, "OK"); break;
    }
    int def = (type & MB_DEFBUTTON3) ? 2 : (type & MB_DEFBUTTON2) ? 1 : 0;
    if (def >= count) def = 0;
    buttons[def].flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    buttons[count - 1].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    UINT icon = type & 0xF0;
    Uint32 flags = icon == MB_ICONHAND ? SDL_MESSAGEBOX_ERROR
                   : icon == MB_ICONEXCLAMATION ? SDL_MESSAGEBOX_WARNING
                                                : SDL_MESSAGEBOX_INFORMATION;
    SDL_MessageBoxData data{flags, window_, caption.c_str(), text.c_str(), count, buttons, nullptr};
    int pressed = 0;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
      // The box cannot be shown: its text goes to standard error instead.
      std::fprintf(stderr, "%s: %s\n(message box not shown: %s)\n", caption.c_str(), text.c_str(), SDL_GetError());
      return 0;
    }
    return pressed > 0 ? pressed : 0;
  }

  void windowCreated(const std::string& title) override { SDL_SetWindowTitle(window_, title.c_str()); }

 private:
  // The largest integer scale at which the window and its title bar fit the
  // display's usable area, at most kMaxFitScale (--scale may go beyond).
  static constexpr int kMaxFitScale = 3;
  static constexpr int kTitleBar = 40;
  int fitScale() const {
    SDL_Rect area{};
    if (SDL_GetDisplayUsableBounds(0, &area) != 0 || area.w <= 0 || area.h <= 0) {
      SDL_DisplayMode mode;
      if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 2;
      area.w = mode.w;
      area.h = mode.h;
    }
    int s = std::min(area.w / kScreenWidth, (area.h - kTitleBar) / kScreenHeight);
    return std::clamp(s, 1, kMaxFitScale);
  }

  void show(uint64_t now) {
    SDL_UpdateTexture(texture_, nullptr, pixels_.data(), kScreenWidth * 2);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    lastPresent_ = now;
    dirty_ = false;
  }

  // Window pixels to screen pixels, clamped to the screen.
  LPARAM toScreen(int wx, int wy) const {
    int x = std::clamp(wx < 0 ? -1 : wx / scale_, 0, kScreenWidth - 1);
    int y = std::clamp(wy < 0 ? -1 : wy / scale_, 0, kScreenHeight - 1);
    return MAKELPARAM(x, y);
  }

  void flushMove(uint64_t now) {
    movePending_ = false;
    lastMove_ = now;
    postInput(WM_MOUSEMOVE, MK_LBUTTON, move_);
  }

  void handle(const SDL_Event& ev) {
    switch (ev.type) {
      case SDL_QUIT:
        if (HWND w = mainWindow()) PostMessageW(w, WM_CLOSE, 0, 0);
        break;
      case SDL_WINDOWEVENT:
        handleWindow(ev.window);
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (ev.button.button != SDL_BUTTON_LEFT || ev.button.which == SDL_TOUCH_MOUSEID || down_) break;
        down_ = true;
        scripted_ = ev.button.which == kScriptMouse;
        movePending_ = false;
        if (!scripted_) SDL_CaptureMouse(SDL_TRUE);
        postInput(WM_LBUTTONDOWN, MK_LBUTTON, toScreen(ev.button.x, ev.button.y));
        break;
      case SDL_MOUSEMOTION:
        if (!down_ || ev.motion.which == SDL_TOUCH_MOUSEID || scripted_ != (ev.motion.which == kScriptMouse)) break;
        move_ = toScreen(ev.motion.x, ev.motion.y);
        movePending_ = true;
        if (realMicros() - lastMove_ >= kMoveInterval) flushMove(realMicros());
        break;
      case SDL_MOUSEBUTTONUP:
        if (ev.button.button != SDL_BUTTON_LEFT || !down_ || ev.button.which == SDL_TOUCH_MOUSEID ||
            scripted_ != (ev.button.which == kScriptMouse))
          break;
        if (movePending_) flushMove(realMicros());
        down_ = false;
        if (!scripted_) SDL_CaptureMouse(SDL_FALSE);
        postInput(WM_LBUTTONUP, 0, toScreen(ev.button.x, ev.button.y));
        break;
      default:
        break;
    }
  }

  void handleWindow(const SDL_WindowEvent& ev) {
    HWND w = mainWindow();
    if (!w) return;
    switch (ev.event) {
      case SDL_WINDOWEVENT_CLOSE:
        PostMessageW(w, WM_CLOSE, 0, 0);
        break;
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        if (GetActiveWindow() != w) {
          {
            std::lock_guard<std::recursive_mutex> lock(state().mutex);
            w->minimised = false;
          }
          activateWindow(w);
        }
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST:
      case SDL_WINDOWEVENT_MINIMIZED:
        if (ev.event == SDL_WINDOWEVENT_MINIMIZED) {
          std::lock_guard<std::recursive_mutex> lock(state().mutex);
          w->minimised = true;
        }
        if (GetActiveWindow()) deactivateApp();
        break;
      case SDL_WINDOWEVENT_EXPOSED:
        dirty_ = true;
        break;
      default:
        break;
    }
  }

  // A scripted stylus event becomes the SDL mouse event a user would cause,
  // marked so that the real pointer cannot join a scripted stroke.
  void pushScripted(const ScriptEvent& e) {
    SDL_Event ev{};
    Uint32 id = SDL_GetWindowID(window_);
    int wx = e.x * scale_ + scale_ / 2;
    int wy = e.y * scale_ + scale_ / 2;
    if (e.kind == ScriptEvent::Move) {
      ev.type = SDL_MOUSEMOTION;
      ev.motion.windowID = id;
      ev.motion.which = kScriptMouse;
      ev.motion.state = SDL_BUTTON_LMASK;
      ev.motion.x = wx;
      ev.motion.y = wy;
    } else {
      ev.type = e.kind == ScriptEvent::Down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
      ev.button.windowID = id;
      ev.button.which = kScriptMouse;
      ev.button.button = SDL_BUTTON_LEFT;
      ev.button.state = e.kind == ScriptEvent::Down ? SDL_PRESSED : SDL_RELEASED;
      ev.button.clicks = 1;
      ev.button.x = wx;
      ev.button.y = wy;
    }
    SDL_PushEvent(&ev);
  }

  bool videoUp_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int scale_ = 2;
  std::vector<uint16_t> pixels_;
  bool dirty_ = false;
  uint64_t lastPresent_ = 0;
  bool down_ = false;
  bool scripted_ = false;  // the stroke in progress comes from the script
  bool movePending_ = false;
  LPARAM move_ = 0;
  uint64_t lastMove_ = 0;
};

}  // namespace

std::unique_ptr<Backend> makeSdlBackend(int scale, std::string* error) {
  auto b = std::make_unique<SdlBackend>();
  if (!b->open(scale, error)) return nullptr;
  return b;
}

}  // namespace wince
