#pragma once

#include <cstdint>

class cGame;
class Graphics;

// Message queue and dialog box state the soft keys read.
bool isMessageQueued(cGame& game);
bool isDialogBoxOpen(cGame& game);
// message queue and dialog box (cGameMessages.cpp)
void addMessageEx(cGame& game, int32_t kind, const char* str, int32_t life, int32_t extra);
void addMessage(cGame& game, int32_t kind, const char* str, int32_t life);
void addTextMessageEx(cGame& game, int32_t kind, int32_t textId, int32_t life, int32_t extra);
void addTextMessage(cGame& game, int32_t kind, int32_t textId, int32_t life);
void removeMessage(cGame& game, int32_t i);
void updateMessages(cGame& game);
void paintMessages(cGame& game, Graphics* g);
int32_t layoutMessage(cGame& game, int32_t i);
void showDialogBox(cGame& game, int32_t kind, const char* title, const char* body);
int32_t updateDialogBox(cGame& game);
void paintDialogBox(cGame& game, Graphics* g);
void replaceTextTagWithString(cGame& game, const char* str);
void replaceTextTagWithText(cGame& game, int32_t textId);
void substitutePlayerNames(cGame& game, int32_t textId);
void queueRuleMessage(cGame& game, int32_t text, int32_t nameText, int32_t groupText);
void showRuleDialog(cGame& game, int32_t kind, int32_t title, int32_t bodyText, int32_t number);

void clearMessages(cGame& game);
