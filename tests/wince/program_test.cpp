// A whole program run in-process: options, WinMain, stylus, quit through ceExit.
#include <fstream>

#include "test_util.h"
#include "wince/crt.h"

using namespace wince_test;

namespace {

std::u16string g_commandLine;
std::vector<std::string> g_events;

LRESULT programProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      g_events.push_back("down " + std::to_string(GET_X_LPARAM(lParam)) + " " + std::to_string(GET_Y_LPARAM(lParam)));
      return 0;
    case WM_LBUTTONUP:
      g_events.push_back("up at " + std::to_string(GetTickCount()));
      return 0;
    case WM_DESTROY:
      g_events.push_back("destroy");
      ceExit(5);  // the shell's quit
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

// The program under test.
int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
  g_commandLine = commandLine;
  WNDCLASSW wc{};
  wc.lpfnWndProc = programProc;
  wc.hInstance = instance;
  wc.lpszClassName = u"Korvane";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, u"Korvane", u"Korvane", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, instance,
                           nullptr);
  ShowWindow(w, showCommand);
  MSG msg;
  for (;;) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return 1;
      DispatchMessageW(&msg);
    }
  }
}

namespace {

TEST(Program, RunsInProcessAndQuitsThroughTheExitHook) {
  TempDir dir;
  std::string script = dir.path() + "/s.txt";
  std::ofstream(script) << "100 tap 5 -6\n1000 close\n";
  const char* argv[] = {"korvane", "--backend=headless", "--script", script.c_str(), "--data", dir.path().c_str(),
                        "-x", "y"};
  g_events.clear();
  wince::reset(false);
  wince::throwOnExit();
  int code = -1;
  try {
    wince::runProgram(8, const_cast<char**>(argv));
  } catch (const wince::ExitRequest& e) {
    code = e.code;
  }
  EXPECT_EQ(code, 5);
  EXPECT_EQ(g_commandLine, u"-x y");
  ASSERT_EQ(g_events.size(), 3u);
  EXPECT_EQ(g_events[0], "down 5 -6");
  EXPECT_EQ(g_events[1], "up at 100");  // the first poll at or after 100 ms
  EXPECT_EQ(g_events[2], "destroy");
  EXPECT_EQ(wince::dataDir(), dir.path());
  wince::reset(false);
}

TEST(Program, BadOptionsEndWithoutRunning) {
  const char* argv[] = {"korvane", "--backend=tv"};
  g_commandLine = u"untouched";
  EXPECT_EQ(wince::runProgram(2, const_cast<char**>(argv)), 2);
  EXPECT_EQ(g_commandLine, u"untouched");
}

}  // namespace
