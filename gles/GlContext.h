// The renderer's one context: every GL and EGL entry point forwards to the
// operation of the same name on the current GlContext.
#pragma once

#include <cstdint>

#include "korvane/egl.h"
#include "korvane/gl.h"
#include "zul/lm/Matrix34.h"
#include "zul/lm/Q14.h"
#include "zul/lm/Vector3.h"

struct GlContext;

// Transformed vertex (vertex pool and clip-vertex pool).
struct VertexSlot {
  int16_t screenX = 0;   // whole pixels
  int16_t screenY = 0;   // whole pixels, growing downwards
  int32_t depth = 0;     // -eye z (+ polygon offset units); 0 = not projected yet
  int32_t invDepth = 0;  // projection scale / depth, Q14
  int32_t attr0 = 0;     // texture s (Q14) or the colour word
  int32_t attr1 = 0;     // texture t (Q14)
  Q14 eyeX = 0;
  Q14 eyeY = 0;
  Q14 eyeZ = 0;
  uint16_t outcode = 0;
  uint16_t stamp = 0;  // low 16 bits of the draw-call stamp that filled the slot
};

// Outcode bits of a vertex.
enum : uint16_t {
  kOutBottom = 1,
  kOutTop = 2,
  kOutLeft = 4,
  kOutRight = 8,
  kOutNear = 16,
  kOutFar = 32,
};

// Attribute flags of a primitive.
enum : uint16_t {
  kPrimTextured = 1,
  kPrimVertexColour = 2,
};

// Per-row record handed from a rasteriser to its span function.
struct SpanParams {
  int32_t w[12];
};

// span(context, first pixel of the row, record); the record is not changed.
using SpanFunction = void (*)(GlContext* context, void* row, const SpanParams* params);
// (context, top, middle, bottom), sorted by screen y.
using TriangleRasteriser = void (*)(GlContext* context, const VertexSlot* top, const VertexSlot* middle,
                                    const VertexSlot* bottom);
// (context, first, second, unused null).
using LineDrawer = void (*)(GlContext* context, const VertexSlot* first, const VertexSlot* second,
                            const void* unused);

// A queued triangle or line (third == null).
struct TriangleRecord {
  VertexSlot* first = nullptr;
  VertexSlot* second = nullptr;
  VertexSlot* third = nullptr;
  TriangleRasteriser rasteriser = nullptr;  // drawer of a triangle
  LineDrawer lineDrawer = nullptr;          // drawer of a line
  SpanFunction span = nullptr;
  const uint16_t* texels = nullptr;  // texel cache when queued
  uint16_t outcode = 0;              // OR of the vertex outcodes; 0 = no clipping
  uint16_t flags = 0;                // kPrimTextured, kPrimVertexColour
  TriangleRecord* next = nullptr;    // next record of the same bucket
};

constexpr int kDepthBucketCount = 4096;
constexpr int32_t kDepthBucketsEmpty = 4097;

struct DepthBuckets {
  TriangleRecord* heads[kDepthBucketCount] = {};
  int32_t lowest = kDepthBucketsEmpty;
  int32_t highest = 0;
};

// Span functions by texture size index (32, 64, 128, 256) and texel mode.
struct SpanTable {
  SpanFunction fn[4][3] = {};
};

// Texel modes.
enum : int32_t {
  kTexelRgb565 = 0,
  kTexelRgba5551 = 1,
  kTexelRgba4444 = 2,
};

// Square texture of 16-bit texels; the texture name is its index.
struct TextureObject {
  int32_t inUse = 0;
  int32_t mode = kTexelRgb565;
  int32_t size = 0;       // edge length: 32, 64, 128 or 256
  int32_t sizeIndex = 0;  // 0..3 for 32..256
  uint16_t* texels = nullptr;  // size * size, row after row, owned
};

constexpr int kTextureCount = 256;
constexpr int kRetiredTexelSlots = 16;
constexpr int kModelviewDepth = 16;
constexpr int kVertexPoolSize = 5120;
constexpr int kRecordPoolSize = 3072;
constexpr int kClipVertexPoolSize = 64;
constexpr int kScratchTriangleCount = 32;
// Largest surface edge EGL accepts (the reported viewport limit).
constexpr int32_t kMaxSurfaceSize = 512;

struct GlContext {
  GlContext();
  ~GlContext();
  GlContext(const GlContext&) = delete;
  GlContext& operator=(const GlContext&) = delete;

  // ---- state (fields in the context's order) ----

  // 1. Polygon offset (Q14); only the units are used.
  Q14 m_polygonOffsetFactor = 0;
  Q14 m_polygonOffsetUnits = 0;

