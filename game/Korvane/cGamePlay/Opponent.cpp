// The computer opponent's profiles, chain search, scoring and think machine.
#include "game/Korvane/cGamePlay/Opponent.h"

#include <cstring>

namespace {

constexpr Q14 kOne = 16384;
constexpr Q14 kHalf = 8192;
constexpr Q14 kPocketRootSpeed = 6553;   // q14Div(1.0, 2.5)
constexpr Q14 kSafetyRootSpeed = 13107;  // q14Div(1.0, 1.25)
constexpr Q14 kMaxSpeed = 32768;         // 2.0
constexpr Q14 kLengthScale = 2560 << 14;
constexpr Q14 kMinGauge = 3276;          // q14Div(1.0, 5.0)
constexpr Q14 kTouchOffset = 0x12000;    // 4.5
constexpr Q14 kBallRadius = 0x12000;     // 4.5
constexpr Q14 kHalvingStep = 0x1b0001;   // 108.0 and a bit
constexpr int32_t kPathTime = 1024;

constexpr Q14 units(int32_t u) { return static_cast<Q14>(static_cast<uint32_t>(u) << 14); }

// Cushion regions a banked ball may not use: near the pockets.
bool nearPocket(int32_t cushion, const Vector2& h) {
  if (cushion == 0 || cushion == 2)
    return h.y > -units(28) || (h.y > -units(162) && h.y < -units(136)) || h.y < -units(270);
  return h.x < units(26) || h.x > units(144);
}

Vector2 minus(const Vector2& a, const Vector2& b) { return Vector2(wrapSub(a.x, b.x), wrapSub(a.y, b.y)); }
Vector2 unitOf(Vector2 v) {
  v.normalisePrecise();
  return v;
}
Vector2 along(const Vector2& p, const Vector2& u, Q14 k) {
  return Vector2(wrapAdd(p.x, q14Mul(u.x, k)), wrapAdd(p.y, q14Mul(u.y, k)));
}
Q14 absQ(Q14 v) { return v < 0 ? wrapNeg(v) : v; }

// A leg shorter than a ball's radius has no direction to play: a safety
// point or ghost ball on the cue ball itself, when it touches the ball.
bool tooShort(const Vector2& leg) { return leg.preciseLength() < kBallRadius; }

// Runs with the world's hooks silenced and its search fields kept.
struct QuietWorld {
  explicit QuietWorld(PhysicsWorld& world)
      : w(world), hooks(world.hooks), moving(world.movingMask), zone(world.zoneMaskValue) {
    pair[0] = world.currentPair[0];
    pair[1] = world.currentPair[1];
    w.hooks = nullptr;
  }
  ~QuietWorld() {
    w.hooks = hooks;
    w.movingMask = moving;
    w.zoneMaskValue = zone;
    w.currentPair[0] = pair[0];
    w.currentPair[1] = pair[1];
  }
  PhysicsWorld& w;
  PoolHooks* hooks;
  uint32_t moving;
  uint32_t zone;
  PhysicalObject* pair[2];
};

}  // namespace

// ---- profiles

int32_t OpponentProfiles::convert(int32_t value, uint32_t raw) {
  if (value == 12 || value == 13) return static_cast<int32_t>(raw & 0xffu);
  if (value >= 7 && value <= 10) return static_cast<int32_t>(raw << 14);
  // A percentage: (v << 14) / 100 truncating toward zero.
  const int64_t v = static_cast<int32_t>(raw);
  return static_cast<int32_t>(v * 16384 / 100);
}

bool OpponentProfiles::read(const uint8_t* bytes, int32_t size) {
  clear();
  if (!bytes || size < kFileBytes) return false;
  for (int32_t p = 0; p < kProfiles; ++p) {
    const uint8_t* r = bytes + p * kRecordBytes;
    for (int32_t k = 0; k < 12; ++k) {
      const uint8_t* b = r + 4 * k;
      const uint32_t raw = b[0] | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
      loaded[p][k] = convert(k, raw);
    }
    loaded[p][12] = convert(12, r[48]);
    loaded[p][13] = convert(13, r[49]);
  }
  fillProfileTable();
  return true;
}

