// The yes/no question (60). Whoever asks hands it the texts, the state to
// go back to, the panel to borrow and what a yes, a no or back does: the
// screen itself knows no asker.
#pragma once

#include <cstdint>

class cGame;
class Graphics;

// What an answer does; handed over by the asker.
using QuestionAnswer = void (*)(cGame& game);

// A question as its asker hands it over. A null answer goes back to the
// return state. setUp shows the asker's own elements on the panel before
// its back layer is painted; paint, when given, draws the panel's lines in
// place of the title and the body.
struct Question {
  int32_t title = 0;
  int32_t body = 0;
  int32_t returnState = -1;
  int32_t action = -1;  // the asker's code for it; the touch rows take 0-14
  int32_t panel = -1;   // the interface whose panel the question borrows
  QuestionAnswer yes = nullptr;
  QuestionAnswer no = nullptr;
  QuestionAnswer back = nullptr;
  QuestionAnswer setUp = nullptr;
  QuestionAnswer paint = nullptr;
};

// The question's record: the question asked and the screen's own bytes.
struct QuestionScreen : Question {
  int32_t pendingAction = -1;  // remembered for the in-game menu; -1 none
  uint8_t resetSelection = 0;  // the next frame clears the selection
  uint8_t menuFlag = 0;
};

// Enters the question (in game or not, as the game runs) and sets it up in
// the same frame; a default entry >= 0 selects the row of that text id.
void openQuestion(cGame& game, const Question& question, int32_t defaultEntry = -1);
void updateQuestion(cGame& game);
void paintQuestion(cGame& game, Graphics* g);
void leaveQuestion(cGame& game, int32_t state);  // in game or not
void leaveQuestion(cGame& game);                 // to the return state
// For the askers' set-up and paint: the box behind the note, the title and
// the body, the note.
void showQuestionNoteBox(cGame& game);
void paintQuestionText(cGame& game);
void paintQuestionNote(cGame& game, int32_t textId);
