#include <cstring>
#include <vector>

#include "GlContextFixture.h"
#include "zul/memory/MemoryManager.h"

namespace {

using TextureTest = GlContextTest;

GLuint genOne() {
  GLuint name = 0xDEAD;
  glGenTextures(1, &name);
  return name;
}

// A bound texture of the given size, filled with 565 texels f(i).
template <class F>
GLuint makeTexture(int size, F f) {
  const GLuint name = genOne();
  glBindTexture(GL_TEXTURE_2D, name);
  std::vector<uint16_t> pixels(static_cast<size_t>(size) * size);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = f(i);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size, size, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels.data());
  return name;
}

TEST_F(TextureTest, NamesReuseTheLowestFree) {
  EXPECT_EQ(genOne(), 1u);
  EXPECT_EQ(genOne(), 2u);
  EXPECT_EQ(genOne(), 3u);
  const GLuint two = 2;
  glDeleteTextures(1, &two);
  EXPECT_EQ(genOne(), 2u);
  EXPECT_EQ(genOne(), 4u);

  GLuint names[300];
  for (GLuint& n : names) n = 0;
  glGenTextures(300, names);
  EXPECT_EQ(names[0], 5u);
  EXPECT_EQ(names[250], 255u);
  EXPECT_EQ(names[251], 0u);  // none left: unwritten
  EXPECT_EQ(genOne(), 0xDEADu);
  glDeleteAllTextures();
  EXPECT_EQ(genOne(), 1u);
}

TEST_F(TextureTest, BindAndDelete) {
  const GLuint name = makeTexture(32, [](size_t i) { return static_cast<uint16_t>(i); });
  TextureObject& t = gl->m_textures[name];
  EXPECT_EQ(gl->m_boundTexture, &t);
  EXPECT_EQ(gl->m_texelCache, t.texels);
  glBindTexture(GL_TEXTURE_2D, 0);
  EXPECT_EQ(gl->m_boundTexture, nullptr);
  EXPECT_EQ(gl->m_texelCache, nullptr);
  glBindTexture(GL_TEXTURE_2D, name);
  // Names beyond the table are ignored.
  glBindTexture(GL_TEXTURE_2D, 256);
  glBindTexture(GL_TEXTURE_2D, 0xFFFFFFFFu);
  EXPECT_EQ(gl->m_boundTextureName, name);
  const GLuint bad[] = {256, 1000, 0};
  glDeleteTextures(3, bad);
  EXPECT_NE(t.texels, nullptr);
  // Deleting the bound texture unbinds it.
  glDeleteTextures(1, &name);
  EXPECT_EQ(t.texels, nullptr);
  EXPECT_EQ(t.inUse, 0);
  EXPECT_EQ(t.size, 32);  // size and index are kept
  EXPECT_EQ(gl->m_boundTextureName, 0u);
  EXPECT_EQ(gl->m_boundTexture, nullptr);
  EXPECT_EQ(gl->m_texelCache, nullptr);
}

TEST_F(TextureTest, SizeIndexBySize) {
  const int sizes[] = {32, 64, 128, 256};
  for (int k = 0; k < 4; ++k) {
    const GLuint name = makeTexture(sizes[k], [](size_t i) { return static_cast<uint16_t>(i * 7); });
    const TextureObject& t = gl->m_textures[name];
    EXPECT_EQ(t.size, sizes[k]);
    EXPECT_EQ(t.sizeIndex, k);
    EXPECT_EQ(t.mode, kTexelRgb565);
    ASSERT_NE(t.texels, nullptr);
    EXPECT_EQ(t.texels[sizes[k] * sizes[k] - 1], static_cast<uint16_t>((sizes[k] * sizes[k] - 1) * 7));
  }
}

