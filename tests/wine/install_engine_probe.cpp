// The installation engine with the Win32 services against Wine's own spooler, registry and
// file system: the serial and TCP/IP port set-up, two installations of the RT-58C from the
// sample driver tree (KESTRAVA_SOURCE names the folder that holds its platform folders), the
// port-in-use check, the test page and the spooler restart. Everything it makes is removed
// when it ends: printers, driver, driver files, port values and keys, the default printer.
// The 32-bit build runs in the 64-bit prefix under WOW64 (where the machine runs 32-bit code
// at all) and shows there the 64-bit registry view and the driver folder past the file system
// redirection.
//
// Where Wine's spooler differs from Windows' (Wine 8): a driver registers without its files
// in the driver folder; a second printer of a name already taken is added; the spooler
// service is not running in a fresh prefix and the spooler functions answer all the same;
// there is no Standard TCP/IP Port monitor (only "Local Port"), so a TCP/IP port written into
// the registry is never used; a printer is added on stand-in driver files, but
// DocumentProperties then fails with error 193 (ERROR_BAD_EXE_FORMAT: they are no DLLs), so
// the test page prints with its own device mode, and EndDoc fails on such a printer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "app/dialog/confing_dialog.h"
#include "install/install_engine.h"
#include "install/printer_ports.h"
#include "install/spooler_restart.h"
#include "platform/win32/win32.h"
#include "platform/win32/win32_services.h"
#include "tests/fakes/test_dialog_host.h"
#include "tests/install/tcp_ip_port_values.h"

namespace kestrava {
namespace {

const WString kModel = u"RT-58C";
const WString kCopy = u"RT-58C (copy 1)";
const WString kTcpIpMonitor =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port";

// The services as the program builds them, reached through their interfaces.
struct Win32World {
  Win32Services win32;
  SystemInfo& system = win32.system;
  Files& files = win32.files;
  Registry& registry = win32.registry;
  PrintSpooler& spooler = win32.spooler;
  Shell& shell = win32.shell;
  Clock& clock = win32.clock;
  Process& process = win32.process;
  TestDialogHost host;

  Services All() { return win32.With(host); }
  EngineServices Engine() { return EngineServicesOf(All()); }

