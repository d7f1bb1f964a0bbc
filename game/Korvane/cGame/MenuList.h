// The game's one menu list: a table of text ids, per-entry flags and the
// selection.
#pragma once

#include <cstdint>

struct MenuList {
  int32_t savedSelection = 0;  // the selection a screen keeps while another is over it
  const uint32_t* table = nullptr;
  int32_t count = 0;
  uint32_t flags[100] = {};
  int32_t listElement = 0;
  int32_t rows = 0;
  int32_t firstVisible = 0;
  int32_t hiddenCount = 0;
  int32_t selection = 0;
  uint8_t centred = 0;
};
