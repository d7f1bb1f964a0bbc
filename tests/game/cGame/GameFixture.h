// A game object on recording screens: every update and paint of a screen is
// logged with the state and sub-state it ran in.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGame.h"

struct ScreenCall {
  char kind;  // 'u' update, 'p' paint
  bool inGame;
  int32_t state;
  int32_t subState;
  bool operator==(const ScreenCall&) const = default;
};

inline std::vector<ScreenCall>& screenLog() {
  static std::vector<ScreenCall> log;
  return log;
}

// Optional per-test action run by a screen's update.
inline void (*&screenAction())(cGame&) {
  static void (*action)(cGame&) = nullptr;
  return action;
}

inline void recordFrontUpdate(cGame& g) {
  screenLog().push_back({'u', false, g.s_gameState, g.m_subState});
  if (screenAction()) screenAction()(g);
}
inline void recordFrontPaint(cGame& g, Graphics*) { screenLog().push_back({'p', false, g.s_gameState, g.m_subState}); }
inline void recordGameUpdate(cGame& g) {
  screenLog().push_back({'u', true, g.s_gameState, g.m_subState});
  if (screenAction()) screenAction()(g);
}
inline void recordGamePaint(cGame& g, Graphics*) { screenLog().push_back({'p', true, g.s_gameState, g.m_subState}); }

inline const cGameScreenTable* recordingFrontEnd() {
  static const cGameScreen entries[] = {
      {10, recordFrontUpdate, recordFrontPaint},  {20, recordFrontUpdate, recordFrontPaint},
      {50, recordFrontUpdate, recordFrontPaint},  {60, recordFrontUpdate, recordFrontPaint},
      {80, recordFrontUpdate, recordFrontPaint},  {210, recordFrontUpdate, recordFrontPaint},
      {370, recordFrontUpdate, recordFrontPaint},
  };
  static const cGameScreenTable table = {entries, static_cast<int32_t>(std::size(entries))};
  return &table;
}

inline const cGameScreenTable* recordingInGame() {
  static const cGameScreen entries[] = {
      {60, recordGameUpdate, recordGamePaint},  {70, recordGameUpdate, recordGamePaint},
      {320, recordGameUpdate, recordGamePaint}, {380, recordGameUpdate, recordGamePaint},
      {400, recordGameUpdate, recordGamePaint}, {500, recordGameUpdate, recordGamePaint},
      {520, recordGameUpdate, recordGamePaint}, {530, recordGameUpdate, recordGamePaint},
      {620, recordGameUpdate, recordGamePaint}, {630, recordGameUpdate, recordGamePaint},
      {710, recordGameUpdate, recordGamePaint}, {720, recordGameUpdate, recordGamePaint},
  };
  static const cGameScreenTable table = {entries, static_cast<int32_t>(std::size(entries))};
  return &table;
}

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screenLog().clear();
    screenAction() = nullptr;
    game.reset(new cGame(nullptr));
    game->setScreenTables(recordingFrontEnd(), recordingInGame());
    game->init();
  }
  void TearDown() override {
    game.reset();
    screenAction() = nullptr;
  }
  std::vector<ScreenCall> takeLog() {
    std::vector<ScreenCall> l = screenLog();
    screenLog().clear();
    return l;
  }
  // Runs frames until the wait counter allows painting again.
  void settle() {
    for (int i = 0; i < 3; ++i) game->update(nullptr);
    screenLog().clear();
  }

  std::unique_ptr<cGame> game;
};
