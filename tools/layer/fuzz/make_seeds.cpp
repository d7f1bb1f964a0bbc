// Seeds for the layer's parsers: stylus scripts with every kind of event, and
// command lines with every option.
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string scripts = argv[1], options = argv[2];
  std::ofstream(scripts + "/click.txt") << "300 down 10 20\n350 move 250 -5\n450 up 250 -5\n";
  std::ofstream(scripts + "/all.txt") << "# every kind\n0 tap 120 160\n100 orientation 1\n200 orientation 0\n"
                                          "300 focus 0\n1300 focus 1\n1400 keydown 115\n1450 keyup 115\n2000 close\n";
  std::ofstream(scripts + "/touches.txt") << "9000 down 118 135\n9100 up 118 135\n11000 tap 120 200\n";
  auto line = [&options](const std::string& name, const std::string& text) {
    std::ofstream(options + "/" + name, std::ios::binary) << text;
  };
  const char play[] = "--backend=headless\0--frames\0" "120\0--capture\0/tmp/f\0--capture-frames\0" "119";
  line("play.txt", std::string(play, sizeof play - 1));
  line("all.txt", "--backend\nsdl\n--data\nd\n--write\nw\n--scale\n2\n--frames\n10\n--capture\nc\n"
                  "--capture-frames\n1,2,3\n--script\ns.txt\n--msgbox\nyes,no,7\n--orientation\n4\nrest");
  line("bad.txt", "--frames=-1\n--msgbox=maybe\n--orientation=3\n--unknown");
  return 0;
}
