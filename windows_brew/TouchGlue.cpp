// Touch glue: press, drag and release points, double taps, pub swipes and the
// exit corner, stepwise drags and the power pull, by game state.
#include "windows_brew/TouchGlue.h"

#include <cstdio>

#include "windows_brew/GameServices.h"
#include "windows_brew/ShellHost.h"
#include "windows_brew/TickCount.h"
#include "zul/memory/Debug.h"

namespace {

constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;

int32_t toScreenX(int32_t x) { return x * kScreenW / 240; }
int32_t toScreenY(int32_t y) { return y * kScreenH / 320; }

bool inPlayArea(int32_t x, int32_t y) { return y < 300 && x > 70; }

void stepwiseDrag(GameServices& g, int32_t x, int32_t y) {
  if (x >= g.dragRefX + 6 || x <= g.dragRefX - 6) {
    g.pointerX = x;
    g.dragRefX = x;
  }
  if (y >= g.dragRefY + 6 || y <= g.dragRefY - 6) {
    g.pointerY = y;
    g.dragRefY = y;
  }
}

void freePoint(GameServices& g, int32_t x, int32_t y) {
  g.pointerX = x;
  g.pointerY = y;
}

}  // namespace

void touchPressed(GameServices& g, int32_t rawX, int32_t rawY, uint32_t now) {
  int32_t x = toScreenX(rawX);
  int32_t y = toScreenY(rawY);
  g.pointerX = x;
  g.pointerY = y;
  g.dragRefX = x;
  g.dragRefY = y;
  g.pointerReleased = 0;
  g.pressY = y;
  g.pressPointX = x;
  g.pressPointY = y;
  g.pressUnmapped = 1;
  if (y < 300 && x >= 71) {
    using Mode = GameServices::TouchMode;
    const Mode m = g.touchMode();
    if (m != Mode::Pub && m != Mode::BallInHand && m != Mode::BallInHandLeft && m != Mode::Aim) {
      g.lastTapTime = now;
      return;
    }
    if (g.lastTapX - 10 < x && x < g.lastTapX + 10 && g.lastTapY - 10 < y && y < g.lastTapY + 10) {
      uint32_t since = now - g.lastTapTime;
      if (y < 280 && since >= 101 && since < 1200) g.doubleTap = 1;
      g.lastTapTime = now;
      return;
    }
    g.lastTapX = x;
    g.lastTapY = y;
  }
  g.lastTapTime = now;
}

void touchReleased(GameServices& g, int32_t rawX, int32_t rawY) {
  g.pointerX = -1;
  g.pointerY = -1;
  g.releaseX = toScreenX(rawX);
  g.releaseY = toScreenY(rawY);
  g.pointerReleased = 1;
  g.swipeLeft = 0;
  g.swipeRight = 0;
  g.swipeThird = 0;
  g.swipeFourth = 0;
}

void touchDragged(GameServices& g, int32_t rawX, int32_t rawY) {
  int32_t x = toScreenX(rawX);
  int32_t y = toScreenY(rawY);
  switch (g.touchMode()) {
    case GameServices::TouchMode::Aim:
      stepwiseDrag(g, x, y);
      break;
    case GameServices::TouchMode::Pub:
      debugTrace("\n pointer pressed k_statePub");
      if (inPlayArea(x, y)) {
        if (x >= g.dragRefX + 50) {
          g.pointerX = x;
          g.dragRefX = x;
          g.swipeRight = 1;
        } else if (x <= g.dragRefX - 50) {
          g.pointerX = x;
          g.dragRefX = x;
          g.swipeLeft = 1;
        }
      } else {
        freePoint(g, x, y);
      }
      if (x > 197 && y > 280) {
        debugTrace("\n exit corner");
        g.exitCornerTouched = 1;
      } else {
        debugTrace("\n not exit corner");
        g.exitCornerTouched = 0;
      }
      break;
    case GameServices::TouchMode::BallInHandLeft:
      if (y < 300 && x < 170)
        stepwiseDrag(g, x, y);
      else
        freePoint(g, x, y);
      break;
    case GameServices::TouchMode::BallInHand:
      if (inPlayArea(x, y))
        stepwiseDrag(g, x, y);
      else
        freePoint(g, x, y);
      break;
    case GameServices::TouchMode::ShotPower:
      debugTrace("\n pointer pressed game power");
      freePoint(g, x, y);
      if (y - g.pressY < 11) {
        g.pressY = y;
      } else {
        g.powerPull = 1;
        g.pointerY = g.pressY;
      }
      break;
    case GameServices::TouchMode::Free:
      freePoint(g, x, y);
      g.dragRefX = x;
      g.dragRefY = y;
      g.pointerReleased = 0;
      break;
  }
}

void ShellHost::pointerPressed(int32_t x, int32_t y) {
  if (GameServices* game = getGame()) touchPressed(*game, x, y, getTickCount());
}

void ShellHost::pointerDragged(int32_t x, int32_t y) {
  if (GameServices* game = getGame()) touchDragged(*game, x, y);
}

void ShellHost::pointerReleased(int32_t x, int32_t y) {
  if (GameServices* game = getGame()) touchReleased(*game, x, y);
}
