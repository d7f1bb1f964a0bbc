// A model of several textured sub-meshes drawn through the renderer, the
// static objects and a camera, against Mesa drawing the same triangles
// exported in eye space.
#include <gtest/gtest.h>

#include <vector>

#include "../../gles/context/GlContextFixture.h"
#include "../../gles/render/MesaReference.h"
#include "FakeResources.h"
#include "tools/image/ImageWriter.h"
#include "tools/model/ModelWriter.h"
#include "zul/2d/MutableImage.h"
#include "zul/3d/Camera.h"
#include "zul/3d/GL3DASEFileResource.h"
#include "zul/3d/GL3DServices.h"
#include "zul/3d/GlRenderer.h"

namespace {

constexpr int kW = 56, kH = 104;
constexpr double kRight = 0.5, kNear = 1.0, kFar = 100.0;

int32_t q(double v) { return static_cast<int32_t>(v * 16384.0); }

struct Vec {
  double x, y, z;
  Vec operator+(Vec o) const { return {x + o.x, y + o.y, z + o.z}; }
  Vec operator*(double k) const { return {x * k, y * k, z * k}; }
};

// A quad around c with outward normal n and edges u, v (u x v along n),
// counter-clockwise seen from outside.
void quad(kvmodel::SubMesh& s, Vec c, Vec n, Vec u, Vec v) {
  const uint16_t base = static_cast<uint16_t>(s.positions.size() / 3);
  const Vec corners[4] = {c + n + u * -1 + v * -1, c + n + u + v * -1, c + n + u + v, c + n + u * -1 + v};
  const double st[4][2] = {{0.02, 0.02}, {0.98, 0.02}, {0.98, 0.98}, {0.02, 0.98}};
  for (int i = 0; i < 4; ++i) {
    s.positions.insert(s.positions.end(), {q(corners[i].x), q(corners[i].y), q(corners[i].z)});
    s.texCoords.insert(s.texCoords.end(), {q(st[i][0]), q(st[i][1])});
  }
  s.indices.insert(s.indices.end(), {base, uint16_t(base + 1), uint16_t(base + 2), base, uint16_t(base + 2),
                                     uint16_t(base + 3)});
}

void box(kvmodel::SubMesh& s, Vec c, double h) {
  const Vec x{h, 0, 0}, y{0, h, 0}, z{0, 0, h};
  quad(s, c, x, y, z);
  quad(s, c, x * -1, z, y);
  quad(s, c, y, z, x);
  quad(s, c, y * -1, x, z);
  quad(s, c, z, x, y);
  quad(s, c, z * -1, y, x);
}

// A pattern of cells 16 texels wide and 8 high.
std::vector<uint8_t> pattern(int size, int seed) {
  std::vector<uint8_t> indices(static_cast<size_t>(size) * size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) indices[y * size + x] = static_cast<uint8_t>((x / 16) * 16 + (y / 8) * 3 + seed);
  return indices;
}

std::vector<uint32_t> palette(uint32_t tint) {
  std::vector<uint32_t> p(256);
  for (uint32_t i = 0; i < 256; ++i) p[i] = (i * 0x0B1F37u ^ tint) & 0xFFFFFF;
  return p;
}

std::vector<uint16_t>* g_window = nullptr;
void* windowPixels() { return g_window->data(); }

class ModelReference : public GlContextTest {};

TEST_F(ModelReference, TexturedSubMeshesMatchMesa) {
  FakeResources res;
  for (uint32_t id : {1u, 2u, 3u})
    res.files[id] = kvtools::writeTarga(32, 32, palette(id * 0x402010u), pattern(32, static_cast<int>(id)));
  kvmodel::SubMesh floor{1, {}, {}, {}}, big{2, {}, {}, {}}, small{3, {}, {}, {}};
  quad(floor, {0, -1, -6}, {0, 0, 0}, {0, 0, 5}, {4, 0, 0});
  box(big, {-1.2, 0.8, -6}, 1.0);
  box(small, {1.4, 0.6, -3.5}, 0.6);
  res.files[10] = *kvmodel::writeModel({{{0, {floor, big}}, {0, {small}}}});

  std::vector<uint16_t> window(kW * kH, 0);
  g_window = &window;
  GlRenderer renderer;
  GL3DServices services;
  services.resourceManager = &res;
  services.renderer = &renderer;
  services.backBufferData = windowPixels;
  setGL3DServices(&services);

  MutableImage target(kW, kH, 16);
  ASSERT_TRUE(renderer.init(&target));
  ManagedResource<GL3DASEFileResource>* model = res.get<GL3DASEFileResource>(10);
  ASSERT_NE(model, nullptr);
  ASSERT_EQ(model->getPartCount(), 2);

  const Q14 top = q(kRight * kH / kW);
  glFrustumx(-q(kRight), q(kRight), -top, top, q(kNear), q(kFar));
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  Camera camera;
  camera.position = Vector3(q(0.3), q(4.5), q(0.5));
  camera.angles = Vector3(-(42 << 14), 8 << 14, 0);
  camera.applyView();
  renderer.setCamera(&camera);
  const Matrix34 view = *gl->m_modelviewTop;
  Matrix34 placement;
  placement.setRotationY(-(12 << 14));
  placement[9] = q(0.2);

  glClearColorx(0, 0, 0, 1 << 14);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  model->draw(&renderer, &placement);
  glFlush();
  renderer.swapBuffers();

  // The same triangles in eye space, one batch per textured sub-mesh.
  mesaref::Scene scene{kW, kH, kRight, kNear, kFar, true, {}};
  for (int32_t p = 0; p < model->getPartCount(); ++p) {
    GL3DStaticObject* part = model->getPart(p);
    for (int32_t i = 0; i < part->getSubMeshCount(); ++i) {
      const GL3DSubMesh& s = *part->getSubMesh(i);
      ASSERT_NE(s.texture, nullptr);
      const TextureObject& t = gl->m_textures[s.texture->getName()];
      mesaref::Batch b{"textured", t.size, std::vector<uint16_t>(t.texels, t.texels + t.size * t.size), {}};
      for (int32_t k = 0; k < 3 * s.triangleCount; ++k) {
        const int32_t v = s.indices[k];
        Vector3 world, eye;
        placement.transformPoint(Vector3(s.vertices[3 * v], s.vertices[3 * v + 1], s.vertices[3 * v + 2]), world);
        view.transformPoint(world, eye);
        b.verts.push_back({eye.x, eye.y, eye.z, s.texCoords[2 * v], s.texCoords[2 * v + 1], 0, 0, 0, 255});
      }
      scene.batches.push_back(b);
    }
  }
  ASSERT_EQ(scene.batches.size(), 3u);
  mesaref::compare(scene, "model", window, 2, 4);

  res.release(model);
  renderer.getTextures().releaseAll();
  setGL3DServices(nullptr);
  g_window = nullptr;
}

}  // namespace
