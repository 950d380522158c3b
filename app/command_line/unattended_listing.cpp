// The listing commands without the dialog: the ports the dialog's list would offer for each
// interface, and the printers of the family that the spooler has. One line per entry, its
// fields separated by tabs, so that a script can read them.
#include <atomic>

#include "app/command_line/exit_codes.h"
#include "app/command_line/unattended_run.h"
#include "app/command_line/unattended_texts.h"
#include "app/dialog/confing_dialog.h"
#include "install/printer_ports.h"
#include "net/bluetooth_ports.h"
#include "net/lan_discovery.h"

namespace kestrava {

namespace {

constexpr uint32_t kDiscoveryTickMs = 500;  // the dialog's port poll, which paces the probes
constexpr const char16_t* kSerialDetail = u"serial port";
constexpr const char16_t* kAnsweredDetail = u"answered the discovery probe";

WString Row(const WString& kind, const WString& port, const WString& detail) {
  return kind + u"\t" + port + u"\t" + detail;
}

}  // namespace

int UnattendedRun::ListPorts() {
  // USB printers as the dialog's port poll lists them: every supported printer that passes the
  // tests, with its interface path.
  PortLink link(CommServicesFrom(services_));
  link.SetSkipLinkedCheck();
  link.usb().ForEachSupportedPrinter([&](const WString& path) {
    if (const std::optional<uint32_t> number = link.usb().ConnectedPortNumber(path)) {
      output_.Line(Row(u"usb", FormatText(u"USB%03d", {static_cast<int>(*number)}), path));
    }
    return true;
  });
  std::vector<WString> serial;
  const bool serialListed = ListSerialPorts(services_.registry, serial);
  for (const WString& port : serial) output_.Line(Row(u"com", port, kSerialDetail));
  std::vector<WString> bluetooth;
  std::vector<WString> labels;
  FindBluetoothPorts(services_.registry, bluetooth, labels);
  for (size_t i = 0; i < bluetooth.size(); ++i) {
    // The label is the device's name and address on two lines: one line here.
    WString label;
    for (WChar c : i < labels.size() ? labels[i] : WString()) {
      const bool space = c == u'\r' || c == u'\n' || c == u'\t' || c == u' ';
      if (!space) {
        label += c;
      } else if (!label.empty() && label.back() != u' ') {
        label += u' ';
      }
    }
    while (!label.empty() && label.back() == u' ') label.pop_back();
    output_.Line(Row(u"ble", bluetooth[i], label));
  }
  // The rest is listed all the same; the run ends with the refusal.
  const int done = serialListed ? kExitDone : kExitPortsNotListed;
  if (!serialListed) Say(cli::kSerialPortsNotListed);
  if (line_.discoverSeconds == 0) return done == kExitDone ? done : Fail(done);

  // The LAN: the dialog's own discovery, with its thread and its 500 ms tick, for the time
  // asked, then stopped as the dialog stops it when it ends.
  auto discovery = std::make_shared<LanDiscovery>(services_.udp, services_.icmp, services_.adapters,
                                                  services_.clock, services_.process);
  DiscoveredPrinters found;
  std::atomic<bool> running{false};
  discovery->SetInterfaceKind(kLanInterface);
  discovery->OpenDiscoverySocket();
  discovery->RefreshLocalAddresses();
  DialogHost& host = services_.dialog;
  const DiscoveryDialog dialog{found, running, [] {}};
  const StartWorkerFn start = [&host](std::function<void()> work) {
    return host.StartWorker(std::move(work));
  };
  discovery->StartDiscoveryThread(dialog, start);
  const uint64_t end = services_.clock.MonotonicMs() + uint64_t{line_.discoverSeconds} * 1000;
  while (services_.clock.MonotonicMs() < end && !Interrupted()) {
    services_.clock.Sleep(kDiscoveryTickMs);
    if (running) {
      discovery->CancelPendingReceive();
    } else {
      discovery->CloseDiscoverySocket();
      discovery->OpenDiscoverySocket();
      discovery->StartDiscoveryThread(dialog, start);
    }
  }
  discovery->StopDiscoveryThread();
  discovery->CloseDiscoverySocket();
  for (const WString& address : found.Snapshot()) {
    output_.Line(Row(u"lan", address, kAnsweredDetail));
  }
  // Ctrl+C ends the wait: what was found until then is listed.
  if (Interrupted()) return Cancel();
  return done == kExitDone ? done : Fail(done);
}

int UnattendedRun::ListPrinters() {
  std::vector<InstalledPrinter> printers;
  uint32_t error = 0;
  if (!services_.spooler.EnumeratePrinters(printers, &error)) {
    Say(cli::kPrintersNotListed, {Code(error), SystemText(error)});
    return Fail(kExitPrintersNotListed);
  }
  for (const InstalledPrinter& printer : printers) {
    if (ModelPosition(printer.driverName) < 0) continue;
    const WString row = Row(printer.printerName, printer.portName, printer.driverName);
    // A connection's queue, port and driver are another computer's.
    output_.Line(printer.IsConnection() ? row + u"\tconnection" : row);
  }
  return kExitDone;
}

}  // namespace kestrava
