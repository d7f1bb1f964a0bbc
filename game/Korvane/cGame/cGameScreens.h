// Update and paint operations of the game's screens, looked up by state
// number. The front-end table serves states run by the front-end dispatch,
// the in-game table those run by the in-game update.
#pragma once

#include <cstdint>

class cGame;
class Graphics;

struct cGameScreen {
  int32_t state;
  void (*update)(cGame& game);
  void (*paint)(cGame& game, Graphics* target);
};

struct cGameScreenTable {
  const cGameScreen* entries;
  int32_t count;

  // The entry of a state, or null when the state has no screen here.
  const cGameScreen* find(int32_t state) const;
};

extern const cGameScreenTable k_frontEndScreens;
extern const cGameScreenTable k_inGameScreens;
