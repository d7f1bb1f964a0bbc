#include "tools/art/ArtBank.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <unordered_map>

namespace art {

namespace {

// ---- fonts ----

const char* fontFile(const std::string& name) {
  if (name == "bold") return "DejaVuSans-Bold.ttf";
  if (name == "mono") return "DejaVuSansMono.ttf";
  if (name == "mono-bold") return "DejaVuSansMono-Bold.ttf";
  if (name == "serif") return "DejaVuSerif.ttf";
  if (name == "serif-bold") return "DejaVuSerif-Bold.ttf";
  return "DejaVuSans.ttf";
}

cairo_user_data_key_t kFaceKey;

void doneFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }

// Faces live as long as the process; cairo keeps its own references.
cairo_font_face_t* fontFace(const std::string& dir, const std::string& name, const std::string& file, int line) {
  static FT_Library lib = nullptr;
  static std::map<std::string, cairo_font_face_t*> faces;
  std::string path = dir + "/" + fontFile(name);
  auto it = faces.find(path);
  if (it != faces.end()) return it->second;
  if (!lib && FT_Init_FreeType(&lib) != 0) throw ArtError(file, line, "cannot start FreeType");
  FT_Face face = nullptr;
  if (FT_New_Face(lib, path.c_str(), 0, &face) != 0) throw ArtError(file, line, "cannot open the font " + path);
  cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(face, 0);
  cairo_font_face_set_user_data(cf, &kFaceKey, face, doneFace);
  faces[path] = cf;
  return cf;
}

// ---- drawing ----

void setSource(cairo_t* cr, const Sheet& sheet, const Paint& p, int palette) {
  auto rgba = [&](const ColourRef& c, double* v) {
    uint32_t argb = sheet.resolve(c, palette);
    v[0] = ((argb >> 16) & 0xFF) / 255.0;
    v[1] = ((argb >> 8) & 0xFF) / 255.0;
    v[2] = (argb & 0xFF) / 255.0;
    v[3] = (argb >> 24) / 255.0;
  };
  double c[4];
  if (p.kind == Paint::kSolid) {
    rgba(p.stops[0].colour, c);
    cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3]);
    return;
  }
  cairo_pattern_t* pat = p.kind == Paint::kLinear
                             ? cairo_pattern_create_linear(p.geom[0], p.geom[1], p.geom[2], p.geom[3])
                             : cairo_pattern_create_radial(p.geom[0], p.geom[1], p.geom[2], p.geom[0], p.geom[1], p.geom[3]);
  for (const Stop& s : p.stops) {
    rgba(s.colour, c);
    cairo_pattern_add_color_stop_rgba(pat, s.offset, c[0], c[1], c[2], c[3]);
  }
  cairo_set_source(cr, pat);
  cairo_pattern_destroy(pat);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min(r, std::min(w, h) / 2);
  if (r <= 0) {
    cairo_rectangle(cr, x, y, w, h);
    return;
  }
  constexpr double kHalfPi = 1.57079632679489661923;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kHalfPi, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kHalfPi);
  cairo_arc(cr, x + r, y + h - r, r, kHalfPi, 2 * kHalfPi);
  cairo_arc(cr, x + r, y + r, r, 2 * kHalfPi, 3 * kHalfPi);
  cairo_close_path(cr);
}

void strokeStyle(cairo_t* cr, const DrawOp& op) {
  static const cairo_line_cap_t caps[] = {CAIRO_LINE_CAP_BUTT, CAIRO_LINE_CAP_ROUND, CAIRO_LINE_CAP_SQUARE};
  static const cairo_line_join_t joins[] = {CAIRO_LINE_JOIN_MITER, CAIRO_LINE_JOIN_ROUND, CAIRO_LINE_JOIN_BEVEL};
  cairo_set_line_width(cr, op.width);
  cairo_set_line_cap(cr, caps[op.cap]);
  cairo_set_line_join(cr, joins[op.join]);
}

