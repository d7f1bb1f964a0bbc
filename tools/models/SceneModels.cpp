#include "tools/models/SceneModels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <sstream>
#include <tuple>

#include "zul/lm/Q14.h"

namespace scenemodels {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kOne = 16384.0;

struct V3 {
  double x = 0, y = 0, z = 0;
  V3 operator+(V3 o) const { return {x + o.x, y + o.y, z + o.z}; }
  V3 operator-(V3 o) const { return {x - o.x, y - o.y, z - o.z}; }
  V3 operator*(double k) const { return {x * k, y * k, z * k}; }
};
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V3 at(double x, double y, double z) { return {x, y, z}; }

struct Vertex {
  V3 p;
  double s = 0, t = 0;
};

int32_t toQ14(double v) { return static_cast<int32_t>(std::llround(v * kOne)); }

// One sub-mesh being built: vertices shared by position and coordinates,
// triangles turned to face the given side. When `rotated` the stored point
// is (-x, y, -z) of the world point (the table is drawn turned by 180
// degrees about y).
class MeshBuilder {
 public:
  MeshBuilder(uint32_t texture, bool rotated) : m_rotated(rotated) { m_mesh.textureId = texture; }

  void triangle(const Vertex& a, Vertex b, Vertex c, V3 facing) {
    const V3 n = cross(b.p - a.p, c.p - a.p);
    if (dot(n, n) < 1e-12) return;
    if (dot(n, facing) < 0) std::swap(b, c);
    const uint16_t ia = index(a), ib = index(b), ic = index(c);
    m_mesh.indices.insert(m_mesh.indices.end(), {ia, ib, ic});
  }
  // Corners in order around the quad.
  void quad(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d, V3 facing) {
    triangle(a, b, c, facing);
    triangle(a, c, d, facing);
  }
  bool overflowed() const { return m_overflow; }
  kvmodel::SubMesh take() { return std::move(m_mesh); }

 private:
  uint16_t index(const Vertex& v) {
    const std::array<int32_t, 5> key = {toQ14(m_rotated ? -v.p.x : v.p.x), toQ14(v.p.y),
                                        toQ14(m_rotated ? -v.p.z : v.p.z), toQ14(v.s), toQ14(v.t)};
    const auto found = m_seen.find(key);
    if (found != m_seen.end()) return found->second;
    if (m_seen.size() >= 65535) {
      m_overflow = true;
      return 0;
    }
    const uint16_t i = static_cast<uint16_t>(m_seen.size());
    m_seen.emplace(key, i);
    m_mesh.positions.insert(m_mesh.positions.end(), {key[0], key[1], key[2]});
    m_mesh.texCoords.insert(m_mesh.texCoords.end(), {key[3], key[4]});
    return i;
  }

  kvmodel::SubMesh m_mesh;
  bool m_rotated;
  bool m_overflow = false;
  std::map<std::array<int32_t, 5>, uint16_t> m_seen;
};

bool fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

// What the loader, the scratch pool and one flush of the renderer take.
bool checkModel(const kvmodel::Model& m, int maxVertices, int maxTriangles, std::string* error) {
  long vertices = 0, triangles = 0;
  if (m.parts.empty()) return fail(error, "no parts");
  for (const kvmodel::Part& part : m.parts) {
    if (part.subMeshes.empty() || part.subMeshes[0].positions.size() < 6 * 3)
      return fail(error, "sub-mesh 0 of a part has fewer than 6 vertices");
    for (const kvmodel::SubMesh& s : part.subMeshes) {
      const size_t v = s.positions.size() / 3;
      if (v > static_cast<size_t>(kMaxSubMeshVertices))
        return fail(error, std::to_string(v) + " vertices in one sub-mesh, over " + std::to_string(kMaxSubMeshVertices));
      for (uint16_t i : s.indices)
        if (i >= v) return fail(error, "index past the vertices");
      vertices += static_cast<long>(v);
      triangles += static_cast<long>(s.indices.size() / 3);
    }
  }
  if (vertices > maxVertices) return fail(error, std::to_string(vertices) + " vertices, over " + std::to_string(maxVertices));
  if (triangles > maxTriangles)
    return fail(error, std::to_string(triangles) + " triangles, over " + std::to_string(maxTriangles));
  return true;
}

// Sorted grid lines through every required line, no two nearer than 0.25,
// no gap wider than step.
std::vector<double> gridLines(std::vector<double> required, double step) {
  std::sort(required.begin(), required.end());
  std::vector<double> kept;
  for (double v : required)
    if (kept.empty() || v - kept.back() >= 0.25) kept.push_back(v);
  std::vector<double> out;
  for (size_t i = 0; i + 1 < kept.size(); ++i) {
    const int n = std::max(1, static_cast<int>(std::ceil((kept[i + 1] - kept[i]) / step - 1e-9)));
    for (int k = 0; k < n; ++k) out.push_back(kept[i] + (kept[i + 1] - kept[i]) * k / n);
  }
  out.push_back(kept.back());
  return out;
}

struct Pocket {
  double x, z, radius;
};

}  // namespace

