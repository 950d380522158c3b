// Finding the attached USB printers: the enumeration's limits and flags, the supported
// vendors, the "Linked" and "Port Number" values with their traces, and the interface set
// released on every path.
#include <gtest/gtest.h>

#include "tests/comm/comm_fixture.h"

namespace kestrava {
namespace {

TEST(IsSupportedUsbVendor, ComparesCharacters9To16WithTheTenVendorsIgnoringCase) {
  const std::pair<const char16_t*, bool> rows[] = {
      {u"\\\\?\\usb#vid_067b&pid_2305#1#{x}", true},
      {u"\\\\?\\usb#vid_0416&pid_5011#1#{x}", true},
      {u"\\\\?\\usb#vid_1cbe&pid_0002#1#{x}", true},
      {u"\\\\?\\usb#vid_0483&pid_5720#1#{x}", true},
      {u"\\\\?\\usb#vid_0471&pid_0055#1#{x}", true},
      {u"\\\\?\\usb#vid_28e9&pid_0289#1#{x}", true},
      {u"\\\\?\\usb#vid_1fc9&pid_2016#1#{x}", true},  // listed as vid_1FC9
      {u"\\\\?\\usb#vid_04b8&pid_0202#1#{x}", true},
      {u"\\\\?\\USB#VID_04B8&PID_0202#1#{x}", true},  // capitals
      {u"\\\\?\\usb#vid_2d37&pid_7001#1#{x}", true},
      {u"\\\\?\\usb#vid_0a5f&pid_0080#1#{x}", true},
      {u"\\\\?\\usb#vid_0a5e&pid_0080#1#{x}", false},
      {u"\\\\?\\usb#vid_1234&pid_0001#1#{x}", false},
      {u"\\\\?\\usb#pid_0001&vid_04b8#1#{x}", false},  // the vendor elsewhere in the path
      {u"\\\\?\\hid#vid_04b8", true},                  // only the position counts
      {u"\\\\?\\usb#vid_04b", false},                  // too short
      {u"", false},
  };
  for (const auto& [path, supported] : rows) {
    EXPECT_EQ(supported, IsSupportedUsbVendor(path)) << Utf16ToUtf8(path);
  }
}

TEST(UsbPortName, ThreeDigitsOrMore) {
  EXPECT_EQ(u"USB001", UsbPortName(1));
  EXPECT_EQ(u"USB007", UsbPortName(7));
  EXPECT_EQ(u"USB012", UsbPortName(12));
  EXPECT_EQ(u"USB1234", UsbPortName(1234));
}

TEST(InterfaceValueKey, FlattensThePathUnderTheClassKey) {
  EXPECT_EQ(
      u"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"
      u"\\##?#usb#vid_04b8&pid_0202#5&1&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Control",
      InterfaceValueKey(
          u"\\\\?\\usb#vid_04b8&pid_0202#5&1&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}",
          u"Control"));
}

class Locator : public CommFixture {
 protected:
  // Every trace character has its bytes, so that the Chinese traces can be told apart.
  void SetUp() override { system.utf8CodePage = true; }

