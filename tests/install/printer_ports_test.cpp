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
  const SpoolerRestart restart = RestartSpoolerByCommand(shell, clock);
  EXPECT_EQ((Lines{kStop, "Sleep 20", kStart}), journal);
  EXPECT_TRUE(restart.stop.Succeeded());
  EXPECT_TRUE(restart.Restarted());
}

// net's exit codes: 0 done, 1 a syntax error, 2 refused (the service not running, already
// running, access denied).
uint32_t Net(const WString& parameters, uint32_t stop, uint32_t plainStop, uint32_t start) {
  if (parameters == u"stop spooler /y") return stop;
  return parameters == u"stop spooler" ? plainStop : start;
}

TEST_F(SpoolerRestartTest, TheRestartAnswersWhatTheCommandsSaid) {
  struct Half {
    bool carriedOut;
    uint32_t code;
  };
  struct Row {
    const char* what;
    std::function<void(FakeShell&)> script;
    Lines expected;
    Half stop;
    Half start;
    bool restarted;
  };
  const Row rows[] = {
      {"both done", [](FakeShell&) {}, {kStop, "Sleep 20", kStart}, {true, 0}, {true, 0}, true},
      {"the spooler already stopped: the stop fails, the start still runs and restarts it",
       [](FakeShell& s) {
         s.Define(kNet, [](const WString& p) { return Net(p, 2, 0, 0); });  // "not started"
       },
       {kStop, "Sleep 20", kStart},
       {true, 2},
       {true, 0},
       true},
      {"the stop refused, so the start finds it running: not restarted",
       [](FakeShell& s) { s.Define(kNet, [](const WString& p) { return Net(p, 2, 0, 2); }); },
       {kStop, "Sleep 20", kStart},
       {true, 2},
       {true, 2},
       false},
      {"stopped, but it does not start again",
       [](FakeShell& s) { s.Define(kNet, [](const WString& p) { return Net(p, 0, 0, 2); }); },
       {kStop, "Sleep 20", kStart},
       {true, 0},
       {true, 2},
       false},
      {"a net that does not know /y refuses the line: the stop again without it",
       [](FakeShell& s) {
         // "The syntax of this command is:"
         s.Define(kNet, [](const WString& p) { return Net(p, 1, 0, 0); });
       },
       {kStop, "run C:\\WINDOWS\\system32\\net.exe stop spooler", "Sleep 20", kStart},
       {true, 0},
       {true, 0},
       true},
      {"the stop without /y answers for the stop",
       [](FakeShell& s) { s.Define(kNet, [](const WString& p) { return Net(p, 1, 2, 0); }); },
       {kStop, "run C:\\WINDOWS\\system32\\net.exe stop spooler", "Sleep 20", kStart},
       {true, 2},
       {true, 0},
       true},
      {"net cannot start",
       [](FakeShell& s) { s.Refuse(kNet); },
       {"refused C:\\WINDOWS\\system32\\net.exe stop spooler /y", "Sleep 20",
        "refused C:\\WINDOWS\\system32\\net.exe start spooler"},
       {false, 0},
       {false, 0},
       false},
      {"no system folder: nothing is run, nothing looked for",
       [](FakeShell& s) { s.systemFolder.clear(); },
       {"Sleep 20"},
       {false, 0},
       {false, 0},
       false},
      {"a system folder with its backslash",
       [](FakeShell& s) { s.systemFolder = u"D:\\"; },
       {"run D:\\net.exe stop spooler /y", "Sleep 20", "run D:\\net.exe start spooler"},
       {true, 0},
       {true, 0},
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeShell fresh;
    fresh.onCall = [this](const std::string& call) { journal.push_back(call); };
    row.script(fresh);
    journal.clear();
    const SpoolerRestart restart = RestartSpoolerByCommand(fresh, clock);
    EXPECT_EQ(row.expected, journal);
    EXPECT_EQ(row.stop.carriedOut, restart.stop.carriedOut);
    EXPECT_EQ(row.stop.code, restart.stop.code);
    EXPECT_EQ(row.start.carriedOut, restart.start.carriedOut);
    EXPECT_EQ(row.start.code, restart.start.code);
    EXPECT_EQ(row.restarted, restart.Restarted());
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
  const SpoolerRestart restart = RestartSpoolerByCommand(fresh, clock);
  EXPECT_FALSE(restart.stop.carriedOut);
  EXPECT_FALSE(restart.Restarted()) << "a command ended after its minute answered nothing";
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
    EXPECT_EQ((Lines{kStop, "Sleep 20", kStart}), journal);
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
    EXPECT_EQ((Lines{kStop, "Sleep 20", kStart}), journal);
  }
}

TEST_F(SerialPortTest, AWrittenPortWhoseRestartFailsSaysSo) {
  shell.Define(kNet, [](const WString& p) { return Net(p, 0, 0, 2); });
  const PortSetUp setUp = ConfigureSerialPort(Engine(), u"COM3:", u"115200");
  EXPECT_TRUE(setUp.Written());
  ASSERT_TRUE(setUp.restart);
  EXPECT_FALSE(setUp.restart->Restarted());
  EXPECT_EQ(2u, setUp.restart->start.code);
}

TEST_F(SerialPortTest, AnOverlongBaudTextIsCutToTheBuffer) {
  EXPECT_TRUE(ConfigureSerialPort(Engine(), u"COM3:", WString(300, u'9')).Written());
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
    row.script(fixture);
    const PortSetUp setUp = CreateTcpIpPort(Engine(), row.address);
    EXPECT_EQ(row.fault, setUp.fault);
    EXPECT_FALSE(setUp.Written());
    EXPECT_EQ(row.values, registry.ValueNames(Port(row.address)).size());
    EXPECT_EQ(0u, registry.ValueNames(WString(kTcpIpPortsKey)).size());
    EXPECT_EQ(row.restarted, !journal.empty());
    EXPECT_EQ(row.restarted, setUp.restart.has_value());
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