int32_t worldX(int fileX) {
  const int32_t x = fileX * kQ14One;
  return q14Div((x - 0x44000 - 0x10E000) >> 2, 0x21C000 >> 2) * 1400 / 10;
}

int32_t worldZ(int fileY) {
  const int32_t y = -fileY * kQ14One;
  return -(q14Div((y + 0x50000 + 0x20C000) >> 2, 0x418000 >> 2) * 2350 / 10);
}

bool parseDimensions(const std::string& text, Dimensions& d, std::string* error) {
  std::map<std::string, double*> reals = {
      {"ball_radius", &d.ballRadius},         {"corner_pocket_radius", &d.cornerPocketRadius},
      {"side_pocket_radius", &d.sidePocketRadius}, {"pocket_collar", &d.pocketCollar},
      {"cup_depth", &d.cupDepth},             {"cushion_width", &d.cushionWidth},
      {"cushion_height", &d.cushionHeight},   {"rail_width", &d.railWidth},
      {"frame_depth", &d.frameDepth},         {"grid_step", &d.gridStep},
      {"cloth_tile", &d.clothTile},           {"wood_tile", &d.woodTile},
      {"floor_depth", &d.floorDepth},         {"room_half_width", &d.roomHalfWidth},
      {"room_half_length", &d.roomHalfLength}, {"room_height", &d.roomHeight},
      {"cue_length", &d.cueLength},           {"cue_tip_radius", &d.cueTipRadius},
      {"cue_butt_radius", &d.cueButtRadius}};
  std::map<std::string, int*> counts = {{"ball_segments", &d.ballSegments},
                                        {"ball_rings", &d.ballRings},
                                        {"pocket_segments", &d.pocketSegments},
                                        {"cue_segments", &d.cueSegments}};
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string name;
    double value = 0;
    if (!(words >> name)) continue;
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    if (!(words >> value) || !(value > 0) || value > 10000) return fail(error, where + "expected \"name value\" above 0");
    if (auto r = reals.find(name); r != reals.end()) {
      *r->second = value;
    } else if (auto c = counts.find(name); c != counts.end()) {
      if (value != std::floor(value) || value < 3 || value > 64) return fail(error, where + "count 3 to 64 expected");
      *c->second = static_cast<int>(value);
    } else {
      return fail(error, where + "unknown name " + name);
    }
  }
  return true;
}

