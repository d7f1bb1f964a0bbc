// The career's screens in the whole program on the headless backend, each
// run from a save made for it and touched through the stylus script: the
// pause menu from the bet and the coin toss and back, the shop's "not
// enough money" closed by the back button, a rival match the money does not
// reach refused at the challenge board as at the stake choice, a lost bet
// on the result screen and the back button on a won final. The runs check
// the states, the saved bytes and, pixel for pixel, what the screens show.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "tests/DataSet.h"
#include "tests/game/program/MatchTouches.h"
#include "tests/game/program/ScriptedProgram.h"
#include "tools/save/SaveFileWriter.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"

namespace {

namespace fs = std::filesystem;
using matchtouch::touch;

constexpr int kKeyBack = 20, kKeyFire = 19;
constexpr uint16_t kUntouched = 0xF81F;

std::string g_report;  // what the run saw, printed at exit
void note(const std::string& s) { g_report += " " + s; }
void noteIf(bool ok, const char* what) { note(std::string(what) + (ok ? "=yes" : "=no")); }

std::vector<uint8_t> readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t u32At(const std::vector<uint8_t>& b, size_t at) {
  return b.size() < at + 4 ? 0 : uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

constexpr size_t kMoneyAt = 144;  // the career's money in the save file

// The folder of a run with its save file and the script of the start-up
// screens (sound question yes, the title).
fs::path prepare(const char* name, const savefile::Settings& settings, const savefile::Career& career) {
  const fs::path dir = scripted::runFolder(name);
  fs::remove_all(dir);
  fs::create_directories(dir / "write");
  const auto image = savefile::writeImage(settings, career);
  std::ofstream(dir / "write" / "save.sav", std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  std::ofstream(dir / "script.txt") << "9000 down 118 135\n9100 up 118 135\n11000 tap 120 200\n";
  return dir;
}

// A career under way as character 0, no tutorial offer or shop explanation due.
savefile::Career careerWith(uint32_t money) {
  savefile::Career c;
  c.started = true;
  c.flagB = false;
  c.shopExplanationPending = false;
  c.money = money;
  return c;
}

// The pixels that `draw` paints on an untouched scratch screen stand on the
// frame as they are (at least one, inside the box when one is given).
template <class Draw>
bool painted(const uint16_t* pixels, Draw draw, int x0 = 0, int y0 = 0, int x1 = 240, int y1 = 320) {
  if (!pixels) return false;
  MutableImage scratch(240, 320, 16);
  Graphics* sg = scratch.getGraphics();
  sg->setColor(0xFFFF00FF);
  sg->fillRect(0, 0, 240, 320);
  draw(sg);
  const uint16_t* drawn = static_cast<const uint16_t*>(scratch.getPixels());
  int count = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const int i = y * 240 + x;
      if (drawn[i] == kUntouched) continue;
      if (drawn[i] != pixels[i]) return false;
      ++count;
    }
  return count > 0;
}

// Every pixel of the box is the plate's navy (#0E1E30; one step off in a
// channel, as an opaque blend rounds towards the ground): nothing under the
// plate shows through.
bool plateOnly(const uint16_t* pixels, int x0, int y0, int x1, int y1) {
  if (!pixels) return false;
  const int navy[3] = {0x0E >> 3, 0x1E >> 2, 0x30 >> 3};
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint16_t p = pixels[y * 240 + x];
      const int c[3] = {p >> 11, (p >> 5) & 63, p & 31};
      for (int k = 0; k < 3; ++k)
        if (std::abs(c[k] - navy[k]) > 1) return false;
    }
  return true;
}

// Text `id` (with number parameter 0) as the game draws it into element e
// of interface `id` is on the frame.
bool textShown(cGame& g, const uint16_t* pixels, int32_t interfaceId, int32_t e, int32_t textId, int32_t number = 0) {
  return painted(pixels, [&](Graphics* sg) {
    const int32_t current = g.interfaces.currentInterface;
    Graphics* const target = g.frontEnd.paintTarget;
    g.frontEnd.paintTarget = sg;
    selectInterface(g, interfaceId);
    setTextParam(g, 0, number);
    drawElementText(g, e, textId);
    g.frontEnd.paintTarget = target;
    selectInterface(g, current);
  });
}

// Match states passed, in order, each once in a row.
std::string g_match;
void noteMatchState(cGame& g, int held) {
  if (g.states.inGame && held == 1) g_match += " " + std::to_string(g.states.gameState);
}

// Taps through the stake, the table and the versus to the match.
void toTheMatch(int state, int held) {
  if (state == k_stateStakeChoice && held == 30) touch(177, 93);  // the select button
  if (state == k_stateTableChoice && held == 30) touch(125, 262);
  if (state == k_stateVersus && held == 20) touch(120, 160);
}

[[noreturn]] void finish() {
  std::fprintf(stderr, "run:%s match%s\n", g_report.c_str(), g_match.c_str());
  std::exit(0);
}

// ---- the pause menu over the bet and the coin toss

[[noreturn]] void runMenuFromTheBetAndTheToss(fs::path dir) {
  scripted::withMatchFrames() = true;
  scripted::run(dir, 20000, [](cGame& g, int state, int held, const uint16_t* pixels) {
    static int bets = 0, tosses = 0, menus = 0;
    noteMatchState(g, held);
    if (state == k_stateMainMenu && held == 20) {
      g.match.gameType = k_gameTypeCareer;
      g.match.ruleSet = k_ruleSetUK;  // a coin toss, no lag
      g.setState(k_stateStakeChoice);
    }
    toTheMatch(state, held);
    if (held == 1) {
      bets += state == k_stateBet;
      tosses += state == k_stateCoinToss;
      menus += state == k_stateIGM;
    }
    if (state == k_stateBet && held == 20) {
      if (bets == 1) {
        // The level's figures on a plate that hides the table under it.
        noteIf(textShown(g, pixels, k_ifBet, k_betMinimumLabel + 1, k_textMoney, 10), "minimum");
        noteIf(plateOnly(pixels, 20, 222, 220, 232), "plate");
        touch(215, 300);  // MENU
      } else {
        note("bet=" + std::to_string(g.setup.currentBet));
        touch(30, 300);  // SELECT
      }
    }
    if (state == k_stateIGM && held == 20) {
      noteIf(textShown(g, pixels, k_interfaceIGM, k_igmTitle, k_textIGMTitle), "paused");
      touch(120, 110);  // resume
    }
    if (state == k_stateOpponentIntro && held % 40 == 20) touch(120, 160);
    if (state == k_stateCoinToss && held == 20) {
      if (tosses == 1) {
        noteIf(painted(pixels,
                       [&](Graphics* sg) { drawCString(g, sg, g.text.fonts, "MENU", k_font0, 215, 301, 32); }),
               "menu-label");
        touch(215, 300);
      } else {
        touch(70, 97);  // the left coin
      }
    }
    if (tosses == 2 && menus == 2 && (state == k_stateAim || state == k_stateComputerShot)) finish();
  });
}

TEST(CareerScreensProgram, MenuOpensThePauseMenuOverTheBetAndTheTossAndResumeComesBack) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = prepare("career_screens_menu", {}, careerWith(1000));
  EXPECT_EXIT(runMenuFromTheBetAndTheToss(dir), ::testing::ExitedWithCode(0),
              "run: minimum=yes plate=yes paused=yes bet=10 menu-label=yes paused=yes match.*" +
                  scripted::stateRun({k_stateBet, k_stateIGM, k_stateBet, k_stateOpponentIntro, k_stateCoinToss,
                                      k_stateIGM, k_stateCoinToss}) +
                  " (520|610)\n");
  EXPECT_EQ(u32At(readFile(dir / "write" / "save.sav"), kMoneyAt), 1000u) << "nothing bet yet";
}

