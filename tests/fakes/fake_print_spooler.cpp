#include "tests/fakes/fake_print_spooler.h"

#include <algorithm>

#include "install/printer_ports.h"
#include "install/tcp_port_data.h"
#include "tests/fakes/fake_files.h"

namespace kestrava {

namespace {

bool SameName(WStringView a, WStringView b) {
  return SameNameIgnoringCase(a, b);
}

std::string Utf8(WStringView text) {
  return Utf16ToUtf8(text);
}

void Report(uint32_t* error, uint32_t code) {
  if (error) *error = code;
}

class FakeSpoolerPrinter final : public SpoolerPrinter {
 public:
  FakeSpoolerPrinter(FakePrintSpooler& spooler, WString name, std::shared_ptr<int> open)
      : spooler_(spooler), name_(std::move(name)), open_(std::move(open)) {
    ++*open_;
  }
  ~FakeSpoolerPrinter() override {
    --*open_;
    spooler_.Record("ClosePrinter " + Utf8(name_));
    spooler_.Closed(name_);
  }

  bool SetData(const WString& name, uint32_t type, const void* data, uint32_t size,
               uint32_t* error) override {
    spooler_.Record("SetPrinterData " + Utf8(name_) + " " + Utf8(name));
    if (spooler_.Failing(FakePrintSpooler::Op::kSetData, error)) return false;
    FakePrintSpooler::Printer* printer = spooler_.Find(name_);
    if (!printer) {
      Report(error, kErrorInvalidPrinterName);
      return false;
    }
    RegistryValue value;
    value.type = type;
    value.data.assign(static_cast<const char*>(data), size);
    Report(error, 0);
    for (auto& [existing, stored] : printer->data) {
      if (SameName(existing, name)) {
        stored = value;
        return true;
      }
    }
    printer->data.emplace_back(name, value);
    return true;
  }

  bool GetData(const WString& name, RegistryValue& out, uint32_t* error) override {
    const FakePrintSpooler::Printer* printer = spooler_.Find(name_);
    if (!printer) {
      Report(error, kErrorInvalidPrinterName);
      return false;
    }
    for (const auto& [existing, stored] : printer->data) {
      if (SameName(existing, name)) {
        out = stored;
        Report(error, 0);
        return true;
      }
    }
    Report(error, kErrorFileNotFound);
    return false;
  }

  std::optional<DeviceMode> CurrentDeviceMode(uint32_t* error) override {
    spooler_.Record("DocumentProperties " + Utf8(name_));
    if (spooler_.Failing(FakePrintSpooler::Op::kDeviceMode, error)) return std::nullopt;
    const FakePrintSpooler::Printer* printer = spooler_.Find(name_);
    if (!printer || !printer->deviceMode) {
      Report(error, kErrorInvalidPrinterName);
      return std::nullopt;
    }
    Report(error, 0);
    return printer->deviceMode;
  }

