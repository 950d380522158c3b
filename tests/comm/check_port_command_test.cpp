// The check-port button: the port-information page on every kind of port, byte for byte, with
// its messages, its timers and the state it leaves.
#include <gtest/gtest.h>

#include "platform/overlapped_calls.h"
#include "tests/comm/port_command_fixture.h"

namespace kestrava {
namespace {

const char16_t* const kFailure = u"Please check the connection\uFF01";
const std::string kFeedAndCutHex = "1B 64 07 1D 56 01";
// After a delivered page the printer is asked for its paper sensor (DLE EOT 4); a printer that
// does not answer that is asked nothing more.
const std::string kStatusAsked = " 10 04 04";

// The English banner for a port, written out line by line.
WString EnglishBanner(const WString& port) {
  const WString tabs(10, u'\t');
  const WString lines[] = {
      WString(25, u'*'),
      tabs + u"*" + WString(23, u' ') + u"*",
      tabs + u"* The current printer's *",
      tabs + u"*  USBPrinter port is   *",
      tabs + u"*        " + port + u"         *",
      tabs + u"*" + WString(23, u' ') + u"*",
      tabs + WString(20, u'*'),
  };
  WString banner;
  for (const WString& line : lines) banner += line + u"\r\n";
  return banner;
}

class CheckPort : public PortCommandFixture {};

TEST_F(CheckPort, TheComPageIsTheLabelAZeroByteAndFeedAndCut) {
  deviceIo.Add(u"COM3", true);
  Choose(1, {u"COM1", u"COM3"}, u"NO COM");
  host.SelectComboItem(control::kPortList, 1);
  ChooseBaud(u"115200");
  ASSERT_TRUE(PressCheckPort());
  EXPECT_EQ(Hex(std::string("COM PORT:COM3\0", 14)) + " " + kFeedAndCutHex + kStatusAsked,
            Hex(deviceIo.Written(u"COM3")));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(u"COM3:", dialog->portText) << "as the port-in-use check leaves it";
  EXPECT_EQ(0, deviceIo.openDevices()) << "every serial write closes the port";
  EXPECT_EQ(115200u, deviceIo.Find(u"COM3")->line->baudRate);
  // The text write armed the button timer; its tick enables the install controls again.
  EXPECT_EQ(5000u, host.timers.at(1));
  host.EnableControl(1019, false);
  host.EnableControl(1014, false);
  ASSERT_TRUE(host.FireTimer(1));
  EXPECT_TRUE(host.IsControlEnabled(1019));
  EXPECT_TRUE(host.IsControlEnabled(1014));
  EXPECT_FALSE(host.IsTimerRunning(1));
  EXPECT_TRUE(host.IsTimerRunning(6)) << "the port poll goes on";
}

TEST_F(CheckPort, AComOrBluetoothPortInUseIsToldAfterThePageWhichStillCounts) {
  struct Row {
    int interface;
    const char16_t* port;
    const char16_t* installedOn;
    bool told;
    const char* bytes;
  };
  const Row rows[] = {
      {1, u"COM3", u"COM3:", true, "COM PORT:COM3"},
      {1, u"COM3", u"COM4:", false, "COM PORT:COM3"},
      {3, u"COM5", u"COM5:", true, "BLUETOOTH PORT:COM5"},
  };
  for (const Row& row : rows) {
    Open();
    spooler.AddInstalledPrinter(u"RT-80C", row.installedOn);
    deviceIo.Add(row.port, true);
    Choose(row.interface, {row.port}, u"NO COM");
    ASSERT_TRUE(PressCheckPort());
    EXPECT_EQ(row.told ? std::vector<WString>{u"A printer already exists using this port"}
                       : std::vector<WString>{},
              MessageTexts())
        << "the page was delivered: no failure message";
    EXPECT_EQ(0u, deviceIo.Written(row.port).find(row.bytes)) << Utf16ToUtf8(row.port);
    EXPECT_EQ(WString(row.port) + u":", dialog->portText) << "as the check leaves it";
    EXPECT_EQ(0, deviceIo.openDevices());
    host.messages.clear();
    spooler = FakePrintSpooler();
  }
}

TEST_F(CheckPort, APlaceholderSendsNothingAndShowsOnlyTheFailure) {
  deviceIo.Add(u"COM3", true);
  for (int interface : {0, 1, 3}) {
    host.messages.clear();
    Choose(interface, {}, interface == 0 ? u"NO USB" : interface == 1 ? u"NO COM" : u"NO BLE");
    ASSERT_TRUE(PressCheckPort());
    EXPECT_EQ(std::vector<WString>{kFailure}, MessageTexts()) << interface;
  }
  EXPECT_TRUE(deviceIo.log.empty());
  EXPECT_TRUE(host.timerChanges.size() == 1u) << "only the port poll timer of the dialog";
}

TEST_F(CheckPort, AComPortThatIsNotThereFailsTheTextAndStillTriesTheCut) {
  Choose(1, {u"COM7"}, u"NO COM");
  ASSERT_TRUE(PressCheckPort());
  EXPECT_EQ(std::vector<WString>{kFailure}, MessageTexts());
  EXPECT_EQ((std::vector<std::string>{"open COM7 refused 2", "open COM7 refused 2"}), deviceIo.log);
}

TEST_F(CheckPort, TwoUsbPrintersGetTheirBannersAndTheListMessage) {
  const WString first = UsbPath(u"vid_04b8", 1);
  const WString third = UsbPath(u"vid_0416", 3);
  AddUsbPrinter(first, 1).replies = {"\x16"};
  AddUsbPrinter(third, 3);
  screenGdi.heights[EnglishBanner(u"USB001")] = 190;
  screenGdi.heights[EnglishBanner(u"USB003")] = 190;
  Choose(0, {u"USB001", u"USB003"}, u"NO USB");
  host.SelectComboItem(control::kPortList, 1);
  ASSERT_TRUE(PressCheckPort());

  EXPECT_EQ((std::vector<WString>{EnglishBanner(u"USB001"), EnglishBanner(u"USB003")}),
            screenGdi.drawnTexts);
  const WString list = u"Your USB printer's Port is :\r\n\tUSB001 ;\r\n\tUSB003 ;\r\n";
  EXPECT_EQ(std::vector<WString>{list}, MessageTexts()) << "delivered: no failure message";
  EXPECT_EQ(Utf16ToUtf8(list), process.debugOutput);
  const size_t blockSize = 8 + 72 * 380 + 4;
  const std::string toFirst = deviceIo.Written(first);
  ASSERT_EQ(blockSize + 3 + 6 + 3, toFirst.size()) << "the banner, the checked reset, DLE EOT 4";
  EXPECT_EQ("1D 76 30 00 48 00 7C 01", Hex(toFirst.substr(0, 8)));
  EXPECT_EQ("00 1D 56 00", Hex(toFirst.substr(blockSize - 4, 4)));
  EXPECT_EQ("10 04 01 1B 40 00 00 00 00 10 04 04", Hex(toFirst.substr(blockSize)))
      << "then the status request and the reset, on the first printer, and its paper sensor";
  EXPECT_EQ(blockSize, deviceIo.Written(third).size());
  // The command disabled its button for two seconds; the timer enables it again.
  EXPECT_FALSE(host.IsControlEnabled(1027));
  EXPECT_EQ(2000u, host.timers.at(3));
  EXPECT_EQ(0u, host.timers.count(1)) << "the banners and the status check arm no button timer";
  ASSERT_TRUE(host.FireTimer(3));
  EXPECT_TRUE(host.IsControlEnabled(1027));
  EXPECT_FALSE(host.IsTimerRunning(3));
}

TEST_F(CheckPort, WithoutAUsbPrinterBothMessagesAreShown) {
  Choose(0, {u"USB001"}, u"NO USB");  // the list is older than the printer's removal
  ASSERT_TRUE(PressCheckPort());
  EXPECT_EQ((std::vector<WString>{u"Have not found a USB printer device !", kFailure}),
            MessageTexts());
  EXPECT_EQ("USB\?\?\?\?\?\?\?\?\?", process.debugOutput) << "the Chinese trace in Latin-1";
}

TEST_F(CheckPort, EachCheckLetsTheUsbPrinterGoForTheSpoolerAndTheNextCheck) {
  const WString path = UsbPath(u"vid_04b8", 1);
  // Each check: the ready reply to DLE EOT 1, then no answer to DLE EOT 4.
  AddUsbPrinter(path, 1).replies = {"\x16", "", "\x16", ""};
  Choose(0, {u"USB001"}, u"NO USB");
  ASSERT_TRUE(PressCheckPort());
  EXPECT_FALSE(dialog->portLink().usbHandle);
  EXPECT_EQ(0, deviceIo.openDevices()) << "opened unshared, it would keep the spooler out";
  ASSERT_TRUE(host.FireTimer(3));
  ASSERT_TRUE(PressCheckPort());
  EXPECT_EQ(2u, screenGdi.drawnTexts.size());
  const size_t blockSize = 8 + 72 * 378 + 4;
  EXPECT_EQ(2 * (blockSize + 9 + 3), deviceIo.Written(path).size())
      << "two banners, two resets, two status requests";
  EXPECT_EQ(0, deviceIo.openDevices());
}

TEST_F(CheckPort, APrinterThatTakesNothingHoldsTheDialogOnlyForTheWriteBounds) {
  const size_t banner = 8 + 72 * 378 + 4;
  struct Row {
    const char* what;
    int interface;
    const char16_t* port;
    uint64_t heldMs;
    const char* trace;
    bool cancelIgnored = false;
  };
  const Row rows[] = {
      // The banner's bound (3 s and 1 ms for every 64 bytes), then the status request's.
      {"USB: banner, then the status request, given up", 0, u"USB001", 3000 + banner / 64 + 3000,
       "WriteFile failed with error 1460\n"},
      // Two attempts of the 14 bytes of the page at 9600 baud (3 ms a byte, 500 ms, and a
      // second beyond), then two of the 6 bytes of feed and cut.
      {"COM: every write tried twice", 1, u"COM3",
       2 * (3 * 14 + 500 + 1000) + 2 * (3 * 6 + 500 + 1000), ""},
      // A driver that ignores the cancel: each write, the banner's and then the status
      // request's on a handle opened anew, holds for its bound and the grace after the cancel.
      {"USB whose driver ignores the cancel", 0, u"USB001",
       3000 + banner / 64 + kCancelGraceMs + 3000 + kCancelGraceMs,
       "WriteFile failed with error 1460\n", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const WString usb = UsbPath(u"vid_04b8", 1);
    deviceInterfaces.entries.clear();
    FakeDeviceIo::State& printer =
        row.interface == 0 ? AddUsbPrinter(usb, 1) : deviceIo.Add(row.port, true);
    printer.writes.assign(8, {FakeDeviceIo::WriteStep::kNever});
    printer.cancelIgnored = row.cancelIgnored;
    process.standardOutput.clear();
    host.messages.clear();
    Choose(row.interface, {row.port}, row.interface == 0 ? u"NO USB" : u"NO COM");
    ChooseBaud(u"9600");
    const uint64_t before = clock.MonotonicMs();
    ASSERT_TRUE(PressCheckPort());
    EXPECT_EQ(row.heldMs, clock.MonotonicMs() - before);
    EXPECT_EQ(kFailure, MessageTexts().back());
    EXPECT_EQ(row.trace, process.standardOutput);
    EXPECT_TRUE(printer.written.empty());
    EXPECT_EQ(0, deviceIo.openDevices());
    EXPECT_EQ(row.cancelIgnored ? 2 : 0, printer.abandonedCalls);
    if (host.IsTimerRunning(3)) host.FireTimer(3);  // the USB page disabled its button
  }
}

TEST_F(CheckPort, AnUnreadableInterfaceEndsTheBannersWithoutAMessage) {
  AddUsbPrinter(UsbPath(u"vid_04b8", 1), 1).replies = {"\x16"};
  AddUsbPrinter(UsbPath(u"vid_04b8", 2), 2);
  deviceInterfaces.entries[1].detailFails = true;
  Choose(0, {u"USB001"}, u"NO USB");
  ASSERT_TRUE(PressCheckPort());
  EXPECT_EQ(1u, screenGdi.drawnTexts.size());
  EXPECT_TRUE(host.messages.empty()) << "no list, and the reset went to the first printer";
}

struct LinkedRow {
  VersionInfo version;
  bool listed;
};

TEST_F(CheckPort, AnOffLinePrinterIsPrintedOnlyFromWindows8On) {
  const LinkedRow rows[] = {{{6, 1, 7601}, false},    // Windows 7
                            {{6, 2, 9200}, true},     // Windows 8
                            {{6, 3, 9600}, true},     // Windows 8.1
                            {{10, 0, 19045}, true},   // Windows 10
                            {{10, 1, 19045}, true},   // Windows 10.1
                            {{10, 0, 22631}, true}};  // Windows 11
  for (const LinkedRow& row : rows) {
    system.version = row.version;
    deviceInterfaces.entries.clear();
    screenGdi.drawnTexts.clear();
    host.messages.clear();
    Open();
    AddUsbPrinter(UsbPath(u"vid_04b8", 1), 5, 0).replies = {"\x16"};
    Choose(0, {u"USB005"}, u"NO USB");
    ASSERT_TRUE(PressCheckPort());
    EXPECT_EQ(row.listed ? 1u : 0u, screenGdi.drawnTexts.size()) << Utf16ToUtf8(dialog->osName);
    EXPECT_EQ(row.listed, dialog->portLink().skipLinkedCheck()) << Utf16ToUtf8(dialog->osName);
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(row.listed ? u"Your USB printer's Port is :\r\n\tUSB005 ;\r\n"
                         : u"Have not found a USB printer device !",
              host.messages[0].text);
  }
}

TEST_F(CheckPort, TheDetectedReleaseNameStaysForTheNextLanguageChange) {
  system.version = {10, 0, 19045};
  Open();
  Choose(0, {u"USB001"}, u"NO USB");
  ASSERT_TRUE(PressCheckPort());
  EXPECT_EQ(u"Windows 10", dialog->osName);
  ASSERT_TRUE(host.SelectComboItem(control::kLanguageList, 1));
  EXPECT_EQ(u"You are using Windows 10 x64 OS.\nPlease select Windows 10 to install.",
            Text(control::kOsMessage));
}

TEST_F(CheckPort, TheJapaneseAndChineseBannersAndLists) {
  struct Row {
    int item;
    const char16_t* header;
    const char16_t* bannerLine;  // the line with the port
  };
  const Row rows[] = {
      {0, u"当前USB打印机的打印端口是：\r\n", u"\t\t\t\t\t\t\t\t\t\t*      USB012      *\r\n"},
      {2, u"現在のUSBプリンターのプリントポートは:\r\n",
       u"\t\t\t\t\t\t\t\t\t\t* \t\tUSB012\t      *\r\n"},
  };
  for (const Row& row : rows) {
    deviceInterfaces.entries.clear();
    screenGdi.drawnTexts.clear();
    host.messages.clear();
    host.FireTimer(3);  // the button is disabled for two seconds after a check
    ASSERT_TRUE(host.SelectComboItem(control::kLanguageList, row.item));
    AddUsbPrinter(UsbPath(u"vid_28e9", 1), 12).replies = {"\x16"};
    Choose(0, {u"USB012"}, u"NO USB");
    ASSERT_TRUE(PressCheckPort());
    ASSERT_EQ(1u, screenGdi.drawnTexts.size());
    EXPECT_NE(WString::npos, screenGdi.drawnTexts[0].find(row.bannerLine)) << row.item;
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_EQ(WString(row.header) + u"\tUSB012 ;\r\n", host.messages[0].text);
  }
}

TEST_F(CheckPort, TheLanPageGoesToPort9100OfTheAddressFieldAndTheSocketIsClosed) {
  sockets.SetPeer(kDefaultPrinterAddress, 9100, FakeTcpSockets::Peer::kAccepts);
  Choose(2, {}, u"Searching IP");
  ASSERT_TRUE(PressCheckPort());
  ASSERT_EQ(1u, sockets.connections.size());
  EXPECT_EQ(
      Hex(std::string("LAN IP ADDRESS:192.168.1.100\0", 29)) + " " + kFeedAndCutHex + kStatusAsked,
      Hex(sockets.connections[0].sent));
  EXPECT_TRUE(sockets.connections[0].closed);
  EXPECT_FALSE(dialog->portLink().lanSocket);
  EXPECT_EQ(u"192.168.1.100", dialog->portText);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(0u, host.timers.count(1)) << "no button timer for the LAN";
  EXPECT_EQ((std::vector<uint32_t>{25, 25}), clock.Sleeps());
}

TEST_F(CheckPort, ALanPrinterThatIsOffFailsAfterAboutFourSeconds) {
  Choose(2, {}, u"Searching IP");
  const uint64_t before = clock.MonotonicMs();
  ASSERT_TRUE(PressCheckPort());
  EXPECT_EQ(std::vector<WString>{kFailure}, MessageTexts());
  EXPECT_EQ(3u, sockets.connections.size());
  EXPECT_EQ(0, sockets.openSockets());
  // Three waits of a second and two pauses inside SelectPort; then both writes fail and pause.
  EXPECT_EQ((std::vector<uint32_t>{500, 500, 50, 25, 50, 25}), clock.Sleeps());
  EXPECT_EQ(4150u, clock.MonotonicMs() - before);
}

TEST_F(CheckPort, TheBluetoothPageAddsAResetAndClosesThePort) {
  deviceIo.Add(u"COM5", true);
  Choose(3, {u"COM5"}, u"NO BLE");
  ASSERT_TRUE(PressCheckPort());
  EXPECT_EQ(Hex(std::string("BLUETOOTH PORT:COM5\0", 20)) + " " + kFeedAndCutHex + " 1B 40" +
                kStatusAsked,
            Hex(deviceIo.Written(u"COM5")));
  EXPECT_EQ(19200u, deviceIo.Find(u"COM5")->line->baudRate) << "the list's default rate";
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(5000u, host.timers.at(1));
}

TEST_F(CheckPort, TheHiddenOtherInterfaceSendsNothing) {
  deviceIo.Add(u"COM3", true);
  Choose(1, {u"COM3"}, u"NO COM");
  host.SetRadioGroupPosition(control::kInterfaceFirst, 4);
  ASSERT_TRUE(PressCheckPort());
  EXPECT_EQ(std::vector<WString>{kFailure}, MessageTexts());
  EXPECT_TRUE(deviceIo.log.empty());
}

}  // namespace
}  // namespace kestrava
