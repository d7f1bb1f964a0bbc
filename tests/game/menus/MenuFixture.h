// Interface fixture with key presses and a record of the last sound asked for.
#pragma once

#include <initializer_list>
#include <vector>

#include "tests/game/interfaces/InterfaceFixture.h"

// Key indices.
constexpr int kUp = 3, kLeft = 5, kSelect = 6, kRight = 7, kDown = 9, kLeftSoft = 17, kRightSoft = 18,
              kDismiss = 19, kBack = 20;

class MenuTest : public InterfaceTest {
 protected:
  void SetUp() override {
    InterfaceTest::SetUp();
    game->sound.enabled = 1;
  }
  // One frame with the keys pressed.
  void press(std::initializer_list<int> keys) { press(std::vector<int>(keys)); }
  void press(const std::vector<int>& keys) {
    for (int k : keys) game->keys.onKeyDown(k);
    game->keys.update();
    for (int k : keys) game->keys.onKeyUp(k);
  }
  void noKeys() { game->keys.update(); }
  // The sound id started since the last call (-1 none).
  int takeSound() {
    const int id = game->sound.lastId;
    game->sound.lastId = game->sound.currentId = -1;
    return id;
  }
};