  std::vector<WString> List() {
    std::vector<WString> ports = {u"left over"};
    const bool found = link.usb().ListUsbPrinterPorts(ports);
    EXPECT_EQ(found, !ports.empty());
    return ports;
  }
};

struct LinkedRow {
  const char* what;
  std::optional<uint32_t> linked;      // nothing: no "Linked" value
  std::optional<uint32_t> portNumber;  // nothing: no "Port Number" value
  bool skipLinkedCheck;
  bool listed;
  const char* debugOutput;
};

TEST_F(Locator, LinkedAndPortNumberTable) {
  const LinkedRow rows[] = {
      {"linked", 1, 3, false, true, ""},
      {"off line", 0, 3, false, false, "print is off-line"},
      {"off line, check skipped", 0, 3, true, true, ""},
      {"no Linked value", std::nullopt, 3, false, false, "读取键失败read regkey failed"},
      {"no Linked value, check skipped", std::nullopt, 3, true, true, ""},
      {"no port number", 1, std::nullopt, false, false, "读取键失败read regkey failed"},
      {"Linked 256: its first byte is 0", 256, 3, false, false, "print is off-line"},
  };
  for (const LinkedRow& row : rows) {
    registry = FakeRegistry();
    deviceInterfaces.entries.clear();
    process.debugOutput.clear();
    PortLink subject(Comm());
    if (row.skipLinkedCheck) subject.SetSkipLinkedCheck();
    const WString path = UsbPath(u"vid_04b8", 1);
    deviceInterfaces.Add(path);
    if (row.linked) {
      registry.SetValue(InterfaceValueKey(path, u"Control"), u"Linked",
                        RegistryValue::Dword(*row.linked));
    } else {
      registry.AddKey(InterfaceValueKey(path, u"Control"));
    }
    if (row.portNumber) {
      registry.SetValue(InterfaceValueKey(path, u"Device Parameters"), u"Port Number",
                        RegistryValue::Dword(*row.portNumber));
    } else {
      registry.AddKey(InterfaceValueKey(path, u"Device Parameters"));
    }
    std::vector<WString> ports;
    subject.usb().ListUsbPrinterPorts(ports);
    EXPECT_EQ(row.listed ? std::vector<WString>{u"USB003"} : std::vector<WString>{}, ports)
        << row.what;
    EXPECT_EQ(row.debugOutput, process.debugOutput) << row.what;
    EXPECT_EQ(0, registry.openKeys()) << row.what;
  }
}

TEST_F(Locator, AMissingKeyIsTracedAsAKeyThatCannotBeOpened) {
  deviceInterfaces.Add(UsbPath(u"vid_04b8", 1));
  EXPECT_TRUE(List().empty());
  EXPECT_EQ("打开键失败read regkey failed", process.debugOutput);
}

TEST_F(Locator, ValuesAreReadIntoA261ByteBufferWhateverTheirType) {
  const WString path = UsbPath(u"vid_04b8", 1);
  RegistryValue text = RegistryValue::String(u"7");  // "7" as text: 37 00 00 00
  registry.SetValue(InterfaceValueKey(path, u"Device Parameters"), u"Port Number", text);
  RegistryValue large;
  large.type = kRegBinary;
  large.data.assign(262, '\x01');
  registry.SetValue(InterfaceValueKey(path, u"Control"), u"Linked", large);
  InterfaceValue buffer{};
  EXPECT_TRUE(link.usb().ReadInterfaceValue(path, u"Device Parameters", u"Port Number", buffer));
  EXPECT_EQ(0x37, buffer[0]);
  EXPECT_EQ(0, buffer[1]);
  EXPECT_FALSE(link.usb().ReadInterfaceValue(path, u"Control", u"Linked", buffer))
      << "262 bytes do not fit";
  for (const FakeRegistry::Access& access : registry.accesses) {
    EXPECT_EQ(kRegistryRead, access.mask);
    EXPECT_FALSE(access.create);
  }
}

TEST_F(Locator, TwoPrintersInEnumerationOrderOthersSkipped) {
  AddUsbPrinter(UsbPath(u"vid_04b8", 1), 3);
  AddUsbPrinter(UsbPath(u"vid_9999", 2), 4);  // other vendor
  AddUsbPrinter(UsbPath(u"vid_0416", 3), 5, 1, kInterfaceActive | kInterfaceDefault);  // flags 3
  AddUsbPrinter(UsbPath(u"vid_0416", 4), 6, 1, kInterfaceRemoved);
  AddUsbPrinter(UsbPath(u"vid_0416", 5), 1);
  AddUsbPrinter(UsbPath(u"vid_0483", 6), 3);  // the same port twice stays twice
  EXPECT_EQ((std::vector<WString>{u"USB003", u"USB001", u"USB003"}), List());
  EXPECT_EQ(0, deviceInterfaces.openSets());
}

TEST_F(Locator, OnlyIndices0To254AreVisited) {
  for (int i = 0; i < 300; ++i) AddUsbPrinter(UsbPath(u"vid_04b8", i), static_cast<uint32_t>(i));
  EXPECT_EQ(255u, List().size());
  EXPECT_EQ(254u, deviceInterfaces.indicesAsked.back());
  EXPECT_EQ(u"USB254", List().back());
}

TEST_F(Locator, AnUnreadableDetailEndsTheWholeOperation) {
  AddUsbPrinter(UsbPath(u"vid_04b8", 1), 1);
  AddUsbPrinter(UsbPath(u"vid_04b8", 2), 2);
  deviceInterfaces.entries[1].detailFails = true;
  AddUsbPrinter(UsbPath(u"vid_04b8", 3), 3);
  EXPECT_TRUE(List().empty());
  EXPECT_EQ((std::vector<uint32_t>{0, 1}), deviceInterfaces.indicesAsked)
      << "index 2 is never asked";
  EXPECT_TRUE(link.usb().OpenUsbPrinterByPort(u"USB003") == nullptr);
  EXPECT_TRUE(link.usb().OpenFirstUsbPrinter() != nullptr) << "the first passed before it";
  EXPECT_EQ(0, deviceInterfaces.openSets());
}

TEST_F(Locator, NoInterfaceSetMeansNoPrinters) {
  deviceInterfaces.setUnavailable = true;
  AddUsbPrinter(UsbPath(u"vid_04b8", 1), 1);
  EXPECT_TRUE(List().empty());
  EXPECT_FALSE(link.usb().OpenFirstUsbPrinter());
  EXPECT_FALSE(link.usb().OpenUsbPrinterByPort(u"USB001"));
}

TEST_F(Locator, AnOffLinePrinterIsNotFoundByPortButStillOpenedAsTheFirst) {
  AddUsbPrinter(UsbPath(u"vid_04b8", 1), 7, 0);
  EXPECT_FALSE(link.usb().OpenUsbPrinterByPort(u"USB007"));
  std::unique_ptr<Device> first = link.usb().OpenFirstUsbPrinter();
  EXPECT_TRUE(first);
  first.reset();
  link.SetSkipLinkedCheck();
  EXPECT_TRUE(link.usb().OpenUsbPrinterByPort(u"USB007"));
}

TEST_F(Locator, OpeningByPortComparesExactlyAndTakesTheFirstMatch) {
  AddUsbPrinter(UsbPath(u"vid_04b8", 1), 7);
  AddUsbPrinter(UsbPath(u"vid_04b8", 2), 7);
  EXPECT_FALSE(link.usb().OpenUsbPrinterByPort(u"usb007"));
  EXPECT_FALSE(link.usb().OpenUsbPrinterByPort(u"USB7"));
  std::unique_ptr<Device> device = link.usb().OpenUsbPrinterByPort(u"USB007");
  ASSERT_TRUE(device);
  EXPECT_EQ(1, deviceIo.Find(UsbPath(u"vid_04b8", 1))->opens);
  EXPECT_EQ(0, deviceIo.Find(UsbPath(u"vid_04b8", 2))->opens);
}

TEST_F(Locator, AFirstPrinterThatCannotBeOpenedIsNotReplacedByTheNext) {
  AddUsbPrinter(UsbPath(u"vid_04b8", 1), 1).openError = kErrorAccessDenied;
  AddUsbPrinter(UsbPath(u"vid_04b8", 2), 2);
  EXPECT_FALSE(link.usb().OpenFirstUsbPrinter());
  EXPECT_EQ(0, deviceIo.Find(UsbPath(u"vid_04b8", 2))->opens);
}

}  // namespace
}  // namespace kestrava