// ---- the shop's message

[[noreturn]] void runShopMessage(fs::path dir) {
  scripted::run(dir, 6000, [](cGame& g, int state, int held, const uint16_t* pixels) {
    static int step = 0;
    static uint32_t at = 0;
    const uint32_t now = matchtouch::now();
    if (state == k_stateMainMenu && held == 20 && step == 0) {
      g.shop.currentItem = 5;  // Power I, $1000
      g.setState(k_stateShop);
      step = 1;
    }
    if (state != k_stateShop && state != k_statePub) return;
    const bool message = textShown(g, pixels, k_interfaceShop, k_shopErrorText, k_textNotEnoughMoney);
    auto next = [&](int x, int y) {
      touch(x, y);
      at = now + 400;
      step += 1;
    };
    if (now < at) return;
    switch (step) {
      case 1: next(119, 133); break;  // the item: not enough money
      case 2: noteIf(message, "message"), next(215, 300); break;  // the back button
      case 3: noteIf(!message && state == k_stateShop, "closed"), next(119, 133); break;
      case 4: noteIf(message, "message"), next(120, 40); break;  // anywhere
      case 5: noteIf(!message && state == k_stateShop, "closed"), next(215, 300); break;
      case 6: note("state=" + std::to_string(state)), finish();
    }
  });
}

