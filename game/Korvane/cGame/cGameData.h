// Records of the game's data files kept by the game object: the open named
// archive, the field reader, the save image, the text table with its work
// string and scratch rings, and the text layout state.
#pragma once

#include <cstdint>

class StackMemoryPool;

// The one open ".bar" archive.
struct BarArchive {
  const char* name = nullptr;  // the caller's, not copied
  int32_t count = 0;           // offsets in the table (entries + 1)
  int32_t* offsets = nullptr;  // absolute positions in data
  uint8_t* data = nullptr;     // unpacked bytes
  int32_t size = 0;            // bytes in data
  int32_t cursor = 0;
};

// Little-endian reader over one owned byte buffer.
struct FieldReader {
  uint8_t* buffer = nullptr;
  int32_t size = 0;  // bytes that may be read; -1 when the owner gave none
  int32_t position = 0;
};

struct TextTableData {
  static constexpr int32_t kWorkSize = 2000;
  static constexpr int32_t kTempSize = 500;
  static constexpr int32_t kTempCount = 100;
  static constexpr int32_t kMessageCount = 20;
  static constexpr int32_t kSlotCount = 100;

  uint8_t* strings = nullptr;  // entry 0 of "text.bar"
  int32_t stringsSize = 0;
  uint16_t* ends = nullptr;  // end offset of each string (past its terminator)
  int32_t count = 0;
  int32_t language = -1;
  char work[kWorkSize] = {};
  int32_t workLength = 0;
  char temp[kTempCount][kTempSize] = {};
  int32_t tempIndex = 0;
  char messages[kMessageCount][kTempSize] = {};
  int32_t messageIndex = 0;
  int32_t slots[kSlotCount][4] = {};
  int32_t slotIndex = 0;
};

struct TextLayoutData {
  static constexpr int32_t kMaxLines = 100;
  static constexpr int32_t kMaxPages = 10;
  static constexpr int32_t kMaxFonts = 8;
  static constexpr int32_t kParamCount = 10;

  struct Line {
    int32_t end;   // first position not drawn
    int32_t next;  // where the next line starts
    int32_t width;
    int32_t font;  // tallest font of the line
  };
  struct Page {
    int32_t start;
    int32_t firstLine;
    int32_t height;
    int32_t widest;
    int32_t font;
    int32_t palette;
    int32_t param;
  };

  uint8_t font = 0;
  uint8_t palette = 0;
  uint8_t param = 0;
  int32_t lineSpacing = 0;
  Line lines[kMaxLines + 1] = {};
  Page pages[kMaxPages + 2] = {};
  int32_t line = 0;
  int32_t page = 0;
  int32_t lineCount = 0;  // lines ended by the last layout
  int32_t pageCount = 0;
  int32_t cacheKey = 0;
  int32_t reveal = 0;
  int32_t measuredHeight[kMaxFonts] = {};
  int32_t params[kParamCount] = {};
  char digits[16] = {};
};
