// The dialog's check-port command (the port-information page) and self-test command: what
// they read from the dialog, and the controls and timer the check-port command uses.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "comm/comm_services.h"
#include "comm/port_link.h"

namespace kestrava {

// The interface positions of the dialog.
enum : int32_t {
  kUsbInterface = 0,
  kComInterface = 1,
  kLanInterface = 2,
  kBluetoothInterface = 3,
};
// Their names, in that order, as the command line takes them and the support log tells them.
inline constexpr const char16_t* kInterfaceNames[] = {u"USB", u"COM", u"LAN", u"BLE"};

// The check-port button, disabled while its timer runs; the timer's tick enables it again.
inline constexpr int kCheckPortButton = 1027;
inline constexpr unsigned kCheckPortTimer = 3;
inline constexpr unsigned kCheckPortTimerMs = 2000;

// What the printer told of itself after a command: its answers to the status requests (see
// PortLink::QueryStatus) and, for the support log, the requests and replies in hex. `asked` is
// false where nothing was asked (the page or request did not go, or a parallel port).
struct PrinterStatusReport {
  bool asked = false;
  StatusAnswers answers;
  std::string exchange;

  std::optional<PrinterCondition> Condition() const { return ConditionOf(answers); }
};

// After a command that reached the printer: asks it for its status over the link into `status`
// (nothing when it is null).
void AskStatus(PortLink& link, PrinterStatusReport* status);

// What the commands read from the dialog once its controls are in its members.
struct PortCommandInput {
  int32_t portKind = kUsbInterface;
  WString portText;  // the selected entry of the port list; the LAN branches set the address
  WString baudText;  // the selected entry of the baud-rate list
  WString ipAddressText;
  int32_t uiLanguage = 1033;
  WString osName;  // as detected; the commands do not change it
};

// Prints the port-information page through the selected port: for USB a boxed banner on every
// attached printer of a supported vendor and the list of their ports, then the reset block with
// the status check; for COM, the LAN and Bluetooth the port's label and name and a feed and
// cut. `checkPortInUse` tells the user when an installed printer already uses a COM-type port;
// its answer is not used here. Shows the connection failure message when the page was not
// delivered; the result says whether it was. No USB printer is left open afterwards. With
// `status`, a delivered page is followed by the status requests, whose answers it gets; what
// they tell is the caller's to show, after the command's own messages.
bool PortInformationPage(PortCommandInput& input, PortLink& link, const CommServices& services,
                         const std::function<bool()>& checkPortInUse,
                         PrinterStatusReport* status = nullptr);

// Makes the printer print its own self-test page; the LAN connection is left open, no USB
// printer is. Shows the failure message when the request could not be delivered. Starts no
// timer.
// With `status`, a delivered request is followed by the status requests.
void SelfTestCommand(PortCommandInput& input, PortLink& link, DialogHost& dialog,
                     PrinterStatusReport* status = nullptr);

// Whether a port-list entry is one of the placeholders ("NO USB", "NO COM", "NO BLE").
bool IsPlaceholderPort(const WString& portText);

}  // namespace kestrava