TEST(CareerScreensProgram, ShopMessageClosesWithTheBackButtonOrATouchAndTheBackButtonThenLeaves) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = prepare("career_screens_shop", {}, careerWith(500));
  const std::vector<uint8_t> saved = readFile(dir / "write" / "save.sav");
  EXPECT_EXIT(runShopMessage(dir), ::testing::ExitedWithCode(0),
              "run: message=yes closed=yes message=yes closed=yes state=" + std::to_string(k_statePub) + " match\n");
  EXPECT_EQ(readFile(dir / "write" / "save.sav"), saved) << "nothing bought";
}

// ---- a match the money does not reach

[[noreturn]] void runRefusedMatches(fs::path dir) {
  scripted::run(dir, 6000, [](cGame& g, int state, int held, const uint16_t* pixels) {
    static int step = 0;
    if (state == k_stateMainMenu && held == 20 && step == 0) {
      g.setState(k_stateChallengeMenu);
      step = 1;
    }
    if (state == k_stateChallengeMenu && held == 30 && step == 1) touch(120, 210), step = 2;  // the rival match
    if (state == k_stateChallengeMenu && held == 50 && step == 2) {
      noteIf(textShown(g, pixels, k_ifChallengeMenu, k_challengeMenuNote, k_textStakeNotice), "board-refuses");
      touch(120, 210);  // closes the notice only
      step = 3;
    }
    if (state == k_stateChallengeMenu && held == 70 && step == 3) {
      noteIf(!g.challenges.rivalRefused, "board-closed");
      // The stake choice of the top level, every character open.
      for (uint8_t& a : g.career.characterAvailable) a = 1;
      g.match.gameType = k_gameTypeCareer;
      g.setState(k_stateStakeChoice);
      step = 4;
    }
    if (state == k_stateStakeChoice && held == 30 && step == 4) touch(177, 93), step = 5;
    if (state == k_stateStakeChoice && held == 50 && step == 5) {
      noteIf(textShown(g, pixels, k_ifStakeNotice, k_stakeNoticeText, k_textStakeNotice), "stake-refuses");
      finish();
    }
  });
}

TEST(CareerScreensProgram, ARivalMatchTheMoneyDoesNotReachIsRefusedAtTheBoardAsAtTheStakeChoice) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  savefile::Settings settings;
  settings.specialRivalOpen = true;
  const fs::path dir = prepare("career_screens_refused", settings, careerWith(300));
  EXPECT_EXIT(runRefusedMatches(dir), ::testing::ExitedWithCode(0),
              "run: board-refuses=yes board-closed=yes stake-refuses=yes match\n");
  EXPECT_EQ(u32At(readFile(dir / "write" / "save.sav"), kMoneyAt), 300u);
}

// ---- a lost bet

