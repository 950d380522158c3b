// The kinds of raw link to a printer, and which kind a port name names.
#pragma once

#include <optional>

#include "platform/text.h"

namespace kestrava {

// In this order, which is also the order the keywords are tried in.
enum class TransportKind {
  kLpt = 0,  // parallel port, "LPT"
  kCom = 1,  // serial port, wired or Bluetooth, "COM"
  kUsb = 2,  // USB printer-class device, "USB"
  kLan = 3,  // TCP to a network printer, "LAN"
};

// The kind of the first keyword the upper-cased name equals or contains (USB001 is USB, COM7
// is COM, LAN is LAN); nothing when it has none (PRN).
std::optional<TransportKind> MatchTransportKind(WStringView name);

}  // namespace kestrava
