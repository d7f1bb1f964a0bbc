// The main menu's record (50): the marker's slide and the touch mapping's
// view of the list.
#pragma once

#include <cstdint>

// No pen-down seen on the main menu yet.
constexpr int32_t k_noTouchFirst = -100000;

struct MainMenuScreen {
  // The marker's swing, then its run to the chosen row and the row's exit.
  struct Slide {
    int32_t restX = 0;      // the marker's x in the interface
    int32_t offset = 0;     // 1/256 px
    int32_t direction = 1;  // 1 right, 0 left
    int32_t phase = 0;      // 0 swing, 1 marker runs, 2 row leaves, 3 done
    int32_t targetX = 0;
    int32_t rowX = 0;    // element 8's x before it left
    int32_t chosen = 0;  // text id
  } slide;
  uint32_t tick = 0;                    // platform ticks when the menu opened
  int32_t touchFirst = k_noTouchFirst;  // first visible entry at pen-down
};

class cGame;
struct Question;
class Graphics;

void updateMainMenu(cGame& game);
void paintMainMenu(cGame& game, Graphics* g);
void paintMainMenuList(cGame& game, Graphics* g);
// The marker's swing, then its run to the chosen row and the row's exit:
// the chosen text id once that has ended, else 0.
int32_t slideMainMenuSelection(cGame& game);
// The entry the main menu shows on a row when its list starts at first
// (indexes wrap, hidden entries take no row); -1 when no entry is shown.
int32_t getMainMenuRowEntry(const cGame& game, int32_t row, int32_t first);
// The exit question, asked here and, with its own return and panel, over a
// match; yes ends the program.
extern const Question k_questionExit;
