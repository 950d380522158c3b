#include "comm/ipv4_text.h"

namespace kestrava {

std::optional<uint32_t> ParseDottedIpv4(WStringView text) {
  uint32_t address = 0;
  size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (at >= text.size() || text[at] != u'.') return std::nullopt;
      ++at;
    }
    uint32_t value = 0;
    size_t digits = 0;
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9' && digits < 4) {
      value = value * 10 + static_cast<uint32_t>(text[at] - u'0');
      ++at;
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
    address = address << 8 | value;
  }
  if (at != text.size()) return std::nullopt;
  return address;
}

}  // namespace kestrava