  bool Listed(const WString& name, InstalledPrinter* found = nullptr) {
    std::vector<InstalledPrinter> printers;
    if (!spooler.EnumeratePrinters(printers)) return false;
    for (const InstalledPrinter& printer : printers) {
      if (printer.printerName != name) continue;
      if (found) *found = printer;
      return true;
    }
    return false;
  }
};

Win32World& World() {
  static Win32World world;
  return world;
}

std::unique_ptr<RegistryValue> Value(const WString& path, const WString& name) {
  auto key = World().registry.OpenMachineKey(path, kRegistryRead);
  if (!key) return nullptr;
  auto value = std::make_unique<RegistryValue>();
  if (key->QueryValue(name, 520, *value) != RegistryStatus::kOk) return nullptr;
  return value;
}

constexpr uint32_t kCommandLimitMs = 60000;

TEST(WineShell, ASystemCommandRunsHiddenToItsEnd) {
  const WString cmd = World().shell.SystemFolder() + u"\\cmd.exe";
  EXPECT_EQ(std::optional<uint32_t>(3),
            World().shell.RunHiddenAndWait(cmd, u"/c exit 3", kCommandLimitMs));
  const std::optional<uint32_t> net = World().shell.RunHiddenAndWait(
      World().shell.SystemFolder() + u"\\net.exe", u"helpmsg 2", kCommandLimitMs);
  EXPECT_TRUE(net) << "the system's net runs by its full path";
}

TEST(WinePorts, TheSerialLineSettingsLandWhereTheSpoolerReadsThem) {
  const std::unique_ptr<RegistryValue> before = Value(WString(kSerialPortsKey), u"COM3:");
  // Under WOW64 (the 32-bit build) the registry as the program builds it asks for the 64-bit
  // view, which `Value` reads too. (Wine links this key of the 32-bit view to the 64-bit one.)
  const PortSetUp setUp = ConfigureSerialPort(World().Engine(), u"COM3:", u"115200");
  EXPECT_TRUE(setUp.Written());
  ASSERT_TRUE(setUp.restart);
  EXPECT_TRUE(setUp.restart->Restarted()) << "net start spooler: " << setUp.restart->start.code;
  const std::unique_ptr<RegistryValue> after = Value(WString(kSerialPortsKey), u"COM3:");
  ASSERT_TRUE(after);
  EXPECT_EQ(kRegSz, after->type);
  EXPECT_EQ(u"115200,n,8,1", after->Text());
  EXPECT_EQ(26u, after->data.size());
  if (auto key = World().registry.OpenMachineKey(WString(kSerialPortsKey), kRegistryReadWrite)) {
    if (before) key->SetValue(u"COM3:", *before);  // as it was
  }
}

TEST(WineRegistry, UnderWow64TheProgramsMachineKeysAreThoseOfTheSixtyFourBitView) {
  if (!ProcessIsWow64()) GTEST_SKIP() << "a 64-bit process sees one view only";
  const WString path =
      u"SOFTWARE\\KestravaWow64-" + WidenAscii(std::to_string(GetCurrentProcessId()));
  Win32Registry sixtyFourBit(true);
  Win32Registry thirtyTwoBit(false);  // what a 32-bit program sees without asking
  Registry& program = World().registry;
  ASSERT_TRUE(program.CreateMachineKey(path, kRegistryReadWrite));
  EXPECT_TRUE(static_cast<Registry&>(sixtyFourBit).OpenMachineKey(path, kRegistryRead));
  EXPECT_FALSE(static_cast<Registry&>(thirtyTwoBit).OpenMachineKey(path, kRegistryRead))
      << "HKLM\\SOFTWARE of the 32-bit view is Wow6432Node, where no spooler reads";
  EXPECT_TRUE(program.DeleteMachineKeyTree(path));
}

// Where the driver files land, looked at past the file system redirection of WOW64.
class RealFolders {
 public:
  RealFolders() {
    using DisableFn = BOOL(WINAPI*)(PVOID*);
    auto disable = reinterpret_cast<DisableFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "Wow64DisableWow64FsRedirection")));
    redirectionOff_ = disable && disable(&state_);
  }
  ~RealFolders() {
    using RevertFn = BOOL(WINAPI*)(PVOID);
    auto revert = reinterpret_cast<RevertFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "Wow64RevertWow64FsRedirection")));
    if (redirectionOff_ && revert) revert(state_);
  }
  static bool Exists(const WString& path) {
    return GetFileAttributesW(win32::Wide(path)) != INVALID_FILE_ATTRIBUTES;
  }

 private:
  PVOID state_ = nullptr;
  bool redirectionOff_ = false;
};

TEST(WineDriverFiles, TheFilesLandInTheSpoolersFolderWhateverTheProgramsBitness) {
  const char* source = std::getenv("KESTRAVA_SOURCE");
  ASSERT_TRUE(source);
  InstallEngine engine(World().Engine());
  engine.driverSourceFolder = World().system.AnsiToWide(source);
  const WString directory = World().spooler.DriverDirectory(u"Windows x64");
  ASSERT_TRUE(engine.CopyModelFiles(directory, u"Windows x64", 2));
  wchar_t windows[MAX_PATH] = {};
  ASSERT_NE(0u, GetWindowsDirectoryW(windows, MAX_PATH));
  const WString root = win32::FromWide(windows);
  {
    // A 32-bit program that names system32 reaches SysWOW64, except below system32\spool.
    RealFolders real;
    EXPECT_TRUE(real.Exists(root + u"\\system32\\spool\\drivers\\x64\\P58C.GPD"));
    EXPECT_FALSE(real.Exists(root + u"\\SysWOW64\\spool\\drivers\\x64\\P58C.GPD"));
  }
  for (const char16_t* name : {u"P58.DLL", u"P58C.GPD"}) {
    World().files.RemoveFile(directory + u"\\" + name);
  }
}

