// The install button on the fake services: the road of one installation for every interface,
// the refusals, the outcome and the test-page question.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/support_log.h"
#include "install/printer_ports.h"
#include "payload/trusted_folder.h"
#include "tests/comm/port_command_fixture.h"
#include "tests/install/engine_fixture.h"

namespace kestrava {
namespace {

const char16_t* const kUsbPath =
    u"\\\\?\\usb#vid_0416&pid_5011#1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
const char16_t* const kFailure = u"Please check the connection\uFF01";
const char16_t* const kQuestion = u"Succeed !\nDo you want to printing test page?";
const std::string kSpoolerStop = "stop Spooler";
constexpr uint32_t kLoopback = 0x7F000001;

class InstallCommand : public PortCommandFixture {
 protected:
  void SetUp() override {
    Open();
    host.RunWorkers();  // the payload worker: nothing to unpack here
    *dialog->payloadExtracted = true;
    spooler.files = &files;
    graphics.spooler = &spooler;
    for (const auto& [environment, folder] : spooler.driverDirectories) files.AddFolder(folder);
    AddSamplePlatformFolder(files, dialog->workingFolder, u"Windows x64");
    // The keys every system has: the serial line settings and the TCP/IP port monitor's.
    registry.AddKey(WString(kSerialPortsKey));
    registry.AddKey(WString(kTcpIpPortsKey));
    const auto note = [this](const std::string& call) { journal.push_back(call); };
    shell.onCall = note;
    spooler.onCall = note;
    graphics.onCall = note;
    serviceManager.onCall = note;
    clock.onSleep = [this](uint32_t ms) { journal.push_back("Sleep " + std::to_string(ms)); };
  }

  bool PressInstall() { return host.Click(1019); }
  int Count(const std::string& entry) const {
    return static_cast<int>(std::count(journal.begin(), journal.end(), entry));
  }
  size_t Position(const std::string& prefix) const {
    for (size_t i = 0; i < journal.size(); ++i) {
      if (journal[i].compare(0, prefix.size(), prefix) == 0) return i;
    }
    return journal.size();
  }
  bool InstallControlsEnabled() {
    for (int id : {1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1027}) {
      if (!host.IsControlEnabled(id)) return false;
    }
    return true;
  }
  uint32_t PrinterNumber(const WString& printer, const WString& name) const {
    const FakePrintSpooler::Printer* found = spooler.FindPrinter(printer);
    if (!found) return 0xDEADBEEF;
    for (const auto& [valueName, value] : found->data) {
      if (valueName == name) return value.Number();
    }
    return 0xDEADBEEF;
  }

