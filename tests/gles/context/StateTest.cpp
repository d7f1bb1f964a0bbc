#include <cstring>

#include "GlContextFixture.h"

namespace {

using StateTest = GlContextTest;

TEST_F(StateTest, ConstructorDefaults) {
  EXPECT_EQ(gl->m_matrixMode, GLenum{GL_MODELVIEW});
  EXPECT_EQ(gl->m_depthRangeFar, 16384);
  EXPECT_EQ(gl->m_shadeModel, GLenum{GL_SMOOTH});
  EXPECT_EQ(gl->m_frontFace, GLenum{GL_CCW});
  EXPECT_EQ(gl->m_cullFaceMode, GLenum{GL_BACK});
  EXPECT_EQ(gl->m_alphaFunc, GLenum{GL_ALWAYS});
  EXPECT_EQ(gl->m_depthFunc, GLenum{GL_LESS});
  EXPECT_EQ(gl->m_blendSrc, GLenum{GL_ONE});
  EXPECT_EQ(gl->m_blendDst, GLenum{GL_ZERO});
  EXPECT_EQ(gl->m_clearDepth, 16383);
  EXPECT_EQ(gl->m_colorMask, 1);
  EXPECT_EQ(gl->m_depthWrite, 1);
  EXPECT_EQ(gl->m_capFrustumClip, 1);
  EXPECT_EQ(gl->m_capFixedDivisor | gl->m_capBlend | gl->m_capDepthTest | gl->m_capTexture2D, 0);
  EXPECT_EQ(gl->m_modelviewTop, &gl->m_modelview[0]);
  EXPECT_EQ(gl->m_modelviewCapacity, 16);
  for (const Matrix34& m : gl->m_modelview) EXPECT_EQ(m, Matrix34());
  EXPECT_EQ(gl->m_buckets.lowest, 4097);
  EXPECT_EQ(gl->m_colorBuffer, nullptr);
}

TEST_F(StateTest, ColoursAreStoredAsClampedBytes) {
  struct Case {
    GLfixed r, g, b, a;
    int32_t er, eg, eb, ea;
  };
  const Case cases[] = {
      {16384, 8192, 0, 16384, 255, 127, 0, 255},
      {-1, 16385, 1 << 30, -(1 << 30), 0, 255, 255, 0},
      {4096, 12288, 64, 16383, 63, 191, 0, 254},
  };
  for (const Case& c : cases) {
    glColor4x(c.r, c.g, c.b, c.a);
    EXPECT_EQ(gl->m_colorRed, c.er);
    EXPECT_EQ(gl->m_colorGreen, c.eg);
    EXPECT_EQ(gl->m_colorBlue, c.eb);
    EXPECT_EQ(gl->m_colorAlpha, c.ea);
    glClearColorx(c.r, c.g, c.b, c.a);
    EXPECT_EQ(gl->m_clearRed, c.er);
    EXPECT_EQ(gl->m_clearGreen, c.eg);
    EXPECT_EQ(gl->m_clearBlue, c.eb);
    EXPECT_EQ(gl->m_clearAlpha, c.ea);
  }
}

TEST_F(StateTest, ClearDepthStaysBelowOne) {
  const GLclampx in[] = {16384, 16383, 8192, 0, -5, 1 << 20};
  const Q14 out[] = {16383, 16383, 8192, 0, 0, 16383};
  for (size_t i = 0; i < sizeof in / sizeof in[0]; ++i) {
    glClearDepthx(in[i]);
    EXPECT_EQ(gl->m_clearDepth, out[i]) << in[i];
  }
}

TEST_F(StateTest, ErrorIsLatchedUntilRead) {
  glBindTexture(GL_TEXTURE_2D, 5);
  glBindTexture(GL_TEXTURE_2D + 1, 7);
  EXPECT_EQ(gl->m_boundTextureName, 5u);
  EXPECT_EQ(glGetError(), GLenum{GL_INVALID_ENUM});
  EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});

  glActiveTexture(GL_TEXTURE0);
  glClientActiveTexture(GL_TEXTURE0);
  EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
  glActiveTexture(GL_TEXTURE1);
  EXPECT_EQ(glGetError(), GLenum{0x500});
  glClientActiveTexture(GL_TEXTURE1);
  EXPECT_EQ(glGetError(), GLenum{0x500});
  glTexPackHalves(GL_TEXTURE_2D + 1, 1, 2, 3);
  EXPECT_EQ(glGetError(), GLenum{0x500});
  // Other wrong enums are ignored silently.
  glEnable(0x1234);
  glEnableClientState(0x1234);
  glHint(0x1234, GL_NICEST);
  EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
}