TEST(WinePorts, ATcpIpPortMadeTwiceIsOneKeyWithTheTablesValues) {
  // Wine has no Standard TCP/IP Port monitor: its key is made here and removed again.
  const bool monitorExisted =
      static_cast<bool>(World().registry.OpenMachineKey(kTcpIpMonitor, kRegistryRead));
  ASSERT_TRUE(World().registry.CreateMachineKey(WString(kTcpIpPortsKey), kRegistryReadWrite));
  const WString port = WString(kTcpIpPortsKey) + u"\\127.0.0.9";
  World().registry.DeleteMachineKeyTree(port);

  for (int time = 0; time < 2; ++time) {
    const PortSetUp setUp = CreateTcpIpPort(World().Engine(), u"127.0.0.9");
    EXPECT_TRUE(setUp.Written()) << time;
    EXPECT_FALSE(setUp.throughMonitor) << "Wine's spooler has no Standard TCP/IP Port monitor";
    ASSERT_TRUE(setUp.restart);
    EXPECT_TRUE(setUp.restart->Restarted()) << time;
  }
  auto ports = World().registry.OpenMachineKey(WString(kTcpIpPortsKey), kRegistryRead);
  ASSERT_TRUE(ports);
  std::vector<WString> names;
  WString name;
  for (uint32_t i = 0; ports->EnumSubkey(i, 260, name) == RegistryStatus::kOk; ++i) {
    names.push_back(name);
  }
  EXPECT_EQ(1, std::count(names.begin(), names.end(), u"127.0.0.9"));
  const auto expected = TcpIpPortValues(u"127.0.0.9", 2);  // the prefix is Windows 10
  for (const auto& [valueName, value] : expected) {
    SCOPED_TRACE(Utf16ToUtf8(valueName));
    const std::unique_ptr<RegistryValue> stored = Value(port, valueName);
    ASSERT_TRUE(stored);
    EXPECT_EQ(value.type, stored->type);
    EXPECT_EQ(value.data, stored->data);
  }
  ports.reset();
  World().registry.DeleteMachineKeyTree(monitorExisted ? port : kTcpIpMonitor);
}

// Two installations of the RT-58C on COM3:, made once for the tests below and undone after
// them.
class WineInstallation : public ::testing::Test {
 protected:
  // Wine's spooler gives a 32-bit program's printers only the drivers of Windows NT x86 (an
  // x64 driver is unknown to it, error 1797), where Windows' 64-bit spooler takes the x64
  // driver the program registers: the installation cannot be shown there.
  static bool WineRefusesTheDriver() {
    return ProcessIsWow64() &&
           GetProcAddress(GetModuleHandleW(L"ntdll"), "wine_get_version") != nullptr;
  }

  void SetUp() override {
    if (WineRefusesTheDriver()) GTEST_SKIP() << "Wine's 32-bit spooler takes no x64 driver";
  }

  static void SetUpTestSuite() {
    if (WineRefusesTheDriver()) return;
    Win32World& world = World();
    const char* source = std::getenv("KESTRAVA_SOURCE");
    ASSERT_TRUE(source) << "KESTRAVA_SOURCE names the unpacked sample tree";
    sourceFolder() = world.system.AnsiToWide(source);
    ASSERT_FALSE(world.Listed(kModel)) << "a printer of the prefix's own would be deleted";
    ASSERT_FALSE(world.Listed(kCopy));
    previousDefault() = world.spooler.DefaultPrinter();
    driverDirectory() = world.spooler.DriverDirectory(u"Windows x64");

    engine() = std::make_unique<InstallEngine>(world.Engine());
    engine()->portKind = 1;  // COM
    firstResult() = engine()->InstallPrinter(0, 2, true, "COM3:", 1033, sourceFolder());
    firstName() = engine()->printerName;
    firstDefault() = world.spooler.DefaultPrinter();
    secondResult() = engine()->InstallPrinter(0, 2, true, "COM3:", 1033, sourceFolder());
  }