  // 2. Client arrays: stride (0 = packed) and pointer.
  int32_t m_colorStride = 0;
  const void* m_colorPointer = nullptr;
  int32_t m_texCoordStride = 0;
  const void* m_texCoordPointer = nullptr;
  int32_t m_vertexStride = 0;
  const void* m_vertexPointer = nullptr;

  // 3. Client states.
  uint8_t m_vertexArrayEnabled = 0;
  uint8_t m_colorArrayEnabled = 0;
  uint8_t m_texCoordArrayEnabled = 0;

  // 4.
  GLenum m_matrixMode = GL_MODELVIEW;

  // 5. Stored only.
  Q14 m_depthRangeNear = 0;
  Q14 m_depthRangeFar = kQ14One;

  // 6. Viewport; centres in Q14 with half a pixel added.
  int32_t m_viewportX = 0;
  int32_t m_viewportY = 0;
  int32_t m_viewportWidth = 0;
  int32_t m_viewportHeight = 0;
  int32_t m_viewportHalfWidth = 0;
  int32_t m_viewportHalfHeight = 0;
  Q14 m_viewportCentreX = 0;
  Q14 m_viewportCentreY = 0;

  // 7. Current colour, 0..255 each.
  int32_t m_colorRed = 0;
  int32_t m_colorGreen = 0;
  int32_t m_colorBlue = 0;
  int32_t m_colorAlpha = 0;

  // 8. Front face, point size and line width are stored only.
  GLenum m_shadeModel = GL_SMOOTH;
  GLenum m_frontFace = GL_CCW;
  Q14 m_pointSize = kQ14One;
  Q14 m_lineWidth = kQ14One;
  GLenum m_cullFaceMode = GL_BACK;

  // 9. Bound texture (null object for name 0) and its texels.
  GLuint m_boundTextureName = 0;
  TextureObject* m_boundTexture = nullptr;
  const uint16_t* m_texelCache = nullptr;

  // 10. Stored only.
  int32_t m_scissorX = 0;
  int32_t m_scissorY = 0;
  int32_t m_scissorWidth = 0;
  int32_t m_scissorHeight = 0;
  GLenum m_alphaFunc = GL_ALWAYS;
  Q14 m_alphaRef = kQ14One;

  // 11.
  GLenum m_depthFunc = GL_LESS;
  GLenum m_blendSrc = GL_ONE;
  GLenum m_blendDst = GL_ZERO;

  // 12. Clear colour 0..255 each; clear depth Q14, at most 16383.
  int32_t m_clearRed = 0;
  int32_t m_clearGreen = 0;
  int32_t m_clearBlue = 0;
  int32_t m_clearAlpha = 0;
  Q14 m_clearDepth = 16383;

  // 13. Non-zero when any channel of glColorMask is on.
  uint8_t m_colorMask = 1;
  // 14.
  uint8_t m_depthWrite = 1;

  // 15. Capabilities.
  uint8_t m_capAlphaTest = 0;
  uint8_t m_capBlend = 0;
  uint8_t m_capCullFace = 0;
  uint8_t m_capDepthTest = 0;
  uint8_t m_capPolygonOffsetFill = 0;
  uint8_t m_capTexture2D = 0;
  uint8_t m_capFixedDivisor = 0;  // GL_FIXED_DIVISOR_PERSPECTIVE_KORVANE (0x80A1)
  uint8_t m_capFrustumClip = 1;   // GL_FRUSTUM_CLIPPING_KORVANE (0x80A2)

  // 16. glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST).
  uint8_t m_perspective = 0;

  // 17.
  GLenum m_error = GL_NO_ERROR;

  // 18. Frustum: eye-space distances, projection scale (pixels), bucket shift
  // and the side-plane normals.
  Q14 m_near = 0;
  Q14 m_far = 0;
  int32_t m_projectionScale = 0;
  int32_t m_bucketShift = 0;
  Vector3 m_planeBottom;
  Vector3 m_planeTop;
  Vector3 m_planeLeft;
  Vector3 m_planeRight;

  // 19. Modelview stack (every entry the identity at construction).
  Matrix34 m_modelview[kModelviewDepth];
  Matrix34* m_modelviewTop = nullptr;
  int32_t m_modelviewDepth = 0;  // index of the top entry
  int32_t m_modelviewCapacity = kModelviewDepth;

  // 20. Texture objects by name.
  TextureObject m_textures[kTextureCount];
  // Texels replaced or deleted while queued records still draw from them;
  // released once no queued record uses them.
  uint16_t* m_retiredTexels[kRetiredTexelSlots] = {};
  int32_t m_retiredCount = 0;