void OpponentProfiles::clear() {
  std::memset(loaded, 0, sizeof loaded);
  std::memset(own, 0, sizeof own);
}

void OpponentProfiles::fillProfileTable() {
  std::memset(own, 0, sizeof own);
  for (auto& row : own) std::memcpy(row, loaded[kProfiles - 1], sizeof row);
}

int32_t OpponentProfiles::value(int32_t profile, int32_t k) const {
  if (profile < 0 || profile >= kProfiles || k < 0 || k >= kValues) return 0;
  return useOwn ? own[profile][k] : loaded[profile][k];
}

int32_t Opponent::profileValue(int32_t k) const {
  const int32_t p = match.playerProfile[player()];
  return o.profiles.value(p >= 0 ? p : o.currentProfile, k);
}

Vector2 Opponent::breakPosition(int32_t profile) const {
  return Vector2(o.profiles.value(profile, 9), o.profiles.value(profile, 10));
}

// ---- nodes

int32_t Opponent::addNode(PhysicalObject* target, const Vector2& pointA, const Vector2& legVector, const AiLeg* leg,
                          int32_t parent) {
  if (o.nodeCount >= OpponentState::kNodeSlots) return -1;
  AiNode& n = o.nodes[o.nodeCount];
  n.target = target;
  n.pointA = pointA;
  n.legVector = legVector;
  n.parent = parent;
  n.leg = leg ? *leg : AiLeg{};
  return o.nodeCount++;
}

int32_t Opponent::addEvaluation(int32_t node) {
  if (o.evaluationCount >= OpponentState::kEvaluations) return -1;
  AiEvaluation& e = o.evaluations[o.evaluationCount];
  e.node = node;
  e.score = 0;
  e.weight = 0;
  e.cuePlace = w.cueBall ? w.cueBall->position : Vector2(0, 0);
  return o.evaluationCount++;
}

bool Opponent::chainContains(int32_t node, const PhysicalObject* object) const {
  for (int32_t guard = 0; node >= 0 && node < o.nodeCount && guard < OpponentState::kNodeSlots; ++guard) {
    if (o.nodes[node].target == object) return true;
    node = o.nodes[node].parent;
  }
  return false;
}

void Opponent::makePocketRoots() {
  o.nodeCount = 0;
  AiLeg root;
  root.feasibility = kOne;
  root.speed = kPocketRootSpeed;
  root.known = 1;
  for (int32_t k = 0; k < ShotRules::kPocketCount; ++k)
    if (PhysicalObject* p = w.pockets[k]) addNode(p, p->pointA, Vector2(0, 0), &root, -1);
  o.lastRoot = o.nodeCount - 1;
  o.levels[0] = {0, o.lastRoot};
}

// ---- legs

bool Opponent::inArea(const Vector2& p) {
  return p.x >= kLeft && p.x <= kRight && p.y >= kBottom && p.y <= kTop;
}

bool Opponent::pathClear(PhysicalObject* ball, const Vector2& from, const Vector2& step, const PhysicalObject* goal) {
  PhysicalObject* sh = ball ? ball->shadow : nullptr;
  if (!sh) return false;
  QuietWorld quiet(w);
  const Vector2 position = sh->position, oldStep = sh->step, direction = sh->direction;
  const Q14 speed = sh->speed;
  const uint8_t pocketed = sh->pocketed, hidden = sh->hidden;
  const int32_t airTime = sh->airTime;
  sh->position = from;
  sh->step = step;
  sh->direction = unitOf(step);
  sh->speed = kOne;
  sh->pocketed = sh->hidden = 0;
  sh->airTime = 0;
  // A contact with the object the leg is aimed at (a ball through its
  // shadow) is where the leg ends.
  const PhysicalObject* goalShadow = goal && goal->type == PhysicalObject::kBall ? goal->shadow : goal;
  auto time = [&]() {
    const int32_t t = w.findEarliestContact(w.shadowHead, kPathTime, false, true, false);
    if (t < kClearTime && goalShadow && (w.currentPair[0] == goalShadow || w.currentPair[1] == goalShadow))
      return kPathTime;
    return t;
  };
  int32_t t;
  if (absQ(step.y) >= kHalvingStep) {
    sh->step.set(step.x / 2, step.y / 2);
    t = time();
    if (t >= kClearTime) {
      sh->position = from;
      sh->position.addInPlace(sh->step);
      t = time();
    }
  } else {
    t = time();
  }
  sh->position = position;
  sh->step = oldStep;
  sh->direction = direction;
  sh->speed = speed;
  sh->pocketed = pocketed;
  sh->hidden = hidden;
  sh->airTime = airTime;
  return t >= kClearTime;
}

