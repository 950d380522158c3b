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
    case PortSetUpFault::kMonitorRefused:
      return u"the TCP/IP port monitor refused it";
  }
  return u"";
}

}  // namespace

void ConfingDialog::LogPortSetUp(const WString& what, const PortSetUp& setUp) {
  if (setUp.Written()) {
    Log(u"port set-up: " + what + (setUp.existing ? u" (there already, used as it is)" : u""));
  } else if (setUp.fault == PortSetUpFault::kMonitorRefused) {
    Log(u"port set-up: " + what + u" not written: " + FaultText(setUp.fault) + u": " +
        ErrorText(setUp.error));
  } else {
    Log(u"port set-up: " + what + u" not written: " + FaultText(setUp.fault));
  }
  LogRestart(setUp.restart);
}

void ConfingDialog::LogRestart(const std::optional<SpoolerRestart>& restart) {
  if (!restart) return;
  const auto ended = [this](const ServiceStep& step) {
    if (!step.carriedOut) return WString(u"not asked");
    return step.code == 0 ? WString(u"done") : ErrorText(step.code);
  };
  if (!restart->Restarted()) {
    Log(u"spooler: not restarted: stop " + ended(restart->stop) + u", start " +
        ended(restart->start));
  }
  for (const WString& name : restart->dependentsNotStarted) {
    Log(u"spooler: restarted; " + name + u", which depends on it, did not start again");
  }
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
