// UTF-16 helpers and the narrow/wide conversions.
#include "wince/crt.h"

size_t ceWcslen(const WCHAR* s) {
  size_t n = 0;
  if (s)
    while (s[n]) ++n;
  return n;
}

WCHAR* ceWcscpy(WCHAR* dst, const WCHAR* src) {
  size_t i = 0;
  for (; src[i]; ++i) dst[i] = src[i];
  dst[i] = 0;
  return dst;
}

WCHAR* ceWcsncpy(WCHAR* dst, const WCHAR* src, size_t n) {
  size_t i = 0;
  for (; i < n && src[i]; ++i) dst[i] = src[i];
  for (; i < n; ++i) dst[i] = 0;
  return dst;
}

WCHAR* ceWcscat(WCHAR* dst, const WCHAR* src) {
  ceWcscpy(dst + ceWcslen(dst), src);
  return dst;
}

int ceWcscmp(const WCHAR* a, const WCHAR* b) {
  for (;; ++a, ++b) {
    if (*a != *b) return *a < *b ? -1 : 1;
    if (!*a) return 0;
  }
}

namespace {
WCHAR lowerAscii(WCHAR c) { return c >= u'A' && c <= u'Z' ? static_cast<WCHAR>(c - u'A' + u'a') : c; }
}  // namespace

int ceWcsicmp(const WCHAR* a, const WCHAR* b) {
  for (;; ++a, ++b) {
    WCHAR x = lowerAscii(*a), y = lowerAscii(*b);
    if (x != y) return x < y ? -1 : 1;
    if (!x) return 0;
  }
}

size_t ceWcstombs(char* dst, const WCHAR* src, size_t n) {
  size_t i = 0;
  for (;; ++i) {
    WCHAR c = src[i];
    if (c > 0xFF) return static_cast<size_t>(-1);
    if (dst) {
      if (i >= n) return i;
      dst[i] = static_cast<char>(c);
    }
    if (!c) return i;
  }
}

size_t ceMbstowcs(WCHAR* dst, const char* src, size_t n) {
  size_t i = 0;
  for (;; ++i) {
    WCHAR c = static_cast<unsigned char>(src[i]);
    if (dst) {
      if (i >= n) return i;
      dst[i] = c;
    }
    if (!c) return i;
  }
}

std::u16string ceFromUtf8(std::string_view text) {
  std::u16string out;
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    uint32_t cp;
    size_t len;
    if (c < 0x80) {
      cp = c, len = 1;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F, len = 2;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F, len = 3;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07, len = 4;
    } else {
      out += u'\xFFFD';
      ++i;
      continue;
    }
    if (i + len > text.size()) {
      out += u'\xFFFD';
      break;
    }
    bool ok = true;
    for (size_t k = 1; k < len; ++k) {
      unsigned char d = static_cast<unsigned char>(text[i + k]);
      if ((d & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = cp << 6 | (d & 0x3F);
    }
    static const uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out += u'\xFFFD';
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += len;
  }
  return out;
}

std::string ceToUtf8(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | cp >> 6);
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | cp >> 12);
      out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | cp >> 18);
      out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string ceToUtf8(const WCHAR* text) { return text ? ceToUtf8(std::u16string_view(text)) : std::string(); }
