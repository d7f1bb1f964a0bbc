// Vertex transforms four at a time: the eye position and the outcode of
// transformVertex with the 32 x 32-bit products in 64-bit vector lanes.
// The low 32 bits of a product shifted right by 14 are its bits 14-45
// whichever way the shift fills, and the low 32 bits of a 64-bit sum are the
// 32-bit wrapping sum, so each lane keeps exactly the scalar path's words.
#include <cstring>

#include "gles/GlContext.h"
#include "gles/PixelHelpers.h"

// 256-bit values pass only between inlined helpers here.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define KV_VERTEX_LANES 1
#endif

namespace {

inline int32_t readWord(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

#ifdef KV_VERTEX_LANES

bool hasLanes() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

[[gnu::target("avx2")]] inline __m256i lanes(int32_t v) { return _mm256_set1_epi64x(v); }

// q14Mul in each lane's low 32 bits.
[[gnu::target("avx2")]] inline __m256i mulQ14(__m256i a, __m256i b) {
  return _mm256_srli_epi64(_mm256_mul_epi32(a, b), 14);
}

// bit where a side's 32-bit sum a + b is not negative: the vertex is out.
[[gnu::target("avx2")]] inline __m256i outside(__m256i a, __m256i b, int bit) {
  return _mm256_andnot_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), _mm256_add_epi64(a, b)),
                             _mm256_set1_epi32(bit));
}

// The low 32-bit words of the four 64-bit lanes.
[[gnu::target("avx2")]] inline __m128i lowWords(__m256i v) {
  return _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
}

// q14Mul of four pairs of words.
[[gnu::target("avx2")]] inline __m128i mulQ14x4(__m128i a, __m128i b) {
  return lowWords(_mm256_srli_epi64(_mm256_mul_epi32(_mm256_cvtepi32_epi64(a), _mm256_cvtepi32_epi64(b)), 14));
}

// projectVertex in four lanes. The reciprocal is the quotient 2^42 / depth
// taken in doubles: within 2^-11 / |depth| of the exact one, so nearer than
// any whole number that the exact one is not, and its truncation is the
// 64-bit division's quotient; that divided by 2^14 and floored (exact in
// doubles) is the shifted quotient, which fits the 32-bit lanes.
struct Projected {
  __m128i inv, depth, x, y;
};

[[gnu::target("avx2")]] inline Projected projectLanes(const GlContext& c, __m128i ex, __m128i ey, __m128i ez) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i depth = _mm_sub_epi32(zero, ez);
  const __m256d q = _mm256_div_pd(_mm256_set1_pd(4398046511104.0), _mm256_cvtepi32_pd(depth));
  const __m256d whole = _mm256_round_pd(q, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
  const __m128i recip = _mm_andnot_si128(
      _mm_cmpeq_epi32(depth, zero),
      _mm256_cvttpd_epi32(_mm256_floor_pd(_mm256_mul_pd(whole, _mm256_set1_pd(1.0 / 16384.0)))));
  Projected p;
  p.inv = _mm_mullo_epi32(recip, _mm_set1_epi32(c.m_projectionScale));
  p.depth = c.m_capPolygonOffsetFill ? _mm_add_epi32(depth, _mm_set1_epi32(c.m_polygonOffsetUnits)) : depth;
  const __m128i lowFrom = _mm_set1_epi32(32768), lowTo = _mm_set1_epi32(98304);
  const int32_t widthQ = wrapMul(c.m_viewportWidth, kQ14One);
  __m128i sx = _mm_add_epi32(mulQ14x4(ex, p.inv), _mm_set1_epi32(c.m_viewportCentreX));
  const __m128i low = _mm_and_si128(_mm_cmpgt_epi32(sx, lowFrom), _mm_cmpgt_epi32(lowTo, sx));
  const __m128i high = _mm_andnot_si128(low, _mm_cmpgt_epi32(sx, _mm_set1_epi32(wrapSub(widthQ, 32768))));
  sx = _mm_blendv_epi8(sx, _mm_sub_epi32(sx, lowFrom), low);
  p.x = _mm_srai_epi32(_mm_blendv_epi8(sx, _mm_set1_epi32(widthQ), high), 14);
  p.y = _mm_srai_epi32(
      _mm_add_epi32(mulQ14x4(_mm_sub_epi32(zero, ey), p.inv), _mm_set1_epi32(c.m_viewportCentreY)), 14);
  return p;
}

