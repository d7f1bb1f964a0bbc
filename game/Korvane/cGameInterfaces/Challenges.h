#pragma once

#include <cstdint>

class cGame;
class Graphics;

void updateChallengeCategories(cGame& game);
void paintChallengeCategories(cGame& game, Graphics* g);
void updateChallengeList(cGame& game);
void paintChallengeList(cGame& game, Graphics* g);
void markCompletedCategories(cGame& game);
void markChallengeRows(cGame& game);
