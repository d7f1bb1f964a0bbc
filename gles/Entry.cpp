// The GL and EGL entry points: each forwards to the current context.
#include "gles/GlContext.h"

namespace {

GlContext* g_current = nullptr;

}  // namespace

GlContext* getCurrentGlContext() { return g_current; }
void setCurrentGlContext(GlContext* context) { g_current = context; }

// Forwards a call to the context's operation of the same name.
#define KV_GL_FORWARD(call) \
  do {                      \
    if (GlContext* c = g_current) c->call; \
  } while (0)

extern "C" {

void glActiveTexture(GLenum texture) { KV_GL_FORWARD(glActiveTexture(texture)); }
void glAlphaFuncx(GLenum func, GLclampx ref) { KV_GL_FORWARD(glAlphaFuncx(func, ref)); }
void glBindTexture(GLenum target, GLuint texture) { KV_GL_FORWARD(glBindTexture(target, texture)); }
void glBlendFunc(GLenum sfactor, GLenum dfactor) { KV_GL_FORWARD(glBlendFunc(sfactor, dfactor)); }
void glClear(GLbitfield mask) { KV_GL_FORWARD(glClear(mask)); }
void glClearColorx(GLclampx red, GLclampx green, GLclampx blue, GLclampx alpha) {
  KV_GL_FORWARD(glClearColorx(red, green, blue, alpha));
}
void glClearDepthx(GLclampx depth) { KV_GL_FORWARD(glClearDepthx(depth)); }
void glClearStencil(GLint) {}
void glClientActiveTexture(GLenum texture) { KV_GL_FORWARD(glClientActiveTexture(texture)); }
void glColor4x(GLfixed red, GLfixed green, GLfixed blue, GLfixed alpha) {
  KV_GL_FORWARD(glColor4x(red, green, blue, alpha));
}
void glColorMask(GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha) {
  KV_GL_FORWARD(glColorMask(red, green, blue, alpha));
}
void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
  KV_GL_FORWARD(glColorPointer(size, type, stride, pointer));
}
void glCompressedTexImage2D(GLenum target, GLint level, GLenum internalformat, GLsizei width, GLsizei height,
                            GLint border, GLsizei imageSize, const GLvoid* data) {
  KV_GL_FORWARD(glCompressedTexImage2D(target, level, internalformat, width, height, border, imageSize, data));
}
void glCompressedTexSubImage2D(GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLsizei, const GLvoid*) {}
void glCopyTexImage2D(GLenum, GLint, GLenum, GLint, GLint, GLsizei, GLsizei, GLint) {}
void glCopyTexSubImage2D(GLenum, GLint, GLint, GLint, GLint, GLint, GLsizei, GLsizei) {}
void glCullFace(GLenum mode) { KV_GL_FORWARD(glCullFace(mode)); }
void glDeleteTextures(GLsizei n, const GLuint* textures) { KV_GL_FORWARD(glDeleteTextures(n, textures)); }
void glDepthFunc(GLenum func) { KV_GL_FORWARD(glDepthFunc(func)); }
void glDepthMask(GLboolean flag) { KV_GL_FORWARD(glDepthMask(flag)); }
void glDepthRangex(GLclampx zNear, GLclampx zFar) { KV_GL_FORWARD(glDepthRangex(zNear, zFar)); }
void glDisable(GLenum cap) { KV_GL_FORWARD(glDisable(cap)); }
void glDisableClientState(GLenum array) { KV_GL_FORWARD(glDisableClientState(array)); }
void glDrawArrays(GLenum, GLint, GLsizei) {}
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
  KV_GL_FORWARD(glDrawElements(mode, count, type, indices));
}
void glEnable(GLenum cap) { KV_GL_FORWARD(glEnable(cap)); }
void glEnableClientState(GLenum array) { KV_GL_FORWARD(glEnableClientState(array)); }
void glFinish(void) {}
void glFlush(void) { KV_GL_FORWARD(glFlush()); }
void glFogx(GLenum, GLfixed) {}
void glFogxv(GLenum, const GLfixed*) {}
void glFrontFace(GLenum mode) { KV_GL_FORWARD(glFrontFace(mode)); }
void glFrustumx(GLfixed left, GLfixed right, GLfixed bottom, GLfixed top, GLfixed zNear, GLfixed zFar) {
  KV_GL_FORWARD(glFrustumx(left, right, bottom, top, zNear, zFar));
}
void glGenTextures(GLsizei n, GLuint* textures) { KV_GL_FORWARD(glGenTextures(n, textures)); }
GLenum glGetError(void) { return g_current ? g_current->glGetError() : GLenum{GL_NO_ERROR}; }
void glGetIntegerv(GLenum pname, GLint* params) { KV_GL_FORWARD(glGetIntegerv(pname, params)); }
const GLubyte* glGetString(GLenum name) { return g_current ? g_current->glGetString(name) : nullptr; }
void glHint(GLenum target, GLenum mode) { KV_GL_FORWARD(glHint(target, mode)); }
void glLightModelx(GLenum, GLfixed) {}
void glLightModelxv(GLenum, const GLfixed*) {}
void glLightx(GLenum, GLenum, GLfixed) {}
void glLightxv(GLenum, GLenum, const GLfixed*) {}
void glLineWidthx(GLfixed width) { KV_GL_FORWARD(glLineWidthx(width)); }
void glLoadIdentity(void) { KV_GL_FORWARD(glLoadIdentity()); }
void glLoadMatrixx(const GLfixed* m) { KV_GL_FORWARD(glLoadMatrixx(m)); }
void glLogicOp(GLenum) {}
void glMaterialx(GLenum, GLenum, GLfixed) {}
void glMaterialxv(GLenum, GLenum, const GLfixed*) {}
void glMatrixMode(GLenum mode) { KV_GL_FORWARD(glMatrixMode(mode)); }
void glMultMatrixx(const GLfixed* m) { KV_GL_FORWARD(glMultMatrixx(m)); }
void glMultiTexCoord4x(GLenum, GLfixed, GLfixed, GLfixed, GLfixed) {}
void glNormal3x(GLfixed, GLfixed, GLfixed) {}
void glNormalPointer(GLenum, GLsizei, const GLvoid*) {}
void glOrthox(GLfixed, GLfixed, GLfixed, GLfixed, GLfixed, GLfixed) {}
void glPixelStorei(GLenum, GLint) {}
void glPointSizex(GLfixed size) { KV_GL_FORWARD(glPointSizex(size)); }
void glPolygonOffsetx(GLfixed factor, GLfixed units) { KV_GL_FORWARD(glPolygonOffsetx(factor, units)); }
void glPopMatrix(void) { KV_GL_FORWARD(glPopMatrix()); }
void glPushMatrix(void) { KV_GL_FORWARD(glPushMatrix()); }
void glReadPixels(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, GLvoid*) {}
void glRotatex(GLfixed angle, GLfixed x, GLfixed y, GLfixed z) { KV_GL_FORWARD(glRotatex(angle, x, y, z)); }
void glSampleCoveragex(GLclampx, GLboolean) {}
void glScalex(GLfixed x, GLfixed y, GLfixed z) { KV_GL_FORWARD(glScalex(x, y, z)); }
void glScissor(GLint x, GLint y, GLsizei width, GLsizei height) { KV_GL_FORWARD(glScissor(x, y, width, height)); }
void glShadeModel(GLenum mode) { KV_GL_FORWARD(glShadeModel(mode)); }
void glStencilFunc(GLenum, GLint, GLuint) {}
void glStencilMask(GLuint) {}
void glStencilOp(GLenum, GLenum, GLenum) {}
void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
  KV_GL_FORWARD(glTexCoordPointer(size, type, stride, pointer));
}
void glTexEnvx(GLenum, GLenum, GLfixed) {}
void glTexEnvxv(GLenum, GLenum, const GLfixed*) {}
void glTexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
  KV_GL_FORWARD(glTexImage2D(target, level, internalformat, width, height, border, format, type, pixels));
}
void glTexParameterx(GLenum, GLenum, GLfixed) {}
void glTexSubImage2D(GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, const GLvoid*) {}
void glTranslatex(GLfixed x, GLfixed y, GLfixed z) { KV_GL_FORWARD(glTranslatex(x, y, z)); }
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
  KV_GL_FORWARD(glVertexPointer(size, type, stride, pointer));
}
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) { KV_GL_FORWARD(glViewport(x, y, width, height)); }
void glDeleteAllTextures(void) { KV_GL_FORWARD(glDeleteAllTextures()); }
void glTexPackHalves(GLenum target, GLuint dest, GLuint left, GLuint right) {
  KV_GL_FORWARD(glTexPackHalves(target, dest, left, right));
}

