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
