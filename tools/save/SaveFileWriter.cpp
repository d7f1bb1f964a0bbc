#include "tools/save/SaveFileWriter.h"

namespace savefile {

namespace {
struct Out {
  uint8_t* p;
  void flag(bool v) { *p++ = v ? 1 : 0; }
  void byte(int v) { *p++ = static_cast<uint8_t>(v); }
  void u32(uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) *p++ = static_cast<uint8_t>(v >> s);
  }
};
}  // namespace

std::array<uint8_t, kSize> writeImage(const Settings& s, const Career& c, std::array<uint8_t, 2> record4) {
  std::array<uint8_t, kSize> image{};
  Out a{image.data()};
  a.flag(s.option6);
  a.flag(s.option7);
  a.flag(s.option8);
  for (bool v : s.characterAvailable) a.flag(v);
  a.u32(s.achievementMask);
  a.u32(s.achievementCounter);
  a.flag(s.careerCompleteShown);
  a.flag(s.tutorialLeft);
  a.flag(s.specialRivalOpen);
  a.flag(s.firstQuickMatch);

  Out b{image.data() + 100};
  b.flag(c.started);
  b.byte(c.character);
  for (bool v : c.won) b.flag(v);
  for (int8_t v : c.challengeStates) b.byte(v);
  b.u32(c.money);
  b.u32(c.boughtMask);
  b.flag(c.shopExplanationPending);
  b.u32(c.equippedMask);
  b.u32(c.counterA);
  b.flag(c.flagB);
  b.u32(c.counterC);
  b.u32(c.counterD);
  b.u32(c.counterE);
  b.flag(c.specialRivalBeaten);
  b.u32(c.pendingUnlockSlot);
  b.u32(c.pendingChallengeIndex);
  b.flag(c.pendingCharacterUnlock);
  b.flag(c.pendingChallengeUnlock);

  image[200] = record4[0];
  image[201] = record4[1];
  return image;
}

}  // namespace savefile
