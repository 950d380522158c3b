#include "install/printer_removal.h"

#include <algorithm>

#include "install/install_engine.h"
#include "install/printer_ports.h"
#include "install/tcp_port_data.h"
#include "platform/ipv4_text.h"
#include "platform/tcp_sockets.h"

namespace kestrava {

namespace {

constexpr uint32_t kValueCapacity = 520;  // bytes: the texts an installation writes fit

std::optional<RegistryValue> Value(RegistryKey& key, const WString& name) {
  RegistryValue value;
  if (key.QueryValue(name, kValueCapacity, value) != RegistryStatus::kOk) return std::nullopt;
  return value;
}

// How a printer stands to the request.
enum class Match { kNo, kOtherFamily, kYes };

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
    if (!services_.spooler.ListPrinters(PrinterListing::kLocal, printers, &outcome_.error)) {
      outcome_.listed = false;
      return outcome_;
    }
    TellConnections(printers);
    std::vector<InstalledPrinter> remaining;
    std::vector<InstalledPrinter> removed;
    for (const InstalledPrinter& printer : printers) {
      if (printer.IsConnection()) continue;  // told above
      if (Selected(printer) && RemovePrinter(printer)) {
        removed.push_back(printer);
      } else {
        remaining.push_back(printer);
      }
    }
    if (request_.selection == RemovalSelection::kPrinter && !found_) {
      outcome_.noSuchPrinter = !outcome_.notOfFamily && !outcome_.connection;
      return outcome_;
    }
    RemoveDrivers(remaining, removed);
    std::vector<WString> considered;
    for (const InstalledPrinter& printer : removed) {
      for (const WString& port : PortsOfList(printer.portName)) {
        // Several removed printers may share a port: it is taken back once, for the first.
        if (std::any_of(considered.begin(), considered.end(),
                        [&](const WString& earlier) { return SameName(earlier, port); })) {
          continue;
        }
        considered.push_back(port);
        if (Uses(remaining, port)) continue;
        TakeBackPort(port);
      }
    }
    if (restartNeeded_) {
      outcome_.restart = RestartSpooler(services_.serviceManager, services_.clock);
      RemovalStep step{
          RemovalItem::kSpooler,        WString(), WString(), outcome_.restart->Restarted(),
          outcome_.restart->start.code, 0};
      Report(step);
    }
    return outcome_;
  }

 private:
  bool SameName(const WString& a, const WString& b) const {
    return services_.system.SameName(a, b);
  }
  bool OfFamily(const WString& driver) const { return ModelPosition(driver) >= 0; }

  bool Uses(const std::vector<InstalledPrinter>& printers, const WString& port) const {
    return std::any_of(printers.begin(), printers.end(), [&](const InstalledPrinter& printer) {
      return PortListHolds(services_.system, printer.portName, port);
    });
  }
  bool UsesDriver(const std::vector<InstalledPrinter>& printers, const WString& driver) const {
    return std::any_of(printers.begin(), printers.end(), [&](const InstalledPrinter& printer) {
      return SameName(printer.driverName, driver);
    });
  }

  Match MatchOf(const InstalledPrinter& printer) const {
    switch (request_.selection) {
      case RemovalSelection::kPrinter:
        if (!SameName(printer.printerName, request_.printer)) return Match::kNo;
        return OfFamily(printer.driverName) ? Match::kYes : Match::kOtherFamily;
      case RemovalSelection::kModel:
        return ModelPosition(printer.driverName) == request_.model ? Match::kYes : Match::kNo;
      case RemovalSelection::kAll:
        return OfFamily(printer.driverName) ? Match::kYes : Match::kNo;
    }
    return Match::kNo;
  }

  bool Selected(const InstalledPrinter& printer) {
    const Match match = MatchOf(printer);
    if (match == Match::kOtherFamily) outcome_.notOfFamily = true;
    if (match != Match::kYes) return false;
    if (request_.selection == RemovalSelection::kPrinter) found_ = true;
    return true;
  }