void drawText(cairo_t* cr, const Sheet& sheet, const DrawOp& op, int palette, const RenderOptions& o) {
  cairo_set_font_face(cr, fontFace(o.fontDir, op.font, sheet.file, op.line));
  cairo_set_font_size(cr, op.size);
  cairo_font_options_t* fo = cairo_font_options_create();
  cairo_font_options_set_antialias(fo, sheet.antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(cr, fo);
  cairo_font_options_destroy(fo);
  cairo_font_extents_t fe;
  cairo_text_extents_t te;
  cairo_font_extents(cr, &fe);
  cairo_text_extents(cr, op.text.c_str(), &te);
  double x = op.nums[0], y = op.nums[1];
  if (op.align == 1) x -= te.x_advance / 2;
  if (op.align == 2) x -= te.x_advance;
  if (op.valign == 0) y += fe.ascent;
  if (op.valign == 1) y += (fe.ascent - fe.descent) / 2;
  if (op.valign == 3) y -= fe.descent;
  x = std::round(x);
  y = std::round(y);
  if (op.stroke.kind != Paint::kNone) {
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, op.text.c_str());
    setSource(cr, sheet, op.stroke, palette);
    strokeStyle(cr, op);
    cairo_stroke(cr);
  }
  if (op.fill.kind != Paint::kNone) {
    cairo_move_to(cr, x, y);
    setSource(cr, sheet, op.fill, palette);
    cairo_show_text(cr, op.text.c_str());
  }
  cairo_new_path(cr);
}

void drawOp(cairo_t* cr, const Sheet& sheet, const DrawOp& op, int palette, const RenderOptions& o) {
  if (op.kind == DrawOp::kText) {
    drawText(cr, sheet, op, palette, o);
    return;
  }
  const std::vector<double>& n = op.nums;
  constexpr double kDeg = 3.14159265358979323846 / 180.0;
  switch (op.kind) {
    case DrawOp::kRect:
      roundedRect(cr, n[0], n[1], n[2], n[3], op.radius);
      break;
    case DrawOp::kCircle:
      cairo_new_sub_path(cr);
      cairo_arc(cr, n[0], n[1], n[2], 0, 360 * kDeg);
      break;
    case DrawOp::kEllipse:
      cairo_save(cr);
      cairo_translate(cr, n[0], n[1]);
      cairo_scale(cr, n[2] > 0 ? n[2] : 1e-6, n[3] > 0 ? n[3] : 1e-6);
      cairo_new_sub_path(cr);
      cairo_arc(cr, 0, 0, 1, 0, 360 * kDeg);
      cairo_restore(cr);
      break;
    case DrawOp::kArc:
      cairo_new_sub_path(cr);
      cairo_arc(cr, n[0], n[1], n[2], n[3] * kDeg, n[4] * kDeg);
      break;
    case DrawOp::kLine:
    case DrawOp::kPoly:
      cairo_move_to(cr, n[0], n[1]);
      for (size_t i = 2; i + 1 < n.size(); i += 2) cairo_line_to(cr, n[i], n[i + 1]);
      if (op.kind == DrawOp::kPoly) cairo_close_path(cr);
      break;
    case DrawOp::kText:
      break;
  }
  if (op.fill.kind != Paint::kNone) {
    setSource(cr, sheet, op.fill, palette);
    cairo_fill_preserve(cr);
  }
  if (op.stroke.kind != Paint::kNone) {
    setSource(cr, sheet, op.stroke, palette);
    strokeStyle(cr, op);
    cairo_stroke_preserve(cr);
  }
  cairo_new_path(cr);
}

// ---- quantisation ----

struct TupleHash {
  size_t operator()(const std::vector<uint32_t>& v) const {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t x : v) h = (h ^ x) * 1099511628211ull;
    return static_cast<size_t>(h);
  }
};

int channel(const std::vector<uint32_t>& t, int c) {
  return static_cast<int>((t[static_cast<size_t>(c / 4)] >> (24 - 8 * (c % 4))) & 0xFF);
}

uint16_t to565(uint32_t c) {
  return static_cast<uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c & 0xFF) >> 3));
}

// A visible colour must not turn into the 16-bit colour key of the caches.
uint32_t avoidKey(uint32_t c) {
  if ((c >> 24) == 0) return kTransparent;
  if (to565(c) == 0xF81F) c = (c & 0xFFFF00FFu) | 0x0400u;
  return c;
}

}  // namespace

