// What the 3D layer takes from the game: its resource manager. The game fills
// one of these in; until then (and after it is set to null) the record is
// empty and the 3D objects load nothing.
#pragma once

class ResourceManager;

struct GL3DServices {
  ResourceManager* resourceManager = nullptr;
};

// Never null.
GL3DServices* getGL3DServices();
void setGL3DServices(GL3DServices* services);
