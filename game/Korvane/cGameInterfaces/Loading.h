#pragma once

#include <cstdint>

class cGame;
class Graphics;

void updateLogo(cGame& game);
void paintLogo(cGame& game, Graphics* g);
