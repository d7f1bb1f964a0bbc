// Screen effects of the game object: the timed fade, translucent fills, the
// band filters (glow, grey, smoothing, brightening) and the small drawing and
// angle routines of the table view (antialiased lines and circles, gradient
// bars, easing, square roots, angle wrapping).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "game/Korvane/cGame/cGame.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/Image.h"
#include "zul/3d/Angles.h"

namespace {

constexpr uint32_t kMaskRB = 0x00FF00FFu;
constexpr uint32_t kMaskG = 0x0000FF00u;
constexpr int32_t kGlowThreshold = 153;
constexpr Q14 k180 = 0x2D0000;
constexpr Q14 k360 = 0x5A0000;
constexpr int32_t kMaxCircleRadius = 32767;
constexpr int64_t kMaxSpan = int64_t{1} << 30;  // gradient columns stop beyond this

// One smoothing step of a running value toward p, by s/128, masked.
inline uint32_t smoothStep(uint32_t run, uint32_t p, int32_t s, uint32_t mask) {
  const int64_t d = static_cast<int64_t>(run) - static_cast<int64_t>(p);
  return static_cast<uint32_t>(static_cast<int64_t>(p) + ((d * s) >> 7)) & mask;
}

inline int32_t channel(uint32_t p, int shift) { return static_cast<int32_t>((p >> shift) & 0xFF); }

// The running values of the glow and the smoothing filters: red and blue
// together in one word (mask 0xff00ff), green alone (0xff00).
struct Run {
  uint32_t rb = 0, g = 0;
};

// The smoothing step as written: run = p + ((run - p) * s >> 7), masked.
struct PackedStep {
  int32_t s;
  uint32_t operator()(Run& run, uint32_t p) const {
    run.rb = smoothStep(run.rb, p & kMaskRB, s, kMaskRB);
    run.g = smoothStep(run.g, p & kMaskG, s, kMaskG);
    return run.rb | run.g;
  }
};

// For strengths 0..128 the packed step equals the mix
// (run * s + p * (128 - s)) >> 7 of each word: no term is negative and each
// channel's sum fits the 16 bits above it, so none carries into the next.
// The same result in fewer operations.
struct MixStep {
  uint32_t s;
  uint32_t rest;
  explicit MixStep(int32_t strength) : s(static_cast<uint32_t>(strength)), rest(128 - s) {}
  uint32_t operator()(Run& run, uint32_t p) const {
    run.rb = ((run.rb * s + (p & kMaskRB) * rest) >> 7) & kMaskRB;
    run.g = ((run.g * s + (p & kMaskG) * rest) >> 7) & kMaskG;
    return run.rb | run.g;
  }
};

// Runs f with the step for strength s.
template <class F>
void withStep(int32_t s, F&& f) {
  if (s >= 0 && s <= 128)
    f(MixStep(s));
  else
    f(PackedStep{s});
}

// Smooths n pixels a stride apart, from the first or from the last.
// The running values are copied in and out so that they stay in registers.
template <class Step>
void smoothRun(Run& state, const Step& step, uint32_t* pixels, int32_t n, int32_t stride, bool backwards) {
  Run run = state;
  if (backwards) {
    for (int32_t i = n - 1; i >= 0; --i) pixels[i * stride] = step(run, pixels[i * stride]);
  } else {
    for (int32_t i = 0; i < n; ++i) pixels[i * stride] = step(run, pixels[i * stride]);
  }
  state = run;
}

void smooth(Run& run, uint32_t* pixels, int32_t n, bool backwards, int32_t s) {
  withStep(s, [&](const auto& step) { smoothRun(run, step, pixels, n, 1, backwards); });
}

template <class T>
inline uint32_t pack(T r, T g, T b) {
  return (static_cast<uint32_t>(r) & 0xFF) << 16 | (static_cast<uint32_t>(g) & 0xFF) << 8 |
         (static_cast<uint32_t>(b) & 0xFF);
}

inline int64_t saturate(int64_t c) { return std::clamp<int64_t>(c, 0, 255); }

// c + (target - c) * s / 128; T is wide enough for the product.
template <class T = int64_t>
inline T blendToward(T c, T target, int32_t s) {
  return c + (((target - c) * s) >> 7);
}

// Factors up to this size times a channel difference fit 32 bits.
constexpr int32_t kSmallFactor = 1 << 22;

template <class T = int64_t>
inline uint32_t greyPixel(T r, T g, T b, int32_t s) {
  const T lum = (r + g + b + 16) >> 2;
  return pack<T>(blendToward<T>(r, lum, s), blendToward<T>(g, lum, s), blendToward<T>(b, lum, s));
}

inline int64_t scaleUp(int64_t c, int32_t s) { return saturate((c * (static_cast<int64_t>(s) + 128)) >> 7); }

// The pixel when one of its channels reaches the threshold, else 0.
inline uint32_t brightOrZero(uint32_t p) {
  const uint32_t bright = static_cast<uint32_t>(channel(p, 16) >= kGlowThreshold) |
                          static_cast<uint32_t>(channel(p, 8) >= kGlowThreshold) |
                          static_cast<uint32_t>(channel(p, 0) >= kGlowThreshold);
  return p & (0u - bright);
}

// Glow steps 1 and 2: each row from the right, bright source pixels whole
// and dark ones as 0; then the same row from the left over the result.
template <class Step>
void glowRows(Run& state, const Step& step, const uint32_t* src, uint32_t* scratch, int32_t w, int32_t h) {
  Run run = state;
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* in = src + y * w;
    uint32_t* row = scratch + y * w;
    for (int32_t x = w - 1; x >= 0; --x) row[x] = step(run, brightOrZero(in[x]));
    for (int32_t x = 0; x < w; ++x) row[x] = step(run, row[x]);
  }
  state = run;
}

