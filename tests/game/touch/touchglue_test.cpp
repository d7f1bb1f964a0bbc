#include "windows_brew/TouchGlue.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameTypes.h"

namespace {

// One contact event at a time (ms); 'p' press, 'd' drag, 'r' release.
struct Event {
  char kind;
  int32_t x;
  int32_t y;
  uint32_t t = 0;
};

struct Expect {
  int32_t pointerX, pointerY;
  int32_t dragRefX, dragRefY;
  uint8_t doubleTap, swipeLeft, swipeRight, powerPull, exitCorner;
  int32_t lastTapX, lastTapY;
};

struct Case {
  const char* name;
  int32_t state;
  std::vector<Event> events;
  Expect expect;
  int32_t currentPlayer = 0;
  int32_t gameType = k_gameTypeQuickMatch;
};

void run(cGame& g, const std::vector<Event>& events) {
  for (const Event& e : events) {
    if (e.kind == 'p')
      touchPressed(g, e.x, e.y, e.t);
    else if (e.kind == 'd')
      touchDragged(g, e.x, e.y);
    else
      touchReleased(g, e.x, e.y);
  }
}

}  // namespace

TEST(TouchGlue, Table) {
  const Case cases[] = {
      // Double tap: within 10 px strictly, 101 to 1199 ms, y below 280, x from 71.
      {"double tap",
       k_stateAim,
       {{'p', 105, 195, 1000}, {'r', 105, 195}, {'p', 100, 200, 1150}},
       {100, 200, 100, 200, 1, 0, 0, 0, 0, 105, 195}},
      {"tap too soon",
       k_stateAim,
       {{'p', 105, 195, 1000}, {'p', 100, 200, 1100}},
       {100, 200, 100, 200, 0, 0, 0, 0, 0, 105, 195}},
      {"earliest tap",
       k_stateBallInHand,
       {{'p', 105, 195, 1000}, {'p', 100, 200, 1101}},
       {100, 200, 100, 200, 1, 0, 0, 0, 0, 105, 195}},
      {"latest tap",
       k_statePub,
       {{'p', 105, 195, 1000}, {'p', 100, 200, 2199}},
       {100, 200, 100, 200, 1, 0, 0, 0, 0, 105, 195}},
      {"tap too late",
       k_stateAim,
       {{'p', 105, 195, 1000}, {'p', 100, 200, 2200}},
       {100, 200, 100, 200, 0, 0, 0, 0, 0, 105, 195}},
      {"tap low",
       k_stateAim,
       {{'p', 105, 282, 1000}, {'p', 100, 285, 1150}},
       {100, 285, 100, 285, 0, 0, 0, 0, 0, 105, 282}},
      {"tap in left column",
       k_stateAim,
       {{'p', 105, 195, 1000}, {'p', 70, 200, 1150}},
       {70, 200, 70, 200, 0, 0, 0, 0, 0, 105, 195}},
      {"ten px apart",
       k_stateAim,
       {{'p', 100, 200, 1000}, {'p', 110, 200, 1150}},
       {110, 200, 110, 200, 0, 0, 0, 0, 0, 110, 200}},
      {"other state",
       k_stateMainMenu,
       {{'p', 105, 195, 1000}, {'p', 100, 200, 1150}},
       {100, 200, 100, 200, 0, 0, 0, 0, 0, 0, 0}},
      // Pub swipes of 50 px and the exit corner.
      {"pub 49 px", k_statePub, {{'p', 100, 200, 0}, {'d', 149, 200}}, {100, 200, 100, 200, 0, 0, 0, 0, 0, 100, 200}},
      {"pub swipe right",
       k_statePub,
       {{'p', 100, 200, 0}, {'d', 150, 200}},
       {150, 200, 150, 200, 0, 0, 1, 0, 0, 100, 200}},
      {"pub needs 50 more",
       k_statePub,
       {{'p', 100, 200, 0}, {'d', 150, 200}, {'d', 199, 200}},
       {150, 200, 150, 200, 0, 0, 1, 0, 0, 100, 200}},
      {"pub swipe left",
       k_statePub,
       {{'p', 200, 200, 0}, {'d', 150, 210}},
       {150, 200, 150, 200, 0, 1, 0, 0, 0, 200, 200}},
      {"pub exit corner",
       k_statePub,
       {{'p', 210, 290, 0}, {'d', 220, 300}},
       {220, 300, 210, 290, 0, 0, 0, 0, 1, 210, 290}},
      {"pub corner left",
       k_statePub,
       {{'p', 210, 290, 0}, {'d', 220, 300}, {'d', 190, 250}},
       {220, 300, 210, 290, 0, 0, 0, 0, 0, 210, 290}},
      // Stepwise drags of 6 px while aiming or placing the ball.
      {"aim 5 px", k_stateAim, {{'p', 100, 100, 0}, {'d', 105, 95}}, {100, 100, 100, 100, 0, 0, 0, 0, 0, 100, 100}},
      {"aim 6 px", k_stateAim, {{'p', 100, 100, 0}, {'d', 106, 94}}, {106, 94, 106, 94, 0, 0, 0, 0, 0, 100, 100}},
      {"aim x only", k_stateAim, {{'p', 100, 100, 0}, {'d', 94, 104}}, {94, 100, 94, 100, 0, 0, 0, 0, 0, 100, 100}},
      {"ball in hand area",
       k_stateBallInHand,
       {{'p', 100, 100, 0}, {'d', 110, 100}},
       {110, 100, 110, 100, 0, 0, 0, 0, 0, 100, 100}},
      {"ball in hand outside",
       k_stateBallInHand,
       {{'p', 100, 100, 0}, {'d', 60, 102}},
       {60, 102, 100, 100, 0, 0, 0, 0, 0, 100, 100}},
      {"narrow area inside",
       k_stateBallInHand,
       {{'p', 100, 100, 0}, {'d', 50, 103}},
       {50, 100, 50, 100, 0, 0, 0, 0, 0, 100, 100},
       1,
       k_gameTypeSingleMatch},
      {"narrow area small",
       k_stateBallInHand,
       {{'p', 100, 100, 0}, {'d', 104, 103}},
       {100, 100, 100, 100, 0, 0, 0, 0, 0, 100, 100},
       1,
       k_gameTypeSingleMatch},
      {"wide area",
       k_stateBallInHand,
       {{'p', 100, 100, 0}, {'d', 172, 102}},
       {172, 100, 172, 100, 0, 0, 0, 0, 0, 100, 100},
       0,
       k_gameTypeSingleMatch},
      {"narrow area outside",
       k_stateBallInHand,
       {{'p', 100, 100, 0}, {'d', 172, 102}},
       {172, 102, 100, 100, 0, 0, 0, 0, 0, 100, 100},
       1,
       k_gameTypeSingleMatch},
      // Power pull: 10 px moves the reference, 11 px pulls and pins y.
      {"power 10 px",
       k_stateShotPower,
       {{'p', 100, 100, 0}, {'d', 100, 110}, {'d', 100, 120}},
       {100, 120, 100, 100, 0, 0, 0, 0, 0, 0, 0}},
      {"power up", k_stateShotPower, {{'p', 100, 100, 0}, {'d', 100, 60}}, {100, 60, 100, 100, 0, 0, 0, 0, 0, 0, 0}},
      {"power pull",
       k_stateShotPower,
       {{'p', 100, 100, 0}, {'d', 100, 111}},
       {100, 100, 100, 100, 0, 0, 0, 1, 0, 0, 0}},
      // Other states follow the stylus freely.
      {"free drag", k_stateMainMenu, {{'p', 100, 100, 0}, {'d', 101, 99}}, {101, 99, 101, 99, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    auto g = std::make_unique<cGame>(nullptr);
    g->states.gameState = c.state;
    g->match.currentPlayer = c.currentPlayer;
    g->match.gameType = c.gameType;
    run(*g, c.events);
    const Expect& e = c.expect;
    SCOPED_TRACE(c.name);
    EXPECT_EQ(g->pointerX, e.pointerX);
    EXPECT_EQ(g->pointerY, e.pointerY);
    EXPECT_EQ(g->dragRefX, e.dragRefX);
    EXPECT_EQ(g->dragRefY, e.dragRefY);
    EXPECT_EQ(g->doubleTap, e.doubleTap);
    EXPECT_EQ(g->swipeLeft, e.swipeLeft);
    EXPECT_EQ(g->swipeRight, e.swipeRight);
    EXPECT_EQ(g->powerPull, e.powerPull);
    EXPECT_EQ(g->exitCornerTouched, e.exitCorner);
    EXPECT_EQ(g->lastTapX, e.lastTapX);
    EXPECT_EQ(g->lastTapY, e.lastTapY);
    EXPECT_EQ(g->pointerReleased, 0);
  }
}

TEST(TouchGlue, ReleaseClearsPointAndSwipes) {
  auto g = std::make_unique<cGame>(nullptr);
  g->states.gameState = k_statePub;
  touchPressed(*g, 100, 200, 0);
  touchDragged(*g, 160, 200);
  g->swipeLeft = g->swipeThird = g->swipeFourth = 1;
  g->doubleTap = 1;
  g->powerPull = 1;
  touchReleased(*g, 161, 203);
  EXPECT_EQ(g->pointerX, -1);
  EXPECT_EQ(g->pointerY, -1);
  EXPECT_EQ(g->releaseX, 161);
  EXPECT_EQ(g->releaseY, 203);
  EXPECT_EQ(g->pointerReleased, 1);
  EXPECT_EQ(g->swipeLeft + g->swipeRight + g->swipeThird + g->swipeFourth, 0);
  EXPECT_EQ(g->doubleTap, 1);  // left for the stylus mapping
  EXPECT_EQ(g->powerPull, 1);
  touchPressed(*g, 10, 20, 5);
  EXPECT_EQ(g->pointerReleased, 0);
  EXPECT_EQ(g->pressY, 20);
  EXPECT_EQ(g->lastTapTime, 5u);
}
