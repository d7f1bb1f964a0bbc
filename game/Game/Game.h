// Creation of the game object and the accessor to the running game.
#pragma once

#include "game/Korvane/cGame/cGame.h"

// The game object on the back-buffer image (allocated at "Game" line 1261);
// null when the allocation fails.
GameBase* createGame(MutableImage* image);

// Registers the applet and the game's host operations with the shell; the
// program calls it before the shell starts.
void registerGame();