Picture renderFrame(const Sheet& sheet, const FrameDef& frame, int palette, const RenderOptions& options) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, frame.width, frame.height);
  cairo_t* cr = cairo_create(s);
  cairo_set_antialias(cr, sheet.antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  try {
    for (const DrawOp& op : frame.ops) drawOp(cr, sheet, op, palette, options);
  } catch (...) {
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    throw;
  }
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_flush(s);
  Picture pic;
  pic.width = frame.width;
  pic.height = frame.height;
  pic.argb.resize(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height));
  const unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < frame.height && data; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
    for (int x = 0; x < frame.width; ++x) {
      uint32_t p = row[x], a = p >> 24;
      uint32_t out = 0;
      if (a != 0) {
        auto un = [&](uint32_t v) { return std::min<uint32_t>(255, (v * 255 + a / 2) / a); };
        out = a << 24 | un((p >> 16) & 0xFF) << 16 | un((p >> 8) & 0xFF) << 8 | un(p & 0xFF);
      }
      pic.argb[static_cast<size_t>(y) * static_cast<size_t>(frame.width) + static_cast<size_t>(x)] = out;
    }
  }
  cairo_surface_destroy(s);
  if (status != CAIRO_STATUS_SUCCESS)
    throw ArtError(sheet.file, frame.line, std::string("cairo: ") + cairo_status_to_string(status));
  return pic;
}

