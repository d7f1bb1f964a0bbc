// Seeds for the save fuzzer: save files from our writer, whole, cut, longer
// and zeroed.
#include <fstream>
#include <string>

#include "tools/save/SaveFileWriter.h"

namespace {
void write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  auto bytes = [](const std::array<uint8_t, savefile::kSize>& a) { return std::string(a.begin(), a.end()); };
  const std::string defaults = bytes(savefile::writeImage());
  savefile::Settings s;
  s.option6 = true;
  s.achievementMask = 0x2A5;
  s.characterAvailable = {true, true, true, false, true, false, false, true, false, true};
  savefile::Career c;
  c.started = true;
  c.character = 5;
  c.won[1] = c.won[5] = true;
  c.challengeStates[1] = 6;
  c.money = 12345;
  c.boughtMask = 0x421;
  c.equippedMask = (1u << 2) | (1u << 7) | (1u << 12);
  c.pendingUnlockSlot = 3;
  c.pendingCharacterUnlock = true;
  const std::string career = bytes(savefile::writeImage(s, c, {7, 9}));
  write(dir + "/defaults.sav", defaults);
  write(dir + "/career.sav", career);
  write(dir + "/short.sav", career.substr(0, 148));
  write(dir + "/settings-only.sav", career.substr(0, 25));
  write(dir + "/longer.sav", career + std::string(100, '\x55'));
  write(dir + "/zeroed.sav", std::string(300, '\0'));
  return 0;
}