  static void TearDownTestSuite() {
    if (WineRefusesTheDriver()) return;
    Win32World& world = World();
    for (const WString& name : {kModel, kCopy}) world.spooler.DeletePrinter(name);
    world.spooler.DeleteDriver(u"Windows x64", kModel);
    std::vector<WString> made = {u"P58.DLL", u"P58C.GPD"};
    std::vector<FolderEntry> top;
    world.files.List(sourceFolder() + u"\\Windows x64\\*.*", top);
    for (const FolderEntry& entry : top) {
      if (!entry.attributes.isFolder) made.push_back(entry.name);
    }
    // The spooler keeps a copy of the registered files in the folder of the driver version.
    for (const WString& name : made) {
      world.files.RemoveFile(driverDirectory() + u"\\" + name);
      world.files.RemoveFile(driverDirectory() + u"\\3\\" + name);
    }
    if (!previousDefault().empty()) world.spooler.MakeDefault(previousDefault());
    engine().reset();
  }

  static WString& sourceFolder() {
    static WString folder;
    return folder;
  }
  static WString& driverDirectory() {
    static WString folder;
    return folder;
  }
  static WString& previousDefault() {
    static WString name;
    return name;
  }
  static WString& firstName() {
    static WString name;
    return name;
  }
  static WString& firstDefault() {
    static WString name;
    return name;
  }
  static bool& firstResult() {
    static bool result = false;
    return result;
  }
  static bool& secondResult() {
    static bool result = false;
    return result;
  }
  static std::unique_ptr<InstallEngine>& engine() {
    static std::unique_ptr<InstallEngine> instance;
    return instance;
  }
};

TEST_F(WineInstallation, BothInstallationsSucceedWithoutAMessage) {
  EXPECT_TRUE(firstResult());
  EXPECT_TRUE(secondResult());
  EXPECT_TRUE(World().host.messages.empty());
}

TEST_F(WineInstallation, TheDriverFolderHoldsTheModelsFilesAndTheDriversCommonFilesOnly) {
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(World().files.List(driverDirectory() + u"\\*.*", entries));
  std::set<WString> present;
  for (const FolderEntry& entry : entries) {
    if (!entry.attributes.isFolder) present.insert(entry.name);
  }
  for (const char16_t* name :
       {u"P58.DLL", u"P58C.GPD", u"Receipt.ini", u"ReceiptDrv.dll", u"ReceiptUI.dll",
        u"QXCHISMPL.DLL", u"QXCHITRAD.DLL", u"QXENGLISH.DLL", u"TTFSUB.GPD", u"STDNAMES.GPD",
        u"UNIRES.DLL", u"UNIDRV.DLL", u"UNIDRVUI.DLL", u"UNIDRV.HLP"}) {
    EXPECT_EQ(1u, present.count(name)) << Utf16ToUtf8(name);
  }
  for (const char16_t* name : {u"BARCODE.TTF", u"P58.GPD", u"P80.DLL", u"P76C.GPD"}) {
    EXPECT_EQ(0u, present.count(name)) << Utf16ToUtf8(name) << " is not the model's or is below";
  }
  // The check script plants it beside the common files: no list names it.
  EXPECT_EQ(0u, present.count(u"PLANTED.DLL"));
  EXPECT_TRUE(World().files.Attributes(sourceFolder() + u"\\Windows x64\\PLANTED.DLL"))
      << "the plant is there to be left";
  EXPECT_FALSE(World().files.Attributes(driverDirectory() + u"\\RES"));
  EXPECT_FALSE(World().files.Attributes(driverDirectory() + u"\\Font"));
}

TEST_F(WineInstallation, TheFirstPrinterIsTheModelOnComThreeWithItsSevenValues) {
  EXPECT_EQ(kModel, firstName());
  EXPECT_EQ(kModel, firstDefault()) << "made the default printer";
  InstalledPrinter printer;
  ASSERT_TRUE(World().Listed(kModel, &printer));
  EXPECT_EQ(u"COM3:", printer.portName);
  EXPECT_EQ(kModel, printer.driverName) << "the driver is registered under the model's name";

  auto opened = World().spooler.Open(kModel);
  ASSERT_TRUE(opened);
  const std::pair<const char16_t*, RegistryValue> expected[] = {
      {u"PrinterType", RegistryValue::Dword(1)},
      {u"PortType", RegistryValue::Dword(1)},
      {u"PortName", RegistryValue::String(u"COM3:")},
      {u"Language", RegistryValue::Dword(2)},
      {u"Beeper", RegistryValue::Dword(4)},
      {u"Cutter", RegistryValue::Dword(2)},
      {u"PaperName", RegistryValue::String(u"RECEIPT(48mm x 297mm)")},
  };
  for (const auto& [name, value] : expected) {
    SCOPED_TRACE(Utf16ToUtf8(name));
    RegistryValue stored;
    ASSERT_TRUE(opened->GetData(name, stored));
    EXPECT_EQ(value.type, stored.type);
    EXPECT_EQ(value.data, stored.data);
  }
}

