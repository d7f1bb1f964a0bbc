#include "game/Korvane/cGamePlay/ShotRules.h"

#include <cstdio>

using namespace ruleids;

namespace {

constexpr int32_t kEnter = 0;
constexpr Q14 kSparkSpeed = 100 * kQ14One;
constexpr uint32_t kBreakPotted = 0xFFFFF;
constexpr uint32_t kBreakCountBits = 0x1FFFF;  // balls 0-16
constexpr int32_t kFirstBankRail = PhysicsWorld::kFirstRunSlots;

// Outcome words the rule graph sets together.
constexpr uint32_t kTwoTexts = k_outShowMessage | k_outShowSecond;
constexpr uint32_t kUkTwoTexts = k_outUkFoul | kTwoTexts;
constexpr uint32_t kScratch = k_outCueFoul | k_outTurnPasses;
constexpr uint32_t kScratchShown = kScratch | k_outShowMessage;
constexpr uint32_t kUkScratch = k_outUkFoul | kScratch;
constexpr uint32_t kUkJumpFoul = k_outUkFoul | k_outClearJump | kScratchShown;
constexpr uint32_t kUkJumpFoulOnBreak = k_outUkFoul | k_outClearJump | kTwoTexts | k_outTurnPasses;
constexpr uint32_t kReRackTurnPasses = k_outReRack | k_outTurnPasses | kTwoTexts;
constexpr uint32_t kScratchReRack = kReRackTurnPasses | k_outCueFoul;
constexpr uint32_t kUkScratchReRack = k_outUkFoul | kScratchReRack;
constexpr uint32_t kCueOffReRack = k_outCueOffTable | kScratchReRack;
constexpr uint32_t kUkCueOffTable = k_outUkFoul | k_outCueOffTable | kTwoTexts | kScratch;
constexpr uint32_t kUkAndFoul = k_outUkFoul | k_outFoul;
constexpr uint32_t kFoulTexts = k_outFoul | kTwoTexts;
constexpr uint32_t kFoulShown = k_outFoul | k_outShowMessage | k_outTurnPasses;
constexpr uint32_t kUkFoulShown = k_outUkFoul | kFoulShown;
constexpr uint32_t kUkFoulMessage = kUkAndFoul | k_outShowMessage;
constexpr uint32_t kBreakAgainFoul = k_outBreakAgain | kFoulShown;
constexpr uint32_t kNewLowestTurnPasses = k_outNewLowest | k_outTurnPasses;
constexpr uint32_t kLagOver = kTwoTexts | k_outWin;
constexpr uint32_t kLagOverTurnPasses = kLagOver | k_outTurnPasses;
constexpr uint32_t kLagNextShot = k_outLagGoesOn | k_outTurnPasses;
constexpr uint32_t kLagTie = k_outLagGoesOn | kTwoTexts | k_outNoWinner | k_outTurnPasses;

bool isRail(uint32_t type) {
  return type == PhysicalObject::kLine || type == PhysicalObject::kJaw || type == PhysicalObject::kLineB ||
         type == PhysicalObject::kLineC;
}

int32_t ballNumber(const PhysicalObject* o) {
  return o && o->type == PhysicalObject::kBall && o->identity >= 0 && o->identity < 16 ? o->identity : -1;
}

int32_t bitCount(uint32_t v) {
  int32_t c = 0;
  for (; v; v &= v - 1) ++c;
  return c;
}

bool onTable(const PhysicalObject* b) { return b && !b->pocketed && !b->hidden; }

// A bank is the contact of a ball with a rail away from the pockets: a rail
// ends at a pocket's mouth, and a ball that meets it within a ball's width
// of an end (a rub on its way in or out of the jaws) makes none.
constexpr int64_t kMouthWidth = 9 * 128;  // a ball's width, 1/128 units

bool nearRailEnd(const PhysicalObject& ball, const PhysicalObject& rail) {
  // In 1/128 units the squares below stay well within 64 bits.
  auto unit = [](Q14 v) { return int64_t{v} / 128; };
  const int64_t ux = unit(rail.pointB.x) - unit(rail.pointA.x), uy = unit(rail.pointB.y) - unit(rail.pointA.y);
  const int64_t length2 = ux * ux + uy * uy;
  // Along the rail from each end to the point the ball touches.
  const int64_t fromA = (unit(ball.position.x) - unit(rail.pointA.x)) * ux +
                        (unit(ball.position.y) - unit(rail.pointA.y)) * uy;
  const int64_t fromB = length2 - fromA;
  auto within = [length2](int64_t along) {
    return along < 0 || along * along < kMouthWidth * kMouthWidth * length2;
  };
  return within(fromA) || within(fromB);
}

}  // namespace