Quantised quantise(const std::vector<std::vector<Picture>>& pictures, const std::vector<uint32_t>& keep) {
  const size_t P = pictures.size();
  const size_t F = P ? pictures[0].size() : 0;
  std::unordered_map<std::vector<uint32_t>, int, TupleHash> ids;
  std::vector<std::vector<uint32_t>> tuples;
  std::vector<uint64_t> counts;
  std::vector<std::vector<int>> pixelIds(F);
  bool anyTransparent = false;
  std::vector<uint32_t> t(P);
  for (size_t f = 0; f < F; ++f) {
    size_t n = pictures[0][f].argb.size();
    pixelIds[f].resize(n);
    for (size_t i = 0; i < n; ++i) {
      bool visible = false;
      for (size_t p = 0; p < P; ++p) {
        uint32_t c = pictures[p][f].argb[i];
        t[p] = (c >> 24) ? c : 0;
        visible = visible || (c >> 24) != 0;
      }
      if (!visible) {
        anyTransparent = true;
        pixelIds[f][i] = -1;
        continue;
      }
      auto [it, added] = ids.emplace(t, static_cast<int>(tuples.size()));
      if (added) {
        tuples.push_back(t);
        counts.push_back(0);
      }
      ++counts[static_cast<size_t>(it->second)];
      pixelIds[f][i] = it->second;
    }
  }
  const int base = anyTransparent || tuples.empty() ? 1 : 0;
  const size_t capacity = static_cast<size_t>(256 - base);
  std::vector<int> entryOf(tuples.size());
  std::vector<std::vector<uint32_t>> entries;  // per index, one colour per palette
  if (tuples.size() <= capacity) {
    std::vector<int> order(tuples.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return tuples[static_cast<size_t>(a)] < tuples[static_cast<size_t>(b)]; });
    for (size_t r = 0; r < order.size(); ++r) {
      entryOf[static_cast<size_t>(order[r])] = static_cast<int>(r);
      entries.push_back(tuples[static_cast<size_t>(order[r])]);
    }
  } else {
    // Median cut; boxes start split by which palettes see the pixel, so that
    // visibility survives in every palette.
    std::map<std::vector<bool>, std::vector<int>> bySignature;
    std::vector<std::vector<int>> kept;
    for (size_t i = 0; i < tuples.size(); ++i) {
      if (std::find(keep.begin(), keep.end(), tuples[i][0]) != keep.end()) {
        kept.push_back({static_cast<int>(i)});
        continue;
      }
      std::vector<bool> sig(P);
      for (size_t p = 0; p < P; ++p) sig[p] = (tuples[i][p] >> 24) != 0;
      bySignature[sig].push_back(static_cast<int>(i));
    }
    if (bySignature.size() + kept.size() > capacity)
      throw std::length_error("the palettes show and hide pixels in more than 256 different ways");
    // A kept colour is a box of one tuple: it never splits or merges.
    std::vector<std::vector<int>> boxes = kept;
    for (auto& [sig, members] : bySignature) boxes.push_back(std::move(members));
    const int channels = static_cast<int>(P) * 4;
    // Widest channel of each box (spread, channel); boxes of one tuple cannot split.
    auto widest = [&](const std::vector<int>& box) {
      std::pair<int, int> best = {0, 0};
      if (box.size() < 2) return best;
      for (int c = 0; c < channels; ++c) {
        int lo = 255, hi = 0;
        for (int id : box) {
          int v = channel(tuples[static_cast<size_t>(id)], c);
          lo = std::min(lo, v);
          hi = std::max(hi, v);
        }
        if (hi - lo > best.first) best = {hi - lo, c};
      }
      return best;
    };
    std::vector<std::pair<int, int>> spread;
    for (const auto& box : boxes) spread.push_back(widest(box));
    while (boxes.size() < capacity) {
      int best = -1, bestSpread = 0;
      for (size_t b = 0; b < boxes.size(); ++b)
        if (spread[b].first > bestSpread) {
          bestSpread = spread[b].first;
          best = static_cast<int>(b);
        }
      if (best < 0) break;
      const int bestChannel = spread[static_cast<size_t>(best)].second;
      std::vector<int>& box = boxes[static_cast<size_t>(best)];
      std::sort(box.begin(), box.end(), [&](int a, int b) {
        int va = channel(tuples[static_cast<size_t>(a)], bestChannel), vb = channel(tuples[static_cast<size_t>(b)], bestChannel);
        return va != vb ? va < vb : tuples[static_cast<size_t>(a)] < tuples[static_cast<size_t>(b)];
      });
      uint64_t total = 0, acc = 0;
      for (int id : box) total += counts[static_cast<size_t>(id)];
      size_t cut = 1;
      for (size_t i = 0; i + 1 < box.size(); ++i) {
        acc += counts[static_cast<size_t>(box[i])];
        cut = i + 1;
        if (acc * 2 >= total) break;
      }
      std::vector<int> upper(box.begin() + static_cast<long>(cut), box.end());
      box.resize(cut);
      spread[static_cast<size_t>(best)] = widest(box);
      spread.push_back(widest(upper));
      boxes.push_back(std::move(upper));
    }
    for (size_t b = 0; b < boxes.size(); ++b) {
      std::vector<uint32_t> mean(P);
      for (size_t p = 0; p < P; ++p) {
        uint64_t sum[4] = {}, weight = 0;
        for (int id : boxes[b]) {
          uint32_t c = tuples[static_cast<size_t>(id)][p];
          uint64_t w = counts[static_cast<size_t>(id)];
          for (int k = 0; k < 4; ++k) sum[k] += ((c >> (24 - 8 * k)) & 0xFF) * w;
          weight += w;
        }
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k) v = v << 8 | static_cast<uint32_t>((sum[k] + weight / 2) / weight);
        mean[p] = v;
      }
      for (int id : boxes[b]) entryOf[static_cast<size_t>(id)] = static_cast<int>(b);
      entries.push_back(mean);
    }
  }
  Quantised q;
  q.indexZeroTransparent = base == 1;
  q.palettes.assign(P, {});
  for (size_t p = 0; p < P; ++p) {
    if (base) q.palettes[p].push_back(kTransparent);
    for (const auto& e : entries) q.palettes[p].push_back(avoidKey(e[p]));
  }
  q.indices.resize(F);
  for (size_t f = 0; f < F; ++f) {
    q.indices[f].resize(pixelIds[f].size());
    for (size_t i = 0; i < pixelIds[f].size(); ++i) {
      int id = pixelIds[f][i];
      q.indices[f][i] = static_cast<uint8_t>(id < 0 ? 0 : base + entryOf[static_cast<size_t>(id)]);
    }
  }
  return q;
}

