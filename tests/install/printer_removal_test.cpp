// Taking back what installations made, on the fake spooler and registry: which printers,
// drivers and ports go, which stay and why, and that a dry run changes nothing.
#include "install/printer_removal.h"
#include "install/tcp_port_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "install/printer_ports.h"
#include "tests/install/engine_fixture.h"

namespace kestrava {
namespace {

using Names = std::vector<WString>;
const WString kX64 = u"Windows x64";

// A machine after some installations: drivers of the family and one of another maker, and
// what the installations wrote for their ports.
class Removal : public EngineFixture {
 protected:
  Removal() {
    for (const char16_t* driver : {u"RT-58C", u"RT-80", u"Office Laser"}) AddDriver(driver, kX64);
    AddDriver(u"RT-58C", u"Windows NT x86");
    registry.SetValue(WString(kSerialPortsKey), u"COM3:", RegistryValue::String(u"115200,n,8,1"));
    registry.SetValue(WString(kSerialPortsKey), u"COM4:", RegistryValue::String(u"9600,n,8,1"));
    AddTcpIpPort(u"10.0.0.9", 9100);
  }

  void AddDriver(const WString& name, const WString& environment) {
    DriverRecord driver;
    driver.name = name;
    driver.environment = environment;
    spooler.drivers.push_back(driver);
  }
  void AddTcpIpPort(const WString& address, uint32_t port) {
    const WString key = WString(kTcpIpPortsKey) + u"\\" + address;
    registry.SetValue(key, u"HostName", RegistryValue::String(address));
    registry.SetValue(key, u"PortNumber", RegistryValue::Dword(port));
    registry.SetValue(key, u"Protocol", RegistryValue::Dword(port == 9100 ? 1 : 2));
  }

