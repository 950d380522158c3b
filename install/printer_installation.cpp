// The installation of one printer: spooler restart, driver files, driver registration, the
// first free printer name, the printer on its port with its printer data, the default printer.
#include "install/install_engine.h"
#include "install/installation_messages.h"
#include "install/spooler_restart.h"
#include "platform/local_text.h"
#include "platform/system_errors.h"

namespace kestrava {

namespace {

// The spooler needs a moment after a driver or a printer is added before the next call sees it.
constexpr uint32_t kSpoolerPauseMs = 111;

}  // namespace

void InstallEngine::Trace(WStringView text) {
  services_->process.DebugOutput(system_.WideToAnsi(text));
}

bool InstallEngine::InstallPrinter(int32_t osIndex, int32_t modelPosition, bool setAsDefault,
                                   const std::string& portName, int32_t languageId,
                                   const WString& sourceFolder) {
  if (!services_) return false;
  printerName = At(modelNames, modelPosition);
  const char* release = nullptr;
  const char* architecture = nullptr;
  // Without a detected architecture the x64 platform is installed.
  const WString architectureName =
      DetectPlatform(release, architecture) ? system_.AnsiToWide(architecture) : WString();
  driverSourceFolder = sourceFolder;
  defaultPrinter.reset();
  restart.reset();
  if (restartSpooler) restart = RestartSpooler(services_->serviceManager, services_->clock);
  if (!AddDriverAndPrinter(osIndex, architectureName, modelPosition, portName, languageId)) {
    return false;
  }
  if (setAsDefault) {
    defaultPrinter =
        MakeDefaultPrinter(services_->spooler, services_->process, system_, printerName);
  }
  return true;
}

bool InstallEngine::AddDriverAndPrinter(int32_t osIndex, const WString& architectureName,
                                        int32_t modelPosition, const std::string& portName,
                                        int32_t languageId) {
  if (!services_) return false;
  lastFailure.reset();
  PrintSpooler& spooler = services_->spooler;
  DialogHost& dialog = services_->dialog;
  Clock& clock = services_->clock;

  const WString environment = SpoolerEnvironment(system_.WideToAnsi(architectureName));
  const WString driverDirectory = spooler.DriverDirectory(environment);
  // A spooler that names no driver directory would have the files copied to the root of the
  // current drive: that is a failed copy.
  bool copied = false;
  if (!driverDirectory.empty()) {
    const bool modelFiles = CopyModelFiles(driverDirectory, environment, modelPosition);
    const bool platformFiles = CopyPlatformFolder(
        driverDirectory, driverSourceFolder + u"\\" + environment, modelPosition);
    copied = modelFiles && platformFiles;
  } else {
    NoteCopyFailure(environment, kErrorPathNotFound);
  }
  if (!copied) {
    dialog.ShowMessage(CopyFailureMessage(osIndex, languageId), MessageKind::kWarning);
    return false;
  }

  DriverRecord driver;
  driver.version = 3;
  driver.name = At(modelNames, modelPosition);
  driver.environment = environment;
  driver.driverFile = WString(kDriverFile);
  driver.dataFile = At(gpdNames, modelPosition);
  driver.configFile = WString(kConfigFile);
  driver.helpFile = WString(kHelpFile);
  driver.dependentFiles = DependentFiles(modelPosition);
  driver.defaultDataType = WString(kDefaultDataType);
  uint32_t error = 0;
  const bool registered = spooler.AddDriver(driver, &error);
  clock.Sleep(kSpoolerPauseMs);
  if (!registered) {
    lastFailure = InstallFailure{InstallStep::kDriver, error, WString()};
    dialog.ShowMessage(system_.ErrorMessage(error), MessageKind::kWarning);
    Trace(u"添加打印机驱动失败");
    dialog.ShowMessage(DriverFailureMessage(languageId), MessageKind::kWarning);
    return false;
  }
  clock.Sleep(kSpoolerPauseMs);

  if (!reusedPrinter.empty()) return UpdatePrinter(modelPosition, portName, languageId);
  ChoosePrinterName(languageId);
  PrinterRecord record;
  record.printerName = printerName;
  record.portName = system_.AnsiToWide(portName);
  record.driverName = driver.name;
  record.printProcessor = u"WinPrint";
  record.dataType = WString(kDefaultDataType);
  record.attributes = kPrinterAttributeLocal;
  std::unique_ptr<SpoolerPrinter> printer = spooler.CreatePrinter(record, &error);
  clock.Sleep(kSpoolerPauseMs);
  if (!printer) {
    lastFailure = InstallFailure{InstallStep::kPrinter, error, WString()};
    // The spooler loads the driver's DLLs when the printer is added; one that needs the
    // compiler's runtime fails to load without it.
    if (error == kErrorModNotFound) {
      dialog.ShowMessage(MissingRuntimeMessage(languageId), MessageKind::kWarning);
      services_->shell.OpenAddress(RuntimeDownloadAddress(architectureName));
    }
    return false;
  }
  WritePrinterData(*printer, modelPosition, portName, record.portName, languageId);
  return true;  // the printer closes here
}

bool InstallEngine::UpdatePrinter(int32_t modelPosition, const std::string& portName,
                                  int32_t languageId) {
  uint32_t error = 0;
  std::unique_ptr<SpoolerPrinter> printer = services_->spooler.Open(reusedPrinter, &error);
  if (!printer) {
    lastFailure = InstallFailure{InstallStep::kPrinter, error, WString()};
    return false;
  }
  printerName = reusedPrinter;
  WritePrinterData(*printer, modelPosition, portName, system_.AnsiToWide(portName), languageId);
  return true;
}

void InstallEngine::ChoosePrinterName(int32_t languageId) {
  std::vector<InstalledPrinter> printers;
  if (!services_->spooler.EnumeratePrinters(printers)) return;
  const WStringView format = languageId == kChinese ? u"%s (副本 %d)" : u"%s (copy %d)";
  // The suffix is always built on the model's name, so the names run RT-80C, RT-80C (copy 1),
  // RT-80C (copy 2)...; after every match the scan starts again from the first printer.
  WString candidate = printerName;
  int copyNumber = 1;
  const int count = static_cast<int>(printers.size());
  for (int i = 0; i < count; ++i) {
    const WString& name = printers[static_cast<size_t>(i)].printerName;
    // The spooler refuses a name that differs from a printer's only in case.
    if (system_.SameName(name, candidate)) {
      candidate = FormatText(format, {printerName, copyNumber});
      ++copyNumber;
      i = -1;
    }
    Trace(FormatText(u"name=%s,i=%d,n=%d.temStr=%s,userLanguage=%d\r\n",
                     {name, i, copyNumber, candidate, languageId}));
  }
  printerName = candidate;
}

void InstallEngine::WritePrinterData(SpoolerPrinter& printer, int32_t modelPosition,
                                     const std::string& portName, const WString& port,
                                     int32_t languageId) {
  // The driver's plug-in reads these to talk to the printer; results are not looked at.
  printer.SetData(u"PrinterType", RegistryValue::Dword(1));
  printer.SetData(u"PortType", RegistryValue::Dword(static_cast<uint32_t>(portKind)));
  services_->process.DebugOutput(portName);
  Trace(FormatText(u"打印机端口类型：%d，端口信息 %s", {portKind, port}));
  printer.SetData(u"PortName", RegistryValue::String(port));
  printer.SetData(u"Language", RegistryValue::Dword(languageId == kChinese ? 0 : 2));
  printer.SetData(u"Beeper", RegistryValue::Dword(4));
  printer.SetData(u"Cutter", RegistryValue::Dword(Cutter(modelPosition)));
  if (const std::optional<WString> paper = PaperName(modelPosition)) {
    printer.SetData(u"PaperName", RegistryValue::String(*paper));
  }
}

}  // namespace kestrava
