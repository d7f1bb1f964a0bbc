// The host's services as the game needs them: the shell's clock, files and
// sound player behind GameHost. Every game object starts with it
// (GameBase); it asks for the running shell at each call, so it serves
// whichever shell is up, and with none it is the host of GameHost's
// defaults.
#pragma once

class GameHost;

GameHost& shellGameHost();
