// The print spooler as the program uses it: the driver directory of a platform, driver and
// printer registration, the list of installed printers, printer data, device modes and the
// default printer. Every operation runs on the local machine.
//
// Every operation that can fail takes an optional `error`: it receives the system's last-error
// code of a failure (read before anything is closed), and 0 on success.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/device_mode.h"
#include "platform/registry.h"
#include "platform/system_errors.h"
#include "platform/text.h"

namespace kestrava {

// Last-error codes the program and its tests tell apart.
enum : uint32_t {
  kErrorModNotFound = 126,            // ERROR_MOD_NOT_FOUND: a DLL the driver needs is missing
  kErrorUnknownPrinterDriver = 1797,  // ERROR_UNKNOWN_PRINTER_DRIVER
  kErrorInvalidPrinterName = 1801,    // ERROR_INVALID_PRINTER_NAME
  kErrorPrinterAlreadyExists = 1802,  // ERROR_PRINTER_ALREADY_EXISTS
  kErrorInvalidEnvironment = 1805,    // ERROR_INVALID_ENVIRONMENT
  kErrorPrinterDriverInUse = 3001,    // ERROR_PRINTER_DRIVER_IN_USE
};

inline constexpr uint32_t kPrinterAttributeNetwork = 0x10;      // PRINTER_ATTRIBUTE_NETWORK
inline constexpr uint32_t kPrinterAttributeLocal = 0x40;        // PRINTER_ATTRIBUTE_LOCAL
inline constexpr uint32_t kPrinterStatusPendingDeletion = 0x4;  // PRINTER_STATUS_PENDING_DELETION

// A driver registration record (level 3). Empty texts are passed as absent.
struct DriverRecord {
  uint32_t version = 3;
  WString name;
  WString environment;
  WString driverFile;
  WString dataFile;
  WString configFile;
  WString helpFile;
  std::vector<WString> dependentFiles;  // passed as one list closed by an empty name
  WString monitorName;
  WString defaultDataType;
};

// A printer record (level 2): the fields the program sets; every other field is zero.
struct PrinterRecord {
  WString printerName;
  WString portName;
  WString driverName;
  WString printProcessor;
  WString dataType;
  uint32_t attributes = 0;
};

// What the program reads of an installed printer's level-2 information.
struct InstalledPrinter {
  WString printerName;
  WString portName;  // one port, or several joined by commas ("COM3:,COM4:") for a pool
  WString driverName;
  uint32_t jobs = 0;        // in its queue
  uint32_t attributes = 0;  // kPrinterAttribute...
  uint32_t status = 0;      // kPrinterStatus...

  // A connection to a printer of another computer ("\\server\queue"): the queue, its port and
  // its driver are the server's, and deleting it would delete the server's queue for everyone.
  bool IsConnection() const {
    return (attributes & kPrinterAttributeNetwork) != 0 || printerName.rfind(u"\\\\", 0) == 0;
  }
  // Deleted while it still had jobs or while a handle was open on it (a queue window, the
  // till's own software): it goes when the last of them ends.
  bool PendingDeletion() const { return (status & kPrinterStatusPendingDeletion) != 0; }
};

// Which printers a listing holds: those of this computer, the user's connections to printers
// of other computers, or both (PRINTER_ENUM_LOCAL 2, PRINTER_ENUM_CONNECTIONS 4).
enum class PrinterListing { kLocal, kConnections, kLocalAndConnections };

// An open printer; closed (ClosePrinter) when destroyed.
class SpoolerPrinter {
 public:
  virtual ~SpoolerPrinter() = default;

  // Stores a value with the printer (SetPrinterData), replacing one of the same name.
  virtual bool SetData(const WString& name, uint32_t type, const void* data, uint32_t size,
                       uint32_t* error = nullptr) = 0;
  bool SetData(const WString& name, const RegistryValue& value, uint32_t* error = nullptr) {
    return SetData(name, value.type, value.data.data(), static_cast<uint32_t>(value.data.size()),
                   error);
  }

  // Reads a value stored with the printer. Leaves `out` untouched unless it answers true.
  virtual bool GetData(const WString& name, RegistryValue& out, uint32_t* error = nullptr) = 0;

