// The interface radios, the port list's selection and the operating-system message's
// double-clicks, on the test host with the fake services.
#include <gtest/gtest.h>

#include "tests/comm/port_command_fixture.h"

namespace kestrava {
namespace {

using Ports = std::vector<WString>;

class InterfaceCommands : public PortCommandFixture {
 protected:
  bool Visible(int id) { return host.IsControlVisible(id); }
  WString Baud() { return host.ComboItem(control::kBaudList, Selection(control::kBaudList)); }
};

TEST_F(InterfaceCommands, EachInterfaceShowsItsPortControlsAndStartsOrEndsDiscovery) {
  struct Row {
    int interface;
    bool address, baudRate, deviceName;
    bool baudBackTo19200;
    bool discovering;
  };
  const Row rows[] = {
      {1, false, true, false, true, false},    // COM
      {2, true, false, false, false, true},    // LAN
      {3, false, true, true, true, false},     // BLE
      {0, false, false, false, false, false},  // USB
      {2, true, false, false, false, true},   {1, false, true, false, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.interface);
    ChooseBaud(u"38400");
    ASSERT_TRUE(host.Click(kInterfaceRadios[row.interface]));
    EXPECT_EQ(row.address, Visible(control::kIpAddress));
    EXPECT_EQ(row.baudRate, Visible(control::kBaudList));
    EXPECT_EQ(row.deviceName, Visible(control::kBluetoothName));
    EXPECT_EQ(row.baudBackTo19200 ? u"19200" : u"38400", Baud());
    EXPECT_EQ(row.discovering, dialog->lanDiscovery().socketOpen());
    EXPECT_EQ(row.interface, dialog->portKindChoice);
  }
}

TEST_F(InterfaceCommands, LanStartsFromTheDefaultAddressWithOneThreadAtATime) {
  dialog->discoveredPrinters.Append(u"10.0.0.9");
  Choose(0, {u"USB001"}, u"NO USB");
  host.SetIpAddress(control::kIpAddress, 0x0A000009);
  const int before = host.workersStarted;
  ASSERT_TRUE(host.Click(kInterfaceRadios[2]));
  EXPECT_EQ(0xC0A80164u, host.IpAddress(control::kIpAddress));
  EXPECT_EQ(Ports{u"Searching IP"}, Items(control::kPortList));
  EXPECT_EQ(0, Selection(control::kPortList));
  EXPECT_EQ(u"Searching IP", Text(control::kPortTextCarrier));
  EXPECT_TRUE(dialog->discoveredPrinters.Empty());
  EXPECT_TRUE(dialog->discoveryRunning);
  EXPECT_EQ(before + 1, host.workersStarted);

  ASSERT_TRUE(host.Click(kInterfaceRadios[2]));  // again, while the thread still runs
  EXPECT_EQ(before + 1, host.workersStarted) << "no second thread";
  EXPECT_EQ(Ports{u"Searching IP"}, Items(control::kPortList));
}

TEST_F(InterfaceCommands, AnAddressChosenInTheListFillsTheAddressField) {
  struct Row {
    const char* what;
    Ports found;
    Ports list;
    int selection;  // -1: none
    bool dropDown;
    uint32_t address;
    const char16_t* portText;
  };
  const Row rows[] = {
      {"an address selected",
       {u"10.0.0.5"},
       {u"10.0.0.5", u"10.0.0.7"},
       1,
       false,
       0x0A000007,
       u"10.0.0.7"},
      {"the list opened", {u"10.0.0.5"}, {u"10.0.0.5"}, 0, true, 0x0A000005, u"10.0.0.5"},
      {"no address found yet", {}, {u"USB001"}, 0, false, 0xC0A80164, u"USB001"},
      {"a USB port after LAN", {u"10.0.0.5"}, {u"USB001"}, 0, false, 0xC0A80164, u"USB001"},
      {"nothing selected", {u"10.0.0.5"}, {u"10.0.0.5"}, -1, true, 0xC0A80164, u"USB001"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Choose(0, {u"USB001"}, u"NO USB");
    host.SetIpAddress(control::kIpAddress, 0xC0A80164);
    dialog->discoveredPrinters.Clear();
    for (const WString& address : row.found) dialog->discoveredPrinters.Append(address);
    host.ClearCombo(control::kPortList);
    for (const WString& item : row.list) host.AddComboItem(control::kPortList, item);
    host.SetComboSelection(control::kPortList, row.dropDown ? row.selection : 0);
    if (row.dropDown) {
      ASSERT_TRUE(host.OpenComboList(control::kPortList));
    } else {
      ASSERT_TRUE(host.SelectComboItem(control::kPortList, row.selection));
    }
    EXPECT_EQ(row.address, host.IpAddress(control::kIpAddress));
    EXPECT_EQ(row.portText, Text(control::kPortTextCarrier));
  }
}

TEST_F(InterfaceCommands, TheFifthDoubleClickShowsTheBareFormatAndCountsAgain) {
  for (int click = 1; click <= 10; ++click) {
    ASSERT_TRUE(host.DoubleClick(control::kOsMessage));
    EXPECT_EQ(static_cast<size_t>(click / 5), host.messages.size()) << click;
  }
  EXPECT_EQ(u"%s", host.messages.back().text);
  EXPECT_EQ(0, dialog->osMessageClicks);
}

}  // namespace
}  // namespace kestrava
