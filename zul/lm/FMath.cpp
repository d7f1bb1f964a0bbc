#include "zul/lm/FMath.h"

#include "zul/lm/Q14.h"
#include "zul/memory/Debug.h"

namespace {
constexpr const char* kSource = "FMath";
}  // namespace

FMath::FMath() {
  m_recip[0] = 0x7FFFFFFFu;
  for (uint32_t i = 1; i < kRecipCount; ++i) m_recip[i] = 0x80000000u / i;
}

int32_t FMath::sin(int32_t angle) {
  const int32_t a = angle & 0xFFF;
  if (a <= 1024) return kFMathSineTable[a];
  if (a <= 2048) return kFMathSineTable[2048 - a];
  if (a <= 3072) return -static_cast<int32_t>(kFMathSineTable[a - 2048]);
  return -static_cast<int32_t>(kFMathSineTable[4096 - a]);
}

int32_t FMath::cos(int32_t angle) { return sin(wrapAdd(angle, 1024)); }

FPoint& FMath::rotatePoint(FPoint& out, const FPoint& point, const FPoint& centre, int32_t angle) {
  const int32_t dx = wrapSub(point.x, centre.x);
  const int32_t dy = wrapSub(point.y, centre.y);
  const int32_t c = cos(angle), s = sin(angle);
  const int32_t rx = wrapSub(wrapMul(dx, c), wrapMul(dy, s));
  const int32_t ry = wrapAdd(wrapMul(dx, s), wrapMul(dy, c));
  out.x = wrapAdd(centre.x, rx >> 12);
  out.y = wrapAdd(centre.y, ry >> 12);
  return out;
}

void FMath::divMod(int32_t dividend, int32_t divisor, int32_t& quotient, int32_t& remainder) {
  KV_CHECK(divisor >= 1, 128, kSource);
  if (divisor == 0) {  // nothing to divide by
    quotient = 0;
    remainder = 0;
    return;
  }
  const int64_t n = dividend, d = divisor;
  if (n >= 0) {
    quotient = static_cast<int32_t>(n / d);
    remainder = static_cast<int32_t>(n % d);
    return;
  }
  const int64_t q = (-n) / d, r = (-n) % d;
  if (r == 0) {
    quotient = static_cast<int32_t>(-q);
    remainder = 0;
  } else {
    quotient = static_cast<int32_t>(-q - 1);
    remainder = static_cast<int32_t>(d - r);
  }
}

int32_t FMath::divide(int32_t dividend, int32_t divisor, int shift, int lineLow, int lineHigh) const {
  const bool low = divisor < 1, high = divisor > 4096;
  KV_CHECK(!low, lineLow, kSource);
  KV_CHECK(!high, lineHigh, kSource);
  const int64_t n = dividend;
  if (divisor < 0 || high) {
    // Outside the table: a true division, truncated toward zero.
    return static_cast<int32_t>((n * (int64_t{1} << (31 - shift))) / divisor);
  }
  const uint64_t mag = static_cast<uint64_t>(n < 0 ? -n : n);
  const int64_t q = static_cast<int64_t>((mag * m_recip[divisor]) >> shift);
  return static_cast<int32_t>(n < 0 ? -q : q);
}

int32_t FMath::divFixed(int32_t dividend, int32_t divisor) const { return divide(dividend, divisor, 19, 58, 59); }

int32_t FMath::divInt(int32_t dividend, int32_t divisor) const { return divide(dividend, divisor, 31, 68, 69); }
