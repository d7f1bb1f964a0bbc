// A challenge's stored shots as a player repeats them by touch: the table
// point whose touch aims nearest to the stored aim (the cue ball as drawn
// on player 0's side of the view), the tip moved by the arrows' whole steps
// to the nearest point they reach, masse as stored, the gauge stopped at
// the stored strength. The window tries every touch within a few pixels of
// that point and every gauge within a few points (percent of full) of that
// strength on each shot, the other shots repeated as they are, and counts
// the tries that solve the challenge (touches outside the area that aims
// are no tries).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/table/ShotReplay.h"

namespace tablelayout {

struct TouchShot {
  int32_t x = 0, y = 0;  // the screen point touched
  ReplayShot shot;       // what the game strikes with
  bool found = false;    // a touch in the table area aims within a degree
  bool inArea = false;   // the moved touch still lies in the area that aims
};

// The touch and shot for stored shot `stored` with the cue ball where the
// world has it; the touch moved by (dx, dy) pixels and the gauge by
// `points` percent of full. The touch is taken at least 20 pixels from the
// cue ball where one that far aims within a degree, else nearer.
TouchShot touchShot(const PhysicsWorld& world, const ReplayShot& stored, int32_t dx = 0, int32_t dy = 0,
                    int32_t points = 0);

// Whether the challenge's stored shots, repeated by touch, solve it; the
// shot `varied` (-1 none) is played with the touch and gauge moved. A moved
// touch outside the area that aims solves nothing.
bool solvedByTouch(ShotReplay& replay, int32_t challenge, int32_t varied = -1, int32_t dx = 0, int32_t dy = 0,
                   int32_t points = 0);

struct TouchWindow {
  bool nearest = false;  // the touches nearest to the stored aims solve it
  int32_t tries = 0, solved = 0;
  std::vector<std::string> misses;  // "shot s touch (x, y) gauge p%" of each try that fails
};

TouchWindow touchWindow(ShotReplay& replay, int32_t challenge, int32_t pixels = 1, int32_t points = 3);

}  // namespace tablelayout
