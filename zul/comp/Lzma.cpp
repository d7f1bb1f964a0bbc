// LZMA-alone decoding with the LZMA SDK decoder. The probability array and a
// 4096-byte input buffer come from the scratch pool, the output buffer is the
// dictionary, and input is read from the stream one chunk at a time.
#include <cstddef>

#include "LzmaDec.h"
#include "zul/comp/Compression.h"
#include "zul/io/Stream.h"
#include "zul/memory/Debug.h"
#include "zul/memory/StackMemoryPool.h"

namespace {

constexpr const char* kSource = "comp_lzma";

void* poolAlloc(void*, size_t size) {
  return size > static_cast<size_t>(INT32_MAX) ? nullptr : stackPoolAlloc(static_cast<int32_t>(size));
}
void poolFree(void*, void* address) { stackPoolFree(address); }

ISzAlloc g_poolAlloc = {poolAlloc, poolFree};

// Hands the decoder the stream's bytes, one chunk at a time.
struct InputReader {
  int32_t consumed;
  int32_t total;
  int32_t chunk;
  Byte* buffer;
  Stream* source;

  // Fills the buffer with the next chunk; false when the stream gave fewer bytes.
  bool next(SizeT& available) {
    const int32_t left = total - consumed;
    const int32_t n = left < chunk ? left : chunk;
    const int32_t got = n > 0 ? source->read(buffer, n) : 0;
    consumed += got > 0 ? got : 0;
    available = got > 0 ? static_cast<SizeT>(got) : 0;
    return got == n;
  }
};

// Runs the decoder until `limit` bytes are out and the stream has ended
// there, or until it fails. The end is the range coder finishing at zero or
// an end marker, which may follow the last byte when the size is known. A
// marker before the limit ends the stream short of it. Returns the SDK
// result; `status` is the decoder's last.
SRes decodeAll(CLzmaDec& dec, InputReader& reader, SizeT limit, ELzmaStatus& status) {
  SizeT available = 0, pos = 0;
  for (;;) {
    if (pos == available) {
      if (reader.consumed == reader.total) return SZ_ERROR_INPUT_EOF;
      if (!reader.next(available)) return SZ_ERROR_READ;
      pos = 0;
    }
    SizeT len = available - pos;
    const SRes res = LzmaDec_DecodeToDic(&dec, limit, reader.buffer + pos, &len, LZMA_FINISH_END, &status);
    pos += len;
    if (res != SZ_OK) return res;
    if (status == LZMA_STATUS_FINISHED_WITH_MARK || status == LZMA_STATUS_MAYBE_FINISHED_WITHOUT_MARK) return SZ_OK;
  }
}

}  // namespace

int32_t decompressLzma(Stream& stream, int32_t packedSize, void* out, int32_t& outSize) {
  bool whole = false;
  return decompressLzma(stream, packedSize, out, outSize, whole);
}

int32_t decompressLzma(Stream& stream, int32_t packedSize, void* out, int32_t& outSize, bool& whole) {
  whole = false;
  if (packedSize < kLzmaHeaderSize || outSize < 0) return kCompBadData;
  Byte props[LZMA_PROPS_SIZE];
  if (stream.read(props, LZMA_PROPS_SIZE) != LZMA_PROPS_SIZE) return kCompBadData;
  Byte sizeBytes[8];
  if (stream.read(sizeBytes, 8) != 8) return kCompBadData;
  uint64_t declared = 0;
  for (int i = 7; i >= 0; --i) declared = (declared << 8) | sizeBytes[i];

  InputReader reader{0, packedSize - kLzmaHeaderSize, kLzmaChunkSize, nullptr, &stream};
  reader.buffer = static_cast<Byte*>(g_poolAlloc.Alloc(&g_poolAlloc, kLzmaChunkSize));
  if (!reader.buffer) return kCompError;

  CLzmaDec dec;
  LzmaDec_Construct(&dec);
  const SRes propsRes = LzmaDec_AllocateProbs(&dec, props, LZMA_PROPS_SIZE, &g_poolAlloc);
  if (propsRes != SZ_OK) {
    g_poolAlloc.Free(&g_poolAlloc, reader.buffer);
    return propsRes == SZ_ERROR_MEM ? kCompError : kCompBadData;
  }
  // A known size is where the stream must end; it must fit the output.
  const SizeT capacity = static_cast<SizeT>(outSize);
  const bool known = declared != UINT64_MAX;
  const SizeT limit = known && declared < capacity ? static_cast<SizeT>(declared) : capacity;
  dec.dic = static_cast<Byte*>(out);
  dec.dicBufSize = capacity;
  LzmaDec_Init(&dec);
  ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
  SRes res = known && declared > capacity ? SZ_ERROR_OUTPUT_EOF : decodeAll(dec, reader, limit, status);
  const SizeT produced = dec.dicPos;

  // The pool frees in last-in-first-out order: probabilities, then the input.
  LzmaDec_FreeProbs(&dec, &g_poolAlloc);
  g_poolAlloc.Free(&g_poolAlloc, reader.buffer);

  KV_CHECK(produced == capacity, 114, kSource);
  // Whole: the stream ended cleanly, and at its stated size when it states
  // one (a marker that comes early leaves it short).
  whole = res == SZ_OK && (!known || produced == limit);
  return res == SZ_OK ? kCompOk : kCompBadData;
}
