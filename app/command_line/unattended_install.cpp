// The install command without the dialog: the install button's road, step by step, through the
// same engine, port set-up and port commands, each step told in a line and every refusal and
// failure ending in its own exit code.
#include <algorithm>
#include <atomic>

#include "app/command_line/exit_codes.h"
#include "app/command_line/unattended_run.h"
#include "app/command_line/unattended_texts.h"
#include "app/dialog/confing_dialog.h"
#include "app/dialog/dialog_template.h"
#include "app/dialog/message_table.h"
#include "comm/port_messages.h"
#include "install/driver_source.h"
#include "install/printer_ports.h"
#include "net/bluetooth_ports.h"
#include "payload/folder_tree.h"
#include "payload/payload_extraction.h"
#include "payload/working_folder.h"
#include "platform/ipv4_text.h"

namespace kestrava {

namespace {

// The dialog's release radio for a detected release; "Windows 10" for an unknown one.
int32_t DefaultOsChoice(const char* release) {
  const int32_t radio = OsChoiceForRelease(OsNamePosition(release));
  return radio >= 0 ? radio : 0;
}

int FaultExitCode(PrinterCondition condition) {
  switch (condition) {
    case PrinterCondition::kPaperEnd:
      return kExitPaperEnd;
    case PrinterCondition::kCoverOpen:
      return kExitCoverOpen;
    case PrinterCondition::kCutterError:
      return kExitCutterError;
    case PrinterCondition::kUnrecoverableError:
      return kExitUnrecoverableError;
    default:
      return kExitPrinterOffline;
  }
}

}  // namespace

int UnattendedRun::Install() {
  // The driver files, as the dialog's payload worker unpacks them at every start.
  WString sourceFolder = WorkingFolder(services_.system, services_.shell);
  PayloadExtraction extraction(services_.files, services_.system, services_.process,
                               services_.security, sourceFolder);
  std::atomic<bool> extracted{false};
  PayloadWorker(extraction, extracted);
  if (extracted) {
    Say(cli::kPayloadUnpacked, {sourceFolder});
  } else {
    // The program's folder is the user's own (Downloads, the desktop): from here on the support
    // log names it by what it is, the console and the run's log by its path.
    sourceFolder = FolderOf(services_.process.ProgramFilePath());
    privateFolder_ = sourceFolder;
    // The spooler loads what is copied as SYSTEM: the program's own folder must be one that
    // no one else can have changed.
    WString untrusted;
    if (!IsTrustedDriverSource(services_.files, services_.security, sourceFolder, &untrusted)) {
      Say(cli::kPayloadUntrusted, {sourceFolder, untrusted});
      return Fail(kExitDriverFilesNotCopied);
    }
    Say(cli::kPayloadNotUnpacked, {sourceFolder});
  }
  if (Interrupted()) return Cancel();

  const EngineServices engineServices = EngineServicesOf(services_);
  InstallEngine engine(engineServices);
  const WString osName = services_.system.AnsiToWide(release_);
  const WString archName = services_.system.AnsiToWide(architecture_);
  const int32_t osChoice = line_.osChoice.value_or(DefaultOsChoice(release_));
  Say(cli::kSystem, {osName, archName, OsChoiceName(osChoice)});

  // The port, as the dialog's list would offer it.
  PortLink link(CommServicesFrom(services_));
  const int32_t kind = line_.interfaceKind;
  const bool serial = kind == kComInterface || kind == kBluetoothInterface;
  WString port = line_.port;
  std::vector<WString> ports;
  if (kind == kUsbInterface) {
    // As the dialog's port poll lists them.
    link.SetSkipLinkedCheck();
    link.usb().ListUsbPrinterPorts(ports);
    if (ports.empty()) {
      Say(cli::kNoUsbPrinter);
      return Fail(kExitNoSuchPort);
    }
    if (port.empty()) port = ports.front();
  } else if (kind == kComInterface) {
    if (!ListSerialPorts(services_.registry, ports)) {
      Say(cli::kSerialPortsNotListed);
      return Fail(kExitPortsNotListed);
    }
  } else if (kind == kBluetoothInterface) {
    std::vector<WString> labels;
    FindBluetoothPorts(services_.registry, ports, labels);
  } else {
    port = WidenAscii(DottedAddress(*line_.address));
  }
  SystemInfo& system = services_.system;
  if (kind != kLanInterface && std::none_of(ports.begin(), ports.end(), [&](const WString& listed) {
        return system.SameName(listed, port);
      })) {
    Say(cli::kNoSuchPort, {port, Joined(ports, cli::kNoPorts.For(language_))});
    return Fail(kExitNoSuchPort);
  }
  Say(cli::kPort, {port});
  // The port as the spooler knows it: COM3:, USB001, the address.
  const WString spoolerPort = serial ? SpoolerSerialPortName(port) : port;

  // A printer of this computer already on the port: reused with --replace when it is of the
  // model and on that port alone; otherwise a serial port is refused, as the dialog refuses it,
  // also when it is one of a printer's pool of ports. Names compare as the spooler compares
  // them. A connection's port is a port of its server, and its queue no one's here to reuse.
  const WString model = engine.modelNames[static_cast<size_t>(line_.model)];
  std::vector<InstalledPrinter> installed;
  services_.spooler.EnumeratePrinters(installed);
  installed.erase(
      std::remove_if(installed.begin(), installed.end(),
                     [](const InstalledPrinter& printer) { return printer.IsConnection(); }),
      installed.end());
  for (const InstalledPrinter& printer : installed) {
    if (line_.replace && system.SameName(printer.portName, spoolerPort) &&
        system.SameName(printer.driverName, model)) {
      engine.reusedPrinter = printer.printerName;
      break;
    }
  }
  if (engine.reusedPrinter.empty() && serial) {
    for (const InstalledPrinter& printer : installed) {
      if (!PortListHolds(system, printer.portName, spoolerPort)) continue;
      Say(cli::kPortInUse, {spoolerPort, printer.printerName});
      return Fail(kExitPortInUse);
    }
  }
  if (!engine.reusedPrinter.empty()) Say(cli::kReusing, {engine.reusedPrinter, spoolerPort});

  // The port check: the port-information page, which proves that the port reaches a printer,
  // and the printer's own status after it.
  PrinterStatusReport status;
  if (line_.portCheck) {
    PortCommandInput input;
    input.portKind = kind;
    input.portText = port;
    input.baudText = line_.baud;
    input.ipAddressText = port;
    input.uiLanguage = language_;
    input.osName = osName;
    if (!PortInformationPage(input, link, CommServicesFrom(services_), nullptr, &status)) {
      Say(cli::kPortCheckFailed);
      return Fail(kExitPortCheckFailed);
    }
    Say(cli::kPortCheckPassed);
    if (status.asked) {
      const std::optional<PrinterCondition> condition = status.Condition();
      const WString exchange = WidenAscii(status.exchange);
      if (condition) {
        Say(cli::kPrinterStatus, {ConditionName(*condition, language_), exchange});
      } else {
        Say(cli::kPrinterNoAnswer, {exchange});
      }
    }
  } else {
    Say(cli::kPortCheckSkipped);
  }
  if (Interrupted()) return Cancel();
  if (LinkedIsUnreliable(osName)) link.SetSkipLinkedCheck();

  // The port's own set-up. What it writes into the registry is read at the one restart of the
  // run, the installation's own before it copies the driver's files: the spooler must know the
  // port before the printer is added on it. A port the TCP/IP monitor took needs none.
  bool restartNeeded = true;
  if (serial) {
    const PortSetUp setUp =
        ConfigureSerialPort(engineServices, spoolerPort, line_.baud, SpoolerRestartWhen::kByCaller);
    if (setUp.Written()) {
      Say(cli::kSerialSetUp, {spoolerPort, SerialPortSettings(line_.baud)});
    } else {
      Say(cli::kSerialNotSetUp, {spoolerPort, PortSetUpFaultText(setUp)});
      FellShort(kExitPortNotSetUp);
    }
  } else if (kind == kLanInterface) {
    const PortSetUp setUp = CreateTcpIpPort(engineServices, port, SpoolerRestartWhen::kByCaller);
    if (setUp.Written()) {
      Say(setUp.existing ? cli::kTcpIpExisting : cli::kTcpIpSetUp, {port});
    } else {
      Say(cli::kTcpIpNotSetUp, {port, PortSetUpFaultText(setUp)});
      FellShort(kExitPortNotSetUp);
    }
    restartNeeded = !setUp.throughMonitor;
  } else {
    // The spooler must reach the printer that the link opens unshared.
    link.ClosePort(u"USB");
  }
  if (Interrupted()) return Cancel();

  engine.portKind = archName == u"x86" ? -1 : kind;
  engine.restartSpooler = restartNeeded;
  const bool setDefault = line_.setDefault;
  const bool installedPrinter =
      engine.InstallPrinter(osChoice, line_.model, setDefault,
                            services_.system.WideToAnsi(spoolerPort), language_, sourceFolder);
  TellRestart(engine.restart);
  if (!installedPrinter) {
    const InstallFailure failure =
        engine.lastFailure.value_or(InstallFailure{InstallStep::kPrinter, 0, WString()});
    switch (failure.step) {
      case InstallStep::kDriverFiles:
        Say(cli::kDriverFilesFailed,
            {failure.path, Code(failure.error), SystemText(failure.error)});
        return Fail(kExitDriverFilesNotCopied);
      case InstallStep::kDriver:
        Say(cli::kDriverFilesCopied);
        Say(cli::kDriverFailed, {Code(failure.error), SystemText(failure.error)});
        return Fail(kExitDriverNotRegistered);
      case InstallStep::kPrinter:
        Say(cli::kDriverFilesCopied);
        Say(cli::kDriverRegistered, {model});
        Say(cli::kPrinterFailed, {Code(failure.error), SystemText(failure.error)});
        return Fail(kExitPrinterNotAdded);
    }
  }
  Say(cli::kDriverFilesCopied);
  Say(cli::kDriverRegistered, {model});
  Say(engine.reusedPrinter.empty() ? cli::kPrinterAdded : cli::kPrinterUpdated,
      {engine.printerName, spoolerPort});
  if (engine.defaultPrinter) TellDefaultPrinter(*engine.defaultPrinter, engine.printerName);

  if (line_.testPage) {
    if (Interrupted()) return Cancel();
    services_.clock.Sleep(kBeforeTestPageMs);
    MessageTable messages;
    messages.Fill(language_);
    engine.PrintTestPage(engine.printerName, services_.dialog.LoadPicture(kTestPageBitmapResource),
                         messages.testPageText);
    if (engine.testPageError != 0) {
      Say(cli::kTestPageFailed, {Code(engine.testPageError), SystemText(engine.testPageError)});
      return Fail(kExitTestPageFailed);
    }
    Say(cli::kTestPagePrinted, {engine.printerName});
  }
  Say(cli::kDone, {engine.printerName, spoolerPort});
  // A step of the installation's own that fell short comes before what the printer told.
  if (shortfall_ != 0) {
    Say(cli::kInstalledBut, {Code(static_cast<uint32_t>(shortfall_))});
    return shortfall_;
  }
  const std::optional<PrinterCondition> condition = status.Condition();
  if (condition && IsFault(*condition)) {
    const int code = FaultExitCode(*condition);
    Say(cli::kPrinterFault, {Code(static_cast<uint32_t>(code))});
    return code;
  }
  return kExitDone;
}

}  // namespace kestrava
