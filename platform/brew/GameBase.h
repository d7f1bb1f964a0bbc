// Base class of the game object: keeps the back-buffer image and its drawing
// context and the host's services, and declares the game's operations, all
// empty here.
#pragma once

#include <cstdint>

#include "windows_brew/GameServices.h"

class GameHost;
class MutableImage;
class Graphics;

class GameBase : public GameServices {
 public:
  explicit GameBase(MutableImage* image);
  ~GameBase() override;

  virtual void init() {}
  virtual void resume(int32_t /*value*/) {}
  virtual void suspend(int32_t /*value*/) {}
  virtual void notify(int32_t /*value*/) {}
  virtual void update(Graphics* /*graphics*/) {}
  virtual void keyPressed(int32_t /*keyIndex*/) {}
  virtual void keyReleased(int32_t /*keyIndex*/) {}

  Graphics* getGraphics() const { return m_graphics; }
  MutableImage* getImage() const { return m_image; }
  int32_t getWidth() const;
  int32_t getHeight() const;

  // What the game reaches of the host: the shell's services from
  // construction on; a test may hand it another (null goes back to the
  // shell's).
  GameHost& host() const { return *m_host; }
  void setHost(GameHost* services);

 protected:
  MutableImage* m_image;
  Graphics* m_graphics;
  GameHost* m_host;
};