namespace {

// Indices of every palette for a fixed palette; throws on a colour that is
// not in it.
Quantised fixedPalette(const Sheet& sheet, const std::vector<const FrameDef*>& defs, const std::vector<Picture>& pics) {
  Quantised q;
  std::vector<uint32_t> p0 = {kTransparent};
  std::map<uint32_t, int> index;
  for (uint32_t c : sheet.fixedColours) {
    if (!index.count(c)) index[c] = static_cast<int>(p0.size());
    p0.push_back(c);
  }
  for (size_t f = 0; f < pics.size(); ++f) {
    std::vector<uint8_t> idx(pics[f].argb.size());
    for (size_t i = 0; i < idx.size(); ++i) {
      uint32_t c = pics[f].argb[i];
      if ((c >> 24) == 0) continue;
      auto it = index.find(c);
      if (it == index.end()) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "#%06X%02X", c & 0xFFFFFF, c >> 24);
        throw ArtError(sheet.file, defs[f]->line,
                       std::string("colour ") + buf + " at (" + std::to_string(i % static_cast<size_t>(pics[f].width)) +
                           ", " + std::to_string(i / static_cast<size_t>(pics[f].width)) +
                           ") is not in the fixed palette (line " + std::to_string(sheet.paletteLine) + ")");
      }
      idx[i] = static_cast<uint8_t>(it->second);
    }
    q.indices.push_back(std::move(idx));
  }
  for (size_t p = 0; p <= sheet.variants.size(); ++p) {
    std::vector<uint32_t> pal = {kTransparent};
    for (uint32_t c : sheet.fixedColours) {
      ColourRef ref{"", c};
      for (const auto& [name, value] : sheet.colours)
        if (value == c && p > 0 && sheet.variants[p - 1].byName.count(name)) ref.name = name;
      pal.push_back(avoidKey(sheet.resolve(ref, static_cast<int>(p))));
    }
    q.palettes.push_back(pal);
  }
  return q;
}

}  // namespace

