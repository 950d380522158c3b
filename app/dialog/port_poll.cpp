// Timer 6, every 500 ms: the port list of the chosen interface follows the USB printers, serial
// ports and Bluetooth ports that are there now, and LAN discovery keeps running while LAN is
// chosen.
#include "app/dialog/confing_dialog.h"
#include "app/language.h"
#include "install/printer_ports.h"
#include "net/bluetooth_ports.h"

namespace kestrava {

namespace {

constexpr LocalText kInputIp = {u"请输入IP", u"Input IP", u"Input IP"};
// The name of a Bluetooth port whose device gave none.
constexpr const char16_t* kUnnamedBluetoothPrinter = u"Printer001";

// Clears the flag however the tick ends.
class TickInProgress {
 public:
  explicit TickInProgress(bool& flag) : flag_(flag) { flag_ = true; }
  ~TickInProgress() { flag_ = false; }
  TickInProgress(const TickInProgress&) = delete;
  TickInProgress& operator=(const TickInProgress&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void ConfingDialog::OnPortPollTick() {
  // Message boxes pump messages, so a tick can come while another is still at work: inside the
  // range message of the exchange below, or inside a command's box that a tick's own work
  // waited for. That one is let go; the next tick does the work.
  if (pollTickRunning_) return;
  TickInProgress inProgress(pollTickRunning_);
  if (!ExchangeControlData(true)) return;
  std::vector<WString> ports;
  switch (portKindChoice) {
    case kUsbInterface:
      link_.SetSkipLinkedCheck();
      link_.usb().ListUsbPrinterPorts(ports);
      RefreshPortCombo(ports, kNoUsb);
      break;
    case kComInterface:
      ListSerialPorts(services_.registry, ports);
      RefreshPortCombo(ports, kNoCom);
      break;
    case kLanInterface:
      portText = kInputIp.For(uiLanguage);
      LanDiscoveryTick();
      break;
    case kBluetoothInterface:
      RefreshBluetoothPorts();
      break;
    default:
      return;
  }
  ExchangeControlData(false);
}

void ConfingDialog::RefreshBluetoothPorts() {
  std::vector<WString> ports;
  std::vector<WString> names;
  FindBluetoothPorts(services_.registry, ports, names);
  ShowBluetoothPorts(ports, std::move(names));
}

void ConfingDialog::ShowBluetoothPorts(const std::vector<WString>& ports,
                                       std::vector<WString> names) {
  if (ports.empty()) {
    RefreshPortCombo(ports, kNoBle);
    btDeviceName = kNoBle;
    return;
  }
  if (names.empty()) names.assign(ports.size(), kUnnamedBluetoothPrinter);
  RefreshPortCombo(ports, kNoBle, true, [this, &names](int index) {
    const bool named = index >= 0 && static_cast<size_t>(index) < names.size();
    btDeviceName = named ? names[static_cast<size_t>(index)] : WString();
  });
}

}  // namespace kestrava
