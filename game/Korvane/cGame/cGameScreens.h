// The game's screens as rows: update, paint and stylus mapping of a state,
// looked up by state number. The front-end table serves states run by the
// front-end dispatch, the in-game table those run by the in-game update. A
// screen lives in one file under game/Korvane/cGameInterfaces/ with its row.
#pragma once

#include <cstdint>

class cGame;
class Graphics;

struct cGameScreen {
  int32_t state;
  void (*update)(cGame& game);
  void (*paint)(cGame& game, Graphics* target);
  // Turns this frame's touches into keys; null: the shared per-state mapping
  // of cGameStylus.cpp.
  void (*mapTouch)(cGame& game) = nullptr;
};

struct cGameScreenTable {
  const cGameScreen* entries;
  int32_t count;

  // The entry of a state, or null when the state has no screen here.
  const cGameScreen* find(int32_t state) const;
};

// The row of a state in either table (front end first), or null.
const cGameScreen* findScreen(const cGameScreenTable* frontEnd, const cGameScreenTable* inGame, int32_t state);

extern const cGameScreenTable k_frontEndScreens;
extern const cGameScreenTable k_inGameScreens;
