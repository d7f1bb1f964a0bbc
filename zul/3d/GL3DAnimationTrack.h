// Bone animation: a track of compressed key channels per bone (three
// translation and three rotation components), the blend of two animations,
// and the helpers that turn a pose into bone matrices and skin a mesh.
#pragma once

#include <cstdint>

#include "zul/lm/Matrix34.h"
#include "zul/lm/Q14.h"
#include "zul/lm/Quaternion.h"
#include "zul/lm/Vector3.h"

class AnimatedMeshData;
class ResourceManager;
class Stream;

// Half angles (4096 units per turn) about X, Y and Z to a quaternion.
Quaternion quaternionFromHalfAngles(int32_t a, int32_t b, int32_t c);
// (1 - t) q1 + t q2 along the shorter arc, not normalised.
Quaternion blendQuaternions(const Quaternion& q1, const Quaternion& q2, Q14 t);
// Scales q to unit length (Q14).
void normaliseBlended(Quaternion& q);

// A track: "ANIM", frames per second, frame count, bone count B, "BONE"
// parents, "AIDX" six channel starts per bone, "AVAL" value count N, shift
// and N 16-bit values. A channel is a run of runs: a header halfword (low
// byte k keys, high byte s frames covered) and k keys.
class GL3DAnimationTrack {
 public:
  static constexpr const char* kSource = "GL3DAnimatedObject";
  static constexpr int32_t kMaxBones = 64;
  // Channels of a bone, in file order.
  enum { kTranslateX, kTranslateY, kTranslateZ, kRotateX, kRotateY, kRotateZ, kChannels };
  // Frames per second and frame numbers stay below this, so that they can
  // be shifted into Q14.
  static constexpr uint32_t kMaxFrames = 0x20000;

  // One channel at one frame: its key and, when there is one, the next
  // frame's key.
  struct Key {
    int32_t key = 0;
    int32_t next = 0;
    bool hasNext = false;
  };

  GL3DAnimationTrack() = default;
  // Closes the stream that load opened.
  virtual ~GL3DAnimationTrack();
  GL3DAnimationTrack(const GL3DAnimationTrack&) = delete;
  GL3DAnimationTrack& operator=(const GL3DAnimationTrack&) = delete;

  // Every bone's matrix at time (Q14 seconds), parents before children. The
  // used-bone set is taken but every bone is evaluated. Writes the
  // evaluation to the animation debug stream.
  virtual void evaluate(Q14 time, Matrix34* matrices, uint64_t usedBones);
  virtual int32_t getBoneCount() const { return m_boneCount; }
  // Q14 seconds.
  virtual Q14 getDuration() const;
  // The rate at which an object's time runs (Q14).
  virtual Q14 getSpeed() const { return m_speed; }
  virtual const int32_t* getParents() const { return m_parents; }
  // Q14 frames: the whole frame in the high bits, the fraction in the low 14.
  virtual Q14 getFrameAt(Q14 time) const;
  // -1 for a root, and after the report for a bone out of range.
  virtual int32_t getParent(int32_t bone) const;
  virtual Vector3 getTranslation(int32_t frame, Q14 fraction, int32_t bone) const;
  virtual Quaternion getRotation(int32_t frame, Q14 fraction, int32_t bone) const;
  // One bone's matrix at time, its ancestors' first; false, after the
  // report, for a bone out of range.
  virtual bool evaluate(Q14 time, Matrix34* matrices, int32_t bone);

  // Reads a track in place from a memory stream whose bytes live as long as
  // the track. Fewer than 2 frames, 0 or too many frames per second, more
  // than 64 bones, a parent outside -1..child - 1, channel starts that fall
  // or pass N, a shift above 14, runs without keys or keys past their
  // channel, a wrong tag or a block past the end: refused, the track stays
  // empty.
  bool read(Stream& stream);
  // Opens resource id through the manager and reads it; the stream is kept
  // (the track reads in place) and closed with the track. Tracks are not
  // shared records: each load opens its own stream.
  bool load(ResourceManager& manager, uint32_t id);

