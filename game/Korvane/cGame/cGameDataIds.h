// The data ids the code names: archives and their entries, fonts and sound
// ids. The game, the data tools and the data-set tests share them; each kind
// grows here as the code that uses it lands.
#pragma once

#include <cstdint>

// ---- archives
constexpr const char* k_archiveText = "text.bar";       // the text table
constexpr const char* k_archiveInterface = "i.bar";     // logo, character map, fonts

// "text.bar" entries.
constexpr int32_t k_textEntryStrings = 0;  // the strings, each ending in a zero byte
constexpr int32_t k_textEntryOffsets = 1;  // their end offsets

// "i.bar" entries.
constexpr int32_t k_interfaceEntryUnusedBank = 0;
constexpr int32_t k_interfaceEntryLogo = 1;
constexpr int32_t k_interfaceEntryCharMap = 2;  // u16 glyph frame per character code
constexpr int32_t k_interfaceEntryFont0 = 3;
constexpr int32_t k_interfaceEntryFont1 = 4;

// ---- fonts (the text drawing's font numbers)
constexpr int32_t k_font0 = 0;
constexpr int32_t k_font1 = 1;

// ---- sound ids: 0-10 effects, 11-14 music
constexpr int32_t k_soundBreakHard = 0;
constexpr int32_t k_soundClap = 1;
constexpr int32_t k_soundCushionMedium = 2;
constexpr int32_t k_soundHitHard = 3;
constexpr int32_t k_soundPocketMedium = 4;
constexpr int32_t k_soundStickHard = 5;
constexpr int32_t k_soundStickMiss = 6;
constexpr int32_t k_soundCash = 7;
constexpr int32_t k_soundCrowdAww = 8;
constexpr int32_t k_soundError = 9;
constexpr int32_t k_soundTally = 10;
constexpr int32_t k_musicTitle = 11;
constexpr int32_t k_musicStart = 12;
constexpr int32_t k_musicWin = 13;
constexpr int32_t k_musicLose = 14;
constexpr int32_t k_soundCount = 15;
constexpr int32_t k_firstMusicId = k_musicTitle;
