// The walk killed at seeded moments and started again in the same folder:
// whatever the moment, "save.sav" holds one of the images an unbroken walk
// writes (or nothing yet), never a damaged one, and the next start goes on
// from it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/DataSet.h"
#include "tests/e2e/Child.h"
#include "tests/e2e/Walk.h"
#include "tests/game/program/ScriptedProgram.h"

namespace {

namespace fs = std::filesystem;

struct Child {
  static inline fs::path dir;
  static inline uint64_t killAtFrame = 0;  // 0: never
  static inline uint64_t frames = 0;
  static inline std::string lastSave;
  static inline walk::Runner* runner = nullptr;  // null: the folder's script.txt alone
  static inline std::chrono::steady_clock::time_point start;
};

// Every distinct image the run's save file passes through goes to images.txt
// (hex, one a line), and the frame and the microsecond of the run where it
// first showed to marks.txt; a kill frame ends the process there and then.
void onFrame(cGame& g, int state, int held, const uint16_t*) {
  if (Child::runner) Child::runner->frame(state, !isComputerAtTable(g));
  if (held == 1 && !g.states.inGame) std::ofstream(Child::dir / "states.txt", std::ios::app) << ' ' << state;
  ++Child::frames;
  if (Child::killAtFrame && Child::frames >= Child::killAtFrame) raise(SIGKILL);
  const std::string save = walk::readFile(Child::dir / "write" / "save.sav");
  if (save.empty() || save == Child::lastSave) return;
  Child::lastSave = save;
  std::ofstream(Child::dir / "images.txt", std::ios::app) << child::hexOf(save) << '\n';
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - Child::start);
  std::ofstream(Child::dir / "marks.txt", std::ios::app) << Child::frames << ' ' << us.count() << '\n';
}

// Runs the walk (or with `walkIt` false the script of `dir`) in a child
// process; with killAfterMicros the parent kills it then (anywhere, a save
// write included). Returns the wait status.
int runChild(const fs::path& dir, bool walkIt, uint64_t killAtFrame, uint64_t killAfterMicros) {
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = fork();
  if (pid == 0) {
    Child::start = std::chrono::steady_clock::now();
    if (!std::freopen((dir / "log.txt").c_str(), "a", stdout) || !std::freopen((dir / "log.txt").c_str(), "a", stderr))
      _exit(126);
    Child::dir = dir;
    Child::killAtFrame = killAtFrame;
    static walk::Runner walker(walk::theWalk());
    if (walkIt) Child::runner = &walker;
    scripted::withMatchFrames() = true;
    scripted::run(dir, 200000, onFrame, [] { std::ofstream(Child::dir / "frames.txt") << Child::frames; });
  }
  int status = 0;
  if (killAfterMicros) {
    std::this_thread::sleep_for(std::chrono::microseconds(killAfterMicros));
    kill(pid, SIGKILL);
  }
  waitpid(pid, &status, 0);
  return status;
}

std::vector<std::string> readImages(const fs::path& dir) {
  std::vector<std::string> images;
  std::ifstream in(dir / "images.txt");
  for (std::string line; std::getline(in, line);) images.push_back(line);
  return images;
}

// Where each image of images.txt first showed: its frame and microsecond.
std::vector<std::pair<uint64_t, uint64_t>> readMarks(const fs::path& dir) {
  std::vector<std::pair<uint64_t, uint64_t>> marks;
  std::ifstream in(dir / "marks.txt");
  for (uint64_t frame, us; in >> frame >> us;) marks.emplace_back(frame, us);
  return marks;
}

fs::path freshDir(const std::string& name) {
  const fs::path dir = fs::path(KV_BINARY_DIR) / ("e2e_kill_" + std::to_string(getpid()) + "_" + name);
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  return dir;
}

// A start that answers the sound question, passes the title, goes into the
// career and straight back out, and quits from the main menu: it changes
// nothing a save holds.
constexpr const char* kRestart =
    "9000 down 118 135\n9100 up 118 135\n"     // sound question: yes
    "11000 down 120 200\n11100 up 120 200\n"   // title
    "13000 down 124 189\n13100 up 124 189\n"   // main menu: career
    "16000 down 218 303\n16100 up 218 303\n"   // the pub or the character choice: back
    "18500 down 124 121\n18600 up 124 121\n"   // main menu: exit
    "21000 down 124 146\n21100 up 124 146\n";  // yes



