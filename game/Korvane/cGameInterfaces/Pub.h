// The career hub's record: the career character choice (150), the
// introduction (160) and the pub (110), a wide scene scrolled between six
// spots with the beaten rivals seated in it.
#pragma once

#include <cstdint>

struct PubScreen {
  int32_t careerChoiceIndex = 0;
  int32_t arrivedTime = 0;  // ms at rest on the spot
  int32_t targetX = 0;      // pixels
  int32_t scroll = 0;       // 1/256 pixel
  int32_t speed = 0;        // 1/256 pixel a frame
  int32_t ringOffset = 0;   // scroll modulo 240 pixels, 1/256 pixel
  int32_t seatOf[10] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};         // by character
  int32_t seatCharacter[10] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};  // by seat element
  uint8_t glowOn = 0;  // the spot's objects glow in this paint
  int32_t introPage = 0;
  int32_t introPageCount = 1;
};

class cGame;
class Graphics;

void paintPubScenery(cGame& game, int32_t x, bool parallax, bool seats, int32_t shade);
// career hub (cGameInterfaces/Pub.cpp): the career character choice
// (150), the introduction (160) and the pub (110), a wide scene scrolled
// between six spots with the beaten rivals seated in it.
void updateCareerCharacterSelection(cGame& game);
void paintCareerCharacterSelection(cGame& game, Graphics* g);
void updateCareerIntro(cGame& game);
void paintCareerIntro(cGame& game, Graphics* g);
void updatePub(cGame& game);
void paintPub(cGame& game, Graphics* g);
// One scroll step towards the current spot; the newly exposed columns of
// the wall are painted into the ring of the back layer.
void scrollPub(cGame& game);
// Sprite elements of the current interface on the layer whose x extent
// meets [fromX, toX), shifted left by offset; into target when given.
void paintPubLayer(cGame& game, int32_t offset, int32_t fromX, int32_t toX, int32_t layer, Graphics* target = nullptr);
// The wall of world columns [worldX, worldX + n) into ring columns from ringX on.
void paintPubWallColumns(cGame& game, int32_t worldX, int32_t n, int32_t ringX);
// Scroll position of a spot (pixels).
int32_t getPubSpotX(cGame& game, int32_t spot);
void seatPubRivals(cGame& game);
// The ring of the wall, the room, the seats and the parallax layers as
// seen from the scroll position (the pub and the tournament pick).
void paintPubBackdrop(cGame& game, Graphics* g);
// Opens the screen of a pending unlock; false when none is pending.
bool openPendingUnlock(cGame& game);
void showCareerCharacter(cGame& game);
// The glow amount of the current spot's objects at a paint count.
int32_t pubGlowAmount(int32_t paintCounter);
bool isPubGlowing(const cGame& game, int32_t interfaceId, int32_t element);
