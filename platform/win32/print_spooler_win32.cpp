#include "platform/win32/print_spooler_win32.h"

#include <cstring>

#include "platform/win32/device_mode_win32.h"
#include "platform/win32/scoped.h"
#include "platform/win32/spooler_library.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

using win32::Wide;

// Printers opened or added through the spooler.
struct PrinterTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { win32::spool::ClosePrinter(h); }
};
using ScopedPrinter = win32::Scoped<PrinterTraits>;

constexpr DWORD kDriverDirectoryBytes = 256;
static_assert((PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS) == 6,
              "local printers and connections");
static_assert(PRINTER_ATTRIBUTE_LOCAL == kPrinterAttributeLocal, "printer attributes");
static_assert(PRINTER_ATTRIBUTE_NETWORK == kPrinterAttributeNetwork, "printer attributes");
static_assert(PRINTER_STATUS_PENDING_DELETION == kPrinterStatusPendingDeletion, "printer status");

DWORD ListingFlags(PrinterListing listing) {
  switch (listing) {
    case PrinterListing::kLocal:
      return PRINTER_ENUM_LOCAL;
    case PrinterListing::kConnections:
      return PRINTER_ENUM_CONNECTIONS;
    case PrinterListing::kLocalAndConnections:
      break;
  }
  return PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
}

// The spooler's records take non-constant text; each gets a copy of its own, kept alive for
// the call. Empty text is passed as absent.
class CallText {
 public:
  explicit CallText(WString text) : text_(std::move(text)) {}
  wchar_t* Get() { return text_.empty() ? nullptr : reinterpret_cast<wchar_t*>(text_.data()); }

 private:
  WString text_;
};

void Report(uint32_t* error, DWORD code) {
  if (error) *error = code;
}

class Win32SpoolerPrinter final : public SpoolerPrinter {
 public:
  Win32SpoolerPrinter(ScopedPrinter printer, WString name)
      : printer_(std::move(printer)), name_(std::move(name)) {}

  bool SetData(const WString& name, uint32_t type, const void* data, uint32_t size,
               uint32_t* error) override {
    std::vector<BYTE> copy(size);
    if (size) std::memcpy(copy.data(), data, size);
    CallText valueName(name);
    // SetPrinterData answers with the error code itself instead of setting the last error.
    const DWORD result =
        win32::spool::SetPrinterDataW(printer_.Get(), valueName.Get(), type, copy.data(), size);
    Report(error, result);
    return result == ERROR_SUCCESS;
  }

  bool GetData(const WString& name, RegistryValue& out, uint32_t* error) override {
    CallText valueName(name);
    DWORD type = 0;
    DWORD needed = 0;
    DWORD result =
        win32::spool::GetPrinterDataW(printer_.Get(), valueName.Get(), &type, nullptr, 0, &needed);
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) {
      Report(error, result);
      return false;
    }
    std::vector<BYTE> data(needed ? needed : 1);
    result = win32::spool::GetPrinterDataW(printer_.Get(), valueName.Get(), &type, data.data(),
                                           needed, &needed);
    Report(error, result);
    if (result != ERROR_SUCCESS) return false;
    out.type = type;
    out.data.assign(reinterpret_cast<const char*>(data.data()), needed);
    return true;
  }

  std::optional<DeviceMode> CurrentDeviceMode(uint32_t* error) override {
    CallText deviceName(name_);
    const LONG size = win32::spool::DocumentPropertiesW(nullptr, printer_.Get(), deviceName.Get(),
                                                        nullptr, nullptr, 0);
    if (size <= 0) {
      Report(error, GetLastError());
      return std::nullopt;
    }
    std::vector<uint64_t> buffer((static_cast<size_t>(size) + 7) / 8, 0);
    auto* record = reinterpret_cast<DEVMODEW*>(buffer.data());
    if (win32::spool::DocumentPropertiesW(nullptr, printer_.Get(), deviceName.Get(), record,
                                          nullptr, DM_OUT_BUFFER) != IDOK) {
      Report(error, GetLastError());
      return std::nullopt;
    }
    Report(error, ERROR_SUCCESS);
    DeviceMode mode;
    mode.bytes.assign(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(size));
    return mode;
  }

 private:
  ScopedPrinter printer_;
  WString name_;
};

class Win32PortMonitorSession final : public PortMonitorSession {
 public:
  explicit Win32PortMonitorSession(HANDLE xcv) : xcv_(xcv) {}

