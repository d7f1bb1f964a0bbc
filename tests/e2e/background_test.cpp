// The built program sent to the background with no way back: paused, it
// draws nothing, yet a headless run ends at its frame limit, with the idle
// turns' trace printed once.
#include <gtest/gtest.h>

#include <string>

#include "tests/DataSet.h"
#include "tests/e2e/Child.h"

namespace {

namespace fs = std::filesystem;

TEST(Background, APausedRunEndsAtItsFrameLimit) {
  const std::string data = testdata::dataSet("info.bar");
  if (!fs::exists(child::kProgram) || data.empty()) GTEST_SKIP() << "no program or data set built";
  const fs::path work = child::freshDir("background");
  // Focus lost, F4, the Windows key, F11 and key 0xC5, 3 s in.
  for (const char* event : {"focus 0", "keydown 115", "keydown 91", "keydown 122", "keydown 197"}) {
    SCOPED_TRACE(event);
    const child::Outcome o =
        child::runProgram(data, work, 300, std::string("3000 ") + event + "\n");
    EXPECT_EQ(o.code, 0) << o.errors;
    EXPECT_LT(o.seconds, 30.0);
    size_t traces = 0;
    for (size_t at = o.output.find("entro 10 veces"); at != std::string::npos;
         at = o.output.find("entro 10 veces", at + 1))
      ++traces;
    EXPECT_EQ(traces, 1u);
  }
  fs::remove_all(work);
}

}  // namespace
