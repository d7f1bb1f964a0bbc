// The row loops of PixelRows.h that the game's frames spend their rows in,
// at sixteen pixels a step, built for processors with 256-bit integer
// vectors and chosen at run time.
#include "zul/2d/PixelRows.h"

// 256-bit vectors pass only between always-inlined helpers here.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace pixelrows {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KV_WIDE [[gnu::target("avx2")]]

bool wideRows() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#else
#define KV_WIDE

// Elsewhere the wide loops are the same code at the compiler's own width.
bool wideRows() { return false; }
#endif

KV_WIDE void keyedRowWide(uint16_t* out, const uint16_t* src, int dir, int n, uint16_t key) {
  if (dir > 0)
    keyedRow<1, 16>(out, src, n, key);
  else
    keyedRow<-1, 16>(out, src, n, key);
}

KV_WIDE void fillAlphaRowWide(uint16_t* out, int n, int ia, uint16_t pre) { fillAlphaRow<16>(out, n, ia, pre); }

KV_WIDE void argbBlendRowWide(uint16_t* out, const uint32_t* src, int dir, int n) {
  if (dir > 0)
    argbBlendRow<1, 16>(out, src, n);
  else
    argbBlendRow<-1, 16>(out, src, n);
}

KV_WIDE void argbOverRowWide(uint16_t* out, const uint32_t* src, int n) { argbOverRow<16>(out, src, n); }

#undef KV_WIDE

}  // namespace pixelrows
