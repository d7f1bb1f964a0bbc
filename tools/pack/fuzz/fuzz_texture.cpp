// Fuzzes the texture loaders: each input is loaded as a Targa image and as
// the second palette layout, with a real GL context.
#include <vector>

#include "gles/GlContext.h"
#include "zul/3d/GL3DTexture.h"
#include "zul/io/BufferStream.h"
#include "zul/memory/Debug.h"
#include "zul/memory/MemoryManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // No traces: writing them costs far more than what is fuzzed.
  static const bool s_quiet = (setDebugTraceEnabled(false), true);
  (void)s_quiet;
  static GlContext* gl = nullptr;
  if (!gl) {
    gl = new GlContext();
    setCurrentGlContext(gl);
  }
  std::vector<uint8_t> bytes(data, data + size);
  bytes.push_back(0);  // a non-null buffer for empty inputs
  const int32_t length = static_cast<int32_t>(size);
  {
    BufferStream s(BufferStream::kRead, length, bytes.data());
    GL3DTexture t;
    if (t.loadTGA(s)) {
      const GLuint name = t.getName();
      glDeleteTextures(1, &name);
    }
  }
  {
    BufferStream s(BufferStream::kRead, length, bytes.data());
    GL3DTexture t;
    if (t.loadPalette(s)) {
      const GLuint name = t.getName();
      glDeleteTextures(1, &name);
    }
  }
  return 0;
}
