#include "zul/3d/GL3DAnimationTrack.h"

#include "zul/3d/AnimatedMeshData.h"
#include "zul/3d/AnimatedObjectDebug.h"
#include "zul/io/BufferStream.h"
#include "zul/memory/Debug.h"
#include "zul/resourcemanager/ResourceManager.h"

namespace {

constexpr const char* kSource = GL3DAnimationTrack::kSource;

uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

uint32_t u16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8; }

bool refuse(const char* why) {
  debugTrace("animation track: %s\n", why);
  return false;
}

Q14 clampFraction(Q14 f, Q14 top) { return f < 0 ? 0 : f > top ? top : f; }

}  // namespace

Quaternion quaternionFromHalfAngles(int32_t a, int32_t b, int32_t c) {
  const Q14 sa = sinQ14(a), ca = cosQ14(a), sb = sinQ14(b), cb = cosQ14(b), sc = sinQ14(c), cc = cosQ14(c);
  auto M = q14Mul;
  return Quaternion(wrapSub(M(M(sa, cb), cc), M(M(ca, sb), sc)), wrapAdd(M(M(ca, sb), cc), M(M(sa, cb), sc)),
                    wrapSub(M(M(ca, cb), sc), M(M(sa, sb), cc)), wrapAdd(M(M(ca, cb), cc), M(M(sa, sb), sc)));
}

Quaternion blendQuaternions(const Quaternion& q1, const Quaternion& q2, Q14 t) {
  auto square = [](Q14 v) { return q14Mul(v, v); };
  const Q14 apart = wrapAdd(wrapAdd(square(wrapSub(q1.x, q2.x)), square(wrapSub(q1.y, q2.y))),
                            wrapAdd(square(wrapSub(q1.z, q2.z)), square(wrapSub(q1.w, q2.w))));
  const Q14 together = wrapAdd(wrapAdd(square(wrapAdd(q1.x, q2.x)), square(wrapAdd(q1.y, q2.y))),
                               wrapAdd(square(wrapAdd(q1.z, q2.z)), square(wrapAdd(q1.w, q2.w))));
  const Q14 u = wrapSub(kQ14One, t);
  if (apart > together) t = wrapNeg(t);
  auto mix = [&](Q14 a, Q14 b) { return wrapAdd(q14Mul(u, a), q14Mul(t, b)); };
  return Quaternion(mix(q1.x, q2.x), mix(q1.y, q2.y), mix(q1.z, q2.z), mix(q1.w, q2.w));
}

void normaliseBlended(Quaternion& q) {
  const Q14 sum = wrapAdd(wrapAdd(q14Mul(q.x, q.x), q14Mul(q.y, q.y)), wrapAdd(q14Mul(q.z, q.z), q14Mul(q.w, q.w)));
  const Q14 length = sqrtQ14(sum);
  if (length < 1) return;
  const Q14 r = q14Div(kQ14One, length);
  q = Quaternion(q14Mul(q.x, r), q14Mul(q.y, r), q14Mul(q.z, r), q14Mul(q.w, r));
}

GL3DAnimationTrack::~GL3DAnimationTrack() {
  if (m_stream) {
    m_stream->close();
    m_manager->close(m_stream);
  }
}

void GL3DAnimationTrack::clear() {
  m_boneCount = m_fps = m_lastFrame = m_shift = m_valueCount = 0;
  m_values = nullptr;
}

