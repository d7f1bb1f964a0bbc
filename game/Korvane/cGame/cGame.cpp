// Game object: construction, init, the frame step, suspend and resume,
// destruction.
#include "game/Korvane/cGame/cGame.h"

#include <cstring>

#include "korvane/gl.h"
#include "platform/brew/ApplicationImpl.h"
#include "platform/brew/GameHost.h"
#include "zul/2d/MutableImage.h"
#include "zul/memory/Debug.h"
#include "zul/memory/StackMemoryPool.h"

cGame::cGame(MutableImage* image)
    : GameBase(image), frontEndScreens(&k_frontEndScreens), inGameScreens(&k_inGameScreens) {
  engine.spriteServices.decodeBuffer = engine.decodeBuffer;
  engine.spriteServices.sharedRect = engine.sharedRect;
  engine.spriteServices.screenGraphics = getGraphics();
  engine.spriteServices.backBufferGraphics = getGraphics();
  setSpriteServices(&engine.spriteServices);
  engine.gl3dServices.resourceManager = &engine.resources;
  engine.gl3dServices.renderer = &engine.renderer;
  engine.gl3dServices.backBufferData = getBackBufferData;
  setGL3DServices(&engine.gl3dServices);
  setStackMemoryPool(&engine.renderer.getScratchPool());
}

cGame::~cGame() {
  if (getSpriteServices() == &engine.spriteServices) setSpriteServices(nullptr);
  delete engine.random;
  engine.random = nullptr;
  releaseGameObjects(*this);
  freeSprites(*this);
  releaseDataFiles(*this);
  clearAchievementNotices(*this);
  freeInterfaces(*this);
  releaseBallViewData(*this);
  delete ballView.renderImage;
  ballView.renderImage = nullptr;
  // Textures go back while the resource manager is still there.
  if (getGL3DServices() == &engine.gl3dServices) engine.renderer.getTextures().releaseAll();
  if (getGL3DServices() == &engine.gl3dServices) setGL3DServices(nullptr);
  if (getStackMemoryPool() == &engine.renderer.getScratchPool()) setStackMemoryPool(nullptr);
}

void cGame::init() {
  // Touch group: flags, remembered points and the last tap.
  pointerX = pointerY = -1;
  releaseX = releaseY = -1;
  dragRefX = dragRefY = 0;
  pressY = 0;
  lastTapX = lastTapY = 0;
  lastTapTime = 0;
  powerPull = swipeLeft = swipeRight = swipeThird = swipeFourth = 0;
  doubleTap = exitCornerTouched = pointerReleased = 0;
  pressPointX = pressPointY = -1;
  pressUnmapped = 0;

  std::memset(engine.version, 0, sizeof engine.version);
  std::memcpy(engine.version, "1.0.5", 5);

  loadResourceIndex(*this);

  std::memset(engine.textBuffer, 0, sizeof engine.textBuffer);
  std::memset(engine.rowBuffer, 0, sizeof engine.rowBuffer);

  delete engine.random;
  engine.random = new Random();
  engine.random->setSeed(host().tickCount());

  frame.frameTime = 25;
  interfaces.interfaceAnimations = 1;
  frontEnd.secondBufferOn = 0;
  resetEffects(*this);

  // The first frame is measured from here, not from system start.
  frame.gameClock = host().tickCount();
  frame.lastTick = frame.gameClock;

  states.gameState = k_stateNone;
  states.subState = 0;
  states.stateSpare = 0;
  states.previousState = 0;
  states.inGame = 0;
  states.stateEntryTime = 0;
  frontEnd.lastSlideX = frontEnd.lastSlideY = 0;
  setState(k_stateStart);

  createGameObjects(*this);

  messages = {};
  dialog = {};

  states.stackDepth = 0;
  question.returnState = -1;
  question.action = -1;
  question.pendingAction = -1;
  menu = MenuList();
  this->menu.savedSelection = 0;
  interfaces.currentElements = nullptr;
  interfaces.currentElementCount = 0;
  interfaces.currentInterface = -1;
  resetBallView(*this);
}

// The resource pack's index, read by init.
void loadResourceIndex(cGame& game) { game.engine.resources.loadIndex(); }

void cGame::update(Graphics* /*graphics*/) {
  Graphics* graphics = getGraphics();
  if (frame.waitCounter > 0) frame.waitCounter -= 1;
  frame.gameClock = host().tickCount();
  keys.update();
  updateCurrentState();
  if (frame.waitCounter <= 0) {
    paintCurrentState(graphics);
    if (states.redrawCounters[0] > 0) states.redrawCounters[0] -= 1;
  }
  uint32_t now = host().tickCount();
  int32_t dt = static_cast<int32_t>(now - frame.lastTick);
  if (dt < 0) dt = 0;
  frame.lastTick = now;
  frame.frameTime = dt;
  frame.gameClock += static_cast<uint32_t>(dt);
}

void setViewport3D(cGame& game, int32_t x, int32_t y, int32_t aspectW, int32_t aspectH) {
  setViewRect(game, x, y, 56, 104);
  glViewport(0, 0, 56, 104);
  game.ballView.camera.setProjection(0xF0000, q14Div(aspectW, aspectH), 163, 0x640000);
  game.ballView.camera.setAspect(game.ballView.viewRect[2], game.ballView.viewRect[3]);
  game.ballView.camera.update();
  game.ballView.viewDistance3D = 0x78000;
}

void lookAt3D(cGame& game, int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6) {
  game.ballView.camera.position = Vector3(a1, a3, wrapNeg(a2));
  game.ballView.camera.angles = Vector3(a5, wrapSub(a4, 0x168000), a6);
  game.ballView.camera.applyView();
  game.engine.renderer.setCamera(&game.ballView.camera);
}

void cGame::keyPressed(int32_t keyIndex) { keys.onKeyDown(keyIndex); }
void cGame::keyReleased(int32_t keyIndex) { keys.onKeyUp(keyIndex); }

void cGame::suspend(int32_t /*value*/) {
  if (frame.suspended) return;
  stopAllSounds();
  frame.suspended = 1;
}

void cGame::resume(int32_t /*value*/) {
  if (!frame.suspended) return;
  int32_t s = states.gameState;
  if (isMatchState(s) && s != k_stateFrameWon && s != k_stateSpinSelector && !frontEnd.menusOverMatch &&
      !isMessageQueued(*this) && !isMatchOnHold(*this))
    enterIGM(*this);
  if (s == k_stateQuestion || s == k_stateQuestionMenu || s == k_stateFirstRunQuestion ||
      s == k_stateTournamentFieldConfirm)
    menu.selection = 1;
  if (s == k_stateTitle || s == k_stateMainMenu) playMusic(*this, 11);
  keys.lock(5);
  frame.gameClock = host().tickCount();
  frame.lastTick = frame.gameClock;
  states.redrawCounters[0] = states.redrawCounters[1] = 5;
  frame.suspended = 0;
}