// Transforms whole fours of the n vertices; returns how many it did. With
// Project a vertex whose outcode is 0 is projected too.
template <bool Project>
[[gnu::target("avx2")]] int transformFours(const GlContext& c, VertexSlot* const* slots, const uint8_t* const* pos,
                                           int n) {
  const Q14* m = c.m_modelviewTop->m;
  const __m256i m0 = lanes(m[0]), m1 = lanes(m[1]), m2 = lanes(m[2]), m3 = lanes(m[3]), m4 = lanes(m[4]),
                m5 = lanes(m[5]), m6 = lanes(m[6]), m7 = lanes(m[7]), m8 = lanes(m[8]), m9 = lanes(m[9]),
                m10 = lanes(m[10]), m11 = lanes(m[11]);
  const bool clip = c.m_capFrustumClip != 0;
  const __m256i negFar = lanes(static_cast<int32_t>(0u - static_cast<uint32_t>(c.m_far)));
  const __m256i negNear = lanes(static_cast<int32_t>(0u - static_cast<uint32_t>(c.m_near)));
  const __m256i by = lanes(c.m_planeBottom.y), bz = lanes(c.m_planeBottom.z), ty = lanes(c.m_planeTop.y),
                tz = lanes(c.m_planeTop.z), lx = lanes(c.m_planeLeft.x), lz = lanes(c.m_planeLeft.z),
                rx = lanes(c.m_planeRight.x), rz = lanes(c.m_planeRight.z);
  const __m256i zero = _mm256_setzero_si256();
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const uint8_t *p0 = pos[i], *p1 = pos[i + 1], *p2 = pos[i + 2], *p3 = pos[i + 3];
    const __m256i x = _mm256_setr_epi64x(readWord(p0), readWord(p1), readWord(p2), readWord(p3));
    const __m256i y = _mm256_setr_epi64x(readWord(p0 + 4), readWord(p1 + 4), readWord(p2 + 4), readWord(p3 + 4));
    const __m256i z = _mm256_setr_epi64x(readWord(p0 + 8), readWord(p1 + 8), readWord(p2 + 8), readWord(p3 + 8));
    const __m256i ex = _mm256_add_epi64(
        _mm256_add_epi64(_mm256_add_epi64(mulQ14(x, m0), mulQ14(y, m3)), mulQ14(z, m6)), m9);
    const __m256i ey = _mm256_add_epi64(
        _mm256_add_epi64(_mm256_add_epi64(mulQ14(x, m1), mulQ14(y, m4)), mulQ14(z, m7)), m10);
    const __m256i ez = _mm256_add_epi64(
        _mm256_add_epi64(_mm256_add_epi64(mulQ14(x, m2), mulQ14(y, m5)), mulQ14(z, m8)), m11);
    __m256i code = zero;
    if (clip) {
      const __m256i inside = _mm256_or_si256(
          _mm256_or_si256(_mm256_and_si256(_mm256_cmpgt_epi32(ez, negNear), _mm256_set1_epi32(kOutNear)),
                          outside(mulQ14(by, ey), mulQ14(bz, ez), kOutBottom)),
          _mm256_or_si256(_mm256_or_si256(outside(mulQ14(ty, ey), mulQ14(tz, ez), kOutTop),
                                          outside(mulQ14(lx, ex), mulQ14(lz, ez), kOutLeft)),
                          outside(mulQ14(rx, ex), mulQ14(rz, ez), kOutRight)));
      code = _mm256_blendv_epi8(_mm256_set1_epi32(kOutFar), inside, _mm256_cmpgt_epi32(ez, negFar));
    }
    alignas(32) int32_t wx[8], wy[8], wz[8], wc[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(wx), ex);
    _mm256_store_si256(reinterpret_cast<__m256i*>(wy), ey);
    _mm256_store_si256(reinterpret_cast<__m256i*>(wz), ez);
    _mm256_store_si256(reinterpret_cast<__m256i*>(wc), code);
    for (int k = 0; k < 4; ++k) {
      VertexSlot& s = *slots[i + k];
      s.eyeX = wx[2 * k];
      s.eyeY = wy[2 * k];
      s.eyeZ = wz[2 * k];
      s.depth = 0;
      s.outcode = static_cast<uint16_t>(wc[2 * k]);
    }
    if constexpr (Project) {
      const Projected p = projectLanes(c, lowWords(ex), lowWords(ey), lowWords(ez));
      alignas(16) int32_t pi[4], pd[4], px[4], py[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(pi), p.inv);
      _mm_store_si128(reinterpret_cast<__m128i*>(pd), p.depth);
      _mm_store_si128(reinterpret_cast<__m128i*>(px), p.x);
      _mm_store_si128(reinterpret_cast<__m128i*>(py), p.y);
      for (int k = 0; k < 4; ++k) {
        if (wc[2 * k] != 0) continue;
        VertexSlot& s = *slots[i + k];
        s.invDepth = pi[k];
        s.depth = pd[k];
        s.screenX = static_cast<int16_t>(px[k]);
        s.screenY = static_cast<int16_t>(py[k]);
      }
    }
  }
  return i;
}

#endif

}  // namespace

void GlContext::transformVertices(VertexSlot* const* slots, const uint8_t* const* positions, int n,
                                  bool project) const {
  int i = 0;
#ifdef KV_VERTEX_LANES
  if (n >= 4 && hasLanes())
    i = project ? transformFours<true>(*this, slots, positions, n) : transformFours<false>(*this, slots, positions, n);
#endif
  for (; i < n; ++i) {
    const uint8_t* p = positions[i];
    transformVertex(*slots[i], readWord(p), readWord(p + 4), readWord(p + 8));
    if (project && slots[i]->outcode == 0) projectVertex(slots[i]);
  }
}