// Glow step 3: each column down, then back up.
template <class Step>
void glowColumns(Run& run, const Step& step, uint32_t* scratch, int32_t w, int32_t h) {
  for (int32_t x = 0; x < w; ++x) {
    smoothRun(run, step, scratch + x, h, w, false);
    smoothRun(run, step, scratch + x, h, w, true);
  }
}

// Glow step 4: each channel c + g * g * gain >> 8 with g the glow's channel,
// capped at 255 (and at 0 for a negative gain). The amount added for each g
// is tabulated once; beyond +-255 it makes no difference.
struct GlowGain {
  int32_t add[256];
  explicit GlowGain(int32_t gain) {
    for (int64_t g = 0; g < 256; ++g)
      add[g] = static_cast<int32_t>(std::clamp<int64_t>((g * g * gain) >> 8, -255, 255));
  }
  uint32_t apply(uint32_t p, uint32_t glow) const {
    const int32_t r = std::clamp(channel(p, 16) + add[channel(glow, 16)], 0, 255);
    const int32_t g = std::clamp(channel(p, 8) + add[channel(glow, 8)], 0, 255);
    const int32_t b = std::clamp(channel(p, 0) + add[channel(glow, 0)], 0, 255);
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
  }
};

inline uint32_t alphaWord(int64_t alpha) { return static_cast<uint32_t>(std::clamp<int64_t>(alpha, 0, 255)) << 24; }

// Cuts a rectangle to the target image; false when nothing of it is left.
bool clipToImage(const Image* image, int32_t& x, int32_t& y, int32_t& w, int32_t& h) {
  if (!image) return false;
  const int64_t iw = image->getWidth();
  const int64_t ih = image->getHeight();
  int64_t x0 = x, y0 = y, w0 = w, h0 = h;
  if (x0 >= iw || y0 >= ih || x0 + w0 <= 0 || y0 + h0 <= 0) return false;
  if (x0 < 0) {
    w0 += x0;
    x0 = 0;
  }
  if (y0 < 0) {
    h0 += y0;
    y0 = 0;
  }
  w0 = std::min(w0, iw - x0);
  h0 = std::min(h0, ih - y0);
  if (w0 <= 0 || h0 <= 0) return false;
  x = static_cast<int32_t>(x0);
  y = static_cast<int32_t>(y0);
  w = static_cast<int32_t>(w0);
  h = static_cast<int32_t>(h0);
  return true;
}

