#include "zul/3d/GL3DServices.h"

namespace {
GL3DServices g_empty;
GL3DServices* g_current = nullptr;
}  // namespace

GL3DServices* getGL3DServices() {
  if (g_current) return g_current;
  g_empty = GL3DServices();  // nobody may fill the empty record in
  return &g_empty;
}

void setGL3DServices(GL3DServices* services) { g_current = services; }
