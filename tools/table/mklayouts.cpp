// mklayouts: authors the challenge and lesson layouts of the table source.
// Each challenge's stored shots are fixed; the layout is built around them:
// the cue ball is put somewhere, the first stored shot is played with the
// cue ball alone and its path kept, an object ball is put where the cue
// ball first comes within a ball's width of it and would be sent toward an
// allowed pocket (the ghost-ball point on the path), and the shots played
// again in full confirm the pot. Later balls of the same shot go on the
// path that follows, balls of later shots on the path of the shot that
// starts where the cue ball stopped. Run by hand:
//
//   mklayouts <table.txt> [--seed N] [--seconds S] [--threads T] [--tolerance D] [--keep-cue]
//             [--by-touch] [--window pixels points] [challenge|lN ...]
//   mklayouts <table.txt> --check
//   mklayouts <table.txt> --touch [pixels points]
//   mklayouts <table.txt> --touch-shots challenge
//
// --touch repeats each challenge's stored shots by touch and counts the
// tries over the window (touch within `pixels`, default 1, gauge within
// `points` percent, default 3) that solve it.
// lN names lesson N; no names: every challenge. A one-shot layout must also
// stand the shot with the aim turned D degrees (default 0.1) either way and
// the power D/10 up or down. --keep-cue (for a refit) tries the cue ball's
// place in the source first. --by-touch builds a challenge around its stored
// shots as a player repeats them by touch (the turned shots stay as stored),
// and --window makes a found layout also stand the touch window of --touch.
// Found layouts are written into the source in place.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "game/Korvane/cGamePlay/ChallengeDemo.h"
#include "game/Korvane/cGamePlay/ShotRules.h"
#include "tools/table/ShotReplay.h"
#include "tools/table/TouchShot.h"

namespace {

using tablelayout::ReplayPoint;
using tablelayout::ReplayShot;
using tablelayout::ShotReplay;
using tablelayout::ShotResult;
using Clock = std::chrono::steady_clock;

constexpr int32_t kOffX = 200;
// Where a ball's centre may rest: clear of every rail by a radius.
constexpr int32_t kMinX = 22, kMaxX = 147, kMinY = 25, kMaxY = 277;
constexpr double kContact = 9.0;

struct Layout {
  int32_t x[16] = {}, y[16] = {};
  bool on[16] = {};

