#include "game/Korvane/cGame/cGameScreens.h"

const cGameScreen* cGameScreenTable::find(int32_t state) const {
  for (int32_t i = 0; i < count; ++i)
    if (entries[i].state == state) return &entries[i];
  return nullptr;
}

namespace {
// Screens join these tables as they are written: { state, update, paint }.
// States 0 and 5 are handled by the dispatch itself.
const cGameScreen kFrontEnd[] = {
    {-1, nullptr, nullptr},
};
const cGameScreen kInGame[] = {
    {-1, nullptr, nullptr},
};
}  // namespace

const cGameScreenTable k_frontEndScreens = {kFrontEnd, static_cast<int32_t>(sizeof kFrontEnd / sizeof kFrontEnd[0])};
const cGameScreenTable k_inGameScreens = {kInGame, static_cast<int32_t>(sizeof kInGame / sizeof kInGame[0])};
