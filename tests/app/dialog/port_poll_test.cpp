// Timer 6 on the fake services: the port list of each interface follows what is attached, LAN
// discovery is kept going, and a tick never runs inside another.
#include <gtest/gtest.h>

#include "install/printer_ports.h"
#include "tests/comm/port_command_fixture.h"

namespace kestrava {
namespace {

using Ports = std::vector<WString>;

const WString kBthEnum = u"SYSTEM\\CurrentControlSet\\Enum\\BTHENUM\\";

WString UsbPath(int n) {
  return u"\\\\?\\usb#vid_0416&pid_5011#" + WidenAscii(std::to_string(n)) +
         u"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}

class PortPoll : public PortCommandFixture {
 protected:
  // The radio as the user checks it, with its handler.
  void Choose(int interface) { ASSERT_TRUE(host.Click(kInterfaceRadios[interface])); }
  void Tick() { ASSERT_TRUE(host.FireTimer(6)); }
  void AddSerialPort(const WString& device, const WString& port) {
    registry.SetValue(WString(kSerialDeviceMapKey), device, RegistryValue::String(port));
  }
  void RemoveSerialPort(const WString& device) {
    registry.DeleteMachineKeyTree(WString(kSerialDeviceMapKey));
    for (const auto& [name, port] : serialPorts) {
      if (name != device) AddSerialPort(name, port);
    }
  }
  void AddBluetoothPrinter(const WString& instance, const WString& port, const WString& address,
                           const WString& name) {
    const WString service = u"{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0002\\";
    registry.SetValue(kBthEnum + service + instance + u"\\Device Parameters", u"PortName",
                      RegistryValue::String(port));
    registry.SetValue(kBthEnum + u"Dev_" + address + u"\\7&1&0&BluetoothDevice", u"FriendlyName",
                      RegistryValue::String(name));
  }
  WString SelectedPort() {
    return host.ComboItem(control::kPortList, Selection(control::kPortList));
  }

  std::vector<std::pair<WString, WString>> serialPorts;
};

TEST_F(PortPoll, UsbListsTheAttachedPrintersWithoutTheConnectionTestAndKeepsTheSelection) {
  Choose(0);
  Tick();
  EXPECT_EQ(Ports{u"NO USB"}, Items(control::kPortList));
  EXPECT_EQ(0, Selection(control::kPortList));
  EXPECT_EQ(u"NO USB", Text(control::kPortTextCarrier));
  EXPECT_TRUE(dialog->portLink().skipLinkedCheck());

  AddUsbPrinter(UsbPath(1), 1, /*linked=*/0);  // listed all the same: the test is skipped
  Tick();
  EXPECT_EQ(Ports{u"USB001"}, Items(control::kPortList));
  AddUsbPrinter(UsbPath(2), 3);
  Tick();
  EXPECT_EQ((Ports{u"USB001", u"USB003"}), Items(control::kPortList));
  EXPECT_EQ(u"USB001", SelectedPort()) << "the second printer keeps the first selected";
  EXPECT_EQ(u"USB001", Text(control::kPortTextCarrier));
}

TEST_F(PortPoll, ComFollowsTheSerialPortsAndARemovedSelectionFallsToTheFirst) {
  serialPorts = {{u"\\Device\\Serial0", u"COM1"},
                 {u"\\Device\\Serial2", u"COM3"},
                 {u"\\Device\\BthModem0", u"COM9"}};
  for (const auto& [device, port] : serialPorts) AddSerialPort(device, port);
  Choose(1);
  Tick();
  EXPECT_EQ((Ports{u"COM1", u"COM3"}), Items(control::kPortList));
  ASSERT_TRUE(host.SelectComboItem(control::kPortList, 1));
  Tick();
  EXPECT_EQ(u"COM3", Text(control::kPortTextCarrier));
  RemoveSerialPort(u"\\Device\\Serial2");
  Tick();
  EXPECT_EQ(Ports{u"COM1"}, Items(control::kPortList));
  EXPECT_EQ(u"COM1", Text(control::kPortTextCarrier));
  EXPECT_EQ(0, registry.openKeys());
}

TEST_F(PortPoll, LanSaysInputIpInTheUiLanguageAndKeepsDiscoveryGoing) {
  const std::pair<int, const char16_t*> rows[] = {
      {1033, u"Input IP"}, {1041, u"Input IP"}, {2052, u"请输入IP"}};
  for (const auto& [language, text] : rows) {
    dialog->uiLanguage = language;
    Choose(2);
    EXPECT_TRUE(dialog->discoveryRunning) << "the radio started the thread";
    const int cancels = udp.Cancels();
    Tick();
    EXPECT_EQ(text, Text(control::kPortTextCarrier)) << language;
    EXPECT_EQ(cancels + 1, udp.Cancels()) << "the waiting cycle is ended";
    EXPECT_EQ(Ports{u"Searching IP"}, Items(control::kPortList)) << "only discovery fills it";
    // The thread has ended: the next tick reopens the socket and starts another.
    dialog->discoveryRunning = false;
    const int started = host.workersStarted;
    Tick();
    EXPECT_EQ(started + 1, host.workersStarted);
  }
}

TEST_F(PortPoll, BluetoothShowsTheDeviceNameOfTheSelectedPort) {
  Choose(3);
  Tick();
  EXPECT_EQ(Ports{u"NO BLE"}, Items(control::kPortList));
  EXPECT_EQ(u"NO BLE", Text(control::kBluetoothName));
  EXPECT_EQ(u"NO BLE", Text(control::kPortTextCarrier));

  AddBluetoothPrinter(u"7&1&0&001122AABBCC_C00000000", u"COM5", u"001122AABBCC", u"RT-80");
  AddBluetoothPrinter(u"7&1&0&00A0B1C2D3E4_C00000000", u"COM7", u"00A0B1C2D3E4", u"RT-58");
  Tick();
  EXPECT_EQ((Ports{u"COM5", u"COM7"}), Items(control::kPortList));
  EXPECT_EQ(u"RT-80\r\n001122AABBCC", Text(control::kBluetoothName));
  ASSERT_TRUE(host.SelectComboItem(control::kPortList, 1));
  Tick();
  EXPECT_EQ(u"RT-58\r\n00A0B1C2D3E4", Text(control::kBluetoothName));
  EXPECT_EQ(u"COM7", Text(control::kPortTextCarrier));

  // What the system lists is shown as it stands, never read as a format.
  AddBluetoothPrinter(u"7&1&0&00A0B1C2D3E5_C00000000", u"COM8", u"00A0B1C2D3E5", u"%s%d%n %%");
  Tick();
  ASSERT_TRUE(host.SelectComboItem(control::kPortList, 2));
  Tick();
  EXPECT_EQ(u"%s%d%n %%\r\n00A0B1C2D3E5", Text(control::kBluetoothName));

  // Ports without names: every one is "Printer001".
  dialog->ExchangeControlData(true);
  dialog->ShowBluetoothPorts({u"COM5", u"COM7", u"COM8"}, {});
  EXPECT_EQ(u"Printer001", dialog->btDeviceName) << "COM8 stays selected";
  EXPECT_EQ(u"COM8", dialog->portText);
}

TEST_F(PortPoll, ATickThatComesWhileATickWaitsForABoxIsLetGo) {
  // No interface radio checked: each tick's exchange shows the range message, and the box's
  // message loop delivers the next tick meanwhile.
  host.SetRadioGroupPosition(control::kInterfaceFirst, -1);
  int nested = 0;
  host.whileShown = [&](const WString&) {
    if (++nested < 5) host.FireTimer(6);
  };
  Tick();
  EXPECT_EQ(1u, host.messages.size()) << "no box inside the box";
  host.whileShown = nullptr;
  Tick();
  EXPECT_EQ(2u, host.messages.size()) << "the next tick runs again";
}

TEST_F(PortPoll, ATickInsideACommandsBoxStillRefreshesTheList) {
  AddSerialPort(u"\\Device\\Serial2", u"COM3");
  Choose(1);
  Tick();
  spooler.AddInstalledPrinter(u"RT-58", u"COM3:");
  AddSerialPort(u"\\Device\\Serial3", u"COM4");
  host.whileShown = [&](const WString&) { host.FireTimer(6); };
  ASSERT_TRUE(host.Click(1019));  // refused: the port is in use
  EXPECT_EQ((Ports{u"COM3", u"COM4"}), Items(control::kPortList));
}

}  // namespace
}  // namespace kestrava