TEST_F(TextureTest, DirectFormats) {
  const uint16_t src[] = {0x1234, 0x1235, 0x0000, 0xFFFF, 0x0001, 0xFFFE};
  struct Case {
    GLenum type;
    int32_t mode;
    uint16_t expect[6];
  };
  const Case cases[] = {
      {GL_UNSIGNED_SHORT_5_6_5, kTexelRgb565, {0x1234, 0x1235, 0, 0xFFFF, 0x0001, 0xFFFE}},
      {GL_UNSIGNED_SHORT_4_4_4_4, kTexelRgba4444, {0x1234, 0x1235, 0, 0xFFFF, 0x0001, 0xFFFE}},
      {GL_UNSIGNED_SHORT_5_5_5_1, kTexelRgba5551, {0, 0x1235, 0, 0xFFFF, 0x0001, 0}},
  };
  std::vector<uint16_t> pixels(32 * 32, 0x4321);
  std::memcpy(pixels.data(), src, sizeof src);
  for (const Case& c : cases) {
    const GLuint name = genOne();
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 32, 32, 0, GL_RGBA, c.type, pixels.data());
    const TextureObject& t = gl->m_textures[name];
    EXPECT_EQ(t.mode, c.mode);
    ASSERT_NE(t.texels, nullptr);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(t.texels[i], c.expect[i]) << std::hex << c.type << " " << i;
  }
}

std::vector<uint8_t> paletted(int bits, int size, const std::vector<uint16_t>& palette,
                              const std::vector<uint8_t>& firstIndices) {
  const size_t entries = bits == 4 ? 16 : 256;
  const size_t indexBytes = bits == 4 ? size * size / 2 : size * size;
  std::vector<uint8_t> data(entries * 2 + indexBytes, 0);
  for (size_t i = 0; i < entries && i < palette.size(); ++i) std::memcpy(&data[i * 2], &palette[i], 2);
  std::memcpy(&data[entries * 2], firstIndices.data(), firstIndices.size());
  return data;
}

TEST_F(TextureTest, Palette4IndexOrder) {
  const std::vector<uint16_t> palette = {0xAAAA, 0x1111, 0x2222, 0x3333};
  const std::vector<uint8_t> data = paletted(4, 32, palette, {0x21, 0x03});
  const GLuint name = genOne();
  glBindTexture(GL_TEXTURE_2D, name);
  glCompressedTexImage2D(GL_TEXTURE_2D, 0, GL_PALETTE4_R5_G6_B5_OES, 32, 32, 0,
                         static_cast<GLsizei>(data.size()), data.data());
  const TextureObject& t = gl->m_textures[name];
  ASSERT_NE(t.texels, nullptr);
  EXPECT_EQ(t.mode, kTexelRgb565);
  EXPECT_EQ(t.sizeIndex, 0);
  EXPECT_EQ(t.texels[0], 0x1111);  // low nibble first
  EXPECT_EQ(t.texels[1], 0x2222);
  EXPECT_EQ(t.texels[2], 0x3333);
  EXPECT_EQ(t.texels[3], 0xAAAA);
  EXPECT_EQ(t.texels[32 * 32 - 1], 0xAAAA);
  EXPECT_EQ(gl->m_texelCache, t.texels);
}

TEST_F(TextureTest, PalettedFormats) {
  std::vector<uint16_t> palette(256);
  for (int i = 0; i < 256; ++i) palette[i] = static_cast<uint16_t>(0x0100 * i + i);  // bit 0 = i & 1
  struct Case {
    GLenum format;
    int bits;
    int32_t mode;
  };
  const Case cases[] = {
      {GL_PALETTE4_R5_G6_B5_OES, 4, kTexelRgb565}, {GL_PALETTE4_RGBA4_OES, 4, kTexelRgba4444},
      {GL_PALETTE4_RGB5_A1_OES, 4, kTexelRgba5551}, {GL_PALETTE8_R5_G6_B5_OES, 8, kTexelRgb565},
      {GL_PALETTE8_RGBA4_OES, 8, kTexelRgba4444},   {GL_PALETTE8_RGB5_A1_OES, 8, kTexelRgba5551},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> idx = c.bits == 4 ? std::vector<uint8_t>{0x32, 0xF5}
                                                 : std::vector<uint8_t>{0x02, 0x03, 0xF5, 0xFF};
    const std::vector<uint8_t> data = paletted(c.bits, 64, palette, idx);
    const GLuint name = genOne();
    glBindTexture(GL_TEXTURE_2D, name);
    glCompressedTexImage2D(GL_TEXTURE_2D, 0, c.format, 64, 64, 0, static_cast<GLsizei>(data.size()), data.data());
    const TextureObject& t = gl->m_textures[name];
    ASSERT_NE(t.texels, nullptr) << std::hex << c.format;
    EXPECT_EQ(t.mode, c.mode);
    EXPECT_EQ(t.sizeIndex, 1);
    const int expectIdx[4] = {2, 3, c.bits == 4 ? 5 : 0xF5, c.bits == 4 ? 15 : 0xFF};
    for (int i = 0; i < 4; ++i) {
      uint16_t e = palette[expectIdx[i]];
      if (c.mode == kTexelRgba5551 && !(e & 1)) e = 0;
      EXPECT_EQ(t.texels[i], e) << std::hex << c.format << " " << i;
    }
  }
}

