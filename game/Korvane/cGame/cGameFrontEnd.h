// The front-end screen pattern: what every menu screen of the front end does
// on its first frame, once a frame and when it paints. A screen is a row of
// the screen tables (cGameScreens.h) whose update and paint call these
// helpers (cGameFrontEnd.cpp):
//
//   void updateExample(cGame& game) {
//     if (game.states.subState == k_subStateInit) {
//       FrontEndScreen s;
//       s.interfaceId = k_interfaceExample;
//       s.menu = kExampleItems;            // text ids; leave null for no list
//       s.listElement = 10;
//       s.count = 4;                       // rows stay -1: every entry has a row
//       s.music = k_musicTitle;            // or -1
//       setUpScreen(game, s);              // ends in sub-state 10, selection -1
//       setMenuEntryFlags(game, 40, 1);    // entry flags after the set-up
//       return;                            // (or go on to run the frame)
//     }
//     const int32_t id = updateScreen(game);  // timers + the list: id, -1 back, 0
//     if (id < 0) game.setState(k_stateMainMenu);
//   }
//
//   void paintExample(cGame& game, Graphics* g) {
//     paintScreen(game, g, k_exampleBackButton, -1);  // background, front layer, buttons
//     drawElementText(game, 20, 34);                  // texts by id into text elements
//     paintMenu(game);                                // the list
//     if (isBlinkOn(game)) drawElementText(game, 3, 30);  // blinking texts
//   }
//
// Over a paused match (frontEnd.menusOverMatch) the set-up captures the table scene
// into the saved background and leaves the elements in place instead of
// sliding them in. Moves between screens shown over a match go through
// goToScreen, which keeps the paused match's state stack.
#pragma once

#include <cstdint>

class MutableImage;
class cGame;
class Graphics;

struct FrontEndScreen {
  int32_t interfaceId = -1;
  // The menu list: text ids, first row element, visible rows (-1 all), count.
  const uint32_t* menu = nullptr;
  int32_t listElement = 0;
  int32_t rows = -1;
  int32_t count = 0;
  // Music started after the back layer is painted; -1 none.
  int32_t music = -1;
  // Drawn into the back layer before the interface's back elements (the
  // title picture, a black fill); null: nothing.
  void (*backdrop)(cGame& game, Graphics* backLayer) = nullptr;
};

// front-end screen pattern (cGameFrontEnd.cpp; how to use: cGameFrontEnd.h)
// First frame: capture over a match, interface, slide-in, menu, back
// layer, music, selection -1, running sub-state.
void setUpScreen(cGame& game, const FrontEndScreen& screen);
// Every frame: the slide-in timers, then the list (0 nothing, -1 back, the
// chosen text id); 0 without a list or when runMenu is false.
int32_t updateScreen(cGame& game, bool runMenu = true);
// Back button (right soft key) frames 14 / 17 and the left button 16 / 15
// by the touch highlights; -1 for a screen without one.
void setButtonFrames(cGame& game, int32_t backButton, int32_t leftButton);
// Saved background, the buttons' frames and the front layer.
void paintScreen(cGame& game, Graphics* g, int32_t backButton, int32_t leftButton);
// Blinking texts show for the second half of every second of game time.
bool isBlinkOn(const cGame& game);
// setInGameState over a match (the paused match's stack stays), else setState.
void goToScreen(cGame& game, int32_t state);

struct FrontEndState {
  uint8_t touchPrompt = 0;
  int32_t lastSlideX = 0;
  int32_t lastSlideY = 0;
  Graphics* paintTarget = nullptr;
  uint8_t secondBufferOn = 0;
  MutableImage* secondBufferImage = nullptr;
  Graphics* secondBufferGraphics = nullptr;
  uint8_t completionNoticeShown = 0;
  Graphics* backLayer = nullptr;
  uint8_t loadingScreenUp = 0;
  uint8_t leftHanded = 0;    // soft-key labels swap sides
  uint8_t wideMessages = 0;  // the message box of element 31
  uint8_t singleSoftKey = 0;
  uint8_t matchPaused = 0;
  uint8_t noticePending = 0;  // of the interrupt notice
  int32_t noticeDisplay = 0;
  uint8_t paintingPubScenery = 0;
  uint8_t menusOverMatch = 0;
};

// Drawing targets: the back layer (the saved background's; null until it
// exists) and the current target (the paint target; the screen outside a paint).
Graphics* currentTarget(cGame& game);
