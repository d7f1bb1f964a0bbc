#pragma once

#include <cstdint>

class cGame;
class Graphics;

void updateOptions(cGame& game);
void paintOptions(cGame& game, Graphics* g);
void showOptionStates(cGame& game);  // on / off behind the three switches
