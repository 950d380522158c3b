// IPv4 addresses in their dotted text form, the form the program lists, compares and reads them
// in: four decimal numbers from 0 to 255. Addresses are numbers with the first part in the
// highest byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace kestrava {

// "192.168.1.100" for 0xC0A80164.
std::string DottedAddress(uint32_t address);

// The address of a text that is exactly four decimal numbers of one to three digits, each at
// most 255, joined by dots; nothing for anything else (no spaces, signs, hexadecimal or
// shortened forms).
std::optional<uint32_t> ParseDottedIpv4(WStringView text);
std::optional<uint32_t> ParseDottedIpv4(std::string_view text);

}  // namespace kestrava
