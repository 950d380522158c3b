// The program with arguments on the fake services: every outcome of the install command with
// its exit code and what it left (or did not leave) on the machine, --replace with and without
// a printer of the model on the port, the listings, and that no window of any kind is used.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/command_line/exit_codes.h"
#include "comm/usb_printer_locator.h"
#include "install/printer_ports.h"
#include "payload/trusted_folder.h"
#include "tests/app/command_line/unattended_fixture.h"
#include "tests/fakes/hex.h"
#include "tests/install/tcp_ip_port_values.h"

namespace kestrava {
namespace {

TEST_F(Unattended, ComInstallationGoesTheDialogsRoadWithoutAWindow) {
  ASSERT_EQ(kExitDone, Run(Com({u"--default"}))) << Output();
  ExpectNoWindow();
  EXPECT_EQ(Hex(std::string("COM PORT:COM3\0", 14)) + " 1B 64 07 1D 56 01 10 04 04",
            Hex(com3->written))
      << "the port check's page and the paper sensor's request";
  EXPECT_EQ(115200u, com3->line->baudRate);
  const FakePrintSpooler::Printer* printer = spooler.FindPrinter(u"RT-58C");
  ASSERT_TRUE(printer);
  EXPECT_EQ(u"COM3:", printer->record.portName);
  EXPECT_EQ(u"RT-58C", spooler.defaultPrinter);
  EXPECT_EQ(u"115200,n,8,1", registry.Value(WString(kSerialPortsKey), u"COM3:")->Text());
  EXPECT_TRUE(Said("port set-up: COM3: = 115200,n,8,1")) << Output();
  EXPECT_TRUE(Said("payload: not unpacked; the driver files are taken from C:\\Setup"));
  EXPECT_TRUE(Said("system: Windows 10 x64, installing for Windows 10"));
  EXPECT_TRUE(Said("driver: RT-58C registered"));
  EXPECT_EQ("done: RT-58C on COM3:", Utf16ToUtf8(console.lines.back()));
  EXPECT_EQ(0, deviceIo.openDevices());
  EXPECT_EQ(0, spooler.openPrinters());
}

// The spooler would load as SYSTEM what a user could have changed: the run ends before it
// touches the port, the spooler or the driver folder.
TEST_F(Unattended, AProgramFolderOfSomeoneElsesGivesNoDriverFileAndTouchesNothing) {
  files.SecurityOf(kProgramFolder)->owner = u"S-1-5-21-5-5-5-1002";  // who downloaded it
  EXPECT_EQ(kExitDriverFilesNotCopied, Run(Com())) << Output();
  for (const auto& [environment, folder] : spooler.driverDirectories) {
    EXPECT_TRUE(files.Tree(folder).empty()) << Utf16ToUtf8(folder);
  }
  EXPECT_FALSE(spooler.FindPrinter(u"RT-58C"));
  EXPECT_TRUE(com3->written.empty()) << "no port check";
  EXPECT_TRUE(serviceManager.calls.empty()) << "no spooler restart";
  EXPECT_FALSE(registry.Value(WString(kSerialPortsKey), u"COM3:"));
  ExpectNoWindow();
}

// A run restarts the spooler once at most, after its port changes and before the driver is
// registered, and not at all for a network printer whose port the monitor took.
TEST_F(Unattended, ARunRestartsTheSpoolerOnceAtMostAndNotForAPortTheMonitorTook) {
  struct Case {
    const char* what;
    bool monitor;
    Words words;
    size_t restarts;
    const char* portLine;
  };
  const Case cases[] = {
      {"a COM port: its settings are read at the one restart", false, Com(), 1,
       "port set-up: COM3: = 115200,n,8,1"},
      {"a LAN printer without the monitor: its registry port, one restart", false, Lan(), 1,
       "port set-up: Standard TCP/IP port 127.0.0.1, raw, TCP port 9100"},
      {"a LAN printer whose port the monitor took: no restart at all", true, Lan(), 0,
       "port set-up: Standard TCP/IP port 127.0.0.1, raw, TCP port 9100"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.what);
    spooler.printers.clear();
    spooler.tcpIpMonitor.reset();
    registry.DeleteMachineKeyTree(WString(kTcpIpPortsKey) + u"\\127.0.0.1");
    if (row.monitor) spooler.AddTcpIpMonitor();
    serviceManager.calls.clear();
    console.lines.clear();
    ASSERT_EQ(kExitDone, Run(row.words)) << Output();
    EXPECT_EQ(row.restarts,
              static_cast<size_t>(std::count(serviceManager.calls.begin(),
                                             serviceManager.calls.end(), "stop Spooler")));
    EXPECT_TRUE(Said(row.portLine)) << Output();
    EXPECT_TRUE(shell.calls.empty()) << "no command is run";
    if (row.monitor) {
      EXPECT_EQ(std::vector<std::string>{"AddPort 127.0.0.1"}, spooler.tcpIpMonitor->commands);
    }
  }
}

TEST_F(Unattended, APortTheMonitorHasWithTheseValuesIsUsedAsItIs) {
  spooler.AddTcpIpMonitor();
  for (const auto& [name, value] : TcpIpPortValues(u"127.0.0.1", 2)) {
    registry.SetValue(WString(kTcpIpPortsKey) + u"\\127.0.0.1", name, value);
  }
  ASSERT_EQ(kExitDone, Run(Lan())) << Output();
  EXPECT_TRUE(
      Said("port set-up: Standard TCP/IP port 127.0.0.1 is there already (raw, TCP port "
           "9100), used as it is"))
      << Output();
  EXPECT_TRUE(spooler.tcpIpMonitor->commands.empty());
  EXPECT_TRUE(serviceManager.calls.empty());
}

TEST_F(Unattended, TheLinesFollowTheLanguageAndGoToTheLogFileToo) {
  files.AddFile(u"C:\\logs\\tills.log", "earlier run\r\n");
  ASSERT_EQ(kExitDone, Run(Lan({u"--language", u"zh", u"--log", u"C:\\logs\\tills.log"})));
  EXPECT_EQ("完成：RT-80（端口 127.0.0.1）", Utf16ToUtf8(console.lines.back()));
  std::string expected = "earlier run\r\n";
  for (const WString& line : console.lines) expected += Utf16ToUtf8(line) + "\r\n";
  EXPECT_EQ(expected, files.Content(u"C:\\logs\\tills.log").value_or(""));
  const FakePrintSpooler::Printer* printer = spooler.FindPrinter(u"RT-80");
  ASSERT_TRUE(printer);
  const auto language = std::find_if(printer->data.begin(), printer->data.end(),
                                     [](const auto& value) { return value.first == u"Language"; });
  ASSERT_NE(printer->data.end(), language);
  EXPECT_EQ(0u, language->second.Number()) << "Chinese";
}

TEST_F(Unattended, ReplaceReusesAPrinterOfTheModelOnThePortAndOnlyThatOne) {
  struct Existing {
    const char16_t* name;
    const char16_t* port;
    const char16_t* driver;
  };
  struct Row {
    const char* what;
    Words words;
    Existing existing;
    int exitCode;
    std::vector<WString> printers;  // afterwards, sorted
  };
  const Row rows[] = {
      {"COM, same model, --replace: updated, no copy",
       Com({u"--replace"}),
       {u"RT-58C", u"COM3:", u"RT-58C"},
       kExitDone,
       {u"RT-58C"}},
      {"COM, same model: the port is in use",
       Com(),
       {u"RT-58C", u"COM3:", u"RT-58C"},
       kExitPortInUse,
       {u"RT-58C"}},
      {"COM, another model, --replace: still in use",
       Com({u"--replace"}),
       {u"Till", u"COM3:", u"RT-80"},
       kExitPortInUse,
       {u"Till"}},
      {"LAN, same model, --replace: updated",
       Lan({u"--replace"}),
       {u"RT-80", u"127.0.0.1", u"RT-80"},
       kExitDone,
       {u"RT-80"}},
      {"LAN, same model: the free-name rule",
       Lan(),
       {u"RT-80", u"127.0.0.1", u"RT-80"},
       kExitDone,
       {u"RT-80", u"RT-80 (copy 1)"}},
      {"LAN, --replace, the model on another port: added",
       Lan({u"--replace"}),
       {u"RT-80", u"10.0.0.9", u"RT-80"},
       kExitDone,
       {u"RT-80", u"RT-80 (copy 1)"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    spooler = FakePrintSpooler();
    spooler.files = &files;
    spooler.AddInstalledPrinter(row.existing.name, row.existing.port, row.existing.driver);
    console.lines.clear();
    EXPECT_EQ(row.exitCode, Run(row.words)) << Output();
    std::vector<WString> names = spooler.PrinterNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(row.printers, names);
    if (row.exitCode == kExitDone) {
      // Whether reused or added, the printer on the port has the model's data now.
      const FakePrintSpooler::Printer* printer = spooler.FindPrinter(names.back());
      ASSERT_TRUE(printer);
      EXPECT_FALSE(printer->data.empty());
    }
  }
}

struct Outcome {
  const char* what;
  std::function<void(Unattended&)> script;
  Words words;
  int exitCode;
  const char* line;  // a line the run must have written
};

void PrintTo(const Outcome& row, std::ostream* os) {
  *os << row.what;
}

class UnattendedOutcome : public Unattended, public ::testing::WithParamInterface<Outcome> {};

TEST_P(UnattendedOutcome, EndsWithItsExitCodeAndTellsWhy) {
  const Outcome& row = GetParam();
  if (row.script) row.script(*this);
  EXPECT_EQ(row.exitCode, Run(row.words)) << Output();
  EXPECT_TRUE(Said(row.line)) << Output();
  ExpectNoWindow();
  // Every failure ends with its code: "failed: exit code 1802", "... a fault: exit code 21";
  // a run without the rights it needs says only that, in its one line.
  if (row.exitCode == 740) {
    EXPECT_EQ(1u, console.lines.size()) << Output();
  } else if (row.exitCode != 0) {
    const std::string last = Utf16ToUtf8(console.lines.back());
    const std::string code = "exit code " + std::to_string(row.exitCode);
    ASSERT_GE(last.size(), code.size()) << Output();
    EXPECT_EQ(code, last.substr(last.size() - code.size())) << Output();
  }
  // A refusal before the installation leaves nothing.
  if (row.exitCode > 100) {
    EXPECT_TRUE(spooler.drivers.empty());
    EXPECT_FALSE(registry.Value(WString(kSerialPortsKey), u"COM3:"));
  }
}

const Outcome kOutcomes[] = {
    {"Done", nullptr, Com(), 0, "done: RT-58C on COM3:"},
    {"Help", nullptr, {u"/?"}, 0, "Exit codes: 0 done"},
    {"HelpInJapanese", nullptr, {u"--help", u"--language", u"ja"}, 0, "終了コード"},
    {"BadArgument",
     nullptr,
     {u"install", u"--model", u"RT-99"},
     1639,
     "bad argument: unknown model RT-99"},
    {"AnotherInstance",
     [](Unattended& u) {
       bool existed = false;
       u.otherInstance = u.process.CreateInstanceMarker(u"Demo", existed);
     },
     Com(), 1618, "another instance of the program is running"},
    {"NotElevated", [](Unattended& u) { u.process.elevated = false; }, Com(), 740,
     "administrator rights are needed"},
    {"NoSuchSerialPort",
     nullptr,
     {u"install", u"--model", u"RT-58C", u"--interface", u"com", u"--port", u"COM9"},
     1796,
     "port: COM9 is not there; this computer has: COM3, COM4"},
    {"NoBluetoothPort",
     nullptr,
     {u"install", u"--model", u"RT-58C", u"--interface", u"ble", u"--port", u"COM7"},
     1796,
     "port: COM7 is not there; this computer has: none"},
    {"NoUsbPrinter",
     nullptr,
     {u"install", u"--model", u"RT-80C", u"--interface", u"usb"},
     1796,
     "port: no supported USB printer is attached"},
    {"PortInUse", [](Unattended& u) { u.spooler.AddInstalledPrinter(u"Till", u"COM3:"); }, Com(),
     1802, "port: COM3: already has the printer Till"},
    {"PortCheckFailed", [](Unattended& u) { u.deviceIo.Vanish(u"COM3"); }, Com(), 1167,
     "port check: failed"},
    {"LanNobodyListens",
     nullptr,
     {u"install", u"--model", u"RT-80", u"--interface", u"lan", u"--address", u"127.0.0.2"},
     1167,
     "message: Please check the connection"},
    {"PortCheckSkipped", [](Unattended& u) { u.deviceIo.Vanish(u"COM3"); },
     Com({u"--no-port-check"}), 0, "port check: skipped"},
    {"DriverFilesHeldOpen",
     [](Unattended& u) {
       u.files.Fail(FakeFiles::Op::kCopy, u"C:\\Setup\\Windows x64\\UNIDRV.DLL");
     },
     Com(), 10, "driver files: failed: C:\\Setup\\Windows x64\\UNIDRV.DLL: error 32"},
    {"ProgramFolderOthersCanChange",
     [](Unattended& u) {
       u.files.SecurityOf(kProgramFolder)
           ->dacl.push_back({sid::kAuthenticatedUsers, kModify, 0, false});
     },
     Com(), 10,
     "payload: not unpacked, and C:\\Setup is not a folder only administrators can change "
     "(C:\\Setup): no driver file is copied"},
    {"ADriverFileOfSomeoneElses",
     [](Unattended& u) {
       u.files.SecurityOf(u"C:\\Setup\\Windows x64\\RES\\P58.DLL")->owner = u"S-1-5-21-5-5-5-1002";
     },
     Com(), 10, "(C:\\Setup\\Windows x64\\RES\\P58.DLL)"},
    {"DriverRefused", [](Unattended& u) { u.spooler.Fail(FakePrintSpooler::Op::kAddDriver, 1797); },
     Com(), 11, "driver: failed: error 1797: The printer driver is unknown."},
    {"PrinterRefused", [](Unattended& u) { u.spooler.Fail(FakePrintSpooler::Op::kAddPrinter, 5); },
     Com(), 12, "printer: failed: error 5: Access is denied."},
    {"RuntimeMissingOpensNoBrowser",
     [](Unattended& u) { u.spooler.Fail(FakePrintSpooler::Op::kAddPrinter, 126); }, Com(), 12,
     "message: https://aka.ms/vs/17/release/vc_redist.x64.exe"},
    {"PrinterOutOfPaper",
     [](Unattended& u) {
       u.com3->replies = {"\x72", "\x32", "\x12"};
     },
     Com(), 20, "printer status: out of paper (10 04 04 > 72; 10 04 02 > 32; 10 04 03 > 12)"},
    {"PrinterReady",
     [](Unattended& u) {
       u.com3->replies = {"\x12", "\x12", "\x12"};
     },
     Com(), 0, "printer status: ready"},
    {"PrinterSilent", nullptr, Com(), 0, "printer status: no answer (10 04 04 > (none))"},
    {"TestPagePrinted", nullptr, Com({u"--test-page"}), 0, "test page: sent to RT-58C"},
    {"TestPageRefused", [](Unattended& u) { u.graphics.printerContextError = 5; },
     Com({u"--test-page"}), 13, "test page: failed: error 5: Access is denied."},
    {"UninstallNothingThere", nullptr, {u"uninstall", u"--all"}, 0, "nothing to remove"},
    {"UninstallAPrinterNotThere",
     nullptr,
     {u"uninstall", u"--printer", u"RT-58C"},
     1801,
     "printer: RT-58C is not installed"},
    {"UninstallAPrinterOfAnotherFamily",
     [](Unattended& u) { u.spooler.AddInstalledPrinter(u"Office", u"LPT1:", u"Office Laser"); },
     {u"uninstall", u"--printer", u"Office"},
     1801,
     "printer: Office is no printer of this family; left alone"},
    {"UninstallLeavesAPrinterThatPrints",
     [](Unattended& u) {
       u.spooler.AddInstalledPrinter(u"RT-58C", u"COM3:", u"RT-58C");
       u.spooler.printers.back().jobs = 3;
     },
     {u"uninstall", u"--model", u"RT-58C"},
     15,
     "printer: RT-58C left: 3 jobs are in its queue"},
    {"UninstallDryRunNeedsNoRights",
     [](Unattended& u) {
       u.process.elevated = false;
       u.spooler.AddInstalledPrinter(u"RT-58C", u"COM3:", u"RT-58C");
     },
     {u"uninstall", u"--all", u"--dry-run"},
     0,
     "printer: RT-58C would be removed"},
    {"UninstallNeedsRights",
     [](Unattended& u) { u.process.elevated = false; },
     {u"uninstall", u"--all"},
     740,
     "administrator rights are needed"},
    {"UsbFirstPrinter",
     [](Unattended& u) {
       u.deviceInterfaces.Add(kUsbPath);
       u.registry.SetValue(InterfaceValueKey(kUsbPath, u"Device Parameters"), u"Port Number",
                           RegistryValue::Dword(1));
       u.deviceIo.Add(kUsbPath).replies = {"\x16"};
     },
     {u"install", u"--model", u"RT-80C", u"--interface", u"usb"},
     0,
     "done: RT-80C on USB001"},
    // The listing fails.
    {"PrintersNotListed",
     [](Unattended& u) { u.spooler.Fail(FakePrintSpooler::Op::kEnumerate, 1722); },
     {u"printers"},
     14,
     "printers: cannot be listed: error 1722"},
    {"UninstallWithoutAListing",
     [](Unattended& u) { u.spooler.Fail(FakePrintSpooler::Op::kEnumerate, 1722); },
     {u"uninstall", u"--all"},
     14,
     "printers: cannot be listed: error 1722"},
    // Each fault the printer's status tells has its code: the off-line cause's and the error
    // cause's bits (10 04 02 and 10 04 03) after a paper sensor that has paper.
    {"PrinterCoverOpen",
     [](Unattended& u) {
       u.com3->replies = {"\x12", "\x16", "\x12"};
     },
     Com(), 21, "printer status: cover open (10 04 04 > 12; 10 04 02 > 16; 10 04 03 > 12)"},
    {"PrinterOffline",
     [](Unattended& u) {
       u.com3->replies = {"\x12", "\x1A", "\x12"};
     },
     Com(), 22, "printer status: off line (10 04 04 > 12; 10 04 02 > 1A; 10 04 03 > 12)"},
    {"PrinterCutterError",
     [](Unattended& u) {
       u.com3->replies = {"\x12", "\x12", "\x1A"};
     },
     Com(), 23, "printer status: cutter error (10 04 04 > 12; 10 04 02 > 12; 10 04 03 > 1A)"},
    {"PrinterUnrecoverable",
     [](Unattended& u) {
       u.com3->replies = {"\x12", "\x12", "\x32"};
     },
     Com(), 24,
     "printer status: unrecoverable error (10 04 04 > 12; 10 04 02 > 12; 10 04 03 > 32)"},
    // Ports in use, as the spooler names them.
    {"BluetoothPortInUse",
     [](Unattended& u) {
       u.PairBluetoothPrinter(u"COM7");
       u.spooler.AddInstalledPrinter(u"Till", u"COM7:");
     },
     {u"install", u"--model", u"RT-58C", u"--interface", u"ble", u"--port", u"COM7"},
     1802,
     "port: COM7: already has the printer Till"},
    {"PortInUseInAnotherCase",
     [](Unattended& u) { u.spooler.AddInstalledPrinter(u"Till", u"com3:"); }, Com(), 1802,
     "port: COM3: already has the printer Till"},
    {"PortInUseInAPool",
     [](Unattended& u) { u.spooler.AddInstalledPrinter(u"Till", u"COM4:,COM3:"); }, Com(), 1802,
     "port: COM3: already has the printer Till"},
    {"AConnectionsPortIsItsServers",
     [](Unattended& u) { u.spooler.AddConnection(u"shop", u"Till", u"COM3:", u"RT-58C"); }, Com(),
     0, "done: RT-58C on COM3:"},
    {"ANameTakenInAnotherCase",
     [](Unattended& u) { u.spooler.AddInstalledPrinter(u"rt-58c", u"COM4:"); }, Com(), 0,
     "done: RT-58C (copy 1) on COM3:"},
    // Steps of the installation that fell short.
    {"SerialPortsNotListed",
     [](Unattended& u) { u.registry.FailOpen(WString(kSerialDeviceMapKey)); }, Com(), 16,
     "port: the system refused to list its serial ports"},
    {"SerialPortsNotListedForThePortsCommand",
     [](Unattended& u) { u.registry.FailOpen(WString(kSerialDeviceMapKey)); },
     {u"ports"},
     16,
     "port: the system refused to list its serial ports"},
    {"SerialSettingsNotWritten",
     [](Unattended& u) { u.registry.FailWrites(WString(kSerialPortsKey)); }, Com(), 17,
     "port set-up: the settings of COM3: cannot be written: the registry refused a value "
     "(going on)"},
    {"TcpIpPortNotWritten",
     [](Unattended& u) { u.registry.FailOpen(WString(kTcpIpPortsKey), RegistryStatus::kNotFound); },
     Lan(), 17,
     "port set-up: the Standard TCP/IP port 127.0.0.1 cannot be written: its registry key is "
     "not there (going on)"},
    {"SpoolerNotRestarted",
     [](Unattended& u) { u.serviceManager.Find(kSpoolerService)->failingStarts = -1; }, Com(), 18,
     "spooler: not restarted: stop done, start answered 1067 (The process terminated "
     "unexpectedly.)"},
    {"SpoolerStopNeverEnds",
     [](Unattended& u) { u.serviceManager.Find(kSpoolerService)->neverStops = true; }, Com(), 18,
     "spooler: not restarted: stop answered 1053 (The service did not respond to the start or "
     "control request in a timely fashion.), start answered 1056 ()"},
    {"SpoolerRestartedButNotItsDependent",
     [](Unattended& u) {
       u.serviceManager.AddDependent(u"Fax", kSpoolerService, ServiceState::kRunning);
       u.serviceManager.Find(u"Fax")->failingStarts = -1;
     },
     Com(), 18, "spooler: restarted, but the services depending on it did not start again: Fax"},
    {"TcpIpPortRefusedByTheMonitor",
     [](Unattended& u) { u.spooler.AddTcpIpMonitor().refuseWith = 5; }, Lan(), 17,
     "port set-up: the Standard TCP/IP port 127.0.0.1 cannot be written: the TCP/IP port "
     "monitor refused it: 5 Access is denied. (going on)"},
    {"DefaultPrinterRefused",
     [](Unattended& u) { u.spooler.Fail(FakePrintSpooler::Op::kSetDefault, 5); },
     Com({u"--default"}), 19,
     "default printer: RT-58C could not be made the default printer: error 5: Access is denied."},
    {"DefaultPrinterOfAnotherAdministrator",
     [](Unattended& u) { u.process.account = u"TILL\\admin"; }, Com({u"--default"}), 19,
     "default printer: RT-58C is the default printer of TILL\\admin, the account the program runs "
     "as, not of TILL\\alice, who is logged on"},
    {"DefaultPrinterOfSystem",
     [](Unattended& u) {
       u.process.account = u"NT AUTHORITY\\SYSTEM";
       u.process.session = 0;
     },
     Com({u"--default"}), 19,
     "default printer: RT-58C is the default printer of NT AUTHORITY\\SYSTEM, the account the "
     "program runs as, not of TILL\\alice, who is logged on"},
    {"DefaultPrinterWithNoOneLoggedOn",
     [](Unattended& u) {
       u.process.account = u"NT AUTHORITY\\SYSTEM";
       u.process.session = 0;
       u.process.consoleSession = FakeProcess::kNoSession;
     },
     Com({u"--default"}), 19,
     "default printer: RT-58C is the default printer of NT AUTHORITY\\SYSTEM, the account the "
     "program runs as; no one is logged on"},
    {"DefaultPrinterOfTheUserNamedInAnotherCase",
     [](Unattended& u) { u.process.account = u"till\\ALICE"; }, Com({u"--default"}), 0,
     "default printer: RT-58C"},
    // The removal and what Windows does with it.
    {"UninstallLeavesAConnectionAlone",
     [](Unattended& u) { u.spooler.AddConnection(u"shop", u"RT-58C", u"COM3:", u"RT-58C"); },
     {u"uninstall", u"--all"},
     0,
     "printer: \\\\shop\\RT-58C is a connection to a printer of another computer; left alone"},
    {"UninstallOfANamedConnection",
     [](Unattended& u) { u.spooler.AddConnection(u"shop", u"RT-58C", u"COM3:", u"RT-58C"); },
     {u"uninstall", u"--printer", u"\\\\shop\\RT-58C"},
     1801,
     "printer: \\\\shop\\RT-58C is a connection to a printer of another computer; left alone"},
    {"UninstallOfAPrinterOnlyMarkedForDeletion",
     [](Unattended& u) {
       u.spooler.AddInstalledPrinter(u"RT-58C", u"COM3:", u"RT-58C");
       u.spooler.printers.back().otherHandles = 1;
     },
     {u"uninstall", u"--model", u"RT-58C"},
     15,
     "printer: RT-58C left: removed when its jobs end"},
    {"UninstallWhoseRestartFails",
     [](Unattended& u) {
       u.spooler.AddInstalledPrinter(u"RT-58C", u"COM3:", u"RT-58C");
       u.registry.SetValue(WString(kSerialPortsKey), u"COM3:",
                           RegistryValue::String(u"115200,n,8,1"));
       u.serviceManager.Find(kSpoolerService)->failingStarts = -1;
     },
     {u"uninstall", u"--all"},
     18,
     "spooler: not restarted: stop done, start answered 1067 (The process terminated "
     "unexpectedly.)"},
};

INSTANTIATE_TEST_SUITE_P(Rows, UnattendedOutcome, ::testing::ValuesIn(kOutcomes),
                         [](const ::testing::TestParamInfo<Outcome>& row) {
                           return std::string(row.param.what);
                         });

TEST_F(Unattended, TheListingsAreTabSeparatedLinesOfThePortsAndTheFamilysPrinters) {
  spooler.AddInstalledPrinter(u"RT-58C", u"COM3:", u"RT-58C");
  spooler.AddInstalledPrinter(u"Office", u"LPT1:", u"Generic");
  spooler.AddInstalledPrinter(u"RT-80 (copy 1)", u"10.0.0.9", u"RT-80");
  ASSERT_EQ(kExitDone, Run({u"printers"}));
  EXPECT_EQ((std::vector<WString>{u"RT-58C\tCOM3:\tRT-58C", u"RT-80 (copy 1)\t10.0.0.9\tRT-80"}),
            console.lines);
  console.lines.clear();
  ASSERT_EQ(kExitDone, Run({u"ports"}));
  EXPECT_EQ((std::vector<WString>{u"com\tCOM3\tserial port", u"com\tCOM4\tserial port"}),
            console.lines);
  ExpectNoWindow();
}

TEST_F(Unattended, AFamilysPrinterOfAnotherComputerIsListedAsAConnection) {
  spooler.AddInstalledPrinter(u"RT-58C", u"COM3:", u"RT-58C");
  spooler.AddConnection(u"shop", u"RT-80", u"10.0.0.9", u"RT-80");
  spooler.AddConnection(u"shop", u"Office", u"LPT1:", u"Office Laser");
  ASSERT_EQ(0, Run({u"printers"}));
  EXPECT_EQ((std::vector<WString>{u"RT-58C\tCOM3:\tRT-58C",
                                  u"\\\\shop\\RT-80\t10.0.0.9\tRT-80\tconnection"}),
            console.lines);
}

TEST_F(Unattended, DiscoveryRunsForTheSecondsAskedInTheDialogsTicksOnTheClock) {
  const uint64_t before = clock.MonotonicMs();
  const size_t sleepsBefore = clock.Sleeps().size();
  ASSERT_EQ(0, Run({u"ports", u"--discover", u"2"})) << Output();
  EXPECT_EQ(2000u, clock.MonotonicMs() - before);
  const std::vector<uint32_t> sleeps = clock.Sleeps();
  EXPECT_EQ((std::vector<uint32_t>{500, 500, 500, 500}),
            std::vector<uint32_t>(sleeps.begin() + static_cast<std::ptrdiff_t>(sleepsBefore),
                                  sleeps.end()));
  EXPECT_EQ(1, udp.Opened());
  EXPECT_EQ(0, udp.OpenNow()) << "closed when the time is up";
  ExpectNoWindow();
}

}  // namespace
}  // namespace kestrava
