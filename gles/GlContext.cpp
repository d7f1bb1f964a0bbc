// Context construction and the state entry points.
#include "gles/GlContext.h"

#include <cstring>

#include "zul/memory/Memory.h"

namespace {

// Q14 colour to a byte: clamped to 0..1.0 first.
int32_t colourByte(GLfixed c) {
  if (c < 0) c = 0;
  if (c > kQ14One) c = kQ14One;
  return (c * 255) >> 14;
}

// Multiplies the top of the modelview stack by m on the right.
void multiplyTop(GlContext& gl, const Matrix34& m) { *gl.m_modelviewTop = *gl.m_modelviewTop * m; }

Matrix34 fromWords(const GLfixed* words) {
  Matrix34 m;
  for (int i = 0; i < 12; ++i) m.m[i] = words[i];
  return m;
}

const char kVendor[] = "PELLORAN";
const char kRenderer[] = "SOFTWARE";
const char kVersion[] = "1.0";
const char kExtensions[] = "NONE";

}  // namespace

GlContext::GlContext() {
  m_modelviewTop = &m_modelview[0];
  initSpanTables();
  clearDepthBuckets();
}

GlContext::~GlContext() {
  for (TextureObject& t : m_textures) {
    if (t.texels) memDeleteArray(t.texels);
    t.texels = nullptr;
  }
  for (int32_t i = 0; i < m_retiredCount; ++i) memDeleteArray(m_retiredTexels[i]);
  m_retiredCount = 0;
  if (m_colorBufferOwned && m_colorBuffer) memDeleteArray(m_colorBuffer);
  m_colorBuffer = nullptr;
  m_colorBufferOwned = 0;
}

void GlContext::glActiveTexture(GLenum texture) {
  if (texture != GL_TEXTURE0) setError(GL_INVALID_ENUM);
}

void GlContext::glAlphaFuncx(GLenum func, GLclampx ref) {
  m_alphaFunc = func;
  m_alphaRef = ref;
}

void GlContext::glBlendFunc(GLenum sfactor, GLenum dfactor) {
  m_blendSrc = sfactor;
  m_blendDst = dfactor;
}

void GlContext::glClearColorx(GLclampx red, GLclampx green, GLclampx blue, GLclampx alpha) {
  m_clearRed = colourByte(red);
  m_clearGreen = colourByte(green);
  m_clearBlue = colourByte(blue);
  m_clearAlpha = colourByte(alpha);
}

void GlContext::glClearDepthx(GLclampx depth) {
  if (depth < 0) depth = 0;
  if (depth >= kQ14One) depth = kQ14One - 1;
  m_clearDepth = depth;
}

void GlContext::glClientActiveTexture(GLenum texture) {
  if (texture != GL_TEXTURE0) setError(GL_INVALID_ENUM);
}

void GlContext::glColor4x(GLfixed red, GLfixed green, GLfixed blue, GLfixed alpha) {
  m_colorRed = colourByte(red);
  m_colorGreen = colourByte(green);
  m_colorBlue = colourByte(blue);
  m_colorAlpha = colourByte(alpha);
}

void GlContext::glColorMask(GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha) {
  m_colorMask = (red | green | blue | alpha) != 0 ? 1 : 0;
}

void GlContext::glColorPointer(GLint, GLenum, GLsizei stride, const GLvoid* pointer) {
  m_colorStride = stride;
  m_colorPointer = pointer;
}

void GlContext::glCullFace(GLenum mode) { m_cullFaceMode = mode; }

void GlContext::glDepthFunc(GLenum func) { m_depthFunc = func; }

void GlContext::glDepthMask(GLboolean flag) { m_depthWrite = flag ? 1 : 0; }

void GlContext::glDepthRangex(GLclampx zNear, GLclampx zFar) {
  m_depthRangeNear = zNear;
  m_depthRangeFar = zFar;
}

