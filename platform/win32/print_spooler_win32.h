#pragma once

#include "platform/print_spooler.h"

namespace kestrava {

// The wide-character spooler functions of winspool.drv on the local machine.
class Win32PrintSpooler final : public PrintSpooler {
 public:
  WString DriverDirectory(const WString& environment, uint32_t* error) override;
  bool AddDriver(const DriverRecord& driver, uint32_t* error) override;
  bool ListPrinters(PrinterListing listing, std::vector<InstalledPrinter>& out,
                    uint32_t* error) override;
  std::unique_ptr<SpoolerPrinter> CreatePrinter(const PrinterRecord& printer,
                                                uint32_t* error) override;
  std::unique_ptr<SpoolerPrinter> Open(const WString& name, uint32_t* error) override;
  bool MakeDefault(const WString& name, uint32_t* error) override;
  WString DefaultPrinter() override;
  bool DeletePrinter(const WString& name, uint32_t* error) override;
  bool EnumerateDrivers(const WString& environment, std::vector<WString>& out,
                        uint32_t* error) override;
  bool DeleteDriver(const WString& environment, const WString& name, uint32_t* error) override;
  std::unique_ptr<PortMonitorSession> OpenPortMonitor(const WString& monitor,
                                                      uint32_t* error) override;
};

}  // namespace kestrava
