#include "tools/lzma/LzmaWriter.h"

#include <cstdlib>

#include "LzmaEnc.h"

namespace {
void* heapAlloc(void*, size_t size) { return std::malloc(size); }
void heapFree(void*, void* address) { std::free(address); }
ISzAlloc g_heap = {heapAlloc, heapFree};
}  // namespace

std::vector<uint8_t> lzmaAloneEncode(const uint8_t* data, size_t size, const LzmaWriterOptions& options) {
  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.level = options.level;
  props.dictSize = options.dictSize;
  props.lc = options.lc;
  props.lp = options.lp;
  props.pb = options.pb;
  props.writeEndMark = options.endMarker || options.sizeUnknown ? 1 : 0;
  props.numThreads = 1;

  constexpr size_t kHeader = 13;
  std::vector<uint8_t> out(kHeader + size + size / 2 + 1024);
  SizeT destLen = out.size() - kHeader;
  SizeT propsSize = LZMA_PROPS_SIZE;
  static const Byte kEmpty = 0;
  const SRes res = LzmaEncode(out.data() + kHeader, &destLen, size ? data : &kEmpty, size, &props, out.data(),
                              &propsSize, props.writeEndMark, nullptr, &g_heap, &g_heap);
  if (res != SZ_OK || propsSize != LZMA_PROPS_SIZE) return {};
  const uint64_t field = options.sizeUnknown ? UINT64_MAX : static_cast<uint64_t>(size);
  for (int i = 0; i < 8; ++i) out[5 + i] = static_cast<uint8_t>(field >> (8 * i));
  out.resize(kHeader + destLen);
  return out;
}

std::vector<uint8_t> rleEncodeBlocks(const uint8_t* data, size_t size) {
  constexpr size_t kMax = 127;
  std::vector<uint8_t> out;
  size_t pos = 0;
  while (pos < size) {
    const size_t m = size - pos < kMax ? size - pos : kMax;
    size_t literal = m, run = 0;
    for (size_t i = 0; i < m; ++i) {
      // The run starting at i, at most m bytes and never past the input.
      const size_t limit = m < size - pos - i ? m : size - pos - i;
      size_t r = 1;
      while (r < limit && data[pos + i + r] == data[pos + i]) ++r;
      if (r >= 3) {
        if (i == 0) {
          run = r;
        } else {
          literal = i;
        }
        break;
      }
    }
    if (run) {
      out.push_back(static_cast<uint8_t>(run));
      out.push_back(data[pos]);
      pos += run;
    } else {
      out.push_back(static_cast<uint8_t>(-static_cast<int>(literal)));
      out.insert(out.end(), data + pos, data + pos + literal);
      pos += literal;
    }
  }
  return out;
}
