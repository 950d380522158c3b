// Bluetooth port discovery over trees written into the registry: the in-memory one natively,
// and under Wine the prefix's own HKLM (the test refuses to run where a BTHENUM tree exists
// already, and removes the one it wrote).
#include <gtest/gtest.h>

#include "net/bluetooth_ports.h"
#include "tests/fakes/fake_registry.h"
#include "tests/platform/implementations.h"

namespace kestrava {
namespace {

const WString kRoot = u"SYSTEM\\CurrentControlSet\\Enum\\BTHENUM";
const WString kSerial = u"{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0002";

struct Value {
  WString key;  // below the root
  WString name;
  WString text;
};

// A paired serial printer: its instance with the port, and its device key with the name.
std::vector<Value> Printer(const WString& service, const WString& instance, const WString& port,
                           const WString& address, const WString& friendlyName) {
  return {{service + u"\\" + instance + u"\\Device Parameters", u"PortName", port},
          {u"Dev_" + address + u"\\7&2f2e3a1b&0&BluetoothDevice_" + address, u"FriendlyName",
           friendlyName}};
}

std::vector<Value> Join(std::initializer_list<std::vector<Value>> parts) {
  std::vector<Value> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct Scenario {
  const char* what;
  std::vector<Value> tree;  // nothing: no BTHENUM key at all
  std::vector<WString> names;
  std::vector<WString> labels;
};

std::vector<Scenario> Scenarios() {
  return {
      {"no Bluetooth stack", {}, {}, {}},
      {"two printers in registry order",
       Join({Printer(kSerial, u"7&1a2b3c&0&00A0B1C2D3E4_C00000000", u"COM7", u"00A0B1C2D3E4",
                     u"RT-58"),
             Printer(kSerial, u"7&1a2b3c&0&001122AABBCC_C00000000", u"COM5", u"001122AABBCC",
                     u"RT-80 Printer")}),
       {u"COM5", u"COM7"},
       {u"RT-80 Printer\r\n001122AABBCC", u"RT-58\r\n00A0B1C2D3E4"}},
      {"_LOCALMFG&0000 is no paired device",
       Printer(u"{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0000",
               u"7&1a2b3c&0&001122AABBCC_C00000000", u"COM9", u"001122AABBCC", u"RT-80"),
       {},
       {}},
      {"the service key names compare with case",
       Printer(u"{00001101-0000-1000-8000-00805f9b34fb}_localmfg&0002",
               u"7&1a2b3c&0&001122AABBCC_C00000000", u"COM9", u"001122AABBCC", u"RT-80"),
       {},
       {}},
      {"_VID&000205ac qualifies",
       Printer(u"{00001101-0000-1000-8000-00805f9b34fb}_VID&000205ac_PID&0001",
               u"7&1a2b3c&0&001122AABBCC_C00000000", u"COM11", u"001122AABBCC", u"RT-76"),
       {u"COM11"},
       {u"RT-76\r\n001122AABBCC"}},
      {"a port without COM is skipped and the walk goes on",
       Join({Printer(kSerial, u"7&1a2b3c&0&00000000000A_C00000000", u"LPT1", u"00000000000A",
                     u"Other"),
             Printer(kSerial, u"7&1a2b3c&0&00000000000B_C00000000", u"COM3", u"00000000000B",
                     u"RT-80C")}),
       {u"COM3"},
       {u"RT-80C\r\n00000000000B"}},
      {"an instance without _ has no address and is not listed",
       Join({{{kSerial + u"\\7&1a2b3c&0&00000000000A\\Device Parameters", u"PortName", u"COM4"}},
             Printer(kSerial, u"7&1a2b3c&0&00000000000B_C00000000", u"COM6", u"00000000000B",
                     u"RT-58C")}),
       {u"COM6"},
       {u"RT-58C\r\n00000000000B"}},
      {"an instance without a port name ends its service key",
       Join(
           {{{kSerial + u"\\7&1a2b3c&0&00000000000A_C00000000\\Device Parameters", u"Other", u"x"}},
            Printer(kSerial, u"7&1a2b3c&0&00000000000B_C00000000", u"COM6", u"00000000000B",
                    u"RT-58C"),
            Printer(u"{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0003",
                    u"8&1a2b3c&0&00000000000C_C00000000", u"COM8", u"00000000000C", u"RT-76C")}),
       {u"COM8"},
       {u"RT-76C\r\n00000000000C"}},
      {"a port name longer than 49 characters cannot be read",
       Printer(kSerial, u"7&1a2b3c&0&00000000000A_C00000000", u"COM" + WString(47, u'9'),
               u"00000000000A", u"RT-80"),
       {},
       {}},
      {"a device key without subkeys ends its service key",
       Join({{{kSerial + u"\\7&1a2b3c&0&00000000000A_C00000000\\Device Parameters", u"PortName",
               u"COM3"},
              {u"Dev_00000000000A", u"Ignored", u"x"}},
             Printer(kSerial, u"7&1a2b3c&0&00000000000B_C00000000", u"COM6", u"00000000000B",
                     u"RT-58C")}),
       {},
       {}},
      {"a friendly name that cannot be read leaves the port out of both lists",
       Join({{{kSerial + u"\\7&1a2b3c&0&00000000000A_C00000000\\Device Parameters", u"PortName",
               u"COM3"},
              {u"Dev_00000000000A\\Child", u"Other", u"x"}},
             Printer(kSerial, u"7&1a2b3c&0&00000000000B_C00000000", u"COM6", u"00000000000B",
                     WString(49, u'N'))}),
       {u"COM6"},
       {WString(49, u'N') + u"\r\n00000000000B"}},
  };
}

class BluetoothPortsTest : public ::testing::TestWithParam<Implementation<RegistryUnderTest>> {
 protected:
  void SetUp() override {
    subject = GetParam().make();
    ASSERT_TRUE(subject);
    registry = subject->registry.get();
    if (registry->OpenMachineKey(kRoot, kRegistryRead)) {
      GTEST_SKIP() << "this system has a Bluetooth enumeration tree of its own";
    }
  }
  void TearDown() override {
    if (registry && wrote) registry->DeleteMachineKeyTree(kRoot);
  }

  void Write(const std::vector<Value>& tree) {
    for (const Value& value : tree) {
      auto key = registry->CreateMachineKey(kRoot + u"\\" + value.key, kRegistryReadWrite);
      ASSERT_TRUE(key) << Utf16ToUtf8(value.key);
      wrote = true;
      ASSERT_TRUE(key->SetValue(value.name, RegistryValue::String(value.text)));
    }
  }

  std::unique_ptr<RegistryUnderTest> subject;
  Registry* registry = nullptr;
  bool wrote = false;
};

TEST_P(BluetoothPortsTest, Scenarios) {
  for (const Scenario& scenario : Scenarios()) {
    SCOPED_TRACE(scenario.what);
    if (wrote) {
      ASSERT_TRUE(registry->DeleteMachineKeyTree(kRoot));
    }
    wrote = false;
    Write(scenario.tree);
    std::vector<WString> names;
    std::vector<WString> labels;
    FindBluetoothPorts(*registry, names, labels);
    EXPECT_EQ(scenario.names, names);
    EXPECT_EQ(scenario.labels, labels);
    if (auto* fake = dynamic_cast<FakeRegistry*>(registry)) {
      EXPECT_EQ(0, fake->openKeys()) << "every key closed";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(All, BluetoothPortsTest, ::testing::ValuesIn(RegistryImplementations()),
                         ImplementationName());

TEST(BluetoothAddress, ThePartAfterTheLastAmpersandUpToTheFirstUnderscore) {
  const std::pair<const char16_t*, const char16_t*> rows[] = {
      {u"7&1a2b3c&0&001122AABBCC_C00000000", u"001122AABBCC"},
      {u"&001122AABBCC_C0000_0000", u"001122AABBCC"},
      {u"001122AABBCC_C00000000", u"001122AABBCC"},
      {u"7&1a2b_3c&0&001122AABBCC", u""},
      {u"7&1a2b3c&0&_C00000000", u""},
      {u"7&1a2b3c&0&", u""},
      {u"", u""},
  };
  for (const auto& [instance, address] : rows) {
    EXPECT_EQ(WString(address), BluetoothAddressOfInstance(instance)) << Utf16ToUtf8(instance);
  }
}

TEST(BluetoothAddress, WhichServiceKeysQualify) {
  const std::pair<const char16_t*, bool> rows[] = {
      {u"{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0002", true},
      {u"{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&000f", true},
      {u"{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0000", false},
      {u"{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&00000", false},
      {u"{0000111e-0000-1000-8000-00805f9b34fb}_VID&000205ac_PID&1234", true},
      {u"{0000111e-0000-1000-8000-00805f9b34fb}_VID&000205AC_PID&1234", false},
      {u"{0000111e-0000-1000-8000-00805f9b34fb}_localmfg&0002", false},
      {u"BTHENUM_LOCALMFG", true},
      {u"Dev_001122AABBCC", false},
  };
  for (const auto& [name, qualifies] : rows) {
    EXPECT_EQ(qualifies, IsBluetoothSerialServiceKey(name)) << Utf16ToUtf8(name);
  }
}

}  // namespace
}  // namespace kestrava
