#pragma once

#include <cstdint>

class cGame;
class Graphics;

void updateSoundQuestion(cGame& game);
void paintSoundQuestion(cGame& game, Graphics* g);