  TableLayoutGroup group() const {
    TableLayoutGroup g;
    for (int32_t n = 0; n < 16; ++n) {
      const int32_t px = on[n] ? x[n] : kOffX, py = on[n] ? y[n] : 36 + 16 * n;
      g.records.push_back({static_cast<int16_t>(n), static_cast<int16_t>(px), static_cast<int16_t>(py)});
    }
    return g;
  }
  bool clearOf(int32_t px, int32_t py, double gap) const {
    for (int32_t n = 0; n < 16; ++n)
      if (on[n] && std::hypot(px - x[n], py - y[n]) < gap) return false;
    return true;
  }
};

// One ball to place: the shot that is to pot it, the ball whose path it is
// put on (the cue ball, or an earlier ball for a combination), the pockets it
// may go into (0: it need not go down) and whether it must stay on the table.
struct Step {
  int32_t shot;
  int32_t ball;
  int32_t carrier;
  uint32_t pockets;
};

struct Plan {
  int32_t number = 0;  // challenge, or lesson for a lesson plan
  bool lesson = false;
  std::vector<ReplayShot> shots;
  std::vector<Step> steps;
  std::vector<int32_t> blockers;  // balls put under a jump's flight
  std::vector<int32_t> extras;    // balls put where nothing goes
  bool beforeFirstRail = false;   // contacts only before the carrier meets a cushion
  bool ballFirst = false;         // the cue ball meets a ball before any cushion
  int32_t extraNear = -1;         // extra balls go near this ball
  // Lessons: the scripted shot aims at its ball from the cue ball.
  int32_t aimBall = -1;
  // The least tolerance the layout must stand, whatever is asked.
  double minTolerance = 0;
};

constexpr uint32_t kAllPockets = 0x3f;

uint32_t pocketMask(int32_t pocket) { return pocket < 0 ? kAllPockets : 1u << pocket; }

Plan challengePlan(int32_t c) {
  Plan p;
  p.number = c;
  const int32_t count = challengeDemoShotCount(c);
  for (int32_t s = 0; s < count; ++s) p.shots.push_back(tablelayout::demoShot(c, s));
  const int32_t* d = ChallengeDefinition[c];
  std::vector<std::pair<int32_t, int32_t>> targets;
  for (int32_t k = 0; k < 10; ++k)
    if (d[9 + 2 * k] > 0) targets.emplace_back(d[9 + 2 * k], d[10 + 2 * k]);
  const uint32_t forbidden = static_cast<uint32_t>(d[2]);
  auto add = [&](int32_t shot, int32_t ball, int32_t carrier, int32_t pocket) {
    p.steps.push_back({shot, ball, carrier, ball < 0 ? 0 : pocketMask(pocket) & ~forbidden});
  };
  // The first-contact ball goes first on the cue ball's path.
  const int32_t first = d[0] == -1 ? -1 : __builtin_ctz(static_cast<uint32_t>(d[0]));
  std::stable_sort(targets.begin(), targets.end(),
                   [first](const auto& a, const auto& b) { return (a.first == first) > (b.first == first); });
  switch (c) {
    case 6:  // five balls in four shots: the last shot pots two
      for (int32_t k = 0; k < 5; ++k) add(k < 4 ? k : 3, targets[k].first, 0, targets[k].second);
      break;
    case 14:  // ten balls in nine shots: the last shot pots two
      for (int32_t k = 0; k < 10; ++k) add(k < 9 ? k : 8, targets[k].first, 0, targets[k].second);
      break;
    case 23:  // the cue ball meets 3, which sends 1 into its pocket
      p.steps.push_back({0, 3, 0, 0});
      add(0, 1, 3, 1);
      break;
    case 18:  // 2 carries 1 down
      p.steps.push_back({0, 2, 0, 0});
      add(0, 1, 2, -1);
      break;
    default:
      if (count > 1) {
        for (int32_t k = 0; k < static_cast<int32_t>(targets.size()); ++k) add(k, targets[k].first, 0, targets[k].second);
      } else {
        for (const auto& t : targets) add(0, t.first, 0, t.second);
      }
      break;
  }
  p.beforeFirstRail = d[6] == 1;
  // Spin shots: the draw and the side kick count only when a ball comes first.
  p.ballFirst = c == 3 || c == 5 || c == 8 || c >= 24;
  // Balls that must not be touched, where the contact mask leaves some out.
  const uint32_t mask = static_cast<uint32_t>(d[1]);
  if (c == 9 || c == 19) p.blockers = {c == 9 ? 2 : 1, c == 9 ? 6 : 5};
  if (mask != 0xffffffffu && c != 9 && c != 19) {
    for (int32_t n = 1; n < 16 && p.extras.size() < 2; ++n) {
      bool used = (mask >> n & 1u) != 0;
      for (const Step& s : p.steps) used |= s.ball == n;
      if (!used) p.extras.push_back(n);
    }
  }
  return p;
}

// Lessons: the scripted shots, aimed at the lesson's ball from the cue ball.
Plan lessonPlan(int32_t l) {
  Plan p;
  p.number = l;
  p.lesson = true;
  ReplayShot s;
  switch (l) {
    case 0:  // pot 3
      s.power = 9000;
      p.steps = {{0, 3, 0, kAllPockets}};
      p.aimBall = 3;
      break;
    case 1:  // pot 3 and draw back onto 1
      s.power = 14000;
      s.englishY = 10 * 16384;
      p.steps = {{0, 3, 0, kAllPockets}, {0, 1, 0, kAllPockets}};
      p.aimBall = 3;
      break;
    case 2:  // 9 elsewhere, 3 straight from the cue ball
      s.power = 8000;
      p.steps = {{0, 3, 0, kAllPockets}};
      p.extras = {9};
      p.aimBall = 3;
      break;
    case 3:  // aimed at 9 in the way, a masse curve past it onto 3
      s.power = 7000;
      s.masse = 1;
      s.englishX = 10 * 16384;
      p.steps = {{0, 3, 0, kAllPockets}};
      p.aimBall = 9;
      // The curve is played by hand and turns with the strength: the gauge
      // stopped a fifth either side of the scripted shot still curves in.
      p.minTolerance = 2;
      break;
    default:  // 2 near 3, 3 potted
      s.power = 9000;
      p.steps = {{0, 3, 0, kAllPockets}};
      p.extras = {2};
      p.extraNear = 3;
      p.aimBall = 3;
      break;
  }
  p.shots = {s};
  return p;
}

struct Candidate {
  int32_t x, y;
  double score;
};

class Author {
 public:
  Author(const std::string& source, const Plan& plan, uint64_t seed, double seconds)
      : m_plan(plan), m_random(seed), m_deadline(Clock::now() + std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000))) {
    m_ok = m_replay.loadTable(source);
    for (int32_t k = 0; k < 6 && m_ok; ++k) {
      const PhysicalObject* p = m_replay.world().pockets[k];
      m_pocket[k] = {p->position.x / 16384.0, -p->position.y / 16384.0};
      // The pocket itself and its images in the four rails (one bank).
      const ReplayPoint c = m_pocket[k];
      m_aims.push_back({k, -1, c.x, c.y});
      m_aims.push_back({k, 0, 2 * 21.5 - c.x, c.y});
      m_aims.push_back({k, 1, 2 * 147.5 - c.x, c.y});
      m_aims.push_back({k, 2, c.x, 2 * 24.5 - c.y});
      m_aims.push_back({k, 3, c.x, 2 * 277.5 - c.y});
    }
  }
  bool ok() const { return m_ok; }

  bool run(Layout& out) {
    if (m_plan.lesson && m_plan.number == 1) return searchDrawBack(out);
    if (m_plan.lesson && m_plan.number == 3) return searchMasse(out);
    std::vector<std::pair<int32_t, int32_t>> starts;
    for (int32_t y = kMinY + 8; y <= kMaxY - 8; y += 3)
      for (int32_t x = kMinX + 6; x <= kMaxX - 6; x += 3) starts.emplace_back(x, y);
    std::shuffle(starts.begin(), starts.end(), m_random);
    if (m_keepCue) {
      // The cue ball's place in the source first: a refit moves it only when
      // no layout is found around it.
      const TableLayoutGroup& g = m_replay.layout().groups[m_plan.lesson ? 5 + m_plan.number : 10 + m_plan.number];
      starts.insert(starts.begin(), {g.x(0), g.y(0)});
    }
    for (const auto& [x, y] : starts) {
      if (Clock::now() > m_deadline) return false;
      Layout l;
      l.on[0] = true;
      l.x[0] = x;
      l.y[0] = y;
      if (m_plan.aimBall >= 0) {
        if (searchAimed(l)) {
          out = l;
          return true;
        }
        continue;
      }
      if (search(l, 0)) {
        out = l;
        return true;
      }
    }
    return false;
  }

  // What the shots do on a layout; steps 0..upTo placed. Pots, contacts and
  // the outcome are checked against the plan.
  bool verify(const Layout& l, int32_t upTo, bool complete) {
    const TableLayoutGroup g = l.group();
    const int32_t lastShot = m_plan.steps[upTo].shot;
    if (m_plan.lesson)
      m_replay.startLesson(m_plan.number, g);
    else
      m_replay.startChallenge(m_plan.number, g);
    for (int32_t s = 0; s <= lastShot; ++s) {
      const ReplayShot shot = strike(l, s);
      const ShotResult r = m_replay.play(shot);
      if (!r.settled || r.offTableMask) return false;
      if (m_plan.ballFirst && r.cueFirstRail) return false;
      uint32_t want = 0;
      for (int32_t k = 0; k <= upTo; ++k)
        if (m_plan.steps[k].shot == s && m_plan.steps[k].pockets) want |= 1u << m_plan.steps[k].ball;
      if (r.pottedMask != want) return false;
      for (int32_t k = 0; k <= upTo; ++k) {
        const Step& st = m_plan.steps[k];
        if (st.shot == s && st.pockets && !(st.pockets >> r.pocketOf[st.ball] & 1u)) return false;
      }
      if (m_plan.lesson) {
        if (complete && !(r.outcome & 0x8)) return false;
        if (r.outcome & 0x10 && complete) return false;
        if (r.firstHit != 3) return false;
        continue;
      }
      const bool last = s + 1 == static_cast<int32_t>(m_plan.shots.size());
      if (r.outcome & 0x10) {
        // Running out of shots is what a partial layout does; anything else fails.
        const uint32_t failText = static_cast<uint32_t>(ChallengeDefinition[m_plan.number][7]);
        if (complete || r.messageText != failText) return false;
      }
      if (complete && last && !(r.outcome & 0x8)) return false;
      if (complete && !last && (r.outcome & 0x8)) return false;
    }
    return true;
  }

 private:
  ReplayShot shotFor(const Layout& l, int32_t s) const {
    ReplayShot shot = m_plan.shots[s];
    if (m_plan.aimBall >= 0 && l.on[m_plan.aimBall]) {
      shot.aimX = (l.x[m_plan.aimBall] - l.x[0]) * 16384;
      shot.aimY = -(l.y[m_plan.aimBall] - l.y[0]) * 16384;
    }
    if (m_turn != 0) {
      const double c = std::cos(m_turn), n = std::sin(m_turn);
      const double ax = shot.aimX, ay = shot.aimY;
      shot.aimX = static_cast<int32_t>(std::lround(ax * c - ay * n));
      shot.aimY = static_cast<int32_t>(std::lround(ax * n + ay * c));
    }
    shot.power = static_cast<int32_t>(std::lround(shot.power * m_powerScale));
    return shot;
  }

  // Shot s as played from where the cue ball now is: by touch (the nearest
  // touch to the stored aim) when asked, except for the turned shots of the
  // robustness check.
  ReplayShot strike(const Layout& l, int32_t s) {
    const ReplayShot shot = shotFor(l, s);
    if (!m_byTouch || m_plan.lesson || m_turn != 0 || m_powerScale != 1) return shot;
    const tablelayout::TouchShot t = tablelayout::touchShot(m_replay.world(), shot);
    return t.found && t.inArea ? t.shot : shot;
  }

  // Whether the whole touch window around every shot solves the challenge.
  bool windowHolds(const Layout& l) {
    if (m_windowPixels < 0 || m_plan.lesson) return true;
    TableLayoutGroup& g = m_replay.layout().groups[TableLayout::kFirstChallenge + m_plan.number];
    const TableLayoutGroup kept = g;
    g = l.group();
    const tablelayout::TouchWindow w = tablelayout::touchWindow(m_replay, m_plan.number, m_windowPixels, m_windowPoints);
    g = kept;
    return w.nearest && w.solved == w.tries;
  }

  // The layout also holds for shots a little off the plan's: the aim turned
  // either way, the power a little up or down.
  bool robust(const Layout& l, int32_t last, bool complete = true) {
    if (m_tolerance <= 0) return true;
    const double turn = m_tolerance * 3.14159265358979 / 180.0;
    const double scale = m_tolerance / 10.0;
    const double tries[4][2] = {{turn, 1}, {-turn, 1}, {0, 1 + scale}, {0, 1 - scale}};
    bool ok = true;
    for (const auto& t : tries) {
      m_turn = t[0];
      m_powerScale = t[1];
      ok = verify(l, last, complete);
      if (!ok) break;
    }
    m_turn = 0;
    m_powerScale = 1;
    return ok;
  }

  // The carrier's path in the shot of step i, with the balls placed so far.
  ShotResult trace(const Layout& l, int32_t i) {
    const Step& st = m_plan.steps[i];
    const TableLayoutGroup g = l.group();
    if (m_plan.lesson)
      m_replay.startLesson(m_plan.number, g);
    else
      m_replay.startChallenge(m_plan.number, g);
    ShotResult r;
    for (int32_t s = 0; s <= st.shot; ++s) r = m_replay.play(strike(l, s), s == st.shot ? st.carrier : -1);
    return r;
  }

  // Ghost-ball places along a path: the first point where the carrier comes
  // within a ball's width of the place, and the direction it sends the ball.
  std::vector<Candidate> candidates(const Layout& l, const ShotResult& r, const Step& st, bool requirePot) {
    std::vector<Candidate> out;
    std::vector<uint8_t> seen((kMaxX + 1) * (kMaxY + 1), 0);
    const bool firstOfShot = &st == &m_plan.steps[0] || (&st - 1)->shot != st.shot;
    const bool stopAtRail = m_plan.beforeFirstRail || (m_plan.ballFirst && firstOfShot);
    for (size_t i = 0; i + 1 < r.path.size(); ++i) {
      const ReplayPoint a = r.path[i], b = r.path[i + 1];
      if (stopAtRail && r.contact[i] == 2) break;
      if (r.airborne[i] || r.airborne[i + 1]) continue;
      const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
      if (len < 1e-6) continue;
      const double ux = dx / len, uy = dy / len;
      const int32_t x0 = std::max<int32_t>(kMinX, static_cast<int32_t>(std::floor(std::min(a.x, b.x) - kContact)));
      const int32_t x1 = std::min<int32_t>(kMaxX, static_cast<int32_t>(std::ceil(std::max(a.x, b.x) + kContact)));
      const int32_t y0 = std::max<int32_t>(kMinY, static_cast<int32_t>(std::floor(std::min(a.y, b.y) - kContact)));
      const int32_t y1 = std::min<int32_t>(kMaxY, static_cast<int32_t>(std::ceil(std::max(a.y, b.y) + kContact)));
      for (int32_t oy = y0; oy <= y1; ++oy) {
        for (int32_t ox = x0; ox <= x1; ++ox) {
          uint8_t& s = seen[oy * (kMaxX + 1) + ox];
          if (s) continue;
          // |a + t u - o| = 9 for the smallest t in [0, len].
          const double px = a.x - ox, py = a.y - oy;
          const double bq = px * ux + py * uy, cq = px * px + py * py - kContact * kContact;
          const double disc = bq * bq - cq;
          if (disc < 0) continue;
          const double t = cq <= 0 ? 0 : -bq - std::sqrt(disc);
          if (t < 0 || t > len) continue;
          s = 1;
          if (i == 0 && t < 1.0) continue;  // touching the cue ball at rest
          if (!l.clearOf(ox, oy, 10.0)) continue;
          const double gx = a.x + t * ux, gy = a.y + t * uy;
          const double nx = (ox - gx) / kContact, ny = (oy - gy) / kContact;
          const double cosine = nx * ux + ny * uy;
          if (cosine < 0.2) continue;
          const double v = r.speed[i] * cosine * 0.9375;
          if (!requirePot) {
            out.push_back({ox, oy, (1 - cosine) * 4 + std::uniform_real_distribution<double>(0, 1)(m_random)});
            continue;
          }
          double best = 1e9;
          for (const Aim& aim : m_aims) {
            if (!(st.pockets >> aim.pocket & 1u)) continue;
            const double qx = aim.x - ox, qy = aim.y - oy;
            const double along = qx * nx + qy * ny;
            if (along <= 0) continue;
            const double miss = std::fabs(qx * ny - qy * nx);
            const bool side = aim.pocket == 2 || aim.pocket == 3;
            if (miss > (side ? 1.8 : 2.6)) continue;
            if (v * v / 24.0 < along * (aim.rail < 0 ? 1.3 : 3.0)) continue;
            if (aim.rail >= 0) {
              // The bounce must land on a rail, not in a pocket's mouth.
              const bool vertical = aim.rail < 2;
              const double wall = vertical ? (aim.rail == 0 ? 21.5 : 147.5) : (aim.rail == 2 ? 24.5 : 277.5);
              const double u = vertical ? (wall - ox) / nx : (wall - oy) / ny;
              if (!(u > 0)) continue;
              const double at = vertical ? oy + u * ny : ox + u * nx;
              if (vertical ? (at < 40 || at > 262 || std::fabs(at - 151) < 16) : (at < 38 || at > 131)) continue;
            }
            // Straight into a side pocket only, not along the rail.
            const double fy = aim.rail < 0 ? ny : (aim.rail < 2 ? ny : -ny);
            if (side && std::fabs(fy) > 0.75) continue;
            best = std::min(best, miss + 0.01 * along + (1 - cosine) * 2 + (aim.rail < 0 ? 0 : 1.5));
          }
          if (best < 1e9) out.push_back({ox, oy, best});
        }
      }
    }
    std::sort(out.begin(), out.end(), [](const Candidate& a, const Candidate& b) { return a.score < b.score; });
    return out;
  }

  bool search(Layout& l, int32_t i) {
    if (Clock::now() > m_deadline) return false;
    if (i == static_cast<int32_t>(m_plan.steps.size())) return finish(l);
    const Step& st = m_plan.steps[i];
    const ShotResult r = trace(l, i);
    if (r.path.size() < 2) return false;
    std::vector<Candidate> cands = candidates(l, r, st, st.pockets != 0);
    const int32_t tries = i == 0 ? 6 : 10;
    int32_t tried = 0;
    for (const Candidate& c : cands) {
      if (tried >= tries) break;
      l.on[st.ball] = true;
      l.x[st.ball] = c.x;
      l.y[st.ball] = c.y;
      const bool complete = i + 1 == static_cast<int32_t>(m_plan.steps.size());
      ++tried;
      const bool whole = complete && m_plan.blockers.empty() && m_plan.extras.empty();
      if (verify(l, i, whole) && robust(l, i, whole) && search(l, i + 1)) return true;
      l.on[st.ball] = false;
    }
    return false;
  }

  // The draw lesson: ball 3, the cue ball and ball 1 in the line of the side
  // pockets; the cue ball pots 3 full and draws back onto 1.
  bool searchDrawBack(Layout& out) {
    constexpr int32_t kLine = 151;
    for (int32_t x0 = 70; x0 <= 104; x0 += 2) {
      for (int32_t x3 = 34; x3 <= x0 - 14; ++x3) {
        for (int32_t x1 = x0 + 14; x1 <= 136; ++x1) {
          if (Clock::now() > m_deadline) return false;
          Layout l;
          l.on[0] = l.on[1] = l.on[3] = true;
          l.x[0] = x0;
          l.x[1] = x1;
          l.x[3] = x3;
          l.y[0] = l.y[1] = l.y[3] = kLine;
          if (verify(l, 1, true) && robust(l, 1)) {
            out = l;
            return true;
          }
        }
      }
    }
    return false;
  }

  // The masse lesson: aimed straight at 9, the cue ball curves past it and
  // pots 3, which a straight shot could not reach past 9.
  bool searchMasse(Layout& out) {
    std::uniform_real_distribution<double> angle(0, 2 * 3.14159265358979), reach(30, 70);
    for (int32_t tries = 0; tries < 200000; ++tries) {
      if (Clock::now() > m_deadline) return false;
      Layout l;
      l.on[0] = l.on[9] = true;
      l.x[0] = std::uniform_int_distribution<int32_t>(kMinX + 10, kMaxX - 10)(m_random);
      l.y[0] = std::uniform_int_distribution<int32_t>(kMinY + 10, kMaxY - 10)(m_random);
      const double a = angle(m_random), d = reach(m_random);
      l.x[9] = static_cast<int32_t>(std::lround(l.x[0] + d * std::cos(a)));
      l.y[9] = static_cast<int32_t>(std::lround(l.y[0] + d * std::sin(a)));
      if (l.x[9] < kMinX + 4 || l.x[9] > kMaxX - 4 || l.y[9] < kMinY + 4 || l.y[9] > kMaxY - 4) continue;
      const ShotResult r = trace(l, 0);
      if (r.firstHit != -1 || r.pottedMask) continue;
      std::vector<Candidate> cands = candidates(l, r, m_plan.steps[0], true);
      int32_t tried = 0;
      for (const Candidate& c : cands) {
        // 9 must stand on the straight way to 3.
        const std::vector<ReplayPoint> line = {{double(l.x[0]), double(l.y[0])}, {double(c.x), double(c.y)}};
        if (distanceToPath(line, l.x[9], l.y[9], nullptr, false) > 5.0) continue;
        if (std::hypot(c.x - l.x[0], c.y - l.y[0]) < d + 12) continue;
        if (++tried > 4) break;
        l.on[3] = true;
        l.x[3] = c.x;
        l.y[3] = c.y;
        if (verify(l, 0, true) && robust(l, 0)) {
          out = l;
          return true;
        }
        l.on[3] = false;
      }
    }
    return false;
  }

  // Lessons aimed at a ball: the cue ball, the ball and a pocket in a line.
  bool searchAimed(Layout& l) {
    const int32_t n = m_plan.aimBall;
    std::vector<Candidate> cands;
    for (int32_t k = 0; k < 6; ++k) {
      for (int32_t oy = kMinY + 4; oy <= kMaxY - 4; ++oy) {
        for (int32_t ox = kMinX + 4; ox <= kMaxX - 4; ++ox) {
          const double dx = ox - l.x[0], dy = oy - l.y[0], len = std::hypot(dx, dy);
          if (len < 40 || len > 110) continue;
          const double ux = dx / len, uy = dy / len;
          const double qx = m_pocket[k].x - ox, qy = m_pocket[k].y - oy;
          const double along = qx * ux + qy * uy;
          if (along < 25 || along > 120) continue;
          const double miss = std::fabs(qx * uy - qy * ux);
          if (miss > 1.2) continue;
          if ((k == 2 || k == 3) && std::fabs(uy) > 0.3) continue;
          cands.push_back({ox, oy, miss});
        }
      }
    }
    std::sort(cands.begin(), cands.end(), [](const Candidate& a, const Candidate& b) { return a.score < b.score; });
    int32_t tried = 0;
    for (const Candidate& c : cands) {
      if (++tried > 6) break;
      l.on[n] = true;
      l.x[n] = c.x;
      l.y[n] = c.y;
      const bool complete = m_plan.steps.size() == 1 && m_plan.extras.empty();
      if (!verify(l, 0, complete)) continue;
      if (search(l, 1)) return true;
    }
    l.on[n] = false;
    return false;
  }

  // Every path of the full shots, to keep blockers and extra balls off them.
  std::vector<std::vector<ReplayPoint>> allPaths(const Layout& l, std::vector<std::vector<uint8_t>>* air) {
    std::vector<std::vector<ReplayPoint>> paths;
    for (int32_t b = 0; b < 16; ++b) {
      if (!l.on[b]) continue;
      const TableLayoutGroup g = l.group();
      if (m_plan.lesson)
        m_replay.startLesson(m_plan.number, g);
      else
        m_replay.startChallenge(m_plan.number, g);
      for (size_t s = 0; s < m_plan.shots.size(); ++s) {
        const ShotResult r = m_replay.play(strike(l, static_cast<int32_t>(s)), b);
        paths.push_back(r.path);
        if (air) air->push_back(b == 0 ? r.airborne : std::vector<uint8_t>(r.path.size(), 0));
      }
    }
    return paths;
  }

  static double distanceToPath(const std::vector<ReplayPoint>& p, double x, double y, const std::vector<uint8_t>* air,
                               bool wantAir) {
    double best = 1e9;
    for (size_t i = 0; i + 1 < p.size(); ++i) {
      if (air && ((*air)[i] || (*air)[i + 1]) != wantAir) continue;
      const double ax = p[i].x, ay = p[i].y, dx = p[i + 1].x - ax, dy = p[i + 1].y - ay;
      const double dd = dx * dx + dy * dy;
      double u = dd > 0 ? ((x - ax) * dx + (y - ay) * dy) / dd : 0;
      u = u < 0 ? 0 : u > 1 ? 1 : u;
      best = std::min(best, std::hypot(x - ax - u * dx, y - ay - u * dy));
    }
    return best;
  }

  // Blockers under the flight (or, for the masse lesson, on the straight
  // line to the ball), then extra balls clear of every path.
  bool finish(Layout& l) {
    std::vector<std::vector<uint8_t>> air;
    const std::vector<std::vector<ReplayPoint>> paths = allPaths(l, &air);
    const int32_t last = static_cast<int32_t>(m_plan.steps.size()) - 1;
    for (int32_t b : m_plan.blockers) {
      std::vector<Candidate> spots;
      for (int32_t y = kMinY + 3; y <= kMaxY - 3; ++y) {
        for (int32_t x = kMinX + 3; x <= kMaxX - 3; ++x) {
          if (!l.clearOf(x, y, 14.0)) continue;
          double under = 1e9, clear = 1e9;
          if (m_plan.lesson) {
            // On the straight line from the cue ball to ball 3.
            const std::vector<ReplayPoint> line = {{double(l.x[0]), double(l.y[0])}, {double(l.x[3]), double(l.y[3])}};
            under = distanceToPath(line, x, y, nullptr, false);
            for (const auto& p : paths) clear = std::min(clear, distanceToPath(p, x, y, nullptr, false));
            if (under < 2.0 && clear > 12.0) spots.push_back({x, y, under - 0.01 * clear});
            continue;
          }
          for (size_t k = 0; k < paths.size(); ++k) {
            const bool cue = !air[k].empty() && k < m_plan.shots.size();
            if (cue) under = std::min(under, distanceToPath(paths[k], x, y, &air[k], true));
            clear = std::min(clear, distanceToPath(paths[k], x, y, cue ? &air[k] : nullptr, false));
          }
          if (under < 3.0 && clear > 12.0) spots.push_back({x, y, under});
        }
      }
      std::sort(spots.begin(), spots.end(), [](const Candidate& p, const Candidate& q) { return p.score < q.score; });
      bool placed = false;
      for (size_t k = 0; k < spots.size() && k < 6 && !placed; ++k) {
        l.on[b] = true;
        l.x[b] = spots[k].x;
        l.y[b] = spots[k].y;
        placed = verify(l, last, false);
        if (!placed) l.on[b] = false;
      }
      if (!placed) return false;
    }
    for (int32_t b : m_plan.extras) {
      bool placed = false;
      const bool near = m_plan.extraNear >= 0 && l.on[m_plan.extraNear];
      for (int32_t tries = 0; tries < (near ? 4000 : 200) && !placed; ++tries) {
        const int32_t x = std::uniform_int_distribution<int32_t>(kMinX + 8, kMaxX - 8)(m_random);
        const int32_t y = std::uniform_int_distribution<int32_t>(kMinY + 8, kMaxY - 8)(m_random);
        if (!l.clearOf(x, y, near ? 11.0 : 16.0)) continue;
        if (near && std::hypot(x - l.x[m_plan.extraNear], y - l.y[m_plan.extraNear]) > 16.0) continue;
        double clear = 1e9;
        for (const auto& p : paths) clear = std::min(clear, distanceToPath(p, x, y, nullptr, false));
        if (clear < (near ? 10.0 : 16.0)) continue;
        l.on[b] = true;
        l.x[b] = x;
        l.y[b] = y;
        placed = verify(l, last, false);
        if (!placed) l.on[b] = false;
      }
      if (!placed) return false;
    }
    return verify(l, last, true) && robust(l, last) && windowHolds(l);
  }

  Plan m_plan;
  ShotReplay m_replay;
  std::mt19937_64 m_random;
  Clock::time_point m_deadline;
  ReplayPoint m_pocket[6] = {};
  // Where a ball is sent to go into a pocket: rail -1 straight, 0-3 off the
  // left, right, top or bottom rail.
  struct Aim {
    int32_t pocket, rail;
    double x, y;
  };
  std::vector<Aim> m_aims;
  bool m_ok = false;
  double m_turn = 0, m_powerScale = 1;

 public:
  // Aim turn (degrees) a layout must stand; a tenth of it as a power factor.
  double m_tolerance = 0;
  // Try the source's cue ball place before any other.
  bool m_keepCue = false;
  // Build around the shots as touched, and demand the touch window
  // (pixels -1: not asked).
  bool m_byTouch = false;
  int32_t m_windowPixels = -1, m_windowPoints = 0;
};