namespace {

uint8_t* capability(GlContext& gl, GLenum cap) {
  switch (cap) {
    case GL_ALPHA_TEST: return &gl.m_capAlphaTest;
    case GL_BLEND: return &gl.m_capBlend;
    case GL_CULL_FACE: return &gl.m_capCullFace;
    case GL_DEPTH_TEST: return &gl.m_capDepthTest;
    case GL_POLYGON_OFFSET_FILL: return &gl.m_capPolygonOffsetFill;
    case GL_TEXTURE_2D: return &gl.m_capTexture2D;
    case GL_FIXED_DIVISOR_PERSPECTIVE_KORVANE: return &gl.m_capFixedDivisor;
    case GL_FRUSTUM_CLIPPING_KORVANE: return &gl.m_capFrustumClip;
    default: return nullptr;
  }
}

uint8_t* clientState(GlContext& gl, GLenum array) {
  switch (array) {
    case GL_VERTEX_ARRAY: return &gl.m_vertexArrayEnabled;
    case GL_COLOR_ARRAY: return &gl.m_colorArrayEnabled;
    case GL_TEXTURE_COORD_ARRAY: return &gl.m_texCoordArrayEnabled;
    default: return nullptr;
  }
}

}  // namespace

void GlContext::glDisable(GLenum cap) {
  if (uint8_t* flag = capability(*this, cap)) *flag = 0;
}

void GlContext::glEnable(GLenum cap) {
  if (uint8_t* flag = capability(*this, cap)) *flag = 1;
}

void GlContext::glDisableClientState(GLenum array) {
  if (uint8_t* flag = clientState(*this, array)) *flag = 0;
}

void GlContext::glEnableClientState(GLenum array) {
  if (uint8_t* flag = clientState(*this, array)) *flag = 1;
}

void GlContext::glFrontFace(GLenum mode) { m_frontFace = mode; }

void GlContext::glFrustumx(GLfixed, GLfixed right, GLfixed, GLfixed, GLfixed zNear, GLfixed zFar) {
  setFrustum(right, zNear, zFar);
}

GLenum GlContext::glGetError() {
  const GLenum e = m_error;
  m_error = GL_NO_ERROR;
  return e;
}

void GlContext::glGetIntegerv(GLenum pname, GLint* params) {
  if (!params) return;
  switch (pname) {
    case GL_MAX_TEXTURE_SIZE: params[0] = 256; break;
    case GL_MAX_MODELVIEW_STACK_DEPTH: params[0] = kModelviewDepth; break;
    case GL_MAX_PROJECTION_STACK_DEPTH: params[0] = 2; break;
    case GL_MAX_TEXTURE_STACK_DEPTH: params[0] = 2; break;
    case GL_MAX_VIEWPORT_DIMS:
      params[0] = kMaxSurfaceSize;
      params[1] = kMaxSurfaceSize;
      break;
    case GL_SUBPIXEL_BITS: params[0] = 4; break;
    case GL_SMOOTH_POINT_SIZE_RANGE:
    case GL_SMOOTH_LINE_WIDTH_RANGE:
    case GL_ALIASED_POINT_SIZE_RANGE:
    case GL_ALIASED_LINE_WIDTH_RANGE:
      params[0] = 1;
      params[1] = 1;
      break;
    case GL_MAX_TEXTURE_UNITS: params[0] = 1; break;
    default: break;
  }
}

const GLubyte* GlContext::glGetString(GLenum name) {
  const char* s = nullptr;
  switch (name) {
    case GL_VENDOR: s = kVendor; break;
    case GL_RENDERER: s = kRenderer; break;
    case GL_VERSION: s = kVersion; break;
    case GL_EXTENSIONS: s = kExtensions; break;
    default: break;
  }
  return reinterpret_cast<const GLubyte*>(s);
}

void GlContext::glHint(GLenum target, GLenum mode) {
  if (target == GL_PERSPECTIVE_CORRECTION_HINT) m_perspective = mode == GL_NICEST ? 1 : 0;
}

