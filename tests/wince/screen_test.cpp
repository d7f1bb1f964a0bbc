// The DIB blit, frames, PNG capture and the demo program.
#include <cstdio>
#include <fstream>

#include "test_util.h"
#include "wince/demo/pattern.h"

using namespace wince_test;

namespace {

BITMAPINFO dib565(LONG width, LONG height) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = 40;
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 16;
  bmi.bmiHeader.biCompression = BI_BITFIELDS;
  bmi.bmiHeader.biSizeImage = static_cast<DWORD>(width * (height < 0 ? -height : height) * 2);
  bmi.bmiMasks[0] = 0xF800;
  bmi.bmiMasks[1] = 0x07E0;
  bmi.bmiMasks[2] = 0x001F;
  return bmi;
}

class Screen : public LayerTest {};

TEST_F(Screen, TopDownBlitReachesTheScreenAsOneFrame) {
  HWND w = makeWindow();
  HDC dc = GetDC(w);
  std::vector<uint16_t> pixels(240 * 320);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint16_t>(i * 7);
  BITMAPINFO bmi = dib565(240, -320);
  EXPECT_EQ(SetDIBitsToDevice(dc, 0, 0, 240, 320, 0, 0, 0, 320, pixels.data(), &bmi, DIB_RGB_COLORS), 320);
  EXPECT_EQ(wince::frameCount(), 1u);
  EXPECT_EQ(wince::screenPixels(), pixels);
  ReleaseDC(w, dc);
}

TEST_F(Screen, BottomUpAndPartialBlits) {
  HWND w = makeWindow();
  HDC dc = GetDC(w);
  // A 2x3 bottom-up image: the first row in memory is the bottom row.
  uint16_t img[3][2] = {{0x0003, 0x0004}, {0x0002, 0x0005}, {0x0001, 0x0006}};
  BITMAPINFO bmi = dib565(2, 3);
  SetDIBitsToDevice(dc, 10, 20, 2, 3, 0, 0, 0, 3, img, &bmi, DIB_RGB_COLORS);
  std::vector<uint16_t> s = wince::screenPixels();
  EXPECT_EQ(s[20 * 240 + 10], 0x0001);
  EXPECT_EQ(s[22 * 240 + 10], 0x0003);
  EXPECT_EQ(s[22 * 240 + 11], 0x0004);
  // Clipped at the screen's edge: nothing outside is touched.
  uint16_t one[1] = {0xFFFF};
  BITMAPINFO b1 = dib565(1, -1);
  SetDIBitsToDevice(dc, 239, 319, 1, 1, 0, 0, 0, 1, one, &b1, DIB_RGB_COLORS);
  SetDIBitsToDevice(dc, 240, 0, 1, 1, 0, 0, 0, 1, one, &b1, DIB_RGB_COLORS);
  SetDIBitsToDevice(dc, -1, -1, 1, 1, 0, 0, 0, 1, one, &b1, DIB_RGB_COLORS);
  EXPECT_EQ(wince::screenPixels()[319 * 240 + 239], 0xFFFF);
  EXPECT_EQ(wince::frameCount(), 4u);
}

TEST_F(Screen, Rgb555IsWidenedTo565) {
  HWND w = makeWindow();
  HDC dc = GetDC(w);
  uint16_t px[4] = {0x7FFF, 0x0200, 0x7C00, 0x001F};
  BITMAPINFO bmi = dib565(4, -1);
  bmi.bmiHeader.biCompression = BI_RGB;
  EXPECT_EQ(SetDIBitsToDevice(dc, 0, 0, 4, 1, 0, 0, 0, 1, px, &bmi, DIB_RGB_COLORS), 1);
  std::vector<uint16_t> s = wince::screenPixels();
  EXPECT_EQ(s[0], 0xFFFF);
  EXPECT_EQ(s[1], 0x0420);  // green's top bit repeated into the sixth bit
  EXPECT_EQ(s[2], 0xF800);
  EXPECT_EQ(s[3], 0x001F);
}

