#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zul/memory/Memory.h"
#include "zul/sound/SSEDriver.h"

namespace {

struct FakeOutput : SSEOutputDevice {
  std::vector<std::string>* log;
  explicit FakeOutput(std::vector<std::string>* l) : log(l) {}
  void destroy() override { log->push_back("destroy"); }
  void start(int32_t a, int32_t b) override { log->push_back("start " + std::to_string(a) + " " + std::to_string(b)); }
  void stop(int32_t a, int32_t b) override { log->push_back("stop " + std::to_string(a) + " " + std::to_string(b)); }
};

TEST(SSEDriver, WithAnOutputObject) {
  std::vector<std::string> log;
  FakeOutput output(&log);
  {
    SSEDriver d;
    ASSERT_NE(d.device(), nullptr);
    EXPECT_EQ(d.device()->output, nullptr);
    EXPECT_EQ(d.device()->buffer, nullptr);
    EXPECT_FALSE(d.isInitialised());
    EXPECT_FALSE(d.isPlaying());
    d.device()->output = &output;
    d.device()->buffer = memNewArray(256, "test", 1);
    d.ensureInitialised();
    EXPECT_FALSE(d.isInitialised());  // an output object is there
    SSEMixEngine* e = d.createMixEngine(3, 22050, 16, 7);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(d.mixEngine(), e);
    EXPECT_EQ(e->sampleCount(), 3u);
    EXPECT_EQ(e->outputRate(), 22050u);
    EXPECT_EQ(e->outputBits(), 16u);
    EXPECT_EQ(e->third(), 7u);
    EXPECT_TRUE(d.isInitialised());
    d.start(5, -2);
    EXPECT_TRUE(d.isPlaying());
    d.stop(1, 9);
    EXPECT_FALSE(d.isPlaying());
    d.release();
    EXPECT_EQ(d.device()->output, nullptr);
    EXPECT_EQ(d.device()->buffer, nullptr);
    EXPECT_FALSE(d.isInitialised());
    EXPECT_EQ(log, (std::vector<std::string>{"start 5 -2", "stop 1 9", "destroy"}));
    d.device()->output = &output;
    d.start(3, 4);
  }
  // The destructor stops and releases.
  EXPECT_EQ(log, (std::vector<std::string>{"start 5 -2", "stop 1 9", "destroy", "start 3 4", "stop 0 0", "destroy"}));
}

TEST(SSEDriver, WithoutAnOutputObject) {
  SSEDriver d;
  d.ensureInitialised();
  EXPECT_TRUE(d.isInitialised());
  d.start(1, 2);
  EXPECT_TRUE(d.isPlaying());
  d.stop(1, 2);
  EXPECT_FALSE(d.isPlaying());
  d.release();
  EXPECT_FALSE(d.isInitialised());
  d.initialise();
  EXPECT_TRUE(d.isInitialised());
  // A second engine replaces the first.
  d.createMixEngine(1, 8000, 8, 0);
  SSEMixEngine* e = d.createMixEngine(2, 11025, 16, 0);
  EXPECT_EQ(d.mixEngine(), e);
  EXPECT_EQ(e->sampleCount(), 2u);
}

}  // namespace