std::optional<kvmodel::Model> buildTable(const Dimensions& d, const TablePoints& tp, std::string* error) {
  if (tp.pockets.size() != 6 || tp.outline.size() != 25) {
    fail(error, "the layout needs 6 pockets and a cushion outline of 25 points");
    return std::nullopt;
  }
  auto world = [](FilePoint f) { return at(worldX(f.x) / kOne, 0, worldZ(f.y) / kOne); };
  const double cloth = -d.ballRadius, top = cloth + d.cushionHeight;

  // The cushion noses, rails 4k .. 4k + 1 of the outline; the cloth reaches
  // the cushions' backs, the rails run from there to the frame's edge.
  double noseX = 0, noseZ = 0;
  for (int k = 0; k < 6; ++k)
    for (int e = 0; e < 2; ++e) {
      const V3 p = world(tp.outline[static_cast<size_t>(4 * k + e)]);
      noseX = std::max(noseX, std::fabs(p.x));
      noseZ = std::max(noseZ, std::fabs(p.z));
    }
  const double clothX = noseX + d.cushionWidth, clothZ = noseZ + d.cushionWidth;
  const double outerX = clothX + d.railWidth, outerZ = clothZ + d.railWidth;

  std::vector<Pocket> pockets;
  for (size_t i = 0; i < 6; ++i) {
    const V3 c = world(tp.pockets[i]);
    const bool side = std::fabs(c.z) < noseZ / 2;
    pockets.push_back({c.x, c.z, side ? d.sidePocketRadius : d.cornerPocketRadius});
  }
  // Half size of the square around a pocket that holds its cloth-level collar.
  auto block = [&](const Pocket& p) { return p.radius + d.pocketCollar; };
  for (const Pocket& p : pockets)
    if (std::fabs(p.x) + block(p) >= outerX || std::fabs(p.z) + block(p) >= outerZ) {
      fail(error, "a pocket reaches past the frame");
      return std::nullopt;
    }

  MeshBuilder clothMesh(kClothTexture, true), woodMesh(kWoodTexture, true), darkMesh(kPocketTexture, true);
  auto clothAt = [&](V3 p) { return Vertex{p, p.x / d.clothTile, p.z / d.clothTile}; };
  auto woodAt = [&](V3 p) { return Vertex{p, p.x / d.woodTile, p.z / d.woodTile}; };
  // Upright faces: s along the ground, t up.
  auto wallAt = [&](V3 p, double tile) { return Vertex{p, (p.x + p.z) / tile, p.y / tile}; };
  const V3 up{0, 1, 0};

  // Cloth and rail tops on one grid; squares around the pockets are left out.
  std::vector<double> xs = {-outerX, -clothX, clothX, outerX}, zs = {-outerZ, -clothZ, clothZ, outerZ};
  for (const Pocket& p : pockets) {
    xs.insert(xs.end(), {p.x - block(p), p.x + block(p)});
    zs.insert(zs.end(), {p.z - block(p), p.z + block(p)});
  }
  xs = gridLines(xs, d.gridStep);
  zs = gridLines(zs, d.gridStep);
  auto onLine = [](const std::vector<double>& lines, double v) {
    return std::any_of(lines.begin(), lines.end(), [&](double l) { return std::fabs(l - v) < 1e-9; });
  };
  for (const Pocket& p : pockets)
    if (!onLine(xs, p.x - block(p)) || !onLine(xs, p.x + block(p)) || !onLine(zs, p.z - block(p)) ||
        !onLine(zs, p.z + block(p))) {
      fail(error, "a pocket's square does not fall on the grid (squares or edges too close)");
      return std::nullopt;
    }
  enum Kind { kCloth, kRail, kCollar };
  const size_t nx = xs.size() - 1, nz = zs.size() - 1;
  std::vector<Kind> kinds(nx * nz);
  auto kind = [&](size_t i, size_t j) { return kinds[j * nx + i]; };
  for (size_t j = 0; j < nz; ++j)
    for (size_t i = 0; i < nx; ++i) {
      const double cx = (xs[i] + xs[i + 1]) / 2, cz = (zs[j] + zs[j + 1]) / 2;
      Kind k = std::fabs(cx) < clothX && std::fabs(cz) < clothZ ? kCloth : kRail;
      for (const Pocket& p : pockets)
        if (std::fabs(cx - p.x) < block(p) && std::fabs(cz - p.z) < block(p)) k = kCollar;
      kinds[j * nx + i] = k;
      const V3 a = at(xs[i], 0, zs[j]), b = at(xs[i + 1], 0, zs[j]), c = at(xs[i + 1], 0, zs[j + 1]),
               e = at(xs[i], 0, zs[j + 1]);
      if (k == kCloth) {
        const V3 y{0, cloth, 0};
        clothMesh.quad(clothAt(a + y), clothAt(b + y), clothAt(c + y), clothAt(e + y), up);
      } else if (k == kRail) {
        const V3 y{0, top, 0};
        woodMesh.quad(woodAt(a + y), woodAt(b + y), woodAt(c + y), woodAt(e + y), up);
      }
    }
  // Upright wood where a rail meets the lower cloth level, and the frame's
  // outer sides down from the rail tops.
  auto wall = [&](V3 a, V3 b, double y0, double y1, V3 facing) {
    woodMesh.quad(wallAt(at(a.x, y0, a.z), d.woodTile), wallAt(at(b.x, y0, b.z), d.woodTile),
                  wallAt(at(b.x, y1, b.z), d.woodTile), wallAt(at(a.x, y1, a.z), d.woodTile), facing);
  };
  for (size_t j = 0; j < nz; ++j)
    for (size_t i = 0; i < nx; ++i) {
      const Kind k = kind(i, j);
      if (i + 1 < nx && (k == kRail) != (kind(i + 1, j) == kRail))
        wall(at(xs[i + 1], 0, zs[j]), at(xs[i + 1], 0, zs[j + 1]), cloth, top, at(k == kRail ? 1 : -1, 0, 0));
      if (j + 1 < nz && (k == kRail) != (kind(i, j + 1) == kRail))
        wall(at(xs[i], 0, zs[j + 1]), at(xs[i + 1], 0, zs[j + 1]), cloth, top, at(0, 0, k == kRail ? 1 : -1));
    }
  const double frameBottom = top - d.frameDepth;
  for (size_t i = 0; i < nx; ++i) {
    wall(at(xs[i], 0, -outerZ), at(xs[i + 1], 0, -outerZ), frameBottom, top, at(0, 0, -1));
    wall(at(xs[i], 0, outerZ), at(xs[i + 1], 0, outerZ), frameBottom, top, at(0, 0, 1));
  }
  for (size_t j = 0; j < nz; ++j) {
    wall(at(-outerX, 0, zs[j]), at(-outerX, 0, zs[j + 1]), frameBottom, top, at(-1, 0, 0));
    wall(at(outerX, 0, zs[j]), at(outerX, 0, zs[j + 1]), frameBottom, top, at(1, 0, 0));
  }

  // Each pocket: a cloth-level collar from the square's grid points in to the
  // opening, then a dark cup below it.
  const double cupBottom = cloth - d.cupDepth;
  for (const Pocket& p : pockets) {
    const double b = block(p);
    struct Ring {
      double angle;
      V3 point;
      bool rim;
    };
    std::vector<Ring> ring;
    auto addBoundary = [&](double x, double z) {
      ring.push_back({std::atan2(z - p.z, x - p.x), at(x, cloth, z), false});
    };
    for (double x : xs)
      if (x >= p.x - b - 1e-9 && x <= p.x + b + 1e-9) {
        addBoundary(x, p.z - b);
        addBoundary(x, p.z + b);
      }
    for (double z : zs)
      if (z > p.z - b + 1e-9 && z < p.z + b - 1e-9) {
        addBoundary(p.x - b, z);
        addBoundary(p.x + b, z);
      }
    const int n = d.pocketSegments;
    std::vector<V3> rim;
    for (int k = 0; k < n; ++k) {
      const double a = -kPi + 2 * kPi * (k + 0.5) / n;
      rim.push_back(at(p.x + p.radius * std::cos(a), cloth, p.z + p.radius * std::sin(a)));
      ring.push_back({a, rim.back(), true});
    }
    std::sort(ring.begin(), ring.end(), [](const Ring& l, const Ring& r) { return l.angle < r.angle; });
    // Stitch the two loops in angle order, starting from the last of each.
    V3 lastOuter{}, lastRim{};
    for (auto it = ring.rbegin(); it != ring.rend(); ++it)
      if (!it->rim) {
        lastOuter = it->point;
        break;
      }
    lastRim = rim.back();
    for (const Ring& r : ring) {
      if (r.rim) {
        clothMesh.triangle(clothAt(lastRim), clothAt(r.point), clothAt(lastOuter), up);
        lastRim = r.point;
      } else {
        clothMesh.triangle(clothAt(lastOuter), clothAt(r.point), clothAt(lastRim), up);
        lastOuter = r.point;
      }
    }
    // The cup: inward-facing sides and a bottom.
    const Vertex centre{at(p.x, cupBottom, p.z), 0.5, 0.5};
    for (int k = 0; k < n; ++k) {
      const V3 a = rim[static_cast<size_t>(k)], c = rim[static_cast<size_t>((k + 1) % n)];
      const V3 inward = at(p.x, 0, p.z) - (a + c) * 0.5;
      const double s0 = static_cast<double>(k) / n, s1 = static_cast<double>(k + 1) / n;
      darkMesh.quad({a, s0, 1}, {c, s1, 1}, {at(c.x, cupBottom, c.z), s1, 0}, {at(a.x, cupBottom, a.z), s0, 0},
                    at(inward.x, 0, inward.z));
      darkMesh.triangle(centre, {at(a.x, cupBottom, a.z), 0.5 + (a.x - p.x) / (2 * p.radius), 0.5 + (a.z - p.z) / (2 * p.radius)},
                        {at(c.x, cupBottom, c.z), 0.5 + (c.x - p.x) / (2 * p.radius), 0.5 + (c.z - p.z) / (2 * p.radius)},
                        up);
    }
  }

  // Cushions on the cloth: the nose on the outline, the back on the cloth's
  // edge, the ends along the pocket jaws; tops level with the rails.
  for (int k = 0; k < 6; ++k) {
    const size_t ia = static_cast<size_t>(4 * k), ib = ia + 1;
    const V3 a = world(tp.outline[ia]), b = world(tp.outline[ib]);
    const V3 before = world(tp.outline[ia == 0 ? 23 : ia - 1]), after = world(tp.outline[ib + 1]);
    V3 out = at(-(b.z - a.z), 0, b.x - a.x);
    const double len = std::sqrt(dot(out, out));
    out = out * (1 / len);
    if (dot(out, (a + b) * 0.5) < 0) out = out * -1;
    auto backOf = [&](V3 nose, V3 jaw) {
      const double along = dot(jaw - nose, out);
      return along > 1e-6 ? std::optional<V3>(nose + (jaw - nose) * (d.cushionWidth / along)) : std::nullopt;
    };
    const std::optional<V3> a2 = backOf(a, before), b2 = backOf(b, after);
    if (!a2 || !b2) {
      fail(error, "a cushion's jaw does not open outwards");
      return std::nullopt;
    }
    for (const V3 q : {a, b, *a2, *b2})
      for (const Pocket& p : pockets)
        if (std::hypot(q.x - p.x, q.z - p.z) < p.radius + 0.25) {
          fail(error, "a cushion reaches into a pocket opening");
          return std::nullopt;
        }
    const int n = std::max(1, static_cast<int>(std::ceil(len / d.gridStep)));
    const V3 yc{0, cloth, 0}, yt{0, top, 0};
    for (int s = 0; s < n; ++s) {
      const double u0 = static_cast<double>(s) / n, u1 = static_cast<double>(s + 1) / n;
      const V3 n0 = a + (b - a) * u0, n1 = a + (b - a) * u1;
      const V3 k0 = *a2 + (*b2 - *a2) * u0, k1 = *a2 + (*b2 - *a2) * u1;
      clothMesh.quad(clothAt(n0 + yt), clothAt(n1 + yt), clothAt(k1 + yt), clothAt(k0 + yt), up);
      clothMesh.quad(wallAt(n0 + yc, d.clothTile), wallAt(n1 + yc, d.clothTile), wallAt(n1 + yt, d.clothTile),
                     wallAt(n0 + yt, d.clothTile), out * -1);
    }
    for (const auto& [nose, back, away] : {std::tuple{a, *a2, a - b}, std::tuple{b, *b2, b - a}}) {
      V3 facing = at(-(back.z - nose.z), 0, back.x - nose.x);
      if (dot(facing, away) < 0) facing = facing * -1;
      clothMesh.quad(wallAt(nose + yc, d.clothTile), wallAt(back + yc, d.clothTile), wallAt(back + yt, d.clothTile),
                     wallAt(nose + yt, d.clothTile), facing);
    }
  }

  // The floor below and the walls of the room, so that no view of the table
  // shows empty background.
  const double floorY = cloth - d.floorDepth, rx = d.roomHalfWidth, rz = d.roomHalfLength;
  const int tiles = 4;
  for (int j = 0; j < tiles; ++j)
    for (int i = 0; i < tiles; ++i) {
      const double x0 = -rx + 2 * rx * i / tiles, x1 = -rx + 2 * rx * (i + 1) / tiles;
      const double z0 = -rz + 2 * rz * j / tiles, z1 = -rz + 2 * rz * (j + 1) / tiles;
      auto f = [&](double x, double z) { return Vertex{at(x, floorY, z), x / 64, z / 64}; };
      darkMesh.quad(f(x0, z0), f(x1, z0), f(x1, z1), f(x0, z1), up);
    }
  for (int side = 0; side < 4; ++side) {
    const bool alongX = side < 2;
    const double sign = side % 2 ? 1 : -1;
    for (int i = 0; i < tiles; ++i) {
      const double extent = alongX ? rx : rz;
      const double u0 = -extent + 2 * extent * i / tiles, u1 = -extent + 2 * extent * (i + 1) / tiles;
      auto w = [&](double u, double y) {
        const V3 p = alongX ? at(u, y, sign * rz) : at(sign * rx, y, u);
        return Vertex{p, u / 64, y / 64};
      };
      darkMesh.quad(w(u0, floorY), w(u1, floorY), w(u1, d.roomHeight), w(u0, d.roomHeight),
                    alongX ? at(0, 0, -sign) : at(-sign, 0, 0));
    }
  }

  if (clothMesh.overflowed() || woodMesh.overflowed() || darkMesh.overflowed()) {
    fail(error, "more than 65535 vertices in a sub-mesh");
    return std::nullopt;
  }
  kvmodel::Model model{{{0, {clothMesh.take(), woodMesh.take(), darkMesh.take()}}}};
  if (!checkModel(model, kMaxTableVertices, kMaxTableTriangles, error)) return std::nullopt;
  return model;
}

