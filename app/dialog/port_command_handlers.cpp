// The dialog's check-port and self-test buttons and the timers that enable its buttons again
// after a write.
#include "app/dialog/confing_dialog.h"
#include "comm/port_messages.h"

namespace kestrava {

CommServices CommServicesFrom(const Services& services) {
  return CommServices{
      services.deviceInterfaces, services.deviceIo,  services.registry, services.sockets,
      services.arpTable,         services.screenGdi, services.clock,    services.process,
      services.system,           services.dialog};
}

PortCommandInput ConfingDialog::CommandInput() {
  PortCommandInput input;
  input.portKind = portKindChoice;
  input.portText = portCombo.SelectedText();
  input.baudText = baudCombo.SelectedText();
  input.ipAddressText = ipAddressField.Text();
  input.uiLanguage = uiLanguage;
  input.osName = osName;
  return input;
}

bool ConfingDialog::OnCheckPort() {
  return CheckPort(true);
}

void ConfingDialog::TellPrinterFault() {
  const std::optional<PrinterCondition> condition = lastStatus.Condition();
  if (condition && IsFault(*condition)) {
    host_.ShowMessage(PrinterFaultMessage(*condition, uiLanguage), MessageKind::kWarning);
  }
}

bool ConfingDialog::CheckPort(bool tellFault) {
  // A failed exchange leaves no interface chosen, and the command reports the failure itself.
  ExchangeControlData(true);
  PortCommandInput input = CommandInput();
  portText = input.portText;
  // The check leaves the port as the spooler names it (COM3:) in portText, and the page goes on
  // with that name.
  const auto checkPortInUse = [this, &input] {
    const bool inUse = CheckPortInUse();
    input.portText = portText;
    return inUse;
  };
  lastStatus = PrinterStatusReport();
  Log(u"check port: " + LoggedPort(input));
  const bool delivered =
      PortInformationPage(input, link_, CommServicesFrom(services_), checkPortInUse, &lastStatus);
  Log(delivered ? u"port check: the printer took the port-information page"
                : u"port check: failed: the printer did not take the page");
  LogStatus();
  portText = input.portText;
  ExchangeControlData(false);
  if (tellFault) TellPrinterFault();
  return delivered;
}

void ConfingDialog::OnSelfTest() {
  ExchangeControlData(true);
  PortCommandInput input = CommandInput();
  lastStatus = PrinterStatusReport();
  Log(u"self-test: " + LoggedPort(input));
  SelfTestCommand(input, link_, host_, &lastStatus);
  LogStatus();
  portText = input.portText;
  ExchangeControlData(false);
  TellPrinterFault();
}

void ConfingDialog::OnButtonTimer(unsigned timerId) {
  if (timerId == kButtonTimer) {
    EnableInstallControls(true);
    host_.StopTimer(kButtonTimer);
  } else if (timerId == kCheckPortTimer) {
    host_.EnableControl(kCheckPortButton, true);
    host_.StopTimer(kCheckPortTimer);
  }
}

}  // namespace kestrava
