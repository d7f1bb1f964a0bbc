#include "platform/brew/ApplicationImpl.h"

#include "gles/GlContext.h"
#include "platform/brew/AppletGameBridge.h"
#include "platform/brew/GameBase.h"
#include "platform/brew/NoticeFont.h"
#include "windows_brew/AppletSeam.h"
#include "windows_brew/ShellHost.h"
#include "windows_brew/TickCount.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"
#include "zul/memory/Debug.h"
#include "zul/memory/TrackedNew.h"

namespace {

constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 320;
constexpr uint32_t kNoticeKeepKey = 0x400000;
constexpr uint32_t kBackKey = 0x100000;

constexpr int kShellEventStart = 0;
constexpr int kShellEventStop = 1;
constexpr int kShellEventSuspend = 2;
constexpr int kShellEventResume = 3;
constexpr int kShellEventKey = 0x100;
constexpr int kShellEventKeyRelease = 0x102;
constexpr int kShellKeyQuit = 0xE062;

GameServices* gameOf(AppletGameBridge* bridge) { return bridge ? bridge->getGame() : nullptr; }

const AppletOps* appletOps();

}  // namespace

const char16_t ApplicationImpl::kNoticeText[kNoticeLines][kNoticeLineChars] = {
    u"Not enough space", u"to save. Please", u"free more space", u"and try again.",
    u"Press any key",    u"to continue ",    u"",                u"",
};

ApplicationImpl::ApplicationImpl() = default;

int ApplicationImpl::init() {
  m_glContext = new ("ApplicationImpl", 105, nullptr) GlContext();
  if (m_glContext) setCurrentGlContext(m_glContext);

  ShellHost* shell = getShellHost();
  uint16_t* pixels = nullptr;
  int32_t pitch = kWidth * 2;
  if (shell) {
    shell->getDisplayHandle();
    shell->getDisplayHandle();
    // Each new bitmap takes the canvas's pixels (the frame buffer); the one
    // created first gets its own back and is kept for the whole run.
    ShellBitmap*& first = m_screenBitmaps[0];
    ShellBitmap*& second = m_screenBitmaps[1];
    shell->createScreenBitmap(&first);
    shell->createScreenBitmap(&second);
    if (second) {
      ShellBitmap* ref = nullptr;
      shell->addBitmapRef(second, &ref);
      if (ref) {
        pixels = ref->pixels;
        pitch = ref->pitch;
        shell->releaseBitmapRef(&ref);
      }
    }
  }
  // Without a shell bitmap the image keeps pixels of its own.
  m_backBuffer = pixels ? new MutableImage(kWidth, kHeight, pitch, 16, pixels) : new MutableImage(kWidth, kHeight, 16);

  if (!m_bridge) {
    m_bridge = new ("ApplicationImpl", 193, nullptr) AppletGameBridge(this, m_backBuffer);
    if (m_bridge) {
      m_bridge->createGame();
      m_bridge->m_screenHeight = kHeight;
    }
  }
  m_ready = 255;
  return 1;
}

void ApplicationImpl::release() {
  m_clearedWords[1] = 0;
  if (m_bridge) delete m_bridge;
  m_bridge = nullptr;
  if (m_backBuffer) delete m_backBuffer;
  m_backBuffer = nullptr;
  // The screen bitmaps: the bound one gets its own pixels back first (it
  // holds the frame buffer's).
  if (ShellHost* shell = getShellHost()) {
    shell->canvas().unbindScreenBitmap(m_screenBitmaps[1]);
    for (ShellBitmap*& b : m_screenBitmaps) {
      if (b && b != shell->canvas().boundBitmap()) b->release();
      b = nullptr;
    }
  }
  m_clearedWords[0] = 0;
  if (m_glContext && getCurrentGlContext() == m_glContext) setCurrentGlContext(nullptr);
  delete m_glContext;
  m_glContext = nullptr;
}

void ApplicationImpl::tick() {
  GameServices* game = gameOf(m_bridge);
  if (game && game->m_noSpaceState == 100) {
    if (!showNotEnoughSpace()) return;
  }
  if (ShellHost* shell = getShellHost()) {
    int32_t w = m_backBuffer ? m_backBuffer->getWidth() : kWidth;
    int32_t h = m_backBuffer ? m_backBuffer->getHeight() : kHeight;
    ShellRect topLeft = {0, 0, 1, 1};
    ShellRect bottomRight = {static_cast<int16_t>(w - 1), static_cast<int16_t>(h - 1), 1, 1};
    shell->drawRect(&topLeft, 0xFFFFFFFF, 0, 2);
    shell->drawRect(&bottomRight, 0xFFFFFFFF, 0, 2);
  }
  getTickCount();
  if (m_bridge) m_bridge->update();
  getTickCount();
}

bool ApplicationImpl::showNotEnoughSpace() {
  GameServices* game = gameOf(m_bridge);
  drawNotice();
  game->updateKeys();
  // The stylus mapping does not run under the notice, so a pen-up on it
  // counts as a key.
  bool penUp = game->pointerReleased && game->releaseX >= 0 && game->releaseY >= 0;
  if (penUp) {
    game->releaseX = -1;
    game->releaseY = -1;
  }
  bool dismissed = (game->isAnyKeyPressed() && !game->isKeyPressed(kNoticeKeepKey)) || penUp;
  if (!dismissed) return false;
  game->m_noSpaceState = 101;
  if (game->isKeyPressed(kBackKey)) {
    if (ShellHost* shell = getShellHost()) shell->quit();
    return false;
  }
  return true;
}

