// Every text the shot rules show is in the English text table and worded,
// and each challenge's texts say what its rules ask.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "game/Korvane/cGamePlay/ChallengeDemo.h"
#include "game/Korvane/cGamePlay/RuleIds.h"
#include "game/Korvane/cGamePlay/ShotRules.h"

namespace {

std::map<int32_t, std::string> englishTexts() {
  std::ifstream in(std::string(KV_SOURCE_DIR) + "/assets/text/en.txt");
  EXPECT_TRUE(in.good());
  std::map<int32_t, std::string> texts;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    const size_t space = line.find(' ');
    texts[std::stoi(line.substr(0, space))] = line.substr(space + 1);
  }
  return texts;
}

bool has(const std::string& text, const std::string& words) { return text.find(words) != std::string::npos; }

}  // namespace

TEST(RuleTexts, EveryIdIsWorded) {
  std::map<int32_t, std::string> texts = englishTexts();
  std::vector<int32_t> ids(std::begin(ruleids::k_ruleTexts), std::end(ruleids::k_ruleTexts));
  for (const auto& d : ChallengeDefinition) ids.push_back(d[7]);
  for (int32_t id : ids) {
    ASSERT_TRUE(texts.count(id)) << id;
    EXPECT_NE(texts[id], "Text " + std::to_string(id)) << id;
  }
  // Names go into the first "%t" of the group messages.
  for (int32_t id : {494, 495, 498}) EXPECT_NE(texts[id].find("%t"), std::string::npos) << id;
}

// A challenge's intro (545 + challenge) with its hint (577 + challenge) says
// what the rules ask: the table marks no pocket, so a required pocket is
// named in words ("the 3 into the top right corner") and so are forbidden
// ones; no other pocket is named; the first ball, the balls that may be
// touched, the shots, a ball on every shot, no cushion and a masse shown by
// the demonstration are spoken of.
TEST(RuleTexts, ChallengeTextsSayWhatTheRulesAsk) {
  std::map<int32_t, std::string> texts = englishTexts();
  const char* pockets[6] = {"top left corner",  "top right corner",    "left side pocket",
                            "right side pocket", "bottom left corner", "bottom right corner"};
  const char* counts[11] = {"", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten"};
  for (int32_t c = 0; c < kChallengeCount; ++c) {
    SCOPED_TRACE(c);
    const int32_t* d = ChallengeDefinition[c];
    const std::string intro = texts[545 + c], both = intro + ' ' + texts[577 + c];
    EXPECT_FALSE(has(intro, "shown") || has(intro, "named")) << intro;
    uint32_t required = 0;
    int32_t targets = 0;
    for (int32_t pair = 0; pair < 10; ++pair) {
      const int32_t ball = d[9 + 2 * pair], pocket = d[10 + 2 * pair];
      if (ball == 0 && pocket == 0) continue;
      ++targets;
      if (pocket < 0) continue;
      required |= 1u << pocket;
      EXPECT_TRUE(has(intro, "the " + std::to_string(ball) + " into the " + pockets[pocket])) << intro;
    }
    for (int32_t k = 0; k < 6; ++k) EXPECT_TRUE(!has(both, pockets[k]) || (required >> k & 1)) << pockets[k] << ": " << both;
    if (d[2] != 0) {
      ASSERT_EQ(d[2], 3);  // the two top corners, the only forbidden set
      EXPECT_TRUE(has(intro, "two top corners")) << intro;
    }
    if (d[0] != -1) {
      int32_t first = 0;
      while (first < 15 && d[0] != 1 << first) ++first;
      EXPECT_TRUE(has(intro, "Hit the " + std::to_string(first) + " first")) << intro;
    }
    EXPECT_TRUE(d[1] == -1 || has(intro, "touch")) << intro;
    EXPECT_TRUE(d[3] < 2 || has(intro, std::string("in ") + counts[d[3]] + " shots")) << intro;
    EXPECT_TRUE(d[3] != 1 || targets < 2 || has(intro, "in one shot")) << intro;
    EXPECT_TRUE(d[4] != 1 || has(intro, "every shot")) << intro;
    EXPECT_TRUE(d[6] != 1 || has(intro, "cushion")) << intro;
    EXPECT_TRUE(!ChallengeDemoShot[c][0][k_demoMasse] || has(both, "masse")) << both;
  }
}
