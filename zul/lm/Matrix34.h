// 3x4 affine matrix of Q14 entries. Entries 0-8 hold the 3x3 part column-major
// (row r, column c at r + 3c); entries 9-11 the translation. Angles are Q14 degrees.
#pragma once

#include "zul/lm/Q14.h"
#include "zul/lm/Vector3.h"

struct Quaternion;

struct Matrix34 {
  Q14 m[12];

  Matrix34() { setIdentity(); }
  Matrix34(const Matrix34&) = default;
  Matrix34& operator=(const Matrix34&) = default;
  void set(const Matrix34& o) { *this = o; }

  Q14& operator[](int i) { return m[i]; }
  Q14 operator[](int i) const { return m[i]; }
  Q14 at(int row, int col) const { return m[row + 3 * col]; }
  bool operator==(const Matrix34&) const = default;

  void setIdentity();
  void setScale(Q14 sx, Q14 sy, Q14 sz);
  void setTranslation(Q14 x, Q14 y, Q14 z);
  void setRotationX(Q14 deg);
  void setRotationY(Q14 deg);
  void setRotationZ(Q14 deg);
  void rotateX(Q14 deg);
  void rotateY(Q14 deg);
  void rotateZ(Q14 deg);
  // (X(a) * Y(b)) * Z(c).
  void setRotationXYZ(Q14 a, Q14 b, Q14 c);
  void setAxisRotation(Q14 deg, Q14 x, Q14 y, Q14 z);

  Matrix34 operator*(const Matrix34& o) const;
  // In the header: meshes call it once a vertex.
  void transformPoint(const Vector3& in, Vector3& out) const {
    const Q14 x = in.x, y = in.y, z = in.z;  // in and out may be the same vector
    out.x = wrapAdd(wrapAdd(wrapAdd(q14Mul(x, m[0]), q14Mul(y, m[3])), q14Mul(z, m[6])), m[9]);
    out.y = wrapAdd(wrapAdd(wrapAdd(q14Mul(x, m[1]), q14Mul(y, m[4])), q14Mul(z, m[7])), m[10]);
    out.z = wrapAdd(wrapAdd(wrapAdd(q14Mul(x, m[2]), q14Mul(y, m[5])), q14Mul(z, m[8])), m[11]);
  }
  // Cofactors over the determinant; all zero for a singular matrix.
  Matrix34& inverse(Matrix34& out) const;
  void setFromQuaternion(const Quaternion& q, const Vector3& t);
};
