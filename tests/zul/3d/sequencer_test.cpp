#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "AnimationFixture.h"
#include "memory/FolderLog.h"
#include "memory/TraceCapture.h"
#include "zul/3d/AnimatedObjectDebug.h"
#include "zul/3d/GL3DAnimatedObject.h"
#include "zul/3d/GL3DAnimationSequencer.h"

namespace {

constexpr Q14 kOne = 16384;

class Sequencer : public ::testing::Test {
 protected:
  void SetUp() override {
    // Animations 0: 1.0 s + 0.5 s, 1: 2.0 s + 0.3 s, 2: 0 s + 0.1 s.
    const float times[] = {1.0f, 0.5f, 2.0f, 0.3f, 0.0f, 0.1f};
    seq.setTimes(times, 6);
  }
  GL3DAnimationSequencer seq;
};

TEST_F(Sequencer, OnceLoopAndRepeats) {
  EXPECT_EQ(seq.getAnimationCount(), 3);
  ASSERT_TRUE(seq.playOnce(0));
  EXPECT_EQ(seq.getTime(), 1000);
  seq.update(200);
  EXPECT_EQ(seq.getTime(), 1200);
  EXPECT_FALSE(seq.isFinished());
  seq.update(300);
  EXPECT_TRUE(seq.isFinished());
  EXPECT_EQ(seq.getTime(), 1500);
  EXPECT_EQ(seq.getQueuedCount(), 0);
  seq.update(100);  // an empty queue stays where it ended
  EXPECT_EQ(seq.getTime(), 1500);
  EXPECT_TRUE(seq.isFinished());

  ASSERT_TRUE(seq.playLoop(1));
  EXPECT_EQ(seq.getCurrentAnimation(), 1);
  for (int pass = 0; pass < 5; ++pass) {
    seq.update(299);
    seq.update(1);
    EXPECT_EQ(seq.getTime(), 2000) << pass;
    EXPECT_FALSE(seq.isFinished());
  }
  ASSERT_TRUE(seq.clearAndPlay(2, false));
  ASSERT_TRUE(seq.enqueue(0, 3, 99, false));
  seq.update(100);  // animation 2 ends: finished, and 0 starts
  EXPECT_TRUE(seq.isFinished());
  EXPECT_EQ(seq.getCurrentAnimation(), 0);
  EXPECT_EQ(seq.getTime(), 1000);
  int passes = 0;
  while (seq.getQueuedCount() > 0 && passes < 10) {
    seq.update(500);
    ++passes;
  }
  EXPECT_EQ(passes, 3);
  EXPECT_TRUE(seq.isFinished());
}

TEST_F(Sequencer, SixteenSlotRingWraps) {
  for (int i = 0; i < 16; ++i) ASSERT_TRUE(seq.playOnce(i % 2 == 0 ? 2 : 0)) << i;
  {
    TraceCapture cap;
    EXPECT_FALSE(seq.playOnce(1));  // full: the current request is not overwritten
    EXPECT_FALSE(seq.playOnce(3));  // no times for animation 3
    EXPECT_FALSE(seq.enqueue(-1, 1, 0, false));
  }
  EXPECT_EQ(seq.getCurrentAnimation(), 2);
  seq.update(100);  // 2 ends
  seq.update(500);  // 0 ends
  EXPECT_EQ(seq.getCurrentSlot(), 2);
  ASSERT_TRUE(seq.playOnce(1));  // slot (2 + 14) % 16 = 0
  ASSERT_TRUE(seq.playOnce(1));  // slot 1
  EXPECT_EQ(seq.getQueuedCount(), 16);
  std::string order;
  for (int i = 0; i < 40 && seq.getQueuedCount() > 0; ++i) {
    order += static_cast<char>('0' + seq.getCurrentAnimation());
    seq.update(seq.getCurrentAnimation() == 0 ? 500 : seq.getCurrentAnimation() == 1 ? 300 : 100);
  }
  EXPECT_EQ(order, "2020202020202011");
  EXPECT_EQ(seq.getCurrentSlot(), 2);
}

TEST_F(Sequencer, ReverseRunsFromTheEndToTheStartAtTheSameRate) {
  ASSERT_TRUE(seq.enqueue(0, 2, 0, true));
  EXPECT_EQ(seq.getTime(), 1500);
  seq.update(100);
  EXPECT_EQ(seq.getTime(), 1400);
  seq.update(400);  // reaches the start: restarts at the end
  EXPECT_EQ(seq.getTime(), 1500);
  EXPECT_FALSE(seq.isFinished());
  seq.update(500);
  EXPECT_TRUE(seq.isFinished());
  EXPECT_EQ(seq.getTime(), 1000);

  ASSERT_TRUE(seq.clearAndPlayThereAndBack(1));
  std::vector<int32_t> times;
  for (int i = 0; i < 8; ++i) {
    seq.update(100);
    times.push_back(seq.getTime());
  }
  EXPECT_EQ(times, (std::vector<int32_t>{2100, 2200, 2300, 2200, 2100, 2000, 2000, 2000}));
}

TEST_F(Sequencer, PhaseRoundTrip) {
  for (bool reverse : {false, true}) {
    ASSERT_TRUE(seq.clearAndPlay(0, true));
    if (reverse) {
      seq.update(500);
      ASSERT_TRUE(seq.clearAndPlayThereAndBack(0));
      seq.update(500);  // now the reverse request
    }
    for (Q14 p : {0, 4096, 8192, 12000, kOne}) {
      seq.setPhase(p);
      EXPECT_NEAR(seq.getPhase(), p, 33) << reverse << " " << p;
    }
    seq.setPhase(-5);
    EXPECT_EQ(seq.getTime(), reverse ? 1500 : 1000);
    seq.setPhase(kOne * 2);
    EXPECT_EQ(seq.getTime(), reverse ? 1000 : 1500);
  }
  // Long tables: the phase is taken in 64 bits.
  const float longTimes[] = {100000.0f, 600000.0f};
  seq.setTimes(longTimes, 2);
  ASSERT_TRUE(seq.clearAndPlay(0, false));
  seq.setPhase(8192);
  EXPECT_EQ(seq.getTime(), 100000000 + 300000000);
  EXPECT_EQ(seq.getPhase(), 8192);
}

TEST_F(Sequencer, DrawHandsTheTimeInSecondsToTheObject) {
  GL3DAnimatedObject object;
  object.flags = GL3DAnimatedObject::kFlagHidden;
  seq.setObject(&object);
  EXPECT_EQ(seq.getObject(), &object);
  ASSERT_TRUE(seq.playOnce(0));
  seq.update(250);
  seq.draw(nullptr, Vector3(1, 2, 3), Vector3(4, 5, 6), false);
  EXPECT_EQ(object.time, 1250 * kOne / 1000);
  EXPECT_EQ(object.position, Vector3(1, 2, 3));
  EXPECT_EQ(object.angles, Vector3(4, 5, 6));
}

TEST(AnimationDebug, OneEvaluationWritesItsHeaderAndEachBonesRotation) {
  AnimationBytes bytes;
  GL3DAnimationTrack track;
  ASSERT_TRUE(bytes.read(track, kvmodel::makeTrack(10, 14, {-1, 0},
                                                   {still(4, {0, 0, 0, 12, -34, 56}), still(4, {0, 0, 0, 0, 7, 0})})));
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("kv_animdebug_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  FolderLog log(dir.string());
  closeAnimatedObjectDebug();
  setLogWriter(&log);
  Matrix34 m[2];
  track.evaluate(kOne + kOne / 8, m, uint64_t{3});  // frame 11.25
  closeAnimatedObjectDebug();
  setLogWriter(nullptr);
  std::ifstream in(dir / "AnimatedObjectDebug.txt");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "-----\n\n F: 11 S:4096\nQ: B:0 A1:12 -34 56\nQ: B:1 A1:0 7 0\n");
  std::filesystem::remove_all(dir);
}

}  // namespace
