#include "net/ipv4_text.h"

namespace kestrava {

std::string DottedAddress(uint32_t address) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    text += std::to_string((address >> shift) & 0xFF);
    if (shift > 0) text += '.';
  }
  return text;
}

bool ParseDottedAddress(std::string_view text, uint32_t& address) {
  uint32_t parsed = 0;
  size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (at >= text.size() || text[at] != '.') return false;
      ++at;
    }
    const size_t start = at;
    uint32_t number = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 3) {
      number = number * 10 + static_cast<uint32_t>(text[at] - '0');
      ++at;
    }
    if (at == start || number > 255) return false;
    parsed = parsed << 8 | number;
  }
  if (at != text.size()) return false;
  address = parsed;
  return true;
}

bool ParseDottedAddress(WStringView text, uint32_t& address) {
  std::string narrow;
  for (WChar unit : text) {
    if (unit > 0x7F) return false;
    narrow.push_back(static_cast<char>(unit));
  }
  return ParseDottedAddress(narrow, address);
}

}  // namespace kestrava