void GlContext::glLineWidthx(GLfixed width) { m_lineWidth = width; }

void GlContext::glLoadIdentity() {
  if (m_matrixMode != GL_MODELVIEW) return;
  m_modelviewTop->setIdentity();
}

void GlContext::glLoadMatrixx(const GLfixed* m) {
  if (m_matrixMode != GL_MODELVIEW || !m) return;
  *m_modelviewTop = fromWords(m);
}

void GlContext::glMatrixMode(GLenum mode) { m_matrixMode = mode; }

void GlContext::glMultMatrixx(const GLfixed* m) {
  if (m_matrixMode != GL_MODELVIEW || !m) return;
  multiplyTop(*this, fromWords(m));
}

void GlContext::glPointSizex(GLfixed size) { m_pointSize = size; }

void GlContext::glPolygonOffsetx(GLfixed factor, GLfixed units) {
  m_polygonOffsetFactor = factor;
  m_polygonOffsetUnits = units;
}

void GlContext::glPopMatrix() {
  if (m_matrixMode != GL_MODELVIEW) return;
  if (m_modelviewDepth <= 0) return;  // nothing below the first entry
  --m_modelviewDepth;
  m_modelviewTop = &m_modelview[m_modelviewDepth];
}

void GlContext::glPushMatrix() {
  if (m_matrixMode != GL_MODELVIEW) return;
  if (m_modelviewDepth + 1 >= m_modelviewCapacity) return;  // stack full
  ++m_modelviewDepth;
  m_modelview[m_modelviewDepth] = m_modelview[m_modelviewDepth - 1];
  m_modelviewTop = &m_modelview[m_modelviewDepth];
}

void GlContext::glRotatex(GLfixed angle, GLfixed x, GLfixed y, GLfixed z) {
  if (m_matrixMode != GL_MODELVIEW) return;
  Matrix34 r;
  r.setAxisRotation(angle, x, y, z);
  multiplyTop(*this, r);
}

void GlContext::glScalex(GLfixed x, GLfixed y, GLfixed z) {
  if (m_matrixMode != GL_MODELVIEW) return;
  Matrix34 s;
  s.setScale(x, y, z);
  multiplyTop(*this, s);
}

void GlContext::glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
  m_scissorX = x;
  m_scissorY = y;
  m_scissorWidth = width;
  m_scissorHeight = height;
}

void GlContext::glShadeModel(GLenum mode) { m_shadeModel = mode; }

void GlContext::glTexCoordPointer(GLint, GLenum, GLsizei stride, const GLvoid* pointer) {
  m_texCoordStride = stride;
  m_texCoordPointer = pointer;
}

void GlContext::glTranslatex(GLfixed x, GLfixed y, GLfixed z) {
  if (m_matrixMode != GL_MODELVIEW) return;
  Matrix34 t;
  t.setTranslation(x, y, z);
  multiplyTop(*this, t);
}

void GlContext::glVertexPointer(GLint, GLenum, GLsizei stride, const GLvoid* pointer) {
  m_vertexStride = stride;
  m_vertexPointer = pointer;
}

void GlContext::glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  // Negative sizes would make every later viewport test meaningless.
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  m_viewportX = x;
  m_viewportY = y;
  m_viewportWidth = width;
  m_viewportHeight = height;
  m_viewportHalfWidth = width / 2;
  m_viewportHalfHeight = height / 2;
  // ((x + w/2) << 14) + 8192, wrapping like the 32-bit original.
  m_viewportCentreX =
      static_cast<Q14>(((static_cast<uint32_t>(x) + static_cast<uint32_t>(m_viewportHalfWidth)) << 14) + 8192u);
  m_viewportCentreY =
      static_cast<Q14>(((static_cast<uint32_t>(y) + static_cast<uint32_t>(m_viewportHalfHeight)) << 14) + 8192u);
}