TEST_F(WineInstallation, TheSecondInstallationIsTheFirstCopyAndTheNewDefault) {
  EXPECT_EQ(kCopy, engine()->printerName);
  EXPECT_TRUE(World().Listed(kCopy));
  EXPECT_EQ(kCopy, World().spooler.DefaultPrinter());
}

TEST_F(WineInstallation, ComThreeIsInUseAndUsbOneIsNot) {
  Win32World& world = World();
  world.host.messages.clear();
  ConfingDialog dialog(world.All());
  world.host.RunModal(dialog);
  const std::pair<const char16_t*, bool> rows[] = {{u"COM3", true}, {u"USB001", false}};
  for (const auto& [port, inUse] : rows) {
    SCOPED_TRACE(Utf16ToUtf8(port));
    world.host.ClearCombo(control::kPortList);
    world.host.AddComboItem(control::kPortList, port);
    world.host.SetComboSelection(control::kPortList, 0);
    EXPECT_EQ(inUse, dialog.CheckPortInUse());
  }
  ASSERT_EQ(1u, world.host.messages.size());
  EXPECT_EQ(u"A printer already exists using this port", world.host.messages[0].text);
}

TEST_F(WineInstallation, TheTestPagePrintsOnTheNewPrinter) {
  HBITMAP bitmap = CreateBitmap(120, 60, 1, 32, nullptr);
  ASSERT_TRUE(bitmap);
  MessageTable texts;
  texts.Fill(1033);
  const Picture picture{reinterpret_cast<uintptr_t>(bitmap), 120, 60};
  EXPECT_TRUE(engine()->PrintTestPage(engine()->printerName, picture, texts.testPageText));
  DeleteObject(bitmap);
}

// The system's shell, with the exit code of every command it ran.
class RecordingShell final : public Shell {
 public:
  explicit RecordingShell(Shell& shell) : shell_(shell) {}
  using Shell::RunHiddenAndWait;
  std::optional<uint32_t> RunHiddenAndWait(const WString& program, const WString& parameters,
                                           uint32_t timeoutMs, WString* output) override {
    const std::optional<uint32_t> exitCode =
        shell_.RunHiddenAndWait(program, parameters, timeoutMs, output);
    ran.push_back(Utf16ToUtf8(parameters) + " -> " +
                  (exitCode ? std::to_string(*exitCode) : std::string("none")));
    return exitCode;
  }
  bool OpenAddress(const WString& address) override { return shell_.OpenAddress(address); }
  WString SystemFolder() override { return shell_.SystemFolder(); }
  WString ProgramFilesFolder(ProgramFiles which) override {
    return shell_.ProgramFilesFolder(which);
  }

  std::vector<std::string> ran;

 private:
  Shell& shell_;
};

TEST_F(WineInstallation, ThePrintersOutliveASpoolerRestartThroughTheServiceManager) {
  RecordingShell shell(World().shell);
  EngineServices services = World().Engine();
  uint32_t error = 0;
  const SpoolerRestart restart = RestartSpooler(services.serviceManager, World().clock);
  EXPECT_EQ(0u, restart.stop.code);
  EXPECT_EQ(0u, restart.start.code);
  EXPECT_TRUE(restart.Restarted());
  EXPECT_TRUE(shell.ran.empty()) << "no command of the system's is run";
  EXPECT_EQ(std::optional<ServiceState>(ServiceState::kRunning),
            services.serviceManager.StateOf(kSpoolerService, error));
  EXPECT_TRUE(World().Listed(kModel));
  EXPECT_TRUE(World().Listed(kCopy));
}

}  // namespace
}  // namespace kestrava