TEST_F(Screen, BadDescriptionsAreRefused) {
  HWND w = makeWindow();
  HDC dc = GetDC(w);
  uint16_t px[4] = {};
  BITMAPINFO bmi = dib565(2, -2);
  bmi.bmiMasks[0] = 0x7C00;  // 555 masks with BI_BITFIELDS
  EXPECT_EQ(SetDIBitsToDevice(dc, 0, 0, 2, 2, 0, 0, 0, 2, px, &bmi, DIB_RGB_COLORS), 0);
  bmi = dib565(2, -2);
  bmi.bmiHeader.biBitCount = 32;
  EXPECT_EQ(SetDIBitsToDevice(dc, 0, 0, 2, 2, 0, 0, 0, 2, px, &bmi, DIB_RGB_COLORS), 0);
  bmi = dib565(2, -2);
  EXPECT_EQ(SetDIBitsToDevice(dc, 0, 0, 2, 2, 0, 0, 0, 2, nullptr, &bmi, DIB_RGB_COLORS), 0);
  EXPECT_EQ(SetDIBitsToDevice(reinterpret_cast<HDC>(&bmi), 0, 0, 2, 2, 0, 0, 0, 2, px, &bmi, DIB_RGB_COLORS), 0);
  EXPECT_EQ(wince::frameCount(), 0u);
}

// One pixel at a time, every bound tested: the reference for the row copies.
void blitReference(std::vector<uint16_t>& screen, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                   UINT startScan, UINT scanLines, const uint16_t* bits, const BITMAPINFO& info) {
  const int64_t dibW = info.bmiHeader.biWidth;
  const bool topDown = info.bmiHeader.biHeight < 0;
  const int64_t dibH = topDown ? -static_cast<int64_t>(info.bmiHeader.biHeight) : info.bmiHeader.biHeight;
  const int64_t stride = (dibW * 2 + 3) / 4 * 4 / 2;
  const bool is565 = info.bmiHeader.biCompression == BI_BITFIELDS;
  for (int64_t row = 0; row < static_cast<int64_t>(height); ++row) {
    const int64_t sy = ySrc + row, scan = topDown ? sy : dibH - 1 - sy, dy = yDest + row;
    if (sy < 0 || sy >= dibH || scan < startScan || scan >= static_cast<int64_t>(startScan) + scanLines) continue;
    if (dy < 0 || dy >= 320) continue;
    for (int64_t col = 0; col < static_cast<int64_t>(width); ++col) {
      const int64_t sx = xSrc + col, dx = xDest + col;
      if (sx < 0 || sx >= dibW || dx < 0 || dx >= 240) continue;
      uint16_t p = bits[(scan - startScan) * stride + sx];
      if (!is565) p = static_cast<uint16_t>(((p & 0x7FE0u) << 1) | ((p & 0x0200u) >> 4) | (p & 0x1Fu));
      screen[static_cast<size_t>(dy * 240 + dx)] = p;
    }
  }
}

TEST_F(Screen, RowCopiesEqualThePixelWalkForRandomRectangles) {
  HWND w = makeWindow();
  HDC dc = GetDC(w);
  uint32_t seed = 99;
  auto rnd = [&](int n) { return static_cast<int>((seed = seed * 1664525u + 1013904223u) >> 8) % n; };
  std::vector<uint16_t> want = wince::screenPixels();
  for (int trial = 0; trial < 300; ++trial) {
    const LONG dibW = 1 + rnd(300), dibH = 1 + rnd(400);
    BITMAPINFO bmi = dib565(dibW, rnd(2) ? -dibH : dibH);
    if (rnd(3) == 0) bmi.bmiHeader.biCompression = BI_RGB;
    const size_t stride = static_cast<size_t>(dibW * 2 + 3) / 4 * 2;
    std::vector<uint16_t> bits(stride * static_cast<size_t>(dibH));
    for (uint16_t& v : bits) v = static_cast<uint16_t>(rnd(65536));
    const int xDest = rnd(340) - 50, yDest = rnd(420) - 50, xSrc = rnd(340) - 20, ySrc = rnd(440) - 20;
    const DWORD width = static_cast<DWORD>(rnd(300)), height = static_cast<DWORD>(rnd(400));
    const UINT startScan = static_cast<UINT>(rnd(dibH)), scanLines = static_cast<UINT>(1 + rnd(dibH - startScan));
    blitReference(want, xDest, yDest, width, height, xSrc, ySrc, startScan, scanLines, bits.data(), bmi);
    SetDIBitsToDevice(dc, xDest, yDest, width, height, xSrc, ySrc, startScan, scanLines, bits.data(), &bmi,
                      DIB_RGB_COLORS);
    ASSERT_EQ(wince::screenPixels(), want) << "trial " << trial;
  }
  ReleaseDC(w, dc);
}

