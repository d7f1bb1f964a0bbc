// What the game needs of the host, and all it reaches of it: the clock, the
// files of the game's folder (the data files it reads, the save file it
// writes) and the sound player. The game object holds one (GameBase::host);
// the defaults here are a host with none of them: the clock stands at 0, no
// file is there, nothing is saved and nothing plays.
#pragma once

#include <cstdint>
#include <string>

class GameHost {
 public:
  virtual ~GameHost() = default;

  // The millisecond tick count (it wraps).
  virtual uint32_t tickCount() { return 0; }
  // The player asked the program to end: the game starts no save file.
  virtual bool isQuitting() { return false; }

  // --- files of the game's folder, by name
  enum class FileKind { None, Regular, Other };
  // A data file as the game reads it.
  virtual FileKind dataFileKind(const char* /*name*/) { return FileKind::None; }
  // The length of a data file opened for reading; -1 when it does not open.
  virtual int64_t dataFileLength(const char* /*name*/) { return -1; }
  // A file the game writes, where it writes it (never a copy of the same
  // name shipped with the data).
  virtual FileKind savedFileKind(const char* /*name*/) { return FileKind::None; }
  // Opens a written file for reading: its length goes to *length (-1 when
  // it does not open, 0 when it cannot be told) and its first
  // min(length, capacity) bytes to buffer. True when those bytes were read.
  virtual bool readSavedFile(const char* /*name*/, uint8_t* /*buffer*/, int32_t /*capacity*/, int64_t* length) {
    *length = -1;
    return false;
  }
  // Replaces a written file by `size` bytes: staged beside it, committed to
  // the disk and only then put in its place. False when any of it failed.
  virtual bool writeSavedFile(const char* /*name*/, const uint8_t* /*data*/, int32_t /*size*/) { return false; }
  // Removes what writes of a file killed half-way left behind.
  virtual void removeStaleStaging(const char* /*name*/) {}
  // Free bytes where the game writes; 0 when it cannot be told.
  virtual int32_t freeStorage() { return 0; }

  // --- the sound player: sounds in slots numbered in the order they were
  // loaded; one plays at a time
  virtual bool hasSoundPlayer() { return false; }
  // Empties the player and makes room for `count` sounds.
  virtual void setSoundSlots(int32_t /*count*/) {}
  // Decodes a sound file of the install folder into the next slot; false
  // when it does not (the slot is taken all the same).
  virtual bool loadSound(const char16_t* /*name*/) { return false; }
  virtual void playSound(int32_t /*slot*/, int32_t /*loop*/) {}
  virtual void stopAllSounds() {}
  virtual bool isAnySoundPlaying() { return false; }
  // What is wrong with a sound file of the install folder, looked over
  // without decoding it ("is missing", "is damaged: ..."); empty when it
  // will do.
  virtual std::string checkSoundFile(const char16_t* /*name*/) { return "is missing"; }
};
