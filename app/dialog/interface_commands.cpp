// The interface radios, the port list's selection and double-clicks on the operating-system
// message.
#include "app/dialog/confing_dialog.h"
#include "platform/ipv4_text.h"

namespace kestrava {

namespace {

constexpr int kOsMessageClicksForBox = 5;

enum class Discovery { kClose, kStart };

// What each interface shows of the port column: the address field (1050), the baud-rate list
// (1053) and the Bluetooth device name (1062).
struct InterfaceColumn {
  bool address;
  bool baudRate;
  bool deviceName;
  bool selectSerialBaudRate;
  Discovery discovery;
};

// USB and anything that is not COM, LAN or BLE.
constexpr InterfaceColumn kOtherColumn = {false, false, false, false, Discovery::kClose};

InterfaceColumn ColumnOf(int32_t interfaceKind) {
  switch (interfaceKind) {
    case kComInterface:
      return {false, true, false, true, Discovery::kClose};
    case kLanInterface:
      return {true, false, false, false, Discovery::kStart};
    case kBluetoothInterface:
      return {false, true, true, true, Discovery::kClose};
    default:
      return kOtherColumn;
  }
}

}  // namespace

void ConfingDialog::OnInterfaceChosen() {
  if (!ExchangeControlData(true)) return;
  const InterfaceColumn column = ColumnOf(portKindChoice);
  if (column.selectSerialBaudRate) baudCombo.Select(kSerialBaudItem);
  host_.ShowControl(control::kIpAddress, column.address);
  host_.ShowControl(control::kBaudList, column.baudRate);
  host_.ShowControl(control::kBluetoothName, column.deviceName);
  if (column.discovery == Discovery::kStart) {
    ipAddressField.SetAddress(kDefaultPrinterAddress);
    portCombo.Clear();
    portText = kSearchingIp;
    portCombo.Select(portCombo.Add(kSearchingIp));
    StartLanDiscovery();
  } else {
    CloseDiscoverySocket();
  }
  // The list of USB, COM and BLE ports follows at the next tick of the poll.
  ExchangeControlData(false);
}

void ConfingDialog::OnPortListSelection() {
  if (discoveredPrinters.Empty()) return;
  if (portCombo.Selection() < 0) return;
  portText = portCombo.SelectedText();
  // Only the port text's carrier: the other members may be older than their controls here.
  host_.SetControlText(control::kPortTextCarrier, portText);
  if (const std::optional<uint32_t> address = ParseDottedIpv4(portText)) {
    ipAddressField.SetAddress(*address);
  }
}

void ConfingDialog::OnOsMessageDoubleClick() {
  if (++osMessageClicks < kOsMessageClicksForBox) return;
  // The box shows its text as it stands: "%s" is never a format here.
  host_.ShowMessage(u"%s", MessageKind::kWarning);
  osMessageClicks = 0;
}

}  // namespace kestrava
