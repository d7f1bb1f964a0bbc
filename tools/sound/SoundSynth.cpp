#include "tools/sound/SoundSynth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kvtools {
namespace {

constexpr double kPi = 3.14159265358979323846;

const char* const kNames[kSoundCount] = {
    "sfx_break_hard.ogg", "sfx_clap.ogg",    "sfx_cushion_medium.ogg", "sfx_hit_hard.ogg",
    "sfx_pocket_medium.ogg", "sfx_stick_hard.ogg", "sfx_stick_miss.ogg", "sfx_cash.ogg",
    "sfx_crowd_aww.ogg",  "sfx_error.ogg",   "sfx_tally.ogg",          "m_title.ogg",
    "m_start.ogg",        "m_win.ogg",       "m_lose.ogg"};

// Small deterministic noise source.
struct Noise {
  uint32_t state;
  explicit Noise(uint32_t seed) : state(seed) {}
  double next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
  }
};

// A mono float buffer that sounds are mixed into.
struct Track {
  std::vector<double> s;
  explicit Track(double seconds) : s(static_cast<std::size_t>(seconds * kSoundRate), 0.0) {}

  void add(std::size_t i, double v) {
    if (i < s.size()) s[i] += v;
  }

  // A damped sine partial starting at t0.
  void ping(double t0, double freq, double amp, double decay, double length) {
    std::size_t start = static_cast<std::size_t>(t0 * kSoundRate);
    std::size_t n = static_cast<std::size_t>(length * kSoundRate);
    for (std::size_t k = 0; k < n; ++k) {
      double t = static_cast<double>(k) / kSoundRate;
      double attack = std::min(1.0, t * 2000.0);
      add(start + k, amp * attack * std::exp(-t * decay) * std::sin(2 * kPi * freq * t));
    }
  }

  // A burst of low-passed noise.
  void burst(double t0, double amp, double decay, double length, double smooth, Noise& noise) {
    std::size_t start = static_cast<std::size_t>(t0 * kSoundRate);
    std::size_t n = static_cast<std::size_t>(length * kSoundRate);
    double lp = 0;
    for (std::size_t k = 0; k < n; ++k) {
      double t = static_cast<double>(k) / kSoundRate;
      lp += (noise.next() - lp) * smooth;
      add(start + k, amp * std::exp(-t * decay) * lp);
    }
  }

  // A musical note: a few harmonics with an attack/release envelope.
  void note(double t0, double freq, double dur, double amp) {
    std::size_t start = static_cast<std::size_t>(t0 * kSoundRate);
    std::size_t n = static_cast<std::size_t>((dur + 0.08) * kSoundRate);
    for (std::size_t k = 0; k < n; ++k) {
      double t = static_cast<double>(k) / kSoundRate;
      double env = std::min(1.0, t * 150.0) * std::exp(-t * 2.5);
      if (t > dur) env *= std::max(0.0, 1.0 - (t - dur) / 0.08);
      double w = std::sin(2 * kPi * freq * t) + 0.35 * std::sin(4 * kPi * freq * t) +
                 0.15 * std::sin(6 * kPi * freq * t);
      add(start + k, amp * env * w);
    }
  }

  std::vector<int16_t> pcm() const {
    double peak = 1e-9;
    for (double v : s) peak = std::max(peak, std::fabs(v));
    double gain = peak > 0.9 ? 0.9 / peak : 1.0;
    std::vector<int16_t> out(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
      double v = std::clamp(s[i] * gain, -1.0, 1.0);
      out[i] = static_cast<int16_t>(std::lround(v * 32767.0));
    }
    return out;
  }
};

double midi(int n) { return 440.0 * std::pow(2.0, (n - 69) / 12.0); }

// A melody as (midi note or 0 for a rest, beats) pairs over an optional bass.
void melody(Track& tr, double beat, const int (*notes)[2], int count, double amp, double t0 = 0) {
  double t = t0;
  for (int i = 0; i < count; ++i) {
    double d = notes[i][1] * beat;
    if (notes[i][0] > 0) tr.note(t, midi(notes[i][0]), d * 0.9, amp);
    t += d;
  }
}

