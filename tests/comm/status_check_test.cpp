// The status-checked write to a USB printer: the command goes only after the printer has
// answered DLE EOT 1 with a reply holding 0x16, and a printer that never answers cannot hold
// the dialog.
#include <gtest/gtest.h>

#include "comm/command_blocks.h"
#include "tests/comm/comm_fixture.h"

namespace kestrava {
namespace {

using Step = FakeDeviceIo::WriteStep;

struct StatusRow {
  const char* what;
  std::vector<std::string> replies;  // none: never answers
  std::vector<Step> writes;
  std::optional<uint32_t> readError;
  bool delivered;
  const char* written;  // what the printer took
  const char* trace;
  bool handleKept;
};

class StatusCheck : public CommFixture {
 protected:
  const WString path = UsbPath(u"vid_0483", 1);
};

TEST_F(StatusCheck, Table) {
  const StatusRow rows[] = {
      {"ready: 0x16 among the reply",
       {"\x12\x16"},
       {},
       {},
       true,
       "10 04 01 1B 40 00 00 00 00",
       "",
       true},
      {"0x12 only: no command", {"\x12"}, {}, {}, false, "10 04 01", "", false},
      {"no reply at all", {}, {}, {}, false, "10 04 01", "", false},
      {"an empty reply", {std::string()}, {}, {}, false, "10 04 01", "", false},
      {"the reply's sixth byte is not read",
       {std::string("\x12\x12\x12\x12\x12\x16", 6)},
       {},
       {},
       false,
       "10 04 01",
       "",
       false},
      {"the request is short",
       {"\x16"},
       {{Step::kPart, 2, 0}},
       {},
       false,
       "10 04",
       "WriteFile failed with error 0\n",
       false},
      {"the request fails",
       {"\x16"},
       {{Step::kFail, 0, kErrorGenFailure}},
       {},
       false,
       "",
       "WriteFile failed with error 31\n",
       false},
      {"the read fails",
       {},
       {},
       kErrorDeviceNotConnected,
       false,
       "10 04 01",
       "ReadFile failed with error 1167\n",
       false},
      {"the command fails once: reopened, second pass",
       {"\x16", "\x16"},
       {{Step::kAll, 0, 0}, {Step::kFail, 0, kErrorGenFailure}},
       {},
       true,
       "10 04 01 10 04 01 1B 40 00 00 00 00",
       "",
       true},
      {"the command fails twice",
       {"\x16", "\x16"},
       {{Step::kAll, 0, 0}, {Step::kFail, 0, 31}, {Step::kAll, 0, 0}, {Step::kFail, 0, 31}},
       {},
       false,
       "10 04 01 10 04 01",
       "",
       false},
      {"the command is short",
       {"\x16", "\x16"},
       {{Step::kAll, 0, 0}, {Step::kPart, 5, 0}},
       {},
       true,
       "10 04 01 1B 40 00 00 00 10 04 01 1B 40 00 00 00 00",
       "",
       true},
  };
  for (const StatusRow& row : rows) {
    FakeDeviceIo::State& printer = AddUsbPrinter(path, 1);
    printer.replies.assign(row.replies.begin(), row.replies.end());
    printer.writes.assign(row.writes.begin(), row.writes.end());
    printer.readError = row.readError;
    process.standardOutput.clear();
    link.usbHandle.reset();
    link.SelectPort(u"USB", u"");
    EXPECT_EQ(row.delivered, link.WriteWithStatusCheck(kResetBlock)) << row.what;
    EXPECT_EQ(row.written, Hex(printer.written)) << row.what;
    EXPECT_EQ(row.trace, process.standardOutput) << row.what;
    EXPECT_EQ(row.handleKept, link.usbHandle != nullptr) << row.what;
    EXPECT_EQ(row.handleKept ? 1 : 0, deviceIo.openDevices()) << row.what;
    deviceInterfaces.entries.clear();
  }
}

TEST_F(StatusCheck, TheReplyIsReadAfter50MsAndWaitedForAtMostASecond) {
  AddUsbPrinter(path, 1);  // never answers
  link.SelectPort(u"USB", u"");
  const uint64_t before = clock.MonotonicMs();
  EXPECT_FALSE(link.WriteWithStatusCheck(kSelfTestRequest));
  EXPECT_EQ((std::vector<uint32_t>{50}), clock.Sleeps());
  const FakeDeviceIo::State& printer = *deviceIo.Find(path);
  ASSERT_EQ(1u, printer.readTimeouts.size());
  EXPECT_LE(printer.readTimeouts[0], 1000u);
  EXPECT_GT(printer.readTimeouts[0], 0u);
  EXPECT_LE(clock.MonotonicMs() - before, 1050u);
  EXPECT_EQ("10 04 01", Hex(printer.written)) << "no self-test request without a reply";
  EXPECT_NE(Log().end(), std::find(Log().begin(), Log().end(),
                                   "read " + Utf16ToUtf8(path) + " 5 within 1000 ms"));
}

TEST_F(StatusCheck, NoSupportedPrinterMeansNothingIsWritten) {
  deviceInterfaces.Add(UsbPath(u"vid_9999", 1));
  deviceIo.Add(UsbPath(u"vid_9999", 1));
  link.SelectPort(u"USB", u"");
  EXPECT_FALSE(link.WriteWithStatusCheck(kResetBlock));
  EXPECT_TRUE(Log().empty());
}

TEST_F(StatusCheck, OtherKindsWriteTheCommandAsItIs) {
  deviceIo.Add(u"COM3", true);
  link.SelectPort(u"COM3", u"9600");
  EXPECT_TRUE(link.WriteWithStatusCheck(kSelfTestRequest));
  EXPECT_EQ("1F 1B 1F 67 0A 00", Hex(deviceIo.Written(u"COM3")));
  EXPECT_FALSE(link.comHandle);
}

TEST_F(StatusCheck, UsbWritesGoToTheFirstSupportedPrinterWhicheverPortIsSelected) {
  AddUsbPrinter(UsbPath(u"vid_1234", 9), 9);  // not a supported vendor
  AddUsbPrinter(UsbPath(u"vid_04b8", 1), 1).replies = {"\x16"};
  AddUsbPrinter(UsbPath(u"vid_0416", 3), 3).replies = {"\x16"};
  link.SelectPort(u"USB003", u"");
  EXPECT_TRUE(link.WriteWithStatusCheck(kSelfTestRequest));
  EXPECT_TRUE(link.WriteBytes(kFeedAndCut, sizeof kFeedAndCut)) << "the handle stays open";
  EXPECT_EQ("10 04 01 1F 1B 1F 67 0A 00 1B 64 07 1D 56 01",
            Hex(deviceIo.Written(UsbPath(u"vid_04b8", 1))));
  EXPECT_TRUE(deviceIo.Written(UsbPath(u"vid_0416", 3)).empty());
  EXPECT_EQ(1, deviceIo.Find(UsbPath(u"vid_04b8", 1))->opens);
}

TEST_F(StatusCheck, AUsbWriteThatFailsReopensTheFirstPrinterOnce) {
  struct Row {
    const char* what;
    std::vector<Step> steps;
    bool delivered;
    int opens;
    bool kept;
  };
  const Row rows[] = {
      {"first write", {}, true, 1, true},
      {"second write", {{Step::kFail, 0, 31}}, true, 2, true},
      {"the printer vanished", {{Step::kVanish, 0, 0}}, false, 1, false},
      {"both fail", {{Step::kFail, 0, 31}, {Step::kFail, 0, 31}}, false, 2, false},
  };
  for (const Row& row : rows) {
    FakeDeviceIo::State& printer = AddUsbPrinter(path, 1);
    printer.writes.assign(row.steps.begin(), row.steps.end());
    link.usbHandle.reset();
    link.SelectPort(u"USB001", u"");
    EXPECT_EQ(row.delivered, link.WriteBytes(kReset, sizeof kReset)) << row.what;
    EXPECT_EQ(row.opens, printer.opens) << row.what;
    EXPECT_EQ(row.kept, link.usbHandle != nullptr) << row.what;
    deviceInterfaces.entries.clear();
  }
}

TEST_F(StatusCheck, WritingTextToAUsbPortOpensThatPrinterAndReplacesTheOpenHandle) {
  AddUsbPrinter(UsbPath(u"vid_04b8", 1), 1);
  AddUsbPrinter(UsbPath(u"vid_04b8", 3), 3);
  link.SelectPort(u"USB", u"");
  ASSERT_TRUE(link.WriteBytes(kReset, sizeof kReset));  // holds the first printer
  EXPECT_TRUE(link.WriteTextToUsbPort(u"A", u"USB003"));
  EXPECT_EQ("41 00", Hex(deviceIo.Written(UsbPath(u"vid_04b8", 3))));
  EXPECT_EQ(1, deviceIo.openDevices()) << "the first printer's handle was closed";
  EXPECT_TRUE(link.WriteTextToUsbPort(u"B", u"USB001")) << "and can be opened again by port";
  EXPECT_FALSE(link.WriteTextToUsbPort(u"C", u"usb001")) << "port names compare exactly";
  EXPECT_FALSE(link.usbHandle);
}

}  // namespace
}  // namespace kestrava