void Opponent::scoreCueNode(int32_t node, int32_t removeFrom) {
  const int32_t e = addEvaluation(node);
  const Q14 score = e >= 0 ? chainScore(e) : 0;
  if (e >= 0 && score > 0) {
    o.evaluations[e].score = score;
    if (score > o.bestScore) {
      o.bestScore = score;
      o.bestEvaluation = e;
    }
    return;
  }
  if (e >= 0) o.evaluationCount = e;
  o.nodeCount = removeFrom;
}

void Opponent::directLeg(PhysicalObject* ball, int32_t parent) {
  if (!ball || parent < 0 || parent >= o.nodeCount) return;
  const AiNode& p = o.nodes[parent];
  const Vector2 step = minus(p.pointA, ball->position);
  if (tooShort(step)) return;
  if (!pathClear(ball, ball->position, step, p.target)) return;
  const int32_t n = addNode(ball, Vector2(0, 0), step, nullptr, parent);
  if (n < 0) return;
  if (ball == w.cueBall) {
    scoreCueNode(n, n);
    return;
  }
  const Vector2 ghost = along(ball->position, unitOf(step), wrapNeg(kGhost));
  if (!inArea(ghost))
    o.nodeCount = n;
  else
    o.nodes[n].pointA = ghost;
}

Vector2 Opponent::mirrorPoint(int32_t cushion, const Vector2& s, const Vector2& p) {
  // Along the axis across the cushion: the ball's and the point's distances
  // to the cushion set where the two legs meet on it.
  auto cross = [](Q14 c, Q14 sa, Q14 pa, Q14 sb, Q14 pb) {
    const Q14 ds = wrapSub(c, sa);
    const Q14 den = wrapSub(wrapAdd(ds, c), pa);
    return wrapAdd(sb, q14Div(q14Mul(wrapSub(pb, sb), ds), den));
  };
  switch (cushion) {
    case 0:
      return Vector2(kLeft, cross(kLeft, s.x, p.x, s.y, p.y));
    case 1:
      return Vector2(cross(kTop, s.y, p.y, s.x, p.x), kTop);
    case 2:
      return Vector2(kRight, cross(kRight, s.x, p.x, s.y, p.y));
    default:
      return Vector2(cross(kBottom, s.y, p.y, s.x, p.x), kBottom);
  }
}

bool Opponent::onRail(const Vector2& h) const {
  constexpr int64_t kReach = 0x18000;  // 6.0: a ball touching the rail has its centre 4.5 off it
  for (int32_t i = PhysicsWorld::kFirstRunSlots; i < PhysicsWorld::kLineSlots; ++i) {
    const PhysicalObject* l = w.lines[i];
    if (!l) continue;
    const Vector2 along = minus(l->pointB, l->pointA);
    const int64_t length = along.preciseLength();
    if (length <= 2 * int64_t{kBallRadius}) continue;
    const Vector2 rel = minus(h, l->pointA);
    // Distances in Q14 along the rail and off it (its unit direction and normal).
    const int64_t t = (int64_t{rel.x} * l->direction.x + int64_t{rel.y} * l->direction.y) >> 14;
    const int64_t off = (int64_t{rel.x} * l->normal.x + int64_t{rel.y} * l->normal.y) >> 14;
    if (off <= 0 && off >= -kReach && t >= kBallRadius && t <= length - kBallRadius) return true;
  }
  return false;
}