  std::vector<std::string> journal;
};

struct Road {
  const char* what;
  int interface;
  std::vector<WString> ports;
  const char16_t* printerPort;
  std::string firstBytes;  // what the printer received first: the port check (USB: a banner)
  int spoolerRestarts;     // the port set-up's own, then the installation's
  std::vector<WString> messages;
};

void PrintTo(const Road& road, std::ostream* os) {
  *os << road.what;
}

class InstallRoad : public InstallCommand, public ::testing::WithParamInterface<Road> {};

TEST_P(InstallRoad, ChecksPreparesInstallsAndPrintsTheTestPage) {
  const Road& road = GetParam();
  FakeDeviceIo::State* printer = nullptr;
  if (road.interface == 0) {
    printer = &AddUsbPrinter(kUsbPath, 1);
    printer->replies = {"\x16"};  // the status request is answered: ready
  } else if (road.interface != 2) {
    printer = &deviceIo.Add(road.ports.back(), true);
  }
  sockets.SetPeer(kLoopback, 9100, FakeTcpSockets::Peer::kAccepts);
  Choose(road.interface, road.ports, road.interface == 2 ? kSearchingIp : u"NO COM");
  if (!road.ports.empty()) {
    host.SelectComboItem(control::kPortList, static_cast<int>(road.ports.size()) - 1);
  }
  host.SetIpAddress(control::kIpAddress, kLoopback);
  ChooseBaud(u"115200");
  host.answers = {Answer::kYes};
  // The spooler has to reach the printer: the link holds no port when the printer is added.
  int openWhenAdded = -1;
  spooler.onCall = [this, &openWhenAdded](const std::string& call) {
    journal.push_back(call);
    if (call.rfind("AddPrinter ", 0) == 0) openWhenAdded = deviceIo.openDevices();
  };

  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(0, openWhenAdded);
  EXPECT_EQ(0, deviceIo.openDevices());
  EXPECT_EQ(road.messages, MessageTexts());
  const std::string received =
      printer
          ? printer->written
          : (sockets.Established().empty() ? std::string() : sockets.Established().front()->sent);
  EXPECT_EQ(0u, received.find(road.firstBytes)) << Hex(received);

  const FakePrintSpooler::Printer* installed = spooler.FindPrinter(u"RT-80C");
  ASSERT_TRUE(installed);
  EXPECT_EQ(road.printerPort, installed->record.portName);
  EXPECT_EQ(static_cast<uint32_t>(road.interface), PrinterNumber(u"RT-80C", u"PortType"));
  EXPECT_EQ(road.spoolerRestarts, Count(kSpoolerStop));
  if (road.interface == 1 || road.interface == 3) {
    const auto line = registry.Value(WString(kSerialPortsKey), road.printerPort);
    ASSERT_TRUE(line);
    EXPECT_EQ(u"115200,n,8,1", line->Text());
  }
  if (road.interface == 2) {
    EXPECT_TRUE(registry.HasKey(WString(kTcpIpPortsKey) + u"\\127.0.0.1"));
  }
  // The port's own restart comes before the installation's, which comes before the driver.
  EXPECT_LT(Position(kSpoolerStop), Position("AddPrinterDriver"));
  // Yes: the test page, 511 ms after the answer, with the controls already enabled.
  EXPECT_LT(Position("Sleep 511"), Position("StartDoc RT-80C"));
  EXPECT_EQ(1, Count("EndPage"));
  EXPECT_TRUE(InstallControlsEnabled());
  EXPECT_EQ(std::vector<std::string>{}, host.misuses);
}

INSTANTIATE_TEST_SUITE_P(
    All, InstallRoad,
    ::testing::Values(Road{"USB",
                           0,
                           {u"USB001"},
                           u"USB001",
                           std::string("\x1D\x76\x30\x00", 4),
                           1,
                           {u"Your USB printer's Port is :\r\n\tUSB001 ;\r\n", kQuestion}},
                      Road{"COM",
                           1,
                           {u"COM1", u"COM3"},
                           u"COM3:",
                           std::string("COM PORT:COM3\0", 14),
                           2,
                           {kQuestion}},
                      Road{"LAN",
                           2,
                           {},
                           u"127.0.0.1",
                           std::string("LAN IP ADDRESS:127.0.0.1\0", 25),
                           2,
                           {kQuestion}},
                      Road{"BLE",
                           3,
                           {u"COM7"},
                           u"COM7:",
                           std::string("BLUETOOTH PORT:COM7\0", 20),
                           2,
                           {kQuestion}}),
    [](const ::testing::TestParamInfo<Road>& row) { return std::string(row.param.what); });

TEST_F(InstallCommand, APrintersFaultIsToldAfterTheRoadsOwnMessage) {
  // The paper sensor says the paper's end, the off-line cause agrees: the installation goes on,
  // and the user hears of the paper after the outcome's question.
  deviceIo.Add(u"COM3", true).replies = {"\x72", "\x32", "\x12"};
  Choose(1, {u"COM3"}, u"NO COM");
  host.SelectComboItem(control::kPortList, 0);
  host.answers = {Answer::kNo};
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ((std::vector<WString>{kQuestion, u"The printer is out of paper."}), MessageTexts());
  EXPECT_TRUE(spooler.FindPrinter(u"RT-80C"));
}

struct Refusal {
  const char* what;
  int interface;
  std::vector<WString> ports;
  const char16_t* placeholder;
  std::vector<WString> messages;
  bool pageSent;
};

void PrintTo(const Refusal& row, std::ostream* os) {
  *os << row.what;
}

class InstallRefusal : public InstallCommand, public ::testing::WithParamInterface<Refusal> {};

TEST_P(InstallRefusal, StopsBeforeAnythingIsInstalled) {
  const Refusal& row = GetParam();
  if (!row.pageSent) spooler.AddInstalledPrinter(u"RT-58", u"COM3:");
  FakeDeviceIo::State& com3 = deviceIo.Add(u"COM3", true);
  deviceIo.Add(u"COM4", true).openError = 2;
  Choose(row.interface, row.ports, row.placeholder);
  if (row.pageSent) host.SetRadioGroupPosition(control::kModelFirst, -1);
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(row.messages, MessageTexts());
  EXPECT_EQ(row.pageSent, !com3.written.empty());
  EXPECT_TRUE(spooler.drivers.empty());
  EXPECT_EQ(0, Count("AddPrinter "));
  EXPECT_EQ(0, Count(kSpoolerStop)) << "no port was prepared";
  EXPECT_TRUE(InstallControlsEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    All, InstallRefusal,
    ::testing::Values(
        Refusal{"PortInUse",
                1,
                {u"COM3"},
                u"NO COM",
                {u"A printer already exists using this port"},
                false},
        Refusal{"NoCom", 1, {}, u"NO COM", {kFailure}, false},
        Refusal{"NoBle", 3, {}, u"NO BLE", {kFailure}, false},
        Refusal{"NoUsb", 0, {}, u"NO USB", {kFailure}, false},
        Refusal{"FailedPortCheck", 1, {u"COM4"}, u"NO COM", {kFailure}, false},
        Refusal{"NoModel", 1, {u"COM3"}, u"NO COM", {u"Please select a printer series !"}, true}),
    [](const ::testing::TestParamInfo<Refusal>& row) { return std::string(row.param.what); });

TEST_F(InstallCommand, AFailedInstallationIsToldAndReleasesTheControls) {
  deviceIo.Add(u"COM3", true);
  Choose(1, {u"COM3"}, u"NO COM");
  spooler.Fail(FakePrintSpooler::Op::kAddPrinter, 5);
  host.whileShown = [this](const WString&) {
    EXPECT_FALSE(host.IsControlEnabled(1019)) << "disabled while the engine works";
  };
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(std::vector<WString>{u"Install Failed ! "}, MessageTexts());
  EXPECT_TRUE(InstallControlsEnabled());
}

TEST_F(InstallCommand, NoToTheQuestionPrintsNothingAndATimerInsideTheQuestionChangesNothing) {
  deviceIo.Add(u"COM3", true);
  Choose(1, {u"COM3"}, u"NO COM");
  host.answers = {Answer::kNo};
  bool enabledInsideTheQuestion = false;
  host.whileShown = [&](const WString& text) {
    if (text != kQuestion) return;
    // The page's text write armed timer 1; it runs out while the question is open.
    ASSERT_TRUE(host.FireTimer(1));
    enabledInsideTheQuestion = InstallControlsEnabled();
  };
  ASSERT_TRUE(PressInstall());
  EXPECT_TRUE(enabledInsideTheQuestion);
  EXPECT_TRUE(InstallControlsEnabled());
  EXPECT_EQ(0, Count("StartDoc RT-80C"));
  EXPECT_EQ(1, Count("Sleep 511"));
  EXPECT_TRUE(spooler.FindPrinter(u"RT-80C"));
}

TEST_F(InstallCommand, OnX86ThePortKindIsMinusOneAndTheFilesAreThoseOfX86) {
  system.nativeArchitecture = kArchitectureIntel;
  system.emulatedArchitecture = kArchitectureIntel;
  shell.programFiles.system64 = false;
  Open();
  host.RunWorkers();
  *dialog->payloadExtracted = true;
  spooler.nativeEnvironment = u"Windows NT x86";
  EXPECT_EQ(u"C:\\Program Files\\Kestrava V8.11\\", dialog->workingFolder);
  AddSamplePlatformFolder(files, dialog->workingFolder, u"Windows NT x86");
  deviceIo.Add(u"COM3", true);
  Choose(1, {u"COM3"}, u"NO COM");
  host.answers = {Answer::kNo};
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(0xFFFFFFFFu, PrinterNumber(u"RT-80C", u"PortType"));
}

TEST_F(InstallCommand, BeforeThePayloadIsUnpackedTheFilesBesideTheProgramAreUsed) {
  *dialog->payloadExtracted = false;
  process.programFilePath = u"C:\\Setup\\KestravaSetup.exe";
  // A folder only administrators can change, as one under Program Files is.
  files.AddFolder(u"C:\\Setup");
  security.Protect(u"C:\\Setup", sid::kAdministrators, WorkingFolderRights());
  AddSamplePlatformFolder(files, u"C:\\Setup", u"Windows x64");
  deviceIo.Add(u"COM3", true);
  Choose(1, {u"COM3"}, u"NO COM");
  host.answers = {Answer::kNo};
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(u"C:\\Setup", dialog->workingFolder);
  EXPECT_NE(std::string::npos, process.debugOutput.find(system.WideToAnsi(u"使用相对目录\n")));
  EXPECT_EQ(u"C:\\Setup", dialog->engine.driverSourceFolder);
  EXPECT_TRUE(spooler.FindPrinter(u"RT-80C"));
}

// The dialog's road shows its own messages whatever a step came to; the support log tells what
// fell short with what the system said, and names a folder of the user's own by what it is.
TEST_F(InstallCommand, WhatFellShortGoesToTheSupportLogAndTheMessagesStayTheRoads) {
  *dialog->payloadExtracted = false;
  process.programFilePath = u"C:\\Users\\bob\\Downloads\\KestravaSetup.exe";
  // A folder of the user's that only administrators may change, so its files are taken.
  files.AddFolder(u"C:\\Users\\bob\\Downloads");
  security.Protect(u"C:\\Users\\bob\\Downloads", sid::kAdministrators, WorkingFolderRights());
  AddSamplePlatformFolder(files, u"C:\\Users\\bob\\Downloads", u"Windows x64");
  registry.FailWrites(WString(kSerialPortsKey));
  serviceManager.Find(kSpoolerService)->failingStarts = -1;
  spooler.Fail(FakePrintSpooler::Op::kSetDefault, 5);
  deviceIo.Add(u"COM3", true);
  Choose(1, {u"COM3"}, u"NO COM");
  ChooseBaud(u"115200");
  host.SetChecked(control::kSetDefault, true);
  host.answers = {Answer::kNo};
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(std::vector<WString>{kQuestion}, MessageTexts()) << "the road's own question only";
  ASSERT_TRUE(spooler.FindPrinter(u"RT-80C"));

  const std::string log =
      files.Content(u"C:\\Program Files (x86)\\Kestrava V8.11\\setup.log").value_or("");
  for (const char* line :
       {"port set-up: COM3: = 115200,n,8,1 not written: the registry refused a value",
        "spooler: not restarted: stop done, start error 1067: The process terminated "
        "unexpectedly.",
        "install: RT-80C on COM3:, for Windows 10, default printer yes, from the program's folder",
        "default printer: RT-80C could not be made the default printer: error 5: Access is "
        "denied."}) {
    EXPECT_NE(std::string::npos, log.find(line)) << line << "\n" << log;
  }
  EXPECT_EQ(std::string::npos, log.find("bob")) << log;
}

TEST_F(InstallCommand, ADefaultPrinterSetForAnotherAccountIsLoggedAsSuch) {
  process.account = u"TILL\\admin";  // another administrator's credentials at the prompt
  deviceIo.Add(u"COM3", true);
  Choose(1, {u"COM3"}, u"NO COM");
  host.SetChecked(control::kSetDefault, true);
  host.answers = {Answer::kNo};
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(std::vector<WString>{kQuestion}, MessageTexts());
  const std::string log =
      files.Content(u"C:\\Program Files (x86)\\Kestrava V8.11\\setup.log").value_or("");
  EXPECT_NE(std::string::npos,
            log.find("default printer: RT-80C is the default printer of TILL\\admin, the account "
                     "the program runs as, not of TILL\\alice, who is logged on"))
      << log;
}

// The spooler would load as SYSTEM what the user who downloaded the program could change: the
// installation fails with its message before it touches the port, the spooler or the driver
// folder.
struct UntrustedSource {
  const char* name;
  std::function<void(FakeFiles& files)> plant;
  const char16_t* programFolder = u"C:\\Downloads";

  friend void PrintTo(const UntrustedSource& row, std::ostream* os) { *os << row.name; }
};

class InstallFromBesideTheProgram : public InstallCommand,
                                    public ::testing::WithParamInterface<UntrustedSource> {};

TEST_P(InstallFromBesideTheProgram, IsRefusedWhenOthersCanChangeIt) {
  *dialog->payloadExtracted = false;
  process.programFilePath = GetParam().programFolder + WString(u"\\KestravaSetup.exe");
  files.AddFolder(u"C:\\Downloads");
  security.Protect(u"C:\\Downloads", sid::kAdministrators, WorkingFolderRights());
  AddSamplePlatformFolder(files, u"C:\\Downloads", u"Windows x64");
  GetParam().plant(files);
  FakeDeviceIo::State& com3 = deviceIo.Add(u"COM3", true);
  Choose(1, {u"COM3"}, u"NO COM");
  PressInstall();
  EXPECT_EQ((std::vector<WString>{u"Install Failed ! "}), MessageTexts());
  for (const auto& [environment, folder] : spooler.driverDirectories) {
    EXPECT_TRUE(files.Tree(folder).empty()) << Utf16ToUtf8(folder);
  }
  EXPECT_FALSE(spooler.FindPrinter(u"RT-80C"));
  EXPECT_TRUE(com3.written.empty()) << "no port check";
  EXPECT_TRUE(serviceManager.calls.empty()) << "no spooler restart";
  const std::string log =
      files.Content(u"C:\\Program Files (x86)\\Kestrava V8.11\\setup.log").value_or("");
  // The user's own folder is named by what it is, never by its path.
  EXPECT_NE(std::string::npos, log.find("install: not started: the payload is not unpacked, and "
                                        "the program's folder is not a folder only "
                                        "administrators can change"))
      << log;
}

const UntrustedSource kUntrustedSources[] = {
    {"InheritsTheDrivesModifyForUsers",
     [](FakeFiles& f) {
       // As a folder made in the root of the system drive is.
       f.SecurityOf(u"C:\\Downloads")->daclProtected = false;
       f.SecurityOf(u"C:\\Downloads")->dacl = {
           {sid::kAuthenticatedUsers, kModify, kInherited, false}};
     }},
    {"OwnedByTheUserWhoDownloadedIt",
     [](FakeFiles& f) { f.SecurityOf(u"C:\\Downloads")->owner = u"S-1-5-21-5-5-5-1002"; }},
    {"NoDaclAtAll", [](FakeFiles& f) { f.SecurityOf(u"C:\\Downloads")->hasDacl = false; }},
    {"AUserMayWriteOneDriverFile",
     [](FakeFiles& f) {
       f.SecurityOf(u"C:\\Downloads\\Windows x64\\UNIDRV.DLL")
           ->dacl.push_back({u"S-1-5-21-5-5-5-1002", 0x00000002, 0, false});
     }},
    {"ALinkInThePlatformFolder",
     [](FakeFiles& f) {
       f.AddFolder(u"C:\\Elsewhere");
       f.AddFolderLink(u"C:\\Downloads\\Windows x64\\RES\\More", u"C:\\Elsewhere");
     }},
    {"OnAVolumeWithoutSecurity",
     [](FakeFiles& f) {
       f.AddDrive(u'F', false);
       AddSamplePlatformFolder(f, u"F:\\Downloads", u"Windows x64");
     },
     u"F:\\Downloads"},
};

INSTANTIATE_TEST_SUITE_P(Rows, InstallFromBesideTheProgram, ::testing::ValuesIn(kUntrustedSources),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace kestrava
