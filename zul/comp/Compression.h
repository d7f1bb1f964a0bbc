// Unpacking by method number: stored, LZMA (LZMA-alone framing) and a
// run-length coder. LZMA work memory comes from the game's scratch pool.
#pragma once

#include <cstdint>

class Stream;

enum CompMethod : int32_t { kCompStored = 0, kCompLzma = 1, kCompZlib = 2 };

enum CompResult : int32_t {
  kCompOk = 0,
  kCompUnknownMethod = 1,
  kCompOutputTooSmall = 2,
  kCompBadData = 3,
  kCompError = 4,
};

// LZMA-alone header: properties (5), unpacked size (8, little-endian).
constexpr int32_t kLzmaHeaderSize = 13;
// Input is read from the stream in chunks of this size.
constexpr int32_t kLzmaChunkSize = 4096;

// Unpacks packedSize bytes (the whole LZMA-alone stream for method 1) into out.
// outSize holds the capacity on entry. The stored method sets it to the
// bytes produced; LZMA leaves it as given (a stream of a known size fills
// exactly that many bytes, and the five-argument decompressLzma tells
// whether it did).
int32_t decompress(int32_t method, Stream& stream, int32_t packedSize, void* out, int32_t& outSize);

int32_t decompressStored(Stream& stream, int32_t packedSize, void* out, int32_t& outSize);
int32_t decompressStored(const void* source, int32_t packedSize, void* out, int32_t& outSize);

// Decodes through the scratch pool: a 4096-byte input buffer and the
// probability array; the output buffer is the dictionary. Needs
// 4096 + 2 * (1846 + (768 << (lc + lp))) bytes (plus headers) of pool room.
int32_t decompressLzma(Stream& stream, int32_t packedSize, void* out, int32_t& outSize);
// The same; `whole` tells whether the stream ended where it should: at its
// stated size (which must fit the output), the range coder finishing at
// zero there or an end marker following, or, for a stream of unknown size,
// at its end marker. A damaged stream almost never does; a marker before
// the stated size leaves it short and not whole.
int32_t decompressLzma(Stream& stream, int32_t packedSize, void* out, int32_t& outSize, bool& whole);

// zlib is not available: reports and returns 0 with nothing written.
int32_t decompressZlib(Stream& stream, int32_t packedSize, void* out, int32_t& outSize);

// Method 0: packedSize. Method 1: the unpacked size from the header at the
// stream's position 0 (the stream's position is kept); -1 when the header
// says the size is unknown, when it does not fit 31 bits or the header is
// short. Other methods: 0.
int32_t unpackedSize(int32_t method, Stream& stream, int32_t packedSize);

// Blocks of a signed control byte c: c < 0, -c literal bytes follow; c > 0,
// one byte follows that stands for c copies; c = 0 is invalid.
// The encoded output is always strictly shorter than the capacity (else 2).
int32_t rleEncode(const uint8_t* source, int32_t length, uint8_t* out, int32_t& outSize);
// Never writes past outSize (result 2, outSize unchanged) nor reads past
// length (a cut last block is reported; result 0).
int32_t rleDecode(const uint8_t* source, int32_t length, uint8_t* out, int32_t& outSize);
