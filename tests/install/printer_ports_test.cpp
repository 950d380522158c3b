#include <gtest/gtest.h>

#include "install/printer_ports.h"
#include "install/tcp_port_data.h"
#include "tests/install/engine_fixture.h"
#include "tests/install/tcp_ip_port_values.h"

namespace kestrava {
namespace {

using Lines = std::vector<std::string>;

class SerialPortTest : public EngineFixture {
 protected:
  void SetUp() override { registry.AddKey(WString(kSerialPortsKey)); }
};

TEST_F(SerialPortTest, TheLineSettingsAreWrittenBeforeTheSpoolerRestarts) {
  struct Row {
    const char16_t* port;
    const char16_t* baud;
    const char16_t* settings;
  };
  const Row rows[] = {{u"COM3:", u"115200", u"115200,n,8,1"},
                      {u"COM7:", u"9600", u"9600,n,8,1"},
                      {u"COM12:", u"", u",n,8,1"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(Utf16ToUtf8(row.port));
    std::unique_ptr<RegistryValue> seenAtStop;
    serviceManager.onCall = [&](const std::string& call) {
      journal.push_back(call);
      if (call == "stop Spooler") seenAtStop = registry.Value(WString(kSerialPortsKey), row.port);
    };
    registry.accesses.clear();
    journal.clear();
    const PortSetUp setUp = ConfigureSerialPort(Engine(), row.port, row.baud);
    EXPECT_TRUE(setUp.Written());
    ASSERT_TRUE(setUp.restart);
    EXPECT_TRUE(setUp.restart->Restarted());
    auto value = registry.Value(WString(kSerialPortsKey), row.port);
    ASSERT_TRUE(value);
    EXPECT_EQ(kRegSz, value->type);
    EXPECT_EQ(row.settings, value->Text());
    EXPECT_EQ((WString(row.settings).size() + 1) * 2, value->data.size());
    ASSERT_TRUE(seenAtStop) << "written before the restart";
    ASSERT_EQ(1u, registry.accesses.size());
    EXPECT_EQ(0x2001Fu, registry.accesses[0].mask);
    EXPECT_FALSE(registry.accesses[0].create);
    EXPECT_EQ(kRestartJournal, journal);
    EXPECT_EQ(0, registry.openKeys());
  }
}

TEST_F(SerialPortTest, AFailedWriteIsReportedAndTheSpoolerStillRestarts) {
  struct Row {
    const char* what;
    std::function<void(FakeRegistry&)> script;
    PortSetUpFault fault;
  };
  const Row rows[] = {
      {"the value refused", [](FakeRegistry& r) { r.FailWrites(WString(kSerialPortsKey)); },
       PortSetUpFault::kValueRefused},
      {"the key refused", [](FakeRegistry& r) { r.FailOpen(WString(kSerialPortsKey)); },
       PortSetUpFault::kKeyRefused},
      {"the key missing",
       [](FakeRegistry& r) { r.FailOpen(WString(kSerialPortsKey), RegistryStatus::kNotFound); },
       PortSetUpFault::kKeyMissing},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    registry = FakeRegistry();
    registry.AddKey(WString(kSerialPortsKey));
    row.script(registry);
    journal.clear();
    const PortSetUp setUp = ConfigureSerialPort(Engine(), u"COM3:", u"115200");
    EXPECT_EQ(row.fault, setUp.fault);
    EXPECT_FALSE(setUp.Written());
    ASSERT_TRUE(setUp.restart) << "restarted all the same";
    EXPECT_EQ(kRestartJournal, journal);
  }
}

TEST_F(SerialPortTest, AWrittenPortWhoseRestartFailsSaysSo) {
  serviceManager.Find(kSpoolerService)->failingStarts = -1;
  const PortSetUp setUp = ConfigureSerialPort(Engine(), u"COM3:", u"115200");
  EXPECT_TRUE(setUp.Written());
  ASSERT_TRUE(setUp.restart);
  EXPECT_FALSE(setUp.restart->Restarted());
  EXPECT_EQ(kErrorProcessAborted, setUp.restart->start.code);
}

TEST_F(SerialPortTest, ACallerThatRestartsItselfGetsTheSettingsWrittenAndNoRestart) {
  const PortSetUp setUp =
      ConfigureSerialPort(Engine(), u"COM3:", u"115200", SpoolerRestartWhen::kByCaller);
  EXPECT_TRUE(setUp.Written());
  EXPECT_TRUE(setUp.restartNeeded);
  EXPECT_FALSE(setUp.restart);
  EXPECT_TRUE(serviceManager.calls.empty());
  EXPECT_EQ(u"115200,n,8,1", registry.Value(WString(kSerialPortsKey), u"COM3:")->Text());
}

TEST_F(SerialPortTest, AnOverlongBaudTextIsCutToTheBuffer) {
  EXPECT_TRUE(ConfigureSerialPort(Engine(), u"COM3:", WString(300, u'9')).Written());
  auto value = registry.Value(WString(kSerialPortsKey), u"COM3:");
  ASSERT_TRUE(value);
  EXPECT_EQ(259u, value->Text().size());
  EXPECT_EQ(WString(259, u'9'), value->Text());
}

class TcpIpPortTest : public EngineFixture {
 public:
  void SetUp() override { registry.AddKey(WString(kTcpIpPortsKey)); }
  WString Port(const WString& address) const { return WString(kTcpIpPortsKey) + u"\\" + address; }
};

TEST_F(TcpIpPortTest, ThePortKeyHoldsTheTableInOrderAndTheSpoolerRestarts) {
  const PortSetUp setUp = CreateTcpIpPort(Engine(), u"127.0.0.1");
  EXPECT_TRUE(setUp.Written());
  ASSERT_TRUE(setUp.restart);
  EXPECT_TRUE(setUp.restart->Restarted());
  const auto expected = TcpIpPortValues(u"127.0.0.1", 2);
  std::vector<WString> names;
  for (const auto& [name, value] : expected) {
    SCOPED_TRACE(Utf16ToUtf8(name));
    names.push_back(name);
    auto stored = registry.Value(Port(u"127.0.0.1"), name);
    ASSERT_TRUE(stored);
    EXPECT_EQ(value.type, stored->type);
    EXPECT_EQ(value.data, stored->data);
  }
  EXPECT_EQ(names, registry.ValueNames(Port(u"127.0.0.1"))) << "written in table order";
  EXPECT_EQ(14u, registry.Value(Port(u"127.0.0.1"), u"SNMP Community")->data.size());
  Lines journalExpected = {"OpenPrinter ,XcvMonitor Standard TCP/IP Port"};
  journalExpected.insert(journalExpected.end(), kRestartJournal.begin(), kRestartJournal.end());
  EXPECT_EQ(journalExpected, journal) << "no monitor: the registry and a restart";
  EXPECT_EQ(0, registry.openKeys());
  for (const auto& access : registry.accesses) EXPECT_EQ(0x2001Fu, access.mask);
}

TEST_F(TcpIpPortTest, TheSameAddressTwiceLeavesOneKeyWithItsValues) {
  CreateTcpIpPort(Engine(), u"10.77.0.2");
  registry.SetValue(Port(u"10.77.0.2"), u"PortNumber", RegistryValue::Dword(515));
  CreateTcpIpPort(Engine(), u"10.77.0.2");
  auto ports = registry.OpenMachineKey(WString(kTcpIpPortsKey), kRegistryRead, nullptr);
  ASSERT_TRUE(ports);
  WString name;
  EXPECT_EQ(RegistryStatus::kOk, ports->EnumSubkey(0, 260, name));
  EXPECT_EQ(u"10.77.0.2", name);
  EXPECT_EQ(RegistryStatus::kNoMoreItems, ports->EnumSubkey(1, 260, name));
  EXPECT_EQ(9100u, registry.Value(Port(u"10.77.0.2"), u"PortNumber")->Number());
  EXPECT_EQ(10u, registry.ValueNames(Port(u"10.77.0.2")).size());
}

TEST_F(TcpIpPortTest, VersionFollowsTheMajorVersion) {
  const std::pair<VersionInfo, uint32_t> rows[] = {
      {{5, 0, 2195}, 1}, {{5, 2, 3790}, 1}, {{6, 1, 7601}, 2}, {{10, 0, 22631}, 2}};
  for (const auto& [version, expected] : rows) {
    system.version = version;
    CreateTcpIpPort(Engine(), u"10.0.0.9");
    EXPECT_EQ(expected, registry.Value(Port(u"10.0.0.9"), u"Version")->Number())
        << version.major << "." << version.minor;
  }
}

TEST_F(TcpIpPortTest, WhatStopsThePortAndWhatItLeaves) {
  struct Row {
    const char* what;
    std::function<void(EngineFixture&)> script;
    const char16_t* address;
    size_t values;  // written under the port's key
    bool restarted;
    PortSetUpFault fault;
  };
  const Row rows[] = {
      {"no version: the port without Version, no restart",
       [](EngineFixture& f) { f.system.versionQuerySucceeds = false; }, u"10.0.0.1", 9, false,
       PortSetUpFault::kVersionUnknown},
      {"the monitor's key is missing",
       [](EngineFixture& f) {
         f.registry.FailOpen(WString(kTcpIpPortsKey), RegistryStatus::kNotFound);
       },
       u"10.0.0.2", 0, false, PortSetUpFault::kKeyMissing},
      {"the monitor's key is refused",
       [](EngineFixture& f) { f.registry.FailOpen(WString(kTcpIpPortsKey)); }, u"10.0.0.4", 0,
       false, PortSetUpFault::kKeyRefused},
      {"the port's key cannot be made",
       [](EngineFixture& f) { f.registry.FailOpen(WString(kTcpIpPortsKey) + u"\\10.0.0.3"); },
       u"10.0.0.3", 0, false, PortSetUpFault::kKeyRefused},
      {"its values are refused: every one tried, the spooler restarted",
       [](EngineFixture& f) { f.registry.FailWrites(WString(kTcpIpPortsKey) + u"\\10.0.0.5"); },
       u"10.0.0.5", 0, true, PortSetUpFault::kValueRefused},
      {"no address: nothing under the monitor's own key", [](EngineFixture&) {}, u"", 0, false,
       PortSetUpFault::kKeyRefused},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EngineFixture& fixture = *this;
    registry = FakeRegistry();
    registry.AddKey(WString(kTcpIpPortsKey));
    system.versionQuerySucceeds = true;
    journal.clear();
    serviceManager.calls.clear();
    row.script(fixture);
    const PortSetUp setUp = CreateTcpIpPort(Engine(), row.address);
    EXPECT_EQ(row.fault, setUp.fault);
    EXPECT_FALSE(setUp.Written());
    EXPECT_EQ(row.values, registry.ValueNames(Port(row.address)).size());
    EXPECT_EQ(0u, registry.ValueNames(WString(kTcpIpPortsKey)).size());
    EXPECT_EQ(row.restarted, !serviceManager.calls.empty());
    EXPECT_EQ(row.restarted, setUp.restart.has_value());
    EXPECT_EQ(0, registry.openKeys());
  }
}

TEST_F(TcpIpPortTest, WhereTheMonitorAnswersItTakesThePortAndNothingIsRestarted) {
  struct Row {
    const char* what;
    std::function<void(TcpIpPortTest&)> script;
    std::vector<std::string> commands;
    PortSetUpFault fault;
    uint32_t error;
    bool existing;
  };
  const WString address = u"10.50.5.20";
  const Row rows[] = {
      {"a new port is added",
       [](TcpIpPortTest&) {},
       {"AddPort 10.50.5.20"},
       PortSetUpFault::kNone,
       0,
       false},
      {"a port the monitor has with these values is used as it is",
       [&](TcpIpPortTest& t) {
         for (const auto& [name, value] : TcpIpPortValues(address, 2)) {
           t.registry.SetValue(t.Port(address), name, value);
         }
       },
       {},
       PortSetUpFault::kNone,
       0,
       true},
      {"one of that name with other values is configured anew",
       [&](TcpIpPortTest& t) {
         t.spooler.tcpIpMonitor->ports[address] = RawPortData(address, u"printer.local");
         t.registry.SetValue(t.Port(address), u"HostName", RegistryValue::String(u"printer.local"));
       },
       {"AddPort 10.50.5.20 refused 183", "ConfigPort 10.50.5.20"},
       PortSetUpFault::kNone,
       0,
       false},
      {"the monitor refuses it: told with its code, nothing written in its stead",
       [](TcpIpPortTest& t) { t.spooler.tcpIpMonitor->refuseWith = 1722; },
       {"AddPort 10.50.5.20 refused 1722"},
       PortSetUpFault::kMonitorRefused,
       1722,
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    registry = FakeRegistry();
    registry.AddKey(WString(kTcpIpPortsKey));
    spooler.AddTcpIpMonitor();
    serviceManager.calls.clear();
    row.script(*this);
    const size_t valuesBefore = registry.ValueNames(Port(address)).size();
    const PortSetUp setUp = CreateTcpIpPort(Engine(), address);
    EXPECT_EQ(row.commands, spooler.tcpIpMonitor->commands);
    EXPECT_EQ(row.fault, setUp.fault);
    EXPECT_EQ(row.error, setUp.error);
    EXPECT_EQ(row.existing, setUp.existing);
    EXPECT_TRUE(setUp.throughMonitor);
    EXPECT_FALSE(setUp.restartNeeded);
    EXPECT_FALSE(setUp.restart);
    EXPECT_TRUE(serviceManager.calls.empty()) << "the spooler is not restarted for it";
    EXPECT_EQ(valuesBefore, registry.ValueNames(Port(address)).size())
        << "the monitor keeps its ports itself";
    if (row.fault == PortSetUpFault::kNone && !row.existing) {
      EXPECT_EQ(RawPortData(address, address), spooler.tcpIpMonitor->ports.at(address));
    }
  }
}

TEST_F(TcpIpPortTest, AMonitorThatDoesNotOpenLeavesTheRegistryAndOneRestart) {
  struct Row {
    const char* what;
    bool monitor;
    bool openDenied;
  };
  const Row rows[] = {{"no such monitor (Wine, a stripped Windows)", false, false},
                      {"no right to administer it", true, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    spooler.tcpIpMonitor.reset();
    if (row.monitor) spooler.AddTcpIpMonitor().openDenied = row.openDenied;
    serviceManager.calls.clear();
    journal.clear();
    const PortSetUp setUp = CreateTcpIpPort(Engine(), u"10.0.0.7");
    EXPECT_TRUE(setUp.Written());
    EXPECT_FALSE(setUp.throughMonitor);
    EXPECT_EQ(10u, registry.ValueNames(Port(u"10.0.0.7")).size());
    ASSERT_TRUE(setUp.restart);
    EXPECT_TRUE(setUp.restart->Restarted());
    EXPECT_EQ(1,
              std::count(serviceManager.calls.begin(), serviceManager.calls.end(), "stop Spooler"));
    EXPECT_EQ("OpenPrinter ,XcvMonitor Standard TCP/IP Port", journal.front());
  }
}

// A registry whose serial device map refuses every read, as a key deleted meanwhile does.
class RefusingRegistry final : public Registry {
 public:
  class Key final : public RegistryKey {
   public:
    explicit Key(int& reads) : reads_(reads) {}
    std::unique_ptr<RegistryKey> CreateSubkey(const WString&, uint32_t) override { return nullptr; }
    bool DeleteValue(const WString&) override { return false; }
    std::unique_ptr<RegistryKey> OpenSubkey(const WString&, uint32_t) override { return nullptr; }
    bool SetValue(const WString&, uint32_t, const void*, uint32_t) override { return false; }
    RegistryStatus QueryValue(const WString&, uint32_t, RegistryValue&) override {
      return RegistryStatus::kFailed;
    }
    RegistryStatus EnumValue(uint32_t, uint32_t, uint32_t, WString&, RegistryValue&) override {
      // Gives in after many reads, so that a loop that never stops fails instead of hanging.
      return ++reads_ > 1000 ? RegistryStatus::kNoMoreItems : RegistryStatus::kFailed;
    }
    RegistryStatus EnumSubkey(uint32_t, uint32_t, WString&) override {
      return RegistryStatus::kFailed;
    }

   private:
    int& reads_;
  };
  std::unique_ptr<RegistryKey> OpenMachineKey(const WString&, uint32_t, RegistryStatus*) override {
    return std::make_unique<Key>(reads);
  }
  std::unique_ptr<RegistryKey> CreateMachineKey(const WString&, uint32_t) override {
    return nullptr;
  }
  bool DeleteMachineKeyTree(const WString&) override { return false; }
  int reads = 0;
};

TEST(ListSerialPorts, Table) {
  using Values = std::vector<std::pair<WString, WString>>;
  struct Row {
    const char* what;
    Values values;
    std::vector<WString> expected;
  };
  const Row rows[] = {
      {"ports in the order listed",
       {{u"\\Device\\Serial0", u"COM1"}, {u"\\Device\\Serial2", u"COM3"}},
       {u"COM1", u"COM3"}},
      {"Bluetooth modems in any case are left out",
       {{u"\\Device\\BthModem0", u"COM5"},
        {u"\\Device\\BTHMODEM1", u"COM6"},
        {u"\\Device\\bthmodem2", u"COM8"},
        {u"\\Device\\Serial1", u"COM2"}},
       {u"COM2"}},
      {"a Bluetooth serial port that is no modem stays",
       {{u"\\Device\\BthPan0", u"COM9"}},
       {u"COM9"}},
      {"data too long for 260 bytes names no port",
       {{u"\\Device\\Serial0", WString(200, u'X')}, {u"\\Device\\Serial1", u"COM4"}},
       {u"COM4"}},
      {"a name too long for 260 characters",
       {{WString(300, u'n'), u"COM1"}, {u"\\Device\\Serial1", u"COM4"}},
       {u"COM4"}},
      {"no ports", {}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeRegistry registry;
    registry.AddKey(WString(kSerialDeviceMapKey));
    for (const auto& [name, data] : row.values) {
      registry.SetValue(WString(kSerialDeviceMapKey), name, RegistryValue::String(data));
    }
    std::vector<WString> ports = {u"kept"};
    EXPECT_TRUE(ListSerialPorts(registry, ports));
    std::vector<WString> expected = {u"kept"};
    expected.insert(expected.end(), row.expected.begin(), row.expected.end());
    EXPECT_EQ(expected, ports);
    EXPECT_EQ(0x20019u, registry.accesses.at(0).mask);
    EXPECT_EQ(0, registry.openKeys());
  }
}

TEST(ListSerialPorts, AMissingKeyIsNoPortAndARefusingOneAFailure) {
  FakeRegistry missing;
  std::vector<WString> ports = {u"COM1"};
  RegistryStatus status = RegistryStatus::kFailed;
  EXPECT_TRUE(ListSerialPorts(missing, ports, &status)) << "a computer without serial ports";
  EXPECT_EQ(RegistryStatus::kNotFound, status);
  EXPECT_EQ(std::vector<WString>{u"COM1"}, ports);

  RefusingRegistry refusing;
  EXPECT_FALSE(ListSerialPorts(refusing, ports, &status));
  EXPECT_EQ(RegistryStatus::kFailed, status);
  EXPECT_EQ(std::vector<WString>{u"COM1"}, ports);
  EXPECT_EQ(1, refusing.reads) << "a refusing key is not asked again and again";

  FakeRegistry locked;
  locked.AddKey(WString(kSerialDeviceMapKey));
  locked.FailOpen(WString(kSerialDeviceMapKey));
  EXPECT_FALSE(ListSerialPorts(locked, ports, &status));
  EXPECT_EQ(RegistryStatus::kFailed, status);
}

TEST(PortLists, APoolOfPortsHoldsEachOfThemAsTheSystemNamesThem) {
  FakeSystemInfo system;
  struct Row {
    const char16_t* list;
    const char16_t* port;
    bool holds;
  };
  const Row rows[] = {
      {u"COM3:", u"COM3:", true},
      {u"com3:", u"COM3:", true},
      {u"COM3:,COM4:", u"COM4:", true},
      {u"COM3:, COM4:", u"COM4:", true},
      {u"COM3:,COM4:", u"COM3:", true},
      {u"COM33:", u"COM3:", false},
      {u"COM3:,COM4:", u"COM5:", false},
      {u"COM3", u"COM3:", false},
      {u"", u"COM3:", false},
      {u"10.0.0.9,10.0.0.19", u"10.0.0.1", false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.holds, PortListHolds(system, row.list, row.port))
        << Utf16ToUtf8(row.list) << " / " << Utf16ToUtf8(row.port);
  }
  EXPECT_EQ((std::vector<WString>{u"COM3:", u"COM4:"}), PortsOfList(u" COM3: ,,COM4:"));
}

}  // namespace
}  // namespace kestrava
