// The career hub: the choice of the career character (150), the paged
// introduction (160) and the pub (110), a scene wider than the screen
// scrolled between six spots, with the beaten rivals seated in it. The pub
// wall lives in the back layer as a ring of 240 columns: scrolling paints
// only the columns that come into view.
#include <algorithm>
#include <cstdlib>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/3d/Angles.h"
#include "zul/lm/Q14.h"
#include "zul/memory/Debug.h"

const int32_t k_careerCharacterOrder[10] = {0, 5, 9, 3, 4, 1, 6, 7, 8, 2};
const uint8_t k_startingRivalSide[10] = {0, 0, 0, 1, 0, 1, 1, 0, 1, 1};
const int32_t k_pubSpots[6] = {61, 38, 62, 63, 64, 65};
const int32_t k_pubSeats[10] = {2, 1, 0, 3, 4, 5, 7, 6, 8, 9};

namespace F = interfaceformat;

namespace {

constexpr int32_t kCharacterCount = 10;
constexpr int32_t kOpenCharacters = 3;  // only the first three of the order can start a career
constexpr int32_t kPortraitSlot = 13;
constexpr int32_t kScreenW = 240, kLayoutH = 378;
constexpr int32_t kRingUnits = kScreenW * 256;
constexpr int32_t kSeatOfCharacter6 = 9;
constexpr int32_t kRivalSlots = 9;  // rival slots 0-8 of the roster
constexpr int32_t kChallengeCategories = 4, kChallengesPerCategory = 8;
constexpr int32_t kGlowDistance = 5;  // pixels from the target within which the spot glows
constexpr int32_t kAnchorLeftTop = 16 | 0x100;
// Parallax factors (1/65536) of interfaces 22-25 by scroll in 1/256 pixel,
// and the same by scroll in pixels.
constexpr int64_t kParallax[4] = {281, 332, 409, 486};
constexpr int64_t kParallaxPixels[4] = {71936, 84992, 104704, 124416};

int32_t floorDiv256(int32_t v) { return v >= 0 ? v / 256 : -((-v + 255) / 256); }

// The objects that glow on each spot.
struct Glow {
  int32_t interfaceId, element;
};
constexpr Glow kSpotGlow[6][3] = {
    {{k_interfacePubRoom, k_pubRoomBoard}, {-1, -1}, {-1, -1}},
    {{k_interfacePubRoom, k_pubRoomTrophies}, {-1, -1}, {-1, -1}},
    {{k_interfacePubRoom, k_pubRoomTable}, {-1, -1}, {-1, -1}},
    {{k_interfacePubParallax0 + 3, k_pubParallaxBoard}, {-1, -1}, {-1, -1}},
    {{k_interfacePubRoom, k_pubRoomCounter0}, {k_interfacePubRoom, k_pubRoomCounter0 + 1},
     {k_interfacePubRoom, k_pubRoomCounter0 + 2}},
    {{k_interfacePubRoom, k_pubRoomDoor}, {-1, -1}, {-1, -1}},
};

}  // namespace

// ---- career character choice (150)

void showCareerCharacter(cGame& game) {
  const int32_t c = std::clamp(game.career.progress.character, 0, kCharacterCount - 1);
  setInterfaceElementSprite(game, -1, k_careerPortrait, kPortraitSlot + c);
  setElementFrame(game, k_careerName, c);
}

void updateCareerCharacterSelection(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    game.pub.careerChoiceIndex = 0;
    game.career.progress.character = k_careerCharacterOrder[0];
    game.frontEnd.touchPrompt = 0;
    FrontEndScreen s;
    s.interfaceId = k_interfaceCareerCharacter;
    selectInterface(game, s.interfaceId);
    showCareerCharacter(game);
    setUpScreen(game, s);
  } else {
    updateInterfaceTimers(game);
    if (game.keys.isPressed(k_keySelect)) {
      if (game.pub.careerChoiceIndex < kOpenCharacters) {
        // A second choice (back from the introduction) starts afresh.
        for (uint8_t& w : game.career.progress.won) w = 0;
        const int32_t c = game.career.progress.character;
        const int32_t rival = c == 9 ? 0 : c == 0 ? 9 : k_startingRivalSide[c] == 0 ? 9 : 0;
        game.career.progress.won[rival] = 1;
        saveProgress(game);
        game.setState(k_stateCareerIntro);
        return;
      }
    } else if (game.keys.isPressed(k_keyRight) || game.keys.isPressed(k_keyLeft)) {
      const int32_t step = game.keys.isPressed(k_keyRight) ? 1 : kCharacterCount - 1;
      game.pub.careerChoiceIndex = (game.pub.careerChoiceIndex + step) % kCharacterCount;
      game.career.progress.character = k_careerCharacterOrder[game.pub.careerChoiceIndex];
      showCareerCharacter(game);
      game.keys.lock(1);
    } else if (game.keys.isPressed(k_keyRightSoft | k_keyBack)) {
      game.setState(k_stateMainMenu);
      return;
    }
  }
  const bool locked = game.pub.careerChoiceIndex >= kOpenCharacters;
  setElementVisible(game, k_careerPortrait, !locked);
  setElementVisible(game, k_careerLockedPicture, locked);
  if (locked) setElementFrame(game, k_careerLockedPicture, game.career.progress.character);
}

