// The values of the command line's options that are neither names from a table nor ports: a
// printer's address, a Windows release, a language and a number of seconds.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/text.h"

namespace kestrava {

// The longest wait `ports --discover` takes.
inline constexpr uint32_t kLongestDiscoverySeconds = 300;

// One or more of the digits 0 to 9 and nothing else.
bool IsDigits(WStringView text);

// A printer's address in dotted form; neither the unspecified address nor the broadcast one
// is a printer's.
std::optional<uint32_t> PrinterAddressOf(const WString& value);

// The dialog's release radio for "10", "8", "8.1", "Vista", "XP", "2003", "7" or "11", with
// "Windows " before it or not (upper-cased): 0 "Windows 10", 1 "Windows 8/8.1", 2 "Windows
// Vista", 3 "Windows XP", 4 "Windows 2003", 5 "Windows 7", 6 "Windows 11".
std::optional<int32_t> ReleaseRadioOf(const WString& upper);

// The language identifier of "ZH", "EN" or "JA" (upper-cased).
std::optional<int32_t> LanguageOf(const WString& upper);

// 1 to kLongestDiscoverySeconds in decimal digits.
std::optional<uint32_t> DiscoverySecondsOf(const WString& value);

}  // namespace kestrava