// ---- small helpers

bool ShotRules::isObjectBallOnTable(const PhysicalObject* object) {
  return object && object->type == PhysicalObject::kBall && !object->pocketed && object->identity != 0;
}

int32_t ShotRules::contactVolume(Q14 speed) {
  return 70 + static_cast<int32_t>(static_cast<int64_t>(speed) * 30 / 4915200);
}

int32_t ShotRules::pocketIndex(const PhysicalObject* pocket) const {
  for (int32_t k = 0; k < kPocketCount; ++k)
    if (pocket && w.pockets[k] == pocket) return k;
  return -1;
}

void ShotRules::debugLine(const char* format, int32_t value) {
  char line[96];
  std::snprintf(line, sizeof line, format, value);
  w.hook().debugLine(line);
}

// ---- the contact hook

void ShotRules::crowdSound() {
  if (s.crowdSoundPlayed || w.skipping) return;
  w.hook().playSound(k_soundCrowdAww, 100);
  s.crowdSoundTime = w.hook().tickCount();
  s.crowdSoundPlayed = 1;
}

void ShotRules::beginStroke() {
  w.shot.clearEvents();
  for (int32_t& c : s.ballRailCount) c = 0;
  s.ownGroupHits = 0;
  s.ballContactSeen = 0;
  s.ballSoundPlayed = 0;
  s.crowdSoundPlayed = 0;
  s.cuePotted = 0;
  s.respotMask = 0;
  s.respotPending = 0;
}

void ShotRules::onContact(PhysicalObject* first, PhysicalObject* second) {
  if (w.shot.previewFlag || !first || !second) return;
  w.shot.recordEvent(first, second);
  if (first->type != PhysicalObject::kBall) return;
  PoolHooks& hook = w.hook();
  const int32_t cur = match.currentPlayer & 1;
  const int32_t n = ballNumber(first);
  const bool isHuman = human(cur);

  if (second->type == PhysicalObject::kBall) {
    const int32_t m = ballNumber(second);
    s.ballContactSeen = 1;
    // A ball that meets a bank carrier carries the bank on.
    if (s.bankCarriers & bit(n))
      s.bankCarriers |= bit(m);
    else if (s.bankCarriers & bit(m))
      s.bankCarriers |= bit(n);
    if (n > 0 && m > 0) s.comboBalls |= bit(n) | bit(m);
    if (m == 0 && second->speed > kSparkSpeed) hook.restartHitSpark(first->m_screenX, first->m_screenY);
    if (!w.skipping) {
      const int32_t volume = contactVolume(second->speed);
      hook.playSound(k_soundHitHard, volume);
      hook.playSound(k_soundHitHard, volume);
    }
    s.ballSoundPlayed = 1;
    if (isHuman && (n == 0) != (m == 0)) {
      const int32_t object = n == 0 ? m : n;
      if (s.ballRailCount[0] >= 3 && ownBall(object)) hook.unlockAchievement(k_achBankHit);
      if (!s.tableOpen && ownBall(object) && !nine()) {
        s.ownGroupHits += 1;
        if (s.ownGroupHits >= 3) hook.unlockAchievement(k_achOwnHits);
      }
      if (object == 8) s.cueTouchedEight = 1;
    }
    const int32_t g = s.guideRememberedBall;
    if (g != -1 && (g == n || g == m) && !w.breakPlayed && g != w.shot.chosenTarget) s.guideRememberedBall = -1;
    return;
  }

  if (second->type == PhysicalObject::kPocket) {
    if (isHuman) {
      if (!w.breakPlayed) {
        if (n != 0) hook.unlockAchievement(k_achBreakPot);
        s.groupChosenOnBreak[cur] = isSolid(n) ? static_cast<int32_t>(RuleState::kSolids)
                                    : isStripe(n) ? static_cast<int32_t>(RuleState::kStripes)
                                                  : -1;
      }
      if (n == 0) {
        s.noScratchInFrame = 0;
        s.cuePotted = 1;
        crowdSound();
      }
      if (!nine() && n == 8 && !ownBall(8)) crowdSound();
      if (n > 0 && s.ballRailCount[n] >= 2 && ownBall(n)) hook.unlockAchievement(k_achCushionPot);
    } else {
      if (match.playerProfile[cur] == 0 && w.breakPlayed && n > 0 && ownBall(n)) s.rivalPotted = 1;
      if (n == 0) s.cuePotted = 1;
    }
    if (w.breakPlayed && !nine() && !ownBall(n)) {
      if (n > 0) hook.addPottedBall(n, cur == 0 ? 1 : 0);
    } else if (n > 0) {
      bool counted = true;
      if (nine() && n == 9 && (lookAheadShotRules() & k_outFoul)) counted = false;
      if (counted) {
        const int32_t gameBall = nine() ? 9 : 8;
        const int32_t k = pocketIndex(second);
        if (isHuman && n == gameBall && k == s.lastPotPocket[cur])
          hook.unlockAchievement(k_achSamePocket);
        else
          s.lastPotPocket[cur] = k;
        hook.addPottedBall(n, cur);
        s.ballsPottedThisShot += 1;
        if (s.bankCarriers & bit(n)) s.bankPot = 1;
        if (s.comboBalls & bit(n)) s.comboPot = 1;
      }
    }
    if (!w.skipping) hook.playSound(k_soundPocket, contactVolume(first->speed));
    return;
  }

  if (isRail(second->type)) {
    // Jaw points are not rail objects: only cushion lines 18-23 carry a bank.
    int32_t index = -1;
    for (int32_t k = 0; k < PhysicsWorld::kLineSlots; ++k)
      if (w.lines[k] == second) index = k;
    if (index >= kFirstBankRail) {
      if (!nearRailEnd(*first, *second)) s.bankCarriers |= bit(n);
      if (n > 0 || (n == 0 && !s.ballContactSeen)) s.ballRailCount[n] += 1;
    }
    if (!w.skipping) hook.playSound(k_soundCushion, contactVolume(first->speed));
  }
}

