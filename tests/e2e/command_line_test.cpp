// The built program's command line as a user types it: every option it
// refuses gets one line naming what is wrong and code 2 (3 for a frame it
// could not capture), --help prints the options, and nothing runs without
// an end.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/DataSet.h"
#include "tests/e2e/Child.h"

namespace {

namespace fs = std::filesystem;

struct Typed {
  int code = -1;
  std::string out, err;
};

// The program with `args` (shell words) and no display, so that only an
// explicit --backend=sdl reaches for one.
Typed runWith(const fs::path& work, const std::string& args) {
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout -s KILL 120 '" +
                              child::kProgram.string() + "' " + args + " > '" + (work / "out.txt").string() +
                              "' 2> '" + (work / "err.txt").string() + "'";
  const int status = std::system(command.c_str());
  Typed r;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = child::readFile(work / "out.txt");
  r.err = child::readFile(work / "err.txt");
  return r;
}

TEST(CommandLine, EachOptionItRefusesIsNamed) {
  const std::string data = testdata::dataSet("i.bar");
  if (!fs::exists(child::kProgram) || data.empty()) GTEST_SKIP() << "no program or data set built";
  const fs::path work = child::freshDir("command_line");
  const std::string base = "--backend=headless --data '" + data + "' --write '" + (work / "write").string() + "' ";
  fs::create_directory(work / "a folder");
  ASSERT_EQ(::mkfifo((work / "a pipe").c_str(), 0644), 0);
  const std::string folder = (work / "a folder").string(), pipe = (work / "a pipe").string();
  const struct {
    const char* name;
    std::string args;
    int code;
    std::string err;
  } cases[] = {
      {"no end", base + "--frames 0", 2, "--frames takes a count of 1 or more, not '0' (see --help)\n"},
      {"a stray argument", base + "--frames 10 savegame", 2,
       "unexpected argument 'savegame': the program takes options only (see --help)\n"},
      {"a script that is a folder", base + "--frames 10 --script '" + folder + "'", 2,
       "cannot read script '" + folder + "': it is a folder\n"},
      {"a script that is a pipe", base + "--frames 10 --script '" + pipe + "'", 2,
       "cannot read script '" + pipe + "': it is not a file\n"},
      {"no such script", base + "--frames 10 --script '" + folder + "/none.txt'", 2,
       "cannot read script '" + folder + "/none.txt': no such file\n"},
      {"an unknown option", base + "--frame 10", 2,
       "unknown option '--frame' (options: --backend, --data, --write, --scale, --frames, --capture, "
       "--capture-frames, --script, --msgbox, --orientation, --help) (see --help)\n"},
      {"no data folder", "--backend=headless --frames 10 --data '" + folder + "/none'", 2,
       "--data: no folder '" + folder + "/none'\n"},
      {"SDL without a display", base + "--frames 10 --backend=sdl", 2,
       "SDL backend: no display to open a window on (set DISPLAY, or use --backend=headless)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Typed r = runWith(work, c.args);
    EXPECT_EQ(r.code, c.code);
    // SDL may say first what it tried.
    const bool sdl = c.args.find("--backend=sdl") != std::string::npos;
    EXPECT_EQ(sdl && r.err.size() > c.err.size() ? r.err.substr(r.err.size() - c.err.size()) : r.err, c.err);
    EXPECT_FALSE(fs::exists(work / "write" / "save.sav"));
  }
  fs::remove_all(work);
}

TEST(CommandLine, HelpPrintsTheOptionsAndRunsNothing) {
  if (!fs::exists(child::kProgram)) GTEST_SKIP() << "no program built";
  const fs::path work = child::freshDir("help");
  for (const char* flag : {"--help", "-h"}) {
    SCOPED_TRACE(flag);
    const Typed r = runWith(work, std::string("--write '") + (work / "write").string() + "' " + flag);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("usage: ", 0), 0u) << r.out;
    for (const char* option : {"--backend", "--data", "--write", "--scale", "--frames", "--capture", "--capture-frames",
                               "--script", "--msgbox", "--orientation", "--help"})
      EXPECT_NE(r.out.find(option), std::string::npos) << option;
    EXPECT_TRUE(fs::is_empty(work / "write"));
  }
  fs::remove_all(work);
}

// A frame asked for that cannot be written (a folder in its place) ends the
// run there with code 3; the frames before it are written.
TEST(CommandLine, AFrameNotCapturedEndsTheRun) {
  const std::string data = testdata::dataSet("i.bar");
  if (!fs::exists(child::kProgram) || data.empty()) GTEST_SKIP() << "no program or data set built";
  const fs::path work = child::freshDir("capture");
  const fs::path frames = work / "frames";
  fs::create_directories(frames / "frame_000005.png");
  const Typed r = runWith(work, "--backend=headless --data '" + data + "' --write '" +
                                  (work / "write").string() + "' --frames 300 --capture '" + frames.string() +
                                  "' --capture-frames 3,4,5,6");
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.err, "capture: cannot write " + (frames / "frame_000005.png").string() + ": Is a directory\n");
  EXPECT_TRUE(fs::is_regular_file(frames / "frame_000004.png"));
  EXPECT_FALSE(fs::exists(frames / "frame_000006.png"));
  fs::remove_all(work);
}

}  // namespace
