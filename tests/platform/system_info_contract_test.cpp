// The same cases against the fake (natively) and the Win32 implementation (under Wine), so
// the fake keeps answering as Windows does.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "tests/fakes/fake_system_info.h"
#include "tests/platform/implementations.h"

namespace kestrava {
namespace {

class SystemInfoContract : public ::testing::TestWithParam<Implementation<SystemInfo>> {
 protected:
  std::unique_ptr<SystemInfo> system = GetParam().make();
};

TEST_P(SystemInfoContract, VersionQueryNamesANtRelease) {
  VersionInfo version;
  ASSERT_TRUE(system->QueryVersion(version));
  EXPECT_GE(version.major, 5u);
  EXPECT_GT(version.build, 0u);
}

TEST_P(SystemInfoContract, ArchitectureCodesAreKnownOnes) {
  for (uint16_t code : {system->NativeArchitecture(), system->EmulatedArchitecture()}) {
    EXPECT_TRUE(code == kArchitectureIntel || code == kArchitectureAmd64 ||
                code == kArchitectureArm64 || code == kArchitectureArm)
        << code;
  }
}

TEST_P(SystemInfoContract, UiLanguageIsALanguageIdentifier) {
  const uint16_t language = system->UserDefaultUiLanguage();
  EXPECT_NE(0, language & 0x3FF) << "primary language";
}

TEST_P(SystemInfoContract, AnsiConversionRoundTripsLatinText) {
  const std::string folder = "C:\\Program Files (x86)\\Kestrava V8.11\\";
  EXPECT_EQ(WidenAscii(folder), system->AnsiToWide(folder));
  EXPECT_EQ(folder, system->WideToAnsi(WidenAscii(folder)));
  EXPECT_EQ(u"caf\u00e9", system->AnsiToWide("caf\xE9"));
  EXPECT_EQ("caf\xE9", system->WideToAnsi(u"caf\u00e9"));
  EXPECT_EQ(WString(), system->AnsiToWide(""));
  EXPECT_EQ(std::string(), system->WideToAnsi(u""));
}

TEST_P(SystemInfoContract, UnmappableWideTextBecomesTheDefaultCharacter) {
  EXPECT_EQ("COM?", system->WideToAnsi(u"COM\u4e2d"));
}

// Names as the spooler compares them: ordinal, case ignored by the system's upper-case table,
// which maps one unit to one unit and never a sign to a letter.
TEST_P(SystemInfoContract, NamesAreTheSameWhereTheSystemsUpperCaseMakesThemSo) {
  struct Row {
    const char16_t* a;
    const char16_t* b;
    bool same;
  };
  const Row rows[] = {
      {u"RT-58C (copy 1)", u"rt-58c (COPY 1)", true},
      {u"COM3:", u"com3:", true},
      {u"Caf\u00e9 \u00ff", u"CAF\u00c9 \u0178", true},        // Latin-1
      {u"\u0141\u00f3d\u017a", u"\u0142\u00d3D\u0179", true},  // Latin Extended-A
      {u"\u03c3\u03bf\u03c6\u03b9\u03b1", u"\u03a3\u039f\u03a6\u0399\u0391", true},  // Greek
      {u"\u043f\u0440\u0438\u043d\u0442\u0435\u0440", u"\u041f\u0420\u0418\u041d\u0422\u0415\u0420",
       true},
      {u"\uff52\uff54", u"\uff32\uff34", true},  // fullwidth
      {u"\u5c0f\u7968", u"\u5c0f\u7968", true},
      {u"", u"", true},
      {u"RT-58C", u"RT-58C ", false},
      {u"RT-58C", u"RT-58", false},
      {u"\u2126", u"\u03a9", false},  // the Ohm sign is no omega
      {u"\u212a", u"k", false},       // nor the Kelvin sign a k
      {u"stra\u00dfe", u"STRASSE", false},
      {u"\u00e9", u"e", false},  // no accent is dropped
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.same, system->SameName(row.a, row.b))
        << Utf16ToUtf8(row.a) << " / " << Utf16ToUtf8(row.b);
    EXPECT_EQ(row.same, system->SameName(row.b, row.a)) << "either way round";
  }
}

// Every pair the portable rule of the fakes makes equal (platform/text.h), the system makes
// equal too, so that a fake never finds a name taken that Windows would not.
TEST_P(SystemInfoContract, EveryUpperCasePairOfThePortableRuleIsTheSystems) {
  if (GetParam().name == "Fake") GTEST_SKIP() << "the portable rule is the fake's own";
  int pairs = 0;
  for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
    const WChar lower = static_cast<WChar>(unit);
    const WChar upper = SystemUpperCase(lower);
    if (upper == lower) continue;
    ++pairs;
    EXPECT_TRUE(system->SameName(WString(1, lower), WString(1, upper)))
        << std::hex << unit << " / " << static_cast<uint32_t>(upper);
  }
  EXPECT_GT(pairs, 200) << "the ranges hold over two hundred pairs";
}

TEST_P(SystemInfoContract, ErrorCodesHaveTheSystemsTextAndUnknownOnesNone) {
  for (uint32_t code : {2u, 5u, 126u}) {
    const WString text = system->ErrorMessage(code);
    EXPECT_GT(text.size(), 4u) << code;
  }
  EXPECT_NE(system->ErrorMessage(2), system->ErrorMessage(5)) << "each code its own text";
  EXPECT_EQ(WString(), system->ErrorMessage(0x2000ABCD)) << "a code the system does not know";
}

INSTANTIATE_TEST_SUITE_P(All, SystemInfoContract, ::testing::ValuesIn(SystemInfoImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