bool GL3DAnimationTrack::read(Stream& stream) {
  clear();
  auto* in = dynamic_cast<BufferStream*>(&stream);
  if (!in) return refuse("not a memory stream");
  auto left = [&] { return int64_t{in->getLength()} - in->tell(); };
  auto take = [&](int64_t n) -> const uint8_t* { return n >= 0 && n <= left() ? in->skip(static_cast<int32_t>(n)) : nullptr; };
  auto tag = [&](const char(&t)[5]) {
    const uint8_t* p = take(4);
    return p && KV_CHECK(u32(p) == fileTag(t), 244, kSource);
  };

  const uint8_t* head = tag("ANIM") ? take(12) : nullptr;
  if (!head) return refuse("no header");
  const uint32_t fps = u32(head), frames = u32(head + 4), bones = u32(head + 8);
  if (frames < 2 || frames > kMaxFrames) return refuse("frame count not within 2..131072");
  if (fps == 0 || fps >= kMaxFrames) return refuse("frames per second not within 1..131071");
  if (bones > static_cast<uint32_t>(kMaxBones)) return refuse("more than 64 bones");
  const uint8_t* parents = tag("BONE") ? take(4 * int64_t{bones}) : nullptr;
  const uint8_t* starts = parents && tag("AIDX") ? take(12 * int64_t{bones}) : nullptr;
  const uint8_t* counts = starts && tag("AVAL") ? take(8) : nullptr;
  if (!counts) return refuse("a block is missing, misnamed or cut short");
  const uint32_t n = u32(counts), shift = u32(counts + 4);
  if (shift > 14) return refuse("shift above 14");
  if (n > left() / 2) return refuse("values past the end");
  const uint8_t* values = take(2 * int64_t{n});

  for (uint32_t b = 0; b < bones; ++b) {
    const int32_t p = static_cast<int32_t>(u32(parents + 4 * b));
    if (p < -1 || p >= static_cast<int32_t>(b)) return refuse("parent not within -1..bone - 1");
  }
  const uint32_t channels = kChannels * bones;
  for (uint32_t c = 0; c < channels; ++c) {
    const uint32_t start = u16(starts + 2 * c), end = c + 1 < channels ? u16(starts + 2 * c + 2) : n;
    if (start > end || end > n) return refuse("channel starts fall or pass the values");
    // Runs: a header and its keys, at least one, all inside the channel.
    for (uint32_t pos = start; pos < end;) {
      const uint32_t k = u16(values + 2 * pos) & 0xFF;
      if (k == 0) return refuse("run without keys");
      pos += 1 + k;
      if (pos > end) return refuse("keys past their channel");
    }
  }

  for (uint32_t b = 0; b < bones; ++b) m_parents[b] = static_cast<int32_t>(u32(parents + 4 * b));
  for (uint32_t c = 0; c < channels; ++c) m_starts[c] = static_cast<uint16_t>(u16(starts + 2 * c));
  m_boneCount = static_cast<int32_t>(bones);
  m_fps = static_cast<int32_t>(fps);
  m_lastFrame = static_cast<int32_t>(frames - 1);
  m_shift = static_cast<int32_t>(shift);
  m_valueCount = static_cast<int32_t>(n);
  m_values = values;
  return true;
}

bool GL3DAnimationTrack::load(ResourceManager& manager, uint32_t id) {
  if (m_stream) {
    m_stream->close();
    m_manager->close(m_stream);
    m_stream = nullptr;
  }
  clear();
  Stream* s = manager.open(id);
  if (!s) return refuse("resource cannot be opened");
  m_manager = &manager;
  m_stream = s;
  return read(*s);
}

Q14 GL3DAnimationTrack::getDuration() const { return q14Div(m_lastFrame * kQ14One, m_fps * kQ14One); }

Q14 GL3DAnimationTrack::getFrameAt(Q14 time) const { return q14Mul(time, m_fps * kQ14One); }

int32_t GL3DAnimationTrack::getParent(int32_t bone) const {
  if (!KV_CHECK(bone >= 0 && bone < m_boneCount, 82, kSource)) return -1;
  return m_parents[bone];
}

GL3DAnimationTrack::Key GL3DAnimationTrack::decode(int32_t bone, int32_t channel, int32_t frame) const {
  Key out;
  if (!KV_CHECK(bone >= 0 && bone < m_boneCount && channel >= 0 && channel < kChannels, 709, kSource)) return out;
  int32_t f = frame >= m_lastFrame ? m_lastFrame - 1 : frame;
  if (f < 0) f = 0;
  const int32_t index = kChannels * bone + channel;
  const int32_t end = channelEnd(index);
  int32_t pos = m_starts[index];
  if (pos >= end) return out;  // an empty channel is 0
  auto raw = [&](int32_t i) { return static_cast<int32_t>(u16(m_values + 2 * i)); };
  int32_t k, s;
  for (;;) {
    const int32_t h = raw(pos);
    k = h & 0xFF;
    s = h >> 8;
    if (s > f || pos + 1 + k >= end) break;  // the frame is in this run, or no run follows
    f -= s;
    pos += 1 + k;
  }
  if (f < k) {
    out.key = value(pos + 1 + f);
    if (f + 1 < k) {
      out.next = value(pos + 2 + f);
      out.hasNext = true;
      return out;
    }
  } else {
    out.key = value(pos + k);
  }
  // The next frame is the following run's first key, when it lies inside
  // this channel.
  if (s <= f + 1 && pos + k + 2 < end) {
    out.next = value(pos + k + 2);
    out.hasNext = true;
  } else {
    out.next = out.key;
  }
  return out;
}

