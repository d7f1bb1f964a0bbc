#include "test_util.h"

namespace wince_test {

std::vector<Received>& received() {
  static std::vector<Received> r;
  return r;
}

LRESULT recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  received().push_back({window, message, wParam, lParam});
  if (message == WM_DESTROY) PostQuitMessage(7);
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND makeWindow(const char16_t* className, const char16_t* title, DWORD style) {
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = recordingProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = className;
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, className, title, style, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
  if (w) UpdateWindow(w);  // as a program does: the first paint, validated by DefWindowProcW
  return w;
}

std::vector<UINT> messagesOf(const std::vector<Received>& list) {
  std::vector<UINT> out;
  for (const Received& r : list) out.push_back(r.message);
  return out;
}

}  // namespace wince_test
