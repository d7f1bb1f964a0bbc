// Test signals and sox output handling for the ADPCM tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

// A sweep with a step and a burst, so that the step index moves over its range.
inline std::vector<int16_t> adpcmTestSignal(size_t n, int rate) {
  std::vector<int16_t> v(n);
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    double x = 12000 * std::sin(2 * M_PI * (200 + 800 * t) * t);
    if ((i / 500) % 3 == 1) x += 15000;
    if ((i / 700) % 5 == 2) x *= 0.05;
    v[i] = static_cast<int16_t>(std::lround(std::clamp(x, -32768.0, 32767.0)));
  }
  return v;
}

// sox's raw 16-bit output of a mono IMA ADPCM WAV without the first sample of
// each block (the block header's predictor).
inline std::vector<int16_t> dropBlockHeaders(const std::vector<uint8_t>& raw, uint32_t blockAlign) {
  const size_t perBlock = (blockAlign - 4) * 2 + 1;
  std::vector<int16_t> out;
  for (size_t i = 0; i + 1 < raw.size(); i += 2) {
    if ((i / 2) % perBlock == 0) continue;
    out.push_back(static_cast<int16_t>(raw[i] | raw[i + 1] << 8));
  }
  return out;
}
