// Placeholder art: labelled boxes ("menu.bar 3 / f12") in the counts an
// entry must offer until its real art exists.
#pragma once

#include <string>
#include <vector>

namespace art {

struct PlaceholderSpec {
  std::string archive;
  int entry = 0;
  int line = 0;
  int frames = 1, anims = 1, palettes = 1;
  int width = 96, height = 20;  // every frame
  bool alpha = false;           // translucent boxes, the bank cached with alpha
};

// Reads placeholders.txt: "<archive> <entry>[-<last>] key=value ... [alpha]"
// with keys frames, anims, palettes and size=WxH. Throws ArtError.
std::vector<PlaceholderSpec> loadPlaceholderSpecs(const std::string& path);
std::vector<PlaceholderSpec> parsePlaceholderSpecs(const std::string& text, const std::string& file);

// The counts of an entry (defaults when it is not listed).
PlaceholderSpec placeholderSpec(const std::vector<PlaceholderSpec>& specs, const std::string& archive, int entry);

// The recipe text that draws the placeholder.
std::string placeholderRecipe(const PlaceholderSpec& counts);

}  // namespace art
