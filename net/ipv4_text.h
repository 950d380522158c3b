// IPv4 addresses as dotted text, the form the program lists and compares them in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace kestrava {

// "192.168.1.100" for 0xC0A80164.
std::string DottedAddress(uint32_t address);

// Exactly four decimal numbers of 0-255 separated by dots, nothing else. Leaves `address`
// untouched and returns false for any other text.
bool ParseDottedAddress(std::string_view text, uint32_t& address);
bool ParseDottedAddress(WStringView text, uint32_t& address);

}  // namespace kestrava
