// What the check-port and self-test commands print and show, in each UI language (Chinese for
// 2052, Japanese for 1041, English for any other).
#pragma once

#include <cstdint>

#include "comm/printer_status.h"
#include "platform/text.h"

namespace kestrava {

// The boxed banner printed on a USB printer, telling its USB port. Lines end with "\r\n";
// every line after the first starts with ten tabs, which are not expanded when it is drawn.
WString UsbPortBanner(int32_t language, uint32_t portNumber);

// The message that lists the USB printers found: the header, then per printer the line
// appended with "%s\tUSB%03d ;\r\n".
WString UsbPortListHeader(int32_t language);
WString AppendUsbPortLine(const WString& message, uint32_t portNumber);

const char16_t* NoUsbPrinterMessage(int32_t language);
// The commands' failure message. The English text ends in a full-width exclamation mark.
const char16_t* ConnectionFailureMessage(int32_t language);

// What the printer told of a fault in its status; empty for a condition that is no fault.
WString PrinterFaultMessage(PrinterCondition condition, int32_t language);
// The condition in a word or two, for the command line's status line and the support log.
WString ConditionName(PrinterCondition condition, int32_t language);

// The page sent to a COM, LAN or Bluetooth port: the label and the port name or address.
inline constexpr const char16_t* kComPortLabel = u"COM PORT:";
inline constexpr const char16_t* kLanAddressLabel = u"LAN IP ADDRESS:";
inline constexpr const char16_t* kBluetoothPortLabel = u"BLUETOOTH PORT:";

}  // namespace kestrava