BuiltBank buildBank(const Sheet& sheet, const RenderOptions& options) {
  const int P = 1 + static_cast<int>(sheet.variants.size());
  if (P > kMaxPalettes)
    throw ArtError(sheet.file, sheet.variants[kMaxPalettes - 1].line,
                   "a bank holds at most " + std::to_string(kMaxPalettes) + " palettes");
  std::vector<const FrameDef*> defs;
  for (const FrameDef& f : sheet.frames) defs.push_back(&f);
  const int frameCount = defs.empty() ? 0 : defs.back()->index + 1;

  Quantised q;
  if (sheet.fixedPalette) {
    std::vector<Picture> pics;
    for (const FrameDef* f : defs) pics.push_back(renderFrame(sheet, *f, 0, options));
    if (!sheet.alpha)
      for (Picture& pic : pics)
        for (uint32_t& c : pic.argb) c = (c >> 24) >= 128 ? (c | 0xFF000000u) : 0;
    q = fixedPalette(sheet, defs, pics);
  } else {
    std::vector<std::vector<Picture>> pics(static_cast<size_t>(P));
    for (int p = 0; p < P; ++p)
      for (const FrameDef* f : defs) {
        Picture pic = renderFrame(sheet, *f, p, options);
        // Without the alpha flag the caches are keyed 16-bit images: a pixel is
        // drawn or not.
        if (!sheet.alpha)
          for (uint32_t& c : pic.argb) c = (c >> 24) >= 128 ? (c | 0xFF000000u) : 0;
        pics[static_cast<size_t>(p)].push_back(std::move(pic));
      }
    try {
      q = quantise(pics, sheet.keptColours);
    } catch (const std::length_error& e) {
      throw ArtError(sheet.file, sheet.variants.empty() ? 0 : sheet.variants[0].line, e.what());
    }
  }

  BuiltBank out;
  spritebank::Bank& bank = out.bank;
  bank.palettes = q.palettes;
  std::map<std::pair<std::pair<int, int>, std::vector<uint8_t>>, int> known;
  bank.frames.resize(static_cast<size_t>(frameCount));
  for (size_t d = 0; d < defs.size(); ++d) {
    const FrameDef& f = *defs[d];
    const std::vector<uint8_t>& idx = q.indices[d];
    int tw = f.width, th = f.height;
    if (tw * th > kMaxTilePixels) {
      tw = std::min(f.width, kStripWidth);
      th = std::max(1, kMaxTilePixels / tw);
    }
    spritebank::Frame& frame = bank.frames[static_cast<size_t>(f.index)];
    for (int ty = 0; ty < f.height; ty += th) {
      for (int tx = 0; tx < f.width; tx += tw) {
        int w = std::min(tw, f.width - tx), h = std::min(th, f.height - ty);
        std::vector<uint8_t> px(static_cast<size_t>(w) * static_cast<size_t>(h));
        bool any = false;
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) {
            uint8_t v = idx[static_cast<size_t>(ty + y) * static_cast<size_t>(f.width) + static_cast<size_t>(tx + x)];
            px[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = v;
            any = any || v != 0 || !q.indexZeroTransparent;
          }
        if (!any) continue;
        auto key = std::make_pair(std::make_pair(w, h), px);
        auto it = known.find(key);
        int m;
        if (it != known.end()) {
          m = it->second;
        } else {
          m = static_cast<int>(bank.modules.size());
          if (m >= kMaxModules)
            throw ArtError(sheet.file, f.line,
                           "frame " + std::to_string(f.index) + " needs module " + std::to_string(m + 1) +
                               "; a bank addresses at most " + std::to_string(kMaxModules) + " modules");
          known.emplace(key, m);
          std::vector<uint32_t> argb(px.size());
          for (size_t i = 0; i < px.size(); ++i) argb[i] = bank.palettes[0][px[i]];
          out.moduleArgb.push_back(std::move(argb));
          bank.modules.push_back(spritebank::Module::image(w, h, std::move(px)));
        }
        frame.modules.push_back({m, tx - f.hotspotX, ty - f.hotspotY, 0, 0});
      }
    }
  }
  int animCount = sheet.anims.empty() ? 0 : sheet.anims.back().index + 1;
  bank.anims.resize(static_cast<size_t>(animCount));
  for (const AnimDef& a : sheet.anims) {
    for (const AnimFrameDef& af : a.frames) {
      if (af.frame >= frameCount)
        throw ArtError(sheet.file, af.line,
                       "animation " + std::to_string(a.index) + " shows frame " + std::to_string(af.frame) +
                           ", which is not defined");
      bank.anims[static_cast<size_t>(a.index)].frames.push_back({af.frame, af.time, af.dx, af.dy, af.flags});
    }
  }
  for (size_t i = 0; i < bank.anims.size(); ++i)
    if (bank.anims[i].frames.empty())
      throw ArtError(sheet.file, sheet.anims.empty() ? 0 : sheet.anims.back().line,
                     "animation " + std::to_string(i) + " is missing (animations are numbered without gaps)");
  if (sheet.plainIndices) bank.encoding = spritebank::kEnc8Bit;
  bank.flags = bank.minimalFlags();
  std::string error;
  out.bytes = spritebank::writeBank(bank, &error);
  if (out.bytes.empty()) throw ArtError(sheet.file, 0, error);
  return out;
}

BuiltBank buildRecipeFile(const std::string& path, const RenderOptions& options,
                          const std::map<std::string, double>& defines) {
  return buildBank(expandRecipe(loadRecipe(path), defines), options);
}

int alphaIndex(int alpha) { return (alpha * 127 + 127) / 255; }

uint32_t alphaEntry(int index) {
  uint32_t v = static_cast<uint32_t>((index * 255 + 63) / 127);
  return 0xFF000000u | v << 16 | v << 8 | v;
}

BuiltBank buildAlphaSource(const BuiltBank& served) {
  BuiltBank out;
  spritebank::Bank& b = out.bank;
  const spritebank::Bank& s = served.bank;
  for (size_t m = 0; m < s.modules.size(); ++m) {
    const std::vector<uint32_t>& argb = served.moduleArgb[m];
    std::vector<uint8_t> px(argb.size());
    for (size_t i = 0; i < argb.size(); ++i) px[i] = static_cast<uint8_t>(alphaIndex(static_cast<int>(argb[i] >> 24)));
    b.modules.push_back(spritebank::Module::image(s.modules[m].width, s.modules[m].height, std::move(px)));
  }
  b.frames = s.frames;
  b.anims = s.anims;
  b.palettes.resize(1);
  for (int i = 0; i < 128; ++i) b.palettes[0].push_back(alphaEntry(i));
  b.encoding = spritebank::kEnc8Bit;
  b.flags = b.minimalFlags();
  std::string error;
  out.bytes = spritebank::writeBank(b, &error);
  if (out.bytes.empty()) throw ArtError("alpha source", 0, error);
  return out;
}

