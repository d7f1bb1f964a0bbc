// Missing or damaged data: the start-up check of every data file, and the
// reports of files and entries that fail later. The first report stands; the
// host shows it and ends the program.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "game/Korvane/PhysicalObject/TableLayout.h"
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "platform/brew/GameHost.h"
#include "zul/memory/Debug.h"

namespace {

// The archives in the order the game opens them, with the number of entries
// it reads from each.
struct ArchiveUse {
  const char* name;
  int32_t entries;
};
constexpr ArchiveUse kArchives[] = {
    {k_archiveText, k_textEntryOffsets + 1},
    {k_archiveInterface, 7},  // 6: the loading bank
    {"menu.bar", 13},
    {"interf.bar", k_interfaceCount},
    {"chr.bar", 13},
    {"pub.bar", 21},
    {"map.bar", 13},
    {"loc.bar", 9},
    {k_archiveInGame, k_igEntryGuideDotAlpha + 1},
    {"table.bar", TableLayout::kGroups},
    {"misc.bar", 1},
};
// Resource ids the ball view loads: the ball textures, the models and a
// cloth texture per table.
constexpr uint32_t kResourcesNeeded = k_resClothTexture0 + 9;

// What keeps a data file from being read at all; null when nothing does.
const char* fileProblem(GameHost& host, const char* name) {
  switch (host.dataFileKind(name)) {
    case GameHost::FileKind::None:
      return "is missing";
    case GameHost::FileKind::Other:
      return "is not a file";
    default:
      break;
  }
  const int64_t length = host.dataFileLength(name);
  return length < 0 ? "cannot be read" : length == 0 ? "is empty" : nullptr;
}

// What is wrong with a file that would not open.
const char* unopened(GameHost& host, const char* name) {
  const char* problem = fileProblem(host, name);
  return problem ? problem : "cannot be read";
}

std::string narrowName(const char16_t* name) {
  std::string out;
  for (; name && *name; ++name) out.push_back(static_cast<char>(*name & 0xFF));
  return out;
}

}  // namespace

void reportDataError(cGame& game, const char* file, const char* format, ...) {
  if (game.files.fatalError[0]) return;
  char what[160];
  va_list args;
  va_start(args, format);
  std::vsnprintf(what, sizeof what, format, args);
  va_end(args);
  std::snprintf(game.files.fatalError, sizeof game.files.fatalError, "%s %s", file ? file : "a data file", what);
  debugTrace("data: %s\n", game.files.fatalError);
}

void reportBadEntry(cGame& game, int32_t entry) {
  const char* name = game.files.bar.name ? game.files.bar.name : "an archive";
  if (getBarEntrySize(game, entry) < 0)
    reportDataError(game, name, "is damaged: entry %d is missing", entry);
  else
    reportDataError(game, name, "is damaged: entry %d does not decode", entry);
}

int32_t loadBar(cGame& game, const char* name) {
  const int32_t loaded = game.files.archives.loadBar(name);
  if (!loaded && name)
    reportDataError(game, name, "%s",
                    game.files.archives.notOpened() ? unopened(game.host(), name) : game.files.archives.problem());
  return loaded;
}

bool checkDataFiles(cGame& game) {
  std::string firstFile;
  char first[160] = {};
  int32_t problems = 0;
  auto note = [&](const std::string& file, const char* what) {
    if (problems++ == 0) {
      firstFile = file;
      std::snprintf(first, sizeof first, "%s", what);
    }
  };

  for (const ArchiveUse& a : kArchives) {
    if (const char* problem = fileProblem(game.host(), a.name)) {
      note(a.name, problem);
    } else if (!game.files.archives.loadBar(a.name)) {
      note(a.name, game.files.archives.notOpened() ? unopened(game.host(), a.name) : game.files.archives.problem());
    } else if (game.files.bar.count - 1 < a.entries) {
      char what[96];
      std::snprintf(what, sizeof what, "is damaged: it has %d entries, %d are needed", game.files.bar.count - 1,
                    a.entries);
      note(a.name, what);
    } else {
      // Sound: kept unpacked for the load that follows, which then only
      // reads the file again to see that it is unchanged.
      game.files.archives.setBarAside();
    }
    game.files.archives.unloadBar();
  }

  const char* packFiles[] = {GameResourceManager::kIndexFile, GameResourceManager::kPackFile};
  bool packThere = true;
  for (const char* name : packFiles) {
    const char* problem = fileProblem(game.host(), name);
    if (!problem) continue;
    note(name, problem);
    packThere = false;
  }
  const char* packFile = nullptr;
  char what[128];
  if (packThere && !game.engine.resources.check(kResourcesNeeded, &packFile, what, sizeof what)) note(packFile, what);

  for (int32_t id = 0; id < k_soundCount; ++id) {
    const char16_t* name = getSoundFileName(id);
    const std::string problem = game.host().checkSoundFile(name);
    if (!problem.empty()) note(narrowName(name), problem.c_str());
  }

  if (problems == 0) return true;
  if (problems == 1)
    reportDataError(game, firstFile.c_str(), "%s", first);
  else if (problems == 2)
    reportDataError(game, firstFile.c_str(), "%s\n(and 1 more data file is missing or damaged)", first);
  else
    reportDataError(game, firstFile.c_str(), "%s\n(and %d more data files are missing or damaged)", first,
                    problems - 1);
  return false;
}
