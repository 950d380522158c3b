// The text banner as a raster block: the dot rule, the packing, the header and trailer, the
// canvas twice the measured height, one bulk read of the bitmap, and one open and one write.
#include <gtest/gtest.h>

#include "comm/raster_banner.h"
#include "tests/fakes/fake_device_io.h"
#include "tests/fakes/fake_screen_gdi.h"
#include "tests/fakes/hex.h"

namespace kestrava {
namespace {

uint32_t Colour(uint32_t red, uint32_t green, uint32_t blue) {
  return red | green << 8 | blue << 16;
}

TEST(IsBlackDot, WeighsBits16To23By030AndBlackIsAtMost128) {
  struct Row {
    uint32_t colour;
    bool black;
  };
  const Row rows[] = {
      {Colour(0, 0, 0), true},
      {Colour(255, 255, 255), false},
      {Colour(128, 128, 128), true},  // 128: black
      {Colour(129, 129, 129), false},
      {Colour(127, 127, 127), true},
      // Weights by position: blue (bits 16-23) 0.30, green 0.59, red (bits 0-7) 0.11.
      {Colour(255, 0, 0), true},   // 28
      {Colour(0, 0, 255), true},   // 76
      {Colour(0, 255, 0), false},  // 150
      {Colour(0, 217, 0), true},   // 128.03
      {Colour(0, 219, 0), false},  // 129.21
      // Exactly 129 by the rule, though 0.30 x 209 + 0.59 x 90 + 0.11 x 120 in binary floating
      // point comes out just under it.
      {Colour(120, 90, 209), false},
      // 128.99: its whole-number part is 128.
      {Colour(57, 208, 0), true},
      {0xFF000000 | Colour(0, 0, 0), true},  // the top byte is not looked at
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.black, IsBlackDot(row.colour)) << std::hex << row.colour;
  }
}

TEST(RasterBlock, PacksRowsLeftmostDotFirstWithTheHeaderAndTheCut) {
  struct Row {
    const char* what;
    int width;
    int height;
    std::vector<int> blackDots;  // indices
    const char* block;
  };
  const Row rows[] = {
      {"8 wide, dot 0", 8, 1, {0}, "1D 76 30 00 01 00 01 00 80 00 1D 56 00"},
      {"8 wide, dot 7", 8, 1, {7}, "1D 76 30 00 01 00 01 00 01 00 1D 56 00"},
      {"10 wide: two bytes, the unused bits 0",
       10,
       1,
       {0, 8, 9},
       "1D 76 30 00 02 00 01 00 80 C0 00 1D 56 00"},
      {"two rows", 8, 2, {1, 14}, "1D 76 30 00 01 00 02 00 40 02 00 1D 56 00"},
      {"white", 16, 1, {}, "1D 76 30 00 02 00 01 00 00 00 00 1D 56 00"},
      {"no rows", 8, 0, {}, "1D 76 30 00 01 00 00 00 00 1D 56 00"},
  };
  for (const Row& row : rows) {
    std::vector<uint32_t> colours(static_cast<size_t>(row.width * row.height), kWhite);
    for (int dot : row.blackDots) colours[static_cast<size_t>(dot)] = 0;
    EXPECT_EQ(row.block, Hex(RasterBlock(colours, row.width, row.height))) << row.what;
  }
}

TEST(RasterBlock, The576DotCanvasHas72BytesARowAndRowsLowByteFirst) {
  const std::vector<uint32_t> white(576u * 380u, kWhite);
  const std::string block = RasterBlock(white, 576, 380);
  ASSERT_EQ(8u + 72u * 380u + 4u, block.size());
  EXPECT_EQ("1D 76 30 00 48 00 7C 01", Hex(block.substr(0, 8)));
  EXPECT_EQ("00 1D 56 00", Hex(block.substr(block.size() - 4)));
  EXPECT_EQ(std::string(72u * 380u, '\0'), block.substr(8, 72u * 380u));
}

class Rasterize : public ::testing::Test {
 protected:
  const WString path = u"\\\\?\\usb#vid_04b8&pid_0202#1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
  FakeScreenGdi screen;
  FakeDeviceIo deviceIo;
};

TEST_F(Rasterize, ATextMeasuring190GivesA380RowBlockInOneWrite) {
  const WString text = u"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7";
  screen.heights[text] = 190;
  deviceIo.Add(path);
  RasterizeAndSend(text, path, screen, deviceIo);
  const std::string block = deviceIo.Written(path);
  ASSERT_EQ(8u + 72u * 380u + 4u, block.size());
  EXPECT_EQ(0x7C, static_cast<uint8_t>(block[6]));
  EXPECT_EQ(0x01, static_cast<uint8_t>(block[7]));
  EXPECT_EQ((std::vector<std::string>{"open Arial Unicode MS 200", "measure", "bitmap 576x380",
                                      "fill white", "draw", "read all", "release"}),
            screen.log);
  EXPECT_EQ(0, screen.pixelReads) << "the bitmap is read in bulk, not dot by dot";
  ASSERT_EQ(3u, deviceIo.log.size());
  EXPECT_EQ("open " + Utf16ToUtf8(path), deviceIo.log[0]);
  EXPECT_EQ(0u, deviceIo.log[1].find("write "));
  EXPECT_EQ("close " + Utf16ToUtf8(path), deviceIo.log[2]);
  EXPECT_EQ(0, screen.openCanvases);
}

TEST_F(Rasterize, TheBannerIsBlackAboveAndTheLowerHalfIsBlankPaper) {
  deviceIo.Add(path);
  RasterizeAndSend(u"**\r\nAB", path, screen, deviceIo);  // two lines of 27 dots: 108 rows
  const std::string block = deviceIo.Written(path);
  ASSERT_EQ(8u + 72u * 108u + 4u, block.size());
  const std::vector<uint32_t>& dots = screen.lastBitmap.dots;
  EXPECT_EQ(block, RasterBlock(dots, 576, 108));
  // The first two characters' blocks: dots 1 to 10 and 13 to 22 of rows 2 to 24 are black.
  EXPECT_EQ("7F E7 FE", Hex(block.substr(8 + 72 * 2, 3)));
  EXPECT_EQ("00 00 00", Hex(block.substr(8 + 72 * 1, 3)));
  EXPECT_EQ(std::string(72u * 54u, '\0'), block.substr(8 + 72 * 54, 72u * 54u)) << "lower half";
}

TEST_F(Rasterize, GreyDotsAt128AreBlack) {
  deviceIo.Add(path);
  screen.paint = [](FakeBitmap& bitmap, const WString&) {
    bitmap.Set(0, 0, Colour(128, 128, 128));
    bitmap.Set(1, 0, Colour(129, 129, 129));
    bitmap.Set(2, 0, Colour(120, 90, 209));
    bitmap.Set(3, 0, Colour(20, 20, 20));
  };
  RasterizeAndSend(u"x", path, screen, deviceIo);
  EXPECT_EQ("90", Hex(deviceIo.Written(path).substr(8, 1)));
}

TEST_F(Rasterize, AFailedBulkReadFallsBackToTheSameDotsOneByOne) {
  deviceIo.Add(path);
  const WString text = u"Your USB printer\r\n\t\tUSB003";
  RasterizeAndSend(text, path, screen, deviceIo);
  const std::string bulk = deviceIo.Written(path);
  deviceIo.Add(path);
  screen.bulkReadFails = true;
  RasterizeAndSend(text, path, screen, deviceIo);
  EXPECT_EQ(576 * 108, screen.pixelReads);
  EXPECT_EQ(bulk, deviceIo.Written(path));
}

TEST_F(Rasterize, NothingIsSentWithoutADisplayABitmapOrAPrinter) {
  struct Row {
    const char* what;
    bool displayFails;
    bool bitmapFails;
    bool printerThere;
    const WString text;
  };
  const Row rows[] = {
      {"no display", true, false, true, u"x"},
      {"no bitmap", false, true, true, u"x"},
      {"an empty text measures 0", false, false, true, u""},
      {"no printer", false, false, false, u"x"},
  };
  for (const Row& row : rows) {
    FakeScreenGdi oneScreen;
    oneScreen.displayFails = row.displayFails;
    oneScreen.bitmapFails = row.bitmapFails;
    FakeDeviceIo devices;
    if (row.printerThere) devices.Add(path);
    RasterizeAndSend(row.text, path, oneScreen, devices);
    EXPECT_TRUE(devices.Written(path).empty()) << row.what;
    EXPECT_EQ(0, oneScreen.openCanvases) << row.what;
  }
}

}  // namespace
}  // namespace kestrava
