// Whole runs: the stand-in package installer on the headless layer loads the
// library; answering yes after installation starts the real game through the
// layer's KV_PROGRAM mapping, and removal deletes the save files it left.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/save/SaveFileWriter.h"

namespace {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "setup_test_XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// Runs the stand-in installer with the given message-box answers; the game
// program the layer starts is KV_PROGRAM. Returns its output lines (the
// headless boxes it prints go to standard error, kept apart).
std::vector<std::string> runInstaller(const TempDir& dir, const std::string& answers, const std::string& action,
                                      const std::string& program) {
  fs::create_directories(dir.path() + "/data");
  std::string out = dir.path() + "/installer.out";
  std::string command = "KV_PROGRAM='" + program + "' '" + KV_SETUP_HOST + "' --backend=headless --msgbox " +
                        answers + " --data '" + dir.path() + "/data' --write '" + dir.path() + "' " + action +
                        " > '" + out + "' 2> '" + out + ".err'";
  int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << readFile(out) << readFile(out + ".err");
  return lines(readFile(out));
}

// A script that runs the real game headless for 300 frames in dir, keeping
// its output, its last frame and its exit status.
std::string writeGameLauncher(const TempDir& dir) {
  std::string d = dir.path();
  std::string path = d + "/game.sh";
  std::ofstream(path) << "#!/bin/sh\n'" << KV_GAME_PROGRAM << "' --backend=headless --frames 300 --data '"
                      << KV_DATA_DIR << "' --write '" << d << "' --capture '" << d << "/frames' --capture-frames 300 > '"
                      << d << "/game.out' 2>&1\necho $? > '" << d << "/game.status.tmp'\nmv '" << d
                      << "/game.status.tmp' '" << d << "/game.status'\n";
  ::chmod(path.c_str(), 0755);
  return path;
}

// The game runs on its own; waits for its exit status.
bool waitForGame(const TempDir& dir, std::string& status) {
  std::string path = dir.path() + "/game.status";
  for (int i = 0; i < 1800 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  status = readFile(path);
  return fs::exists(path);
}

const std::string kAsk =
    "MessageBoxW([Package installer], \"Game installed.\\nDo you want to launch it?\", \"Korvane\", 36) = ";
const std::string kAskRemove =
    "MessageBoxW([Package installer], \"Do you want to remove your saved data?\", \"Korvane\", 36) = ";
const std::string kStart = "CreateProcessW(\"\\Program Files\\Pelloran\\Korvane\\Korvane.exe\", 0) = ";
const std::string kFailed =
    "MessageBoxW([Package installer], \"Could not launch the game.\\nPlease launch it from Games folder.\", "
    "\"Korvane\", 48) = 1";
const std::string kQuitMessage = "window message 0x12 (0, 0)";

std::string deletion(const std::string& name) {
  return "DeleteFileW(\"\\Program Files\\Pelloran\\Korvane\\" + name + "\") = 1";
}

TEST(SetupHost, InstallAnswers) {
  struct Case {
    const char* name;
    const char* answers;
    bool gameExists;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"no", "no", true, {"Install_Init = 0", "Install_Exit = 0", kAsk + "7"}},
      {"yes, no game to start",
       "yes",
       false,
       {"Install_Init = 0", kQuitMessage, "Install_Exit = 0", kAsk + "6", kStart + "0", kFailed}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::string program = c.gameExists ? writeGameLauncher(dir) : dir.path() + "/no-such-program";
    EXPECT_EQ(runInstaller(dir, c.answers, "install", program), c.expected);
    EXPECT_FALSE(fs::exists(dir.path() + "/game.status"));
  }
}

TEST(SetupHost, InstallStartsTheGameAndRemovalDeletesItsSaveFiles) {
  TempDir dir;
  const std::string& d = dir.path();
  EXPECT_EQ(runInstaller(dir, "yes", "install", writeGameLauncher(dir)),
            (std::vector<std::string>{"Install_Init = 0", kQuitMessage, "Install_Exit = 0", kAsk + "6",
                                      kStart + "1"}));
  std::string status;
  ASSERT_TRUE(waitForGame(dir, status)) << "the game never ended";
  EXPECT_EQ(status, "0\n") << readFile(d + "/game.out");
  EXPECT_NE(readFile(d + "/game.out").find("root path: \\Program Files\\Pelloran\\Korvane\\"), std::string::npos);
  EXPECT_TRUE(fs::exists(d + "/frames/frame_000300.png"));

  // The save file as the game writes it on a first run, unless the run left one.
  if (!fs::exists(d + "/save.sav")) {
    auto image = savefile::writeImage();
    std::ofstream(d + "/save.sav", std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
  }
  for (const char* name : {"b.sav", "rms_game", "keep.txt"}) std::ofstream(d + "/" + name) << "x";

  const char* const all[] = {"save.sav", "b.sav", "rms_game", "keep.txt"};
  EXPECT_EQ(runInstaller(dir, "no", "uninstall", "/bin/false"),
            (std::vector<std::string>{"Uninstall_Init = 0", "Uninstall_Exit = 0", kAskRemove + "7"}));
  for (const char* name : all) EXPECT_TRUE(fs::exists(d + "/" + name)) << name;

  EXPECT_EQ(runInstaller(dir, "yes", "uninstall", "/bin/false"),
            (std::vector<std::string>{"Uninstall_Init = 0", "Uninstall_Exit = 0", kAskRemove + "6",
                                      deletion("b.sav"), deletion("save.sav"), deletion("rms_game")}));
  for (const char* name : all) EXPECT_EQ(fs::exists(d + "/" + name), std::string(name) == "keep.txt") << name;
}

}  // namespace