void ApplicationImpl::drawNotice() {
  if (!m_backBuffer) return;
  if (Graphics* g = m_backBuffer->getGraphics()) {
    g->resetClip();
    g->setColor(0xFFFFFFFF);
    g->fillRect(0, 0, m_backBuffer->getWidth(), m_backBuffer->getHeight());
  }
  auto* pixels = static_cast<uint16_t*>(m_backBuffer->getPixels());
  for (int line = 0; line < kNoticeLines; ++line)
    drawNoticeText(pixels, m_backBuffer->getWidth(), m_backBuffer->getHeight(), m_backBuffer->getPitch() / 2, 0,
                   10 + 20 * line, kNoticeText[line], 0x0000);
}

bool ApplicationImpl::handleEvent(uint16_t event, uint16_t parameter) {
  switch (event) {
    case kShellEventStart:
      if (!m_bridge) init();
      return true;
    case kShellEventStop:
      release();
      return true;
    case kShellEventSuspend:
      if (m_bridge) m_bridge->suspendGame(0);
      return true;
    case kShellEventResume:
      if (m_bridge) m_bridge->resumeGame(0);
      return true;
    case 8:
    case 0x405:
      return true;
    case kShellEventKey:
      debugTrace("\nPress a Key");
      if (parameter == kShellKeyQuit)
        if (ShellHost* shell = getShellHost()) shell->quit();
      if (m_bridge) m_bridge->keyEvent(1, ConvertKey(this, parameter));
      return true;
    case kShellEventKeyRelease:
      if (m_bridge) m_bridge->keyEvent(0, ConvertKey(this, parameter));
      return true;
    case 0x500:
    case 0x502:
      if (ShellHost* shell = getShellHost()) shell->quit();
      return false;
    default:
      return false;
  }
}

int32_t ConvertKey(ApplicationImpl*, int32_t key) {
  debugTrace("\n KEY ConvertKey: %d", key);
  if (key == 8) {
    debugTrace("\n case AVK_CLR: ConvertKey");
    return 20;
  }
  return 23;
}

ApplicationImpl* getApplicationImpl() {
  ShellHost* shell = getShellHost();
  // Only while this applet is the one the shell runs.
  if (!shell || getAppletOps() != appletOps()) return nullptr;
  return static_cast<ApplicationImpl*>(shell->getApplet());
}

AppletGameBridge* getAppletGameBridge() {
  ApplicationImpl* applet = getApplicationImpl();
  return applet ? applet->getBridge() : nullptr;
}

void* getBackBufferData() {
  ApplicationImpl* applet = getApplicationImpl();
  return applet && applet->getBackBuffer() ? applet->getBackBuffer()->getPixels() : nullptr;
}

void* getShellInterface() {
  ApplicationImpl* applet = getApplicationImpl();
  return applet ? applet->getShellInterface() : nullptr;
}

void* getDisplayInterface() {
  ApplicationImpl* applet = getApplicationImpl();
  return applet ? applet->getDisplayInterface() : nullptr;
}

int32_t getAppletWord() {
  ApplicationImpl* applet = getApplicationImpl();
  return applet ? applet->getClearedWord(0) : 0;
}

uint8_t initApplet(ApplicationImpl* applet) { return static_cast<uint8_t>(applet->init()); }
void releaseApplet(ApplicationImpl* applet) { applet->release(); }
uint8_t handleAppletEvent(ApplicationImpl* applet, uint32_t event, uint32_t parameter) {
  return applet->handleEvent(static_cast<uint16_t>(event & 0xFFFF), static_cast<uint16_t>(parameter & 0xFFFF));
}

namespace {

void* createAppletOp() { return new ApplicationImpl(); }
int initAppletOp(void* applet, int) { return static_cast<ApplicationImpl*>(applet)->init(); }
void tickAppletOp(void* applet) { static_cast<ApplicationImpl*>(applet)->tick(); }
void releaseAppletOp(void* applet) { static_cast<ApplicationImpl*>(applet)->release(); }
void pauseAppletOp(void* applet) {
  if (AppletGameBridge* b = static_cast<ApplicationImpl*>(applet)->getBridge()) b->pause();
}
void unpauseAppletOp(void* applet) {
  if (AppletGameBridge* b = static_cast<ApplicationImpl*>(applet)->getBridge()) b->unpause();
}
bool quitRequestedOp(void* applet) {
  AppletGameBridge* b = static_cast<ApplicationImpl*>(applet)->getBridge();
  return b && b->isQuitRequested();
}
GameServices* gameOp(void* applet) { return gameOf(static_cast<ApplicationImpl*>(applet)->getBridge()); }

const AppletOps kAppletOps = {createAppletOp, initAppletOp,    tickAppletOp,    releaseAppletOp,
                              pauseAppletOp,  unpauseAppletOp, quitRequestedOp, gameOp};

const AppletOps* appletOps() { return &kAppletOps; }

}  // namespace

void registerApplet() { setAppletOps(&kAppletOps); }