// ---- the graph

void ShotRules::nextShotEvent() {
  const int32_t count = w.shot.eventCount < ShotRecord::kMaxEvents ? w.shot.eventCount : ShotRecord::kMaxEvents;
  if (s.eventCursor >= 0 && s.eventCursor < count) {
    const ShotRecord::Event& e = w.shot.events[s.eventCursor];
    s.currentEvent = s.eventCursor++;
    s.ballType = e.first ? e.first->type : 0;
    s.otherType = e.second ? e.second->type : 0;
    s.eventBall = ballNumber(e.first);
    s.otherBall = ballNumber(e.second);
    return;
  }
  s.currentEvent = -1;
  s.ballType = s.otherType = 0;
  s.eventBall = s.otherBall = -1;
}

void ShotRules::pushShotRulesState(int32_t node) {
  s.nodeSlot = node;
  if (node != kNodeEnd) updateShotRules(node, kEnter);
}

void ShotRules::runShotRules() {
  s.eventCursor = 0;
  // Every update but the root's takes one event, and every node decides at
  // the end of the list: a run has at most this many updates.
  m_guard = ShotRecord::kMaxEvents + 8;
  pushShotRulesState(0);
  while (s.nodeSlot != kNodeEnd) {
    if (--m_guard < 0) {
      s.nodeSlot = kNodeEnd;
      break;
    }
    const int32_t before = s.eventCursor;
    const int32_t node = s.nodeSlot;
    updateShotRules(node, 1);
    // A node that took the end of the list and neither moved nor ended ends the graph.
    if (s.nodeSlot == node && s.currentEvent == -1 && node != 0 && before == s.eventCursor) s.nodeSlot = kNodeEnd;
  }
}

uint32_t ShotRules::lookAheadShotRules() {
  RuleState state = s;
  PhysicsWorld world = w;
  MatchSetup setup = match;
  ShotRules(state, world, setup).runShotRules();
  return state.shotOutcome;
}

void ShotRules::reRack() {
  nextShotEvent();
  s.shotOutcome |= k_outReRack;
  if (!uk()) s.shotOutcome |= k_outTurnPasses;
  end();
}

int32_t ShotRules::countBreakBalls() const {
  if (!uk()) return bitCount(s.railBalls & kBreakCountBits);
  const PhysicalObject* line = w.pockets[2];
  if (!line) return 0;
  int32_t c = 0;
  for (int32_t n = 0; n < 16; ++n)
    if (const PhysicalObject* b = w.balls[n])
      if (b->position.y <= line->position.y) ++c;
  return c;
}

void ShotRules::checkJumpFoul() {
  if (!uk() || !w.shot.jumpShot) return;
  twoToOne();
  s.shotOutcome |= kUkJumpFoul;
  s.messageText = k_textFoul;
}

void ShotRules::railIntoBreakCount() {
  if (uk())
    s.railBalls = s.railBalls * 2 + 1;
  else
    s.railBalls |= bit(s.eventBall);
}

