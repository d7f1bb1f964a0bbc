// Palettes of RGB565 colours, with tinted copies.
#pragma once

#include <cstdint>

struct SpriteServices;

class cPal {
 public:
  cPal();
  cPal(const cPal& other);
  cPal& operator=(const cPal&) = delete;
  ~cPal();

  void create(int palettes, int coloursPerPalette);
  // The block (palettes x coloursPerPalette colours from memNewArray) becomes owned.
  void setData(int palettes, int coloursPerPalette, uint16_t* colours);
  void adoptColours(uint16_t* colours);
  void release();

  void setColour(int p, int c, uint32_t argb);
  void setPalette(int p, const uint32_t* argbColours);
  // The entry as opaque ARGB (channels widened with zero low bits); 0 when out of range.
  uint32_t getColour(int p, int c) const;
  // Palette destination becomes a tinted copy of palette source (modes 1-4).
  void makeTint(int mode, int source, int destination);

  uint8_t getHasKey() const { return hasKey; }
  int getColoursPerPalette() const { return coloursPerPalette; }
  int getPaletteCount() const { return paletteCount; }
  const uint16_t* getColours() const { return colours; }
  uint8_t getSelection() const { return selection; }

  uint8_t hasKey = 0;
  uint16_t coloursPerPalette = 0;
  SpriteServices* game = nullptr;
  uint16_t* colours = nullptr;
  uint8_t selection = 0;
  uint8_t paletteCount = 0;
};

// Holder of a palette set; nothing in the game creates one.
class cPalSet {
 public:
  cPalSet() : m_words{0, 0, 0} {}
  virtual ~cPalSet() = default;

 private:
  [[maybe_unused]] uint32_t m_words[3];
};
