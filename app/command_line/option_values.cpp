#include "app/command_line/option_values.h"

#include <algorithm>

#include "platform/ipv4_text.h"
#include "platform/local_text.h"

namespace kestrava {

namespace {

struct Release {
  const char16_t* name;
  int32_t radio;
};
constexpr Release kReleases[] = {{u"10", 0}, {u"8", 1},    {u"8.1", 1}, {u"VISTA", 2},
                                 {u"XP", 3}, {u"2003", 4}, {u"7", 5},   {u"11", 6}};

struct LanguageName {
  const char16_t* name;
  int32_t id;
};
constexpr LanguageName kLanguages[] = {{u"ZH", kChinese}, {u"EN", kEnglish}, {u"JA", kJapanese}};

}  // namespace

bool IsDigits(WStringView text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](WChar c) { return c >= u'0' && c <= u'9'; });
}

std::optional<uint32_t> PrinterAddressOf(const WString& value) {
  const std::optional<uint32_t> address = ParseDottedIpv4(value);
  if (!address || *address == 0 || *address == 0xFFFFFFFF) return std::nullopt;
  return address;
}

std::optional<int32_t> ReleaseRadioOf(const WString& upper) {
  const WString release = upper.compare(0, 8, u"WINDOWS ") == 0 ? upper.substr(8) : upper;
  for (const Release& row : kReleases) {
    if (release == row.name) return row.radio;
  }
  return std::nullopt;
}

std::optional<int32_t> LanguageOf(const WString& upper) {
  for (const LanguageName& row : kLanguages) {
    if (upper == row.name) return row.id;
  }
  return std::nullopt;
}

std::optional<uint32_t> DiscoverySecondsOf(const WString& value) {
  if (!IsDigits(value) || value.size() > 3) return std::nullopt;
  uint32_t seconds = 0;
  for (WChar c : value) seconds = seconds * 10 + static_cast<uint32_t>(c - u'0');
  if (seconds == 0 || seconds > kLongestDiscoverySeconds) return std::nullopt;
  return seconds;
}

}  // namespace kestrava
