// Fuzzes the model reader: each input is read as a model whose textures all
// exist, then drawn as it is and through a matrix into a small surface.
#include <cstdint>
#include <vector>

#include "gles/GlContext.h"
#include "tools/image/ImageWriter.h"
#include "zul/3d/GL3DASEFileResource.h"
#include "zul/3d/GL3DServices.h"
#include "zul/3d/GlRenderer.h"
#include "zul/io/BufferStream.h"
#include "zul/memory/Debug.h"

namespace {

// One small texture for every id.
class AnyTexture : public ResourceManager {
 public:
  AnyTexture()
      : m_bytes(kvtools::writeTarga(32, 32, std::vector<uint32_t>(256, 0x406080), std::vector<uint8_t>(32 * 32, 7))) {}
  void* find(uint32_t id) override { return id == m_id ? m_object : nullptr; }
  Stream* open(uint32_t) override {
    m_copy = m_bytes;
    return new BufferStream(BufferStream::kRead, static_cast<int32_t>(m_copy.size()), m_copy.data());
  }
  void close(Stream* s) override { delete s; }
  void store(uint32_t id, void* object) override {
    m_id = id;
    m_object = object;
  }

 private:
  std::vector<uint8_t> m_bytes, m_copy;
  uint32_t m_id = 0xFFFFFFFF;
  void* m_object = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // No traces: writing them costs far more than what is fuzzed.
  static const bool s_quiet = (setDebugTraceEnabled(false), true);
  (void)s_quiet;
  static GlContext* gl = nullptr;
  static AnyTexture* resources = nullptr;
  static GlRenderer* renderer = nullptr;
  static GL3DServices services;
  static std::vector<uint16_t> window(16 * 16);
  if (!gl) {
    gl = new GlContext();
    setCurrentGlContext(gl);
    resources = new AnyTexture();
    renderer = new GlRenderer();
    services.resourceManager = resources;
    services.renderer = renderer;
    setGL3DServices(&services);
    const EGLint attribs[] = {EGL_DEPTH_SIZE, 16, 0};
    EGLConfig config;
    EGLint count;
    eglInitialize((16 << 16) | 16, nullptr, nullptr);
    eglChooseConfig((16 << 16) | 16, attribs, &config, 1, &count);
    eglCreateWindowSurface((16 << 16) | 16, config, window.data(), nullptr);
    glViewport(0, 0, 16, 16);
    glMatrixMode(GL_PROJECTION);
    glFrustumx(-8192, 8192, -8192, 8192, 16384, 100 << 14);
    glMatrixMode(GL_MODELVIEW);
    glTranslatex(0, 0, -(4 << 14));
  }
  std::vector<uint8_t> bytes(data, data + size);
  bytes.reserve(1);
  BufferStream in(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.data());
  GL3DASEFileResource model;
  if (model.read(in)) {
    Matrix34 turn;
    turn.setRotationY(30 << 14);
    model.draw(renderer);
    model.draw(renderer, &turn);
    glFlush();
  }
  renderer->getTextures().releaseAll();  // every input starts with free slots
  return 0;
}