// Reads the rectangle into the band buffer a band of rows at a time, runs
// filter(band, rows) and writes the band back. A band holds at most
// kBandBufferPixels pixels.
template <class Filter>
void walkBands(Graphics* g, uint32_t* band, int32_t x, int32_t y, int32_t w, int32_t h, bool read, bool write,
               Filter&& filter) {
  if (w <= 0 || h <= 0) return;
  const int32_t rowsPerBand = kBandBufferPixels / w;
  if (rowsPerBand < 2) return;  // wider than half the buffer: no band fits
  for (int32_t done = 0; done < h;) {
    int32_t rows = h - done;
    if (rows > rowsPerBand) rows = rowsPerBand - 1;
    if (read) g->getRGB(band, 0, w, x, y + done, w, rows);
    filter(band, rows);
    if (write) g->drawRGB(band, 0, w, x, y + done, w, rows, false);
    done += rows;
  }
}

// Two neighbouring pixels of one colour through the two-entry scratch row:
// side by side, or the second below the first.
void drawPixelPair(cGame& game, Graphics* g, int64_t x, int64_t y, bool sideBySide, uint32_t rgb, int64_t alpha0,
                   int64_t alpha1) {
  if (x < std::numeric_limits<int32_t>::min() || x > std::numeric_limits<int32_t>::max() - 1 ||
      y < std::numeric_limits<int32_t>::min() || y > std::numeric_limits<int32_t>::max() - 1)
    return;
  game.effects.pixelPair[0] = alphaWord(alpha0) | (rgb & 0xFFFFFF);
  game.effects.pixelPair[1] = alphaWord(alpha1) | (rgb & 0xFFFFFF);
  const int32_t px = static_cast<int32_t>(x);
  const int32_t py = static_cast<int32_t>(y);
  if (sideBySide)
    g->drawRGB(game.effects.pixelPair, 0, 2, px, py, 2, 1, true);
  else
    g->drawRGB(game.effects.pixelPair, 0, 1, px, py, 1, 2, true);
}

uint32_t scaleAlpha(uint32_t argb, int32_t scale) {
  const uint32_t a = ((argb >> 24) * static_cast<uint32_t>(scale)) >> 10;
  return (std::min<uint32_t>(a, 255) << 24) | (argb & 0xFFFFFF);
}

}  // namespace

// --- fade

void resetEffects(cGame& game) {
  game.effects.fade = ScreenFade();
  std::memset(game.effects.bandBuffer, 0, sizeof game.effects.bandBuffer);
  std::memset(game.effects.glowBuffer, 0, sizeof game.effects.glowBuffer);
  game.effects.pixelPair[0] = game.effects.pixelPair[1] = 0;
  game.effects.drawSuppressed = 0;
  game.effects.alphaBars = 0;
  game.effects.glowNoWriteBack = 0;
  game.effects.paintingOffscreen32 = 0;
}

void startFade(cGame& game, int32_t length, int32_t direction) {
  game.effects.fade.length = length;
  game.effects.fade.direction = direction;
  game.effects.fade.elapsed = 0;
}

void stopFade(cGame& game) {
  game.effects.fade.direction = 0;
  game.effects.fade.length = -1;
  game.effects.fade.elapsed = 0;
}

