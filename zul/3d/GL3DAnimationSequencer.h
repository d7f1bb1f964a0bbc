// Plays a queue of up to 16 requests on an animated object: each request is
// a range of the object's animation (a start and a length in a time table),
// a repeat count and a direction.
#pragma once

#include <cstdint>

#include "zul/lm/Q14.h"
#include "zul/lm/Vector3.h"

class GL3DAnimatedObject;
class GlRenderer;

class GL3DAnimationSequencer {
 public:
  static constexpr const char* kSource = "GL3DAnimationSequencer";
  static constexpr int32_t kSlots = 16;
  static constexpr int32_t kForever = 0xFFFFFF;

  explicit GL3DAnimationSequencer(GL3DAnimatedObject* object = nullptr) : m_object(object) {}
  // Frees the time table; the object is not owned.
  ~GL3DAnimationSequencer();
  GL3DAnimationSequencer(const GL3DAnimationSequencer&) = delete;
  GL3DAnimationSequencer& operator=(const GL3DAnimationSequencer&) = delete;

  // n values in seconds, kept in milliseconds: a start and a length per
  // animation.
  void setTimes(const float* seconds, int32_t n);
  // Queues animation (an index into the time table) to play repeats times
  // (at least once), forward or from its end back to its start. The first
  // of an empty queue starts at once. False, after a report, for an
  // animation without times or a full queue.
  bool enqueue(int32_t animation, int32_t repeats, int32_t word, bool reverse);
  bool playOnce(int32_t animation) { return enqueue(animation, 1, 0, false); }
  bool playLoop(int32_t animation) { return enqueue(animation, kForever, 0, false); }
  // Empties the queue first.
  bool clearAndPlay(int32_t animation, bool loop);
  // Empties the queue, then the animation once forward and once back.
  bool clearAndPlayThereAndBack(int32_t animation);

  // dt in milliseconds: the current request runs on; at its end it starts
  // again or the next request starts. Nothing with an empty queue.
  void update(int32_t dt);
  // Places the time at phase p (0..1.0) of the current request, counted in
  // its direction.
  void setPhase(Q14 p);
  Q14 getPhase() const;
  // Sets the object's time, position and angles and draws it, placed by
  // itself or (skinned set) in the caller's matrix.
  void draw(GlRenderer* renderer, const Vector3& position, const Vector3& angles, bool skinned);

  bool isFinished() const { return m_finished; }
  GL3DAnimatedObject* getObject() const { return m_object; }
  void setObject(GL3DAnimatedObject* object) { m_object = object; }
  int32_t getCurrentAnimation() const { return m_currentAnimation; }
  int32_t getTime() const { return m_time; }
  int32_t getQueuedCount() const { return m_queued; }
  int32_t getCurrentSlot() const { return m_current; }
  int32_t getRepeats(int32_t slot) const { return m_repeats[slot & (kSlots - 1)]; }
  int32_t getAnimationCount() const { return m_timeCount / 2; }

 private:
  bool hasTimes(int32_t animation) const { return animation >= 0 && animation < m_timeCount / 2; }
  int64_t startOf(int32_t slot) const;
  int64_t endOf(int32_t slot) const;
  // The current request's start time in its direction.
  void restart();

  GL3DAnimatedObject* m_object;
  int32_t m_animations[kSlots] = {};
  int32_t m_words[kSlots] = {};
  int32_t m_repeats[kSlots] = {};
  uint8_t m_reverse[kSlots] = {};
  int32_t m_current = 0;
  int32_t m_queued = 0;
  bool m_finished = false;
  int32_t m_currentAnimation = 0;
  int32_t m_time = 0;  // milliseconds
  uint32_t* m_times = nullptr;
  int32_t m_timeCount = 0;
};
