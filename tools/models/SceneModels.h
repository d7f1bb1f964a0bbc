// The ball view's models: the table (cloth, cushions, rails, pocket cups,
// floor and room), the held cue and the ball, built from the table layout's
// pockets and cushion outline and a few dimensions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/model/ModelWriter.h"

namespace scenemodels {

// Texture resource ids named inside the models.
constexpr uint32_t kClothTexture = 20;
constexpr uint32_t kWoodTexture = 19;
constexpr uint32_t kPocketTexture = 29;

// What one flush of the renderer and its scratch pool can take.
constexpr int kMaxTableVertices = 5000;
constexpr int kMaxTableTriangles = 3000;
constexpr int kMaxSubMeshVertices = 2500;
constexpr int kMaxBallVertices = 320;
constexpr int kMaxBallTriangles = 190;

struct Dimensions {
  double ballRadius = 4.0;
  int ballSegments = 12, ballRings = 8;
  double cornerPocketRadius = 7.0, sidePocketRadius = 5.5, pocketCollar = 2.0;
  int pocketSegments = 16;
  double cupDepth = 10.0;
  double cushionWidth = 5.0, cushionHeight = 4.0, railWidth = 11.0, frameDepth = 24.0;
  double gridStep = 10.0, clothTile = 16.0, woodTile = 32.0;
  double floorDepth = 110.0, roomHalfWidth = 190.0, roomHalfLength = 260.0, roomHeight = 80.0;
  double cueLength = 140.0, cueTipRadius = 0.7, cueButtRadius = 1.4;
  int cueSegments = 8;
};

// "name value" lines, '#' comments; every name must be known.
bool parseDimensions(const std::string& text, Dimensions& out, std::string* error);

// Table layout points in file units (x to the right, y down the table).
struct FilePoint {
  int x = 0, y = 0;
};
struct TablePoints {
  std::vector<FilePoint> pockets;  // the six pocket centres
  std::vector<FilePoint> outline;  // the closed cushion outline, rails at 4k, 4k + 1
};

// The world point (Q14) of a file point as the ball view computes it:
// (tableToViewX(x) / 10, 0, -tableToViewY(-y) / 10).
int32_t worldX(int fileX);
int32_t worldZ(int fileY);

// Each builder checks its model against the budgets and loader rules and
// gives nothing, with the reason, when one is broken.
std::optional<kvmodel::Model> buildTable(const Dimensions& d, const TablePoints& p, std::string* error);
std::optional<kvmodel::Model> buildCue(const Dimensions& d, const TablePoints& p, std::string* error);
std::optional<kvmodel::Model> buildBall(const Dimensions& d, const TablePoints& p, std::string* error);

}  // namespace scenemodels