  // 21. EGL. The surface fields (colour buffer, width, height, depth flag) are
  // fixed when the window surface is created; eglInitialize and
  // eglChooseConfig only prepare the next surface.
  void* m_colorBuffer = nullptr;  // 16-bit pixels, or 32-bit colour+depth words
  int32_t m_width = 0;
  int32_t m_height = 0;
  uint8_t m_depthBuffer = 0;  // the surface carries depth (32-bit words)
  int32_t m_displayWord = 0;
  void* m_nativeWindow = nullptr;  // RGB565 destination of the swaps
  uint8_t m_colorBufferOwned = 0;  // allocated by EGL (else the native window)
  int32_t m_displayWidth = 0;      // from eglInitialize
  int32_t m_displayHeight = 0;
  uint8_t m_configDepth = 0;  // from eglChooseConfig

  // 22. Draw-call stamp (its low 16 bits are compared with the slots').
  uint32_t m_drawStamp = 0;

  // 23.-25. Per-frame pools.
  VertexSlot m_vertexPool[kVertexPoolSize];
  int32_t m_vertexCount = 0;
  TriangleRecord m_recordPool[kRecordPoolSize];
  int32_t m_recordCount = 0;
  VertexSlot m_clipVertices[kClipVertexPoolSize];
  int32_t m_clipVertexCount = 0;
  TriangleRecord m_scratchTriangles[kScratchTriangleCount];
  int32_t m_scratchCount = 0;

  // 26.
  DepthBuckets m_buckets;
  // Queues one-row triangles into the lists like any other (they draw
  // nothing either way; for comparing the two).
  bool m_keepOneRowRecords = false;
  // Fetches each index of a draw call on its own even when the indices
  // cover their range densely (the pictures are the same; for comparing).
  bool m_fetchEachIndex = false;

  // 27. Current selection.
  LineDrawer m_lineDrawer = nullptr;
  TriangleRasteriser m_rasteriser = nullptr;
  SpanFunction m_spanFunction = nullptr;

  // 28. Span tables.
  SpanTable m_texAffineSpans;
  SpanTable m_texPerspectiveSpans;
  SpanTable m_texFixedDivisorSpans;
  SpanFunction m_texAdditiveSpans[4] = {};
  SpanTable m_depthTexSpans[8];
  SpanFunction m_depthTexAdditiveSpans[4] = {};

