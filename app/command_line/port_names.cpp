#include "app/command_line/port_names.h"

#include "app/command_line/option_values.h"

namespace kestrava {

std::optional<WString> SerialPortName(WString upper) {
  if (!upper.empty() && upper.back() == u':') upper.pop_back();
  if (upper.size() < 4 || upper.size() > 6 || upper.compare(0, 3, u"COM") != 0) return {};
  const WStringView number = WStringView(upper).substr(3);
  if (!IsDigits(number) || number[0] == u'0') return {};
  uint32_t value = 0;
  for (WChar c : number) value = value * 10 + static_cast<uint32_t>(c - u'0');
  if (value > 256) return {};
  return upper;
}

std::optional<WString> UsbPortName(const WString& upper) {
  if (upper.size() != 6 || upper.compare(0, 3, u"USB") != 0) return {};
  if (!IsDigits(WStringView(upper).substr(3)) || upper == u"USB000") return {};
  return upper;
}

}  // namespace kestrava
