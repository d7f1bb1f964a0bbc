// Art recipes: a small line-based language that describes the frames,
// animations and palettes of one sprite bank as vector drawings. The
// language is described in assets/art/README.md.
//
// parseRecipe reads the text into statements; expandRecipe runs them (loops,
// groups, expressions) into a Sheet of concrete drawing operations that
// Render.cpp draws with cairo.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace art {

// A recipe error: "file:line: message".
class ArtError : public std::runtime_error {
 public:
  ArtError(const std::string& file, int line, const std::string& message)
      : std::runtime_error(file + ":" + std::to_string(line) + ": " + message) {}
};

// One statement line with its nested block (frames, groups, repeats, anims).
struct Stmt {
  int line = 0;
  std::string word;                            // the first token
  std::vector<std::string> args;               // positional tokens after it
  std::map<std::string, std::string> options;  // key=value tokens
  std::vector<Stmt> body;
};

struct Recipe {
  std::string file;
  std::vector<Stmt> statements;
};

// Parses recipe text; throws ArtError on a syntax error.
Recipe parseRecipe(const std::string& text, const std::string& file);
Recipe loadRecipe(const std::string& path);

// A colour reference: the name of a declared colour or a literal, resolved
// per palette so that colour-replacement rules can act on it.
struct ColourRef {
  std::string name;  // empty for a literal
  uint32_t argb = 0;
};

struct Stop {
  double offset = 0;
  ColourRef colour;
};

struct Paint {
  enum Kind { kNone, kSolid, kLinear, kRadial } kind = kNone;
  double geom[6] = {};  // linear: x0 y0 x1 y1; radial: cx cy r0 r1 (fx fy)
  std::vector<Stop> stops;
};

struct DrawOp {
  enum Kind { kRect, kCircle, kEllipse, kLine, kPoly, kArc, kText } kind = kRect;
  int line = 0;
  std::vector<double> nums;  // the op's coordinates
  double radius = 0;         // rounded rectangle corner
  std::string text;
  std::string font = "sans";
  double size = 11;
  int align = 0;   // 0 left, 1 centre, 2 right
  int valign = 0;  // 0 top, 1 middle, 2 baseline, 3 bottom
  Paint fill, stroke;
  double width = 1;
  int cap = 0;   // 0 butt, 1 round, 2 square
  int join = 0;  // 0 miter, 1 round, 2 bevel
};

struct FrameDef {
  int index = 0;
  int line = 0;
  int width = 0, height = 0;
  int hotspotX = 0, hotspotY = 0;
  std::vector<DrawOp> ops;
};

struct AnimFrameDef {
  int line = 0;
  int frame = 0, time = 1, dx = 0, dy = 0, flags = 0;
};

struct AnimDef {
  int index = 0;
  int line = 0;
  std::vector<AnimFrameDef> frames;
};

// A colour-replacement rule set: one extra palette.
struct Variant {
  int line = 0;
  std::map<std::string, uint32_t> byName;     // declared colour name -> colour
  std::map<uint32_t, uint32_t> byColour;      // literal colour -> colour
};

struct Sheet {
  std::string file;
  bool alpha = false;      // translucency kept (the bank is cached with alpha)
  bool antialias = true;
  bool fixedPalette = false;
  int paletteLine = 0;
  std::vector<uint32_t> fixedColours;  // indices 1.. of palette 0 when fixed
  bool plainIndices = false;           // modules stored one index a byte (colour effects read them)
  std::vector<uint32_t> keptColours;   // opaque colours of palette 0 that keep an exact entry
  std::map<std::string, uint32_t> colours;
  std::vector<Variant> variants;  // palettes 1..
  std::vector<FrameDef> frames;   // sorted by index, unique
  std::vector<AnimDef> anims;     // sorted by index, unique

  // The colour of a reference in palette p (0 = the drawing as written).
  uint32_t resolve(const ColourRef& c, int palette) const;
};

// Runs the statements; `defines` are variables visible to every expression.
// Throws ArtError.
Sheet expandRecipe(const Recipe& recipe, const std::map<std::string, double>& defines = {});

// Evaluates an arithmetic expression (exposed for tests).
double evalExpression(const std::string& text, const std::map<std::string, double>& vars, const std::string& file,
                      int line);

uint32_t parseColourLiteral(const std::string& token, bool* ok);

// Helpers of the list files (manifest, placeholder counts).
std::string readTextFile(const std::string& path);  // throws ArtError
// Non-blank lines split into words, "#" comments dropped: (line number, words).
std::vector<std::pair<int, std::vector<std::string>>> listLines(const std::string& text);
// A whole number 0..max, or an ArtError naming what it is.
int wholeNumber(const std::string& s, const std::string& file, int line, const std::string& what, int max = 65534);

}  // namespace art
