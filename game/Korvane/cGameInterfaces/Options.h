#pragma once

#include <cstdint>

class cGame;
struct Question;
class Graphics;

void updateOptions(cGame& game);
void paintOptions(cGame& game, Graphics* g);
void showOptionStates(cGame& game);  // on / off behind the three switches
// The reset question: yes resets settings and progress.
extern const Question k_questionResetAll;
