#include "tools/art/Recipe.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

namespace art {

namespace {

bool isIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool isIdentifier(const std::string& s) {
  if (s.empty() || !isIdentStart(s[0])) return false;
  for (char c : s)
    if (!isIdentChar(c)) return false;
  return true;
}

// Splits a line into tokens: blanks separate them except inside quotes and
// parentheses; "# " (or a lone "#") starts a comment. Quoted tokens keep
// their quotes so that the parser can tell strings from words.
std::vector<std::string> tokenize(const std::string& line, const std::string& file, int lineNo) {
  std::vector<std::string> out;
  size_t i = 0, n = line.size();
  while (i < n) {
    while (i < n && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (i >= n) break;
    if (line[i] == '#' && (i + 1 >= n || std::isspace(static_cast<unsigned char>(line[i + 1])))) break;
    std::string tok;
    int depth = 0;
    bool quoted = false;
    while (i < n) {
      char c = line[i];
      if (quoted) {
        tok += c;
        if (c == '\\' && i + 1 < n) {
          tok += line[++i];
        } else if (c == '"') {
          quoted = false;
        }
        ++i;
        continue;
      }
      if (c == '"') {
        quoted = true;
      } else if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (--depth < 0) throw ArtError(file, lineNo, "unbalanced ')'");
      } else if (depth == 0 && std::isspace(static_cast<unsigned char>(c))) {
        break;
      }
      tok += c;
      ++i;
    }
    if (quoted) throw ArtError(file, lineNo, "unterminated string");
    if (depth != 0) throw ArtError(file, lineNo, "unbalanced '('");
    out.push_back(tok);
  }
  return out;
}

// Position of a top-level '=' in a token that is an option (key=value).
size_t optionSplit(const std::string& tok) {
  if (tok.empty() || tok[0] == '"') return std::string::npos;
  size_t eq = tok.find('=');
  if (eq == std::string::npos || eq == 0) return std::string::npos;
  std::string key = tok.substr(0, eq);
  if (key.find('(') != std::string::npos) return std::string::npos;
  return eq;
}

bool opensBlock(const Stmt& s) {
  return s.word == "frame" || s.word == "group" || s.word == "repeat" || s.word == "anim";
}

// ---- expressions ----

class ExprParser {
 public:
  ExprParser(const std::string& text, const std::map<std::string, double>& vars, const std::string& file, int line)
      : s_(text), vars_(vars), file_(file), line_(line) {}

  double parse() {
    double v = sum();
    skip();
    if (p_ != s_.size()) fail("unexpected '" + s_.substr(p_) + "'");
    return v;
  }