  // The key of a channel at a frame; frames at or past the last one count
  // as the one before it.
  Key decode(int32_t bone, int32_t channel, int32_t frame) const;

  int32_t getFramesPerSecond() const { return m_fps; }
  int32_t getLastFrame() const { return m_lastFrame; }
  int32_t getShift() const { return m_shift; }
  int32_t getValueCount() const { return m_valueCount; }

 protected:
  // Every bone at (frame, fraction), in index order.
  void evaluateBones(int32_t frame, Q14 fraction, Matrix34* matrices, int32_t count) const;
  // One bone at (frame, fraction) after its ancestors; false for a bone out
  // of range.
  bool evaluateChain(int32_t frame, Q14 fraction, Matrix34* matrices, int32_t bone, int32_t count) const;
  // Root: local; any other bone: parent's matrix x local.
  void boneMatrix(int32_t frame, Q14 fraction, int32_t bone, Matrix34* matrices, int32_t count) const;

  Q14 m_speed = kQ14One;

 private:
  void clear();
  int32_t value(int32_t i) const {
    return static_cast<int16_t>(static_cast<uint16_t>(m_values[2 * i] | m_values[2 * i + 1] << 8));
  }
  int32_t channelEnd(int32_t index) const {
    return index + 1 < kChannels * m_boneCount ? m_starts[index + 1] : m_valueCount;
  }

  int32_t m_boneCount = 0;
  int32_t m_fps = 0;
  int32_t m_lastFrame = 0;
  int32_t m_shift = 0;
  int32_t m_parents[kMaxBones] = {};
  uint16_t m_starts[kMaxBones * kChannels] = {};
  int32_t m_valueCount = 0;
  const uint8_t* m_values = nullptr;  // in the stream's bytes
  ResourceManager* m_manager = nullptr;
  Stream* m_stream = nullptr;
};

// Two animations mixed: the first held at its pose at a start time, turning
// into the second's first frame over a length of time (Q14 seconds). Its
// time runs four times as fast as an object's.
class GL3DAnimationBlend : public GL3DAnimationTrack {
 public:
  static constexpr Q14 kBlendSpeed = 0x10000;

  GL3DAnimationBlend(GL3DAnimationTrack* first, GL3DAnimationTrack* second, Q14 start, Q14 length);

  // The factor is time / length (clamped to 0..1.0).
  void evaluate(Q14 time, Matrix34* matrices, uint64_t usedBones) override;
  // The smaller of the two, after the report when they differ.
  int32_t getBoneCount() const override;
  Q14 getDuration() const override { return m_length; }
  const int32_t* getParents() const override;
  // The blend factor at time.
  Q14 getFrameAt(Q14 time) const override;
  int32_t getParent(int32_t bone) const override;
  // The frame is the blend's own; fraction is the blend factor.
  Vector3 getTranslation(int32_t frame, Q14 fraction, int32_t bone) const override;
  Quaternion getRotation(int32_t frame, Q14 fraction, int32_t bone) const override;
  bool evaluate(Q14 time, Matrix34* matrices, int32_t bone) override;

  // The first animation's frame that the blend starts from (Q14 frames).
  Q14 getFirstFrame() const { return m_firstFrame; }
  Q14 getStart() const { return m_start; }

 private:
  bool valid(int32_t bone, Q14 fraction, int line, int fractionLine) const;

  GL3DAnimationTrack* m_first;
  GL3DAnimationTrack* m_second;
  Q14 m_start;
  Q14 m_length;
  Q14 m_firstFrame = 0;
};

// The bones a mesh needs (64-bit set): each vertex bone with a weight of at
// least 1 and its ancestors, and extraBone (-1 none) with its ancestors.
uint64_t usedBoneSet(const AnimatedMeshData& mesh, const GL3DAnimationTrack& track, int32_t extraBone);
// Every vertex moved by its bones' matrices into out (three Q14 per vertex).
void skinMesh(const AnimatedMeshData& mesh, const Matrix34* matrices, Q14* out);
