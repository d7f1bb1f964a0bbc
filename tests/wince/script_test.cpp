// Stylus scripts and the scripted device state.
#include <gmock/gmock.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "test_util.h"
#include "wince/crt.h"

using namespace wince_test;
using ::testing::ElementsAre;

namespace {

class Script : public LayerTest {};

TEST(ScriptParse, EventsAndErrors) {
  std::vector<wince::ScriptEvent> ev;
  std::string error;
  ASSERT_TRUE(wince::parseScript("# comment\n\n 30 up 1 2\n10 down -5 -6 # x\n20 move 7 8\n40 tap 9 9\n"
                                 "50 orientation 4\n60 focus 0\n70 close\n80 keydown 0x73\n",
                                 ev, &error))
      << error;
  ASSERT_EQ(ev.size(), 9u);
  EXPECT_EQ(ev[0].kind, wince::ScriptEvent::Down);
  EXPECT_EQ(ev[0].x, -5);
  EXPECT_EQ(ev[0].y, -6);
  EXPECT_EQ(ev[1].kind, wince::ScriptEvent::Move);
  EXPECT_EQ(ev[2].kind, wince::ScriptEvent::Up);
  EXPECT_EQ(ev[3].kind, wince::ScriptEvent::Down);
  EXPECT_EQ(ev[4].kind, wince::ScriptEvent::Up);
  EXPECT_EQ(ev[4].timeMs, 40u);
  EXPECT_EQ(ev[5].value, 4);
  EXPECT_EQ(ev[8].value, 0x73);
  const char* bad[] = {"x down 1 2", "10 down 1", "10 jump 1 2", "10 orientation 3", "-1 up 1 2",
                       "10 down 1 2 3", "10 close 1", "10 down 1 40000", "10"};
  for (const char* b : bad) {
    error.clear();
    EXPECT_FALSE(wince::parseScript(b, ev, &error)) << b;
    EXPECT_NE(error.find("line 1"), std::string::npos) << b;
  }
}

TEST_F(Script, StylusEventsArriveAtTheirTimesAsMouseMessages) {
  HWND w = makeWindow();
  std::vector<wince::ScriptEvent> ev;
  wince::parseScript("5 move 1 1\n40 down 10 -20\n50 move -30 330\n60 up 12 300\n70 move 2 2\n70 up 3 3\n", ev);
  wince::setScript(ev);
  received().clear();
  MSG msg;
  std::vector<std::pair<UINT, DWORD>> seen;
  for (int i = 0; i < 20; ++i) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
    seen.emplace_back(msg.message, msg.time);
    DispatchMessageW(&msg);
  }
  // Moves reach the window only while the stylus is down; a lone up is dropped.
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].first, WM_LBUTTONDOWN);
  EXPECT_EQ(seen[1].first, WM_MOUSEMOVE);
  EXPECT_EQ(seen[2].first, WM_LBUTTONUP);
  EXPECT_GE(seen[0].second, 40u);
  EXPECT_GE(seen[2].second, 60u);
  ASSERT_EQ(received().size(), 3u);
  EXPECT_EQ(received()[0].window, w);
  EXPECT_EQ(received()[0].wParam, MK_LBUTTON);
  EXPECT_EQ(GET_X_LPARAM(received()[0].lParam), 10);
  EXPECT_EQ(static_cast<int>(received()[0].lParam >> 16), -20);
  EXPECT_EQ(GET_X_LPARAM(received()[1].lParam), -30);
  EXPECT_EQ(GET_Y_LPARAM(received()[1].lParam), 330);
  EXPECT_EQ(GET_X_LPARAM(received()[2].lParam), 12);
  EXPECT_EQ(GET_Y_LPARAM(received()[2].lParam), 300);
}

TEST_F(Script, GetMessageJumpsTheClockToTheNextEvent) {
  makeWindow();
  std::vector<wince::ScriptEvent> ev;
  wince::parseScript("5000 tap 1 2\n", ev);
  wince::setScript(ev);
  MSG msg;
  ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
  EXPECT_EQ(msg.message, WM_LBUTTONDOWN);
  EXPECT_EQ(GetTickCount(), 5000u);
  ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
  EXPECT_EQ(msg.message, WM_LBUTTONUP);
}