void paintCareerCharacterSelection(cGame& game, Graphics* g) {
  if (!g) return;
  const bool locked = game.pub.careerChoiceIndex >= kOpenCharacters;
  setElementVisible(game, k_careerPortrait, !locked);
  paintScreen(game, g, k_careerBack, -1);
  if (locked) {
    for (int32_t e = k_careerLockMark0; e < k_careerLockMark0 + 3; ++e) paintSpriteElement(game, e, false);
    drawElementText(game, k_careerLockedNote, k_textCareerLocked);
  }
  drawElementText(game, k_careerTitle, k_textCareerTitle);
  const int32_t t = getHomeTable(game, game.career.progress.character);
  drawElementText(game, k_careerTableLine, k_textTableLine0 + t);
  drawElementText(game, k_careerTableName, k_textTableName0 + t);
  drawElementText(game, k_careerTableNote, k_textTableNote0 + t);
  // A locked character says how it opens instead.
  if (locked)
    drawElementText(game, k_careerHint, k_textCareerUnlockHint);
  else
    drawElementString(game, k_careerHint, "Touch character name to select");
}

// ---- career introduction (160)

void updateCareerIntro(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    game.pub.introPage = 0;
    FrontEndScreen s;
    s.interfaceId = k_interfaceCareerIntro;
    setUpScreen(game, s);
    game.frontEnd.touchPrompt = 1;
    game.pub.introPageCount =
        std::clamp(drawElementWrappedText(game, k_introText, k_textCareerIntro), 1, TextLayoutData::kMaxPages);
  } else {
    updateInterfaceTimers(game);
    const bool last = game.pub.introPage >= game.pub.introPageCount - 1;
    const bool select = game.keys.isPressed(k_keySelect);
    if (select || game.keys.isPressed(k_keyDown)) {
      if (!last) {
        ++game.pub.introPage;
        game.keys.lock(5);
      } else if (select) {
        game.career.progress.started = 1;
        game.career.pubSpot = 2;
        saveProgress(game);
        game.frontEnd.touchPrompt = 0;
        game.setState(k_statePub);
        return;
      }
    } else if (game.keys.isPressed(k_keyRightSoft | k_keyBack)) {
      game.setState(k_stateCareerCharacterSelect);
      return;
    }
  }
  setElementVisible(game, k_introNextPage, game.pub.introPage < game.pub.introPageCount - 1);
}

void paintCareerIntro(cGame& game, Graphics* g) {
  if (!g) return;
  paintScreen(game, g, k_introBack, -1);
  const int16_t* e = getInterfaceElement(game, -1, k_introText);
  if (e && e[F::kWordType] == F::kText) {
    const int32_t font = e[F::kWordParams + F::kTextFont];
    if (font >= 0 && font < TextLayoutData::kMaxFonts && game.text.fonts[font]) {
      const int32_t x = e[F::kWordX], y = e[F::kWordY];
      const int32_t w = e[F::kWordParams + F::kTextWidth], h = e[F::kWordParams + F::kTextHeight];
      ASprite* bank = game.text.fonts[font];
      const int32_t palette = e[F::kWordParams + F::kTextPalette];
      if (palette >= 0 && palette < bank->paletteCount) bank->setCurrentPalette(palette);
      g->setClip(x, y - 2, w, h + 2);
      drawWrappedString(game, g, game.text.fonts, k_textCareerIntro, font, x, y, w, h, game.pub.introPage,
                        kAnchorLeftTop);
      game.resetClip(g);
      bank->setCurrentPalette(0);
    }
  }
  if (game.frontEnd.touchPrompt) {
    if (isBlinkOn(game)) drawString(game, g, game.text.fonts, k_textTouchPrompt, k_font1, 50, 230, 16);
  } else {
    drawCString(game, g, game.text.fonts, " ", k_font1, 50, 310, 16);
  }
}