// ---- the source

std::string describe(const Plan& p, const Layout& l) {
  std::ostringstream s;
  s << "# " << (p.lesson ? "Lesson " : "Challenge ") << p.number << ": ";
  std::vector<int32_t> balls;
  for (int32_t n = 1; n < 16; ++n)
    if (l.on[n]) balls.push_back(n);
  s << (balls.size() == 1 ? "ball " : "balls ");
  for (size_t k = 0; k < balls.size(); ++k) s << (k ? ", " : "") << balls[k];
  s << (p.lesson ? "; placed by mklayouts for the lesson's scripted shot." : "; placed by mklayouts around the stored shots.");
  return s.str();
}

std::string groupText(int32_t group, const Plan& p, const Layout& l) {
  std::ostringstream s;
  s << "group " << group << "\n" << describe(p, l) << "\n";
  char line[64];
  for (int32_t n = 0; n < 16; ++n) {
    if (l.on[n])
      std::snprintf(line, sizeof line, "%4d %4d\n", l.x[n], l.y[n]);
    else
      std::snprintf(line, sizeof line, "%4d %4d   # off\n", kOffX, 36 + 16 * n);
    s << line;
  }
  return s.str();
}

// Replaces group N's section of the source (its header to the next one).
bool replaceGroup(std::string& source, int32_t group, const std::string& text) {
  const std::string header = "group " + std::to_string(group) + "\n";
  size_t at = source.rfind("\n" + header);
  if (at == std::string::npos) return false;
  ++at;
  size_t end = source.find("\ngroup ", at + header.size());
  end = end == std::string::npos ? source.size() : end + 1;
  std::string body = text;
  if (end < source.size()) body += "\n";
  source.replace(at, end - at, body);
  return true;
}

