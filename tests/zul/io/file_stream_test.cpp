#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "memory/TraceCapture.h"
#include "windows_brew/ShellFileSystem.h"
#include "windows_brew/ShellHost.h"
#include "zul/io/FileStream.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

class FileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("kv_file_stream_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    ASSERT_TRUE(shell_.setRootPath((dir_.string() + "/").c_str()));
    setFileSystem(&shellFileSystem());
  }
  void TearDown() override {
    setFileSystem(nullptr);
    fs::remove_all(dir_);
  }

  void put(const char* name, const Bytes& bytes) const {
    std::ofstream out(dir_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  Bytes get(const char* name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  fs::path dir_;
  uint8_t flag_ = 1;
  ShellHost shell_{&flag_};
};

TEST_F(FileStreamTest, ReadsTypedValues) {
  put("a.bin", {0x78, 0x56, 0x34, 0x12, 0x80, 0x01, 0xFF});
  EXPECT_TRUE(FileStream::exists("a.bin"));
  EXPECT_FALSE(FileStream::exists("missing.bin"));
  FileStream s("a.bin", 1);
  ASSERT_TRUE(s.isOpen());
  EXPECT_EQ(s.size(), 7);
  EXPECT_EQ(s.readInt(), 0x12345678);
  EXPECT_EQ(s.readShortBE(), -32767);
  EXPECT_EQ(s.tell(), 6);
  EXPECT_EQ(s.readByte(), -1);
  s.seek(4, 0);
  EXPECT_EQ(s.readShort(), 384);
}

TEST_F(FileStreamTest, MissingAndEmptyFiles) {
  TraceCapture cap;
  FileStream missing("missing.bin", 1);
  EXPECT_TRUE(cap.reported(316, "FileStream"));
  EXPECT_FALSE(missing.isOpen());
  EXPECT_TRUE(missing.holdsFile());  // held until closed
  uint8_t b;
  EXPECT_EQ(missing.read(&b, 1), 0);
  missing.close();
  EXPECT_FALSE(missing.holdsFile());

  put("empty.bin", {});
  FileStream empty;
  EXPECT_FALSE(empty.open("empty.bin", 2));  // held although the result is false
  empty.writeInt(0x01020304);
  empty.close();
  EXPECT_EQ(get("empty.bin"), (Bytes{4, 3, 2, 1}));
}

TEST_F(FileStreamTest, ModeBits) {
  put("m.bin", {1, 2, 3});
  const struct {
    int32_t mode;
    Bytes after;
  } cases[] = {
      {3, {9, 2, 3}},       // bit 2 after bit 1: opens for writing
      {20, {9, 2, 3}},      // 16 after 4: the shell's flag 4, written like 2
      {4, {9, 2, 3}},       // append: the image is loaded too
      {1, {1, 2, 3}},       // read: the write does nothing
  };
  for (const auto& c : cases) {
    put("m.bin", {1, 2, 3});
    {
      FileStream s("m.bin", c.mode);
      s.writeByte(9);
    }
    EXPECT_EQ(get("m.bin"), c.after) << c.mode;
  }
}

TEST_F(FileStreamTest, ReopenWritesTheFirstFileBack) {
  put("one.bin", {1, 2, 3, 4});
  put("two.bin", {5, 6});
  FileStream s("one.bin", 2);
  s.seek(2, 0);
  s.writeShort(0x0A0B);
  EXPECT_TRUE(s.open("two.bin", 1));
  EXPECT_EQ(get("one.bin"), (Bytes{1, 2, 0x0B, 0x0A}));
  EXPECT_EQ(s.readShort(), 0x0605);
}

TEST_F(FileStreamTest, NoHeldFileIsReported) {
  FileStream s;
  TraceCapture cap;
  uint8_t b = 0;
  EXPECT_EQ(s.read(&b, 1), 0);
  EXPECT_EQ(s.write(&b, 1), 0);
  s.seek(0, 0);
  s.tell();
  s.size();
  for (int line : {94, 104, 114, 124, 134}) EXPECT_TRUE(cap.reported(line, "FileStream")) << line;
}

}  // namespace
