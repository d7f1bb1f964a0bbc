// What the engine lends the game: the renderer, the resource pack and
// its 3D and sprite services, the work buffers and the random source.
#pragma once

#include <cstdint>

#include "game/GameResourceManager/GameResourceManager.h"
#include "zul/2d/SpriteServices.h"
#include "zul/3d/GL3DServices.h"
#include "zul/3d/GlRenderer.h"

class Random;

struct EngineServices {
  GlRenderer renderer;
  GameResourceManager resources;
  GL3DServices gl3dServices;
  int32_t workWords[2] = {};
  char textBuffer[32768] = {};
  uint32_t rowBuffer[8192] = {};
  uint32_t decodeBuffer[SpriteServices::kDecodeBufferWords] = {};
  int32_t sharedRect[4] = {};
  SpriteServices spriteServices;
  Random* random = nullptr;
  char version[10] = {};
};
