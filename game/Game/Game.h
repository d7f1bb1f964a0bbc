// Creation of the game object and the accessor to the running game.
#pragma once

#include "game/Korvane/cGame/cGame.h"