TEST_F(StateTest, IntegerQueries) {
  struct Case {
    GLenum pname;
    GLint v0, v1;
  };
  const Case cases[] = {
      {GL_MAX_TEXTURE_SIZE, 256, -7},
      {GL_MAX_MODELVIEW_STACK_DEPTH, 16, -7},
      {GL_MAX_PROJECTION_STACK_DEPTH, 2, -7},
      {GL_MAX_TEXTURE_STACK_DEPTH, 2, -7},
      {GL_MAX_VIEWPORT_DIMS, 512, 512},
      {GL_SUBPIXEL_BITS, 4, -7},
      {GL_SMOOTH_POINT_SIZE_RANGE, 1, 1},
      {GL_SMOOTH_LINE_WIDTH_RANGE, 1, 1},
      {GL_ALIASED_POINT_SIZE_RANGE, 1, 1},
      {GL_ALIASED_LINE_WIDTH_RANGE, 1, 1},
      {GL_MAX_TEXTURE_UNITS, 1, -7},
      {GL_MAX_LIGHTS, -7, -7},
      {GL_DEPTH_BITS, -7, -7},
  };
  for (const Case& c : cases) {
    GLint v[2] = {-7, -7};
    glGetIntegerv(c.pname, v);
    EXPECT_EQ(v[0], c.v0) << std::hex << c.pname;
    EXPECT_EQ(v[1], c.v1) << std::hex << c.pname;
  }
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, nullptr);
}

TEST_F(StateTest, Strings) {
  auto str = [](GLenum n) { return reinterpret_cast<const char*>(glGetString(n)); };
  EXPECT_STREQ(str(GL_VENDOR), "PELLORAN");
  EXPECT_STREQ(str(GL_RENDERER), "SOFTWARE");
  EXPECT_STREQ(str(GL_VERSION), "1.0");
  EXPECT_STREQ(str(GL_EXTENSIONS), "NONE");
  EXPECT_EQ(str(0x1F04), nullptr);
  EXPECT_EQ(glGetString(GL_VENDOR), glGetString(GL_VENDOR));
}

TEST_F(StateTest, CapabilitiesAndClientStates) {
  struct Cap {
    GLenum cap;
    uint8_t GlContext::*flag;
  };
  const Cap caps[] = {
      {GL_ALPHA_TEST, &GlContext::m_capAlphaTest},
      {GL_BLEND, &GlContext::m_capBlend},
      {GL_CULL_FACE, &GlContext::m_capCullFace},
      {GL_DEPTH_TEST, &GlContext::m_capDepthTest},
      {GL_POLYGON_OFFSET_FILL, &GlContext::m_capPolygonOffsetFill},
      {GL_TEXTURE_2D, &GlContext::m_capTexture2D},
      {0x80A1, &GlContext::m_capFixedDivisor},
      {0x80A2, &GlContext::m_capFrustumClip},
      {GL_VERTEX_ARRAY, &GlContext::m_vertexArrayEnabled},
      {GL_COLOR_ARRAY, &GlContext::m_colorArrayEnabled},
      {GL_TEXTURE_COORD_ARRAY, &GlContext::m_texCoordArrayEnabled},
  };
  for (size_t i = 0; i < sizeof caps / sizeof caps[0]; ++i) {
    const bool client = i >= 8;
    client ? glEnableClientState(caps[i].cap) : glEnable(caps[i].cap);
    EXPECT_EQ(gl->*caps[i].flag, 1) << i;
    client ? glDisableClientState(caps[i].cap) : glDisable(caps[i].cap);
    EXPECT_EQ(gl->*caps[i].flag, 0) << i;
  }
  // Client states are not capabilities, and the other way round.
  glEnable(GL_VERTEX_ARRAY);
  glEnableClientState(GL_BLEND);
  glEnable(GL_LIGHTING);
  EXPECT_EQ(gl->m_vertexArrayEnabled, 0);
  EXPECT_EQ(gl->m_capBlend, 0);
}