[[noreturn]] void runLostBet(fs::path dir) {
  scripted::withMatchFrames() = true;
  scripted::run(dir, 30000, [](cGame& g, int state, int held, const uint16_t* pixels) {
    static int down = -1;  // the key held since the last frame
    if (down >= 0) {
      g.keyReleased(down);
      down = -1;
    }
    noteMatchState(g, held);
    if (state == k_stateMainMenu && held == 20) {
      g.match.gameType = k_gameTypeCareer;
      g.setState(k_stateStakeChoice);
    }
    toTheMatch(state, held);
    if (state == k_stateBet && held == 20) touch(30, 300);
    if ((state == k_stateOpponentIntro || state == k_stateFrameWon || state == k_stateResultLines) &&
        held % 40 == 20)
      touch(120, 160);
    // The human at the aim loses the frame through the cheat menu.
    if (state == k_stateAim && held == 3) g.keyPressed(down = kKeyBack);
    if (state == k_stateIGM && held == 14) g.setInGameState(k_stateCheatMenu);
    if (state == k_stateCheatMenu && held == 12) {
      g.menu.selection = 1;
      g.keyPressed(down = kKeyFire);
    }
    if (state == k_stateGameOver && held == 30) touch(120, 160);  // every line at once
    if (state == k_stateGameOver && held == 60) {
      noteIf(textShown(g, pixels, k_interfaceMatchResult, k_resultBet, k_textMoney, 10), "bet");
      noteIf(textShown(g, pixels, k_interfaceMatchResult, k_resultBetResult, k_textMoneyLost, 10), "lost");
      finish();
    }
  });
}

TEST(CareerScreensProgram, ALostBetReadsAsMoneyLost) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = prepare("career_screens_lost", {}, careerWith(1000));
  EXPECT_EXIT(runLostBet(dir), ::testing::ExitedWithCode(0),
              "run: bet=yes lost=yes match.*" +
                  scripted::stateRun({k_stateCheatMenu, k_stateFrameWon, k_stateResultLines, k_stateGameOver}) +
                  "\n");
  EXPECT_EQ(u32At(readFile(dir / "write" / "save.sav"), kMoneyAt), 990u) << "the minimum bet lost";
}

// ---- the back button on a won final

[[noreturn]] void runWonFinal(fs::path dir) {
  scripted::run(dir, 8000, [](cGame& g, int state, int held, const uint16_t* pixels) {
    if (state == k_stateMainMenu && held == 20) {
      // A two-player tournament whose final the career character won.
      Tournament& t = g.tournaments.draw;
      t.level = 2;
      t.round = 1;
      t.entries[2][0] = 0;
      t.entries[2][1] = 1 | Tournament::kOut;
      t.entries[3][0] = 0;
      t.prize = 85;
      g.tournaments.bracketResumes = 1;
      g.match.gameType = k_gameTypeTournament;
      g.setState(k_stateTournamentStage);
    }
    if (state == k_stateTournamentStage && held == 15) {
      // The cup's notice is in, clear of "Champion!".
      noteIf(countShownNotices(g) == 1 &&
                 textShown(g, pixels, k_interfaceBracket, k_bracketTitle, k_textStageTitle0 + 3),
             "champion");
    }
    if (state == k_stateTournamentStage && held == 60) touch(215, 300);  // the back button
    if (state == k_stateQuestion && held == 20) {
      noteIf(textShown(g, pixels, k_interfaceQuestion, k_questionNote, k_textCupKeptNote), "note");
      touch(120, 145);  // yes
    }
    if (state == k_stateTournamentPrize && held == 20) {
      noteIf(textShown(g, pixels, k_interfaceTournamentPrize, k_prizeMoney, k_textMoney, 585), "prize");
      touch(120, 160);
    }
    if (state == k_statePub && held == 10) finish();
  });
}

TEST(CareerScreensProgram, BackOnAWonFinalKeepsTheCupAndShowsThePrize) {
  SKIP_WITHOUT_DATA_SET();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  savefile::Career career = careerWith(500);
  career.won[9] = career.won[1] = true;
  const fs::path dir = prepare("career_screens_final", {}, career);
  EXPECT_EXIT(runWonFinal(dir), ::testing::ExitedWithCode(0),
              "run: champion=yes note=yes prize=yes match\n" +
                  scripted::statesFromStart(
                      {k_stateTournamentStage, k_stateQuestion, k_stateTournamentPrize, k_statePub}) +
                  "\n");
  const std::vector<uint8_t> save = readFile(dir / "write" / "save.sav");
  EXPECT_EQ(u32At(save, kMoneyAt), 585u) << "the prize, paid once";
  EXPECT_NE(u32At(save, 13) & (1u << 8), 0u) << "the two-player cup";
}

}  // namespace
