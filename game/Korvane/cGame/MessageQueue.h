// Short texts shown over a match or a screen: the queue of up to eight
// messages shown one at a time in a message box, and the one centred dialog
// box. Both keep their own copies of their texts.
#pragma once

#include <cstdint>

struct MessageQueue {
  static constexpr int32_t kMax = 8;
  static constexpr int32_t kTextSize = 500;  // at most 499 bytes and a 0
  int32_t count = 0;
  int32_t kind[kMax] = {};    // 0 timed, 1 dismissed by key only, 2 both
  char text[kMax][kTextSize] = {};
  int32_t life[kMax] = {};    // ms
  int32_t layout[kMax] = {};  // 0-3
  int32_t extra[kMax] = {};   // number parameter 0 of the text, -1 none
};

struct DialogBox {
  static constexpr int32_t kTextSize = 500;
  int32_t kind = 0;  // 1 title only, 2 title and body
  char title[kTextSize] = {};
  char body[kTextSize] = {};
  int32_t x = 0, y = 0, width = 0, height = 0;  // the box
  int32_t titleX = 0, titleY = 0, bodyX = 0, bodyY = 0;
  int32_t leftFrame = 0, rightFrame = 0, middleFrame = 0;
  int32_t leftWidth = 0, middleWidth = 0, middleParts = 0;
  int32_t life = -1;  // ms; -1 closed
  int32_t player = -1;  // the player at the table when it opened
};