 public:
  Names Drivers() const {
    Names names;
    for (const DriverRecord& driver : spooler.drivers) {
      names.push_back(driver.name + u"/" + driver.environment);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  Names Printers() const {
    Names names = spooler.PrinterNames();
    std::sort(names.begin(), names.end());
    return names;
  }
  WString Com3() const {
    const auto value = registry.Value(WString(kSerialPortsKey), u"COM3:");
    return value ? value->Text() : u"(none)";
  }

  RemovalOutcome Remove(RemovalSelection selection, const WString& printer = WString(),
                        int32_t model = -1, bool dryRun = false) {
    RemovalRequest request;
    request.selection = selection;
    request.printer = printer;
    request.model = model;
    request.dryRun = dryRun;
    steps.clear();
    return RemovePrinters(Engine(), request, [this](const RemovalStep& step) {
      std::string line = step.item == RemovalItem::kPrinter      ? "printer "
                         : step.item == RemovalItem::kConnection ? "connection "
                         : step.item == RemovalItem::kDriver     ? "driver "
                         : step.item == RemovalItem::kTcpIpPort  ? "tcpip "
                         : step.item == RemovalItem::kSerialPort ? "serial "
                                                                 : "spooler";
      line += Utf16ToUtf8(step.name);
      if (!step.environment.empty()) line += "/" + Utf16ToUtf8(step.environment);
      if (!step.done && step.item != RemovalItem::kConnection)
        line += " left " + std::to_string(step.error) + "/" + std::to_string(step.jobs);
      if (step.pendingDeletion) line += " pending";
      steps.push_back(line);
    });
  }
  int Restarts() const {
    return static_cast<int>(std::count(journal.begin(), journal.end(), "start Spooler"));
  }

  std::vector<std::string> steps;
};

class RemovalTable;

struct Row {
  const char* what;
  std::function<void(RemovalTable&)> machine;  // the printers, and what else is different
  RemovalSelection selection;
  const char16_t* printer;
  int32_t model;
  std::vector<std::string> steps;
  Names printersAfter;
  Names driversAfter;
  const char16_t* com3After;
  bool tcpIpPortAfter;
  bool complete;
};

class RemovalTable : public Removal, public ::testing::WithParamInterface<Row> {
 public:
  FakePrintSpooler& Spooler() { return spooler; }
  FakeRegistry& Registry() { return registry; }
  void TcpIpValue(const char16_t* name, const RegistryValue& value) {
    registry.SetValue(WString(kTcpIpPortsKey) + u"\\10.0.0.9", name, value);
  }
};

void PrintTo(const Row& row, std::ostream* os) {
  *os << row.what;
}

void Printers(RemovalTable& t, std::initializer_list<std::array<const char16_t*, 3>> printers) {
  for (const auto& [name, port, driver] : printers)
    t.Spooler().AddInstalledPrinter(name, port, driver);
}

const Names kAllDrivers = {u"Office Laser/Windows x64", u"RT-58C/Windows NT x86",
                           u"RT-58C/Windows x64", u"RT-80/Windows x64"};

const Row kRows[] = {
    {"one printer of two on a driver: the driver and the port stay",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-58C", u"COM3:", u"RT-58C"}, {u"RT-58C (copy 1)", u"COM3:", u"RT-58C"}});
     },
     RemovalSelection::kPrinter,
     u"rt-58c (COPY 1)",
     -1,
     {"printer RT-58C (copy 1)"},
     {u"RT-58C"},
     kAllDrivers,
     u"115200,n,8,1",
     true,
     true},
    {"the last printer of the model: its driver in every environment and its port's settings",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-58C", u"COM3:", u"RT-58C"}, {u"RT-80", u"10.0.0.9", u"RT-80"}});
     },
     RemovalSelection::kPrinter,
     u"RT-58C",
     -1,
     {"printer RT-58C", "driver RT-58C/Windows x64", "driver RT-58C/Windows NT x86",
      "serial COM3:", "spooler"},
     {u"RT-80"},
     {u"Office Laser/Windows x64", u"RT-80/Windows x64"},
     u"9600,n,8,1",
     true,
     true},
    {"a model: every printer of it, once its port",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-58C", u"COM3:", u"RT-58C"},
                    {u"RT-58C (copy 1)", u"COM3:", u"RT-58C"},
                    {u"RT-80", u"10.0.0.9", u"RT-80"}});
     },
     RemovalSelection::kModel,
     u"",
     2,
     {"printer RT-58C", "printer RT-58C (copy 1)", "driver RT-58C/Windows x64",
      "driver RT-58C/Windows NT x86", "serial COM3:", "spooler"},
     {u"RT-80"},
     {u"Office Laser/Windows x64", u"RT-80/Windows x64"},
     u"9600,n,8,1",
     true,
     true},
    {"all: a printer of another family and its driver are never touched",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-80", u"10.0.0.9", u"RT-80"}, {u"Office", u"LPT1:", u"Office Laser"}});
     },
     RemovalSelection::kAll,
     u"",
     -1,
     {"printer RT-80", "driver RT-58C/Windows x64", "driver RT-80/Windows x64",
      "driver RT-58C/Windows NT x86", "tcpip 10.0.0.9", "spooler"},
     {u"Office"},
     {u"Office Laser/Windows x64"},
     u"115200,n,8,1",
     false,
     true},
    {"a TCP/IP port that another printer still uses stays",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-80", u"10.0.0.9", u"RT-80"}, {u"Label", u"10.0.0.9", u"Office Laser"}});
     },
     RemovalSelection::kModel,
     u"",
     1,
     {"printer RT-80", "driver RT-80/Windows x64"},
     {u"Label"},
     {u"Office Laser/Windows x64", u"RT-58C/Windows NT x86", u"RT-58C/Windows x64"},
     u"115200,n,8,1",
     true,
     true},
    {"a TCP/IP port shared by two removed printers goes once",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-80", u"10.0.0.9", u"RT-80"}, {u"RT-80 (copy 1)", u"10.0.0.9", u"RT-80"}});
     },
     RemovalSelection::kModel,
     u"",
     1,
     {"printer RT-80", "printer RT-80 (copy 1)", "driver RT-80/Windows x64", "tcpip 10.0.0.9",
      "spooler"},
     {},
     {u"Office Laser/Windows x64", u"RT-58C/Windows NT x86", u"RT-58C/Windows x64"},
     u"115200,n,8,1",
     false,
     true},
    {"a printer the spooler refuses to delete stays, and so do its driver and port",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-58C", u"COM3:", u"RT-58C"}});
       t.Spooler().Fail(FakePrintSpooler::Op::kDeletePrinter, 5);
     },
     RemovalSelection::kModel,
     u"",
     2,
     {"printer RT-58C left 5/0"},  // a driver a printer names stays in every environment
     {u"RT-58C"},
     kAllDrivers,
     u"115200,n,8,1",
     true,
     false},
    {"a printer that still prints keeps its jobs",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-58C", u"COM3:", u"RT-58C"}});
       t.Spooler().printers.back().jobs = 2;
     },
     RemovalSelection::kAll,
     u"",
     -1,
     {"printer RT-58C left 0/2", "driver RT-80/Windows x64"},
     {u"RT-58C"},
     {u"Office Laser/Windows x64", u"RT-58C/Windows NT x86", u"RT-58C/Windows x64"},
     u"115200,n,8,1",
     true,
     false},
    {"a driver the spooler still holds is told and left",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-80", u"10.0.0.9", u"RT-80"}});
       t.Spooler().Fail(FakePrintSpooler::Op::kDeleteDriver, 3001);
     },
     RemovalSelection::kModel,
     u"",
     1,
     {"printer RT-80", "driver RT-80/Windows x64 left 3001/0", "tcpip 10.0.0.9", "spooler"},
     {},
     kAllDrivers,
     u"115200,n,8,1",
     false,
     false},
    {"a connection of the family is told and left alone, with the driver it uses",
     [](RemovalTable& t) {
       // The server's queue: deleting the connection with full access would delete it there.
       t.Spooler().AddConnection(u"shop", u"RT-58C", u"COM3:", u"RT-58C");
       Printers(t, {{u"RT-80", u"10.0.0.9", u"RT-80"}});
     },
     RemovalSelection::kAll,
     u"",
     -1,
     {"connection \\\\shop\\RT-58C", "printer RT-80", "driver RT-80/Windows x64", "tcpip 10.0.0.9",
      "spooler"},
     {u"\\\\shop\\RT-58C"},
     {u"Office Laser/Windows x64", u"RT-58C/Windows NT x86", u"RT-58C/Windows x64"},
     u"115200,n,8,1",
     false,
     true},
    {"a connection named by the model is left alone too",
     [](RemovalTable& t) { t.Spooler().AddConnection(u"shop", u"Till", u"USB001", u"RT-58C"); },
     RemovalSelection::kModel,
     u"",
     2,
     {"connection \\\\shop\\Till"},
     {u"\\\\shop\\Till"},
     kAllDrivers,
     u"115200,n,8,1",
     true,
     true},
    {"a printer only marked for deletion stays, with its driver and its port",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-58C", u"COM3:", u"RT-58C"}});
       t.Spooler().printers.back().otherHandles = 1;  // the queue's window is open
     },
     RemovalSelection::kModel,
     u"",
     2,
     {"printer RT-58C left 0/0 pending"},
     {u"RT-58C"},
     kAllDrivers,
     u"115200,n,8,1",
     true,
     false},
    {"a TCP/IP port on 9100 with the LPR protocol stays",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-80", u"10.0.0.9", u"RT-80"}});
       t.TcpIpValue(u"Protocol", RegistryValue::Dword(2));
     },
     RemovalSelection::kModel,
     u"",
     1,
     {"printer RT-80", "driver RT-80/Windows x64"},
     {},
     {u"Office Laser/Windows x64", u"RT-58C/Windows NT x86", u"RT-58C/Windows x64"},
     u"115200,n,8,1",
     true,
     true},
    {"a TCP/IP port whose host name is not its name stays",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-80", u"10.0.0.9", u"RT-80"}});
       t.TcpIpValue(u"HostName", RegistryValue::String(u"10.0.0.99"));
     },
     RemovalSelection::kModel,
     u"",
     1,
     {"printer RT-80", "driver RT-80/Windows x64"},
     {},
     {u"Office Laser/Windows x64", u"RT-58C/Windows NT x86", u"RT-58C/Windows x64"},
     u"115200,n,8,1",
     true,
     true},
    {"a TCP/IP port in another printer's pool of ports stays",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-80", u"10.0.0.9", u"RT-80"},
                    {u"Label", u"10.0.0.19,10.0.0.9", u"Office Laser"}});
     },
     RemovalSelection::kModel,
     u"",
     1,
     {"printer RT-80", "driver RT-80/Windows x64"},
     {u"Label"},
     {u"Office Laser/Windows x64", u"RT-58C/Windows NT x86", u"RT-58C/Windows x64"},
     u"115200,n,8,1",
     true,
     true},
    {"a printer of a pool of ports: each port an installation wrote is taken back",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-58C", u"COM4:,COM3:", u"RT-58C"}});
     },
     RemovalSelection::kModel,
     u"",
     2,
     {"printer RT-58C", "driver RT-58C/Windows x64", "driver RT-58C/Windows NT x86",
      "serial COM3:", "spooler"},
     {},
     {u"Office Laser/Windows x64", u"RT-80/Windows x64"},
     u"9600,n,8,1",
     true,
     true},
    {"ports an installation did not write stay: LPR on 515, custom line settings",
     [](RemovalTable& t) {
       Printers(t, {{u"RT-80", u"10.0.0.9", u"RT-80"}, {u"RT-58C", u"COM3:", u"RT-58C"}});
       t.Registry().SetValue(WString(kTcpIpPortsKey) + u"\\10.0.0.9", u"PortNumber",
                             RegistryValue::Dword(515));
       t.Registry().SetValue(WString(kSerialPortsKey), u"COM3:",
                             RegistryValue::String(u"9600,e,7,1"));
     },
     RemovalSelection::kAll,
     u"",
     -1,
     {"printer RT-80", "printer RT-58C", "driver RT-58C/Windows x64", "driver RT-80/Windows x64",
      "driver RT-58C/Windows NT x86"},
     {},
     {u"Office Laser/Windows x64"},
     u"9600,e,7,1",
     true,
     true},
};

