#pragma once

#include <cstdint>

class cGame;
class Graphics;

void updateTitle(cGame& game);
void paintTitle(cGame& game, Graphics* g);
