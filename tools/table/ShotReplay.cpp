#include "tools/table/ShotReplay.h"

#include "game/Korvane/cGamePlay/ChallengeDemo.h"
#include "tools/table/TableWorld.h"

namespace tablelayout {

namespace {

constexpr double kUnit = 16384.0;
constexpr int32_t kChallengeRuleSet = 3;
constexpr uint32_t kScored = 0x2000;
// Play area of a ball's disc, Q14 (y negative down the table).
constexpr int64_t kRadius = 0x12000, kLeft = -16384, kRight = 170 * 16384, kTop = -2 * 16384, kBottom = -300 * 16384;

bool isRail(uint32_t type) {
  return type == PhysicalObject::kLine || type == PhysicalObject::kJaw || type == PhysicalObject::kLineB ||
         type == PhysicalObject::kLineC;
}

uint32_t bitOf(const PhysicalObject* o) {
  return o && o->type == PhysicalObject::kBall && o->identity >= 0 && o->identity < 16 ? 1u << o->identity : 0u;
}

}  // namespace

ReplayShot demoShot(int32_t challenge, int32_t shot) {
  ReplayShot r;
  if (challenge < 0 || challenge >= 32 || shot < 0 || shot >= kChallengeDemoShots) return r;
  const int32_t* w = ChallengeDemoShot[challenge][shot];
  r.aimX = w[k_demoAimX];
  r.aimY = w[k_demoAimY];
  r.masse = w[k_demoMasse];
  r.englishX = w[k_demoEnglishX];
  r.englishY = w[k_demoEnglishY];
  r.power = w[k_demoPower];
  return r;
}

ShotReplay::ShotReplay() {
  m_world.hooks = this;
  m_world.createMarkers();
}

ShotReplay::~ShotReplay() { m_world.hooks = nullptr; }

bool ShotReplay::loadTable(const std::string& sourcePath) { return buildTableWorld(sourcePath, m_layout, m_world); }

bool ShotReplay::loadLayout(const TableLayout& layout) {
  m_layout = layout;
  return buildTableWorld(m_layout, m_world);
}

void ShotReplay::onContact(PhysicalObject* first, PhysicalObject* second) {
  rulesFor().onContact(first, second);
  if (m_trace && m_traced && (first == m_traced || second == m_traced)) {
    const uint32_t type = (first == m_traced ? second : first)->type;
    tracePoint(type == PhysicalObject::kBall ? 1 : isRail(type) ? 2 : 3);
  }
}

void ShotReplay::tracePoint(uint8_t contact) {
  const PhysicalObject& b = *m_traced;
  if (b.pocketed) return;
  m_trace->path.push_back({b.position.x / kUnit, -b.position.y / kUnit});
  m_trace->speed.push_back(b.speed / kUnit);
  m_trace->airborne.push_back(b.airTime != 0 ? 1 : 0);
  m_trace->contact.push_back(contact);
}

void ShotReplay::begin(const TableLayoutGroup& group) {
  m_rules = RuleState();
  m_world.resetBalls();
  m_world.placeBalls(group);
  m_world.breakPlayed = 1;
  m_world.shot = ShotRecord();
  m_world.shot.aim.set(0, 16384);
  m_rules.normalPlay = 1;
  m_rules.previousPlayer = 1;
  m_rules.breakBytes[0] = 0;
  m_rules.breakBytes[1] = 1;
  m_setup = MatchSetup();
}

void ShotReplay::startChallenge(int32_t challenge) {
  startChallenge(challenge, m_layout.groups[TableLayout::kFirstChallenge + (challenge & 31)]);
}

void ShotReplay::startLesson(int32_t lesson) {
  startLesson(lesson, m_layout.groups[TableLayout::kFirstLesson + (lesson < 0 || lesson > 4 ? 0 : lesson)]);
}

void ShotReplay::startChallenge(int32_t challenge, const TableLayoutGroup& group) {
  begin(group);
  m_setup.ruleSet = kChallengeRuleSet;
  m_setup.gameType = MatchSetup::kGameChallenge;
  m_setup.challengeNumber = challenge;
  m_rules.rulesMode = RuleState::kModeChallenge;
  rulesFor().startChallengeRules();
  m_rules.shotOutcome = kScored;
}

void ShotReplay::startLesson(int32_t lesson, const TableLayoutGroup& group) {
  begin(group);
  m_setup.gameType = MatchSetup::kGameTutorial;
  m_setup.lessonNumber = lesson;
  m_rules.rulesMode = RuleState::kModeTutorial;
}

ShotResult ShotReplay::play(const ReplayShot& in, int32_t traceBall) {
  ShotResult r;
  for (int32_t& p : r.pocketOf) p = -1;
  PhysicalObject* cue = m_world.cueBall;
  if (!cue || cue->pocketed) {
    r.settled = false;
    return r;
  }
  ShotRecord& shot = m_world.shot;
  shot.aim.set(in.aimX, in.aimY);
  shot.masse = in.masse ? 1 : 0;
  shot.englishPoint.set(in.englishX, in.englishY);
  shot.powerGauge = in.power;

  uint32_t before = 0;
  for (int32_t n = 0; n < 16; ++n)
    if (m_world.balls[n] && m_world.balls[n]->pocketed) before |= 1u << n;

  // The stroke: events and per-stroke counters afresh, then the strike.
  rulesFor().beginStroke();
  const bool cushionFirst = m_world.isFirstContactCushion();
  m_world.strikeCueBall(*cue, false, 100, cushionFirst);
  m_rules.badFirstContact = 0;
  m_world.copyBallsToShadows();

  m_traced = traceBall >= 0 && traceBall < PhysicsWorld::kBallSlots ? m_world.balls[traceBall] : nullptr;
  m_trace = m_traced ? &r : nullptr;
  if (m_trace) tracePoint(0);
  bool moving = true;
  while (moving && r.frames < kMaxFrames) {
    m_world.movingMask = 0;
    m_world.physicsStepBalls(kFrameUnits);
    ++r.frames;
    for (int32_t n = 0; n < PhysicsWorld::kBallSlots && m_world.balls[n]; ++n) {
      PhysicalObject* b = m_world.balls[n];
      if (b->pocketed) continue;
      const int64_t x = b->position.x, y = b->position.y;
      if (x + kRadius < kLeft || x - kRadius > kRight || y - kRadius > kTop || y + kRadius < kBottom) {
        b->offTable = 1;
        b->pocketed = 1;
      }
    }
    if (m_trace) tracePoint(0);
    moving = m_world.movingMask != 0;
  }
  m_trace = nullptr;
  m_traced = nullptr;
  r.settled = !moving;

  // What the events say.
  for (int32_t i = 0; i < shot.eventCount; ++i) {
    const PhysicalObject* a = shot.events[i].first;
    const PhysicalObject* b = shot.events[i].second;
    if (!a || !b) continue;
    if (b->type == PhysicalObject::kBall) {
      r.touchedMask |= bitOf(a) | bitOf(b);
      if (r.firstHit < 0 && (a == cue || b == cue)) r.firstHit = (a == cue ? b : a)->identity;
    } else if (isRail(b->type)) {
      r.railMask |= bitOf(a);
      if (a == cue && r.firstHit < 0) r.cueFirstRail = true;
    } else if (b->type == PhysicalObject::kPocket && a->identity >= 0 && a->identity < 16) {
      for (int32_t k = 0; k < TableLayout::kPocketCount; ++k)
        if (m_world.pockets[k] == b) r.pocketOf[a->identity] = k;
    }
  }
  for (int32_t n = 0; n < 16; ++n) {
    const PhysicalObject* b = m_world.balls[n];
    if (!b || !b->pocketed || (before >> n & 1u)) continue;
    r.pottedMask |= 1u << n;
    if (b->offTable) r.offTableMask |= 1u << n;
  }

  ShotRules rules = rulesFor();
  rules.runShotRules();
  r.outcome = m_rules.shotOutcome;
  r.messageText = m_rules.messageText;
  rules.Rules_Apply();
  if (m_rules.respotPending) rules.respotBalls();
  cue->speed = 0;
  cue->spin.set(0, 0);
  return r;
}

}  // namespace tablelayout
