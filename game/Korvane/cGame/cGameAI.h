#pragma once

#include <cstdint>

class cGame;
class Graphics;

// computer opponent (cGameAI.cpp): the profiles of "misc.bar" and the
// think machine for the player at the table. A turn: updateAI(0, 0, false)
// (or resetAI), then updateAI(aiState(), 1, frameDone) each frame until
// aiState() is -1; aiPassed() then tells a pass from a shot.
void initAI(cGame& game);
void freeAI(cGame& game);
void releaseAI(cGame& game);
void updateAI(cGame& game, int32_t state, int32_t event, bool frameDone);
void resetAI(cGame& game);
void searchAIShot(cGame& game, int32_t steps);
// A cue-ball spot in the kitchen; returns the side drawn.
int32_t randomBreakSpot(cGame& game, Vector2& out);
// The break position of a player's profile (values 9 and 10).
Vector2 getAIBreakPosition(const cGame& game, int32_t player);
void useLoaderProfiles(cGame& game);
void useOwnProfiles(cGame& game);
void fillProfileTable(cGame& game);

int32_t aiState(const cGame& game);
bool aiPassed(const cGame& game);
