#include "install/printer_removal.h"

#include <algorithm>

#include "install/install_engine.h"
#include "install/printer_ports.h"
#include "install/spooler_restart.h"
#include "platform/ipv4_text.h"
#include "platform/tcp_sockets.h"

namespace kestrava {

namespace {

constexpr uint32_t kValueCapacity = 520;  // bytes: the texts an installation writes fit

bool SameName(const WString& a, const WString& b) {
  return UpperAscii(a) == UpperAscii(b);
}

bool Uses(const std::vector<InstalledPrinter>& printers, const WString& port) {
  return std::any_of(printers.begin(), printers.end(), [&](const InstalledPrinter& printer) {
    return SameName(printer.portName, port);
  });
}

bool UsesDriver(const std::vector<InstalledPrinter>& printers, const WString& driver) {
  return std::any_of(printers.begin(), printers.end(), [&](const InstalledPrinter& printer) {
    return SameName(printer.driverName, driver);
  });
}

std::optional<RegistryValue> Value(RegistryKey& key, const WString& name) {
  RegistryValue value;
  if (key.QueryValue(name, kValueCapacity, value) != RegistryStatus::kOk) return std::nullopt;
  return value;
}

class Removal {
 public:
  Removal(const EngineServices& services, const RemovalRequest& request,
          const std::function<void(const RemovalStep&)>& report)
      : services_(services), request_(request), report_(report) {}

  RemovalOutcome Run() {
    if (request_.selection == RemovalSelection::kModel &&
        (request_.model < 0 || request_.model >= kModelCount)) {
      return outcome_;
    }
    std::vector<InstalledPrinter> printers;
    if (!services_.spooler.EnumeratePrinters(printers, &outcome_.error)) {
      outcome_.listed = false;
      return outcome_;
    }
    std::vector<InstalledPrinter> remaining;
    std::vector<InstalledPrinter> removed;
    for (const InstalledPrinter& printer : printers) {
      if (Selected(printer) && RemovePrinter(printer)) {
        removed.push_back(printer);
      } else {
        remaining.push_back(printer);
      }
    }
    if (request_.selection == RemovalSelection::kPrinter && !found_) {
      outcome_.noSuchPrinter = !outcome_.notOfFamily;
      return outcome_;
    }
    RemoveDrivers(remaining, removed);
    bool portTakenBack = false;
    for (auto printer = removed.begin(); printer != removed.end(); ++printer) {
      const WString& port = printer->portName;
      if (Uses(remaining, port)) continue;
      // Several removed printers may share a port: it is taken back once, for the first.
      if (std::any_of(removed.begin(), printer, [&](const InstalledPrinter& earlier) {
            return SameName(earlier.portName, port);
          })) {
        continue;
      }
      portTakenBack |= TakeBackPort(port);
    }
    if (portTakenBack && !request_.dryRun) {
      RestartSpoolerByCommand(services_.shell, services_.clock);
      Report({RemovalItem::kSpooler, WString(), WString(), true, 0, 0});
    }
    return outcome_;
  }

 private:
  bool OfFamily(const WString& driver) const { return ModelPosition(driver) >= 0; }

  bool Selected(const InstalledPrinter& printer) {
    switch (request_.selection) {
      case RemovalSelection::kPrinter:
        if (!SameName(printer.printerName, request_.printer)) return false;
        if (!OfFamily(printer.driverName)) {
          outcome_.notOfFamily = true;
          return false;
        }
        found_ = true;
        return true;
      case RemovalSelection::kModel:
        return ModelPosition(printer.driverName) == request_.model;
      case RemovalSelection::kAll:
        return OfFamily(printer.driverName);
    }
    return false;
  }

  void Report(const RemovalStep& step) {
    outcome_.steps.push_back(step);
    report_(step);
  }

  // True when the printer is gone (or, in a dry run, would go).
  bool RemovePrinter(const InstalledPrinter& printer) {
    RemovalStep step{RemovalItem::kPrinter, printer.printerName, WString(), false, 0, printer.jobs};
    // A printer that still prints keeps its jobs: the spooler would delete it once they are
    // done, with the queue's documents lost to whoever waits for them.
    if (printer.jobs == 0) {
      step.done =
          request_.dryRun || services_.spooler.DeletePrinter(printer.printerName, &step.error);
    }
    Report(step);
    return step.done;
  }

