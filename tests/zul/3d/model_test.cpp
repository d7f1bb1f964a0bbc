#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <list>
#include <vector>

#include "../../gles/context/GlContextFixture.h"
#include "FakeResources.h"
#include "memory/TraceCapture.h"
#include "tools/image/ImageWriter.h"
#include "tools/model/ModelWriter.h"
#include "zul/3d/GL3DASEFileResource.h"
#include "zul/3d/GL3DServices.h"
#include "zul/3d/GlRenderer.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint32_t kModelId = 100;
constexpr uint32_t kTextureA = 3, kTextureB = 4, kMissingTexture = 77;

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// n vertices on a ring (Q14), coordinates from the position, a fan of triangles.
kvmodel::SubMesh ring(uint32_t texture, int n, int32_t scale = 1 << 14, int extraCoords = 0) {
  kvmodel::SubMesh s;
  s.textureId = texture;
  for (int i = 0; i < n; ++i) {
    s.positions.insert(s.positions.end(), {scale * ((i % 3) - 1), scale * ((i % 2) ? 2 : -1), -scale * i});
    s.texCoords.insert(s.texCoords.end(), {i << 12, (n - i) << 12});
  }
  for (int i = 0; i < extraCoords; ++i) s.texCoords.insert(s.texCoords.end(), {0, 0});
  for (int i = 1; i + 1 < n; ++i) s.indices.insert(s.indices.end(), {0, uint16_t(i), uint16_t(i + 1)});
  return s;
}

Bytes write(const kvmodel::Model& m) {
  auto b = kvmodel::writeModel(m);
  EXPECT_TRUE(b.has_value());
  return b.value_or(Bytes{});
}

class Model : public GlContextTest {
 protected:
  void SetUp() override {
    GlContextTest::SetUp();
    const std::vector<uint8_t> indices(32 * 32, 1);
    res.files[kTextureA] = kvtools::writeTarga(32, 32, std::vector<uint32_t>(256, 0x30A050), indices);
    res.files[kTextureB] = kvtools::writeTarga(32, 32, std::vector<uint32_t>(256, 0xC02020), indices);
    services.resourceManager = &res;
    services.renderer = &renderer;
    setGL3DServices(&services);
  }
  void TearDown() override {
    renderer.getTextures().releaseAll();
    setGL3DServices(nullptr);
    GlContextTest::TearDown();
  }
  // Reads bytes into a model over a stream that lives with the fixture.
  bool read(GL3DASEFileResource& model, const Bytes& bytes) {
    buffers.push_back(bytes);
    buffers.back().reserve(1);  // a real buffer even for no bytes
    streams.emplace_back(BufferStream::kRead, static_cast<int32_t>(buffers.back().size()), buffers.back().data());
    return model.read(streams.back());
  }
  std::vector<Q14> vertices(const GL3DSubMesh& s) { return {s.vertices, s.vertices + 3 * s.vertexCount}; }

  FakeResources res;
  GL3DServices services;
  GlRenderer renderer;
  std::list<Bytes> buffers;
  std::list<BufferStream> streams;
};

TEST_F(Model, CountsAreRewrittenInPlaceAndTexturesFetched) {
  kvmodel::Model m{{{7, {ring(kTextureA, 6, 1 << 14, 2)}}}};
  GL3DASEFileResource model;
  ASSERT_TRUE(read(model, write(m)));
  ASSERT_EQ(model.getPartCount(), 1);
  EXPECT_EQ(model.getCount1(), 1u);
  EXPECT_EQ(model.getCount3(), 0u);
  GL3DStaticObject* part = model.getPart(0);
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->getFlags(), 7u);
  EXPECT_TRUE(part->isStatic());
  ASSERT_EQ(part->getSubMeshCount(), 1);
  const GL3DSubMesh& s = *part->getSubMesh(0);
  EXPECT_EQ(s.vertexCount, 6);
  EXPECT_EQ(s.texCoordCount, 8);
  EXPECT_EQ(s.triangleCount, 4);
  const uint8_t* bytes = buffers.back().data();
  // The arrays are the file's own bytes, and the count words now hold V, T and triangles.
  const uint8_t* header = bytes + 12 + 8 + 4;
  EXPECT_EQ(s.header, header);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(s.vertices), header + 24);
  EXPECT_EQ(le32(header + 20), 6u);
  EXPECT_EQ(le32(header + 24 + 72), 8u);
  EXPECT_EQ(le32(header + 28 + 72 + 64), 4u);
  ASSERT_NE(s.texture, nullptr);
  EXPECT_EQ(s.texture, renderer.getTextures().getSlot(0));
  EXPECT_EQ(s.texture->getId(), int32_t{kTextureA});
  EXPECT_EQ(vertices(s), m.parts[0].subMeshes[0].positions);
}

