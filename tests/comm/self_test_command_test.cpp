// The self-test button: the six request bytes per interface, the status check for USB, the LAN
// connection left open, and the failure message.
#include <gtest/gtest.h>

#include "tests/comm/port_command_fixture.h"

namespace kestrava {
namespace {

const char16_t* const kFailure = u"Please check the connection\uFF01";
const char* const kRequest = "1F 1B 1F 67 0A 00";
// A delivered request is followed by DLE EOT 4, which these printers leave unanswered.
const std::string kAsked = std::string(kRequest) + " 10 04 04";

class SelfTest : public PortCommandFixture {};

TEST_F(SelfTest, TheRequestPerInterface) {
  const WString usb = UsbPath(u"vid_0a5f", 1);
  struct Row {
    int interface;
    std::vector<WString> ports;
    const char16_t* placeholder;
    std::string reply;  // of the USB printer
    bool delivered;
    std::string sentToUsb;
    std::string sentToCom3;
    std::string sentToCom5;
  };
  const Row rows[] = {
      {0, {u"USB001"}, u"NO USB", "\x16", true, "10 04 01 " + kAsked, "", ""},
      {0, {u"USB001"}, u"NO USB", "\x12", false, "10 04 01", "", ""},
      {1, {u"COM3"}, u"NO COM", "", true, "", kAsked, ""},
      {3, {u"COM5"}, u"NO BLE", "", true, "", "", kAsked},
      {1, {}, u"NO COM", "", false, "", "", ""},
      {3, {}, u"NO BLE", "", false, "", "", ""},
      {0, {}, u"NO USB", "\x16", false, "", "", ""},
  };
  for (const Row& row : rows) {
    deviceInterfaces.entries.clear();
    dialog->portLink().ClosePort(u"USB");
    AddUsbPrinter(usb, 1).replies = {row.reply};
    deviceIo.Add(u"COM3", true);
    deviceIo.Add(u"COM5", true);
    host.messages.clear();
    Choose(row.interface, row.ports, row.placeholder);
    ASSERT_TRUE(PressSelfTest());
    const std::string what = std::to_string(row.interface) + " " + Utf16ToUtf8(row.placeholder);
    EXPECT_EQ(row.delivered ? std::vector<WString>{} : std::vector<WString>{kFailure},
              MessageTexts())
        << what;
    EXPECT_EQ(row.sentToUsb, Hex(deviceIo.Written(usb))) << what;
    EXPECT_EQ(row.sentToCom3, Hex(deviceIo.Written(u"COM3"))) << what;
    EXPECT_EQ(row.sentToCom5, Hex(deviceIo.Written(u"COM5"))) << what;
    EXPECT_EQ(0, deviceIo.openDevices()) << what << ": USB and serial ports are let go";
  }
  EXPECT_EQ(1u, host.timerChanges.size()) << "the command arms no timer (only the port poll ran)";
}

TEST_F(SelfTest, TheUsbRequestGoesToTheFirstPrinterWhicheverPortIsSelected) {
  AddUsbPrinter(UsbPath(u"vid_04b8", 1), 1).replies = {"\x16"};
  AddUsbPrinter(UsbPath(u"vid_04b8", 2), 2).replies = {"\x16"};
  Choose(0, {u"USB001", u"USB002"}, u"NO USB");
  host.SelectComboItem(control::kPortList, 1);
  ASSERT_TRUE(PressSelfTest());
  EXPECT_EQ("10 04 01 " + kAsked, Hex(deviceIo.Written(UsbPath(u"vid_04b8", 1))));
  EXPECT_TRUE(deviceIo.Written(UsbPath(u"vid_04b8", 2)).empty());
}

TEST_F(SelfTest, ALanSelfTestLeavesTheConnectionOpenAndTheLanPageReconnects) {
  sockets.SetPeer(kDefaultPrinterAddress, 9100, FakeTcpSockets::Peer::kAccepts);
  Choose(2, {}, u"Searching IP");
  ASSERT_TRUE(PressSelfTest());
  ASSERT_EQ(1u, sockets.connections.size());
  EXPECT_EQ(kAsked, Hex(sockets.connections[0].sent));
  EXPECT_FALSE(sockets.connections[0].closed) << "left open";
  EXPECT_EQ(u"192.168.1.100", dialog->portText);

  ASSERT_TRUE(host.Click(1027));
  ASSERT_EQ(2u, sockets.connections.size());
  EXPECT_TRUE(sockets.connections[0].closed) << "the page's SelectPort closed it";
  EXPECT_EQ(kAsked, Hex(sockets.connections[0].sent)) << "and sent nothing more on it";
  EXPECT_EQ(Hex(std::string("LAN IP ADDRESS:192.168.1.100\0", 29)) + " 1B 64 07 1D 56 01 10 04 04",
            Hex(sockets.connections[1].sent));
  EXPECT_TRUE(sockets.connections[1].closed);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SelfTest, ALanPrinterThatRefusesIsNotConnected) {
  sockets.SetPeer(kDefaultPrinterAddress, 9100, FakeTcpSockets::Peer::kRefusesWhenReady);
  Choose(2, {}, u"Searching IP");
  ASSERT_TRUE(PressSelfTest());
  EXPECT_EQ(std::vector<WString>{kFailure}, MessageTexts());
  EXPECT_TRUE(sockets.Established().empty());
  EXPECT_EQ(3u, sockets.connections.size()) << "three attempts";
}

}  // namespace
}  // namespace kestrava
