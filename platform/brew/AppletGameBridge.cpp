#include "platform/brew/AppletGameBridge.h"

#include "platform/brew/GameBase.h"
#include "zul/memory/Debug.h"

namespace {
void notifyNothing() {}
}  // namespace

AppletGameBridge::AppletGameBridge(ApplicationImpl* applet, MutableImage* image) : m_applet(applet), m_image(image) {
  (void)m_applet;
}

AppletGameBridge::~AppletGameBridge() {
  if (m_game) delete m_game;
  m_game = nullptr;
}

void AppletGameBridge::createGame() {
  m_game = ::createGame(m_image);
  if (!m_game) {
    // Without a game there is nothing to run: every forward below does
    // nothing, and the host ends the program after its next frame.
    debugTrace("\n createGame failed");
    requestQuit();
    return;
  }
  m_game->init();
}

void AppletGameBridge::update() {
  if (!m_paused && m_game) m_game->update(m_game->getGraphics());
}

void AppletGameBridge::notify() { notifyNothing(); }

void AppletGameBridge::keyEvent(uint8_t down, int32_t keyIndex) {
  if (!m_game) return;
  if (down)
    m_game->keyPressed(keyIndex);
  else
    m_game->keyReleased(keyIndex);
}

void AppletGameBridge::suspendGame(int32_t value) {
  if (m_game) m_game->suspend(value);
}

void AppletGameBridge::resumeGame(int32_t value) {
  if (m_game) m_game->resume(value);
}
