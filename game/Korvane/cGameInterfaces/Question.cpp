// The yes/no question (state 60): every confirmation of the menus, the shop,
// the tournament and the running match. The asker hands over what yes, no
// and back do and what it adds to the panel; the question borrows the panel
// of the screen that asked.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"

namespace {

const uint32_t kYesNo[] = {k_textYes, k_textNo};

void answer(cGame& game, QuestionAnswer a) {
  if (a)
    a(game);
  else
    leaveQuestion(game);
}

}  // namespace

void openQuestion(cGame& game, const Question& question, int32_t defaultEntry) {
  static_cast<Question&>(game.question) = question;
  if (game.states.inGame == 1)
    game.setInGameState(k_stateQuestion);
  else
    game.setState(k_stateQuestion);
  // The set-up runs now, in the frame that asked; in a match the state
  // change has run it already.
  if (game.states.subState == k_subStateInit) updateQuestion(game);
  if (defaultEntry >= 0) selectMenuEntryById(game, static_cast<uint32_t>(defaultEntry));
}

void updateQuestion(cGame& game) {
  if (game.states.subState == k_subStateDestroy) {
    // Over a match the question's panel went into the saved background:
    // the table's panels are drawn into it again.
    if (game.states.inGame == 1) game.table.panelRedraw = 1;
    return;
  }
  if (game.states.subState == k_subStateInit) {
    selectInterface(game, k_interfaceQuestion);
    copyInterfacePanel(game, game.question.panel, k_interfaceQuestion);
    for (int32_t k = 0; k < 3; ++k) {
      setElementVisible(game, k_questionItemMarks + k, false);
      setElementVisible(game, k_questionNoteBox + k, false);
    }
    if (game.question.setUp) game.question.setUp(game);
    FrontEndScreen s;
    s.interfaceId = k_interfaceQuestion;
    s.menu = kYesNo;
    s.listElement = k_questionList;
    s.count = 2;
    setUpScreen(game, s);
    return;
  }
  if (game.question.resetSelection) {
    game.question.resetSelection = 0;
    game.menu.selection = -1;
  }
  const int32_t id = updateScreen(game);
  if (id == k_textYes)
    answer(game, game.question.yes);
  else if (id == k_textNo)
    answer(game, game.question.no);
  else if (id < 0)
    answer(game, game.question.back);
}

void leaveQuestion(cGame& game, int32_t state) {
  if (game.states.inGame == 1)
    game.setInGameState(state);
  else
    game.setState(state);
}

void leaveQuestion(cGame& game) { leaveQuestion(game, game.question.returnState); }

void showQuestionNoteBox(cGame& game) {
  for (int32_t k = 0; k < 3; ++k) setElementVisible(game, k_questionNoteBox + k, true);
}

void paintQuestionText(cGame& game) {
  drawElementText(game, k_questionTitle, game.question.title);
  drawElementText(game, k_questionBody, game.question.body);
}

void paintQuestionNote(cGame& game, int32_t textId) { drawElementText(game, k_questionNote, textId); }

void paintQuestion(cGame& game, Graphics* g) {
  if (game.states.subState == k_subStateDestroy) return;
  paintScreen(game, g, -1, -1);
  if (game.question.paint)
    game.question.paint(game);
  else
    paintQuestionText(game);
  paintMenu(game);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapQuestion(cGame& g) {
  if (g.question.action < 0 || g.question.action > 14) return;
  const Rect rows[] = {row(150, 40), row(202, 40)};
  menuRows(g, rows, 2);
}

}  // namespace

const cGameScreen k_screenQuestion = {k_stateQuestion, updateQuestion, paintQuestion, mapQuestion};
