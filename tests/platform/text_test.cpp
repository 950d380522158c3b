#include "platform/text.h"

#include <gtest/gtest.h>

#include <cctype>

#ifndef _WIN32
#include <iconv.h>
#endif

namespace kestrava {
namespace {

struct FormatRow {
  const char16_t* format;
  WString expected;
};

TEST(FormatText, FillsDirectivesInOrder) {
  EXPECT_EQ(u"You are using Windows 10 x64 OS.\nPlease select Windows 10 to install.",
            FormatText(u"You are using %s %s OS.\nPlease select %s to install.",
                       {u"Windows 10", u"x64", u"Windows 10"}));
  EXPECT_EQ(u"RT-80 (copy 12)", FormatText(u"%s (copy %d)", {u"RT-80", 12}));
  EXPECT_EQ(u"  2026-03-05 09:07:03",
            FormatText(u"  %d-%02d-%02d %02d:%02d:%02d", {2026, 3, 5, 9, 7, 3}));
  EXPECT_EQ(u"COM3,1", FormatText(u"%s,%d", {u"COM3", 1}));
}

TEST(FormatText, NeverReadsPastItsArguments) {
  EXPECT_EQ(u"%s", FormatText(u"%s", {}));
  EXPECT_EQ(u"a b %s %d", FormatText(u"%s %s %s %d", {u"a", u"b"}));
  EXPECT_EQ(u"100% %x trailing %", FormatText(u"100%% %x trailing %", {u"unused"}));
  EXPECT_EQ(u"-5 -5", FormatText(u"%d %02d", {-5, -5}));
}

TEST(FormatText, WidthsFlagsAndCharacters) {
  struct Row {
    const char16_t* format;
    std::initializer_list<FormatArg> args;
    const char16_t* expected;
  };
  const Row rows[] = {
      {u"USB%03d", {1}, u"USB001"},
      {u"USB%03d", {12}, u"USB012"},
      {u"USB%03d", {1234}, u"USB1234"},  // four digits print in full
      {u"%03d", {-5}, u"-05"},
      {u"*%5c|", {'*'}, u"*    *|"},
      {u"%c%c", {u"Xy", 0x3042}, u"X\u3042"},
      {u"[%4s][%4d][%1c]", {u"ab", 7, 'z'}, u"[  ab][   7][z]"},
      {u"%19c", {'*'}, u"                  *"},
      {u"%123d", {5}, u"%123d"},  // three-digit widths are no directive
      {u"%5", {1}, u"%5"},
      {u"%0", {1}, u"%0"},
      {u"%3x", {1}, u"%3x"},
      {u"%3c", {}, u"%3c"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(WString(row.expected), FormatText(row.format, row.args)) << Utf16ToUtf8(row.format);
  }
}

// Every UTF-16 unit against the C library's rule of the "C" locale: only a to z change.
TEST(UpperAscii, ChangesOnlyTheAsciiLettersOfEveryUnit) {
  WString all;
  WString expected;
  for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
    all.push_back(static_cast<WChar>(unit));
    expected.push_back(
        static_cast<WChar>(unit < 0x80 ? std::toupper(static_cast<int>(unit)) : unit));
  }
  EXPECT_EQ(expected, UpperAscii(all));
  for (size_t i = 0; i < all.size(); ++i) ASSERT_EQ(expected[i], UpperAscii(all[i])) << i;
}

TEST(Utf16, HandlesEveryPlaneAndBadInput) {
  const std::string samples[] = {"",
                                 "ASCII",
                                 "安装票据打印机驱动",
                                 "構成のインストール",
                                 "Congratulations\xEF\xBC\x8C",
                                 "\xF0\x9F\x96\xA8 printer"};
  for (const std::string& s : samples) EXPECT_EQ(s, Utf16ToUtf8(Utf8ToUtf16(s)));
  EXPECT_EQ(u"\uFFFDA", Utf8ToUtf16("\xC0\x80"
                                    "A"));            // overlong NUL
  EXPECT_EQ(u"\uFFFD", Utf8ToUtf16("\xE4\xB8"));      // truncated
  EXPECT_EQ(u"\uFFFD", Utf8ToUtf16("\xED\xA0\x80"));  // encoded surrogate
  EXPECT_EQ("\xEF\xBF\xBD", Utf16ToUtf8(WString(1, static_cast<WChar>(0xD800))));
}

#ifndef _WIN32
// Differential check against glibc's converter over every valid code point class.
TEST(Utf16, AgreesWithIconv) {
  iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  ASSERT_NE(reinterpret_cast<iconv_t>(-1), cd);
  std::string text;
  for (char32_t cp = 1; cp < 0x110000; cp += (cp < 0x3000 ? 1 : 97)) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    text +=
        Utf16ToUtf8(cp < 0x10000 ? WString(1, static_cast<WChar>(cp))
                                 : WString{static_cast<WChar>(0xD800 + ((cp - 0x10000) >> 10)),
                                           static_cast<WChar>(0xDC00 + ((cp - 0x10000) & 0x3FF))});
  }
  std::string out(text.size() * 4, '\0');
  char* in = text.data();
  size_t inLeft = text.size();
  char* o = out.data();
  size_t outLeft = out.size();
  ASSERT_NE(static_cast<size_t>(-1), iconv(cd, &in, &inLeft, &o, &outLeft));
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  WString expected;
  for (size_t i = 0; i + 1 < out.size(); i += 2) {
    expected.push_back(static_cast<WChar>(static_cast<unsigned char>(out[i]) |
                                          (static_cast<unsigned char>(out[i + 1]) << 8)));
  }
  EXPECT_EQ(expected, Utf8ToUtf16(text));
}
#endif

}  // namespace
}  // namespace kestrava
