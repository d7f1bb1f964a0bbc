// The stored demonstration of every challenge: up to ten shots of six words
// (aim x, aim y as a Q14 unit vector, masse 0/1, cue-tip point x and y in
// Q14, power as a gauge value), and the demonstration's length in words.
#pragma once

#include <cstdint>

constexpr int32_t kChallengeDemoShots = 10;
constexpr int32_t kChallengeDemoWords = 6;

enum ChallengeDemoWord : int32_t {
  k_demoAimX = 0,
  k_demoAimY = 1,
  k_demoMasse = 2,
  k_demoEnglishX = 3,
  k_demoEnglishY = 4,
  k_demoPower = 5,
};

extern const int32_t ChallengeDemoShot[32][kChallengeDemoShots][kChallengeDemoWords];
// Words of each demonstration (6 per shot). Some name more shots than are
// stored; the shots past the stored ones are all zero.
extern const int32_t ChallengeDemoLength[32];

// Shots a demonstration can play: its length in shots, but never past the
// last stored shot, and at least the first one. 0 for a number out of range.
int32_t challengeDemoShotCount(int32_t challenge);
