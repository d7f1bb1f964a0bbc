// The keyed row loops of PixelRows.h for processors with 512-bit vector
// instructions, used at 256 bits: the key test goes into a mask register
// and the store writes only the lanes it keeps, so a keyed copy is a load,
// a compare and a store. The ARGB4444 blend makes each channel's two
// products and their sum with one multiply-add of byte pairs, and packs the
// result with one three-input bitwise select per field.
#include <immintrin.h>

#include "zul/2d/PixelRows.h"

#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace pixelrows {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

#define KV_MASKED [[gnu::target("avx2,avx512f,avx512bw,avx512vl,avx512vbmi")]]

bool maskedRows() {
  static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                          __builtin_cpu_supports("avx512vl");
  return has;
}

bool byteGatherRows() {
  static const bool has = maskedRows() && __builtin_cpu_supports("avx512vbmi");
  return has;
}

namespace {

// Sixteen pixels from src + i onward (Dir 1), or the sixteen that end at
// src - i, last first (Dir -1).
template <int Dir>
KV_MASKED inline __m256i load16(const uint16_t* src, int i) {
  if constexpr (Dir > 0) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
  } else {
    const __m256i reverse = _mm256_set_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    return _mm256_permutexvar_epi16(reverse, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src - i - 15)));
  }
}

// Bitwise select: bits of a where mask is set, of b elsewhere.
KV_MASKED inline __m256i select(__m256i a, __m256i b, __m256i mask) {
  return _mm256_ternarylogic_epi32(a, b, mask, 0xE4);
}

template <int Dir>
KV_MASKED void keyedRows(uint16_t* out, const uint16_t* src, int n, uint16_t key) {
  const __m256i keys = _mm256_set1_epi16(static_cast<short>(key));
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m256i v = load16<Dir>(src, i);
    _mm256_mask_storeu_epi16(out + i, _mm256_cmpneq_epi16_mask(v, keys), v);
  }
  if (i < n) keyedRow<Dir>(out + i, src + Dir * i, n - i, key);
}

// ARGB4444 over RGB565, sixteen pixels. With A the source's alpha nibble,
// each channel is (s A + d (16 - A)) >> 4 (s = R << 1, G << 2, B << 1 of the
// source): one multiply-add of byte pairs per channel. Each channel's word
// holds the destination field in its low byte and the source field in its
// high byte, and the pair multiplier word is 16 - A low, 2 A high (the
// doubling of red and blue taken into the multiplier; green is paired as
// 2 dG with 4 G, which gives twice its sum: the sum's place for the packed
// result). A = 0 gives 16 d, so the destination stays, as the blend with
// alpha 0 leaves it.
KV_MASKED inline __m256i blend4444(__m256i v, __m256i d) {
  // Pair multiplier by the alpha nibble: (16 - A) | 2 A << 8.
  const __m256i pairs = _mm256_set_epi16(0x1E01, 0x1C02, 0x1A03, 0x1804, 0x1605, 0x1406, 0x1207, 0x1008, 0x0E09,
                                         0x0C0A, 0x0A0B, 0x080C, 0x060D, 0x040E, 0x020F, 0x0010);
  const __m256i m = _mm256_permutexvar_epi16(_mm256_srli_epi16(v, 12), pairs);
  // dR | R << 8
  const __m256i rPair = select(v, _mm256_srli_epi16(d, 11), _mm256_set1_epi16(0x0F00));
  // dB | B << 8
  const __m256i bPair = select(_mm256_slli_epi16(v, 8), _mm256_and_si256(d, _mm256_set1_epi16(0x001F)),
                               _mm256_set1_epi16(0x0F00));
  // 2 dG | 4 G << 8
  const __m256i gPair = select(_mm256_slli_epi16(v, 6),
                               _mm256_and_si256(_mm256_srli_epi16(d, 4), _mm256_set1_epi16(0x007E)),
                               _mm256_set1_epi16(0x3C00));
  // Sums of at most 496 (red, blue) and 2 * 1008 (green): no saturation.
  const __m256i r = _mm256_slli_epi16(_mm256_maddubs_epi16(rPair, m), 7);
  const __m256i g = _mm256_maddubs_epi16(gPair, m);
  const __m256i b = _mm256_srli_epi16(_mm256_maddubs_epi16(bPair, m), 4);
  return select(b, select(r, g, _mm256_set1_epi16(static_cast<short>(0xF800))), _mm256_set1_epi16(0x001F));
}

// Kept out of the row loops, whose constants then stay in registers.
template <int Dir>
[[gnu::noinline]] void blend4444Tail(uint16_t* out, const uint16_t* src, int n, uint16_t key) {
  blendKeyedRow<Dir, true>(out, src, n, key, 0);
}

