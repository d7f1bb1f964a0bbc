#include <gtest/gtest.h>

#include <vector>

#include "../../gles/context/GlContextFixture.h"
#include "FakeResources.h"
#include "memory/TraceCapture.h"
#include "tools/image/ImageWriter.h"
#include "zul/3d/GL3DServices.h"
#include "zul/3d/GL3DTexture.h"
#include "zul/io/BufferStream.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A size x size colour-mapped image whose pixel i (in file order) has index i % 256.
Bytes mappedImage(int size, const std::vector<uint32_t>& palette) {
  std::vector<uint8_t> indices(static_cast<size_t>(size) * size);
  for (size_t r = 0; r < static_cast<size_t>(size); ++r)
    for (size_t c = 0; c < static_cast<size_t>(size); ++c)
      indices[(size - 1 - r) * size + c] = static_cast<uint8_t>((r * size + c) % 256);  // top-down input
  return kvtools::writeTarga(size, size, palette, indices);
}

class Texture : public GlContextTest {
 protected:
  void SetUp() override {
    GlContextTest::SetUp();
    services.resourceManager = &res;
    setGL3DServices(&services);
  }
  void TearDown() override {
    setGL3DServices(nullptr);
    GlContextTest::TearDown();
  }
  // Loads bytes with the Targa loader; the stream is closed after an upload.
  bool loadTGA(GL3DTexture& t, Bytes bytes) {
    uint8_t none = 0;
    BufferStream s(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.empty() ? &none : bytes.data());
    const bool ok = t.loadTGA(s);
    EXPECT_EQ(s.isOpen(), !ok);
    return ok;
  }
  const TextureObject& object(const GL3DTexture& t) { return gl->m_textures[t.getName()]; }
  GLuint nextName() {
    GLuint n = 0;
    glGenTextures(1, &n);
    glDeleteTextures(1, &n);
    return n;
  }

  FakeResources res;
  GL3DServices services;
};

TEST_F(Texture, FreshTextureHasNoNameAndNoId) {
  GL3DTexture t;
  EXPECT_EQ(t.getName(), 0xFFFFFFFFu);
  EXPECT_EQ(t.getId(), -1);
  EXPECT_EQ(t.getFlags(), 0u);
}

TEST_F(Texture, TrueColourBecomes4444InFileOrder) {
  std::vector<uint32_t> pixels(32 * 32, 0xFF000000);
  pixels[31 * 32] = 0x78563412;  // bottom-left: the first pixel stored
  pixels[0] = 0x0FF0F00F;        // top-left: the first pixel of the last row stored
  GL3DTexture t;
  ASSERT_TRUE(loadTGA(t, kvtools::writeTargaTrueColour(32, 32, pixels)));
  EXPECT_EQ(t.getFlags(), GL3DTexture::kFlagTrueColour);
  ASSERT_NE(t.getName(), 0xFFFFFFFFu);
  const TextureObject& o = object(t);
  ASSERT_NE(o.texels, nullptr);
  EXPECT_EQ(o.size, 32);
  EXPECT_EQ(o.mode, kTexelRgba4444);
  EXPECT_EQ(o.texels[0], 0x5317);
  EXPECT_EQ(o.texels[1], 0x000F);
  EXPECT_EQ(o.texels[31 * 32], 0xFF00);
  EXPECT_EQ(GL3DTexture::toRgba4444(0x56, 0x34, 0x12, 0x78), 0x5317);
  t.bind();
  EXPECT_EQ(gl->m_boundTexture, &gl->m_textures[t.getName()]);
}

TEST_F(Texture, PaletteWithoutKeyIs565AndNeverZero) {
  std::vector<uint32_t> palette(256, 0x808080);
  palette[0] = 0x000000;
  palette[1] = 0xFFFFFF;
  palette[2] = 0x070307;  // rounds down to 0 as well
  palette[3] = 0xFF00FE;  // near the key but not it
  palette[4] = 0x123456;
  GL3DTexture t;
  ASSERT_TRUE(loadTGA(t, mappedImage(64, palette)));
  EXPECT_EQ(t.getFlags(), 0u);
  const TextureObject& o = object(t);
  EXPECT_EQ(o.mode, kTexelRgb565);
  const uint16_t expect[] = {0x0001, 0xFFFF, 0x0001, 0xF81F, 0x11AA};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(o.texels[i], expect[i]) << i;
  EXPECT_EQ(o.texels[256 + 1], 0xFFFF);
}

TEST_F(Texture, LastKeyEntryIsTransparentOthers5551) {
  std::vector<uint32_t> palette(256, 0x000000);
  palette[3] = 0xFF00FF;
  palette[7] = 0xFF00FF;
  palette[8] = 0x804020;
  GL3DTexture t;
  ASSERT_TRUE(loadTGA(t, mappedImage(128, palette)));
  const TextureObject& o = object(t);
  EXPECT_EQ(o.mode, kTexelRgba5551);
  EXPECT_EQ(o.texels[7], 0x0000);
  EXPECT_EQ(o.texels[3], 0xF83F);
  EXPECT_EQ(o.texels[8], 0x8209);
  EXPECT_EQ(o.texels[0], 0x0001);  // opaque black
}