 private:
  FakePrintSpooler& spooler_;
  WString name_;
  std::shared_ptr<int> open_;
};

}  // namespace

FakePrintSpooler::FakePrintSpooler()
    : driverDirectories{
          {u"Windows x64", u"C:\\WINDOWS\\system32\\spool\\DRIVERS\\x64"},
          {u"Windows NT x86", u"C:\\WINDOWS\\system32\\spool\\DRIVERS\\W32X86"},
          {u"Windows ARM64", u"C:\\WINDOWS\\system32\\spool\\DRIVERS\\ARM64"},
      } {}

void FakePrintSpooler::Fail(Op op, uint32_t error, int times) {
  failing_[op] = {error, times};
}

void FakePrintSpooler::AddInstalledPrinter(const WString& name, const WString& port,
                                           const WString& driver) {
  Printer printer;
  printer.record.printerName = name;
  printer.record.portName = port;
  printer.record.driverName = driver;
  printers.push_back(printer);
}

void FakePrintSpooler::AddConnection(const WString& server, const WString& queue,
                                     const WString& port, const WString& driver) {
  AddInstalledPrinter(u"\\\\" + server + u"\\" + queue, port, driver);
  printers.back().connection = true;
}

void FakePrintSpooler::EndJobsAndHandles(const WString& name) {
  if (Printer* printer = Find(name)) {
    printer->jobs = 0;
    printer->otherHandles = 0;
  }
  Settle(name);
}

void FakePrintSpooler::Closed(const WString& name) {
  if (Printer* printer = Find(name)) {
    if (printer->handles > 0) --printer->handles;
  }
  Settle(name);
}

void FakePrintSpooler::Settle(const WString& name) {
  auto it = std::find_if(printers.begin(), printers.end(), [&](const Printer& printer) {
    return SameName(printer.record.printerName, name);
  });
  if (it == printers.end() || !it->pendingDeletion) return;
  if (it->jobs > 0 || it->otherHandles > 0 || it->handles > 0) return;
  if (SameName(defaultPrinter, name)) defaultPrinter.clear();
  printers.erase(it);
}

void FakePrintSpooler::Record(const std::string& call) {
  calls.push_back(call);
  if (onCall) onCall(call);
}

bool FakePrintSpooler::Failing(Op op, uint32_t* error) {
  auto it = failing_.find(op);
  if (it == failing_.end() || it->second.second == 0) return false;
  if (it->second.second > 0) --it->second.second;
  Report(error, it->second.first);
  return true;
}

FakePrintSpooler::Printer* FakePrintSpooler::Find(const WString& name) {
  for (Printer& printer : printers) {
    if (SameName(printer.record.printerName, name)) return &printer;
  }
  return nullptr;
}

const FakePrintSpooler::Printer* FakePrintSpooler::FindPrinter(const WString& name) const {
  return const_cast<FakePrintSpooler*>(this)->Find(name);
}

std::vector<WString> FakePrintSpooler::PrinterNames() const {
  std::vector<WString> names;
  for (const Printer& printer : printers) names.push_back(printer.record.printerName);
  return names;
}

std::unique_ptr<SpoolerPrinter> FakePrintSpooler::Handle(const WString& name) {
  if (Printer* printer = Find(name)) ++printer->handles;
  return std::make_unique<FakeSpoolerPrinter>(*this, name, openPrinters_);
}

WString FakePrintSpooler::DriverDirectory(const WString& environment, uint32_t* error) {
  Record("GetPrinterDriverDirectory " + Utf8(environment));
  if (Failing(Op::kDriverDirectory, error)) return WString();
  auto it = driverDirectories.find(environment);
  if (it == driverDirectories.end() || it->second.empty()) {
    Report(error, kErrorInvalidEnvironment);
    return WString();
  }
  Report(error, 0);
  return it->second;
}

bool FakePrintSpooler::AddDriver(const DriverRecord& driver, uint32_t* error) {
  Record("AddPrinterDriver " + Utf8(driver.name) + " " + Utf8(driver.environment));
  if (Failing(Op::kAddDriver, error)) return false;
  auto directory = driverDirectories.find(driver.environment);
  if (directory == driverDirectories.end()) {
    Report(error, kErrorInvalidEnvironment);
    return false;
  }
  if (files) {
    std::vector<WString> needed = {driver.driverFile, driver.dataFile, driver.configFile,
                                   driver.helpFile};
    needed.insert(needed.end(), driver.dependentFiles.begin(), driver.dependentFiles.end());
    for (const WString& file : needed) {
      if (!file.empty() && !files->Exists(directory->second + u"\\" + file)) {
        Report(error, kErrorFileNotFound);
        return false;
      }
    }
    // Like the spooler, keep a copy in the folder of the driver version.
    const WString versionFolder = directory->second + u"\\3";
    if (!files->Exists(versionFolder)) files->CreateFolder(versionFolder);
    for (const WString& file : needed) {
      if (!file.empty()) {
        files->Copy(directory->second + u"\\" + file, versionFolder + u"\\" + file, true);
      }
    }
  }
  Report(error, 0);
  for (DriverRecord& existing : drivers) {
    if (SameName(existing.name, driver.name) && existing.environment == driver.environment) {
      existing = driver;  // an existing driver is updated
      return true;
    }
  }
  drivers.push_back(driver);
  return true;
}

bool FakePrintSpooler::ListPrinters(PrinterListing listing, std::vector<InstalledPrinter>& out,
                                    uint32_t* error) {
  Record(listing == PrinterListing::kLocal         ? "EnumPrinters local"
         : listing == PrinterListing::kConnections ? "EnumPrinters connections"
                                                   : "EnumPrinters");
  if (Failing(Op::kEnumerate, error)) return false;
  Report(error, 0);
  for (const Printer& printer : printers) {
    if (listing == PrinterListing::kLocal && printer.connection) continue;
    if (listing == PrinterListing::kConnections && !printer.connection) continue;
    InstalledPrinter listed;
    listed.printerName = printer.record.printerName;
    listed.portName = printer.record.portName;
    listed.driverName = printer.record.driverName;
    listed.jobs = printer.jobs;
    listed.attributes = printer.connection ? kPrinterAttributeNetwork
                                           : printer.record.attributes | kPrinterAttributeLocal;
    listed.status = printer.pendingDeletion ? kPrinterStatusPendingDeletion : 0;
    out.push_back(listed);
  }
  return true;
}

std::unique_ptr<SpoolerPrinter> FakePrintSpooler::CreatePrinter(const PrinterRecord& printer,
                                                                uint32_t* error) {
  Record("AddPrinter " + Utf8(printer.printerName) + " on " + Utf8(printer.portName));
  if (Failing(Op::kAddPrinter, error)) return nullptr;
  const bool driverKnown = std::any_of(drivers.begin(), drivers.end(), [&](const auto& driver) {
    return SameName(driver.name, printer.driverName) && driver.environment == nativeEnvironment;
  });
  if (!driverKnown) {
    Report(error, kErrorUnknownPrinterDriver);
    return nullptr;
  }
  if (printer.printerName.empty()) {
    Report(error, kErrorInvalidPrinterName);
    return nullptr;
  }
  if (Find(printer.printerName)) {
    Report(error, kErrorPrinterAlreadyExists);
    return nullptr;
  }
  Report(error, 0);
  printers.push_back({printer, {}, driverDeviceMode});
  return Handle(printer.printerName);
}

std::unique_ptr<SpoolerPrinter> FakePrintSpooler::Open(const WString& name, uint32_t* error) {
  Record("OpenPrinter " + Utf8(name));
  if (Failing(Op::kOpenPrinter, error)) return nullptr;
  if (!Find(name)) {
    Report(error, kErrorInvalidPrinterName);
    return nullptr;
  }
  Report(error, 0);
  return Handle(name);
}

bool FakePrintSpooler::MakeDefault(const WString& name, uint32_t* error) {
  Record("SetDefaultPrinter " + Utf8(name));
  if (Failing(Op::kSetDefault, error)) return false;
  const Printer* printer = Find(name);
  if (!printer) {
    Report(error, kErrorInvalidPrinterName);
    return false;
  }
  Report(error, 0);
  defaultPrinter = printer->record.printerName;
  return true;
}

bool FakePrintSpooler::DeletePrinter(const WString& name, uint32_t* error) {
  Record("DeletePrinter " + Utf8(name));
  if (Failing(Op::kDeletePrinter, error)) return false;
  auto it = std::find_if(printers.begin(), printers.end(), [&](const Printer& printer) {
    return SameName(printer.record.printerName, name);
  });
  if (it == printers.end()) {
    Report(error, kErrorInvalidPrinterName);
    return false;
  }
  Report(error, 0);
  // The printer goes once nothing holds it: at once when nothing does.
  it->pendingDeletion = true;
  Settle(name);
  return true;
}

bool FakePrintSpooler::EnumerateDrivers(const WString& environment, std::vector<WString>& out,
                                        uint32_t* error) {
  Record("EnumPrinterDrivers " + Utf8(environment));
  if (Failing(Op::kEnumerateDrivers, error)) return false;
  Report(error, 0);
  for (const DriverRecord& driver : drivers) {
    if (driver.environment == environment) out.push_back(driver.name);
  }
  return true;
}

bool FakePrintSpooler::DeleteDriver(const WString& environment, const WString& name,
                                    uint32_t* error) {
  Record("DeletePrinterDriver " + Utf8(name) + " " + Utf8(environment));
  if (Failing(Op::kDeleteDriver, error)) return false;
  auto it = std::find_if(drivers.begin(), drivers.end(), [&](const DriverRecord& driver) {
    return SameName(driver.name, name) && driver.environment == environment;
  });
  if (it == drivers.end()) {
    Report(error, kErrorUnknownPrinterDriver);
    return false;
  }
  const bool used = std::any_of(printers.begin(), printers.end(), [&](const Printer& printer) {
    return SameName(printer.record.driverName, name) && environment == nativeEnvironment;
  });
  if (used) {
    Report(error, kErrorPrinterDriverInUse);
    return false;
  }
  drivers.erase(it);
  Report(error, 0);
  return true;
}

std::unique_ptr<PortMonitorSession> FakePrintSpooler::OpenPortMonitor(const WString& monitor,
                                                                      uint32_t* error) {
  Record("OpenPrinter ,XcvMonitor " + Utf8(monitor));
  if (!tcpIpMonitor || !SameName(monitor, kTcpIpMonitor)) {
    Report(error, kErrorInvalidPrinterName);
    return nullptr;
  }
  if (tcpIpMonitor->openDenied) {
    Report(error, kErrorAccessDenied);
    return nullptr;
  }
  Report(error, 0);
  return std::make_unique<FakeTcpIpMonitorSession>(*tcpIpMonitor);
}

FakeTcpIpMonitor& FakePrintSpooler::AddTcpIpMonitor() {
  tcpIpMonitor.emplace();
  tcpIpMonitor->portInUse = [this](const WString& port) {
    // A printer's port list may hold a pool of ports ("10.0.0.9,COM3:").
    return std::any_of(printers.begin(), printers.end(), [&](const Printer& printer) {
      const std::vector<WString> pool = PortsOfList(printer.record.portName);
      return std::any_of(pool.begin(), pool.end(),
                         [&](const WString& listed) { return SameName(listed, port); });
    });
  };
  return *tcpIpMonitor;
}

}  // namespace kestrava