void ShotRules::eightOnBreak(bool secondText) {
  s.shotOutcome |= k_outShowMessage;
  s.messageText = k_textEightOnBreak;
  if (secondText) {
    s.shotOutcome |= k_outShowSecond;
    s.secondMessageText = k_textReRackOther;
  }
  reRack();
}

// Nodes 1-4: the break of eight-ball and UK.
void ShotRules::breakNode(int32_t node) {
  uint32_t& out = s.shotOutcome;
  if (node == 1) {
    if (uk() && s.cuePotted) {
      out |= k_outReRack | kUkTwoTexts;
      texts(k_textBadBreak, k_textReRack);
    }
    if (uk() && w.shot.jumpShot) {
      twoToOne();
      out |= kUkJumpFoulOnBreak;
      texts(k_textFoul, k_textReRack);
    }
  }
  nextShotEvent();
  const int32_t n = s.eventBall;
  const uint32_t type = s.otherType;
  if (s.currentEvent != -1) {
    if (isRail(type)) {
      if (node != 4) railIntoBreakCount();
    } else if (type == PhysicalObject::kPocket && n != 0) {
      if (n == 8) {
        if (node == 1) reRack();
        if (node == 2) eightOnBreak(!uk());
        if (node == 3 || node == 4) {
          out |= kTwoTexts;
          texts(k_textEightOnBreak, k_textReRackOther);
          reRack();
        }
      } else if (node != 4) {
        s.railBalls |= kBreakPotted;
        if (node == 1) pushShotRulesState(2);
      }
    } else if (type == PhysicalObject::kPocket && n == 0) {
      if (node == 1 || node == 2) {
        twoToOne();
        pushShotRulesState(3);
      }
    } else if (type == PhysicalObject::kOffTable && node == 1) {
      twoToOne();
      pushShotRulesState(4);
    } else if (type == PhysicalObject::kBall && node == 1) {
      s.firstContactSeen = 1;
    }
    return;
  }
  const int32_t c = countBreakBalls();
  if (node == 1) {
    if (uk() ? (c < 2 || s.freeBallAfterFoul) : c < 4) {
      out |= s.firstContactSeen ? k_outReRack : k_outBreakAgain;
      if (uk()) {
        out |= kUkTwoTexts;
        twoToOne();
      } else {
        out |= kTwoTexts;
      }
      texts(k_textBadBreak, k_textReRack);
    }
    out |= k_outTurnPasses;
  } else if (node == 2) {
    if (!uk() && c < 4) {
      out |= kReRackTurnPasses;
      texts(k_textBadBreak, k_textReRack);
    }
  } else if (node == 3) {
    const bool short_ = uk() ? c < 2 : c < 4;
    if (short_) {
      out |= uk() ? kUkScratchReRack : kScratchReRack;
      texts(k_textBadBreak, k_textReRack);
    } else {
      out |= kScratch;
    }
  } else {
    out |= kCueOffReRack;
    texts(k_textCueOffTable, k_textCueOffTableNext);
  }
  end();
}

