#include <cstring>

#include "zul/comp/Compression.h"
#include "zul/memory/Debug.h"

namespace {
constexpr const char* kSource = "comp_rle";
constexpr int32_t kMaxBlock = 127;

// Length of the run of source[at] starting at at, at most limit bytes.
int32_t runAt(const uint8_t* source, int32_t at, int32_t limit) {
  int32_t n = 1;
  while (n < limit && source[at + n] == source[at]) ++n;
  return n;
}
}  // namespace

int32_t rleEncode(const uint8_t* source, int32_t length, uint8_t* out, int32_t& outSize) {
  KV_CHECK(false, 50, kSource);
  int32_t pos = 0, written = 0;
  while (pos < length) {
    const int32_t m = length - pos < kMaxBlock ? length - pos : kMaxBlock;
    int32_t literal = m, run = 0;
    for (int32_t i = 0; i < m; ++i) {
      const int32_t r = runAt(source, pos + i, m < length - pos - i ? m : length - pos - i);
      if (r >= 3) {
        if (i == 0) {
          run = r;
        } else {
          literal = i;
        }
        break;
      }
    }
    const int32_t control = run ? run : -literal;
    if (control == 0) return kCompError;
    if (written + 1 >= outSize) return kCompOutputTooSmall;
    out[written++] = static_cast<uint8_t>(control);
    if (run) {
      if (written + 1 >= outSize) return kCompOutputTooSmall;
      out[written++] = source[pos];
      pos += run;
    } else {
      if (written + literal >= outSize) return kCompOutputTooSmall;
      std::memcpy(out + written, source + pos, static_cast<size_t>(literal));
      written += literal;
      pos += literal;
    }
  }
  outSize = written;
  return kCompOk;
}

int32_t rleDecode(const uint8_t* source, int32_t length, uint8_t* out, int32_t& outSize) {
  KV_CHECK(false, 110, kSource);
  const int32_t capacity = outSize;
  int32_t in = 0, written = 0;
  bool cut = false;
  while (in < length) {
    const int32_t c = static_cast<int8_t>(source[in++]);
    if (c == 0) return kCompBadData;
    int32_t count = c < 0 ? -c : c;
    if (c < 0) {
      if (count > length - in) {
        count = length - in;
        cut = true;
      }
      if (count > capacity - written) return kCompOutputTooSmall;
      if (count > 0) std::memcpy(out + written, source + in, static_cast<size_t>(count));
      in += count;
    } else {
      if (in >= length) {
        cut = true;
        break;
      }
      if (count > capacity - written) return kCompOutputTooSmall;
      std::memset(out + written, source[in++], static_cast<size_t>(count));
    }
    written += count;
  }
  if (cut) KV_CHECK(false, 141, kSource);
  outSize = written;
  return kCompOk;
}