 private:
  [[noreturn]] void fail(const std::string& why) const {
    throw ArtError(file_, line_, "in expression '" + s_ + "': " + why);
  }
  void skip() {
    while (p_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[p_]))) ++p_;
  }
  bool eat(char c) {
    skip();
    if (p_ < s_.size() && s_[p_] == c) {
      ++p_;
      return true;
    }
    return false;
  }
  double sum() {
    double v = product();
    for (;;) {
      if (eat('+')) v += product();
      else if (eat('-')) v -= product();
      else return v;
    }
  }
  double product() {
    double v = unary();
    for (;;) {
      if (eat('*')) {
        v *= unary();
      } else if (eat('/')) {
        double d = unary();
        if (d == 0) fail("division by zero");
        v /= d;
      } else if (eat('%')) {
        double d = unary();
        if (d == 0) fail("division by zero");
        v = std::fmod(v, d);
      } else {
        return v;
      }
    }
  }
  double unary() {
    if (eat('-')) return -unary();
    if (eat('+')) return unary();
    return primary();
  }
  double primary() {
    skip();
    if (p_ >= s_.size()) fail("value missing");
    char c = s_[p_];
    if (eat('(')) {
      double v = sum();
      if (!eat(')')) fail("')' missing");
      return v;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
      size_t start = p_;
      while (p_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[p_])) || s_[p_] == '.')) ++p_;
      std::string num = s_.substr(start, p_ - start);
      if (num.find('.') != num.rfind('.') || num == ".") fail("bad number '" + num + "'");
      return std::stod(num);
    }
    if (isIdentStart(c)) {
      size_t start = p_;
      while (p_ < s_.size() && isIdentChar(s_[p_])) ++p_;
      std::string name = s_.substr(start, p_ - start);
      if (eat('(')) return call(name);
      auto it = vars_.find(name);
      if (it == vars_.end()) fail("unknown name '" + name + "'");
      return it->second;
    }
    fail(std::string("unexpected '") + c + "'");
  }
  double call(const std::string& name) {
    std::vector<double> a;
    if (!eat(')')) {
      do a.push_back(sum());
      while (eat(','));
      if (!eat(')')) fail("')' missing after the arguments of " + name);
    }
    auto need = [&](size_t n) {
      if (a.size() != n) fail(name + " takes " + std::to_string(n) + " argument(s)");
    };
    constexpr double kDeg = 3.14159265358979323846 / 180.0;
    if (name == "min" || name == "max") {
      if (a.empty()) fail(name + " needs arguments");
      double v = a[0];
      for (double x : a) v = name == "min" ? std::min(v, x) : std::max(v, x);
      return v;
    }
    if (name == "floor") return need(1), std::floor(a[0]);
    if (name == "ceil") return need(1), std::ceil(a[0]);
    if (name == "round") return need(1), std::round(a[0]);
    if (name == "abs") return need(1), std::fabs(a[0]);
    if (name == "sqrt") {
      need(1);
      if (a[0] < 0) fail("square root of a negative number");
      return std::sqrt(a[0]);
    }
    if (name == "sin") return need(1), std::sin(a[0] * kDeg);
    if (name == "cos") return need(1), std::cos(a[0] * kDeg);
    fail("unknown function '" + name + "'");
  }

  const std::string& s_;
  const std::map<std::string, double>& vars_;
  const std::string& file_;
  int line_;
  size_t p_ = 0;
};