void Opponent::bankLeg(PhysicalObject* ball, int32_t parent) {
  if (!ball || parent < 0 || parent >= o.nodeCount || !w.lineHead) return;
  const Vector2 target = o.nodes[parent].pointA;
  if (!inArea(target)) return;
  for (int32_t c = 0; c < 4 && o.nodeCount < OpponentState::kBankNodeLimit; ++c) {
    const Vector2 s0 = ball->position;
    const Vector2 h = mirrorPoint(c, s0, target);
    if (nearPocket(c, h) || !onRail(h) || !inArea(h)) continue;
    const Vector2 first = minus(h, s0);
    if (tooShort(first) || tooShort(minus(target, h))) continue;
    if (!pathClear(ball, s0, first, nullptr)) continue;
    if (!pathClear(ball, h, minus(target, h), o.nodes[parent].target)) continue;
    const int32_t cushion = addNode(w.lineHead, h, minus(target, h), nullptr, parent);
    if (cushion < 0) return;
    const int32_t n = addNode(ball, Vector2(0, 0), first, nullptr, cushion);
    if (n < 0) {
      o.nodeCount = cushion;
      return;
    }
    if (ball == w.cueBall) {
      scoreCueNode(n, cushion);
      continue;
    }
    const Vector2 ghost = along(s0, unitOf(first), wrapNeg(kGhost));
    if (!inArea(ghost))
      o.nodeCount = cushion;
    else
      o.nodes[n].pointA = ghost;
  }
}

void Opponent::levelExpansion(int32_t level, int32_t source, bool bank) {
  AiLevel& out = o.levels[level];
  const AiLevel& in = o.levels[source];
  if (o.subCursor == 0) out = {o.nodeCount, -1};
  const int32_t e = in.first + o.subCursor;
  if (!in.empty() && e <= in.last) {
    const PhysicalObject* et = o.nodes[e].target;
    int32_t place = 0;
    for (PhysicalObject* b = w.ballList; b && !stopSearch(); b = b->next, ++place) {
      const uint32_t placeBit = place < 31 ? 1u << (place + 1) : 0u;
      if (b->pocketed || chainContains(e, b)) continue;
      if (!o.considerAll && ((o.usedMask & placeBit) || (source == 0 && b == w.cueBall))) continue;
      const uint32_t ballBit = ShotRules::bit(b->identity);
      if (!nine()) {
        if (b == w.cueBall && isBall(et) && (targetMask() & ShotRules::bit(et->identity))) {
          o.usedMask |= placeBit;
          continue;
        }
        if (source == 0 && !(groupMask() & ballBit)) {
          o.usedMask |= placeBit;
          continue;
        }
      } else if (b == w.cueBall && isBall(et) && et->identity != s.lowestBall) {
        continue;
      }
      if (bank)
        bankLeg(b, e);
      else
        directLeg(b, e);
    }
  }
  ++o.subCursor;
  if (in.empty() || in.first + o.subCursor > in.last) {
    if (o.nodeCount > out.first)
      out.last = o.nodeCount - 1;
    else
      out = {};
    ++o.phase;
    o.subCursor = 0;
    o.usedMask = 0;
  }
}

void Opponent::cueExpansion(int32_t level, bool bank) {
  const AiLevel in = o.levels[level];
  if (!in.empty() && w.cueBall)
    for (int32_t i = in.first; i <= in.last && !stopSearch(); ++i) {
      const PhysicalObject* t = o.nodes[i].target;
      if (isCushion(t) || (isBall(t) && !(targetMask() & ShotRules::bit(t->identity)))) continue;
      if (bank)
        bankLeg(w.cueBall, i);
      else
        directLeg(w.cueBall, i);
    }
  ++o.phase;
}

void Opponent::searchAIShot(int32_t steps) {
  const bool a = o.flagA != 0, b = o.flagB != 0;
  for (int32_t i = 0; i < steps; ++i) {
    // Phases whose flag is missing cost nothing.
    for (;;) {
      const int32_t p = o.phase;
      const bool runs = p <= 1 || ((p >= 2 && p <= 4) && a) || ((p == 5 || p == 6) && b) || (p >= 7 && p <= 8 && a && b);
      if (runs || p >= 9) break;
      ++o.phase;
    }
    if (o.phase >= 9) {
      if (o.phase == 9) ++o.phase;
      return;
    }
    switch (o.phase) {
      case 0: levelExpansion(1, 0, false); break;
      case 1: cueExpansion(1, false); break;
      case 2: cueExpansion(1, true); break;
      case 3: levelExpansion(2, 0, true); break;
      case 4: cueExpansion(2, false); break;
      case 5: levelExpansion(3, 1, false); break;
      case 6: cueExpansion(3, false); break;
      case 7: cueExpansion(3, true); break;
      default: levelExpansion(4, 1, true); break;
    }
  }
}

