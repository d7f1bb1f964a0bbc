// mktextures RECIPES CLOTH OUTDIR: draws the textures of the ball view with
// cairo, reduces each to 256 colours and writes it as a colour-mapped Targa
// file, OUTDIR/texture<id>.tga (the pack's manifest names them).
//
// Recipe lines: "id kind size #rrggbb [#rrggbb]"; kinds: ball (one colour),
// stripe (white with a band of the colour), cloth, wood, pocket. CLOTH is
// the list of the tables' cloth colours, "table #rrggbb" (tables 0 to 8):
// table T's cloth is texture 20 + T, a 64 x 64 tile.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tools/image/ImageWriter.h"
#include "tools/pack/PackWriter.h"

namespace {

struct Rgb {
  double r, g, b;
};

Rgb parseColour(const std::string& s) {
  const unsigned v = static_cast<unsigned>(std::stoul(s.substr(1), nullptr, 16));
  return {((v >> 16) & 255) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0};
}

// Rows run from the top of the picture (latitude +90) to the bottom (-90):
// light from above, a soft highlight and a darker underside.
void shadeSphere(cairo_t* cr, int size) {
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, size);
  cairo_pattern_add_color_stop_rgba(shade, 0.0, 1, 1, 1, 0.55);
  cairo_pattern_add_color_stop_rgba(shade, 0.18, 1, 1, 1, 0.25);
  cairo_pattern_add_color_stop_rgba(shade, 0.45, 1, 1, 1, 0.0);
  cairo_pattern_add_color_stop_rgba(shade, 0.55, 0, 0, 0, 0.0);
  cairo_pattern_add_color_stop_rgba(shade, 1.0, 0, 0, 0, 0.6);
  cairo_set_source(cr, shade);
  cairo_paint(cr);
  cairo_pattern_destroy(shade);
}

void drawBall(cairo_t* cr, int size, Rgb c, bool stripe) {
  if (stripe) {
    cairo_set_source_rgb(cr, 0.96, 0.95, 0.90);
    cairo_paint(cr);
    // |latitude| < 30 degrees: the middle third of the rows.
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_rectangle(cr, 0, size / 3.0, size, size / 3.0);
    cairo_fill(cr);
  } else {
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_paint(cr);
  }
  shadeSphere(cr, size);
}

void drawCloth(cairo_t* cr, int size, Rgb c, std::mt19937& rng) {
  cairo_set_source_rgb(cr, c.r, c.g, c.b);
  cairo_paint(cr);
  std::uniform_real_distribution<double> amount(-0.06, 0.06);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double a = amount(rng);
      cairo_set_source_rgba(cr, a > 0 ? 1 : 0, a > 0 ? 1 : 0, a > 0 ? 1 : 0, std::fabs(a));
      cairo_rectangle(cr, x, y, 1, 1);
      cairo_fill(cr);
    }
}

void drawWood(cairo_t* cr, int size, Rgb c, std::mt19937& rng) {
  cairo_set_source_rgb(cr, c.r, c.g, c.b);
  cairo_paint(cr);
  std::uniform_real_distribution<double> unit(0, 1);
  cairo_set_line_width(cr, 1.0);
  for (int i = 0; i < size / 2; ++i) {
    const double y0 = unit(rng) * size, phase = unit(rng) * 6.28, depth = 0.5 + unit(rng) * 1.5;
    cairo_move_to(cr, 0, y0);
    for (int x = 1; x <= size; ++x) cairo_line_to(cr, x, y0 + depth * std::sin(x * 6.28 / size * 2 + phase));
    const bool dark = unit(rng) < 0.7;
    cairo_set_source_rgba(cr, dark ? 0.15 : 1, dark ? 0.07 : 0.9, dark ? 0.02 : 0.7, 0.08 + unit(rng) * 0.12);
    cairo_stroke(cr);
  }
}

