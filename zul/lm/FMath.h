// Fixed point with 12 fraction bits (1.0 = 4096) for the 2D side: its own sine
// table (4096 units per turn), point rotation, floor division and division
// through a table of reciprocals.
#pragma once

#include <cstdint>

// floor(4096 * sin(i * 90 / 1024 degrees)), i = 0..1024.
extern const uint16_t kFMathSineTable[1025];

// Integer point; the constructor without arguments leaves both as they are.
struct FPoint {
  int32_t x;
  int32_t y;
  FPoint() = default;
  constexpr FPoint(int32_t x_, int32_t y_) : x(x_), y(y_) {}
};

class FMath {
 public:
  static constexpr int kRecipCount = 4097;

  // Fills the reciprocal table: entry 0 = 0x7FFFFFFF, entry i = 0x80000000 / i.
  FMath();
  virtual ~FMath() = default;

  static constexpr int32_t toFixed(int32_t i) { return static_cast<int32_t>(static_cast<uint32_t>(i) << 12); }
  static constexpr int32_t toInt(int32_t f) { return f >> 12; }
  // Signed 64-bit product shifted right arithmetically by n (0..63), low 32 bits.
  static constexpr int32_t mulShift(int32_t a, int32_t b, int n) {
    return static_cast<int32_t>((static_cast<int64_t>(a) * b) >> n);
  }
  static int32_t sin(int32_t angle);
  static int32_t cos(int32_t angle);
  // Rotates point about centre; 32-bit products that wrap.
  static FPoint& rotatePoint(FPoint& out, const FPoint& point, const FPoint& centre, int32_t angle);
  // Floor division with a non-negative remainder; the divisor must be at least 1.
  static void divMod(int32_t dividend, int32_t divisor, int32_t& quotient, int32_t& remainder);

  // dividend / divisor with 12 fraction bits, truncated toward zero; divisor 1..4096.
  int32_t divFixed(int32_t dividend, int32_t divisor) const;
  // Integer quotient truncated toward zero; divisor 1..4096.
  int32_t divInt(int32_t dividend, int32_t divisor) const;

  uint32_t reciprocal(int i) const { return m_recip[i]; }

 private:
  int32_t divide(int32_t dividend, int32_t divisor, int shift, int lineLow, int lineHigh) const;

  uint32_t m_recip[kRecipCount];
};