std::vector<int16_t> make(int id) {
  Noise noise(0x4B565231u + static_cast<uint32_t>(id) * 7919u);
  switch (id) {
    case 0: {  // break: a cascade of ball knocks
      Track tr(0.7);
      const double times[] = {0.0, 0.021, 0.035, 0.052, 0.08, 0.11, 0.15, 0.19, 0.26, 0.33};
      for (int i = 0; i < 10; ++i) {
        double a = 0.9 - i * 0.07;
        tr.ping(times[i], 2300 + 170 * (i % 4), a, 60, 0.09);
        tr.ping(times[i], 3900 - 130 * (i % 3), a * 0.4, 90, 0.06);
        tr.burst(times[i], a * 0.3, 200, 0.01, 0.8, noise);
      }
      return tr.pcm();
    }
    case 1: {  // clap: a few rounds of hand claps
      Track tr(1.4);
      for (int i = 0; i < 14; ++i) {
        double t = i * 0.085 + 0.02 * noise.next();
        tr.burst(std::max(0.0, t), 0.6 + 0.2 * noise.next(), 45, 0.06, 0.5, noise);
      }
      return tr.pcm();
    }
    case 2: {  // cushion: a dull thud
      Track tr(0.25);
      tr.ping(0, 140, 0.9, 30, 0.2);
      tr.ping(0, 310, 0.3, 45, 0.12);
      tr.burst(0, 0.35, 80, 0.04, 0.15, noise);
      return tr.pcm();
    }
    case 3: {  // hard ball-on-ball click
      Track tr(0.18);
      tr.ping(0, 2600, 0.9, 70, 0.12);
      tr.ping(0, 4100, 0.45, 110, 0.08);
      tr.burst(0, 0.3, 400, 0.01, 0.9, noise);
      return tr.pcm();
    }
    case 4: {  // pocket: the ball rattles into the pocket
      Track tr(0.55);
      const double times[] = {0.0, 0.07, 0.13, 0.2, 0.3};
      for (int i = 0; i < 5; ++i) {
        tr.ping(times[i], 180 + 25 * i, 0.8 - 0.13 * i, 35, 0.15);
        tr.burst(times[i], 0.25, 60, 0.03, 0.2, noise);
      }
      return tr.pcm();
    }
    case 5: {  // cue tip striking the ball
      Track tr(0.2);
      tr.ping(0, 1250, 0.8, 55, 0.14);
      tr.ping(0, 620, 0.5, 40, 0.15);
      tr.burst(0, 0.25, 300, 0.015, 0.7, noise);
      return tr.pcm();
    }
    case 6: {  // miscue: a short, thin scrape
      Track tr(0.15);
      tr.burst(0, 0.5, 35, 0.1, 0.6, noise);
      tr.ping(0, 900, 0.3, 80, 0.06);
      return tr.pcm();
    }
    case 7: {  // cash register: drawer clunk and a bell
      Track tr(0.9);
      tr.burst(0, 0.5, 50, 0.06, 0.3, noise);
      tr.ping(0.05, 220, 0.4, 40, 0.12);
      tr.ping(0.12, 2093, 0.7, 5, 0.75);
      tr.ping(0.12, 2637, 0.35, 6, 0.75);
      tr.ping(0.12, 4186, 0.15, 9, 0.5);
      return tr.pcm();
    }
    case 8: {  // crowd "aww": murmur whose pitch falls
      Track tr(1.5);
      double phase[3] = {0, 0, 0};
      const double base[3] = {210, 260, 330};
      double lp = 0;
      for (std::size_t k = 0; k < tr.s.size(); ++k) {
        double t = static_cast<double>(k) / kSoundRate;
        double env = std::min(1.0, t * 6) * std::exp(-t * 1.6);
        double fall = 1.0 - 0.35 * t / 1.5;
        double v = 0;
        for (int j = 0; j < 3; ++j) {
          phase[j] += 2 * kPi * base[j] * fall / kSoundRate;
          v += std::sin(phase[j] + 0.5 * std::sin(phase[j] * 0.013));
        }
        lp += (noise.next() - lp) * 0.08;
        tr.s[k] = env * (0.25 * v + 0.8 * lp);
      }
      return tr.pcm();
    }
    case 9: {  // error buzz
      Track tr(0.45);
      for (std::size_t k = 0; k < tr.s.size(); ++k) {
        double t = static_cast<double>(k) / kSoundRate;
        double sq = (std::fmod(t * 110, 1.0) < 0.5 ? 1 : -1) + (std::fmod(t * 116.5, 1.0) < 0.5 ? 1 : -1);
        double env = std::min(1.0, t * 300) * std::min(1.0, (0.42 - t) * 40);
        tr.s[k] = 0.3 * sq * std::max(0.0, env);
      }
      return tr.pcm();
    }
    case 10: {  // tally chime
      Track tr(0.3);
      tr.ping(0, 1568, 0.8, 14, 0.28);
      tr.ping(0, 3136, 0.25, 20, 0.2);
      return tr.pcm();
    }
    case 11: {  // title theme
      static const int tune[][2] = {{67, 1}, {71, 1}, {74, 1}, {79, 2}, {78, 1}, {76, 1}, {74, 2},
                                    {71, 1}, {72, 1}, {74, 1}, {76, 1}, {74, 1}, {71, 1}, {67, 2},
                                    {69, 1}, {71, 1}, {72, 2}, {74, 1}, {71, 1}, {67, 4}};
      static const int bass[][2] = {{43, 4}, {47, 4}, {48, 4}, {43, 4}, {45, 4}, {43, 4}};
      Track tr(6.6);
      melody(tr, 0.25, tune, 20, 0.45);
      melody(tr, 0.25, bass, 6, 0.3);
      return tr.pcm();
    }
    case 12: {  // match start fanfare
      static const int tune[][2] = {{60, 1}, {64, 1}, {67, 1}, {72, 3}, {67, 1}, {72, 4}};
      Track tr(2.6);
      melody(tr, 0.18, tune, 6, 0.5);
      static const int low[][2] = {{48, 6}, {55, 5}};
      melody(tr, 0.18, low, 2, 0.3);
      return tr.pcm();
    }
    case 13: {  // win
      static const int tune[][2] = {{72, 1}, {76, 1}, {79, 1}, {84, 2}, {79, 1}, {84, 1}, {88, 4}};
      Track tr(2.6);
      melody(tr, 0.16, tune, 7, 0.45);
      static const int low[][2] = {{60, 4}, {67, 3}, {72, 4}};
      melody(tr, 0.16, low, 3, 0.3);
      return tr.pcm();
    }
    case 14: {  // lose
      static const int tune[][2] = {{67, 2}, {66, 2}, {65, 2}, {64, 6}};
      Track tr(2.9);
      melody(tr, 0.22, tune, 4, 0.45);
      static const int low[][2] = {{48, 6}, {43, 6}};
      melody(tr, 0.22, low, 2, 0.3);
      return tr.pcm();
    }
    default:
      return {};
  }
}

}  // namespace

const char* soundFileName(int id) { return id >= 0 && id < kSoundCount ? kNames[id] : nullptr; }

std::vector<int16_t> synthesizeSound(int id) {
  std::vector<int16_t> pcm = make(id);
  if (pcm.empty()) return pcm;
  // The player skips a 44-byte lead-in and leaves the last 400 bytes unplayed:
  // pad both ends with silence so the whole sound is heard.
  std::vector<int16_t> out(22 + pcm.size() + 200 + kSoundRate / 100, 0);
  std::copy(pcm.begin(), pcm.end(), out.begin() + 22);
  return out;
}

}  // namespace kvtools