bool updateFade(cGame& game) {
  if (game.effects.fade.length <= 0) return false;
  const int64_t e = static_cast<int64_t>(game.effects.fade.elapsed) + game.frame.frameTime;
  game.effects.fade.elapsed = static_cast<int32_t>(
      std::clamp<int64_t>(e, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  return game.effects.fade.elapsed >= game.effects.fade.length;
}

void paintFade(cGame& game, Graphics* g) { paintFadeRect(game, g, 0, 0, 240, 320); }

void paintFadeRect(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h) {
  const int32_t length = game.effects.fade.length;
  if (!g || length <= 0) return;
  const int32_t e = std::clamp(game.effects.fade.elapsed, 0, length);
  const bool fadingIn = game.effects.fade.direction == 0;
  if (fadingIn && e == length) return;
  // At the end of a fade out the alpha is 255: the rectangle is solid black.
  int64_t alpha = static_cast<int64_t>(e) * 255 / length;
  if (fadingIn) alpha = 255 - alpha;
  fillRectAlpha(game, g, x, y, w, h, alphaWord(alpha));
}

void fillRectAlpha(cGame& /*game*/, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb) {
  if (!g) return;
  g->setColorRaw(argb);
  if (argb >> 24) g->fillRect(x, y, w, h);
  g->setAlpha(255);
}

// --- band filters

void glowArea(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t strengthH,
              int32_t strengthV, int32_t gain) {
  if (!g || !clipToImage(g->getTarget(), x, y, w, h)) return;
  walkBands(g, game.effects.bandBuffer, x, y, w, h, !game.effects.paintingOffscreen32, !game.effects.glowNoWriteBack,
            [&](uint32_t* band, int32_t rows) { glowPixels(game, w, rows, band, strengthH, strengthV, gain); });
}

void glowPixels(cGame& game, int32_t w, int32_t h, uint32_t* pixels, int32_t strengthH, int32_t strengthV,
                int32_t gain) {
  if (!pixels || w <= 0 || h <= 0) return;
  if (static_cast<int64_t>(w) * h > kGlowBufferPixels) return;
  uint32_t* scratch = game.effects.glowBuffer;
  Run run;  // carried through every pass
  withStep(strengthH, [&](const auto& step) { glowRows(run, step, pixels, scratch, w, h); });
  withStep(strengthV, [&](const auto& step) { glowColumns(run, step, scratch, w, h); });
  const GlowGain add(gain);
  const int32_t n = w * h;
  for (int32_t i = 0; i < n; ++i) pixels[i] = add.apply(pixels[i], scratch[i]);
}

void greyArea(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t strength) {
  if (!g || !clipToImage(g->getTarget(), x, y, w, h)) return;
  walkBands(g, game.effects.bandBuffer, x, y, w, h, true, true,
            [&](uint32_t* band, int32_t rows) { filterGrey(band, w * rows, strength); });
}

void blurArea(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, bool rightward, int32_t strength) {
  if (!g || !clipToImage(g->getTarget(), x, y, w, h)) return;
  const int32_t s = strength & 127;  // strength mod 128, never negative
  walkBands(g, game.effects.bandBuffer, x, y, w, h, true, true, [&](uint32_t* band, int32_t rows) {
    for (int32_t r = 0; r < rows; ++r) {
      if (rightward)
        filterSmoothRight(band + r * w, w, s);
      else
        filterSmoothLeft(band + r * w, w, s);
    }
  });
}

// --- row filters

void filterGrey(uint32_t* pixels, int32_t n, int32_t s) {
  if (s >= -kSmallFactor && s <= kSmallFactor) {
    for (int32_t i = 0; i < n; ++i) {
      const uint32_t p = pixels[i];
      pixels[i] = greyPixel<int32_t>(channel(p, 16), channel(p, 8), channel(p, 0), s);
    }
  } else {
    for (int32_t i = 0; i < n; ++i) {
      const uint32_t p = pixels[i];
      pixels[i] = greyPixel<int64_t>(channel(p, 16), channel(p, 8), channel(p, 0), s);
    }
  }
}

void filterSmoothLeft(uint32_t* pixels, int32_t n, int32_t s) {
  Run run;
  smooth(run, pixels, n, true, s);
}

void filterSmoothRight(uint32_t* pixels, int32_t n, int32_t s) {
  Run run;
  smooth(run, pixels, n, false, s);
}

void filterSmoothGrey(uint32_t* pixels, int32_t n, int32_t s1, int32_t s2) {
  filterSmoothLeft(pixels, n, s1);
  int64_t r = 0, g = 0, b = 0;
  for (int32_t i = 0; i < n; ++i) {
    const uint32_t p = pixels[i];
    r = blendToward<int64_t>(channel(p, 16), r, s1) & 0xFF;
    g = blendToward<int64_t>(channel(p, 8), g, s1) & 0xFF;
    b = blendToward<int64_t>(channel(p, 0), b, s1) & 0xFF;
    pixels[i] = greyPixel(r, g, b, s2);
  }
}

void filterWarmBrighten(uint32_t* pixels, int32_t n, int32_t s) {
  for (int32_t i = 0; i < n; ++i) {
    const uint32_t p = pixels[i];
    pixels[i] = pack(saturate(int64_t{channel(p, 16)} + s), scaleUp(channel(p, 8), s), scaleUp(channel(p, 0), s));
  }
}

void filterYellowBrighten(uint32_t* pixels, int32_t n, int32_t s) {
  for (int32_t i = 0; i < n; ++i) {
    const uint32_t p = pixels[i];
    pixels[i] = pack(saturate(int64_t{channel(p, 16)} + s), saturate(int64_t{channel(p, 8)} + s),
                     scaleUp(channel(p, 0), s));
  }
}

void filterBrighten(uint32_t* pixels, int32_t n, int32_t s) {
  for (int32_t i = 0; i < n; ++i) {
    const uint32_t p = pixels[i];
    pixels[i] = pack(scaleUp(channel(p, 16), s), scaleUp(channel(p, 8), s), scaleUp(channel(p, 0), s));
  }
}

void filterBrightenSmooth(uint32_t* pixels, int32_t n, int32_t s) {
  filterBrighten(pixels, n, s);
  filterSmoothLeft(pixels, n, s);
}

uint32_t pulse(const cGame& game, int32_t period, uint32_t from, uint32_t to) {
  if (period <= 0) return from & 0xFFFFFF;
  const int64_t phase = (static_cast<int64_t>(game.frame.paintFrameCount) % period + period) % period;
  const Q14 degrees = static_cast<Q14>(phase * k360 / period);
  const int64_t t = (static_cast<int64_t>(absQ14(sinDegrees(degrees))) * 255) >> 14;
  uint32_t out = 0;
  for (int shift = 16; shift >= 0; shift -= 8) {
    const int64_t a = channel(from, shift);
    const int64_t b = channel(to, shift);
    out |= (static_cast<uint32_t>(a + (((b - a) * t) >> 8)) & 0xFF) << shift;
  }
  return out;
}

// --- small drawing routines

void drawAlphaPixel(cGame& game, Graphics* g, int32_t x, int32_t y, uint32_t rgb, int32_t alpha) {
  if (game.effects.drawSuppressed || !g) return;
  game.effects.pixelPair[0] = alphaWord(alpha) | (rgb & 0xFFFFFF);
  g->drawRGB(game.effects.pixelPair, 0, 1, x, y, 1, 1, true);
}

void drawSmoothLine(cGame& game, Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb) {
  drawSmoothLineAlpha(game, g, x1, y1, x2, y2, rgb, 255, 255);
}

void drawSmoothLineAlpha(cGame& game, Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb,
                         int32_t alpha1, int32_t alpha2) {
  if (game.effects.drawSuppressed || !g) return;
  int64_t dx = static_cast<int64_t>(x2) - x1;
  int64_t dy = static_cast<int64_t>(y2) - y1;
  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  // Step the long axis towards larger coordinates.
  if (xMajor ? dx < 0 : dy < 0) {
    std::swap(x1, x2);
    std::swap(y1, y2);
    std::swap(alpha1, alpha2);
    dx = -dx;
    dy = -dy;
  }
  const int64_t steps = xMajor ? dx : dy;
  if (steps == 0) return;
  const int64_t major0 = xMajor ? x1 : y1;
  const int64_t minor0 = static_cast<int64_t>(xMajor ? y1 : x1) * 65536;
  const int64_t minorStep = (xMajor ? dy : dx) * 65536 / steps;
  const int64_t alpha0 = static_cast<int64_t>(alpha1) * 65536;
  const int64_t alphaStep = (static_cast<int64_t>(alpha2) - alpha1) * 65536 / steps;
  // Only the steps inside the clip along the long axis can draw anything.
  const int64_t clip0 = xMajor ? g->getClipX() : g->getClipY();
  const int64_t clip1 = clip0 + (xMajor ? g->getClipWidth() : g->getClipHeight());
  const int64_t first = std::max<int64_t>(0, clip0 - major0);
  const int64_t last = std::min<int64_t>(steps, clip1 - major0);  // the end point itself is not drawn
  for (int64_t i = first; i < last; ++i) {
    const int64_t minor = minor0 + i * minorStep;
    const int64_t alpha = (alpha0 + i * alphaStep) >> 16;
    const int64_t f = minor & 0xFFFF;
    const int64_t alphaNear = (((0x10000 - f) >> 8) * alpha) >> 8;
    const int64_t alphaFar = ((f >> 8) * alpha) >> 8;
    const int64_t m = minor >> 16;
    if (xMajor)
      drawPixelPair(game, g, major0 + i, m, false, rgb, alphaNear, alphaFar);
    else
      drawPixelPair(game, g, m, major0 + i, true, rgb, alphaNear, alphaFar);
  }
}

void drawSmoothCircle(cGame& game, Graphics* g, int32_t cx, int32_t cy, int32_t r, uint32_t rgb) {
  if (game.effects.drawSuppressed || !g || r < 0 || r > kMaxCircleRadius) return;
  const int64_t x0 = cx, y0 = cy;
  drawPixelPair(game, g, x0 + r, y0, true, rgb, 255, 0);
  drawPixelPair(game, g, x0 - r, y0, true, rgb, 255, 0);
  drawPixelPair(game, g, x0, y0 + r, true, rgb, 255, 0);
  drawPixelPair(game, g, x0, y0 - r, true, rgb, 255, 0);
  int64_t extent = r;
  int64_t previous = 0;
  for (int64_t i = 1; extent > i; ++i) {
    // 8.8 root of r^2 - i^2: 64 bits from r = 182 on.
    const uint64_t square = static_cast<uint64_t>(static_cast<int64_t>(r) * r - i * i) << 16;
    const int64_t s = static_cast<int64_t>(isqrt64(square));
    const int64_t a = 256 - (s & 255);
    if (a < previous) extent -= 1;
    previous = a;
    const int64_t inner = a;
    const int64_t outer = 255 - a;
    const int64_t e = extent;
    // Pairs along x: the inner pixel faces the centre.
    drawPixelPair(game, g, x0 + e - 1, y0 + i, true, rgb, inner, outer);
    drawPixelPair(game, g, x0 + e - 1, y0 - i, true, rgb, inner, outer);
    drawPixelPair(game, g, x0 - e, y0 + i, true, rgb, outer, inner);
    drawPixelPair(game, g, x0 - e, y0 - i, true, rgb, outer, inner);
    // Pairs along y.
    drawPixelPair(game, g, x0 + i, y0 + e - 1, false, rgb, inner, outer);
    drawPixelPair(game, g, x0 - i, y0 + e - 1, false, rgb, inner, outer);
    drawPixelPair(game, g, x0 + i, y0 - e, false, rgb, outer, inner);
    drawPixelPair(game, g, x0 - i, y0 - e, false, rgb, outer, inner);
  }
}

void drawGradientColumn(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgbTop,
                        uint32_t rgbBottom, int32_t step) {
  if (game.effects.drawSuppressed || !g || w < 0 || h <= 0) return;
  int64_t c[4], d[4];  // A, R, G, B in 8.8
  for (int k = 0; k < 4; ++k) {
    const int shift = 24 - 8 * k;
    const int64_t top = (rgbTop >> shift) & 0xFF;
    const int64_t bottom = (rgbBottom >> shift) & 0xFF;
    c[k] = top * 256;
    d[k] = (bottom - top) * 256 / h;
  }
  int64_t cx = x;
  int64_t cw = w;
  constexpr int64_t kRowPixels = static_cast<int64_t>(sizeof game.engine.rowBuffer / sizeof game.engine.rowBuffer[0]);
  for (int64_t row = 0; row < h; ++row) {
    if (cw < 0 || cw > kMaxSpan || cx < -kMaxSpan || cx > kMaxSpan) break;
    const int64_t yy = y + row;
    if (yy > std::numeric_limits<int32_t>::max()) break;
    if ((row & 1) == 0 && cw > 0) {
      const uint32_t colour = (static_cast<uint32_t>(c[0] >> 8) & 0xFF) << 24 |
                              pack(c[1] >> 8, c[2] >> 8, c[3] >> 8);
      if (game.effects.alphaBars) {
        const int32_t n = static_cast<int32_t>(std::min(cw, kRowPixels));
        std::fill_n(game.engine.rowBuffer, n, colour);
        g->drawRGB(game.engine.rowBuffer, 0, n, static_cast<int32_t>(cx), static_cast<int32_t>(yy), n, 1, true);
      } else {
        fillRectAlpha(game, g, static_cast<int32_t>(cx), static_cast<int32_t>(yy), static_cast<int32_t>(cw), 1, colour);
      }
    }
    cx -= step;
    cw += 2 * static_cast<int64_t>(step);
    for (int k = 0; k < 4; ++k) c[k] += d[k];
  }
}

void drawGradientBar(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgb1,
                     uint32_t rgb2) {
  if (game.effects.drawSuppressed || !g) return;
  const int64_t half = (static_cast<int64_t>(h) + 4) >> 1;
  const int64_t top64 = static_cast<int64_t>(y) - 2;
  if (top64 < std::numeric_limits<int32_t>::min() ||
      top64 + std::max<int64_t>(half, 0) > std::numeric_limits<int32_t>::max())
    return;
  const int32_t k = static_cast<int32_t>(half);
  const int32_t top = static_cast<int32_t>(top64);
  drawGradientColumn(game, g, x, top, w, k, rgb1, rgb2, 0);
  drawGradientColumn(game, g, x, top + k, w, k, rgb2, rgb1, 0);
  if (k <= 1) return;
  for (int32_t i = 1; i <= k - 1; ++i) {
    const int32_t scale = 1024 - static_cast<int32_t>(static_cast<int64_t>(i - 1) * 1024 / (k - 1));
    const uint32_t c1 = scaleAlpha(rgb1, scale);
    const uint32_t c2 = scaleAlpha(rgb2, scale);
    const int64_t sides[2] = {static_cast<int64_t>(x) + w + i - 1, static_cast<int64_t>(x) - i};
    for (int64_t side : sides) {
      if (side < std::numeric_limits<int32_t>::min() || side > std::numeric_limits<int32_t>::max()) continue;
      drawGradientColumn(game, g, static_cast<int32_t>(side), top, 1, k, c1, c2, 0);
      drawGradientColumn(game, g, static_cast<int32_t>(side), top + k, 1, k, c2, c1, 0);
    }
  }
}

// --- easing and angles

int32_t easeTowards(int32_t current, int32_t target, int32_t rate) {
  // Rates this large overshoot anyway; the bound keeps the product in 64 bits.
  const int64_t r = std::clamp<int64_t>(rate, -(int64_t{1} << 27), int64_t{1} << 27);
  const int64_t diff = static_cast<int64_t>(target) - current;
  int64_t step = (diff * r * 10) >> 10;
  if (step == 0 && rate >= 1 && diff != 0) step = diff > 0 ? 1 : -1;
  return static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(current) + step,
                                                  std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

Vector2 rotateVector(const Vector2& v, int32_t angle) {
  const Q14 c = cosDegrees(angle);
  const Q14 s = sinDegrees(angle);
  return Vector2(wrapSub(q14Mul(v.x, c), q14Mul(v.y, s)), wrapAdd(q14Mul(v.x, s), q14Mul(v.y, c)));
}

int32_t angleDifference(int32_t a, int32_t b) {
  const int32_t d = wrapSub(a, b);
  return d <= k180 ? d : wrapAdd(wrapSub(b, a), k360);
}

int32_t wrapAngle(int32_t a) {
  int64_t v = a;
  while (v > k180 || v < -k180) v += v < 0 ? k360 : -k360;
  return static_cast<int32_t>(v);
}
uint32_t pulseColour(const cGame& game, int32_t period, uint32_t rgbA, uint32_t rgbB) {
  return pulse(game, period, rgbA, rgbB);
}
