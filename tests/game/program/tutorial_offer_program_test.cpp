// The whole program on the headless backend: a new career's first match, as
// a new player meets it. The career from the main menu, the introduction,
// the pub's pool table, the rules, the stake, the table and the versus
// screen, all by touch; over the table the tutorial offer. Answered no, the
// screen after it says the match comes and the match goes on to its bet;
// answered yes, the first lesson starts, and when the lessons are over the
// same career match comes back. Checks the states of both runs, what the
// screen after "no" shows, and the saved offer.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "tests/DataSet.h"
#include "tests/game/program/ScriptedProgram.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kStartUp =
    "9000 down 118 135\n9100 up 118 135\n"    // sound question: yes
    "11000 down 120 200\n11100 up 120 200\n"  // title
    "13000 down 124 189\n13100 up 124 189\n"  // main menu: career
    "15000 down 60 240\n15100 up 60 240\n";   // the name plate takes the first character

fs::path runDir(bool accept) { return scripted::runFolder(accept ? "tutorial_offer_yes" : "tutorial_offer_no"); }

// A tap at (x, y) in a moment, through the window's stylus events.
void tapSoon(int x, int y) {
  using E = wince::ScriptEvent;
  const uint32_t now = static_cast<uint32_t>(wince::nowMicros() / 1000);
  wince::setScript({E{now + 60, E::Down, x, y, 0}, E{now + 160, E::Up, x, y, 0}});
}

// Where a new player touches on each screen, once it has settled.
struct Touch {
  int state, x, y;
};
constexpr Touch kTouches[] = {
    {k_stateCareerIntro, 120, 150},       // a page a touch; the last one opens the pub
    {k_statePub, 126, 145},               // the pool table: a career match
    {k_stateRulesChoice, 124, 105},       // eight-ball
    {k_stateStakeChoice, 177, 93},        // the first stake: play
    {k_stateTableChoice, 125, 262},       // the rival's table: play
    {k_stateVersus, 120, 160},            // on to the match
    {k_stateOpponentIntro, 120, 160},
    {k_stateContinue, 118, 265},          // the button: on
    {k_stateMessageBox, 120, 150},        // the coach's words
    {k_stateTutorialLessonIntro, 120, 150},
    {k_stateTutorialFinished, 120, 150},
};

struct Run {
  bool accept = false;
  std::string states;   // every state, match states with an "m"
  int declinedText = -1;  // the text the screen after "no" shows
  int gameTypeAtLesson = -1, savedTypeAtLesson = -1, gameTypeAtBet = -1;
};
Run g_run;

void writeRun() {
  std::ofstream out(runDir(g_run.accept) / "run.txt");
  out << g_run.declinedText << ' ' << g_run.gameTypeAtLesson << ' ' << g_run.savedTypeAtLesson << ' '
      << g_run.gameTypeAtBet << '\n'
      << g_run.states;
}

[[noreturn]] void runOffer() {
  scripted::withMatchFrames() = true;
  scripted::run(
      runDir(g_run.accept), 5000,
      [](cGame& g, int state, int held, const uint16_t* pixels) {
        Run& r = g_run;
        if (held == 1) r.states += ' ' + std::to_string(state) + (g.states.inGame ? "m" : "");
        // Every 40 frames on a screen that waits for a touch: its touch.
        for (const Touch& t : kTouches)
          if (t.state == state && held % 40 == 30) tapSoon(t.x, t.y);
        if (state == k_stateQuestion && held == 30) tapSoon(124, r.accept ? 146 : 190);
        if (state == k_stateContinue && held == 20) {
          r.declinedText = g.question.menuFlag ? k_textTutorialDeclined : k_textTutorialEnd;
          if (pixels) wince::writePng((runDir(r.accept) / "continue.png").string(), pixels, 240, 320);
        }
        if (state == k_stateTutorialLessonIntro && held == 1) {
          r.gameTypeAtLesson = g.match.gameType;
          r.savedTypeAtLesson = g.tutorial.savedGameType;
        }
        // The lessons played through: the tutorial ends.
        if (state == k_stateAim && g.match.gameType == k_gameTypeTutorial && held == 10)
          g.setInGameState(k_stateTutorialFinished);
        if (state == k_stateBet && held == 20) {
          r.gameTypeAtBet = g.match.gameType;
          writeRun();
          std::exit(0);
        }
      },
      writeRun);
}

