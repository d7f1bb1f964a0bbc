#pragma once

#include <cstdint>

class cGame;
class Graphics;

// challenge screens (cGameInterfaces/Challenges.cpp): the categories
// (170) and the eight challenges of one category (180).
void updateChallengeCategories(cGame& game);
void paintChallengeCategories(cGame& game, Graphics* g);
void updateChallengeList(cGame& game);
void paintChallengeList(cGame& game, Graphics* g);
void markCompletedCategories(cGame& game);
void markChallengeRows(cGame& game);