TEST_F(Screen, FrameLimitPostsClose) {
  wince::Options o;
  o.backend = wince::BackendKind::Headless;
  o.frames = 2;
  ASSERT_TRUE(wince::start(o));
  HWND w = makeWindow();
  HDC dc = GetDC(w);
  uint16_t px[1] = {1};
  BITMAPINFO b1 = dib565(1, -1);
  MSG msg;
  SetDIBitsToDevice(dc, 0, 0, 1, 1, 0, 0, 0, 1, px, &b1, DIB_RGB_COLORS);
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  SetDIBitsToDevice(dc, 0, 0, 1, 1, 0, 0, 0, 1, px, &b1, DIB_RGB_COLORS);
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_CLOSE);
  EXPECT_EQ(msg.hwnd, w);
}

TEST(Png, RoundTripKeepsEveryPixel) {
  TempDir dir;
  std::vector<uint16_t> pixels(240 * 320);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
  pixels[0] = 0x0000;
  pixels[1] = 0xFFFF;
  pixels[2] = 0xF800;
  pixels[3] = 0x07E0;
  pixels[4] = 0x001F;
  std::string path = dir.path() + "/f.png";
  std::string error;
  ASSERT_TRUE(wince::writePng(path, pixels.data(), 240, 320, &error)) << error;
  std::vector<uint16_t> back;
  int w = 0, h = 0;
  ASSERT_TRUE(wince::readPng(path, back, w, h, &error)) << error;
  EXPECT_EQ(w, 240);
  EXPECT_EQ(h, 320);
  EXPECT_EQ(back, pixels);
}

TEST(Png, ChannelsAreWidenedByRepeatingTopBits) {
  TempDir dir;
  std::string path = dir.path() + "/c.png";
  uint16_t px[3] = {0xFFFF, 0x8410, 0x0841};  // white; r16 g32 b16; r1 g2 b1
  ASSERT_TRUE(wince::writePng(path, px, 3, 1));
  std::ifstream f(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(f)), {});
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(std::string(bytes.data() + 1, 3), "PNG");
  std::vector<uint16_t> back;
  int w, h;
  ASSERT_TRUE(wince::readPng(path, back, w, h));
  EXPECT_EQ(back, std::vector<uint16_t>(px, px + 3));
}

TEST(Png, MissingAndBrokenFilesFail) {
  TempDir dir;
  std::vector<uint16_t> back;
  int w, h;
  std::string error;
  EXPECT_FALSE(wince::readPng(dir.path() + "/none.png", back, w, h, &error));
  std::ofstream(dir.path() + "/bad.png") << "\x89PNG\r\n\x1a\n garbage";
  EXPECT_FALSE(wince::readPng(dir.path() + "/bad.png", back, w, h, &error));
  EXPECT_FALSE(wince::writePng(dir.path() + "/no/such/dir/x.png", back.data(), 0, 0, &error));
}

#ifdef KV_WINCE_DEMO
TEST(Demo, HeadlessRunWritesTheExpectedFrames) {
  TempDir dir;
  std::string cmd = std::string(KV_WINCE_DEMO) + " --backend=headless --frames 12 --capture " + dir.path() +
                    " --capture-frames 1,12 > " + dir.path() + "/out.txt";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  for (uint32_t frame : {1u, 12u}) {
    std::vector<uint16_t> got;
    int w = 0, h = 0;
    std::string error;
    ASSERT_TRUE(wince::readPng(dir.path() + "/" + wince::captureFileName(frame), got, w, h, &error)) << error;
    ASSERT_EQ(w, 240);
    ASSERT_EQ(h, 320);
    std::vector<uint16_t> want(240 * 320);
    demoFill(want.data(), frame);
    size_t diff = 0;
    for (size_t i = 0; i < want.size(); ++i) diff += got[i] != want[i];
    EXPECT_EQ(diff, 0u) << "frame " << frame;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/" + wince::captureFileName(2)));
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/" + wince::captureFileName(13)));
}

TEST(Demo, ScriptedStylusReachesTheProgram) {
  TempDir dir;
  std::ofstream(dir.path() + "/s.txt") << "# a drag\n100 down 10 20\n150 move -3 400\n200 up 5 6\n";
  std::string cmd = std::string(KV_WINCE_DEMO) + " --backend=headless --frames 20 --script " + dir.path() +
                    "/s.txt > " + dir.path() + "/out.txt";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::ifstream f(dir.path() + "/out.txt");
  std::string text((std::istreambuf_iterator<char>(f)), {});
  EXPECT_EQ(text, "down 10 20\nmove -3 400\nup 5 6\n");
}
#endif

}  // namespace