std::optional<kvmodel::Model> buildCue(const Dimensions& d, const TablePoints&, std::string* error) {
  MeshBuilder mesh(kWoodTexture, false);
  const int n = d.cueSegments;
  const double tipX = 0, buttX = -d.cueLength;
  for (int k = 0; k < n; ++k) {
    const double a0 = 2 * kPi * k / n, a1 = 2 * kPi * (k + 1) / n;
    auto rimAt = [&](double x, double r, double a) { return at(x, r * std::cos(a), r * std::sin(a)); };
    const V3 t0 = rimAt(tipX, d.cueTipRadius, a0), t1 = rimAt(tipX, d.cueTipRadius, a1);
    const V3 b0 = rimAt(buttX, d.cueButtRadius, a0), b1 = rimAt(buttX, d.cueButtRadius, a1);
    const double s0 = static_cast<double>(k) / n, s1 = static_cast<double>(k + 1) / n;
    const double am = (a0 + a1) / 2;
    mesh.quad({t0, s0, 0}, {t1, s1, 0}, {b1, s1, 4}, {b0, s0, 4}, at(0, std::cos(am), std::sin(am)));
    mesh.triangle({at(tipX, 0, 0), 0.5, 0}, {t0, s0, 0}, {t1, s1, 0}, at(1, 0, 0));
    mesh.triangle({at(buttX, 0, 0), 0.5, 4}, {b0, s0, 4}, {b1, s1, 4}, at(-1, 0, 0));
  }
  kvmodel::Model model{{{0, {mesh.take()}}}};
  if (!checkModel(model, kMaxSubMeshVertices, 65535, error)) return std::nullopt;
  return model;
}

