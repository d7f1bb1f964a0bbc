#pragma once

#include <cstdint>

class cGame;
class Graphics;

// Builds interface id from the records of one entry (whole records only).
// False when the records do not fill the entry (what is left is damaged).
// Parameters of the element's record in the file (it keeps at least as
// many as its type reads).
// Clears the slide-in timers of the sprite and text elements of an array.
// Text boxes: str null draws text id textId; -1 for font, palette or
// hAlignOverride takes the element's own. True on the last page.
// Lays text id out in the element's box (nothing painted): the page count.
// Shows the scroll arrows of the current list only where it has more rows.
void showMenuScrollArrows(cGame& game, int32_t up, int32_t down);
// menu list (cGameMenu.cpp). Rows are consecutive text elements of
// the current interface from the list element. The update gives 0 (nothing),
// -1 (back) or the chosen entry's text id.
void initMenu(cGame& game, const uint32_t* table, int32_t listElement, int32_t rows, bool clearFlags);
void setMenu(cGame& game, const uint32_t* table, int32_t listElement);
void setMenuCount(cGame& game, int32_t n);  // 0-100
void clearMenuFlags(cGame& game);
void setMenuEntryFlags(cGame& game, uint32_t textId, uint32_t flags);
void setMenuEntryFlagsIn(cGame& game, const uint32_t* table, uint32_t textId, uint32_t flags);
uint32_t getMenuEntryFlags(const cGame& game, uint32_t textId);
uint32_t getMenuEntryFlags(const cGame& game, const uint32_t* table, uint32_t textId);
int32_t countHiddenMenuEntries(cGame& game);
void selectMenuEntryById(cGame& game, uint32_t textId);
int32_t updateMenu(cGame& game);
int32_t updateMenuSmooth(cGame& game);
void scrollMenuToSelection(cGame& game);
void paintMenu(cGame& game);

void setMenuRows(cGame& game, const uint32_t* table, int32_t listElement, int32_t rows);
int32_t getMenuCount(const cGame& game);
int32_t getMenuSelection(const cGame& game);
int32_t getMenuVisibleRows(const cGame& game);
int32_t getMenuFirstVisible(const cGame& game);
void setMenuCentring(cGame& game, bool on);
