// Virtual key state: key events are queued as they arrive and latched once
// per frame, so a screen sees one stable set of pressed, released and held
// keys.
#pragma once

#include <cstdint>

// Key masks (bit = key index).
constexpr uint32_t k_keyBack = 0x100000;
constexpr uint32_t k_keySelect = 0xA0040;
constexpr uint32_t k_keyDismiss = 0x80040;
constexpr uint32_t k_keyUp = 0x808;
constexpr uint32_t k_keyDown = 0x2200;
constexpr uint32_t k_keyLeft = 0x1020;
constexpr uint32_t k_keyRight = 0x4080;
constexpr uint32_t k_keyLeftSoft = 0x20000;
constexpr uint32_t k_keyRightSoft = 0x40000;
// Key 22: tested by the title, versus and no-space screens.
constexpr uint32_t k_keyExtra22 = 0x400000;

class KeyState {
 public:
  KeyState() = default;
  virtual ~KeyState() = default;

  // Bit of a key index: 1 << k for k below 32, else 0, widened with its sign
  // (so key 31 also sets the upper half).
  static uint64_t keyBit(int keyIndex);

  void onKeyDown(int keyIndex);
  void onKeyUp(int keyIndex);
  // Once per frame: latch the queued events, or count a lock down.
  void update();
  // Lock for n frames and drop every key but the held mask.
  void lock(int32_t frames);
  void clear();

  bool isPressed(uint32_t maskLow, uint32_t maskHigh = 0) const { return (m_pressed & mask(maskLow, maskHigh)) != 0; }
  bool isReleased(uint32_t maskLow, uint32_t maskHigh = 0) const { return (m_released & mask(maskLow, maskHigh)) != 0; }
  bool isHeld(uint32_t maskLow, uint32_t maskHigh = 0) const { return (m_held & mask(maskLow, maskHigh)) != 0; }
  bool isNotHeld(uint32_t maskLow, uint32_t maskHigh = 0) const { return (m_held & mask(maskLow, maskHigh)) == 0; }
  bool isAnyPressed() const { return m_pressed != 0; }
  bool isLocked() const { return m_lock > 0; }

  uint64_t pressed() const { return m_pressed; }
  uint64_t released() const { return m_released; }
  uint64_t held() const { return m_held; }
  uint64_t down() const { return m_down; }
  int32_t lockCount() const { return m_lock; }

 private:
  static uint64_t mask(uint32_t low, uint32_t high) { return (uint64_t(high) << 32) | low; }

  uint64_t m_pressed = 0;
  uint64_t m_released = 0;
  uint64_t m_held = 0;
  uint64_t m_down = 0;
  uint64_t m_queuedPresses = 0;
  uint64_t m_queuedReleases = 0;
  int32_t m_lock = 0;
};
