// Text as the Windows API has it.
//
// Wide text is UTF-16 in 16-bit units on every build: wchar_t is 32 bits on Linux and 16 on
// Windows, so the portable logic and the fakes use char16_t and only the Win32 implementation
// turns it into wchar_t (and into byte sizes such as a REG_SZ's). 8-bit text is the thread's
// ANSI code page; converting it belongs to the system-information service.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kestrava {

using WChar = char16_t;
using WString = std::u16string;
using WStringView = std::u16string_view;

// Widens 7-bit text unit by unit. Only for the program's own fixed names (file, model and
// platform names), which read the same in every ANSI code page.
WString WidenAscii(std::string_view text);

// The names the program compares without regard to case (ports, device paths, registry and
// printer names) differ in case only in their ASCII letters: these upper-case those and keep
// every other character.
WChar UpperAscii(WChar c);
WString UpperAscii(WStringView text);

// The system's own comparison of names (printers, drivers, ports, accounts) is ordinal with case
// ignored: unit by unit after its upper-case table. Windows gives it to the program (the
// system-information service); these are the portable form for the fakes and the Linux host,
// which have no such table (the C library's towupper follows the locale and full Unicode, which
// map more than Windows does: the Ohm sign to omega, for one). They hold the one-to-one
// upper-case pairs of the basic Latin, Latin-1, Latin Extended-A, Greek, Cyrillic, Armenian and
// fullwidth Latin letters, each of which the system's table has too; every other unit is its
// own upper case here, so a name only ever compares equal where the system's would.
WChar SystemUpperCase(WChar c);
bool SameNameIgnoringCase(WStringView a, WStringView b);

// The text without the line breaks and spaces at its end, as a system message ends.
WString WithoutTrailingSpace(WString text);

// The words joined by ", "; `none` when there are none.
WString Joined(const std::vector<WString>& words, const WString& none = WString());

// UTF-8 <-> UTF-16. Written here because the C++17 library's converters are deprecated and
// MinGW has no ICU; invalid input becomes U+FFFD. Tested against glibc's iconv.
WString Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(WStringView text);

// One argument of FormatText: a text for "%s" or a number for "%d".
class FormatArg {
 public:
  FormatArg(WStringView text) : text_(text), isNumber_(false) {}
  FormatArg(const WString& text) : text_(text), isNumber_(false) {}
  FormatArg(const WChar* text) : text_(text), isNumber_(false) {}
  FormatArg(int number) : number_(number), isNumber_(true) {}

  // The argument for conversion `s`, `d` or `c` (a number as one UTF-16 unit, a text as its
  // first unit), before any padding.
  WString Render(WChar conversion) const;

 private:
  WStringView text_;
  int number_ = 0;
  bool isNumber_;
};

// A printf subset for the program's own formats: "%s", "%d", "%c" and "%%", with an optional
// width of up to two digits (padded on the left with spaces, or with zeros after a "0" flag
// for "%d": "%02d", "%03d", "%19c"), take the arguments in order. A directive with no
// argument left is copied as it stands, so a format can never read past its arguments.
WString FormatText(WStringView format, std::initializer_list<FormatArg> args);

}  // namespace kestrava
