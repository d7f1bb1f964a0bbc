// Fuzzes the animated mesh and animation track readers. The first byte picks
// the reader; the rest is the file. A track that reads is evaluated at
// several times, every channel decoded, blended with itself and used to skin
// a mesh; a mesh that reads is skinned with a 64-bone track and drawn as an
// animated object into a small surface.
#include <cstdint>
#include <vector>

#include "gles/GlContext.h"
#include "tools/image/ImageWriter.h"
#include "tools/model/AnimationWriter.h"
#include "zul/3d/AnimatedObjectDebug.h"
#include "zul/3d/GL3DAnimatedObject.h"
#include "zul/3d/GL3DAnimationTrack.h"
#include "zul/3d/GL3DServices.h"
#include "zul/3d/GlRenderer.h"
#include "zul/io/BufferStream.h"

namespace {

constexpr uint32_t kMeshId = 1, kTextureId = 2;

// Serves the input as the mesh and one small texture.
class Resources : public ResourceManager {
 public:
  Resources()
      : m_texture(kvtools::writeTarga(32, 32, std::vector<uint32_t>(256, 0x406080), std::vector<uint8_t>(32 * 32, 7))) {}
  void* find(uint32_t id) override { return id < 4 ? m_objects[id] : nullptr; }
  Stream* open(uint32_t id) override {
    std::vector<uint8_t>& copy = m_copies[id & 3];
    copy = id == kTextureId ? m_texture : m_mesh;
    copy.reserve(1);
    return new BufferStream(BufferStream::kRead, static_cast<int32_t>(copy.size()), copy.data());
  }
  void close(Stream* s) override { delete s; }
  void store(uint32_t id, void* object) override {
    if (id < 4) m_objects[id] = object;
  }
  std::vector<uint8_t> m_mesh;

 private:
  std::vector<uint8_t> m_texture;
  std::vector<uint8_t> m_copies[4];
  void* m_objects[4] = {};
};

struct World {
  GlContext gl;
  Resources resources;
  GlRenderer renderer;
  GL3DServices services;
  std::vector<uint16_t> window = std::vector<uint16_t>(16 * 16);
  std::vector<uint8_t> fullTrackBytes;
  BufferStream fullTrackStream;
  GL3DAnimationTrack fullTrack;  // 64 still bones, each the child of the one before
  std::vector<uint8_t> meshBytes;
  BufferStream meshStream;
  AnimatedMeshData mesh;  // one vertex on bone 0

  World() {
    setDebugTraceEnabled(false);
    setAnimatedObjectDebugEnabled(false);
    setCurrentGlContext(&gl);
    services.resourceManager = &resources;
    services.renderer = &renderer;
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
    std::vector<int32_t> parents;
    std::vector<std::array<std::vector<int16_t>, 6>> keys(64);
    for (int b = 0; b < 64; ++b) {
      parents.push_back(b - 1);
      for (auto& c : keys[b]) c = {static_cast<int16_t>(b), static_cast<int16_t>(-b)};
    }
    fullTrackBytes = *kvmodel::writeTrack(kvmodel::makeTrack(30, 14, parents, keys));
    fullTrackStream.open(BufferStream::kRead, static_cast<int32_t>(fullTrackBytes.size()), fullTrackBytes.data());
    fullTrack.read(fullTrackStream);
    kvmodel::AnimatedMesh m;
    m.vertices.resize(1);
    meshBytes = *kvmodel::writeAnimatedMesh(m);
    meshStream.open(BufferStream::kRead, static_cast<int32_t>(meshBytes.size()), meshBytes.data());
    mesh.read(meshStream);
  }
};

void fuzzTrack(World& w, std::vector<uint8_t>& bytes) {
  BufferStream in(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.data());
  GL3DAnimationTrack track;
  if (!track.read(in)) return;
  Matrix34 m[64];
  const Q14 duration = track.getDuration();
  for (Q14 t : {0, duration / 3, duration, duration + 1, -5, INT32_MAX}) track.evaluate(t, m, ~uint64_t{0});
  const int32_t frames = track.getLastFrame() < 300 ? track.getLastFrame() + 1 : 300;
  for (int32_t b = 0; b < track.getBoneCount(); ++b)
    for (int32_t c = 0; c < GL3DAnimationTrack::kChannels; ++c)
      for (int32_t f = 0; f < frames; ++f) track.decode(b, c, f);
  if (track.getBoneCount() > 0) {
    track.evaluate(duration / 2, m, track.getBoneCount() - 1);
    Q14 out[3];
    skinMesh(w.mesh, m, out);
  }
  GL3DAnimationBlend blend(&track, &track, duration / 2, 1000);
  blend.evaluate(500, m, ~uint64_t{0});
}

void fuzzMesh(World& w, const std::vector<uint8_t>& bytes) {
  w.resources.m_mesh = bytes;
  {
    std::vector<uint8_t> copy = bytes;
    copy.reserve(1);
    BufferStream in(BufferStream::kRead, static_cast<int32_t>(copy.size()), copy.data());
    AnimatedMeshData mesh;
    if (!mesh.read(in)) return;
    Matrix34 m[64];
    w.fullTrack.evaluate(0, m, usedBoneSet(mesh, w.fullTrack, 63));
    std::vector<Q14> out(3 * static_cast<size_t>(mesh.getVertexCount()) + 1);
    skinMesh(mesh, m, out.data());
  }
  GL3DAnimatedObject object;
  object.setMesh(kMeshId, kTextureId);
  object.setAnimation(&w.fullTrack);
  object.draw(&w.renderer);
  glFlush();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static World* world = new World();
  if (size == 0) return 0;
  std::vector<uint8_t> bytes(data + 1, data + size);
  bytes.reserve(1);
  if (data[0] & 1)
    fuzzTrack(*world, bytes);
  else
    fuzzMesh(*world, bytes);
  world->renderer.getTextures().releaseAll();
  return 0;
}
