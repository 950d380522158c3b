// The program with arguments on the fake services: every outcome of the install command with
// its exit code and what it left (or did not leave) on the machine, --replace with and without
// a printer of the model on the port, the listings, and that no window of any kind is used.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/exit_codes.h"
#include "comm/usb_printer_locator.h"
#include "tests/app/unattended_fixture.h"
#include "tests/fakes/hex.h"

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
  if (row.exitCode != kExitDone && row.exitCode < 10) {
    EXPECT_EQ("failed: exit code " + std::to_string(row.exitCode),
              Utf16ToUtf8(console.lines.back()));
  }
  // A refusal before the installation leaves nothing.
  if (row.exitCode > 100) {
    EXPECT_TRUE(spooler.drivers.empty());
    EXPECT_FALSE(registry.Value(WString(kSerialPortsKey), u"COM3:"));
  }
}

const Outcome kOutcomes[] = {
    {"Done", nullptr, Com(), kExitDone, "done: RT-58C on COM3:"},
    {"Help", nullptr, {u"/?"}, kExitDone, "Exit codes: 0 done"},
    {"HelpInJapanese", nullptr, {u"--help", u"--language", u"ja"}, kExitDone, "終了コード"},
    {"BadArgument",
     nullptr,
     {u"install", u"--model", u"RT-99"},
     kExitBadArguments,
     "bad argument: unknown model RT-99"},
    {"AnotherInstance",
     [](Unattended& u) {
       bool existed = false;
       u.otherInstance = u.process.CreateInstanceMarker(u"Demo", existed);
     },
     Com(), kExitAnotherInstance, "another instance of the program is running"},
    {"NotElevated", [](Unattended& u) { u.process.elevated = false; }, Com(), kExitNotElevated,
     "administrator rights are needed"},
    {"NoSuchSerialPort",
     nullptr,
     {u"install", u"--model", u"RT-58C", u"--interface", u"com", u"--port", u"COM9"},
     kExitNoSuchPort,
     "port: COM9 is not there; this computer has: COM3, COM4"},
    {"NoBluetoothPort",
     nullptr,
     {u"install", u"--model", u"RT-58C", u"--interface", u"ble", u"--port", u"COM7"},
     kExitNoSuchPort,
     "port: COM7 is not there; this computer has: none"},
    {"NoUsbPrinter",
     nullptr,
     {u"install", u"--model", u"RT-80C", u"--interface", u"usb"},
     kExitNoSuchPort,
     "port: no supported USB printer is attached"},
    {"PortInUse", [](Unattended& u) { u.spooler.AddInstalledPrinter(u"Till", u"COM3:"); }, Com(),
     kExitPortInUse, "port: COM3: already has the printer Till"},
    {"PortCheckFailed", [](Unattended& u) { u.deviceIo.Vanish(u"COM3"); }, Com(),
     kExitPortCheckFailed, "port check: failed"},
    {"LanNobodyListens",
     nullptr,
     {u"install", u"--model", u"RT-80", u"--interface", u"lan", u"--address", u"127.0.0.2"},
     kExitPortCheckFailed,
     "message: Please check the connection"},
    {"PortCheckSkipped", [](Unattended& u) { u.deviceIo.Vanish(u"COM3"); },
     Com({u"--no-port-check"}), kExitDone, "port check: skipped"},
    {"DriverFilesHeldOpen",
     [](Unattended& u) {
       u.files.Fail(FakeFiles::Op::kCopy, u"C:\\Setup\\Windows x64\\UNIDRV.DLL");
     },
     Com(), kExitDriverFilesNotCopied,
     "driver files: failed: C:\\Setup\\Windows x64\\UNIDRV.DLL: error 32"},
    {"DriverRefused", [](Unattended& u) { u.spooler.Fail(FakePrintSpooler::Op::kAddDriver, 1797); },
     Com(), kExitDriverNotRegistered, "driver: failed: error 1797: The printer driver is unknown."},
    {"PrinterRefused", [](Unattended& u) { u.spooler.Fail(FakePrintSpooler::Op::kAddPrinter, 5); },
     Com(), kExitPrinterNotAdded, "printer: failed: error 5: Access is denied."},
    {"RuntimeMissingOpensNoBrowser",
     [](Unattended& u) { u.spooler.Fail(FakePrintSpooler::Op::kAddPrinter, 126); }, Com(),
     kExitPrinterNotAdded, "message: https://aka.ms/vs/17/release/vc_redist.x64.exe"},
    {"PrinterOutOfPaper",
     [](Unattended& u) {
       u.com3->replies = {"\x72", "\x32", "\x12"};
     },
     Com(), kExitPaperEnd,
     "printer status: out of paper (10 04 04 > 72; 10 04 02 > 32; 10 04 03 > 12)"},
    {"PrinterReady",
     [](Unattended& u) {
       u.com3->replies = {"\x12", "\x12", "\x12"};
     },
     Com(), kExitDone, "printer status: ready"},
    {"PrinterSilent", nullptr, Com(), kExitDone, "printer status: no answer (10 04 04 > (none))"},
    {"TestPagePrinted", nullptr, Com({u"--test-page"}), kExitDone, "test page: sent to RT-58C"},
    {"TestPageRefused", [](Unattended& u) { u.graphics.printerContextError = 5; },
     Com({u"--test-page"}), kExitTestPageFailed, "test page: failed: error 5: Access is denied."},
    {"UninstallNothingThere", nullptr, {u"uninstall", u"--all"}, kExitDone, "nothing to remove"},
    {"UninstallAPrinterNotThere",
     nullptr,
     {u"uninstall", u"--printer", u"RT-58C"},
     kExitNoSuchPrinter,
     "printer: RT-58C is not installed"},
    {"UninstallAPrinterOfAnotherFamily",
     [](Unattended& u) { u.spooler.AddInstalledPrinter(u"Office", u"LPT1:", u"Office Laser"); },
     {u"uninstall", u"--printer", u"Office"},
     kExitNoSuchPrinter,
     "printer: Office is no printer of this family; left alone"},
    {"UninstallLeavesAPrinterThatPrints",
     [](Unattended& u) {
       u.spooler.AddInstalledPrinter(u"RT-58C", u"COM3:", u"RT-58C");
       u.spooler.printers.back().jobs = 3;
     },
     {u"uninstall", u"--model", u"RT-58C"},
     kExitSomethingLeft,
     "printer: RT-58C left: 3 jobs are in its queue"},
    {"UninstallDryRunNeedsNoRights",
     [](Unattended& u) {
       u.process.elevated = false;
       u.spooler.AddInstalledPrinter(u"RT-58C", u"COM3:", u"RT-58C");
     },
     {u"uninstall", u"--all", u"--dry-run"},
     kExitDone,
     "printer: RT-58C would be removed"},
    {"UninstallNeedsRights",
     [](Unattended& u) { u.process.elevated = false; },
     {u"uninstall", u"--all"},
     kExitNotElevated,
     "administrator rights are needed"},
    {"UsbFirstPrinter",
     [](Unattended& u) {
       u.deviceInterfaces.Add(kUsbPath);
       u.registry.SetValue(InterfaceValueKey(kUsbPath, u"Device Parameters"), u"Port Number",
                           RegistryValue::Dword(1));
       u.deviceIo.Add(kUsbPath).replies = {"\x16"};
     },
     {u"install", u"--model", u"RT-80C", u"--interface", u"usb"},
     kExitDone,
     "done: RT-80C on USB001"},
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

}  // namespace
}  // namespace kestrava