TEST(KillAndRestart, TheSaveIsAlwaysAWholeImageAndTheNextStartGoesOn) {
  SKIP_WITHOUT_DATA_SET();
  std::string error;
  ASSERT_FALSE(walk::theWalk(&error).empty()) << error;
  // The unbroken walk: its images and its running time.
  const fs::path reference = freshDir("reference");
  std::ofstream(reference / "script.txt") << "";
  const auto start = std::chrono::steady_clock::now();
  const int refStatus = runChild(reference, true, 0, 0);
  const auto micros = static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
  ASSERT_TRUE(WIFEXITED(refStatus) && WEXITSTATUS(refStatus) == 0) << walk::readFile(reference / "log.txt");
  const std::vector<std::string> order = readImages(reference);
  ASSERT_GE(order.size(), 2u) << "the walk saves more than once";
  const std::set<std::string> images(order.begin(), order.end());
  const uint64_t walkFrames = std::stoull(walk::readFile(reference / "frames.txt"));
  const auto marks = readMarks(reference);
  ASSERT_EQ(marks.size(), order.size());
  const std::string& firstImage = order.front();
  int killedMidWalk = 0, careers = 0;

  // The walk's stretches: from where one image first shows to where the next
  // does (the last runs to the walk's end). The twelve kills spread over
  // them, so that the short stretches of the front end and the career are
  // killed in as well as the long ones of the matches.
  constexpr int kRounds = 12;
  std::mt19937 rng(20261209);
  for (int round = 0; round < kRounds; ++round) {
    const size_t k = static_cast<size_t>(round) * order.size() / kRounds;
    const bool last = k + 1 == marks.size();
    const uint64_t fromFrame = marks[k].first, toFrame = last ? walkFrames : marks[k + 1].first;
    const uint64_t fromUs = marks[k].second, toUs = last ? micros : marks[k + 1].second;
    // Half the kills at a seeded frame of the stretch, half at a seeded
    // moment of its clock.
    const bool byFrame = round % 2 == 0;
    const uint64_t frame = byFrame ? fromFrame + rng() % std::max<uint64_t>(toFrame - fromFrame, 1) : 0;
    const uint64_t after = byFrame ? 0 : fromUs + 1 + rng() % std::max<uint64_t>(toUs - fromUs, 1);
    const std::string what = (byFrame ? "frame " + std::to_string(frame) : std::to_string(after) + " us") +
                             " (stretch " + std::to_string(k) + ")";
    const fs::path dir = freshDir(std::to_string(round));
    std::ofstream(dir / "script.txt") << "";
    const int status = runChild(dir, true, frame, after);
    const std::string left = walk::readFile(dir / "write" / "save.sav");
    if (!left.empty()) {
      EXPECT_TRUE(images.count(child::hexOf(left))) << "killed at " << what << ": a save no walk writes";
    }
    // The walk runs the same each time: a kill at a frame leaves its stretch's image.
    if (byFrame) {
      EXPECT_EQ(child::hexOf(left), order[k]) << "killed at " << what;
    }

    // Started again in the same folder: the program reads what is there and
    // leaves it as it was (a start that finds no file writes the first image).
    fs::remove(dir / "images.txt");
    fs::remove(dir / "states.txt");
    std::ofstream(dir / "script.txt") << kRestart;
    const int again = runChild(dir, false, 0, 0);
    ASSERT_TRUE(WIFEXITED(again) && WEXITSTATUS(again) == 0) << "restart after " << what << "\n"
                                                              << walk::readFile(dir / "log.txt");
    const std::string kept = walk::readFile(dir / "write" / "save.sav");
    ASSERT_EQ(kept.size(), 300u) << what;
    EXPECT_EQ(child::hexOf(kept), left.empty() ? firstImage : child::hexOf(left)) << "restart after " << what;
    // A career the killed run had started goes on in the pub.
    const bool career = left.size() == 300 && left[100] == 1;
    const int32_t next = career ? k_statePub : k_stateCareerCharacterSelect;
    EXPECT_NE(
        walk::readFile(dir / "states.txt").find(scripted::stateRun({k_stateMainMenu, next, k_stateMainMenu}) + " "),
        std::string::npos)
        << "restart after " << what << ": " << walk::readFile(dir / "states.txt");
    careers += career ? 1 : 0;
    killedMidWalk += WIFSIGNALED(status) ? 1 : 0;
    fs::remove_all(dir);
  }
  EXPECT_GE(killedMidWalk, 6) << "most kills land inside the walk";
  EXPECT_GE(careers, 2) << "some kills land after the career started";
  fs::remove_all(reference);
}

}  // namespace
