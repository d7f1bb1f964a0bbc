#include "zul/comp/Compression.h"

#include <cstring>

#include "zul/io/Stream.h"
#include "zul/memory/Debug.h"

int32_t decompress(int32_t method, Stream& stream, int32_t packedSize, void* out, int32_t& outSize) {
  switch (method) {
    case kCompStored: return decompressStored(stream, packedSize, out, outSize);
    case kCompLzma: return decompressLzma(stream, packedSize, out, outSize);
    case kCompZlib: return decompressZlib(stream, packedSize, out, outSize);
    default: return kCompUnknownMethod;
  }
}

int32_t decompressStored(Stream& stream, int32_t packedSize, void* out, int32_t& outSize) {
  if (packedSize > outSize) return kCompOutputTooSmall;
  if (packedSize < 0) return kCompBadData;
  if (stream.read(out, packedSize) != packedSize) return kCompBadData;
  outSize = packedSize;
  return kCompOk;
}

int32_t decompressStored(const void* source, int32_t packedSize, void* out, int32_t& outSize) {
  if (packedSize > outSize) return kCompOutputTooSmall;
  if (packedSize < 0) return kCompBadData;
  if (packedSize > 0) std::memcpy(out, source, static_cast<size_t>(packedSize));
  outSize = packedSize;
  return kCompOk;
}

int32_t decompressZlib(Stream&, int32_t, void*, int32_t&) {
  KV_CHECK(false, 35, "comp_zlib");
  return kCompOk;
}

int32_t unpackedSize(int32_t method, Stream& stream, int32_t packedSize) {
  if (method == kCompStored) return packedSize;
  if (method != kCompLzma) return 0;
  const int32_t mark = stream.tell();
  stream.seek(5, Stream::kSeekStart);
  uint8_t b[8] = {};
  const int32_t got = stream.read(b, 8);
  stream.seek(mark, Stream::kSeekStart);
  if (got != 8) return -1;
  uint64_t size = 0;
  for (int i = 7; i >= 0; --i) size = (size << 8) | b[i];
  // All ones means unknown (the stream ends with a marker).
  if (size > INT32_MAX) return -1;
  return static_cast<int32_t>(size);
}
