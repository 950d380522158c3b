#include "tests/fakes/fake_system_info.h"

namespace kestrava {

WString FakeSystemInfo::AnsiToWide(std::string_view text) {
  if (utf8CodePage) return Utf8ToUtf16(text);
  WString out;
  for (char c : text) out.push_back(static_cast<WChar>(static_cast<unsigned char>(c)));
  return out;
}

std::string FakeSystemInfo::WideToAnsi(WStringView text) {
  if (utf8CodePage) return Utf16ToUtf8(text);
  std::string out;
  for (WChar c : text) out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  return out;
}

WString FakeSystemInfo::ErrorMessage(uint32_t code) {
  auto it = errorMessages.find(code);
  return it == errorMessages.end() ? WString() : it->second;
}

}  // namespace kestrava
