// Texture objects and the conversion of uploaded images to texels.
#include <cstring>

#include "gles/GlContext.h"
#include "zul/memory/Memory.h"

namespace {

constexpr int32_t kNoLength = -1;

// Size index of an edge length, or -1 when the size is not supported.
int32_t sizeIndexOf(int32_t size) {
  switch (size) {
    case 32: return 0;
    case 64: return 1;
    case 128: return 2;
    case 256: return 3;
    default: return -1;
  }
}

uint16_t readTexel(const uint8_t* bytes, size_t index) {
  uint16_t v;
  std::memcpy(&v, bytes + index * 2, 2);
  return v;
}

// RGBA5551 with the alpha bit clear becomes 0: in that mode 0 means transparent.
uint16_t keyed5551(uint16_t texel) { return (texel & 1) ? texel : 0; }

struct PaletteFormat {
  int32_t bits;  // 4 or 8 bits per index
  int32_t mode;
};

bool paletteFormat(GLenum internalFormat, PaletteFormat& out) {
  switch (internalFormat) {
    case GL_PALETTE4_R5_G6_B5_OES: out = {4, kTexelRgb565}; return true;
    case GL_PALETTE4_RGBA4_OES: out = {4, kTexelRgba4444}; return true;
    case GL_PALETTE4_RGB5_A1_OES: out = {4, kTexelRgba5551}; return true;
    case GL_PALETTE8_R5_G6_B5_OES: out = {8, kTexelRgb565}; return true;
    case GL_PALETTE8_RGBA4_OES: out = {8, kTexelRgba4444}; return true;
    case GL_PALETTE8_RGB5_A1_OES: out = {8, kTexelRgba5551}; return true;
    default: return false;
  }
}

}  // namespace

namespace {

bool queuedRecordUses(const GlContext& gl, const uint16_t* texels) {
  const int32_t n = gl.m_recordCount < kRecordPoolSize ? gl.m_recordCount : kRecordPoolSize;
  for (int32_t i = 0; i < n; ++i) {
    if (gl.m_recordPool[i].texels == texels) return true;
  }
  return false;
}

}  // namespace

void GlContext::releaseRetiredTexels() {
  int32_t kept = 0;
  for (int32_t i = 0; i < m_retiredCount; ++i) {
    uint16_t* t = m_retiredTexels[i];
    if (queuedRecordUses(*this, t)) {
      m_retiredTexels[kept++] = t;
    } else {
      memDeleteArray(t);
    }
  }
  for (int32_t i = kept; i < m_retiredCount; ++i) m_retiredTexels[i] = nullptr;
  m_retiredCount = kept;
}

void GlContext::retireTexels(uint16_t* texels) {
  releaseRetiredTexels();
  if (!texels) return;
  if (!queuedRecordUses(*this, texels)) {
    memDeleteArray(texels);
    return;
  }
  if (m_retiredCount < kRetiredTexelSlots) {
    m_retiredTexels[m_retiredCount++] = texels;
    return;
  }
  // No room to keep it: the records that would read it are not drawn.
  const int32_t n = m_recordCount < kRecordPoolSize ? m_recordCount : kRecordPoolSize;
  for (int32_t i = 0; i < n; ++i) {
    TriangleRecord& r = m_recordPool[i];
    if (r.texels == texels) {
      r.texels = nullptr;
      r.rasteriser = nullptr;
    }
  }
  memDeleteArray(texels);
}

void GlContext::freeTextureObject(TextureObject& object) {
  retireTexels(object.texels);
  object.texels = nullptr;
  object.inUse = 0;
  object.mode = kTexelRgb565;
  if (&object == m_boundTexture) {
    // Nothing may draw from freed texels.
    m_boundTextureName = 0;
    m_boundTexture = nullptr;
    m_texelCache = nullptr;
  }
}

void GlContext::glGenTextures(GLsizei n, GLuint* names) {
  if (!names) return;
  int name = 1;
  for (GLsizei i = 0; i < n; ++i) {
    while (name < kTextureCount && m_textures[name].inUse) ++name;
    if (name == kTextureCount) return;  // none free: the remaining outputs stay unwritten
    m_textures[name].inUse = 1;
    names[i] = static_cast<GLuint>(name);
  }
}

void GlContext::glBindTexture(GLenum target, GLuint name) {
  if (target != GL_TEXTURE_2D) {
    setError(GL_INVALID_ENUM);
    return;
  }
  if (name >= static_cast<GLuint>(kTextureCount)) return;
  m_boundTextureName = name;
  if (name == 0) {
    m_boundTexture = nullptr;
    m_texelCache = nullptr;
  } else {
    m_boundTexture = &m_textures[name];
    m_texelCache = m_boundTexture->texels;
  }
}

void GlContext::glDeleteTextures(GLsizei n, const GLuint* names) {
  if (!names) return;
  for (GLsizei i = 0; i < n; ++i) {
    const GLuint name = names[i];
    if (name == 0 || name >= static_cast<GLuint>(kTextureCount)) continue;
    freeTextureObject(m_textures[name]);
  }
}