TEST_F(Model, CentreIsTheMeanAndRadiusHalfTheDistanceToTheSixthVertex) {
  const kvmodel::SubMesh six = ring(kTextureA, 6);
  const kvmodel::SubMesh empty{kTextureA, {}, {}, {}};
  kvmodel::SubMesh three = ring(kTextureA, 3);
  kvmodel::Model m{{{0, {six}}, {0, {empty}}, {0, {}}, {0, {three}}}};
  GL3DASEFileResource model;
  ASSERT_TRUE(read(model, write(m)));
  ASSERT_EQ(model.getPartCount(), 4);

  Vector3 sum;
  for (int i = 0; i < 6; ++i) sum += Vector3(six.positions[3 * i], six.positions[3 * i + 1], six.positions[3 * i + 2]);
  const Vector3 centre(q14Mul(sum.x, 2730), q14Mul(sum.y, 2730), q14Mul(sum.z, 2730));
  Vector3 got;
  model.getPart(0)->getCentre(got);
  EXPECT_EQ(got, centre);
  const Vector3 v5(six.positions[15], six.positions[16], six.positions[17]);
  EXPECT_EQ(model.getPart(0)->getRadius(), GL3DStaticObject::scaledLength(v5 - centre));
  EXPECT_EQ(model.getPart(0)->viewDepth(Matrix34()), centre.z);

  EXPECT_EQ(model.getPart(1)->getCentre(), Vector3());  // no vertices
  EXPECT_EQ(model.getPart(1)->getRadius(), 0);
  EXPECT_EQ(model.getPart(2)->getCentre(), Vector3());  // no sub-mesh: (0, 1, 0)
  EXPECT_EQ(model.getPart(2)->getRadius(), 0);
  // Fewer than six vertices: the last one.
  const GL3DStaticObject* p3 = model.getPart(3);
  const Vector3 last(three.positions[6], three.positions[7], three.positions[8]);
  EXPECT_EQ(p3->getRadius(), GL3DStaticObject::scaledLength(last - p3->getCentre()));
}

TEST_F(Model, ManyVerticesGiveACentreOfZeroInsteadOfOverflowing) {
  kvmodel::SubMesh big{kTextureA, {}, {}, {}};
  for (int i = 0; i < 20000; ++i) {
    big.positions.insert(big.positions.end(), {1 << 14, 1 << 14, 1 << 14});
    big.texCoords.insert(big.texCoords.end(), {0, 0});
  }
  kvmodel::SubMesh small = ring(kTextureA, 10000 / 3 * 3);
  GL3DASEFileResource model;
  ASSERT_TRUE(read(model, write({{{0, {big}}, {0, {small}}}})));
  EXPECT_EQ(model.getPart(0)->getCentre(), Vector3());
  Vector3 sum;
  for (size_t i = 0; i < small.positions.size(); i += 3)
    sum += Vector3(small.positions[i], small.positions[i + 1], small.positions[i + 2]);
  const Q14 recip = static_cast<Q14>((int64_t{1} << 28) / (small.positions.size() / 3) >> 14);
  EXPECT_EQ(model.getPart(1)->getCentre(), sum * recip);
}

TEST(ScaledLength, IsHalfTheLength) {
  const struct {
    Vector3 v;
    Q14 expect;
  } cases[] = {
      {{32768, 0, 0}, 16384},       {{0, 1, 0}, 0},          {{-32768, 0, 0}, 16384},
      {{16384, 0, 0}, 8192},        {{0, 0, 4095}, 2047},    {{1 << 30, 0, 0}, 1 << 29},
      {{3 << 14, 4 << 14, 0}, 40960}, {{0, 0, 0}, 0},  {{INT32_MIN, 0, 0}, 1 << 30},
  };
  for (const auto& c : cases) EXPECT_EQ(GL3DStaticObject::scaledLength(c.v), c.expect) << c.v.x << "," << c.v.y;
}

