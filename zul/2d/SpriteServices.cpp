#include "zul/2d/SpriteServices.h"

namespace {
uint32_t g_defaultBuffer[SpriteServices::kDecodeBufferWords];
int32_t g_defaultRect[4];
SpriteServices g_default{g_defaultBuffer, g_defaultRect};
SpriteServices* g_current = nullptr;
}  // namespace

SpriteServices* getSpriteServices() {
  SpriteServices* s = g_current ? g_current : &g_default;
  // A half-filled record still gets working scratch space.
  if (!s->decodeBuffer) s->decodeBuffer = g_defaultBuffer;
  if (!s->sharedRect) s->sharedRect = g_defaultRect;
  return s;
}

void setSpriteServices(SpriteServices* services) { g_current = services; }
