#pragma once

#include <cstdint>

class cGame;
class Graphics;

void initAI(cGame& game);
void freeAI(cGame& game);
void releaseAI(cGame& game);
void updateAI(cGame& game, int32_t state, int32_t event, bool frameDone);
void resetAI(cGame& game);
void searchAIShot(cGame& game, int32_t steps);
// A cue-ball spot in the kitchen; returns the side drawn.
int32_t randomBreakSpot(cGame& game, Vector2& out);
Vector2 getAIBreakPosition(const cGame& game, int32_t player);
void useLoaderProfiles(cGame& game);
void useOwnProfiles(cGame& game);
void fillProfileTable(cGame& game);

int32_t aiState(const cGame& game);
bool aiPassed(const cGame& game);
