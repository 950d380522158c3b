// IPv4 addresses in their dotted text form: four decimal numbers from 0 to 255.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/text.h"

namespace kestrava {

// The address (first number in the highest byte) of a text that is exactly four decimal
// numbers of one to three digits, each at most 255, joined by dots; nothing for anything else
// (no spaces, signs, hexadecimal or shortened forms).
std::optional<uint32_t> ParseDottedIpv4(WStringView text);

}  // namespace kestrava
