#pragma once

#include <cstdint>

#include "zul/3d/Camera.h"
#include "zul/lm/Q14.h"
#include "zul/resourcemanager/ResourceManager.h"

class GL3DTexture;
class GL3DASEFileResource;
class MutableImage;
class cGame;
class Graphics;

struct BallViewSlots {
  static constexpr int32_t kCount = 32;
  uint8_t visible[kCount] = {};
  Q14 directionX[kCount] = {};
  Q14 directionY[kCount] = {};
  int32_t number[kCount] = {};
  int32_t x[kCount] = {};  // view units
  int32_t y[kCount] = {};
};

// small 3D ball view (cGameBallView.cpp)
void init3D(cGame& game);
void load3DView(cGame& game);
void unload3DView(cGame& game);
void releaseBallViewData(cGame& game);
void resetBallView(cGame& game);
void placeBallView(cGame& game, int32_t layout);
void blit3D(cGame& game);
void blit3DRect(cGame& game, int32_t x, int32_t y, int32_t w, int32_t h, int32_t flag);
void blit3DFullScreen(cGame& game, int32_t flag);
void flush3D(cGame& game);
Q14 tableToViewX(Q14 x);
Q14 tableToViewY(Q14 y);
// The per-frame paint of the view under the panel of the player on turn.
void paintBallView(cGame& game, Graphics* g);
// Mode -1: the pocket camera; any other: the follow camera. Places the
// camera and draws the table; false when no camera could be placed.
bool updateBallViewCamera(cGame& game, int32_t mode);
void updateBallViewSlots(cGame& game);
void drawBallViewBalls(cGame& game);
void drawBallViewSlot(cGame& game, int32_t slot, int32_t mode);
// Plays the current shot out on the shadows; the ball (table index) that
// comes closest to a pocket, or -1.
int32_t predictPottedBall(cGame& game);

// The 56 x 104 view at (x, y): viewport, projection (60 degrees, aspect
// aspectW / aspectH, near 163, far 400.0) and view distance 30.0.
void setViewport3D(cGame& game, int32_t x, int32_t y, int32_t aspectW, int32_t aspectH);
// Camera at (a1, a3, -a2) with angles (a5, a4 - 90, a6); its view goes onto
// the current GL matrix and the renderer draws with it.
void lookAt3D(cGame& game, int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6);

struct BallView {
  int32_t viewPair[2] = {};
  int32_t viewRect[4] = {};  // x, y, w, h of the 3D view
  // the camera, 100 more that nothing uses, the view distance
  Camera camera;
  Camera cameras[100];
  Q14 viewDistance3D = 0;
  int32_t count = 0;
  GL3DTexture* tableTexture = nullptr;
  GL3DTexture* ballTextures[16] = {};
  ManagedResource<GL3DASEFileResource>* tableModel = nullptr;
  ManagedResource<GL3DASEFileResource>* ballModel = nullptr;
  ManagedResource<GL3DASEFileResource>* heldModel = nullptr;
  MutableImage* renderImage = nullptr;
  int32_t predictedSlot = -1;
  int32_t potCountdown = -1;
  int32_t followedSlot = 0;
  int32_t viewBox[4] = {};
  // Camera point over the table (view units), angles (Q14 degrees).
  int32_t ballCameraX = 0;
  int32_t ballCameraY = 0;
  Q14 ballYaw = 0;
  Q14 ballPitch = 0;
  Q14 ballRoll = 0;
  int32_t potTarget[2] = {};
  BallViewSlots ballSlots;
  uint8_t open = 0;
};

// 3D view placement.
void setViewPair(cGame& game, int32_t a, int32_t b);
void setViewRect(cGame& game, int32_t x, int32_t y, int32_t w, int32_t h);
