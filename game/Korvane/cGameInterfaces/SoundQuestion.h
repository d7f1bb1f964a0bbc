#pragma once

#include <cstdint>

class cGame;
class Graphics;

// start-up screens, main menu and options (cGameInterfaces/): the
// sound question (30), the title (40), the main menu (50), the options (70)
void updateSoundQuestion(cGame& game);
void paintSoundQuestion(cGame& game, Graphics* g);
