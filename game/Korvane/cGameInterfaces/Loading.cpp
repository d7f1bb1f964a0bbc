// The loading screens' rows: the main-menu loading (20) and the match
// loading (370). Their steps and paints are the loading topic's
// (cGameMainMenuLoading.cpp, cGameGameLoading.cpp); a tap on them is key 4.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"

const cGameScreen k_screenMainMenuLoading = {k_stateMainMenuLoading, [](cGame& g) { updateMainMenuLoading(g); },
                                             [](cGame& g, Graphics* t) { paintMainMenuLoading(g, t); },
                                             touch::mapNoButtons};
const cGameScreen k_screenGameLoading = {k_stateGameLoading, [](cGame& g) { updateGameLoading(g); },
                                         [](cGame& g, Graphics* t) { paintGameLoading(g, t); }, touch::mapNoButtons};