TEST_F(TextureTest, BadUploadsAreRefused) {
  std::vector<uint16_t> pixels(256 * 256, 0x1234);
  const GLuint name = genOne();
  // No bound texture.
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 32, 32, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels.data());
  glBindTexture(GL_TEXTURE_2D, name);
  const TextureObject& t = gl->m_textures[name];
  // Unsupported sizes, non-square, unknown types, no data.
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 48, 48, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels.data());
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 16, 16, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels.data());
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 512, 512, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels.data());
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 64, 32, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels.data());
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, -32, -32, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels.data());
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 32, 32, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 32, 32, 0, GL_RGB, 0, pixels.data());
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 32, 32, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, nullptr);
  // Compressed: too short, unknown format, not square.
  const std::vector<uint8_t> data = paletted(4, 32, {1, 2}, {0x10});
  const GLsizei n = static_cast<GLsizei>(data.size());
  glCompressedTexImage2D(GL_TEXTURE_2D, 0, GL_PALETTE4_R5_G6_B5_OES, 32, 32, 0, n - 1, data.data());
  glCompressedTexImage2D(GL_TEXTURE_2D, 0, GL_PALETTE8_R5_G6_B5_OES, 32, 32, 0, n, data.data());
  glCompressedTexImage2D(GL_TEXTURE_2D, 0, GL_PALETTE4_RGB8_OES, 32, 32, 0, n, data.data());
  glCompressedTexImage2D(GL_TEXTURE_2D, 0, GL_PALETTE4_R5_G6_B5_OES, 32, 64, 0, n, data.data());
  glCompressedTexImage2D(GL_TEXTURE_2D, 0, GL_PALETTE4_R5_G6_B5_OES, 32, 32, 0, -1, data.data());
  EXPECT_EQ(t.texels, nullptr);
  EXPECT_EQ(t.size, 0);
  EXPECT_EQ(gl->m_texelCache, nullptr);
  glCompressedTexImage2D(GL_TEXTURE_2D, 0, GL_PALETTE4_R5_G6_B5_OES, 32, 32, 0, n, data.data());
  ASSERT_NE(t.texels, nullptr);
  EXPECT_EQ(t.texels[0], 1);  // index byte 0x10: entry 0, then entry 1
  EXPECT_EQ(t.texels[1], 2);
  // A refused upload leaves the previous texels in place.
  const uint16_t* before = t.texels;
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 48, 48, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels.data());
  EXPECT_EQ(t.texels, before);
  EXPECT_EQ(t.size, 32);
}

TEST_F(TextureTest, UploadOverTexelsFreesThemFirst) {
  CMemoryManager* mm = getMemoryManager();
  if (!mm) GTEST_SKIP() << "no memory manager";
  std::vector<uint16_t> pixels(128 * 128, 0x1234);
  const GLuint name = genOne();
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 128, 128, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels.data());
  const int32_t once = mm->currentTotal();
  for (int i = 0; i < 5; ++i)
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 128, 128, 0, GL_RGB, GL_UNSIGNED_SHORT_4_4_4_4, pixels.data());
  EXPECT_EQ(mm->currentTotal(), once);
  EXPECT_EQ(gl->m_texelCache, gl->m_textures[name].texels);
  glDeleteAllTextures();
  EXPECT_EQ(mm->currentTotal(), once - 128 * 128 * 2);
}

TEST_F(TextureTest, PackHalvesRowMapping) {
  const GLuint dest = makeTexture(256, [](size_t) { return uint16_t{0x7777}; });
  const GLuint left = makeTexture(128, [](size_t i) { return static_cast<uint16_t>(i); });
  const GLuint right = makeTexture(128, [](size_t i) { return static_cast<uint16_t>(0x8000 | i); });
  glTexPackHalves(GL_TEXTURE_2D, dest, left, right);
  EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
  const uint16_t* d = gl->m_textures[dest].texels;
  for (int row = 0; row < 256; ++row) {
    for (int col = 0; col < 256; col += 17) {
      uint16_t e = 0x7777;
      if (row >= 128) {
        const int i = row - 128;
        e = col < 128 ? static_cast<uint16_t>(i * 128 + col) : static_cast<uint16_t>(0x8000 | (i * 128 + col - 128));
      }
      ASSERT_EQ(d[row * 256 + col], e) << row << "," << col;
    }
  }
  EXPECT_EQ(d[255 * 256 + 255], static_cast<uint16_t>(0x8000 | (127 * 128 + 127)));
}