Vector3 GL3DAnimationTrack::getTranslation(int32_t frame, Q14 fraction, int32_t bone) const {
  const int32_t unit = 1 << (14 - m_shift);
  Q14 c[3];
  for (int i = 0; i < 3; ++i) {
    const Key k = decode(bone, kTranslateX + i, frame);
    c[i] = k.key * unit;
    // Also towards a next key of 0: a channel moving to 0 moves there.
    if (k.hasNext) {
      if (!KV_CHECK(fraction >= 0 && fraction <= 16383, 745, kSource)) fraction = clampFraction(fraction, 16383);
      c[i] = q14Lerp(c[i], k.next * unit, fraction);
    }
  }
  return Vector3(c[0], c[1], c[2]);
}

Quaternion GL3DAnimationTrack::getRotation(int32_t frame, Q14 fraction, int32_t bone) const {
  const Key a = decode(bone, kRotateX, frame), b = decode(bone, kRotateY, frame), c = decode(bone, kRotateZ, frame);
  animatedObjectDebug("Q: B:%d A1:%d %d %d\n", static_cast<int>(bone), static_cast<int>(a.key), static_cast<int>(b.key),
                      static_cast<int>(c.key));
  const Quaternion q = quaternionFromHalfAngles(a.key, b.key, c.key);
  if (a.next == a.key && b.next == b.key && c.next == c.key) return q;
  return blendQuaternions(q, quaternionFromHalfAngles(a.next, b.next, c.next), fraction);
}

void GL3DAnimationTrack::boneMatrix(int32_t frame, Q14 fraction, int32_t bone, Matrix34* matrices,
                                    int32_t count) const {
  const Quaternion q = getRotation(frame, fraction, bone);
  const Vector3 t = getTranslation(frame, fraction, bone);
  Matrix34 local;
  local.setFromQuaternion(q, t);
  const int32_t parent = getParent(bone);
  if (parent == -1 || !KV_CHECK(parent >= 0 && parent < bone && parent < count, 565, kSource)) {
    matrices[bone] = local;
    return;
  }
  matrices[bone] = matrices[parent] * local;
}

void GL3DAnimationTrack::evaluateBones(int32_t frame, Q14 fraction, Matrix34* matrices, int32_t count) const {
  for (int32_t bone = 0; bone < count; ++bone) boneMatrix(frame, fraction, bone, matrices, count);
}

bool GL3DAnimationTrack::evaluateChain(int32_t frame, Q14 fraction, Matrix34* matrices, int32_t bone,
                                       int32_t count) const {
  if (!KV_CHECK(bone >= 0 && bone < count, 677, kSource)) return false;
  int32_t chain[kMaxBones];
  int32_t n = 0;
  for (int32_t b = bone; b >= 0 && b < count && n < kMaxBones; b = getParent(b)) chain[n++] = b;
  while (n > 0) boneMatrix(frame, fraction, chain[--n], matrices, count);
  return true;
}

void GL3DAnimationTrack::evaluate(Q14 time, Matrix34* matrices, uint64_t) {
  const Q14 at = getFrameAt(time);
  const int32_t frame = at >> 14, fraction = at & 0x3FFF;
  KV_CHECK(wrapAdd(wrapMul(frame, kQ14One), fraction) == at, 597, kSource);
  animatedObjectDebug("-----\n\n F: %d S:%d\n", static_cast<int>(frame), static_cast<int>(fraction));
  evaluateBones(frame, fraction, matrices, getBoneCount());
}

bool GL3DAnimationTrack::evaluate(Q14 time, Matrix34* matrices, int32_t bone) {
  const Q14 at = getFrameAt(time);
  return evaluateChain(at >> 14, at & 0x3FFF, matrices, bone, getBoneCount());
}

GL3DAnimationBlend::GL3DAnimationBlend(GL3DAnimationTrack* first, GL3DAnimationTrack* second, Q14 start, Q14 length)
    : m_first(first), m_second(second), m_start(start), m_length(length) {
  m_speed = kBlendSpeed;
  if (!KV_CHECK(first && second, 909, kSource)) return;
  const Q14 end = first->getDuration();
  m_firstFrame = first->getFrameAt(start < 0 ? 0 : start > end ? end : start);
}

int32_t GL3DAnimationBlend::getBoneCount() const {
  if (!m_first || !m_second) return 0;
  const int32_t a = m_first->getBoneCount(), b = m_second->getBoneCount();
  KV_CHECK(a == b, 970, kSource);
  return a < b ? a : b;
}

const int32_t* GL3DAnimationBlend::getParents() const { return m_first ? m_first->getParents() : nullptr; }

