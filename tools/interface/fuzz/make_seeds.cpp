// Seeds for the interface fuzzer: entries from our writer, from the sources'
// element kinds to short and odd records.
#include <string>

#include "tools/interface/InterfaceWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  using interfacedata::Interface;
  const char* const sources[] = {
      "sprite x=10 y=20 bank=1 frame=hold anim=0 dx=-240 delay=100\n"
      "sprite x=0 y=0 bank=0 frame=vanish anim=2 layer=back\n"
      "sprite x=30 y=30 bank=1 frame=2\n",
      "text x=5 y=5 width=100 height=30 valign=middle halign=centre\n"
      "text x=-50 y=400 width=10 height=10 font=7 dy=20 duration=300\n",
      "panel x=-120 parallax=1 seats=1 shade=200\npanel plain=1 shade=90\n"
      "rect x=10 y=10 width=50 height=20 alpha=128 red=255\n",
      "pad 22\n[22] text x=60 y=296 width=120 height=24\npad 31\n[31] text width=240 height=24\n",
  };
  int k = 0;
  for (const char* source : sources) {
    Interface elements;
    if (!interfacedata::compileInterface(source, elements, nullptr)) return 1;
    bar::writeFile(dir + "/interface" + std::to_string(k++) + ".bin", interfacedata::writeInterface(elements));
  }
  const Interface odd = {{0, 1, 2, {1, 3}}, {1, 0, 0, {50}}, {3, 0, 0, {}}, {9, 0, 0, {1, 2, 3}}, {4, 0, 0, {7}}};
  bar::writeFile(dir + "/interface" + std::to_string(k++) + ".bin", interfacedata::writeInterface(odd));
  return 0;
}