// Replays every challenge's stored shots and each lesson's scripted shot on
// the source's layouts and prints what each shot did.
int check(const std::string& source) {
  ShotReplay replay;
  if (!replay.loadTable(source)) return 1;
  int32_t bad = 0;
  for (int32_t c = 0; c < 32; ++c) {
    replay.startChallenge(c);
    std::printf("challenge %2d:", c);
    bool solved = false;
    for (int32_t s = 0; s < challengeDemoShotCount(c) && !solved; ++s) {
      const ShotResult r = replay.play(tablelayout::demoShot(c, s));
      std::printf(" [potted %#x out %#x text %u first %d]", r.pottedMask, r.outcome, r.messageText, r.firstHit);
      solved = (r.outcome & 0x18) == 0x8;
      if (r.outcome & 0x10) break;
    }
    std::printf(" %s\n", solved ? "solved" : "NOT SOLVED");
    bad += solved ? 0 : 1;
  }
  for (int32_t l = 0; l < 5; ++l) {
    const Plan p = lessonPlan(l);
    replay.startLesson(l);
    ReplayShot shot = p.shots[0];
    const PhysicalObject* cue = replay.world().cueBall;
    const PhysicalObject* ball = p.aimBall >= 0 ? replay.world().balls[p.aimBall] : nullptr;
    if (cue && ball) {
      shot.aimX = ball->position.x - cue->position.x;
      shot.aimY = ball->position.y - cue->position.y;
    }
    const ShotResult r = replay.play(shot);
    const bool passed = (r.outcome & 0x18) == 0x8;
    std::printf("lesson %d: [potted %#x out %#x first %d] %s\n", l, r.pottedMask, r.outcome, r.firstHit,
                passed ? "passed" : "NOT PASSED");
    bad += passed ? 0 : 1;
  }
  return bad ? 1 : 0;
}

