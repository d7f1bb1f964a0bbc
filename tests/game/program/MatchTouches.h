// A player's touches at the table, for the whole program on the headless
// backend: a touch scheduled from the frame hook, the screen points of the
// cue ball and the balls as they are drawn, the table point whose touch aims
// the cue nearest to a direction, and the boxes closed once read and the
// gauge stopped at a strength.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/Korvane/cGame/cGame.h"
#include "wince/layer.h"

namespace matchtouch {

inline uint32_t now() { return static_cast<uint32_t>(wince::nowMicros() / 1000); }

// A touch at (x, y) from `in` ms on, held `hold` ms; it replaces any touch
// not yet made.
inline void touch(int x, int y, uint32_t in = 20, uint32_t hold = 80) {
  using E = wince::ScriptEvent;
  const uint32_t t = now() + in;
  wince::setScript({E{t, E::Down, x, y, 0}, E{t + hold, E::Up, x, y, 0}});
}

inline double degreesOf(double x, double y) { return std::atan2(y, x) * 180.0 / 3.14159265358979; }

// Where ball n is drawn (its middle), in the view as it stands.
inline void ballScreen(const cGame& g, int n, int& x, int& y) {
  const PhysicalObject* b = g.world.balls[n];
  x = (b->position.x >> 14) + g.table.panelX;
  y = g.world.originY - (b->position.y >> 14);
}

// The table point (on player 0's side of the view) whose touch aims the cue
// nearest to the direction (ax, ay), at least 20 pixels from the cue ball.
inline bool aimPoint(const cGame& g, int32_t ax, int32_t ay, int& px, int& py) {
  int cx = 0, cy = 0;
  ballScreen(g, 0, cx, cy);
  const double want = degreesOf(ax, ay);
  double best = 1e9;
  for (int y = 4; y <= 296; ++y)
    for (int x = 88; x <= 236; ++x) {
      const int dx = x - cx, dy = cy - y;
      if (dx * dx + dy * dy < 400) continue;
      double e = std::abs(degreesOf(dx, dy) - want);
      e = std::min(e, 360 - e);
      if (e < best) best = e, px = x, py = y;
    }
  return best < 1.0;
}

// Gauge units a frame of ms adds with the equipped cue.
inline int32_t gaugeStep(const cGame& g, int32_t ms) {
  const int32_t rate = k_cuePowerRates[std::clamp(g.career.equippedLevel[2], 0, 5)];
  return static_cast<int32_t>((int64_t{rate} * 8400 / 100 * ms) >> 10);
}

// A box over the table (a queued message, the dialog) or a message box is
// closed by a tap once it has been up a while; a power gauge is stopped by a
// tap on the fire button when it is nearest to `power` (the tap reaches the
// gauge three frames on: the host, the mapping, the key latch). Keeps the
// match states passed through.
struct MatchTouches {
  uint32_t boxTapped = 0;  // the entry time of the message box last tapped
  uint32_t boxTapTime = 0;
  uint32_t powerEntry = 0;
  uint32_t boxSeen = 0;
  bool fired = false;
  int32_t struck = -1;  // the gauge at the stroke
  int lastState = -1;
  std::string states;

  void onFrame(cGame& g, int state, int32_t power) {
    if (state != lastState) {
      char word[16];
      std::snprintf(word, sizeof word, " %d", state);
      states.append(word);
      lastState = state;
    }
    if (isBoxOverTable(g)) {
      if (!boxSeen) boxSeen = now() + 700;
      if (now() > boxSeen) {
        touch(120, 150);
        boxSeen = now() + 1500;
      }
    } else {
      boxSeen = 0;
    }
    // A box of several pages takes a tap a page.
    if (state == k_stateMessageBox && !isBoxOverTable(g) && g.frame.gameClock - g.states.stateEntryTime > 700 &&
        (g.states.stateEntryTime != boxTapped || now() > boxTapTime + 900)) {
      boxTapped = g.states.stateEntryTime;
      boxTapTime = now();
      touch(120, 150);
    }
    if (state == k_stateShotPower) {
      if (g.states.stateEntryTime != powerEntry) {
        powerEntry = g.states.stateEntryTime;
        fired = false;
      }
      const int32_t step = gaugeStep(g, 33);
      const int32_t next = g.world.shot.powerGauge + 3 * step;
      if (!fired && g.world.shot.powerDirection > 0 && std::abs(next - power) <= step / 2) {
        fired = true;
        touch(30, 160, 1, 1);
      }
    }
    if (state == k_stateStroke && struck < 0) struck = g.world.shot.powerGauge;
  }
};

}  // namespace matchtouch
