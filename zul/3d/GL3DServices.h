// What the 3D layer takes from the game: its resource manager, its renderer
// (whose texture table the models fill) and the back-buffer pixels that the
// renderer's window surface is made over. The game fills one of these in;
// until then (and after it is set to null) the record is empty and the 3D
// objects load nothing.
#pragma once

class GlRenderer;
class ResourceManager;

struct GL3DServices {
  ResourceManager* resourceManager = nullptr;
  GlRenderer* renderer = nullptr;
  void* (*backBufferData)() = nullptr;
};

// Never null.
GL3DServices* getGL3DServices();
void setGL3DServices(GL3DServices* services);