  void RemoveDrivers(const std::vector<InstalledPrinter>& remaining,
                     const std::vector<InstalledPrinter>& removed) {
    for (const char16_t* environment : kDriverEnvironments) {
      std::vector<WString> drivers;
      if (!services_.spooler.EnumerateDrivers(environment, drivers)) continue;
      for (const WString& driver : drivers) {
        if (!OfFamily(driver) || UsesDriver(remaining, driver)) continue;
        if (!DriverSelected(driver, removed)) continue;
        RemovalStep step{RemovalItem::kDriver, driver, environment, false, 0, 0};
        step.done =
            request_.dryRun || services_.spooler.DeleteDriver(environment, driver, &step.error);
        Report(step);
      }
    }
  }

  // --all takes back every driver of the family that no printer uses; --model the model's;
  // --printer the removed printer's.
  bool DriverSelected(const WString& driver, const std::vector<InstalledPrinter>& removed) const {
    switch (request_.selection) {
      case RemovalSelection::kAll:
        return true;
      case RemovalSelection::kModel:
        return ModelPosition(driver) == request_.model;
      case RemovalSelection::kPrinter:
        return UsesDriver(removed, driver);
    }
    return false;
  }

  // True when a port was (or would be) taken back.
  bool TakeBackPort(const WString& port) {
    if (ParseDottedIpv4(port)) return TakeBackTcpIpPort(port);
    if (UpperAscii(port).compare(0, 3, u"COM") == 0 && port.back() == u':') {
      return TakeBackSerialPort(port);
    }
    return false;
  }

  bool TakeBackTcpIpPort(const WString& address) {
    const WString path = WString(kTcpIpPortsKey) + u"\\" + address;
    auto key = services_.registry.OpenMachineKey(path, kRegistryRead);
    if (!key) return false;
    // Only a port as an installation writes it: named by its address, raw, on port 9100.
    const std::optional<RegistryValue> host = Value(*key, u"HostName");
    const std::optional<RegistryValue> number = Value(*key, u"PortNumber");
    const std::optional<RegistryValue> protocol = Value(*key, u"Protocol");
    key.reset();
    if (!host || !number || !protocol || host->Text() != address ||
        number->Number() != kPrinterTcpPort || protocol->Number() != 1) {
      return false;
    }
    RemovalStep step{RemovalItem::kTcpIpPort, address, WString(), true, 0, 0};
    if (!request_.dryRun) step.done = services_.registry.DeleteMachineKeyTree(path);
    Report(step);
    return step.done;
  }

  bool TakeBackSerialPort(const WString& port) {
    auto key = services_.registry.OpenMachineKey(WString(kSerialPortsKey), kRegistryReadWrite);
    if (!key) return false;
    const std::optional<RegistryValue> settings = Value(*key, port);
    if (!settings) return false;
    // Only settings as an installation writes them, and not those of the system already.
    const WString text = settings->Text();
    const bool installed =
        std::any_of(std::begin(kSerialBaudRates), std::end(kSerialBaudRates),
                    [&](const char16_t* rate) { return text == SerialPortSettings(rate); });
    if (!installed || text == kSystemSerialSettings) return false;
    RemovalStep step{RemovalItem::kSerialPort, port, WString(), true, 0, 0};
    if (!request_.dryRun) {
      step.done = key->SetValue(port, RegistryValue::String(kSystemSerialSettings));
    }
    Report(step);
    return step.done;
  }

  const EngineServices& services_;
  const RemovalRequest& request_;
  const std::function<void(const RemovalStep&)>& report_;
  RemovalOutcome outcome_;
  bool found_ = false;
};

}  // namespace

bool RemovalOutcome::Complete() const {
  return listed && !noSuchPrinter && !notOfFamily &&
         std::all_of(steps.begin(), steps.end(), [](const RemovalStep& step) { return step.done; });
}

RemovalOutcome RemovePrinters(const EngineServices& services, const RemovalRequest& request,
                              const std::function<void(const RemovalStep&)>& report) {
  return Removal(services, request, report).Run();
}

}  // namespace kestrava