TEST_P(RemovalTable, TakesBackWhatItShouldAndLeavesTheRest) {
  const Row& row = GetParam();
  row.machine(*this);
  const RemovalOutcome outcome = Remove(row.selection, row.printer, row.model);
  EXPECT_EQ(row.steps, steps);
  EXPECT_EQ(row.printersAfter, Printers());
  EXPECT_EQ(row.driversAfter, Drivers());
  EXPECT_EQ(row.com3After, Com3());
  EXPECT_EQ(row.tcpIpPortAfter, registry.HasKey(WString(kTcpIpPortsKey) + u"\\10.0.0.9"));
  EXPECT_EQ(row.complete, outcome.Complete());
  EXPECT_EQ(u"9600,n,8,1", registry.Value(WString(kSerialPortsKey), u"COM4:")->Text())
      << "a port no removed printer was on is not looked at";
  const bool portTakenBack = std::find(steps.begin(), steps.end(), "spooler") != steps.end();
  EXPECT_EQ(portTakenBack ? 1 : 0, Restarts()) << "once, and only when a port was taken back";
}

INSTANTIATE_TEST_SUITE_P(Rows, RemovalTable, ::testing::ValuesIn(kRows));

TEST_F(Removal, WhereTheMonitorAnswersItDeletesThePortAndNothingIsRestarted) {
  struct Case {
    const char* what;
    uint32_t refuseWith;
    std::vector<std::string> commands;
    std::string step;
  };
  const Case rows[] = {
      {"deleted at once", 0, {"DeletePort 10.0.0.9"}, "tcpip 10.0.0.9"},
      {"the monitor refuses: told with its code, the key left",
       5,
       {"DeletePort 10.0.0.9 refused 5"},
       "tcpip 10.0.0.9 left 5/0"},
  };
  for (const Case& row : rows) {
    SCOPED_TRACE(row.what);
    spooler.printers.clear();
    spooler.AddInstalledPrinter(u"RT-80", u"10.0.0.9", u"RT-80");
    FakeTcpIpMonitor& monitor = spooler.AddTcpIpMonitor();
    monitor.ports[u"10.0.0.9"] = RawPortData(u"10.0.0.9", u"10.0.0.9");
    monitor.refuseWith = row.refuseWith;
    journal.clear();
    Remove(RemovalSelection::kPrinter, u"RT-80");
    EXPECT_EQ(row.commands, monitor.commands);
    EXPECT_NE(steps.end(), std::find(steps.begin(), steps.end(), row.step));
    EXPECT_EQ(0, Restarts()) << "the monitor takes its ports back itself";
    EXPECT_TRUE(registry.HasKey(WString(kTcpIpPortsKey) + u"\\10.0.0.9"))
        << "the monitor's own key is the monitor's to change";
  }
}

