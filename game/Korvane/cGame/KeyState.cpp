#include "game/Korvane/cGame/KeyState.h"

uint64_t KeyState::keyBit(int keyIndex) {
  unsigned k = static_cast<uint8_t>(keyIndex);
  if (k >= 32) return 0;
  int32_t bit = static_cast<int32_t>(uint32_t(1) << k);
  return static_cast<uint64_t>(static_cast<int64_t>(bit));
}

void KeyState::onKeyDown(int keyIndex) {
  if (m_lock >= 1 || keyIndex == 0) return;
  uint64_t bit = keyBit(keyIndex);
  m_queuedPresses |= bit;
  m_down |= bit;
}

void KeyState::onKeyUp(int keyIndex) {
  if (m_lock >= 1 || keyIndex == 0) return;
  uint64_t bit = keyBit(keyIndex);
  m_queuedReleases |= bit;
  m_down &= ~bit;
}

void KeyState::update() {
  if (m_lock >= 1) {
    m_lock -= 1;
    return;
  }
  m_pressed = m_queuedPresses;
  m_released = m_queuedReleases;
  m_held = m_down;
  m_queuedPresses = 0;
  m_queuedReleases = 0;
}

void KeyState::lock(int32_t frames) {
  m_lock = frames;
  clear();
}

void KeyState::clear() {
  m_down = 0;
  m_queuedPresses = 0;
  m_queuedReleases = 0;
  m_pressed = 0;
  m_released = 0;
}