// ---- scoring

Q14 Opponent::chainFeasibility(int32_t node) {
  if (node < 0 || node >= o.nodeCount) return 0;
  AiNode& n = o.nodes[node];
  if (n.leg.known) return n.leg.feasibility;
  // Parents come before their children, so the walk up ends.
  const Q14 pf = n.parent >= 0 && n.parent < node ? chainFeasibility(n.parent) : 0;
  n.leg = AiLeg{};
  n.leg.known = 1;
  if (n.parent < 0 || n.parent >= node) return 0;
  const AiNode& p = o.nodes[n.parent];
  const Q14 distance = n.legVector.length();
  Q14 required = p.leg.speed;
  Q14 f = pf;
  if (isCushion(p.target)) {
    required = q14Div(required, kHalf);
  } else if (isBall(p.target)) {
    const Q14 cos = (p.legVector.x == 0 && p.legVector.y == 0) ? kOne : unitOf(n.legVector).dot(unitOf(p.legVector));
    if (cos < 1) return 0;
    required = q14Div(required, cos);
    f = q14Mul(pf, cos);
  }
  required = PhysicsWorld::frictionRoot(required, distance);
  n.leg.distance = wrapAdd(distance, p.leg.distance);
  n.leg.speed = required;
  if (required > kMaxSpeed || f <= 0) return 0;
  n.leg.feasibility = f;
  return f;
}

Q14 Opponent::chainScore(int32_t evaluation) {
  if (evaluation < 0 || evaluation >= o.evaluationCount) return 0;
  AiEvaluation& ev = o.evaluations[evaluation];
  Q14 f = chainFeasibility(ev.node);
  if (f <= 0 || f < profileValue(6)) return 0;

  // The chain as the shot's events, judged by the rule graph on a copy of
  // the world and the rule state; the match is left as it was.
  PhysicsWorld& trial = o.trial.copyOf(w);
  trial.hooks = nullptr;
  ShotRecord& shot = trial.shot;
  shot.clearEvents();

  int32_t count = 0;
  Q14 length = 0;
  bool cushion = false;
  const int32_t start = o.nodes[ev.node].parent;
  PhysicalObject* prev = start >= 0 ? w.counterpartIn(trial, o.nodes[start].target) : nullptr;
  for (int32_t i = ev.node, guard = 0; i >= 0 && guard < OpponentState::kNodeSlots; i = o.nodes[i].parent, ++guard) {
    const AiNode& n = o.nodes[i];
    ++count;
    length = wrapAdd(length, n.legVector.length());
    if (isCushion(n.target)) cushion = true;
    PhysicalObject* cur = w.counterpartIn(trial, n.target);
    if (prev && cur && isBall(cur)) {
      shot.recordEvent(cur, prev);
      prev = cur;
    } else if (prev && cur) {
      shot.recordEvent(prev, cur);
    } else {
      prev = cur;
    }
  }
  RuleState rules = s;
  MatchSetup setup = match;
  ShotRules(rules, trial, setup).runShotRules();
  const uint32_t out = rules.shotOutcome;

  using namespace ruleids;
  Q14 weight = kOne;
  if (out & k_outWin) {
    weight = q14Mul(weight, 4 * kOne);
  } else {
    if (out & k_outCueFoul) weight /= 2;
    if (!(out & k_outScored) && !(nine() && (out & k_outNewLowest))) weight /= 2;
    if (out & (k_outUkFoul | k_outFoul)) weight /= 2;
    if (out & k_outTurnPasses) weight /= 2;
    if (out & k_outNoWinner)
      weight /= 4;
    else if (out & k_outLose)
      weight = 0;
  }
  ev.weight = weight;
  if (weight == 0) return 0;
  if (cushion) f = q14Mul(f, kHalf);
  if (length > 0) f = q14Mul(f, wrapSub(kOne, q14Div(length, kLengthScale)));
  if (count - 1 > 1) f = q14Mul(f, q14Div(kOne, units(count - 2)));
  return q14Mul(f, weight);
}

