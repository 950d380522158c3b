// Bytes as the tests write them: two hex digits each, separated by spaces ("1B 64 07").
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kestrava {

inline std::string Hex(std::string_view bytes) {
  std::string text;
  for (unsigned char byte : bytes) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02X", byte);
    if (!text.empty()) text += ' ';
    text += digits;
  }
  return text;
}

// The bytes of a hex text; spaces are ignored.
inline std::string Bytes(std::string_view hex) {
  std::string bytes;
  int high = -1;
  for (char c : hex) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (value < 0) continue;
    if (high < 0) {
      high = value;
    } else {
      bytes.push_back(static_cast<char>(high << 4 | value));
      high = -1;
    }
  }
  return bytes;
}

}  // namespace kestrava
