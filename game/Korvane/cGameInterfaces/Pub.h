// The career hub's record: the career character choice (150), the
// introduction (160) and the pub (110), a wide scene scrolled between six
// spots with the beaten rivals seated in it.
#pragma once

#include <cstdint>

struct PubScreen {
  int32_t careerChoiceIndex = 0;
  int32_t arrivedTime = 0;  // ms at rest on the spot
  int32_t targetX = 0;      // pixels
  int32_t scroll = 0;       // 1/256 pixel
  int32_t speed = 0;        // 1/256 pixel a frame
  int32_t ringOffset = 0;   // scroll modulo 240 pixels, 1/256 pixel
  int32_t seatOf[10] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};         // by character
  int32_t seatCharacter[10] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};  // by seat element
  uint8_t glowOn = 0;  // the spot's objects glow in this paint
  int32_t introPage = 0;
  int32_t introPageCount = 1;
};
