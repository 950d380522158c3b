#include <gtest/gtest.h>

#include "install/printer_ports.h"
#include "tests/install/engine_fixture.h"

namespace kestrava {
namespace {

using Lines = std::vector<std::string>;
using Data = std::vector<std::pair<WString, RegistryValue>>;

constexpr const char16_t* kSource = u"C:\\Program Files (x86)\\Kestrava V8.11\\";

class InstallationTest : public EngineFixture {
 protected:
  void SetUp() override {
    AddPlatformFolder(kSource, u"Windows x64");
    AddPlatformFolder(kSource, u"Windows NT x86");
    AddPlatformFolder(kSource, u"Windows ARM64");
    MakeEngine();
  }

  bool Install(int model, const std::string& port = "COM3:", int32_t language = 1033,
               bool setAsDefault = false, int32_t osIndex = 0) {
    return engine->InstallPrinter(osIndex, model, setAsDefault, port, language, kSource);
  }

  void UseArchitecture(uint16_t code) {
    system.nativeArchitecture = code;
    spooler.nativeEnvironment =
        InstallEngine::SpoolerEnvironment(code == kArchitectureIntel   ? "x86"
                                          : code == kArchitectureArm64 ? "ARM64"
                                                                       : "x64");
  }
};

TEST_F(InstallationTest, AnInstallationRunsItsStepsInOrderWithTheirWaits) {
  ASSERT_TRUE(Install(2, "COM3:", 1033, true));
  Lines expected = kRestartJournal;
  const Lines steps = {
      "GetPrinterDriverDirectory Windows x64",
      "AddPrinterDriver RT-58C Windows x64",
      "Sleep 111",
      "Sleep 111",
      "EnumPrinters",
      "AddPrinter RT-58C on COM3:",
      "Sleep 111",
      "SetPrinterData RT-58C PrinterType",
      "SetPrinterData RT-58C PortType",
      "SetPrinterData RT-58C PortName",
      "SetPrinterData RT-58C Language",
      "SetPrinterData RT-58C Beeper",
      "SetPrinterData RT-58C Cutter",
      "SetPrinterData RT-58C PaperName",
      "ClosePrinter RT-58C",
      "SetDefaultPrinter RT-58C",
  };
  expected.insert(expected.end(), steps.begin(), steps.end());
  EXPECT_EQ(expected, journal);
  EXPECT_EQ(u"RT-58C", engine->printerName);
  EXPECT_EQ(kSource, engine->driverSourceFolder);
  EXPECT_EQ(u"RT-58C", spooler.defaultPrinter);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(0, spooler.openPrinters());
}

TEST_F(InstallationTest, TheDriverAndPrinterRecords) {
  ASSERT_TRUE(Install(0, "USB001"));
  ASSERT_EQ(1u, spooler.drivers.size());
  const DriverRecord& driver = spooler.drivers[0];
  EXPECT_EQ(3u, driver.version);
  EXPECT_EQ(u"RT-80C", driver.name);
  EXPECT_EQ(u"Windows x64", driver.environment);
  EXPECT_EQ(u"uniDRV.DLL", driver.driverFile);
  EXPECT_EQ(u"P80C.GPD", driver.dataFile);
  EXPECT_EQ(u"uniDRVUI.DLL", driver.configFile);
  EXPECT_EQ(u"uniDRV.HLP", driver.helpFile);
  EXPECT_EQ(engine->DependentFiles(0), driver.dependentFiles);
  EXPECT_EQ(u"", driver.monitorName);
  EXPECT_EQ(u"RAW", driver.defaultDataType);

  const FakePrintSpooler::Printer* printer = spooler.FindPrinter(u"RT-80C");
  ASSERT_TRUE(printer);
  EXPECT_EQ(u"USB001", printer->record.portName);
  EXPECT_EQ(u"RT-80C", printer->record.driverName);
  EXPECT_EQ(u"WinPrint", printer->record.printProcessor);
  EXPECT_EQ(u"RAW", printer->record.dataType);
  EXPECT_EQ(0x40u, printer->record.attributes);
}

struct NamingCase {
  const char* what;
  std::vector<const char16_t*> existing;
  int32_t language;
  const char16_t* expected;
};

void PrintTo(const NamingCase& c, std::ostream* os) {
  *os << c.what;
}

class NamingTable : public InstallationTest, public ::testing::WithParamInterface<NamingCase> {};

TEST_P(NamingTable, TheFirstFreeNameBuiltOnTheModelName) {
  const NamingCase& c = GetParam();
  for (const char16_t* name : c.existing) spooler.AddInstalledPrinter(name, u"USB001");
  ASSERT_TRUE(Install(3, "USB002", c.language, true));
  EXPECT_EQ(c.expected, engine->printerName);
  ASSERT_TRUE(spooler.FindPrinter(c.expected));
  EXPECT_EQ(u"USB002", spooler.FindPrinter(c.expected)->record.portName);
  EXPECT_EQ(c.expected, spooler.defaultPrinter) << "the default is the printer just added";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NamingTable,
    ::testing::Values(
        NamingCase{"the first printer of the model", {}, 1033, u"RT-58"},
        NamingCase{"taken once", {u"RT-58"}, 1033, u"RT-58 (copy 1)"},
        NamingCase{"taken twice", {u"RT-58", u"RT-58 (copy 1)"}, 1033, u"RT-58 (copy 2)"},
        NamingCase{"the copies listed first: the scan starts again after a match",
                   {u"RT-58 (copy 1)", u"RT-58 (copy 2)", u"RT-58"},
                   1033,
                   u"RT-58 (copy 3)"},
        NamingCase{"only a copy exists", {u"RT-58 (copy 1)"}, 1033, u"RT-58"},
        NamingCase{"a gap in the copies", {u"RT-58", u"RT-58 (copy 2)"}, 1033, u"RT-58 (copy 1)"},
        NamingCase{"other models do not count", {u"RT-58C", u"RT-580", u"RT-5"}, 1033, u"RT-58"},
        NamingCase{"the suffix is never built on a copy's name",
                   {u"RT-58", u"RT-58 (copy 1)", u"RT-58 (copy 1) (copy 2)"},
                   1033,
                   u"RT-58 (copy 2)"},
        NamingCase{"the Chinese suffix", {u"RT-58"}, 2052, u"RT-58 (副本 1)"},
        NamingCase{"the Chinese suffix ignores English copies",
                   {u"RT-58", u"RT-58 (copy 1)", u"RT-58 (副本 1)"},
                   2052,
                   u"RT-58 (副本 2)"},
        NamingCase{"Japanese uses the English suffix", {u"RT-58"}, 1041, u"RT-58 (copy 1)"},
        // The spooler compares printer names without case and refuses the second of two.
        NamingCase{"taken in another case", {u"rt-58"}, 1033, u"RT-58 (copy 1)"},
        NamingCase{"a copy taken in another case",
                   {u"RT-58", u"rt-58 (COPY 1)"},
                   1033,
                   u"RT-58 (copy 2)"}));

TEST_F(InstallationTest, TheNamingTraceFollowsEveryComparison) {
  spooler.AddInstalledPrinter(u"RT-58 (copy 1)", u"USB001");
  spooler.AddInstalledPrinter(u"RT-58", u"USB001");
  ASSERT_TRUE(Install(3, "USB002"));
  const std::string traces =
      "name=RT-58 (copy 1),i=0,n=1.temStr=RT-58,userLanguage=1033\r\n"
      "name=RT-58,i=-1,n=2.temStr=RT-58 (copy 1),userLanguage=1033\r\n"
      "name=RT-58 (copy 1),i=-1,n=3.temStr=RT-58 (copy 2),userLanguage=1033\r\n"
      "name=RT-58 (copy 1),i=0,n=3.temStr=RT-58 (copy 2),userLanguage=1033\r\n"
      "name=RT-58,i=1,n=3.temStr=RT-58 (copy 2),userLanguage=1033\r\n";
  EXPECT_EQ(0u, process.debugOutput.find(traces)) << process.debugOutput;
}

TEST_F(InstallationTest, AListThatCannotBeReadKeepsTheModelName) {
  spooler.AddInstalledPrinter(u"RT-58", u"USB001");
  spooler.Fail(FakePrintSpooler::Op::kEnumerate, 1722);
  EXPECT_FALSE(Install(3, "USB002")) << "the spooler refuses the name that is taken";
  EXPECT_EQ(u"RT-58", engine->printerName);
}

struct DataCase {
  const char* what;
  int model;
  int32_t language;
  int32_t portKind;
  uint16_t architecture;
  const char* port;
  // Expected: "PortType", "Language", "Cutter", and whether "PaperName" is written.
  uint32_t portType;
  uint32_t languageValue;
  uint32_t cutter;
  bool paperName;
};

void PrintTo(const DataCase& c, std::ostream* os) {
  *os << c.what;
}

class PrinterDataTable : public InstallationTest, public ::testing::WithParamInterface<DataCase> {};

TEST_P(PrinterDataTable, WrittenInTableOrderWithTheirTypes) {
  const DataCase& c = GetParam();
  UseArchitecture(c.architecture);
  engine->portKind = c.portKind;
  ASSERT_TRUE(Install(c.model, c.port, c.language));
  Data expected = {{u"PrinterType", RegistryValue::Dword(1)},
                   {u"PortType", RegistryValue::Dword(c.portType)},
                   {u"PortName", RegistryValue::String(WidenAscii(c.port))},
                   {u"Language", RegistryValue::Dword(c.languageValue)},
                   {u"Beeper", RegistryValue::Dword(4)},
                   {u"Cutter", RegistryValue::Dword(c.cutter)}};
  if (c.paperName)
    expected.push_back({u"PaperName", RegistryValue::String(u"RECEIPT(48mm x 297mm)")});
  const FakePrintSpooler::Printer* printer = spooler.FindPrinter(engine->printerName);
  ASSERT_TRUE(printer);
  ASSERT_EQ(expected.size(), printer->data.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(Utf16ToUtf8(expected[i].first));
    EXPECT_EQ(expected[i].first, printer->data[i].first);
    EXPECT_EQ(expected[i].second.type, printer->data[i].second.type);
    EXPECT_EQ(expected[i].second.data, printer->data[i].second.data);
  }
  // The port and the trace go to the debugger before "PortName" is written.
  const std::string trace =
      c.port + system.WideToAnsi(FormatText(u"打印机端口类型：%d，端口信息 %s",
                                            {c.portKind, WidenAscii(c.port)}));
  EXPECT_NE(std::string::npos, process.debugOutput.find(trace)) << process.debugOutput;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, PrinterDataTable, ::testing::Values(
    //        what                          model lang  kind arch                port
    //        PortType    Language Cutter PaperName
    DataCase{"RT-80C, English, USB",          0, 1033,  0, kArchitectureAmd64, "USB001",
             0,          2,       2,     false},
    DataCase{"RT-80, Chinese, COM",           1, 2052,  1, kArchitectureAmd64, "COM3:",
             1,          0,       0,     false},
    DataCase{"RT-58C, Japanese, LAN",         2, 1041,  2, kArchitectureAmd64, "10.77.0.2",
             2,          2,       2,     true},
    DataCase{"RT-58, Chinese, Bluetooth",     3, 2052,  3, kArchitectureAmd64, "COM7:",
             3,          0,       0,     true},
    DataCase{"RT-76C on ARM64",               4, 1033,  0, kArchitectureArm64, "USB003",
             0,          2,       2,     false},
    DataCase{"RT-76 on x86: PortType -1",     5, 1033, -1, kArchitectureIntel, "COM1:",
             0xFFFFFFFF, 2,       0,     false}));
// clang-format on

TEST_F(InstallationTest, EachArchitectureInstallsItsOwnPlatform) {
  const std::pair<uint16_t, const char*> rows[] = {
      {kArchitectureIntel, "W32X86"}, {kArchitectureAmd64, "x64"}, {kArchitectureArm64, "ARM64"}};
  for (const auto& [code, folder] : rows) {
    SCOPED_TRACE(folder);
    UseArchitecture(code);
    journal.clear();
    ASSERT_TRUE(Install(1, "USB001"));
    const WString environment = spooler.nativeEnvironment;
    EXPECT_EQ(Lines{"GetPrinterDriverDirectory " + Utf16ToUtf8(environment)},
              Journal("GetPrinterDriverDirectory"));
    const WString copied = u"C:\\WINDOWS\\system32\\spool\\DRIVERS\\" + WidenAscii(folder);
    EXPECT_EQ(Utf16ToUtf8(environment) + "\\UNIDRV.DLL", files.Content(copied + u"\\UNIDRV.DLL"));
  }
}

struct CopyFailureCase {
  int32_t osIndex;
  int32_t language;
  const char16_t* message;
};

void PrintTo(const CopyFailureCase& c, std::ostream* os) {
  *os << "osIndex " << c.osIndex << ", language " << c.language;
}

class CopyFailureTable : public InstallationTest,
                         public ::testing::WithParamInterface<CopyFailureCase> {};

TEST_P(CopyFailureTable, TheMessageFormFollowsTheOsChoiceAndTheLanguage) {
  const CopyFailureCase& c = GetParam();
  files.Fail(FakeFiles::Op::kList, WString(kSource) + u"Windows x64");
  EXPECT_FALSE(Install(2, "COM3:", c.language, true, c.osIndex));
  ASSERT_EQ(1u, host.messages.size());
  EXPECT_EQ(c.message, host.messages[0].text);
  EXPECT_EQ(MessageKind::kWarning, host.messages[0].kind);
  EXPECT_TRUE(Journal("AddPrinterDriver").empty());
  EXPECT_TRUE(spooler.defaultPrinter.empty());
}

constexpr const char16_t* kShortChinese = u"安装过程发生错误！安装驱动文件失败";
constexpr const char16_t* kLongChinese = u"安装过程发生错误！\n请尝试<以管理员身份运行>安装文件。";
constexpr const char16_t* kShortOther = u"Malfunction !";
constexpr const char16_t* kLongOther =
    u"Malfunction !\nPls try using <Run as administrator>open this App";

INSTANTIATE_TEST_SUITE_P(
    Forms, CopyFailureTable,
    ::testing::Values(
        CopyFailureCase{-1, 2052, kShortChinese}, CopyFailureCase{0, 2052, kShortChinese},
        CopyFailureCase{2, 2052, kShortChinese}, CopyFailureCase{3, 2052, kLongChinese},
        CopyFailureCase{6, 2052, kLongChinese}, CopyFailureCase{-1, 1033, kShortOther},
        CopyFailureCase{1, 1033, kShortOther}, CopyFailureCase{2, 1041, kShortOther},
        CopyFailureCase{3, 1033, kLongOther}, CopyFailureCase{4, 1041, kLongOther},
        CopyFailureCase{5, 1031, kLongOther}, CopyFailureCase{6, 1033, kLongOther}));

TEST_F(InstallationTest, EveryFailedCopyFailsTheInstallationAfterAllThreeWereTried) {
  struct Row {
    const char* what;
    WString failing;  // the source whose copy fails
  };
  const Row rows[] = {
      {"the resource DLL", WString(kSource) + u"Windows x64\\RES\\P58.DLL"},
      {"the GPD file", WString(kSource) + u"Windows x64\\RES\\P58C.GPD"},
      {"a common file", WString(kSource) + u"Windows x64\\UNIDRV.HLP"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeFiles& fs = files;
    fs.Fail(FakeFiles::Op::kCopy, row.failing, 1);
    host.messages.clear();
    journal.clear();
    EXPECT_FALSE(Install(2));
    EXPECT_EQ(std::vector<WString>{kShortOther}, Messages());
    EXPECT_TRUE(Journal("AddPrinterDriver").empty());
    // All three copies were attempted: the other two landed.
    EXPECT_TRUE(fs.Exists(u"C:\\WINDOWS\\system32\\spool\\DRIVERS\\x64\\UNIDRVUI.DLL"));
  }
}

TEST_F(InstallationTest, ASpoolerThatNamesNoDriverDirectoryFailsTheCopy) {
  const std::function<void(FakePrintSpooler&)> scripts[] = {
      [](FakePrintSpooler& s) { s.driverDirectories[u"Windows x64"].clear(); },
      [](FakePrintSpooler& s) { s.Fail(FakePrintSpooler::Op::kDriverDirectory, 1805); },
  };
  for (const auto& script : scripts) {
    FakePrintSpooler fresh;
    fresh.onCall = spooler.onCall;
    script(fresh);
    spooler = std::move(fresh);
    host.messages.clear();
    EXPECT_FALSE(Install(2, "COM3:", 2052, false, 4));
    EXPECT_EQ(std::vector<WString>{kLongChinese}, Messages());
    EXPECT_FALSE(files.Exists(u"C:\\P58.DLL")) << "nothing copied into the root";
    EXPECT_FALSE(files.Exists(u"C:\\UNIDRV.DLL"));
    EXPECT_TRUE(spooler.drivers.empty());
  }
}

TEST_F(InstallationTest, AModelPositionOutsideTheTablesFailsTheCopy) {
  for (int position : {6, 19, 20, -1, 1000}) {
    SCOPED_TRACE(position);
    host.messages.clear();
    EXPECT_FALSE(Install(position));
    EXPECT_EQ(std::vector<WString>{kShortOther}, Messages());
    EXPECT_EQ(u"", engine->printerName);
  }
}

TEST_F(InstallationTest, AnEmptyPlatformFolderCopiesButTheDriverCannotRegister) {
  files = FakeFiles();
  for (const auto& [environment, folder] : spooler.driverDirectories) files.AddFolder(folder);
  files.AddFolder(WString(kSource) + u"Windows x64\\RES");
  for (const char16_t* name : {u"P58.DLL", u"P58C.GPD"}) {
    files.AddFile(WString(kSource) + u"Windows x64\\RES\\" + name, "model file");
  }
  EXPECT_FALSE(Install(2));
  EXPECT_EQ((std::vector<WString>{u"The system cannot find the file specified.\r\n",
                                  u"Install printer driver failed !"}),
            Messages());
}

struct DriverFailureCase {
  uint32_t error;
  int32_t language;
  std::vector<const char16_t*> messages;
};

TEST_F(InstallationTest, ADriverThatCannotRegisterShowsTheSystemsTextThenItsOwn) {
  const DriverFailureCase rows[] = {
      {5, 1033, {u"Access is denied.\r\n", u"Install printer driver failed !"}},
      {126,
       2052,
       {u"The specified module could not be found.\r\n", u"安装打印机驱动过程发生错误！"}},
      {1797, 1041, {u"The printer driver is unknown.\r\n", u"Install printer driver failed !"}},
      {0x2000ABCD, 1033, {u"", u"Install printer driver failed !"}},
  };
  for (const DriverFailureCase& row : rows) {
    SCOPED_TRACE(row.error);
    spooler.Fail(FakePrintSpooler::Op::kAddDriver, row.error, 1);
    host.messages.clear();
    journal.clear();
    process.debugOutput.clear();
    EXPECT_FALSE(Install(2, "COM3:", row.language, true));
    EXPECT_EQ(std::vector<WString>(row.messages.begin(), row.messages.end()), Messages());
    EXPECT_EQ(system.WideToAnsi(u"添加打印机驱动失败"), process.debugOutput);
    EXPECT_EQ((Lines{"AddPrinterDriver RT-58C Windows x64", "Sleep 111"}),
              Lines(journal.begin() + kRestartJournal.size() + 1, journal.end()))
        << "one wait, then nothing more";
  }
}

TEST_F(InstallationTest, AMissingRuntimeIsToldAndItsDownloadOpenedForTheArchitecture) {
  const std::tuple<uint16_t, int32_t, const char16_t*, const char*> rows[] = {
      {kArchitectureAmd64, 1033,
       u"The VC runtime framework is missing, adding a printer fails, please install it after "
       u"downloading in the browser",
       "open https://aka.ms/vs/17/release/vc_redist.x64.exe"},
      {kArchitectureIntel, 2052, u"缺少VC运行框架，添加打印机失败，请在浏览器下载后安装",
       "open https://aka.ms/vs/17/release/vc_redist.x86.exe"},
      {kArchitectureArm64, 1041,
       u"The VC runtime framework is missing, adding a printer fails, please install it after "
       u"downloading in the browser",
       "open https://aka.ms/vs/17/release/vc_redist.ARM64.exe"},
  };
  for (const auto& [architecture, language, message, address] : rows) {
    SCOPED_TRACE(address);
    UseArchitecture(architecture);
    spooler.Fail(FakePrintSpooler::Op::kAddPrinter, kErrorModNotFound, 1);
    host.messages.clear();
    shell.calls.clear();
    journal.clear();
    EXPECT_FALSE(Install(2, "COM3:", language, true));
    EXPECT_EQ(std::vector<WString>{message}, Messages());
    EXPECT_EQ(Lines{address}, Journal("open "));
    EXPECT_TRUE(Journal("SetPrinterData").empty());
    EXPECT_TRUE(Journal("SetDefaultPrinter").empty());
    ASSERT_LE(3u, journal.size());
    EXPECT_EQ((Lines{"AddPrinter RT-58C on COM3:", "Sleep 111", address}),
              Lines(journal.end() - 3, journal.end()))
        << "the wait after adding comes first";
  }
}

TEST_F(InstallationTest, AnyOtherPrinterFailureIsLeftToTheCaller) {
  for (uint32_t error : {1796u, 5u, 0u}) {
    SCOPED_TRACE(error);
    spooler.Fail(FakePrintSpooler::Op::kAddPrinter, error, 1);
    host.messages.clear();
    journal.clear();
    EXPECT_FALSE(Install(2, "COM3:", 1033, true));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(Journal("open ").empty());
    EXPECT_TRUE(Journal("SetDefaultPrinter").empty());
  }
}

TEST_F(InstallationTest, TwoPortSetUpsInARowRestartTheSpoolerTwice) {
  registry.AddKey(WString(kSerialPortsKey));
  ASSERT_TRUE(ConfigureSerialPort(Engine(), u"COM3:", u"115200").Written());
  ASSERT_TRUE(Install(2));
  EXPECT_EQ((Lines{"stop Spooler", "start Spooler", "stop Spooler", "start Spooler"}),
            Journal("st"));
  EXPECT_TRUE(shell.calls.empty());
}

TEST_F(InstallationTest, ACallerThatRestartedAlreadyLeavesTheInstallationsRestartOut) {
  engine.reset();
  MakeEngine();
  engine->restartSpooler = false;
  ASSERT_TRUE(Install(2));
  EXPECT_TRUE(serviceManager.calls.empty());
  EXPECT_FALSE(engine->restart);
  engine->restartSpooler = true;
  ASSERT_TRUE(Install(2));
  ASSERT_TRUE(engine->restart);
  EXPECT_TRUE(engine->restart->Restarted());
}

}  // namespace
}  // namespace kestrava
