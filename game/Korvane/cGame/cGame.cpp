// Game object: construction, init, the frame step, suspend and resume,
// destruction.
#include "game/Korvane/cGame/cGame.h"

#include <cstring>

#include "korvane/gl.h"
#include "platform/brew/ApplicationImpl.h"
#include "windows_brew/TickCount.h"
#include "zul/2d/MutableImage.h"
#include "windows_brew/memory/Debug.h"
#include "zul/memory/StackMemoryPool.h"

cGame::cGame(MutableImage* image)
    : GameBase(image), frontEndScreens(&k_frontEndScreens), inGameScreens(&k_inGameScreens) {
  this->engine.spriteServices.decodeBuffer = this->engine.decodeBuffer;
  this->engine.spriteServices.sharedRect = this->engine.sharedRect;
  this->engine.spriteServices.screenGraphics = getGraphics();
  this->engine.spriteServices.backBufferGraphics = getGraphics();
  setSpriteServices(&this->engine.spriteServices);
  this->engine.gl3dServices.resourceManager = &this->engine.resources;
  this->engine.gl3dServices.renderer = &this->engine.renderer;
  this->engine.gl3dServices.backBufferData = getBackBufferData;
  setGL3DServices(&this->engine.gl3dServices);
  setStackMemoryPool(&this->engine.renderer.getScratchPool());
}

cGame::~cGame() {
  if (getSpriteServices() == &this->engine.spriteServices) setSpriteServices(nullptr);
  delete this->engine.random;
  this->engine.random = nullptr;
  releaseGameObjects(*this);
  freeSprites(*this);
  releaseDataFiles(*this);
  clearAchievementNotices(*this);
  freeInterfaces(*this);
  releaseBallViewData(*this);
  delete this->ballView.renderImage;
  this->ballView.renderImage = nullptr;
  // Textures go back while the resource manager is still there.
  if (getGL3DServices() == &this->engine.gl3dServices) this->engine.renderer.getTextures().releaseAll();
  if (getGL3DServices() == &this->engine.gl3dServices) setGL3DServices(nullptr);
  if (getStackMemoryPool() == &this->engine.renderer.getScratchPool()) setStackMemoryPool(nullptr);
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

  std::memset(this->engine.version, 0, sizeof this->engine.version);
  std::memcpy(this->engine.version, "1.0.5", 5);

  loadResourceIndex(*this);

  std::memset(this->engine.textBuffer, 0, sizeof this->engine.textBuffer);
  std::memset(this->engine.rowBuffer, 0, sizeof this->engine.rowBuffer);

  delete this->engine.random;
  this->engine.random = new Random();
  this->engine.random->setSeed(getTickCount());

  this->frame.frameTime = 25;
  this->interfaces.interfaceAnimations = 1;
  this->frontEnd.secondBufferOn = 0;
  resetEffects(*this);

  // The first frame is measured from here, not from system start.
  this->frame.gameClock = getTickCount();
  this->frame.lastTick = this->frame.gameClock;

  this->states.gameState = k_stateNone;
  this->states.subState = 0;
  this->states.stateSpare = 0;
  this->states.previousState = 0;
  this->states.inGame = 0;
  this->states.stateEntryTime = 0;
  this->frontEnd.lastSlideX = this->frontEnd.lastSlideY = 0;
  setState(k_stateStart);

  createGameObjects(*this);

  this->messages = {};
  this->dialog = {};

  this->states.stackDepth = 0;
  question.returnState = -1;
  question.action = -1;
  question.pendingAction = -1;
  this->menu = MenuList();
  this->savedMenuSelection = 0;
  this->interfaces.currentElements = nullptr;
  this->interfaces.currentElementCount = 0;
  this->interfaces.currentInterface = -1;
  resetBallView(*this);
}

// The resource pack's index, read by init.
void loadResourceIndex(cGame& game) { game.engine.resources.loadIndex(); }

void cGame::update(Graphics* /*graphics*/) {
  Graphics* graphics = getGraphics();
  if (this->frame.waitCounter > 0) this->frame.waitCounter -= 1;
  this->frame.gameClock = getTickCount();
  this->keys.update();
  updateCurrentState();
  if (this->frame.waitCounter <= 0) {
    paintCurrentState(graphics);
    if (this->states.redrawCounters[0] > 0) this->states.redrawCounters[0] -= 1;
  }
  uint32_t now = getTickCount();
  int32_t dt = static_cast<int32_t>(now - this->frame.lastTick);
  if (dt < 0) dt = 0;
  this->frame.lastTick = now;
  this->frame.frameTime = dt;
  this->frame.gameClock += static_cast<uint32_t>(dt);
}

void setViewport3D(cGame& game, int32_t x, int32_t y, int32_t aspectW, int32_t aspectH) {
  game.setViewRect(x, y, 56, 104);
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

void cGame::keyPressed(int32_t keyIndex) { this->keys.onKeyDown(keyIndex); }
void cGame::keyReleased(int32_t keyIndex) { this->keys.onKeyUp(keyIndex); }

void cGame::suspend(int32_t /*value*/) {
  if (this->frame.suspended) return;
  stopAllSounds();
  this->frame.suspended = 1;
}

void cGame::resume(int32_t /*value*/) {
  if (!this->frame.suspended) return;
  int32_t s = this->states.gameState;
  if (isMatchState(s) && s != k_stateFrameWon && s != k_stateSpinSelector && !this->frontEnd.menusOverMatch &&
      !isMessageQueued(*this) && !isMatchOnHold(*this))
    enterIGM(*this);
  if (s == k_stateQuestion || s == k_stateQuestionMenu || s == k_stateFirstRunQuestion ||
      s == k_stateTournamentFieldConfirm)
    this->menu.selection = 1;
  if (s == k_stateTitle || s == k_stateMainMenu) playMusic(*this, 11);
  this->keys.lock(5);
  this->frame.gameClock = getTickCount();
  this->frame.lastTick = this->frame.gameClock;
  this->states.redrawCounters[0] = this->states.redrawCounters[1] = 5;
  this->frame.suspended = 0;
}