// Nodes 6-9 (open table) and 11-17 (groups set).
void ShotRules::groupNode(int32_t node) {
  uint32_t& out = s.shotOutcome;
  const int32_t cur = match.currentPlayer & 1;
  if (node == 6 || node == 7 || node == 11 || node == 12) checkJumpFoul();
  nextShotEvent();
  const int32_t n = s.eventBall, m = s.otherBall;
  const uint32_t type = s.otherType;
  const bool pocket = type == PhysicalObject::kPocket;
  if (s.currentEvent != -1) {
    switch (node) {
      case 6:
        if (isRail(type)) {
          s.railBalls |= bit(n);
        } else if (type == PhysicalObject::kOffTable && n == 0) {
          twoToOne();
          pushShotRulesState(9);
        } else if (type == PhysicalObject::kBall) {
          const bool cueEight = (n == 0 && m == 8) || (n == 8 && m == 0);
          if (!s.firstContactSeen) {
            s.firstContactSeen = 1;
            if (cueEight) {
              s.badFirstContact = 1;
              out |= k_outFoul;
              pushShotRulesState(7);
            } else {
              s.railBalls = 0;
              s.firstBallHit = n != 0 ? n : m;
            }
          }
        } else if (pocket && n == 8) {
          out |= k_outLose;
          end();
        } else if (pocket && n > 0) {
          out |= k_outGroups;
          if (isStripe(n)) out |= k_outGroupsStripes;
          pushShotRulesState(7);
        } else if (pocket && n == 0) {
          twoToOne();
          pushShotRulesState(8);
        }
        return;
      case 7:
        if (pocket && n == 0) {
          out &= ~static_cast<uint32_t>(k_outGroups);
          out |= k_outTurnPasses;
          twoToOne();
          pushShotRulesState(8);
        } else if (pocket && n == 8) {
          out |= k_outLose;
          end();
        }
        return;
      case 8:
      case 9:
        if (pocket && n == 8) {
          out |= k_outLose;
          end();
        }
        return;
      case 11:
        if (isRail(type)) {
          s.railBalls |= bit(n);
        } else if (type == PhysicalObject::kOffTable && n == 0) {
          twoToOne();
          pushShotRulesState(15);
        } else if (type == PhysicalObject::kBall) {
          if (!s.firstContactSeen) {
            s.railBalls = 0;
            s.firstContactSeen = 1;
            s.firstBallHit = n != 0 ? n : m;
            s.badFirstContact = (s.playerTarget[cur] & bit(s.firstBallHit)) == 0;
            if (s.badFirstContact && (s.shotsLeft == 1 || match.ruleSet == MatchSetup::kEightBall)) {
              out |= kUkFoulShown;
              s.messageText = k_textFoul;
            }
          }
        } else if (pocket) {
          s.pottedBalls |= bit(n);
          if (n == 8) {
            pushShotRulesState(13);
          } else if (n == 0) {
            twoToOne();
            pushShotRulesState(14);
          } else if (ownBall(n)) {
            out |= k_outScored;
            pushShotRulesState(12);
          } else {
            pushShotRulesState(17);
          }
        }
        return;
      case 12:
        if (isRail(type)) {
          s.railBalls |= bit(n);
        } else if (pocket) {
          s.pottedBalls |= bit(n);
          if (n == 8) {
            out |= k_outLose;
            end();
          } else if (n == 0) {
            twoToOne();
            pushShotRulesState(14);
          }
        }
        return;
      case 13:
        if (pocket && n == 0) {
          out |= k_outLose;
          end();
        }
        return;
      case 14:
      case 15:
        // The eight after a scratch loses, even when it is the player's last ball.
        if (pocket && n == 8) {
          out |= k_outLose;
          end();
        } else if (pocket && n > 0 && ownBall(n)) {
          out |= k_outScored;
        }
        return;
      case 17:
        if (isRail(type)) {
          s.railBalls |= bit(n);
        } else if (pocket && n > 0 && n != 8) {
          out |= k_outScored;
          if (uk() && ownBall(n)) pushShotRulesState(12);
        } else if (pocket && n == 8) {
          out |= ownBall(8) ? k_outWin : k_outLose;
          end();
        } else if (pocket && n == 0) {
          twoToOne();
          pushShotRulesState(14);
        }
        return;
      default:
        return;
    }
  }
  // End of the list.
  switch (node) {
    case 6:
      if (uk() && (out & k_outUkFoul)) out |= kUkAndFoul;
      if (s.railBalls != 0 || s.shotsLeft != 1) {
        out |= k_outTurnPasses;
      } else {
        out |= kUkFoulShown;
        s.messageText = k_textFoul;
      }
      break;
    case 7:
      if (s.badFirstContact && s.shotsLeft == 1) {
        out &= ~static_cast<uint32_t>(k_outGroups);
        out |= kUkFoulShown;
        s.messageText = k_textFoul;
      }
      break;
    case 8:
    case 14:
      out |= kUkScratch;
      break;
    case 9:
    case 15:
      out |= kUkCueOffTable;
      texts(k_textCueOffTable, k_textCueOffTableNext);
      break;
    case 11:
      if (uk() && (out & k_outUkFoul)) out |= kUkAndFoul;
      if (s.shotsLeft == 1 && (!s.firstContactSeen || (s.railBalls == 0 && s.pottedBalls == 0))) {
        out |= kUkFoulMessage;
        s.messageText = k_textFoul;
      }
      out |= k_outTurnPasses;
      break;
    case 12:
      if (s.badFirstContact) {
        if (s.shotsLeft == 1) {
          out |= kUkFoulMessage;
          s.messageText = k_textFoul;
        }
        out |= k_outTurnPasses;
      }
      break;
    case 13: {
      bool lost = false;
      for (const PhysicalObject* b = w.ballList; b && !lost; b = b->next) {
        if (b == w.cueBall || b == w.ball8 || !onTable(b) || b->type != PhysicalObject::kBall) continue;
        if (s.badFirstContact || ownBall(b->identity)) lost = true;
      }
      out |= lost ? k_outLose : k_outWin;
      break;
    }
    case 17:
      out |= k_outTurnPasses;
      break;
    default:
      break;
  }
  end();
}

