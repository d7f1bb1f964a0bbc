#include "tools/art/Placeholder.h"

#include <sstream>

#include "tools/art/Recipe.h"

namespace art {

namespace {

// Box colours: one per archive, then one per extra palette.
const char* archiveColour(const std::string& archive) {
  static const std::pair<const char*, const char*> colours[] = {
      {"i.bar", "#455A64"},   {"menu.bar", "#00695C"}, {"chr.bar", "#6A1B9A"}, {"pub.bar", "#795548"},
      {"map.bar", "#2E7D32"}, {"loc.bar", "#1565C0"},  {"ig.bar", "#AD1457"}};
  for (const auto& [name, colour] : colours)
    if (archive == name) return colour;
  return "#37474F";
}

const char* const kVariantColours[] = {"#C62828", "#1565C0", "#2E7D32", "#F9A825", "#6A1B9A",
                                       "#00838F", "#EF6C00", "#4E342E", "#37474F", "#AD1457"};

}  // namespace

std::vector<PlaceholderSpec> parsePlaceholderSpecs(const std::string& text, const std::string& file) {
  std::vector<PlaceholderSpec> out;
  for (const auto& [lineNo, w] : listLines(text)) {
    if (w.size() < 2) throw ArtError(file, lineNo, "<archive> <entry> [frames=N] [anims=N] [palettes=N] [size=WxH] [alpha]");
    PlaceholderSpec counts;
    counts.archive = w[0];
    counts.line = lineNo;
    int first, last;
    size_t dash = w[1].find('-');
    if (dash == std::string::npos) {
      first = last = wholeNumber(w[1], file, lineNo, "entry");
    } else {
      first = wholeNumber(w[1].substr(0, dash), file, lineNo, "entry");
      last = wholeNumber(w[1].substr(dash + 1), file, lineNo, "entry");
      if (last < first) throw ArtError(file, lineNo, "entry range runs backwards");
    }
    for (size_t i = 2; i < w.size(); ++i) {
      if (w[i] == "alpha") {
        counts.alpha = true;
        continue;
      }
      size_t eq = w[i].find('=');
      std::string key = eq == std::string::npos ? w[i] : w[i].substr(0, eq);
      std::string value = eq == std::string::npos ? "" : w[i].substr(eq + 1);
      if (key == "frames") {
        counts.frames = wholeNumber(value, file, lineNo, "frame count");
      } else if (key == "anims") {
        counts.anims = wholeNumber(value, file, lineNo, "animation count");
      } else if (key == "palettes") {
        counts.palettes = wholeNumber(value, file, lineNo, "palette count");
      } else if (key == "size") {
        size_t x = value.find('x');
        if (x == std::string::npos) throw ArtError(file, lineNo, "size=WxH");
        counts.width = wholeNumber(value.substr(0, x), file, lineNo, "width");
        counts.height = wholeNumber(value.substr(x + 1), file, lineNo, "height");
      } else {
        throw ArtError(file, lineNo, "unknown key '" + key + "'");
      }
    }
    if (counts.frames < 1 || counts.frames > 256 || counts.anims > 256 || counts.palettes < 1 || counts.palettes > 255 ||
        counts.width < 8 || counts.height < 8 || counts.width > 1024 || counts.height > 1024)
      throw ArtError(file, lineNo, "count or size out of range");
    for (int e = first; e <= last; ++e) {
      for (const PlaceholderSpec& o : out)
        if (o.archive == counts.archive && o.entry == e)
          throw ArtError(file, lineNo, counts.archive + " " + std::to_string(e) + " listed twice");
      counts.entry = e;
      out.push_back(counts);
    }
  }
  return out;
}

std::vector<PlaceholderSpec> loadPlaceholderSpecs(const std::string& path) {
  return parsePlaceholderSpecs(readTextFile(path), path);
}

PlaceholderSpec placeholderSpec(const std::vector<PlaceholderSpec>& specs, const std::string& archive, int entry) {
  for (const PlaceholderSpec& s : specs)
    if (s.archive == archive && s.entry == entry) return s;
  PlaceholderSpec s;
  s.archive = archive;
  s.entry = entry;
  return s;
}

std::string placeholderRecipe(const PlaceholderSpec& s) {
  std::ostringstream r;
  const bool big = s.width >= 120 && s.height >= 60;
  r << "# placeholder of " << s.archive << " " << s.entry << "\n";
  r << "colour box " << archiveColour(s.archive) << (s.alpha ? "C0" : "") << "\n";
  r << "colour edge #ECEFF1\n";
  if (s.alpha) r << "alpha\n";
  for (int p = 1; p < s.palettes; ++p)
    r << "variant box=" << kVariantColours[(p - 1) % 10] << (s.alpha ? "C0" : "") << "\n";
  r << "let w " << s.width << "\nlet h " << s.height << "\n";
  r << "repeat f 0.." << s.frames - 1 << "\n";
  r << "  frame f w h\n";
  r << "    rect 0.5 0.5 w-1 h-1 fill=box stroke=edge width=1\n";
  if (big) r << "    line 0 0 w h stroke=#90A4AE width=1\n    line w 0 0 h stroke=#90A4AE width=1\n";
  r << "    text w/2 h/2 \"" << s.archive << " " << s.entry << " / f{f}\" size=" << (big ? 14 : 9)
    << " font=bold align=centre valign=middle fill=edge\n";
  r << "  end\nend\n";
  if (s.anims > 0) {
    r << "repeat a 0.." << s.anims - 1 << "\n";
    r << "  anim a\n    a%" << s.frames << " 8\n  end\nend\n";
  }
  return r.str();
}

}  // namespace art