std::optional<kvmodel::Model> buildBall(const Dimensions& d, const TablePoints&, std::string* error) {
  // s = longitude, t = latitude (0 at the south pole, 1 at the north pole);
  // the first ring is the south pole.
  MeshBuilder mesh(0, false);
  const int segments = d.ballSegments, rings = d.ballRings;
  auto point = [&](int seg, int ring) {
    const double lon = 2 * kPi * seg / segments, lat = -kPi / 2 + kPi * ring / rings;
    const V3 p = at(d.ballRadius * std::cos(lat) * std::cos(lon), d.ballRadius * std::sin(lat),
                    -d.ballRadius * std::cos(lat) * std::sin(lon));
    return Vertex{p, static_cast<double>(seg) / segments, static_cast<double>(ring) / rings};
  };
  for (int ring = 0; ring < rings; ++ring)
    for (int seg = 0; seg < segments; ++seg) {
      const Vertex a = point(seg, ring), b = point(seg + 1, ring), c = point(seg + 1, ring + 1),
                   e = point(seg, ring + 1);
      const V3 outward = (a.p + b.p + c.p + e.p) * 0.25;
      if (ring > 0) mesh.triangle(a, b, c, outward);
      if (ring + 1 < rings) mesh.triangle(a, c, e, outward);
    }
  kvmodel::Model model{{{0, {mesh.take()}}}};
  if (!checkModel(model, kMaxBallVertices, kMaxBallTriangles, error)) return std::nullopt;
  return model;
}

}  // namespace scenemodels