Q14 Opponent::gaugeForSpeed(Q14 v) {
  const Q14 error = q14Mul(profileValue(5), w.draw(16384));
  const Q14 g = wrapAdd(q14Mul(v, profileValue(2)), error);
  // A gauge of 0 would miss the ball: the least gauge instead.
  if (g <= 0) return kMinGauge;
  if (g > kOne) return kOne;
  return g;
}

void Opponent::applyEvaluation(int32_t evaluation) {
  if (evaluation < 0 || evaluation >= o.evaluationCount) return;
  const AiEvaluation& ev = o.evaluations[evaluation];
  const AiNode& n = o.nodes[ev.node];
  Vector2 aim = n.legVector;
  if (turn.ballInHand && w.cueBall) {
    // The cue ball goes back where this chain was found, and aims at the
    // point the chain's first leg ends at.
    placeCueBall(ev.cuePlace);
    if (n.parent >= 0) aim = minus(o.nodes[n.parent].pointA, w.cueBall->position);
  }
  w.shot.aim = aim;
  const int32_t error = o.profiles.value(1, 11);
  if (error > 0) w.shot.rotateAim(w.draw(error));
  w.shot.powerGauge = gaugeForSpeed(n.leg.speed);
  w.shot.englishPoint.set(0, 0);
  w.shot.masse = 0;
}

void Opponent::fallbackShot() {
  const uint32_t mask = nine() ? targetMask() : groupMask();
  for (PhysicalObject* b = w.ballList; b; b = b->next)
    if (b != w.cueBall && !b->pocketed && (mask & ShotRules::bit(b->identity)) && w.cueBall) {
      w.shot.aim = minus(b->position, w.cueBall->position);
      break;
    }
  w.shot.powerGauge = q14Mul(3 * kOne, kOne) >> 2;
  w.shot.englishPoint.set(0, 0);
  w.shot.masse = 0;
}

void Opponent::placeCueBallFree(const Vector2& p, bool drawAgain) {
  placeCueBall(p);
  PhysicalObject* cue = w.cueBall;
  for (int32_t k = 0; cue && k < 40 && w.isBallPlacementBlocked(*cue); ++k) {
    Vector2 next(wrapAdd(cue->position.x, units(3)), cue->position.y);
    if (drawAgain) randomBreakSpot(next);
    placeCueBall(next);
  }
}

void Opponent::placeCueBall(const Vector2& p) {
  if (!w.cueBall) return;
  w.cueBall->position = p;
  if (w.cueBall->shadow) w.cueBall->shadow->position = p;
  o.candidateSpot = p;
}

bool Opponent::placementSearch() {
  PhysicalObject* cue = w.cueBall;
  const AiLevel level = o.levels[1];
  if (!cue || level.empty()) {
    o.placementCursor = -1;
    return false;
  }
  const Vector2 before = cue->position;
  while (o.placementCursor >= 0) {
    const int32_t i = level.first + o.placementCursor;
    if (i > level.last || i >= OpponentState::kNodeLimit) break;
    const AiNode& n = o.nodes[i];
    ++o.placementCursor;
    if (!isBall(n.target) || (nine() && n.target->identity != s.lowestBall)) continue;
    const Vector2 stepBack = along(Vector2(0, 0), unitOf(n.legVector), wrapNeg(kPlacementStep));
    Vector2 p = n.target->position;
    for (int32_t k = 0; k < 64; ++k) {
      p.addInPlace(stepBack);
      if (p.y >= kTop || p.y <= kBottom || p.x <= kLeft || p.x >= kRight) break;
      cue->position = p;
      if (!w.isBallPlacementBlocked(*cue)) {
        placeCueBall(p);
        return true;
      }
    }
  }
  o.placementCursor = -1;
  placeCueBall(before);
  return false;
}

// ---- the lag and the break

