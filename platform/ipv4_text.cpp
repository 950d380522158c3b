#include "platform/ipv4_text.h"

namespace kestrava {

namespace {

template <typename Char>
std::optional<uint32_t> Parse(std::basic_string_view<Char> text) {
  uint32_t address = 0;
  size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (at >= text.size() || text[at] != Char('.')) return std::nullopt;
      ++at;
    }
    uint32_t value = 0;
    size_t digits = 0;
    while (at < text.size() && text[at] >= Char('0') && text[at] <= Char('9') && digits < 4) {
      value = value * 10 + static_cast<uint32_t>(text[at] - Char('0'));
      ++at;
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
    address = address << 8 | value;
  }
  if (at != text.size()) return std::nullopt;
  return address;
}

}  // namespace

std::string DottedAddress(uint32_t address) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    text += std::to_string((address >> shift) & 0xFF);
    if (shift > 0) text += '.';
  }
  return text;
}

std::optional<uint32_t> ParseDottedIpv4(WStringView text) {
  return Parse(text);
}

std::optional<uint32_t> ParseDottedIpv4(std::string_view text) {
  return Parse(text);
}

}  // namespace kestrava
