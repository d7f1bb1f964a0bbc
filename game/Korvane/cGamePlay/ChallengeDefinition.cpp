// The challenge table: first-contact ball mask, contact mask, forbidden
// pockets, shots allowed, pot-every-shot, ball in hand in the D, no cushion,
// fail text, second text, then ten (ball, pocket) pairs (-1 = any pocket).
#include "game/Korvane/cGamePlay/ShotRules.h"

#define KV_NONE 0, 0
#define KV_PAIRS_1(a, b) a, b, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE

const int32_t ChallengeDefinition[kChallengeCount][kChallengeWords] = {
    {-1, -1, 0, 1, 0, 0, 0, 645, 0, KV_PAIRS_1(3, 1)},
    {-1, 9, 0, 1, 0, 0, 0, 645, 0, KV_PAIRS_1(3, 2)},
    {-1, 9, 0, 1, 0, 0, 0, 645, 0, KV_PAIRS_1(3, 3)},
    {-1, 9, 0, 1, 0, 0, 0, 645, 0, KV_PAIRS_1(3, 2)},
    {-1, -1, 0, 7, 1, 0, 1, 638, 0, 2, -1, 3, -1, 4, -1, 6, -1, 9, -1, 10, -1, 11, -1, KV_NONE, KV_NONE, KV_NONE},
    {-1, -1, 0, 1, 0, 0, 0, 645, 0, KV_PAIRS_1(3, 2)},
    {-1, -1, 3, 5, 1, 0, 0, 638, 0, 1, -1, 2, -1, 3, -1, 4, -1, 5, -1, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {-1, -1, 0, 8, 0, 0, 0, 638, 0, 1, -1, 2, -1, 3, -1, 4, -1, 5, -1, 6, -1, 7, -1, 8, -1, KV_NONE, KV_NONE},
    {-1, -1, 0, 1, 0, 0, 0, 638, 0, 2, -1, 3, -1, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {-1, 17, 0, 1, 0, 0, 0, 642, 0, KV_PAIRS_1(4, -1)},
    {64, -1, 0, 1, 0, 0, 0, 638, 0, 1, -1, 6, -1, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {-1, -1, 0, 1, 0, 0, 0, 638, 0, 2, 0, 3, 1, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {-1, -1, 0, 1, 0, 0, 0, 638, 0, 2, 3, 3, 5, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {-1, -1, 0, 5, 0, 0, 0, 638, 0, 9, -1, 10, -1, 11, -1, 12, -1, 13, -1, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {-1, -1, 0, 10, 0, 0, 0, 638, 0, 1, -1, 2, -1, 3, -1, 4, -1, 5, -1, 6, -1, 7, -1, 9, -1, 10, -1, 13, -1},
    {8, -1, 0, 1, 0, 0, 0, 645, 0, KV_PAIRS_1(3, 0)},
    {-1, 9, 0, 1, 0, 0, 0, 645, 0, KV_PAIRS_1(3, -1)},
    {-1, 9, 0, 1, 0, 0, 0, 645, 0, KV_PAIRS_1(3, -1)},
    {-1, 7, 0, 1, 0, 0, 0, 643, 0, KV_PAIRS_1(1, -1)},
    {-1, 9, 0, 1, 0, 0, 0, 645, 0, KV_PAIRS_1(3, -1)},
    {-1, 9, 0, 1, 0, 0, 0, 645, 0, KV_PAIRS_1(3, -1)},
    {-1, -1, 0, 1, 0, 0, 0, 641, 0, KV_PAIRS_1(8, -1)},
    {-1, 9, 0, 1, 0, 0, 0, 645, 0, KV_PAIRS_1(3, -1)},
    {8, -1, 0, 1, 0, 0, 0, 643, 0, KV_PAIRS_1(1, 1)},
    {-1, -1, 0, 1, 0, 0, 0, 638, 0, 1, -1, 6, -1, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {4, -1, 0, 1, 0, 0, 0, 638, 0, 1, 0, 2, 5, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {-1, -1, 0, 1, 0, 0, 0, 638, 0, 3, -1, 5, -1, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {-1, 49, 0, 1, 0, 0, 0, 644, 0, 4, -1, 5, -1, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {-1, -1, 0, 1, 0, 0, 0, 638, 0, 3, -1, 4, -1, 5, -1, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {-1, -1, 0, 1, 0, 0, 0, 638, 0, 1, -1, 3, -1, 6, -1, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {4, -1, 0, 1, 0, 0, 0, 638, 0, 1, 3, 2, 5, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
    {-1, -1, 0, 1, 0, 0, 0, 638, 0, 1, -1, 2, -1, 3, -1, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE, KV_NONE},
};

#undef KV_PAIRS_1
#undef KV_NONE