  // ---- GL operations ----
  void glActiveTexture(GLenum texture);
  void glAlphaFuncx(GLenum func, GLclampx ref);
  void glBindTexture(GLenum target, GLuint name);
  void glBlendFunc(GLenum sfactor, GLenum dfactor);
  void glClear(GLbitfield mask);
  void glClearColorx(GLclampx red, GLclampx green, GLclampx blue, GLclampx alpha);
  void glClearDepthx(GLclampx depth);
  void glClientActiveTexture(GLenum texture);
  void glColor4x(GLfixed red, GLfixed green, GLfixed blue, GLfixed alpha);
  void glColorMask(GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha);
  void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
  void glCompressedTexImage2D(GLenum target, GLint level, GLenum internalformat, GLsizei width, GLsizei height,
                              GLint border, GLsizei imageSize, const GLvoid* data);
  void glCullFace(GLenum mode);
  void glDeleteTextures(GLsizei n, const GLuint* names);
  void glDepthFunc(GLenum func);
  void glDepthMask(GLboolean flag);
  void glDepthRangex(GLclampx zNear, GLclampx zFar);
  void glDisable(GLenum cap);
  void glEnable(GLenum cap);
  void glDisableClientState(GLenum array);
  void glEnableClientState(GLenum array);
  void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices);
  void glFlush();
  void glFrontFace(GLenum mode);
  void glFrustumx(GLfixed left, GLfixed right, GLfixed bottom, GLfixed top, GLfixed zNear, GLfixed zFar);
  void glGenTextures(GLsizei n, GLuint* names);
  GLenum glGetError();
  void glGetIntegerv(GLenum pname, GLint* params);
  const GLubyte* glGetString(GLenum name);
  void glHint(GLenum target, GLenum mode);
  void glLineWidthx(GLfixed width);
  void glLoadIdentity();
  void glLoadMatrixx(const GLfixed* m);
  void glMatrixMode(GLenum mode);
  void glMultMatrixx(const GLfixed* m);
  void glPointSizex(GLfixed size);
  void glPolygonOffsetx(GLfixed factor, GLfixed units);
  void glPopMatrix();
  void glPushMatrix();
  void glRotatex(GLfixed angle, GLfixed x, GLfixed y, GLfixed z);
  void glScalex(GLfixed x, GLfixed y, GLfixed z);
  void glScissor(GLint x, GLint y, GLsizei width, GLsizei height);
  void glShadeModel(GLenum mode);
  void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
  void glTexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height,
                    GLint border, GLenum format, GLenum type, const GLvoid* pixels);
  void glTranslatex(GLfixed x, GLfixed y, GLfixed z);
  void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
  void glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
  void glDeleteAllTextures();
  void glTexPackHalves(GLenum target, GLuint dest, GLuint left, GLuint right);

  // ---- EGL operations ----
  EGLBoolean eglChooseConfig(EGLDisplay dpy, const EGLint* attribList, EGLConfig* configs, EGLint configSize,
                             EGLint* numConfig);
  EGLSurface eglCreateWindowSurface(EGLDisplay dpy, EGLConfig config, NativeWindowType window,
                                    const EGLint* attribList);
  EGLDisplay eglGetCurrentDisplay() const { return m_displayWord; }
  void* eglGetProcAddress(const char* name) const;
  EGLBoolean eglInitialize(EGLDisplay dpy, EGLint* major, EGLint* minor);
  EGLBoolean eglSwapBuffers(EGLDisplay dpy, EGLSurface surface);
  EGLBoolean eglTerminate(EGLDisplay dpy);
  NativeWindowType eglGetNativeWindow() const { return m_nativeWindow; }
  EGLBoolean eglSetNativeWindow(NativeWindowType pixels);

  // ---- helpers ----
  // Stores a GL error code, replacing any code stored before.
  void setError(GLenum code) { m_error = code; }
  // Releases the object's texels and marks it free; size and size index stay.
  void freeTextureObject(TextureObject& object);
  // Releases a texel block, or keeps it until the queued records that draw
  // from it are flushed.
  void retireTexels(uint16_t* texels);
  // Releases the retired blocks that no queued record uses any more.
  void releaseRetiredTexels();
  // Converts an image into the object's texels; returns 0 whether or not the
  // image was accepted (bad sizes, short data and unknown formats are refused
  // and leave the object unchanged).
  int convertTextureImage(TextureObject* object, GLenum internalFormat, GLenum type, int32_t size,
                          const void* data, int32_t dataSize);
  // Bytes per pixel of the surface: 4 with depth, 2 without.
  int32_t pixelSize() const { return m_depthBuffer ? 4 : 2; }

  // ---- pipeline, buckets, selection (the drawing side) ----
  // Fills the span tables; run by the constructor.
  void initSpanTables();
  // Frustum from the right extent, near and far distances.
  void setFrustum(Q14 right, Q14 zNear, Q14 zFar);
  // All buckets empty, then the frame pools reset; run by the constructor.
  void clearDepthBuckets();
  // Empties the per-frame pools and the used buckets.
  void resetFramePools();

  // Draw calls: fetch, transform, classify, cull and queue (index counts are
  // rounded down to whole primitives).
  void drawTriangleElements(GLsizei count, const GLushort* indices);
  void drawLineElements(GLsizei count, const GLushort* indices);
  // Eye position and outcode of a slot from a model-space point.
  void transformVertex(VertexSlot& slot, Q14 x, Q14 y, Q14 z) const;
  // transformVertex for n slots, each from the three words at its position.
  void transformVertices(VertexSlot* const* slots, const uint8_t* const* positions, int n,
                         bool project = false) const;
  void projectVertex(VertexSlot* slot) const;
  // Projects only a slot whose depth is still 0.
  void projectIfNeeded(VertexSlot* slot) const;
  // Queueing into the depth buckets; each returns without queueing when the
  // record pool is used up.
  // leaveOutEmpty: the selected rasteriser draws nothing for the triangles
  // that walksNoPixel finds, so those join no list.
  void queueTriangle(VertexSlot* first, VertexSlot* second, VertexSlot* third, uint16_t flags, bool leaveOutEmpty);
  // Without link the record's key is noted but the record joins no list.
  void insertIntoBucket(TriangleRecord* record, bool link = true);
  void queueClippedTriangle(VertexSlot* first, VertexSlot* second, VertexSlot* third, uint16_t outcode,
                            uint16_t flags);
  void queueLine(VertexSlot* first, VertexSlot* second, uint16_t flags);
  void queueClippedLine(VertexSlot* first, VertexSlot* second, uint16_t outcode, uint16_t flags);
  // Bucket key of a depth, clamped into the bucket range.
  int32_t bucketKey(int32_t value) const;
  void pushRecord(TriangleRecord* record, int32_t key);
  // Widens the used key range by a key; returns the clamped key.
  int32_t noteKey(int32_t key);
  // Draws every queued record in depth order (the pools stay as they are).
  void flushDepthBuckets();
  void dispatchRecord(TriangleRecord* record);
  void sortAndRasterise(const VertexSlot* a, const VertexSlot* b, const VertexSlot* c);
  // Flush-time clipping of records with a non-zero outcode.
  void drawClippedTriangle(const TriangleRecord* record);
  void drawClippedLine(const TriangleRecord* record);
};

// The context the entry points act on. The applet installs the context it
// owns; tests install a standalone one. With none installed the entry points
// do nothing and answer 0.
GlContext* getCurrentGlContext();
void setCurrentGlContext(GlContext* context);
