#include <gtest/gtest.h>

#include "game/Korvane/cGame/KeyState.h"

TEST(KeyState, KeyBits) {
  struct Case {
    int key;
    uint64_t bit;
  } cases[] = {
      {0, 1},  // the bit itself; events of key 0 are dropped
      {1, 0x2},
      {19, 0x80000},
      {30, 0x40000000},
      {31, 0xFFFFFFFF80000000ull},  // sign-widened
      {32, 0},
      {40, 0},
      {255, 0},
      {256 + 3, 0x8},  // taken as a byte
  };
  for (const Case& c : cases) EXPECT_EQ(KeyState::keyBit(c.key), c.bit) << c.key;
}

TEST(KeyState, PressLatchesAtNextUpdate) {
  KeyState k;
  k.onKeyDown(19);
  EXPECT_FALSE(k.isPressed(k_keySelect));
  k.update();
  EXPECT_TRUE(k.isPressed(k_keySelect));
  EXPECT_TRUE(k.isHeld(0x80000));
  EXPECT_FALSE(k.isReleased(0x80000));
  k.update();
  EXPECT_FALSE(k.isPressed(k_keySelect));
  EXPECT_TRUE(k.isHeld(0x80000));  // still down
  k.onKeyUp(19);
  k.update();
  EXPECT_TRUE(k.isReleased(0x80000));
  EXPECT_TRUE(k.isNotHeld(0x80000));
}

TEST(KeyState, PressAndReleaseInOneFrame) {
  KeyState k;
  k.onKeyDown(17);
  k.onKeyUp(17);
  k.update();
  EXPECT_TRUE(k.isPressed(k_keyLeftSoft));
  EXPECT_TRUE(k.isReleased(k_keyLeftSoft));
  EXPECT_FALSE(k.isHeld(k_keyLeftSoft));
}

TEST(KeyState, IgnoredKeysAndReleaseWithoutPress) {
  KeyState k;
  k.onKeyDown(0);
  k.onKeyDown(40);
  k.update();
  EXPECT_FALSE(k.isAnyPressed());
  EXPECT_EQ(k.down(), 0u);
  k.onKeyUp(18);  // never pressed
  k.update();
  EXPECT_TRUE(k.isReleased(k_keyRightSoft));
}

TEST(KeyState, LockDropsEventsAndCountsDown) {
  KeyState k;
  k.onKeyDown(11);
  k.lock(1);  // during a frame's update
  k.onKeyDown(13);  // dropped: locked
  k.update();       // next frame: counts the lock down
  EXPECT_FALSE(k.isAnyPressed());
  EXPECT_EQ(k.lockCount(), 0);
  k.onKeyDown(14);  // sent by the mapping in that frame
  EXPECT_FALSE(k.isPressed(k_keyRight));
  k.update();  // one frame later
  EXPECT_TRUE(k.isPressed(k_keyRight));
  EXPECT_FALSE(k.isPressed(k_keyUp | k_keyDown));
}

TEST(KeyState, LockOfNSuppressesNLatches) {
  KeyState k;
  k.lock(3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(k.isLocked());
    k.update();
  }
  EXPECT_FALSE(k.isLocked());
  k.onKeyDown(12);
  k.update();
  EXPECT_TRUE(k.isPressed(k_keyLeft));
}

TEST(KeyState, ClearKeepsHeld) {
  KeyState k;
  k.onKeyDown(12);
  k.update();
  k.lock(2);
  k.update();
  EXPECT_TRUE(k.isHeld(k_keyLeft));  // last latched value
  EXPECT_FALSE(k.isPressed(k_keyLeft));
  EXPECT_EQ(k.down(), 0u);
}