TEST_F(Model, SetTextureReplacesSubMeshZeroOfEveryPart) {
  GL3DASEFileResource model;
  ASSERT_TRUE(read(model, write({{{0, {ring(kTextureA, 6), ring(kTextureA, 6)}}, {0, {}}, {0, {ring(kTextureA, 6)}}}})));
  GL3DTexture* a = model.getPart(0)->getSubMesh(0)->texture;
  ASSERT_NE(a, nullptr);
  model.setTexture(nullptr);
  EXPECT_EQ(model.getPart(0)->getSubMesh(0)->texture, a);
  EXPECT_EQ(model.getPart(2)->getSubMesh(0)->texture, a);
  GL3DTexture* b = renderer.getTextures().getTexture(kTextureB);
  ASSERT_NE(b, nullptr);
  model.setTexture(b);
  EXPECT_EQ(model.getPart(0)->getSubMesh(0)->texture, b);
  EXPECT_EQ(model.getPart(0)->getSubMesh(1)->texture, a);
  EXPECT_EQ(model.getPart(2)->getSubMesh(0)->texture, b);
}

TEST_F(Model, OutOfRangeIndicesAreReportedAndGiveNull) {
  GL3DASEFileResource model;
  ASSERT_TRUE(read(model, write({{{0, {ring(kTextureA, 6)}}}})));
  const struct {
    int line;
    const char* source;
    void* (*get)(GL3DASEFileResource&);
  } cases[] = {
      {25, "GL3DASEFileResource", [](GL3DASEFileResource& m) -> void* { return m.getPart(1); }},
      {25, "GL3DASEFileResource", [](GL3DASEFileResource& m) -> void* { return m.getPart(-1); }},
      {34, "GL3DASEFileResource", [](GL3DASEFileResource& m) -> void* { return m.getStaticObject(1); }},
      {411, "GL3DStaticObject", [](GL3DASEFileResource& m) -> void* { return m.getPart(0)->getSubMesh(1); }},
      {411, "GL3DStaticObject", [](GL3DASEFileResource& m) -> void* { return m.getPart(0)->getSubMesh(-1); }},
  };
  for (const auto& c : cases) {
    TraceCapture cap;
    EXPECT_EQ(c.get(model), nullptr);
    EXPECT_TRUE(cap.reported(c.line, c.source)) << c.line;
  }
  EXPECT_NE(model.getStaticObject(0), nullptr);
}

TEST_F(Model, DrawingWithAMatrixUsesScratchAndLeavesTheModelAlone) {
  GL3DASEFileResource model;
  ASSERT_TRUE(read(model, write({{{0, {ring(kTextureA, 6), ring(kTextureB, 9)}}}})));
  const GL3DSubMesh& s1 = *model.getPart(0)->getSubMesh(1);
  const std::vector<Q14> before = vertices(s1);
  const int32_t freeBefore = renderer.getScratchPool().getFreeSize();
  Matrix34 m;
  m.setTranslation(5 << 14, 0, -(3 << 14));
  model.draw(&renderer, &m);
  EXPECT_EQ(vertices(s1), before);
  EXPECT_EQ(renderer.getScratchPool().getFreeSize(), freeBefore);
  // GL read the last sub-mesh's positions from the scratch block.
  EXPECT_TRUE(renderer.getScratchPool().contains(gl->m_vertexPointer));
  EXPECT_EQ(gl->m_texCoordPointer, s1.texCoords);
  EXPECT_EQ(gl->m_boundTextureName, s1.texture->getName());
  model.draw(&renderer);
  EXPECT_EQ(gl->m_vertexPointer, s1.vertices);
}