// ---- the pub (110)

int32_t getPubSpotX(cGame& game, int32_t spot) {
  return getInterfaceElementX(game, k_interfacePubWall, k_pubSpotElement0 + std::clamp(spot, 0, k_pubSpotCount - 1));
}

int32_t pubGlowAmount(int32_t paintCounter) {
  const int64_t turns = (2 * static_cast<int64_t>(paintCounter)) % 63;
  const int64_t degrees = ((turns < 0 ? turns + 63 : turns) * 0x5A0000) >> 6;
  const int32_t s = std::abs(sinDegrees(static_cast<Q14>(degrees)));
  return (s * 220) >> 14;
}

bool isPubGlowing(const cGame& game, int32_t interfaceId, int32_t element) {
  if (!game.pub.glowOn || game.career.pubSpot < 0 || game.career.pubSpot >= k_pubSpotCount) return false;
  for (const Glow& glow : kSpotGlow[game.career.pubSpot])
    if (glow.interfaceId == interfaceId && glow.element == element) return true;
  return false;
}

void paintPubLayer(cGame& game, int32_t offset, int32_t fromX, int32_t toX, int32_t layer, Graphics* target) {
  int16_t** elements = game.interfaces.currentElements;
  const int32_t count = game.interfaces.currentElementCount;
  if (!elements) return;
  int32_t rect[4];
  for (int32_t i = 0; i < count; ++i) {
    int16_t* e = elements[i];
    if (!e || e[F::kWordType] != F::kSprite) continue;
    const int16_t* p = e + F::kWordParams;
    if (p[F::kSpriteVisible] == 0 || p[F::kSpriteLayer] != layer) continue;
    const int32_t slot = p[F::kSpriteBank];
    ASprite* bank = slot >= 0 && slot < k_spriteSlotCount ? game.loading.sprites[slot] : nullptr;
    if (!bank) continue;
    const int32_t anim = p[F::kSpriteAnim];
    const int32_t frame = p[F::kSpriteFrame];
    if (anim >= 0)
      bank->getAnimFrameRect(rect, anim & ~F::kPlayModeBits, std::max(frame, 0), e[F::kWordX], e[F::kWordY], 0);
    else if (frame >= 0 && frame < bank->frameCount)
      bank->getFrameRect(rect, frame, e[F::kWordX], e[F::kWordY], 0);
    else
      continue;
    const int32_t left = std::min(rect[0], rect[2]), right = std::max(rect[0], rect[2]);
    if (left >= toX || right < fromX) continue;
    const bool glow = isPubGlowing(game, game.interfaces.currentInterface, i);
    if (glow) {
      bank->effectMode = 7;
      bank->effectParam1 = k_pubGlowColour;
      bank->effectParam2 = pubGlowAmount(game.frame.paintFrameCount);
      bank->effectParam3 = 0;
    }
    paintSpriteElementTo(game, i, -offset, 0, layer != 0, target);
    if (glow) bank->effectMode = 0;
  }
}

void paintPubWallColumns(cGame& game, int32_t worldX, int32_t n, int32_t ringX) {
  if (!game.frontEnd.backLayer || n <= 0) return;
  int16_t** elements = game.interfaces.currentElements;
  const int32_t count = game.interfaces.currentElementCount, id = game.interfaces.currentInterface;
  selectInterface(game, k_interfacePubWall);
  n = std::min(n, kScreenW);
  ringX = ((ringX % kScreenW) + kScreenW) % kScreenW;
  // A strip that runs past the ring's right edge goes on at its left edge.
  const int32_t first = std::min(n, kScreenW - ringX);
  const int32_t pieces[2][3] = {{worldX, first, ringX}, {worldX + first, n - first, 0}};
  for (const auto& piece : pieces) {
    if (piece[1] <= 0) continue;
    game.frontEnd.backLayer->setClip(piece[2], 0, piece[1], kLayoutH);
    paintPubLayer(game, piece[0] - piece[2], piece[0], piece[0] + piece[1], 1);
  }
  game.resetClip(game.frontEnd.backLayer);
  game.interfaces.currentElements = elements;
  game.interfaces.currentElementCount = count;
  game.interfaces.currentInterface = id;
}

