// Whether an installed printer already sits on the chosen serial or Bluetooth port. Only
// COM-type ports are refused: a USB port or a network address may carry several printers.
#include "app/dialog/confing_dialog.h"
#include "app/language.h"
#include "install/printer_ports.h"

namespace kestrava {

namespace {

constexpr LocalText kPortInUseMessage = {u"已经存在使用此端口的打印机",
                                         u"A printer already exists using this port",
                                         u"このポートを使用するプリンタはすでに存在します"};

}  // namespace

WString SpoolerSerialPortName(WString port) {
  if (port.find(u':') == WString::npos) port += u":";
  return port;
}

bool ConfingDialog::CheckPortInUse() {
  ExchangeControlData(true);
  portText = portCombo.SelectedText();
  if (IsPlaceholderPort(portText)) return false;
  portText = SpoolerSerialPortName(portText);

  std::vector<InstalledPrinter> printers;
  if (!services_.spooler.EnumeratePrinters(printers)) return false;
  const bool serialPort = portText.find(u"COM") != WString::npos;
  for (const InstalledPrinter& printer : printers) {
    // As the spooler names ports: case ignored, and a printer of a pool of ports is on each.
    if (serialPort && PortListHolds(services_.system, printer.portName, portText)) {
      host_.ShowMessage(kPortInUseMessage.For(uiLanguage), MessageKind::kWarning);
      return true;
    }
  }
  return false;
}

}  // namespace kestrava