// Repeats every challenge's stored shots by touch over the window (touch
// within `pixels`, gauge within `points`) and prints how many tries solve it.
int checkTouch(const std::string& source, int32_t pixels, int32_t points) {
  ShotReplay replay;
  if (!replay.loadTable(source)) return 1;
  int32_t bad = 0;
  for (int32_t c = 0; c < 32; ++c) {
    const tablelayout::TouchWindow w = tablelayout::touchWindow(replay, c, pixels, points);
    std::printf("challenge %2d: nearest touches %s; %d of %d tries solve it%s%s\n", c,
                w.nearest ? "solve it" : "DO NOT SOLVE IT", w.solved, w.tries, w.misses.empty() ? "" : "; first miss: ",
                w.misses.empty() ? "" : w.misses[0].c_str());
    bad += w.solved == w.tries ? 0 : 1;
  }
  return bad ? 1 : 0;
}

// Prints a challenge's stored shots as its nearest touches play them, in the
// demonstration table's form (the touches to stderr): a demonstration that
// plays these is its own repeat by touch.
int printTouchShots(const std::string& source, int32_t challenge) {
  ShotReplay replay;
  if (!replay.loadTable(source)) return 1;
  replay.startChallenge(challenge);
  for (int32_t s = 0; s < challengeDemoShotCount(challenge); ++s) {
    const tablelayout::TouchShot t = tablelayout::touchShot(replay.world(), tablelayout::demoShot(challenge, s));
    if (!t.found || !t.inArea) return 1;
    const ReplayShot& d = t.shot;
    std::printf("KV_S(%d, %d, %d, %d, %d, %d)\n", d.aimX, d.aimY, d.masse, d.englishX, d.englishY, d.power);
    std::fprintf(stderr, "shot %d: touch (%d, %d)\n", s, t.x, t.y);
    if (replay.play(d).outcome & 0x18) break;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: mklayouts <table.txt> [--seed N] [--seconds S] [--threads T] [--tolerance D] [--keep-cue]\n"
                 "                 [--by-touch] [--window pixels points] [challenge|lN ...]\n"
                 "       mklayouts <table.txt> --check\n"
                 "       mklayouts <table.txt> --touch [pixels points]\n"
                 "       mklayouts <table.txt> --touch-shots challenge\n");
    return 2;
  }
  const std::string source = argv[1];
  if (argc == 3 && std::string(argv[2]) == "--check") return check(source);
  if (argc == 4 && std::string(argv[2]) == "--touch-shots") return printTouchShots(source, std::atoi(argv[3]) & 31);
  if (argc >= 3 && std::string(argv[2]) == "--touch")
    return checkTouch(source, argc > 3 ? std::atoi(argv[3]) : 1, argc > 4 ? std::atoi(argv[4]) : 3);
  uint64_t seed = 1;
  double seconds = 120;
  double tolerance = 0.1;
  int32_t threads = 3;
  bool keepCue = false, byTouch = false;
  int32_t windowPixels = -1, windowPoints = 0;
  std::vector<Plan> plans;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--seed" && i + 1 < argc)
      seed = std::strtoull(argv[++i], nullptr, 10);
    else if (a == "--seconds" && i + 1 < argc)
      seconds = std::atof(argv[++i]);
    else if (a == "--tolerance" && i + 1 < argc)
      tolerance = std::atof(argv[++i]);
    else if (a == "--keep-cue")
      keepCue = true;
    else if (a == "--by-touch")
      byTouch = true;
    else if (a == "--window" && i + 2 < argc) {
      windowPixels = std::atoi(argv[++i]);
      windowPoints = std::atoi(argv[++i]);
    }
    else if (a == "--threads" && i + 1 < argc)
      threads = std::max(1, std::min(3, std::atoi(argv[++i])));
    else if (a[0] == 'l')
      plans.push_back(lessonPlan(std::atoi(a.c_str() + 1) % 5));
    else
      plans.push_back(challengePlan(std::atoi(a.c_str()) & 31));
  }
  if (plans.empty())
    for (int32_t c = 0; c < 32; ++c) plans.push_back(challengePlan(c));

  std::vector<Layout> found(plans.size());
  std::vector<uint8_t> solved(plans.size(), 0);
  std::atomic<size_t> next{0};
  std::mutex print;
  auto worker = [&]() {
    for (size_t k = next++; k < plans.size(); k = next++) {
      Author author(source, plans[k], seed + 7919 * k, seconds);
      // Several shots carry the cue ball on: a turned first shot moves every
      // later start, so only one-shot plans must stand the turned shots.
      author.m_tolerance = plans[k].shots.size() > 1 ? 0 : std::max(tolerance, plans[k].minTolerance);
      author.m_keepCue = keepCue;
      author.m_byTouch = byTouch;
      author.m_windowPixels = windowPixels;
      author.m_windowPoints = windowPoints;
      const auto t0 = Clock::now();
      solved[k] = author.ok() && author.run(found[k]);
      const double took = std::chrono::duration<double>(Clock::now() - t0).count();
      std::lock_guard<std::mutex> lock(print);
      std::printf("%s %d: %s (%.1f s)\n", plans[k].lesson ? "lesson" : "challenge", plans[k].number,
                  solved[k] ? "found" : "NOT FOUND", took);
      std::fflush(stdout);
    }
  };
  std::vector<std::thread> pool;
  for (int32_t t = 0; t < threads; ++t) pool.emplace_back(worker);
  for (std::thread& t : pool) t.join();

  std::ifstream in(source);
  std::stringstream text;
  text << in.rdbuf();
  std::string s = text.str();
  int32_t written = 0;
  for (size_t k = 0; k < plans.size(); ++k) {
    if (!solved[k]) continue;
    const int32_t group = plans[k].lesson ? 5 + plans[k].number : 10 + plans[k].number;
    if (replaceGroup(s, group, groupText(group, plans[k], found[k]))) ++written;
  }
  std::ofstream out(source);
  out << s;
  std::printf("%d layouts written\n", written);
  return written == static_cast<int32_t>(plans.size()) ? 0 : 1;
}