template <int Dir>
KV_MASKED [[gnu::always_inline]] inline void blend4444Rows(uint16_t* out, const uint16_t* src, int n, uint16_t key) {
  const __m256i keys = _mm256_set1_epi16(static_cast<short>(key));
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m256i v = load16<Dir>(src, i);
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + i));
    const __mmask16 draw = _mm256_cmpneq_epi16_mask(v, keys);
    _mm256_mask_storeu_epi16(out + i, draw, blend4444(v, d));
  }
  // The tail through the eight-lane loop and its pixel walk.
  if (i < n) blend4444Tail<Dir>(out + i, src + Dir * i, n - i, key);
}

// Thirty-two palette indices widened to 16-bit lanes, from idx + i onward
// (Dir 1) or ending at idx - i, last first (Dir -1).
template <int Dir>
KV_MASKED inline __m512i loadIndices32(const uint8_t* idx, int i) {
  if constexpr (Dir > 0) {
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(idx + i)));
  } else {
    const __m512i reverse = _mm512_set_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                                             21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
    const __m512i wide = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(idx - i - 31)));
    return _mm512_permutexvar_epi16(reverse, wide);
  }
}

// Palette rows: the colour of each index below count, unless it is the key.
// The 256-entry table sits in eight registers; each two-register permute
// looks up 64 entries, and the index's bits 6 and 7 pick among the four
// (one permute when count is at most 64).
template <int Dir, bool Large>
KV_MASKED void indexedRows(uint16_t* out, const uint8_t* idx, int n, const uint16_t* table, int count,
                           uint16_t key) {
  __m512i t[8];
  for (int k = 0; k < (Large ? 8 : 2); ++k) t[k] = _mm512_loadu_si512(table + 32 * k);
  const __m512i keys = _mm512_set1_epi16(static_cast<short>(key));
  const __m512i limit = _mm512_set1_epi16(static_cast<short>(count));
  int i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m512i x = loadIndices32<Dir>(idx, i);
    __m512i c = _mm512_permutex2var_epi16(t[0], x, t[1]);
    if constexpr (Large) {
      const __mmask32 bit6 = _mm512_test_epi16_mask(x, _mm512_set1_epi16(64));
      const __mmask32 bit7 = _mm512_test_epi16_mask(x, _mm512_set1_epi16(128));
      const __m512i low = _mm512_mask_blend_epi16(bit6, c, _mm512_permutex2var_epi16(t[2], x, t[3]));
      const __m512i high = _mm512_mask_blend_epi16(bit6, _mm512_permutex2var_epi16(t[4], x, t[5]),
                                                   _mm512_permutex2var_epi16(t[6], x, t[7]));
      c = _mm512_mask_blend_epi16(bit7, low, high);
    }
    const __mmask32 draw = _mm512_mask_cmpneq_epi16_mask(_mm512_cmplt_epu16_mask(x, limit), c, keys);
    _mm512_mask_storeu_epi16(out + i, draw, c);
  }
  for (; i < n; ++i) {
    const uint8_t k = idx[Dir * i];
    if (k >= count) continue;
    const uint16_t c = table[k];
    if (c != key) out[i] = c;
  }
}

// Byte indices that gather one channel byte (0 blue, 1 green, 2 red, 3
// alpha) of sixteen 32-bit pixels, held in two registers, into the low
// bytes of sixteen 16-bit lanes (the high bytes are zeroed by the mask of
// the permute); Dir -1 takes the pixels last first.
template <int Dir>
KV_MASKED inline __m256i channelIndex(int channel) {
  alignas(32) uint8_t at[32];
  for (int j = 0; j < 16; ++j) {
    at[2 * j] = static_cast<uint8_t>(4 * (Dir > 0 ? j : 15 - j) + channel);
    at[2 * j + 1] = 0;
  }
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(at));
}

// 32-bit ARGB pixels blended by their own alpha into RGB565: each channel
// d + floor((s - d) a / 256) = (s a + d (256 - a)) >> 8, made with one
// multiply-add of byte pairs: the pixel's word a | (256 - a) << 8 (unsigned
// bytes; a = 0 is left to the mask, which keeps the destination) against
// the channel's word s | d << 8 (s the channel's top bits, d the
// destination's field). The sums stay below 64 * 256.
template <int Dir>
KV_MASKED void argbRows(uint16_t* out, const uint32_t* src, int n) {
  const __m256i ia = channelIndex<Dir>(3), ir = channelIndex<Dir>(2), ig = channelIndex<Dir>(1),
                ib = channelIndex<Dir>(0);
  constexpr __mmask32 kLowBytes = 0x55555555u;
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const uint32_t* p = Dir > 0 ? src + i : src - i - 15;
    const __m256i c0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i c1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 8));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + i));
    const __m256i a = _mm256_maskz_permutex2var_epi8(kLowBytes, c0, ia, c1);
    const __m256i weights = _mm256_mullo_epi16(a, _mm256_set1_epi16(static_cast<short>(0xFF01)));
    const __m256i sr = _mm256_srli_epi16(_mm256_maskz_permutex2var_epi8(kLowBytes, c0, ir, c1), 3);
    const __m256i sg = _mm256_srli_epi16(_mm256_maskz_permutex2var_epi8(kLowBytes, c0, ig, c1), 2);
    const __m256i sb = _mm256_srli_epi16(_mm256_maskz_permutex2var_epi8(kLowBytes, c0, ib, c1), 3);
    // dR, dG and dB moved into the high byte, the bits around them taken
    // from the source word, whose high byte is zero.
    const __m256i r = _mm256_maddubs_epi16(weights, select(_mm256_srli_epi16(d, 3), sr, _mm256_set1_epi16(0x1F00)));
    const __m256i g = _mm256_maddubs_epi16(weights, select(_mm256_slli_epi16(d, 3), sg, _mm256_set1_epi16(0x3F00)));
    const __m256i b = _mm256_maddubs_epi16(weights, select(_mm256_slli_epi16(d, 8), sb, _mm256_set1_epi16(0x1F00)));
    const __m256i rg =
        select(_mm256_slli_epi16(r, 3), _mm256_srli_epi16(g, 3), _mm256_set1_epi16(static_cast<short>(0xF800)));
    const __m256i pixel = select(_mm256_srli_epi16(b, 8), rg, _mm256_set1_epi16(0x001F));
    _mm256_mask_storeu_epi16(out + i, _mm256_test_epi16_mask(a, a), pixel);
  }
  if (i < n) argbBlendRow<Dir>(out + i, src + Dir * i, n - i);
}

}  // namespace