  bool Data(const WString& command, const std::vector<uint8_t>& input, uint32_t& status,
            uint32_t* error) override {
    std::vector<uint8_t> data = input;  // the call takes it as writable
    DWORD needed = 0;
    DWORD answer = 0;
    // The commands asked here answer nothing: a buffer of no size, at a valid address.
    BYTE output = 0;
    if (!win32::spool::XcvDataW(xcv_.Get(), Wide(command), data.empty() ? nullptr : data.data(),
                                static_cast<DWORD>(data.size()), &output, 0, &needed, &answer)) {
      Report(error, GetLastError());
      return false;
    }
    Report(error, ERROR_SUCCESS);
    status = answer;
    return true;
  }

 private:
  ScopedPrinter xcv_;
};

}  // namespace

WString Win32PrintSpooler::DriverDirectory(const WString& environment, uint32_t* error) {
  // 256 bytes as the program has always asked; zeroed so that a refusal leaves no text.
  wchar_t buffer[kDriverDirectoryBytes / sizeof(wchar_t)] = {};
  DWORD needed = 0;
  CallText name(environment);
  if (!win32::spool::GetPrinterDriverDirectoryW(nullptr, name.Get(), 1,
                                                reinterpret_cast<BYTE*>(buffer),
                                                kDriverDirectoryBytes, &needed)) {
    Report(error, GetLastError());
    return WString();
  }
  Report(error, ERROR_SUCCESS);
  buffer[sizeof buffer / sizeof buffer[0] - 1] = L'\0';
  return win32::FromWide(buffer);
}

bool Win32PrintSpooler::AddDriver(const DriverRecord& driver, uint32_t* error) {
  CallText name(driver.name), environment(driver.environment), driverFile(driver.driverFile),
      dataFile(driver.dataFile), configFile(driver.configFile), helpFile(driver.helpFile),
      monitor(driver.monitorName), dataType(driver.defaultDataType);
  // The dependent files: zero-terminated names closed by an empty one.
  WString list;
  for (const WString& file : driver.dependentFiles) list += file + WChar(0);
  list += WChar(0);

  DRIVER_INFO_3W info{};
  info.cVersion = driver.version;
  info.pName = name.Get();
  info.pEnvironment = environment.Get();
  info.pDriverPath = driverFile.Get();
  info.pDataFile = dataFile.Get();
  info.pConfigFile = configFile.Get();
  info.pHelpFile = helpFile.Get();
  info.pDependentFiles = reinterpret_cast<wchar_t*>(list.data());
  info.pMonitorName = monitor.Get();
  info.pDefaultDataType = dataType.Get();
  const BOOL added = win32::spool::AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&info));
  Report(error, added ? ERROR_SUCCESS : GetLastError());
  return added != FALSE;
}

bool Win32PrintSpooler::ListPrinters(PrinterListing listing, std::vector<InstalledPrinter>& out,
                                     uint32_t* error) {
  const DWORD flags = ListingFlags(listing);
  wchar_t emptyServer[1] = {L'\0'};
  DWORD needed = 0;
  DWORD returned = 0;
  // The size query fails with ERROR_INSUFFICIENT_BUFFER by design; only its size counts.
  win32::spool::EnumPrintersW(flags, emptyServer, 2, nullptr, 0, &needed, &returned);
  // Four bytes more than asked, as the program has always allocated; a buffer from operator
  // new is aligned for the records' pointers.
  std::vector<BYTE> buffer(static_cast<size_t>(needed) + 4);
  if (!win32::spool::EnumPrintersW(flags, emptyServer, 2, buffer.data(),
                                   static_cast<DWORD>(buffer.size()), &needed, &returned)) {
    Report(error, GetLastError());
    return false;
  }
  Report(error, ERROR_SUCCESS);
  const auto* records = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) {
    InstalledPrinter printer;
    printer.printerName = win32::FromWide(records[i].pPrinterName);
    printer.portName = win32::FromWide(records[i].pPortName);
    printer.driverName = win32::FromWide(records[i].pDriverName);
    printer.jobs = records[i].cJobs;
    printer.attributes = records[i].Attributes;
    printer.status = records[i].Status;
    out.push_back(printer);
  }
  return true;
}

std::unique_ptr<SpoolerPrinter> Win32PrintSpooler::CreatePrinter(const PrinterRecord& printer,
                                                                 uint32_t* error) {
  CallText name(printer.printerName), port(printer.portName), driver(printer.driverName),
      processor(printer.printProcessor), dataType(printer.dataType);
  PRINTER_INFO_2W info{};
  info.pPrinterName = name.Get();
  info.pPortName = port.Get();
  info.pDriverName = driver.Get();
  info.pPrintProcessor = processor.Get();
  info.pDatatype = dataType.Get();
  info.Attributes = printer.attributes;
  ScopedPrinter added(win32::spool::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info)));
  if (!added) {
    Report(error, GetLastError());
    return nullptr;
  }
  Report(error, ERROR_SUCCESS);
  return std::make_unique<Win32SpoolerPrinter>(std::move(added), printer.printerName);
}