void GlContext::glDeleteAllTextures() {
  for (int name = 1; name < kTextureCount; ++name) {
    TextureObject& t = m_textures[name];
    // Texels uploaded under a name never handed out go too.
    if (t.inUse || t.texels) freeTextureObject(t);
  }
}

void GlContext::glTexImage2D(GLenum, GLint, GLint, GLsizei width, GLsizei height, GLint, GLenum, GLenum type,
                             const GLvoid* pixels) {
  if (width != height) return;
  convertTextureImage(m_boundTexture, 0, type, width, pixels, kNoLength);
}

void GlContext::glCompressedTexImage2D(GLenum, GLint, GLenum internalformat, GLsizei width, GLsizei height,
                                       GLint, GLsizei imageSize, const GLvoid* data) {
  if (width != height || imageSize < 0) return;
  convertTextureImage(m_boundTexture, internalformat, 0, width, data, imageSize);
}

int GlContext::convertTextureImage(TextureObject* object, GLenum internalFormat, GLenum type, int32_t size,
                                   const void* data, int32_t dataSize) {
  if (!object || !data) return 0;
  const int32_t sizeIndex = sizeIndexOf(size);
  if (sizeIndex < 0) return 0;
  const size_t count = static_cast<size_t>(size) * static_cast<size_t>(size);
  const uint8_t* src = static_cast<const uint8_t*>(data);

  int32_t mode;
  PaletteFormat palette{0, 0};
  switch (type) {
    case GL_UNSIGNED_SHORT_5_6_5: mode = kTexelRgb565; break;
    case GL_UNSIGNED_SHORT_4_4_4_4: mode = kTexelRgba4444; break;
    case GL_UNSIGNED_SHORT_5_5_5_1: mode = kTexelRgba5551; break;
    case 0: {
      if (!paletteFormat(internalFormat, palette)) return 0;
      const size_t entries = palette.bits == 4 ? 16 : 256;
      const size_t needed = entries * 2 + (palette.bits == 4 ? count / 2 : count);
      if (dataSize == kNoLength || static_cast<size_t>(dataSize) < needed) return 0;
      mode = palette.mode;
      break;
    }
    default: return 0;
  }
  if (type != 0 && dataSize != kNoLength && static_cast<size_t>(dataSize) < count * 2) return 0;

  uint16_t* texels = static_cast<uint16_t*>(memNewArray(count * 2, "GlContext", 1320));
  if (!texels) return 0;

  if (type == GL_UNSIGNED_SHORT_5_6_5 || type == GL_UNSIGNED_SHORT_4_4_4_4) {
    std::memcpy(texels, src, count * 2);
  } else if (type == GL_UNSIGNED_SHORT_5_5_5_1) {
    for (size_t i = 0; i < count; ++i) texels[i] = keyed5551(readTexel(src, i));
  } else {
    uint16_t lookup[256];
    const size_t entries = palette.bits == 4 ? 16 : 256;
    for (size_t i = 0; i < entries; ++i) {
      const uint16_t e = readTexel(src, i);
      lookup[i] = palette.mode == kTexelRgba5551 ? keyed5551(e) : e;
    }
    const uint8_t* indices = src + entries * 2;
    if (palette.bits == 4) {
      for (size_t i = 0; i < count / 2; ++i) {
        texels[2 * i] = lookup[indices[i] & 0x0F];
        texels[2 * i + 1] = lookup[indices[i] >> 4];
      }
    } else {
      for (size_t i = 0; i < count; ++i) texels[i] = lookup[indices[i]];
    }
  }

  retireTexels(object->texels);
  object->texels = texels;
  object->size = size;
  object->sizeIndex = sizeIndex;
  object->mode = mode;
  m_texelCache = m_boundTexture ? m_boundTexture->texels : nullptr;
  return 0;
}

void GlContext::glTexPackHalves(GLenum target, GLuint dest, GLuint left, GLuint right) {
  if (target != GL_TEXTURE_2D) {
    setError(GL_INVALID_ENUM);
    return;
  }
  const GLuint limit = static_cast<GLuint>(kTextureCount);
  if (dest >= limit || left >= limit || right >= limit) return;
  TextureObject& d = m_textures[dest];
  const TextureObject& l = m_textures[left];
  const TextureObject& r = m_textures[right];
  // Only a 256 destination and two 128 halves fit.
  if (!d.texels || d.size != 256 || !l.texels || l.size != 128 || !r.texels || r.size != 128) return;
  for (int i = 0; i < 128; ++i) {
    uint16_t* row = d.texels + static_cast<size_t>(128 + i) * 256;
    std::memcpy(row, l.texels + static_cast<size_t>(i) * 128, 128 * 2);
    std::memcpy(row + 128, r.texels + static_cast<size_t>(i) * 128, 128 * 2);
  }
}
