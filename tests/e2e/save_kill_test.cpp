// A first start, option changes and a purchase, killed at seeded moments in
// a fresh folder and started again there: what the killed run leaves is no
// file or one of the images an unbroken run writes, and the save the restart
// finds holds a whole career. The folder holds links where the program
// writes (the save's old staging name, its log), which no run writes
// through, and the restart leaves no staging file of the killed run. KV_KILL_SAMPLES sets the number of kills
// (default 24) and KV_KILL_SEED the seed, so that a long measurement can run
// in parallel pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/DataSet.h"
#include "tests/e2e/Child.h"
#include "tests/e2e/Walk.h"
#include "zul/memory/Debug.h"

namespace {

namespace fs = std::filesystem;

// The first start asks about sound, then the options (the aiming guide off
// and on again), the career (a character, its introduction) and the shop,
// where the first cue is bought; then the program is closed.
constexpr const char* kWalk = R"(
at 30
+600   press 118 135
at 40
+600   press 120 200
at 50
+1500  press 124 256
at 70
+800   press 124 162
+1400  press 124 162
+1400  press 218 303
at 50
+1500  press 124 189
at 150
+800   press 60 240
at 160
+800   press 120 150
+1400  press 120 150
+1400  press 120 150
+1400  press 120 150
at 110
+2000  press 220 166
+3000  press 220 166
+4000  press 110 130
at 430
+800   press 120 200
+2000  press 120 200
at 270
+800   press 180 134
+2000  press 119 133
+2400  press 218 303
at 60
+800   press 124 146
at 330
+1000  press 120 200
at 110
+2000  press 218 303
at 50
+1500  press 124 121
at 60
+800   press 124 146
)";

struct Run {
  static inline fs::path dir;
  static inline walk::Runner* runner = nullptr;
  static inline uint64_t traces = 0;
  static inline uint64_t killAtTrace = 0;  // 0: never
  static inline std::string lastSave;
};

// Counts the program's traces; a kill by count ends the process at one.
void onTrace(const char*, void*) {
  ++Run::traces;
  if (Run::killAtTrace && Run::traces >= Run::killAtTrace) ::raise(SIGKILL);
}

void onFrame(cGame& g, int state, int, const uint16_t*) {
  if (Run::runner) Run::runner->frame(state, !isComputerAtTable(g));
  const std::string save = child::readFile(Run::dir / "write" / "save.sav");
  if (save.empty() || save == Run::lastSave) return;
  Run::lastSave = save;
  child::report("image " + child::hexOf(save));
}

void walkIt() {
  static walk::Runner runner([] {
    std::vector<walk::Step> steps;
    walk::parse(kWalk, steps);
    return steps;
  }());
  Run::runner = &runner;
  setDebugTraceHook(onTrace, nullptr);
}

void onExit() { child::report("traces " + std::to_string(Run::traces)); }

// Whether a 300-byte image holds whole records: the characters every
// player has, each category's first challenge open, one equipped item in
// each shop category.
bool wholeCareer(const std::string& image) {
  if (image.size() != 300) return false;
  const auto* b = reinterpret_cast<const uint8_t*>(image.data());
  if (!b[3] || !b[4] || !b[12]) return false;
  for (int c = 0; c < 4; ++c)
    if ((b[112 + 8 * c] & 3) == 0) return false;
  const uint32_t equipped = uint32_t{b[153]} << 24 | uint32_t{b[154]} << 16 | uint32_t{b[155]} << 8 | b[156];
  for (int c = 0; c < 3; ++c)
    if (__builtin_popcount((equipped >> (6 * c)) & 0x3F) != 1) return false;
  return true;
}

std::set<std::string> imagesOf(const std::string& report) {
  std::set<std::string> images;
  std::istringstream in(report);
  for (std::string word, hex; in >> word;) {
    if (word != "image" || !(in >> hex)) continue;
    std::string image;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
      image.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    images.insert(image);
  }
  return images;
}