// Splits "a,b,(c,d)" at top-level commas.
std::vector<std::string> splitCommas(const std::string& s) {
  std::vector<std::string> out;
  std::string cur;
  int depth = 0;
  for (char c : s) {
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == ',' && depth == 0) {
      out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  out.push_back(cur);
  return out;
}

// ---- expansion ----

struct Context {
  std::map<std::string, double> vars;
  double ox = 0, oy = 0;  // translation of `use`
  int depth = 0;
};

class Expander {
 public:
  Expander(const Recipe& r, Sheet& sheet) : r_(r), sheet_(sheet) {}

  void run(const std::map<std::string, double>& defines) {
    Context ctx;
    ctx.vars = defines;
    // Groups are visible from anywhere in the file, declared before or after use.
    for (const Stmt& s : r_.statements)
      if (s.word == "group") {
        need(s, 1, 1);
        if (!isIdentifier(s.args[0])) err(s, "bad group name '" + s.args[0] + "'");
        if (!groups_.emplace(s.args[0], &s).second) err(s, "group '" + s.args[0] + "' defined twice");
      }
    top(r_.statements, ctx);
    std::sort(sheet_.frames.begin(), sheet_.frames.end(),
              [](const FrameDef& a, const FrameDef& b) { return a.index < b.index; });
    std::sort(sheet_.anims.begin(), sheet_.anims.end(),
              [](const AnimDef& a, const AnimDef& b) { return a.index < b.index; });
  }

 private:
  [[noreturn]] void err(const Stmt& s, const std::string& why) const { throw ArtError(r_.file, s.line, why); }
  [[noreturn]] void err(int line, const std::string& why) const { throw ArtError(r_.file, line, why); }

  void need(const Stmt& s, size_t lo, size_t hi) const {
    if (s.args.size() < lo || s.args.size() > hi)
      err(s, "'" + s.word + "' takes " + (lo == hi ? std::to_string(lo) : std::to_string(lo) + "-" + std::to_string(hi)) +
                 " argument(s)");
  }
  void noOptions(const Stmt& s) const {
    if (!s.options.empty()) err(s, "'" + s.word + "' takes no option '" + s.options.begin()->first + "'");
  }
  void noBody(const Stmt& s) const {
    if (!s.body.empty()) err(s, "'" + s.word + "' has no block");
  }

  double num(const std::string& e, const Context& ctx, int line) const {
    return evalExpression(e, ctx.vars, r_.file, line);
  }
  int integer(const std::string& e, const Context& ctx, int line, const char* what) const {
    double v = num(e, ctx, line);
    double r = std::round(v);
    if (std::fabs(v - r) > 1e-9 || std::fabs(r) > 1e9)
      err(line, std::string(what) + " must be a whole number (got " + e + ")");
    return static_cast<int>(r);
  }

  ColourRef colour(const std::string& tok, int line) const {
    ColourRef c;
    bool ok = false;
    if (!tok.empty() && tok[0] == '#') {
      c.argb = parseColourLiteral(tok, &ok);
      if (!ok) err(line, "bad colour '" + tok + "' (use #RRGGBB or #RRGGBBAA)");
      return c;
    }
    auto it = sheet_.colours.find(tok);
    if (it == sheet_.colours.end()) err(line, "unknown colour '" + tok + "'");
    c.name = tok;
    c.argb = it->second;
    return c;
  }

  Paint paint(const std::string& v, const Context& ctx, int line) const {
    Paint p;
    if (v == "none") return p;
    bool linear = v.rfind("linear(", 0) == 0, radial = v.rfind("radial(", 0) == 0;
    if (!linear && !radial) {
      p.kind = Paint::kSolid;
      p.stops.push_back({0, colour(v, line)});
      return p;
    }
    if (v.back() != ')') err(line, "bad gradient '" + v + "'");
    std::vector<std::string> parts = splitCommas(v.substr(7, v.size() - 8));
    size_t geom = linear ? 4 : 4;
    if (parts.size() < geom + 2) err(line, "a gradient needs its geometry and at least two colours");
    p.kind = linear ? Paint::kLinear : Paint::kRadial;
    for (size_t i = 0; i < geom; ++i) p.geom[i] = num(parts[i], ctx, line);
    p.geom[0] += ctx.ox;
    p.geom[1] += ctx.oy;
    if (linear) {
      p.geom[2] += ctx.ox;
      p.geom[3] += ctx.oy;
    }
    size_t n = parts.size() - geom;
    for (size_t i = 0; i < n; ++i) {
      std::string s = parts[geom + i];
      while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.erase(s.begin());
      Stop st;
      size_t at = s.find('@');
      st.offset = n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : 0.0;
      if (at != std::string::npos) {
        st.offset = num(s.substr(at + 1), ctx, line);
        s = s.substr(0, at);
      }
      st.colour = colour(s, line);
      p.stops.push_back(st);
    }
    return p;
  }

  std::string interpolate(const std::string& quoted, const Context& ctx, int line) const {
    std::string out;
    for (size_t i = 1; i + 1 < quoted.size(); ++i) {
      char c = quoted[i];
      if (c == '\\' && i + 2 < quoted.size()) {
        out += quoted[++i];
      } else if (c == '{' && i + 2 < quoted.size() && quoted[i + 1] == '{') {
        out += '{';
        ++i;
      } else if (c == '{') {
        size_t close = quoted.find('}', i);
        if (close == std::string::npos || close + 1 >= quoted.size()) err(line, "'}' missing in text");
        double v = num(quoted.substr(i + 1, close - i - 1), ctx, line);
        char buf[32];
        if (std::fabs(v - std::round(v)) < 1e-9) std::snprintf(buf, sizeof buf, "%lld", std::llround(v));
        else std::snprintf(buf, sizeof buf, "%g", v);
        out += buf;
        i = close;
      } else {
        out += c;
      }
    }
    return out;
  }

  // ---- statements ----

  void top(const std::vector<Stmt>& list, Context& ctx) {
    for (const Stmt& s : list) {
      const std::string& w = s.word;
      if (w == "colour" || w == "color") {
        need(s, 2, 2);
        noOptions(s);
        if (!isIdentifier(s.args[0])) err(s, "bad colour name '" + s.args[0] + "'");
        bool ok = false;
        uint32_t c = parseColourLiteral(s.args[1], &ok);
        if (!ok) err(s, "bad colour '" + s.args[1] + "'");
        sheet_.colours[s.args[0]] = c;
      } else if (w == "palette") {
        palette(s);
      } else if (w == "variant") {
        variant(s);
      } else if (w == "alpha") {
        need(s, 0, 0);
        sheet_.alpha = true;
      } else if (w == "plain") {
        need(s, 0, 0);
        sheet_.plainIndices = true;
      } else if (w == "keep") {
        if (s.args.empty()) err(s, "keep lists colours");
        noOptions(s);
        for (const std::string& a : s.args) sheet_.keptColours.push_back(colour(a, s.line).argb | 0xFF000000u);
      } else if (w == "antialias") {
        need(s, 1, 1);
        if (s.args[0] != "on" && s.args[0] != "off") err(s, "antialias is on or off");
        sheet_.antialias = s.args[0] == "on";
      } else if (w == "let") {
        let(s, ctx);
      } else if (w == "group") {
        // collected before the run
      } else if (w == "frame") {
        frame(s, ctx);
      } else if (w == "anim") {
        anim(s, ctx);
      } else if (w == "repeat") {
        repeat(s, ctx, [&](Context& c) { top(s.body, c); });
      } else {
        err(s, "unknown statement '" + w + "'");
      }
    }
  }

  void palette(const Stmt& s) {
    if (s.args.empty()) err(s, "palette auto or palette fixed <colours>");
    sheet_.paletteLine = s.line;
    if (s.args[0] == "auto") {
      need(s, 1, 1);
      sheet_.fixedPalette = false;
      return;
    }
    if (s.args[0] != "fixed") err(s, "palette auto or palette fixed <colours>");
    if (s.args.size() < 2) err(s, "a fixed palette lists its colours");
    if (s.args.size() - 1 > 255) err(s, "a fixed palette holds at most 255 colours besides the transparent index 0");
    sheet_.fixedPalette = true;
    sheet_.fixedColours.clear();
    for (size_t i = 1; i < s.args.size(); ++i) sheet_.fixedColours.push_back(colour(s.args[i], s.line).argb);
  }

  void variant(const Stmt& s) {
    need(s, 0, 0);
    noBody(s);
    if (s.options.empty()) err(s, "a variant lists replacements: name=#RRGGBB or #RRGGBB=#RRGGBB");
    Variant v;
    v.line = s.line;
    for (const auto& [key, value] : s.options) {
      uint32_t to = colour(value, s.line).argb;
      if (key[0] == '#') {
        v.byColour[colour(key, s.line).argb] = to;
      } else {
        if (!sheet_.colours.count(key)) err(s, "unknown colour '" + key + "'");
        v.byName[key] = to;
      }
    }
    sheet_.variants.push_back(v);
  }

  void let(const Stmt& s, Context& ctx) {
    need(s, 2, 2);
    noOptions(s);
    if (!isIdentifier(s.args[0])) err(s, "bad name '" + s.args[0] + "'");
    ctx.vars[s.args[0]] = num(s.args[1], ctx, s.line);
  }

  template <typename F>
  void repeat(const Stmt& s, const Context& ctx, F body) {
    need(s, 2, 2);
    noOptions(s);
    if (!isIdentifier(s.args[0])) err(s, "bad loop variable '" + s.args[0] + "'");
    size_t dots = s.args[1].find("..");
    if (dots == std::string::npos) err(s, "repeat <name> <first>..<last>");
    int a = integer(s.args[1].substr(0, dots), ctx, s.line, "the first value");
    int b = integer(s.args[1].substr(dots + 2), ctx, s.line, "the last value");
    if (b - a > 100000) err(s, "too many repetitions");
    for (int k = a; k <= b; ++k) {
      Context c = ctx;
      c.vars[s.args[0]] = k;
      body(c);
    }
  }

  void frame(const Stmt& s, const Context& outer) {
    if (s.args.size() != 3 && !(s.args.size() == 6 && s.args[3] == "hotspot"))
      err(s, "frame <index> <width> <height> [hotspot <x> <y>]");
    noOptions(s);
    Context ctx = outer;
    FrameDef f;
    f.line = s.line;
    f.index = integer(s.args[0], ctx, s.line, "a frame index");
    f.width = integer(s.args[1], ctx, s.line, "a frame width");
    f.height = integer(s.args[2], ctx, s.line, "a frame height");
    if (f.index < 0 || f.index > 65534) err(s, "frame index out of range (0-65534)");
    if (f.width < 1 || f.height < 1 || f.width > 4096 || f.height > 4096)
      err(s, "frame size must be 1-4096 pixels a side");
    if (s.args.size() == 6) {
      f.hotspotX = integer(s.args[4], ctx, s.line, "a hotspot");
      f.hotspotY = integer(s.args[5], ctx, s.line, "a hotspot");
    }
    if (!frameIndices_.insert(f.index).second) err(s, "frame " + std::to_string(f.index) + " defined twice");
    ctx.ox = ctx.oy = 0;
    ops(s.body, ctx, f.ops);
    sheet_.frames.push_back(std::move(f));
  }

  void ops(const std::vector<Stmt>& list, Context& ctx, std::vector<DrawOp>& out) {
    for (const Stmt& s : list) {
      if (s.word == "let") {
        let(s, ctx);
      } else if (s.word == "repeat") {
        repeat(s, ctx, [&](Context& c) { ops(s.body, c, out); });
      } else if (s.word == "use") {
        use(s, ctx, out);
      } else {
        out.push_back(op(s, ctx));
      }
    }
  }

  void use(const Stmt& s, const Context& ctx, std::vector<DrawOp>& out) {
    if (s.args.size() != 1 && s.args.size() != 3) err(s, "use <group> [<dx> <dy>]");
    noOptions(s);
    auto it = groups_.find(s.args[0]);
    if (it == groups_.end()) err(s, "unknown group '" + s.args[0] + "'");
    if (ctx.depth >= 32) err(s, "groups nested too deeply (a group uses itself?)");
    Context c = ctx;
    ++c.depth;
    if (s.args.size() == 3) {
      c.ox += num(s.args[1], ctx, s.line);
      c.oy += num(s.args[2], ctx, s.line);
    }
    ops(it->second->body, c, out);
  }

  DrawOp op(const Stmt& s, const Context& ctx) {
    noBody(s);
    DrawOp d;
    d.line = s.line;
    const std::string& w = s.word;
    size_t textArg = 99;
    if (w == "rect") {
      d.kind = DrawOp::kRect;
      need(s, 4, 4);
    } else if (w == "circle") {
      d.kind = DrawOp::kCircle;
      need(s, 3, 3);
    } else if (w == "ellipse") {
      d.kind = DrawOp::kEllipse;
      need(s, 4, 4);
    } else if (w == "arc") {
      d.kind = DrawOp::kArc;
      need(s, 5, 5);
    } else if (w == "line" || w == "poly") {
      d.kind = w == "line" ? DrawOp::kLine : DrawOp::kPoly;
      size_t least = w == "line" ? 4 : 6;
      if (s.args.size() < least || s.args.size() % 2 != 0)
        err(s, "'" + w + "' takes at least " + std::to_string(least / 2) + " x y pairs");
    } else if (w == "text") {
      d.kind = DrawOp::kText;
      need(s, 3, 3);
      textArg = 2;
      if (s.args[2].size() < 2 || s.args[2][0] != '"') err(s, "text <x> <y> \"string\"");
      d.text = interpolate(s.args[2], ctx, s.line);
    } else {
      err(s, "unknown operation '" + w + "'");
    }
    for (size_t i = 0; i < s.args.size(); ++i)
      if (i != textArg) d.nums.push_back(num(s.args[i], ctx, s.line));
    // Translate the points of the op by the `use` offset.
    auto shift = [&](size_t i) {
      d.nums[i] += ctx.ox;
      d.nums[i + 1] += ctx.oy;
    };
    if (d.kind == DrawOp::kLine || d.kind == DrawOp::kPoly) {
      for (size_t i = 0; i + 1 < d.nums.size(); i += 2) shift(i);
    } else {
      shift(0);
    }
    static const std::set<std::string> common = {"fill", "stroke", "width", "cap", "join"};
    for (const auto& [key, value] : s.options) {
      int line = s.line;
      if (key == "fill") {
        d.fill = paint(value, ctx, line);
      } else if (key == "stroke") {
        d.stroke = paint(value, ctx, line);
      } else if (key == "width") {
        d.width = num(value, ctx, line);
        if (d.width <= 0) err(s, "stroke width must be positive");
      } else if (key == "cap") {
        d.cap = choose(s, value, {"butt", "round", "square"});
      } else if (key == "join") {
        d.join = choose(s, value, {"miter", "round", "bevel"});
      } else if (key == "r" && d.kind == DrawOp::kRect) {
        d.radius = num(value, ctx, line);
      } else if (d.kind == DrawOp::kText && key == "size") {
        d.size = num(value, ctx, line);
        if (d.size <= 0 || d.size > 500) err(s, "text size out of range");
      } else if (d.kind == DrawOp::kText && key == "font") {
        choose(s, value, {"sans", "bold", "mono", "mono-bold", "serif", "serif-bold"});
        d.font = value;
      } else if (d.kind == DrawOp::kText && key == "align") {
        d.align = choose(s, value, {"left", "centre", "right"});
      } else if (d.kind == DrawOp::kText && key == "valign") {
        d.valign = choose(s, value, {"top", "middle", "baseline", "bottom"});
      } else {
        err(s, "'" + w + "' takes no option '" + key + "'");
      }
    }
    if (d.fill.kind == Paint::kNone && d.stroke.kind == Paint::kNone)
      err(s, "'" + w + "' needs fill= or stroke=");
    if (d.kind == DrawOp::kLine && d.fill.kind != Paint::kNone) err(s, "a line is only stroked");
    return d;
  }

  int choose(const Stmt& s, const std::string& v, std::initializer_list<const char*> names) const {
    int i = 0;
    std::string all;
    for (const char* n : names) {
      if (v == n) return i;
      all += (i ? ", " : "") + std::string(n);
      ++i;
    }
    err(s, "'" + v + "' is not one of " + all);
  }

  void anim(const Stmt& s, const Context& outer) {
    need(s, 1, 1);
    noOptions(s);
    Context ctx = outer;
    AnimDef a;
    a.line = s.line;
    a.index = integer(s.args[0], ctx, s.line, "an animation index");
    if (a.index < 0 || a.index > 65534) err(s, "animation index out of range");
    if (!animIndices_.insert(a.index).second) err(s, "animation " + std::to_string(a.index) + " defined twice");
    animFrames(s.body, ctx, a.frames);
    if (a.frames.empty()) err(s, "animation " + std::to_string(a.index) + " has no frames");
    if (a.frames.size() > 255) err(s, "an animation holds at most 255 frames");
    for (size_t i = 0; i + 1 < a.frames.size(); ++i)
      if (a.frames[i].time == 0) err(a.frames[i].line, "'hold' is only allowed on the last frame of an animation");
    sheet_.anims.push_back(std::move(a));
  }

  void animFrames(const std::vector<Stmt>& list, Context& ctx, std::vector<AnimFrameDef>& out) {
    for (const Stmt& s : list) {
      if (s.word == "let") {
        let(s, ctx);
        continue;
      }
      if (s.word == "repeat") {
        repeat(s, ctx, [&](Context& c) { animFrames(s.body, c, out); });
        continue;
      }
      noBody(s);
      noOptions(s);
      if (s.args.empty() || s.args.size() > 4) err(s, "animation frame: <frame> <time> [<dx> <dy> [<flags>]]");
      AnimFrameDef f;
      f.line = s.line;
      f.frame = integer(s.word, ctx, s.line, "a frame index");
      if (s.args[0] == "hold") {
        f.time = 0;
      } else {
        f.time = integer(s.args[0], ctx, s.line, "a frame time");
        if (f.time < 1 || f.time > 255) err(s, "frame time must be 1-255 ticks (or 'hold' on the last frame)");
      }
      if (f.frame < 0 || f.frame > 255) err(s, "animations reach frames 0-255 only (got " + std::to_string(f.frame) + ")");
      if (s.args.size() >= 3) {
        f.dx = integer(s.args[1], ctx, s.line, "an offset");
        f.dy = integer(s.args[2], ctx, s.line, "an offset");
        if (f.dx < -128 || f.dx > 127 || f.dy < -128 || f.dy > 127) err(s, "animation offsets are -128..127");
      } else if (s.args.size() == 2) {
        err(s, "give both offsets");
      }
      if (s.args.size() == 4) {
        f.flags = integer(s.args[3], ctx, s.line, "flags");
        if (f.flags < 0 || f.flags > 15) err(s, "animation frame flags are 0-15");
      }
      out.push_back(f);
    }
  }

  const Recipe& r_;
  Sheet& sheet_;
  std::map<std::string, const Stmt*> groups_;
  std::set<int> frameIndices_, animIndices_;
};

}  // namespace