void ShotRules::lagEnd() {
  uint32_t& out = s.shotOutcome;
  if (s.lagRails < 1 || s.lagRails > 3) {
    out |= kLagOverTurnPasses;
    texts(k_textLagBad, k_textLagRetake);
    out &= ~static_cast<uint32_t>(k_outLagGoesOn);
    return;
  }
  if (!s.lagSecondShot) {
    out |= kLagNextShot;
    return;
  }
  out &= ~static_cast<uint32_t>(k_outLagGoesOn);
  const PhysicalObject* second = w.ball8;
  const PhysicalObject* first = w.cueBall;
  if (!second || !first) return;
  const Q14 b = second->position.y, a = first->position.y;
  if (b == a) {
    out |= kLagTie;
    texts(k_textLagTie, k_textLagAgain);
    return;
  }
  const int32_t decider = b < a ? match.currentPlayer : s.previousPlayer;
  out |= b < a ? kLagOver : kLagOverTurnPasses;
  s.secondMessageText = k_textLagBreaks;
  s.messageText = w.hook().playerCharacter(decider & 1) == 10 ? k_textLagWonRival : k_textLagWon;
}

void ShotRules::tutorialNode(int32_t event) {
  uint32_t& out = s.shotOutcome;
  if (event == kEnter) {
    s.badFirstContact = 0;
    s.firstContactSeen = 0;
    out = k_outScored;
    return;
  }
  nextShotEvent();
  const int32_t lesson = match.lessonNumber;
  if (s.currentEvent == -1) {
    const PhysicalObject* b3 = w.balls[3];
    const PhysicalObject* b1 = w.balls[1];
    const bool passed = b3 && b3->pocketed && (lesson != 1 || (b1 && b1->pocketed));
    out |= passed ? k_outWin : k_outLose;
    end();
    return;
  }
  const int32_t n = s.eventBall, m = s.otherBall;
  const uint32_t type = s.otherType;
  // The object ball of a contact: the mover is usually the cue ball.
  const int32_t object = n == 0 ? m : n;
  bool fail = false;
  if (lesson != 2 && type == PhysicalObject::kLanding) {
    fail = true;
  } else if (type == PhysicalObject::kBall && !s.firstContactSeen &&
             ((lesson == 1 && object != 1 && object != 3) || ((lesson == 0 || lesson == 3 || lesson == 4) && object != 3))) {
    fail = true;
  } else if (lesson == 2 && w.shot.jumpShot) {
    w.shot.jumpShot = 0;
    fail = true;
  } else if ((type == PhysicalObject::kPocket || type == PhysicalObject::kOffTable) && n == 0) {
    fail = true;
  } else if (type == PhysicalObject::kBall) {
    s.firstContactSeen = 1;
  }
  if (fail) {
    out |= k_outLose;
    end();
  }
}