TEST_F(TextureTest, PackHalvesChecksItsObjects) {
  const GLuint dest = makeTexture(256, [](size_t) { return uint16_t{0x7777}; });
  const GLuint half = makeTexture(128, [](size_t) { return uint16_t{1}; });
  const GLuint small = makeTexture(64, [](size_t) { return uint16_t{2}; });
  const GLuint empty = genOne();
  const GLuint calls[][3] = {
      {dest, half, small}, {dest, small, half}, {half, half, half}, {dest, half, empty},
      {dest, dest, half},  {dest, half, 300},   {999, half, half},  {empty, half, half},
  };
  for (const auto& c : calls) glTexPackHalves(GL_TEXTURE_2D, c[0], c[1], c[2]);
  const uint16_t* d = gl->m_textures[dest].texels;
  for (int i = 0; i < 256 * 256; ++i) ASSERT_EQ(d[i], 0x7777) << i;
  EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
}

}  // namespace

namespace {

// A textured triangle over the middle of a 32x32 surface without depth.
class QueuedTextureTest : public GlContextTest {
 protected:
  void SetUp() override {
    GlContextTest::SetUp();
    const EGLint attribs[] = {0};
    const EGLint noDepth[] = {EGL_DEPTH_SIZE, 0, 0};
    eglInitialize((32 << 16) | 32, nullptr, nullptr);
    EGLConfig config;
    EGLint count;
    eglChooseConfig(0, noDepth, &config, 1, &count);
    ASSERT_EQ(eglCreateWindowSurface(0, config, window, attribs), 1);
    glViewport(0, 0, 32, 32);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustumx(-16384, 16384, -16384, 16384, 16384, 100 * 16384);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColorx(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  void TearDown() override {
    eglTerminate(0);
    GlContextTest::TearDown();
  }
  GLuint upload(uint16_t colour) {
    std::vector<uint16_t> pixels(32 * 32, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 32, 32, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels.data());
    return gl->m_boundTextureName;
  }
  void drawTriangle() {
    static const GLfixed verts[] = {-16384, -16384, -2 * 16384, 16384, -16384, -2 * 16384, 0, 16384, -2 * 16384};
    static const GLfixed uv[] = {0, 0, 8192, 0, 4096, 8192};
    static const GLushort idx[] = {0, 1, 2};
    glVertexPointer(3, GL_FIXED, 0, verts);
    glTexCoordPointer(2, GL_FIXED, 0, uv);
    glDrawElements(GL_TRIANGLES, 3, GL_UNSIGNED_SHORT, idx);
  }
  uint16_t centre() {
    eglSwapBuffers(0, 1);
    return window[16 * 32 + 16];
  }
  uint16_t window[32 * 32] = {};
};

TEST_F(QueuedTextureTest, DeletingATextureBeforeTheFlushKeepsItsTexelsForTheFlush) {
  glBindTexture(GL_TEXTURE_2D, genOne());
  const GLuint name = upload(0xF800);
  drawTriangle();
  glDeleteTextures(1, &name);
  EXPECT_EQ(gl->m_textures[name].texels, nullptr);
  glFlush();
  EXPECT_EQ(centre(), 0xF800);
}

TEST_F(QueuedTextureTest, ReuploadBeforeTheFlushDrawsEachCallWithItsImage) {
  glBindTexture(GL_TEXTURE_2D, genOne());
  upload(0x07E0);
  drawTriangle();
  upload(0x001F);  // replaces the image the queued triangle draws from
  glFlush();
  EXPECT_EQ(centre(), 0x07E0);
  drawTriangle();
  glFlush();
  EXPECT_EQ(centre(), 0x001F);
  glDeleteAllTextures();
  EXPECT_EQ(gl->m_retiredCount, 0);
}

}  // namespace
