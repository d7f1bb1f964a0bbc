// Device contexts, the DIB blit onto the 240x320 screen, and frames.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "wince/src/internal.h"

namespace wince {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

struct StockObject {
  int id;
};
StockObject g_stock[9] = {{0}, {1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}};

bool isDc(State& s, HDC dc) {
  if (dc == &s.screenDc) return true;
  for (auto& d : s.dcs)
    if (d.get() == dc) return true;
  return false;
}

// After a blit reached the screen: count the frame, capture it, tell the
// backend and end the run when the frame limit is reached.
void frameDone() {
  State& s = state();
  uint64_t n;
  // The frame handed on outside the lock; the buffer stays with the thread so
  // a frame costs a copy, not an allocation.
  static thread_local std::vector<uint16_t> copy;
  std::function<void(uint64_t, const uint16_t*)> hook;
  std::string capturePath;
  bool limitHit = false;
  {
    Lock lock(s.mutex);
    n = ++s.frames;
    hook = s.frameHook;
    if (!s.captureDir.empty()) {
      bool chosen = s.captureFrames.empty();
      for (uint64_t f : s.captureFrames)
        if (f == n) chosen = true;
      if (chosen) capturePath = s.captureDir + "/" + captureFileName(n);
    }
    if (s.frameLimit && n >= s.frameLimit && !s.frameLimitHit) {
      s.frameLimitHit = true;
      limitHit = true;
    }
    // Headless with nothing to capture or tell keeps the frame where it is.
    if (!capturePath.empty() || hook || s.backend->showsFrames()) copy.assign(s.screen.begin(), s.screen.end());
  }
  if (!capturePath.empty()) {
    std::string error;
    // A frame asked for and not written ends the run: what follows would
    // be missing it.
    if (!writePng(capturePath, copy.data(), kScreenWidth, kScreenHeight, &error)) {
      std::fprintf(stderr, "capture: %s\n", error.c_str());
      failRun(kExitCaptureFailed);
    }
  }
  if (s.backend->showsFrames()) s.backend->present(copy.data());
  if (hook) hook(n, copy.data());
  if (limitHit) {
    if (HWND w = mainWindow()) PostMessageW(w, WM_CLOSE, 0, 0);
  }
}

}  // namespace

uint64_t frameCount() {
  State& s = state();
  Lock lock(s.mutex);
  return s.frames;
}

std::vector<uint16_t> screenPixels() {
  State& s = state();
  Lock lock(s.mutex);
  return s.screen;
}

void setFrameHook(std::function<void(uint64_t, const uint16_t*)> hook) {
  State& s = state();
  Lock lock(s.mutex);
  s.frameHook = std::move(hook);
}

std::string captureFileName(uint64_t frame) {
  char name[40];
  std::snprintf(name, sizeof name, "frame_%06llu.png", static_cast<unsigned long long>(frame));
  return name;
}

}  // namespace wince

using wince::state;
using wince::State;

HDC GetDC(HWND window) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (!window) return &s.screenDc;
  HWND w = wince::liveWindow(window);
  if (!w) return nullptr;
  s.dcs.push_back(std::make_unique<HDC__>(HDC__{w}));
  return s.dcs.back().get();
}

int ReleaseDC(HWND, HDC dc) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.mutex);
  if (dc == &s.screenDc) return 1;
  for (auto it = s.dcs.begin(); it != s.dcs.end(); ++it)
    if (it->get() == dc) {
      s.dcs.erase(it);
      return 1;
    }
  return 0;
}

HGDIOBJ GetStockObject(int object) {
  if (object < 0 || object > 8) return nullptr;
  return &wince::g_stock[object];
}

int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT scanLines, const void* bits, const BITMAPINFO* info, UINT) {
  State& s = state();
  if (!bits || !info) return 0;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biBitCount != 16 || h.biWidth <= 0 || h.biHeight == 0) return 0;
  bool is565;
  if (h.biCompression == BI_BITFIELDS) {
    if (info->bmiMasks[0] != 0xF800 || info->bmiMasks[1] != 0x07E0 || info->bmiMasks[2] != 0x001F) return 0;
    is565 = true;
  } else if (h.biCompression == BI_RGB) {
    is565 = false;
  } else {
    return 0;
  }
  const int64_t dibW = h.biWidth;
  const bool topDown = h.biHeight < 0;
  const int64_t dibH = topDown ? -static_cast<int64_t>(h.biHeight) : h.biHeight;
  const int64_t stride = ((dibW * 2) + 3) / 4 * 4;
  const auto* base = static_cast<const uint8_t*>(bits);
  bool reached = false;
  {
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    if (!wince::isDc(s, dc)) return 0;
    int64_t originX = 0, originY = 0;
    if (dc->window) {
      HWND w = wince::liveWindow(dc->window);
      if (!w) return 0;
      if (!w->visible || w->minimised) return static_cast<int>(scanLines);
      originX = w->rect.left;
      originY = w->rect.top;
    }
    // The columns that lie inside both the image and the screen.
    const int64_t toScreen = originX + xDest;
    const int64_t colBegin = std::max<int64_t>({0, -static_cast<int64_t>(xSrc), -toScreen});
    const int64_t colEnd = std::min<int64_t>({static_cast<int64_t>(width), dibW - xSrc, wince::kScreenWidth - toScreen});
    for (int64_t row = 0; row < static_cast<int64_t>(height); ++row) {
      int64_t sy = ySrc + row;  // image row, 0 = top
      int64_t scan = topDown ? sy : dibH - 1 - sy;
      if (sy < 0 || sy >= dibH || scan < startScan || scan >= static_cast<int64_t>(startScan) + scanLines) continue;
      int64_t dy = originY + yDest + row;
      if (dy < 0 || dy >= wince::kScreenHeight) continue;
      if (colEnd <= colBegin) continue;
      const uint8_t* src = base + (scan - startScan) * stride + (xSrc + colBegin) * 2;
      uint16_t* out = s.screen.data() + dy * wince::kScreenWidth + originX + xDest + colBegin;
      const int64_t n = colEnd - colBegin;
      if (is565) {
        std::memcpy(out, src, static_cast<size_t>(n) * 2);
        continue;
      }
      for (int64_t i = 0; i < n; ++i) {
        uint16_t p;
        std::memcpy(&p, src + i * 2, 2);
        out[i] = static_cast<uint16_t>(((p & 0x7FE0u) << 1) | ((p & 0x0200u) >> 4) | (p & 0x1Fu));
      }
    }
    reached = true;
  }
  if (reached) wince::frameDone();
  return static_cast<int>(scanLines);
}