  // The printer's current device mode as its driver reports it: the size it names, then the
  // record itself with the output flag. Nothing unless the second call answers OK.
  virtual std::optional<DeviceMode> CurrentDeviceMode(uint32_t* error = nullptr) = 0;
};

// A conversation with a port monitor through the spooler (an Xcv handle); closed
// (ClosePrinter) when destroyed.
class PortMonitorSession {
 public:
  virtual ~PortMonitorSession() = default;

  // Hands `input` to the monitor's `command` ("AddPort", "ConfigPort", "DeletePort") with no
  // room for an answer (XcvData). False, with the system's code in `error`, when the call did
  // not reach the monitor; true otherwise, with the monitor's own answer in `status`: 0 when it
  // did what was asked, else a system code (ERROR_ALREADY_EXISTS for a port it has, ...).
  virtual bool Data(const WString& command, const std::vector<uint8_t>& input, uint32_t& status,
                    uint32_t* error = nullptr) = 0;
};

class PrintSpooler {
 public:
  virtual ~PrintSpooler() = default;

  // The folder into which the driver files of `environment` ("Windows x64", "Windows NT x86",
  // "Windows ARM64") are copied, asked at level 1 into a buffer of 256 bytes. Empty when the
  // spooler names none (an unknown environment, a path that does not fit).
  virtual WString DriverDirectory(const WString& environment, uint32_t* error = nullptr) = 0;

  // Registers a driver whose files lie in the driver directory of its environment.
  virtual bool AddDriver(const DriverRecord& driver, uint32_t* error = nullptr) = 0;

  // The printers of `listing` (level 2, with an empty server name): the size is asked first,
  // then the list is read into a buffer of that size plus 4 bytes. False, with `out` unchanged,
  // when the buffer cannot be had or the second call fails.
  virtual bool ListPrinters(PrinterListing listing, std::vector<InstalledPrinter>& out,
                            uint32_t* error = nullptr) = 0;
  // Local printers and connections together (flags 6), as the dialog has always listed them.
  bool EnumeratePrinters(std::vector<InstalledPrinter>& out, uint32_t* error = nullptr) {
    return ListPrinters(PrinterListing::kLocalAndConnections, out, error);
  }

  // Adds a printer (AddPrinter, level 2). Nothing when the spooler refuses; a missing DLL of the
  // driver shows as kErrorModNotFound.
  virtual std::unique_ptr<SpoolerPrinter> CreatePrinter(const PrinterRecord& printer,
                                                        uint32_t* error = nullptr) = 0;

  // Opens an installed printer by name (OpenPrinter), with the default access.
  virtual std::unique_ptr<SpoolerPrinter> Open(const WString& name, uint32_t* error = nullptr) = 0;

  // Makes a printer the user's default printer (SetDefaultPrinter).
  virtual bool MakeDefault(const WString& name, uint32_t* error = nullptr) = 0;
  // The user's default printer; empty when there is none.
  virtual WString DefaultPrinter() = 0;

  // The names of the drivers registered for `environment` (level 1); false, with `out`
  // unchanged, when the spooler cannot list them.
  virtual bool EnumerateDrivers(const WString& environment, std::vector<WString>& out,
                                uint32_t* error = nullptr) = 0;

  // Removal (the command line's uninstall, and the tests' clean-up). A printer is opened with
  // full access and deleted; while it has jobs or another handle is open on it, the spooler
  // only marks it for deletion and still answers true, so whether it went is read in a listing
  // afterwards. A driver is removed from its environment with every version and
  // with its files that no other driver uses (DeletePrinterDriverEx, DPD_DELETE_UNUSED_FILES;
  // where the spooler refuses the flag, without its files); one that a printer still uses is
  // refused (kErrorPrinterDriverInUse).
  virtual bool DeletePrinter(const WString& name, uint32_t* error = nullptr) = 0;
  virtual bool DeleteDriver(const WString& environment, const WString& name,
                            uint32_t* error = nullptr) = 0;

  // Opens the port monitor of that name ("Standard TCP/IP Port") for administration
  // (OpenPrinter on ",XcvMonitor <name>" with SERVER_ACCESS_ADMINISTER). Nothing, with the
  // system's code, where the spooler has no such monitor or the caller may not administer it
  // (ERROR_ACCESS_DENIED without administrator rights).
  virtual std::unique_ptr<PortMonitorSession> OpenPortMonitor(const WString& monitor,
                                                              uint32_t* error = nullptr) = 0;
};

}  // namespace kestrava