TEST_F(Model, DrawModesSetTheirHint) {
  GL3DASEFileResource model;
  ASSERT_TRUE(read(model, write({{{0, {ring(kTextureA, 6)}}, {0, {ring(kTextureA, 6)}}}})));
  const struct {
    int mode;
    uint8_t perspective;
    uint8_t vertexArray;
  } cases[] = {{0, 1, 1}, {1, 0, 1}, {2, 0, 0}, {5, 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    model.setDrawMode(c.mode);
    model.draw(&renderer);
    EXPECT_EQ(model.getPart(1)->getDrawMode(), c.mode);
    EXPECT_EQ(gl->m_perspective, c.perspective);
    EXPECT_EQ(gl->m_vertexArrayEnabled, c.vertexArray);
    EXPECT_EQ(gl->m_texCoordArrayEnabled, 1);
    EXPECT_EQ(gl->m_capTexture2D, 1);
    EXPECT_EQ(gl->m_capCullFace, 1);
  }
}

TEST_F(Model, SubMeshesWithoutTextureOrScratchAreSkipped) {
  kvmodel::SubMesh huge = ring(kTextureA, 2600);  // 31,200 scratch bytes
  GL3DASEFileResource model;
  ASSERT_TRUE(read(model, write({{{0, {ring(kMissingTexture, 6), huge}}}})));
  EXPECT_EQ(model.getPart(0)->getSubMesh(0)->texture, nullptr);
  model.draw(&renderer);
  EXPECT_EQ(gl->m_vertexPointer, model.getPart(0)->getSubMesh(1)->vertices);
  gl->glVertexPointer(3, GL_FIXED, 0, nullptr);
  const int32_t freeBefore = renderer.getScratchPool().getFreeSize();
  Matrix34 m;
  TraceCapture cap;
  model.draw(&renderer, &m);
  EXPECT_EQ(gl->m_vertexPointer, nullptr);
  EXPECT_TRUE(cap.has("no scratch")) << cap.text;
  EXPECT_EQ(renderer.getScratchPool().getFreeSize(), freeBefore);
}

TEST_F(Model, SecondReadIsReportedAndKeepsTheParts) {
  const Bytes bytes = write({{{0, {ring(kTextureA, 6)}}}});
  GL3DASEFileResource model;
  ASSERT_TRUE(read(model, bytes));
  GL3DStaticObject* part = model.getPart(0);
  TraceCapture cap;
  EXPECT_FALSE(read(model, bytes));
  EXPECT_TRUE(cap.reported(45, "GL3DASEFileResource")) << cap.text;
  EXPECT_EQ(model.getPartCount(), 1);
  EXPECT_EQ(model.getPart(0), part);
}

TEST_F(Model, ArraysAfterAnOddIndexCountAreAlignedCopies) {
  kvmodel::SubMesh odd = ring(kTextureA, 4);
  odd.indices.resize(3);  // one triangle: 3 indices, the next sub-mesh 2-byte aligned
  const kvmodel::SubMesh second = ring(kTextureB, 7, 3 << 13, 1);
  GL3DASEFileResource alone, after;
  ASSERT_TRUE(read(alone, write({{{0, {second}}}})));
  ASSERT_TRUE(read(after, write({{{0, {odd, second}}}})));
  const GL3DSubMesh& a = *alone.getPart(0)->getSubMesh(0);
  const GL3DSubMesh& b = *after.getPart(0)->getSubMesh(1);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(b.header) % 4, 2u);
  for (const void* p : {static_cast<const void*>(b.vertices), static_cast<const void*>(b.texCoords)})
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 4, 0u);
  EXPECT_EQ(b.vertexCount, a.vertexCount);
  EXPECT_EQ(b.texCoordCount, a.texCoordCount);
  EXPECT_EQ(b.triangleCount, a.triangleCount);
  EXPECT_EQ(vertices(b), vertices(a));
  EXPECT_TRUE(std::equal(a.texCoords, a.texCoords + 2 * a.texCoordCount, b.texCoords));
  EXPECT_TRUE(std::equal(a.indices, a.indices + 3 * a.triangleCount, b.indices));
  Matrix34 m;
  after.draw(&renderer, &m);  // reads the copies
  after.draw(&renderer);
  EXPECT_EQ(gl->m_vertexPointer, b.vertices);
}

TEST_F(Model, EveryPrefixOfAValidFileFails) {
  kvmodel::SubMesh odd = ring(kTextureA, 4);
  odd.indices.resize(3);
  const Bytes bytes = write({{{1, {odd, ring(kTextureB, 6)}}, {2, {ring(kTextureA, 5)}}}});
  TraceCapture quiet;
  for (size_t n = 0; n < bytes.size(); ++n) {
    GL3DASEFileResource model;
    ASSERT_FALSE(read(model, Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)))) << n;
    EXPECT_EQ(model.getPartCount(), 0);
    EXPECT_EQ(model.getPart(0), nullptr);
  }
  GL3DASEFileResource whole;
  EXPECT_TRUE(read(whole, bytes));
  EXPECT_EQ(renderer.getTextures().getCount(), 2);  // textures only for the whole file
}