bool writeContactSheet(const spritebank::Bank& bank, int palette, const std::string& pngPath) {
  if (palette < 0 || palette >= static_cast<int>(bank.palettes.size())) return false;
  const std::vector<uint32_t>& pal = bank.palettes[static_cast<size_t>(palette)];
  struct Box {
    int x0, y0, x1, y1;
  };
  std::vector<Box> boxes;
  int sheetW = 4, rowH = 0, x = 4, y = 4;
  std::vector<std::pair<int, int>> at;
  for (const spritebank::Frame& f : bank.frames) {
    Box b{0, 0, 1, 1};
    bool first = true;
    for (const spritebank::FrameModule& fm : f.modules) {
      const spritebank::Module& m = bank.modules[static_cast<size_t>(fm.module)];
      Box mb{fm.x, fm.y, fm.x + m.width, fm.y + m.height};
      b = first ? mb : Box{std::min(b.x0, mb.x0), std::min(b.y0, mb.y0), std::max(b.x1, mb.x1), std::max(b.y1, mb.y1)};
      first = false;
    }
    int w = b.x1 - b.x0, h = b.y1 - b.y0;
    if (x + w + 4 > 484 && x > 4) {
      x = 4;
      y += rowH + 4;
      rowH = 0;
    }
    at.push_back({x, y});
    boxes.push_back(b);
    x += w + 4;
    rowH = std::max(rowH, h);
    sheetW = std::max(sheetW, x);
  }
  int sheetH = y + rowH + 4;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sheetW, sheetH);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  auto px = [&](int cx, int cy) -> uint32_t& {
    return reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(cy) * stride)[cx];
  };
  for (int py = 0; py < sheetH; ++py)
    for (int qx = 0; qx < sheetW; ++qx) px(qx, py) = ((qx / 4 + py / 4) & 1) ? 0xFF9E9E9E : 0xFF757575;
  for (size_t f = 0; f < bank.frames.size(); ++f) {
    for (const spritebank::FrameModule& fm : bank.frames[f].modules) {
      const spritebank::Module& m = bank.modules[static_cast<size_t>(fm.module)];
      for (int my = 0; my < m.height; ++my)
        for (int mx = 0; mx < m.width; ++mx) {
          uint8_t i = m.pixels[static_cast<size_t>(my) * static_cast<size_t>(m.width) + static_cast<size_t>(mx)];
          uint32_t c = i < pal.size() ? pal[i] : 0;
          uint32_t a = c >> 24;
          if (a == 0) continue;
          uint32_t& d = px(at[f].first + fm.x - boxes[f].x0 + mx, at[f].second + fm.y - boxes[f].y0 + my);
          auto mix = [&](int sh) {
            return ((((c >> sh) & 0xFF) * a + ((d >> sh) & 0xFF) * (255 - a) + 127) / 255) << sh;
          };
          d = 0xFF000000u | mix(16) | mix(8) | mix(0);
        }
    }
  }
  cairo_surface_mark_dirty(s);
  bool ok = cairo_surface_write_to_png(s, pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  return ok;
}

bool sameModuleShapes(const spritebank::Bank& a, const spritebank::Bank& b, std::string* why) {
  if (a.modules.size() != b.modules.size()) {
    if (why) *why = std::to_string(a.modules.size()) + " modules against " + std::to_string(b.modules.size());
    return false;
  }
  for (size_t m = 0; m < a.modules.size(); ++m)
    if (a.modules[m].width != b.modules[m].width || a.modules[m].height != b.modules[m].height) {
      if (why)
        *why = "module " + std::to_string(m) + " is " + std::to_string(a.modules[m].width) + "x" +
               std::to_string(a.modules[m].height) + " against " + std::to_string(b.modules[m].width) + "x" +
               std::to_string(b.modules[m].height);
      return false;
    }
  return true;
}

}  // namespace art
