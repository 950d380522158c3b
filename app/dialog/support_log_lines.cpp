// What the dialog writes into the support log: its start, and its commands with their values
// and outcomes. In English, whatever the UI language: the log is for whoever supports the till.
#include <iterator>
#include <string>

#include "app/dialog/confing_dialog.h"
#include "app/language.h"
#include "app/log_privacy.h"
#include "comm/port_messages.h"
#include "payload/working_folder.h"

namespace kestrava {

namespace {

constexpr const char16_t* kOwnFolderName = u"the program's folder";

}  // namespace

void ConfingDialog::Log(const WString& line) {
  const bool ownFolder = workingFolder != payloadFolder_;
  supportLog_.Line(WithFolderNamed(line, ownFolder ? workingFolder : WString(), kOwnFolderName));
}

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

namespace {

const char16_t* FaultText(PortSetUpFault fault) {
  switch (fault) {
    case PortSetUpFault::kNone:
      break;
    case PortSetUpFault::kKeyMissing:
      return u"its registry key is not there";
    case PortSetUpFault::kKeyRefused:
      return u"its registry key cannot be opened or made";
    case PortSetUpFault::kValueRefused:
      return u"the registry refused a value";
    case PortSetUpFault::kVersionUnknown:
      return u"the system's version cannot be read (no Version, the spooler not restarted)";
  }
  return u"";
}

WString Ended(const ServiceStep& step) {
  return step.carriedOut ? WidenAscii("ended with exit code " + std::to_string(step.code))
                         : WString(u"did not run to its end");
}

}  // namespace

void ConfingDialog::LogPortSetUp(const WString& what, const PortSetUp& setUp) {
  Log(setUp.Written() ? u"port set-up: " + what
                      : u"port set-up: " + what + u" not written: " + FaultText(setUp.fault));
  LogRestart(setUp.restart);
}

void ConfingDialog::LogRestart(const std::optional<SpoolerRestart>& restart) {
  if (!restart || restart->Restarted()) return;
  Log(u"spooler: not restarted: net stop spooler " + Ended(restart->stop) +
      u", net start spooler " + Ended(restart->start));
}

void ConfingDialog::LogDefaultPrinter(const DefaultPrinterOutcome& outcome,
                                      const WString& printer) {
  if (!outcome.set) {
    Log(u"default printer: " + printer + u" could not be made the default printer: " +
        ErrorText(outcome.error));
  } else if (!outcome.forAnotherAccount) {
    Log(u"default printer: " + printer);
  } else if (outcome.accounts.loggedOn.empty()) {
    Log(
        FormatText(u"default printer: %s is the default printer of %s, the account the program "
                   u"runs as; no one is logged on",
                   {printer, outcome.accounts.process}));
  } else {
    Log(
        FormatText(u"default printer: %s is the default printer of %s, the account the program "
                   u"runs as, not of %s, who is logged on",
                   {printer, outcome.accounts.process, outcome.accounts.loggedOn}));
  }
}

}  // namespace kestrava