uint32_t parseColourLiteral(const std::string& t, bool* ok) {
  *ok = false;
  if (t.size() != 7 && t.size() != 9) return 0;
  if (t[0] != '#') return 0;
  uint32_t v = 0;
  for (size_t i = 1; i < t.size(); ++i) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(t[i])));
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) return 0;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  *ok = true;
  // #RRGGBB is opaque; #RRGGBBAA carries its alpha last.
  return t.size() == 7 ? 0xFF000000u | v : (v >> 8) | (v & 0xFF) << 24;
}

double evalExpression(const std::string& text, const std::map<std::string, double>& vars, const std::string& file,
                      int line) {
  return ExprParser(text, vars, file, line).parse();
}

Recipe parseRecipe(const std::string& text, const std::string& file) {
  Recipe r;
  r.file = file;
  std::vector<std::vector<Stmt>*> stack = {&r.statements};
  std::vector<int> openLines;
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    std::vector<std::string> toks = tokenize(line, file, lineNo);
    if (toks.empty()) continue;
    if (toks[0] == "end") {
      if (toks.size() != 1) throw ArtError(file, lineNo, "'end' stands alone");
      if (stack.size() == 1) throw ArtError(file, lineNo, "'end' without a block");
      stack.pop_back();
      openLines.pop_back();
      continue;
    }
    Stmt s;
    s.line = lineNo;
    s.word = toks[0];
    for (size_t i = 1; i < toks.size(); ++i) {
      size_t eq = optionSplit(toks[i]);
      if (eq == std::string::npos) {
        s.args.push_back(toks[i]);
      } else {
        std::string key = toks[i].substr(0, eq);
        if (!s.options.emplace(key, toks[i].substr(eq + 1)).second)
          throw ArtError(file, lineNo, "option '" + key + "' given twice");
      }
    }
    stack.back()->push_back(std::move(s));
    Stmt& added = stack.back()->back();
    if (opensBlock(added)) {
      stack.push_back(&added.body);
      openLines.push_back(lineNo);
    }
  }
  if (stack.size() > 1) throw ArtError(file, openLines.back(), "block not closed with 'end'");
  return r;
}