void scrollPub(cGame& game) {
  const int32_t target = game.pub.targetX;
  if (floorDiv256(game.pub.scroll) == target) {
    game.pub.speed = 0;
    game.pub.arrivedTime += game.frame.frameTime;
    return;
  }
  const int64_t distance = static_cast<int64_t>(target) * 256 - game.pub.scroll;
  int32_t speed = static_cast<int32_t>(distance / 10);
  if (speed > -256 && speed < 256) speed = distance < 0 ? -256 : 256;
  game.pub.speed = speed;
  const int32_t oldX = floorDiv256(game.pub.scroll);
  const int32_t oldRing = game.pub.ringOffset;
  game.pub.scroll += speed;
  game.pub.ringOffset = ((game.pub.ringOffset + speed) % kRingUnits + kRingUnits) % kRingUnits;
  if (oldRing / 256 == game.pub.ringOffset / 256) return;
  const int32_t newX = floorDiv256(game.pub.scroll);
  if (std::abs(newX - oldX) >= kScreenW) {
    paintPubWallColumns(game, newX, kScreenW, game.pub.ringOffset / 256);
  } else if (newX > oldX) {
    // Columns come in at the right: world [old + 240, new + 240).
    paintPubWallColumns(game, oldX + kScreenW, newX - oldX, oldRing / 256);
  } else {
    paintPubWallColumns(game, newX, oldX - newX, game.pub.ringOffset / 256);
  }
}

void seatPubRivals(cGame& game) {
  for (int32_t e = 0; e < k_pubSeatCount; ++e) setInterfaceElementVisible(game, k_interfacePubSeats, e, false);
  for (int32_t i = 0; i < k_pubSeatCount; ++i) game.pub.seatOf[i] = game.pub.seatCharacter[i] = -1;
  // The roster has nine rivals: a record that marks ten characters won
  // (the career character among them) still seats nine.
  const int32_t won = std::min(countWonCharacters(game), kRivalSlots);
  int32_t next = 0;
  for (int32_t ch = 0, s = 0; ch < kCharacterCount && s < won; ++ch) {
    if (!game.career.progress.won[ch]) continue;
    const int32_t c = getRivalCharacter(game, s);
    int32_t seat = kSeatOfCharacter6;
    if (c != 6) {
      while (next < k_pubSeatCount && game.pub.seatCharacter[k_pubSeats[next]] != -1) ++next;
      if (next >= k_pubSeatCount) break;
      seat = k_pubSeats[next++];
    }
    if (game.pub.seatCharacter[seat] != -1) break;  // no seat left
    setInterfaceElementVisible(game, k_interfacePubSeats, seat, true);
    setInterfaceElementSprite(game, k_interfacePubSeats, seat, kPortraitSlot + std::clamp(c, 0, 10));
    if (c >= 0 && c < kCharacterCount) game.pub.seatOf[c] = seat;
    game.pub.seatCharacter[seat] = c;
    ++s;
  }
}

bool openPendingUnlock(cGame& game) {
  CareerProgress& c = game.career.progress;
  // Pending values come from the save file: an index out of range unlocks nothing.
  const int64_t challenge = c.pendingChallengeIndex;
  if (challenge < 0 || challenge >= kChallengesPerCategory) c.pendingChallengeUnlock = 0;
  for (int32_t category = 0; category < kChallengeCategories && challenge >= 0 && challenge < kChallengesPerCategory;
       ++category) {
    const int32_t state = c.challengeStates[category][challenge];
    debugTrace("\n Challenge to unlock: %d", state);
    if (state != 0) c.pendingChallengeUnlock = 0;
  }
  if (c.pendingChallengeUnlock) {
    game.setState(k_stateChallengeUnlocked);
    return true;
  }
  const int64_t slot = c.pendingUnlockSlot;
  if (slot < 0 || slot >= kCharacterCount || game.career.characterAvailable[slot]) c.pendingCharacterUnlock = 0;
  if (c.pendingCharacterUnlock) {
    debugTrace(" s_isCharacterNeedUnlock is true");
    game.setState(k_stateCharacterUnlocked);
    return true;
  }
  return false;
}