TEST_F(Texture, IdFieldIsSkipped) {
  std::vector<uint32_t> palette(256, 0x000000);
  palette[5] = 0xFFFFFF;
  std::vector<uint8_t> indices(32 * 32, 5);
  GL3DTexture t;
  ASSERT_TRUE(loadTGA(t, kvtools::writeTarga(32, 32, palette, indices, "billiards")));
  EXPECT_EQ(object(t).texels[100], 0xFFFF);
}

TEST_F(Texture, BadFilesAreRefusedBeforeAnyGlCall) {
  const Bytes good = mappedImage(32, std::vector<uint32_t>(256, 0x102030));
  const Bytes goodTrue = kvtools::writeTargaTrueColour(32, 32, std::vector<uint32_t>(32 * 32, 0xFF102030));
  auto patch = [](Bytes b, size_t at, std::initializer_list<uint8_t> v) {
    for (uint8_t x : v) b[at++] = x;
    return b;
  };
  auto cut = [](const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n)); };
  const struct {
    const char* name;
    Bytes bytes;
    int line;  // the report expected, 0 for none
  } cases[] = {
      {"empty", {}, 0},
      {"header cut", cut(good, 17), 0},
      {"map cut", cut(good, 18 + 700), 0},
      {"pixels cut", cut(good, good.size() - 1), 0},
      {"true-colour pixels cut", cut(goodTrue, goodTrue.size() - 1), 0},
      {"ID field past the end", patch(cut(good, 18), 0, {40}), 0},
      {"width 48", patch(good, 12, {48, 0, 48, 0}), 0},
      {"not square", patch(good, 12, {64, 0, 32, 0}), 0},
      {"512", patch(good, 12, {0, 2, 0, 2}), 0},
      {"negative size", patch(good, 12, {0, 0x80, 0, 0x80}), 0},
      {"map length 255", patch(good, 5, {255, 0}), 210},
      {"map length 257", patch(good, 5, {1, 1}), 210},
      {"entry size 32", patch(good, 7, {32}), 208},
      {"first entry 1", patch(good, 3, {1, 0}), 209},
      {"mapped pixels of 16 bits", patch(good, 16, {16}), 0},
      {"true colour of 24 bits", patch(goodTrue, 16, {24}), 181},
      {"run-length type", patch(good, 2, {9}), 290},
      {"true colour with a map", patch(goodTrue, 1, {1}), 290},
      {"mapped without a map", patch(good, 1, {0}), 290},
  };
  const GLuint first = nextName();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TraceCapture cap;
    GL3DTexture t;
    EXPECT_FALSE(loadTGA(t, c.bytes));
    EXPECT_EQ(t.getName(), 0xFFFFFFFFu);
    EXPECT_EQ(nextName(), first);  // no name was generated
    if (c.line) EXPECT_TRUE(cap.reported(c.line, "GL3DTexture")) << cap.text;
    else EXPECT_EQ(cap.text.find("breakpoint"), std::string::npos) << cap.text;
  }
}

// The second loader's layout: width, height, count, count x (B, G, R, unused), indices.
Bytes paletteImage(int32_t w, int32_t h, const std::vector<uint32_t>& rgb, const Bytes& indices) {
  Bytes out;
  auto put = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put(static_cast<uint32_t>(w));
  put(static_cast<uint32_t>(h));
  put(static_cast<uint32_t>(rgb.size()));
  for (uint32_t c : rgb) put(c & 0xFFFFFF);
  out.insert(out.end(), indices.begin(), indices.end());
  return out;
}

TEST_F(Texture, SecondPaletteLoader) {
  Bytes indices(32 * 32, 0);
  indices[1] = 1;
  indices[2] = 2;
  const std::vector<uint32_t> rgb = {0xFF00FF, 0x804020, 0x000000};
  {
    Bytes b = paletteImage(32, 32, rgb, indices);
    BufferStream s(BufferStream::kRead, static_cast<int32_t>(b.size()), b.data());
    GL3DTexture t;
    ASSERT_TRUE(t.loadPalette(s));
    EXPECT_FALSE(s.isOpen());
    const TextureObject& o = object(t);
    EXPECT_EQ(o.mode, kTexelRgba5551);
    EXPECT_EQ(o.texels[0], 0x0000);
    EXPECT_EQ(o.texels[1], 0x8209);
    EXPECT_EQ(o.texels[2], 0x0001);
  }
  Bytes highIndex = indices;
  highIndex[500] = 3;
  const struct {
    const char* name;
    Bytes bytes;
  } bad[] = {
      {"not square", paletteImage(32, 64, rgb, Bytes(32 * 64, 0))},
      {"size 16", paletteImage(16, 16, rgb, Bytes(256, 0))},
      {"no colours", paletteImage(32, 32, {}, indices)},
      {"257 colours", paletteImage(32, 32, std::vector<uint32_t>(257, 1), indices)},
      {"index past the palette", paletteImage(32, 32, rgb, highIndex)},
      {"pixels cut", paletteImage(32, 32, rgb, Bytes(32 * 32 - 1, 0))},
      {"header cut", Bytes{32, 0, 0, 0, 32}},
  };
  const GLuint first = nextName();
  for (const auto& c : bad) {
    SCOPED_TRACE(c.name);
    Bytes b = c.bytes;
    BufferStream s(BufferStream::kRead, static_cast<int32_t>(b.size()), b.data());
    GL3DTexture t;
    EXPECT_FALSE(t.loadPalette(s));
    EXPECT_EQ(nextName(), first);
  }
}