Q14 GL3DAnimationBlend::getFrameAt(Q14 time) const {
  if (m_length <= 0) return kQ14One;
  const int64_t f = int64_t{time} * kQ14One / m_length;
  return static_cast<Q14>(f < 0 ? 0 : f > kQ14One ? kQ14One : f);
}

int32_t GL3DAnimationBlend::getParent(int32_t bone) const { return m_first ? m_first->getParent(bone) : -1; }

bool GL3DAnimationBlend::valid(int32_t bone, Q14 fraction, int line, int fractionLine) const {
  if (!KV_CHECK(m_first && m_second, 909, kSource)) return false;
  if (!KV_CHECK(bone >= 0 && bone < getBoneCount(), line, kSource)) return false;
  KV_CHECK(fraction >= 0 && fraction <= kQ14One, fractionLine, kSource);
  return true;
}

Vector3 GL3DAnimationBlend::getTranslation(int32_t, Q14 fraction, int32_t bone) const {
  if (!valid(bone, fraction, 925, 926)) return Vector3();
  fraction = clampFraction(fraction, kQ14One);
  const Vector3 a = m_first->getTranslation(m_firstFrame >> 14, m_firstFrame & 0x3FFF, bone);
  const Vector3 b = m_second->getTranslation(0, 0, bone);
  return Vector3(q14Lerp(a.x, b.x, fraction), q14Lerp(a.y, b.y, fraction), q14Lerp(a.z, b.z, fraction));
}

Quaternion GL3DAnimationBlend::getRotation(int32_t, Q14 fraction, int32_t bone) const {
  if (!valid(bone, fraction, 951, 952)) return Quaternion(0, 0, 0, kQ14One);
  fraction = clampFraction(fraction, kQ14One);
  Quaternion q = blendQuaternions(m_first->getRotation(m_firstFrame >> 14, m_firstFrame & 0x3FFF, bone),
                                  m_second->getRotation(0, 0, bone), fraction);
  normaliseBlended(q);
  return q;
}

void GL3DAnimationBlend::evaluate(Q14 time, Matrix34* matrices, uint64_t) {
  if (!KV_CHECK(m_first && m_second, 909, kSource)) return;
  debugTrace("GL3DAnimationBlend: %f", m_length > 0 ? static_cast<double>(time) / m_length : 1.0);
  const Q14 factor = getFrameAt(time);
  animatedObjectDebug("-----\n\n F: %d S:%d\n", static_cast<int>(m_firstFrame >> 14), static_cast<int>(factor));
  evaluateBones(0, factor, matrices, getBoneCount());
}

bool GL3DAnimationBlend::evaluate(Q14 time, Matrix34* matrices, int32_t bone) {
  if (!KV_CHECK(m_first && m_second, 909, kSource)) return false;
  return evaluateChain(0, getFrameAt(time), matrices, bone, getBoneCount());
}

uint64_t usedBoneSet(const AnimatedMeshData& mesh, const GL3DAnimationTrack& track, int32_t extraBone) {
  uint64_t set = 0;
  auto add = [&](int32_t bone) {
    while (bone != -1) {
      if (!KV_CHECK(bone >= 0 && bone < 64, 78, kSource)) return;
      const uint64_t bit = uint64_t{1} << bone;
      if (set & bit) return;  // and so are its ancestors
      set |= bit;
      const int32_t parent = track.getParent(bone);
      if (parent != -1 && !KV_CHECK(parent < bone, 1149, kSource)) return;
      bone = parent;
    }
  };
  const uint8_t* b = mesh.getBones();
  for (int32_t i = 0; i < mesh.getVertexCount(); ++i, b += 4) {
    if (b[2] >= 1) add(b[0]);
    if (b[1] != AnimatedMeshData::kNoBone && b[3] >= 1) add(b[1]);
  }
  if (extraBone != -1) add(extraBone);
  return set;
}

void skinMesh(const AnimatedMeshData& mesh, const Matrix34* matrices, Q14* out) {
  const Q14* p = mesh.getPositions();
  const uint8_t* b = mesh.getBones();
  for (int32_t i = 0; i < mesh.getVertexCount(); ++i, p += 6, b += 4, out += 3) {
    Vector3 v;
    matrices[b[0]].transformPoint(Vector3(p[0], p[1], p[2]), v);
    if (b[1] != AnimatedMeshData::kNoBone) {
      v *= b[2] * 256;
      Vector3 second;
      matrices[b[1]].transformPoint(Vector3(p[3], p[4], p[5]), second);
      second *= b[3] * 256;
      v += second;
    }
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
  }
}