void updatePub(cGame& game) {
  selectInterface(game, k_interfacePubWall);
  if (game.states.subState == k_subStateInit) {
    game.career.pubSpot = std::clamp(game.career.pubSpot, 0, k_pubSpotCount - 1);
    game.pub.arrivedTime = 0;
    game.pub.targetX = getPubSpotX(game, game.career.pubSpot);
    game.pub.scroll = game.pub.targetX * 256;
    game.pub.speed = 0;
    game.pub.ringOffset = 0;
    if (game.frontEnd.backLayer) {
      game.resetClip(game.frontEnd.backLayer);
      paintInterfaceLayer(game, true);
      paintPubWallColumns(game, game.pub.targetX, kScreenW, 0);
    }
    seatPubRivals(game);
    game.states.subState = k_subStateUpdate;
    openPendingUnlock(game);
    return;
  }
  if (game.keys.isPressed(k_keySelect)) {
    if (game.pub.arrivedTime >= 1) {
      playSound(game, k_soundBreakHard, 0, 50, 100);
      switch (k_pubSpots[std::clamp(game.career.pubSpot, 0, k_pubSpotCount - 1)]) {
        case 61:
          game.match.gameType = k_gameTypeTournament;
          game.tournaments.draw.pickedCount = 0;
          game.setState(k_stateRulesChoice);
          break;
        case 38:
          game.setState(k_stateAchievementMenu);
          break;
        case 62:
          game.match.gameType = k_gameTypeCareer;
          game.setup.rivalMatch = 0;
          game.setState(k_stateRulesChoice);
          break;
        case 63:
          game.match.gameType = k_gameTypeChallenge;
          game.setState(k_stateChallengeMenu);
          break;
        case 64:
          game.setState(game.career.progress.shopExplanationPending ? k_stateShopExplanation : k_stateShop);
          break;
        default:
          game.setState(k_stateMainMenu);
          break;
      }
      return;
    }
  } else if (game.keys.isPressed(k_keyRightSoft | k_keyBack)) {
    game.setState(k_stateMainMenu);
    return;
  } else if (game.keys.isPressed(k_keyRight)) {
    if (game.career.pubSpot < k_pubSpotCount - 1) {
      ++game.career.pubSpot;
      game.pub.arrivedTime = 0;
      game.keys.lock(5);
    }
  } else if (game.keys.isPressed(k_keyLeft)) {
    if (game.career.pubSpot >= 1) {
      --game.career.pubSpot;
      game.pub.arrivedTime = 0;
      game.keys.lock(5);
    }
  }
  game.career.pubSpot = std::clamp(game.career.pubSpot, 0, k_pubSpotCount - 1);
  game.pub.targetX = getPubSpotX(game, game.career.pubSpot);
  scrollPub(game);
  selectInterface(game, k_interfacePubCaptions);
  updateMenuArrows(game, k_pubArrowLeft, k_pubArrowRight, true);
  selectInterface(game, k_interfacePubWall);
}

void paintPubScenery(cGame& game, int32_t x, bool parallax, bool seats, int32_t shade) {
  if (!game.frontEnd.backLayer) return;
  const uint8_t glow = game.pub.glowOn;
  game.pub.glowOn = 0;
  selectInterface(game, k_interfacePubWall);
  game.resetClip(game.frontEnd.backLayer);
  paintInterfaceLayer(game, true);
  game.frontEnd.backLayer->setClip(0, 0, kScreenW, kLayoutH);
  paintPubLayer(game, x, x, x + kScreenW, 1, game.frontEnd.backLayer);
  selectInterface(game, k_interfacePubRoom);
  paintPubLayer(game, x, x, x + kScreenW, 0, game.frontEnd.backLayer);
  if (seats) {
    selectInterface(game, k_interfacePubSeats);
    for (int32_t i = 0; i < k_pubSeatCount; ++i)
      if (isElementVisible(game, i)) paintSpriteElementTo(game, i, -x, 0, false, game.frontEnd.backLayer);
  }
  if (parallax) {
    for (int32_t k = 0; k < 4; ++k) {
      const int32_t off = static_cast<int32_t>((static_cast<int64_t>(x) * kParallaxPixels[k]) >> 16);
      selectInterface(game, k_interfacePubParallax0 + k);
      paintPubLayer(game, off, off, off + kScreenW, 0, game.frontEnd.backLayer);
    }
  }
  if (shade > 0)
    fillRectAlpha(game, game.frontEnd.backLayer, 0, 0, kScreenW, kLayoutH,
                  static_cast<uint32_t>(std::min(shade, 255)) << 24);
  game.resetClip(game.frontEnd.backLayer);
  game.pub.glowOn = glow;
}