uint64_t envOr(const char* name, uint64_t fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

TEST(SaveKills, NoKillLeavesADamagedCareer) {
  SKIP_WITHOUT_DATA_SET();
  std::vector<walk::Step> steps;
  std::string error;
  ASSERT_TRUE(walk::parse(kWalk, steps, &error)) << error;
  const uint64_t samples = envOr("KV_KILL_SAMPLES", 24);
  std::mt19937_64 rng(envOr("KV_KILL_SEED", 20261210));

  // The unbroken run: its images, its traces and its time.
  const fs::path reference = child::freshDir("kill_reference");
  child::writeFile(reference / "script.txt", "");
  Run::dir = reference;
  const auto start = std::chrono::steady_clock::now();
  const child::Result ref = child::run(reference, 20000, walkIt, onFrame, 0, onExit);
  const auto micros = static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
  ASSERT_TRUE(ref.exitedWith(0)) << child::readFile(reference / "log.txt");
  const std::set<std::string> images = imagesOf(ref.report);
  ASSERT_GE(images.size(), 4u) << "the run saves at its start, its options, its career and its purchase";
  for (const std::string& image : images) ASSERT_TRUE(wholeCareer(image));
  const uint64_t traces = std::stoull(ref.report.substr(ref.report.rfind("traces ") + 7));
  std::printf("the unbroken run: %zu images, %llu traces, %.2f s\n", images.size(),
              static_cast<unsigned long long>(traces), static_cast<double>(micros) / 1e6);
  fs::remove_all(reference);

  // Half the kills at a seeded trace of the run (between any two of its
  // steps, a save's included), half at a seeded moment of its clock; a third
  // of each inside its first start (the first tenth of the run).
  uint64_t killed = 0, leftNone = 0, foreign = 0, damaged = 0;
  for (uint64_t k = 0; k < samples; ++k) {
    const bool byTrace = k % 2 == 0;
    const bool early = k % 3 == 0;
    const uint64_t span = byTrace ? traces : micros;
    const uint64_t at = 1 + rng() % std::max<uint64_t>(early ? span / 10 : span, 1);
    const std::string what = (byTrace ? "trace " : "microsecond ") + std::to_string(at);
    const fs::path dir = child::freshDir("kill");
    child::writeFile(dir / "script.txt", "");
    child::writeFile(dir / "outside.txt", "not the program's");
    for (const char* link : {"save.sav.tmp", "memory.log"}) fs::create_symlink(dir / "outside.txt", dir / "write" / link);
    Run::dir = dir;
    Run::killAtTrace = byTrace ? at : 0;
    const child::Result r = child::run(dir, 20000, walkIt, onFrame, byTrace ? 0 : at);
    Run::killAtTrace = 0;
    killed += WIFSIGNALED(r.status) ? 1 : 0;
    const std::string left = child::readFile(dir / "write" / "save.sav");
    if (left.empty()) {
      ++leftNone;
    } else if (!images.count(left)) {
      ++foreign;
      ADD_FAILURE() << "killed at " << what << ": a save no unbroken run writes";
    }
    // Started again: the save it finds, and keeps or makes, is whole.
    child::writeFile(dir / "script.txt", "");
    const child::Result again = child::run(dir, 300, nullptr, onFrame);
    ASSERT_TRUE(again.exitedWith(0)) << "restart after " << what << "\n" << child::readFile(dir / "log.txt");
    const std::string kept = child::readFile(dir / "write" / "save.sav");
    if (!wholeCareer(kept)) {
      ++damaged;
      ADD_FAILURE() << "killed at " << what << ": the restart finds a damaged career";
    }
    if (!left.empty()) {
      EXPECT_EQ(kept, left) << "restart after " << what;
    }
    EXPECT_EQ(child::readFile(dir / "outside.txt"), "not the program's") << "after " << what;
    for (const auto& e : fs::directory_iterator(dir / "write")) {
      const std::string name = e.path().filename().string();
      if (fs::is_symlink(e.symlink_status())) continue;
      EXPECT_FALSE(name.size() > 4 && name.substr(name.size() - 4) == ".tmp") << name << " after " << what;
    }
    fs::remove_all(dir);
  }
  std::printf("kills %llu (%llu inside the run), no file left %llu, foreign images %llu, damaged careers %llu\n",
              static_cast<unsigned long long>(samples), static_cast<unsigned long long>(killed),
              static_cast<unsigned long long>(leftNone), static_cast<unsigned long long>(foreign),
              static_cast<unsigned long long>(damaged));
  EXPECT_EQ(damaged, 0u);
  EXPECT_GE(killed * 2, samples) << "most kills land inside the run";
}

}  // namespace