int32_t Opponent::randomBreakSpot(Vector2& out) {
  const int32_t r1 = w.draw(38);
  const int32_t r2 = w.draw(38 - r1);
  const int32_t side = w.draw(2);
  out.set(units(side == 0 ? 85 - r1 : 85 + r1), wrapNeg(units(201 + r2)));
  return side;
}

void Opponent::prepareLag() {
  w.shot.aim.set(0, kOne);
  // Whole hundredths from value 3 up to below value 4.
  const int32_t lo = static_cast<int32_t>((static_cast<int64_t>(profileValue(3)) * 100 + 16383) / 16384);
  const int32_t hi = static_cast<int32_t>((static_cast<int64_t>(profileValue(4)) * 100 + 16383) / 16384);
  const int32_t h = hi > lo ? lo + w.draw(hi - lo) : lo;
  w.shot.powerGauge = static_cast<Q14>(static_cast<int64_t>(h) * 16384 / 100);
  w.shot.englishPoint.set(0, 0);
  w.shot.masse = 0;
}

void Opponent::prepareBreak() {
  if (!w.cueBall) return;
  if (!turn.inHandState) {
    Vector2 spot(units(86), wrapNeg(units(202)));
    if (uk()) randomBreakSpot(spot);
    placeCueBall(spot);
  }
  w.shot.aim = minus(Vector2(units(82), wrapNeg(units(100))), w.cueBall->position);
  w.shot.powerGauge = gaugeForSpeed(profileValue(1));
  w.shot.englishPoint.set(0, 0);
  w.shot.masse = 0;
}

bool Opponent::lowestBallObject(PhysicalObject*& ball) const {
  ball = s.lowestBall > 0 && s.lowestBall < PhysicsWorld::kBallSlots ? w.balls[s.lowestBall] : nullptr;
  return ball && !ball->pocketed;
}

// ---- the think machine

void Opponent::clearThink() {
  o.evaluationCount = 0;
  o.bestEvaluation = -1;
  o.bestScore = 0;
  o.phase = 0;
  o.subCursor = 0;
  o.usedMask = 0;
  for (int32_t l = 1; l < OpponentState::kLevels; ++l) o.levels[l] = {};
  o.nodeCount = o.lastRoot + 1;
}

void Opponent::reset() { setState(kThinkStart); }

void Opponent::setState(int32_t state) {
  const int32_t old = o.state;
  if (old != state) updateAI(old, kThinkLeave, false);
  updateAI(state, kThinkEnter, false);
}

