#include <gtest/gtest.h>

#include <string>

#include "install/install_engine.h"
#include "tests/fakes/fake_system_info.h"

namespace kestrava {
namespace {

struct ReleaseRow {
  uint32_t major, minor, build;
  std::string expected;
};

class ReleaseTable : public ::testing::TestWithParam<ReleaseRow> {};

TEST_P(ReleaseTable, NamesTheRelease) {
  const ReleaseRow& row = GetParam();
  FakeSystemInfo system;
  system.version = {row.major, row.minor, row.build};
  InstallEngine engine(system);
  const char* os = nullptr;
  const char* arch = nullptr;
  ASSERT_TRUE(engine.DetectPlatform(os, arch));
  EXPECT_EQ(row.expected, os);
  if (row.expected != kUnknownRelease) {
    // The caller finds the position by pointer as well as by text.
    EXPECT_EQ(engine.osNames[static_cast<size_t>(OsNamePosition(os))], os);
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllRows, ReleaseTable,
    ::testing::Values(ReleaseRow{5, 0, 2195, "Windows 2000"}, ReleaseRow{5, 1, 2600, "Windows XP"},
                      ReleaseRow{5, 2, 3790, "Windows 2003"}, ReleaseRow{5, 3, 0, "Unknow"},
                      ReleaseRow{6, 0, 6002, "Windows Vista"}, ReleaseRow{6, 1, 7601, "Windows 7"},
                      ReleaseRow{6, 2, 9200, "Windows 8"}, ReleaseRow{6, 3, 9600, "Windows 8.1"},
                      ReleaseRow{6, 4, 9841, "Windows 8.1"}, ReleaseRow{10, 0, 21999, "Windows 10"},
                      ReleaseRow{10, 0, 22000, "Windows 11"},
                      ReleaseRow{10, 0, 26100, "Windows 11"},
                      ReleaseRow{10, 1, 21999, "Windows 10.1"},
                      ReleaseRow{10, 1, 22000, "Windows 11"}, ReleaseRow{4, 0, 1381, "Unknow"},
                      ReleaseRow{3, 51, 0, "Unknow"}, ReleaseRow{11, 0, 30000, "Unknow"}));

struct ArchitectureRow {
  uint16_t nativeCode;
  std::optional<uint16_t> nativeMachine;
  std::string expected;
  std::string environment;
};

class ArchitectureTable : public ::testing::TestWithParam<ArchitectureRow> {};

TEST_P(ArchitectureTable, NamesTheArchitectureAndEnvironment) {
  const ArchitectureRow& row = GetParam();
  FakeSystemInfo system;
  system.nativeArchitecture = row.nativeCode;
  system.emulatedArchitecture = kArchitectureIntel;  // a 32-bit process is shown x86
  system.nativeMachine = row.nativeMachine;
  InstallEngine engine(system);
  const char* os = nullptr;
  const char* arch = nullptr;
  ASSERT_TRUE(engine.DetectPlatform(os, arch));
  EXPECT_EQ(row.expected, arch);
  EXPECT_EQ(Utf8ToUtf16(row.environment), InstallEngine::SpoolerEnvironment(arch));
  EXPECT_EQ(1, system.emulatedQueries);
}

INSTANTIATE_TEST_SUITE_P(
    NativeCodeAlone, ArchitectureTable,
    ::testing::Values(ArchitectureRow{0, {}, "x86", "Windows NT x86"},
                      ArchitectureRow{5, {}, "ARM", "Windows x64"},
                      ArchitectureRow{6, {}, "Intel Itanium-based", "Windows x64"},
                      ArchitectureRow{9, {}, "x64", "Windows x64"},
                      ArchitectureRow{12, {}, "ARM64", "Windows ARM64"},
                      ArchitectureRow{0xFFFF, {}, "Unknown architecture", "Windows x64"},
                      ArchitectureRow{1, {}, "Unknown", "Windows x64"},
                      ArchitectureRow{10, {}, "Unknown", "Windows x64"}));

// An x64 emulator on ARM64 shows the process an AMD64 or x86 system; only IsWow64Process2
// tells the truth.
INSTANTIATE_TEST_SUITE_P(RefinedByNativeMachine, ArchitectureTable,
                         ::testing::Values(ArchitectureRow{9, 0xAA64, "ARM64", "Windows ARM64"},
                                           ArchitectureRow{0, 0xAA64, "ARM64", "Windows ARM64"},
                                           ArchitectureRow{0, 0x01C0, "ARM", "Windows x64"},
                                           ArchitectureRow{9, 0x8664, "x64", "Windows x64"},
                                           ArchitectureRow{0, 0x014C, "x86", "Windows NT x86"},
                                           ArchitectureRow{0xFFFF, 0x0000, "Unknown architecture",
                                                           "Windows x64"}));

TEST(DetectPlatform, FailedVersionQueryLeavesOutputsUntouched) {
  FakeSystemInfo system;
  system.versionQuerySucceeds = false;
  InstallEngine engine(system);
  const char* sentinel = "untouched";
  const char* os = sentinel;
  const char* arch = sentinel;
  EXPECT_FALSE(engine.DetectPlatform(os, arch));
  EXPECT_EQ(sentinel, os);
  EXPECT_EQ(sentinel, arch);
}

TEST(SpoolerEnvironment, MatchesExactlyAndCaseSensitively) {
  const std::pair<const char*, const char16_t*> rows[] = {
      {"ARM64", u"Windows ARM64"}, {"x86", u"Windows NT x86"},
      {"x64", u"Windows x64"},     {"arm64", u"Windows x64"},
      {"X86", u"Windows x64"},     {"x86 ", u"Windows x64"},
      {"", u"Windows x64"},        {"ARM", u"Windows x64"},
      {"Unknown", u"Windows x64"}, {"Intel Itanium-based", u"Windows x64"},
  };
  for (const auto& [arch, environment] : rows) {
    EXPECT_EQ(WString(environment), InstallEngine::SpoolerEnvironment(arch)) << arch;
  }
}

}  // namespace
}  // namespace kestrava
