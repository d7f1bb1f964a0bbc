// The setup library against the recording fake of its platform calls.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/SetupLibrary.h"
#include "platform_fake.h"

namespace {

const std::u16string kFolder = u"\\Program Files\\Pelloran\\Korvane\\";
const std::u16string kProgram = kFolder + u"Korvane.exe";
const std::u16string kLaunchQuestion = u"Game installed.\nDo you want to launch it?";
const std::u16string kLaunchFailed = u"Could not launch the game.\nPlease launch it from Games folder.";
const std::u16string kRemoveQuestion = u"Do you want to remove your saved data?";
HWND const kParent = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5E7));

struct Library {
  void* handle = nullptr;
  InstallInitFn installInit = nullptr;
  InstallExitFn installExit = nullptr;
  UninstallInitFn uninstallInit = nullptr;
  UninstallExitFn uninstallExit = nullptr;
};

// Loaded once; RTLD_NOW binds every import to this program's fake at once.
const Library& library() {
  static Library lib = [] {
    Library l;
    l.handle = dlopen(KV_SETUP_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (!l.handle) return l;
    l.installInit = reinterpret_cast<InstallInitFn>(dlsym(l.handle, "Install_Init"));
    l.installExit = reinterpret_cast<InstallExitFn>(dlsym(l.handle, "Install_Exit"));
    l.uninstallInit = reinterpret_cast<UninstallInitFn>(dlsym(l.handle, "Uninstall_Init"));
    l.uninstallExit = reinterpret_cast<UninstallExitFn>(dlsym(l.handle, "Uninstall_Exit"));
    return l;
  }();
  return lib;
}

class Setup : public ::testing::Test {
 protected:
  void SetUp() override {
    const Library& l = library();
    ASSERT_NE(l.handle, nullptr) << dlerror();
    ASSERT_TRUE(l.installInit && l.installExit && l.uninstallInit && l.uninstallExit);
    fake::reset();
  }
};

std::u16string repeat(size_t n, char16_t c) { return std::u16string(n, c); }

void expectBox(const fake::MessageBox& box, const std::u16string& text, UINT style) {
  EXPECT_EQ(box.window, kParent);
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.caption, u"Korvane");
  EXPECT_EQ(box.style, style);
}

TEST_F(Setup, InitCallsAreOneFunctionThatDoesNothing) {
  const Library& l = library();
  EXPECT_EQ(reinterpret_cast<void*>(l.installInit), reinterpret_cast<void*>(l.uninstallInit));
  EXPECT_EQ(l.installInit(kParent, TRUE, FALSE, kFolder.c_str()), 0);
  EXPECT_EQ(l.installInit(kParent, FALSE, TRUE, nullptr), 0);
  EXPECT_EQ(l.uninstallInit(kParent, kFolder.c_str()), 0);
  EXPECT_TRUE(fake::platform().calls.empty());
}

struct InstallCase {
  const char* name;
  int answer;
  BOOL startResult;
  std::u16string installedTo;
  bool starts;
};

TEST_F(Setup, InstallExit) {
  const InstallCase cases[] = {
      {"no", IDNO, TRUE, kFolder, false},
      {"cancel", IDCANCEL, TRUE, kFolder, false},
      {"ok", IDOK, TRUE, kFolder, false},
      {"no answer", 0, TRUE, kFolder, false},
      {"yes, the game starts", IDYES, TRUE, kFolder, true},
      {"yes, the game does not start", IDYES, FALSE, kFolder, true},
      {"yes, installed elsewhere", IDYES, TRUE, u"\\Storage Card\\Games\\Korvane", true},
      {"yes, installed elsewhere, no start", IDYES, FALSE, u"\\Storage Card\\Games\\Korvane", true},
  };
  for (const InstallCase& c : cases) {
    SCOPED_TRACE(c.name);
    fake::reset();
    fake::Platform& p = fake::platform();
    p.answers = {c.answer};
    p.startResult = c.startResult;
    EXPECT_EQ(library().installExit(kParent, c.installedTo.c_str(), 1, 2, 3, 4, 5), 0);

    std::vector<std::string> calls{"MessageBoxW"};
    if (c.starts) {
      calls.push_back("CreateProcessW");
      if (!c.startResult) calls.push_back("MessageBoxW");
      calls.push_back("SendMessageW");
    }
    EXPECT_EQ(p.calls, calls);
    ASSERT_GE(p.boxes.size(), 1u);
    expectBox(p.boxes[0], kLaunchQuestion, 0x24);
    if (!c.starts) continue;

    ASSERT_EQ(p.starts.size(), 1u);
    const fake::ProcessStart& s = p.starts[0];
    EXPECT_FALSE(s.programNull);
    EXPECT_EQ(s.program, kProgram);
    EXPECT_TRUE(s.commandLineNull && s.processAttributesNull && s.threadAttributesNull && s.noInheritance &&
                s.noFlags && s.environmentNull && s.currentFolderNull && s.startupInfoNull && s.processInfoNull);
    if (!c.startResult) {
      ASSERT_EQ(p.boxes.size(), 2u);
      expectBox(p.boxes[1], kLaunchFailed, 0x30);
    }
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0].window, kParent);
    EXPECT_EQ(p.messages[0].message, 0x12u);
    EXPECT_EQ(p.messages[0].wParam, 0u);
    EXPECT_EQ(p.messages[0].lParam, 0);
  }
}

