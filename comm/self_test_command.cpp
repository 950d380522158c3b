#include "comm/command_blocks.h"
#include "comm/port_commands.h"
#include "comm/port_messages.h"

namespace kestrava {

void SelfTestCommand(PortCommandInput& input, PortLink& link, DialogHost& dialog,
                     PrinterStatusReport* status) {
  bool delivered = false;
  if (!IsPlaceholderPort(input.portText)) {
    switch (input.portKind) {
      case kUsbInterface:
        // The printer must first answer the status request: whichever USB port is selected,
        // the request goes to the first supported printer.
        link.SelectPort(u"USB", WString());
        delivered = link.WriteWithStatusCheck(kSelfTestRequest);
        if (delivered) AskStatus(link, status);
        // Unshared, the printer would otherwise stay out of the spooler's reach.
        link.ClosePort(u"USB");
        break;
      case kComInterface:
        link.SelectPort(input.portText, input.baudText);
        delivered = link.WriteBytes(kSelfTestRequest, sizeof kSelfTestRequest);
        if (delivered) AskStatus(link, status);
        break;
      case kBluetoothInterface:
        // Opening the port makes the radio connection.
        link.TalkWhileAnswering([&] {
          link.SelectPort(input.portText, input.baudText);
          delivered = link.WriteBytes(kSelfTestRequest, sizeof kSelfTestRequest);
          if (delivered) AskStatus(link, status);
        });
        break;
      case kLanInterface:
        // The connection stays open: the next SelectPort of the LAN closes it.
        input.portText = input.ipAddressText;
        link.SelectPort(u"LAN", input.ipAddressText);
        delivered = link.WriteBytes(kSelfTestRequest, sizeof kSelfTestRequest);
        if (delivered) AskStatus(link, status);
        break;
      default:
        break;
    }
  }
  if (!delivered)
    dialog.ShowMessage(ConnectionFailureMessage(input.uiLanguage), MessageKind::kWarning);
}

}  // namespace kestrava
