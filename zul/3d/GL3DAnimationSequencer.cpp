#include "zul/3d/GL3DAnimationSequencer.h"

#include <cmath>

#include "zul/3d/GL3DAnimatedObject.h"
#include "zul/memory/Debug.h"
#include "zul/memory/Memory.h"

namespace {

// Table values stay below 2^30 ms, so that a start plus a length fits the
// 32-bit time.
constexpr double kMaxMilliseconds = 1 << 30;

}  // namespace

GL3DAnimationSequencer::~GL3DAnimationSequencer() { memDeleteArray(m_times); }

void GL3DAnimationSequencer::setTimes(const float* seconds, int32_t n) {
  memDeleteArray(m_times);
  m_times = nullptr;
  m_timeCount = 0;
  if (!seconds || n <= 0) return;
  m_times = static_cast<uint32_t*>(memNewArray(sizeof(uint32_t) * static_cast<size_t>(n), kSource, 35));
  if (!m_times) return;
  for (int32_t i = 0; i < n; ++i) {
    const double ms = std::round(static_cast<double>(seconds[i]) * 1000.0);
    m_times[i] = static_cast<uint32_t>(ms > 0 ? (ms < kMaxMilliseconds ? ms : kMaxMilliseconds) : 0);
  }
  m_timeCount = n;
}

int64_t GL3DAnimationSequencer::startOf(int32_t slot) const {
  const int32_t a = m_animations[slot];
  return hasTimes(a) ? m_times[2 * a] : 0;
}

int64_t GL3DAnimationSequencer::endOf(int32_t slot) const {
  const int32_t a = m_animations[slot];
  return hasTimes(a) ? int64_t{m_times[2 * a]} + m_times[2 * a + 1] : 0;
}

void GL3DAnimationSequencer::restart() {
  m_time = static_cast<int32_t>(m_reverse[m_current] ? endOf(m_current) : startOf(m_current));
}

bool GL3DAnimationSequencer::enqueue(int32_t animation, int32_t repeats, int32_t word, bool reverse) {
  if (!hasTimes(animation)) {
    debugTrace("GL3DAnimationSequencer: animation %d has no times\n", static_cast<int>(animation));
    return false;
  }
  if (m_queued >= kSlots) {
    debugTrace("GL3DAnimationSequencer: queue full\n");
    return false;
  }
  const int32_t slot = (m_current + m_queued) % kSlots;
  m_animations[slot] = animation;
  m_words[slot] = word;
  m_repeats[slot] = repeats < 1 ? 1 : repeats;
  m_reverse[slot] = reverse ? 1 : 0;
  m_queued += 1;
  if (m_queued == 1) {
    m_currentAnimation = animation;
    restart();
    update(0);
  }
  return true;
}

bool GL3DAnimationSequencer::clearAndPlay(int32_t animation, bool loop) {
  m_queued = 0;
  return loop ? playLoop(animation) : playOnce(animation);
}

bool GL3DAnimationSequencer::clearAndPlayThereAndBack(int32_t animation) {
  m_queued = 0;
  return playOnce(animation) && enqueue(animation, 1, 0, true);
}

void GL3DAnimationSequencer::update(int32_t dt) {
  if (m_queued == 0) return;
  const int64_t start = startOf(m_current), end = endOf(m_current);
  const bool reverse = m_reverse[m_current] != 0;
  // A reverse request runs from its end back to its start at the same rate.
  const int64_t t = reverse ? int64_t{m_time} - dt : int64_t{m_time} + dt;
  m_time = static_cast<int32_t>(t < 0 ? 0 : t > INT32_MAX ? INT32_MAX : t);
  m_finished = false;
  if (reverse ? m_time > start : m_time < end) return;
  m_repeats[m_current] -= 1;
  if (m_repeats[m_current] == 0) {
    m_finished = true;
    m_time = static_cast<int32_t>(reverse ? start : end);
    m_queued -= 1;
    m_current = (m_current + 1) % kSlots;
    if (m_queued == 0) return;
    m_currentAnimation = m_animations[m_current];
  }
  restart();
}

void GL3DAnimationSequencer::setPhase(Q14 p) {
  if (!hasTimes(m_animations[m_current])) return;
  p = p < 0 ? 0 : p > kQ14One ? kQ14One : p;
  const int64_t start = startOf(m_current), length = endOf(m_current) - start;
  const int64_t along = (int64_t{p} * length) >> 14;
  m_time = static_cast<int32_t>(m_reverse[m_current] ? start + length - along : start + along);
}

Q14 GL3DAnimationSequencer::getPhase() const {
  if (!hasTimes(m_animations[m_current])) return 0;
  const int64_t start = startOf(m_current), length = endOf(m_current) - start;
  const bool reverse = m_reverse[m_current] != 0;
  if (length == 0) return reverse ? kQ14One : 0;
  // (time - start) / (+-length) in Q14, in 64 bits.
  const int64_t q = (int64_t{m_time} - start) * (int64_t{1} << 28) / (reverse ? -length : length);
  return static_cast<Q14>((q >> 14) + (reverse ? kQ14One : 0));
}

void GL3DAnimationSequencer::draw(GlRenderer* renderer, const Vector3& position, const Vector3& angles, bool skinned) {
  if (!m_object) return;
  m_object->time = static_cast<Q14>(int64_t{m_time} * kQ14One / 1000);
  m_object->position = position;
  m_object->angles = angles;
  if (skinned)
    m_object->drawInPlace(renderer);
  else
    m_object->draw(renderer);
}
