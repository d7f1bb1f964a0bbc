#pragma once

#include <cstdint>

class cGame;
class Graphics;

// The interfaces: the element lists of "interf.bar". Element i of
// interface id; id -1 is the current interface. Accessors given a bad id
// or index, or an element of another type, do nothing (readers return 0).
constexpr int32_t k_interfaceCount = 69;
constexpr int32_t k_spriteSlotCount = 150;

// interfaces (cGameInterfaces.cpp): the element lists of "interf.bar".
// Element i of interface id; id -1 is the current interface. Accessors
// given a bad id or index, or an element of another type, do nothing
// (readers return 0).
void loadInterfaces(cGame& game);
// Builds interface id from the records of one entry (whole records only).
// False when the records do not fill the entry (what is left is damaged).
bool loadInterface(cGame& game, int32_t id, const uint8_t* data, int32_t size);
void freeInterfaces(cGame& game);
void selectInterface(cGame& game, int32_t id);
int16_t* getInterfaceElement(const cGame& game, int32_t id, int32_t i);
int32_t getInterfaceElementCount(const cGame& game, int32_t id);
// Parameters of the element's record in the file (it keeps at least as
// many as its type reads).
int32_t getElementParamCount(const cGame& game, int32_t id, int32_t i);
void armElementAnimations(cGame& game, int16_t** elements, bool arm);
void startInterfaceAnimation(cGame& game);
void resetInterfaceAnimation(cGame& game, bool arm);
void startInterfaceAnimationById(cGame& game, int32_t id);
// Clears the slide-in timers of the sprite and text elements of an array.
void stopElementAnimations(cGame& game, int16_t** elements);
void updateInterfaceTimers(cGame& game);
void paintInterfaceAt(cGame& game, int32_t dx, int32_t dy, bool backLayerPass);
void paintInterfaceLayer(cGame& game, bool backLayerPass);
void paintInterface(cGame& game);
void paintSpriteElementTo(cGame& game, int32_t i, int32_t dx, int32_t dy, bool backLayerPass, Graphics* target);
void paintSpriteElement(cGame& game, int32_t i, bool backLayerPass);
void paintSpriteElementAt(cGame& game, int32_t i, int32_t dx, int32_t dy, bool backLayerPass);
void paintSpriteElementAltPalette(cGame& game, int32_t i, int32_t dx, int32_t dy, bool backLayerPass, Graphics* target,
                                  bool forcePalette1);
void paintRectElement(cGame& game, int32_t i, int32_t dx, int32_t dy, bool backLayerPass);
void paintPanelElement(cGame& game, int16_t* e);
int32_t getElementX(cGame& game, int32_t i);
int32_t getInterfaceElementX(cGame& game, int32_t id, int32_t i);
int32_t getElementY(cGame& game, int32_t i);
int32_t getInterfaceElementY(cGame& game, int32_t id, int32_t i);
void setElementX(cGame& game, int32_t id, int32_t i, int32_t v);
void setElementY(cGame& game, int32_t id, int32_t i, int32_t v);
int32_t getElementWidth(cGame& game, int32_t i);
int32_t getInterfaceElementWidth(cGame& game, int32_t id, int32_t i);
int32_t getElementHeight(cGame& game, int32_t i);
int32_t getInterfaceElementHeight(cGame& game, int32_t id, int32_t i);
// The box (left, top, right, bottom) of a sprite element's frame with its
// left at x; false for an element that is no sprite or has no frame.
bool getSpriteElementBox(cGame& game, int32_t id, int32_t i, int32_t x, int32_t box[4]);
int32_t getElementFont(cGame& game, int32_t i);
int32_t getInterfaceElementFont(cGame& game, int32_t id, int32_t i);
void setElementVisible(cGame& game, int32_t i, bool on);
void setInterfaceElementVisible(cGame& game, int32_t id, int32_t i, bool on);
bool isElementVisible(cGame& game, int32_t i);
int32_t getInterfaceElementAnim(cGame& game, int32_t id, int32_t i);
void setElementFrame(cGame& game, int32_t i, int32_t frame);
void setInterfaceElementFrame(cGame& game, int32_t id, int32_t i, int32_t frame);
void setElementAnim(cGame& game, int32_t i, int32_t anim);
void setInterfaceElementAnim(cGame& game, int32_t id, int32_t i, int32_t anim);
void setElementPalette(cGame& game, int32_t i, int32_t palette);
void setInterfaceElementPalette(cGame& game, int32_t id, int32_t i, int32_t palette);
void setInterfaceElementSprite(cGame& game, int32_t id, int32_t i, int32_t bank);
void copyInterfacePanel(cGame& game, int32_t from, int32_t to);
int32_t getElementAlignFlags(cGame& game, int32_t i);
// Text boxes: str null draws text id textId; -1 for font, palette or
// hAlignOverride takes the element's own. True on the last page.
bool paintTextElement(cGame& game, int32_t i, int32_t font, const char* str, int32_t len, int32_t textId, int32_t dx,
                      int32_t dy, int32_t palette, int32_t extraFlag, int32_t hAlignOverride);
bool drawElementText(cGame& game, int32_t i, int32_t textId);
bool drawElementTextFlags(cGame& game, int32_t i, int32_t textId, int32_t flag);
bool drawElementString(cGame& game, int32_t i, const char* str);
bool drawElementStringFlags(cGame& game, int32_t i, const char* str, int32_t flag);
bool drawElementStringLen(cGame& game, int32_t i, const char* str, int32_t len, int32_t palette);
bool drawElementStringStyled(cGame& game, int32_t i, const char* str, int32_t len, int32_t palette, int32_t hAlign);
bool drawElementTextRaw(cGame& game, int32_t i, const char* str, int32_t len, int32_t textId, int32_t dx, int32_t dy,
                        int32_t palette);
bool drawElementTextWithFont(cGame& game, int32_t i, int32_t font, const char* str, int32_t len, int32_t textId,
                             int32_t dx, int32_t dy, int32_t palette, int32_t flag);
// Lays text id out in the element's box (nothing painted): the page count.
int32_t drawElementWrappedText(cGame& game, int32_t i, int32_t textId);
void updateMenuArrows(cGame& game, int32_t a, int32_t b, bool horizontal);
void paintSoftKeys(cGame& game, int32_t leftTextId, int32_t rightTextId);
void paintSoftKeysAt(cGame& game, int32_t leftTextId, int32_t rightTextId, int32_t y);

struct InterfaceSet {
  int16_t** lists[k_interfaceCount] = {};
  int32_t counts[k_interfaceCount] = {};
  uint8_t* paramCounts[k_interfaceCount] = {};
  int16_t** currentElements = nullptr;
  int32_t currentElementCount = 0;
  int32_t currentInterface = -1;
  // m_interrupted is GameServices'
  uint8_t interfaceAnimations = 0;
};
