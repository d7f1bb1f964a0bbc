// Window creation, activation and the message queue.
#include <gmock/gmock.h>

#include "test_util.h"
#include "wince/aygshell.h"

using namespace wince_test;
using ::testing::ElementsAre;

namespace {

class Messages : public LayerTest {};

TEST_F(Messages, VisibleWindowIsCreatedActivatedAndFocusedSynchronously) {
  HWND w = makeWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_THAT(messagesOf(received()), ElementsAre(WM_CREATE, WM_ACTIVATE, WM_SETFOCUS, WM_PAINT));
  EXPECT_EQ(LOWORD(received()[1].wParam), WA_ACTIVE);
  EXPECT_EQ(GetForegroundWindow(), w);
  EXPECT_EQ(GetFocus(), w);
  // Already active: the host's start-up calls add no activation messages.
  received().clear();
  BringWindowToTop(w);
  SetActiveWindow(w);
  SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  ShowWindow(w, SW_SHOW);
  EXPECT_THAT(messagesOf(received()), ElementsAre());
}

TEST_F(Messages, HiddenWindowIsActivatedByShowWindow) {
  HWND w = makeWindow(u"Korvane", u"Korvane", 0);
  EXPECT_THAT(messagesOf(received()), ElementsAre(WM_CREATE));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  ShowWindow(w, SW_SHOW);
  EXPECT_THAT(messagesOf(received()), ElementsAre(WM_CREATE, WM_ACTIVATE, WM_SETFOCUS));
  MSG msg;  // shown now, so it needs painting
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_PAINT);
}

TEST_F(Messages, CloseDestroysThenQuits) {
  HWND w = makeWindow();
  received().clear();
  ASSERT_TRUE(PostMessageW(w, WM_CLOSE, 0, 0));
  MSG msg;
  std::vector<UINT> taken;
  int result;
  while ((result = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    taken.push_back(msg.message);
    DispatchMessageW(&msg);
  }
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_THAT(taken, ElementsAre(WM_CLOSE));
  // The active window is deactivated before it is destroyed, as on Windows.
  EXPECT_THAT(messagesOf(received()),
              ElementsAre(WM_CLOSE, WM_ACTIVATE, WM_KILLFOCUS, WM_DESTROY, WM_NCDESTROY));
  EXPECT_EQ(LOWORD(received()[1].wParam), WA_INACTIVE);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(FindWindowW(u"Korvane", u"Korvane"), nullptr);
}

TEST_F(Messages, PostedMessagesComeInOrderThenQuit) {
  HWND w = makeWindow();
  PostMessageW(w, WM_USER + 1, 1, 0);
  PostMessageW(w, WM_USER + 2, 2, 0);
  PostQuitMessage(3);
  PostMessageW(w, WM_USER + 3, 3, 0);
  MSG msg;
  std::vector<UINT> order;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    order.push_back(msg.message);
    if (msg.message == WM_QUIT) break;
  }
  EXPECT_THAT(order, ElementsAre(WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, SendMessageCallsTheProcedureAtOnce) {
  HWND w = makeWindow();
  received().clear();
  SendMessageW(w, WM_USER + 5, 11, 22);
  ASSERT_EQ(received().size(), 1u);
  EXPECT_EQ(received()[0].message, WM_USER + 5);
  EXPECT_EQ(received()[0].wParam, 11u);
  EXPECT_EQ(received()[0].lParam, 22);
  EXPECT_EQ(SendMessageW(nullptr, WM_USER, 0, 0), 0);
}

TEST_F(Messages, FocusLossAndGainAsActivationMessages) {
  HWND w = makeWindow();
  received().clear();
  wince::setScript({{10, wince::ScriptEvent::Focus, 0, 0, 0}, {20, wince::ScriptEvent::Focus, 0, 0, 1}});
  MSG msg;
  for (int i = 0; i < 3; ++i) PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
  EXPECT_THAT(messagesOf(received()), ElementsAre(WM_ACTIVATE, WM_KILLFOCUS, WM_ACTIVATE, WM_SETFOCUS));
  EXPECT_EQ(LOWORD(received()[0].wParam), WA_INACTIVE);
  EXPECT_EQ(LOWORD(received()[2].wParam), WA_ACTIVE);
  EXPECT_EQ(GetForegroundWindow(), w);
}

TEST_F(Messages, FindWindowAndSetForegroundWithLowBit) {
  HWND w = makeWindow();
  EXPECT_EQ(FindWindowW(u"Korvane", u"Korvane"), w);
  EXPECT_EQ(FindWindowW(u"korvane", nullptr), w);
  EXPECT_EQ(FindWindowW(u"Tray", nullptr), nullptr);
  HWND tagged = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(w) | 1);
  EXPECT_TRUE(SetForegroundWindow(tagged));
  EXPECT_TRUE(IsWindow(w));
  EXPECT_FALSE(IsWindow(nullptr));
  EXPECT_GE(wince::countCalls("SetForegroundWindow([Korvane])"), 1u);
}

TEST_F(Messages, HidingTheActiveWindowDeactivatesIt) {
  HWND w = makeWindow();
  received().clear();
  ShowWindow(w, SW_HIDE);
  EXPECT_THAT(messagesOf(received()), ElementsAre(WM_ACTIVATE, WM_KILLFOCUS));
  EXPECT_FALSE(IsWindowVisible(w));
  received().clear();
  ShowWindow(w, SW_SHOW);
  EXPECT_THAT(messagesOf(received()), ElementsAre(WM_ACTIVATE, WM_SETFOCUS));
}

TEST_F(Messages, InvalidatedWindowGetsPaintUntilValidated) {
  HWND w = makeWindow();  // the first paint is sent and validated by DefWindowProcW
  received().clear();
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  InvalidateRect(w, nullptr, TRUE);
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_PAINT);
  DispatchMessageW(&msg);
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, CallsForShowAreRecorded) {
  HWND w = makeWindow();
  wince::clearCallLog();
  CoInitializeEx(nullptr, 0);
  SHFullScreen(w, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
  SHOrdinal21(w, 2);
  CoUninitialize();
  EXPECT_THAT(wince::callLog(), ElementsAre("CoInitializeEx(0)", "SHFullScreen([Korvane], 10)",
                                            "SHOrdinal21([Korvane], 2)", "CoUninitialize()"));
}

TEST(MouseLParam, NegativeCoordinatesDecode) {
  struct Case {
    int x, y;
  } cases[] = {{0, 0}, {239, 319}, {-1, -1}, {-5, 10}, {17, -300}, {-32768, 32767}, {32767, -32768}};
  for (const Case& c : cases) {
    LPARAM lp = MAKELPARAM(c.x, c.y);
    // As the host decodes: low word sign-extended, y by an arithmetic shift.
    int x = static_cast<SHORT>(lp & 0xFFFF);
    int y = static_cast<int>(lp >> 16);
    EXPECT_EQ(x, c.x) << c.x << "," << c.y;
    EXPECT_EQ(y, c.y) << c.x << "," << c.y;
    EXPECT_EQ(GET_X_LPARAM(lp), c.x);
    EXPECT_EQ(GET_Y_LPARAM(lp), c.y);
  }
}

}  // namespace