Recipe loadRecipe(const std::string& path) { return parseRecipe(readTextFile(path), path); }

std::string readTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ArtError(path, 0, "cannot read the file");
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::pair<int, std::vector<std::string>>> listLines(const std::string& text) {
  std::vector<std::pair<int, std::vector<std::string>>> out;
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string t; words >> t;) w.push_back(t);
    if (!w.empty()) out.emplace_back(lineNo, std::move(w));
  }
  return out;
}

int wholeNumber(const std::string& s, const std::string& file, int line, const std::string& what, int max) {
  size_t used = 0;
  long v = -1;
  try {
    v = std::stol(s, &used);
  } catch (...) {
    used = 0;
  }
  if (s.empty() || used != s.size() || v < 0 || v > max) throw ArtError(file, line, "bad " + what + " '" + s + "'");
  return static_cast<int>(v);
}

uint32_t Sheet::resolve(const ColourRef& c, int palette) const {
  if (palette <= 0 || palette > static_cast<int>(variants.size())) return c.argb;
  const Variant& v = variants[static_cast<size_t>(palette - 1)];
  if (!c.name.empty()) {
    auto it = v.byName.find(c.name);
    if (it != v.byName.end()) return it->second;
  }
  auto it = v.byColour.find(c.argb);
  return it != v.byColour.end() ? it->second : c.argb;
}

Sheet expandRecipe(const Recipe& recipe, const std::map<std::string, double>& defines) {
  Sheet sheet;
  sheet.file = recipe.file;
  Expander(recipe, sheet).run(defines);
  return sheet;
}

}  // namespace art
