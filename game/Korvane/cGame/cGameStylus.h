// Stylus to virtual keys: the touch layout and the screen flags that the
// mapping keeps for the screens that read them.
#pragma once

#include <cstdint>

// Touch rectangles are laid out in a 240 x 378 space: y is scaled to the
// 320-pixel screen, x, width and height are not.
constexpr int32_t k_touchLayoutHeight = 378;

// Screen y of a layout y (rounding down).
constexpr int32_t touchLayoutY(int32_t y) { return y * 320 / k_touchLayoutHeight; }

// True when the screen point lies in the layout rectangle; both ends are
// included.
constexpr bool touchRectContains(int32_t x, int32_t y, int32_t w, int32_t h, int32_t px, int32_t py) {
  const int32_t top = touchLayoutY(y);
  return px >= x && px <= x + w && py >= top && py <= top + h;
}

// Screen flags (cleared by every setState) used as phase flags.
constexpr int32_t k_screenFlagDelayedSelect = 0;    // rule-set choice: a row was touched
constexpr int32_t k_screenFlagChallengeConfirm = 1;  // challenge list: the next tap confirms
constexpr int32_t k_screenFlagPostMatchConfirm = 2;  // post-match menu: the next tap confirms

// Virtual keys that touches produce.
constexpr int32_t k_touchKeyFineTurnA = 2;
constexpr int32_t k_touchKeyFineTurnB = 4;
constexpr int32_t k_touchKeyUp = 11;
constexpr int32_t k_touchKeyLeft = 12;
constexpr int32_t k_touchKeyDown = 13;
constexpr int32_t k_touchKeyRight = 14;
constexpr int32_t k_touchKeySpinButton = 16;
constexpr int32_t k_touchKeyLeftSoft = 17;
constexpr int32_t k_touchKeyRightSoft = 18;
constexpr int32_t k_touchKeyFire = 19;