TEST_F(Model, InconsistentCountsFailTheRead) {
  const Bytes good = write({{{0, {ring(kTextureA, 6)}}}});
  // Offsets in the file of one part with one sub-mesh of 6 vertices (T 6, n 12).
  constexpr size_t kN = 16, kSub = 24, kV = kSub + 20, kT = kV + 4 + 72, kX = kT + 4 + 48;
  auto patch = [&](size_t at, uint32_t v) {
    Bytes b = good;
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return b;
  };
  auto index = [&](size_t k, uint16_t v) {
    Bytes b = good;
    b[kX + 4 + 2 * k] = static_cast<uint8_t>(v);
    b[kX + 4 + 2 * k + 1] = static_cast<uint8_t>(v >> 8);
    return b;
  };
  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"part counts wrap to a small sum", [&] { Bytes b = patch(0, 0xFFFFFFFF); b[4] = 1; b[5] = b[6] = b[7] = 0; b[8] = 1; return b; }()},
      {"more parts than bytes", patch(0, 1000)},
      {"huge part counts", patch(8, 0xFFFFFFFF)},
      {"more sub-meshes than bytes", patch(kN, 2)},
      {"huge sub-mesh count", patch(kN, 0x40000000)},
      {"vertex values not in threes", patch(kV, 17)},
      {"vertex block past the end", patch(kV, 0xFFFFFFFC)},
      {"coordinates not in pairs", patch(kT, 11)},
      {"fewer coordinates than vertices", patch(kT, 10)},
      {"indices not in threes", patch(kX, 11)},
      {"index block past the end", patch(kX, 0x7FFFFFFE)},
      {"index equal to V", index(5, 6)},
      {"index far past V", index(0, 0xFFFF)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    GL3DASEFileResource model;
    TraceCapture cap;
    EXPECT_FALSE(read(model, c.bytes));
    EXPECT_EQ(model.getPartCount(), 0);
  }
  GL3DASEFileResource model;
  EXPECT_TRUE(read(model, good));
}

TEST_F(Model, SharedThroughTheResourceManager) {
  res.files[kModelId] = write({{{0, {ring(kTextureA, 6)}}}});
  ManagedResource<GL3DASEFileResource>* a = res.get<GL3DASEFileResource>(kModelId);
  ManagedResource<GL3DASEFileResource>* b = res.get<GL3DASEFileResource>(kModelId);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(res.opens, 2);  // the model and its texture
  EXPECT_EQ(a->getPart(0)->getSubMesh(0)->vertexCount, 6);
  res.release(a);
  res.release(b);
  EXPECT_EQ(res.find(kModelId), nullptr);
  res.files[kModelId + 1] = Bytes{1, 0, 0};
  TraceCapture cap;
  EXPECT_EQ(res.get<GL3DASEFileResource>(kModelId + 1), nullptr);
  EXPECT_EQ(res.find(kModelId + 1), nullptr);
}

TEST(ModelTool, WriterAndReaderRoundTrip) {
  kvmodel::SubMesh odd = ring(9, 4);
  odd.indices.resize(3);
  const kvmodel::Model m{{{5, {odd, ring(2, 8, -(1 << 15), 3)}}, {0, {}}, {6, {ring(1, 3)}}}};
  const auto bytes = kvmodel::writeModel(m);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(le32(bytes->data()), 3u);
  EXPECT_EQ(le32(bytes->data() + 4), 0u);
  EXPECT_EQ(kvmodel::readModel(*bytes), m);
  for (size_t n = 0; n < bytes->size(); ++n)
    EXPECT_FALSE(kvmodel::readModel(Bytes(bytes->begin(), bytes->begin() + static_cast<std::ptrdiff_t>(n))));
  kvmodel::SubMesh bad = ring(1, 4);
  bad.indices[2] = 4;
  EXPECT_FALSE(kvmodel::writeModel({{{0, {bad}}}}));
  bad = ring(1, 4);
  bad.texCoords.pop_back();
  EXPECT_FALSE(kvmodel::writeModel({{{0, {bad}}}}));
}

}  // namespace
