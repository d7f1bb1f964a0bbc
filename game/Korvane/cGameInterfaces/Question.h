// The yes/no question's record (60): the action code says what a yes (17),
// a no (18) or back does; the panel interface lends its panel so the
// question looks like its caller.
#pragma once

#include <cstdint>

struct QuestionScreen {
  int32_t title = 0;
  int32_t body = 0;
  int32_t returnState = -1;
  int32_t action = -1;
  int32_t panel = -1;
  int32_t pendingAction = -1;  // remembered for the in-game menu; -1 none
  uint8_t resetSelection = 0;  // the next frame clears the selection
  uint8_t menuFlag = 0;
};

class cGame;
class Graphics;

// question (cGameInterfaces/Question.cpp): the yes/no screen and its
// record. The action code says what a yes (17), a no (18) or back does;
// the panel interface lends its panel so the question looks like its caller.
void openQuestion(cGame& game, int32_t title, int32_t body, int32_t returnState, int32_t action, int32_t panelInterface,
                  int32_t defaultEntry);
void openQuestion(cGame& game, int32_t title, int32_t body, int32_t returnState, int32_t action,
                  int32_t panelInterface);
void updateQuestion(cGame& game);
void paintQuestion(cGame& game, Graphics* g);
void answerQuestionYes(cGame& game);
void answerQuestionNo(cGame& game);
void answerQuestionBack(cGame& game);
void leaveQuestion(cGame& game, int32_t state);  // the return state, in game or not