void drawPocket(cairo_t* cr, int size, Rgb c) {
  cairo_pattern_t* p = cairo_pattern_create_radial(size / 2.0, size / 2.0, 0, size / 2.0, size / 2.0, size * 0.7);
  cairo_pattern_add_color_stop_rgb(p, 0, c.r * 0.4, c.g * 0.4, c.b * 0.4);
  cairo_pattern_add_color_stop_rgb(p, 1, c.r, c.g, c.b);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

// Median cut down to at most 256 colours; returns the palette and fills the
// index of every pixel.
std::vector<uint32_t> quantise(const std::vector<uint32_t>& pixels, std::vector<uint8_t>& indices) {
  std::map<uint32_t, int> counts;
  for (uint32_t p : pixels) counts[p & 0xFFFFFF] += 1;
  std::vector<std::vector<uint32_t>> boxes(1);
  for (const auto& [colour, n] : counts) boxes[0].push_back(colour);
  auto channel = [](uint32_t c, int k) { return static_cast<int>((c >> (16 - 8 * k)) & 255); };
  while (boxes.size() < 256) {
    // Split the box with the widest channel range.
    int best = -1, bestRange = 0, bestChannel = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].size() < 2) continue;
      for (int k = 0; k < 3; ++k) {
        int lo = 255, hi = 0;
        for (uint32_t c : boxes[i]) {
          lo = std::min(lo, channel(c, k));
          hi = std::max(hi, channel(c, k));
        }
        if (hi - lo > bestRange) {
          bestRange = hi - lo;
          best = static_cast<int>(i);
          bestChannel = k;
        }
      }
    }
    if (best < 0) break;
    std::vector<uint32_t>& box = boxes[static_cast<size_t>(best)];
    std::sort(box.begin(), box.end(),
              [&](uint32_t a, uint32_t b) { return channel(a, bestChannel) < channel(b, bestChannel); });
    std::vector<uint32_t> upper(box.begin() + static_cast<std::ptrdiff_t>(box.size() / 2), box.end());
    box.resize(box.size() / 2);
    boxes.push_back(std::move(upper));
  }
  std::vector<uint32_t> palette;
  std::map<uint32_t, uint8_t> lookup;
  for (const auto& box : boxes) {
    long sum[3] = {0, 0, 0}, total = 0;
    for (uint32_t c : box) {
      const int n = counts[c];
      for (int k = 0; k < 3; ++k) sum[k] += long{channel(c, k)} * n;
      total += n;
    }
    uint32_t mean = 0;
    for (int k = 0; k < 3; ++k) mean = mean << 8 | static_cast<uint32_t>((sum[k] + total / 2) / total);
    if (mean == 0xFF00FF) mean = 0xFE00FF;  // never the transparent key
    for (uint32_t c : box) lookup[c] = static_cast<uint8_t>(palette.size());
    palette.push_back(mean);
  }
  indices.resize(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) indices[i] = lookup[pixels[i] & 0xFFFFFF];
  return palette;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: mktextures RECIPES CLOTH OUTDIR\n");
    return 2;
  }
  std::ifstream recipes(argv[1]), cloth(argv[2]);
  if (!recipes || !cloth) {
    std::fprintf(stderr, "mktextures: cannot read %s or %s\n", argv[1], argv[2]);
    return 1;
  }
  // The cloth list becomes recipe lines after the others.
  std::stringstream in;
  in << recipes.rdbuf() << "\n";
  std::string clothLine;
  while (std::getline(cloth, clothLine)) {
    std::istringstream words(clothLine);
    int table = -1;
    std::string colour;
    if (!(words >> table)) continue;  // blank or a comment
    if (!(words >> colour) || table < 0 || table > 8) {
      std::fprintf(stderr, "mktextures: %s: expected \"table #rrggbb\", tables 0 to 8\n", argv[2]);
      return 1;
    }
    in << 20 + table << " cloth 64 " << colour << "\n";
  }
  const std::string out = argv[3];
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line[0] == '#') continue;
    std::istringstream words(line);
    int id = -1, size = 0;
    std::string kind, colour, second;
    if (!(words >> id)) continue;
    if (!(words >> kind >> size >> colour) || colour.size() != 7 || colour[0] != '#' || (size != 32 && size != 64 &&
                                                                                          size != 128 && size != 256)) {
      std::fprintf(stderr, "mktextures: %s:%d: expected \"id kind size #rrggbb\"\n", argv[1], lineNo);
      return 1;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size, size);
    cairo_t* cr = cairo_create(surface);
    std::mt19937 rng(static_cast<unsigned>(id) * 7919u + 1);
    const Rgb c = parseColour(colour);
    if (kind == "ball" || kind == "stripe") {
      drawBall(cr, size, c, kind == "stripe");
    } else if (kind == "cloth") {
      drawCloth(cr, size, c, rng);
    } else if (kind == "wood") {
      drawWood(cr, size, c, rng);
    } else if (kind == "pocket") {
      drawPocket(cr, size, c);
    } else {
      std::fprintf(stderr, "mktextures: %s:%d: unknown kind %s\n", argv[1], lineNo, kind.c_str());
      return 1;
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * size);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        pixels[static_cast<size_t>(y) * size + x] = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
    cairo_surface_destroy(surface);
    std::vector<uint8_t> indices;
    const std::vector<uint32_t> palette = quantise(pixels, indices);
    const std::string name = "texture" + std::to_string(id) + ".tga";
    if (!respack::writeFile(out + "/" + name, kvtools::writeTarga(size, size, palette, indices))) {
      std::fprintf(stderr, "mktextures: cannot write %s/%s\n", out.c_str(), name.c_str());
      return 1;
    }
  }
  return 0;
}
