#include "comm/command_blocks.h"
#include "comm/port_commands.h"
#include "comm/port_messages.h"
#include "comm/raster_banner.h"

namespace kestrava {

namespace {

// A banner on every supported printer attached, then the list of their ports or the
// no-printer message. A printer that cannot take its banner is passed over silently.
void PrintUsbBanners(const PortCommandInput& input, PortLink& link, const CommServices& services) {
  WString message = UsbPortListHeader(input.uiLanguage);
  bool found = false;
  const UsbPrinterLocator::Walk walk = link.usb().ForEachSupportedPrinter([&](const WString& path) {
    const std::optional<uint32_t> port = link.usb().ConnectedPortNumber(path);
    if (!port) return true;
    message = AppendUsbPortLine(message, *port);
    RasterizeAndSend(UsbPortBanner(input.uiLanguage, *port), path, services.screenGdi,
                     services.deviceIo);
    found = true;
    return true;
  });
  // A path that cannot be read ends the banner step there, without a message box.
  if (walk == UsbPrinterLocator::Walk::kDetailFailed) return;
  if (found) {
    services.process.DebugOutput(services.system.WideToAnsi(message));
    services.dialog.ShowMessage(message, MessageKind::kWarning);
  } else {
    services.process.DebugOutput(services.system.WideToAnsi(u"USB打印机没有接入设备"));
    services.dialog.ShowMessage(NoUsbPrinterMessage(input.uiLanguage), MessageKind::kWarning);
  }
}

}  // namespace

void AskStatus(PortLink& link, PrinterStatusReport* status) {
  if (!status) return;
  status->asked = link.currentKind != TransportKind::kLpt;
  status->answers = link.QueryStatus(&status->exchange);
}

namespace {

bool UsbPage(const PortCommandInput& input, PortLink& link, const CommServices& services,
             PrinterStatusReport* status) {
  services.dialog.StartTimer(kCheckPortTimer, kCheckPortTimerMs);
  services.dialog.EnableControl(kCheckPortButton, false);
  // The release name stays as detected: the dialog's operating-system message names it.
  if (LinkedIsUnreliable(input.osName)) link.SetSkipLinkedCheck();
  // Whatever still holds a printer unshared would keep its banner from being opened.
  link.ClosePort(u"USB");
  PrintUsbBanners(input, link, services);
  link.SelectPort(u"USB", WString());
  const bool delivered = link.WriteWithStatusCheck(kResetBlock);
  if (delivered) AskStatus(link, status);
  // The link opens USB printers unshared: held open, the printer would stay out of the
  // spooler's reach, and the installation's test page would wait in its queue.
  link.ClosePort(u"USB");
  return delivered;
}

bool ComPage(const PortCommandInput& input, PortLink& link,
             const std::function<bool()>& checkPortInUse, PrinterStatusReport* status) {
  link.SelectPort(input.portText, input.baudText);
  const bool delivered = link.WriteText(kComPortLabel + input.portText);
  link.WriteBytes(kFeedAndCut, sizeof kFeedAndCut);
  if (delivered) AskStatus(link, status);
  if (checkPortInUse) checkPortInUse();
  // Every serial write closes the port: nothing to close here.
  return delivered;
}

bool LanPage(PortCommandInput& input, PortLink& link, PrinterStatusReport* status) {
  input.portText = input.ipAddressText;
  link.SelectPort(u"LAN", input.ipAddressText);
  const bool delivered = link.WriteText(kLanAddressLabel + input.ipAddressText);
  link.WriteBytes(kFeedAndCut, sizeof kFeedAndCut);
  if (delivered) AskStatus(link, status);
  link.ClosePort(u"LAN");
  return delivered;
}

bool BluetoothPage(const PortCommandInput& input, PortLink& link,
                   const std::function<bool()>& checkPortInUse, PrinterStatusReport* status) {
  bool delivered = false;
  // Every write opens the port, which makes the radio connection.
  link.TalkWhileAnswering([&] {
    link.SelectPort(input.portText, input.baudText);
    delivered = link.WriteText(kBluetoothPortLabel + input.portText);
    link.WriteBytes(kFeedAndCut, sizeof kFeedAndCut);
    link.WriteBytes(kReset, sizeof kReset);
    if (delivered) AskStatus(link, status);
  });
  if (checkPortInUse) checkPortInUse();
  link.ClosePort(input.portText);
  return delivered;
}

}  // namespace

bool IsPlaceholderPort(const WString& portText) {
  return portText.find(u"NO") != WString::npos;
}

bool PortInformationPage(PortCommandInput& input, PortLink& link, const CommServices& services,
                         const std::function<bool()>& checkPortInUse, PrinterStatusReport* status) {
  bool delivered = false;
  if (!IsPlaceholderPort(input.portText)) {
    switch (input.portKind) {
      case kUsbInterface:
        delivered = UsbPage(input, link, services, status);
        break;
      case kComInterface:
        delivered = ComPage(input, link, checkPortInUse, status);
        break;
      case kLanInterface:
        delivered = LanPage(input, link, status);
        break;
      case kBluetoothInterface:
        delivered = BluetoothPage(input, link, checkPortInUse, status);
        break;
      default:
        break;
    }
  }
  if (!delivered) {
    services.dialog.ShowMessage(ConnectionFailureMessage(input.uiLanguage), MessageKind::kWarning);
  }
  return delivered;
}

}  // namespace kestrava
