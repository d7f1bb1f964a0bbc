// The data set's models and the ball view's scene: every resource the view
// fetches loads quietly, the models keep the renderer's budgets and the
// table's geometry, and the scene drawn by us matches Mesa drawing the same
// triangles. The frames go into the build tree as PNG files.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "../../gles/render/MesaReference.h"
#include "../../zul/memory/TraceCapture.h"
#include "BallViewScene.h"
#include "DataFixture.h"
#include "tools/model/ModelWriter.h"
#include "wince/layer.h"
#include "zul/io/BufferStream.h"

namespace {

// What a capture holds besides the file layer's open, size and close lines.
std::string reports(const std::string& text) {
  std::istringstream in(text);
  std::string line, out;
  while (std::getline(in, line))
    if (!line.empty() && line.rfind("creating: ", 0) != 0 && line.rfind("size: ", 0) != 0 &&
        line.rfind("closing: ", 0) != 0)
      out += line + "\n";
  return out;
}

class ModelData : public DataTest {
 protected:
  void SetUp() override {
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/data000.bar")) GTEST_SKIP() << "no data set";
    DataTest::SetUp();
    for (const char* name : {"info.bar", "data000.bar", "table.bar"})
      std::filesystem::copy_file(std::string(data) + "/" + name, path(name));
    gl = std::make_unique<GlContext>();
    setCurrentGlContext(gl.get());
    ASSERT_TRUE(game->engine.resources.loadIndex());
  }
  void TearDown() override {
    if (!game) return;
    game->engine.renderer.getTextures().releaseAll();
    DataTest::TearDown();
    setCurrentGlContext(nullptr);
  }
  // The model file as stored, read back by the writer's reader.
  kvmodel::Model fileOf(uint32_t id) {
    Stream* s = game->engine.resources.open(id);
    EXPECT_NE(s, nullptr);
    if (!s) return {};
    auto* bs = static_cast<BufferStream*>(s);
    const std::vector<uint8_t> bytes(bs->getData(), bs->getData() + bs->getLength());
    game->engine.resources.close(s);
    std::optional<kvmodel::Model> m = kvmodel::readModel(bytes);
    EXPECT_TRUE(m) << "model " << id << " does not read";
    return m ? *m : kvmodel::Model{};
  }
  static size_t vertices(const kvmodel::SubMesh& s) { return s.positions.size() / 3; }
  static size_t triangles(const kvmodel::SubMesh& s) { return s.indices.size() / 3; }
  // World point (Q14) of a file point, as the view places it.
  static std::pair<int32_t, int32_t> world(int x, int y) {
    return {ballview::toViewX(x << 14) / 10, -(ballview::toViewY(-(y << 14)) / 10)};
  }
  std::unique_ptr<GlContext> gl;
};

TEST_F(ModelData, EveryFetchedResourceLoadsWithoutAReport) {
  std::set<uint32_t> textureIds;
  for (uint32_t id = 0; id <= 28; ++id)
    if (id < 16 || id >= 20) textureIds.insert(id);
  for (uint32_t id : {16u, 17u, 18u})
    for (const kvmodel::Part& p : fileOf(id).parts)
      for (const kvmodel::SubMesh& s : p.subMeshes) textureIds.insert(s.textureId);
  EXPECT_EQ(textureIds.count(19) + textureIds.count(29), 2u) << "the models name the wood and pocket textures";
  TraceCapture cap;
  GL3DTextureManager& textures = game->engine.renderer.getTextures();
  for (uint32_t id : textureIds) {
    GL3DTexture* t = textures.getTexture(static_cast<int32_t>(id));
    ASSERT_NE(t, nullptr) << id;
    EXPECT_EQ(gl->m_textures[t->getName()].size, id == 29 ? 32 : 64) << id;
    EXPECT_EQ(gl->m_textures[t->getName()].mode, kTexelRgb565) << id;
  }
  for (uint32_t id : {16u, 17u, 18u}) {
    ManagedResource<GL3DASEFileResource>* m = game->engine.resources.get<GL3DASEFileResource>(id);
    ASSERT_NE(m, nullptr) << id;
    for (int32_t p = 0; p < m->getPartCount(); ++p)
      for (int32_t i = 0; i < m->getPart(p)->getSubMeshCount(); ++i)
        EXPECT_NE(m->getPart(p)->getSubMesh(i)->texture, nullptr) << id;
    game->engine.resources.release(m);
  }
  EXPECT_EQ(reports(cap.text), "");
  EXPECT_LE(textures.getCount(), 50);
}

TEST_F(ModelData, BudgetsAndTheLoadersRules) {
  const struct {
    uint32_t id;
    size_t maxVertices, maxTriangles, parts, subMeshes;
  } cases[] = {{16, 5000, 3000, 0, 0}, {17, 2500, 3000, 0, 0}, {18, 320, 190, 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const kvmodel::Model m = fileOf(c.id);
    ASSERT_FALSE(m.parts.empty());
    if (c.parts) {
      EXPECT_EQ(m.parts.size(), c.parts);
    }
    size_t v = 0, t = 0;
    for (const kvmodel::Part& p : m.parts) {
      ASSERT_FALSE(p.subMeshes.empty());
      if (c.subMeshes) {
        EXPECT_EQ(p.subMeshes.size(), c.subMeshes);
      }
      EXPECT_GE(vertices(p.subMeshes[0]), 6u);
      // setTexture gives the table's cloth to sub-mesh 0 of every part.
      if (c.id != 17) {
        EXPECT_EQ(p.subMeshes[0].textureId, c.id == 16 ? 20u : 0u);
      }
      for (const kvmodel::SubMesh& s : p.subMeshes) {
        EXPECT_LE(vertices(s), 2500u);  // a matrix draw takes 12 bytes a vertex of 30,720
        v += vertices(s);
        t += triangles(s);
      }
    }
    EXPECT_LE(v, c.maxVertices);
    EXPECT_LE(t, c.maxTriangles);
    EXPECT_GT(t, 0u);
  }
}

TEST_F(ModelData, BallIsASphereOfRadiusFourAboutTheOrigin) {
  const kvmodel::Model m = fileOf(18);
  ASSERT_EQ(m.parts.size(), 1u);
  const kvmodel::SubMesh& s = m.parts[0].subMeshes.at(0);
  // The middle of the distinct points (the seam and the poles repeat points
  // with other coordinates).
  std::set<std::array<int32_t, 3>> points;
  double sum[3] = {};
  for (size_t i = 0; i < vertices(s); ++i) {
    const double x = s.positions[3 * i] / 16384.0, y = s.positions[3 * i + 1] / 16384.0,
                 z = s.positions[3 * i + 2] / 16384.0;
    EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 4.0, 0.05) << i;
    if (points.insert({s.positions[3 * i], s.positions[3 * i + 1], s.positions[3 * i + 2]}).second)
      sum[0] += x, sum[1] += y, sum[2] += z;
    // s runs with the longitude, t with the latitude (0 south, 1 north).
    EXPECT_NEAR(s.texCoords[2 * i + 1] / 16384.0, std::asin(std::clamp(y / 4.0, -1.0, 1.0)) / M_PI + 0.5, 0.01);
  }
  for (double c : sum) EXPECT_NEAR(c / static_cast<double>(points.size()), 0.0, 0.05);
  // Every triangle faces outwards (counter-clockwise seen from outside).
  for (size_t k = 0; k + 2 < s.indices.size(); k += 3) {
    double p[3][3];
    for (int j = 0; j < 3; ++j)
      for (int a = 0; a < 3; ++a) p[j][a] = s.positions[3 * s.indices[k + j] + a];
    const double u[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
    const double w[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
    const double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    EXPECT_GT(n[0] * (p[0][0] + p[1][0] + p[2][0]) + n[1] * (p[0][1] + p[1][1] + p[2][1]) +
                  n[2] * (p[0][2] + p[1][2] + p[2][2]),
              0)
        << k / 3;
  }
}

TEST_F(ModelData, ClothTopAndPocketCupsOnTheTablesPoints) {
  game->init();
  loadTable(*game);
  const TableLayoutGroup& pockets = game->tableLayout.groups[TableLayout::kPockets];
  ASSERT_EQ(pockets.count(), 6) << "table.bar has no pockets";
  const kvmodel::Model m = fileOf(16);
  ASSERT_EQ(m.parts.size(), 1u);
  ASSERT_EQ(m.parts[0].subMeshes.size(), 3u);
  // Stored points are (-x, y, -z) of the world points.
  const kvmodel::SubMesh& cloth = m.parts[0].subMeshes[0];
  int inside = 0;
  for (size_t i = 0; i < vertices(cloth); ++i) {
    const int32_t x = -cloth.positions[3 * i], y = cloth.positions[3 * i + 1], z = -cloth.positions[3 * i + 2];
    if (std::abs(x) < 69 << 14 && std::abs(z) < 116 << 14) {
      EXPECT_EQ(y, -(4 << 14)) << "cloth inside the playing area at y -4.0";
      ++inside;
    }
  }
  EXPECT_GT(inside, 100);
  // Cup points (below the cloth, above the floor) gathered by their nearest
  // pocket: their middle lies within 1.0 of the pocket's world point.
  const kvmodel::SubMesh& dark = m.parts[0].subMeshes[2];
  std::map<int, std::array<double, 3>> cups;
  std::vector<std::pair<double, double>> points;
  for (int32_t k = 0; k < pockets.count(); ++k) {
    const auto [wx, wz] = world(pockets.x(k), pockets.y(k));
    points.push_back({wx / 16384.0, wz / 16384.0});
  }
  for (size_t i = 0; i < vertices(dark); ++i) {
    const double x = -dark.positions[3 * i] / 16384.0, y = dark.positions[3 * i + 1] / 16384.0,
                 z = -dark.positions[3 * i + 2] / 16384.0;
    if (y >= -4.0 || y < -50) continue;
    int best = 0;
    for (int k = 1; k < 6; ++k)
      if (std::hypot(x - points[k].first, z - points[k].second) <
          std::hypot(x - points[best].first, z - points[best].second))
        best = k;
    std::array<double, 3>& c = cups[best];
    c[0] += x, c[1] += z, c[2] += 1;
  }
  ASSERT_EQ(cups.size(), 6u);
  for (const auto& [k, c] : cups)
    EXPECT_LT(std::hypot(c[0] / c[2] - points[k].first, c[1] / c[2] - points[k].second), 1.0) << "pocket " << k;
}

// Our frame against Mesa's: a pixel agrees when a Mesa pixel at most one
// away in each direction is within the tolerance (edges and texel picks
// round differently).
void compareWithMesa(const mesaref::Scene& scene, const std::string& name, const std::vector<uint16_t>& ours) {
  std::string why;
  const std::vector<uint16_t> mesa = mesaref::mesaFrame(scene, name, why);
  const std::string dir = std::string(KV_BINARY_DIR) + "/frames/ballview";
  std::filesystem::create_directories(dir);
  EXPECT_TRUE(wince::writePng(dir + "/" + name + ".png", ours.data(), scene.w, scene.h));
  if (mesa.empty()) GTEST_SKIP() << why;
  EXPECT_TRUE(wince::writePng(dir + "/" + name + "_mesa.png", mesa.data(), scene.w, scene.h));
  auto close = [](uint16_t a, uint16_t b) {
    return std::abs((a >> 11) - (b >> 11)) <= 2 && std::abs(((a >> 5) & 63) - ((b >> 5) & 63)) <= 4 &&
           std::abs((a & 31) - (b & 31)) <= 2;
  };
  int agree = 0, lit = 0;
  for (int y = 0; y < scene.h; ++y)
    for (int x = 0; x < scene.w; ++x) {
      const uint16_t a = ours[static_cast<size_t>(y * scene.w + x)];
      lit += a != 0;
      bool ok = false;
      for (int dy = -1; dy <= 1 && !ok; ++dy)
        for (int dx = -1; dx <= 1 && !ok; ++dx) {
          const int u = x + dx, v = y + dy;
          ok = u >= 0 && v >= 0 && u < scene.w && v < scene.h && close(a, mesa[static_cast<size_t>(v * scene.w + u)]);
        }
      agree += ok;
    }
  const int total = scene.w * scene.h;
  EXPECT_GE(lit * 100, total * 95) << "background shows in " << name;
  EXPECT_GE(agree * 100, total * 99) << agree << " of " << total << " pixels agree (" << name << ")";
}

// A model's triangles placed and seen from the camera, one batch per sub-mesh.
void addModel(mesaref::Scene& scene, GlContext& gl, GL3DASEFileResource* model, const Matrix34& placement,
              const Matrix34& camera) {
  for (int32_t p = 0; p < model->getPartCount(); ++p)
    for (int32_t i = 0; i < model->getPart(p)->getSubMeshCount(); ++i) {
      const GL3DSubMesh& s = *model->getPart(p)->getSubMesh(i);
      const TextureObject& t = gl.m_textures[s.texture->getName()];
      mesaref::Batch b{"textured", t.size, std::vector<uint16_t>(t.texels, t.texels + t.size * t.size), {}};
      for (int32_t n = 0; n < 3 * s.triangleCount; ++n) {
        const int32_t v = s.indices[n];
        Vector3 w, eye;
        placement.transformPoint(Vector3(s.vertices[3 * v], s.vertices[3 * v + 1], s.vertices[3 * v + 2]), w);
        camera.transformPoint(w, eye);
        b.verts.push_back({eye.x, eye.y, eye.z, s.texCoords[2 * v], s.texCoords[2 * v + 1], 0, 0, 0, 255});
      }
      scene.batches.push_back(std::move(b));
    }
}

TEST_F(ModelData, BallViewSceneAtEachPocketMatchesMesa) {
  game->init();
  loadTable(*game);
  const TableLayoutGroup& pockets = game->tableLayout.groups[TableLayout::kPockets];
  ASSERT_EQ(pockets.count(), 6);
  ballview::Scene view(*game);
  TraceCapture cap;
  ASSERT_TRUE(view.load()) << reports(cap.text);
  // Nothing of the scene comes nearer than 8.0 to the camera: Mesa's near
  // plane there keeps its depth precise (ours is 163 / 16384).
  const double zNear = 8.0;
  for (int32_t k = 0; k < 6; ++k) {
    SCOPED_TRACE(k);
    view.aimAtPocket(pockets.x(k), pockets.y(k));
    view.frame();
    const std::vector<uint16_t> ours(view.pixels(), view.pixels() + ballview::kWidth * ballview::kHeight);
    // The same triangles in eye space, one batch per texture.
    mesaref::Scene scene{ballview::kWidth, ballview::kHeight, zNear * std::tan(M_PI / 6), zNear, 400.0, true, {}};
    addModel(scene, *gl, view.table(), view.tableMatrix(), view.view());
    for (size_t b = 0; b < 16; ++b) {
      view.ball()->setTexture(view.ballTexture(b));
      addModel(scene, *gl, view.ball(), view.ballMatrix(b), view.view());
    }
    compareWithMesa(scene, "pocket" + std::to_string(k), ours);
  }
  EXPECT_EQ(reports(cap.text), "");
}


// The game's own frame of the view (its camera behind a pocket, its ball
// slots from the world) against Mesa drawing the same triangles; without a
// prediction nothing is drawn over the clear colour.
TEST_F(ModelData, GamesBallViewFrameMatchesMesa) {
  game->init();
  // The view box comes from the in-game interface.
  std::filesystem::copy_file(std::string(std::getenv("KV_DATA_DIR")) + "/interf.bar", path("interf.bar"));
  ASSERT_EQ(loadBar(*game, "interf.bar"), 1);
  loadInterfaces(*game);
  unloadBar(*game);
  loadTable(*game);
  createGameObjects(*game);
  init3D(*game);
  TraceCapture cap;
  load3DView(*game);
  ASSERT_NE(game->ballView.tableModel, nullptr);
  ASSERT_NE(game->ballView.ballModel, nullptr);
  PhysicsWorld& w = game->world;
  const auto points = ballview::ballPoints();
  for (size_t n = 0; n < 16; ++n) {
    ASSERT_NE(w.balls[n], nullptr);
    w.balls[n]->setPosition(static_cast<Q14>(points[n].first * 16384), -static_cast<Q14>(points[n].second * 16384));
    w.balls[n]->hidden = w.balls[n]->pocketed = 0;
  }
  const TableLayoutGroup& pockets = game->tableLayout.groups[TableLayout::kPockets];
  auto frame = [&] {
    blit3D(*game);
    if (updateBallViewCamera(*game, -1)) {
      updateBallViewSlots(*game);
      drawBallViewBalls(*game);
    }
    flush3D(*game);
    const auto* px = static_cast<const uint16_t*>(game->ballView.renderImage->getPixels());
    return std::vector<uint16_t>(px, px + ballview::kWidth * ballview::kHeight);
  };
  for (int32_t k : {1, 4}) {
    SCOPED_TRACE(k);
    game->ballView.predictedSlot = 5;
    game->ballView.count = 1;
    game->ballView.potTarget[0] = tableToViewX(pockets.x(k) << 14);
    game->ballView.potTarget[1] = tableToViewY(-(pockets.y(k) << 14));
    const std::vector<uint16_t> ours = frame();
    // The camera the frame used.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    lookAt3D(*game, game->ballView.ballCameraX / 10, game->ballView.ballCameraY / 10, game->ballView.viewDistance3D,
             game->ballView.ballYaw, game->ballView.ballPitch, game->ballView.ballRoll);
    const Matrix34 camera = *gl->m_modelviewTop;
    const double zNear = 8.0;
    mesaref::Scene scene{ballview::kWidth, ballview::kHeight, zNear * std::tan(M_PI / 6), zNear, 400.0, true, {}};
    Matrix34 turn;
    turn.rotateY(-2949120);
    addModel(scene, *gl, game->ballView.tableModel, turn, camera);
    for (int32_t b = 0; b < 16; ++b) {
      Matrix34 place;
      place.setTranslation(game->ballView.ballSlots.x[b] / 10, 0, -(game->ballView.ballSlots.y[b] / 10));
      game->ballView.ballModel->setTexture(game->ballView.ballTextures[b]);
      addModel(scene, *gl, game->ballView.ballModel, place, camera);
    }
    compareWithMesa(scene, "game_pocket" + std::to_string(k), ours);
  }
  // The paint without a prediction: no camera, so no balls either; the
  // picture is the clear colour.
  MutableImage screen(240, 320, 16);
  game->ballView.open = 1;
  game->ballView.potCountdown = 0;
  game->ballView.predictedSlot = -1;
  for (int i = 0; i < 2; ++i) paintBallView(*game, screen.getGraphics());
  const auto* none = static_cast<const uint16_t*>(game->ballView.renderImage->getPixels());
  EXPECT_EQ(std::count(none, none + ballview::kWidth * ballview::kHeight, 0), ballview::kWidth * ballview::kHeight);
  EXPECT_EQ(game->ballView.ballSlots.visible[5], 1);
  EXPECT_EQ(reports(cap.text), "");
}

}  // namespace
