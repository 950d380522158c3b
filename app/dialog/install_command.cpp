// The install button: the dialog's selection becomes an installed printer. The port is checked
// first (the port-information page proves that it reaches a printer), then prepared for its
// kind, the engine installs the driver and the printer, and the user hears the outcome in the
// UI language and may print a test page.
#include "app/dialog/confing_dialog.h"
#include "app/language.h"
#include "install/driver_source.h"
#include "install/printer_ports.h"
#include "payload/folder_tree.h"

namespace kestrava {

namespace {

constexpr int kFirstInstallControl = 1011;
constexpr int kLastInstallControl = 1018;

constexpr LocalText kNoModelMessage = {u"请选择一个打印机型号！",
                                       u"Please select a printer series !",
                                       u"プリンターの機種をお選びください!"};
constexpr LocalText kInstallFailedMessage = {u"安装失败！", u"Install Failed ! ",
                                             u"インストールに失敗しました! "};
// "  n" in the Japanese text is two spaces and the letter n, as the text has always read.
constexpr LocalText kTestPageQuestion = {
    u"安装成功！\n是否要打印测试页？", u"Succeed !\nDo you want to printing test page?",
    u"インストールに成功しました！  nテストページを印刷しますか？"};

}  // namespace

void ConfingDialog::EnableInstallControls(bool enabled) {
  for (int id = kFirstInstallControl; id <= kLastInstallControl; ++id) {
    host_.EnableControl(id, enabled);
  }
  host_.EnableControl(control::kInstallButton, enabled);
  host_.EnableControl(kCheckPortButton, enabled);
}

void ConfingDialog::OnInstall() {
  // Before the payload worker has succeeded the driver files are looked for beside the program.
  if (!*payloadExtracted) {
    workingFolder = FolderOf(services_.process.ProgramFilePath());
    services_.process.DebugOutput(services_.system.WideToAnsi(u"使用相对目录\n"));
    // The spooler loads what is copied as SYSTEM: a folder that others can change (Downloads,
    // a stick) gives nothing, and the installation fails before it touches anything.
    WString untrusted;
    if (!IsTrustedDriverSource(services_.files, services_.security, workingFolder, &untrusted)) {
      Log(u"install: not started: the payload is not unpacked, and " + workingFolder +
          u" is not a folder only administrators can change (" + untrusted + u")");
      host_.ShowMessage(kInstallFailedMessage.For(uiLanguage), MessageKind::kWarning);
      return;
    }
  }
  if (CheckPortInUse()) return;
  if (!CheckPort(false)) return;
  // A fault the printer told of comes after the road's own message, however the road ends.
  struct TellFaultAtTheEnd {
    ConfingDialog& dialog;
    ~TellFaultAtTheEnd() { dialog.TellPrinterFault(); }
  } tellFault{*this};
  if (!ExchangeControlData(true)) return;
  if (modelChoice == -1) {
    host_.ShowMessage(kNoModelMessage.For(uiLanguage), MessageKind::kWarning);
    return;
  }

  EnableInstallControls(false);
  if (LinkedIsUnreliable(osName)) link_.SetSkipLinkedCheck();

  // The port is copied here: the poll and the discovery messages keep running while message
  // boxes are open and may change the list and portText meanwhile.
  std::string portName;
  const EngineServices engineServices = EngineServicesOf(services_);
  // The port chosen in the list becomes portText; without one the placeholder is the message.
  const auto listedPort = [&](const char16_t* placeholder) {
    const WString selected = portCombo.SelectedText();
    if (portCombo.Selection() < 0 || selected == placeholder) {
      host_.ShowMessage(placeholder, MessageKind::kWarning);
      return false;
    }
    portText = selected;
    return true;
  };
  const auto serialPort = [&](const char16_t* placeholder) {
    if (!listedPort(placeholder)) return false;
    portText = SpoolerSerialPortName(portText);
    portName = services_.system.WideToAnsi(portText);
    WString baudText = u"9600";
    if (baudCombo.Selection() >= 0) baudText = baudCombo.SelectedText();
    // The road goes on whatever the set-up came to; the support log tells it.
    const PortSetUp setUp = ConfigureSerialPort(engineServices, portText, baudText);
    LogPortSetUp(portText + u" = " + SerialPortSettings(baudText), setUp);
    return true;
  };
  bool portReady = true;
  switch (portKindChoice) {
    case kUsbInterface:
      portReady = listedPort(kNoUsb);
      if (portReady) portName = services_.system.WideToAnsi(portText);
      // The spooler must reach the printer that the link opens unshared.
      link_.ClosePort(u"USB");
      break;
    case kComInterface:
      portReady = serialPort(kNoCom);
      break;
    case kLanInterface: {
      const WString address = ipAddressField.Text();
      LogPortSetUp(u"Standard TCP/IP port " + address, CreateTcpIpPort(engineServices, address));
      portName = services_.system.WideToAnsi(address);
      break;
    }
    case kBluetoothInterface:
      portReady = serialPort(kNoBle);
      break;
    default:
      break;
  }
  if (!portReady) {
    EnableInstallControls(true);
    return;
  }

  engine.portKind = archName == u"x86" ? -1 : portKindChoice;
  const WString spoolerPort = services_.system.AnsiToWide(portName);
  Log(FormatText(
      u"install: %s on %s, for %s, default printer %s, from %s",
      {engine.modelNames[static_cast<size_t>(modelChoice)], spoolerPort, OsChoiceName(osChoice),
       setDefaultPrinter ? u"yes" : u"no", WString(workingFolder)}));
  const bool installed = engine.InstallPrinter(osChoice, modelChoice, setDefaultPrinter, portName,
                                               uiLanguage, WString(workingFolder));
  LogRestart(engine.restart);
  if (!installed) {
    LogFailure(engine);
    host_.ShowMessage(kInstallFailedMessage.For(uiLanguage), MessageKind::kWarning);
    EnableInstallControls(true);
    return;
  }
  Log(FormatText(u"install: done: %s on %s", {engine.printerName, spoolerPort}));
  if (engine.defaultPrinter) LogDefaultPrinter(*engine.defaultPrinter, engine.printerName);
  const Answer answer =
      host_.ShowMessage(kTestPageQuestion.For(uiLanguage), MessageKind::kQuestion);
  EnableInstallControls(true);
  services_.clock.Sleep(kBeforeTestPageMs);
  if (answer == Answer::kYes) {
    engine.PrintTestPage(engine.printerName, testPageBitmap, messages.testPageText);
    Log(engine.testPageError == 0 ? u"test page: sent to " + engine.printerName
                                  : u"test page: failed: " + ErrorText(engine.testPageError));
  }
}

WString ConfingDialog::ErrorText(uint32_t error) {
  return WidenAscii("error " + std::to_string(error) + ": ") +
         WithoutTrailingSpace(services_.system.ErrorMessage(error));
}

void ConfingDialog::LogFailure(const InstallEngine& installation) {
  const InstallFailure failure =
      installation.lastFailure.value_or(InstallFailure{InstallStep::kPrinter, 0, WString()});
  const char16_t* step = failure.step == InstallStep::kDriverFiles ? u"driver files"
                         : failure.step == InstallStep::kDriver    ? u"driver"
                                                                   : u"printer";
  Log(FormatText(
      u"install: %s failed: %s%s",
      {step, failure.path.empty() ? WString() : failure.path + u": ", ErrorText(failure.error)}));
}

}  // namespace kestrava