struct Result {
  int declinedText = -1, gameTypeAtLesson = -1, savedTypeAtLesson = -1, gameTypeAtBet = -1;
  std::string states;
  std::vector<uint8_t> save;
};

Result play(bool accept) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = runDir(accept);
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  std::ofstream(dir / "script.txt") << kStartUp;
  g_run.accept = accept;
  EXPECT_EXIT(runOffer(), ::testing::ExitedWithCode(0), "");
  Result out;
  std::ifstream in(dir / "run.txt");
  in >> out.declinedText >> out.gameTypeAtLesson >> out.savedTypeAtLesson >> out.gameTypeAtBet;
  std::getline(in, out.states);
  std::getline(in, out.states);
  std::ifstream save(dir / "write" / "save.sav", std::ios::binary);
  out.save.assign(std::istreambuf_iterator<char>(save), std::istreambuf_iterator<char>());
  return out;
}

// Match states as the run notes them: a space before each, an "m" after.
std::string matchRun(std::initializer_list<int32_t> states) {
  std::string s;
  for (const int32_t state : states) {
    s += ' ';
    s += std::to_string(state);
    s += 'm';
  }
  return s;
}

}  // namespace

TEST(TutorialOfferProgram, NoGoesOnToTheCareerMatch) {
  SKIP_WITHOUT_DATA_SET();
  const Result r = play(false);
  // The set-up by touch, the offer over the table, "no", the screen after it
  // and the same match's start: its bet. No lesson, no tutorial choice.
  const std::string setUp =
      scripted::stateRun({k_stateCareerCharacterSelect, k_stateCareerIntro, k_statePub, k_stateRulesChoice,
                          k_stateStakeChoice, k_stateTableChoice, k_stateVersus, k_stateGameLoading});
  const std::string offer = matchRun({k_stateQuestionMenu, k_stateQuestion, k_stateContinue, k_stateBet});
  EXPECT_NE(r.states.find(setUp + offer), std::string::npos) << r.states;
  EXPECT_EQ(r.states.find(matchRun({k_stateTutorialLessonIntro}).substr(1)), std::string::npos) << r.states;
  EXPECT_EQ(r.states.find(scripted::stateRun({k_stateTutorialChoice})), std::string::npos) << r.states;
  EXPECT_EQ(r.declinedText, k_textTutorialDeclined);
  EXPECT_EQ(r.gameTypeAtBet, k_gameTypeCareer);
  ASSERT_EQ(r.save.size(), 300u);
  EXPECT_EQ(r.save[161], 0) << "the offer is answered";
  EXPECT_EQ(r.save[157 + 3], 0) << "no lesson passed";
  EXPECT_TRUE(fs::exists(runDir(false) / "continue.png"));
}

TEST(TutorialOfferProgram, YesPlaysTheLessonsThenTheSameMatch) {
  SKIP_WITHOUT_DATA_SET();
  const Result r = play(true);
  const std::string lesson = scripted::stateRun({k_stateGameLoading}) +
                             matchRun({k_stateQuestionMenu, k_stateQuestion, k_stateTutorialLessonIntro});
  EXPECT_NE(r.states.find(lesson), std::string::npos) << r.states;
  EXPECT_NE(r.states.find(matchRun({k_stateTutorialFinished})), std::string::npos) << r.states;
  EXPECT_EQ(r.states.substr(r.states.size() - 5), matchRun({k_stateBet})) << r.states;
  EXPECT_EQ(r.states.find(scripted::stateRun({k_stateTutorialChoice})), std::string::npos) << r.states;
  EXPECT_EQ(r.gameTypeAtLesson, k_gameTypeTutorial);
  EXPECT_EQ(r.savedTypeAtLesson, k_gameTypeCareer) << "the career match waits";
  EXPECT_EQ(r.gameTypeAtBet, k_gameTypeCareer);
  ASSERT_EQ(r.save.size(), 300u);
  EXPECT_EQ(r.save[161], 0);
}