KV_MASKED void keyedRowMasked(uint16_t* out, const uint16_t* src, int dir, int n, uint16_t key) {
  if (dir > 0)
    keyedRows<1>(out, src, n, key);
  else
    keyedRows<-1>(out, src, n, key);
}

KV_MASKED void blend4444RowMasked(uint16_t* out, const uint16_t* src, int dir, int n, uint16_t key) {
  if (dir > 0)
    blend4444Rows<1>(out, src, n, key);
  else
    blend4444Rows<-1>(out, src, n, key);
}

// Whole blocks of rows, so that the constants of the blend are set up once.
template <int Dir>
KV_MASKED void blend4444Block(uint8_t* out, std::ptrdiff_t outPitch, const uint8_t* src, std::ptrdiff_t srcPitch,
                              int n, int rows, uint16_t key) {
  for (int r = 0; r < rows; ++r) {
    blend4444Rows<Dir>(reinterpret_cast<uint16_t*>(out), reinterpret_cast<const uint16_t*>(src), n, key);
    out += outPitch;
    src += srcPitch;
  }
}

KV_MASKED void blend4444BlockMasked(uint8_t* out, std::ptrdiff_t outPitch, const uint8_t* src,
                                    std::ptrdiff_t srcPitch, int dir, int n, int rows, uint16_t key) {
  if (dir > 0)
    blend4444Block<1>(out, outPitch, src, srcPitch, n, rows, key);
  else
    blend4444Block<-1>(out, outPitch, src, srcPitch, n, rows, key);
}

KV_MASKED void indexedRowMasked(uint16_t* out, const uint8_t* idx, int dir, int n, const uint16_t* table, int count,
                                uint16_t key) {
  if (count > 64) {
    if (dir > 0)
      indexedRows<1, true>(out, idx, n, table, count, key);
    else
      indexedRows<-1, true>(out, idx, n, table, count, key);
  } else {
    if (dir > 0)
      indexedRows<1, false>(out, idx, n, table, count, key);
    else
      indexedRows<-1, false>(out, idx, n, table, count, key);
  }
}

KV_MASKED void argbBlendRowMasked(uint16_t* out, const uint32_t* src, int dir, int n) {
  if (dir > 0)
    argbRows<1>(out, src, n);
  else
    argbRows<-1>(out, src, n);
}

#undef KV_MASKED

#else

bool maskedRows() { return false; }
bool byteGatherRows() { return false; }
void argbBlendRowMasked(uint16_t* out, const uint32_t* src, int dir, int n) { argbBlendRowWide(out, src, dir, n); }
void keyedRowMasked(uint16_t* out, const uint16_t* src, int dir, int n, uint16_t key) {
  keyedRowWide(out, src, dir, n, key);
}
void blend4444RowMasked(uint16_t* out, const uint16_t* src, int dir, int n, uint16_t key) {
  blendKeyedRowWide(out, src, dir, true, n, key, 0);
}
void blend4444BlockMasked(uint8_t* out, std::ptrdiff_t outPitch, const uint8_t* src, std::ptrdiff_t srcPitch,
                          int dir, int n, int rows, uint16_t key) {
  for (int r = 0; r < rows; ++r, out += outPitch, src += srcPitch)
    blend4444RowMasked(reinterpret_cast<uint16_t*>(out), reinterpret_cast<const uint16_t*>(src), dir, n, key);
}
void indexedRowMasked(uint16_t* out, const uint8_t* idx, int dir, int n, const uint16_t* table, int count,
                      uint16_t key) {
  for (int i = 0; i < n; ++i) {
    const uint8_t k = idx[dir * i];
    if (k < count && table[k] != key) out[i] = table[k];
  }
}

#endif

}  // namespace pixelrows
