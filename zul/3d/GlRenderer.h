// The 3D layer's connection to the EGL / OpenGL ES implementation: display,
// surface and context over a 16-bit target image, the GL defaults, the
// rendered colour buffer as a 2D image, buffer swaps, the texture table, the
// current camera and a stack of scratch memory for drawing.
#pragma once

#include <cstdint>

#include "zul/3d/GL3DTexture.h"
#include "zul/memory/StackMemoryPool.h"

class Camera;
struct GlRendererEgl;
class Image;
class MutableImage;

// The largest number of scratch bytes ever in use, written at exit to
// "d:\stackMax.txt" as "max = %d\n".
extern int32_t StackMax;
// The exit report itself, through the log writer (zul/memory/Debug.h);
// nothing is written when it opens no file.
void writeStackMax();

class GlRenderer {
 public:
  static constexpr const char* kSource = "GlRenderer";
  static constexpr int32_t kScratchSize = 30720;

  GlRenderer();
  // Deletes the colour-buffer image; the EGL objects stay (see shutdown).
  ~GlRenderer();
  GlRenderer(const GlRenderer&) = delete;
  GlRenderer& operator=(const GlRenderer&) = delete;

  // EGL display, config, window surface and context for the target's size,
  // then the colour-buffer image and the GL defaults. Every failed step is
  // reported and set-up goes on; false when any step failed.
  bool init(Image* target);
  // Unbinds and destroys the context, the surface and the display.
  void shutdown();
  void swapBuffers();

  MutableImage* getColourBuffer() const { return m_colourBuffer; }
  MutableImage* getColorBuffer() const { return m_colourBuffer; }
  // The destination of later swaps.
  void setNativeWindow(void* pixels);
  void* getNativeWindow() const;
  void setCulling(bool on);
  void setCamera(Camera* camera) { m_camera = camera; }
  Camera* getCamera() const { return m_camera; }

  // A block from the bottom of the scratch pool (null when it does not fit);
  // raises StackMax to the bytes in use. Blocks are freed in reverse order.
  void* allocScratch(int32_t size);
  void freeScratch(void* pointer);

  GL3DTextureManager& getTextures() { return m_textures; }
  StackMemoryPool& getScratchPool() { return m_scratch; }
  // EGL handles (EGLDisplay, EGLConfig, EGLSurface, EGLContext).
  intptr_t getDisplay() const { return m_display; }
  intptr_t getConfig() const { return m_config; }
  intptr_t getSurface() const { return m_surface; }
  intptr_t getContext() const { return m_context; }

  // The calls to make from now on; the caller keeps them alive.
  void setEgl(const GlRendererEgl& egl) { m_egl = &egl; }

 private:
  GL3DTextureManager m_textures;
  StackMemoryPool m_scratch;
  intptr_t m_display = 0;
  intptr_t m_config = 0;
  intptr_t m_surface = 0;
  intptr_t m_context = 0;
  Camera* m_camera = nullptr;
  MutableImage* m_colourBuffer = nullptr;
  const GlRendererEgl* m_egl;
};