void paintPubBackdrop(cGame& game, Graphics* g) {
  game.resetClip(g);
  drawSavedBackgroundScrolled(game, g, game.pub.ringOffset / 256);
  const int32_t x = floorDiv256(game.pub.scroll);
  selectInterface(game, k_interfacePubRoom);
  paintPubLayer(game, x, x, x + kScreenW, 0);
  selectInterface(game, k_interfacePubSeats);
  paintInterfaceAt(game, -x, 0, false);
  for (int32_t k = 0; k < 4; ++k) {
    const int32_t off = static_cast<int32_t>((static_cast<int64_t>(game.pub.scroll) * kParallax[k]) >> 16);
    selectInterface(game, k_interfacePubParallax0 + k);
    g->setClip(0, 0, kScreenW, kLayoutH);
    paintPubLayer(game, off, off, off + kScreenW, 0);
    game.resetClip(g);
  }
}

void paintPub(cGame& game, Graphics* g) {
  if (!g) return;
  const int32_t x = floorDiv256(game.pub.scroll);
  game.pub.glowOn = std::abs(x - game.pub.targetX) <= kGlowDistance;
  paintPubBackdrop(game, g);
  game.pub.glowOn = 0;
  selectInterface(game, k_interfacePubCaptions);
  setButtonFrames(game, k_pubBack, -1);
  setElementVisible(game, k_pubArrowLeft, false);
  setElementVisible(game, k_pubArrowRight, false);
  paintInterface(game);
  const int16_t* veil = getInterfaceElement(game, -1, k_pubVeil);
  if (veil && (veil[F::kWordType] == F::kText || veil[F::kWordType] == F::kRect))
    fillRectAlpha(game, g, veil[F::kWordX], veil[F::kWordY], veil[F::kWordParams], veil[F::kWordParams + 1],
                  0xAA000000u);
  if (game.career.pubSpot > 0) paintSpriteElement(game, k_pubArrowLeft, false);
  if (game.career.pubSpot < k_pubSpotCount - 1) paintSpriteElement(game, k_pubArrowRight, false);
  const int32_t spot = std::clamp(game.career.pubSpot, 0, k_pubSpotCount - 1);
  drawElementText(game, k_pubSpotTitle, k_pubSpots[spot]);
  drawElementText(game, k_pubSpotNote, k_textPubSpotNote0 + spot);
  selectInterface(game, k_interfacePubWall);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapCareerCharacterSelect(cGame& g) {
  rightSoftHighlight(g);
  if (up(g, {25, 253, 74, 50})) press(g, k_touchKeyLeftSoft);
  if (up(g, {0, 80, 40, 45})) press(g, k_touchKeyLeft);
  if (up(g, {200, 80, 40, 45})) press(g, k_touchKeyRight);
  rightSoft(g);
}

// The introduction: a tap turns the page, the back key goes back.
void mapCareerIntro(cGame& g) { mapWholeScreenBesideBack(g, k_touchKeyLeftSoft); }

// Pictures of the pub spots, by the spot's text id.
struct SpotPicture {
  int32_t text;
  Rect rect;
};
constexpr int32_t kPubSpotTexts[6] = {61, 38, 62, 63, 64, 65};
constexpr SpotPicture kSpotPictures[] = {
    {64, {22, 102, 184, 120}}, {65, {194, 95, 44, 213}}, {63, {94, 167, 101, 140}},
    {38, {78, 133, 81, 102}},  {61, {88, 126, 122, 34}}, {62, {80, 133, 93, 67}},
};

void mapPub(cGame& g) {
  if (!g.swipeLeft && !g.swipeRight && g.career.pubSpot >= 0 && g.career.pubSpot < 6) {
    const int32_t text = kPubSpotTexts[g.career.pubSpot];
    for (const SpotPicture& p : kSpotPictures) {
      if (p.text == text) {
        if (up(g, p.rect)) press(g, k_touchKeyLeftSoft);
        break;
      }
    }
  }
  rightSoft(g, Send::Pair);
  if (up(g, {200, 165, 40, 55})) pair(g, k_touchKeyRight);
  if (up(g, {0, 165, 40, 55})) pair(g, k_touchKeyLeft);
}

}  // namespace

const cGameScreen k_screenCareerCharacterSelect = {k_stateCareerCharacterSelect, updateCareerCharacterSelection,
                                                   paintCareerCharacterSelection, mapCareerCharacterSelect};
const cGameScreen k_screenCareerIntro = {k_stateCareerIntro, updateCareerIntro, paintCareerIntro, mapCareerIntro};
const cGameScreen k_screenPub = {k_statePub, updatePub, paintPub, mapPub};
