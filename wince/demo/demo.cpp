// A small program on the layer: one window, a loop paced at 30 frames per
// second with the performance counter, a moving pattern blitted each frame.
// Stylus messages are printed ("down X Y", "move X Y", "up X Y").
#include <cstdio>
#include <vector>

#include "wince/demo/pattern.h"
#include "wince/layer.h"
#include "wince/windows.h"

namespace {

LRESULT demoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  int x = static_cast<SHORT>(lParam & 0xFFFF);
  int y = static_cast<int>(lParam >> 16);
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_LBUTTONDOWN:
      std::printf("down %d %d\n", x, y);
      return 0;
    case WM_MOUSEMOVE:
      std::printf("move %d %d\n", x, y);
      return 0;
    case WM_LBUTTONUP:
      std::printf("up %d %d\n", x, y);
      std::fflush(stdout);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
  std::fprintf(stderr, "backend: %s\n", wince::activeBackend() == wince::BackendKind::Sdl ? "sdl" : "headless");
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = demoProc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = u"KorvaneDemo";
  if (!RegisterClassW(&wc)) return 1;
  HWND window = CreateWindowExW(0, u"KorvaneDemo", u"Korvane demo", WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  HDC dc = GetDC(window);

  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = 240;
  bmi.bmiHeader.biHeight = -320;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 16;
  bmi.bmiHeader.biCompression = BI_BITFIELDS;
  bmi.bmiHeader.biSizeImage = 240 * 320 * 2;
  bmi.bmiMasks[0] = 0xF800;
  bmi.bmiMasks[1] = 0x07E0;
  bmi.bmiMasks[2] = 0x001F;
  std::vector<uint16_t> pixels(240 * 320);

  LARGE_INTEGER frequency, last{}, now;
  QueryPerformanceFrequency(&frequency);
  uint32_t frame = 0;
  MSG msg;
  for (;;) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      continue;
    }
    QueryPerformanceCounter(&now);
    if (last.QuadPart != 0 && (now.QuadPart - last.QuadPart) * 30 < frequency.QuadPart) continue;
    last = now;
    demoFill(pixels.data(), ++frame);
    SetDIBitsToDevice(dc, 0, 0, 240, 320, 0, 0, 0, 320, pixels.data(), &bmi, DIB_RGB_COLORS);
  }
  ReleaseDC(window, dc);
  return static_cast<int>(msg.wParam);
}