struct UninstallCase {
  const char* name;
  int answer;
  bool folderExists;
  std::vector<std::u16string> folder;
  std::set<std::u16string> undeletable;
  std::vector<std::u16string> deleted;  // paths after the install folder, in order
  int searches;                         // searches that found something
};

TEST_F(Setup, UninstallExit) {
  // The install folder is 32 units: a name of 227 still fits a 260-unit
  // path with its terminator, 228 does not. A 300-unit name fills the find
  // record without a terminator.
  const std::u16string fits = repeat(223, u'f') + u".sav";
  const std::u16string over = repeat(224, u'o') + u".sav";
  const std::u16string brim = repeat(255, u'b') + u".sav";
  const std::u16string huge = repeat(296, u'h') + u".sav";
  const UninstallCase cases[] = {
      {"no", IDNO, true, {u"a.sav", u"rms_game"}, {}, {}, 0},
      {"cancel", IDCANCEL, true, {u"a.sav", u"rms_game"}, {}, {}, 0},
      {"yes: save files and rms_game only, in find order",
       IDYES,
       true,
       {u"save.sav", u"keep.txt", u"b.sav", u"rms_game", huge, u"a.sav"},
       {},
       {u"save.sav", u"b.sav", u"a.sav", u"rms_game"},
       2},
      {"yes: names at the edge of the path buffer", IDYES, true, {fits, over, brim, huge}, {}, {fits}, 1},
      {"yes: found names are used as found", IDYES, true, {u"SAVE.SAV", u"RMS_GAME"}, {}, {u"SAVE.SAV", u"rms_game"}, 2},
      {"yes: only rms_game", IDYES, true, {u"keep.txt", u"rms_game"}, {}, {u"rms_game"}, 1},
      {"yes: a failed deletion stops nothing",
       IDYES,
       true,
       {u"a.sav", u"b.sav", u"rms_game"},
       {u"a.sav", u"rms_game"},
       {u"a.sav", u"b.sav", u"rms_game"},
       2},
      {"yes: nothing to delete", IDYES, true, {u"keep.txt", u"save.sav.bak", u"rms_game2"}, {}, {}, 0},
      {"yes: missing folder", IDYES, false, {u"a.sav", u"rms_game"}, {}, {}, 0},
  };
  for (const UninstallCase& c : cases) {
    SCOPED_TRACE(c.name);
    fake::reset();
    fake::Platform& p = fake::platform();
    p.answers = {c.answer};
    p.folderExists = c.folderExists;
    p.folder = c.folder;
    p.undeletable = c.undeletable;
    EXPECT_EQ(library().uninstallExit(kParent), 0);

    ASSERT_EQ(p.boxes.size(), 1u);
    expectBox(p.boxes[0], kRemoveQuestion, 0x24);
    EXPECT_TRUE(p.starts.empty());
    EXPECT_TRUE(p.messages.empty());

    std::vector<std::u16string> patterns;
    if (c.answer == IDYES) patterns = {kFolder + u"*.sav", kFolder + u"rms_game"};
    EXPECT_EQ(p.patterns, patterns);
    std::vector<std::u16string> deleted;
    for (const std::u16string& name : c.deleted) deleted.push_back(kFolder + name);
    EXPECT_EQ(p.deletions, deleted);
    // Every search that was opened is closed exactly once; failed ones are
    // never closed, and no handle is used after its close.
    EXPECT_EQ(p.searchesOpened, c.searches);
    EXPECT_EQ(p.closes, std::vector<int>(static_cast<size_t>(c.searches), 1));
    EXPECT_EQ(p.badHandleUses, 0);
  }
}

// The texts go out byte for byte as the system shows them: UTF-16 units of
// the ASCII text, line breaks as 0x000A, nothing after the terminator.
TEST_F(Setup, TextsAndStylesAreExact) {
  fake::Platform& p = fake::platform();
  p.answers = {IDYES, IDOK, IDYES};
  p.startResult = FALSE;
  library().installExit(kParent, kFolder.c_str(), 0, 0, 0, 0, 0);
  library().uninstallExit(kParent);
  ASSERT_EQ(p.boxes.size(), 3u);
  struct Expected {
    const char* text;
    UINT style;
  };
  const Expected expected[] = {
      {"Game installed.\nDo you want to launch it?", 0x24},
      {"Could not launch the game.\nPlease launch it from Games folder.", 0x30},
      {"Do you want to remove your saved data?", 0x24},
  };
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(expected[i].text);
    std::string ascii = expected[i].text;
    const std::u16string& got = p.boxes[i].text;
    ASSERT_EQ(got.size(), ascii.size());
    for (size_t k = 0; k < ascii.size(); ++k) EXPECT_EQ(static_cast<unsigned>(got[k]), static_cast<unsigned char>(ascii[k]));
    EXPECT_EQ(p.boxes[i].caption, std::u16string({u'K', u'o', u'r', u'v', u'a', u'n', u'e'}));
    EXPECT_EQ(p.boxes[i].style, expected[i].style);
  }
  EXPECT_EQ(p.boxes[0].text[15], char16_t{0x000A});
  ASSERT_EQ(p.starts.size(), 1u);
  EXPECT_EQ(p.starts[0].program.size(), 43u);  // "\Program Files\Pelloran\Korvane\Korvane.exe"
}

}  // namespace
