// The game's sound control over the host's sound player: one sound at a
// time with a 700 ms guard, and the current music piece.
#include <string>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "platform/brew/GameHost.h"
#include "zul/memory/Debug.h"

namespace {

constexpr int32_t kSoundCount = k_soundCount;
constexpr uint32_t kSoundGuardMs = 700;

const char16_t* const kSoundFiles[kSoundCount] = {
    u"sfx_break_hard.ogg", u"sfx_clap.ogg",  u"sfx_cushion_medium.ogg", u"sfx_hit_hard.ogg",
    u"sfx_pocket_medium.ogg", u"sfx_stick_hard.ogg", u"sfx_stick_miss.ogg", u"sfx_cash.ogg",
    u"sfx_crowd_aww.ogg", u"sfx_error.ogg",  u"sfx_tally.ogg",          u"m_title.ogg",
    u"m_start.ogg",       u"m_win.ogg",      u"m_lose.ogg"};

}  // namespace

void initSound(cGame& game) { game.sound.currentId = -1; }

const char16_t* getSoundFileName(int32_t id) { return id >= 0 && id < kSoundCount ? kSoundFiles[id] : nullptr; }

void loadSound(cGame& game, int32_t id) {
  GameHost& host = game.host();
  if (!host.hasSoundPlayer()) return;
  if (id == 0) host.setSoundSlots(kSoundCount);
  const char16_t* name = getSoundFileName(id);
  // An id without a file still takes its slot, so later ids keep theirs.
  if (host.loadSound(name ? name : u"") || !name) return;
  std::string narrow;
  for (const char16_t* c = name; *c; ++c) narrow.push_back(static_cast<char>(*c & 0xFF));
  // What a look at the file finds (it may have gone, or fail to read);
  // else its data does not decode.
  const std::string problem = host.checkSoundFile(name);
  reportDataError(game, narrow.c_str(), "%s", problem.empty() ? "is damaged: it does not decode" : problem.c_str());
}

int32_t playSound(cGame& game, int32_t id, int32_t /*loop*/, int32_t volume, int32_t volume2) {
  if (id < 0 || !game.sound.enabled) return 1;
  // Every sound plays once, whatever the caller asked.
  // A sound counts as playing until it ends or is stopped (channels that are
  // only being handed back after a stop do not count).
  if (game.sound.currentId >= 0 && game.isAnySoundPlaying() &&
      game.host().tickCount() - game.sound.startTime < kSoundGuardMs)
    return 1;
  game.stopAllSounds();
  startSound(game, id, 0, volume, volume2);
  return 1;
}

void startSound(cGame& game, int32_t id, int32_t loop, int32_t, int32_t) {
  game.host().playSound(id, loop);
  game.sound.startTime = game.host().tickCount();
  game.sound.currentId = id;
  game.sound.lastId = id;
}

bool isSoundPlaying(cGame& game, int32_t id) {
  if (id < 0 || !game.sound.enabled || id != game.sound.currentId) return false;
  return game.host().isAnySoundPlaying();
}

void playMusic(cGame& game, int32_t id) {
  if (id == game.sound.currentMusicId) return;
  if (!isSoundPlaying(game, id)) {
    game.stopAllSounds();
    playSound(game, id, 0, 100, 100);
  }
  // The piece counts as current only once it really started (or sound is
  // off); a request the guard dropped is tried again by the next call.
  if (!game.sound.enabled || game.sound.currentId == id) game.sound.currentMusicId = id;
}

void requestImpactVibration(cGame& game, int32_t strength) {
  if (strength > 150) game.sound.vibrationTime = strength * 400 / 1200 + 100;
}

void updateVibration(cGame& game) {
  if (game.sound.vibrationTime > 0) {
    vibrate(game, game.sound.vibrationTime);
    game.sound.vibrationTime = 0;
  }
}

int32_t getCurrentSound(const cGame& game) { return game.sound.currentId; }
void pauseMusic(cGame& /*game*/) {}
void resumeMusic(cGame& /*game*/) {}
void vibrate(cGame& /*game*/, int32_t /*milliseconds*/) {}
void setVibrationTime(cGame& game, int32_t ms) { game.sound.vibrationTime = ms; }
void onSoundsStopped(cGame& /*game*/) {}
void updateSound(cGame& /*game*/) {}
void stopVibration(cGame& /*game*/) {}
void setSoundVolume(cGame& /*game*/, int32_t /*volume*/) {}
void setMusicVolume(cGame& /*game*/, int32_t /*volume*/) {}
void setVibrationStrength(cGame& /*game*/, int32_t /*strength*/) {}
void freeSound(cGame& /*game*/, int32_t /*id*/) {}
void setSoundPitch(cGame& /*game*/, int32_t /*id*/, int32_t /*pitch*/) {}
void setSoundPan(cGame& /*game*/, int32_t /*id*/, int32_t /*left*/, int32_t /*right*/) {}
int32_t getMaxSimultaneousSounds() { return 1; }
int32_t getSoundLoopCount() { return 0; }