// Nodes 23-25: nine-ball.
void ShotRules::nineBallNode(int32_t node, int32_t event) {
  uint32_t& out = s.shotOutcome;
  if (event == kEnter) {
    if (node == 24) {
      s.railBalls = 0;
      s.messageText = k_textFoul;
      out |= kFoulShown;
    } else if (node == 25) {
      out |= k_outFoul;
    }
    return;
  }
  nextShotEvent();
  const int32_t n = s.eventBall, m = s.otherBall;
  const uint32_t type = s.otherType;
  const bool pocket = type == PhysicalObject::kPocket;
  const bool have = s.currentEvent != -1;
  if (node == 23) {
    const bool afterBreak = w.breakPlayed != 0;
    if (!have) {
      if (afterBreak && s.pushOutShot) {
        out |= k_outTurnPasses;
      } else {
        out |= afterBreak ? kFoulShown : kBreakAgainFoul;
        s.messageText = k_textFoul;
      }
      end();
    } else if (n == 0 && (pocket || type == PhysicalObject::kOffTable)) {
      if (!afterBreak) {
        s.messageText = k_textBadBreak;
        out |= kScratchShown;
        end();
      } else if (pocket) {
        out |= k_outCueFoul;
        pushShotRulesState(25);
      } else {
        s.messageText = k_textCueOffTable;
        out |= k_outShowMessage;
        pushShotRulesState(25);
      }
    } else if (type != PhysicalObject::kBall) {
      if (pocket && n == 9 && s.pushOutShot) {
        s.respotMask |= bit(9);
        s.respotPending = 1;
      }
    } else {
      s.firstBallHit = n != 0 ? n : m;
      pushShotRulesState(s.firstBallHit != s.lowestBall && !s.pushOutShot ? 25 : 24);
    }
    return;
  }
  if (node == 24) {
    if (have) {
      if (pocket && n == 0) {
        out |= k_outCueFoul;
        pushShotRulesState(25);
      } else if (pocket && n > 0) {
        s.respotMask |= bit(n);
      } else if (isRail(type)) {
        s.railBalls |= bit(n);
        out &= ~kFoulTexts;
      }
      return;
    }
    if (s.respotMask != 0) {
      if (!(s.respotMask & bit(9))) {
        if (s.respotMask & bit(s.lowestBall)) out |= k_outNewLowest;
        s.respotMask = 0;
        if (!s.pushOutShot) out &= ~static_cast<uint32_t>(k_outTurnPasses);
      } else if (!s.pushOutShot) {
        out |= k_outWin;
        out &= ~static_cast<uint32_t>(k_outTurnPasses);
      } else {
        s.respotPending = 1;
      }
      out &= ~kFoulTexts;
    } else if (w.breakPlayed) {
      if (s.railBalls == 0 && !s.pushOutShot) {
        out |= kFoulShown;
        s.messageText = k_textFoul;
      } else {
        out &= ~kFoulTexts;
        out |= k_outTurnPasses;
      }
    } else if (bitCount(s.railBalls & kBreakCountBits) >= 4) {
      out &= ~kFoulTexts;
      out |= k_outTurnPasses;
    } else {
      out |= kFoulShown;
      s.messageText = k_textFoul;
    }
    end();
    return;
  }
  // Node 25.
  if (have) {
    if (pocket && n > 0) s.respotMask |= bit(n);
    return;
  }
  if (s.respotMask == 0) {
    out |= k_outTurnPasses;
  } else if (s.respotMask & bit(9)) {
    s.respotPending = 1;
    out |= k_outTurnPasses;
    out &= ~static_cast<uint32_t>(k_outShowSecond);
  } else if (w.breakPlayed && !(s.respotMask & bit(s.lowestBall))) {
    s.respotMask = 0;
    out |= k_outTurnPasses;
  } else {
    out |= kNewLowestTurnPasses;
    s.respotMask = 0;
  }
  end();
}

void ShotRules::updateShotRules(int32_t node, int32_t event) {
  if (node < 0 || node > kLastNode) return;
  uint32_t& out = s.shotOutcome;
  switch (node) {
    case 0:
      if (event == kEnter) {
        s.eventCursor = 0;
        out = 0;
        return;
      }
      switch (s.rulesMode) {
        case RuleState::kModeLag:
          pushShotRulesState(22);
          return;
        case RuleState::kModeChallenge:
          pushShotRulesState(18);
          return;
        case RuleState::kModeTutorial:
          pushShotRulesState(21);
          return;
        case RuleState::kModePlay:
          if (nine())
            pushShotRulesState(23);
          else if (!w.breakPlayed)
            pushShotRulesState(1);
          else
            pushShotRulesState(s.tableOpen ? 6 : 11);
          return;
        default:
          end();
          return;
      }
    case 1:
      if (event == kEnter) {
        out |= k_outScored;
        s.firstContactSeen = 0;
        s.railBalls = 0;
        return;
      }
      breakNode(1);
      return;
    case 2:
    case 3:
    case 4:
      if (event != kEnter) breakNode(node);
      return;
    case 6:
      if (event == kEnter) {
        s.railBalls = 0;
        out |= k_outScored;
        s.firstContactSeen = 0;
        s.playerGroup[match.currentPlayer & 1] = RuleState::kBothGroups;
        return;
      }
      groupNode(6);
      return;
    case 11:
      if (event == kEnter) {
        s.railBalls = 0;
        s.pottedBalls = 0;
        s.firstContactSeen = 0;
        return;
      }
      groupNode(11);
      return;
    case 13:
      if (event == kEnter) {
        out = k_outScored;
        return;
      }
      groupNode(13);
      return;
    case 7:
    case 8:
    case 9:
    case 12:
    case 14:
    case 15:
    case 17:
      if (event != kEnter) groupNode(node);
      return;
    case 18:
      checkChallengeShot(event);
      return;
    case 21:
      tutorialNode(event);
      return;
    case 22:
      if (event == kEnter) {
        s.lagRails = 0;
        out |= k_outScored;
        return;
      }
      nextShotEvent();
      if (s.currentEvent != -1) {
        if (isRail(s.otherType) && s.eventBall == 0) s.lagRails += 1;
        return;
      }
      lagEnd();
      end();
      return;
    case 23:
    case 24:
    case 25:
      nineBallNode(node, event);
      return;
    default:
      // Nodes 5, 10, 16, 19 and 20 do nothing; an update of one ends the run.
      if (event != kEnter) end();
      return;
  }
}

