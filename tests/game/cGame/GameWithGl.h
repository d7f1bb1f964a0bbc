// A game object with a current GL context of its own for the test's life.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "game/Korvane/cGame/cGame.h"
#include "gles/GlContext.h"

class GameWithGl : public ::testing::Test {
 protected:
  void SetUp() override {
    gl = std::make_unique<GlContext>();
    setCurrentGlContext(gl.get());
    game = std::make_unique<cGame>(nullptr);
  }
  void TearDown() override {
    game.reset();
    setCurrentGlContext(nullptr);
  }
  std::unique_ptr<GlContext> gl;
  std::unique_ptr<cGame> game;
};
