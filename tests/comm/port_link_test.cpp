// The link's port selection, its serial and parallel writes, the text write and the button
// timer, byte for byte on the fake devices.
#include <gtest/gtest.h>

#include <algorithm>

#include "comm/command_blocks.h"
#include "tests/comm/comm_fixture.h"

namespace kestrava {
namespace {

struct NameRow {
  const char16_t* name;
  const char16_t* parameter;
  TransportKind kind;
  const char16_t* lptName;
  const char16_t* comName;
  uint32_t comBaud;
};

TEST_F(CommFixture, SelectPortMatchesTheKeywordsInTableOrderAndKeepsTheirParameters) {
  const NameRow rows[] = {
      {u"com3:", u"19200", TransportKind::kCom, u"LPT1", u"COM3", 19200},
      {u"COM10", u"115200", TransportKind::kCom, u"LPT1", u"COM10", 115200},
      {u"COM5:x:", u"9600", TransportKind::kCom, u"LPT1", u"COM5:X", 9600},  // the last ":"
      {u"USB001", u"", TransportKind::kUsb, u"LPT1", u"COM1", 9600},
      {u"lpt2", u"", TransportKind::kLpt, u"LPT2", u"COM1", 9600},
      {u"COMPLPT", u"", TransportKind::kLpt, u"COMPLPT", u"COM1", 9600},  // LPT is tried first
      {u"LAN", u"not an address", TransportKind::kLan, u"LPT1", u"COM1", 9600},
      {u"COM4", u"fast", TransportKind::kCom, u"LPT1", u"COM4", 0},  // no leading digits
      {u"COM4", u"38400 baud", TransportKind::kCom, u"LPT1", u"COM4", 38400},
      {u"COM4", u"99999999999", TransportKind::kCom, u"LPT1", u"COM4", 4294967295u},
  };
  for (const NameRow& row : rows) {
    PortLink fresh(Comm());
    fresh.currentKind = TransportKind::kLan;
    fresh.SelectPort(row.name, row.parameter);
    EXPECT_EQ(row.kind, fresh.currentKind) << Utf16ToUtf8(row.name);
    EXPECT_EQ(WString(row.lptName), fresh.lptName) << Utf16ToUtf8(row.name);
    EXPECT_EQ(WString(row.comName), fresh.comName) << Utf16ToUtf8(row.name);
    EXPECT_EQ(row.comBaud, fresh.comBaud) << Utf16ToUtf8(row.name);
  }
}

TEST_F(CommFixture, ANameWithoutAKeywordChangesNoState) {
  link.SelectPort(u"COM7", u"9600");
  link.SelectPort(u"PRN", u"115200");
  link.ClosePort(u"PRN");
  EXPECT_EQ(TransportKind::kCom, link.currentKind);
  EXPECT_EQ(u"COM7", link.comName);
  EXPECT_EQ(9600u, link.comBaud);
  EXPECT_TRUE(sockets.connections.empty());
}

TEST_F(CommFixture, TheInitialStateIsTheTables) {
  EXPECT_EQ(TransportKind::kUsb, link.currentKind);
  EXPECT_EQ(u"LPT1", link.lptName);
  EXPECT_EQ(u"COM1", link.comName);
  EXPECT_EQ(9600u, link.comBaud);
  EXPECT_FALSE(link.lptHandle || link.comHandle || link.usbHandle || link.lanSocket);
  EXPECT_FALSE(link.lanEndpoint);
  EXPECT_FALSE(link.skipLinkedCheck());
}

TEST_F(CommFixture, SerialPortsOfFiveCharactersOrMoreGetTheDevicePrefix) {
  deviceIo.Add(u"COM3", true);
  deviceIo.Add(u"\\\\.\\COM10", true);
  for (const char16_t* name : {u"COM3", u"COM10"}) {
    link.SelectPort(name, u"19200");
    EXPECT_TRUE(link.WriteBytes(kReset, sizeof kReset)) << Utf16ToUtf8(name);
  }
  EXPECT_EQ("1B 40", Hex(deviceIo.Written(u"COM3")));
  EXPECT_EQ("1B 40", Hex(deviceIo.Written(u"\\\\.\\COM10")));
  EXPECT_EQ("open \\\\.\\COM10", Log()[Log().size() - 6]);
}

TEST_F(CommFixture, ASerialPortIsConfiguredEvenWithBaudRateZero) {
  FakeDeviceIo::State& port = deviceIo.Add(u"COM4", true);
  link.SelectPort(u"COM4", u"auto");
  ASSERT_TRUE(link.WriteBytes(kReset, sizeof kReset));
  ASSERT_TRUE(port.timeouts && port.line);
  EXPECT_TRUE((CommTimeouts{0, 20, 20, 17, 500} == *port.timeouts)) << "timed as 1200 baud";
  LineSettings expected;
  expected.baudRate = 0;
  expected.binary = true;
  expected.xonChar = 0x11;
  expected.xoffChar = 0x13;
  EXPECT_TRUE(expected == *port.line) << "taken, XON and XOFF apart, as Windows wants them";
}

TEST_F(CommFixture, RefusedLineSettingsAreTracedAndThePortStillWrites) {
  // A device that is no serial port (a USB printer reached by a COM name, say) refuses them.
  FakeDeviceIo::State& port = deviceIo.Add(u"COM6", false);
  link.SelectPort(u"COM6", u"9600");
  EXPECT_TRUE(link.WriteBytes(kReset, sizeof kReset));
  EXPECT_EQ("1B 40", Hex(port.written));
  EXPECT_EQ("SetCommState failed with error 87\n", process.standardOutput);
}

TEST(SerialTimeouts, AWriteMayTakeTwiceItsLineTimeAndHalfASecond) {
  for (uint32_t baud : {0u, 300u, 1200u, 2400u, 9600u, 19200u, 38400u, 57600u, 115200u, 4000000u}) {
    const CommTimeouts timeouts = SerialTimeouts(baud);
    EXPECT_EQ(0u, timeouts.readInterval);
    EXPECT_EQ(20u, timeouts.readTotalMultiplier);
    EXPECT_EQ(20u, timeouts.readTotalConstant);
    EXPECT_EQ(500u, timeouts.writeTotalConstant);
    const double rate = std::max(baud, 1200u);
    for (uint32_t size : {1u, 48u, 49u, 1000u, 4096u, 30000u}) {
      const double lineTimeMs = size * 10 * 1000.0 / rate;
      const uint64_t bound =
          uint64_t{timeouts.writeTotalMultiplier} * size + timeouts.writeTotalConstant;
      EXPECT_GE(bound, 2 * lineTimeMs + 500) << baud << " baud, " << size << " bytes";
      EXPECT_LE(bound, 2 * lineTimeMs + 500 + size) << "at most a millisecond a byte more";
    }
  }
  // 9600 baud: 1.04 ms a byte on the line, 3 ms allowed.
  EXPECT_EQ(3u, SerialTimeouts(9600).writeTotalMultiplier);
}

TEST_F(CommFixture, TheComTextIsItsCharactersAndAZeroByteAndEveryWriteClosesThePort) {
  deviceIo.Add(u"COM3", true);
  link.SelectPort(u"COM3", u"115200");
  ASSERT_TRUE(link.WriteText(u"COM PORT:COM3"));
  const std::string expected("COM PORT:COM3\0", 14);
  EXPECT_EQ(Hex(expected), Hex(deviceIo.Written(u"COM3")));
  EXPECT_EQ((std::vector<std::string>{"open COM3", "timeouts COM3 0 20 20 1 500",
                                      "line COM3 115200 8/0/0 dtr binary xon 11 xoff 13",
                                      "purge COM3", "write COM3 " + Hex(expected), "close COM3"}),
            Log());
  EXPECT_FALSE(link.comHandle);
}

TEST_F(CommFixture, AFailedSerialWriteReopensThePortForTheSecondAttempt) {
  struct Row {
    std::vector<FakeDeviceIo::WriteStep> steps;
    bool delivered;
    int opens;
    const char* written;
  };
  using Step = FakeDeviceIo::WriteStep;
  const Row rows[] = {
      {{}, true, 1, "1B 40"},
      {{{Step::kFail, 0, kErrorGenFailure}}, true, 2, "1B 40"},
      {{{Step::kPart, 1, 0}}, true, 2, "1B 1B 40"},  // a short write is a failed one
      {{{Step::kFail, 0, kErrorGenFailure}, {Step::kFail, 0, kErrorGenFailure}}, false, 2, ""},
  };
  for (const Row& row : rows) {
    FakeDeviceIo::State& port = deviceIo.Add(u"COM3", true);
    port.writes.assign(row.steps.begin(), row.steps.end());
    link.SelectPort(u"COM3", u"9600");
    EXPECT_EQ(row.delivered, link.WriteBytes(kReset, sizeof kReset));
    EXPECT_EQ(row.opens, port.opens);
    EXPECT_EQ(row.written, Hex(port.written));
    EXPECT_EQ(0, deviceIo.openDevices()) << "closed after the write whatever the outcome";
  }
}

TEST_F(CommFixture, ASerialPortThatCannotBeOpenedFailsTheWrite) {
  link.SelectPort(u"COM9", u"9600");
  EXPECT_FALSE(link.WriteText(u"COM PORT:COM9"));
  EXPECT_EQ((std::vector<std::string>{"open COM9 refused 2"}), Log());
}

TEST_F(CommFixture, TheParallelPortIsOpenedAfreshForEveryWriteAndStaysOpen) {
  FakeDeviceIo::State& port = deviceIo.Add(u"LPT1", true);
  link.SelectPort(u"LPT1", u"");
  ASSERT_TRUE(link.WriteBytes(kReset, sizeof kReset));
  EXPECT_TRUE(link.lptHandle);
  ASSERT_TRUE(link.WriteBytes(kFeedAndCut, sizeof kFeedAndCut));
  EXPECT_EQ(2, port.opens);
  EXPECT_TRUE((CommTimeouts{0, 20, 20, 1, 2000} == *port.timeouts));
  EXPECT_EQ((std::vector<std::string>{"open LPT1", "timeouts LPT1 0 20 20 1 2000", "purge LPT1",
                                      "write LPT1 1B 40", "close LPT1", "open LPT1",
                                      "timeouts LPT1 0 20 20 1 2000", "purge LPT1",
                                      "write LPT1 1B 64 07 1D 56 01"}),
            Log());
}

TEST_F(CommFixture, TheButtonTimerFollowsTheKindAndAnEmptyTextSendsNothing) {
  deviceIo.Add(u"COM3", true);
  deviceIo.Add(u"LPT1", true);
  AddUsbPrinter(UsbPath(u"vid_0416", 1), 1);
  sockets.SetPeer(kLoopback, kPrinterTcpPort, FakeTcpSockets::Peer::kAccepts);
  struct Row {
    const char16_t* port;
    const char16_t* parameter;
    unsigned period;  // 0: no timer
  };
  const Row rows[] = {{u"LPT1", u"", 5000},
                      {u"COM3", u"9600", 5000},
                      {u"USB001", u"", 10000},
                      {u"LAN", u"127.0.0.1", 0}};
  for (const Row& row : rows) {
    host.timers.clear();
    host.timerChanges.clear();
    link.SelectPort(row.port, row.parameter);
    EXPECT_FALSE(link.WriteText(u"")) << Utf16ToUtf8(row.port);
    EXPECT_TRUE(host.timerChanges.empty()) << "nothing is written, so no timer";
    EXPECT_TRUE(link.WriteText(u"A")) << Utf16ToUtf8(row.port);
    if (row.period == 0) {
      EXPECT_TRUE(host.timerChanges.empty()) << Utf16ToUtf8(row.port);
    } else {
      ASSERT_EQ(1u, host.timerChanges.size()) << Utf16ToUtf8(row.port);
      EXPECT_EQ(kButtonTimer, host.timerChanges[0].id);
      EXPECT_EQ(row.period, host.timerChanges[0].periodMs) << Utf16ToUtf8(row.port);
    }
  }
  EXPECT_EQ("41 00", Hex(deviceIo.Written(u"COM3")));
  EXPECT_EQ("41 00", Hex(deviceIo.Written(UsbPath(u"vid_0416", 1))));
}

TEST_F(CommFixture, TextGoesOutInTheAnsiCodePage) {
  deviceIo.Add(u"COM3", true);
  link.SelectPort(u"COM3", u"9600");
  ASSERT_TRUE(link.WriteText(u"Gr\u00FC\u00DF \u4E2D"));
  // The fake code page is Latin-1: the CJK character has no byte and becomes "?".
  EXPECT_EQ("47 72 FC DF 20 3F 00", Hex(deviceIo.Written(u"COM3")));
}

TEST_F(CommFixture, TheWaitCursorIsShownWhileWritingAndRestoredAfter) {
  deviceIo.Add(u"COM3", true);
  std::vector<int> waitsDuringWrites;
  deviceIo.onWrite = [&](const WString&) { waitsDuringWrites.push_back(host.waitCursors); };
  link.SelectPort(u"COM3", u"9600");
  EXPECT_TRUE(link.WriteBytes(kReset, sizeof kReset));
  EXPECT_TRUE(link.WriteText(u"x"));
  EXPECT_TRUE(link.WriteWithStatusCheck(kResetBlock));
  EXPECT_TRUE(link.WriteTextToUsbPort(u"x", u"USB001"));  // a COM link writes to its port
  EXPECT_EQ((std::vector<int>{1, 1, 1, 1}), waitsDuringWrites);
  EXPECT_EQ(0, host.waitCursors) << "every wait ended";
  EXPECT_TRUE(host.misuses.empty());
}

TEST(LeadingNumber, TakesOnlyTheDigitsAtTheStart) {
  const std::pair<const char16_t*, uint32_t> rows[] = {
      {u"", 0},
      {u"9600", 9600},
      {u"19200,n,8,1", 19200},
      {u" 9600", 0},
      {u"-9600", 0},
      {u"0115200", 115200},
      {u"4294967295", 4294967295u},
      {u"4294967296", 4294967295u},
  };
  for (const auto& [text, value] : rows) EXPECT_EQ(value, LeadingNumber(text)) << Utf16ToUtf8(text);
}

}  // namespace
}  // namespace kestrava
