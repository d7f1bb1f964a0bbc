// SDL2 backend: a real window showing the 240x320 screen scaled up (integer
// scale, nearest), the mouse as the stylus, window close and focus as
// messages, SDL message boxes. Presenting is throttled to about 60 Hz, and a
// frame that changed nothing is not presented. A GPU draws the picture where
// there is one; otherwise it is scaled straight into the window's surface,
// without a software GL stack.
#include <SDL2/SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "wince/src/internal.h"

namespace wince {

namespace {

constexpr uint64_t kPresentInterval = 16667;  // us
constexpr uint64_t kMoveInterval = 25000;     // us: moves reach the window at most at 40 Hz
constexpr uint64_t kPollInterval = 1000;      // us
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
    pixels_.assign(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0);
    // A window surface (ours, or under SDL's software renderer) is the
    // window's own framebuffer, never a texture behind a GL renderer.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (wantRenderer() && openRenderer()) return true;
    if (!SDL_GetWindowSurface(window_)) {
      if (error) *error = SDL_GetError();
      return false;
    }
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
    bool pushed = false;
    deliverScript(GetTickCount(), [&](const ScriptEvent& e) {
      pushScripted(e);
      pushed = true;
    });
    uint64_t now = realMicros();
    // The loop asks several times a turn, and every read of the window's
    // queue costs a round of system calls: it is read again within
    // kPollInterval only when a wait saw an event or a scripted one was pushed.
    if (pushed || waited_ || now - lastPoll_ >= kPollInterval) {
      SDL_Event ev;
      while (SDL_PollEvent(&ev)) handle(ev);
      lastPoll_ = now = realMicros();
      waited_ = false;
    }
    if (movePending_ && now - lastMove_ >= kMoveInterval) flushMove(now);
    if (dirty_ && now - lastPresent_ >= kPresentInterval) show(now);
  }

