#pragma once

#include <cstdint>

#include "game/Korvane/cGamePlay/Tournament.h"

class cGame;
struct Question;
class Graphics;

// tournaments (cGameInterfaces/Tournament.cpp: the choice 140, the
// field choice 410, the opponent pick 190 and its confirmation 420;
// cGameInterfaces/TournamentBracket.cpp: the bracket 200 and the prize
// 390). The draw itself is cGamePlay/Tournament.h.
void updateTournamentSelection(cGame& game);
void paintTournamentSelection(cGame& game, Graphics* g);
void updateTournamentFieldChoice(cGame& game);
void paintTournamentFieldChoice(cGame& game, Graphics* g);
void updateTournamentOpponentSelection(cGame& game);
void paintTournamentOpponentSelection(cGame& game, Graphics* g);
void updateTournamentFieldConfirm(cGame& game);
void paintTournamentFieldConfirm(cGame& game, Graphics* g);
void updateTournamentBracket(cGame& game);
void paintTournamentBracket(cGame& game, Graphics* g);
void updateTournamentPrize(cGame& game);
void paintTournamentPrize(cGame& game, Graphics* g);
void makeBracket(cGame& game, bool withPickedField);
void computeTournamentPrize(cGame& game);
// A won cup's prize into the money, saved; however the bracket is left.
void payTournamentPrize(cGame& game);
// The bracket's quit question: yes leaves the tournament (a won cup paid),
// no and back resume the bracket.
extern const Question k_questionQuitTournament;
// For a question that would leave a tournament match: the note that the
// tournament is lost, shown in a tournament only.
void showTournamentMatchNote(cGame& game);
void paintTournamentMatchNote(cGame& game);
void playTournamentRound(cGame& game);
// Shows the entries of the stages from the first to stage `last`.
void drawTournamentStages(cGame& game, int32_t last);
// The field choice (410) when enough characters are won for the level, else the bracket.
int32_t tournamentFieldChoiceOr(const cGame& game, int32_t otherwise);
// Picks dropped, the pick screen's slots laid out again for the level.
void resetTournamentPicks(cGame& game);
void layOutPickSlots(cGame& game);
// The cursor to the next seat (+1) or the previous one (-1) that holds an
// unpicked character; it stays when there is none.
void movePickCursor(cGame& game, int32_t step);
bool isPickedCharacter(const cGame& game, int32_t c);

// The tournament being played (the draw) and whether the bracket picks
// up where it was.
struct TournamentScreens {
  Tournament draw;
  uint8_t bracketResumes = 0;
};
