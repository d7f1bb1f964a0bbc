// The one link between the applet and the game: creates the game on the
// back-buffer image, forwards frames, keys, suspend and resume, and carries
// the game's quit request back to the host.
#pragma once

#include <cstdint>

class ApplicationImpl;
class GameBase;
class MutableImage;

// Allocates and constructs the game object on the back-buffer image; null
// when the allocation fails. Provided by the game.
GameBase* createGame(MutableImage* image);

class AppletGameBridge {
 public:
  AppletGameBridge(ApplicationImpl* applet, MutableImage* image);
  virtual ~AppletGameBridge();

  virtual void createGame();
  virtual void update();
  virtual void pause() { m_paused = 1; }
  virtual void unpause() { m_paused = 0; }
  virtual void notify();
  virtual void keyEvent(uint8_t down, int32_t keyIndex);
  virtual void suspendGame(int32_t value);
  virtual void resumeGame(int32_t value);

  GameBase* getGame() const { return m_game; }
  void requestQuit() { m_quitRequest = 1; }
  bool isQuitRequested() const { return m_quitRequest != 0; }
  bool isPaused() const { return m_paused != 0; }

  int32_t m_screenHeight = 0;

 private:
  uint8_t m_quitRequest = 0;
  ApplicationImpl* m_applet;
  MutableImage* m_image;
  uint8_t m_paused = 0;
  GameBase* m_game = nullptr;
};

// The running applet's bridge (null before the applet exists).
AppletGameBridge* getAppletGameBridge();
