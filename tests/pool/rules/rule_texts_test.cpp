// Every text the shot rules show is in the English text table and worded.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "game/Korvane/cGamePlay/RuleIds.h"
#include "game/Korvane/cGamePlay/ShotRules.h"

TEST(RuleTexts, EveryIdIsWorded) {
  std::ifstream in(std::string(KV_SOURCE_DIR) + "/assets/text/en.txt");
  ASSERT_TRUE(in.good());
  std::map<int32_t, std::string> texts;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    const size_t space = line.find(' ');
    texts[std::stoi(line.substr(0, space))] = line.substr(space + 1);
  }
  std::vector<int32_t> ids(std::begin(ruleids::k_ruleTexts), std::end(ruleids::k_ruleTexts));
  for (const auto& d : ChallengeDefinition) ids.push_back(d[7]);
  for (int32_t id : ids) {
    ASSERT_TRUE(texts.count(id)) << id;
    EXPECT_NE(texts[id], "Text " + std::to_string(id)) << id;
  }
  // Names go into the first "%t" of the group messages.
  for (int32_t id : {494, 495, 498}) EXPECT_NE(texts[id].find("%t"), std::string::npos) << id;
}