// ---- EGL ----

EGLint eglGetError(void) { return EGL_SUCCESS; }
EGLDisplay eglGetDisplay(NativeDisplayType display_id) { return display_id; }
EGLBoolean eglInitialize(EGLDisplay dpy, EGLint* major, EGLint* minor) {
  return g_current ? g_current->eglInitialize(dpy, major, minor) : EGLBoolean{EGL_FALSE};
}
EGLBoolean eglTerminate(EGLDisplay dpy) { return g_current ? g_current->eglTerminate(dpy) : EGLBoolean{EGL_TRUE}; }
const char* eglQueryString(EGLDisplay, EGLint name) {
  return name == EGL_EXTENSIONS ? "EGL_PELLORAN_COLOR_BUFFER EGL_QUALCOMM_COLOR_BUFFER" : nullptr;
}
void* eglGetProcAddress(const char* procname) {
  return g_current ? g_current->eglGetProcAddress(procname) : nullptr;
}
EGLBoolean eglGetConfigs(EGLDisplay, EGLConfig*, EGLint, EGLint*) { return EGL_TRUE; }
EGLBoolean eglChooseConfig(EGLDisplay dpy, const EGLint* attrib_list, EGLConfig* configs, EGLint config_size,
                           EGLint* num_config) {
  return g_current ? g_current->eglChooseConfig(dpy, attrib_list, configs, config_size, num_config)
                   : EGLBoolean{EGL_FALSE};
}
EGLBoolean eglGetConfigAttrib(EGLDisplay, EGLConfig, EGLint, EGLint*) { return EGL_TRUE; }
EGLSurface eglCreateWindowSurface(EGLDisplay dpy, EGLConfig config, NativeWindowType window,
                                  const EGLint* attrib_list) {
  return g_current ? g_current->eglCreateWindowSurface(dpy, config, window, attrib_list) : EGL_NO_SURFACE;
}
EGLSurface eglCreatePixmapSurface(EGLDisplay, EGLConfig, NativePixmapType, const EGLint*) { return 1; }
EGLSurface eglCreatePbufferSurface(EGLDisplay, EGLConfig, const EGLint*) { return 1; }
EGLBoolean eglDestroySurface(EGLDisplay, EGLSurface) { return EGL_TRUE; }
EGLBoolean eglQuerySurface(EGLDisplay, EGLSurface, EGLint, EGLint*) { return EGL_TRUE; }
EGLContext eglCreateContext(EGLDisplay, EGLConfig, EGLContext, const EGLint*) { return 1; }
EGLBoolean eglDestroyContext(EGLDisplay, EGLContext) { return EGL_TRUE; }
EGLBoolean eglMakeCurrent(EGLDisplay, EGLSurface, EGLSurface, EGLContext) { return EGL_TRUE; }
EGLContext eglGetCurrentContext(void) { return 1; }
EGLSurface eglGetCurrentSurface(EGLint) { return 1; }
EGLDisplay eglGetCurrentDisplay(void) { return g_current ? g_current->eglGetCurrentDisplay() : EGL_NO_DISPLAY; }
EGLBoolean eglQueryContext(EGLDisplay, EGLContext, EGLint, EGLint*) { return EGL_TRUE; }
EGLBoolean eglWaitGL(void) { return EGL_TRUE; }
EGLBoolean eglWaitNative(EGLint) { return EGL_TRUE; }
EGLBoolean eglSwapBuffers(EGLDisplay dpy, EGLSurface draw) {
  return g_current ? g_current->eglSwapBuffers(dpy, draw) : EGLBoolean{EGL_FALSE};
}
EGLBoolean eglCopyBuffers(EGLDisplay, EGLSurface, NativePixmapType) { return EGL_TRUE; }
NativeWindowType eglGetNativeWindow(void) { return g_current ? g_current->eglGetNativeWindow() : nullptr; }
EGLBoolean eglSetNativeWindow(NativeWindowType pixels) {
  return g_current ? g_current->eglSetNativeWindow(pixels) : EGLBoolean{EGL_FALSE};
}

}  // extern "C"
