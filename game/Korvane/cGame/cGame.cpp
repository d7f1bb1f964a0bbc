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
    : GameBase(image), m_frontEndScreens(&k_frontEndScreens), m_inGameScreens(&k_inGameScreens) {
  m_spriteServices.decodeBuffer = m_decodeBuffer;
  m_spriteServices.sharedRect = m_sharedRect;
  m_spriteServices.screenGraphics = getGraphics();
  m_spriteServices.backBufferGraphics = getGraphics();
  setSpriteServices(&m_spriteServices);
  m_3dServices.resourceManager = &m_resources;
  m_3dServices.renderer = &m_renderer;
  m_3dServices.backBufferData = getBackBufferData;
  setGL3DServices(&m_3dServices);
  setStackMemoryPool(&m_renderer.getScratchPool());
}

cGame::~cGame() {
  if (getSpriteServices() == &m_spriteServices) setSpriteServices(nullptr);
  delete m_random;
  m_random = nullptr;
  releaseGameObjects(*this);
  freeSprites(*this);
  releaseDataFiles(*this);
  clearAchievementNotices(*this);
  freeInterfaces(*this);
  releaseBallViewData(*this);
  delete m_renderImage;
  m_renderImage = nullptr;
  // Textures go back while the resource manager is still there.
  if (getGL3DServices() == &m_3dServices) m_renderer.getTextures().releaseAll();
  if (getGL3DServices() == &m_3dServices) setGL3DServices(nullptr);
  if (getStackMemoryPool() == &m_renderer.getScratchPool()) setStackMemoryPool(nullptr);
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

  std::memset(m_version, 0, sizeof m_version);
  std::memcpy(m_version, "1.0.5", 5);

  loadResourceIndex(*this);

  std::memset(m_textBuffer, 0, sizeof m_textBuffer);
  std::memset(m_rowBuffer, 0, sizeof m_rowBuffer);

  delete m_random;
  m_random = new Random();
  m_random->setSeed(getTickCount());

  m_frameTime = 25;
  m_interfaceAnimations = 1;
  m_secondBufferOn = 0;
  resetEffects(*this);

  // The first frame is measured from here, not from system start.
  m_gameClock = getTickCount();
  m_lastTick = m_gameClock;

  s_gameState = k_stateNone;
  m_subState = 0;
  m_stateSpare = 0;
  m_previousState = 0;
  m_inGame = 0;
  m_stateEntryTime = 0;
  m_lastSlideX = m_lastSlideY = 0;
  setState(k_stateStart);

  createGameObjects(*this);

  m_messages = {};
  m_dialog = {};

  m_stackDepth = 0;
  question.returnState = -1;
  question.action = -1;
  question.pendingAction = -1;
  m_menu = MenuList();
  m_savedMenuSelection = 0;
  m_currentElements = nullptr;
  m_currentElementCount = 0;
  m_currentInterface = -1;
  resetBallView(*this);
}

// The resource pack's index, read by init.
void loadResourceIndex(cGame& game) { game.m_resources.loadIndex(); }

void cGame::update(Graphics* /*graphics*/) {
  Graphics* graphics = getGraphics();
  if (m_waitCounter > 0) m_waitCounter -= 1;
  m_gameClock = getTickCount();
  m_keys.update();
  updateCurrentState();
  if (m_waitCounter <= 0) {
    paintCurrentState(graphics);
    if (m_redrawCounters[0] > 0) m_redrawCounters[0] -= 1;
  }
  uint32_t now = getTickCount();
  int32_t dt = static_cast<int32_t>(now - m_lastTick);
  if (dt < 0) dt = 0;
  m_lastTick = now;
  m_frameTime = dt;
  m_gameClock += static_cast<uint32_t>(dt);
}

void setViewport3D(cGame& game, int32_t x, int32_t y, int32_t aspectW, int32_t aspectH) {
  game.setViewRect(x, y, 56, 104);
  glViewport(0, 0, 56, 104);
  game.m_camera.setProjection(0xF0000, q14Div(aspectW, aspectH), 163, 0x640000);
  game.m_camera.setAspect(game.m_viewRect[2], game.m_viewRect[3]);
  game.m_camera.update();
  game.m_viewDistance3D = 0x78000;
}

void lookAt3D(cGame& game, int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6) {
  game.m_camera.position = Vector3(a1, a3, wrapNeg(a2));
  game.m_camera.angles = Vector3(a5, wrapSub(a4, 0x168000), a6);
  game.m_camera.applyView();
  game.m_renderer.setCamera(&game.m_camera);
}

void cGame::keyPressed(int32_t keyIndex) { m_keys.onKeyDown(keyIndex); }
void cGame::keyReleased(int32_t keyIndex) { m_keys.onKeyUp(keyIndex); }

void cGame::suspend(int32_t /*value*/) {
  if (m_suspended) return;
  stopAllSounds();
  m_suspended = 1;
}

void cGame::resume(int32_t /*value*/) {
  if (!m_suspended) return;
  int32_t s = s_gameState;
  if (isMatchState(s) && s != k_stateFrameWon && s != k_stateSpinSelector && !m_menusOverMatch &&
      !isMessageQueued(*this) && !isMatchOnHold(*this))
    enterIGM(*this);
  if (s == k_stateQuestion || s == k_stateQuestionMenu || s == k_stateFirstRunQuestion ||
      s == k_stateTournamentFieldConfirm)
    m_menu.selection = 1;
  if (s == k_stateTitle || s == k_stateMainMenu) playMusic(*this, 11);
  m_keys.lock(5);
  m_gameClock = getTickCount();
  m_lastTick = m_gameClock;
  m_redrawCounters[0] = m_redrawCounters[1] = 5;
  m_suspended = 0;
}
