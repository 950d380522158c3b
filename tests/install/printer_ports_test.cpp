#include <gtest/gtest.h>

#include "install/printer_ports.h"
#include "install/spooler_restart.h"
#include "tests/install/engine_fixture.h"
#include "tests/install/tcp_ip_port_values.h"

namespace kestrava {
namespace {

using Lines = std::vector<std::string>;

const std::string kStop = "run C:\\WINDOWS\\system32\\net.exe stop spooler /y";
const std::string kStart = "run C:\\WINDOWS\\system32\\net.exe start spooler";

class SpoolerRestartTest : public EngineFixture {};

TEST_F(SpoolerRestartTest, TheSystemsNetStopsThenStartsTheSpoolerTwentyMillisecondsApart) {
  // A net.exe beside the program (where a download lands) must never be the one that runs.
  files.AddFile(process.programFilePath.substr(0, 9) + u"net.exe", "MZ planted");
  files.AddFile(kNet, "MZ");
  shell.files = &files;
  EXPECT_TRUE(RestartSpoolerByCommand(shell, clock));
  EXPECT_EQ((Lines{kStop, "Sleep 20", kStart}), journal);
}

TEST_F(SpoolerRestartTest, CommandsThatCannotRunArePassedOver) {
  struct Row {
    const char* what;
    std::function<void(FakeShell&)> script;
    Lines expected;
  };
  const Row rows[] = {
      {"the spooler already stopped: the stop fails, the start still runs",
       [](FakeShell& s) {
         s.Define(kNet, [](const WString& parameters) {
           return parameters == u"stop spooler /y" ? 2u : 0u;  // "Service not active."
         });
       },
       {kStop, "Sleep 20", kStart}},
      {"a net that does not know /y refuses the line: the stop again without it",
       [](FakeShell& s) {
         s.Define(kNet, [](const WString& parameters) {
           return parameters == u"stop spooler /y" ? 1u : 0u;  // "The syntax of this command..."
         });
       },
       {kStop, "run C:\\WINDOWS\\system32\\net.exe stop spooler", "Sleep 20", kStart}},
      {"net cannot start",
       [](FakeShell& s) { s.Refuse(kNet); },
       {"refused C:\\WINDOWS\\system32\\net.exe stop spooler /y", "Sleep 20",
        "refused C:\\WINDOWS\\system32\\net.exe start spooler"}},
      {"no system folder: nothing is run, nothing looked for",
       [](FakeShell& s) { s.systemFolder.clear(); },
       {"Sleep 20"}},
      {"a system folder with its backslash",
       [](FakeShell& s) { s.systemFolder = u"D:\\"; },
       {"run D:\\net.exe stop spooler /y", "Sleep 20", "run D:\\net.exe start spooler"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeShell fresh;
    fresh.onCall = [this](const std::string& call) { journal.push_back(call); };
    row.script(fresh);
    journal.clear();
    EXPECT_TRUE(RestartSpoolerByCommand(fresh, clock));
    EXPECT_EQ(row.expected, journal);
  }
}

TEST_F(SpoolerRestartTest, ACommandThatNeverEndsIsEndedAfterAMinuteAndTheRestartGoesOn) {
  // A net that waits for an answer on its hidden console, or for a service that never stops.
  FakeShell fresh;
  fresh.clock = &clock;
  fresh.onCall = [this](const std::string& call) { journal.push_back(call); };
  fresh.Hang(kNet);
  journal.clear();
  const uint64_t before = clock.MonotonicMs();
  EXPECT_TRUE(RestartSpoolerByCommand(fresh, clock));
  EXPECT_EQ((Lines{kStop, "ended C:\\WINDOWS\\system32\\net.exe stop spooler /y", "Sleep 20",
                   kStart, "ended C:\\WINDOWS\\system32\\net.exe start spooler"}),
            journal);
  EXPECT_EQ((std::vector<uint32_t>{60000, 60000}), fresh.waitLimits);
  EXPECT_EQ(120020u, clock.MonotonicMs() - before);
}

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
    shell.Define(kNet, [&](const WString& parameters) {
      if (parameters == u"stop spooler /y")
        seenAtStop = registry.Value(WString(kSerialPortsKey), row.port);
      return 0u;
    });
    registry.accesses.clear();
    journal.clear();
    EXPECT_TRUE(ConfigureSerialPort(Engine(), row.port, row.baud));
    auto value = registry.Value(WString(kSerialPortsKey), row.port);
    ASSERT_TRUE(value);
    EXPECT_EQ(kRegSz, value->type);
    EXPECT_EQ(row.settings, value->Text());
    EXPECT_EQ((WString(row.settings).size() + 1) * 2, value->data.size());
    ASSERT_TRUE(seenAtStop) << "written before the restart";
    ASSERT_EQ(1u, registry.accesses.size());
    EXPECT_EQ(0x2001Fu, registry.accesses[0].mask);
    EXPECT_FALSE(registry.accesses[0].create);
    EXPECT_EQ((Lines{kStop, "Sleep 20", kStart}), journal);
    EXPECT_EQ(0, registry.openKeys());
  }
}

TEST_F(SerialPortTest, AFailedWriteIsReportedAndTheSpoolerStillRestarts) {
  registry.FailWrites(WString(kSerialPortsKey));
  EXPECT_FALSE(ConfigureSerialPort(Engine(), u"COM3:", u"115200"));
  registry.FailOpen(WString(kSerialPortsKey));
  EXPECT_FALSE(ConfigureSerialPort(Engine(), u"COM3:", u"115200"));
  EXPECT_EQ(2u, Journal(kStop).size());
  EXPECT_EQ(2u, Journal(kStart).size());
}

TEST_F(SerialPortTest, AnOverlongBaudTextIsCutToTheBuffer) {
  EXPECT_TRUE(ConfigureSerialPort(Engine(), u"COM3:", WString(300, u'9')));
  auto value = registry.Value(WString(kSerialPortsKey), u"COM3:");
  ASSERT_TRUE(value);
  EXPECT_EQ(259u, value->Text().size());
  EXPECT_EQ(WString(259, u'9'), value->Text());
}

class TcpIpPortTest : public EngineFixture {
 protected:
  void SetUp() override { registry.AddKey(WString(kTcpIpPortsKey)); }
  WString Port(const WString& address) const { return WString(kTcpIpPortsKey) + u"\\" + address; }
};

TEST_F(TcpIpPortTest, ThePortKeyHoldsTheTableInOrderAndTheSpoolerRestarts) {
  CreateTcpIpPort(Engine(), u"127.0.0.1");
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
  EXPECT_EQ((Lines{kStop, "Sleep 20", kStart}), journal);
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
  };
  const Row rows[] = {
      {"no version: the port without Version, no restart",
       [](EngineFixture& f) { f.system.versionQuerySucceeds = false; }, u"10.0.0.1", 9, false},
      {"the monitor's key is missing",
       [](EngineFixture& f) {
         f.registry.FailOpen(WString(kTcpIpPortsKey), RegistryStatus::kNotFound);
       },
       u"10.0.0.2", 0, false},
      {"the port's key cannot be made",
       [](EngineFixture& f) { f.registry.FailOpen(WString(kTcpIpPortsKey) + u"\\10.0.0.3"); },
       u"10.0.0.3", 0, false},
      {"no address: nothing under the monitor's own key", [](EngineFixture&) {}, u"", 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EngineFixture& fixture = *this;
    registry = FakeRegistry();
    registry.AddKey(WString(kTcpIpPortsKey));
    system.versionQuerySucceeds = true;
    journal.clear();
    row.script(fixture);
    CreateTcpIpPort(Engine(), row.address);
    EXPECT_EQ(row.values, registry.ValueNames(Port(row.address)).size());
    EXPECT_EQ(0u, registry.ValueNames(WString(kTcpIpPortsKey)).size());
    EXPECT_EQ(row.restarted, !journal.empty());
    EXPECT_EQ(0, registry.openKeys());
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

TEST(ListSerialPorts, AMissingOrRefusingKeyLeavesTheListAsItWas) {
  FakeRegistry missing;
  std::vector<WString> ports = {u"COM1"};
  EXPECT_TRUE(ListSerialPorts(missing, ports));
  EXPECT_EQ(std::vector<WString>{u"COM1"}, ports);

  RefusingRegistry refusing;
  EXPECT_TRUE(ListSerialPorts(refusing, ports));
  EXPECT_EQ(std::vector<WString>{u"COM1"}, ports);
  EXPECT_EQ(1, refusing.reads) << "a refusing key is not asked again and again";
}

}  // namespace
}  // namespace kestrava