TEST_F(Script, OrientationAndCloseAreScripted) {
  HWND w = makeWindow();
  std::vector<wince::ScriptEvent> ev;
  wince::parseScript("10 orientation 1\n100 close\n", ev);
  wince::setScript(ev);
  DEVMODEW dm{};
  dm.dmSize = sizeof dm;
  dm.dmFields = DM_DISPLAYORIENTATION;
  ASSERT_EQ(ChangeDisplaySettingsEx(nullptr, &dm, nullptr, CDS_TEST, nullptr), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(dm.dmDisplayOrientation, DMDO_0);
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
  PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
  ChangeDisplaySettingsEx(nullptr, &dm, nullptr, CDS_TEST, nullptr);
  EXPECT_EQ(dm.dmDisplayOrientation, DMDO_90);
  dm.dmDisplayOrientation = DMDO_0;
  EXPECT_EQ(ChangeDisplaySettingsEx(nullptr, &dm, nullptr, 0, nullptr), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(wince::orientation(), DMDO_0);
  EXPECT_EQ(wince::countCalls("ChangeDisplaySettingsEx(orientation 0, 0)"), 1u);
  int closes = 0;
  while (GetMessageW(&msg, nullptr, 0, 0)) {
    closes += msg.message == WM_CLOSE;
    DispatchMessageW(&msg);
  }
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(Script, MessageBoxAnswersInOrderThenDefaults) {
  ::testing::internal::CaptureStderr();
  wince::pushMessageBoxAnswer(IDNO);
  EXPECT_EQ(MessageBoxW(nullptr, u"Game installed.\nDo you want to launch it?", u"Korvane", 0x24), IDNO);
  EXPECT_EQ(MessageBoxW(nullptr, u"q", u"c", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBoxW(nullptr, u"q", u"c", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBoxW(nullptr, u"This application only runs in Portrait Mode", u"Notice", MB_ICONEXCLAMATION),
            IDOK);
  auto log = wince::callLog();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], "MessageBoxW(0, \"Game installed.\nDo you want to launch it?\", \"Korvane\", 36) = 7");
  EXPECT_EQ(log[3], "MessageBoxW(0, \"This application only runs in Portrait Mode\", \"Notice\", 48) = 1");
  // Headless, every box is printed, answered by the script or not.
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Korvane: Game installed.\nDo you want to launch it?\nc: q\nc: q\n"
            "Notice: This application only runs in Portrait Mode\n");
}

TEST_F(Script, DevicePowerAndPlatformQueries) {
  HDC screen = GetDC(nullptr);
  DWORD escape = GETPOWERMANAGEMENT;
  EXPECT_GT(ExtEscape(screen, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), 0, nullptr), 0);
  escape = 1234;
  EXPECT_EQ(ExtEscape(screen, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), 0, nullptr), 0);
  VIDEO_POWER_MANAGEMENT p{};
  EXPECT_GT(ExtEscape(screen, GETPOWERMANAGEMENT, 0, nullptr, sizeof p, reinterpret_cast<LPSTR>(&p)), 0);
  EXPECT_EQ(p.Length, 12u);
  EXPECT_EQ(p.PowerState, VideoPowerOn);
  VIDEO_POWER_MANAGEMENT off{12, 1, VideoPowerOff};
  ExtEscape(screen, SETPOWERMANAGEMENT, sizeof off, reinterpret_cast<LPCSTR>(&off), 0, nullptr);
  ExtEscape(screen, GETPOWERMANAGEMENT, 0, nullptr, sizeof p, reinterpret_cast<LPSTR>(&p));
  EXPECT_EQ(p.PowerState, VideoPowerOff);

  WCHAR platform[32];
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof platform, platform, 0));
  EXPECT_EQ(ceWcscmp(platform, u"PocketPC"), 0);
  EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 4, platform, 0));
  wince::setPlatform(u"Smartphone", 4, 21);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof platform, platform, 0));
  EXPECT_EQ(ceWcsicmp(platform, u"SMARTPHONE"), 0);
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
  ASSERT_TRUE(GetVersionExW(&v));
  EXPECT_EQ(v.dwMajorVersion, 4u);
  EXPECT_EQ(v.dwMinorVersion, 21u);
  EXPECT_EQ(v.dwPlatformId, VER_PLATFORM_WIN32_CE);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 320);
  EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
}

