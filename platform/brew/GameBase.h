// Base class of the game object: keeps the back-buffer image and its drawing
// context and declares the game's operations, all empty here.
#pragma once

#include <cstdint>

#include "windows_brew/GameServices.h"

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

 protected:
  MutableImage* m_image;
  Graphics* m_graphics;
};