void Opponent::updateAI(int32_t state, int32_t event, bool frameDone) {
  if (event == kThinkEnter) {
    o.state = state;
    if (state == kThinkStart) o.thinkUpdates = 0;
  }
  if (event == kThinkLeave) return;
  if (event == kThinkUpdate && state >= kThinkSearch && state <= kThinkChoose &&
      ++o.thinkUpdates > OpponentState::kMaxThinkUpdates) {
    // A think that has run too long shoots what it has.
    setState(kThinkShoot);
    return;
  }
  switch (state) {
    case kThinkStart:
      if (event == kThinkEnter) {
        o.giveUp = 0;
        if (!s.normalPlay) {
          prepareLag();
        } else if (!w.breakPlayed) {
          prepareBreak();
        } else if (uk() && turn.ballInHand && o.secondPlacement && !turn.inHandState) {
          Vector2 spot;
          randomBreakSpot(spot);
          placeCueBallFree(spot, true);
        }
        if (w.cueBall) o.candidateSpot = w.cueBall->position;
        makePocketRoots();
        o.attempts = 0;
        o.considerAll = 0;
        o.placementCursor = 0;
      } else if (event == kThinkUpdate && frameDone) {
        if (s.normalPlay && w.breakPlayed)
          setState(kThinkSearch);
        else
          o.state = kThinkDone;
      }
      return;
    case kThinkSearch:
      if (event == kThinkEnter) {
        o.safety = 0;
        const bool a = profileValue(12) != 0, b = profileValue(13) != 0;
        o.flagA = o.attempts == 2 ? 1 : a;
        o.flagB = o.attempts == 1 ? 1 : b;
        clearThink();
        w.copyBallsToShadows();
        return;
      }
      searchAIShot(2);
      if (!frameDone) return;
      if (!uk() && turn.ballInHand) {
        const bool more = !(o.phase >= 2 || o.bestScore >= kGoodScore || stopSearch());
        if (more) return;
        if (o.placementCursor != -1 && (o.bestScore < kGoodScore || o.placementCursor == 0)) {
          if (placementSearch()) cueExpansion(1, false);
          return;
        }
      } else if (!(o.phase >= 9 || o.bestScore >= kGoodScore || stopSearch())) {
        return;
      }
      setState(kThinkChoose);
      return;
    case kThinkSafety:
      if (event == kThinkEnter) {
        o.safety = 1;
        o.phase = 0;
        o.evaluationCount = 0;
        o.bestEvaluation = -1;
        o.bestScore = 0;
        o.nodeCount = o.lastRoot + 1;
        for (int32_t l = 1; l < OpponentState::kLevels; ++l) o.levels[l] = {};
        w.copyBallsToShadows();
        if (turn.ballInHand) placeCueBallFree(Vector2(units(86), wrapNeg(units(202))), false);
        AiLeg root;
        root.feasibility = kOne;
        root.speed = kSafetyRootSpeed;
        root.known = 1;
        const int32_t first = o.nodeCount;
        if (w.cueBall)
          for (PhysicalObject* b = w.ballList; b; b = b->next) {
            if (b == w.cueBall || b->pocketed || !(groupMask() & ShotRules::bit(b->identity))) continue;
            const Vector2 toBall = unitOf(minus(b->position, w.cueBall->position));
            addNode(b, along(b->position, toBall, wrapNeg(kGhost)), Vector2(0, 0), &root, -1);
            if (o.nodeCount >= OpponentState::kNodeLimit) break;
          }
        if (o.nodeCount > first) o.levels[1] = {first, o.nodeCount - 1};
        return;
      }
      if (o.phase == 0) cueExpansion(1, false);
      if (frameDone) setState(kThinkChoose);
      return;
    case kThinkChoose:
      if (event != kThinkUpdate || !frameDone) return;
      if (o.bestEvaluation >= 0) {
        setState(kThinkShoot);
      } else if (!o.safety) {
        if (uk() && !o.secondPlacement && w.breakPlayed && turn.ballInHand) {
          o.secondPlacement = 1;
          Vector2 spot;
          randomBreakSpot(spot);
          placeCueBallFree(spot, true);
          makePocketRoots();
          setState(kThinkSearch);
        } else {
          o.considerAll = 0;
          setState(kThinkSafety);
        }
      } else if (o.attempts < 3) {
        PhysicalObject* lowest = nullptr;
        if (nine() && lowestBallObject(lowest)) {
          AiLeg root;
          root.feasibility = kOne;
          root.speed = kPocketRootSpeed;
          root.known = 1;
          o.nodeCount = 0;
          const Vector2 c = lowest->position;
          const Vector2 points[5] = {c,
                                     Vector2(wrapSub(c.x, kTouchOffset), c.y),
                                     Vector2(wrapAdd(c.x, kTouchOffset), c.y),
                                     Vector2(c.x, wrapSub(c.y, kTouchOffset)),
                                     Vector2(c.x, wrapAdd(c.y, kTouchOffset))};
          for (const Vector2& p : points) addNode(lowest, p, Vector2(0, 0), &root, -1);
          o.lastRoot = o.nodeCount - 1;
          o.levels[0] = {0, o.lastRoot};
          o.considerAll = s.lowestBall != 9;
        }
        ++o.attempts;
        setState(kThinkSearch);
      } else if (o.giveUpAllowed) {
        o.giveUp = 1;
        o.state = kThinkDone;
      } else {
        setState(kThinkShoot);
      }
      return;
    case kThinkShoot:
      if (event == kThinkEnter) {
        if (o.bestEvaluation >= 0)
          applyEvaluation(o.bestEvaluation);
        else
          fallbackShot();
        if (w.cueBall) o.candidateSpot = w.cueBall->position;
      } else if (event == kThinkUpdate && frameDone) {
        o.secondPlacement = 0;
        o.state = kThinkDone;
      }
      return;
    default:
      return;
  }
}