// ---- challenges

void ShotRules::startChallengeRules() {
  s.challengeContactMask = -1;
  s.challengeShotsLeft = 1;
  s.challengeTargets = ~0u;
  clearChallengeRules();
  loadChallengeDefinition(match.challengeNumber);
}

void ShotRules::clearChallengeRules() {
  s.challengeFirstContact = -1;
  s.challengePotEveryShot = s.challengeBallInHandInD = s.challengeNoCushion = 0;
  s.challengeBallPottedThisShot = 0;
  s.challengeForbiddenPockets = 0;
  s.challengeTargets = 0;
  s.ballInHandInD = 0;
  s.challengeCheckOn = 0;
  for (int32_t& p : s.challengePocketOf) p = -1;
}

void ShotRules::loadChallengeDefinition(int32_t index) {
  if (index < 0 || index >= kChallengeCount) return;
  const int32_t* d = ChallengeDefinition[index];
  s.challengeFirstContact = d[0];
  s.challengeContactMask = d[1];
  s.challengeForbiddenPockets = d[2];
  s.challengeShotsLeft = s.challengeShotsAllowed = d[3];
  s.challengePotEveryShot = d[4] == 1;
  s.challengeBallInHandInD = s.ballInHandInD = d[5] == 1;
  s.challengeNoCushion = d[6] == 1;
  s.challengeFailText = d[7];
  s.challengeSecondText = d[8];
  for (int32_t k = 0; k < 10; ++k) {
    const int32_t ball = d[9 + 2 * k], pocket = d[10 + 2 * k];
    if (ball < 0 || ball >= 16) continue;
    s.challengeTargets |= bit(ball);
    s.challengePocketOf[ball] = pocket >= 0 && pocket < kPocketCount ? pocket : -1;
  }
  s.challengeCheckOn = 1;
}

void ShotRules::challengeFail(uint32_t text) {
  s.shotOutcome |= k_outShowMessage | k_outLose;
  s.messageText = text;
}

void ShotRules::checkChallengeShot(int32_t event) {
  if (event == kEnter) {
    s.challengeShotsLeft -= 1;
    s.challengeBallPottedThisShot = 0;
    return;
  }
  nextShotEvent();
  const int32_t n = s.eventBall, m = s.otherBall;
  const uint32_t type = s.otherType;
  if (s.currentEvent == -1) {
    bool allDown = true;
    for (int32_t b = 1; b < 16; ++b)
      if ((s.challengeTargets & bit(b)) && !(w.balls[b] && w.balls[b]->pocketed)) allDown = false;
    if (s.challengePotEveryShot && !s.challengeBallPottedThisShot)
      challengeFail(k_textPotEveryShot);
    else if (w.cueBall && w.cueBall->offTable)
      challengeFail(k_textCueLeftTable);
    else if (s.shotOutcome & k_outLose)
      ;  // failed during the shot: never also solved
    else if (allDown)
      s.shotOutcome |= k_outWin;
    else if (s.challengeShotsLeft <= 0)
      challengeFail(static_cast<uint32_t>(s.challengeFailText));
    end();
    return;
  }
  if (s.challengeNoCushion && isRail(type)) {
    challengeFail(k_textNoCushion);
  } else if (type == PhysicalObject::kPocket && n > 0 && (s.challengeTargets & bit(n))) {
    const int32_t k = pocketIndex(w.shot.events[s.currentEvent].second);
    const int32_t want = s.challengePocketOf[n];
    if ((want != -1 && k != want) || (s.challengeForbiddenPockets & static_cast<int32_t>(bit(k))))
      challengeFail(k_textWrongPocket);
    else
      s.challengeBallPottedThisShot = 1;
  } else if (type == PhysicalObject::kPocket && n == 0) {
    challengeFail(k_textCuePotted);
  } else if (type == PhysicalObject::kOffTable && n == 0) {
    s.shotOutcome |= k_outShowMessage | k_outLose;
  } else if (type == PhysicalObject::kBall) {
    const uint32_t mask = static_cast<uint32_t>(s.challengeContactMask);
    const uint32_t firstMask = static_cast<uint32_t>(s.challengeFirstContact);
    auto sideOk = [&](int32_t b) { return b == 0 || (firstMask & bit(b)); };
    if (!(mask & bit(n)) || !(mask & bit(m)))
      challengeFail(k_textWrongContact);
    else if (s.challengeFirstContact != -1 && (!sideOk(n) || !sideOk(m)))
      challengeFail(k_textWrongContact);
    else
      s.challengeFirstContact = -1;
  }
}
