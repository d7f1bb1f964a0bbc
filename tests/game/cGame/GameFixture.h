// A game object on recording screens: every update and paint of a screen is
// logged with the state and sub-state it ran in.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameTypes.h"

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
  screenLog().push_back({'u', false, g.states.gameState, g.states.subState});
  if (screenAction()) screenAction()(g);
}
inline void recordFrontPaint(cGame& g, Graphics*) {
  screenLog().push_back({'p', false, g.states.gameState, g.states.subState});
}
inline void recordGameUpdate(cGame& g) {
  screenLog().push_back({'u', true, g.states.gameState, g.states.subState});
  if (screenAction()) screenAction()(g);
}
inline void recordGamePaint(cGame& g, Graphics*) {
  screenLog().push_back({'p', true, g.states.gameState, g.states.subState});
}

// A table whose rows record their calls; the rows live as long as the table.
struct RecordingTable {
  RecordingTable(std::initializer_list<int32_t> states, bool inGame) {
    for (int32_t s : states)
      entries.push_back(
          {s, inGame ? recordGameUpdate : recordFrontUpdate, inGame ? recordGamePaint : recordFrontPaint});
    for (const cGameScreen& e : entries) rows.push_back(&e);
    table = {rows.data(), static_cast<int32_t>(rows.size())};
  }
  std::vector<cGameScreen> entries;
  std::vector<const cGameScreen*> rows;
  cGameScreenTable table{};
};

inline const cGameScreenTable* recordingFrontEnd() {
  static const RecordingTable t({k_stateLogo, k_stateMainMenuLoading, k_stateMainMenu, k_stateQuestion,
                                 k_stateRulesChoice, k_stateVersus, k_stateGameLoading},
                                false);
  return &t.table;
}

inline const cGameScreenTable* recordingInGame() {
  static const RecordingTable t({k_stateQuestion, k_stateOptions, k_stateInGameQuestion, k_stateQuestionMenu,
                                 k_stateContinue, k_stateMatchInit, k_stateAim, k_stateShotPower,
                                 k_stateSpinSelector, k_stateMessageBox, k_stateCoinToss, k_stateBreakChoice},
                                true);
  return &t.table;
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
