// An in-memory print spooler with the rules of the real one: driver directories per
// environment, drivers that need their files in that directory (when given the files service to
// look in), printers that need a registered driver and a name not yet taken (names compared as
// the system compares them: ordinal, case ignored), printer data in the order first written, a
// default printer. The user's connections to printers of other computers are listed with the
// local printers (flags 6) and apart from them, marked as network printers, and deleting one
// deletes the server's queue, as Windows does for an administrator of the server. A printer
// deleted while jobs are in its queue or a handle is open on it (the spooler's own, or one
// elsewhere: a queue window, the till's software) is only marked for deletion: it stays listed
// with its pending-deletion status until the last of them ends.
// Every call is recorded with its arguments, every operation can be scripted to fail with an
// error code, and open printer handles are counted (each must be closed on every path).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/print_spooler.h"
#include "tests/fakes/fake_tcp_ip_monitor.h"

namespace kestrava {

class FakeFiles;

class FakePrintSpooler final : public PrintSpooler {
 public:
  enum class Op {
    kDriverDirectory,
    kAddDriver,
    kEnumerate,
    kAddPrinter,
    kOpenPrinter,
    kSetData,
    kDeviceMode,
    kSetDefault,
    kEnumerateDrivers,
    kDeletePrinter,
    kDeleteDriver,
  };

  struct Printer {
    PrinterRecord record;
    std::vector<std::pair<WString, RegistryValue>> data;
    std::optional<DeviceMode> deviceMode;  // what the driver reports; nothing: it gives none
    uint32_t jobs = 0;                     // in its queue
    bool connection = false;               // to a printer of another computer
    int otherHandles = 0;                  // open outside this spooler's handles
    int handles = 0;                       // this spooler's handles open on it
    bool pendingDeletion = false;
  };

  FakePrintSpooler();

  // Scripting.
  // `op` fails with `error`, `times` times or always.
  void Fail(Op op, uint32_t error, int times = -1);
  // Adds a printer as if installed earlier (its driver need not be registered).
  void AddInstalledPrinter(const WString& name, const WString& port,
                           const WString& driver = u"Generic");
  // The user's connection to `queue` on `server`, listed as "\\server\queue".
  void AddConnection(const WString& server, const WString& queue, const WString& port,
                     const WString& driver);
  // The printer's jobs end and the handles open elsewhere close: a printer marked for
  // deletion goes, unless one of this spooler's handles is still open on it.
  void EndJobsAndHandles(const WString& name);
  // The driver directory of each environment; an environment missing here is unknown.
  std::map<WString, WString> driverDirectories;
  // When set, a driver registers only when every file of its record lies in the driver
  // directory of its environment (ERROR_FILE_NOT_FOUND otherwise), and the files are then
  // copied into the folder of the driver version ("3") below it, as the spooler does.
  FakeFiles* files = nullptr;
  // The environment whose drivers printers can use.
  WString nativeEnvironment = u"Windows x64";
  // What the driver of every printer added from now on reports as its device mode.
  std::optional<DeviceMode> driverDeviceMode;
  // The Standard TCP/IP Port monitor; none, as under Wine, unless a test gives it one. Its
  // ports are in use while a printer is on them.
  std::optional<FakeTcpIpMonitor> tcpIpMonitor;

  // Inspection.
  const Printer* FindPrinter(const WString& name) const;
  std::vector<WString> PrinterNames() const;
  int openPrinters() const { return *openPrinters_; }
  std::vector<DriverRecord> drivers;
  std::vector<Printer> printers;
  WString defaultPrinter;
  // Every call, UTF-8: "AddPrinter RT-58C on COM3:", "SetPrinterData RT-58C PortType", ...
  std::vector<std::string> calls;
  // Called after each recorded call, to put it in a test's journal of several services.
  std::function<void(const std::string& call)> onCall;

  WString DriverDirectory(const WString& environment, uint32_t* error) override;
  bool AddDriver(const DriverRecord& driver, uint32_t* error) override;
  // Recorded as "EnumPrinters" (local printers and connections), "EnumPrinters local" and
  // "EnumPrinters connections".
  bool ListPrinters(PrinterListing listing, std::vector<InstalledPrinter>& out,
                    uint32_t* error) override;
  std::unique_ptr<SpoolerPrinter> CreatePrinter(const PrinterRecord& printer,
                                                uint32_t* error) override;
  std::unique_ptr<SpoolerPrinter> Open(const WString& name, uint32_t* error) override;
  bool MakeDefault(const WString& name, uint32_t* error) override;
  WString DefaultPrinter() override { return defaultPrinter; }
  // Marks the printer for deletion while it has jobs or open handles, as the spooler does.
  bool DeletePrinter(const WString& name, uint32_t* error) override;
  bool EnumerateDrivers(const WString& environment, std::vector<WString>& out,
                        uint32_t* error) override;
  // Refused with kErrorPrinterDriverInUse while a printer uses the driver, as the spooler does.
  bool DeleteDriver(const WString& environment, const WString& name, uint32_t* error) override;
  // Recorded as "OpenPrinter ,XcvMonitor <name>"; refused with ERROR_INVALID_PRINTER_NAME for a
  // monitor the spooler does not have.
  std::unique_ptr<PortMonitorSession> OpenPortMonitor(const WString& monitor,
                                                      uint32_t* error) override;
  // Gives the spooler the TCP/IP monitor (empty), its ports in use while a printer is on them.
  FakeTcpIpMonitor& AddTcpIpMonitor();

  // For the printer handles this spooler hands out.
  void Record(const std::string& call);
  bool Failing(Op op, uint32_t* error);
  Printer* Find(const WString& name);
  void Closed(const WString& name);

 private:
  // Removes a printer marked for deletion once nothing holds it any more.
  void Settle(const WString& name);
  std::unique_ptr<SpoolerPrinter> Handle(const WString& name);

  std::map<Op, std::pair<uint32_t, int>> failing_;  // error, remaining (-1: always)
  std::shared_ptr<int> openPrinters_ = std::make_shared<int>(0);
};

}  // namespace kestrava