class TextureManager : public Texture {
 protected:
  void addTexture(uint32_t id, uint32_t colour) {
    res.files[id] = mappedImage(32, std::vector<uint32_t>(256, colour));
  }
};

TEST_F(TextureManager, OneTexturePerIdLoadedOnce) {
  addTexture(4, 0xFFFFFF);
  addTexture(9, 0x000000);
  GL3DTextureManager m;
  GL3DTexture* a = m.getTexture(4);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(m.getTexture(4), a);
  EXPECT_EQ(res.opens, 1);
  EXPECT_EQ(m.getCount(), 1);
  EXPECT_EQ(a->getId(), 4);
  EXPECT_EQ(object(*a).texels[0], 0xFFFF);
  EXPECT_EQ(static_cast<ManagedResource<GL3DTexture>*>(a)->refCount, 1);

  const GLuint name = a->getName();
  m.release(a);
  EXPECT_EQ(m.getCount(), 1);
  EXPECT_EQ(m.getSlot(0), nullptr);
  EXPECT_FALSE(gl->m_textures[name].inUse);
  EXPECT_TRUE(res.stored.empty());
  EXPECT_EQ(res.closes, 1);
  m.release(nullptr);

  GL3DTexture* b = m.getTexture(9);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(m.getSlot(1), b);  // the emptied slot waits for releaseAll
  EXPECT_EQ(m.getCount(), 2);
  GL3DTexture* again = m.getTexture(4);
  EXPECT_EQ(m.getSlot(2), again);
  EXPECT_EQ(res.opens, 3);
}

TEST_F(TextureManager, ReleaseAllFreesNamesTheDestructorDoesNot) {
  for (uint32_t id = 0; id < 3; ++id) addTexture(id, 0x203040 * id);
  std::vector<GLuint> names;
  {
    GL3DTextureManager m;
    for (int32_t id = 0; id < 3; ++id) names.push_back(m.getTexture(id)->getName());
    m.releaseAll();
    EXPECT_EQ(m.getCount(), 0);
    for (GLuint n : names) EXPECT_FALSE(gl->m_textures[n].inUse) << n;
    EXPECT_TRUE(res.stored.empty());
    EXPECT_EQ(res.closes, 3);
    names.clear();
    for (int32_t id = 0; id < 3; ++id) names.push_back(m.getTexture(id)->getName());
    EXPECT_EQ(m.getSlot(0)->getId(), 0);
    EXPECT_EQ(m.getCount(), 3);
  }
  for (GLuint n : names) EXPECT_TRUE(gl->m_textures[n].inUse) << n;
  EXPECT_TRUE(res.stored.empty());
  EXPECT_EQ(res.closes, 6);
}

TEST_F(TextureManager, FiftySlotsThenOnlyEmptiedOnes) {
  for (uint32_t id = 0; id < 52; ++id) addTexture(id, id);
  GL3DTextureManager m;
  for (int32_t id = 0; id < 50; ++id) ASSERT_NE(m.getTexture(id), nullptr) << id;
  TraceCapture cap;
  EXPECT_EQ(m.getTexture(50), nullptr);
  EXPECT_TRUE(cap.reported(74, "GL3DTextureManager"));
  EXPECT_EQ(res.opens, 50);
  cap.clear();
  EXPECT_EQ(m.getTexture(7)->getId(), 7);  // reported, and still found
  EXPECT_TRUE(cap.reported(74, "GL3DTextureManager"));
  m.release(m.getSlot(20));
  GL3DTexture* t = m.getTexture(50);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(m.getSlot(20), t);
  EXPECT_EQ(m.getCount(), 50);
  EXPECT_EQ(m.getTexture(51), nullptr);
  m.releaseAll();
  EXPECT_TRUE(res.stored.empty());
}

TEST_F(TextureManager, UnloadableTexturesTakeNoSlot) {
  res.files[1] = Bytes{1, 2, 3};
  addTexture(2, 0xFFFFFF);
  GL3DTextureManager m;
  EXPECT_EQ(m.getTexture(1), nullptr);
  EXPECT_EQ(m.getTexture(3), nullptr);  // no such resource
  EXPECT_EQ(m.getCount(), 0);
  EXPECT_TRUE(res.stored.empty());
  EXPECT_EQ(res.closes, 1);
  EXPECT_NE(m.getTexture(2), nullptr);
  EXPECT_EQ(m.getCount(), 1);
  // Without a resource manager nothing loads.
  setGL3DServices(nullptr);
  EXPECT_EQ(m.getTexture(5), nullptr);
  setGL3DServices(&services);
}

}  // namespace
