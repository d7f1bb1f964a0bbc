// RGB565 frames as PNG files (libpng).
#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "wince/crt.h"
#include "wince/layer.h"

namespace wince {

namespace {
uint8_t widen5(unsigned v) { return static_cast<uint8_t>(v << 3 | v >> 2); }
uint8_t widen6(unsigned v) { return static_cast<uint8_t>(v << 2 | v >> 4); }

void setError(std::string* error, const std::string& text) {
  if (error) *error = text;
}
}  // namespace

bool writePng(const std::string& path, const uint16_t* pixels, int width, int height, std::string* error) {
  if (!pixels || width <= 0 || height <= 0) {
    setError(error, "bad image");
    return false;
  }
  // A regular file of its own: never written through a link or into a pipe.
  FILE* f = ceFopenNative(path.c_str(), "wb");
  if (!f) {
    setError(error, "cannot write " + path + ": " + std::strerror(errno));
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row(static_cast<size_t>(width) * 3);
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    setError(error, "libpng failed writing " + path);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 1);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint16_t p = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      row[static_cast<size_t>(x) * 3 + 0] = widen5(p >> 11);
      row[static_cast<size_t>(x) * 3 + 1] = widen6(p >> 5 & 0x3F);
      row[static_cast<size_t>(x) * 3 + 2] = widen5(p & 0x1F);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  const bool written = std::ferror(f) == 0;
  const int closeErrno = std::fclose(f) == 0 ? 0 : errno;
  if (written && closeErrno == 0) return true;
  setError(error, "cannot write " + path + (closeErrno ? std::string(": ") + std::strerror(closeErrno) : ""));
  return false;
}

bool readPng(const std::string& path, std::vector<uint16_t>& pixels, int& width, int& height, std::string* error) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    setError(error, "cannot open " + path);
    return false;
  }
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    setError(error, "libpng failed reading " + path);
    return false;
  }
  png_init_io(png, f);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_set_gray_to_rgb(png);
  png_read_update_info(png, info);
  png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
  if (w == 0 || h == 0 || w > 16384 || h > 16384 || png_get_rowbytes(png, info) != w * 3) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    setError(error, "unsupported PNG " + path);
    return false;
  }
  row.resize(static_cast<size_t>(w) * 3);
  pixels.assign(static_cast<size_t>(w) * h, 0);
  for (png_uint_32 y = 0; y < h; ++y) {
    png_read_row(png, row.data(), nullptr);
    for (png_uint_32 x = 0; x < w; ++x) {
      unsigned r = row[x * 3], g = row[x * 3 + 1], b = row[x * 3 + 2];
      pixels[static_cast<size_t>(y) * w + x] = static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
    }
  }
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

}  // namespace wince
