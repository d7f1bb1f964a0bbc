// A game object whose touch fields are set by hand; one mapping pass is run
// and the keys it sent are latched for inspection.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "game/Korvane/cGame/cGameTypes.h"

constexpr uint64_t keyBit(int k) { return uint64_t{1} << k; }

struct LayoutRect {
  int32_t x, y, w, h;
  int32_t cx() const { return x + w / 2; }
  int32_t cy() const { return touchLayoutY(y) + h / 2; }
  int32_t top() const { return touchLayoutY(y); }
};

struct Sent {
  uint64_t pressed;
  uint64_t released;
  uint64_t held;
};

class StylusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game.reset(new cGame(nullptr));
    game->init();
    enter(k_stateMainMenu);
  }

  // Puts the game in a state without the key lock of a state change.
  void enter(int32_t state, int32_t subState = -1) {
    game->states.gameState = state;
    game->states.inGame = state >= k_stateMatchFirst ? 1 : 0;
    game->states.subState =
        subState >= 0 ? subState : (state >= k_stateMatchFirst ? k_subStateInGameUpdate : k_subStateUpdate);
    for (uint8_t& f : game->states.screenFlags) f = 0;
    clearPen();
    game->keys.lock(0);
    game->keys.update();
  }

  void clearPen() {
    game->pointerX = game->pointerY = -1;
    game->releaseX = game->releaseY = -1;
  }

  // One mapping pass with the keys latched afterwards.
  Sent run() {
    game->keys.lock(0);
    mapPointerToKeys(*game);
    game->keys.update();
    return {game->keys.pressed(), game->keys.released(), game->keys.held()};
  }

  Sent tapUp(int32_t x, int32_t y) {
    clearPen();
    game->releaseX = x;
    game->releaseY = y;
    return run();
  }

  Sent penAt(int32_t x, int32_t y) {
    clearPen();
    game->pointerX = x;
    game->pointerY = y;
    return run();
  }

  std::unique_ptr<cGame> game;
};