std::unique_ptr<SpoolerPrinter> Win32PrintSpooler::Open(const WString& name, uint32_t* error) {
  CallText printerName(name);
  HANDLE opened = nullptr;
  if (!win32::spool::OpenPrinterW(printerName.Get(), &opened, nullptr)) {
    Report(error, GetLastError());
    return nullptr;
  }
  Report(error, ERROR_SUCCESS);
  return std::make_unique<Win32SpoolerPrinter>(ScopedPrinter(opened), name);
}

bool Win32PrintSpooler::MakeDefault(const WString& name, uint32_t* error) {
  // winspool.drv's SetDefaultPrinterW, the export with ordinal 204, looked up by name.
  const BOOL set = win32::spool::SetDefaultPrinterW(Wide(name));
  Report(error, set ? ERROR_SUCCESS : GetLastError());
  return set != FALSE;
}

WString Win32PrintSpooler::DefaultPrinter() {
  DWORD size = 0;
  win32::spool::GetDefaultPrinterW(nullptr, &size);
  if (size == 0) return WString();
  std::vector<wchar_t> buffer(size, L'\0');
  if (!win32::spool::GetDefaultPrinterW(buffer.data(), &size)) return WString();
  return win32::FromWide(buffer.data());
}

bool Win32PrintSpooler::DeletePrinter(const WString& name, uint32_t* error) {
  CallText printerName(name);
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE opened = nullptr;
  if (!win32::spool::OpenPrinterW(printerName.Get(), &opened, &defaults)) {
    Report(error, GetLastError());
    return false;
  }
  ScopedPrinter printer(opened);
  const BOOL deleted = win32::spool::DeletePrinter(printer.Get());
  Report(error, deleted ? ERROR_SUCCESS : GetLastError());  // before the handle closes
  return deleted != FALSE;
}

bool Win32PrintSpooler::EnumerateDrivers(const WString& environment, std::vector<WString>& out,
                                         uint32_t* error) {
  CallText environmentName(environment);
  DWORD needed = 0;
  DWORD returned = 0;
  // The size query fails with ERROR_INSUFFICIENT_BUFFER by design; only its size counts.
  win32::spool::EnumPrinterDriversW(nullptr, environmentName.Get(), 1, nullptr, 0, &needed,
                                    &returned);
  std::vector<uint64_t> buffer(needed / sizeof(uint64_t) + 1);  // aligned for the pointers
  if (!win32::spool::EnumPrinterDriversW(
          nullptr, environmentName.Get(), 1, reinterpret_cast<BYTE*>(buffer.data()),
          static_cast<DWORD>(buffer.size() * sizeof(uint64_t)), &needed, &returned)) {
    Report(error, GetLastError());
    return false;
  }
  Report(error, ERROR_SUCCESS);
  const auto* records = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) out.push_back(win32::FromWide(records[i].pName));
  return true;
}

bool Win32PrintSpooler::DeleteDriver(const WString& environment, const WString& name,
                                     uint32_t* error) {
  CallText environmentName(environment), driverName(name);
  BOOL deleted = win32::spool::DeletePrinterDriverExW(nullptr, environmentName.Get(),
                                                      driverName.Get(), DPD_DELETE_UNUSED_FILES, 0);
  // A spooler that does not take the flag (Wine's refuses it as an invalid parameter) still
  // removes the driver itself; its files then stay in the driver folder.
  if (!deleted && GetLastError() == ERROR_INVALID_PARAMETER) {
    deleted = win32::spool::DeletePrinterDriverW(nullptr, environmentName.Get(), driverName.Get());
  }
  Report(error, deleted ? ERROR_SUCCESS : GetLastError());
  return deleted != FALSE;
}

std::unique_ptr<PortMonitorSession> Win32PrintSpooler::OpenPortMonitor(const WString& monitor,
                                                                       uint32_t* error) {
  CallText name(u",XcvMonitor " + monitor);
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
  HANDLE opened = nullptr;
  if (!win32::spool::OpenPrinterW(name.Get(), &opened, &defaults)) {
    Report(error, GetLastError());
    return nullptr;
  }
  Report(error, ERROR_SUCCESS);
  return std::make_unique<Win32PortMonitorSession>(opened);
}

}  // namespace kestrava