  // Sleeps until an event arrives, the time is up, or a scripted event, a
  // held-back move or a held-back frame is due.
  bool wait(uint32_t timeoutMs) override {
    const uint64_t now = realMicros();
    uint64_t limit = uint64_t{timeoutMs} * 1000;
    auto before = [&](uint64_t at) { limit = std::min(limit, at > now ? at - now : 0); };
    if (movePending_) before(lastMove_ + kMoveInterval);
    if (dirty_) before(lastPresent_ + kPresentInterval);
    bool scripted = false;
    const uint32_t next = nextScriptTime(scripted);
    if (scripted) {
      const uint32_t tick = GetTickCount();
      limit = std::min<uint64_t>(limit, next > tick ? uint64_t{next - tick} * 1000 : 0);
    }
    // SDL reads the queue before it sleeps: a wait that saw nothing counts as
    // a read.
    if (SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<uint64_t>((limit + 999) / 1000, INT32_MAX))))
      waited_ = true;
    else
      lastPoll_ = realMicros();
    return true;
  }

  void idlePoll() override {}

  void present(const uint16_t* screen) override {
    takeChangedRows(screen);
    if (!dirty_) return;
    uint64_t now = realMicros();
    if (now - lastPresent_ >= kPresentInterval) show(now);
  }

  void windowState(bool visible, bool minimised) override {
    if (visible && !minimised) {
      if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window_);
      SDL_ShowWindow(window_);
      markAllDirty();
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

  // A renderer is used when the user chose one (SDL_RENDER_DRIVER) or when
  // the machine has a GPU render node; without one a renderer would be
  // Mesa's software rasteriser, dearer than the window surface.
  static bool wantRenderer() {
    if (SDL_GetHint(SDL_HINT_RENDER_DRIVER)) return true;
    for (int n = 128; n < 192; ++n) {
      const std::string node = "/dev/dri/renderD" + std::to_string(n);
      const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
      if (fd >= 0) {
        ::close(fd);
        return true;
      }
    }
    return false;
  }

  // GL_RENDERER of the renderer's context names a software rasteriser.
  static bool softwareGl() {
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const char* name = getString ? reinterpret_cast<const char*>(getString(0x1F01)) : nullptr;
    if (!name) return false;
    for (const char* soft : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast", "SWR"})
      if (std::strstr(name, soft)) return true;
    return false;
  }

  bool openRenderer() {
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    SDL_RendererInfo info{};
    const bool chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr;
    if (renderer_ && !chosen && SDL_GetRendererInfo(renderer_, &info) == 0 && info.name &&
        std::strncmp(info.name, "opengl", 6) == 0 && softwareGl()) {
      SDL_DestroyRenderer(renderer_);
      renderer_ = nullptr;
      return false;
    }
    if (!renderer_ && chosen) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) return false;
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, kScreenWidth,
                                 kScreenHeight);
    if (!texture_) {
      SDL_DestroyRenderer(renderer_);
      renderer_ = nullptr;
      return false;
    }
    return true;
  }

  // Copies the rows of `screen` that differ from the last frame and widens
  // the band of rows still to show.
  void takeChangedRows(const uint16_t* screen) {
    for (int y = 0; y < kScreenHeight; ++y) {
      uint16_t* row = pixels_.data() + static_cast<size_t>(y) * kScreenWidth;
      const uint16_t* in = screen + static_cast<size_t>(y) * kScreenWidth;
      if (std::memcmp(row, in, kScreenWidth * sizeof(uint16_t)) == 0) continue;
      std::memcpy(row, in, kScreenWidth * sizeof(uint16_t));
      dirtyTop_ = std::min(dirtyTop_, y);
      dirtyEnd_ = std::max(dirtyEnd_, y + 1);
      dirty_ = true;
    }
  }

  void markAllDirty() {
    dirtyTop_ = 0;
    dirtyEnd_ = kScreenHeight;
    dirty_ = true;
  }

  void show(uint64_t now) {
    if (renderer_) {
      SDL_UpdateTexture(texture_, nullptr, pixels_.data(), kScreenWidth * 2);
      SDL_RenderClear(renderer_);
      SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
      SDL_RenderPresent(renderer_);
    } else {
      showOnSurface();
    }
    lastPresent_ = now;
    dirty_ = false;
    dirtyTop_ = kScreenHeight;
    dirtyEnd_ = 0;
  }

  // The dirty rows, scaled by whole pixels, into the window's surface.
  void showOnSurface() {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface) return;
    if (surface != lutSurface_ || surface->format->format != lutFormat_) {
      // A new surface holds nothing yet.
      buildLut(surface);
      dirtyTop_ = 0;
      dirtyEnd_ = kScreenHeight;
    }
    const int bpp = surface->format->BytesPerPixel;
    const int width = std::min(surface->w, kScreenWidth * scale_);
    const int top = dirtyTop_ * scale_, end = std::min(surface->h, dirtyEnd_ * scale_);
    if (end <= top || width <= 0) return;
    if (bpp != 2 && bpp != 4) {
      // Uncommon layouts: SDL converts and scales.
      SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(pixels_.data(), kScreenWidth, kScreenHeight, 16,
                                                            kScreenWidth * 2, SDL_PIXELFORMAT_RGB565);
      if (!src) return;
      SDL_Rect to{0, 0, kScreenWidth * scale_, kScreenHeight * scale_};
      SDL_BlitScaled(src, nullptr, surface, &to);
      SDL_FreeSurface(src);
      SDL_UpdateWindowSurface(window_);
      return;
    }
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    auto* base = static_cast<uint8_t*>(surface->pixels);
    for (int wy = top; wy < end; ++wy) {
      uint8_t* out = base + static_cast<size_t>(wy) * surface->pitch;
      if ((wy - top) % scale_ != 0) {
        // The rows of one screen row are alike.
        std::memcpy(out, out - surface->pitch, static_cast<size_t>(width) * bpp);
        continue;
      }
      const uint16_t* in = pixels_.data() + static_cast<size_t>(wy / scale_) * kScreenWidth;
      if (bpp == 4)
        scaleRow(in, reinterpret_cast<uint32_t*>(out), width, lut32_);
      else
        scaleRow(in, reinterpret_cast<uint16_t*>(out), width, lut16_);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_Rect band{0, top, width, end - top};
    SDL_UpdateWindowSurfaceRects(window_, &band, 1);
  }

  template <class Pixel>
  void scaleRow(const uint16_t* in, Pixel* out, int width, const std::vector<Pixel>& lut) const {
    for (int x = 0; x < width; x += scale_) {
      const Pixel p = lut[in[x / scale_]];
      for (int k = 0; k < scale_ && x + k < width; ++k) out[x + k] = p;
    }
  }

  // Every RGB565 value in the surface's pixel format, channels widened with
  // their top bits repeated.
  void buildLut(SDL_Surface* surface) {
    lutSurface_ = surface;
    lutFormat_ = surface->format->format;
    const int bpp = surface->format->BytesPerPixel;
    lut32_.assign(bpp == 4 ? 65536 : 0, 0);
    lut16_.assign(bpp == 2 ? 65536 : 0, 0);
    for (uint32_t v = 0; v < 65536 && (bpp == 2 || bpp == 4); ++v) {
      const uint32_t r = v >> 11, g = (v >> 5) & 63, b = v & 31;
      const Uint32 p = SDL_MapRGB(surface->format, static_cast<Uint8>(r << 3 | r >> 2),
                                  static_cast<Uint8>(g << 2 | g >> 4), static_cast<Uint8>(b << 3 | b >> 2));
      if (bpp == 4)
        lut32_[v] = p;
      else
        lut16_[v] = static_cast<uint16_t>(p);
    }
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
      case SDL_WINDOWEVENT_SIZE_CHANGED:
        markAllDirty();
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
  std::vector<uint16_t> pixels_;  // the last frame
  bool dirty_ = false;
  int dirtyTop_ = kScreenHeight, dirtyEnd_ = 0;  // rows not yet shown
  SDL_Surface* lutSurface_ = nullptr;
  Uint32 lutFormat_ = 0;
  std::vector<uint32_t> lut32_;
  std::vector<uint16_t> lut16_;
  uint64_t lastPresent_ = 0;
  bool down_ = false;
  bool scripted_ = false;  // the stroke in progress comes from the script
  bool movePending_ = false;
  bool waited_ = false;    // a wait saw an event since the queue was last read
  uint64_t lastPoll_ = 0;
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