  // The user's connections the request would take, and any the local listing held: named, and
  // left alone.
  void TellConnections(const std::vector<InstalledPrinter>& local) {
    std::vector<InstalledPrinter> connections;
    // A listing that fails tells nothing more: no connection is touched either way.
    services_.spooler.ListPrinters(PrinterListing::kConnections, connections);
    for (const InstalledPrinter& printer : local) {
      const bool listed =
          std::any_of(connections.begin(), connections.end(), [&](const InstalledPrinter& other) {
            return SameName(other.printerName, printer.printerName);
          });
      if (printer.IsConnection() && !listed) connections.push_back(printer);
    }
    connections_ = connections;
    for (const InstalledPrinter& connection : connections) {
      if (MatchOf(connection) != Match::kYes) continue;
      if (request_.selection == RemovalSelection::kPrinter) outcome_.connection = true;
      Report({RemovalItem::kConnection, connection.printerName, WString(), false, 0, 0});
    }
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
      if (request_.dryRun) {
        step.done = true;
      } else if (services_.spooler.DeletePrinter(printer.printerName, &step.error)) {
        StillThere(printer.printerName, step);
      }
    }
    Report(step);
    return step.done;
  }

  // Whether the deleted printer went: the spooler answers success for one it only marked for
  // deletion, which is still listed until its jobs end and its handles close.
  void StillThere(const WString& name, RemovalStep& step) {
    std::vector<InstalledPrinter> after;
    if (!services_.spooler.ListPrinters(PrinterListing::kLocal, after, &step.error)) return;
    step.done = std::none_of(after.begin(), after.end(), [&](const InstalledPrinter& listed) {
      return SameName(listed.printerName, name);
    });
    step.pendingDeletion = !step.done;
  }

  void RemoveDrivers(const std::vector<InstalledPrinter>& remaining,
                     const std::vector<InstalledPrinter>& removed) {
    for (const char16_t* environment : kDriverEnvironments) {
      std::vector<WString> drivers;
      if (!services_.spooler.EnumerateDrivers(environment, drivers)) continue;
      for (const WString& driver : drivers) {
        // A connection prints with a copy of its server's driver made here.
        if (!OfFamily(driver) || UsesDriver(remaining, driver) ||
            UsesDriver(connections_, driver)) {
          continue;
        }
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
    // Only a port as an installation writes it: named by its address, raw, on port 9100.
    if (!IsInstallationTcpIpPort(services_.registry, address)) return false;
    RemovalStep step{RemovalItem::kTcpIpPort, address, WString(), true, 0, 0};
    if (!request_.dryRun) {
      // The monitor deletes its port at once; where it does not answer, the port's key goes and
      // the spooler reads that at its restart.
      if (auto monitor = services_.spooler.OpenPortMonitor(kTcpIpMonitor)) {
        uint32_t status = 0;
        const bool reached =
            monitor->Data(kDeletePortCommand, DeletePortData(address), status, &step.error);
        step.done = reached && status == 0;
        if (reached) step.error = status;
      } else {
        step.done =
            services_.registry.DeleteMachineKeyTree(WString(kTcpIpPortsKey) + u"\\" + address);
        restartNeeded_ |= step.done;
      }
    }
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
      restartNeeded_ |= step.done;
    }
    Report(step);
    return step.done;
  }

  const EngineServices& services_;
  const RemovalRequest& request_;
  const std::function<void(const RemovalStep&)>& report_;
  RemovalOutcome outcome_;
  std::vector<InstalledPrinter> connections_;
  bool found_ = false;
  bool restartNeeded_ = false;  // a port's registry values changed: the spooler must read them
};

}  // namespace

bool RemovalOutcome::Complete() const {
  return listed && !noSuchPrinter && !notOfFamily && !connection &&
         std::all_of(steps.begin(), steps.end(), [](const RemovalStep& step) {
           return step.done || step.item == RemovalItem::kConnection ||
                  step.item == RemovalItem::kSpooler;
         });
}

RemovalOutcome RemovePrinters(const EngineServices& services, const RemovalRequest& request,
                              const std::function<void(const RemovalStep&)>& report) {
  return Removal(services, request, report).Run();
}

}  // namespace kestrava
