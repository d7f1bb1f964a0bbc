// Creation of the game object and the accessor to the running game.
#pragma once

#include "game/Korvane/cGame/cGame.h"

// Registers the applet and the game's host operations with the shell; the
// program calls it before the shell starts.
void registerGame();