TEST_F(StateTest, StoredEntries) {
  glColorMask(0, 0, 0, 0);
  EXPECT_EQ(gl->m_colorMask, 0);
  glColorMask(0, 0, 1, 0);
  EXPECT_EQ(gl->m_colorMask, 1);
  glDepthMask(GL_FALSE);
  EXPECT_EQ(gl->m_depthWrite, 0);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  EXPECT_EQ(gl->m_perspective, 1);
  glHint(GL_FOG_HINT, GL_FASTEST);
  EXPECT_EQ(gl->m_perspective, 1);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_DONT_CARE);
  EXPECT_EQ(gl->m_perspective, 0);

  const int32_t verts[3] = {};
  glVertexPointer(3, GL_FIXED, 24, verts);
  glTexCoordPointer(2, GL_FIXED, 16, verts + 1);
  glColorPointer(4, GL_UNSIGNED_BYTE, 8, verts + 2);
  EXPECT_EQ(gl->m_vertexStride, 24);
  EXPECT_EQ(gl->m_vertexPointer, verts);
  EXPECT_EQ(gl->m_texCoordStride, 16);
  EXPECT_EQ(gl->m_texCoordPointer, verts + 1);
  EXPECT_EQ(gl->m_colorStride, 8);
  EXPECT_EQ(gl->m_colorPointer, verts + 2);

  glPolygonOffsetx(3, -200);
  EXPECT_EQ(gl->m_polygonOffsetUnits, -200);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  EXPECT_EQ(gl->m_blendSrc, GLenum{GL_SRC_ALPHA});
  EXPECT_EQ(gl->m_blendDst, GLenum{GL_ONE_MINUS_SRC_ALPHA});
  glCullFace(GL_FRONT_AND_BACK);
  EXPECT_EQ(gl->m_cullFaceMode, GLenum{GL_FRONT_AND_BACK});
}

TEST_F(StateTest, Viewport) {
  glViewport(0, 0, 56, 104);
  EXPECT_EQ(gl->m_viewportHalfWidth, 28);
  EXPECT_EQ(gl->m_viewportHalfHeight, 52);
  EXPECT_EQ(gl->m_viewportCentreX, (28 << 14) + 8192);
  EXPECT_EQ(gl->m_viewportCentreY, (52 << 14) + 8192);
  glViewport(3, 5, 7, 9);
  EXPECT_EQ(gl->m_viewportHalfWidth, 3);
  EXPECT_EQ(gl->m_viewportHalfHeight, 4);
  EXPECT_EQ(gl->m_viewportCentreX, (6 << 14) + 8192);
  EXPECT_EQ(gl->m_viewportCentreY, (9 << 14) + 8192);
  glViewport(-2, 0, -10, 4);
  EXPECT_EQ(gl->m_viewportWidth, 0);
  EXPECT_EQ(gl->m_viewportCentreX, (-2 * 16384) + 8192);
}

Matrix34 sampleMatrix() {
  Matrix34 m;
  m.setAxisRotation(30 << 14, 1 << 14, 2 << 14, 3 << 14);
  m.m[9] = 5 << 14;
  m.m[10] = -7 << 14;
  m.m[11] = 123;
  return m;
}

