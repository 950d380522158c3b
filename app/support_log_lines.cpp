// What the dialog writes into the support log: its start, and its commands with their values
// and outcomes. In English, whatever the UI language: the log is for whoever supports the till.
#include <iterator>

#include "app/confing_dialog.h"
#include "app/language.h"
#include "comm/port_messages.h"

namespace kestrava {

WString ConfingDialog::LoggedPort(const PortCommandInput& input) const {
  const int32_t kind = input.portKind;
  if (kind == kLanInterface) return u"LAN " + input.ipAddressText;
  const WString name = kind >= 0 && kind < static_cast<int32_t>(std::size(kInterfaceNames))
                           ? WString(kInterfaceNames[kind])
                           : u"?";
  if (kind == kComInterface || kind == kBluetoothInterface) {
    return name + u" " + input.portText + u" at " + input.baudText + u" baud";
  }
  return name + u" " + input.portText;
}

void ConfingDialog::LogStatus() {
  if (!lastStatus.asked) return;
  const std::optional<PrinterCondition> condition = lastStatus.Condition();
  Log(u"printer status: " + (condition ? ConditionName(*condition, kEnglish) : u"no answer") +
      u" (" + WidenAscii(lastStatus.exchange) + u")");
}

}  // namespace kestrava
