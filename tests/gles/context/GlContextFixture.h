// A standalone context installed for the entry points, as the applet would.
#pragma once

#include <gtest/gtest.h>

#include "gles/GlContext.h"

class GlContextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gl = new GlContext();
    setCurrentGlContext(gl);
  }
  void TearDown() override {
    setCurrentGlContext(nullptr);
    delete gl;
  }
  GlContext* gl = nullptr;
};
