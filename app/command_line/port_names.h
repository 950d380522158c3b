// The port names the command line takes, as the system spells them.
#pragma once

#include <optional>

#include "platform/text.h"

namespace kestrava {

// "COM1" to "COM256" (upper-cased), with the colon the spooler adds allowed and dropped.
std::optional<WString> SerialPortName(WString upper);

// "USB001" to "USB999" (upper-cased), as the USB printing driver names its ports.
std::optional<WString> UsbPortName(const WString& upper);

}  // namespace kestrava
