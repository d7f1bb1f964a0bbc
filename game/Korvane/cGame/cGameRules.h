#pragma once

#include <cstdint>

class cGame;
class Graphics;

// Rules operations the flow calls.
void assignGroups(cGame& game, int32_t solidsPlayer, int32_t stripesPlayer);
void switchPlayer(cGame& game);
// Hooks of the pool classes.
void onContact(cGame& game, PhysicalObject* first, PhysicalObject* second);
// Shot rules: the stroke's reset, the graph, its look-ahead and the outcome.
void beginStroke(cGame& game);
void runShotRules(cGame& game);
uint32_t lookAheadShotRules(cGame& game);
void Rules_Apply(cGame& game);
bool checkBallsOffTable(cGame& game);
void respotBalls(cGame& game);
void showGroupsMessage(cGame& game);
void startChallengeRules(cGame& game);
// The game's side of the rules: a new rack, the pocketed-ball displays,
// messages, dialogs, the group icons, the hit spark and the characters.
void rackAgain(cGame& game);
void handOverPottedBalls(cGame& game, int32_t from, int32_t to, uint32_t keepMask);
void setGroupIconLook(cGame& game, int32_t element, int32_t frame, int32_t palette);
int32_t getPlayerCharacter(const cGame& game, int32_t player);
