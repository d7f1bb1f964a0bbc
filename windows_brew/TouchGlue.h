// Stylus contacts into the game's touch fields. The shell's pointer handlers
// forward here with the game and the tick count.
#pragma once

#include <cstdint>

class GameServices;

void touchPressed(GameServices& game, int32_t x, int32_t y, uint32_t now);
void touchDragged(GameServices& game, int32_t x, int32_t y);
void touchReleased(GameServices& game, int32_t x, int32_t y);