TEST_F(StateTest, PushCopiesAndPopRestoresExactly) {
  const Matrix34 a = sampleMatrix();
  glLoadMatrixx(a.m);
  EXPECT_EQ(*gl->m_modelviewTop, a);
  glPushMatrix();
  EXPECT_EQ(gl->m_modelviewDepth, 1);
  EXPECT_EQ(*gl->m_modelviewTop, a);
  glRotatex(45 << 14, 0, 16384, 0);
  glTranslatex(1, 2, 3);
  EXPECT_NE(*gl->m_modelviewTop, a);
  glPopMatrix();
  EXPECT_EQ(gl->m_modelviewDepth, 0);
  EXPECT_EQ(gl->m_modelviewTop, &gl->m_modelview[0]);
  EXPECT_EQ(*gl->m_modelviewTop, a);
}

TEST_F(StateTest, StackRefusesOverflowAndUnderflow) {
  glPopMatrix();
  EXPECT_EQ(gl->m_modelviewDepth, 0);
  EXPECT_EQ(gl->m_modelviewTop, &gl->m_modelview[0]);
  for (int i = 0; i < 20; ++i) glPushMatrix();
  EXPECT_EQ(gl->m_modelviewDepth, 15);
  EXPECT_EQ(gl->m_modelviewTop, &gl->m_modelview[15]);
  for (int i = 0; i < 20; ++i) glPopMatrix();
  EXPECT_EQ(gl->m_modelviewDepth, 0);
  EXPECT_EQ(gl->m_modelviewTop, &gl->m_modelview[0]);
}

TEST_F(StateTest, TransformsMultiplyOnTheRight) {
  const Matrix34 a = sampleMatrix();
  glLoadMatrixx(a.m);
  glTranslatex(1 << 14, 2 << 14, -3 << 14);
  Matrix34 t;
  t.setTranslation(1 << 14, 2 << 14, -3 << 14);
  Matrix34 expected = a * t;
  EXPECT_EQ(*gl->m_modelviewTop, expected);

  glScalex(2 << 14, 8192, 16384);
  Matrix34 s;
  s.setScale(2 << 14, 8192, 16384);
  expected = expected * s;
  EXPECT_EQ(*gl->m_modelviewTop, expected);

  glRotatex(-(90 << 14), 0, 0, 3 << 14);
  Matrix34 r;
  r.setAxisRotation(-(90 << 14), 0, 0, 3 << 14);
  expected = expected * r;
  EXPECT_EQ(*gl->m_modelviewTop, expected);

  glMultMatrixx(a.m);
  expected = expected * a;
  EXPECT_EQ(*gl->m_modelviewTop, expected);

  glLoadIdentity();
  EXPECT_EQ(*gl->m_modelviewTop, Matrix34());
}

TEST_F(StateTest, MatrixCallsOutsideModelviewChangeNothing) {
  const Matrix34 a = sampleMatrix();
  glLoadMatrixx(a.m);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glRotatex(10 << 14, 16384, 0, 0);
  glTranslatex(1, 1, 1);
  glScalex(2, 2, 2);
  glMultMatrixx(a.m);
  glLoadMatrixx(Matrix34().m);
  glPushMatrix();
  EXPECT_EQ(gl->m_modelviewDepth, 0);
  EXPECT_EQ(*gl->m_modelviewTop, a);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glMatrixMode(GL_TEXTURE);
  glPopMatrix();
  EXPECT_EQ(gl->m_modelviewDepth, 1);
}

TEST(GlEntryPoints, WithoutContextDoNothing) {
  setCurrentGlContext(nullptr);
  glColor4x(1, 2, 3, 4);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
  EXPECT_EQ(glGetString(GL_VENDOR), nullptr);
  EXPECT_EQ(eglGetProcAddress("eglGetColorBufferPELLORAN"), nullptr);
}

}  // namespace
