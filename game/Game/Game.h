// Creation of the game object and the accessor to the running game.
#pragma once

#include "game/Korvane/cGame/cGame.h"

// The game object on the back-buffer image (allocated at "Game" line 1261);
// null when the allocation fails. The applet's bridge calls it; the program's
// link resolves it.
GameBase* createGame(MutableImage* image);
