#include <gtest/gtest.h>

#include "tests/install/engine_fixture.h"

namespace kestrava {
namespace {

using Lines = std::vector<std::string>;

constexpr const char16_t* kPageText = u"   \r\n\r\nCongratulations\uFF0C \r\nPrinter Name:\r\n";
const Picture kPicture{141, 120, 60};

class TestPageTest : public EngineFixture {
 protected:
  void SetUp() override {
    MakeEngine();
    spooler.AddInstalledPrinter(u"RT-58C (copy 1)", u"COM3:", u"RT-58C");
  }

  // A device mode of the driver: the public part with its own fields, and a private part.
  static DeviceMode DriverMode() {
    DeviceMode mode = DeviceMode::ZeroedPublic();
    mode.bytes += std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    mode.SetWord(DeviceMode::kDriverExtraOffset, 8);
    mode.SetDword(DeviceMode::kFieldsOffset, 0x00010100);  // copies and print quality, say
    mode.SetWord(DeviceMode::kOrientationOffset, 2);       // landscape
    mode.SetWord(DeviceMode::kPaperSizeOffset, 9);         // A4
    return mode;
  }

  void GiveDriverMode(const std::optional<DeviceMode>& mode) {
    spooler.printers[0].deviceMode = mode;
  }
};

TEST_F(TestPageTest, OnePageWithTheFourElementsInOrderAtTheirPositions) {
  GiveDriverMode(DriverMode());
  EXPECT_TRUE(engine->PrintTestPage(u"RT-58C (copy 1)", kPicture, kPageText));
  const Lines expected = {
      "OpenPrinter RT-58C (copy 1)",
      "DocumentProperties RT-58C (copy 1)",
      "ClosePrinter RT-58C (copy 1)",
      "Sleep 1000",
      "CreatePicture 141 120x60",
      "CreateDC RT-58C (copy 1) size=220 extra=8 fields=0x1010F orientation=1 paper=256 "
      "length=800 width=720",
      "StartDoc RT-58C (copy 1)",
      "StartPage",
      "DrawText 10,10,400,500 0x100 " + Utf16ToUtf8(kPageText),
      "BitBlt 30,20 120x60 from 0,0 0xCC0020",
      "TextOut 10,430 RT-58C (copy 1)",
      "TextOut -20,500   2026-03-05 09:07:03",
      "EndPage",
      "EndDoc",
      "DeleteDC printer",
      "DeleteDC picture",
  };
  EXPECT_EQ(expected, journal);
  ASSERT_TRUE(graphics.lastDeviceMode);
  EXPECT_EQ(228u, graphics.lastDeviceMode->bytes.size());
  EXPECT_EQ(std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8),
            graphics.lastDeviceMode->bytes.substr(220))
      << "the driver's private part travels unchanged";
  EXPECT_EQ(0, graphics.openContexts());
  EXPECT_EQ(0, spooler.openPrinters());
}

TEST_F(TestPageTest, WithoutTheDriversDeviceModeTheZeroedPublicOneIsUsed) {
  struct Row {
    const char* what;
    const char16_t* printer;
    std::optional<DeviceMode> driverMode;
    bool documentPropertiesFail;
  };
  DeviceMode cut = DriverMode();
  cut.bytes.resize(DeviceMode::kPaperFieldsEnd - 1);
  const Row rows[] = {
      {"a printer that cannot be opened", u"RT-99", DriverMode(), false},
      {"a driver that gives no device mode", u"RT-58C (copy 1)", std::nullopt, false},
      {"a driver whose answer is refused", u"RT-58C (copy 1)", DriverMode(), true},
      {"a record too short for the paper fields", u"RT-58C (copy 1)", cut, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    GiveDriverMode(row.driverMode);
    if (row.documentPropertiesFail) spooler.Fail(FakePrintSpooler::Op::kDeviceMode, 13, 1);
    graphics.calls.clear();
    EXPECT_TRUE(engine->PrintTestPage(row.printer, kPicture, kPageText));
    ASSERT_FALSE(graphics.calls.empty());
    EXPECT_EQ("CreatePicture 141 120x60", graphics.calls[0]);
    ASSERT_LE(2u, graphics.calls.size());
    EXPECT_EQ("CreateDC " + Utf16ToUtf8(row.printer) +
                  " size=220 extra=0 fields=0xF orientation=1 paper=256 length=800 width=720",
              graphics.calls[1]);
    ASSERT_TRUE(graphics.lastDeviceMode);
    DeviceMode expected = DeviceMode::ZeroedPublic();
    expected.SetDword(DeviceMode::kFieldsOffset, 0xF);
    expected.SetWord(DeviceMode::kOrientationOffset, 1);
    expected.SetWord(DeviceMode::kPaperSizeOffset, 256);
    expected.SetWord(DeviceMode::kPaperLengthOffset, 800);
    expected.SetWord(DeviceMode::kPaperWidthOffset, 720);
    EXPECT_EQ(expected.bytes, graphics.lastDeviceMode->bytes) << "every other byte zero";
    EXPECT_EQ(0, spooler.openPrinters());
  }
}

TEST_F(TestPageTest, APrinterContextThatCannotBeMadeIsTracedAndNothingIsDrawn) {
  graphics.printerContextError = 1801;
  system.errorMessages[1801] = u"The printer name is invalid.\r\n";
  EXPECT_TRUE(engine->PrintTestPage(u"RT-58C (copy 1)", kPicture, kPageText));
  EXPECT_EQ("The printer name is invalid.\r\n", process.debugOutput);
  EXPECT_EQ((Lines{"CreatePicture 141 120x60",
                   "CreateDC RT-58C (copy 1) size=220 extra=0 fields=0xF orientation=1 "
                   "paper=256 length=800 width=720",
                   "DeleteDC picture"}),
            graphics.calls);
  EXPECT_EQ(0, graphics.openContexts());
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(TestPageTest, APictureThatCannotBeHeldLeavesTheRestOfThePage) {
  graphics.pictureContextFails = true;
  EXPECT_TRUE(engine->PrintTestPage(u"RT-58C (copy 1)", kPicture, kPageText));
  EXPECT_TRUE(Journal("BitBlt").empty());
  EXPECT_EQ(2u, Journal("TextOut").size());
  EXPECT_EQ(Lines{"EndDoc"}, Journal("EndDoc"));
}

TEST_F(TestPageTest, TheDateLineZeroPadsEveryFieldButTheYear) {
  const std::pair<LocalTime, const char*> rows[] = {
      {{2026, 3, 5, 9, 7, 3}, "TextOut -20,500   2026-03-05 09:07:03"},
      {{1999, 12, 31, 23, 59, 59}, "TextOut -20,500   1999-12-31 23:59:59"},
      {{2030, 1, 1, 0, 0, 0}, "TextOut -20,500   2030-01-01 00:00:00"},
      {{999, 10, 10, 10, 10, 10}, "TextOut -20,500   999-10-10 10:10:10"},
  };
  for (const auto& [time, line] : rows) {
    clock.localTime = time;
    graphics.calls.clear();
    engine->PrintTestPage(u"RT-58C (copy 1)", kPicture, kPageText);
    ASSERT_FALSE(Journal("TextOut -20,500").empty());
    EXPECT_EQ(line, Journal("TextOut -20,500").back());
  }
}

TEST(DeviceMode, FieldsOutsideTheRecordReadZeroAndAreNotWritten) {
  DeviceMode mode = DeviceMode::ZeroedPublic();
  EXPECT_EQ(220u, mode.bytes.size());
  EXPECT_EQ(220u, mode.size());
  mode.SetWord(219, 0xFFFF);
  mode.SetDword(218, 0xFFFFFFFF);
  EXPECT_EQ(220u, mode.bytes.size()) << "no write past the end";
  EXPECT_EQ(0u, mode.Word(219));
  mode.SetDword(DeviceMode::kFieldsOffset, 0x12345678);
  EXPECT_EQ(std::string("\x78\x56\x34\x12", 4), mode.bytes.substr(72, 4)) << "little-endian";
  DeviceMode empty;
  EXPECT_FALSE(empty.HasPaperFields());
  EXPECT_EQ(0u, empty.fields());
  empty.SetWord(DeviceMode::kPaperWidthOffset, 720);
  EXPECT_TRUE(empty.bytes.empty());
}

}  // namespace
}  // namespace kestrava