TEST_F(Script, ProcessStartGoesThroughTheHook) {
  std::vector<std::u16string> started;
  wince::setCreateProcessHook([&](const std::u16string& program, const std::u16string&) {
    started.push_back(program);
    return TRUE;
  });
  EXPECT_TRUE(CreateProcessW(u"\\Program Files\\Pelloran\\Korvane\\Korvane.exe", nullptr, nullptr, nullptr, FALSE,
                             0, nullptr, nullptr, nullptr, nullptr));
  EXPECT_THAT(started, ElementsAre(u"\\Program Files\\Pelloran\\Korvane\\Korvane.exe"));
  wince::setCreateProcessHook(nullptr);
  ::unsetenv("KV_PROGRAM");
  EXPECT_FALSE(CreateProcessW(u"\\windows\\iexplore.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(Script, ExitHookRunsTheProgramInProcess) {
  wince::throwOnExit();
  try {
    ceExit(3);
    FAIL() << "ceExit returned";
  } catch (const wince::ExitRequest& e) {
    EXPECT_EQ(e.code, 3);
  }
}

TEST(Options, ParsedAndRest) {
  const char* argv[] = {"prog", "--backend=headless", "--data", "/d", "--frames", "30", "--capture=/c",
                        "--capture-frames", "1,5", "--script", "s.txt", "--msgbox", "yes,7", "--orientation",
                        "4", "-game", "x"};
  wince::Options o;
  std::vector<std::string> rest;
  std::string error;
  ASSERT_TRUE(wince::parseOptions(17, const_cast<char**>(argv), o, rest, error)) << error;
  EXPECT_EQ(o.backend, wince::BackendKind::Headless);
  EXPECT_EQ(o.dataDir, "/d");
  EXPECT_EQ(o.frames, 30u);
  EXPECT_EQ(o.captureDir, "/c");
  EXPECT_EQ(o.captureFrames, (std::vector<uint64_t>{1, 5}));
  EXPECT_EQ(o.scriptPath, "s.txt");
  EXPECT_EQ(o.messageBoxAnswers, (std::vector<int>{IDYES, 7}));
  EXPECT_EQ(o.orientation, 4u);
  EXPECT_EQ(rest, (std::vector<std::string>{"-game", "x"}));
  const char* bad[][2] = {{"prog", "--backend=x11"},   {"prog", "--frames"},        {"prog", "--frames=-2"},
                          {"prog", "--orientation=3"}, {"prog", "--msgbox=maybe"}, {"prog", "--frame=10"},
                          {"prog", "--capture"},       {"prog", "--frames=0"}};
  for (auto& b : bad) {
    wince::Options o2;
    std::vector<std::string> r2;
    EXPECT_FALSE(wince::parseOptions(2, const_cast<char**>(b), o2, r2, error)) << b[1];
  }
}

// Messages about bad input quote it, cut to about 80 characters.
TEST(Options, MessagesQuoteBadInputShort) {
  const std::string huge(100000, 'x');
  const std::string unknown = "--" + huge;
  const std::string backend = "--backend=" + huge;
  const struct {
    const char* arg;
    const char* says;
  } cases[] = {{"--frame", "unknown option '--frame'"}, {unknown.c_str(), "unknown option '--xxx"},
               {backend.c_str(), "--backend is sdl or headless, not 'xxx"}};
  for (const auto& c : cases) {
    const char* argv[] = {"prog", c.arg, "10"};
    wince::Options o;
    std::vector<std::string> rest;
    std::string error;
    EXPECT_FALSE(wince::parseOptions(3, const_cast<char**>(argv), o, rest, error));
    EXPECT_EQ(error.rfind(c.says, 0), 0u) << error.substr(0, 200);
    EXPECT_LT(error.size(), 300u);
  }
  std::vector<wince::ScriptEvent> events;
  std::string error;
  EXPECT_FALSE(wince::parseScript("10 " + huge + " 1 2\n", events, &error));
  EXPECT_LT(error.size(), 150u);
  EXPECT_NE(error.find("(100000 characters)"), std::string::npos) << error.substr(0, 200);
  const std::string a80(80, 'a'), a77(77, 'a');
  EXPECT_EQ(wince::quoteInput(a80), std::string("'").append(a80).append("'"));
  EXPECT_EQ(wince::quoteInput(a80 + "a"), std::string("'").append(a77).append("...' (81 characters)"));
}

// Folders the run writes to are made when missing; the data folder must
// be there.
TEST(Options, StartMakesCaptureAndWriteFoldersAndNeedsTheDataFolder) {
  const std::string base = std::filesystem::temp_directory_path() / ("kv_folders_" + std::to_string(::getpid()));
  std::filesystem::remove_all(base);
  wince::Options o;
  o.backend = wince::BackendKind::Headless;
  o.captureDir = base + "/frames/deep";
  o.writeDir = base + "/save";
  ASSERT_TRUE(wince::start(o));
  EXPECT_TRUE(std::filesystem::is_directory(o.captureDir));
  EXPECT_TRUE(std::filesystem::is_directory(o.writeDir));
  std::ofstream(base + "/file") << "x";
  o.captureDir = base + "/file/sub";
  std::string error;
  EXPECT_FALSE(wince::start(o, &error));
  EXPECT_EQ(error.rfind("--capture: cannot create folder", 0), 0u) << error;
  // The data folder is never made: one that is not there is refused.
  o.captureDir.clear();
  o.dataDir = base + "/no-data";
  EXPECT_FALSE(wince::start(o, &error));
  EXPECT_EQ(error, "--data: no folder '" + o.dataDir + "'");
  EXPECT_FALSE(std::filesystem::exists(o.dataDir));
  wince::reset();
  std::filesystem::remove_all(base);
}

}  // namespace
