// Shot power (530) and the stroke it ends in (540): the gauge swings until
// select fixes it, then the cue moves in and strikes with its sound.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"

namespace {

constexpr uint32_t kKeyDemo = 0x2;
constexpr int32_t kGaugeFull = 17384;

// ---- power (530)

void enterShotPower(cGame& game) {
  game.turn.aimGuideShown = 1;
  game.turn.cueShown = 1;
  game.turn.powerBarShown = 1;
  game.turn.leftSoftKeyText = k_textPowerBack;
  game.world.shot.powerGauge = 0;
  game.world.shot.powerDirection = kQ14One;
  if (game.world.cueStick) game.world.cueStick->frame = 5;  // pulled back by the gauge
}

void updatePower(cGame& game) {
  if (game.challenges.demo) {
    updateChallengeDemoPower(game);
    return;
  }
  ShotRecord& shot = game.world.shot;
  if (game.match.gameType == k_gameTypeChallenge && game.keys.isReleased(kKeyDemo)) {
    shot.powerGauge = getChallengeDemoPower(game);
    game.setInGameState(k_stateStroke);
    return;
  }
  const int32_t item = std::clamp(game.career.equippedLevel[2], 0, 5);
  const int32_t rate = k_cuePowerRates[item];
  const int64_t stepSize = (static_cast<int64_t>(rate) * 8400 / 100 * std::max(game.frame.frameTime, 0)) >> 10;
  const int64_t gauge = shot.powerGauge + ((static_cast<int64_t>(shot.powerDirection) * stepSize) >> 14);
  // The bounce keeps the gauge within 0 .. full, whatever the frame's length.
  if (gauge > kGaugeFull) {
    shot.powerGauge = kGaugeFull;
    shot.powerDirection = -kQ14One;
  } else if (gauge < 0) {
    shot.powerGauge = 0;
    shot.powerDirection = kQ14One;
  } else {
    shot.powerGauge = static_cast<Q14>(gauge);
  }
  if (game.keys.isPressed(k_keySelect)) {
    game.setInGameState(k_stateStroke);
  } else if (game.keys.isPressed(rightSoftMask(game))) {
    game.turn.backFromPower = 1;
    game.setInGameState(k_stateAim);
  }
}

void leaveShotPower(cGame& game) {
  game.turn.powerBarShown = 0;
  game.turn.aimGuideShown = 0;
  game.turn.leftSoftKeyText = -1;
}

// ---- stroke (540)

void enterStroke(cGame& game) {
  game.turn.cueShown = 1;
  if (game.world.cueStick) game.world.cueStick->frame = 4;  // the stroke
}

void updateStroke(cGame& game) {
  ShotRecord& shot = game.world.shot;
  // The cue moves in; the strike comes when the tip reaches the ball.
  if (game.world.cueStick) game.world.cueStick->update(game.world);
  if (shot.cueDistance > 0x12000 && game.world.cueStick) return;
  const int32_t gauge = std::clamp(shot.powerGauge, 0, kGaugeFull);
  if (gauge > 0) {
    const int32_t volume = 50 + gauge * 50 / kGaugeFull;
    playSound(game, game.world.breakPlayed ? k_soundStickHard : k_soundBreakHard, 0, volume, volume);
    vibrate(game, game.sound.vibrationTime);
  } else {
    playSound(game, k_soundStickMiss, 0, 100, 100);
  }
  game.setInGameState(k_stateBallsMoving);
}

void leaveStroke(cGame& game) {
  game.turn.powerBarShown = 0;
  if (game.world.cueStick) game.world.cueStick->frame = 0;
}

using namespace touch;

void mapShotPower(cGame& g) {
  mapDoubleSoftThen(g);
  fireButton(g, g.match.currentPlayer == 1, true);
}

}  // namespace

const cGameScreen k_screenShotPower = {k_stateShotPower, updatePower, paintTable, mapShotPower, enterShotPower,
                                       leaveShotPower};
const cGameScreen k_screenStroke = {k_stateStroke, updateStroke, paintTable, touch::mapNoButtons, enterStroke,
                                    leaveStroke};