TEST_F(Removal, ASerialPortsSettingsAndARegistryPortRestartTheSpoolerOnce) {
  spooler.AddInstalledPrinter(u"RT-58C", u"COM3:", u"RT-58C");
  spooler.AddInstalledPrinter(u"RT-80", u"10.0.0.9", u"RT-80");
  const RemovalOutcome outcome = Remove(RemovalSelection::kAll);
  EXPECT_EQ(1, Restarts());
  ASSERT_TRUE(outcome.restart);
  EXPECT_TRUE(outcome.restart->Restarted());
  EXPECT_TRUE(shell.calls.empty()) << "no command is run for it";
}

TEST_F(Removal, ADryRunFindsTheSameStepsAndChangesNothing) {
  spooler.AddInstalledPrinter(u"RT-58C", u"COM3:", u"RT-58C");
  spooler.AddInstalledPrinter(u"RT-80", u"10.0.0.9", u"RT-80");
  const Names printers = Printers();
  const Names drivers = Drivers();
  const RemovalOutcome dry = Remove(RemovalSelection::kAll, WString(), -1, true);
  const std::vector<std::string> found = steps;
  EXPECT_EQ(printers, Printers());
  EXPECT_EQ(drivers, Drivers());
  EXPECT_EQ(u"115200,n,8,1", Com3());
  EXPECT_TRUE(registry.HasKey(WString(kTcpIpPortsKey) + u"\\10.0.0.9"));
  EXPECT_EQ(0, Restarts());
  EXPECT_TRUE(dry.Complete());
  Remove(RemovalSelection::kAll);
  std::vector<std::string> taken = steps;
  taken.erase(std::remove(taken.begin(), taken.end(), "spooler"), taken.end());
  EXPECT_EQ(found, taken) << "the dry run names what the real one takes";
}

TEST_F(Removal, APrinterOfAnotherFamilyOrNoneAtAllIsRefusedByName) {
  spooler.AddInstalledPrinter(u"Office", u"LPT1:", u"Office Laser");
  const RemovalOutcome foreign = Remove(RemovalSelection::kPrinter, u"Office");
  EXPECT_TRUE(foreign.notOfFamily);
  EXPECT_FALSE(foreign.Complete());
  EXPECT_EQ(Names{u"Office"}, Printers());
  const RemovalOutcome missing = Remove(RemovalSelection::kPrinter, u"RT-58C (copy 9)");
  EXPECT_TRUE(missing.noSuchPrinter);
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(kAllDrivers, Drivers());
}

}  // namespace
}  // namespace kestrava
