#include "platform/registry.h"

namespace kestrava {

namespace {

constexpr uint32_t kWow64Key64 = 0x0100;  // KEY_WOW64_64KEY

}  // namespace

RegistryValue RegistryValue::String(WStringView text) {
  RegistryValue value;
  value.type = kRegSz;
  value.data.reserve((text.size() + 1) * 2);
  for (WChar unit : text) {
    value.data.push_back(static_cast<char>(unit & 0xFF));
    value.data.push_back(static_cast<char>(unit >> 8));
  }
  value.data.append(2, '\0');
  return value;
}

RegistryValue RegistryValue::Dword(uint32_t number) {
  RegistryValue value;
  value.type = kRegDword;
  for (int shift = 0; shift < 32; shift += 8) {
    value.data.push_back(static_cast<char>((number >> shift) & 0xFF));
  }
  return value;
}

WString RegistryValue::Text() const {
  WString text;
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    const auto unit = static_cast<WChar>(static_cast<unsigned char>(data[i]) |
                                         static_cast<unsigned char>(data[i + 1]) << 8);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

uint32_t RegistryValue::Number() const {
  if (data.size() < 4) return 0;
  uint32_t number = 0;
  for (int i = 3; i >= 0; --i) {
    number = number << 8 | static_cast<unsigned char>(data[static_cast<size_t>(i)]);
  }
  return number;
}

uint32_t MachineKeyAccess(uint32_t access, bool processIsWow64) {
  return processIsWow64 ? access | kWow64Key64 : access;
}

}  // namespace kestrava
